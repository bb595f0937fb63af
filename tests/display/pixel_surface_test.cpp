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
        {32, 2, 0xFF00FF00, 0x11111111, 0xFF00FF00},
    };
    for (const KeyCase& k : cases) {
        PixelSurface s;
        ASSERT_EQ(s.CreateBlank(screen.get(), k.width, 1, k.depth), 1);
        s.Lock();
        s.PutPixel(0, 0, k.first);
        s.PutPixel(1, 0, k.second);
        s.Unlock();
        EXPECT_EQ(s.SetColorKeyFromTopLeft(), 0) << "depth " << k.depth;
        EXPECT_EQ(s.ColorKey(), k.expected) << "depth " << k.depth;
        EXPECT_EQ(s.Surface()->ColorKeyValue(), k.expected) << "depth " << k.depth;
        EXPECT_EQ(s.LockCount(), 0u);
    }
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

TEST_F(PixelSurfaceTest, TextLeavingTheSurfaceIsCut) {
    PixelSurface s;
    ASSERT_EQ(s.CreateBlank(screen.get(), 10, 10, 32), 1);
    EXPECT_EQ(s.DrawTextAt(-3, -7, 0xFFFFFF, "WWWWWWWW"), 0);
    EXPECT_EQ(s.DrawTextAt(6, 4, 0xFFFFFF, "@@"), 0);
    EXPECT_EQ(s.DrawTextAt(0, 0, 0xFFFFFF, nullptr), 0);
    EXPECT_GT(Histogram(*s.Surface(), s.Surface()->Bounds()).count(0x00FFFFFF), 0u);
}

TEST_F(PixelSurfaceTest, ClipRectangleIsCutToTheSurface) {
    PixelSurface s;
    ASSERT_EQ(s.CreateBlank(screen.get(), 20, 10, 32), 1);
    EXPECT_EQ(s.ClipRect(), (platform::Rect{0, 0, 20, 10}));
    s.SetClipRect({-5, 2, 50, 8});
    EXPECT_EQ(s.ClipRect(), (platform::Rect{0, 2, 20, 8}));
}

TEST_F(PixelSurfaceTest, FillWritesTheRawValueEverywhere) {
    PixelSurface s;
    ASSERT_EQ(s.CreateBlank(screen.get(), 7, 3, 24), 1);
    EXPECT_EQ(s.Fill(0xA1B2C3), 0);
    const auto counts = Histogram(*s.Surface(), s.Surface()->Bounds());
    EXPECT_EQ(counts.at(0xA1B2C3), 21);
}

}  // namespace
