#pragma once
// A window with its screen, frame loop and events, owned by value:
//
//     media::Window window;
//     if (!window.Open("hello", 640, 480)) return 1;
//     float dt = 0;
//     while (window.NextFrame(dt)) { window.Draw().Clear(media::kDarkBlue); }
//
// NextFrame presents the frame drawn since the last call, waits for the display's vertical
// blank, reads the window's messages and the input devices into events, and gives the time step.
// The platform layer offers windowed mode only, at a fixed client size: there is no fullscreen
// or resizable window, and Open refuses both with ErrorCode::Unsupported.
#include <cstdint>
#include <memory>

#include "canvas.h"
#include "event.h"
#include "key.h"
#include "status.h"

namespace media {

class FrameTask;
class Input;
class Screen;

/// How the window is shown.
enum class WindowMode {
    Windowed,    ///< a captioned window with a close box, at the size asked for
    Fullscreen,  ///< not offered by the platform layer: Open says so
    Resizable,   ///< not offered by the platform layer: Open says so
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
    /// devices. A window already open is closed first.
    Status Open(const char* title, std::int32_t width, std::int32_t height, WindowMode mode = WindowMode::Windowed);
    /// Closes the window; NextFrame then returns false.
    void Close();
    /// True between a successful Open and Close (or the close box).
    bool IsOpen() const;

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

    /// The canvas of the frame being drawn (the screen's back surface). Only while the window is open.
    Canvas Draw() const;
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

    std::unique_ptr<State> state_;
};

}  // namespace media
