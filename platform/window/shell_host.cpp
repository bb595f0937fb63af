#include "platform/window/shell_host.h"

#include "platform/core/backend.h"

namespace platform {

namespace {

// A backend that offers none of it: no clipboard, the pointer left as it is, nothing typed or dropped.
class NoShell final : public ShellHost {
public:
    bool SetClipboardText(const char*) override { return false; }
    bool ClipboardText(std::string& utf8) override {
        utf8.clear();
        return false;
    }
    void SetTextInput(Window&, bool) override {}
    void SetCursorVisible(bool) override {}
    bool ConfineCursor(Window&, bool) override { return false; }
    bool SetRelativeMouse(Window&, bool) override { return false; }
    void TakeShellEvents(const Window&, ShellEventSink, void*) override {}
};

}  // namespace

ShellHost& CurrentShellHost() {
    static NoShell none;
    const Backend& backend = CurrentBackend();
    return backend.shell ? backend.shell() : none;
}

}  // namespace platform
