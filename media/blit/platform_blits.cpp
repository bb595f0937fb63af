// The blits that hand their pixels to the platform's copies: the plain and colour-keyed copies
// through the fast copy, and the mirrored, scaled and stretched ones through the stretching copy.
// The mirrors fall back to drawing pixel by pixel when the platform refuses the mirror effect.
#include "media/blit/blit_math.h"
#include "media/blit/clipping.h"
#include "media/blit/locked_pair.h"
#include "media/display/pixel_surface.h"
#include "platform/pixels/pixel_traits.h"

namespace media {

namespace {

using platform::DDERR_SURFACELOST;
using platform::HRESULT;
using platform::Rect;

Rect WholeOf(const PixelSurface& s) { return {0, 0, s.Width(), s.Height()}; }

bool HasPlatformSurfaces(const PixelSurface& source, const PixelSurface* dest) {
    return source.Surface() && dest && dest->Surface();
}

std::int32_t FastCopy(PixelSurface& source, PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect, std::uint32_t flags) {
    if (!HasPlatformSurfaces(source, dest)) return -1;
    Rect s = srcRect ? *srcRect : WholeOf(source);
    if (!ClipBlit(source, *dest, x, y, s)) return 0;
    const HRESULT result = dest->Surface()->BltFast(x, y, source.Surface(), &s, flags);
    if (result == DDERR_SURFACELOST) return source.Restore();
    return result;
}

// The mirror drawn through the pixel routines: source pixel (s.left + j, s.top + i) lands at
// (x + w - 1 - j, y + i) left-right, or at (x + j, y + h - 1 - i) top-bottom.
std::int32_t SoftwareMirror(PixelSurface& source, PixelSurface& dest, std::int32_t x, std::int32_t y, const Rect& s, bool keyed,
                            bool leftRight) {
    const LockedPair locks(source, dest);
    if (!locks) return 0;
    // Raw values of one format written into another would be wrong colours: like every software
    // path, the fallback draws only between surfaces of the same depth code.
    if (source.GetPixelFormatInfo().depth != dest.GetPixelFormatInfo().depth) return 0;
    const std::int32_t w = s.Width(), h = s.Height();
    const std::uint32_t key = source.ColorKey();
    // As in every keyed path, a 32-bit pixel's fourth byte is not compared with the key.
    std::uint32_t compared = 0xFFFFFFFFu;
    platform::DispatchDepth(source.GetPixelFormatInfo().depth, [&]<typename T>() { compared = T::kKeyCompareMask; });
    for (std::int32_t i = 0; i < h; ++i) {
        for (std::int32_t j = 0; j < w; ++j) {
            const std::uint32_t colour = source.GetPixel(s.left + j, s.top + i);
            if (keyed && (colour & compared) == key) continue;
            if (leftRight) {
                dest.PutPixel(x + w - 1 - j, y + i, colour);
            } else {
                dest.PutPixel(x + j, y + h - 1 - i, colour);
            }
        }
    }
    return 0;
}

std::int32_t MirrorBlit(PixelSurface& source, PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect, bool keyed,
                        bool leftRight) {
    if (!HasPlatformSurfaces(source, dest)) return -1;
    Rect s = srcRect ? *srcRect : WholeOf(source);
    // The source is cut to its own clip rectangle first, so that the start and far edge taken
    // below see only what the destination cuts: only those are re-aimed for the mirror.
    if (!ClipRect(source, s)) return 0;
    const std::int32_t x0 = x, y0 = y;
    std::int32_t far0 = leftRight ? s.right : s.bottom;
    if (!ClipBlit(source, *dest, x, y, s)) return 0;

    // In a mirrored copy the columns the destination cut on its left are the source's right
    // ones, and the reverse (rows likewise, top-bottom).
    std::int32_t& nearEdge = leftRight ? s.left : s.top;
    std::int32_t& farEdge = leftRight ? s.right : s.bottom;
    const std::int32_t cut = leftRight ? x - x0 : y - y0;
    if (cut != 0) {
        nearEdge -= cut;
        farEdge -= cut;
        far0 -= cut;
    }
    if (farEdge != far0) {
        nearEdge += far0 - farEdge;
        farEdge = far0;
    }

    const Rect d{x, y, x + s.Width(), y + s.Height()};
    platform::BltFx fx;
    fx.size = sizeof fx;
    fx.ddfx = leftRight ? platform::DDBLTFX_MIRRORLEFTRIGHT : platform::DDBLTFX_MIRRORUPDOWN;
    const std::uint32_t flags = platform::DDBLT_WAIT | platform::DDBLT_DDFX | (keyed ? platform::DDBLT_KEYSRC : 0);
    const HRESULT result = dest->Surface()->Blt(&d, source.Surface(), &s, flags, &fx);
    if (result == DDERR_SURFACELOST) return source.Restore();
    if (platform::Succeeded(result)) return result;
    return SoftwareMirror(source, *dest, x, y, s, keyed, leftRight);
}

// Moves one edge of the source by the amount its destination edge moved, scaled back by the
// ratio; false when the result leaves 32 bits.
bool CarryBack(std::int32_t& sourceEdge, std::int32_t moved, float ratio) {
    if (moved == 0) return true;
    std::int32_t delta;
    if (!TruncateTo32(static_cast<float>(moved) / ratio, delta)) return false;
    const std::int64_t edge = std::int64_t{sourceEdge} + delta;
    if (!Fits32(edge)) return false;
    sourceEdge = static_cast<std::int32_t>(edge);
    return true;
}

// The stretching copy of s onto the clipped d, with the clipping carried back into s: the rows
// by ratioY, the columns by ratioX. Returns the platform's result.
std::int32_t StretchTo(PixelSurface& source, PixelSurface& dest, Rect s, const Rect& d0, float ratioX, float ratioY, bool keyed) {
    Rect d = d0;
    if (!ClipRect(dest, d)) return 0;
    if (!CarryBack(s.top, d.top - d0.top, ratioY) || !CarryBack(s.left, d.left - d0.left, ratioX) ||
        !CarryBack(s.bottom, d.bottom - d0.bottom, ratioY) || !CarryBack(s.right, d.right - d0.right, ratioX)) {
        return 0;
    }
    // The carried-back cuts are rounded on their own; when they leave no source pixel there is
    // nothing to draw.
    if (s.IsEmpty()) return 0;
    const std::uint32_t flags = platform::DDBLT_WAIT | (keyed ? platform::DDBLT_KEYSRC : 0);
    const HRESULT result = dest.Surface()->Blt(&d, source.Surface(), &s, flags, nullptr);
    if (result == DDERR_SURFACELOST) source.Restore();
    return result;
}

std::int32_t ScaledBlit(PixelSurface& source, PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect, float scale,
                        bool keyed) {
    if (!HasPlatformSurfaces(source, dest)) return -1;
    Rect s = srcRect ? *srcRect : WholeOf(source);
    if (!ClipRect(source, s)) return 0;
    if (scale < 0) scale = 0;
    // The picture is scaled about the centre of the rectangle an unscaled blit would cover.
    const float w = static_cast<float>(s.Width()), h = static_cast<float>(s.Height());
    const float scaledW = w * scale;
    std::int32_t top, left, height, width;
    if (!TruncateTo32(y + h * 0.5 - h * scale * 0.5, top) || !TruncateTo32(x + w * 0.5 - scaledW * 0.5, left) ||
        !TruncateTo32(h * scale, height) || !TruncateTo32(scaledW, width)) {
        return 0;
    }
    const std::int64_t bottom = std::int64_t{top} + height, right = std::int64_t{left} + width;
    if (!Fits32(bottom) || !Fits32(right)) return 0;
    const Rect d{left, top, static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
    return StretchTo(source, *dest, s, d, scale, scale, keyed);
}

std::int32_t StretchedBlit(PixelSurface& source, PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect,
                           std::int32_t width, std::int32_t height, bool keyed) {
    if (!HasPlatformSurfaces(source, dest)) return -1;
    Rect s = srcRect ? *srcRect : WholeOf(source);
    if (!ClipRect(source, s)) return 0;
    if (width <= 0 || height <= 0) return 0;
    const std::int64_t right = std::int64_t{x} + width, bottom = std::int64_t{y} + height;
    if (!Fits32(right) || !Fits32(bottom)) return 0;
    const Rect d{x, y, static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
    const float ratioX = static_cast<float>(width) / static_cast<float>(s.Width());
    const float ratioY = static_cast<float>(height) / static_cast<float>(s.Height());
    return StretchTo(source, *dest, s, d, ratioX, ratioY, keyed);
}

}  // namespace

std::int32_t PixelSurface::BlitOpaque(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect) {
    return FastCopy(*this, dest, x, y, srcRect, platform::DDBLTFAST_WAIT);
}

std::int32_t PixelSurface::BlitKeyed(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect) {
    return FastCopy(*this, dest, x, y, srcRect, platform::DDBLTFAST_WAIT | platform::DDBLTFAST_SRCCOLORKEY);
}

std::int32_t PixelSurface::BlitOpaqueMirrorX(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect) {
    return MirrorBlit(*this, dest, x, y, srcRect, false, true);
}

std::int32_t PixelSurface::BlitKeyedMirrorX(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect) {
    return MirrorBlit(*this, dest, x, y, srcRect, true, true);
}

std::int32_t PixelSurface::BlitOpaqueMirrorY(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect) {
    return MirrorBlit(*this, dest, x, y, srcRect, false, false);
}

std::int32_t PixelSurface::BlitKeyedMirrorY(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect) {
    return MirrorBlit(*this, dest, x, y, srcRect, true, false);
}

std::int32_t PixelSurface::BlitOpaqueScaled(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect, float scale) {
    return ScaledBlit(*this, dest, x, y, srcRect, scale, false);
}

std::int32_t PixelSurface::BlitKeyedScaled(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect, float scale) {
    return ScaledBlit(*this, dest, x, y, srcRect, scale, true);
}

std::int32_t PixelSurface::BlitOpaqueStretched(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect,
                                               std::int32_t width, std::int32_t height) {
    return StretchedBlit(*this, dest, x, y, srcRect, width, height, false);
}

std::int32_t PixelSurface::BlitKeyedStretched(PixelSurface* dest, std::int32_t x, std::int32_t y, const Rect* srcRect,
                                              std::int32_t width, std::int32_t height) {
    return StretchedBlit(*this, dest, x, y, srcRect, width, height, true);
}

}  // namespace media
