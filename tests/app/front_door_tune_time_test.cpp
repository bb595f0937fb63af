// A MIDI tune's time through the front door, on the headless backend: its length and position in
// seconds through its tempo changes, pause and resume, and seeking; and the tempo map itself.
#include <gtest/gtest.h>

#include <vector>

#include "media/app/zamelmedia.h"
#include "platform/music/midi_timeline.h"
#include "tests/app/open_audio_test.h"
#include "tests/audio/audio_test_support.h"
#include "tests/audio/ogg_encoder.h"

namespace {

using audio_test::Bytes;

// A format-1 file at 480 ticks a quarter: track 1 sets the tempos (microseconds a quarter at a
// tick), track 2 holds one note to endTick.
Bytes TempoFile(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& tempos, std::uint32_t endTick) {
    const auto track = [](const std::vector<std::pair<std::uint32_t, Bytes>>& events) {
        Bytes body;
        std::uint32_t now = 0;
        for (const auto& [tick, data] : events) {
            audio_test::PutVarLen(body, tick - now);
            now = tick;
            audio_test::Append(body, data);
        }
        audio_test::PutVarLen(body, 0);
        audio_test::Append(body, {0xFF, 0x2F, 0x00});
        Bytes chunk;
        audio_test::PutTag(chunk, "MTrk");
        const auto n = static_cast<std::uint32_t>(body.size());
        audio_test::Append(chunk, {static_cast<std::uint8_t>(n >> 24), static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 8),
                                   static_cast<std::uint8_t>(n)});
        audio_test::Append(chunk, body);
        return chunk;
    };
    std::vector<std::pair<std::uint32_t, Bytes>> tempoEvents;
    for (const auto& [tick, us] : tempos) {
        tempoEvents.push_back({tick, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(us >> 16), static_cast<std::uint8_t>(us >> 8), static_cast<std::uint8_t>(us)}});
    }
    Bytes file;
    audio_test::PutTag(file, "MThd");
    audio_test::Append(file, {0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0xE0});
    audio_test::Append(file, track(tempoEvents));
    audio_test::Append(file, track({{0, {0xC0, 19}}, {0, {0x90, 60, 110}}, {endTick, {0x80, 60, 0}}}));
    return file;
}

TEST(MidiTimelineTest, TicksBecomeSecondsThroughEveryTempoChange) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> tempos;
        std::uint32_t endTick;
        std::vector<std::pair<std::uint64_t, double>> points;  // tick, seconds
    };
    const Case cases[] = {
        {"no tempo: 120 a minute", {}, 1920, {{0, 0.0}, {480, 0.5}, {1920, 2.0}}},
        {"60 a minute", {{0, 1000000}}, 960, {{480, 1.0}, {960, 2.0}}},
        {"120, then 60 from tick 960", {{0, 500000}, {960, 1000000}}, 1920, {{960, 1.0}, {1440, 2.0}, {1920, 3.0}}},
        {"three changes", {{0, 250000}, {480, 500000}, {1440, 1000000}}, 1920, {{480, 0.25}, {1440, 1.25}, {1920, 2.25}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = TempoFile(c.tempos, c.endTick);
        const platform::MidiTimeline timeline(file.data(), file.size());
        EXPECT_EQ(timeline.EndTick(), c.endTick);
        for (const auto& [tick, seconds] : c.points) {
            EXPECT_NEAR(timeline.SecondsAt(tick), seconds, 1e-9) << "tick " << tick;
            EXPECT_EQ(timeline.TickAt(seconds), tick) << seconds << " s";
        }
        EXPECT_NEAR(timeline.Length(), c.points.back().second, 1e-9);
    }
    // Bytes cut anywhere give a shorter map, never a read past them.
    const Bytes file = TempoFile({{0, 500000}, {960, 1000000}}, 1920);
    for (std::size_t size = 0; size < file.size(); ++size) {
        const platform::MidiTimeline timeline(file.data(), size);
        EXPECT_LE(timeline.EndTick(), 1920u);
    }
}

class FrontDoorTuneTimeTest : public OpenAudioTest {
protected:
    void RunFrames(std::uint32_t ms) {
        const std::uint32_t end = host.Now() + ms;
        float dt = 0;
        while (host.Now() < end) {
            host.Advance(10);
            ASSERT_TRUE(window.NextFrame(dt));
        }
    }
    int PeakOver(std::uint32_t ms) {
        audio.Output();
        audio.ClearOutput();
        RunFrames(ms);
        return audio_test::PeakOf(audio.Output(), 0, audio_test::FramesOfMs(ms));
    }

};

TEST_F(FrontDoorTuneTimeTest, MidiTunePausesSeeksAndKnowsWhereItIs) {
    // An organ note for 4 s at 120 a minute, then 60 a minute from 2 s: 6 s in all.
    const Bytes file = TempoFile({{0, 500000}, {1920, 1000000}}, 3840);
    media::Tune tune;
    ASSERT_TRUE(tune.LoadFromMemory(output, file.data(), file.size()));
    EXPECT_NEAR(tune.Length(), 6.0, 1e-9);
    EXPECT_EQ(tune.Position(), 0.0) << "not playing";
    ASSERT_TRUE(tune.Play(media::Loop::Forever));
    RunFrames(1000);
    EXPECT_NEAR(tune.Position(), 1.0, 0.03);

    ASSERT_TRUE(tune.Pause());
    EXPECT_TRUE(tune.IsPaused());
    EXPECT_FALSE(tune.IsPlaying());
    const double at = tune.Position();
    RunFrames(100);  // what the output had mixed ahead
    EXPECT_EQ(PeakOver(500), 0) << "silent while paused";
    RunFrames(7000);  // past the tune's end: a paused looping tune is not started again
    EXPECT_TRUE(tune.IsPaused());
    EXPECT_NEAR(tune.Position(), at, 0.001) << "time stands still while paused";
    ASSERT_TRUE(tune.Resume());
    EXPECT_FALSE(tune.IsPaused());
    EXPECT_TRUE(tune.IsPlaying());
    EXPECT_GT(PeakOver(500), 1000) << "the held note sounds again";
    EXPECT_NEAR(tune.Position(), at + 0.5, 0.03);

    // Seeks forward, back and into the slower part, playing or paused; the slower tempo shows.
    for (const double to : {3.0, 0.5, 4.5}) {
        SCOPED_TRACE(::testing::Message() << "seek to " << to);
        ASSERT_TRUE(tune.Seek(to));
        EXPECT_NEAR(tune.Position(), to, 0.002);
        EXPECT_GT(PeakOver(500), 1000) << "heard from there";
        EXPECT_NEAR(tune.Position(), to + 0.5, 0.03);
    }
    ASSERT_TRUE(tune.Pause());
    ASSERT_TRUE(tune.Seek(2.5));
    EXPECT_NEAR(tune.Position(), 2.5, 0.002);
    RunFrames(300);
    EXPECT_NEAR(tune.Position(), 2.5, 0.002) << "a seek while paused waits there";
    ASSERT_TRUE(tune.Resume());
    RunFrames(500);
    EXPECT_NEAR(tune.Position(), 3.0, 0.03);
    ASSERT_TRUE(tune.Stop());
    EXPECT_EQ(tune.Position(), 0.0);
    EXPECT_EQ(tune.SetLoopPoints(1, 2).Code(), media::ErrorCode::Unsupported) << "a MIDI tune loops whole";
}

// With a MIDI tune on a side, a crossfade fades the first out over its first half, stops it, and
// fades the second in over the second half; the frame loop steps it.
TEST_F(FrontDoorTuneTimeTest, CrossfadeWithAMidiTuneFadesOutThenIn) {
    const Bytes organ = TempoFile({}, 9600);  // an organ note for 10 s
    const Bytes ogg = audio_test::SineOgg(441, 10.0, 44100, 1, 12000);
    struct Case {
        const char* name;
        const Bytes* first;
        const Bytes* second;
    };
    for (const Case c : {Case{"MIDI to MIDI", &organ, &organ}, Case{"MIDI to Ogg", &organ, &ogg}, Case{"Ogg to MIDI", &ogg, &organ}}) {
        SCOPED_TRACE(c.name);
        media::Tune first, second;
        ASSERT_TRUE(first.LoadFromMemory(output, c.first->data(), c.first->size()));
        ASSERT_TRUE(second.LoadFromMemory(output, c.second->data(), c.second->size()));
        ASSERT_TRUE(second.Play());  // its full level 1.5 s after its start, to compare with
        RunFrames(1500);
        const int secondFull = PeakOver(300);
        ASSERT_TRUE(first.Play());
        RunFrames(500);
        const int firstFull = PeakOver(300);
        ASSERT_GT(firstFull, 1000);
        EXPECT_FALSE(second.IsPlaying()) << "one tune at a time";

        ASSERT_TRUE(first.CrossfadeTo(second, 2.0));
        RunFrames(450);
        const int fadingOut = PeakOver(200);  // 450 .. 650 ms of the first second
        EXPECT_LT(fadingOut, firstFull * 0.85);
        EXPECT_GT(fadingOut, firstFull * 0.25);
        RunFrames(250);
        EXPECT_LT(PeakOver(100), firstFull * 0.2) << "near silence just before the middle";
        RunFrames(450);
        const int fadingIn = PeakOver(100);  // 1450 .. 1550 ms: the second at about half
        EXPECT_LT(fadingIn, secondFull * 0.8);
        EXPECT_GT(fadingIn, secondFull * 0.25);
        RunFrames(950);  // past the end of the fade, 1.5 s after the second started
        EXPECT_FALSE(first.IsPlaying());
        EXPECT_TRUE(second.IsPlaying());
        EXPECT_NEAR(PeakOver(300), secondFull, secondFull * 0.15) << "the second at its own volume";
        ASSERT_TRUE(second.Stop());
        RunFrames(200);
    }
}

}  // namespace
