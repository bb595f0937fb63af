// What must outlive what: surfaces made with a screen, the screen itself, and the process-wide
// primary surface and its clipper. Run under AddressSanitizer, a wrong order shows as a report.
#include <memory>

#include "media/display/pixel_surface.h"
#include "media/display/screen.h"
#include "tests/headless_test.h"

namespace {

using media::PixelSurface;
using media::Screen;
using platform::FaultPoint;

class ScreenLifetimeTest : public HeadlessTest {};

TEST_F(ScreenLifetimeTest, SurfacesOutliveTheirScreenInEitherOrder) {
    for (const bool screenFirst : {true, false}) {
        SCOPED_TRACE(screenFirst ? "screen destroyed first" : "surfaces destroyed first");
        auto screen = std::make_unique<Screen>();
        auto blank = std::make_unique<PixelSurface>();
        auto listed = std::make_unique<PixelSurface>();
        ASSERT_EQ(blank->CreateBlank(screen.get(), 4, 4, 16), 1);
        ASSERT_EQ(listed->CreateBlank(screen.get(), 4, 4, 32), 1);
        screen->AddSurface(listed.get());
        if (screenFirst) {
            screen.reset();
            EXPECT_EQ(blank->Owner(), nullptr);
            EXPECT_EQ(listed->Owner(), nullptr);
            // The pixels stay usable, and a detached surface cannot reload a picture.
            EXPECT_EQ(listed->Fill(0x1234), 0);
            listed->Surface()->MarkLost();
            EXPECT_EQ(listed->Restore(), -2);
            listed.reset();
            blank.reset();
        } else {
            blank.reset();
            listed.reset();
            EXPECT_EQ(screen->SurfaceCount(), 0);
            screen.reset();
        }
    }
}

TEST_F(ScreenLifetimeTest, ALaterScreenIsNotClippedToAnEarlierScreensWindow) {
    platform::HWND first = MakeWindow(100, 50, 640, 480);
    {
        Screen screen;
        ASSERT_EQ(screen.SetWindowedMode(first, 640, 480), 0);
    }
    // The next screen cannot make a clipper: it presents unclipped, not cut to the old window
    // (which would leave the top-left corner untouched).
    platform::HWND second = MakeWindow(0, 0, 640, 480);
    host.SetFault(FaultPoint::CreateClipper);
    Screen screen;
    ASSERT_EQ(screen.SetWindowedMode(second, 640, 480), -16);
    screen.Back()->Fill(0x00C0FFEE);
    screen.Flip(0, 1, 0);
    EXPECT_EQ(host.DesktopSurface().PixelAt(0, 0), 0x00C0FFEEu);
    EXPECT_EQ(host.DesktopSurface().PixelAt(639, 479), 0x00C0FFEEu);
}

TEST_F(ScreenLifetimeTest, AlphaMapMustCoverTheSurfaceExactly) {
    Screen screen;
    PixelSurface s;
    ASSERT_EQ(s.CreateBlank(&screen, 5, 3, 32), 1);
    EXPECT_FALSE(s.SetAlphaMap(std::make_unique<std::uint8_t[]>(14), 14));
    EXPECT_EQ(s.AlphaMap(), nullptr);
    EXPECT_TRUE(s.SetAlphaMap(std::make_unique<std::uint8_t[]>(15), 15));
    EXPECT_NE(s.AlphaMap(), nullptr);
    EXPECT_FALSE(s.SetAlphaMap(std::make_unique<std::uint8_t[]>(16), 16));
    EXPECT_NE(s.AlphaMap(), nullptr) << "a refused map keeps the old one";
    EXPECT_TRUE(s.SetAlphaMap(nullptr, 0));
    EXPECT_EQ(s.AlphaMap(), nullptr);
}

}  // namespace
