#pragma once
// Bitmaps held by the platform: loaded from the program's bitmap resources by name, selected
// into a memory device context and stretched onto a surface's device context, converted into the
// surface's format on the way.
#include <cstdint>
#include <vector>

#include "../video/device_context.h"

namespace platform {

/// LoadImage: a bitmap.
inline constexpr std::uint32_t IMAGE_BITMAP = 0;
/// LoadImage flags: from a file, as a DIB section.
/// @{
inline constexpr std::uint32_t LR_LOADFROMFILE = 0x10;
inline constexpr std::uint32_t LR_CREATEDIBSECTION = 0x2000;
/// @}

/// A module whose resources are searched; GetModuleHandle(nullptr) is the program itself.
using HMODULE = const void*;
/// The module of that name (null: the program).
HMODULE GetModuleHandle(const char* name);

/// A bitmap: width x height colours 0x00RRGGBB, top row first (in memory the blue, green, red, 0
/// bytes of a top-down 32-bit device-independent bitmap).
struct Bitmap {
    /// Size in pixels.
    /// @{
    std::int32_t width = 0, height = 0;
    /// @}
    /// The colours.
    std::vector<std::uint32_t> pixels;
};
/// A bitmap, by its address.
using HBITMAP = Bitmap*;

/// What GetObject tells about a bitmap (the 24-byte record).
struct BitmapRecord {
    /// The record's fields: type (0), size, bytes a row, planes and bits a pixel, and the pixels.
    /// @{
    std::int32_t type = 0;
    std::int32_t width = 0, height = 0;
    std::int32_t widthBytes = 0;
    std::uint16_t planes = 1, bitsPixel = 32;
    void* bits = nullptr;
    /// @}
};

/// The bitmap resource name of module at its own size, or null. Bitmap files (LR_LOADFROMFILE
/// without a module) are read by the picture loader, not here: the platform keeps no decoder of
/// its own, so that request finds nothing.
HBITMAP LoadImage(HMODULE module, const char* name, std::uint32_t type, int cx, int cy, std::uint32_t flags);
/// Frees a bitmap LoadImage made.
bool DeleteObject(HBITMAP bitmap);
/// Fills record (size must be sizeof(BitmapRecord)); the bytes written, 0 on failure.
int GetObject(HBITMAP bitmap, int size, BitmapRecord* record);

/// A memory device context, which draws nothing itself but holds a selected bitmap.
HDC CreateCompatibleDC(HDC dc);
/// Frees a memory context.
bool DeleteDC(HDC dc);
/// Selects bitmap into a memory context; the previously selected one (or null).
HBITMAP SelectObject(HDC dc, HBITMAP bitmap);
/// Copies the part (xSrc, ySrc, srcWidth, srcHeight) of the bitmap selected into src over
/// (x, y, width, height) of dst's surface, stretched by nearest pixel and cut to the surface.
bool StretchBlt(HDC dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, HDC src, std::int32_t xSrc,
                std::int32_t ySrc, std::int32_t srcWidth, std::int32_t srcHeight, std::uint32_t rop);

}  // namespace platform
