#include "media/blit/straight_alpha_loop.h"

#include "media/blit/straight_alpha.h"
#include "platform/pixels/pixel_access.h"

namespace media {

namespace {

template <typename T>
void StraightAlphaWalk(const SoftwareBlitArea& area, const std::uint8_t* map, std::int32_t mapWidth) {
    constexpr int B = T::kBytes;
    const std::int32_t w = area.dest.width;
    const std::uint8_t* alphaRow = map + static_cast<std::ptrdiff_t>(area.sourceRect.top) * mapWidth + area.sourceRect.left;
    for (std::int32_t y = 0; y < area.dest.height; ++y, alphaRow += mapWidth) {
        std::uint8_t* d = area.dest.Row(y);
        const std::uint8_t* s = area.source.Row(y);
        for (std::int32_t i = 0; i < w; ++i) {
            const std::uint32_t out = OverPixel<T>(platform::LoadPixel<B>(s + i * B), platform::LoadPixel<B>(d + i * B), alphaRow[i]);
            platform::StorePixel<B>(d + i * B, out);
        }
    }
}

}  // namespace

MEDIA_PIXEL_LOOP void StraightAlphaLoop(const SoftwareBlitArea& area, const std::uint8_t* alphaMap, std::int32_t mapWidth) {
    platform::DispatchDepth(area.depth, [&]<typename T>() { StraightAlphaWalk<T>(area, alphaMap, mapWidth); });
}

}  // namespace media
