#pragma once
// When to present frames on a display that refreshes hz times a second. The refreshes lie on a
// fixed grid counted from the clock's origin: refresh n at floor(n * unitsPerSecond / hz), in the
// clock's own units. A frame ready before the refresh it aims at waits for it; a frame that is
// late is presented at once, and the next frame aims at the first refresh after that. So a
// slightly late frame costs no extra refresh (the schedule catches up at the next one), a long
// stall is not followed by a burst of frames, and no two frames are presented between the same
// two refreshes: the long-run rate never exceeds the display's.
#include <algorithm>
#include <cstdint>

namespace platform {

class FramePacer {
public:
    FramePacer(std::int64_t unitsPerSecond, std::int32_t hz) : unitsPerSecond_(unitsPerSecond), hz_(std::max(1, hz)) {}

    std::int32_t Hz() const { return static_cast<std::int32_t>(hz_); }

    // Refresh n's time.
    std::int64_t Refresh(std::int64_t n) const { return n * unitsPerSecond_ / hz_; }

    // The first refresh strictly after t (t >= 0).
    std::int64_t FirstRefreshAfter(std::int64_t t) const {
        std::int64_t n = t * hz_ / unitsPerSecond_ + 1;
        while (Refresh(n) <= t) ++n;
        return Refresh(n);
    }

    // The time at which the frame ready at `now` is presented (never before now); the caller
    // waits until then and presents. The first frame is presented at once.
    std::int64_t Present(std::int64_t now) {
        const std::int64_t at = std::max(now, next_);
        next_ = FirstRefreshAfter(at);
        return at;
    }

private:
    std::int64_t unitsPerSecond_;
    std::int64_t hz_;
    // The refresh the next frame aims at.
    std::int64_t next_ = 0;
};

}  // namespace platform
