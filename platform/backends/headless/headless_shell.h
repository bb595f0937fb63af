#pragma once
// The headless clipboard, pointer look and grab, typed text and dropped files: a test types and
// drops through ShellControls() and reads back what the program asked of the pointer.
#include <string>
#include <string_view>

#include "../../window/shell_event_queue.h"
#include "../../window/shell_host.h"

namespace platform::headless {

class HeadlessShell final : public ShellHost {
public:
    // Test controls.
    /// An empty clipboard, the pointer shown and free, text input off, nothing waiting.
    void Reset();
    /// Text typed into the window through the keyboard layout: reaches the window only while its
    /// text input is on, as on the desktop.
    void TypeText(const Window* window, std::string_view utf8);
    /// A file dropped on the window.
    void DropFile(const Window* window, std::string_view path);
    /// What the program last asked of the pointer.
    /// @{
    bool CursorVisible() const { return cursorVisible_; }
    const Window* ConfinedTo() const { return confinedTo_; }
    const Window* RelativeIn() const { return relativeIn_; }
    const Window* TextInputIn() const { return textInputIn_; }
    /// @}

    // ShellHost.
    bool SetClipboardText(const char* utf8) override;
    bool ClipboardText(std::string& utf8) override;
    void SetTextInput(Window& window, bool on) override;
    void SetCursorVisible(bool visible) override { cursorVisible_ = visible; }
    bool ConfineCursor(Window& window, bool confine) override;
    bool SetRelativeMouse(Window& window, bool relative) override;
    void TakeShellEvents(const Window& window, ShellEventSink sink, void* context) override;

private:
    std::string clipboard_;
    bool cursorVisible_ = true;
    const Window* confinedTo_ = nullptr;
    const Window* relativeIn_ = nullptr;
    const Window* textInputIn_ = nullptr;
    ShellEventQueue waiting_;
};

/// The headless backend's shell part.
HeadlessShell& ShellControls();

}  // namespace platform::headless
