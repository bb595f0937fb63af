#pragma once
// Scripted fingers: a test puts fingers down on a window, moves and lifts them through
// TouchControls(), at places in the window's client area as shown on screen.
#include <cstdint>

#include "../../input/touch_host.h"
#include "../../input/touch_queue.h"

namespace platform::headless {

class HeadlessTouches final : public TouchHost {
public:
    // Test controls.
    /// Nothing waiting.
    void Reset() { waiting_.Clear(); }
    /// A finger's notice for the window, taken at its next read.
    void Touch(const Window* window, TouchPhase phase, std::int64_t finger, std::int32_t x, std::int32_t y) {
        waiting_.Add(window, {phase, finger, x, y});
    }

    // TouchHost.
    void TakeTouches(const Window& window, TouchSink sink, void* context) override { waiting_.Take(&window, sink, context); }

private:
    TouchQueue waiting_;
};

/// The headless backend's touch screen.
HeadlessTouches& TouchControls();

}  // namespace platform::headless
