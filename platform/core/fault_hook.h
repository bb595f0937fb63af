#pragma once
// Places where a platform operation can be made to fail, and the one hook that decides. Nothing
// is installed in a real program, so every operation goes ahead; the headless backend installs
// its fault switches so that tests reach every failure path of the layer.
#include <string>

#include "result_codes.h"

namespace platform {

/// The display and window operations a fault switch can make fail (headless backend).
enum class FaultPoint {
    DirectDrawCreate,
    SetCooperativeLevel,
    CreatePrimarySurface,
    CreateVideoSurface,
    CreateSystemSurface,
    CreateClipper,
    ClipperSetHWnd,
    SetClipper,
    RestoreSurface,
    SurfaceGetDC,
    SetColorKey,
    DesktopGetDC,
    CreateWindow,
    EnumerateDrivers,
    EnumerateDisplayModes,
    MirrorBlit,  ///< the display has no mirroring copy: mirrored Blt calls give DDERR_NOMIRRORHW
    Count
};
/// An operation's name ("CreateClipper").
const char* FaultPointName(FaultPoint point);
/// The operation of a name; false for none.
bool FaultPointFromName(const std::string& name, FaultPoint* point);

/// What the display and window operations ask before they go ahead.
class FaultHook {
public:
    virtual ~FaultHook() = default;
    /// The injected failure for an operation, S_OK when it should go ahead.
    virtual HRESULT At(FaultPoint) { return S_OK; }
};

/// Installs the hook (null: none); the caller keeps it alive while installed.
void InstallFaultHook(FaultHook* hook);
/// The injected failure for an operation (S_OK without a hook).
HRESULT FaultAt(FaultPoint point);

}  // namespace platform
