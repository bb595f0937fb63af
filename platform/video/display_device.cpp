#include "platform/video/display_device.h"

#include "platform/core/fault_hook.h"
#include "platform/video/display_host.h"

namespace platform {

namespace {

HRESULT CreateOffscreen(const SurfaceDesc& desc, std::shared_ptr<DisplaySurface>* surface, bool cleared) {
    if (!(desc.flags & DDSD_WIDTH) || !(desc.flags & DDSD_HEIGHT) || desc.width == 0 || desc.height == 0 ||
        desc.width > 16384 || desc.height > 16384)
        return DDERR_INVALIDPARAMS;
    // Video and system memory can be refused separately; a surface with no placement bit is
    // made in system memory.
    const bool video = (desc.caps & DDSCAPS_VIDEOMEMORY) != 0;
    const HRESULT fault = FaultAt(video ? FaultPoint::CreateVideoSurface : FaultPoint::CreateSystemSurface);
    if (Failed(fault)) return fault;
    const PixelFormatDesc format = (desc.flags & DDSD_PIXELFORMAT) ? desc.pixelFormat : CurrentDisplayHost().Desktop().format;
    const std::uint32_t caps = desc.caps | (video ? 0 : DDSCAPS_SYSTEMMEMORY);
    *surface = std::make_shared<DisplaySurface>(static_cast<std::int32_t>(desc.width), static_cast<std::int32_t>(desc.height), format, caps, cleared);
    return DD_OK;
}

HRESULT MakeSurface(const SurfaceDesc* desc, std::shared_ptr<DisplaySurface>* surface, bool cleared) {
    if (!desc || !surface || desc->size != sizeof(SurfaceDesc)) return DDERR_INVALIDPARAMS;
    surface->reset();
    if (!(desc->flags & DDSD_CAPS) || !(desc->caps & DDSCAPS_PRIMARYSURFACE)) return CreateOffscreen(*desc, surface, cleared);
    if (const HRESULT fault = FaultAt(FaultPoint::CreatePrimarySurface); Failed(fault)) return fault;
    *surface = CurrentDisplayHost().PrimarySurface();
    return *surface ? DD_OK : DDERR_NODIRECTDRAWHW;
}

}  // namespace

HRESULT DisplayDevice::SetCooperativeLevel(Window* window, std::uint32_t flags) {
    if (const HRESULT fault = FaultAt(FaultPoint::SetCooperativeLevel); Failed(fault)) return fault;
    if (!(flags & DDSCL_NORMAL)) return DDERR_UNSUPPORTED;
    cooperativeWindow_ = window;
    return DD_OK;
}

HRESULT DisplayDevice::CreateSurface(const SurfaceDesc* desc, std::shared_ptr<DisplaySurface>* surface) {
    return MakeSurface(desc, surface, true);
}

HRESULT DisplayDevice::CreateSurfaceToOverwrite(const SurfaceDesc* desc, std::shared_ptr<DisplaySurface>* surface) {
    return MakeSurface(desc, surface, false);
}

HRESULT DisplayDevice::CreateClipper(std::uint32_t, std::shared_ptr<Clipper>* clipper) {
    if (!clipper) return DDERR_INVALIDPARAMS;
    if (const HRESULT fault = FaultAt(FaultPoint::CreateClipper); Failed(fault)) return fault;
    *clipper = std::make_shared<Clipper>();
    return DD_OK;
}

HRESULT DisplayDevice::WaitForVerticalBlank(std::uint32_t, void*) {
    CurrentDisplayHost().WaitForVerticalBlank();
    return DD_OK;
}

HRESULT DisplayDevice::EnumDisplayModes(std::uint32_t, const SurfaceDesc*, void* context, ModeCallback callback) {
    if (!callback) return DDERR_INVALIDPARAMS;
    if (const HRESULT fault = FaultAt(FaultPoint::EnumerateDisplayModes); Failed(fault)) return fault;
    // The desktop's own mode is the one mode a windowed display can offer.
    const DesktopMode desktop = CurrentDisplayHost().Desktop();
    SurfaceDesc mode;
    mode.size = sizeof(SurfaceDesc);
    mode.flags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    mode.width = static_cast<std::uint32_t>(desktop.width);
    mode.height = static_cast<std::uint32_t>(desktop.height);
    mode.pixelFormat = desktop.format;
    callback(&mode, context);
    return DD_OK;
}

HRESULT DisplayDevice::GetCaps(DisplayCaps* hardware, DisplayCaps* emulation) {
    // Everything is done in software: the emulation record holds the capabilities.
    if (hardware) *hardware = {hardware->size, 0, 0, 0, 0};
    if (emulation) *emulation = {emulation->size, DDCAPS_BLT | DDCAPS_BLTSTRETCH | DDCAPS_COLORKEY, 0, 0, 0};
    return DD_OK;
}

HRESULT DisplayDevice::FlipToGDISurface() { return DD_OK; }

HRESULT DisplayDevice::RestoreDisplayMode() { return DD_OK; }

HRESULT DirectDrawCreate(const Guid*, std::shared_ptr<DisplayDevice>* device) {
    if (!device) return DDERR_INVALIDPARAMS;
    device->reset();
    if (const HRESULT fault = FaultAt(FaultPoint::DirectDrawCreate); Failed(fault)) return fault;
    if (const HRESULT opened = CurrentDisplayHost().Open(); Failed(opened)) return opened;
    *device = std::make_shared<DisplayDevice>();
    return DD_OK;
}

HRESULT DirectDrawEnumerateEx(DriverCallback callback, void* context, std::uint32_t) {
    if (!callback) return DDERR_INVALIDPARAMS;
    if (const HRESULT fault = FaultAt(FaultPoint::EnumerateDrivers); Failed(fault)) return fault;
    callback(nullptr, "Primary Display Driver", "display", context, nullptr);
    return DD_OK;
}

}  // namespace platform
