#pragma once
// SDL's finger events as touch notices: the backend's event pump hands each finger's down, motion
// and up to Queue with SDL's place (a fraction of the window's width and height), turned here into
// a pixel of the client area; the window takes them once a frame.
#include <cstdint>

#include "platform/input/touch_host.h"
#include "platform/input/touch_queue.h"

namespace platform::sdl {

class SdlTouches final : public TouchHost {
public:
    // From the backend's event pump: a finger on the window, whose client area is width x height
    // pixels on screen, at (fx, fy) in fractions of it.
    void Queue(const Window* window, TouchPhase phase, std::int64_t finger, float fx, float fy, std::int32_t width, std::int32_t height);
    // The window is going away: what waits for it is dropped.
    void Forget(const Window* window) { waiting_.Forget(window); }

    void TakeTouches(const Window& window, TouchSink sink, void* context) override { waiting_.Take(&window, sink, context); }

private:
    TouchQueue waiting_;
};

/// The pixel a fraction of a side of length pixels falls on: rounded down, and kept on the side
/// (X11 gives the last pixel as 1.0, and a finger dragged out of the window goes past it).
std::int32_t FingerPixel(float fraction, std::int32_t length);

SdlTouches& Touches();

}  // namespace platform::sdl
