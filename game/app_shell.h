#pragma once
// The application shell: the one main window, the message loop that runs a game frame on every
// idle turn while the application is active, and the program's error reporter.
#include <cstdint>

#include "platform/window/window.h"

namespace media {
class Screen;
}

namespace game {

inline constexpr std::int32_t kClientWidth = 640;
inline constexpr std::int32_t kClientHeight = 480;
inline constexpr const char* kWindowTitle = "bodo & zamel";
inline constexpr const char* kWindowClassName = "bodo & zamelWndClass";

extern platform::HWND mainWindow;
extern std::int32_t appActive;  // last WM_ACTIVATEAPP value: non-zero while the game is active

// The whole program: window, start-up, message loop; returns the exit code (0 on every path).
int RunApplication(int showCommand);
int CreateMainWindow(int showCommand);
void SizeWindowForClient();
platform::LRESULT MainWndProc(platform::HWND window, std::uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam);
// Shows the message in a box captioned "Error" (owned by the screen's window when a screen is
// given) and asks the program to end. The text is cut at 1023 characters.
void FatalError(media::Screen* screen, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Registers the picture the window class uses as its icon.
void RegisterAppIcon();

}  // namespace game
