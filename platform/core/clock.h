#pragma once
// The backend's clock: milliseconds that wrap at 32 bits, and sleeping. The headless clock moves
// only when told; the real one follows the steady clock.
#include <cstdint>

namespace platform {

/// The backend's clock.
class Clock {
public:
    virtual ~Clock() = default;
    /// Milliseconds from an arbitrary start, wrapping at 32 bits.
    virtual std::uint32_t Now() = 0;
    /// Sleeps (the headless clock moves on instead).
    virtual void Sleep(std::uint32_t ms) = 0;
};

/// The chosen backend's part (platform/core/backend.h).
Clock& CurrentClock();

}  // namespace platform
