#pragma once
// What a backend provides around its windows beyond window messages: the clipboard, the
// pointer's look and grab, text typed through the system's keyboard layout, and files dropped on
// a window. Text and dropped paths wait in the backend until the window takes them, once a frame.
// A backend without these (Backend::shell left null) gets the stand-in of CurrentShellHost,
// which has no clipboard and never types or drops anything.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

class Window;

/// What a window was given: text typed (UTF-8, one piece per system notice) or a dropped file's path.
enum class ShellEventKind : std::uint8_t { Text, DroppedFile };

/// Called by TakeShellEvents for each waiting piece, oldest first; the bytes live for the call only.
using ShellEventSink = void (*)(void* context, ShellEventKind kind, std::string_view utf8);

/// The clipboard, the pointer's look and grab, typed text and dropped files.
class ShellHost {
public:
    virtual ~ShellHost() = default;
    /// Puts UTF-8 text on the system clipboard; false when there is no clipboard.
    virtual bool SetClipboardText(const char* utf8) = 0;
    /// The clipboard's text as UTF-8 (empty when it holds none); false when there is no clipboard.
    virtual bool ClipboardText(std::string& utf8) = 0;
    /// Whether typing gives the window text through the system's keyboard layout (and its input
    /// methods). Off until asked for.
    virtual void SetTextInput(Window& window, bool on) = 0;
    /// Shows or hides the pointer over the backend's windows.
    virtual void SetCursorVisible(bool visible) = 0;
    /// Keeps the pointer inside the window (or lets it go); false when the backend cannot.
    virtual bool ConfineCursor(Window& window, bool confine) = 0;
    /// Relative mode: the pointer hidden and held in the window, the mouse reporting moves only;
    /// false when the backend cannot.
    virtual bool SetRelativeMouse(Window& window, bool relative) = 0;
    /// Hands the text and dropped paths waiting for the window to sink, oldest first, and forgets them.
    virtual void TakeShellEvents(const Window& window, ShellEventSink sink, void* context) = 0;
};

/// The chosen backend's part, or a stand-in without clipboard, text or drops.
ShellHost& CurrentShellHost();

}  // namespace platform
