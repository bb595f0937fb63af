#pragma once
// Windows and the message queue: one queue per process, windows with a class, a style, an outer
// rectangle on the desktop and a window procedure. Backends give windows a native counterpart and
// turn OS events into messages; everything else is shared.
#include <cstdint>
#include <string>

#include "../core/geometry.h"

namespace platform {

class Window;
/// A window, by its address (null: none).
using HWND = Window*;
/// A message's two parameters and a window procedure's result.
/// @{
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
/// @}
/// A window procedure: handles one message sent or dispatched to the window.
using WindowProc = LRESULT (*)(HWND, std::uint32_t, WPARAM, LPARAM);

/// Window messages: destroyed, painted, close asked, quit, activated (wParam 1) or deactivated
/// (wParam 0), key down and up (wParam: the key's code).
/// @{
inline constexpr std::uint32_t WM_DESTROY = 0x02;
inline constexpr std::uint32_t WM_PAINT = 0x0F;
inline constexpr std::uint32_t WM_CLOSE = 0x10;
inline constexpr std::uint32_t WM_QUIT = 0x12;
inline constexpr std::uint32_t WM_ACTIVATEAPP = 0x1C;
inline constexpr std::uint32_t WM_KEYDOWN = 0x100;
inline constexpr std::uint32_t WM_KEYUP = 0x101;
/// @}
/// A scaled window's size on screen changed (wParam 0, lParam: width | height << 16).
inline constexpr std::uint32_t WM_SIZE = 0x05;

/// Class styles: redraw on a vertical or horizontal size change (recorded, no effect).
/// @{
inline constexpr std::uint32_t CS_VREDRAW = 0x1;
inline constexpr std::uint32_t CS_HREDRAW = 0x2;
/// @}

/// Window styles: no frame; a title bar; a close box; a minimise box.
/// @{
inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000;
inline constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000;
/// @}
/// GetWindowLong and SetWindowLong indices: the style and the extended style.
/// @{
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
/// @}

/// SetWindowPos flags: keep the size, keep the position, keep the stacking order, do not activate.
/// @{
inline constexpr std::uint32_t SWP_NOSIZE = 0x1;
inline constexpr std::uint32_t SWP_NOMOVE = 0x2;
inline constexpr std::uint32_t SWP_NOZORDER = 0x4;
inline constexpr std::uint32_t SWP_NOACTIVATE = 0x10;
/// @}
/// SetWindowPos's insertAfter for a window that is not kept on top.
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);

/// PeekMessage: leave the message in the queue, or take it out.
/// @{
inline constexpr std::uint32_t PM_NOREMOVE = 0x0;
inline constexpr std::uint32_t PM_REMOVE = 0x1;
/// @}
/// ShowWindow: show the window at its size and position.
inline constexpr int SW_SHOWNORMAL = 1;
/// MessageBox: the box shows an error.
inline constexpr std::uint32_t MB_ICONERROR = 0x10;

struct Resource;

/// A window class: what every window created with its name shares.
struct WindowClass {
    std::uint32_t style = 0;         ///< CS_ styles
    WindowProc proc = nullptr;       ///< the procedure of its windows
    const Resource* icon = nullptr;  ///< the icon of its windows (null: none)
    std::string className;           ///< the name CreateWindowEx finds it by
};

/// How a window's picture reaches the screen beyond its fixed client area. A fullscreen or
/// resizable window keeps its client size: the backend scales what is presented to the size the
/// window really has on screen, keeping its shape, with bars on the sides that are left over, and
/// posts WM_SIZE when that size changes. Both off (the default) is a plain window of its client size.
struct WindowPresentation {
    bool fullscreen = false;  ///< covers the whole display
    bool resizable = false;   ///< the user may resize it
    /// Field-wise equality.
    friend bool operator==(const WindowPresentation&, const WindowPresentation&) = default;
};

/// A message in the queue: for which window, what, and its parameters.
struct Message {
    HWND window = nullptr;      ///< the window it is for (null: the thread)
    std::uint32_t message = 0;  ///< a WM_ code
    WPARAM wParam = 0;          ///< the first parameter
    LPARAM lParam = 0;          ///< the second parameter
};

/// A window of the shared window system; the backend gives it a native counterpart.
class Window {
public:
    /// The class it was created with, and its caption.
    /// @{
    std::string className, title;
    /// @}
    WindowProc proc = nullptr;       ///< its window procedure
    const Resource* icon = nullptr;  ///< its icon (null: none)
    /// Its WS_ style and extended style.
    /// @{
    std::uint32_t style = 0, exStyle = 0;
    /// @}
    Rect outer;  ///< on the desktop
    bool visible = false;    ///< shown (ShowWindow)
    bool shownOnce = false;  ///< shown at least once
    /// The last WM_ACTIVATEAPP the window received, and how many times it was deactivated:
    /// foreground input follows them.
    /// @{
    bool active = false;
    std::uint32_t deactivations = 0;
    /// @}
    void* native = nullptr;  ///< the backend's counterpart
    WindowPresentation presentation;  ///< how it is shown on screen (SetWindowPresentation)
};

/// Registers a window class. False without a name or procedure, or for a name already registered.
bool RegisterClass(const WindowClass& windowClass);
/// Creates a hidden window of a registered class with its outer rectangle on the desktop; null
/// when there is no such class or the backend refuses it.
HWND CreateWindowEx(std::uint32_t exStyle, const char* className, const char* title, std::uint32_t style,
                    std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
/// Sends WM_DESTROY and destroys the window. False for no such window.
bool DestroyWindow(HWND window);
/// A window's style (GWL_STYLE) or extended style (GWL_EXSTYLE); 0 for no such window.
std::int32_t GetWindowLong(HWND window, int index);
/// Sets a window's style or extended style; the previous value.
std::int32_t SetWindowLong(HWND window, int index, std::int32_t value);
/// Whether the window has a menu (windows here never do).
bool GetMenu(HWND window);
/// Grows a client rectangle to the outer rectangle of a window of that style.
bool AdjustWindowRectEx(Rect* rect, std::uint32_t style, bool hasMenu, std::uint32_t exStyle);
/// Moves and sizes the window's outer rectangle (SWP_ flags keep either). False for no such window.
bool SetWindowPos(HWND window, HWND insertAfter, std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, std::uint32_t flags);
/// Shows the window, activating it the first time; whether it was visible before.
bool ShowWindow(HWND window, int showCommand);
/// Sends WM_PAINT. False for no such window.
bool UpdateWindow(HWND window);
/// The client area, from (0, 0). False for no such window.
bool GetClientRect(HWND window, Rect* rect);
/// Turns a client-area point into desktop coordinates. False for no such window.
bool ClientToScreen(HWND window, Point* point);
/// The window's client area in desktop coordinates.
Rect ClientAreaOnDesktop(HWND window);
/// True while the window exists and its application is the active one.
bool IsWindowActive(HWND window);

/// The oldest waiting message (after the backend turned OS events into messages), taken out with
/// PM_REMOVE; false when none waits.
bool PeekMessage(Message* message, HWND window, std::uint32_t filterMin, std::uint32_t filterMax, std::uint32_t remove);
/// 0 for WM_QUIT, else non-zero; sleeps until a message arrives.
int GetMessage(Message* message, HWND window, std::uint32_t filterMin, std::uint32_t filterMax);
/// Nothing to translate: no character messages are made; always false.
bool TranslateMessage(const Message* message);
/// Calls the message's window procedure; its result (0 without a window).
LRESULT DispatchMessage(const Message* message);
/// Sleeps until a message waits.
bool WaitMessage();
/// Queues WM_QUIT with the exit code.
void PostQuitMessage(int exitCode);
/// Queues a message for the window. False for no such window.
bool PostMessage(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
/// Calls the window procedure now; its result.
LRESULT SendMessage(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
/// What a window procedure does with a message it leaves: WM_CLOSE destroys the window.
LRESULT DefWindowProc(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
/// Shows an error box (on standard error too); the button pressed.
int MessageBox(HWND owner, const char* text, const char* caption, std::uint32_t type);

/// Sets how the window is shown on screen (WindowPresentation). False for no such window.
bool SetWindowPresentation(HWND window, const WindowPresentation& presentation);
/// Sets the window's caption. False for no such window.
bool SetWindowText(HWND window, const char* title);
/// Sets the window's icon, which must outlive its use by the window. False for no such window or
/// no icon.
bool SetWindowIcon(HWND window, const Resource* icon);

/// Forgets every window, class and queued message: a fresh window system (tests).
void ResetWindowSystem();

}  // namespace platform
