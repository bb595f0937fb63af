// Sounds played with a volume, a pitch and a pan, on the headless backend: the output's frequency
// and waveform follow the pitch, each side's energy follows the pan, and a sound sounds over
// itself as many times as its voice count allows.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "media/app/zamelmedia.h"
#include "tests/app/open_audio_test.h"
#include "tests/audio/audio_test_support.h"

namespace {

constexpr double kPi = std::numbers::pi;

// A sine of frequency hz for frames at rate, 16-bit mono, at amplitude.
audio_test::Bytes SineWave(std::uint32_t rate, double hz, std::uint32_t frames, double amplitude = 16000) {
    std::vector<std::int16_t> values(frames);
    for (std::uint32_t i = 0; i < frames; ++i) {
        values[i] = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * kPi * hz * i / rate)));
    }
    return audio_test::PlainWave(1, rate, 16, audio_test::Samples16(values));
}

// One channel (0 left, 1 right) of interleaved stereo output.
std::vector<double> Side(const std::vector<std::int16_t>& output, int side, std::size_t frames) {
    std::vector<double> values;
    for (std::size_t i = 0; i < frames && 2 * i + 1 < output.size(); ++i) values.push_back(output[2 * i + side]);
    return values;
}

// Sign changes (zeros skipped) over a run of samples, as cycles a second at 44,100 frames a second.
double FrequencyOf(const std::vector<double>& values) {
    int crossings = 0;
    double last = 0;
    for (const double v : values) {
        if (v == 0) continue;
        if (last != 0 && (v > 0) != (last > 0)) ++crossings;
        last = v;
    }
    return crossings / 2.0 / (static_cast<double>(values.size()) / 44100.0);
}

double EnergyOf(const std::vector<double>& values) {
    double sum = 0;
    for (const double v : values) sum += v * v;
    return sum;
}

class FrontDoorVoicesTest : public OpenAudioTest {
protected:
    void Load(media::Sound& sound, const audio_test::Bytes& wave) { ASSERT_TRUE(sound.LoadFromMemory(output, wave.data(), wave.size())); }
};

// The pitch is the speed: the output's frequency is the recording's times the pitch, and between
// the recording's frames the waveform is interpolated (compared sample by sample with the ideal
// sine, which a voice that held or skipped frames would miss by far more than the tolerance).
TEST_F(FrontDoorVoicesTest, PitchSetsTheFrequencyAndTheWaveformIsInterpolated) {
    struct Case {
        std::uint32_t rate;
        float pitch;
        double expected;  // the pitch after clamping
    };
    const Case cases[] = {{44100, 1.0f, 1.0}, {44100, 0.5f, 0.5}, {44100, 0.75f, 0.75}, {44100, 1.5f, 1.5}, {44100, 2.0f, 2.0},
                          {22050, 1.0f, 1.0}, {22050, 1.25f, 1.25}, {48000, 0.8f, 0.8}, {44100, 0.1f, 0.5}, {44100, 4.0f, 2.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "rate " << c.rate << ", pitch " << c.pitch);
        media::Sound sound;
        Load(sound, SineWave(c.rate, 441, c.rate));  // one second of 441 Hz
        StartListening();
        ASSERT_TRUE(sound.Play({.pitch = c.pitch}));
        const std::size_t frames = audio_test::FramesOfMs(200);
        const std::vector<double> left = Side(Hear(200), 0, frames);
        ASSERT_EQ(left.size(), frames);
        EXPECT_NEAR(FrequencyOf(left), 441 * c.expected, 441 * c.expected * 0.02);
        // In the middle, each side carries 1/sqrt(2) of the recording.
        double worst = 0;
        for (std::size_t k = 0; k < frames; ++k) {
            const double ideal = 16000 * std::sqrt(0.5) * std::sin(2 * kPi * 441 * (static_cast<double>(k) * c.expected) / 44100);
            worst = std::max(worst, std::abs(left[k] - ideal));
        }
        EXPECT_LT(worst, 80) << "largest distance from the ideal sine, of an amplitude of 11,314";
    }
}

// Equal power: each side's share of the energy is cos² and sin² of (pan + 1) * pi / 4, and the
// two add up to the same whatever the pan.
TEST_F(FrontDoorVoicesTest, PanSetsEachSidesShareOfTheEnergy) {
    media::Sound sound;
    Load(sound, SineWave(44100, 441, 44100));
    const std::size_t frames = audio_test::FramesOfMs(100);
    double total = 0;
    for (const float pan : {-1.0f, -0.5f, -0.25f, 0.0f, 0.3f, 0.5f, 1.0f, -3.0f, 3.0f}) {
        SCOPED_TRACE(::testing::Message() << "pan " << pan);
        StartListening();
        ASSERT_TRUE(sound.Play({.pan = pan}));
        const std::vector<std::int16_t>& heard = Hear(100);
        const double left = EnergyOf(Side(heard, 0, frames)), right = EnergyOf(Side(heard, 1, frames));
        ASSERT_TRUE(sound.Stop());
        const double angle = (std::clamp(pan, -1.0f, 1.0f) + 1) * kPi / 4;
        EXPECT_NEAR(left / (left + right), std::cos(angle) * std::cos(angle), 0.005);
        if (total == 0) total = left + right;
        EXPECT_NEAR(left + right, total, total * 0.01) << "the same power wherever the sound is placed";
    }
}

// The level heard is the recording's times the play's volume times the sound's own; the sound's
// volume changes voices already sounding.
TEST_F(FrontDoorVoicesTest, VolumeOfThePlayAndOfTheSoundMultiply) {
    media::Sound sound;
    Load(sound, audio_test::ToneWave(44100, 44100, 10000));
    const double middle = 10000 * std::sqrt(0.5);
    struct Case {
        float soundVolume, playVolume;
        double share;
    };
    for (const Case c : {Case{1, 1, 1}, Case{1, 0.5f, 0.5}, Case{0.5f, 0.5f, 0.25}, Case{1, 2, 1}, Case{1, -1, 0}, Case{0, 1, 0}}) {
        SCOPED_TRACE(::testing::Message() << "sound " << c.soundVolume << ", play " << c.playVolume);
        ASSERT_TRUE(sound.SetVolume(c.soundVolume));
        StartListening();
        ASSERT_TRUE(sound.Play({.volume = c.playVolume}));
        EXPECT_NEAR(audio_test::PeakOf(Hear(50), 0, audio_test::FramesOfMs(50)), middle * c.share, 2);
        ASSERT_TRUE(sound.Stop());
    }
    ASSERT_TRUE(sound.SetVolume(1));
    ASSERT_TRUE(sound.Play(media::PlayOptions{}));
    Hear(50);
    ASSERT_TRUE(sound.SetVolume(0.5f));
    StartListening();
    EXPECT_NEAR(audio_test::PeakOf(Hear(50), 0, audio_test::FramesOfMs(50)), middle * 0.5, 2) << "set while sounding";
}

// A sound sounds over itself as often as its voice count; past it, a play takes over the voice
// that started first.
TEST_F(FrontDoorVoicesTest, VoiceCountSetsHowManyPlaysSoundAtOnce) {
    const audio_test::Bytes tone = audio_test::ToneWave(44100, 44100, 1000);
    const double one = 1000 * std::sqrt(0.5);
    struct Case {
        std::int32_t voices, plays, heard;
    };
    for (const Case c : {Case{4, 8, 4}, Case{8, 8, 8}, Case{16, 10, 10}, Case{1, 3, 1}, Case{64, 30, 30}}) {
        SCOPED_TRACE(::testing::Message() << c.voices << " voices, " << c.plays << " plays");
        media::Sound sound;
        if (c.voices != media::Sound::kCopies) {
            ASSERT_TRUE(sound.SetVoices(c.voices));
        }
        Load(sound, tone);
        EXPECT_EQ(sound.Voices(), c.voices);
        StartListening();
        for (int i = 0; i < c.plays; ++i) ASSERT_TRUE(sound.Play(media::PlayOptions{}));
        EXPECT_NEAR(audio_test::PeakOf(Hear(50), 0, audio_test::FramesOfMs(50)), one * c.heard, c.heard + 1.0);
        EXPECT_TRUE(sound.IsPlaying());
    }
    media::Sound sound;
    for (const std::int32_t wrong : {0, -1, media::Sound::kMaxVoices + 1}) {
        const media::Status status = sound.SetVoices(wrong);
        EXPECT_EQ(status.Code(), media::ErrorCode::InvalidArgument) << wrong;
    }
    EXPECT_EQ(sound.Voices(), media::Sound::kCopies);

    // Two voices, a 300 ms tone started at 0, 100 and 200 ms: the third takes the first's voice,
    // so at 350 ms the second (to 400) and the third (to 500) sound.
    Load(sound, audio_test::ToneWave(44100, audio_test::FramesOfMs(300), 1000));
    ASSERT_TRUE(sound.SetVoices(2));
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(sound.Play(media::PlayOptions{}));
        Hear(100);
    }
    Hear(50);
    StartListening();
    EXPECT_NEAR(audio_test::PeakOf(Hear(20), 0, audio_test::FramesOfMs(20)), one * 2, 3) << "the oldest voice was taken over";
    StartListening();
    EXPECT_NEAR(audio_test::PeakOf(Hear(100), audio_test::FramesOfMs(70), audio_test::FramesOfMs(100)), one, 2);
}

// A looping play goes on past its end until Stop; one played once ends by itself.
TEST_F(FrontDoorVoicesTest, LoopingPlaySoundsUntilStopped) {
    media::Sound sound;
    Load(sound, SineWave(44100, 441, audio_test::FramesOfMs(100)));
    for (const media::Loop loop : {media::Loop::Once, media::Loop::Forever}) {
        const bool again = loop == media::Loop::Forever;
        ASSERT_TRUE(sound.Play({.pitch = 1.5f, .loop = loop}));
        Hear(1000);
        EXPECT_EQ(sound.IsPlaying(), again);
        StartListening();
        const std::vector<double> left = Side(Hear(200), 0, audio_test::FramesOfMs(200));
        if (again) {
            EXPECT_NEAR(FrequencyOf(left), 441 * 1.5, 441 * 0.03) << "the loop goes on at its pitch";
        } else {
            EXPECT_EQ(EnergyOf(left), 0);
        }
        ASSERT_TRUE(sound.Stop());
        EXPECT_FALSE(sound.IsPlaying());
        StartListening();
        EXPECT_EQ(audio_test::PeakOf(Hear(100), 0, audio_test::FramesOfMs(100)), 0);
    }
    // At half speed every second frame lies halfway between two of the clip's: at the loop's joint
    // between its last frame and its first.
    media::Sound ramp;
    Load(ramp, audio_test::PlainWave(1, 44100, 16, audio_test::Samples16({0, 4000, 8000, 12000})));
    StartListening();
    ASSERT_TRUE(ramp.Play({.pitch = 0.5f, .loop = media::Loop::Forever}));
    const std::vector<double> left = Side(Hear(1), 0, 16);
    const double side = std::sqrt(0.5);
    const std::vector<double> expected = {0, 2000, 4000, 6000, 8000, 10000, 12000, 6000, 0, 2000, 4000, 6000, 8000, 10000, 12000, 6000};
    ASSERT_EQ(left.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(left[i], expected[i] * side, 1.0) << "frame " << i;
    ASSERT_TRUE(ramp.Stop());

    media::Sound empty;
    EXPECT_EQ(empty.Play(media::PlayOptions{}).Code(), media::ErrorCode::NotOpen);
}

}  // namespace
