#pragma once
// A window with its screen, frame loop and events, owned by value:
//
//     media::Window window;
//     if (!window.Open("hello", 640, 480)) return 1;
//     float dt = 0;
//     while (window.NextFrame(dt)) { window.Draw().Clear(media::kDarkBlue); }
//
// NextFrame presents the frame drawn since the last call, waits for the display's vertical
// blank, reads the window's messages and the input devices into events, runs the frame's tasks
// (the audio output's looping tune), and gives the time step. The drawing area keeps the size
// the window was opened with: a fullscreen or resizable window shows it scaled to the size the
// window has on screen, keeping its shape, with black bars on the sides that are left over.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "canvas.h"
#include "event.h"
#include "key.h"
#include "status.h"

namespace media {

class FrameTask;
class GamepadSlots;
class Input;
class Picture;
class Screen;

/// A point in pixels.
struct IntPoint {
    std::int32_t x = 0;  ///< from the left
    std::int32_t y = 0;  ///< from the top
    /// Field-wise equality.
    friend bool operator==(const IntPoint&, const IntPoint&) = default;
};

/// How the window is shown.
enum class WindowMode {
    Windowed,    ///< a captioned window with a close box, at the size asked for
    Fullscreen,  ///< the whole display, the drawing area scaled to it
    Resizable,   ///< a captioned window the user may resize, the drawing area scaled to it
};

/// A window on the desktop with the screen inside it; closed by its destructor.
class Window {
public:
    /// A closed window; Open shows it.
    Window();
    /// Closes the window.
    ~Window();
    /// Movable, not copyable.
    /// @{
    Window(Window&&) noexcept;
    Window& operator=(Window&&) noexcept;
    /// @}

    /// Shows a window whose drawing area is width x height pixels, with its screen and input
    /// devices. A window already open is closed first; what its frame loop kept going (an
    /// Audio opened for it) goes on in the new window.
    Status Open(const char* title, std::int32_t width, std::int32_t height, WindowMode mode = WindowMode::Windowed);
    /// Closes the window; NextFrame then returns false.
    void Close();
    /// True between a successful Open and Close (or the close box).
    bool IsOpen() const;
    /// Switches between the whole display and a window, the drawing area keeping its size
    /// (scaled to the display). Leaving fullscreen gives a resizable window if the window was
    /// opened Resizable, else a window of the drawing area's size.
    Status SetFullscreen(bool fullscreen);
    /// True while the window covers the display.
    bool IsFullscreen() const;
    /// Shows the picture as the window's icon (in the title bar and the task list); its colour
    /// key's pixels are transparent, as in keyed copies. The picture may be destroyed after.
    Status SetIcon(const Picture& icon);
    /// Sets the caption.
    Status SetTitle(const char* title);

    /// Seconds since Open, on the platform's clock (millisecond steps); 0 while closed.
    double Time() const;
    /// Whether NextFrame waits for the display's vertical blank before presenting; on by default.
    /// This and the frame cap belong to the open window: a window opened anew starts with the
    /// vertical-blank wait on and no cap, and calls while closed do nothing.
    void SetVsync(bool on);
    /// At most fps frames a second (0, the default: no cap): NextFrame sleeps until the frame's
    /// turn on a fixed grid of 1/fps second from Open; a late frame goes at once and the next one
    /// aims at the following turn, so the long-run rate never exceeds fps.
    void SetTargetFps(std::int32_t fps);

    /// Puts UTF-8 text on the system clipboard.
    Status SetClipboardText(const char* utf8);
    /// The clipboard's text as UTF-8; empty when it holds none or there is no clipboard.
    std::string ClipboardText() const;
    /// Text input mode: while on, typing gives TextInput events with UTF-8 text from the system's
    /// keyboard layout (and its input methods), beside the KeyDown and US-layout Text events. Off
    /// when the window opens.
    void SetTextInput(bool on);
    /// True while text input mode is on.
    bool IsTextInput() const;

    /// Shows or hides the pointer while it is over the window.
    void ShowCursor(bool visible);
    /// Keeps the pointer inside the window (true) or lets it leave.
    Status ConfineCursor(bool confine);
    /// Relative mouse mode, for mouse-look: the pointer hidden and held in the window, MouseMoved
    /// events carrying the mouse's own moves (dx, dy) without limit, MousePosition where it was.
    Status SetRelativeMouse(bool relative);
    /// True while relative mouse mode is on.
    bool IsRelativeMouse() const;

    /// Ends one frame and starts the next: presents what was drawn (not on the first call),
    /// waits for the vertical blank, queues the frame's events and sets dt to the seconds since
    /// the previous call (0 on the first). False once the window was closed.
    bool NextFrame(float& dt);
    /// Takes the oldest event of this frame; false when none is left.
    bool PollEvent(Event& event);
    /// True while the key is down (as read at the start of this frame).
    bool IsKeyDown(Key key) const;
    /// True while the mouse button is down.
    bool IsMouseButtonDown(MouseButton button) const;
    /// Where the pointer is on the drawing area, in its pixels (as read at the start of this
    /// frame), through the scaling of a fullscreen or resizable window; outside the drawing area
    /// (negative, or beyond its size) while the pointer is over the bars or outside the window.
    IntPoint MousePosition() const;
    /// Events dropped since the window opened because a frame had more than the queue holds.
    std::size_t DroppedEvents() const;

    /// The canvas of the frame being drawn (the screen's back surface). Only while the window is open.
    Canvas Draw() const;
    /// Writes the drawing area as drawn so far (its own size, not the scaled window) to a PNG file.
    Status Screenshot(const char* path) const;
    /// Width of the drawing area in pixels.
    std::int32_t Width() const;
    /// Height of the drawing area in pixels.
    std::int32_t Height() const;
    /// Frames presented in the last second.
    std::int32_t FramesPerSecond() const;

    /// The layer's screen and input objects inside the window, for sprites and the game's calls.
    /// Only while the window is open.
    /// @{
    Screen& GetScreen() const;
    Input& GetInput() const;
    /// @}
    /// The platform window handle (null while closed), e.g. for the audio output.
    void* NativeHandle() const;

    /// The window's state behind a stable address, so that its window procedure can reach it.
    struct State;

private:
    friend void AddFrameTask(const Window& window, std::weak_ptr<FrameTask> task);
    friend class Gamepad;
    // The gamepad slots, for the Gamepad objects of this window (null while closed).
    std::shared_ptr<GamepadSlots> GamepadSlotsOf() const;

    std::unique_ptr<State> state_;
    // The gamepad slots outlive a Close, so that the Gamepad objects made for this window read
    // the pads of the window opened next; while closed they hold no pads.
    std::shared_ptr<GamepadSlots> pads_;
};

}  // namespace media
