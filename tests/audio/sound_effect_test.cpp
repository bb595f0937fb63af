// Sound devices and effects on the headless output: loading, the copies and which buffer plays,
// what is heard, and every failure path.
#include "media/audio/sound_effect.h"

#include <gtest/gtest.h>

#include "media/audio/sound_device.h"
#include "tests/audio/audio_test_support.h"

using namespace audio_test;
using namespace platform;

namespace {

class SoundEffectTest : public AudioTest {
protected:
    void SetUp() override {
        AudioTest::SetUp();
        ASSERT_EQ(device.Init(nullptr, 0), S_OK);
    }
    // Status of buffer i of effect.
    static std::uint32_t StatusOf(const media::SoundEffect& effect, int i) {
        std::uint32_t status = 0xDEAD;
        EXPECT_EQ(effect.Buffer(i)->GetStatus(&status), S_OK);
        return status;
    }
    static std::uint32_t PositionOf(const media::SoundEffect& effect, int i) {
        std::uint32_t play = 0, write = 0;
        EXPECT_EQ(effect.Buffer(i)->GetCurrentPosition(&play, &write), S_OK);
        return play;
    }
    media::SoundDevice device;
};

using SoundDeviceTest = AudioTest;

}  // namespace

TEST_F(SoundDeviceTest, InitAndItsFailures) {
    {
        media::SoundDevice device;
        EXPECT_TRUE(device.Disabled());
        EXPECT_EQ(device.SetPrimaryFormat(22050, true, true), DSERR_UNINITIALIZED);
        EXPECT_EQ(device.Init(nullptr, 1), S_OK);  // exclusive, with the primary format
        EXPECT_FALSE(device.Disabled());
        EXPECT_EQ(device.Sound()->CooperativeLevel(), DSSCL_EXCLUSIVE);
        EXPECT_TRUE(audio.IsOpen());
    }
    EXPECT_FALSE(audio.IsOpen()) << "the last user closes the output";

    audio.SetNoDevice(true);
    media::SoundDevice silent;
    EXPECT_EQ(silent.Init(nullptr, 0), DSERR_NODRIVER);
    EXPECT_TRUE(silent.Disabled());
    EXPECT_EQ(silent.Sound(), nullptr);
    audio.SetNoDevice(false);

    // The primary buffer's format is asked for after the device is enabled: its error is
    // reported, and effects still play.
    audio.SetFault(AudioFault::CreateSoundBuffer, E_OUTOFMEMORY);
    media::SoundDevice primary;
    EXPECT_EQ(primary.Init(nullptr, 1), E_OUTOFMEMORY);
    EXPECT_FALSE(primary.Disabled());
    EXPECT_EQ(primary.Init(nullptr, 0), S_OK) << "without a primary format no buffer is made";
    audio.SetFault(AudioFault::CreateSoundBuffer, S_OK);

    audio.SetFault(AudioFault::SetCooperativeLevel, E_ACCESSDENIED);
    media::SoundDevice refused;
    EXPECT_EQ(refused.Init(nullptr, 0), E_ACCESSDENIED);
    EXPECT_TRUE(refused.Disabled());
    EXPECT_NE(refused.Sound(), nullptr) << "the sound system stays after the cooperative level failed";
}

TEST_F(SoundDeviceTest, DisabledAndUninitialisedDevicesKeepEffectsSilent) {
    const Bytes wave = ToneWave(44100, 4410);

    // Cooperative level refused: effects load, Play answers 0 and nothing sounds.
    audio.SetFault(AudioFault::SetCooperativeLevel);
    media::SoundDevice disabled;
    disabled.Init(nullptr, 0);
    media::SoundEffect effect;
    ASSERT_EQ(effect.CreateFromWaveMemory(&disabled, wave.data(), wave.size(), 1), S_OK);
    EXPECT_EQ(effect.Play(0), S_OK);
    std::uint32_t status = 0;
    effect.Buffer(0)->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    host.Advance(50);
    EXPECT_EQ(PeakOf(audio.Output(), 0, FramesOfMs(50)), 0);

    // Never initialised: nothing loads, and the effect has no device.
    media::SoundDevice never;
    media::SoundEffect orphan;
    EXPECT_EQ(orphan.CreateFromWaveMemory(&never, wave.data(), wave.size(), 1), DSERR_UNINITIALIZED);
    EXPECT_EQ(orphan.Device(), nullptr);
    EXPECT_EQ(orphan.Play(0), DSERR_UNINITIALIZED);
    EXPECT_EQ(orphan.CreateFromWaveMemory(nullptr, wave.data(), wave.size(), 1), E_INVALIDARG);
    EXPECT_EQ(orphan.CreateFromWaveMemory(&never, nullptr, 0, 1), E_INVALIDARG);
}

TEST_F(SoundEffectTest, LoadsFromFilesAndReportsReadingFailures) {
    ASSERT_TRUE(WriteFile("item.wav", ToneWave(22050, 100)));
    ASSERT_TRUE(WriteFile("noise.wav", Bytes(100, 0x55)));
    std::filesystem::create_directory("folder.wav");
    media::SoundEffect effect;
    EXPECT_EQ(effect.CreateFromWaveFile(&device, nullptr, 1), E_INVALIDARG);
    EXPECT_EQ(effect.CreateFromWaveFile(&device, "missing.wav", 1), E_FAIL);
    EXPECT_EQ(effect.CreateFromWaveFile(&device, "folder.wav", 1), E_FAIL) << "a read failure is a failure";
    EXPECT_EQ(effect.Buffer(0), nullptr);
    EXPECT_EQ(effect.CreateFromWaveFile(&device, "noise.wav", 1), DSERR_BADFORMAT);
    ASSERT_EQ(effect.CreateFromWaveFile(&device, "item.wav", 2), S_OK);
    EXPECT_EQ(effect.Copies(), 2);
    EXPECT_EQ(effect.Buffer(0)->Bytes(), 200u);
    // A file that cannot be opened leaves the loaded sound alone.
    EXPECT_EQ(effect.CreateFromWaveFile(&device, "missing.wav", 1), E_FAIL);
    EXPECT_NE(effect.Buffer(1), nullptr);
}

TEST_F(SoundEffectTest, BuildingFailuresLeaveNoBuffers) {
    const Bytes wave = ToneWave(22050, 100);
    struct Case {
        const char* name;
        AudioFault fault;
        int copies;
        HRESULT expected;
    };
    const Case cases[] = {
        {"create fails", AudioFault::CreateSoundBuffer, 3, E_OUTOFMEMORY},
        {"lock fails", AudioFault::LockSoundBuffer, 3, DSERR_BUFFERLOST},
        {"duplicate fails", AudioFault::DuplicateSoundBuffer, 3, E_OUTOFMEMORY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        media::SoundEffect effect;
        ASSERT_EQ(effect.CreateFromWaveMemory(&device, wave.data(), wave.size(), 2), S_OK);
        audio.SetFault(c.fault, c.expected);
        EXPECT_EQ(effect.CreateFromWaveMemory(&device, wave.data(), wave.size(), c.copies), c.expected);
        audio.SetFault(c.fault, S_OK);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(effect.Buffer(i), nullptr);
        EXPECT_EQ(effect.Copies(), 1);
        EXPECT_EQ(effect.Play(0), DSERR_ALLOCATED);
    }
    media::SoundEffect effect;
    EXPECT_EQ(effect.CreateFromWaveMemory(&device, wave.data(), wave.size(), 257), E_INVALIDARG);
    EXPECT_EQ(effect.CreateFromWaveMemory(&device, wave.data(), wave.size(), 256), S_OK);
    EXPECT_EQ(effect.Copies(), 256);
    EXPECT_EQ(effect.CreateFromWaveMemory(&device, wave.data(), wave.size(), -5), S_OK);
    EXPECT_EQ(effect.Copies(), 1);
}

TEST_F(SoundEffectTest, SingleBufferIsBusyUntilItEndsThenStartsAgainFromTheBeginning) {
    const Bytes wave = ToneWave(22050, 22050);  // one second
    media::SoundEffect effect;
    ASSERT_EQ(effect.CreateFromWaveMemory(&device, wave.data(), wave.size(), 1), S_OK);
    ASSERT_EQ(effect.Play(0), S_OK);
    host.Advance(400);
    EXPECT_EQ(effect.Play(0), DSERR_ALLOCATED) << "the single buffer is busy";
    EXPECT_EQ(StatusOf(effect, 0), DSBSTATUS_PLAYING);
    EXPECT_NEAR(PositionOf(effect, 0), 400u * 22050 / 1000 * 2, 4u) << "the first play went on";
    host.Advance(599);
    EXPECT_EQ(StatusOf(effect, 0), DSBSTATUS_PLAYING);
    host.Advance(2);
    EXPECT_EQ(StatusOf(effect, 0), 0u) << "a one-second sound ends after a second of virtual time";
    EXPECT_EQ(PositionOf(effect, 0), 0u);
    EXPECT_EQ(effect.Play(0), S_OK);
    EXPECT_EQ(effect.Current(), 0);
    host.Advance(10);
    EXPECT_NEAR(PositionOf(effect, 0), 10u * 22050 / 1000 * 2, 4u);
}

TEST_F(SoundEffectTest, FourPlaysWithThreeCopiesCutOffTheOldest) {
    const Bytes wave = ToneWave(44100, 44100);
    media::SoundEffect effect;
    ASSERT_EQ(effect.CreateFromWaveMemory(&device, wave.data(), wave.size(), 3), S_OK);
    const int expectedCurrent[] = {0, 1, 2, 0};
    for (int play = 0; play < 4; ++play) {
        SCOPED_TRACE(play);
        host.Advance(100);
        ASSERT_EQ(effect.Play(0), S_OK);
        EXPECT_EQ(effect.Current(), expectedCurrent[play]);
    }
    host.Advance(1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(StatusOf(effect, i), DSBSTATUS_PLAYING);
    // Buffer 0 was rewound 1 ms ago; buffers 1 and 2 started 201 and 101 ms ago.
    EXPECT_NEAR(PositionOf(effect, 0), 1u * 441 / 10 * 2, 4u);
    EXPECT_NEAR(PositionOf(effect, 1), 201u * 441 / 10 * 2, 4u);
    EXPECT_NEAR(PositionOf(effect, 2), 101u * 441 / 10 * 2, 4u);
    // A free current buffer is reused: after every copy has ended, plays stay on buffer 0.
    host.Advance(2000);
    ASSERT_EQ(effect.Play(0), S_OK);
    host.Advance(1100);
    ASSERT_EQ(effect.Play(0), S_OK);
    EXPECT_EQ(effect.Current(), 0);
}

TEST_F(SoundEffectTest, DuplicatesShareTheSamplesOfBufferZero) {
    const Bytes wave = PlainWave(1, 44100, 16, Samples16({100, 100, 100, 100}));
    media::SoundEffect effect;
    ASSERT_EQ(effect.CreateFromWaveMemory(&device, wave.data(), wave.size(), 2), S_OK);
    void* region1 = nullptr;
    void* region2 = nullptr;
    std::uint32_t bytes1 = 0, bytes2 = 0;
    // The last two frames, through a lock that wraps: two regions.
    ASSERT_EQ(effect.Buffer(0)->Lock(4, 8, &region1, &bytes1, &region2, &bytes2, 0), S_OK);
    EXPECT_EQ(bytes1, 4u);
    EXPECT_EQ(bytes2, 4u);
    const std::int16_t written[4] = {-5, -6, 7, 8};
    std::memcpy(region1, written, 4);
    std::memcpy(region2, written + 2, 4);
    ASSERT_EQ(effect.Buffer(0)->Unlock(region1, bytes1, region2, bytes2), S_OK);
    EXPECT_EQ(effect.Buffer(0)->Unlock(region1, bytes1, region2, bytes2), E_INVALIDARG) << "not locked";
    audio.ClearOutput();
    ASSERT_EQ(effect.Buffer(1)->Play(0, 0, 0), S_OK);
    host.Advance(1);
    const std::int16_t heard[] = {7, 8, -5, -6, 0};
    for (std::size_t frame = 0; frame < std::size(heard); ++frame) EXPECT_EQ(audio.Output()[frame * 2], heard[frame]) << frame;
}

TEST_F(SoundEffectTest, RebuildingWithFewerCopiesStartsAtBufferZero) {
    const Bytes wave = ToneWave(44100, 44100);
    media::SoundEffect effect;
    ASSERT_EQ(effect.CreateFromWaveMemory(&device, wave.data(), wave.size(), 3), S_OK);
    for (int i = 0; i < 3; ++i) effect.Play(0);
    ASSERT_EQ(effect.Current(), 2);
    ASSERT_EQ(effect.CreateFromWaveMemory(&device, wave.data(), wave.size(), 1), S_OK);
    EXPECT_EQ(effect.Current(), 0);
    EXPECT_EQ(effect.Copies(), 1);
    EXPECT_EQ(effect.Play(0), S_OK);
    EXPECT_EQ(effect.Play(0), DSERR_ALLOCATED);
    effect.Release();
    EXPECT_EQ(effect.Device(), nullptr);
    EXPECT_EQ(effect.Play(0), DSERR_UNINITIALIZED);
}

TEST_F(SoundEffectTest, PositionsAreByteOffsetsOfWholeFrames) {
    const Bytes wave = PlainWave(2, 44100, 16, Samples16(std::vector<std::int16_t>(2000, 0)));  // 1000 frames
    media::SoundEffect effect;
    ASSERT_EQ(effect.CreateFromWaveMemory(&device, wave.data(), wave.size(), 1), S_OK);
    SoundBuffer& buffer = *effect.Buffer(0);
    struct Case {
        std::uint32_t set;
        HRESULT result;
        std::uint32_t read;
    };
    const Case cases[] = {{400, S_OK, 400}, {402, S_OK, 400}, {3996, S_OK, 3996}, {4000, E_INVALIDARG, 3996}, {0, S_OK, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        EXPECT_EQ(buffer.SetCurrentPosition(c.set), c.result);
        EXPECT_EQ(PositionOf(effect, 0), c.read);
    }
    ASSERT_EQ(buffer.SetCurrentPosition(3600), S_OK);
    ASSERT_EQ(effect.Play(0), S_OK);
    host.Advance(1);
    EXPECT_EQ(StatusOf(effect, 0), DSBSTATUS_PLAYING);
    EXPECT_EQ(PositionOf(effect, 0), 3600u + 44 * 4);
    host.Advance(2);
    EXPECT_EQ(StatusOf(effect, 0), 0u) << "the last 100 frames took less than 3 ms";
}

TEST_F(SoundEffectTest, LostBuffersAreRestoredByPlay) {
    const Bytes wave = ToneWave(44100, 4410);
    media::SoundEffect effect;
    ASSERT_EQ(effect.CreateFromWaveMemory(&device, wave.data(), wave.size(), 1), S_OK);
    ASSERT_EQ(effect.Play(DSBPLAY_LOOPING), S_OK);
    audio.LoseSoundBuffers();
    EXPECT_EQ(StatusOf(effect, 0), DSBSTATUS_BUFFERLOST);
    EXPECT_EQ(effect.Buffer(0)->Play(0, 0, 0), DSERR_BUFFERLOST);
    audio.SetFault(AudioFault::RestoreSoundBuffer);
    EXPECT_EQ(effect.Play(0), DSERR_ALLOCATED) << "a buffer that cannot be restored is not played";
    audio.SetFault(AudioFault::RestoreSoundBuffer, S_OK);
    audio.ClearOutput();
    EXPECT_EQ(effect.Play(0), S_OK);
    host.Advance(20);
    EXPECT_EQ(StatusOf(effect, 0), DSBSTATUS_PLAYING);
    EXPECT_EQ(PeakOf(audio.Output(), 0, FramesOfMs(20)), 8000) << "the restored buffer kept its samples";
}

// What is heard: formats converted to 16-bit stereo at 44.1 kHz, voices summed and clamped.
TEST_F(SoundEffectTest, MixerConvertsEveryFormatIntoTheOutput) {
    struct Case {
        const char* name;
        Bytes file;
        std::vector<std::int16_t> expected;  // the first output frames, left and right
    };
    const Case cases[] = {
        {"16-bit stereo 44.1 kHz as it is, left then right",
         PlainWave(2, 44100, 16, Samples16({1000, -2000, 3000, -4000, 5, 6})), {1000, -2000, 3000, -4000, 5, 6}},
        {"16-bit mono on both sides", PlainWave(1, 44100, 16, Samples16({-7, 300})), {-7, -7, 300, 300}},
        {"8-bit mono around 128", PlainWave(1, 44100, 8, {0x80, 0xFF, 0x00}), {0, 0, 127 * 256, 127 * 256, -32768, -32768}},
        {"8-bit stereo", PlainWave(2, 44100, 8, {0x90, 0x70}), {16 * 256, -16 * 256}},
        {"22.05 kHz: every other frame between its neighbours", PlainWave(1, 22050, 16, Samples16({0, 1000, 3000})),
         {0, 0, 500, 500, 1000, 1000, 2000, 2000, 3000, 3000, 3000, 3000}},
        {"11.025 kHz: quarters", PlainWave(1, 11025, 16, Samples16({0, 4000})),
         {0, 0, 1000, 1000, 2000, 2000, 3000, 3000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        audio.ClearOutput();
        const std::size_t start = audio.Output().size();
        media::SoundEffect effect;
        ASSERT_EQ(effect.CreateFromWaveMemory(&device, c.file.data(), c.file.size(), 1), S_OK);
        ASSERT_EQ(effect.Play(0), S_OK);
        host.Advance(10);
        const auto& out = audio.Output();
        ASSERT_GE(out.size(), start + c.expected.size() + 4);
        for (std::size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(out[start + i], c.expected[i]) << "sample " << i;
        EXPECT_EQ(out[start + c.expected.size()], 0) << "silence after the end";
        effect.Release();
    }
}

TEST_F(SoundEffectTest, VoicesAreSummedAndClamped) {
    const Bytes loud = PlainWave(1, 44100, 16, Samples16(std::vector<std::int16_t>(100, 30000)));
    const Bytes quiet = PlainWave(1, 44100, 16, Samples16(std::vector<std::int16_t>(100, -1000)));
    media::SoundEffect a, b, c;
    ASSERT_EQ(a.CreateFromWaveMemory(&device, quiet.data(), quiet.size(), 1), S_OK);
    ASSERT_EQ(b.CreateFromWaveMemory(&device, quiet.data(), quiet.size(), 1), S_OK);
    audio.ClearOutput();
    a.Play(0);
    b.Play(0);
    host.Advance(1);
    EXPECT_EQ(audio.Output()[0], -2000);
    ASSERT_EQ(c.CreateFromWaveMemory(&device, loud.data(), loud.size(), 2), S_OK);
    audio.ClearOutput();
    c.Play(0);
    c.Play(0);
    host.Advance(1);
    EXPECT_EQ(audio.Output()[1], 32767) << "two copies at 30000 clamp to the 16-bit range";
}

TEST_F(SoundEffectTest, LoopingPlaysOnUntilStopped) {
    const Bytes wave = PlainWave(1, 44100, 16, Samples16({100, 200, 300}));
    media::SoundEffect effect;
    ASSERT_EQ(effect.CreateFromWaveMemory(&device, wave.data(), wave.size(), 1), S_OK);
    audio.ClearOutput();
    ASSERT_EQ(effect.Play(DSBPLAY_LOOPING), S_OK);
    host.Advance(5);
    const auto& out = audio.Output();
    for (std::size_t frame = 0; frame < 12; ++frame) EXPECT_EQ(out[frame * 2], 100 * (1 + frame % 3)) << frame;
    EXPECT_EQ(StatusOf(effect, 0), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    effect.Buffer(0)->Stop();
    audio.ClearOutput();
    host.Advance(5);
    EXPECT_EQ(PeakOf(audio.Output(), 0, 200), 0);
}
