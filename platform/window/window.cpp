#include "platform/window/window.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "platform/core/fault_hook.h"
#include "platform/core/quit_signals.h"
#include "platform/window/window_host.h"

namespace platform {

namespace {

struct WindowSystem {
    std::map<std::string, WindowClass> classes;
    std::vector<std::unique_ptr<Window>> windows;
    std::deque<Message> queue;
    bool quitPosted = false;
    int exitCode = 0;
};

WindowSystem& System() {
    static WindowSystem system;
    return system;
}

bool IsWindow(HWND window) {
    const auto& windows = System().windows;
    return window && std::any_of(windows.begin(), windows.end(), [&](const auto& w) { return w.get() == window; });
}

bool HasFrame(std::uint32_t style) { return (style & WS_CAPTION) == WS_CAPTION; }

// Takes (or, without remove, looks at) the next message; a posted quit comes after every other.
bool NextMessage(Message* message, bool remove) {
    WindowSystem& s = System();
    if (!s.queue.empty()) {
        if (message) *message = s.queue.front();
        if (remove) s.queue.pop_front();
        return true;
    }
    if (!s.quitPosted) return false;
    if (message) *message = {nullptr, WM_QUIT, static_cast<WPARAM>(s.exitCode), 0};
    if (remove) s.quitPosted = false;
    return true;
}

bool AnyMessage() { return !System().queue.empty() || System().quitPosted; }

// Turns the backend's waiting OS events into messages, then a quit signal caught since the last
// look (SIGTERM, SIGINT) into a close request to every window, whatever the backend: one that has
// no OS events of its own (headless) would otherwise never end. A signal that comes before any
// window exists waits for one.
void Pump(bool wait) {
    CurrentWindowHost().PumpEvents(wait);
    WindowSystem& s = System();
    if (s.windows.empty() || !TakeQuitSignal()) return;
    for (const auto& window : s.windows) s.queue.push_back({window.get(), WM_CLOSE, 0, 0});
}

// Hands a message to the window procedure, noting activation changes on the way so that the
// window system knows what the application was told.
LRESULT Deliver(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ACTIVATEAPP) {
        window->active = wParam != 0;
        if (!window->active) ++window->deactivations;
    }
    return window->proc(window, message, wParam, lParam);
}

}  // namespace

bool RegisterClass(const WindowClass& windowClass) {
    if (windowClass.className.empty() || !windowClass.proc) return false;
    return System().classes.emplace(windowClass.className, windowClass).second;
}

HWND CreateWindowEx(std::uint32_t exStyle, const char* className, const char* title, std::uint32_t style,
                    std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    WindowSystem& s = System();
    auto cls = s.classes.find(className ? className : "");
    if (cls == s.classes.end() || Failed(FaultAt(FaultPoint::CreateWindow))) return nullptr;
    auto window = std::make_unique<Window>();
    window->className = cls->first;
    window->title = title ? title : "";
    window->proc = cls->second.proc;
    window->icon = cls->second.icon;
    window->style = style;
    window->exStyle = exStyle;
    window->outer = {x, y, x + width, y + height};
    if (!CurrentWindowHost().CreateNativeWindow(*window)) return nullptr;
    s.windows.push_back(std::move(window));
    return s.windows.back().get();
}

bool DestroyWindow(HWND window) {
    if (!IsWindow(window)) return false;
    SendMessage(window, WM_DESTROY, 0, 0);
    CurrentWindowHost().DestroyNativeWindow(*window);
    WindowSystem& s = System();
    std::erase_if(s.queue, [&](const Message& m) { return m.window == window; });
    std::erase_if(s.windows, [&](const auto& w) { return w.get() == window; });
    return true;
}

std::int32_t GetWindowLong(HWND window, int index) {
    if (!IsWindow(window)) return 0;
    if (index == GWL_STYLE) return static_cast<std::int32_t>(window->style);
    if (index == GWL_EXSTYLE) return static_cast<std::int32_t>(window->exStyle);
    return 0;
}

std::int32_t SetWindowLong(HWND window, int index, std::int32_t value) {
    if (!IsWindow(window)) return 0;
    const std::int32_t old = GetWindowLong(window, index);
    if (index == GWL_STYLE) window->style = static_cast<std::uint32_t>(value);
    if (index == GWL_EXSTYLE) window->exStyle = static_cast<std::uint32_t>(value);
    return old;
}

bool GetMenu(HWND) { return false; }

bool AdjustWindowRectEx(Rect* rect, std::uint32_t style, bool hasMenu, std::uint32_t) {
    if (!rect) return false;
    const FrameMetrics frame = CurrentWindowHost().Frame();
    if (HasFrame(style)) {
        rect->left -= frame.border;
        rect->right += frame.border;
        rect->top -= frame.border + frame.caption;
        rect->bottom += frame.border;
    }
    if (hasMenu) rect->top -= frame.menu;
    return true;
}

bool SetWindowPos(HWND window, HWND, std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, std::uint32_t flags) {
    if (!IsWindow(window)) return false;
    Rect& r = window->outer;
    if (!(flags & SWP_NOMOVE)) r = Offset(r, x - r.left, y - r.top);
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + std::max(cx, 0);
        r.bottom = r.top + std::max(cy, 0);
    }
    CurrentWindowHost().UpdateNativeWindow(*window);
    return true;
}

bool SetWindowPresentation(HWND window, const WindowPresentation& presentation) {
    if (!IsWindow(window)) return false;
    window->presentation = presentation;
    CurrentWindowHost().UpdateNativeWindow(*window);
    return true;
}

bool SetWindowText(HWND window, const char* title) {
    if (!IsWindow(window)) return false;
    window->title = title ? title : "";
    CurrentWindowHost().UpdateNativeWindow(*window);
    return true;
}

bool SetWindowIcon(HWND window, const Resource* icon) {
    if (!IsWindow(window) || !icon) return false;
    window->icon = icon;
    CurrentWindowHost().UpdateNativeWindow(*window);
    return true;
}

bool ShowWindow(HWND window, int) {
    if (!IsWindow(window)) return false;
    const bool wasVisible = window->visible;
    window->visible = true;
    CurrentWindowHost().UpdateNativeWindow(*window);
    // A window is active from the moment it is first shown, whether or not a focus change is
    // ever reported.
    if (!window->shownOnce) {
        window->shownOnce = true;
        SendMessage(window, WM_ACTIVATEAPP, 1, 0);
    }
    return wasVisible;
}

bool UpdateWindow(HWND window) { return IsWindow(window); }

bool GetClientRect(HWND window, Rect* rect) {
    if (!IsWindow(window) || !rect) return false;
    Rect frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, window->style, false, window->exStyle);
    *rect = {0, 0, std::max(0, window->outer.Width() - frame.Width()), std::max(0, window->outer.Height() - frame.Height())};
    return true;
}

bool ClientToScreen(HWND window, Point* point) {
    if (!IsWindow(window) || !point) return false;
    const Point origin = CurrentWindowHost().ClientOrigin(*window);
    point->x += origin.x;
    point->y += origin.y;
    return true;
}

Rect ClientAreaOnDesktop(HWND window) {
    Rect client;
    Point origin;
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return {};
    return Offset(client, origin.x, origin.y);
}

bool IsWindowActive(HWND window) { return IsWindow(window) && window->active; }

bool PeekMessage(Message* message, HWND, std::uint32_t, std::uint32_t, std::uint32_t remove) {
    Pump(false);
    return NextMessage(message, (remove & PM_REMOVE) != 0);
}

int GetMessage(Message* message, HWND, std::uint32_t, std::uint32_t) {
    Pump(false);
    if (!AnyMessage()) Pump(true);
    Message m;
    // A backend that cannot wait (headless with nothing scripted) gives an error, never a hang.
    if (!NextMessage(&m, true)) return -1;
    if (message) *message = m;
    return m.message == WM_QUIT ? 0 : 1;
}

bool TranslateMessage(const Message*) { return false; }

LRESULT DispatchMessage(const Message* message) {
    if (!message || !IsWindow(message->window)) return 0;
    return Deliver(message->window, message->message, message->wParam, message->lParam);
}

bool WaitMessage() {
    if (!AnyMessage()) Pump(true);
    return true;
}

void PostQuitMessage(int exitCode) {
    System().quitPosted = true;
    System().exitCode = exitCode;
}

bool PostMessage(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (window && !IsWindow(window)) return false;
    System().queue.push_back({window, message, wParam, lParam});
    return true;
}

LRESULT SendMessage(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(window)) return 0;
    return Deliver(window, message, wParam, lParam);
}

LRESULT DefWindowProc(HWND window, std::uint32_t message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

int MessageBox(HWND owner, const char* text, const char* caption, std::uint32_t type) {
    return CurrentWindowHost().ShowMessageBox(IsWindow(owner) ? owner : nullptr, text ? text : "", caption ? caption : "", type);
}

void ResetWindowSystem() {
    WindowSystem& s = System();
    while (!s.windows.empty()) {
        CurrentWindowHost().DestroyNativeWindow(*s.windows.back());
        s.windows.pop_back();
    }
    s.classes.clear();
    s.queue.clear();
    s.quitPosted = false;
    s.exitCode = 0;
}

}  // namespace platform
