#include "platform/bitmaps/gdi_bitmap.h"

#include <climits>
#include <new>

#include "platform/bitmaps/bitmap_info.h"
#include "platform/bitmaps/dib_transfer.h"
#include "platform/core/resources.h"
#include "platform/video/display_surface.h"

namespace platform {

namespace {

// The program's own module: any non-null token will do, resources are found by name.
constexpr char kProgramModule = 0;

}  // namespace

HMODULE GetModuleHandle(const char* name) { return name ? nullptr : &kProgramModule; }

HBITMAP LoadImage(HMODULE module, const char* name, std::uint32_t type, int, int, std::uint32_t flags) {
    if (!module || !name || type != IMAGE_BITMAP || (flags & LR_LOADFROMFILE)) return nullptr;
    const Resource* resource = FindResource(name, RT_BITMAP);
    if (!resource || resource->width <= 0 || resource->height <= 0 ||
        resource->pixels.size() != static_cast<std::size_t>(resource->width) * static_cast<std::size_t>(resource->height))
        return nullptr;
    auto* bitmap = new (std::nothrow) Bitmap{resource->width, resource->height, resource->pixels};
    if (!bitmap) return nullptr;
    for (std::uint32_t& p : bitmap->pixels) p &= 0x00FFFFFF;  // resources carry alpha; a bitmap does not
    return bitmap;
}

bool DeleteObject(HBITMAP bitmap) {
    if (!bitmap) return false;
    delete bitmap;
    return true;
}

int GetObject(HBITMAP bitmap, int size, BitmapRecord* record) {
    if (!bitmap || !record || size != static_cast<int>(sizeof(BitmapRecord))) return 0;
    *record = {0, bitmap->width, bitmap->height, bitmap->width * 4, 1, 32, bitmap->pixels.data()};
    return size;
}

HDC CreateCompatibleDC(HDC) { return new (std::nothrow) DeviceContext(nullptr); }

bool DeleteDC(HDC dc) {
    if (!dc || dc->Target()) return false;
    delete dc;
    return true;
}

HBITMAP SelectObject(HDC dc, HBITMAP bitmap) {
    if (!dc) return nullptr;
    return dc->SelectBitmap(bitmap);
}

bool StretchBlt(HDC dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, HDC src, std::int32_t xSrc,
                std::int32_t ySrc, std::int32_t srcWidth, std::int32_t srcHeight, std::uint32_t rop) {
    if (!dst || !dst->Target() || !src || !src->SelectedBitmap() || rop != SRCCOPY) return false;
    const Bitmap& bitmap = *src->SelectedBitmap();
    if (width <= 0 || height <= 0 || std::int64_t{x} + width > INT32_MAX || std::int64_t{y} + height > INT32_MAX) return false;
    if (srcWidth <= 0 || srcHeight <= 0 || std::int64_t{xSrc} + srcWidth > INT32_MAX || std::int64_t{ySrc} + srcHeight > INT32_MAX)
        return false;
    BitmapInfo info;
    info.header.width = bitmap.width;
    info.header.height = -bitmap.height;
    info.header.bitCount = 32;
    const auto* bits = reinterpret_cast<const std::uint8_t*>(bitmap.pixels.data());
    return DrawDib(dst->Target()->View(), {x, y, x + width, y + height}, info, bits, {xSrc, ySrc, xSrc + srcWidth, ySrc + srcHeight});
}

}  // namespace platform
