#include "media/display/pixel_surface.h"
#include "tests/headless_test.h"

namespace {

class PixelFormatSelectionTest : public HeadlessTest {};

using media::PixelFormat;
using media::PixelSurface;
using platform::PixelFormatDesc;

struct FormatCase {
    const char* name;
    PixelFormatDesc format;
    std::int32_t result, depth;
    PixelFormat expected;
};
void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class PixelFormatTest : public HeadlessTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(PixelFormatTest, AnalysesMasksIntoMaximaShiftsAndDepth) {
    const FormatCase& c = GetParam();
    platform::DisplaySurface surface(4, 4, c.format, platform::DDSCAPS_OFFSCREENPLAIN);
    PixelFormat found;
    EXPECT_EQ(PixelSurface::AnalysePixelFormat(&surface, &found), c.result);
    EXPECT_EQ(found.depth, c.depth);
    EXPECT_EQ(found.redMax, c.expected.redMax);
    EXPECT_EQ(found.greenMax, c.expected.greenMax);
    EXPECT_EQ(found.blueMax, c.expected.blueMax);
    EXPECT_EQ(found.redShift, c.expected.redShift);
    EXPECT_EQ(found.greenShift, c.expected.greenShift);
    EXPECT_EQ(found.blueShift, c.expected.blueShift);
}

constexpr std::uint32_t kRgb = platform::DDPF_RGB;

INSTANTIATE_TEST_SUITE_P(
    Formats, PixelFormatTest,
    ::testing::Values(
        FormatCase{"rgb555", {kRgb, 16, 0x7C00, 0x03E0, 0x001F}, 1, 15, {31, 31, 31, 0, 5, 10, 15}},
        FormatCase{"rgb565", {kRgb, 16, 0xF800, 0x07E0, 0x001F}, 1, 16, {31, 63, 31, 0, 5, 11, 16}},
        FormatCase{"rgb888_24", {kRgb, 24, 0xFF0000, 0xFF00, 0xFF}, 1, 24, {255, 255, 255, 0, 8, 16, 24}},
        FormatCase{"xrgb8888", {kRgb, 32, 0xFF0000, 0xFF00, 0xFF}, 1, 32, {255, 255, 255, 0, 8, 16, 32}},
        FormatCase{"bgr_order_32", {kRgb, 32, 0xFF, 0xFF00, 0xFF0000}, 1, 32, {255, 255, 255, 16, 8, 0, 32}},
        FormatCase{"palette8", {platform::DDPF_PALETTEINDEXED8, 8, 0, 0, 0}, 1, 8, {0, 0, 0, 0, 0, 0, 8}},
        FormatCase{"not_rgb_16", {0, 16, 0xF800, 0x07E0, 0x001F}, 0, 0, {31, 63, 31, 0, 5, 11, 0}},
        FormatCase{"odd_bit_count", {kRgb, 12, 0xF00, 0xF0, 0xF}, 1, 0, {15, 15, 15, 0, 4, 8, 0}},
        FormatCase{"zero_mask", {kRgb, 32, 0, 0xFF00, 0xFF}, 1, 32, {255, 255, 0, 0, 8, 32, 32}}),
    [](const auto& info) { return info.param.name; });

TEST_F(PixelFormatSelectionTest, UnhandledFormatLeavesNoPixelRoutines) {
    PixelSurface surface;
    EXPECT_FALSE(surface.HasPixelRoutines());
    // Drawing through a surface without routines is harmless.
    EXPECT_EQ(surface.PutPixel(0, 0, 1), 0);
    EXPECT_EQ(surface.GetPixel(0, 0), 0u);
}

}  // namespace
