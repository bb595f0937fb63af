#include <climits>
#include <random>
#include <vector>

#include "media/display/pixel_surface.h"
#include "media/display/screen.h"
#include "tests/headless_test.h"

namespace {

using media::PixelSurface;

std::uint32_t ValueMask(int depth) {
    switch (media::BytesPerPixelOfDepth(depth)) {
        case 1: return 0xFF;
        case 2: return 0xFFFF;
        case 3: return 0xFFFFFF;
        default: return 0xFFFFFFFF;
    }
}

// A per-pixel picture of what the surface should hold, drawn the slow, obvious way.
struct Reference {
    std::int32_t width, height;
    platform::Rect clip;
    std::vector<std::uint32_t> pixels;

    void Put(std::int32_t x, std::int32_t y, std::uint32_t c) {
        if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) pixels[y * width + x] = c;
    }
    void HLine(std::int32_t x1, std::int32_t x2, std::int32_t y, std::uint32_t c) {
        for (std::int32_t x = std::min(x1, x2); x <= std::max(x1, x2); ++x) Put(x, y, c);
    }
    void VLine(std::int32_t y1, std::int32_t y2, std::int32_t x, std::uint32_t c) {
        for (std::int32_t y = std::min(y1, y2); y <= std::max(y1, y2); ++y) Put(x, y, c);
    }
};

class PixelRoutinesTest : public HeadlessTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        screen = std::make_unique<media::Screen>();
        ASSERT_EQ(surface.CreateBlank(screen.get(), kWidth, kHeight, GetParam()), 1);
        ASSERT_EQ(surface.GetPixelFormatInfo().depth, GetParam());
    }
    void TearDown() override {
        if (surface.LockCount()) surface.Unlock();
        HeadlessTest::TearDown();
    }

    // Every pixel matches the reference, and the row padding past the last pixel is untouched.
    void ExpectMatches(const Reference& ref) {
        for (std::int32_t y = 0; y < kHeight; ++y) {
            for (std::int32_t x = 0; x < kWidth; ++x)
                ASSERT_EQ(surface.GetPixel(x, y), ref.pixels[y * kWidth + x]) << "at " << x << "," << y;
            const std::uint8_t* row = surface.Surface()->Row(y);
            for (std::int32_t b = kWidth * media::BytesPerPixelOfDepth(GetParam()); b < surface.Surface()->Pitch(); ++b)
                ASSERT_EQ(row[b], 0) << "padding byte " << b << " of row " << y;
        }
    }

    static constexpr std::int32_t kWidth = 13, kHeight = 9;
    std::unique_ptr<media::Screen> screen;
    PixelSurface surface;
};

TEST_P(PixelRoutinesTest, RandomPixelsAndLinesMatchTheReferenceInsideTheClip) {
    const std::uint32_t mask = ValueMask(GetParam());
    const platform::Rect clip{2, 1, 11, 8};
    surface.SetClipRect(clip);
    Reference ref{kWidth, kHeight, clip, std::vector<std::uint32_t>(kWidth * kHeight, 0)};
    ASSERT_EQ(surface.Lock(), 1);
    std::mt19937 rng(1234 + GetParam());
    std::uniform_int_distribution<std::int32_t> coord(-4, 16);
    for (int i = 0; i < 2000; ++i) {
        // Values weighted toward the extremes, where packing mistakes show.
        std::uint32_t c = rng();
        if (i % 3 == 0) c = (i % 2) ? 0xFFFFFFFF : 0;
        c &= mask;
        const std::int32_t a = coord(rng), b = coord(rng), at = coord(rng);
        switch (rng() % 3) {
            case 0: surface.PutPixel(a, at, c); ref.Put(a, at, c); break;
            case 1: surface.DrawHLine(a, b, at, c); ref.HLine(a, b, at, c); break;
            default: surface.DrawVLine(a, b, at, c); ref.VLine(a, b, at, c); break;
        }
        if (i % 50 == 0) ExpectMatches(ref);
    }
    ExpectMatches(ref);
}

TEST_P(PixelRoutinesTest, LinesCoverTheirEndpointsInEitherOrderAndStopAtTheClip) {
    // The colour carries bits above the depth: lines built from whole words must drop them the
    // way a single pixel store does.
    const std::uint32_t drawn = 0xC3E17A5Au, c = drawn & ValueMask(GetParam());
    struct Case {
        bool vertical;
        std::int32_t a1, a2, at;
        platform::Rect clip;
        std::int32_t from, to;  // covered range along the line, inclusive; from > to: nothing
    } cases[] = {
        {true, 5, 2, 0, {0, 0, kWidth, kHeight}, 2, 5},
        {true, 0, 10, 3, {0, 0, kWidth, 8}, 0, 7},
        {true, 8, 8, 3, {0, 0, kWidth, 8}, 1, 0},   // a row at the clip's bottom is outside
        {true, 0, 3, 11, {0, 0, 11, kHeight}, 1, 0},  // a column at the clip's right is outside
        {false, 7, 1, 4, {0, 0, kWidth, kHeight}, 1, 7},
        {false, 0, 6, 4, {0, 0, kWidth, kHeight}, 0, 6},  // 7 pixels: odd counts take single writes
        {false, -5, 30, 0, {3, 0, 10, kHeight}, 3, 9},
        {false, 12, 12, 2, {0, 0, kWidth, kHeight}, 12, 12},
        {true, INT32_MAX, INT32_MIN, 4, {0, 0, kWidth, kHeight}, 0, kHeight - 1},
        {false, INT32_MIN, INT32_MAX, 4, {0, 0, kWidth, kHeight}, 0, kWidth - 1},
    };
    for (const Case& k : cases) {
        surface.Fill(0);
        surface.SetClipRect(k.clip);
        ASSERT_EQ(surface.Lock(), 1);
        if (k.vertical)
            surface.DrawVLine(k.a1, k.a2, k.at, drawn);
        else
            surface.DrawHLine(k.a1, k.a2, k.at, drawn);
        Reference ref{kWidth, kHeight, {0, 0, kWidth, kHeight}, std::vector<std::uint32_t>(kWidth * kHeight, 0)};
        for (std::int32_t i = k.from; i <= k.to; ++i) k.vertical ? ref.Put(k.at, i, c) : ref.Put(i, k.at, c);
        ExpectMatches(ref);
        surface.Unlock();
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, PixelRoutinesTest, ::testing::Values(8, 15, 16, 24, 32),
                         [](const auto& info) { return "depth" + std::to_string(info.param); });

struct BlendCase {
    const char* name;
    int depth;
    std::uint32_t destination, colour, weight, expected;
};
void PrintTo(const BlendCase& c, std::ostream* os) { *os << c.name; }

class BlendPixelTest : public HeadlessTest, public ::testing::WithParamInterface<BlendCase> {};

TEST_P(BlendPixelTest, MixesEachChannelWithAFlooredWeight) {
    const BlendCase& k = GetParam();
    media::Screen screen;
    PixelSurface surface;
    ASSERT_EQ(surface.CreateBlank(&screen, 2, 1, k.depth), 1);
    ASSERT_EQ(surface.Lock(), 1);
    surface.PutPixel(0, 0, k.destination);
    surface.BlendPixel(0, 0, k.colour, k.weight);
    EXPECT_EQ(surface.GetPixel(0, 0), k.expected);
    EXPECT_EQ(surface.GetPixel(1, 0), 0u);
    surface.Unlock();
}

INSTANTIATE_TEST_SUITE_P(
    Blends, BlendPixelTest,
    ::testing::Values(
        BlendCase{"half_up_555", 15, 0x0000, 0x001F, 128, 0x000F},
        BlendCase{"half_down_555", 15, 0x001F, 0x0000, 128, 0x000F},  // 31 + floor(-15.5) = 15
        BlendCase{"red_555_keeps_top_bit_clear", 15, 0x0000, 0xFC00, 256, 0x7C00},
        BlendCase{"green6_565", 16, 0x0000, 0x07E0, 128, 0x03E0},
        BlendCase{"all_channels_565", 16, 0xFFFF, 0x0000, 64, 0xBDF7},
        BlendCase{"weight0_keeps", 16, 0x1234, 0xFFFF, 0, 0x1234},
        BlendCase{"weight256_gives_colour", 16, 0x1234, 0xABCD, 256, 0xABCD},
        BlendCase{"weight_high_bits_ignored", 16, 0x1234, 0xABCD, 0x10000, 0x1234},
        BlendCase{"bytes_24", 24, 0x000000, 0xFF8001, 128, 0x7F4000},
        BlendCase{"bytes_32_down", 32, 0x00FF80FF, 0x00000000, 128, 0x007F407F},
        BlendCase{"index_8_replaced", 8, 0x12, 0x34, 3, 0x34}),
    [](const auto& info) { return info.param.name; });

}  // namespace
