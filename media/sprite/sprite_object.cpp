#include "media/sprite/sprite_object.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "media/blit/blit_kind.h"

namespace media {

void SpriteObject::Release() {
    if (ownsSheet == 1) delete sheet;
    sheet = nullptr;
}

std::int32_t SpriteObject::Create(Screen* screen, const char* name, std::int32_t frameWidth, std::int32_t frameHeight,
                                  std::int32_t frames, std::int32_t placement) {
    if (!name) return -1;
    if (sheet) return -2;
    sheet = new (std::nothrow) FrameSheet();
    if (!sheet) return -3;
    ownsSheet = 1;
    return sheet->LoadFrames(screen, name, frameWidth, frameHeight, frames, placement) ? 1 : -3;
}

bool SpriteObject::Drawable() const {
    return sheet && sheet->Surface() != nullptr && sheet->FrameWidth() > 0 && sheet->FrameHeight() > 0 &&
           sheet->Width() / sheet->FrameWidth() > 0;
}

platform::Rect SpriteObject::FrameRect() const {
    const auto perRow = static_cast<std::uint32_t>(sheet->Width() / sheet->FrameWidth());
    const auto left = static_cast<std::int32_t>(frame % perRow) * sheet->FrameWidth();
    const auto top = static_cast<std::int32_t>(frame / perRow) * sheet->FrameHeight();
    return {left, top, left + sheet->FrameWidth(), top + sheet->FrameHeight()};
}

void SpriteObject::Draw(PixelSurface* dest, std::int32_t viewX, std::int32_t viewY, std::int32_t kind) {
    if (!Drawable() || !dest) return;
    platform::Rect source = FrameRect();
    const std::int32_t dx = x - viewX, dy = y - viewY;
    const std::int32_t sx = dx - shadowOffsetX, sy = dy - shadowOffsetY;
    const std::int32_t cx = dx + sheet->FrameWidth() / 2, cy = dy + sheet->FrameHeight() / 2;
    FrameSheet& s = *sheet;
    switch (kind & 0xFFFF) {
        case BLIT_OPAQUE: s.BlitOpaque(dest, dx, dy, &source); break;
        case BLIT_OPAQUE_BLEND: s.BlitOpaqueBlend(dest, dx, dy, &source, alpha); break;
        case BLIT_OPAQUE_HALFBLEND: s.BlitOpaqueHalfBlend(dest, dx, dy, &source); break;
        case BLIT_OPAQUE_SCALED: s.BlitOpaqueScaled(dest, dx, dy, &source, scale); break;
        case BLIT_OPAQUE_SHADE: s.BlitOpaqueShade(dest, sx, sy, &source, shadowFactor); break;
        case BLIT_OPAQUE_HALFSHADE: s.BlitOpaqueHalfShade(dest, sx, sy, &source); break;
        case BLIT_OPAQUE_ROTATED: s.BlitOpaqueRotated(dest, cx, cy, &source, angle, scale); break;
        case BLIT_OPAQUE_MIRROR_X: s.BlitOpaqueMirrorX(dest, dx, dy, &source); break;
        case BLIT_OPAQUE_MIRROR_Y: s.BlitOpaqueMirrorY(dest, dx, dy, &source); break;
        case BLIT_OPAQUE_STRETCHED: s.BlitOpaqueStretched(dest, dx, dy, &source, stretchWidth, stretchHeight); break;
        case BLIT_KEYED: s.BlitKeyed(dest, dx, dy, &source); break;
        case BLIT_KEYED_BLEND: s.BlitKeyedBlend(dest, dx, dy, &source, alpha); break;
        case BLIT_KEYED_HALFBLEND: s.BlitKeyedHalfBlend(dest, dx, dy, &source); break;
        case BLIT_KEYED_SCALED: s.BlitKeyedScaled(dest, dx, dy, &source, scale); break;
        case BLIT_KEYED_SHADE: s.BlitKeyedShade(dest, sx, sy, &source, shadowFactor); break;
        case BLIT_KEYED_HALFSHADE: s.BlitKeyedHalfShade(dest, sx, sy, &source); break;
        case BLIT_KEYED_ROTATED: s.BlitKeyedRotated(dest, cx, cy, &source, angle, scale); break;
        case BLIT_KEYED_MIRROR_X: s.BlitKeyedMirrorX(dest, dx, dy, &source); break;
        case BLIT_KEYED_MIRROR_Y: s.BlitKeyedMirrorY(dest, dx, dy, &source); break;
        case BLIT_KEYED_STRETCHED: s.BlitKeyedStretched(dest, dx, dy, &source, stretchWidth, stretchHeight); break;
        case BLIT_KEYED_ALPHAMAP: s.BlitKeyedAlphaMap(dest, dx, dy, &source); break;
        default: break;
    }
}

namespace {

std::uint32_t LoadPixel(const std::uint8_t* p, int bytes) {
    std::uint32_t v = 0;
    std::memcpy(&v, p, static_cast<std::size_t>(bytes));  // little-endian
    return v;
}

}  // namespace

std::int32_t SpriteObject::Overlaps(SpriteObject* other) {
    if (!other || other == this || !Drawable() || !other->Drawable()) return 0;
    const std::int64_t ax = x, ay = y, aw = sheet->FrameWidth(), ah = sheet->FrameHeight();
    const std::int64_t bx = other->x, by = other->y, bw = other->sheet->FrameWidth(), bh = other->sheet->FrameHeight();
    if (ay > by + bh || ay + ah < by || ax + aw < bx || ax > bx + bw) return 0;
    SpriteObject& l = other->x > x ? *this : *other;
    SpriteObject& r = other->x > x ? *other : *this;
    const std::int64_t lw = l.sheet->FrameWidth(), lh = l.sheet->FrameHeight(), rw = r.sheet->FrameWidth(), rh = r.sheet->FrameHeight();
    const std::int64_t width = std::min<std::int64_t>(std::int64_t{l.x} + lw - r.x, rw);
    const std::int64_t lColumn = std::int64_t{r.x} - l.x;
    std::int64_t lRow, rRow, height;
    if (l.y > r.y) {
        lRow = 0;
        rRow = std::int64_t{l.y} - r.y;
        height = std::min<std::int64_t>(std::int64_t{r.y} + rh - l.y, lh);
    } else {
        lRow = std::int64_t{r.y} - l.y;
        rRow = 0;
        height = std::min<std::int64_t>(std::int64_t{l.y} + lh - r.y, rh);
    }
    const int bytes = BytesPerPixelOfDepth(l.sheet->GetPixelFormatInfo().depth);
    if (bytes == 0 || width <= 0 || height <= 0) return 0;
    const bool oneSheet = l.sheet == r.sheet;
    if (l.sheet->Lock() < 0) return 0;
    if (!oneSheet && r.sheet->Lock() < 0) {
        l.sheet->Unlock();
        return 0;
    }
    // Only the part of each frame that lies inside its picture is read.
    const platform::Rect lFrame = l.FrameRect(), rFrame = r.FrameRect();
    const std::uint32_t mask = (bytes == 4 && !oneSheet) ? 0x00FFFFFFu : (bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1u);
    const std::uint32_t lKey = l.sheet->ColorKey(), rKey = r.sheet->ColorKey();
    std::int32_t hit = 0;
    for (std::int64_t row = 0; row < height && !hit; ++row) {
        const std::int64_t ly = lFrame.top + lRow + row, ry = rFrame.top + rRow + row;
        if (ly >= l.sheet->Height() || ry >= r.sheet->Height()) break;
        const std::uint8_t* lp = l.sheet->PixelRow(static_cast<std::int32_t>(ly)) + (lFrame.left + lColumn) * bytes;
        const std::uint8_t* rp = r.sheet->PixelRow(static_cast<std::int32_t>(ry)) + rFrame.left * bytes;
        const std::int64_t columns = std::min({width, l.sheet->Width() - (lFrame.left + lColumn), std::int64_t{r.sheet->Width()} - rFrame.left});
        for (std::int64_t i = 0; i < columns; ++i, lp += bytes, rp += bytes) {
            if ((LoadPixel(lp, bytes) & mask) != lKey && (LoadPixel(rp, bytes) & mask) != rKey) {
                hit = 1;
                break;
            }
        }
    }
    if (!oneSheet) r.sheet->Unlock();
    l.sheet->Unlock();
    return hit;
}

}  // namespace media
