#include "media/blit/blit_loops.h"

#include <algorithm>
#include "platform/pixels/pixel_access.h"
#include "platform/pixels/pixel_traits.h"

namespace media {

namespace {

using platform::LoadPixel;
using platform::PixelTraits;
using platform::StorePixel;

// old where the source pixel p is the key, otherwise out. The comparison is made in the pixel's
// own width: a 16-bit compare keeps the whole loop in 16-bit lanes, where a compare of promoted
// values would widen every vector in it to 32-bit lanes and halve the pixels per instruction.
template <typename T>
inline typename T::Value KeySelect(typename T::Value p, std::uint32_t key, typename T::Value old, typename T::Value out) {
    using Value = typename T::Value;
    const auto compared = static_cast<Value>(p & static_cast<Value>(T::kKeyCompareMask));
    const Value differs = static_cast<Value>(compared ^ static_cast<Value>(key));
    // All ones where the pixel is the key, none elsewhere: a mask the vectoriser keeps narrow.
    const auto isKey = static_cast<Value>(-static_cast<Value>(differs == 0));
    return static_cast<Value>((old & isKey) | (out & static_cast<Value>(~isKey)));
}

// Walks every pixel of the area with op(source, destination) -> new destination value. The depth
// and the key flag are template parameters, so the inner loop has no branch on either; the key
// test is a select, which keeps the loop vectorisable. A loop whose op ignores the source reads
// none (the load is dead code).
template <int Depth, bool Keyed, typename Op>
void Walk(const SoftwareBlitArea& area, std::uint32_t key, Op op) {
    using T = PixelTraits<Depth>;
    constexpr int B = T::kBytes;
    // 16-bit pixels stay 16-bit values through the loop, so a vector register holds as many
    // of them as it can (the pair words of a 32-bit loop, widened).
    using Value = typename T::Value;
    const std::int32_t w = area.dest.width;
    for (std::int32_t y = 0; y < area.dest.height; ++y) {
        std::uint8_t* d = area.dest.Row(y);
        const std::uint8_t* s = area.source.Row(y);
        for (std::int32_t i = 0; i < w; ++i) {
            const auto dp = static_cast<Value>(LoadPixel<B>(d + i * B)), sp = static_cast<Value>(LoadPixel<B>(s + i * B));
            const auto out = static_cast<Value>(T::KeepFourthByte(op(sp, dp), dp));
            StorePixel<B>(d + i * B, Keyed ? KeySelect<T>(sp, key, dp, out) : out);
        }
    }
}

// Chooses the loop for the area's depth and the key flag, once per blit. 8-bit indexes have no
// channels to blend and are left as they are. A key with bits beyond the compared value matches
// nothing, and the blit is drawn as the opaque form.
template <template <int> class OpFor, typename... Args>
void Run(const SoftwareBlitArea& area, bool keyed, std::uint32_t key, Args... args) {
    platform::DispatchDepth(area.depth, [&]<typename T>() {
        constexpr int Depth = T::kDepth;
        if constexpr (!T::kIndexed) {
            const auto op = OpFor<Depth>{args...};
            if (keyed && T::KeyCanMatch(key)) {
                Walk<Depth, true>(area, key, op);
            } else {
                Walk<Depth, false>(area, key, op);
            }
        }
    });
}

template <int Depth>
struct HalfBlendOp {
    std::uint32_t operator()(std::uint32_t s, std::uint32_t d) const { return PixelTraits<Depth>::Half(s, d); }
};

template <int Depth>
struct BlendOp {
    std::uint32_t weight;
    std::uint32_t operator()(std::uint32_t s, std::uint32_t d) const { return PixelTraits<Depth>::Mix(s, d, weight); }
};

template <int Depth>
struct ShadeOp {
    std::uint32_t factor;
    std::uint32_t operator()(std::uint32_t, std::uint32_t d) const { return PixelTraits<Depth>::Scale(d, factor); }
};

template <int Depth>
struct HalfShadeOp {
    std::uint32_t operator()(std::uint32_t, std::uint32_t d) const { return PixelTraits<Depth>::HalfShade(d); }
};

template <int Depth>
void AlphaMapWalk(const SoftwareBlitArea& area, std::uint32_t key, const std::uint8_t* map, std::int32_t mapWidth) {
    using T = PixelTraits<Depth>;
    constexpr int B = T::kBytes;
    const std::int32_t w = area.dest.width;
    const std::uint8_t* alphaRow = map + static_cast<std::ptrdiff_t>(area.sourceRect.top) * mapWidth + area.sourceRect.left;
    using Value = typename T::Value;
    for (std::int32_t y = 0; y < area.dest.height; ++y, alphaRow += mapWidth) {
        std::uint8_t* d = area.dest.Row(y);
        const std::uint8_t* s = area.source.Row(y);
        for (std::int32_t i = 0; i < w; ++i) {
            const auto dp = static_cast<Value>(LoadPixel<B>(d + i * B)), sp = static_cast<Value>(LoadPixel<B>(s + i * B));
            const auto mixed = static_cast<Value>(T::KeepFourthByte(T::Mix(dp, sp, alphaRow[i]), dp));
            StorePixel<B>(d + i * B, KeySelect<T>(sp, key, dp, mixed));
        }
    }
}

}  // namespace

MEDIA_PIXEL_LOOP void HalfBlendLoop(const SoftwareBlitArea& area, bool keyed, std::uint32_t key) { Run<HalfBlendOp>(area, keyed, key); }

MEDIA_PIXEL_LOOP void BlendLoop(const SoftwareBlitArea& area, bool keyed, std::uint32_t key, std::uint32_t weight) {
    Run<BlendOp>(area, keyed, key, std::min<std::uint32_t>(weight, 256));
}

MEDIA_PIXEL_LOOP void ShadeLoop(const SoftwareBlitArea& area, bool keyed, std::uint32_t key, std::uint32_t factor) {
    Run<ShadeOp>(area, keyed, key, std::min<std::uint32_t>(factor, 256));
}

MEDIA_PIXEL_LOOP void HalfShadeLoop(const SoftwareBlitArea& area, bool keyed, std::uint32_t key) { Run<HalfShadeOp>(area, keyed, key); }

MEDIA_PIXEL_LOOP void AlphaMapLoop(const SoftwareBlitArea& area, std::uint32_t key, const std::uint8_t* alphaMap, std::int32_t mapWidth) {
    platform::DispatchDepth(area.depth, [&]<typename T>() {
        if constexpr (!T::kIndexed) AlphaMapWalk<T::kDepth>(area, key, alphaMap, mapWidth);
    });
}

}  // namespace media
