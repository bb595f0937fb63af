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

/// Capabilities of a display driver, informational only.
struct DisplayCaps {
    /// What a display device can do: the structure's size, DDCAPS_ flags, more flags, video memory in all and free.
    /// @{
    std::uint32_t size = 0;
    std::uint32_t caps = 0;
    std::uint32_t caps2 = 0;
    std::uint32_t videoMemoryTotal = 0;
    std::uint32_t videoMemoryFree = 0;
    /// @}
};
/// Capabilities: copies, stretched copies, colour keys.
/// @{
inline constexpr std::uint32_t DDCAPS_BLT = 0x40;
inline constexpr std::uint32_t DDCAPS_BLTSTRETCH = 0x200;
inline constexpr std::uint32_t DDCAPS_COLORKEY = 0x400000;
/// @}

/// Cooperative level: a window on the desktop.
inline constexpr std::uint32_t DDSCL_NORMAL = 0x8;
/// WaitForVerticalBlank: until the blank begins.
inline constexpr std::uint32_t DDWAITVB_BLOCKBEGIN = 0x1;
/// EnumDisplayModes: the standard VGA modes too.
inline constexpr std::uint32_t DDEDM_STANDARDVGAMODES = 0x2;
/// DirectDrawEnumerateEx: secondary and non-display devices too.
/// @{
inline constexpr std::uint32_t DDENUM_ATTACHEDSECONDARYDEVICES = 0x1;
inline constexpr std::uint32_t DDENUM_NONDISPLAYDEVICES = 0x4;
/// @}
/// What an enumeration callback returns: stop, or go on.
/// @{
inline constexpr int DDENUMRET_CANCEL = 0;
inline constexpr int DDENUMRET_OK = 1;
/// @}

/// Called for each display mode EnumDisplayModes lists.
using ModeCallback = int (*)(const SurfaceDesc* mode, void* context);
/// guid is null for the primary display driver; monitor is an opaque handle.
using DriverCallback = int (*)(const Guid* guid, const char* description, const char* name, void* context, void* monitor);

/// A display device: makes the surfaces and clippers of the desktop and waits for its vertical blank.
class DisplayDevice {
public:
    /// Sets the window the device draws for (DDSCL_NORMAL).
    HRESULT SetCooperativeLevel(Window* window, std::uint32_t flags);
    /// Makes a surface: the desktop's primary one (DDSCAPS_PRIMARYSURFACE) or an off-screen one of the size and format described.
    HRESULT CreateSurface(const SurfaceDesc* desc, std::shared_ptr<DisplaySurface>* surface);
    /// As CreateSurface, but an off-screen surface's pixels are left unset rather than zeroed:
    /// for a caller that writes every pixel before the surface is used, or drops it.
    HRESULT CreateSurfaceToOverwrite(const SurfaceDesc* desc, std::shared_ptr<DisplaySurface>* surface);
    /// Makes a clipper, which keeps copies to the desktop inside a window.
    HRESULT CreateClipper(std::uint32_t flags, std::shared_ptr<Clipper>* clipper);
    /// Waits for the display's vertical blank.
    HRESULT WaitForVerticalBlank(std::uint32_t flags, void* event);
    /// Calls back for each display mode.
    HRESULT EnumDisplayModes(std::uint32_t flags, const SurfaceDesc* filter, void* context, ModeCallback callback);
    /// What the hardware and the emulation can do.
    HRESULT GetCaps(DisplayCaps* hardware, DisplayCaps* emulation);
    /// Back to the desktop's own surface and display mode (nothing to undo here).
    /// @{
    HRESULT FlipToGDISurface();
    HRESULT RestoreDisplayMode();
    /// @}

private:
    Window* cooperativeWindow_ = nullptr;
};

/// guid null: the primary display.
HRESULT DirectDrawCreate(const Guid* guid, std::shared_ptr<DisplayDevice>* device);
/// Calls back for each display device.
HRESULT DirectDrawEnumerateEx(DriverCallback callback, void* context, std::uint32_t flags);

}  // namespace platform
