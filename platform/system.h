#pragma once
// Process services: the millisecond clock, sleeping and the debugger output.
#include <cstdint>

namespace platform {

// Milliseconds from an arbitrary start, wrapping at 32 bits.
std::uint32_t TimeGetTime();
void Sleep(std::uint32_t ms);
// Developer messages: written to standard error.
void OutputDebugString(const char* text);

}  // namespace platform
