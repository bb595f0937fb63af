#pragma once
// SDL's clipboard, cursor, window grab, relative mouse mode, text input and dropped files. The
// backend's event pump hands typed text and dropped paths to Queue; the window takes them once a
// frame.
#include <string>
#include <string_view>

#include "platform/window/shell_event_queue.h"
#include "platform/window/shell_host.h"

namespace platform::sdl {

class SdlShell final : public ShellHost {
public:
    // From the backend's event pump: text typed or a file dropped on the window.
    void Queue(const Window* window, ShellEventKind kind, std::string_view utf8);
    // The window is going away: what waits for it is dropped.
    void Forget(const Window* window);

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
};

// The backend's one SdlShell.
SdlShell& Shell();

}  // namespace platform::sdl
