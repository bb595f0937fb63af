#include "media/display/screen.h"
#include "platform/pixels/surface_copy.h"
#include "tests/headless_test.h"

namespace {

class ScreenTest : public HeadlessTest {};

using media::PixelSurface;
using media::Screen;
using platform::FaultPoint;

struct ModeCase {
    const char* name;
    std::vector<FaultPoint> faults;
    std::int32_t result;
    bool surfaces;
};
void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

class WindowedModeTest : public HeadlessTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(WindowedModeTest, ReportsTheFirstFailingStep) {
    const ModeCase& k = GetParam();
    platform::HWND window = MakeWindow(0, 0, 640, 480);
    for (FaultPoint f : k.faults) host.SetFault(f);
    Screen screen;
    EXPECT_EQ(screen.SetWindowedMode(window, 640, 480), k.result);
    EXPECT_EQ(screen.Front() != nullptr, k.surfaces);
    EXPECT_EQ(screen.Back() != nullptr, k.surfaces);
    if (k.surfaces) {
        EXPECT_EQ(screen.Back()->Width(), 640);
        EXPECT_EQ(screen.Back()->Height(), 480);
        EXPECT_EQ(screen.Front()->Width(), 1024) << "the front surface is the whole desktop";
        EXPECT_EQ(screen.Back()->GetPixelFormatInfo().depth, 32);
        EXPECT_TRUE(screen.Back()->HasPixelRoutines());
        EXPECT_EQ(screen.SurfaceCount(), 0) << "the screen's own surfaces are not listed";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, WindowedModeTest,
    ::testing::Values(
        ModeCase{"success", {}, 0, true},
        ModeCase{"no_display_device", {FaultPoint::DirectDrawCreate}, -1, false},
        ModeCase{"no_desktop_dc", {FaultPoint::DesktopGetDC}, -1, false},
        ModeCase{"cooperative_level", {FaultPoint::SetCooperativeLevel}, -2, false},
        ModeCase{"primary_surface", {FaultPoint::CreatePrimarySurface}, -4, false},
        ModeCase{"video_memory_only", {FaultPoint::CreateVideoSurface}, 0, true},
        ModeCase{"no_back_surface", {FaultPoint::CreateVideoSurface, FaultPoint::CreateSystemSurface}, -8, false},
        ModeCase{"clipper", {FaultPoint::CreateClipper, FaultPoint::ClipperSetHWnd, FaultPoint::SetClipper}, -16, true},
        ModeCase{"clipper_window", {FaultPoint::ClipperSetHWnd}, -32, true},
        ModeCase{"clipper_window_and_attach", {FaultPoint::ClipperSetHWnd, FaultPoint::SetClipper}, -32, true},
        ModeCase{"clipper_attach", {FaultPoint::SetClipper}, -64, true}),
    [](const auto& info) { return info.param.name; });

TEST_F(ScreenTest, SecondWindowedModeIsRefusedAndChangesNothing) {
    Screen screen;
    platform::HWND window = MakeWindow(0, 0, 640, 480);
    ASSERT_EQ(screen.SetWindowedMode(window, 640, 480), 0);
    PixelSurface* back = screen.Back();
    EXPECT_EQ(screen.SetWindowedMode(window, 320, 200), -1);
    EXPECT_EQ(screen.Back(), back);
    EXPECT_EQ(back->Width(), 640);
}

TEST_F(ScreenTest, ScreenRecordsOneDriverAndTheDesktopMode) {
    host.SetDesktop(800, 600, 16);
    Screen screen;
    ASSERT_EQ(screen.DriverCount(), 1);
    EXPECT_EQ(screen.Drivers()->guidPointer, nullptr) << "the primary display driver has no GUID";
    EXPECT_STRNE(screen.Drivers()->description.data(), "");
    ASSERT_NE(screen.Drivers()->next, nullptr);
    EXPECT_EQ(screen.Drivers()->next->next, nullptr) << "the chain ends with one empty record";
    ASSERT_EQ(screen.DisplayModeCount(), 1);
    EXPECT_EQ(screen.DisplayModes()->width, 800u);
    EXPECT_EQ(screen.DisplayModes()->height, 600u);
    EXPECT_EQ(screen.DisplayModes()->bitCount, 16u);

    host.SetFault(FaultPoint::EnumerateDrivers);
    host.SetFault(FaultPoint::EnumerateDisplayModes);
    Screen without;
    EXPECT_EQ(without.DriverCount(), 0);
    EXPECT_EQ(without.DisplayModeCount(), 0);
}

TEST_F(ScreenTest, FrameRateCountsTheFramesOfTheFirstPeriodOverOneSecond) {
    host.SetTime(5000);
    Screen screen;
    // Flips every 17 ms: the 59th finds 1003 ms and 58 frames before it.
    for (int i = 1; i <= 58; ++i) {
        host.Advance(17);
        screen.Flip(0, 1, 0);
        ASSERT_EQ(screen.FramesPerSecond(), 0) << "flip " << i;
    }
    host.Advance(17);
    screen.Flip(0, 1, 0);
    EXPECT_EQ(screen.FramesPerSecond(), 57);
}

TEST_F(ScreenTest, FrameRateNeedsMoreThanOneSecond) {
    struct Case {
        std::uint32_t start, step;
        int flips;
        std::int32_t fps;
    } cases[] = {
        {0, 250, 4, 0},            // exactly 1000 ms: no rate yet
        {0, 1001, 1, 0},           // 1001 ms, but no frame before it
        {0, 100, 11, 9},           // 1100 ms after 10 frames: 9.09
        {0, 500, 3, 1},            // 1500 ms after 2 frames: 1.33
        {0xFFFFFF00u, 200, 6, 4},  // across the clock's wrap: 1200 ms after 5 frames
    };
    for (const Case& k : cases) {
        host.SetTime(k.start);
        Screen screen;
        for (int i = 0; i < k.flips; ++i) {
            host.Advance(k.step);
            screen.Flip(0, 1, 0);
        }
        EXPECT_EQ(screen.FramesPerSecond(), k.fps) << "start " << k.start << " step " << k.step;
    }
}

// A back surface whose every pixel tells where it is.
void PaintCoordinates(PixelSurface& back) {
    back.Lock();
    for (std::int32_t y = 0; y < back.Height(); ++y)
        for (std::int32_t x = 0; x < back.Width(); ++x) back.PutPixel(x, y, static_cast<std::uint32_t>(y << 12 | x));
    back.Unlock();
}

struct PresentCase {
    const char* name;
    std::int32_t x, y, width, height;
    bool stretch;
};
void PrintTo(const PresentCase& c, std::ostream* os) { *os << c.name; }

class PresentTest : public HeadlessTest, public ::testing::WithParamInterface<PresentCase> {};

TEST_P(PresentTest, BackSurfaceLandsInTheClientAreaOnly) {
    const PresentCase& k = GetParam();
    platform::HWND window = MakeWindow(k.x, k.y, k.width, k.height);
    Screen screen;
    ASSERT_EQ(screen.SetWindowedMode(window, 640, 480), 0);
    constexpr std::uint32_t kUntouched = 0x00ABCDEF;
    platform::FillRect(host.DesktopSurface().View(), host.DesktopSurface().Bounds(), kUntouched);
    PaintCoordinates(*screen.Back());
    screen.Flip(0, k.stretch, 0);

    const platform::DisplaySurface& desktop = host.DesktopSurface();
    for (std::int32_t dy = 0; dy < desktop.Height(); ++dy) {
        for (std::int32_t dx = 0; dx < desktop.Width(); ++dx) {
            const std::int32_t cx = dx - k.x, cy = dy - k.y;
            std::uint32_t expected = kUntouched;
            if (cx >= 0 && cy >= 0 && cx < k.width && cy < k.height) {
                const std::int32_t sx = k.stretch ? ExpectedSample(cx, 0, 640, k.width, false) : cx;
                const std::int32_t sy = k.stretch ? ExpectedSample(cy, 0, 480, k.height, false) : cy;
                if (sx < 640 && sy < 480) expected = static_cast<std::uint32_t>(sy << 12 | sx);
            }
            ASSERT_EQ(desktop.PixelAt(dx, dy), expected) << "desktop " << dx << "," << dy;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Presentation, PresentTest,
    ::testing::Values(PresentCase{"stretched_800x600", 0, 0, 800, 600, true},
                      PresentCase{"unstretched_800x600", 0, 0, 800, 600, false},
                      PresentCase{"stretched_at_100_50", 100, 50, 640, 480, true},
                      PresentCase{"unstretched_at_100_50", 100, 50, 640, 480, false},
                      PresentCase{"shrunk_320x240", 10, 20, 320, 240, true},
                      PresentCase{"partly_off_the_desktop", 700, 500, 640, 480, true}),
    [](const auto& info) { return info.param.name; });

TEST_F(ScreenTest, FrameRateTextIsPartOfThePresentedFrame) {
    platform::HWND window = MakeWindow(0, 0, 640, 480);
    Screen screen;
    ASSERT_EQ(screen.SetWindowedMode(window, 640, 480), 0);
    screen.Back()->Fill(0);
    screen.Flip(0, 1, 1);
    const std::uint32_t ink = 0x00F0FF00;  // red 240, green 255, blue 0
    int inked = 0;
    for (std::int32_t y = 20; y < 36; ++y)
        for (std::int32_t x = 10; x < 10 + 8 * 7; ++x) inked += host.DesktopSurface().PixelAt(x, y) == ink;
    EXPECT_GT(inked, 30) << "\"FPS = 0\" drawn at (10, 20)";
    EXPECT_EQ(host.DesktopSurface().PixelAt(9, 19), 0u);
    EXPECT_EQ(screen.Back()->DCCount(), 0u);
}

TEST_F(ScreenTest, FlipWaitsForTheNextVerticalBlankWhenAsked) {
    platform::HWND window = MakeWindow(0, 0, 640, 480);
    Screen screen;
    ASSERT_EQ(screen.SetWindowedMode(window, 640, 480), 0);
    host.SetTime(20);
    screen.Flip(1, 1, 0);
    EXPECT_EQ(host.Now(), 33u) << "tick 2 at floor(2000 / 60)";
    screen.Flip(1, 1, 0);
    EXPECT_EQ(host.Now(), 50u);
    screen.Flip(2, 1, 0);
    EXPECT_EQ(host.Now(), 50u) << "only 1 asks for the wait";
}

TEST_F(ScreenTest, LostSurfacesAreRestoredAndThatFrameIsDropped) {
    platform::HWND window = MakeWindow(0, 0, 640, 480);
    Screen screen;
    ASSERT_EQ(screen.SetWindowedMode(window, 640, 480), 0);
    screen.Back()->Fill(0x00112233);
    screen.Back()->Surface()->MarkLost();
    screen.Flip(0, 1, 0);
    EXPECT_EQ(host.DesktopSurface().PixelAt(0, 0), 0u) << "the lost frame is not shown";
    EXPECT_EQ(screen.Back()->Surface()->IsLost(), platform::DD_OK);
    screen.Back()->Fill(0x00112233);
    screen.Flip(0, 1, 0);
    EXPECT_EQ(host.DesktopSurface().PixelAt(0, 0), 0x00112233u);

    screen.Front()->Surface()->MarkLost();
    screen.Back()->Surface()->MarkLost();
    host.SetFault(FaultPoint::RestoreSurface, platform::DDERR_SURFACELOST);
    EXPECT_EQ(screen.RestoreSurfaces(), platform::DDERR_SURFACELOST);
    host.ClearFaults();
    EXPECT_EQ(screen.RestoreSurfaces(), platform::DD_OK);
    EXPECT_EQ(screen.Front()->Surface()->IsLost(), platform::DD_OK);
}

TEST_F(ScreenTest, RestoreSurfacesReportsTheBackSurfacesFailureAlone) {
    platform::HWND window = MakeWindow(0, 0, 640, 480);
    Screen screen;
    ASSERT_EQ(screen.SetWindowedMode(window, 640, 480), 0);
    screen.Back()->Surface()->MarkLost();
    host.SetFault(FaultPoint::RestoreSurface, platform::E_OUTOFMEMORY);
    EXPECT_EQ(screen.RestoreSurfaces(), platform::E_OUTOFMEMORY);
    EXPECT_EQ(screen.Front()->Surface()->IsLost(), platform::DD_OK) << "the front was never lost";
    host.ClearFaults();
    EXPECT_EQ(screen.RestoreSurfaces(), platform::DD_OK);
    EXPECT_EQ(screen.Back()->Surface()->IsLost(), platform::DD_OK);
}

TEST_F(ScreenTest, FrameRateCountRestartsWithEachPeriod) {
    Screen screen;
    // First period: 10 frames over 1100 ms (9). The count restarts with the frame that closed
    // it, so the second period, flips every 60 ms, closes at 1020 ms after 17 frames (16); a
    // count carried over would give 26.
    for (int i = 0; i < 11; ++i) {
        host.Advance(100);
        screen.Flip(0, 1, 0);
    }
    ASSERT_EQ(screen.FramesPerSecond(), 9);
    for (int i = 0; i < 16; ++i) {
        host.Advance(60);
        screen.Flip(0, 1, 0);
        ASSERT_EQ(screen.FramesPerSecond(), 9) << "flip " << i;
    }
    host.Advance(60);
    screen.Flip(0, 1, 0);
    EXPECT_EQ(screen.FramesPerSecond(), 16);
}

TEST_F(ScreenTest, FlipBeforeWindowedModeOnlyCounts) {
    Screen screen;
    host.Advance(1500);
    screen.Flip(1, 1, 1);
    screen.Flip(1, 1, 1);
    EXPECT_EQ(host.DesktopSurface().PixelAt(10, 20), 0u);
}

TEST_F(ScreenTest, SurfaceListLinksInOrderAndUnlinksAnywhere) {
    platform::HWND window = MakeWindow(0, 0, 640, 480);
    auto screen = std::make_unique<Screen>();
    ASSERT_EQ(screen->SetWindowedMode(window, 640, 480), 0);
    PixelSurface a, b, c, never;
    for (PixelSurface* s : {&a, &b, &c}) screen->AddSurface(s);
    screen->AddSurface(nullptr);
    EXPECT_EQ(screen->SurfaceCount(), 3);
    EXPECT_EQ(screen->FirstSurface(), &a);
    EXPECT_EQ(screen->LastSurface(), &c);

    screen->RemoveSurface(&b);
    EXPECT_EQ(a.Next(), &c);
    EXPECT_EQ(c.Previous(), &a);
    EXPECT_EQ(screen->SurfaceCount(), 2);
    // Neither the screen's own surfaces nor one that was never listed disturb the list.
    screen->RemoveSurface(screen->Back());
    screen->RemoveSurface(screen->Front());
    screen->RemoveSurface(&never);
    screen->RemoveSurface(&b);
    EXPECT_EQ(screen->SurfaceCount(), 2);
    EXPECT_EQ(screen->FirstSurface(), &a);

    screen->RemoveSurface(&a);
    EXPECT_EQ(screen->FirstSurface(), &c);
    EXPECT_EQ(c.Previous(), nullptr);
    screen->RemoveSurface(&c);
    EXPECT_EQ(screen->FirstSurface(), nullptr);
    EXPECT_EQ(screen->LastSurface(), nullptr);
    EXPECT_EQ(screen->SurfaceCount(), 0);

    // Taken out and put back: the old links are cleared, in the first place and the last.
    screen->AddSurface(&b);
    screen->AddSurface(&a);
    EXPECT_EQ(b.Previous(), nullptr);
    EXPECT_EQ(b.Next(), &a);
    EXPECT_EQ(a.Previous(), &b);
    EXPECT_EQ(a.Next(), nullptr);
    screen->RemoveSurface(&b);
    screen->AddSurface(&b);
    EXPECT_EQ(screen->FirstSurface(), &a);
    EXPECT_EQ(a.Previous(), nullptr);
    EXPECT_EQ(a.Next(), &b);
    EXPECT_EQ(b.Previous(), &a);
    EXPECT_EQ(b.Next(), nullptr);
    EXPECT_EQ(screen->SurfaceCount(), 2);
    screen->RemoveSurface(&a);
    screen->RemoveSurface(&b);
}

TEST_F(ScreenTest, DestroyingASurfaceUnlinksItFromItsScreen) {
    Screen screen;
    PixelSurface keep;
    auto listed = std::make_unique<PixelSurface>();
    ASSERT_EQ(listed->CreateBlank(&screen, 4, 4), 1);
    screen.AddSurface(&keep);
    screen.AddSurface(listed.get());
    listed.reset();
    EXPECT_EQ(screen.SurfaceCount(), 1);
    EXPECT_EQ(screen.LastSurface(), &keep);
    // A blank surface made with the screen but never listed leaves the list as it is.
    auto unlisted = std::make_unique<PixelSurface>();
    ASSERT_EQ(unlisted->CreateBlank(&screen, 4, 4), 1);
    unlisted.reset();
    EXPECT_EQ(screen.SurfaceCount(), 1);
    EXPECT_EQ(screen.FirstSurface(), &keep);
}

}  // namespace
