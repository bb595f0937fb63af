// Music on SDL's own audio thread, as on a sound card: SDL's disk driver runs the callback that
// renders the synth at the wall clock's pace and writes what it mixed to a file, while the test's
// thread changes what plays. Under ThreadSanitizer (tools/test.sh --thread) every access the two
// threads share is checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/backend.h"
#include "platform/music/music_performance.h"
#include "platform/music/music_segment.h"
#include "tests/audio/audio_test_support.h"

namespace {

using namespace platform;

// The samples SDL has written to the file so far.
std::vector<std::int16_t> Written(const std::string& path) {
    std::vector<std::int16_t> samples;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::int16_t chunk[4096];
        std::size_t got = 0;
        while ((got = std::fread(chunk, sizeof chunk[0], 4096, file)) > 0) samples.insert(samples.end(), chunk, chunk + got);
        std::fclose(file);
    }
    return samples;
}

// Polls (wall clock, with a deadline) until the last 100 ms written are loud, or are silent.
bool LastWrittenBecomes(const std::string& path, bool loud) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    const std::size_t tail = audio_test::FramesOfMs(100) * 2;
    for (;;) {
        const std::vector<std::int16_t> samples = Written(path);
        if (samples.size() >= tail) {
            int peak = 0;
            for (std::size_t i = samples.size() - tail; i < samples.size(); ++i) peak = std::max(peak, std::abs(int{samples[i]}));
            if ((peak > 1000) == loud) return true;
        }
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TEST(SdlAudioThread, MusicVolumeChangesWhileTheCallbackRenders) {
    char pattern[] = "/tmp/sdl_audio_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string path = std::string(pattern) + "/out.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    if (!UseBackend("sdl")) GTEST_SKIP() << "another backend is in use in this process (ctest runs each test alone)";
    {
        MusicPerformance music;
        ASSERT_EQ(music.Init(nullptr), S_OK) << "SDL's disk audio driver";
        ASSERT_EQ(music.AddPort(nullptr), S_OK);
        MusicSegment organ(audio_test::MidiFile({{0, 19}}, {{0, 48, 110, 0, 30000}, {0, 55, 110, 0, 30000}}));
        ASSERT_EQ(organ.SetParam(SegmentParam::StandardMidiFile, &music), S_OK);
        ASSERT_EQ(music.PlaySegment(&organ, 0, 0, nullptr), S_OK);
        EXPECT_TRUE(LastWrittenBecomes(path, true)) << "the organ is heard once the SoundFont has loaded";
        // The game's thread turns the volume while the callback renders the song.
        for (int i = 0; i < 200; ++i) music.SetVolume(i % 2 ? 1.0f : 0.5f);
        music.SetVolume(0.0f);
        EXPECT_TRUE(LastWrittenBecomes(path, false)) << "volume 0 is silence";
        music.SetVolume(1.0f);
        EXPECT_TRUE(LastWrittenBecomes(path, true)) << "and the organ is back at volume 1";
        music.CloseDown();
    }
    std::remove(path.c_str());
    std::remove(pattern);
}

}  // namespace
