// The front door on the headless backend: what a program draws reaches the desktop in the right
// colours at 16 and 32 bits, scripted keys come out as events, a sound is heard at its volume,
// and failures say why.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "testing/testing.h"
#include "media/app/zamelmedia.h"
#include "media/display/pixel_surface.h"
#include "platform/backends/headless/headless_input.h"
#include "platform/core/resources.h"
#include "platform/core/result_codes.h"
#include "platform/pixels/color_convert.h"
#include "platform/window/window.h"
#include "tests/audio/audio_test_support.h"
#include "tests/image/bmp_files.h"

namespace {

using media::Color;

class FrontDoorTest : public AudioTest {
protected:
    void SetUp() override {
        AudioTest::SetUp();
        keys.Reset();
        audio.Reset();
    }

    // The colour the desktop shows at (x, y) of the window's drawing area.
    Color Presented(const media::Window& window, std::int32_t x, std::int32_t y) {
        const platform::Rect client = platform::ClientAreaOnDesktop(static_cast<platform::HWND>(window.NativeHandle()));
        const platform::DisplaySurface& desktop = host.DesktopSurface();
        const platform::COLORREF c = platform::ColorRefFromRaw(desktop.PixelAt(client.left + x, client.top + y), desktop.Format());
        return {platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c)};
    }

    std::vector<media::Event> Drain(media::Window& window) {
        std::vector<media::Event> events;
        media::Event event;
        while (window.PollEvent(event)) events.push_back(event);
        return events;
    }

    platform::headless::HeadlessInput& keys = platform::headless::InputControls();
};

// Each channel at its own level, so that swapped or shifted channels show.
struct ColourCase {
    const char* name;
    int depth;
    Color colour;
    Color expected;  // what the desktop can show of it: 5-6-5 keeps the top bits
};

class PresentedColourTest : public FrontDoorTest, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(PresentedColourTest, FillAndPictureReachTheDesktopInTheirColours) {
    const ColourCase& k = GetParam();
    host.SetDesktop(320, 240, k.depth);
    media::Window window;
    ASSERT_TRUE(window.Open("colours", 64, 48));
    media::Picture sprite;
    ASSERT_TRUE(sprite.Create(window, 8, 8, media::kMagenta));
    ASSERT_TRUE(sprite.KeyFromTopLeft());
    ASSERT_TRUE(sprite.Draw().DrawRect({2, 2, 4, 4}, media::kWhite));

    float dt = 0;
    ASSERT_TRUE(window.NextFrame(dt));
    ASSERT_TRUE(window.Draw().Clear(k.colour));
    ASSERT_TRUE(window.Draw().Draw(sprite, 10, 20, media::BlitMode::Keyed));
    ASSERT_TRUE(window.NextFrame(dt));  // presents the frame drawn

    EXPECT_EQ(Presented(window, 0, 0), k.expected);
    EXPECT_EQ(Presented(window, 63, 47), k.expected);
    EXPECT_EQ(Presented(window, 10, 20), k.expected) << "the sprite's key colour is left out";
    EXPECT_EQ(Presented(window, 12, 22), media::kWhite) << "the sprite's own pixels are drawn";
    EXPECT_EQ(Presented(window, 15, 25), media::kWhite);
    EXPECT_EQ(Presented(window, 16, 26), k.expected);
}

INSTANTIATE_TEST_SUITE_P(Depths, PresentedColourTest,
                         ::testing::Values(ColourCase{"dark_blue_32", 32, {32, 64, 128}, {32, 64, 128}},
                                           ColourCase{"uneven_32", 32, {200, 100, 10}, {200, 100, 10}},
                                           ColourCase{"dark_blue_16", 16, {32, 64, 128}, {33, 65, 132}},
                                           ColourCase{"uneven_16", 16, {200, 100, 10}, {206, 101, 8}}),
                         [](const auto& info) { return info.param.name; });

// Each shape drawn alone on a black 32x32 canvas: the pixels it must light and the pixels it must
// leave, with coordinates far off the canvas and at the ends of 32 bits.
TEST_F(FrontDoorTest, LinesAndRectanglesStayOnTheirPixels) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min(), kMax = std::numeric_limits<std::int32_t>::max();
    using Point = std::pair<std::int32_t, std::int32_t>;
    struct ShapeCase {
        const char* name;
        std::function<media::Status(const media::Canvas&)> draw;
        std::vector<Point> lit, dark;
    };
    const auto line = [](std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
        return [=](const media::Canvas& c) { return c.DrawLine(x1, y1, x2, y2, media::kRed); };
    };
    const auto rect = [](media::IntRect r, media::FillMode mode) {
        return [=](const media::Canvas& c) { return c.DrawRect(r, media::kRed, mode); };
    };
    const std::vector<ShapeCase> cases = {
        {"diagonal, both ends", line(0, 0, 31, 31), {{17, 17}, {31, 31}, {0, 0}}, {{17, 16}}},
        {"shallow line", line(0, 0, 4, 2), {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}, {{1, 0}, {3, 1}, {5, 2}}},
        {"line through the canvas from far off", line(-600000000, 5, 600000000, 5), {{0, 5}, {31, 5}}, {{0, 4}, {31, 6}}},
        {"line between the corners of 32 bits", line(kMin, kMin, kMax, kMax), {{0, 0}, {31, 31}}, {{1, 0}, {0, 1}}},
        {"line far off the canvas", line(-900000000, -5, 900000000, -700), {}, {{0, 0}, {31, 31}}},
        {"outline cut by the left edge", rect({-4, 10, 10, 5}, media::FillMode::Outline), {{5, 10}, {5, 14}}, {{0, 12}, {3, 12}}},
        {"outline on the canvas", rect({2, 20, 6, 4}, media::FillMode::Outline), {{2, 21}, {7, 20}, {7, 21}, {7, 23}, {4, 23}},
         {{4, 21}, {8, 21}, {7, 24}}},
        {"rectangle reaching past 32 bits", rect({10, 2, kMax, 3}, media::FillMode::Solid), {{10, 2}, {31, 4}}, {{9, 2}, {31, 5}}},
        {"rectangle starting near the end of 32 bits", rect({kMax - 5, 0, 100, 10}, media::FillMode::Solid), {}, {{31, 0}}},
        {"outline from the start of 32 bits", rect({kMin, kMin, kMax, kMax}, media::FillMode::Outline), {}, {{0, 0}, {31, 31}}},
    };
    host.SetDesktop(320, 240, 32);
    media::Window window;
    ASSERT_TRUE(window.Open("lines", 32, 32));
    const media::Canvas canvas = window.Draw();
    for (const ShapeCase& k : cases) {
        SCOPED_TRACE(k.name);
        ASSERT_TRUE(canvas.Clear(media::kBlack));
        ASSERT_TRUE(k.draw(canvas));
        for (const auto& [x, y] : k.lit) EXPECT_EQ(canvas.PixelAt(x, y), media::kRed) << x << "," << y;
        for (const auto& [x, y] : k.dark) EXPECT_EQ(canvas.PixelAt(x, y), media::kBlack) << x << "," << y;
    }
}

// A line cut to the canvas lights exactly the pixels of the whole line that lie on it: random
// lines with ends on, near and off a small canvas, against the whole walk written out here.
TEST_F(FrontDoorTest, ACutLineLightsTheSamePixelsAsTheWholeLine) {
    constexpr std::int32_t kSide = 12;
    host.SetDesktop(320, 240, 32);
    media::Window window;
    ASSERT_TRUE(window.Open("cut lines", kSide, kSide - 3));
    const media::Canvas canvas = window.Draw();
    std::mt19937 random(IterationSeed(14, 0));
    std::uniform_int_distribution<std::int32_t> coordinate(-20, kSide + 20);
    for (const int iteration : TestIterations(400)) {
        const std::int32_t x1 = coordinate(random), y1 = coordinate(random), x2 = coordinate(random), y2 = coordinate(random);
        SCOPED_TRACE(testing::Message() << "iteration " << iteration << ": " << x1 << "," << y1 << " to " << x2 << "," << y2);
        std::vector<bool> expected(static_cast<std::size_t>(canvas.Width() * canvas.Height()), false);
        // Bresenham's walk over every point of the line.
        const std::int64_t dx = std::abs(std::int64_t{x2} - x1), dy = -std::abs(std::int64_t{y2} - y1);
        const std::int64_t sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
        std::int64_t error = dx + dy, x = x1, y = y1;
        for (;;) {
            if (x >= 0 && y >= 0 && x < canvas.Width() && y < canvas.Height())
                expected[static_cast<std::size_t>(y * canvas.Width() + x)] = true;
            if (x == x2 && y == y2) break;
            const std::int64_t twice = 2 * error;
            if (twice >= dy) error += dy, x += sx;
            if (twice <= dx) error += dx, y += sy;
        }
        ASSERT_TRUE(canvas.Clear(media::kBlack));
        ASSERT_TRUE(canvas.DrawLine(x1, y1, x2, y2, media::kRed));
        for (std::int32_t py = 0; py < canvas.Height(); ++py)
            for (std::int32_t px = 0; px < canvas.Width(); ++px)
                ASSERT_EQ(canvas.PixelAt(px, py) == media::kRed, expected[static_cast<std::size_t>(py * canvas.Width() + px)])
                    << "at " << px << "," << py;
    }
}

// A moved-from picture is empty: every call on it is safe and says so.
TEST_F(FrontDoorTest, AMovedFromPictureIsEmpty) {
    media::Window window;
    ASSERT_TRUE(window.Open("moved", 16, 16));
    media::Picture original;
    ASSERT_TRUE(original.Create(window, 4, 3, media::kRed));
    media::Picture moved = std::move(original);
    media::Picture assigned;
    ASSERT_TRUE(assigned.Create(window, 2, 2, media::kBlue));
    assigned = std::move(moved);
    for (media::Picture* empty : {&original, &moved}) {
        // NOLINTBEGIN(bugprone-use-after-move): a moved-from picture is empty
        EXPECT_FALSE(empty->Loaded());
        EXPECT_EQ(empty->Width(), 0);
        EXPECT_EQ(empty->Height(), 0);
        EXPECT_EQ(empty->Draw().Clear(media::kWhite).Code(), media::ErrorCode::NotOpen);
        EXPECT_EQ(empty->KeyFromTopLeft().Code(), media::ErrorCode::NotOpen);
        EXPECT_EQ(window.Draw().Draw(*empty, 0, 0).Code(), media::ErrorCode::NotOpen);
        EXPECT_EQ(window.SetIcon(*empty).Code(), media::ErrorCode::NotOpen);
        // NOLINTEND(bugprone-use-after-move)
    }
    EXPECT_EQ(assigned.Width(), 4);
    ASSERT_TRUE(window.Draw().Draw(assigned, 0, 0, media::BlitMode::Opaque));
    EXPECT_EQ(window.Draw().PixelAt(3, 2), media::kRed);
    ASSERT_TRUE(original.Create(window, 1, 1, media::kGreen)) << "a moved-from picture takes new pixels";
    EXPECT_EQ(original.Draw().PixelAt(0, 0), media::kGreen);
}

// A picture loaded from a file keys out the colour of its top-left pixel; one never keyed draws
// every pixel, black ones too, in every mode and as an icon.
TEST_F(FrontDoorTest, OnlyAKeyedPictureLeavesPixelsOut) {
    testing_bmp::BmpLayout bmp;
    bmp.width = 2;
    bmp.height = 1;
    bmp.pixels = testing_bmp::PackRows(2, 1, 24, [](int x, int) { return x == 0 ? 0x0A141Eu : 0xC80000u; });
    const testing_bmp::Bytes file = testing_bmp::MakeBmp(bmp);
    std::ofstream("two.bmp", std::ios::binary).write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));

    host.SetDesktop(320, 240, 32);
    media::Window window;
    ASSERT_TRUE(window.Open("keys", 16, 16));
    const media::Canvas canvas = window.Draw();
    const Color ground{100, 150, 200}, half{50, 75, 100};
    media::Picture loaded, black, keyedBlack;
    ASSERT_TRUE(loaded.Load(window, "two.bmp"));
    ASSERT_TRUE(black.Create(window, 1, 1, media::kBlack));
    ASSERT_TRUE(keyedBlack.Create(window, 1, 1, media::kBlack));
    ASSERT_TRUE(keyedBlack.KeyFromTopLeft());
    using media::BlitMode;
    struct KeyCase {
        const char* name;
        const media::Picture& picture;
        BlitMode mode;
        Color expected;  // at the picture's top-left pixel
    };
    const std::vector<KeyCase> cases = {
        {"loaded, keyed", loaded, BlitMode::Keyed, ground},
        {"loaded, opaque", loaded, BlitMode::Opaque, {10, 20, 30}},
        {"unkeyed black, keyed", black, BlitMode::Keyed, media::kBlack},
        {"unkeyed black, mirrored", black, BlitMode::MirrorX, media::kBlack},
        {"unkeyed black, flipped", black, BlitMode::MirrorY, media::kBlack},
        {"unkeyed black, half blend", black, BlitMode::HalfBlend, half},
        {"unkeyed black, opaque", black, BlitMode::Opaque, media::kBlack},
        {"keyed black, keyed", keyedBlack, BlitMode::Keyed, ground},
        {"keyed black, mirrored", keyedBlack, BlitMode::MirrorX, ground},
        {"keyed black, flipped", keyedBlack, BlitMode::MirrorY, ground},
        {"keyed black, half blend", keyedBlack, BlitMode::HalfBlend, ground},
        {"keyed black, opaque", keyedBlack, BlitMode::OpaqueMirrorX, media::kBlack},
    };
    for (const KeyCase& k : cases) {
        SCOPED_TRACE(k.name);
        ASSERT_TRUE(canvas.Clear(ground));
        ASSERT_TRUE(canvas.Draw(k.picture, 3, 4, k.mode));
        EXPECT_EQ(canvas.PixelAt(3, 4), k.expected);
    }
    ASSERT_TRUE(canvas.Clear(ground));
    ASSERT_TRUE(canvas.Draw(loaded, 3, 4, BlitMode::Keyed));
    EXPECT_EQ(canvas.PixelAt(4, 4), (Color{200, 0, 0})) << "only the key colour is left out";

    ASSERT_TRUE(window.SetIcon(black));
    const platform::headless::ShownWindow* shown = host.Shown(static_cast<platform::HWND>(window.NativeHandle()));
    ASSERT_TRUE(shown && shown->icon);
    EXPECT_EQ(shown->icon->pixels, std::vector<std::uint32_t>{0xFF000000}) << "black is opaque in an icon never keyed";
}

// A picture outlives its window, closed or opened again: it keeps its pixels, forgets the screen
// it was made with, and its destruction touches nothing of that screen.
TEST_F(FrontDoorTest, PicturesOutliveTheirWindow) {
    testing_bmp::BmpLayout bmp;
    bmp.width = bmp.height = 2;
    bmp.pixels = testing_bmp::PackRows(2, 2, 24, [](int, int) { return 0x336699u; });
    const testing_bmp::Bytes file = testing_bmp::MakeBmp(bmp);
    std::ofstream("outlive.bmp", std::ios::binary).write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    for (const bool loaded : {true, false}) {
        for (const bool reopen : {false, true}) {
            SCOPED_TRACE(testing::Message() << (loaded ? "loaded" : "made blank") << (reopen ? ", window opened again" : ", window closed"));
            media::Window window;
            ASSERT_TRUE(window.Open("outlive", 16, 16));
            auto picture = std::make_unique<media::Picture>();
            ASSERT_TRUE(loaded ? picture->Load(window, "outlive.bmp") : picture->Create(window, 2, 2, {51, 102, 153}));
            if (reopen) {
                ASSERT_TRUE(window.Open("outlive again", 16, 16));
            } else {
                window.Close();
            }
            EXPECT_EQ(picture->Surface().Owner(), nullptr) << "the picture still points at the screen that is gone";
            EXPECT_TRUE(picture->Loaded());
            EXPECT_EQ(picture->Draw().PixelAt(1, 1), (Color{51, 102, 153}));
            picture.reset();
        }
    }
}

TEST_F(FrontDoorTest, ScriptedKeysComeOutAsEventsOnce) {
    constexpr std::uint8_t kScanLeft = 203, kScanA = 30, kScanShift = 42;
    host.SetDesktop(320, 240, 32);
    media::Window window;
    ASSERT_TRUE(window.Open("keys", 64, 48));
    float dt = 0;
    ASSERT_TRUE(window.NextFrame(dt));
    EXPECT_TRUE(Drain(window).empty());

    // Each step: the keys changed before the frame, then the key events the frame must give.
    struct Step {
        std::uint8_t scan;
        bool down;
        std::vector<std::pair<media::EventType, media::Key>> expected;
    };
    const std::vector<Step> steps = {
        {kScanLeft, true, {{media::EventType::KeyDown, media::Key::Left}}},
        {kScanLeft, true, {}},  // held: no second KeyDown
        {kScanLeft, false, {{media::EventType::KeyUp, media::Key::Left}}},
        {kScanShift, true, {{media::EventType::KeyDown, media::Key::LeftShift}}},
        {kScanA, true, {{media::EventType::KeyDown, media::Key::A}, {media::EventType::Text, media::Key::A}}},
        {kScanA, false, {{media::EventType::KeyUp, media::Key::A}}},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        keys.SetKey(steps[i].scan, steps[i].down);
        host.Advance(16);
        ASSERT_TRUE(window.NextFrame(dt));
        const std::vector<media::Event> events = Drain(window);
        ASSERT_EQ(events.size(), steps[i].expected.size()) << "step " << i;
        for (std::size_t e = 0; e < events.size(); ++e) {
            EXPECT_EQ(events[e].type, steps[i].expected[e].first) << "step " << i;
            EXPECT_EQ(events[e].key, steps[i].expected[e].second) << "step " << i;
            if (events[e].type == media::EventType::Text) {
                EXPECT_EQ(events[e].text, 'A') << "Shift gives the capital";
            }
        }
    }
    EXPECT_TRUE(window.IsKeyDown(media::Key::LeftShift));
    EXPECT_FALSE(window.IsKeyDown(media::Key::Left));
    EXPECT_GT(dt, 0.0f) << "a frame's time step is the time since the last one";
}

// The testing controls a program's tests use reach the window as a user's would: keys by their
// names, buttons, the pointer over a drawing-area pixel; the pixels and sound read back are the
// presented frame's and the output's; UseHeadless starts again from a fresh machine.
TEST_F(FrontDoorTest, TestingControlsDriveTheWindowFromOutside) {
    host.SetDesktop(320, 240, 32);
    host.Advance(500);
    ASSERT_TRUE(media::testing::UseHeadless());
    EXPECT_EQ(media::testing::ClockMs(), 0u);
    EXPECT_EQ(host.DesktopSurface().Width(), 1024);
    media::Window window;
    ASSERT_TRUE(window.Open("testing", 64, 48));
    float dt = 0;
    ASSERT_TRUE(window.NextFrame(dt));
    Drain(window);

    const media::Key named[] = {media::Key::Left, media::Key::Down, media::Key::A, media::Key::Z, media::Key::Num0,
                                media::Key::Space, media::Key::Escape, media::Key::F12, media::Key::RightControl, media::Key::PageDown};
    for (const media::Key key : named) {
        media::testing::SetKey(key, true);
        ASSERT_TRUE(window.NextFrame(dt));
        const std::vector<media::Event> events = Drain(window);
        EXPECT_TRUE(window.IsKeyDown(key)) << static_cast<int>(key);
        EXPECT_TRUE(!events.empty() && events[0].type == media::EventType::KeyDown && events[0].key == key) << static_cast<int>(key);
        media::testing::SetKey(key, false);
        ASSERT_TRUE(window.NextFrame(dt));
        EXPECT_FALSE(window.IsKeyDown(key)) << static_cast<int>(key);
        Drain(window);
    }
    for (const media::MouseButton button : {media::MouseButton::Left, media::MouseButton::Right, media::MouseButton::Middle}) {
        media::testing::SetMouseButton(button, true);
        ASSERT_TRUE(window.NextFrame(dt));
        EXPECT_TRUE(window.IsMouseButtonDown(button)) << static_cast<int>(button);
        media::testing::SetMouseButton(button, false);
        ASSERT_TRUE(window.NextFrame(dt));
        EXPECT_FALSE(window.IsMouseButtonDown(button)) << static_cast<int>(button);
    }
    Drain(window);
    const platform::Rect area = platform::ClientAreaOnDesktop(static_cast<platform::HWND>(window.NativeHandle()));
    media::testing::MovePointer(window, 30, 20);
    EXPECT_EQ(keys.CursorPosition().x, area.left + 30);
    EXPECT_EQ(keys.CursorPosition().y, area.top + 20);
    ASSERT_TRUE(window.NextFrame(dt));
    const std::vector<media::Event> moved = Drain(window);
    EXPECT_TRUE(!moved.empty() && moved[0].type == media::EventType::MouseMoved);

    ASSERT_TRUE(window.Draw().Clear(media::kDarkBlue));
    ASSERT_TRUE(window.Draw().DrawRect({10, 5, 1, 1}, media::kRed));
    ASSERT_TRUE(window.NextFrame(dt));
    EXPECT_EQ(media::testing::PixelAt(window, 10, 5), media::kRed);
    EXPECT_EQ(media::testing::PixelAt(window, 11, 5), media::kDarkBlue);
    EXPECT_EQ(media::testing::PixelAt(window, 63, 47), media::kDarkBlue);
    EXPECT_EQ(media::testing::PixelAt(window, -1 - area.left, 0), media::kBlack) << "off the desktop";

    media::Audio output;
    media::Sound beep;
    const audio_test::Bytes wave = audio_test::ToneWave(44100, 44100, 4000);
    ASSERT_TRUE(output.Open(window));
    ASSERT_TRUE(beep.LoadFromMemory(output, wave.data(), wave.size()));
    media::testing::AdvanceClock(20);
    EXPECT_EQ(media::testing::SoundOutput().size(), 2u * 20 * media::testing::kSoundRate / 1000);
    media::testing::ClearSoundOutput();
    ASSERT_TRUE(beep.Play());
    media::testing::AdvanceClock(50);
    const std::vector<std::int16_t>& heard = media::testing::SoundOutput();
    EXPECT_EQ(heard.size(), 2u * 50 * media::testing::kSoundRate / 1000);
    EXPECT_EQ(*std::max_element(heard.begin(), heard.end()), 4000);
}

TEST_F(FrontDoorTest, WheelGivesOneEventPerTurnWithItsSignedNotches) {
    media::Window window;
    ASSERT_TRUE(window.Open("wheel", 64, 48));
    float dt = 0;
    ASSERT_TRUE(window.NextFrame(dt));
    Drain(window);
    // Each step: the wheel's turn before the frame (120 a notch, positive away from the user),
    // and the notches of the one MouseWheel event the frame gives (0: no event).
    const std::pair<std::int32_t, std::int32_t> steps[] = {
        {120, 1}, {0, 0}, {0, 0}, {-120, -1}, {240, 2}, {-360, -3}, {60, 1}, {-30, -1}, {0, 0},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        keys.TurnWheel(steps[i].first);
        ASSERT_TRUE(window.NextFrame(dt));
        std::vector<std::int32_t> wheels;
        for (const media::Event& event : Drain(window)) {
            if (event.type == media::EventType::MouseWheel) wheels.push_back(event.wheel);
        }
        const std::vector<std::int32_t> expected = steps[i].second ? std::vector{steps[i].second} : std::vector<std::int32_t>{};
        EXPECT_EQ(wheels, expected) << "step " << i << ": turn " << steps[i].first;
    }
}

TEST_F(FrontDoorTest, PressShorterThanAFrameIsSeenDownThenUp) {
    media::Window window;
    ASSERT_TRUE(window.Open("taps", 64, 48));
    float dt = 0;
    ASSERT_TRUE(window.NextFrame(dt));
    Drain(window);
    // Each row: a key, mouse button or joystick button that goes down and up between two frames,
    // and the events of the next two frames.
    struct Tap {
        const char* name;
        void (*press)(platform::headless::HeadlessInput&, bool down);
        media::EventType down, up;
    };
    const Tap taps[] = {
        {"key", [](auto& in, bool down) { in.SetKey(30, down); }, media::EventType::KeyDown, media::EventType::KeyUp},
        {"mouse button", [](auto& in, bool down) { in.SetMouseButton(1, down); }, media::EventType::MouseButtonDown,
         media::EventType::MouseButtonUp},
        {"joystick button", [](auto& in, bool down) { in.SetJoystickButton(3, down); }, media::EventType::JoystickButtonDown,
         media::EventType::JoystickButtonUp},
    };
    const auto kinds = [](const std::vector<media::Event>& events) {
        std::vector<media::EventType> types;
        for (const media::Event& event : events) {
            if (event.type != media::EventType::Text) types.push_back(event.type);
        }
        return types;
    };
    for (const Tap& tap : taps) {
        tap.press(keys, true);
        tap.press(keys, false);
        ASSERT_TRUE(window.NextFrame(dt));
        EXPECT_EQ(kinds(Drain(window)), std::vector{tap.down}) << tap.name << ": the tap is seen";
        ASSERT_TRUE(window.NextFrame(dt));
        EXPECT_EQ(kinds(Drain(window)), std::vector{tap.up}) << tap.name << ": and let go in the next frame";
        ASSERT_TRUE(window.NextFrame(dt));
        EXPECT_TRUE(Drain(window).empty()) << tap.name;
    }
    // A key held across frames is still one press and one release.
    keys.SetKey(30, true);
    ASSERT_TRUE(window.NextFrame(dt));
    EXPECT_EQ(kinds(Drain(window)), std::vector{media::EventType::KeyDown});
    ASSERT_TRUE(window.NextFrame(dt));
    EXPECT_TRUE(Drain(window).empty());
    keys.SetKey(30, false);
    ASSERT_TRUE(window.NextFrame(dt));
    EXPECT_EQ(kinds(Drain(window)), std::vector{media::EventType::KeyUp});
}

TEST_F(FrontDoorTest, PointerPositionIsThePointersOnTheDrawingArea) {
    host.SetDesktop(1024, 768, 32);
    // Each row: how the window is shown, its size on screen (0: as opened), where the pointer is in
    // the window on screen, and where that is on the 64 x 48 drawing area.
    struct Case {
        media::WindowMode mode;
        std::int32_t shownW, shownH, pointerX, pointerY, x, y;
    };
    const Case cases[] = {
        {media::WindowMode::Windowed, 0, 0, 15, 12, 15, 12},
        {media::WindowMode::Windowed, 0, 0, 63, 47, 63, 47},
        {media::WindowMode::Resizable, 256, 96, 64 + 20, 30, 10, 15},  // twice the size, bars left and right
        {media::WindowMode::Resizable, 128, 192, 20, 48 + 30, 10, 15},  // bars above and below
        {media::WindowMode::Fullscreen, 640, 480, 639, 479, 63, 47},
    };
    for (const Case& k : cases) {
        media::Window window;
        ASSERT_TRUE(window.Open("pointer", 64, 48, k.mode));
        const auto handle = static_cast<platform::HWND>(window.NativeHandle());
        if (k.shownW) {
            ASSERT_TRUE(host.ResizeOnScreen(handle, k.shownW, k.shownH));
        }
        float dt = 0;
        ASSERT_TRUE(window.NextFrame(dt));
        Drain(window);
        const platform::Rect client = platform::ClientAreaOnDesktop(handle);
        keys.SetCursorPosition({client.left + k.pointerX, client.top + k.pointerY});
        keys.MoveMouse(k.pointerX, k.pointerY);
        keys.SetMouseButton(0, true);
        ASSERT_TRUE(window.NextFrame(dt));
        std::vector<media::Event> events = Drain(window);
        keys.SetMouseButton(0, false);
        const auto moved = std::ranges::find(events, media::EventType::MouseMoved, &media::Event::type);
        ASSERT_NE(moved, events.end()) << k.pointerX << "," << k.pointerY;
        EXPECT_EQ(moved->x, k.x);
        EXPECT_EQ(moved->y, k.y);
        const auto pressed = std::ranges::find(events, media::EventType::MouseButtonDown, &media::Event::type);
        ASSERT_NE(pressed, events.end());
        EXPECT_EQ(pressed->x, k.x);
        EXPECT_EQ(pressed->y, k.y);
        EXPECT_EQ(window.MousePosition(), (media::IntPoint{k.x, k.y}));
        // The input object's own cursor stays inside its limits, as it always did.
        EXPECT_LE(window.GetInput().MouseX(), 63);
        // A finger at the same place on screen lands on the same pixel.
        media::testing::TouchDown(window, 7, k.pointerX, k.pointerY);
        ASSERT_TRUE(window.NextFrame(dt));
        events = Drain(window);
        const auto touched = std::ranges::find(events, media::EventType::TouchDown, &media::Event::type);
        ASSERT_NE(touched, events.end());
        EXPECT_EQ(touched->x, k.x);
        EXPECT_EQ(touched->y, k.y);
    }
}

TEST_F(FrontDoorTest, KeypadKeysAreNamedAndTypeAsWithNumLockOn) {
    media::Window window;
    ASSERT_TRUE(window.Open("keypad", 64, 48));
    float dt = 0;
    ASSERT_TRUE(window.NextFrame(dt));
    Drain(window);
    // Each row: the keypad key's scan code, its name, and the text it types (0: none).
    const std::tuple<std::uint8_t, media::Key, char> rows[] = {
        {82, media::Key::Keypad0, '0'},   {79, media::Key::Keypad1, '1'},      {73, media::Key::Keypad9, '9'},
        {83, media::Key::KeypadPeriod, '.'}, {181, media::Key::KeypadDivide, '/'}, {55, media::Key::KeypadMultiply, '*'},
        {74, media::Key::KeypadMinus, '-'}, {78, media::Key::KeypadPlus, '+'},  {156, media::Key::KeypadEnter, 0},
        {69, media::Key::NumLock, 0},
    };
    for (const auto& [scan, key, text] : rows) {
        keys.SetKey(scan, true);
        ASSERT_TRUE(window.NextFrame(dt));
        const std::vector<media::Event> events = Drain(window);
        keys.SetKey(scan, false);
        ASSERT_TRUE(window.NextFrame(dt));
        Drain(window);
        ASSERT_EQ(events.size(), text ? 2u : 1u) << "scan " << int{scan};
        EXPECT_EQ(events[0].type, media::EventType::KeyDown);
        EXPECT_EQ(events[0].key, key) << "scan " << int{scan};
        if (text) {
            EXPECT_EQ(events[1].type, media::EventType::Text);
            EXPECT_EQ(events[1].text, text) << "scan " << int{scan};
        }
    }
}

TEST_F(FrontDoorTest, ManyKeysInOneFrameKeepEachKeyDownWithItsText) {
    media::Window window;
    ASSERT_TRUE(window.Open("many keys", 64, 48));
    float dt = 0;
    ASSERT_TRUE(window.NextFrame(dt));
    Drain(window);
    // Every key of the main block at once (scan codes 2..53: digits to slash, Shift and Control
    // among them): more than a hundred events with their texts.
    for (std::uint8_t scan = 2; scan <= 53; ++scan) keys.SetKey(scan, true);
    keys.MoveMouse(5, 5);
    ASSERT_TRUE(window.NextFrame(dt));
    const std::vector<media::Event> events = Drain(window);
    EXPECT_EQ(window.DroppedEvents(), 0u);
    std::size_t downs = 0;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i].type != media::EventType::KeyDown) continue;
        ++downs;
        const auto code = static_cast<std::uint16_t>(events[i].key);
        if (code < 32 || code >= 127) continue;
        ASSERT_LT(i + 1, events.size());
        EXPECT_EQ(events[i + 1].type, media::EventType::Text) << "key " << code;
        EXPECT_EQ(events[i + 1].key, events[i].key);
    }
    EXPECT_EQ(downs, 52u);
}

TEST_F(FrontDoorTest, CloseBoxEndsTheLoopWithAClosedEvent) {
    media::Window window;
    ASSERT_TRUE(window.Open("close", 64, 48));
    platform::PostMessage(static_cast<platform::HWND>(window.NativeHandle()), platform::WM_CLOSE, 0, 0);
    float dt = 0;
    EXPECT_FALSE(window.NextFrame(dt));
    media::Event event;
    ASSERT_TRUE(window.PollEvent(event));
    EXPECT_EQ(event.type, media::EventType::Closed);
}

TEST_F(FrontDoorTest, EventQueueKeepsOrderAndCountsWhatItDrops) {
    media::EventQueue queue;
    for (std::size_t i = 0; i < media::EventQueue::kCapacity + 3; ++i) {
        media::Event event{media::EventType::KeyDown};
        event.x = static_cast<std::int32_t>(i);
        queue.Push(event);
    }
    EXPECT_EQ(queue.Dropped(), 3u);
    media::Event event;
    for (std::size_t i = 0; i < media::EventQueue::kCapacity; ++i) {
        ASSERT_TRUE(queue.Pop(event));
        EXPECT_EQ(event.x, static_cast<std::int32_t>(i));
    }
    EXPECT_FALSE(queue.Pop(event));

    // A key's KeyDown and its Text go in together or not at all.
    media::EventQueue pairs;
    for (std::size_t i = 0; i + 1 < media::EventQueue::kCapacity; ++i) pairs.Push(media::Event{media::EventType::KeyUp});
    EXPECT_FALSE(pairs.Push(media::Event{media::EventType::KeyDown}, media::Event{media::EventType::Text}));
    EXPECT_EQ(pairs.Size(), media::EventQueue::kCapacity - 1);
    EXPECT_EQ(pairs.Dropped(), 2u);

    // Moves of one kind in a row become one: the last position and the whole move.
    media::EventQueue moves;
    for (const auto& [type, x, dx] : {std::tuple{media::EventType::MouseMoved, 3, 3}, std::tuple{media::EventType::MouseMoved, 5, 2},
                                      std::tuple{media::EventType::JoystickMoved, 7, 7}, std::tuple{media::EventType::MouseMoved, 9, 4}}) {
        media::Event move{type};
        move.x = x, move.dx = dx;
        ASSERT_TRUE(moves.Push(move));
    }
    ASSERT_EQ(moves.Size(), 3u);
    ASSERT_TRUE(moves.Pop(event));
    EXPECT_EQ(event.x, 5);
    EXPECT_EQ(event.dx, 5);
    // Joined moves stop at the 32-bit limits instead of wrapping.
    media::Event far{media::EventType::MouseMoved};
    far.dx = INT32_MAX, far.dy = INT32_MIN;
    media::EventQueue farMoves;
    farMoves.Push(far);
    farMoves.Push(far);
    ASSERT_TRUE(farMoves.Pop(event));
    EXPECT_EQ(event.dx, INT32_MAX);
    EXPECT_EQ(event.dy, INT32_MIN);
}

TEST_F(FrontDoorTest, SoundIsHeardAtItsVolume) {
    media::Window window;
    ASSERT_TRUE(window.Open("sound", 64, 48));
    media::Audio output;
    ASSERT_TRUE(output.Open(window));
    const audio_test::Bytes wave = audio_test::ToneWave(44100, 44100, 8000);
    // Each case: the volume, then the peak heard in the first 50 ms.
    const std::vector<std::pair<float, int>> cases = {{1.0f, 8000}, {0.5f, 4000}, {0.0f, 0}, {2.0f, 8000}};
    for (const auto& [volume, peak] : cases) {
        media::Sound sound;
        ASSERT_TRUE(sound.LoadFromMemory(output, wave.data(), wave.size()));
        ASSERT_TRUE(sound.SetVolume(volume));
        audio.ClearOutput();
        ASSERT_TRUE(sound.Play());
        EXPECT_TRUE(sound.IsPlaying());
        host.Advance(50);
        EXPECT_EQ(audio_test::PeakOf(audio.Output(), 0, audio_test::FramesOfMs(40)), peak) << "volume " << volume;
        ASSERT_TRUE(sound.Stop());
        EXPECT_FALSE(sound.IsPlaying());
    }
}

// Every sample of a 16-bit stereo sound is scaled, its last one included: the output holds the
// recording sample for sample at the volume's share (multiples of 4, so the shares are exact).
TEST_F(FrontDoorTest, SoundVolumeScalesEverySampleToTheLast) {
    media::Window window;
    ASSERT_TRUE(window.Open("samples", 64, 48));
    media::Audio output;
    ASSERT_TRUE(output.Open(window));
    std::vector<std::int16_t> recorded;
    for (int i = 0; i < 64; ++i) recorded.push_back(static_cast<std::int16_t>((i % 2 ? -4 : 4) * (250 + i)));
    const audio_test::Bytes wave = audio_test::PlainWave(2, 44100, 16, audio_test::Samples16(recorded));
    // Each case: the volume, and the divisor it puts on every sample.
    for (const auto& [volume, divisor] : {std::pair{1.0f, 1}, std::pair{0.5f, 2}, std::pair{0.25f, 4}}) {
        media::Sound sound;
        ASSERT_TRUE(sound.LoadFromMemory(output, wave.data(), wave.size()));
        ASSERT_TRUE(sound.SetVolume(volume));
        audio.Output();  // mixes what the clock has passed, then forgets it
        audio.ClearOutput();
        ASSERT_TRUE(sound.Play());
        host.Advance(10);
        const std::vector<std::int16_t>& heard = audio.Output();
        ASSERT_GE(heard.size(), recorded.size() + 2);
        std::vector<std::int16_t> expected;
        for (const std::int16_t sample : recorded) expected.push_back(static_cast<std::int16_t>(sample / divisor));
        expected.insert(expected.end(), {0, 0});  // and nothing after the end
        EXPECT_EQ(std::vector<std::int16_t>(heard.begin(), heard.begin() + static_cast<std::ptrdiff_t>(expected.size())), expected)
            << "volume " << volume;
    }
}

TEST_F(FrontDoorTest, LoopingSoundOutlastsItsLengthUntilStopped) {
    media::Window window;
    ASSERT_TRUE(window.Open("loop", 64, 48));
    media::Audio output;
    ASSERT_TRUE(output.Open(window));
    const audio_test::Bytes wave = audio_test::ToneWave(44100, 441, 8000);  // 10 ms
    // Each case: how the sound plays, then whether it still sounds 100 ms later.
    for (const auto& [loop, sounding] : {std::pair{media::Loop::Once, false}, std::pair{media::Loop::Forever, true}}) {
        media::Sound sound;
        ASSERT_TRUE(sound.LoadFromMemory(output, wave.data(), wave.size()));
        ASSERT_TRUE(sound.Play(loop));
        host.Advance(90);
        audio.Output();  // mixes what the clock has passed, then forgets it
        audio.ClearOutput();
        host.Advance(20);
        EXPECT_EQ(sound.IsPlaying(), sounding);
        EXPECT_EQ(audio_test::PeakOf(audio.Output(), 0, audio_test::FramesOfMs(20)), sounding ? 8000 : 0);
        ASSERT_TRUE(sound.Stop());
        EXPECT_FALSE(sound.IsPlaying());
    }
}

TEST_F(FrontDoorTest, SoundAndTuneLoadFromAnAbsolutePath) {
    media::Window window;
    ASSERT_TRUE(window.Open("paths", 64, 48));
    media::Audio output;
    ASSERT_TRUE(output.Open(window));
    const std::string wavePath = (directory_ / "beep.wav").string();
    const audio_test::Bytes wave = audio_test::ToneWave(22050, 2205);
    std::FILE* file = std::fopen(wavePath.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(wave.data(), 1, wave.size(), file);
    std::fclose(file);
    std::filesystem::current_path("/");  // an absolute path must not depend on the directory
    media::Sound sound;
    EXPECT_TRUE(sound.Load(output, wavePath.c_str()));
    EXPECT_TRUE(sound.Loaded());
}

// A tune from memory and from an absolute path elsewhere than the current directory: heard,
// playing until stopped, and one tune at a time.
TEST_F(FrontDoorTest, TunesLoadFromMemoryAndAbsolutePathsAndPlayOneAtATime) {
    media::Window window;
    ASSERT_TRUE(window.Open("tunes", 64, 48));
    media::Audio output;
    ASSERT_TRUE(output.Open(window));
    const audio_test::Bytes organ = audio_test::MidiFile({{0, 19}}, {{0, 48, 120, 0, 9600}, {0, 55, 120, 0, 9600}});
    const std::string path = (directory_ / "organ.mid").string();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(organ.data(), 1, organ.size(), file);
    std::fclose(file);
    std::filesystem::current_path("/");

    media::Tune fromMemory, fromPath;
    ASSERT_TRUE(fromMemory.LoadFromMemory(output, organ.data(), organ.size()));
    const media::Status loaded = fromPath.Load(output, path.c_str());
    ASSERT_TRUE(loaded) << loaded.Message();
    audio.ClearOutput();
    ASSERT_TRUE(fromMemory.Play());
    host.Advance(300);
    EXPECT_TRUE(fromMemory.IsPlaying());
    EXPECT_GT(audio_test::PeakOf(audio.Output(), 0, audio.Output().size() / 2), 0) << "the tune is heard";
    ASSERT_TRUE(fromPath.Play(media::Loop::Forever));
    EXPECT_FALSE(fromMemory.IsPlaying()) << "starting a tune stops the other";
    EXPECT_TRUE(fromPath.IsPlaying());
    ASSERT_TRUE(fromPath.Stop());
    EXPECT_FALSE(fromPath.IsPlaying());
}

// Every failure names what failed and why.
TEST_F(FrontDoorTest, FailuresSayWhyInWords) {
    media::Window window;
    media::Picture picture;
    media::Audio output;
    media::Sound sound;
    media::Tune tune;
    struct FailureCase {
        const char* name;
        media::Status status;
        media::ErrorCode code;
        const char* words;
    };
    const std::vector<FailureCase> beforeOpen = {
        {"picture without window", picture.Load(window, "x.bmp"), media::ErrorCode::NotOpen, "window is not open"},
        {"no pixels", window.Open("x", 0, 48), media::ErrorCode::InvalidArgument, "no pixels"},
        {"fullscreen before open", window.SetFullscreen(true), media::ErrorCode::NotOpen, "not open"},
        {"icon before open", window.SetIcon(picture), media::ErrorCode::NotOpen, "not open"},
    };
    for (const FailureCase& k : beforeOpen) {
        EXPECT_FALSE(k.status) << k.name;
        EXPECT_EQ(k.status.Code(), k.code) << k.name;
        EXPECT_NE(k.status.Message().find(k.words), std::string::npos) << k.name << ": " << k.status.Message();
    }
    ASSERT_TRUE(window.Open("errors", 64, 48));
    ASSERT_TRUE(output.Open(window));
    const std::uint8_t junk[16] = {'R', 'I', 'F', 'F'};
    // Sparse files: refused by their size, before a byte is read or a buffer allocated.
    const std::string hugeSound = (directory_ / "huge.wav").string(), hugeTune = (directory_ / "huge.mid").string();
    std::fclose(std::fopen(hugeSound.c_str(), "wb"));
    std::fclose(std::fopen(hugeTune.c_str(), "wb"));
    std::filesystem::resize_file(hugeSound, std::uint64_t{1} << 40);
    std::filesystem::resize_file(hugeTune, media::Tune::kMaxFileBytes + 1);
    const std::vector<FailureCase> afterOpen = {
        {"missing picture", picture.Load(window, "/no/such/bodo.png"), media::ErrorCode::NotFound,
         "cannot load picture '/no/such/bodo.png': no such file"},
        {"missing sound", sound.Load(output, "/no/such/jump.wav"), media::ErrorCode::NotFound, "cannot load sound '/no/such/jump.wav': no such file"},
        {"missing tune", tune.Load(output, "/no/such/song.mid"), media::ErrorCode::NotFound, "no such file"},
        {"huge sound", sound.Load(output, hugeSound.c_str()), media::ErrorCode::InvalidArgument, "larger than the 1024 MiB a sound may have"},
        {"tune over its cap", tune.Load(output, hugeTune.c_str()), media::ErrorCode::InvalidArgument, "larger than the 64 MiB a tune may have"},
        {"junk sound", sound.LoadFromMemory(output, junk, sizeof junk), media::ErrorCode::BadData, "not a WAV file"},
        {"junk tune", tune.LoadFromMemory(output, junk, sizeof junk), media::ErrorCode::BadData, "not a standard MIDI file"},
        {"unloaded sound", sound.Play(), media::ErrorCode::NotOpen, "not loaded"},
        {"unloaded tune", tune.Play(), media::ErrorCode::NotOpen, "not loaded"},
        {"icon without pixels", window.SetIcon(picture), media::ErrorCode::NotOpen, "no pixels"},
    };
    for (const FailureCase& k : afterOpen) {
        EXPECT_FALSE(k.status) << k.name;
        EXPECT_EQ(k.status.Code(), k.code) << k.name;
        EXPECT_NE(k.status.Message().find(k.words), std::string::npos) << k.name << ": " << k.status.Message();
    }
}

// Report prints a failure as "program: message" on standard error and says whether the call
// succeeded; a success prints nothing.
TEST(StatusReportTest, PrintsOnlyFailuresWithTheProgramsName) {
    const struct {
        media::Status status;
        const char* program;
        bool succeeded;
        std::string printed;
    } cases[] = {
        {media::Status::Ok(), "hello", true, ""},
        {{media::ErrorCode::NotFound, "cannot load picture 'a.png': no such file"}, "hello", false,
         "hello: cannot load picture 'a.png': no such file\n"},
        {{media::ErrorCode::Failed, "the tune could not be played"}, nullptr, false, "error: the tune could not be played\n"},
    };
    for (const auto& k : cases) {
        ::testing::internal::CaptureStderr();
        const bool succeeded = k.status.Report(k.program);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), k.printed);
        EXPECT_EQ(succeeded, k.succeeded);
    }
}

// A platform failure keeps its whole 32-bit result code in the message, high bit and leading
// zeros included, so it can be looked up among the published values.
TEST(StatusFromPlatformTest, CarriesTheWholeResultCode) {
    const struct {
        long result;
        const char* message;
    } cases[] = {
        {platform::E_FAIL, "the tune could not be played (result 0x80004005)"},
        {platform::DDERR_SURFACELOST, "the tune could not be played (result 0x887601C2)"},
        {platform::E_INVALIDARG, "the tune could not be played (result 0x80070057)"},
        {-1, "the tune could not be played (result 0xFFFFFFFF)"},
        {0x1234, "the tune could not be played (result 0x00001234)"},
    };
    for (const auto& k : cases) {
        const media::Status status = media::Status::FromPlatform("the tune could not be played", k.result);
        EXPECT_EQ(status.Code(), media::ErrorCode::Failed) << k.message;
        EXPECT_EQ(status.Message(), k.message);
    }
}

}  // namespace
