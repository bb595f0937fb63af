#pragma once
// Windows and the message queue: one queue per process, windows with a class, a style, an outer
// rectangle on the desktop and a window procedure. Backends give windows a native counterpart and
// turn OS events into messages; everything else is shared.
#include <cstdint>
#include <string>

#include "../core/geometry.h"

namespace platform {

class Window;
using HWND = Window*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using WindowProc = LRESULT (*)(HWND, std::uint32_t, WPARAM, LPARAM);

inline constexpr std::uint32_t WM_DESTROY = 0x02;
// A scaled window's size on screen changed (wParam 0, lParam: width | height << 16).
inline constexpr std::uint32_t WM_SIZE = 0x05;
inline constexpr std::uint32_t WM_PAINT = 0x0F;
inline constexpr std::uint32_t WM_CLOSE = 0x10;
inline constexpr std::uint32_t WM_QUIT = 0x12;
inline constexpr std::uint32_t WM_ACTIVATEAPP = 0x1C;
inline constexpr std::uint32_t WM_KEYDOWN = 0x100;
inline constexpr std::uint32_t WM_KEYUP = 0x101;

inline constexpr std::uint32_t CS_VREDRAW = 0x1;
inline constexpr std::uint32_t CS_HREDRAW = 0x2;

inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000;
inline constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;

inline constexpr std::uint32_t SWP_NOSIZE = 0x1;
inline constexpr std::uint32_t SWP_NOMOVE = 0x2;
inline constexpr std::uint32_t SWP_NOZORDER = 0x4;
inline constexpr std::uint32_t SWP_NOACTIVATE = 0x10;
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);

inline constexpr std::uint32_t PM_NOREMOVE = 0x0;
inline constexpr std::uint32_t PM_REMOVE = 0x1;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr std::uint32_t MB_ICONERROR = 0x10;

struct Resource;

struct WindowClass {
    std::uint32_t style = 0;
    WindowProc proc = nullptr;
    const Resource* icon = nullptr;
    std::string className;
};

// How a window's picture reaches the screen beyond its fixed client area. A fullscreen or
// resizable window keeps its client size: the backend scales what is presented to the size the
// window really has on screen, keeping its shape, with bars on the sides that are left over, and
// posts WM_SIZE when that size changes. Both off (the default) is a plain window of its client size.
struct WindowPresentation {
    bool fullscreen = false;  // covers the whole display
    bool resizable = false;   // the user may resize it
    friend bool operator==(const WindowPresentation&, const WindowPresentation&) = default;
};

struct Message {
    HWND window = nullptr;
    std::uint32_t message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class Window {
public:
    std::string className, title;
    WindowProc proc = nullptr;
    const Resource* icon = nullptr;
    std::uint32_t style = 0, exStyle = 0;
    Rect outer;  // on the desktop
    bool visible = false;
    bool shownOnce = false;
    // The last WM_ACTIVATEAPP the window received, and how many times it was deactivated:
    // foreground input follows them.
    bool active = false;
    std::uint32_t deactivations = 0;
    void* native = nullptr;  // the backend's counterpart
    WindowPresentation presentation;
};

bool RegisterClass(const WindowClass& windowClass);
HWND CreateWindowEx(std::uint32_t exStyle, const char* className, const char* title, std::uint32_t style,
                    std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
bool DestroyWindow(HWND window);
std::int32_t GetWindowLong(HWND window, int index);
std::int32_t SetWindowLong(HWND window, int index, std::int32_t value);
bool GetMenu(HWND window);
bool AdjustWindowRectEx(Rect* rect, std::uint32_t style, bool hasMenu, std::uint32_t exStyle);
bool SetWindowPos(HWND window, HWND insertAfter, std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, std::uint32_t flags);
bool ShowWindow(HWND window, int showCommand);
bool UpdateWindow(HWND window);
bool GetClientRect(HWND window, Rect* rect);
bool ClientToScreen(HWND window, Point* point);
// The window's client area in desktop coordinates.
Rect ClientAreaOnDesktop(HWND window);
// True while the window exists and its application is the active one.
bool IsWindowActive(HWND window);

bool PeekMessage(Message* message, HWND window, std::uint32_t filterMin, std::uint32_t filterMax, std::uint32_t remove);
// 0 for WM_QUIT, else non-zero; sleeps until a message arrives.
int GetMessage(Message* message, HWND window, std::uint32_t filterMin, std::uint32_t filterMax);
bool TranslateMessage(const Message* message);
LRESULT DispatchMessage(const Message* message);
bool WaitMessage();
void PostQuitMessage(int exitCode);
bool PostMessage(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
int MessageBox(HWND owner, const char* text, const char* caption, std::uint32_t type);

// Sets how the window is shown on screen (WindowPresentation). False for no such window.
bool SetWindowPresentation(HWND window, const WindowPresentation& presentation);
// Sets the window's icon, which must outlive its use by the window. False for no such window or
// no icon.
bool SetWindowIcon(HWND window, const Resource* icon);

// Forgets every window, class and queued message: a fresh window system (tests).
void ResetWindowSystem();

}  // namespace platform
