#include <algorithm>
#include <climits>
#include <cstring>
#include <random>

#include "platform/pixels/surface_copy.h"
#include "platform/video/display_surface.h"
#include "tests/headless_test.h"

namespace {

class SurfaceCopyRulesTest : public HeadlessTest {};

using platform::DisplaySurface;
using platform::Rect;

void Put(DisplaySurface& s, std::int32_t x, std::int32_t y, std::uint32_t v) {
    std::memcpy(s.Row(y) + x * s.BytesPerPixel(), &v, static_cast<std::size_t>(s.BytesPerPixel()));
}

void FillRandom(DisplaySurface& s, std::mt19937& rng) {
    for (std::int32_t y = 0; y < s.Height(); ++y) {
        for (std::int32_t i = 0; i < s.Width() * s.BytesPerPixel(); ++i) {
            const std::uint32_t r = rng();
            // Weighted toward 0x00 and 0xFF, where keys and packing mistakes show.
            s.Row(y)[i] = static_cast<std::uint8_t>(r % 4 == 0 ? 0 : r % 4 == 1 ? 0xFF : r >> 8);
        }
    }
}

Rect RandomRect(std::mt19937& rng, std::int32_t width, std::int32_t height) {
    const auto pick = [&](std::int32_t n) { return static_cast<std::int32_t>(rng() % static_cast<std::uint32_t>(n)); };
    const std::int32_t l = pick(width), t = pick(height);
    return {l, t, l + 1 + pick(width - l), t + 1 + pick(height - t)};
}

// A keyed copy leaves out pixels whose colour bytes equal the key (a 32-bit pixel's fourth byte
// is not compared).
bool IsKey(const DisplaySurface& s, std::uint32_t pixel, std::uint32_t key) {
    return (s.BytesPerPixel() == 4 ? pixel & 0xFFFFFF : pixel) == key;
}

std::vector<std::uint32_t> Snapshot(const DisplaySurface& s) {
    std::vector<std::uint32_t> v;
    for (std::int32_t y = 0; y < s.Height(); ++y)
        for (std::int32_t x = 0; x < s.Width(); ++x) v.push_back(s.PixelAt(x, y));
    return v;
}

// dst after copying from onto to by the per-pixel sampling rule, mirrored as ddfx says and,
// when keyed, leaving out the key.
std::vector<std::uint32_t> ExpectedCopy(const DisplaySurface& dst, const DisplaySurface& src, const Rect& from, const Rect& to,
                                        std::uint32_t ddfx, bool keyed, std::uint32_t key) {
    std::vector<std::uint32_t> expected = Snapshot(dst);
    const bool mirrorX = ddfx & platform::DDBLTFX_MIRRORLEFTRIGHT, mirrorY = ddfx & platform::DDBLTFX_MIRRORUPDOWN;
    for (std::int32_t y = to.top; y < to.bottom; ++y) {
        for (std::int32_t x = to.left; x < to.right; ++x) {
            const std::int32_t sx = ExpectedSample(x - to.left, from.left, from.Width(), to.Width(), mirrorX);
            const std::int32_t sy = ExpectedSample(y - to.top, from.top, from.Height(), to.Height(), mirrorY);
            const std::uint32_t p = src.PixelAt(sx, sy);
            if (!keyed || !IsKey(src, p, key)) expected[static_cast<std::size_t>(y * dst.Width() + x)] = p;
        }
    }
    return expected;
}

class SurfaceCopyTest : public HeadlessTest, public ::testing::WithParamInterface<int> {};

// The fast loops against the obvious per-pixel rule on seeded random surfaces: odd sizes,
// padded rows, scaling both ways, mirrors and colour keys.
TEST_P(SurfaceCopyTest, CopiesMatchThePerPixelSamplingRule) {
    const platform::PixelFormatDesc format = platform::FormatForDepth(GetParam());
    for (const int iteration : TestIterations(300)) {
        SCOPED_TRACE("iteration " + std::to_string(iteration));
        std::mt19937 rng(IterationSeed(static_cast<std::uint32_t>(GetParam()), iteration));
        DisplaySurface src(1 + rng() % 37, 1 + rng() % 19, format, platform::DDSCAPS_OFFSCREENPLAIN);
        DisplaySurface dst(1 + rng() % 41, 1 + rng() % 23, format, platform::DDSCAPS_OFFSCREENPLAIN);
        FillRandom(src, rng);
        FillRandom(dst, rng);
        const Rect from = RandomRect(rng, src.Width(), src.Height());
        Rect to = RandomRect(rng, dst.Width(), dst.Height());
        const bool oneToOne = iteration % 3 == 0 && from.Width() <= dst.Width() && from.Height() <= dst.Height();
        if (oneToOne) to = {0, 0, from.Width(), from.Height()};
        platform::BltFx fx;
        fx.ddfx = rng() % 4 * platform::DDBLTFX_MIRRORLEFTRIGHT;  // none, left-right, up-down, both
        const bool keyed = rng() % 2;
        const std::uint32_t key = src.PixelAt(from.left, from.top);
        platform::ColorKey colorKey{key, key};
        src.SetColorKey(platform::DDCKEY_SRCBLT, &colorKey);

        const std::vector<std::uint32_t> expected = ExpectedCopy(dst, src, from, to, fx.ddfx, keyed, key);
        const std::uint32_t flags = platform::DDBLT_WAIT | platform::DDBLT_DDFX | (keyed ? platform::DDBLT_KEYSRC : 0);
        ASSERT_EQ(dst.Blt(&to, &src, &from, flags, &fx), platform::DD_OK);
        ASSERT_EQ(Snapshot(dst), expected);

        if (oneToOne && fx.ddfx == 0) {
            // The same copy through BltFast gives the same pixels.
            DisplaySurface again(dst.Width(), dst.Height(), format, platform::DDSCAPS_OFFSCREENPLAIN);
            ASSERT_EQ(again.BltFast(0, 0, &src, &from, keyed ? platform::DDBLTFAST_SRCCOLORKEY : 0), platform::DD_OK);
            for (std::int32_t y = 0; y < from.Height(); ++y)
                for (std::int32_t x = 0; x < from.Width(); ++x)
                    ASSERT_EQ(again.PixelAt(x, y), keyed && IsKey(src, src.PixelAt(from.left + x, from.top + y), key)
                                                       ? 0u
                                                       : src.PixelAt(from.left + x, from.top + y));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, SurfaceCopyTest, ::testing::Values(8, 16, 24, 32),
                         [](const auto& info) { return "depth" + std::to_string(info.param); });

// Row-for-row copies of rows around the length where short rows stop being copied inline, down
// the picture and mirrored top to bottom, at every depth.
TEST_P(SurfaceCopyTest, WideRowForRowCopiesMatchTheirSource) {
    const platform::PixelFormatDesc format = platform::FormatForDepth(GetParam());
    std::mt19937 rng(IterationSeed(static_cast<std::uint32_t>(GetParam()), 7));
    DisplaySurface src(700, 9, format, platform::DDSCAPS_OFFSCREENPLAIN);
    FillRandom(src, rng);
    const std::int32_t bytes = src.BytesPerPixel();
    for (const std::int32_t rowBytes : {500, 511, 512, 513, 520, 1200}) {
        const std::int32_t width = std::min<std::int32_t>(rowBytes / bytes, 650);
        for (const bool mirrorY : {false, true}) {
            SCOPED_TRACE(testing::Message() << "width " << width << (mirrorY ? " mirrored" : ""));
            DisplaySurface dst(720, 12, format, platform::DDSCAPS_OFFSCREENPLAIN);
            FillRandom(dst, rng);
            std::vector<std::uint32_t> expected = Snapshot(dst);
            const Rect from{3, 1, 3 + width, 8}, to{5, 2, 5 + width, 9};
            for (std::int32_t y = 0; y < from.Height(); ++y)
                for (std::int32_t x = 0; x < width; ++x)
                    expected[(to.top + y) * dst.Width() + to.left + x] =
                        src.PixelAt(from.left + x, mirrorY ? from.bottom - 1 - y : from.top + y);
            platform::BltFx fx;
            fx.ddfx = mirrorY ? platform::DDBLTFX_MIRRORUPDOWN : 0;
            ASSERT_EQ(dst.Blt(&to, &src, &from, platform::DDBLT_WAIT | platform::DDBLT_DDFX, &fx), platform::DD_OK);
            ASSERT_EQ(Snapshot(dst), expected);
        }
    }
}

TEST_F(SurfaceCopyRulesTest, CopiesAndFillsRefuseRectanglesThatLeaveASurface) {
    const auto format = platform::FormatForDepth(32);
    DisplaySurface src(10, 10, format, platform::DDSCAPS_OFFSCREENPLAIN);
    DisplaySurface dst(20, 5, format, platform::DDSCAPS_OFFSCREENPLAIN);
    const platform::BltFx seven{0, 0, 7};
    src.Blt(nullptr, nullptr, nullptr, platform::DDBLT_COLORFILL, &seven);
    const std::vector<std::uint32_t> before = Snapshot(dst);
    struct Case {
        Rect to, from;
    } cases[] = {
        {{0, 0, 10, 6}, {0, 0, 10, 10}},    // destination below the bottom
        {{-1, 0, 5, 5}, {0, 0, 5, 5}},      // destination left of the surface
        {{0, 0, 5, 5}, {6, 6, 11, 11}},     // source past the right and bottom
        {{0, 0, 5, 5}, {0, -2, 5, 3}},      // source above the top
        {{3, 3, 3, 4}, {0, 0, 5, 5}},       // empty destination
        {{0, 0, 5, 5}, {4, 4, 2, 6}},       // inverted source
    };
    for (const Case& k : cases) {
        EXPECT_EQ(dst.Blt(&k.to, &src, &k.from, platform::DDBLT_WAIT, nullptr), platform::DDERR_INVALIDRECT);
        EXPECT_EQ(dst.BltFast(k.to.left, k.to.top, &src, &k.from, 0), platform::DDERR_INVALIDRECT);
    }
    // Rectangles whose size does not fit in 32 bits are refused, on the desktop too.
    DisplaySurface desktop(16, 16, format, platform::DDSCAPS_PRIMARYSURFACE);
    const Rect huge{INT32_MIN, 0, INT32_MAX, 4};
    EXPECT_EQ(desktop.Blt(&huge, &src, nullptr, 0, nullptr), platform::DDERR_INVALIDRECT);
    EXPECT_EQ(dst.Blt(&huge, &src, nullptr, 0, nullptr), platform::DDERR_INVALIDRECT);
    EXPECT_EQ(dst.BltFast(INT32_MAX - 2, 0, &src, nullptr, 0), platform::DDERR_INVALIDRECT);
    EXPECT_EQ(dst.BltFast(0, 0, &src, &huge, 0), platform::DDERR_INVALIDRECT);
    platform::BltFx fill{0, 0, 0xFFFFFFFF};
    const Rect outside{15, 0, 21, 5};
    EXPECT_EQ(dst.Blt(&outside, nullptr, nullptr, platform::DDBLT_COLORFILL, &fill), platform::DDERR_INVALIDRECT);
    EXPECT_EQ(Snapshot(dst), before);
}

TEST_F(SurfaceCopyRulesTest, OverlappingCopyWithinOneSurfaceReadsTheOriginalPixels) {
    DisplaySurface s(12, 1, platform::FormatForDepth(16), platform::DDSCAPS_OFFSCREENPLAIN);
    for (std::int32_t x = 0; x < 12; ++x) Put(s, x, 0, 100 + x);
    const Rect from{0, 0, 8, 1}, to{2, 0, 10, 1};
    ASSERT_EQ(s.Blt(&to, &s, &from, 0, nullptr), platform::DD_OK);
    const std::uint32_t expected[] = {100, 101, 100, 101, 102, 103, 104, 105, 106, 107, 110, 111};
    for (std::int32_t x = 0; x < 12; ++x) EXPECT_EQ(s.PixelAt(x, 0), expected[x]) << x;
    // Stretched onto itself, twice as wide.
    const Rect wide{0, 0, 12, 1}, half{0, 0, 6, 1};
    ASSERT_EQ(s.Blt(&wide, &s, &half, 0, nullptr), platform::DD_OK);
    EXPECT_EQ(s.PixelAt(11, 0), 103u);
}

// A surface made to be overwritten leaves its pixels to its maker but still zeroes the padding
// at its rows' ends, which whole-pitch readers see. The memory it gets is first dirtied (a block
// of the same size freed just before is what the allocator hands out next).
TEST_F(SurfaceCopyRulesTest, SurfaceToOverwriteZeroesItsRowPadding) {
    for (const int depth : {8, 16, 24}) {
        SCOPED_TRACE(depth);
        const platform::PixelFormatDesc format = platform::FormatForDepth(depth);
        const std::int32_t width = 5, height = 7, pitch = (width * ((depth + 7) / 8) + 3) & ~3;
        {
            std::vector<std::uint8_t> dirty(static_cast<std::size_t>(pitch * height), 0xAB);
            asm volatile("" : : "r"(dirty.data()) : "memory");  // the fill must happen
        }
        DisplaySurface s(width, height, format, platform::DDSCAPS_OFFSCREENPLAIN, false);
        ASSERT_EQ(s.Pitch(), pitch);
        for (std::int32_t y = 0; y < height; ++y) {
            for (std::int32_t at = width * s.BytesPerPixel(); at < pitch; ++at) EXPECT_EQ(s.Row(y)[at], 0) << "row " << y << " byte " << at;
        }
    }
}

TEST_F(SurfaceCopyRulesTest, LostSurfaceRefusesUseUntilRestored) {
    const auto format = platform::FormatForDepth(32);
    DisplaySurface a(4, 4, format, platform::DDSCAPS_OFFSCREENPLAIN), b(4, 4, format, platform::DDSCAPS_OFFSCREENPLAIN);
    a.MarkLost();
    platform::SurfaceDesc desc;
    desc.size = sizeof desc;
    platform::DeviceContext* dc = nullptr;
    EXPECT_EQ(a.Lock(nullptr, &desc, 0, nullptr), platform::DDERR_SURFACELOST);
    EXPECT_EQ(a.GetDC(&dc), platform::DDERR_SURFACELOST);
    EXPECT_EQ(b.Blt(nullptr, &a, nullptr, 0, nullptr), platform::DDERR_SURFACELOST);
    EXPECT_EQ(a.Blt(nullptr, &b, nullptr, 0, nullptr), platform::DDERR_SURFACELOST);
    EXPECT_EQ(a.Restore(), platform::DD_OK);
    EXPECT_EQ(a.Lock(nullptr, &desc, 0, nullptr), platform::DD_OK);
    EXPECT_EQ(desc.pitch, 16);
    EXPECT_EQ(desc.width, 4u);
    EXPECT_EQ(a.Unlock(nullptr), platform::DD_OK);
    EXPECT_EQ(a.Unlock(nullptr), platform::DDERR_NOTLOCKED);
    desc.size = 1;
    EXPECT_EQ(a.Lock(nullptr, &desc, 0, nullptr), platform::DDERR_INVALIDPARAMS);
}

TEST_F(SurfaceCopyRulesTest, RowsArePaddedToWholeWords) {
    struct Case {
        int depth;
        std::int32_t width, pitch;
    } cases[] = {{8, 1, 4}, {8, 5, 8}, {16, 1, 4}, {16, 3, 8}, {24, 1, 4}, {24, 5, 16}, {32, 3, 12}};
    for (const Case& k : cases) {
        DisplaySurface s(k.width, 2, platform::FormatForDepth(k.depth), platform::DDSCAPS_OFFSCREENPLAIN);
        EXPECT_EQ(s.Pitch(), k.pitch) << k.depth << " bits, " << k.width << " wide";
    }
}

}  // namespace

namespace {

TEST_P(SurfaceCopyTest, FillsWriteExactlyTheirRectangle) {
    const platform::PixelFormatDesc format = platform::FormatForDepth(GetParam());
    std::mt19937 rng(7 + GetParam());
    for (int iteration = 0; iteration < 100; ++iteration) {
        DisplaySurface s(1 + rng() % 19, 1 + rng() % 7, format, platform::DDSCAPS_OFFSCREENPLAIN);
        FillRandom(s, rng);
        std::vector<std::uint32_t> expected = Snapshot(s);
        const Rect area = RandomRect(rng, s.Width(), s.Height());
        const platform::BltFx fx{0, 0, static_cast<std::uint32_t>(rng())};
        const std::uint32_t mask = s.BytesPerPixel() == 4 ? 0xFFFFFFFFu : (1u << (8 * s.BytesPerPixel())) - 1;
        for (std::int32_t y = area.top; y < area.bottom; ++y)
            for (std::int32_t x = area.left; x < area.right; ++x) expected[y * s.Width() + x] = fx.fillColor & mask;
        ASSERT_EQ(s.Blt(&area, nullptr, nullptr, platform::DDBLT_COLORFILL, &fx), platform::DD_OK);
        ASSERT_EQ(Snapshot(s), expected) << "iteration " << iteration;
    }
}

// Copies from pictures large enough to be copied by their kept runs of non-key pixels, with runs
// of every length from one pixel to a few hundred bytes (each size class of the inline copy),
// whole rows and cut ones, one-to-one and mirrored left to right (whole vectors reversed, then
// the tail), keyed and opaque.
TEST_P(SurfaceCopyTest, CopiesFromLargePicturesMatchThePerPixelRule) {
    const platform::PixelFormatDesc format = platform::FormatForDepth(GetParam());
    std::mt19937 rng(IterationSeed(static_cast<std::uint32_t>(GetParam()), 11));
    const std::int32_t width = 203, height = 180;  // more than the 32 KB of a small picture at every depth
    DisplaySurface src(width, height, format, platform::DDSCAPS_OFFSCREENPLAIN);
    FillRandom(src, rng);
    const std::uint32_t key = 0x0101u & (GetParam() == 8 ? 0xFFu : 0xFFFFu);
    // Key runs and picture runs of random lengths up to 80 pixels, and single pixels.
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width;) {
            const std::int32_t run = 1 + static_cast<std::int32_t>(rng() % (rng() % 4 == 0 ? 2 : 80));
            const bool keyRun = rng() % 2;
            for (std::int32_t i = x; i < std::min(width, x + run); ++i)
                if (keyRun || IsKey(src, src.PixelAt(i, y), key)) Put(src, i, y, keyRun ? key : key ^ 0x10);
            x += run;
        }
    }
    platform::ColorKey colorKey{key, key};
    src.SetColorKey(platform::DDCKEY_SRCBLT, &colorKey);
    struct Case {
        const char* name;
        Rect from;
        std::uint32_t ddfx;
        bool keyed;
    };
    const Case cases[] = {
        {"whole picture, keyed", {0, 0, width, height}, 0, true},
        {"whole rows, part of the picture, keyed", {0, 17, width, 90}, 0, true},
        {"cut rows, keyed", {13, 5, 170, 150}, 0, true},
        {"one column, keyed", {57, 0, 58, height}, 0, true},
        {"whole picture, keyed, again (kept runs)", {0, 0, width, height}, 0, true},
        {"left-right mirror", {0, 0, width, height}, platform::DDBLTFX_MIRRORLEFTRIGHT, false},
        {"left-right mirror, keyed, cut", {7, 3, 150, 100}, platform::DDBLTFX_MIRRORLEFTRIGHT, true},
        {"both mirrors, keyed", {1, 1, 40, 60}, platform::DDBLTFX_MIRRORLEFTRIGHT | platform::DDBLTFX_MIRRORUPDOWN, true},
    };
    for (const Case& c : cases) {
        // Every width from 1 to 67 pixels as well, for the tails of the vector loops.
        for (std::int32_t narrow = 0; narrow <= 67; narrow += c.ddfx ? 1 : 67) {
            Rect from = c.from;
            if (narrow > 0) from.right = std::min(from.right, from.left + narrow);
            SCOPED_TRACE(testing::Message() << c.name << ", width " << from.Width());
            DisplaySurface dst(width + 9, height + 4, format, platform::DDSCAPS_OFFSCREENPLAIN);
            FillRandom(dst, rng);
            const Rect to{5, 3, 5 + from.Width(), 3 + from.Height()};
            const std::vector<std::uint32_t> expected = ExpectedCopy(dst, src, from, to, c.ddfx, c.keyed, key);
            platform::BltFx fx;
            fx.ddfx = c.ddfx;
            const std::uint32_t flags = platform::DDBLT_WAIT | platform::DDBLT_DDFX | (c.keyed ? platform::DDBLT_KEYSRC : 0);
            ASSERT_EQ(dst.Blt(&to, &src, &from, flags, &fx), platform::DD_OK);
            ASSERT_EQ(Snapshot(dst), expected);
        }
    }
}

}  // namespace
