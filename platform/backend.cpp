#include <cstdio>
#include <string>

#include "platform/backend.h"
#include "platform/system.h"

namespace platform {

namespace {

constexpr const char* kFaultNames[] = {
    "DirectDrawCreate",  "SetCooperativeLevel", "CreatePrimarySurface", "CreateVideoSurface",
    "CreateSystemSurface", "CreateClipper",     "ClipperSetHWnd",       "SetClipper",
    "RestoreSurface",    "SurfaceGetDC",        "DesktopGetDC",         "CreateWindow",
    "EnumerateDrivers",  "EnumerateDisplayModes", "MirrorBlit"};
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

void OutputDebugString(const char* text) {
    if (text) std::fputs(text, stderr);
}

}  // namespace platform
