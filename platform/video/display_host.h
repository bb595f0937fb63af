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

struct DesktopMode {
    std::int32_t width = 0, height = 0;
    PixelFormatDesc format;
    std::int32_t refreshHz = 60;
};

class DisplayHost {
public:
    virtual ~DisplayHost() = default;
    // Makes the display usable; DD_OK, or the reason there is none (DDERR_NODIRECTDRAWHW).
    // Safe to call again: later calls report the first outcome.
    virtual HRESULT Open() = 0;
    virtual DesktopMode Desktop() = 0;
    virtual void WaitForVerticalBlank() = 0;
    // The desktop's primary surface, one object shared by every display device; null without
    // a display.
    virtual std::shared_ptr<DisplaySurface> PrimarySurface() = 0;
};

// The chosen backend's part (platform/core/backend.h).
DisplayHost& CurrentDisplayHost();

}  // namespace platform
