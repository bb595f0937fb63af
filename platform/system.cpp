#include "platform/system.h"

#include <cstdio>
#include <cstring>

#include "platform/clock.h"

namespace platform {

namespace {
DebugOutputHook debugOutputHook = nullptr;
}  // namespace

std::uint32_t TimeGetTime() { return CurrentClock().Now(); }

void Sleep(std::uint32_t ms) { CurrentClock().Sleep(ms); }

void SetDebugOutputHook(DebugOutputHook hook) { debugOutputHook = hook; }

void OutputDebugString(const char* text) {
    if (!text) return;
    if (debugOutputHook) {
        debugOutputHook(text);
        return;
    }
    std::fputs(text, stderr);
    if (!*text || text[std::strlen(text) - 1] != '\n') std::fputc('\n', stderr);
}

}  // namespace platform
