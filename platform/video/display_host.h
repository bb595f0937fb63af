#pragma once
// What a backend provides for the display: an explicit open step that can fail (no display), the
// desktop's mode, the vertical-blank wait, and the desktop's primary surface, whose copies and
// fills go to the backend's Desktop.
#include <cstdint>
#include <memory>

#include "../core/result_codes.h"
#include "../pixels/surface_desc.h"

namespace platform {

class DisplaySurface;

/// The desktop's mode.
struct DesktopMode {
    /// Size in pixels.
    /// @{
    std::int32_t width = 0, height = 0;
    /// @}
    /// Pixel format.
    PixelFormatDesc format;
    /// Refresh rate (frames a second).
    std::int32_t refreshHz = 60;
};

/// What a backend provides for the display: the desktop, its primary surface and the vertical blank.
class DisplayHost {
public:
    virtual ~DisplayHost() = default;
    /// Makes the display usable; DD_OK, or the reason there is none (DDERR_NODIRECTDRAWHW).
    /// Safe to call again: later calls report the first outcome.
    virtual HRESULT Open() = 0;
    /// The desktop's size and pixel format.
    virtual DesktopMode Desktop() = 0;
    /// Waits for the display's next vertical blank (the headless one moves its clock on a frame).
    virtual void WaitForVerticalBlank() = 0;
    /// The desktop's primary surface, one object shared by every display device; null without
    /// a display.
    virtual std::shared_ptr<DisplaySurface> PrimarySurface() = 0;
};

/// The chosen backend's part (platform/core/backend.h).
DisplayHost& CurrentDisplayHost();

}  // namespace platform
