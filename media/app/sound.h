#pragma once
// A sound effect owned by value: a WAV file (PCM, 8 or 16 bits, mono or stereo, any rate) from a
// path or from memory, played once or looping, at a volume.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio.h"
#include "status.h"

namespace media {

class SoundEffect;

/// Whether a sound or tune starts again when it ends.
enum class Loop {
    Once,     ///< plays to its end
    Forever,  ///< starts again at its end until stopped
};

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

    /// Reads a WAV file (absolute or relative path).
    Status Load(Audio& audio, const char* path);
    /// Reads a WAV file's bytes; they are copied.
    Status LoadFromMemory(Audio& audio, const void* bytes, std::size_t size);

    /// Starts a free copy, once or looping.
    Status Play(Loop loop = Loop::Once);
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

    std::shared_ptr<Audio::State> audio_;  // the device under the effect's buffers
    std::unique_ptr<SoundEffect> effect_;
    std::vector<std::uint8_t> samples_;  // as recorded, for setting the volume again
    std::uint16_t bits_ = 16;
    float volume_ = 1.0f;
};

}  // namespace media
