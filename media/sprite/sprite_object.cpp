#include "media/sprite/sprite_object.h"

#include <algorithm>
#include <cstring>

#include "media/blit/blit_kind.h"
#include "media/blit/blit_math.h"
#include "platform/pixels/pixel_access.h"
#include "platform/pixels/pixel_traits.h"

namespace media {

namespace {

using platform::LoadPixel;
using platform::PixelSize;
using platform::Rect;

// A sheet a sprite can draw from: a picture cut into frames no wider than it.
bool Usable(const FrameSheet* sheet) {
    return sheet && sheet->Surface() && sheet->FrameWidth() > 0 && sheet->FrameHeight() > 0 && sheet->Width() / sheet->FrameWidth() > 0;
}

// Where one sprite's frame lies: its box on the destination and the frame's top-left in its sheet,
// in 64 bits so that no sum of positions and sizes can overflow.
struct Placed {
    FrameSheet* sheet;
    std::int64_t x, y, width, height;  // the box
    std::int64_t left, top;            // the frame's top-left in the sheet
};

Placed Place(const SpriteObject& s) {
    FrameSheet& sheet = *s.sheet;
    const std::int64_t perRow = sheet.Width() / sheet.FrameWidth();
    return {s.sheet, s.x, s.y, sheet.FrameWidth(), sheet.FrameHeight(), static_cast<std::int64_t>(s.frame % perRow) * sheet.FrameWidth(),
            static_cast<std::int64_t>(s.frame / perRow) * sheet.FrameHeight()};
}

// The key test of one pixel, by bytes per pixel, as 0 or 1; a 32-bit pixel of two different
// sheets is compared by its three colour bytes.
// The test's values have the pixel's own width, so a vector register holds as many pixels as
// it can.
template <int B>
using PixelWord = typename PixelSize<B>::Value;

template <int B, bool ColourBytesOnly>
PixelWord<B> Opaque(const std::uint8_t* p, PixelWord<B> key) {
    auto v = static_cast<PixelWord<B>>(LoadPixel<B>(p));
    if constexpr (ColourBytesOnly) v &= PixelSize<B>::kKeyCompareMask;
    return static_cast<PixelWord<B>>(v != key);
}

// Walks rows of width pixel pairs; true at the first row holding a pair where both pixels are
// opaque. Each row is tested whole, with no branch per pixel (so the compiler widens the test to
// vector registers), and the row's result is looked at after it.
template <int B, bool ColourBytesOnly>
bool AnyBothOpaque(const std::uint8_t* a, std::ptrdiff_t pitchA, std::uint32_t keyA, const std::uint8_t* b, std::ptrdiff_t pitchB,
                   std::uint32_t keyB, std::int64_t width, std::int64_t height) {
    // A key that a pixel of this size cannot hold matches no pixel.
    const bool keyAFits = B == 4 || keyA <= PixelSize<B>::kMask, keyBFits = B == 4 || keyB <= PixelSize<B>::kMask;
    const auto ka = static_cast<PixelWord<B>>(keyAFits ? keyA : 0), kb = static_cast<PixelWord<B>>(keyBFits ? keyB : 0);
    for (std::int64_t row = 0; row < height; ++row, a += pitchA, b += pitchB) {
        PixelWord<B> hit = 0;
        if (keyAFits && keyBFits) {
            for (std::int64_t i = 0; i < width; ++i) hit |= Opaque<B, ColourBytesOnly>(a + i * B, ka) & Opaque<B, ColourBytesOnly>(b + i * B, kb);
        } else {
            for (std::int64_t i = 0; i < width; ++i)
                hit |= static_cast<PixelWord<B>>((!keyAFits || Opaque<B, ColourBytesOnly>(a + i * B, ka)) &&
                                                 (!keyBFits || Opaque<B, ColourBytesOnly>(b + i * B, kb)));
        }
        if (hit) return true;
    }
    return false;
}

struct Walk {
    const std::uint8_t *a, *b;
    std::ptrdiff_t pitchA, pitchB;
    std::uint32_t keyA, keyB;
    std::int64_t width, height;
    int bytes;
    bool oneSheet;
};

// The overlap walk for the pixel size, chosen once.
MEDIA_PIXEL_LOOP bool WalkOverlap(const Walk& w) {
    bool hit = false;
    platform::DispatchBytes(w.bytes, [&]<int B>() {
        // Only a 32-bit pixel has bits beside its colour; within one sheet they are compared too.
        if constexpr (B == 4) {
            if (!w.oneSheet) {
                hit = AnyBothOpaque<B, true>(w.a, w.pitchA, w.keyA, w.b, w.pitchB, w.keyB, w.width, w.height);
                return;
            }
        }
        hit = AnyBothOpaque<B, false>(w.a, w.pitchA, w.keyA, w.b, w.pitchB, w.keyB, w.width, w.height);
    });
    return hit;
}

// The walks on two opacity masks: true when both masks have a bit of bits set at one position.
//
// Rows of 32 bytes or more go 32 bytes at a time and then the last 32 again, overlapping, so a
// row costs a few vector operations and no tail loop. The rows' results are gathered in vectors
// and looked at every few rows. Blocks is the number of whole blocks in a row when it is known
// before the walk (sprites up to 159 pixels wide), so that the row's loop unrolls; 0 counts them
// row by row.
template <int Blocks>
inline bool AnyBothSetWide(const std::uint8_t* a, std::ptrdiff_t pitchA, const std::uint8_t* b, std::ptrdiff_t pitchB, std::uint64_t bits,
                           std::int64_t width, std::int64_t height) {
    using Block = std::uint8_t __attribute__((vector_size(32)));
    constexpr std::int64_t kRowsPerLook = 8;
    const std::int64_t blocks = Blocks > 0 ? Blocks : width / 32;
    for (std::int64_t row = 0; row < height;) {
        // Two accumulators, so that a row's blocks do not wait for each other.
        Block acc{}, last{}, x, y;
        for (const std::int64_t stop = std::min(height, row + kRowsPerLook); row < stop; ++row, a += pitchA, b += pitchB) {
            for (std::int64_t i = 0; i < blocks; ++i) {
                std::memcpy(&x, a + i * 32, 32);
                std::memcpy(&y, b + i * 32, 32);
                acc |= x & y;
            }
            std::memcpy(&x, a + width - 32, 32);
            std::memcpy(&y, b + width - 32, 32);
            last |= x & y;
        }
        acc |= last;
        std::uint64_t words[4];
        std::memcpy(words, &acc, 32);
        if ((words[0] | words[1] | words[2] | words[3]) & bits) return true;
    }
    return false;
}

// Rows narrower than 32 bytes: by 8-byte words, the last one overlapping, or byte by byte.
inline bool AnyBothSetNarrow(const std::uint8_t* a, std::ptrdiff_t pitchA, const std::uint8_t* b, std::ptrdiff_t pitchB, std::uint64_t bits,
                             std::int64_t width, std::int64_t height) {
    for (std::int64_t row = 0; row < height; ++row, a += pitchA, b += pitchB) {
        std::uint64_t folded = 0;
        if (width >= 8) {
            std::uint64_t x, y;
            for (std::int64_t i = 0; i + 8 <= width; i += 8) {
                std::memcpy(&x, a + i, 8);
                std::memcpy(&y, b + i, 8);
                folded |= x & y;
            }
            std::memcpy(&x, a + width - 8, 8);
            std::memcpy(&y, b + width - 8, 8);
            folded |= x & y;
        } else {
            for (std::int64_t i = 0; i < width; ++i) folded |= a[i] & b[i];
        }
        if (folded & bits) return true;
    }
    return false;
}

// The overlap walk on two opacity masks, for the row width chosen once.
MEDIA_PIXEL_LOOP bool AnyBothOpaqueInMasks(const std::uint8_t* a, std::ptrdiff_t pitchA, const std::uint8_t* b, std::ptrdiff_t pitchB,
                                           std::uint8_t bit, std::int64_t width, std::int64_t height) {
    const std::uint64_t bits = 0x0101010101010101ull * bit;
    switch (width / 32) {
        case 0: return AnyBothSetNarrow(a, pitchA, b, pitchB, bits, width, height);
        case 1: return AnyBothSetWide<1>(a, pitchA, b, pitchB, bits, width, height);
        case 2: return AnyBothSetWide<2>(a, pitchA, b, pitchB, bits, width, height);
        case 3: return AnyBothSetWide<3>(a, pitchA, b, pitchB, bits, width, height);
        case 4: return AnyBothSetWide<4>(a, pitchA, b, pitchB, bits, width, height);
        default: return AnyBothSetWide<0>(a, pitchA, b, pitchB, bits, width, height);
    }
}

}  // namespace

std::int32_t SpriteObject::Create(Screen* screen, const char* name, std::int32_t frameWidth, std::int32_t frameHeight,
                                  std::int32_t frameCount, std::int32_t placement) {
    if (!name) return -1;
    if (sheet) return -2;
    sheet = new FrameSheet();
    ownsSheet = 1;
    return sheet->LoadFrames(screen, name, frameWidth, frameHeight, frameCount, placement) == 1 ? 1 : -3;
}

void SpriteObject::Release() {
    // Once the owned sheet is gone the sprite owns nothing: a sheet set afterwards is borrowed.
    if (ownsSheet == 1 && sheet) {
        delete sheet;
        ownsSheet = 0;
    }
    sheet = nullptr;
}

bool SpriteObject::FrameSource(Rect& rect) const {
    if (!Usable(sheet)) return false;
    const Placed p = Place(*this);
    // A frame past the largest coordinate lies far below the picture: nothing of it is drawn.
    if (!Fits32(p.left + p.width) || !Fits32(p.top + p.height)) return false;
    rect = {static_cast<std::int32_t>(p.left), static_cast<std::int32_t>(p.top), static_cast<std::int32_t>(p.left + p.width),
            static_cast<std::int32_t>(p.top + p.height)};
    return true;
}

void SpriteObject::Draw(PixelSurface* dest, std::int32_t viewX, std::int32_t viewY, std::int32_t kind) {
    Rect r;
    if (!FrameSource(r)) return;
    const std::int64_t dx64 = std::int64_t{x} - viewX, dy64 = std::int64_t{y} - viewY;
    const std::int64_t sx64 = dx64 - shadowOffsetX, sy64 = dy64 - shadowOffsetY;
    const std::int64_t cx64 = dx64 + sheet->FrameWidth() / 2, cy64 = dy64 + sheet->FrameHeight() / 2;
    const std::int32_t k = kind & 0xFFFF;
    const bool shadow = k == BLIT_OPAQUE_SHADE || k == BLIT_OPAQUE_HALFSHADE || k == BLIT_KEYED_SHADE || k == BLIT_KEYED_HALFSHADE;
    const bool rotated = k == BLIT_OPAQUE_ROTATED || k == BLIT_KEYED_ROTATED;
    const std::int64_t px = shadow ? sx64 : rotated ? cx64 : dx64, py = shadow ? sy64 : rotated ? cy64 : dy64;
    // A position outside 32 bits is off every destination.
    if (!Fits32(px) || !Fits32(py)) return;
    const auto ax = static_cast<std::int32_t>(px), ay = static_cast<std::int32_t>(py);
    FrameSheet& s = *sheet;
    switch (k) {
        case BLIT_OPAQUE: s.BlitOpaque(dest, ax, ay, &r); break;
        case BLIT_OPAQUE_BLEND: s.BlitOpaqueBlend(dest, ax, ay, &r, alpha); break;
        case BLIT_OPAQUE_HALFBLEND: s.BlitOpaqueHalfBlend(dest, ax, ay, &r); break;
        case BLIT_OPAQUE_SCALED: s.BlitOpaqueScaled(dest, ax, ay, &r, scale); break;
        case BLIT_OPAQUE_SHADE: s.BlitOpaqueShade(dest, ax, ay, &r, shadowFactor); break;
        case BLIT_OPAQUE_HALFSHADE: s.BlitOpaqueHalfShade(dest, ax, ay, &r); break;
        case BLIT_OPAQUE_ROTATED: s.BlitOpaqueRotated(dest, ax, ay, &r, angle, static_cast<double>(scale)); break;
        case BLIT_OPAQUE_MIRROR_X: s.BlitOpaqueMirrorX(dest, ax, ay, &r); break;
        case BLIT_OPAQUE_MIRROR_Y: s.BlitOpaqueMirrorY(dest, ax, ay, &r); break;
        case BLIT_OPAQUE_STRETCHED: s.BlitOpaqueStretched(dest, ax, ay, &r, stretchWidth, stretchHeight); break;
        case BLIT_KEYED: s.BlitKeyed(dest, ax, ay, &r); break;
        case BLIT_KEYED_BLEND: s.BlitKeyedBlend(dest, ax, ay, &r, alpha); break;
        case BLIT_KEYED_HALFBLEND: s.BlitKeyedHalfBlend(dest, ax, ay, &r); break;
        case BLIT_KEYED_SCALED: s.BlitKeyedScaled(dest, ax, ay, &r, scale); break;
        case BLIT_KEYED_SHADE: s.BlitKeyedShade(dest, ax, ay, &r, shadowFactor); break;
        case BLIT_KEYED_HALFSHADE: s.BlitKeyedHalfShade(dest, ax, ay, &r); break;
        case BLIT_KEYED_ROTATED: s.BlitKeyedRotated(dest, ax, ay, &r, angle, static_cast<double>(scale)); break;
        case BLIT_KEYED_MIRROR_X: s.BlitKeyedMirrorX(dest, ax, ay, &r); break;
        case BLIT_KEYED_MIRROR_Y: s.BlitKeyedMirrorY(dest, ax, ay, &r); break;
        case BLIT_KEYED_STRETCHED: s.BlitKeyedStretched(dest, ax, ay, &r, stretchWidth, stretchHeight); break;
        case BLIT_KEYED_ALPHAMAP: s.BlitKeyedAlphaMap(dest, ax, ay, &r); break;
        default: break;
    }
}

std::int32_t SpriteObject::Overlaps(const SpriteObject& other) const {
    if (&other == this || !Usable(sheet) || !Usable(other.sheet)) return 0;
    const Placed a = Place(*this), b = Place(other);
    // Boxes with inclusive edges: touching boxes pass here and have an empty overlap below.
    if (a.y > b.y + b.height || a.y + a.height < b.y || a.x + a.width < b.x || a.x > b.x + b.width) return 0;
    const Placed& l = b.x > a.x ? a : b;
    const Placed& r = b.x > a.x ? b : a;
    // The overlap on the destination: the intersection of the two boxes, then only the part where
    // each frame lies inside its own picture (outside a picture every pixel is transparent).
    std::int64_t left = r.x, right = std::min(l.x + l.width, r.x + r.width);
    std::int64_t top = std::max(l.y, r.y), bottom = std::min(l.y + l.height, r.y + r.height);
    for (const Placed* p : {&l, &r}) {
        left = std::max(left, p->x - p->left);
        top = std::max(top, p->y - p->top);
        right = std::min(right, p->x - p->left + p->sheet->Width());
        bottom = std::min(bottom, p->y - p->top + p->sheet->Height());
    }
    if (left >= right || top >= bottom) return 0;

    const std::int32_t depth = l.sheet->GetPixelFormatInfo().depth;
    if (r.sheet->GetPixelFormatInfo().depth != depth) return 0;
    const int bytes = BytesPerPixelOfDepth(depth);
    if (bytes == 0) return 0;
    FrameSheet& lSheet = *l.sheet;
    FrameSheet& rSheet = *r.sheet;
    const bool oneSheet = &lSheet == &rSheet;
    // A sheet that someone holds locked may be written while this test runs: its opacity cannot
    // be trusted, and its pixels are compared directly.
    const bool masks = !lSheet.Surface()->IsLocked() && !rSheet.Surface()->IsLocked();
    if (lSheet.LockForReading() <= 0) return 0;
    if (!oneSheet && rSheet.LockForReading() <= 0) {
        lSheet.Unlock();
        return 0;
    }
    const std::int64_t width = right - left, height = bottom - top;
    const std::int64_t lx = l.left + left - l.x, ly = l.top + top - l.y;
    const std::int64_t rx = r.left + left - r.x, ry = r.top + top - r.y;
    bool hit;
    if (masks) {
        const OpacityMask& lm = lSheet.Opacity();
        const OpacityMask& rm = rSheet.Opacity();
        const std::uint8_t bit = oneSheet ? OpacityMask::kWholeValue : OpacityMask::kColourBytes;
        hit = AnyBothOpaqueInMasks(lm.At(lx, ly), lm.Pitch(), rm.At(rx, ry), rm.Pitch(), bit, width, height);
    } else {
        const platform::PixelView lv = lSheet.View(), rv = rSheet.View();
        const std::uint8_t* lp = lv.Row(static_cast<std::int32_t>(ly)) + lx * bytes;
        const std::uint8_t* rp = rv.Row(static_cast<std::int32_t>(ry)) + rx * bytes;
        hit = WalkOverlap({lp, rp, lv.pitch, rv.pitch, lSheet.ColorKey(), rSheet.ColorKey(), width, height, bytes, oneSheet});
    }
    if (!oneSheet) rSheet.Unlock();
    lSheet.Unlock();
    return hit ? 1 : 0;
}

}  // namespace media
