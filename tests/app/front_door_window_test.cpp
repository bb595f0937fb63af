// The front door's window modes on the headless backend: fullscreen and resizable windows keep
// their drawing area and show it like a plain window, the backend is told how to show them, a
// size change on screen comes out as an event, and a picture becomes the window's icon.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "media/app/zamelmedia.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/core/resources.h"
#include "platform/pixels/color_convert.h"
#include "platform/window/window.h"
#include "tests/headless_test.h"

namespace {

class FrontDoorWindowTest : public HeadlessTest {
protected:
    static platform::HWND Handle(const media::Window& window) { return static_cast<platform::HWND>(window.NativeHandle()); }

    const platform::headless::ShownWindow& Shown(const media::Window& window) {
        const platform::headless::ShownWindow* shown = host.Shown(Handle(window));
        EXPECT_NE(shown, nullptr);
        static const platform::headless::ShownWindow none;
        return shown ? *shown : none;
    }

    media::Color Presented(const media::Window& window, std::int32_t x, std::int32_t y) {
        const platform::Rect client = platform::ClientAreaOnDesktop(Handle(window));
        const platform::DisplaySurface& desktop = host.DesktopSurface();
        const platform::COLORREF c = platform::ColorRefFromRaw(desktop.PixelAt(client.left + x, client.top + y), desktop.Format());
        return {platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c)};
    }

    std::vector<media::Event> Events(media::Window& window) {
        float dt = 0;
        EXPECT_TRUE(window.NextFrame(dt));
        std::vector<media::Event> events;
        for (media::Event event; window.PollEvent(event);) events.push_back(event);
        return events;
    }
};

struct ModeCase {
    const char* name;
    media::WindowMode mode;
    bool fullscreen, resizable;  // what the backend is asked to show
    bool captioned;              // a title bar and close box
};

class WindowModeTest : public FrontDoorWindowTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(WindowModeTest, OpensWithItsDrawingAreaAndTellsTheBackendHowToShowIt) {
    const ModeCase& k = GetParam();
    media::Window window;
    ASSERT_TRUE(window.Open("mode", 80, 60, k.mode));
    EXPECT_EQ(window.Width(), 80);
    EXPECT_EQ(window.Height(), 60);
    EXPECT_EQ(Shown(window).presentation.fullscreen, k.fullscreen);
    EXPECT_EQ(Shown(window).presentation.resizable, k.resizable);
    EXPECT_EQ(window.IsFullscreen(), k.fullscreen);
    EXPECT_EQ((platform::GetWindowLong(Handle(window), platform::GWL_STYLE) & platform::WS_CAPTION) != 0, k.captioned);
    const platform::Rect client = platform::ClientAreaOnDesktop(Handle(window));
    EXPECT_EQ(client.Width(), 80);
    EXPECT_EQ(client.Height(), 60);

    // What is drawn is presented one to one into the drawing area, whatever the mode.
    float dt = 0;
    ASSERT_TRUE(window.NextFrame(dt));
    ASSERT_TRUE(window.Draw().Clear(media::kDarkBlue));
    ASSERT_TRUE(window.Draw().DrawRect({79, 59, 1, 1}, media::kYellow));
    ASSERT_TRUE(window.NextFrame(dt));
    EXPECT_EQ(Presented(window, 0, 0), media::kDarkBlue);
    EXPECT_EQ(Presented(window, 79, 59), media::kYellow);
}

INSTANTIATE_TEST_SUITE_P(Modes, WindowModeTest,
                         ::testing::Values(ModeCase{"windowed", media::WindowMode::Windowed, false, false, true},
                                           ModeCase{"fullscreen", media::WindowMode::Fullscreen, true, false, false},
                                           ModeCase{"resizable", media::WindowMode::Resizable, false, true, true}),
                         [](const auto& info) { return info.param.name; });

TEST_F(FrontDoorWindowTest, FullscreenSwitchesBackToTheModeOpened) {
    // Each case: the mode opened, then what the backend shows after switching fullscreen on and off.
    const struct {
        media::WindowMode mode;
        platform::WindowPresentation on, off;
    } cases[] = {
        {media::WindowMode::Windowed, {true, false}, {false, false}},
        {media::WindowMode::Resizable, {true, false}, {false, true}},
        {media::WindowMode::Fullscreen, {true, false}, {false, false}},
    };
    for (const auto& k : cases) {
        media::Window window;
        ASSERT_TRUE(window.Open("switch", 64, 48, k.mode));
        ASSERT_TRUE(window.SetFullscreen(true));
        EXPECT_TRUE(Shown(window).presentation == k.on) << static_cast<int>(k.mode);
        EXPECT_TRUE(window.IsFullscreen());
        ASSERT_TRUE(window.SetFullscreen(false));
        EXPECT_TRUE(Shown(window).presentation == k.off) << static_cast<int>(k.mode);
        EXPECT_FALSE(window.IsFullscreen());
        EXPECT_EQ(window.Width(), 64) << "the drawing area keeps its size";
    }
}

TEST_F(FrontDoorWindowTest, SizeOnScreenComesOutAsResizedOnlyForScaledWindows) {
    // Each case: the mode, and whether a size change on screen reaches the program.
    for (const auto& [mode, resized] : {std::pair{media::WindowMode::Resizable, true}, std::pair{media::WindowMode::Fullscreen, true},
                                        std::pair{media::WindowMode::Windowed, false}}) {
        media::Window window;
        ASSERT_TRUE(window.Open("resize", 64, 48, mode));
        Events(window);
        EXPECT_EQ(host.ResizeOnScreen(Handle(window), 1280, 720), resized);
        const std::vector<media::Event> events = Events(window);
        if (resized) {
            ASSERT_EQ(events.size(), 1u);
            EXPECT_EQ(events[0].type, media::EventType::Resized);
            EXPECT_EQ(events[0].x, 1280);
            EXPECT_EQ(events[0].y, 720);
        } else {
            EXPECT_TRUE(events.empty());
        }
        EXPECT_EQ(window.Width(), 64);
        EXPECT_EQ(window.Height(), 48);
    }
}

TEST_F(FrontDoorWindowTest, TimeStepIsTheTimeSinceThePreviousFrame) {
    host.SetTime(5000);  // a clock that did not start with the window
    media::Window window;
    ASSERT_TRUE(window.Open("time", 64, 48));
    float dt = -1;
    ASSERT_TRUE(window.NextFrame(dt));
    EXPECT_EQ(dt, 0.0f) << "the first frame has no previous one";
    // Each step: how far the clock moves before the frame (the frame's vertical-blank wait adds
    // up to one refresh period, so dt is measured against the clock's own readings).
    for (const std::uint32_t step : {20u, 20u, 20u, 0u, 100u, 1u}) {
        const std::uint32_t before = host.Now();
        host.Advance(step);
        ASSERT_TRUE(window.NextFrame(dt));
        const std::uint32_t elapsed = host.Now() - before;
        EXPECT_GE(elapsed, step);
        EXPECT_LE(elapsed, step + 17);
        EXPECT_FLOAT_EQ(dt, static_cast<float>(elapsed) / 1000.0f) << "after a step of " << step << " ms";
    }
}

TEST_F(FrontDoorWindowTest, PictureBecomesTheIconWithItsKeyTransparent) {
    media::Window window;
    ASSERT_TRUE(window.Open("icon", 64, 48));
    {
        media::Picture icon;
        ASSERT_TRUE(icon.Create(window, 3, 2, media::kMagenta));
        ASSERT_TRUE(icon.KeyFromTopLeft());
        ASSERT_TRUE(icon.Draw().DrawRect({1, 0, 2, 1}, {200, 100, 10}));
        ASSERT_TRUE(icon.Draw().DrawRect({2, 1, 1, 1}, media::kWhite));
        ASSERT_TRUE(window.SetIcon(icon));
    }  // the window keeps its own copy
    const platform::Resource* shown = Shown(window).icon;
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->width, 3);
    EXPECT_EQ(shown->height, 2);
    const std::vector<std::uint32_t> expected = {0x00FF00FF, 0xFFC8640A, 0xFFC8640A, 0x00FF00FF, 0x00FF00FF, 0xFFFFFFFF};
    EXPECT_EQ(shown->pixels, expected);

    media::Picture second;
    ASSERT_TRUE(second.Create(window, 1, 1, media::kRed));
    ASSERT_TRUE(window.SetIcon(second));
    ASSERT_NE(Shown(window).icon, nullptr);
    EXPECT_EQ(Shown(window).icon->pixels, std::vector<std::uint32_t>{0xFFFF0000}) << "a picture never keyed has no transparent red";
}

}  // namespace
