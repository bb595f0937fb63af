// Ogg Vorbis through the front door, on the headless backend: a streamed tune is heard sample for
// sample as stb_vorbis decodes the whole file, it seeks, pauses, loops between its loop points
// and crossfades; a sound decodes whole and plays at its pitch; a damaged file says why.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "media/app/zamelmedia.h"
#include "tests/app/open_audio_test.h"
#include "tests/audio/audio_test_support.h"
#include "tests/audio/ogg_encoder.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb/stb_vorbis.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The whole file decoded by stb_vorbis in one call, as stereo frames (mono doubled).
std::vector<std::int16_t> ReferenceStereo(const Bytes& file) {
    int channels = 0, rate = 0;
    short* output = nullptr;
    const int frames = stb_vorbis_decode_memory(file.data(), static_cast<int>(file.size()), &channels, &rate, &output);
    std::vector<std::int16_t> stereo;
    for (int i = 0; i < frames; ++i) {
        stereo.push_back(output[i * channels]);
        stereo.push_back(output[i * channels + (channels > 1 ? 1 : 0)]);
    }
    std::free(output);
    return stereo;
}

// The first frame where heard and expected differ from a given frame on, or -1.
long FirstDifference(const std::vector<std::int16_t>& heard, std::size_t heardFrom, const std::vector<std::int16_t>& expected,
                     std::size_t expectedFrom, std::size_t frames) {
    for (std::size_t i = 0; i < frames; ++i) {
        for (int side = 0; side < 2; ++side) {
            if (heard.at((heardFrom + i) * 2 + side) != expected.at((expectedFrom + i) * 2 + side)) return static_cast<long>(i);
        }
    }
    return -1;
}

double EnergyOf(const std::vector<std::int16_t>& output, std::size_t from, std::size_t to) {
    double sum = 0;
    for (std::size_t i = from * 2; i < to * 2 && i < output.size(); ++i) sum += static_cast<double>(output[i]) * output[i];
    return sum;
}

class FrontDoorOggTest : public OpenAudioTest {
protected:

};

TEST_F(FrontDoorOggTest, StreamedTuneIsStbVorbisWholeDecodeSampleForSample) {
    struct Case {
        const char* name;
        int channels;
        bool fromFile;
    };
    for (const Case c : {Case{"mono, memory", 1, false}, Case{"stereo, memory", 2, false}, Case{"stereo, file", 2, true}}) {
        SCOPED_TRACE(c.name);
        const Bytes file = audio_test::SineOgg(441, 1.5, 44100, c.channels);
        const std::vector<std::int16_t> reference = ReferenceStereo(file);
        media::Tune tune;
        if (c.fromFile) {
            ASSERT_TRUE(audio_test::WriteFile("tune.ogg", file));
            ASSERT_TRUE(tune.Load(output, "tune.ogg"));
        } else {
            ASSERT_TRUE(tune.LoadFromMemory(output, file.data(), file.size()));
        }
        EXPECT_DOUBLE_EQ(tune.Length(), reference.size() / 2 / 44100.0);
        StartListening();
        ASSERT_TRUE(tune.Play());
        EXPECT_TRUE(tune.IsPlaying());
        const std::vector<std::int16_t>& heard = Hear(1700);
        ASSERT_GE(heard.size(), reference.size());
        EXPECT_EQ(FirstDifference(heard, 0, reference, 0, reference.size() / 2), -1);
        EXPECT_EQ(EnergyOf(heard, reference.size() / 2, heard.size() / 2), 0) << "silent after its end";
        EXPECT_FALSE(tune.IsPlaying());
    }
}

TEST_F(FrontDoorOggTest, TuneAtAnotherRatePlaysAtItsOwnSpeed) {
    const Bytes file = audio_test::SineOgg(441, 1.0, 22050, 1);
    media::Tune tune;
    ASSERT_TRUE(tune.LoadFromMemory(output, file.data(), file.size()));
    EXPECT_NEAR(tune.Length(), 1.0, 0.001);
    StartListening();
    ASSERT_TRUE(tune.Play());
    const std::vector<std::int16_t>& heard = Hear(500);
    int crossings = 0;
    for (std::size_t i = 2 * 2205; i + 2 < 2 * 22050; i += 2) crossings += (heard[i] > 0) != (heard[i + 2] > 0);
    EXPECT_NEAR(crossings / 2.0 / (19845 / 44100.0), 441, 441 * 0.02);
}

// A seek lands on the frame asked for (within one piece of decoding at most): what follows is
// the reference from there, and Position says where.
TEST_F(FrontDoorOggTest, SeekLandsWhereAskedAndPositionFollows) {
    const Bytes file = audio_test::SineOgg(441, 3.0, 44100, 2);
    const std::vector<std::int16_t> reference = ReferenceStereo(file);
    media::Tune tune;
    ASSERT_TRUE(tune.LoadFromMemory(output, file.data(), file.size()));
    ASSERT_TRUE(tune.Play());
    Hear(100);
    for (const double to : {2.0, 0.5, 0.0, 1.2345, 2.9}) {
        SCOPED_TRACE(::testing::Message() << "seek to " << to);
        ASSERT_TRUE(tune.Seek(to));
        const auto frame = static_cast<std::size_t>(std::llround(to * 44100));
        EXPECT_NEAR(tune.Position(), to, 1.0 / 44100);
        StartListening();
        const std::vector<std::int16_t>& heard = Hear(50);
        const std::size_t frames = std::min<std::size_t>(heard.size() / 2, reference.size() / 2 - frame);
        EXPECT_EQ(FirstDifference(heard, 0, reference, frame, frames), -1);
        EXPECT_NEAR(tune.Position(), std::min(to + 0.05, 3.0), 0.002);
    }
    // A 22,050 Hz tune steps half a frame an output frame: every second output frame is a source
    // frame as it is, from the one sought on.
    const Bytes half = audio_test::SineOgg(441, 3.0, 22050, 2);
    const std::vector<std::int16_t> halfReference = ReferenceStereo(half);
    media::Tune slow;
    ASSERT_TRUE(slow.LoadFromMemory(output, half.data(), half.size()));
    ASSERT_TRUE(slow.Play());
    Hear(100);
    for (const double to : {2.0, 0.5, 1.2345}) {
        SCOPED_TRACE(::testing::Message() << "22,050 Hz, seek to " << to);
        ASSERT_TRUE(slow.Seek(to));
        const auto frame = static_cast<std::size_t>(std::llround(to * 22050));
        EXPECT_NEAR(slow.Position(), to, 1.0 / 22050);
        StartListening();
        const std::vector<std::int16_t>& heard = Hear(50);
        for (std::size_t k = 0; k < audio_test::FramesOfMs(50) / 2; ++k) {
            ASSERT_EQ(heard[4 * k], halfReference[(frame + k) * 2]) << "output frame " << 2 * k;
        }
        EXPECT_NEAR(slow.Position(), to + 0.05, 0.002);
    }
    ASSERT_TRUE(slow.Stop());

    ASSERT_TRUE(tune.Play());
    EXPECT_TRUE(tune.Seek(99));  // past the end: the end, and the tune is over
    Hear(10);
    EXPECT_FALSE(tune.IsPlaying());
    EXPECT_EQ(tune.Seek(std::nan("")).Code(), media::ErrorCode::InvalidArgument);
}

TEST_F(FrontDoorOggTest, PausedTuneIsSilentAndResumesWhereItWas) {
    const Bytes file = audio_test::SineOgg(441, 2.0, 44100, 1);
    const std::vector<std::int16_t> reference = ReferenceStereo(file);
    media::Tune tune;
    ASSERT_TRUE(tune.LoadFromMemory(output, file.data(), file.size()));
    StartListening();
    ASSERT_TRUE(tune.Play());
    Hear(300);
    ASSERT_TRUE(tune.Pause());
    EXPECT_TRUE(tune.IsPaused());
    EXPECT_FALSE(tune.IsPlaying());
    const double at = tune.Position();
    EXPECT_NEAR(at, 0.3, 0.001);
    StartListening();
    EXPECT_EQ(EnergyOf(Hear(500), 0, audio_test::FramesOfMs(500)), 0);
    EXPECT_DOUBLE_EQ(tune.Position(), at);
    StartListening();
    ASSERT_TRUE(tune.Resume());
    EXPECT_TRUE(tune.IsPlaying());
    const std::vector<std::int16_t>& heard = Hear(200);
    EXPECT_EQ(FirstDifference(heard, 0, reference, static_cast<std::size_t>(std::llround(at * 44100)), audio_test::FramesOfMs(200)), -1);
}

// A looping tune goes from its loop's end back to its loop's start (the whole tune by default),
// with no frame lost or repeated at the joint.
TEST_F(FrontDoorOggTest, LoopingTuneRepeatsBetweenItsLoopPoints) {
    const Bytes file = audio_test::SineOgg(441, 1.0, 44100, 2);
    const std::vector<std::int16_t> reference = ReferenceStereo(file);
    const std::size_t length = reference.size() / 2;
    struct Case {
        double start, end;
        std::size_t from, to;  // frames
    };
    for (const Case c : {Case{0, 0, 0, length}, Case{0.25, 0.75, 11025, 33075}, Case{0.5, 0, 22050, length}}) {
        SCOPED_TRACE(::testing::Message() << "loop " << c.start << " .. " << c.end);
        media::Tune tune;
        ASSERT_TRUE(tune.LoadFromMemory(output, file.data(), file.size()));
        ASSERT_TRUE(tune.SetLoopPoints(c.start, c.end));
        StartListening();
        ASSERT_TRUE(tune.Play(media::Loop::Forever));
        const std::vector<std::int16_t>& heard = Hear(2500);
        // From the start to the loop's end, then the loop again and again.
        std::vector<std::int16_t> expected(reference.begin(), reference.begin() + static_cast<std::ptrdiff_t>(c.to * 2));
        while (expected.size() < heard.size()) {
            expected.insert(expected.end(), reference.begin() + static_cast<std::ptrdiff_t>(c.from * 2),
                            reference.begin() + static_cast<std::ptrdiff_t>(c.to * 2));
        }
        EXPECT_EQ(FirstDifference(heard, 0, expected, 0, heard.size() / 2), -1);
        EXPECT_TRUE(tune.IsPlaying());
    }
    media::Tune tune;
    ASSERT_TRUE(tune.LoadFromMemory(output, file.data(), file.size()));
    for (const auto& [start, end] : {std::pair{0.5, 0.5}, std::pair{-1.0, 0.5}, std::pair{0.9, 0.2}}) {
        EXPECT_EQ(tune.SetLoopPoints(start, end).Code(), media::ErrorCode::InvalidArgument) << start << " .. " << end;
    }
}

// Over the crossfade the first tune's share falls and the second's rises, together at the
// middle; then only the second sounds.
// Over the crossfade the first tune's share falls and the second's rises, together at the
// middle; then only the second sounds. At 44.1 kHz the tunes are added a run at a time, at other
// rates frame by frame through the interpolation: both fade.
TEST_F(FrontDoorOggTest, CrossfadeHandsOverFromOneTuneToTheNext) {
    for (const int rate : {44100, 22050}) {
        SCOPED_TRACE(::testing::Message() << rate << " Hz");
        const Bytes low = audio_test::SineOgg(441, 3.0, rate, 1), high = audio_test::SineOgg(882, 3.0, rate, 1);
        media::Tune first, second;
        ASSERT_TRUE(first.LoadFromMemory(output, low.data(), low.size()));
        ASSERT_TRUE(second.LoadFromMemory(output, high.data(), high.size()));
        ASSERT_TRUE(first.Play());
        Hear(100);
        StartListening();
        const double alone = EnergyOf(Hear(100), 0, audio_test::FramesOfMs(100));
        StartListening();
        ASSERT_TRUE(first.CrossfadeTo(second, 1.0));
        const std::vector<std::int16_t>& heard = Hear(1500);
        const auto energyAt = [&](std::uint32_t ms) {
            return EnergyOf(heard, audio_test::FramesOfMs(ms), audio_test::FramesOfMs(ms + 20));
        };
        // Two sines an octave apart add without beating over 20 ms: the energy is the sum of shares².
        EXPECT_NEAR(energyAt(0) / (alone / 5), 1.0, 0.1);
        EXPECT_NEAR(energyAt(490) / (alone / 5), 0.5, 0.06) << "a quarter of each at the middle";
        EXPECT_NEAR(energyAt(1200) / (alone / 5), 1.0, 0.1);
        EXPECT_NEAR(energyAt(1450) / (alone / 5), 1.0, 0.1) << "the fade in stops at the tune's volume";
        EXPECT_FALSE(first.IsPlaying());
        EXPECT_TRUE(second.IsPlaying());
        int crossings = 0;
        for (std::size_t i = audio_test::FramesOfMs(1100) * 2; i < audio_test::FramesOfMs(1300) * 2; i += 2) crossings += (heard[i] > 0) != (heard[i + 2] > 0);
        EXPECT_NEAR(crossings / 2.0 / 0.2, 882, 882 * 0.02) << "only the second tune after the fade";
        ASSERT_TRUE(second.Stop());
    }
}

TEST_F(FrontDoorOggTest, SoundDecodesWholeAndPlaysAtItsPitch) {
    const Bytes file = audio_test::SineOgg(441, 0.5, 44100, 1);
    const std::vector<std::int16_t> reference = ReferenceStereo(file);
    media::Sound sound;
    ASSERT_TRUE(sound.LoadFromMemory(output, file.data(), file.size()));
    StartListening();
    ASSERT_TRUE(sound.Play());
    const std::vector<std::int16_t>& heard = Hear(600);
    EXPECT_EQ(FirstDifference(heard, 0, reference, 0, reference.size() / 2), -1) << "played as decoded";
    StartListening();
    ASSERT_TRUE(sound.Play({.pitch = 2.0f}));
    const std::vector<std::int16_t>& pitched = Hear(200);
    int crossings = 0;
    for (std::size_t i = 0; i + 2 < audio_test::FramesOfMs(200) * 2; i += 2) crossings += (pitched[i] > 0) != (pitched[i + 2] > 0);
    EXPECT_NEAR(crossings / 2.0 / 0.2, 882, 882 * 0.02);
}

TEST_F(FrontDoorOggTest, DamagedFileGivesAStatusThatSaysWhy) {
    const Bytes good = audio_test::SineOgg(441, 0.5, 44100, 1);
    const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    Bytes flipped = good;
    flipped[good.size() - 100] ^= 0x40;
    ASSERT_TRUE(audio_test::WriteFile("cut.ogg", cut));
    for (const auto& [name, file, why] : {std::tuple{"cut", cut, "truncated"}, std::tuple{"flipped", flipped, "corrupt"}}) {
        SCOPED_TRACE(name);
        media::Sound sound;
        media::Status status = sound.LoadFromMemory(output, file.data(), file.size());
        EXPECT_EQ(status.Code(), media::ErrorCode::BadData);
        EXPECT_NE(status.Message().find(why), std::string::npos) << status.Message();
        EXPECT_FALSE(sound.Loaded());
        media::Tune tune;
        status = tune.LoadFromMemory(output, file.data(), file.size());
        EXPECT_EQ(status.Code(), media::ErrorCode::BadData);
        EXPECT_NE(status.Message().find(why), std::string::npos) << status.Message();
        EXPECT_FALSE(tune.Loaded());
    }
    media::Tune tune;
    const media::Status status = tune.Load(output, "cut.ogg");
    EXPECT_NE(status.Message().find("cut.ogg"), std::string::npos) << status.Message();
    EXPECT_NE(status.Message().find("truncated"), std::string::npos) << status.Message();
}

}  // namespace
