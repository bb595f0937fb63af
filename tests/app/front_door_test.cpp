// The front door on the headless backend: what a program draws reaches the desktop in the right
// colours at 16 and 32 bits, scripted keys come out as events, a sound is heard at its volume,
// and failures say why.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "media/app/zamelmedia.h"
#include "platform/backends/headless/headless_input.h"
#include "platform/pixels/color_convert.h"
#include "platform/window/window.h"
#include "tests/audio/audio_test_support.h"

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

TEST_F(FrontDoorTest, LinesAndOutlinesStayOnTheirPixels) {
    host.SetDesktop(320, 240, 32);
    media::Window window;
    ASSERT_TRUE(window.Open("lines", 32, 32));
    const media::Canvas canvas = window.Draw();
    ASSERT_TRUE(canvas.Clear(media::kBlack));
    ASSERT_TRUE(canvas.DrawLine(0, 0, 31, 31, media::kRed));
    ASSERT_TRUE(canvas.DrawRect({-4, 10, 10, 5}, media::kGreen, media::FillMode::Outline));
    EXPECT_EQ(canvas.PixelAt(17, 17), media::kRed);
    EXPECT_EQ(canvas.PixelAt(31, 31), media::kRed) << "both end points are drawn";
    EXPECT_EQ(canvas.PixelAt(17, 16), media::kBlack);
    EXPECT_EQ(canvas.PixelAt(5, 10), media::kGreen);
    EXPECT_EQ(canvas.PixelAt(5, 14), media::kGreen);
    EXPECT_EQ(canvas.PixelAt(0, 12), media::kBlack) << "the left edge is off the canvas";
    EXPECT_EQ(canvas.PixelAt(3, 12), media::kBlack) << "an outline leaves its inside alone";
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

}  // namespace
