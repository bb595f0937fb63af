// The front door's window calls, pointer modes, typed text, dropped files, gamepads and touch on
// the headless backend.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "testing/testing.h"
#include "media/app/zamelmedia.h"
#include "platform/backends/headless/headless_gamepads.h"
#include "platform/backends/headless/headless_input.h"
#include "platform/backends/headless/headless_shell.h"
#include "platform/window/window.h"
#include "tests/app/gamepad_cases.h"
#include "tests/app/touch_cases.h"
#include "tests/headless_test.h"

namespace {

class FrontDoorInputTest : public HeadlessTest {
protected:
    static platform::HWND Handle(const media::Window& window) { return static_cast<platform::HWND>(window.NativeHandle()); }

    // One frame's events, with the text they point at copied out (it lives until the next frame).
    struct Seen {
        media::Event event;
        std::string utf8;
    };
    std::vector<Seen> Frame(media::Window& window) {
        float dt = 0;
        EXPECT_TRUE(window.NextFrame(dt));
        std::vector<Seen> seen;
        for (media::Event event; window.PollEvent(event);) seen.push_back({event, event.utf8 ? event.utf8 : ""});
        return seen;
    }

    platform::headless::HeadlessShell& shell = platform::headless::ShellControls();
    platform::headless::HeadlessGamepads& pads = platform::headless::GamepadControls();
};

TEST_F(FrontDoorInputTest, TitleIsTheWindowsCaption) {
    media::Window window;
    ASSERT_TRUE(window.Open("first", 32, 24));
    ASSERT_TRUE(window.SetTitle("sécond"));
    EXPECT_EQ(Handle(window)->title, "sécond");
    window.Close();
    EXPECT_FALSE(window.SetTitle("closed"));
}

// Time since Open over a run of frames, by vertical-blank wait and frame cap.
struct PacingCase {
    const char* name;
    bool vsync;
    std::int32_t fps;
    int frames;
    double seconds;  // Time() after that many frames past the first
};

class FramePacingTest : public FrontDoorInputTest, public ::testing::WithParamInterface<PacingCase> {};

TEST_P(FramePacingTest, TimeSinceOpenFollowsTheVerticalBlankAndTheCap) {
    const PacingCase& k = GetParam();
    host.SetTime(1234);  // a clock that did not start with the window
    media::Window window;
    ASSERT_TRUE(window.Open("pace", 32, 24));
    EXPECT_EQ(window.Time(), 0.0);
    window.SetVsync(k.vsync);
    window.SetTargetFps(k.fps);
    float dt = 0;
    ASSERT_TRUE(window.NextFrame(dt));
    for (int i = 0; i < k.frames; ++i) ASSERT_TRUE(window.NextFrame(dt));
    EXPECT_NEAR(window.Time(), k.seconds, 0.0171) << "frames at " << k.fps << " fps, vsync " << k.vsync;
}

INSTANTIATE_TEST_SUITE_P(Pacing, FramePacingTest,
                         ::testing::Values(PacingCase{"NoWaitAtAll", false, 0, 30, 0.0}, PacingCase{"CapAlone", false, 20, 20, 1.0},
                                           PacingCase{"CapOfThirty", false, 30, 30, 1.0}, PacingCase{"VerticalBlankAlone", true, 0, 60, 1.0},
                                           PacingCase{"CapAboveTheDisplayRate", true, 120, 60, 1.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrontDoorInputTest, ClipboardCarriesUtf8BothWays) {
    media::Window window;
    ASSERT_TRUE(window.Open("clip", 32, 24));
    ASSERT_TRUE(window.SetClipboardText("zamel 日本 é"));
    EXPECT_EQ(window.ClipboardText(), "zamel 日本 é");
    EXPECT_FALSE(window.SetClipboardText(nullptr));
    EXPECT_EQ(window.ClipboardText(), "zamel 日本 é") << "a refused call leaves the clipboard";
}

TEST_F(FrontDoorInputTest, TypedTextAndDroppedFilesComeAsEventsWithTheirBytes) {
    media::Window window;
    ASSERT_TRUE(window.Open("text", 32, 24));
    Frame(window);
    shell.TypeText(Handle(window), "lost");  // text input is off: the system types nothing
    EXPECT_TRUE(Frame(window).empty());

    window.SetTextInput(true);
    EXPECT_TRUE(window.IsTextInput());
    EXPECT_EQ(shell.TextInputIn(), Handle(window));
    media::testing::TypeText(window, "é");
    media::testing::DropFile(window, "/tmp/level 1.map");
    shell.TypeText(Handle(window), "日本");
    std::vector<Seen> seen = Frame(window);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].event.type, media::EventType::TextInput);
    EXPECT_EQ(seen[0].utf8, "é");
    EXPECT_EQ(seen[1].event.type, media::EventType::FileDropped);
    EXPECT_EQ(seen[1].utf8, "/tmp/level 1.map");
    EXPECT_EQ(seen[2].utf8, "日本");

    // A long path and more text in one frame than one block of the store holds: each event keeps
    // its own bytes.
    const auto piece = [](int i) { return std::to_string(i) + std::string(30, static_cast<char>('a' + i % 26)); };
    const std::string longPath = "/" + std::string(6000, 'p');
    for (int i = 0; i < 200; ++i) shell.TypeText(Handle(window), piece(i));
    shell.DropFile(Handle(window), longPath);
    seen = Frame(window);
    ASSERT_EQ(seen.size(), 201u);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)].utf8, piece(i));
    EXPECT_EQ(seen[200].utf8, longPath);
    EXPECT_TRUE(Frame(window).empty()) << "each piece comes once";

    window.SetTextInput(false);
    EXPECT_EQ(shell.TextInputIn(), nullptr);
}

TEST_F(FrontDoorInputTest, PointerModesReachTheBackendAndEndWithTheWindow) {
    auto window = std::make_unique<media::Window>();
    ASSERT_TRUE(window->Open("pointer", 64, 48));
    const platform::HWND handle = Handle(*window);
    window->ShowCursor(false);
    EXPECT_FALSE(shell.CursorVisible());
    ASSERT_TRUE(window->ConfineCursor(true));
    EXPECT_EQ(shell.ConfinedTo(), handle);
    ASSERT_TRUE(window->SetRelativeMouse(true));
    EXPECT_EQ(shell.RelativeIn(), handle);
    window.reset();
    EXPECT_EQ(shell.ConfinedTo(), nullptr);
    EXPECT_EQ(shell.RelativeIn(), nullptr);
}

TEST_F(FrontDoorInputTest, RelativeModeReportsTheMousesMovesAndKeepsThePosition) {
    media::Window window;
    ASSERT_TRUE(window.Open("look", 64, 48));
    media::testing::MovePointer(window, 10, 20);
    Frame(window);
    ASSERT_EQ(window.MousePosition(), (media::IntPoint{10, 20}));
    ASSERT_TRUE(window.SetRelativeMouse(true));
    // Far past the drawing area's edge: a mouse-look turn has no limit.
    platform::headless::InputControls().MoveMouse(500, -7);
    std::vector<Seen> seen = Frame(window);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].event.type, media::EventType::MouseMoved);
    EXPECT_EQ(seen[0].event.dx, 500);
    EXPECT_EQ(seen[0].event.dy, -7);
    EXPECT_EQ(window.MousePosition(), (media::IntPoint{10, 20}));
    EXPECT_TRUE(Frame(window).empty()) << "a still mouse moves nothing";
}

// The shared gamepad table on the scripted pads.
class HeadlessGamepadTest : public FrontDoorInputTest, public ::testing::WithParamInterface<gamepad_cases::Case> {};

TEST_P(HeadlessGamepadTest, PadsGiveTheirEvents) {
    using gamepad_cases::Step;
    media::Window window;
    ASSERT_TRUE(window.Open("pads", 32, 24));
    int n = 0;
    for (const gamepad_cases::Frame& frame : GetParam().frames) {
        for (const Step& step : frame.steps) {
            switch (step.kind) {
                case Step::Connect: pads.Connect(step.slot, true); break;
                case Step::Disconnect: pads.Connect(step.slot, false); break;
                case Step::Button: pads.SetButton(step.slot, static_cast<platform::PadButton>(step.code), step.value != 0); break;
                case Step::Axis: pads.SetAxis(step.slot, static_cast<platform::PadAxis>(step.code), step.value); break;
            }
        }
        const std::vector<Seen> seen = Frame(window);
        ASSERT_EQ(seen.size(), frame.events.size()) << "frame " << n;
        for (std::size_t i = 0; i < seen.size(); ++i) {
            gamepad_cases::ExpectEvent(seen[i].event, frame.events[i], n, i);
        }
        ++n;
    }
}

INSTANTIATE_TEST_SUITE_P(Scripted, HeadlessGamepadTest, ::testing::ValuesIn(gamepad_cases::Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The shared touch table on scripted fingers.
class HeadlessTouchTest : public FrontDoorInputTest, public ::testing::WithParamInterface<touch_cases::Case> {};

TEST_P(HeadlessTouchTest, FingersGiveTheirEvents) {
    using touch_cases::Step;
    media::Window window;
    ASSERT_TRUE(window.Open("touch", 64, 48));
    Frame(window);
    int n = 0;
    for (const touch_cases::Frame& frame : GetParam().frames) {
        for (const Step& step : frame.steps) {
            switch (step.kind) {
                case Step::Down: media::testing::TouchDown(window, step.finger, step.x, step.y); break;
                case Step::Move: media::testing::TouchMove(window, step.finger, step.x, step.y); break;
                case Step::Up: media::testing::TouchUp(window, step.finger, step.x, step.y); break;
            }
        }
        const std::vector<Seen> seen = Frame(window);
        ASSERT_EQ(seen.size(), frame.events.size()) << "frame " << n;
        for (std::size_t i = 0; i < seen.size(); ++i) touch_cases::ExpectEvent(seen[i].event, frame.events[i], n, i);
        ++n;
    }
}

INSTANTIATE_TEST_SUITE_P(Scripted, HeadlessTouchTest, ::testing::ValuesIn(touch_cases::Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrontDoorInputTest, GamepadReadsItsSlotAndRumblesWhereItCan) {
    auto window = std::make_unique<media::Window>();
    ASSERT_TRUE(window->Open("pad", 32, 24));
    pads.Connect(2, true, "left pad");
    pads.Connect(3, true, "no motors", false);
    pads.SetButton(2, platform::PadButton::X, true);
    pads.SetAxis(2, platform::PadAxis::LeftY, -32768);
    float dt = 0;
    ASSERT_TRUE(window->NextFrame(dt));
    media::Gamepad pad(*window, 2);
    EXPECT_TRUE(pad.IsConnected());
    EXPECT_STREQ(pad.Name(), "left pad");
    EXPECT_TRUE(pad.IsButtonDown(media::GamepadButton::X));
    EXPECT_FALSE(pad.IsButtonDown(media::GamepadButton::A));
    EXPECT_FLOAT_EQ(pad.Axis(media::GamepadAxis::LeftY), -1.0f) << "full travel clamps at -1";

    ASSERT_TRUE(pad.SetDeadZone(0.5f));
    pads.SetAxis(2, platform::PadAxis::LeftY, -16000);
    ASSERT_TRUE(window->NextFrame(dt));
    EXPECT_EQ(pad.Axis(media::GamepadAxis::LeftY), 0.0f) << "inside the wider dead zone";
    EXPECT_FALSE(pad.SetDeadZone(1.0f));
    EXPECT_FLOAT_EQ(pad.DeadZone(), 0.5f);

    ASSERT_TRUE(pad.Rumble(1.0f, 0.5f, 0.25f));
    EXPECT_EQ(pads.Rumbled(2).low, 65535);
    EXPECT_EQ(pads.Rumbled(2).high, 32768);
    EXPECT_EQ(pads.Rumbled(2).ms, 250u);
    EXPECT_FLOAT_EQ(media::testing::LastRumble(2).seconds, 0.25f);
    media::testing::SetGamepadAxis(2, media::GamepadAxis::LeftY, 1.0f);
    ASSERT_TRUE(window->NextFrame(dt));
    EXPECT_FLOAT_EQ(pad.Axis(media::GamepadAxis::LeftY), 1.0f);
    EXPECT_FALSE(media::Gamepad(*window, 3).Rumble(1, 1, 1));
    EXPECT_FALSE(media::Gamepad(*window, 4).Rumble(1, 1, 1)) << "an empty slot";
    EXPECT_FALSE(media::Gamepad(*window, 99).IsConnected());

    window.reset();
    EXPECT_FALSE(pad.IsConnected()) << "a pad outliving its window reads as gone";
    EXPECT_FALSE(pad.IsButtonDown(media::GamepadButton::X));
    EXPECT_FALSE(pad.Rumble(1, 1, 1));
}

// A window opened again, after Close or over itself: the Gamepad objects made for it read the
// pads of the new window, which come as connected in its first frame; while closed they read none.
TEST_F(FrontDoorInputTest, GamepadsComeBackWhenTheWindowOpensAgain) {
    for (const bool closeFirst : {true, false}) {
        SCOPED_TRACE(closeFirst ? "closed, then opened" : "opened over itself");
        pads.Reset();
        media::Window window;
        ASSERT_TRUE(window.Open("pad", 32, 24));
        pads.Connect(1, true, "kept pad");
        pads.SetButton(1, platform::PadButton::A, true);
        media::Gamepad pad(window, 1);
        ASSERT_TRUE(pad.SetDeadZone(0.3f));
        Frame(window);
        ASSERT_TRUE(pad.IsConnected());
        if (closeFirst) {
            window.Close();
            EXPECT_FALSE(pad.IsConnected()) << "no pads while the window is closed";
            EXPECT_FALSE(pad.Rumble(1, 1, 1));
        }
        ASSERT_TRUE(window.Open("pad again", 32, 24));
        bool connected = false, pressed = false;
        for (const Seen& seen : Frame(window)) {
            connected |= seen.event.type == media::EventType::GamepadConnected && seen.event.gamepad == 1;
            pressed |= seen.event.type == media::EventType::GamepadButtonDown && seen.event.gamepad == 1;
        }
        EXPECT_TRUE(connected) << "the reopened window tells of the pad it finds";
        EXPECT_TRUE(pressed);
        EXPECT_TRUE(pad.IsConnected());
        EXPECT_TRUE(pad.IsButtonDown(media::GamepadButton::A));
        EXPECT_STREQ(pad.Name(), "kept pad");
        EXPECT_FLOAT_EQ(pad.DeadZone(), 0.3f) << "the program's dead zone stays with its slot";
        EXPECT_TRUE(pad.Rumble(0.5f, 0.5f, 0.1f));
    }
}

}  // namespace
