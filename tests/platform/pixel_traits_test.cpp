// The per-format arithmetic against a plain per-channel reference: every blend, half and shade of
// every depth, on a spread of pixels and weights, and the size traits (masks, key tests, fills).
#include "platform/pixels/pixel_traits.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "platform/pixels/pixel_access.h"
#include "platform/pixels/surface_desc.h"

namespace {

using platform::PixelTraits;

// A channel layout written out by hand: shift and width of red, green and blue.
struct Channel {
    int shift, bits;
    std::uint32_t Get(std::uint32_t p) const { return (p >> shift) & ((1u << bits) - 1); }
};

struct Layout {
    std::int32_t depth;
    int bytes;
    Channel red, green, blue;
    std::uint32_t whiteHalf;  // Half(white, white): each channel's top value less its low bit
};

constexpr std::array<Layout, 4> kLayouts{{
    {15, 2, {10, 5}, {5, 5}, {0, 5}, 0x7BDE},
    {16, 2, {11, 5}, {5, 6}, {0, 5}, 0xF7DE},
    {24, 3, {16, 8}, {8, 8}, {0, 8}, 0xFEFEFE},
    {32, 4, {16, 8}, {8, 8}, {0, 8}, 0xFEFEFE},
}};

// Applies op to each channel of x and y and packs the results by the hand-written layout.
template <typename Op>
std::uint32_t Reference(const Layout& l, std::uint32_t x, std::uint32_t y, Op op) {
    std::uint32_t out = 0;
    for (const Channel& c : {l.red, l.green, l.blue}) out |= op(c.Get(x), c.Get(y)) << c.shift;
    return out;
}

// Pixels with every channel at 0, 1, its middle, and its top, mixed across channels, plus a few
// irregular values; of the pixel's own size.
std::vector<std::uint32_t> SamplePixels(const Layout& l) {
    std::vector<std::uint32_t> out;
    const std::uint32_t mask = l.bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * l.bytes)) - 1;
    for (std::uint32_t v : {0x00000000u, 0xFFFFFFFFu, 0x12345678u, 0x89ABCDEFu, 0x5A5A5A5Au, 0xA5A5A5A5u, 0x0F0F0F0Fu, 0xF0E1D2C3u})
        out.push_back(v & mask);
    for (const Channel& c : {l.red, l.green, l.blue})
        for (std::uint32_t v : {1u, (1u << c.bits) - 1, 1u << (c.bits - 1)}) out.push_back(v << c.shift);
    return out;
}

class PixelTraitsTest : public ::testing::TestWithParam<Layout> {};

TEST_P(PixelTraitsTest, ChannelMasksDescribeTheLayout) {
    const Layout& l = GetParam();
    const platform::PixelFormatDesc desc = platform::FormatForDepth(l.depth);
    EXPECT_EQ(desc.redMask, ((1u << l.red.bits) - 1) << l.red.shift);
    EXPECT_EQ(desc.greenMask, ((1u << l.green.bits) - 1) << l.green.shift);
    EXPECT_EQ(desc.blueMask, ((1u << l.blue.bits) - 1) << l.blue.shift);
    EXPECT_EQ(desc.bitCount, 8u * static_cast<std::uint32_t>(l.bytes));
    EXPECT_EQ(platform::BytesPerPixelOfDepth(l.depth), l.bytes);
}

TEST_P(PixelTraitsTest, ArithmeticMatchesThePerChannelReference) {
    const Layout& l = GetParam();
    const std::vector<std::uint32_t> pixels = SamplePixels(l);
    const bool known = platform::DispatchDepth(l.depth, [&]<typename T>() {
        if constexpr (!T::kIndexed) {
            EXPECT_EQ(T::Half(0xFFFFFFFFu & T::kMask, 0xFFFFFFFFu & T::kMask), l.whiteHalf);
            for (std::uint32_t x : pixels) {
                for (std::uint32_t y : pixels) {
                    SCOPED_TRACE(::testing::Message() << std::hex << "x=" << x << " y=" << y);
                    EXPECT_EQ(T::Half(x, y), Reference(l, x, y, [](std::uint32_t a, std::uint32_t b) { return a / 2 + b / 2; }));
                    for (std::uint32_t w : {0u, 1u, 64u, 127u, 128u, 200u, 255u, 256u}) {
                        const auto mix = [w](std::uint32_t a, std::uint32_t b) { return (a * (256 - w) + b * w) >> 8; };
                        EXPECT_EQ(T::Mix(x, y, w), Reference(l, x, y, mix)) << "w=" << w;
                        if constexpr (T::kBytes == 2) {
                            EXPECT_EQ(T::Blend(y, x, static_cast<std::int32_t>(w)), T::Mix(x, y, w)) << "w=" << w;
                        }
                    }
                }
                EXPECT_EQ(T::HalfShade(x), Reference(l, x, x, [](std::uint32_t a, std::uint32_t) { return a / 2; }));
                for (std::uint32_t f : {0u, 1u, 100u, 128u, 255u, 256u})
                    EXPECT_EQ(T::Scale(x, f), Reference(l, x, x, [f](std::uint32_t a, std::uint32_t) { return a * f / 256; }))
                        << std::hex << "x=" << x << std::dec << " f=" << f;
            }
        }
    });
    EXPECT_TRUE(known);
}

INSTANTIATE_TEST_SUITE_P(Depths, PixelTraitsTest, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return "depth" + std::to_string(info.param.depth); });

// What depends on the pixel size alone.
struct SizeCase {
    int bytes;
    std::uint32_t pixel, key;
    bool isKey, keyCanMatch;
};

class PixelSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PixelSizeTest, KeyComparesTheColourBits) {
    const SizeCase& k = GetParam();
    platform::DispatchBytes(k.bytes, [&]<int B>() {
        using P = platform::PixelSize<B>;
        EXPECT_EQ(P::IsKey(k.pixel, k.key), k.isKey);
        EXPECT_EQ(P::KeyCanMatch(k.key), k.keyCanMatch);
    });
}

INSTANTIATE_TEST_SUITE_P(Keys, PixelSizeTest,
                         ::testing::Values(SizeCase{1, 0x12, 0x12, true, true}, SizeCase{1, 0x12, 0x112, false, false},
                                           SizeCase{2, 0xF81F, 0xF81F, true, true}, SizeCase{2, 0xF81F, 0x1F81F, false, false},
                                           SizeCase{3, 0xFF00FF, 0xFF00FF, true, true}, SizeCase{3, 0xFF00FF, 0x1FF00FF, false, false},
                                           // A 32-bit pixel's fourth byte is not compared, and a key that has one matches nothing.
                                           SizeCase{4, 0xABFF00FF, 0xFF00FF, true, true}, SizeCase{4, 0xABFF00FF, 0xABFF00FF, false, false},
                                           SizeCase{4, 0x00FF00FE, 0xFF00FF, false, true}));

TEST(PixelSizeTest, FourthByteAndRepeatedWords) {
    EXPECT_EQ(platform::PixelSize<4>::KeepFourthByte(0x123456, 0xAB000000), 0xAB123456u);
    EXPECT_EQ(platform::PixelSize<3>::KeepFourthByte(0x123456, 0xABCDEF), 0x123456u);
    EXPECT_EQ(platform::PixelSize<2>::KeepFourthByte(0x1234, 0xABCD), 0x1234u);
    EXPECT_EQ(platform::PixelSize<1>::Repeated(0x1A5), 0xA5A5A5A5u);
    EXPECT_EQ(platform::PixelSize<2>::Repeated(0x1F81F), 0xF81FF81Fu);
}

// Row fills of every size and a spread of lengths (odd and even, around the word boundary):
// exactly count pixels written, nothing beyond.
TEST(FillPixelsTest, WritesExactlyTheRun) {
    for (int bytes = 1; bytes <= 4; ++bytes) {
        for (std::int32_t count : {0, 1, 2, 3, 4, 5, 7, 8, 33}) {
            for (std::int32_t offset : {0, 1}) {
                std::vector<std::uint8_t> row(static_cast<std::size_t>(4 + (count + 2) * bytes), 0xEE);
                const std::uint32_t pixel = 0x89ABCDEFu;
                platform::DispatchBytes(bytes, [&]<int B>() {
                    platform::FillPixels<B>(row.data() + offset, count, pixel);
                    for (std::int32_t i = 0; i < count; ++i)
                        EXPECT_EQ(platform::LoadPixel<B>(row.data() + offset + i * B), pixel & platform::PixelSize<B>::kMask)
                            << "bytes " << B << " count " << count << " pixel " << i;
                });
                for (std::size_t i = 0; i < row.size(); ++i) {
                    const bool inside = i >= static_cast<std::size_t>(offset) && i < static_cast<std::size_t>(offset + count * bytes);
                    if (!inside) {
                        EXPECT_EQ(row[i], 0xEE) << "bytes " << bytes << " count " << count << " byte " << i;
                    }
                }
            }
        }
    }
}

TEST(DispatchDepthTest, OnlyTheDepthCodesReachTheirTraits) {
    for (std::int32_t depth : {8, 15, 16, 24, 32}) {
        std::int32_t reached = 0;
        EXPECT_TRUE(platform::DispatchDepth(depth, [&]<typename T>() { reached = T::kDepth; }));
        EXPECT_EQ(reached, depth);
    }
    for (std::int32_t depth : {0, 1, 4, 12, 17, 31, 64}) {
        EXPECT_FALSE(platform::DispatchDepth(depth, []<typename>() { ADD_FAILURE(); }));
        EXPECT_EQ(platform::BytesPerPixelOfDepth(depth), 0);
    }
    EXPECT_EQ(platform::BytesPerPixelOfDepth(8), 1);
}

}  // namespace
