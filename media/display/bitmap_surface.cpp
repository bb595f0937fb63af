#include "media/display/bitmap_surface.h"

#include "media/display/pixel_surface.h"
#include "platform/bitmaps/bitmap_info.h"
#include "platform/core/system.h"

namespace media {

std::shared_ptr<platform::DisplaySurface> LoadBitmapSurface(platform::DisplayDevice* device, const char* name, std::int32_t* width,
                                                            std::int32_t* height, std::int32_t placement) {
    if (!device || !name) return nullptr;
    platform::HBITMAP bitmap = platform::LoadImage(platform::GetModuleHandle(nullptr), name, platform::IMAGE_BITMAP, 0, 0,
                                                   platform::LR_CREATEDIBSECTION);
    if (!bitmap)
        bitmap = platform::LoadImage(nullptr, name, platform::IMAGE_BITMAP, 0, 0, platform::LR_LOADFROMFILE | platform::LR_CREATEDIBSECTION);
    if (!bitmap) return nullptr;
    platform::BitmapRecord record;
    platform::GetObject(bitmap, sizeof record, &record);

    platform::SurfaceDesc desc;
    desc.size = sizeof desc;
    desc.flags = platform::DDSD_CAPS | platform::DDSD_HEIGHT | platform::DDSD_WIDTH;
    desc.width = static_cast<std::uint32_t>(record.width);
    desc.height = static_cast<std::uint32_t>(record.height);
    desc.caps = PlacementCaps(placement);
    std::shared_ptr<platform::DisplaySurface> surface;
    if (device->CreateSurface(&desc, &surface) != platform::DD_OK || !surface) {
        platform::DeleteObject(bitmap);
        return nullptr;
    }
    CopyBitmapToSurface(surface.get(), bitmap, 0, 0, 0, 0);
    platform::DeleteObject(bitmap);
    if (width) *width = record.width;
    if (height) *height = record.height;
    return surface;
}

platform::HRESULT CopyBitmapToSurface(platform::DisplaySurface* surface, platform::HBITMAP bitmap, std::int32_t x, std::int32_t y,
                                      std::int32_t dx, std::int32_t dy) {
    if (!surface || !bitmap) return platform::E_FAIL;
    surface->Restore();
    platform::HDC memory = platform::CreateCompatibleDC(nullptr);
    if (!memory) platform::OutputDebugString("createcompatible dc failed\n");
    platform::SelectObject(memory, bitmap);
    platform::BitmapRecord record;
    platform::GetObject(bitmap, sizeof record, &record);
    if (dx == 0) dx = record.width;
    if (dy == 0) dy = record.height;
    platform::SurfaceDesc desc;
    desc.size = sizeof desc;
    desc.flags = platform::DDSD_HEIGHT | platform::DDSD_WIDTH;
    surface->GetSurfaceDesc(&desc);
    platform::HDC dc = nullptr;
    const platform::HRESULT result = surface->GetDC(&dc);
    if (result == platform::DD_OK) {
        platform::StretchBlt(dc, 0, 0, static_cast<std::int32_t>(desc.width), static_cast<std::int32_t>(desc.height), memory, x, y, dx, dy,
                             platform::SRCCOPY);
        surface->ReleaseDC(dc);
    }
    if (memory) platform::DeleteDC(memory);
    return result;
}

}  // namespace media
