#pragma once
// A bank of voices over one clip of 16-bit samples: each voice plays the clip at its own speed
// (pitch, by linear interpolation), loudness and place between the speakers (equal-power pan),
// once or looping. The front door's sounds play through it when asked for pitch or pan; a sound
// can have more voices than its four buffers, and a start when every voice sounds takes over the
// voice that started first. The mixer calls MixInto on the output's thread with the audio lock
// held; every other call takes the same lock, so a voice is never changed while it is mixed.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio_mixer.h"

namespace platform {

/// Decoded samples: signed 16-bit, interleaved when stereo, at their own rate.
struct PcmClip {
    std::vector<std::int16_t> samples;
    std::uint32_t rate = 0;
    std::uint16_t channels = 0;  ///< 1 or 2
    /// Frames in the clip (samples per channel).
    std::uint64_t Frames() const { return channels ? samples.size() / channels : 0; }
};

/// A clip from PCM samples as a WAV file holds them (8-bit unsigned or 16-bit signed
/// little-endian, 1 or 2 channels interleaved); a trailing partial frame is dropped.
std::shared_ptr<PcmClip> MakePcmClip(const std::uint8_t* bytes, std::size_t size, std::uint16_t channels,
                                     std::uint16_t bits, std::uint32_t rate);

/// How one voice starts.
struct VoiceStart {
    float volume = 1.0f;  ///< 0 .. 1
    float pitch = 1.0f;   ///< playback speed, kMinPitch .. kMaxPitch (clamped)
    float pan = 0.0f;     ///< -1 left .. 1 right (clamped)
    bool looping = false;
};

/// Voices over one clip, mixed into the shared output.
class VoiceBank final : public MixerInput {
public:
    /// The most voices a bank holds, and the range of playback speeds.
    /// @{
    static constexpr std::int32_t kMaxVoices = 64;
    static constexpr float kMinPitch = 0.5f;
    static constexpr float kMaxPitch = 2.0f;
    /// @}

    /// A bank of voices (clamped to 1..kMaxVoices) over a clip of at least one frame.
    VoiceBank(std::shared_ptr<const PcmClip> clip, std::int32_t voices);
    ~VoiceBank() override;
    VoiceBank(const VoiceBank&) = delete;
    VoiceBank& operator=(const VoiceBank&) = delete;

    /// How many voices may sound at once (clamped to 1..kMaxVoices); voices past the new count stop.
    void SetVoices(std::int32_t voices);
    std::int32_t Voices() const { return voices_; }
    /// A gain over every voice, 0 .. 1: the sound's own volume, heard at once.
    void SetGain(float gain);
    /// Starts a free voice, or the one that started first when all sound.
    void Start(const VoiceStart& start);
    /// Silences every voice.
    void StopAll();
    /// Voices sounding now.
    std::int32_t Sounding() const;

    /// MixerInput: adds every sounding voice; false once none sounds.
    bool MixInto(std::int32_t* accumulator, std::size_t frames) override;

private:
    struct Voice {
        bool sounding = false;
        bool looping = false;
        std::uint64_t position = 0;  ///< frames, 32.32 fixed point
        std::uint64_t step = 0;      ///< clip frames per output frame, 32.32
        float left = 0, right = 0;   ///< volume times the pan's share of each side
        std::uint64_t order = 0;     ///< when it started, to find the oldest
    };
    template <int Channels>
    void MixVoice(Voice& voice, std::int32_t* out, std::size_t frames) const;

    std::shared_ptr<const PcmClip> clip_;
    std::array<Voice, kMaxVoices> voice_{};
    std::int32_t voices_;
    float gain_ = 1.0f;
    std::uint64_t started_ = 0;
};

}  // namespace platform
