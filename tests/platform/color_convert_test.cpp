// Colours to raw pixels and back: the 3-3-2 palette both ways, channel widening, and every
// surface format's round trip of the primaries.
#include <gtest/gtest.h>

#include "platform/pixels/color_convert.h"

namespace {

using platform::COLORREF;
using platform::Rgb;

TEST(ColorConvertTest, PaletteIndexesSpreadTheirBitsOverTheWholeRange) {
    struct Case {
        std::uint8_t index;
        COLORREF colour;
    } cases[] = {
        {0x00, Rgb(0, 0, 0)},       {0xFF, Rgb(255, 255, 255)}, {0xE0, Rgb(255, 0, 0)},
        {0x1C, Rgb(0, 255, 0)},     {0x03, Rgb(0, 0, 255)},     {0x01, Rgb(0, 0, 85)},
        {0x02, Rgb(0, 0, 170)},     {0x20, Rgb(36, 0, 0)},      {0x04, Rgb(0, 36, 0)},
        {0x6D, Rgb(109, 109, 85)},  // 011 011 01
    };
    for (const Case& k : cases) {
        EXPECT_EQ(platform::ColorOfIndex332(k.index), k.colour) << "index " << int{k.index};
        EXPECT_EQ(platform::PaletteIndex332(platform::RedOf(k.colour), platform::GreenOf(k.colour), platform::BlueOf(k.colour)), k.index)
            << "back to index " << int{k.index};
    }
}

TEST(ColorConvertTest, ChannelsWidenByRepeatingTheirTopBits) {
    struct Case {
        std::uint32_t value;
        int bits;
        std::uint8_t wide;
    } cases[] = {{31, 5, 255}, {0, 5, 0}, {1, 5, 8}, {16, 5, 132}, {63, 6, 255}, {32, 6, 130},
                 {1, 1, 255}, {2, 2, 170}, {5, 3, 182}, {200, 8, 200}, {0x3FF, 10, 255}};
    for (const Case& k : cases) EXPECT_EQ(platform::WidenChannel(k.value, k.bits), k.wide) << k.value << " of " << k.bits << " bits";
}

TEST(ColorConvertTest, RawPixelsReadBackAsTheColourTheyHold) {
    struct Case {
        int depth;
        COLORREF colour;
        std::uint32_t raw;
        COLORREF back;
    } cases[] = {
        {32, Rgb(0x12, 0x34, 0x56), 0x123456, Rgb(0x12, 0x34, 0x56)},
        {24, Rgb(255, 0, 128), 0xFF0080, Rgb(255, 0, 128)},
        {16, Rgb(255, 255, 255), 0xFFFF, Rgb(255, 255, 255)},
        {16, Rgb(0x80, 0x40, 0x08), 0x8201, Rgb(0x84, 0x41, 0x08)},
        {15, Rgb(0x80, 0x40, 0x08), 0x4101, Rgb(0x84, 0x42, 0x08)},
        {15, Rgb(0, 0, 255), 0x001F, Rgb(0, 0, 255)},
        {8, Rgb(255, 0, 0), 0xE0, Rgb(255, 0, 0)},
        {8, Rgb(0x40, 0x80, 0xC0), 0x53, Rgb(72, 145, 255)},
    };
    for (const Case& k : cases) {
        const auto format = platform::FormatForDepth(k.depth);
        EXPECT_EQ(platform::RawFromColorRef(k.colour, format), k.raw) << "depth " << k.depth;
        EXPECT_EQ(platform::ColorRefFromRaw(k.raw, format), k.back) << "depth " << k.depth;
    }
}

}  // namespace
