// Music players on the headless output: tune slots, indices from callers, set-up failures, and
// what is heard while tunes play and after they stop.
#include "media/audio/music_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/system.h"
#include "platform/music/midi_synth.h"
#include "tests/audio/audio_test_support.h"

using namespace audio_test;
using namespace platform;
using media::MusicPlayer;

namespace {

class MusicPlayerTest : public AudioTest {
protected:
    void SetUp() override {
        AudioTest::SetUp();
        ASSERT_TRUE(WriteFile("long.mid", ChordMidi(5.0)));
        ASSERT_TRUE(WriteFile("short.mid", ChordMidi(0.3)));
        ASSERT_TRUE(WriteFile("drums.mid", MidiFile({{9, 0}}, {{9, 36, 120, 0, 100}, {9, 38, 120, 480, 100}, {9, 42, 120, 960, 100}})));
        ASSERT_TRUE(WriteFile("organ.mid", MidiFile({{0, 19}}, {{0, 48, 120, 0, 9600}, {0, 55, 120, 0, 9600}})));
        ASSERT_TRUE(WriteFile("not_midi.mid", Bytes(64, 'x')));
        Bytes smpte = ChordMidi(0.5);
        smpte[12] = 0xE7;  // 25 frames per second, 40 ticks per frame
        smpte[13] = 0x28;
        ASSERT_TRUE(WriteFile("smpte.mid", smpte));
        Bytes cut = ChordMidi(0.5);
        cut.resize(cut.size() - 1);  // the track's length runs past the end
        ASSERT_TRUE(WriteFile("cut.mid", cut));
    }
    // Peak of the output over the next ms milliseconds of virtual time.
    int PeakOver(std::uint32_t ms) {
        audio.Output();  // what came before is not measured
        audio.ClearOutput();
        host.Advance(ms);
        return PeakOf(audio.Output(), 0, FramesOfMs(ms));
    }
};

}  // namespace

TEST_F(MusicPlayerTest, SlotsFillInOrderAndFreeSlotsAreReused) {
    MusicPlayer player;
    ASSERT_EQ(player.Init(nullptr, nullptr), 1);
    EXPECT_EQ(player.Load("long.mid"), 0);
    EXPECT_EQ(player.Load("short.mid"), 1);
    EXPECT_EQ(player.Load("missing.mid"), -1);
    EXPECT_EQ(player.Load("not_midi.mid"), -1);
    EXPECT_EQ(player.Load("smpte.mid"), -1) << "timed in SMPTE frames, which the synth cannot play";
    EXPECT_EQ(player.Load("cut.mid"), -1);
    EXPECT_EQ(player.Load(nullptr), -1);
    EXPECT_EQ(player.Slot(2).state, media::TUNE_EMPTY) << "failed loads leave the slot empty";
    EXPECT_EQ(player.Unload(0), 1);
    EXPECT_EQ(player.Unload(0), -1);
    EXPECT_EQ(player.Load("organ.mid"), 0);
    for (int slot = 2; slot < MusicPlayer::kSlots; ++slot) ASSERT_EQ(player.Load("short.mid"), slot);
    EXPECT_EQ(player.Load("short.mid"), -1) << "the 65th tune";
    EXPECT_EQ(player.Slot(63).state, media::TUNE_LOADED);
    EXPECT_EQ(player.Slot(63).index, 63);
}

TEST_F(MusicPlayerTest, PlayStopsTheCurrentTuneAndWaitsAFewFrames) {
    MusicPlayer player;
    ASSERT_EQ(player.Init(nullptr, nullptr), 1);
    ASSERT_EQ(player.Load("long.mid"), 0);
    ASSERT_EQ(player.Load("organ.mid"), 1);

    const std::uint32_t before = host.Now();
    EXPECT_EQ(player.Play(0), S_OK);
    EXPECT_EQ(host.Now() - before, MusicPlayer::kStartWaitMs) << "Play waits through the platform's Sleep";
    EXPECT_EQ(player.Current(), 0);
    EXPECT_EQ(player.Play(5), -1) << "an empty slot";
    EXPECT_EQ(player.Current(), 0) << "and the current tune plays on";
    EXPECT_EQ(player.Play(1), S_OK);
    EXPECT_EQ(player.Slot(0).state, media::TUNE_STOPPED);
    EXPECT_EQ(player.Slot(1).state, media::TUNE_PLAYING);
    EXPECT_EQ(player.Current(), 1);
    EXPECT_EQ(player.Stop(1), S_OK);
    EXPECT_EQ(player.Current(), -1);

    ASSERT_EQ(player.Load("short.mid"), 2);
    EXPECT_EQ(player.Stop(2), S_OK) << "a loaded tune never played";
    EXPECT_EQ(player.Slot(2).state, media::TUNE_STOPPED);
    EXPECT_EQ(player.Play(2), S_OK);
    EXPECT_EQ(player.Play(2), S_OK) << "playing the current tune again starts it over";
    EXPECT_EQ(player.Slot(2).state, media::TUNE_PLAYING);
}

TEST_F(MusicPlayerTest, IndicesOutsideTheSlotsAreEmptySlots) {
    MusicPlayer player;
    ASSERT_EQ(player.Init(nullptr, nullptr), 1);
    ASSERT_EQ(player.Load("long.mid"), 0);
    ASSERT_EQ(player.Play(0), S_OK);
    for (const std::int32_t index : {-1, 64, 65, -65, 1 << 30, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(player.Play(index), -1);
        EXPECT_EQ(player.Unload(index), -1);
    }
    EXPECT_EQ(player.Current(), 0);
    EXPECT_EQ(player.Stop(-1), -1);
    EXPECT_EQ(player.Current(), -1) << "Stop of an empty slot forgets the current tune";
    EXPECT_EQ(player.Slot(0).state, media::TUNE_PLAYING);
}

TEST_F(MusicPlayerTest, PlayersThatFailedToStartRefuseEverything) {
    struct Case {
        const char* name;
        bool noDevice;
        const char* soundFont;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"no audio output", true, nullptr, -4},
        {"no SoundFont", false, "/nonexistent/none.sf2", -6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        audio.SetNoDevice(c.noDevice);
        if (c.soundFont) setenv("MEDIA_SOUNDFONT", c.soundFont, 1);
        {
            MusicPlayer player;
            EXPECT_EQ(player.Init(nullptr, nullptr), c.expected);
            // A performance that could not start is released; one without a port is kept.
            EXPECT_EQ(player.Performance() != nullptr, c.expected == -6);
            // The game loads and plays its tunes whatever Init said.
            for (const char* name : {"long.mid", "short.mid", "organ.mid", "drums.mid"}) EXPECT_EQ(player.Load(name), -1);
            EXPECT_EQ(player.Play(0), -1);
            EXPECT_EQ(player.Stop(0), -1);
            EXPECT_EQ(player.Unload(0), -1);
            EXPECT_EQ(player.Current(), -1);
        }
        unsetenv("MEDIA_SOUNDFONT");
        audio.SetNoDevice(false);
        EXPECT_FALSE(audio.IsOpen());
    }
    media::SoundDevice never;
    MusicPlayer player;
    EXPECT_EQ(player.Init(nullptr, &never), -1) << "a device without sound system";
    EXPECT_EQ(player.Load("long.mid"), -1);
}

// Every player of a program finds the same missing SoundFont: the user reads one line naming
// the path tried and the variable that picks another, not one block per player.
std::vector<std::string> soundFontLines;

TEST_F(MusicPlayerTest, MissingSoundFontIsReportedOnceWithTheWayOut) {
    soundFontLines.clear();
    platform::SetDebugOutputHook([](const char* text) {
        if (std::string(text).find("SoundFont") != std::string::npos) soundFontLines.emplace_back(text);
    });
    setenv("MEDIA_SOUNDFONT", "/nonexistent/four-players.sf2", 1);
    for (int i = 0; i < 4; ++i) {
        MusicPlayer player;
        EXPECT_EQ(player.Init(nullptr, nullptr), -6) << i;
    }
    unsetenv("MEDIA_SOUNDFONT");
    platform::SetDebugOutputHook(nullptr);
    ASSERT_EQ(soundFontLines.size(), 1u);
    EXPECT_NE(soundFontLines[0].find("/nonexistent/four-players.sf2"), std::string::npos) << soundFontLines[0];
    EXPECT_NE(soundFontLines[0].find("MEDIA_SOUNDFONT"), std::string::npos) << soundFontLines[0];
}

TEST_F(MusicPlayerTest, EightPerformancesAtOnceAndNoMore) {
    std::vector<std::unique_ptr<MusicPlayer>> players;
    for (int i = 0; i < MidiSynth::kBlocks; ++i) {
        players.push_back(std::make_unique<MusicPlayer>());
        ASSERT_EQ(players.back()->Init(nullptr, nullptr), 1) << i;
    }
    MusicPlayer ninth;
    EXPECT_EQ(ninth.Init(nullptr, nullptr), -4);
    media::SoundDevice device;
    ASSERT_EQ(device.Init(nullptr, 0), S_OK);
    EXPECT_EQ(ninth.Init(nullptr, &device), -5);
    players.pop_back();
    EXPECT_EQ(ninth.Init(nullptr, nullptr), 1) << "a block given back is taken again";
}

TEST_F(MusicPlayerTest, DestroyingAPlayerReleasesItsTunesAndTheOutput) {
    {
        MusicPlayer player;
        ASSERT_EQ(player.Init(nullptr, nullptr), 1);
        ASSERT_EQ(player.Load("long.mid"), 0);
        ASSERT_EQ(player.Load("organ.mid"), 1);
        ASSERT_EQ(player.Play(1), S_OK);
        EXPECT_TRUE(MidiSynth::Exists());
        EXPECT_EQ(audio.Users(), 1);
    }
    EXPECT_FALSE(MidiSynth::Exists()) << "the SoundFont goes with the last performance";
    EXPECT_FALSE(audio.IsOpen());
}

TEST_F(MusicPlayerTest, MusicIsHeardWhilePlayingAndSilentSoonAfterStop) {
    // An organ note held on every one of the 16 channels (the drum channel plays a kit).
    std::vector<std::pair<std::uint8_t, std::uint8_t>> programs;
    std::vector<MidiNote> notes;
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        programs.push_back({channel, 19});
        notes.push_back({channel, static_cast<std::uint8_t>(40 + channel), 100, 0, 9600});
    }
    ASSERT_TRUE(WriteFile("everywhere.mid", MidiFile(programs, notes)));
    MusicPlayer other, player;
    ASSERT_EQ(other.Init(nullptr, nullptr), 1);  // the player's block is then not block 0
    ASSERT_EQ(player.Init(nullptr, nullptr), 1);
    ASSERT_EQ(player.Load("everywhere.mid"), 0);
    EXPECT_EQ(PeakOver(200), 0) << "nothing before Play";
    ASSERT_EQ(player.Play(0), S_OK);
    EXPECT_GT(PeakOver(500), 1000);
    ASSERT_EQ(player.Stop(0), S_OK);
    host.Advance(50);
    EXPECT_EQ(PeakOver(500), 0) << "silent from 50 ms after Stop";
}

TEST_F(MusicPlayerTest, StoppingOnePerformanceLeavesTheOtherPlaying) {
    MusicPlayer menu, game;
    ASSERT_EQ(menu.Init(nullptr, nullptr), 1);
    ASSERT_EQ(game.Init(nullptr, nullptr), 1);
    ASSERT_EQ(menu.Load("organ.mid"), 0);
    ASSERT_EQ(game.Load("organ.mid"), 0);
    ASSERT_EQ(game.Load("short.mid"), 1);
    ASSERT_EQ(menu.Play(0), S_OK);
    ASSERT_EQ(game.Play(0), S_OK);
    host.Advance(300);
    ASSERT_EQ(game.Stop(0), S_OK);
    EXPECT_GT(PeakOver(300), 1000) << "the other performance plays on";
    host.Advance(1500);
    EXPECT_GT(PeakOver(300), 1000) << "its held notes were not released either";
    // A tune that ends by itself leaves the other performance playing too.
    ASSERT_EQ(game.Play(1), S_OK);
    host.Advance(1000);
    EXPECT_GT(PeakOver(300), 1000);
    ASSERT_EQ(menu.Stop(0), S_OK);
    host.Advance(50);
    EXPECT_EQ(PeakOver(300), 0);
}

namespace {

// How far apart two renderings are once aligned: the smallest energy of their difference over
// shifts of up to 256 frames (the synth starts notes on its own 64-frame blocks, so the same
// song can land a few frames later), relative to the energy of the first.
double MismatchAfterAlignment(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b) {
    double energy = 0;
    for (const std::int16_t v : a) energy += static_cast<double>(v) * v;
    double best = 1e300;
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(std::min(a.size(), b.size())) - 1024;
    for (std::ptrdiff_t shift = -512; shift <= 512; shift += 2) {
        double diff = 0;
        for (std::ptrdiff_t i = 512; i < n; ++i) {
            const double d = static_cast<double>(a[static_cast<std::size_t>(i)]) - b[static_cast<std::size_t>(i + shift)];
            diff += d * d;
        }
        best = std::min(best, diff);
    }
    return energy > 0 ? best / energy : 1.0;
}

}  // namespace

TEST_F(MusicPlayerTest, DrumsSoundTheSameOnEveryPerformancesBlock) {
    // The same drum part rendered on block 0 and on block 1 must sound the same: the drum channel
    // of the second block plays the kit, not the piano that the same keys give on channel 0.
    ASSERT_TRUE(WriteFile("keys.mid", MidiFile({}, {{0, 36, 120, 0, 100}, {0, 38, 120, 480, 100}, {0, 42, 120, 960, 100}})));
    auto render = [&](MusicPlayer& player, const char* file) {
        const std::int32_t slot = player.Load(file);
        EXPECT_GE(slot, 0);
        audio.Output();
        audio.ClearOutput();
        EXPECT_EQ(player.Play(slot), S_OK);
        host.Advance(1200);
        std::vector<std::int16_t> out = audio.Output();
        player.Stop(slot);
        host.Advance(100);
        return out;
    };
    MusicPlayer first, second;
    ASSERT_EQ(first.Init(nullptr, nullptr), 1);
    ASSERT_EQ(second.Init(nullptr, nullptr), 1);
    ASSERT_EQ(second.Performance()->Block(), 1);
    const auto drumsOnBlock0 = render(first, "drums.mid");
    const auto keysOnBlock0 = render(first, "keys.mid");
    const auto drumsOnBlock1 = render(second, "drums.mid");
    EXPECT_GT(PeakOf(drumsOnBlock0, 0, FramesOfMs(1200)), 1000);
    EXPECT_LT(MismatchAfterAlignment(drumsOnBlock0, drumsOnBlock1), 0.01);
    EXPECT_GT(MismatchAfterAlignment(drumsOnBlock0, keysOnBlock0), 0.5) << "the comparison tells kit from piano";
}

TEST_F(MusicPlayerTest, ASongEndingLeavesTheOtherPerformancesInstrumentsAlone) {
    // The synth's player gives a finished song up only once the whole synth is silent, which
    // happens while another tune rests between notes: the other tune's next note must still be
    // its organ, as when it plays alone.
    ASSERT_TRUE(WriteFile("gap.mid", MidiFile({{0, 19}}, {{0, 48, 110, 0, 240}, {0, 55, 110, 5760, 960}})));
    auto secondNote = [&](bool withShortTune) {
        MusicPlayer tune, other;
        EXPECT_EQ(tune.Init(nullptr, nullptr), 1);
        EXPECT_EQ(other.Init(nullptr, nullptr), 1);
        EXPECT_EQ(tune.Load("gap.mid"), 0);
        EXPECT_EQ(other.Load("short.mid"), 0);
        EXPECT_EQ(tune.Play(0), S_OK);
        // Either way the same time passes (Play waits).
        if (withShortTune) {
            EXPECT_EQ(other.Play(0), S_OK);
        } else {
            host.Advance(MusicPlayer::kStartWaitMs);
        }
        host.Advance(5900);
        audio.Output();
        audio.ClearOutput();
        host.Advance(1000);
        return audio.Output();
    };
    const auto alone = secondNote(false);
    const auto besideAnother = secondNote(true);
    EXPECT_GT(PeakOf(alone, 0, FramesOfMs(1000)), 1000);
    EXPECT_LT(MismatchAfterAlignment(alone, besideAnother), 0.01);
}

TEST_F(MusicPlayerTest, EverySongStartsOnChannelsAsAFreshSynthHasThem) {
    // A song that sets no program plays the piano, even after a song that chose the organ on the
    // same channel.
    ASSERT_TRUE(WriteFile("organ_note.mid", MidiFile({{0, 19}}, {{0, 60, 100, 0, 480}})));
    ASSERT_TRUE(WriteFile("plain.mid", MidiFile({}, {{0, 60, 100, 0, 480}})));
    auto render = [&](MusicPlayer& player, std::int32_t slot) {
        audio.Output();
        audio.ClearOutput();
        EXPECT_EQ(player.Play(slot), S_OK);
        host.Advance(600);
        auto out = audio.Output();
        player.Stop(slot);
        host.Advance(100);
        return out;
    };
    MusicPlayer fresh;
    ASSERT_EQ(fresh.Init(nullptr, nullptr), 1);
    ASSERT_EQ(fresh.Load("plain.mid"), 0);
    const auto first = render(fresh, 0);
    ASSERT_EQ(fresh.Load("organ_note.mid"), 1);
    render(fresh, 1);
    const auto afterOrgan = render(fresh, 0);
    EXPECT_GT(PeakOf(first, 0, FramesOfMs(600)), 1000);
    EXPECT_LT(MismatchAfterAlignment(first, afterOrgan), 0.01);
}

TEST_F(MusicPlayerTest, LongDirectoryOrFileNamesAreRefused) {
    MusicPlayer player;
    ASSERT_EQ(player.Init(nullptr, nullptr), 1);
    const std::string longName(MusicPlayer::kPathChars, 'n');
    EXPECT_EQ(player.Load(longName.c_str()), -1);
    std::filesystem::path deep = std::filesystem::current_path();
    while (deep.string().size() < MusicPlayer::kPathChars) deep /= std::string(40, 'd');
    std::filesystem::create_directories(deep);
    ASSERT_TRUE(WriteFile((deep / "long.mid").string(), ChordMidi(1.0)));
    std::filesystem::current_path(deep);
    EXPECT_EQ(player.Load("long.mid"), -1) << "a current directory longer than its buffer";
    std::filesystem::current_path(deep.parent_path());
    ASSERT_LT(deep.parent_path().string().size(), MusicPlayer::kPathChars);
    EXPECT_EQ(player.Load((deep.filename() / "long.mid").c_str()), 0);
}

// On an output that runs in real time the synth loads its SoundFont in the background: Init and
// Play return at once, and what was asked for meanwhile is what is heard once it is ready.
class BackgroundSynthTest : public MusicPlayerTest {
protected:
    void SetUp() override {
        MusicPlayerTest::SetUp();
        audio.SetRealTime(true);
    }
    // Waits (wall clock, with a deadline) until the shared synth has loaded its SoundFont.
    static bool SynthLoaded() {
        const std::shared_ptr<MidiSynth> synth = MidiSynth::Acquire();
        if (!synth) return false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (;;) {
            {
                AudioLock lock;
                if (synth->Ready()) return true;
                if (synth->Failed()) return false;
            }
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
};

TEST_F(BackgroundSynthTest, WhatWasAskedWhileLoadingIsHeardOnceReady) {
    struct Case {
        const char* name;
        bool stopBeforeReady;
        bool heard;
    };
    const Case cases[] = {
        {"played while loading: starts when ready", false, true},
        {"played and stopped while loading: never starts", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MusicPlayer player;
        ASSERT_EQ(player.Init(nullptr, nullptr), 1);
        ASSERT_EQ(player.Load("long.mid"), 0);
        ASSERT_EQ(player.Play(0), S_OK);
        if (c.stopBeforeReady) {
            ASSERT_EQ(player.Stop(0), S_OK);
        }
        ASSERT_TRUE(SynthLoaded());
        EXPECT_EQ(PeakOver(500) > 1000, c.heard);
        ASSERT_EQ(player.Stop(0), S_OK);
        host.Advance(50);
        EXPECT_EQ(PeakOver(300), 0) << "silent after Stop";
    }
}

// What can be known at once is known at once: a SoundFont that is missing or is no SoundFont
// fails Init as it does when the synth loads in the foreground.
TEST_F(BackgroundSynthTest, UnusableSoundFontsFailInitAtOnce) {
    ASSERT_TRUE(WriteFile("not_a_soundfont.sf2", Bytes(64, 'x')));
    const std::string notSoundFont = (directory_ / "not_a_soundfont.sf2").string();
    struct Case {
        std::string path;
        std::int32_t init;
    };
    const Case cases[] = {
        {"/nonexistent/background.sf2", -6},
        {notSoundFont, -6},
        {MidiSynth::SoundFontPath(), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        setenv("MEDIA_SOUNDFONT", c.path.c_str(), 1);
        MusicPlayer player;
        EXPECT_EQ(player.Init(nullptr, nullptr), c.init);
        unsetenv("MEDIA_SOUNDFONT");
    }
}
