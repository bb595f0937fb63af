#pragma once
// A MIDI tune owned by value, from a path (absolute or relative) or from memory. The front door
// reads the file's bytes itself and hands them to the platform's music segment, so MusicPlayer's
// search in the current directory is neither used nor changed.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "audio.h"
#include "sound.h"
#include "status.h"

namespace platform {
class MusicSegment;
}

namespace media {

/// A standard MIDI file played on the audio output's synthesiser; one tune of an Audio sounds at
/// a time. It keeps the audio output's synthesiser alive, so it may outlive its Audio.
class Tune {
public:
    /// The largest MIDI file Load reads (64 MiB, far beyond any tune): a larger one is refused by
    /// its size, before anything is read.
    static constexpr std::uint64_t kMaxFileBytes = std::uint64_t{64} << 20;

    /// An empty tune; Load or LoadFromMemory fills it.
    Tune();
    ~Tune();
    /// Movable, not copyable.
    /// @{
    Tune(Tune&&) noexcept;
    Tune& operator=(Tune&&) noexcept;
    /// @}

    /// Reads a standard MIDI file (absolute or relative path).
    Status Load(Audio& audio, const char* path);
    /// Reads a standard MIDI file's bytes; they are copied.
    Status LoadFromMemory(Audio& audio, const void* bytes, std::size_t size);
    /// Starts the tune from its beginning at its volume, stopping any other; with Loop::Forever
    /// the window's frame loop starts it again when it ends.
    Status Play(Loop loop = Loop::Once);
    /// Stops the tune if it is the one playing.
    Status Stop();
    /// True while this tune is the one sounding; a looping tune until it is stopped.
    bool IsPlaying() const;
    /// True once a tune was loaded.
    bool Loaded() const { return segment_ != nullptr; }
    /// Sets the tune's volume: 0 silent .. 1 as written (clamped to that range), heard at once
    /// when it is the tune playing, else from its next Play.
    Status SetVolume(float volume);
    /// The volume last set (1 at first).
    float Volume() const { return volume_; }

private:
    void Unload();

    std::shared_ptr<Audio::State> audio_;  // the synthesiser the tune is loaded into
    std::unique_ptr<platform::MusicSegment> segment_;
    float volume_ = 1.0f;
};

}  // namespace media
