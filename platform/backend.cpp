#include <cstdio>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/system.h"

namespace platform {

namespace {

constexpr const char* kFaultNames[] = {
    "DirectDrawCreate",  "SetCooperativeLevel", "CreatePrimarySurface", "CreateVideoSurface",
    "CreateSystemSurface", "CreateClipper",     "ClipperSetHWnd",       "SetClipper",
    "RestoreSurface",    "SurfaceGetDC",        "DesktopGetDC",         "CreateWindow",
    "EnumerateDrivers",  "EnumerateDisplayModes"};
static_assert(std::size(kFaultNames) == static_cast<std::size_t>(FaultPoint::Count));

}  // namespace

const char* FaultPointName(FaultPoint point) {
    const auto index = static_cast<std::size_t>(point);
    return index < std::size(kFaultNames) ? kFaultNames[index] : "";
}

bool FaultPointFromName(const std::string& name, FaultPoint* point) {
    for (std::size_t i = 0; i < std::size(kFaultNames); ++i) {
        if (name == kFaultNames[i]) {
            if (point) *point = static_cast<FaultPoint>(i);
            return true;
        }
    }
    return false;
}

std::uint32_t TimeGetTime() { return CurrentBackend().Now(); }

void Sleep(std::uint32_t ms) { CurrentBackend().Sleep(ms); }

namespace {
DebugOutputHook debugOutputHook = nullptr;
}  // namespace

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
