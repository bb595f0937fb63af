#include "platform/system.h"

#include <cstdio>

#include "platform/clock.h"

namespace platform {

std::uint32_t TimeGetTime() { return CurrentClock().Now(); }

void Sleep(std::uint32_t ms) { CurrentClock().Sleep(ms); }

void OutputDebugString(const char* text) {
    if (text) std::fputs(text, stderr);
}

}  // namespace platform
