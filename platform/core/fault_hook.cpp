#include "platform/core/fault_hook.h"

#include <iterator>

namespace platform {

namespace {

constexpr const char* kFaultNames[] = {
    "DirectDrawCreate", "SetCooperativeLevel", "CreatePrimarySurface", "CreateVideoSurface", "CreateSystemSurface",
    "CreateClipper",    "ClipperSetHWnd",      "SetClipper",           "RestoreSurface",     "SurfaceGetDC",
    "SetColorKey",      "DesktopGetDC",        "CreateWindow",         "EnumerateDrivers",   "EnumerateDisplayModes",
    "MirrorBlit"};
static_assert(std::size(kFaultNames) == static_cast<std::size_t>(FaultPoint::Count));

FaultHook*& Installed() {
    static FaultHook* hook = nullptr;
    return hook;
}

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

void InstallFaultHook(FaultHook* hook) { Installed() = hook; }

HRESULT FaultAt(FaultPoint point) { return Installed() ? Installed()->At(point) : S_OK; }

}  // namespace platform
