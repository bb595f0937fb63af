// The coverage blend under text: every coverage value over a row of varied pixels, opaque and
// translucent, at every depth, against straight alpha worked out here on the format's masks;
// rows of odd lengths and offsets, so the four-pixel groups and the tails both run.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <vector>

#include "media/blit/coverage_blend.h"
#include "platform/pixels/surface_desc.h"

namespace {

std::uint32_t Over(const platform::PixelFormatDesc& f, std::uint32_t s, std::uint32_t d, unsigned a) {
    if (f.bitCount <= 8) return a >= 128 ? s : d;
    std::uint32_t out = f.bitCount == 32 ? d & 0xFF000000u : 0;  // a fourth byte is kept, a 15-bit pixel's top bit cleared
    for (std::uint32_t mask : {f.redMask, f.greenMask, f.blueMask}) {
        const int shift = std::countr_zero(mask);
        out |= (((s & mask) >> shift) * a + ((d & mask) >> shift) * (255 - a) + 127) / 255 << shift;
    }
    return out;
}

TEST(CoverageBlendTest, EveryCoverageBlendsAsStraightAlpha) {
    constexpr int kWidth = 263;  // odd: groups of four and a tail
    std::vector<std::uint8_t> coverage(kWidth);
    for (int x = 0; x < kWidth; ++x) coverage[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(x < 256 ? x : 255 - x);
    for (const int depth : {8, 15, 16, 24, 32}) {
        const platform::PixelFormatDesc format = platform::FormatForDepth(depth);
        const int bytes = (depth + 7) / 8;
        const std::uint32_t keep = depth == 32 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1;
        const std::uint32_t raw = 0x00C3A51Fu & keep & (format.bitCount <= 8 ? 0xFF : format.redMask | format.greenMask | format.blueMask);
        for (const unsigned alpha : {255u, 201u}) {
            SCOPED_TRACE(testing::Message() << "depth " << depth << " alpha " << alpha);
            std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth + 5) * bytes);
            for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 89 + 7);
            const std::vector<std::uint8_t> before = pixels;
            platform::PixelView view{pixels.data(), static_cast<std::ptrdiff_t>(pixels.size()), kWidth + 5, 1, bytes, format};
            const media::CoveragePiece piece{{2, 0, 2 + kWidth, 1}, 0};
            media::BlendCoverage(view, depth, &piece, 1, coverage.data(), kWidth, raw, static_cast<std::uint8_t>(alpha));
            for (int x = 0; x < kWidth + 5; ++x) {
                std::uint32_t d = 0, got = 0;
                std::memcpy(&d, &before[static_cast<std::size_t>(x * bytes)], static_cast<std::size_t>(bytes));
                std::memcpy(&got, &pixels[static_cast<std::size_t>(x * bytes)], static_cast<std::size_t>(bytes));
                const bool inside = x >= 2 && x < 2 + kWidth;
                const unsigned weight = inside ? (coverage[static_cast<std::size_t>(x - 2)] * alpha + 127) / 255 : 0;
                // A 15-bit pixel's top bit carries nothing: blended pixels clear it, others keep it.
                const std::uint32_t compared = depth == 15 ? 0x7FFF : 0xFFFFFFFFu;
                ASSERT_EQ(got & compared, (inside ? Over(format, raw, d, weight) : d) & compared) << "pixel " << x;
            }
        }
    }
}

}  // namespace
