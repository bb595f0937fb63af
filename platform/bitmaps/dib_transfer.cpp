#include "platform/bitmaps/dib_transfer.h"

#include <bit>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/pixels/color_convert.h"
#include "platform/pixels/pixel_access.h"
#include "platform/pixels/pixel_traits.h"
#include "platform/pixels/surface_copy.h"
#include "platform/video/display_surface.h"

namespace platform {

namespace {

// One table per channel: a channel value of the bitmap (as stored, up to 8 bits) to its part of
// the destination's raw value. Every destination format packs its channels independently (the
// 3-3-2 index too), so a pixel is the OR of three lookups.
struct ChannelTables {
    std::uint32_t shift[3] = {};
    std::uint32_t max[3] = {};
    std::uint32_t part[3][256] = {};
};

// Where a channel mask starts and how many bits it has; false for a mask that is empty, not
// contiguous or wider than 8 bits.
bool MaskLayout(std::uint32_t mask, std::uint32_t* shift, std::uint32_t* bits) {
    if (mask == 0) return false;
    *shift = static_cast<std::uint32_t>(std::countr_zero(mask));
    const std::uint32_t field = mask >> *shift;
    *bits = static_cast<std::uint32_t>(std::popcount(field));
    return (field & (field + 1)) == 0 && *bits <= 8;
}

// The bitmap's red, green and blue masks: its own with BI_BITFIELDS, else those of its depth.
void SourceMasks(const BitmapInfo& info, std::uint32_t masks[3]) {
    if (info.header.compression == BI_BITFIELDS) {
        for (int c = 0; c < 3; ++c) masks[c] = BitFieldMask(info, c);
    } else if (info.header.bitCount == 16) {
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else {
        masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    }
}

void BuildChannelTables(const BitmapInfo& info, const PixelFormatDesc& format, ChannelTables& t) {
    std::uint32_t masks[3];
    SourceMasks(info, masks);
    for (int c = 0; c < 3; ++c) {
        std::uint32_t bits = 0;
        MaskLayout(masks[c], &t.shift[c], &bits);
        t.max[c] = (1u << bits) - 1u;
        for (std::uint32_t v = 0; v <= t.max[c]; ++v) {
            const std::uint8_t wide = WidenChannel(v, static_cast<int>(bits));
            t.part[c][v] = RawFromRgb(c == 0 ? wide : 0, c == 1 ? wide : 0, c == 2 ? wide : 0, format);
        }
    }
}

void BuildPaletteTable(const BitmapInfo& info, const PixelFormatDesc& format, std::uint32_t table[256]) {
    for (std::size_t i = 0; i < 256; ++i) {
        const RgbQuad& q = info.colors[i];
        table[i] = RawFromRgb(q.red, q.green, q.blue, format);
    }
}

// Rows of the bitmap and of the destination walked together with running pointers.
struct RowWalk {
    const std::uint8_t* src;  // first source row to draw
    std::ptrdiff_t srcStep;   // to the next row down the picture (negative for bottom-up bitmaps)
    std::uint8_t* dst;
    std::ptrdiff_t dstPitch;
    std::int32_t rows, width;  // pixels per row
    std::int32_t srcX;         // first source column
};

template <int B, int Bits>
void DrawIndexedRows(const RowWalk& w, const std::uint32_t* palette) {
    constexpr int kPerByte = 8 / Bits;
    constexpr unsigned kMask = (1u << Bits) - 1u;
    const std::uint8_t* srcRow = w.src;
    std::uint8_t* dstRow = w.dst;
    for (std::int32_t y = 0; y < w.rows; ++y, srcRow += w.srcStep, dstRow += w.dstPitch) {
        std::uint8_t* d = dstRow;
        for (std::int32_t x = w.srcX; x < w.srcX + w.width; ++x, d += B) {
            const unsigned byte = srcRow[x / kPerByte];
            const unsigned index = (byte >> ((kPerByte - 1 - x % kPerByte) * Bits)) & kMask;
            StorePixel<B>(d, palette[index]);
        }
    }
}

template <int B, int SB>
void DrawMaskedRows(const RowWalk& w, const ChannelTables& t) {
    const std::uint32_t rs = t.shift[0], gs = t.shift[1], bs = t.shift[2];
    const std::uint32_t rm = t.max[0], gm = t.max[1], bm = t.max[2];
    const std::uint32_t* rp = t.part[0];
    const std::uint32_t* gp = t.part[1];
    const std::uint32_t* bp = t.part[2];
    const std::uint8_t* srcRow = w.src + static_cast<std::ptrdiff_t>(w.srcX) * SB;
    std::uint8_t* dstRow = w.dst;
    for (std::int32_t y = 0; y < w.rows; ++y, srcRow += w.srcStep, dstRow += w.dstPitch) {
        const std::uint8_t* s = srcRow;
        std::uint8_t* d = dstRow;
        for (std::int32_t x = 0; x < w.width; ++x, s += SB, d += B) {
            const std::uint32_t p = LoadPixel<SB>(s);
            StorePixel<B>(d, rp[(p >> rs) & rm] | gp[(p >> gs) & gm] | bp[(p >> bs) & bm]);
        }
    }
}

// 8-8-8 pixels into a format with the same channel places (24 or 32-bit blue-green-red): the
// raw value is the pixel's three colour bytes, the fourth byte 0.
template <int B, int SB>
void CopyColourBytes(const RowWalk& w) {
    const std::uint8_t* srcRow = w.src + static_cast<std::ptrdiff_t>(w.srcX) * SB;
    std::uint8_t* dstRow = w.dst;
    for (std::int32_t y = 0; y < w.rows; ++y, srcRow += w.srcStep, dstRow += w.dstPitch) {
        const std::uint8_t* s = srcRow;
        std::uint8_t* d = dstRow;
        for (std::int32_t x = 0; x < w.width; ++x, s += SB, d += B) StorePixel<B>(d, LoadPixel<3>(s));
    }
}

// Whether source pixels of 8-bit channels land unchanged in the destination format.
bool SameColourBytes(const BitmapInfo& info, const PixelFormatDesc& format) {
    std::uint32_t masks[3];
    SourceMasks(info, masks);
    return info.header.bitCount >= 24 && (format.bitCount == 24 || format.bitCount == 32) && masks[0] == 0xFF0000 &&
           masks[1] == 0x00FF00 && masks[2] == 0x0000FF && format.redMask == 0xFF0000 && format.greenMask == 0x00FF00 &&
           format.blueMask == 0x0000FF;
}

// The 1:1 conversion of the bitmap's part at (srcX, srcY) into every pixel of out.
void ConvertDib(const PixelView& out, const BitmapInfo& info, const std::uint8_t* bits, std::int32_t srcX, std::int32_t srcY) {
    const BitmapInfoHeader& h = info.header;
    const auto rowLength = static_cast<std::ptrdiff_t>(DibRowLength(h.width, h.bitCount));
    const bool topDown = h.height < 0;
    const std::int64_t height = std::llabs(std::int64_t{h.height});
    const std::int64_t firstRow = topDown ? srcY : height - 1 - srcY;
    RowWalk w{bits + firstRow * rowLength, topDown ? rowLength : -rowLength, out.base, out.pitch, out.height, out.width, srcX};
    if (h.bitCount <= 8) {
        std::uint32_t palette[256];
        BuildPaletteTable(info, out.format, palette);
        DispatchBytes(out.bytesPerPixel, [&]<int B>() {
            if (h.bitCount == 1) DrawIndexedRows<B, 1>(w, palette);
            else if (h.bitCount == 4) DrawIndexedRows<B, 4>(w, palette);
            else DrawIndexedRows<B, 8>(w, palette);
        });
        return;
    }
    if (SameColourBytes(info, out.format)) {
        DispatchBytes(out.bytesPerPixel, [&]<int B>() {
            if constexpr (B >= 3) {
                if (h.bitCount == 24) CopyColourBytes<B, 3>(w);
                else CopyColourBytes<B, 4>(w);
            }
        });
        return;
    }
    auto tables = std::make_unique<ChannelTables>();
    BuildChannelTables(info, out.format, *tables);
    DispatchBytes(out.bytesPerPixel, [&]<int B>() {
        if (h.bitCount == 16) DrawMaskedRows<B, 2>(w, *tables);
        else if (h.bitCount == 24) DrawMaskedRows<B, 3>(w, *tables);
        else DrawMaskedRows<B, 4>(w, *tables);
    });
}

}  // namespace

bool IsDrawableDib(const BitmapInfo& info) {
    const BitmapInfoHeader& h = info.header;
    if (h.size < 40 || h.width < 1 || h.height == 0 || h.height == INT32_MIN) return false;
    switch (h.bitCount) {
        case 1: case 4: case 8: case 16: case 24: case 32: break;
        default: return false;
    }
    if (h.compression == BI_RGB) return true;
    if (h.compression != BI_BITFIELDS || (h.bitCount != 16 && h.bitCount != 32)) return false;
    for (int c = 0; c < 3; ++c) {
        std::uint32_t shift, bits;
        const std::uint32_t mask = BitFieldMask(info, c);
        if (!MaskLayout(mask, &shift, &bits) || (h.bitCount == 16 && mask > 0xFFFF)) return false;
    }
    return true;
}

bool DrawDib(const PixelView& view, const Rect& dst, const BitmapInfo& info, const std::uint8_t* bits, const Rect& src) {
    if (!bits || !IsDrawableDib(info) || !IsUsable(dst)) return false;
    const std::int32_t height = info.header.height < 0 ? -info.header.height : info.header.height;
    if (!FitsInside(src, info.header.width, height)) return false;
    const Rect visible = Intersect(dst, view.Bounds());
    if (visible.IsEmpty() || view.Empty()) return true;
    if (dst.Width() == src.Width() && dst.Height() == src.Height()) {
        ConvertDib(view.Sub(visible), info, bits, src.left + (visible.left - dst.left), src.top + (visible.top - dst.top));
        return true;
    }
    // Stretched: convert the source part once at its own size, then let the copy sample it.
    const std::ptrdiff_t pitch = (static_cast<std::ptrdiff_t>(src.Width()) * view.bytesPerPixel + 3) & ~std::ptrdiff_t{3};
    std::vector<std::uint8_t> converted(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(src.Height()));
    const PixelView part{converted.data(), pitch, src.Width(), src.Height(), view.bytesPerPixel, view.format};
    ConvertDib(part, info, bits, src.left, src.top);
    CopyRequest request{dst, visible, part.Bounds()};
    CopyRect(view, part, request);
    return true;
}

int StretchDIBits(HDC dc, std::int32_t xDest, std::int32_t yDest, std::int32_t destWidth, std::int32_t destHeight,
                  std::int32_t xSrc, std::int32_t ySrc, std::int32_t srcWidth, std::int32_t srcHeight, const void* bits,
                  const BitmapInfo* info, std::uint32_t usage, std::uint32_t rop) {
    if (!dc || !dc->Target() || !info || usage != DIB_RGB_COLORS || rop != SRCCOPY) return GDI_ERROR;
    const std::int64_t right = std::int64_t{xDest} + destWidth, bottom = std::int64_t{yDest} + destHeight;
    const std::int64_t srcRight = std::int64_t{xSrc} + srcWidth, srcBottom = std::int64_t{ySrc} + srcHeight;
    if (destWidth <= 0 || destHeight <= 0 || srcWidth <= 0 || srcHeight <= 0 || right > INT32_MAX || bottom > INT32_MAX ||
        srcRight > INT32_MAX || srcBottom > INT32_MAX)
        return GDI_ERROR;
    const Rect dst{xDest, yDest, static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
    const Rect src{xSrc, ySrc, static_cast<std::int32_t>(srcRight), static_cast<std::int32_t>(srcBottom)};
    if (!DrawDib(dc->Target()->View(), dst, *info, static_cast<const std::uint8_t*>(bits), src)) return GDI_ERROR;
    return srcHeight;
}

}  // namespace platform
