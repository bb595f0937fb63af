#pragma once
// A sound effect owned by value: a WAV file (PCM, 8 or 16 bits, mono or stereo, any rate) from a
// path or from memory, played once or looping, at a volume.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio.h"
#include "loop.h"
#include "play_options.h"
#include "status.h"

namespace platform {
class VoiceBank;
}

namespace media {

class SoundEffect;
struct WaveSound;

/// A sound effect in a few copies, so it can sound over itself. It keeps its audio output's
/// device alive, so it may outlive the Audio it was loaded for.
class Sound {
public:
    /// How many copies of a sound can play at once.
    static constexpr std::int32_t kCopies = 4;
    /// The largest WAV file Load reads (1 GiB; a sound buffer holds at most 256 MiB of samples):
    /// a larger one is refused by its size, before anything is read.
    static constexpr std::uint64_t kMaxFileBytes = std::uint64_t{1} << 30;

    /// An empty sound; Load or LoadFromMemory fills it.
    Sound();
    ~Sound();
    /// Movable, not copyable.
    /// @{
    Sound(Sound&&) noexcept;
    Sound& operator=(Sound&&) noexcept;
    /// @}

    /// Reads a WAV or Ogg Vorbis file (absolute or relative path); an Ogg file is decoded whole.
    Status Load(Audio& audio, const char* path);
    /// Reads a WAV or Ogg Vorbis file's bytes; they are copied (an Ogg file's decoded samples).
    Status LoadFromMemory(Audio& audio, const void* bytes, std::size_t size);

    /// Starts a free copy, once or looping.
    Status Play(Loop loop = Loop::Once);
    /// Starts a voice with its own volume, pitch and pan: up to Voices() sound at once, and a
    /// play when all sound takes over the one that started first. Name the options
    /// (`Play({.pitch = 2})`, `Play(PlayOptions{})`): a bare `Play({})` is Play(Loop::Once).
    Status Play(const PlayOptions& options);
    /// How many plays with options may sound at once, 1 .. kMaxVoices (kCopies at first).
    Status SetVoices(std::int32_t voices);
    /// The voice count last set.
    std::int32_t Voices() const { return voiceCount_; }
    /// The most voices a sound can have.
    static constexpr std::int32_t kMaxVoices = 64;
    /// Stops every copy.
    Status Stop();
    /// True while a copy is sounding.
    bool IsPlaying() const;
    /// Sets the volume of every copy: 0 silent .. 1 as recorded (clamped to that range).
    Status SetVolume(float volume);
    /// The volume last set (1 at first).
    float Volume() const { return volume_; }
    /// True once a sound was loaded.
    bool Loaded() const;

private:
    Status Scale();
    // Decodes an Ogg Vorbis file whole and loads its samples as a WAV file's.
    Status LoadOgg(Audio& audio, const std::uint8_t* bytes, std::size_t size);
    // The voices over a parsed WAV's samples (null for a sound without a whole frame).
    std::unique_ptr<platform::VoiceBank> MakeVoices(const WaveSound& wave) const;

    std::shared_ptr<Audio::State> audio_;  // the device under the effect's buffers
    std::unique_ptr<SoundEffect> effect_;
    std::vector<std::uint8_t> samples_;  // as recorded, for setting the volume again
    std::uint16_t bits_ = 16;
    float volume_ = 1.0f;
    // Plays with options; declared last, so it leaves the mixer before the device goes.
    std::unique_ptr<platform::VoiceBank> voices_;
    std::int32_t voiceCount_ = kCopies;
};

}  // namespace media
