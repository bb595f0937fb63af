#include <cstring>
#include <map>

#include "media/display/pixel_surface.h"
#include "media/display/screen.h"
#include "tests/headless_test.h"

namespace {

using media::PixelSurface;
using platform::FaultPoint;

class PixelSurfaceTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        screen = std::make_unique<media::Screen>();
    }
    void TearDown() override {
        screen.reset();
        HeadlessTest::TearDown();
    }
    std::unique_ptr<media::Screen> screen;
};

TEST_F(PixelSurfaceTest, NestedLocksReachThePlatformOnceEachWay) {
    PixelSurface s;
    ASSERT_EQ(s.CreateBlank(screen.get(), 8, 8, 32), 1);
    const std::int32_t counts[] = {s.Lock(), s.Lock(), s.Unlock(), s.Unlock()};
    EXPECT_EQ(counts[0], 1);
    EXPECT_EQ(counts[1], 2);
    EXPECT_EQ(counts[2], 1);
    EXPECT_EQ(counts[3], 0);
    EXPECT_FALSE(s.Surface()->IsLocked());

    ASSERT_EQ(s.Lock(), 1);
    ASSERT_EQ(s.Lock(), 2);
    EXPECT_TRUE(s.Surface()->IsLocked());
    EXPECT_EQ(s.Unlock(), 1);
    EXPECT_TRUE(s.Surface()->IsLocked()) << "an inner unlock must not reach the platform";
    EXPECT_EQ(s.Unlock(), 0);
}

TEST_F(PixelSurfaceTest, UnbalancedReleasesAreRefusedAndCountsStayAtZero) {
    PixelSurface s;
    ASSERT_EQ(s.CreateBlank(screen.get(), 8, 8, 16), 1);
    EXPECT_EQ(s.Unlock(), platform::DDERR_NOTLOCKED);
    EXPECT_EQ(s.LockCount(), 0u);
    EXPECT_EQ(s.ReleaseDC(), -1);
    EXPECT_EQ(s.DCCount(), 0u);
    // The counts still work afterwards.
    EXPECT_EQ(s.Lock(), 1);
    EXPECT_EQ(s.Unlock(), 0);
}

TEST_F(PixelSurfaceTest, NestedDeviceContextsShareOneHandle) {
    PixelSurface s;
    ASSERT_EQ(s.CreateBlank(screen.get(), 8, 8, 32), 1);
    platform::HDC first = s.GetDC();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(s.GetDC(), first);
    EXPECT_EQ(s.DCCount(), 2u);
    EXPECT_EQ(s.ReleaseDC(), 0);
    EXPECT_TRUE(s.Surface()->HasDC());
    EXPECT_EQ(s.ReleaseDC(), 0);
    EXPECT_FALSE(s.Surface()->HasDC());

    host.SetFault(FaultPoint::SurfaceGetDC);
    EXPECT_EQ(s.GetDC(), nullptr);
    EXPECT_EQ(s.DCCount(), 0u);
    EXPECT_EQ(s.DrawTextAt(0, 0, 0xFFFFFF, "x"), 0);
}

TEST_F(PixelSurfaceTest, SurfaceWithoutPlatformSurfaceRefusesEverything) {
    PixelSurface s;
    EXPECT_EQ(s.Lock(), -1);
    EXPECT_EQ(s.Unlock(), -1);
    EXPECT_EQ(s.GetDC(), nullptr);
    EXPECT_EQ(s.ReleaseDC(), -1);
    EXPECT_EQ(s.Restore(), -1);
    EXPECT_EQ(s.SetColorKeyFromTopLeft(), -1);
    EXPECT_EQ(s.Fill(0), -1);
    EXPECT_EQ(s.DrawTextAt(0, 0, 0, "text"), 0);
}

TEST_F(PixelSurfaceTest, LostSurfaceIsRestoredByLockOrGivenUpAfterAFewTries) {
    PixelSurface s;
    ASSERT_EQ(s.CreateBlank(screen.get(), 8, 8, 32), 1);
    s.Surface()->MarkLost();
    EXPECT_EQ(s.Lock(), 1);
    EXPECT_EQ(s.Unlock(), 0);

    // A surface that cannot be restored must not hang the program.
    s.Surface()->MarkLost();
    host.SetFault(FaultPoint::RestoreSurface);
    EXPECT_EQ(s.Lock(), platform::DDERR_SURFACELOST);
    EXPECT_EQ(s.LockCount(), 0u);
    EXPECT_EQ(s.SetColorKeyFromTopLeft(), -1);
    EXPECT_EQ(s.Restore(), platform::E_FAIL);
}

TEST_F(PixelSurfaceTest, BlankSurfacesNeedASizeAndAKnownDepth) {
    PixelSurface s;
    EXPECT_EQ(s.CreateBlank(screen.get(), 0, 5), -1);
    EXPECT_EQ(s.CreateBlank(screen.get(), 5, 5, 12), -1);
    EXPECT_EQ(s.CreateBlank(nullptr, 5, 5), -1);
    EXPECT_EQ(s.Surface(), nullptr);
    host.SetFault(FaultPoint::CreateSystemSurface, platform::E_OUTOFMEMORY);
    EXPECT_EQ(s.CreateBlank(screen.get(), 5, 5), platform::E_OUTOFMEMORY);
    host.ClearFaults();
    EXPECT_EQ(s.CreateBlank(screen.get(), 5, 5), 1);
    EXPECT_EQ(s.GetPixelFormatInfo().depth, 32) << "the display's format";
}

TEST_F(PixelSurfaceTest, RestoreOfASurfaceWithoutPictureFileGivesMinusTwo) {
    PixelSurface s;
    ASSERT_EQ(s.CreateBlank(screen.get(), 4, 4, 32), 1);
    s.Surface()->MarkLost();
    EXPECT_EQ(s.Restore(), -2);
    EXPECT_EQ(s.Surface()->IsLost(), platform::DD_OK);
}

struct KeyCase {
    int depth;
    std::int32_t width;
    std::uint32_t first, second, expected;
};

TEST_F(PixelSurfaceTest, ColorKeyComesFromTheTopLeftPixelOnly) {
    const KeyCase cases[] = {
        {16, 2, 0xF81F, 0x1234, 0xF81F},
        {15, 2, 0x7C1F, 0xFFFF, 0x7C1F},
        {8, 1, 0xAB, 0, 0xAB},  // a one-pixel surface: the word read must stay inside its row
        {8, 3, 0x07, 0xFF, 0x07},
        {24, 1, 0x123456, 0, 0x123456},
        {24, 3, 0x123456, 0xABCDEF, 0x123456},  // the next pixel's byte must be masked off
        {32, 2, 0xFF00FF00, 0x11111111, 0xFF00FF00},
    };
    for (const KeyCase& k : cases) {
        SCOPED_TRACE("depth " + std::to_string(k.depth) + " width " + std::to_string(k.width));
        PixelSurface s;
        // Several rows, the others unlike the first: only the top-left pixel may count.
        ASSERT_EQ(s.CreateBlank(screen.get(), k.width, 3, k.depth), 1);
        s.Fill(k.second);
        s.Lock();
        s.PutPixel(0, 0, k.first);
        s.Unlock();
        EXPECT_EQ(s.SetColorKeyFromTopLeft(), 0);
        EXPECT_EQ(s.ColorKey(), k.expected);
        EXPECT_EQ(s.Surface()->ColorKeyValue(), k.expected);
        EXPECT_EQ(s.LockCount(), 0u);
    }
}

TEST_F(PixelSurfaceTest, ColorKeyThatThePlatformRefusesGivesMinusTwo) {
    PixelSurface s;
    ASSERT_EQ(s.CreateBlank(screen.get(), 4, 4, 16), 1);
    host.SetFault(FaultPoint::SetColorKey);
    EXPECT_EQ(s.SetColorKeyFromTopLeft(), -2);
    EXPECT_FALSE(s.Surface()->HasColorKey());
    EXPECT_EQ(s.LockCount(), 0u);
}

TEST_F(PixelSurfaceTest, ColorKeyWhileAlreadyLockedKeepsTheCallersLock) {
    PixelSurface s;
    ASSERT_EQ(s.CreateBlank(screen.get(), 4, 4, 32), 1);
    ASSERT_EQ(s.Lock(), 1);
    s.PutPixel(0, 0, 0x00ABCDEF);
    EXPECT_EQ(s.SetColorKeyFromTopLeft(), 0);
    EXPECT_EQ(s.ColorKey(), 0x00ABCDEFu);
    EXPECT_EQ(s.LockCount(), 1u);
    EXPECT_EQ(s.GetPixel(0, 0), 0x00ABCDEFu) << "the caller's lock still addresses the pixels";
    s.Unlock();
}

// Counts the pixels of each value in a surface.
std::map<std::uint32_t, int> Histogram(const platform::DisplaySurface& s, const platform::Rect& area) {
    std::map<std::uint32_t, int> counts;
    for (std::int32_t y = area.top; y < area.bottom; ++y)
        for (std::int32_t x = area.left; x < area.right; ++x) ++counts[s.PixelAt(x, y)];
    return counts;
}

TEST_F(PixelSurfaceTest, TextIsDrawnInTheSurfaceFormatOverAnUntouchedBackground) {
    struct Case {
        int depth;
        std::uint32_t background, ink;  // ink: 0x0000FFF0 in the surface's format
    } cases[] = {{32, 0x00123456, 0x00F0FF00}, {24, 0x123456, 0xF0FF00}, {16, 0x1234, 0xF7E0}, {15, 0x1234, 0x7BE0}, {8, 0x12, 0xFC}};
    for (const Case& k : cases) {
        PixelSurface s;
        ASSERT_EQ(s.CreateBlank(screen.get(), 40, 30, k.depth), 1);
        s.Fill(k.background);
        EXPECT_EQ(s.DrawTextAt(5, 6, 0x0000FFF0, "FPS"), 0);
        const auto inside = Histogram(*s.Surface(), {5, 6, 5 + 24, 6 + 16});
        ASSERT_EQ(inside.size(), 2u) << "depth " << k.depth << ": only ink and background in the text cells";
        EXPECT_GT(inside.count(k.ink), 0u) << "depth " << k.depth;
        EXPECT_GT(inside.at(k.background), inside.at(k.ink));
        const auto whole = Histogram(*s.Surface(), s.Surface()->Bounds());
        EXPECT_EQ(whole.at(k.ink), inside.at(k.ink)) << "no ink outside the three glyph cells";
        EXPECT_EQ(s.DCCount(), 0u);
    }
}

// Text cut at every edge is the same as the middle of the text drawn whole onto a larger
// surface; text at the ends of the coordinate range draws nothing and never overflows.
TEST_F(PixelSurfaceTest, TextLeavingTheSurfaceIsCutExactly) {
    constexpr std::int32_t kSize = 10, kMargin = 24;
    const char* text = "W@g";
    PixelSurface canvas;
    ASSERT_EQ(canvas.CreateBlank(screen.get(), kSize + 2 * kMargin, kSize + 2 * kMargin, 32), 1);
    const std::int32_t near[] = {-24, -17, -16, -15, -9, -8, -7, -1, 0, 1, 2, 5, 9, 10};
    for (const std::int32_t y : near) {
        for (const std::int32_t x : near) {
            SCOPED_TRACE("text at " + std::to_string(x) + "," + std::to_string(y));
            PixelSurface s;
            ASSERT_EQ(s.CreateBlank(screen.get(), kSize, kSize, 32), 1);
            ASSERT_EQ(s.DrawTextAt(x, y, 0xFFFFFF, text), 0);
            canvas.Fill(0);
            ASSERT_EQ(canvas.DrawTextAt(x + kMargin, y + kMargin, 0xFFFFFF, text), 0);
            for (std::int32_t py = 0; py < kSize; ++py)
                for (std::int32_t px = 0; px < kSize; ++px)
                    ASSERT_EQ(s.Surface()->PixelAt(px, py), canvas.Surface()->PixelAt(px + kMargin, py + kMargin)) << px << "," << py;
        }
    }
    const std::int32_t far[] = {INT32_MIN, INT32_MIN + 1, INT32_MAX - 16, INT32_MAX - 7, INT32_MAX};
    for (const std::int32_t a : far) {
        for (const std::int32_t b : {a, 0}) {
            PixelSurface s;
            ASSERT_EQ(s.CreateBlank(screen.get(), kSize, kSize, 16), 1);
            EXPECT_EQ(s.DrawTextAt(a, b, 0xFFFFFF, text), 0);
            EXPECT_EQ(s.DrawTextAt(b, a, 0xFFFFFF, text), 0);
            const std::map<std::uint32_t, int> blank{{0u, kSize * kSize}};
            EXPECT_EQ(Histogram(*s.Surface(), s.Surface()->Bounds()), blank) << a << "," << b;
        }
    }
    EXPECT_EQ(canvas.DrawTextAt(0, 0, 0xFFFFFF, nullptr), 0);
}

// With an opaque background every glyph cell is painted whole: 8 x 16 pixels each, cut exactly
// at the surface's edges.
TEST_F(PixelSurfaceTest, OpaqueTextPaintsWholeGlyphCells) {
    struct Case {
        std::int32_t x, y;
        int painted;
    } cases[] = {{2, 3, 3 * 8 * 16}, {-5, 0, (3 * 8 - 5) * 16}, {0, 30 - 10, 3 * 8 * 10}, {36, -15, 4 * 1}, {40, 0, 0}};
    for (const Case& k : cases) {
        platform::DisplaySurface surface(40, 30, platform::FormatForDepth(16), platform::DDSCAPS_SYSTEMMEMORY);
        platform::DeviceContext* dc = nullptr;
        ASSERT_EQ(surface.GetDC(&dc), platform::DD_OK);
        dc->SetBkMode(platform::OPAQUE);
        dc->SetBkColor(0x00FFFFFF);
        dc->SetTextColor(0x000000FF);
        ASSERT_TRUE(dc->TextOut(k.x, k.y, "A b", 3));
        surface.ReleaseDC(dc);
        const auto counts = Histogram(surface, surface.Bounds());
        EXPECT_EQ(40 * 30 - (counts.count(0) ? counts.at(0) : 0), k.painted) << "text at " << k.x << "," << k.y;
    }
}

TEST_F(PixelSurfaceTest, ClipRectangleIsCutToTheSurface) {
    PixelSurface s;
    ASSERT_EQ(s.CreateBlank(screen.get(), 20, 10, 32), 1);
    EXPECT_EQ(s.ClipRect(), (platform::Rect{0, 0, 20, 10}));
    s.SetClipRect({-5, 2, 50, 8});
    EXPECT_EQ(s.ClipRect(), (platform::Rect{0, 2, 20, 8}));
    // Taller than wide: the bottom is cut to the height, the right to the width.
    PixelSurface tall;
    ASSERT_EQ(tall.CreateBlank(screen.get(), 6, 40, 8), 1);
    EXPECT_EQ(tall.ClipRect(), (platform::Rect{0, 0, 6, 40}));
    tall.SetClipRect({-1, -1, 100, 100});
    EXPECT_EQ(tall.ClipRect(), (platform::Rect{0, 0, 6, 40}));
    tall.SetClipRect({2, 30, 5, 45});
    EXPECT_EQ(tall.ClipRect(), (platform::Rect{2, 30, 5, 40}));
}

TEST_F(PixelSurfaceTest, FillWritesTheRawValueEverywhere) {
    PixelSurface s;
    ASSERT_EQ(s.CreateBlank(screen.get(), 7, 3, 24), 1);
    EXPECT_EQ(s.Fill(0xA1B2C3), 0);
    const auto counts = Histogram(*s.Surface(), s.Surface()->Bounds());
    EXPECT_EQ(counts.at(0xA1B2C3), 21);
}

}  // namespace
