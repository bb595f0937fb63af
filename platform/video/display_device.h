#pragma once
// The display device: cooperative level with a window, creation of surfaces and clippers, the
// vertical-blank wait, and the informational driver, capability and display-mode lists.
#include <array>
#include <cstdint>
#include <memory>

#include "clipper.h"
#include "display_surface.h"
#include "../core/guid.h"
#include "../core/result_codes.h"
#include "../pixels/surface_desc.h"

namespace platform {

class Window;

// Capabilities of a display driver, informational only.
struct DisplayCaps {
    std::uint32_t size = 0;
    std::uint32_t caps = 0;
    std::uint32_t caps2 = 0;
    std::uint32_t videoMemoryTotal = 0;
    std::uint32_t videoMemoryFree = 0;
};
inline constexpr std::uint32_t DDCAPS_BLT = 0x40;
inline constexpr std::uint32_t DDCAPS_BLTSTRETCH = 0x200;
inline constexpr std::uint32_t DDCAPS_COLORKEY = 0x400000;

inline constexpr std::uint32_t DDSCL_NORMAL = 0x8;
inline constexpr std::uint32_t DDWAITVB_BLOCKBEGIN = 0x1;
inline constexpr std::uint32_t DDEDM_STANDARDVGAMODES = 0x2;
inline constexpr std::uint32_t DDENUM_ATTACHEDSECONDARYDEVICES = 0x1;
inline constexpr std::uint32_t DDENUM_NONDISPLAYDEVICES = 0x4;
inline constexpr int DDENUMRET_CANCEL = 0;
inline constexpr int DDENUMRET_OK = 1;

using ModeCallback = int (*)(const SurfaceDesc* mode, void* context);
// guid is null for the primary display driver; monitor is an opaque handle.
using DriverCallback = int (*)(const Guid* guid, const char* description, const char* name, void* context, void* monitor);

class DisplayDevice {
public:
    HRESULT SetCooperativeLevel(Window* window, std::uint32_t flags);
    HRESULT CreateSurface(const SurfaceDesc* desc, std::shared_ptr<DisplaySurface>* surface);
    HRESULT CreateClipper(std::uint32_t flags, std::shared_ptr<Clipper>* clipper);
    HRESULT WaitForVerticalBlank(std::uint32_t flags, void* event);
    HRESULT EnumDisplayModes(std::uint32_t flags, const SurfaceDesc* filter, void* context, ModeCallback callback);
    HRESULT GetCaps(DisplayCaps* hardware, DisplayCaps* emulation);
    HRESULT FlipToGDISurface();
    HRESULT RestoreDisplayMode();

private:
    Window* cooperativeWindow_ = nullptr;
};

// guid null: the primary display.
HRESULT DirectDrawCreate(const Guid* guid, std::shared_ptr<DisplayDevice>* device);
HRESULT DirectDrawEnumerateEx(DriverCallback callback, void* context, std::uint32_t flags);

}  // namespace platform
