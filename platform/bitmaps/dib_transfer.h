#pragma once
// Drawing a device-independent bitmap into a surface of any depth, as the OS's bitmap drawing
// does: 1-, 4- and 8-bit pixels are indexes into the colour entries (packed from the most
// significant bits of each byte), 16-bit pixels are 5-5-5 words (or follow the masks of a
// BI_BITFIELDS bitmap), 24- and 32-bit pixels give their blue, green and red bytes. Every
// destination pixel gets the colour of the bitmap pixel at the same position, packed into the
// destination's format (8-bit surfaces by colour through the fixed 3-3-2 palette).
#include <cstdint>

#include "platform/bitmaps/bitmap_info.h"
#include "platform/core/geometry.h"
#include "platform/pixels/pixel_view.h"
#include "platform/video/device_context.h"

namespace platform {

// Whether the platform draws this description: header of at least 40 bytes, width >= 1, height
// not 0, bit count 1, 4, 8, 16, 24 or 32, BI_RGB, or BI_BITFIELDS at 16 or 32 bits with three
// contiguous masks of 1 to 8 bits each.
bool IsDrawableDib(const BitmapInfo& info);

// Draws the bitmap's part src into dst on the view, stretched when the sizes differ (nearest
// source pixel at each destination pixel's centre); the destination is cut to the view. bits
// holds the whole bitmap (DibRowLength x |height| bytes). false when the description is not
// drawable or src leaves the bitmap.
bool DrawDib(const PixelView& view, const Rect& dst, const BitmapInfo& info, const std::uint8_t* bits, const Rect& src);

// The device context's form of the above: GDI_ERROR on failure, else the number of source rows
// drawn. Only DIB_RGB_COLORS and SRCCOPY are offered.
int StretchDIBits(HDC dc, std::int32_t xDest, std::int32_t yDest, std::int32_t destWidth, std::int32_t destHeight,
                  std::int32_t xSrc, std::int32_t ySrc, std::int32_t srcWidth, std::int32_t srcHeight, const void* bits,
                  const BitmapInfo* info, std::uint32_t usage, std::uint32_t rop);

}  // namespace platform
