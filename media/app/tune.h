#pragma once
// A MIDI tune owned by value, from a path (absolute or relative) or from memory. The front door
// reads the file's bytes itself and hands them to the platform's music segment, so MusicPlayer's
// search in the current directory is neither used nor changed.
#include <cstddef>
#include <memory>

#include "sound.h"
#include "status.h"

namespace platform {
class MusicSegment;
}

namespace media {

class Audio;

/// A standard MIDI file played on the audio output's synthesiser; one tune sounds at a time.
/// Destroy it before its Audio. Tunes have no volume of their own: the synthesiser is shared.
class Tune {
public:
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
    /// Starts the tune from its beginning, stopping any other; with Loop::Forever Audio::Update
    /// starts it again when it ends.
    Status Play(Loop loop = Loop::Once);
    /// Stops the tune if it is the one playing.
    Status Stop();
    /// True while this tune is the one sounding.
    bool IsPlaying() const;
    /// True once a tune was loaded.
    bool Loaded() const { return segment_ != nullptr; }

private:
    void Unload();

    Audio* audio_ = nullptr;
    std::unique_ptr<platform::MusicSegment> segment_;
};

}  // namespace media
