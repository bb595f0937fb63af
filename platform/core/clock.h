#pragma once
// The backend's clock: milliseconds that wrap at 32 bits, and sleeping. The headless clock moves
// only when told; the real one follows the steady clock.
#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint32_t Now() = 0;
    virtual void Sleep(std::uint32_t ms) = 0;
};

// The chosen backend's part (platform/core/backend.h).
Clock& CurrentClock();

}  // namespace platform
