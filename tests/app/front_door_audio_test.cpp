// Tunes and sounds of the front door over time, on the headless backend: a tune's volume is what
// is heard, a looping tune starts again through the frame loop alone, and sounds and tunes keep
// working whatever becomes of the Audio they were loaded for (moved, destroyed first), and a tune
// ends when the SoundFont it waits for fails to load.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "media/app/zamelmedia.h"
#include "media/audio/sound_device.h"
#include "tests/audio/audio_test_support.h"

namespace {

class FrontDoorAudioTest : public AudioTest {
protected:
    void SetUp() override {
        AudioTest::SetUp();
        audio.Reset();
        ASSERT_TRUE(window.Open("audio", 64, 48));
    }
    void TearDown() override {
        window.Close();
        AudioTest::TearDown();
    }

    // Runs frames for about ms milliseconds of the virtual clock.
    void RunFrames(std::uint32_t ms) {
        const std::uint32_t end = host.Now() + ms;
        float dt = 0;
        while (host.Now() < end) {
            host.Advance(10);
            ASSERT_TRUE(window.NextFrame(dt));
        }
    }

    // The loudest sample heard over the next ms milliseconds of frames.
    int PeakOver(std::uint32_t ms) {
        audio.Output();  // mixes what the clock has passed already, then forgets it
        audio.ClearOutput();
        RunFrames(ms);
        return audio_test::PeakOf(audio.Output(), 0, audio_test::FramesOfMs(ms));
    }

    media::Window window;
};

// An organ chord held for seconds: a steady level to compare volumes on.
audio_test::Bytes Organ(double seconds) {
    const auto ticks = static_cast<std::uint32_t>(seconds * 960);
    return audio_test::MidiFile({{0, 19}}, {{0, 48, 110, 0, ticks}, {0, 55, 110, 0, ticks}, {0, 60, 110, 0, ticks}});
}

TEST_F(FrontDoorAudioTest, TuneVolumeIsWhatIsHeardBeforeAndDuringPlay) {
    media::Audio output;
    ASSERT_TRUE(output.Open(window));
    const audio_test::Bytes organ = Organ(4.0);
    media::Tune tune;
    ASSERT_TRUE(tune.LoadFromMemory(output, organ.data(), organ.size()));
    // The organ's level changes along the note: every peak is taken 400..700 ms after a start.
    const auto peakAfterStart = [&](float volumeAtStart, float volumeLater) {
        EXPECT_TRUE(tune.SetVolume(volumeAtStart));
        EXPECT_TRUE(tune.Play());
        RunFrames(300);
        if (volumeLater != volumeAtStart) {
            EXPECT_TRUE(tune.SetVolume(volumeLater));
        }
        RunFrames(100);
        const int peak = PeakOver(300);
        EXPECT_TRUE(tune.Stop());
        RunFrames(100);
        return peak;
    };
    const int full = peakAfterStart(1.0f, 1.0f);
    ASSERT_GT(full, 1000) << "the organ is heard at full volume";

    // Each case: the volume, and the share of the full peak heard, whether the volume was set
    // while the tune played or before it started (the synth's loudness follows the square of
    // its channel volume: a plain scaling of it shows as the square of the share asked for).
    const std::vector<std::pair<float, double>> cases = {{0.5f, 0.5}, {0.25f, 0.25}, {0.0f, 0.0}, {1.0f, 1.0}, {3.0f, 1.0}, {-1.0f, 0.0}};
    // Each set before Play follows a play at the last case's volume, so a volume not applied at
    // Play would show.
    for (const auto& [volume, share] : cases) {
        EXPECT_NEAR(peakAfterStart(volume, volume), full * share, full * 0.08) << "volume " << volume << " set before Play";
        EXPECT_NEAR(peakAfterStart(1.0f, volume), full * share, full * 0.08) << "volume " << volume << " set while playing";
        EXPECT_FLOAT_EQ(tune.Volume(), std::clamp(volume, 0.0f, 1.0f));
    }
}

TEST_F(FrontDoorAudioTest, LoopingTuneStartsAgainThroughTheFrameLoopAlone) {
    media::Audio output;
    ASSERT_TRUE(output.Open(window));
    const audio_test::Bytes organ = Organ(0.15);
    // Each case: how the tune plays, then whether it is playing and heard well after its end.
    for (const auto& [loop, again] : {std::pair{media::Loop::Once, false}, std::pair{media::Loop::Forever, true}}) {
        media::Tune tune;
        ASSERT_TRUE(tune.LoadFromMemory(output, organ.data(), organ.size()));
        ASSERT_TRUE(tune.Play(loop));
        EXPECT_TRUE(tune.IsPlaying());
        host.Advance(1000);  // past its end, before the frame that would start it again
        EXPECT_EQ(tune.IsPlaying(), again) << "between the tune's end and the next frame";
        RunFrames(1500);  // ten times its length, and the organ's release long over
        EXPECT_EQ(tune.IsPlaying(), again);
        const int peak = PeakOver(500);
        if (again) {
            EXPECT_GT(peak, 1000) << "the looping tune is heard again";
        } else {
            EXPECT_EQ(peak, 0) << "a tune played once is over";
        }
        ASSERT_TRUE(tune.Stop());
        EXPECT_FALSE(tune.IsPlaying());
        RunFrames(100);  // what the output had mixed ahead
        EXPECT_EQ(PeakOver(800), 0) << "a stopped tune does not come back (" << (again ? "looping" : "once") << ")";
    }
}

TEST_F(FrontDoorAudioTest, LoopingTuneGoesOnInTheWindowOpenedAgain) {
    media::Audio output;
    ASSERT_TRUE(output.Open(window));
    const audio_test::Bytes organ = Organ(0.15);
    media::Tune tune;
    ASSERT_TRUE(tune.LoadFromMemory(output, organ.data(), organ.size()));
    ASSERT_TRUE(tune.Play(media::Loop::Forever));
    RunFrames(50);
    // Each case: the window opened again in another size and mode; the tune loops on through
    // the new window's frame loop, and the output belongs to the new window.
    for (const media::WindowMode mode : {media::WindowMode::Windowed, media::WindowMode::Resizable}) {
        ASSERT_TRUE(window.Open("audio again", 80, 60, mode));
        EXPECT_EQ(output.Device().Sound()->CooperativeWindow(), window.NativeHandle()) << static_cast<int>(mode);
        RunFrames(1500);  // ten times the tune's length
        EXPECT_TRUE(tune.IsPlaying()) << static_cast<int>(mode);
        EXPECT_GT(PeakOver(500), 1000) << "the looping tune is heard in the new window";
    }
    ASSERT_TRUE(tune.Stop());
}

TEST_F(FrontDoorAudioTest, SoundsAndTunesOutliveAMovedOrDestroyedAudio) {
    const audio_test::Bytes organ = Organ(4.0);
    const audio_test::Bytes wave = audio_test::ToneWave(44100, 44100, 8000);
    media::Sound sound;
    media::Tune tune;
    {
        media::Audio first;
        ASSERT_TRUE(first.Open(window));
        ASSERT_TRUE(sound.LoadFromMemory(first, wave.data(), wave.size()));
        ASSERT_TRUE(tune.LoadFromMemory(first, organ.data(), organ.size()));
        media::Audio moved = std::move(first);
        EXPECT_FALSE(first.IsOpen());  // NOLINT(bugprone-use-after-move): a moved-from Audio is closed
        ASSERT_TRUE(moved.IsOpen());
        ASSERT_TRUE(tune.Play(media::Loop::Forever));
        ASSERT_TRUE(sound.Play());
        EXPECT_EQ(PeakOver(100) > 0, true) << "heard after the Audio moved";
    }
    // The Audio is gone; its sounds and tunes still play and stop, and the frame loop goes on.
    EXPECT_TRUE(tune.IsPlaying());
    EXPECT_GT(PeakOver(300), 1000);
    ASSERT_TRUE(tune.Stop());
    ASSERT_TRUE(sound.Stop());
    EXPECT_FALSE(sound.IsPlaying());
    ASSERT_TRUE(sound.Play());
    EXPECT_TRUE(sound.IsPlaying());

    // A sound alone outliving its Audio (no tune holding the output too) still plays and is heard.
    media::Sound alone;
    {
        media::Audio output;
        ASSERT_TRUE(output.Open(window));
        ASSERT_TRUE(alone.LoadFromMemory(output, wave.data(), wave.size()));
    }
    ASSERT_TRUE(sound.Stop());
    ASSERT_TRUE(alone.Play());
    EXPECT_TRUE(alone.IsPlaying());
    EXPECT_GT(PeakOver(50), 1000);
}

// Nobody listening (a replay) makes the synth's work small but must not move a tune's end: the
// game sees tunes only through their timing.
TEST_F(FrontDoorAudioTest, UnheardOutputKeepsEveryTunesTiming) {
    const audio_test::Bytes organ = Organ(0.4);
    std::uint32_t endedAfter[2] = {0, 0};
    for (const bool heard : {true, false}) {
        SCOPED_TRACE(heard ? "heard" : "unheard");
        audio.SetUnheard(!heard);
        media::Audio output;
        ASSERT_TRUE(output.Open(window));
        media::Tune tune;
        ASSERT_TRUE(tune.LoadFromMemory(output, organ.data(), organ.size()));
        audio.Output();
        audio.ClearOutput();
        const std::uint32_t start = host.Now();
        ASSERT_TRUE(tune.Play(media::Loop::Once));
        float dt = 0;
        while (tune.IsPlaying() && host.Now() - start < 5000) {
            host.Advance(10);
            ASSERT_TRUE(window.NextFrame(dt));
        }
        endedAfter[heard] = host.Now() - start;
        EXPECT_EQ(audio.Output().empty(), !heard) << "only a heard output is captured";
    }
    audio.SetUnheard(false);
    EXPECT_GE(endedAfter[1], 400u);
    EXPECT_LT(endedAfter[1], 5000u);
    // The frames' own pacing may shift where the loop looks by a few milliseconds.
    EXPECT_NEAR(static_cast<double>(endedAfter[0]), static_cast<double>(endedAfter[1]), 10.0);
}

// A SoundFont that looks whole but fails while the synth loads it in the background (as on a sound
// card): a tune started meanwhile ends, played once or looping, instead of playing for ever. The
// SoundFont is a named pipe, so its load waits in the loader's open until the tune has started.
TEST_F(FrontDoorAudioTest, TunesEndWhenTheSoundFontFailsToLoadInTheBackground) {
    const std::string path = (directory_ / "broken.sf2").string();
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    setenv("MEDIA_SOUNDFONT", path.c_str(), 1);
    audio.SetRealTime(true);
    const audio_test::Bytes organ = Organ(60.0);  // only a failure ends it within the test
    for (const media::Loop loop : {media::Loop::Once, media::Loop::Forever}) {
        SCOPED_TRACE(loop == media::Loop::Once ? "once" : "looping");
        // The writer gives the header check its RIFF "sfbk" header, then, once the tune has
        // started, a corrupt body to every open of the pipe until the synth is gone.
        std::atomic<bool> started{false}, done{false};
        std::thread writer([&] {
            // A reader that gives up early makes a write fail (EPIPE) instead of ending the test.
            sigset_t pipe;
            sigemptyset(&pipe);
            sigaddset(&pipe, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
            const auto feed = [&](const audio_test::Bytes& bytes) {
                for (;;) {
                    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
                    if (fd >= 0) {
                        const bool whole = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
                        close(fd);
                        return whole;
                    }
                    if (done) return false;
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            };
            feed({'R', 'I', 'F', 'F', 0, 0x10, 0, 0, 's', 'f', 'b', 'k'});
            while (!started && !done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            while (!done) feed(audio_test::Bytes(256, 0x5A));
        });
        {
            media::Audio output;
            media::Tune tune;
            const media::Status opened = output.Open(window);
            const media::Status loaded = opened ? tune.LoadFromMemory(output, organ.data(), organ.size()) : opened;
            EXPECT_TRUE(loaded) << loaded.Message();
            EXPECT_TRUE(loaded && tune.Play(loop)) << "the SoundFont is still loading";
            started = true;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
            float dt = 0;
            while (tune.IsPlaying() && std::chrono::steady_clock::now() < deadline) {
                host.Advance(10);
                ASSERT_TRUE(window.NextFrame(dt));
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            EXPECT_FALSE(tune.IsPlaying()) << "still playing 8 s after the SoundFont failed";
        }
        done = true;
        writer.join();
    }
    audio.SetRealTime(false);
    unsetenv("MEDIA_SOUNDFONT");
}

}  // namespace
