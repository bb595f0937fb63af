#include "platform/backends/headless/headless_shell.h"

namespace platform::headless {

HeadlessShell& ShellControls() {
    static HeadlessShell shell;
    return shell;
}

void HeadlessShell::Reset() {
    clipboard_.clear();
    cursorVisible_ = true;
    confinedTo_ = relativeIn_ = textInputIn_ = nullptr;
    waiting_.Clear();
}

void HeadlessShell::TypeText(const Window* window, std::string_view utf8) {
    if (window && window == textInputIn_) waiting_.Add(window, ShellEventKind::Text, utf8);
}

void HeadlessShell::DropFile(const Window* window, std::string_view path) { waiting_.Add(window, ShellEventKind::DroppedFile, path); }

bool HeadlessShell::SetClipboardText(const char* utf8) {
    clipboard_ = utf8 ? utf8 : "";
    return true;
}

bool HeadlessShell::ClipboardText(std::string& utf8) {
    utf8 = clipboard_;
    return true;
}

// One window types at a time, as one window has the keyboard's focus.
void HeadlessShell::SetTextInput(Window& window, bool on) {
    if (on) textInputIn_ = &window;
    else if (textInputIn_ == &window) textInputIn_ = nullptr;
}

bool HeadlessShell::ConfineCursor(Window& window, bool confine) {
    if (confine) confinedTo_ = &window;
    else if (confinedTo_ == &window) confinedTo_ = nullptr;
    return true;
}

bool HeadlessShell::SetRelativeMouse(Window& window, bool relative) {
    if (relative) relativeIn_ = &window;
    else if (relativeIn_ == &window) relativeIn_ = nullptr;
    return true;
}

void HeadlessShell::TakeShellEvents(const Window& window, ShellEventSink sink, void* context) { waiting_.Take(&window, sink, context); }

}  // namespace platform::headless
