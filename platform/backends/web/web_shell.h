#pragma once
// The web backend's clipboard, pointer look and lock, typed text and dropped files, on the page's
// own interfaces:
//   - the clipboard: the browser reads its clipboard only asynchronously (and only with the
//     player's permission), so the page keeps the last text it knows: the text the program put
//     there, the text of the last paste on the page, or the clipboard read when the page gains
//     the focus where reading is already allowed. The program's read gives that text at once.
//     Setting it also writes the system clipboard where the browser allows it, and a copy on the
//     page (Ctrl+C) copies it.
//   - typed text: while a window's text input is on, a hidden text field has the keyboard's focus,
//     so the browser's layout and input methods type into it (and a phone shows its keyboard);
//     what lands there, or what a composition ends with, is handed to the window and the field
//     emptied.
//   - dropped files: each file dropped on the page is written into the program's file system
//     under /dropped/N/ (one folder a file, so equal names do not overwrite) and its path handed
//     to the canvas's window.
//   - the pointer: hidden by the canvas's CSS cursor; relative mode is the Pointer Lock API, which
//     the browser grants only during a click or key press, so a lock asked for without one is
//     taken at the next click on the canvas. The browser cannot keep a visible pointer inside an
//     element: confining it is refused.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/window/shell_event_queue.h"
#include "platform/window/shell_host.h"

namespace platform::web {

class WebShell final : public ShellHost {
public:
    WebShell();
    WebShell(const WebShell&) = delete;
    WebShell& operator=(const WebShell&) = delete;

    // From the page: a piece of the page's buffer (text typed or a dropped file's path), handed to
    // the canvas's window.
    void PieceFromPage(ShellEventKind kind, std::size_t length);
    // The window is going away: what waits for it is dropped.
    void Forget(const Window* window);
    // True while a window's text input is on: the keys that type are then left to the browser,
    // which types them into the hidden field.
    bool TextInputOn() const { return textInputIn_ != nullptr; }

    bool SetClipboardText(const char* utf8) override;
    bool ClipboardText(std::string& utf8) override;
    void SetTextInput(Window& window, bool on) override;
    void SetCursorVisible(bool visible) override;
    bool ConfineCursor(Window& window, bool confine) override;
    bool SetRelativeMouse(Window& window, bool relative) override;
    void TakeShellEvents(const Window& window, ShellEventSink sink, void* context) override;

private:
    const Window* textInputIn_ = nullptr;
    ShellEventQueue waiting_;
    // Where the page writes a piece's UTF-8 before handing it over; a longer piece is left out.
    std::array<char, 4096> fromPage_{};
};

// The backend's one WebShell, made on first use.
WebShell& Shell();

}  // namespace platform::web
