#pragma once
// A MIDI tune owned by value, from a path (absolute or relative) or from memory. The front door
// reads the file's bytes itself and hands them to the platform's music segment, so MusicPlayer's
// search in the current directory is neither used nor changed.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio.h"
#include "sound.h"
#include "status.h"

namespace platform {
class MidiTimeline;
class MusicSegment;
class VorbisStream;
}

namespace media {

/// A standard MIDI file played on the audio output's synthesiser, or an Ogg Vorbis file streamed
/// (decoded a piece at a time as it plays, never whole); one tune of an Audio sounds at a time,
/// but for the moments of a crossfade. It keeps the audio output alive, so it may outlive its
/// Audio.
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

    /// Reads a standard MIDI file (absolute or relative path), or opens an Ogg Vorbis file to be
    /// read as it plays.
    Status Load(Audio& audio, const char* path);
    /// Reads a standard MIDI file's or an Ogg Vorbis file's bytes; they are copied.
    Status LoadFromMemory(Audio& audio, const void* bytes, std::size_t size);
    /// Starts the tune from its beginning at its volume, stopping any other; with Loop::Forever
    /// the window's frame loop starts it again when it ends.
    Status Play(Loop loop = Loop::Once);
    /// Stops the tune if it is the one playing.
    Status Stop();
    /// True while this tune is the one sounding; a looping tune until it is stopped.
    bool IsPlaying() const;
    /// True once a tune was loaded.
    bool Loaded() const { return segment_ != nullptr || stream_ != nullptr; }
    /// Sets the tune's volume: 0 silent .. 1 as written (clamped to that range), heard at once
    /// when it is the tune playing, else from its next Play.
    Status SetVolume(float volume);
    /// The volume last set (1 at first).
    float Volume() const { return volume_; }

    /// Holds a playing tune where it is (silent, not IsPlaying); Resume goes on from there.
    /// @{
    Status Pause();
    Status Resume();
    bool IsPaused() const;
    /// @}
    /// Moves a playing or paused tune to seconds from its start (clamped to its length); a
    /// stopped tune starts from its beginning at Play.
    Status Seek(double seconds);
    /// Seconds from the start of what is heard next (0 when stopped).
    double Position() const;
    /// The tune's length in seconds (0 when nothing is loaded).
    double Length() const;
    /// Ogg Vorbis tunes: the part that Loop::Forever repeats, from start to end seconds (the
    /// whole tune at first; end 0 or past the length means the end).
    Status SetLoopPoints(double start, double end);
    /// Fades this tune out over seconds while next starts from its beginning and fades in to its
    /// volume. Two Ogg Vorbis tunes overlap, faded sample by sample where they are mixed. With a
    /// MIDI tune on either side this one fades out over the first half, stops, and next fades
    /// in over the second: the output has one synthesiser performance, and an overlap would need
    /// a second (16 more synth channels rendered all the while). That fade is stepped by the
    /// window's frame loop (Audio::Update).
    Status CrossfadeTo(Tune& next, double seconds, Loop loop = Loop::Once);

private:
    void Unload();
    // Ogg Vorbis tunes (tune_stream.cpp).
    Status LoadOggFile(Audio& audio, const char* path);
    Status LoadOggMemory(Audio& audio, const std::uint8_t* bytes, std::size_t size);
    Status PlayStream(Loop loop);
    Status StopStream();
    void UnloadStream();
    static bool IsOggFile(const char* path);
    void StopOthers();
    // Ends the Audio's crossfade if this tune is in it.
    void EndFade();
    bool IsCurrentMidi() const;

    std::shared_ptr<Audio::State> audio_;  // the synthesiser the tune is loaded into
    std::unique_ptr<platform::MusicSegment> segment_;
    float volume_ = 1.0f;
    std::shared_ptr<const platform::MidiTimeline> timeline_;  // a MIDI tune's ticks in seconds
    std::vector<std::uint8_t> oggBytes_;  // what an Ogg tune from memory streams from: before stream_, so it goes after it
    std::unique_ptr<platform::VorbisStream> stream_;  // an Ogg tune; null for MIDI
};

}  // namespace media
