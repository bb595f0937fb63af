#include <string>
#include <utility>
#include <vector>

#include "game/app_shell.h"
#include "game/game.h"
#include "media/display/screen.h"
#include "tests/headless_test.h"

namespace {

using platform::FaultPoint;

// Runs the whole program on the headless backend. The script is called every time the program
// looks for events; it gets the number of frames presented so far.
class AppShellTest : public HeadlessTest {
protected:
    int Run(std::function<void(int frames, bool waiting)> script) {
        host.SetEventHook([this, script](bool waiting) { script(host.VerticalBlankWaits(), waiting); });
        return game::RunApplication(platform::SW_SHOWNORMAL);
    }
    static void Post(std::uint32_t message, platform::WPARAM wParam = 0) {
        platform::PostMessage(game::mainWindow, message, wParam, 0);
    }
};

TEST_F(AppShellTest, WindowHasA640x480ClientAreaWhateverTheFrame) {
    for (const platform::FrameMetrics& frame : {platform::FrameMetrics{0, 0, 0}, platform::FrameMetrics{3, 20, 20},
                                                platform::FrameMetrics{8, 31, 19}}) {
        host.Reset();
        host.SetFrameMetrics(frame);
        game::RegisterAppIcon();
        game::CreateMainWindow(platform::SW_SHOWNORMAL);
        platform::Rect client;
        ASSERT_TRUE(platform::GetClientRect(game::mainWindow, &client));
        EXPECT_EQ(client, (platform::Rect{0, 0, 640, 480}));
        EXPECT_EQ(game::mainWindow->title, "bodo & zamel");
        EXPECT_EQ(game::mainWindow->style, 0x00CA0000u);
        EXPECT_EQ(game::mainWindow->outer.left, 0) << "sizing does not move the window";
        EXPECT_NE(game::mainWindow->icon, nullptr);
        EXPECT_EQ(game::appActive, 1) << "active once shown";
    }
}

TEST_F(AppShellTest, FramesRunUntilCloseThenEverythingIsFreedAndTheExitCodeIsZero) {
    bool closed = false;
    const int exitCode = Run([&](int frames, bool) {
        if (frames == 5 && !std::exchange(closed, true)) Post(platform::WM_CLOSE);
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(host.VerticalBlankWaits(), 5);
    EXPECT_EQ(game::screen, nullptr);
    // Run from a folder without the game's files, the title screen has no picture: the presented
    // frames are black all over, without the frame-rate text (the game presents without it).
    const platform::Point origin = host.ClientOrigin(*game::mainWindow);
    int inked = 0;
    for (std::int32_t y = 0; y < 480; y += 3)
        for (std::int32_t x = 0; x < 640; x += 3) inked += host.DesktopSurface().PixelAt(origin.x + x, origin.y + y) != 0;
    EXPECT_EQ(inked, 0);
    EXPECT_EQ(host.Presentations(), 5);
}

TEST_F(AppShellTest, NoFramesRunWhileInactive) {
    int waitsWhileInactive = 0;
    int framesAtDeactivation = -1;
    bool closed = false;
    const int exitCode = Run([&](int frames, bool waiting) {
        if (frames == 3 && framesAtDeactivation < 0) {
            framesAtDeactivation = frames;
            Post(platform::WM_ACTIVATEAPP, 0);
        } else if (waiting && ++waitsWhileInactive == 4) {
            EXPECT_EQ(frames, framesAtDeactivation);
            Post(platform::WM_ACTIVATEAPP, 1);
        } else if (frames == 6 && !std::exchange(closed, true)) {
            Post(platform::WM_CLOSE);
        }
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(waitsWhileInactive, 4);
    EXPECT_EQ(host.VerticalBlankWaits(), 6);
}

TEST_F(AppShellTest, SecondCloseFindsNothingToFree) {
    bool closed = false;
    const int exitCode = Run([&](int frames, bool) {
        if (frames == 1 && !std::exchange(closed, true)) {
            Post(platform::WM_CLOSE);
            Post(platform::WM_CLOSE);
        }
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(game::screen, nullptr);
}

struct StartFailure {
    const char* name;
    std::vector<FaultPoint> faults;
    const char* message;
    bool owned;  // the box belongs to the main window (a screen that never got it has no owner)
};
void PrintTo(const StartFailure& c, std::ostream* os) { *os << c.name; }

class StartFailureTest : public AppShellTest, public ::testing::WithParamInterface<StartFailure> {};

TEST_P(StartFailureTest, ShowsTheErrorAndEndsWithExitCodeZero) {
    const StartFailure& k = GetParam();
    for (FaultPoint f : k.faults) host.SetFault(f);
    bool closed = false;
    const int exitCode = Run([&](int frames, bool) {
        // Never needed when the error ends the program as it should.
        if (frames > 100 && !std::exchange(closed, true)) Post(platform::WM_CLOSE);
    });
    EXPECT_FALSE(closed);
    EXPECT_EQ(exitCode, 0);
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, k.message);
    EXPECT_EQ(host.MessageBoxes()[0].caption, "Error");
    EXPECT_EQ(host.MessageBoxes()[0].type, platform::MB_ICONERROR);
    EXPECT_EQ(host.MessageBoxes()[0].owner != nullptr, k.owned);
    EXPECT_EQ(game::screen, nullptr) << "freed after the loop";
}

INSTANTIATE_TEST_SUITE_P(
    Faults, StartFailureTest,
    ::testing::Values(StartFailure{"no_window", {FaultPoint::CreateWindow}, "could not create the main window", false},
                      StartFailure{"no_display_device", {FaultPoint::DirectDrawCreate}, "Could not set windowed mode 640x480", false},
                      StartFailure{"no_back_surface", {FaultPoint::CreateVideoSurface, FaultPoint::CreateSystemSurface}, "Could not set windowed mode 640x480", true},
                      StartFailure{"no_clipper", {FaultPoint::CreateClipper}, "Could not set windowed mode 640x480", true}),
    [](const auto& info) { return info.param.name; });

TEST_F(AppShellTest, FatalErrorCutsALongMessageAndAsksToQuit) {
    const std::string longText(5000, 'x');
    game::FatalError(nullptr, "%s", longText.c_str());
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, std::string(1023, 'x'));
    platform::Message m;
    ASSERT_TRUE(platform::PeekMessage(&m, nullptr, 0, 0, platform::PM_REMOVE));
    EXPECT_EQ(m.message, platform::WM_QUIT);
}

}  // namespace
