#pragma once
// Fingers on a touch screen: each finger down, moving and lifted is one notice with the finger's
// id (the same from its down to its up) and its place in the window's client area as shown on
// screen, in pixels. Notices wait in the backend until the window takes them, once a frame. A
// backend without touch (Backend::touches left null) gets the stand-in of CurrentTouchHost, which
// never gives any.
#include <cstdint>

namespace platform {

class Window;

/// What a finger did.
enum class TouchPhase : std::uint8_t { Down, Move, Up };

/// One finger's notice.
struct TouchNotice {
    TouchPhase phase = TouchPhase::Down;
    std::int64_t finger = 0;  ///< the backend's id of the finger, kept while it touches
    std::int32_t x = 0;       ///< in the client area as shown on screen, in pixels
    std::int32_t y = 0;
};

/// Called by TakeTouches for each waiting notice, oldest first.
using TouchSink = void (*)(void* context, const TouchNotice& touch);

/// What a backend provides for touch screens.
class TouchHost {
public:
    virtual ~TouchHost() = default;
    /// Hands the notices waiting for the window to sink, oldest first, and forgets them.
    virtual void TakeTouches(const Window& window, TouchSink sink, void* context) = 0;
};

/// The chosen backend's part, or a stand-in that never gives a notice.
TouchHost& CurrentTouchHost();

}  // namespace platform
