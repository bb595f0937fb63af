#pragma once
// What every backend provides to the shared platform code: the clock, the desktop, the
// vertical-blank wait, native windows and their events, the error box, and (headless only)
// injected failures. Exactly one backend is linked into a program; CurrentBackend() returns it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/display_surface.h"
#include "platform/geometry.h"
#include "platform/result_codes.h"
#include "platform/surface_desc.h"

namespace platform {

class Window;

// Places where a platform operation can be made to fail. The headless backend lets tests switch
// each one on; the real backend never fails them on purpose.
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
    DesktopGetDC,
    CreateWindow,
    EnumerateDrivers,
    EnumerateDisplayModes,
    MirrorBlit,  // the display has no mirroring copy: mirrored Blt calls give DDERR_NOMIRRORHW
    Count
};
const char* FaultPointName(FaultPoint point);
bool FaultPointFromName(const std::string& name, FaultPoint* point);

struct DesktopMode {
    std::int32_t width = 0, height = 0;
    PixelFormatDesc format;
    std::int32_t refreshHz = 60;
};

// Outer-frame sizes that window sizing adds around a client area.
struct FrameMetrics {
    std::int32_t border = 0;   // each side
    std::int32_t caption = 0;  // above the client area, with a caption style
    std::int32_t menu = 0;     // above the client area, with a menu
};

// Receives the copy onto the desktop's primary surface where the desktop is not plain memory
// (a real window): the source part and where it lands on the desktop, already clipped.
class Presenter {
public:
    virtual ~Presenter() = default;
    virtual void Present(const DisplaySurface& source, const Rect& sourceRect, const Rect& desktopRect) = 0;
};

class Backend {
public:
    virtual ~Backend() = default;

    // Injected failure for an operation, S_OK when it should go ahead.
    virtual HRESULT FaultAt(FaultPoint) { return S_OK; }

    virtual std::uint32_t Now() = 0;  // milliseconds, wraps at 32 bits
    virtual void Sleep(std::uint32_t ms) = 0;

    virtual DesktopMode Desktop() = 0;
    virtual void WaitForVerticalBlank() = 0;
    // The desktop's primary surface; one object shared by every display device.
    virtual std::shared_ptr<DisplaySurface> PrimarySurface() = 0;

    virtual FrameMetrics Frame() = 0;
    virtual bool CreateNativeWindow(Window& window) = 0;
    virtual void DestroyNativeWindow(Window& window) = 0;
    // The window's size, position, title or visibility changed.
    virtual void UpdateNativeWindow(Window& window) = 0;
    virtual Point ClientOrigin(const Window& window);
    // Turns waiting OS events into window messages; with wait, sleeps until at least one came.
    virtual void PumpEvents(bool wait) = 0;
    virtual int ShowMessageBox(Window* owner, const char* text, const char* caption, std::uint32_t type) = 0;
};

Backend& CurrentBackend();

}  // namespace platform
