#pragma once
// The program's audio output: sound effects (Sound) and MIDI tunes (Tune) are made for it. Call
// Update once a frame so that looping tunes start again when they end.
#include <memory>

#include "status.h"

namespace platform {
class MusicPerformance;
class MusicSegment;
}

namespace media {

class SoundDevice;
class Window;

/// The audio output of one window. Destroy its sounds and tunes before it.
class Audio {
public:
    /// A closed output; Open starts it.
    Audio();
    ~Audio();
    /// Movable, not copyable.
    /// @{
    Audio(Audio&&) noexcept;
    Audio& operator=(Audio&&) noexcept;
    /// @}

    /// Opens the audio output for the window and a MIDI synthesiser for tunes. Without a MIDI
    /// synthesiser (no SoundFont) sounds still play and tunes fail to load, saying why.
    Status Open(const Window& window);
    /// True once the output is open.
    bool IsOpen() const;
    /// Starts a looping tune again once it has ended. Call once a frame.
    void Update();

    /// The layer's objects inside, for Sound and Tune.
    /// @{
    SoundDevice& Device() const;
    platform::MusicPerformance* Music() const;
    /// @}
    /// The tune to start again when it ends (null: none); Tune::Play and Stop set it.
    void SetLoopingTune(platform::MusicSegment* segment) { looping_ = segment; }
    /// The tune last started by Tune::Play, or null.
    platform::MusicSegment* PlayingTune() const { return playing_; }
    /// Records the tune started last.
    void SetPlayingTune(platform::MusicSegment* segment) { playing_ = segment; }

private:
    std::unique_ptr<SoundDevice> device_;
    std::unique_ptr<platform::MusicPerformance> music_;
    platform::MusicSegment* looping_ = nullptr;
    platform::MusicSegment* playing_ = nullptr;
};

}  // namespace media
