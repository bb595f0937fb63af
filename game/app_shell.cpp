#include "game/app_shell.h"

#include <cstdarg>
#include <cstdio>

#include "game/game.h"
#include "media/display/screen.h"
#include "platform/core/resources.h"

namespace game {

platform::HWND mainWindow = nullptr;
std::int32_t appActive = 0;

namespace {

// A fixed-size window with a title bar, a system menu and a minimise box.
constexpr std::uint32_t kWindowStyle = platform::WS_CAPTION | platform::WS_SYSMENU | platform::WS_MINIMIZEBOX;
// Clears the popup, caption, system-menu and minimise bits before setting the style again.
constexpr std::uint32_t kStyleMask = 0x7F35FFFF;

int MessageLoop() {
    for (;;) {
        platform::Message message;
        if (platform::PeekMessage(&message, nullptr, 0, 0, platform::PM_NOREMOVE)) {
            const int got = platform::GetMessage(&message, nullptr, 0, 0);
            if (got == 0) return static_cast<int>(message.wParam);
            if (got > 0) {
                platform::TranslateMessage(&message);
                platform::DispatchMessage(&message);
            }
        } else if (appActive) {
            GameFrame();
        } else {
            platform::WaitMessage();
        }
    }
}

}  // namespace

int RunApplication(int showCommand) {
    mainWindow = nullptr;
    appActive = 0;
    RegisterAppIcon();
    CreateMainWindow(showCommand);
    // Without a window the error has been shown and the quit requested: nothing to run.
    if (!mainWindow) return 0;
    if (!GameInit()) {
        platform::PostQuitMessage(0);
        return 0;
    }
    const int exitCode = MessageLoop();
    // Whatever the game still holds (a fatal start-up, a quit without WM_CLOSE) is freed here.
    GameShutdown();
    return exitCode;
}

int CreateMainWindow(int showCommand) {
    platform::WindowClass windowClass;
    windowClass.style = platform::CS_HREDRAW | platform::CS_VREDRAW;
    windowClass.proc = &MainWndProc;
    windowClass.icon = platform::LoadIcon("APPICON");
    windowClass.className = kWindowClassName;
    platform::RegisterClass(windowClass);

    mainWindow = platform::CreateWindowEx(0, kWindowClassName, kWindowTitle, kWindowStyle, 0, 0, 320, 240);
    if (!mainWindow) {
        FatalError(nullptr, "could not create the main window");
        return 1;
    }
    SizeWindowForClient();
    platform::ShowWindow(mainWindow, showCommand);
    platform::UpdateWindow(mainWindow);
    return 1;
}

void SizeWindowForClient() {
    platform::Rect rect{0, 0, kClientWidth, kClientHeight};
    const auto style = static_cast<std::uint32_t>(platform::GetWindowLong(mainWindow, platform::GWL_STYLE));
    platform::SetWindowLong(mainWindow, platform::GWL_STYLE, static_cast<std::int32_t>((style & kStyleMask) | kWindowStyle));
    platform::AdjustWindowRectEx(&rect, static_cast<std::uint32_t>(platform::GetWindowLong(mainWindow, platform::GWL_STYLE)),
                                 platform::GetMenu(mainWindow),
                                 static_cast<std::uint32_t>(platform::GetWindowLong(mainWindow, platform::GWL_EXSTYLE)));
    platform::SetWindowPos(mainWindow, nullptr, 0, 0, rect.Width(), rect.Height(),
                           platform::SWP_NOMOVE | platform::SWP_NOZORDER | platform::SWP_NOACTIVATE);
    platform::SetWindowPos(mainWindow, platform::HWND_NOTOPMOST, 0, 0, 0, 0,
                           platform::SWP_NOMOVE | platform::SWP_NOSIZE | platform::SWP_NOACTIVATE);
}

platform::LRESULT MainWndProc(platform::HWND window, std::uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) {
    switch (message) {
        case platform::WM_ACTIVATEAPP:
            appActive = static_cast<std::int32_t>(wParam);
            return 0;
        case platform::WM_CLOSE:
            // The window itself stays: the quit request ends the loop.
            GameShutdown();
            platform::PostQuitMessage(0);
            return 0;
        case platform::WM_DESTROY:
            platform::PostQuitMessage(0);
            return 0;
        default:
            return platform::DefWindowProc(window, message, wParam, lParam);
    }
}

void FatalError(media::Screen* screen, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    platform::HWND owner = nullptr;
    if (screen) {
        // A screen whose display device could not be made has nothing to flip back.
        if (screen->DirectDraw()) screen->DirectDraw()->FlipToGDISurface();
        owner = screen->Window();
    }
    platform::MessageBox(owner, text, "Error", platform::MB_ICONERROR);
    platform::PostQuitMessage(0);
}

}  // namespace game
