#pragma once
// The program's audio output: sound effects (Sound) and MIDI tunes (Tune) are made for it. The
// window's frame loop keeps it going (a looping tune starts again when it ends): a program only
// opens it.
#include <memory>

#include "status.h"

namespace platform {
class MusicPerformance;
}

namespace media {

class SoundDevice;
class Window;

/// The audio output of one window. Its sounds and tunes keep what they need of it, so they may
/// be destroyed before or after it.
class Audio {
public:
    /// A closed output; Open starts it.
    Audio();
    ~Audio();
    /// Movable, not copyable; sounds and tunes made for it stay with it.
    /// @{
    Audio(Audio&&) noexcept;
    Audio& operator=(Audio&&) noexcept;
    /// @}

    /// Opens the audio output for the window and a MIDI synthesiser for tunes. Without a MIDI
    /// synthesiser (no SoundFont) sounds still play and tunes fail to load, saying why. From
    /// then on the window's NextFrame keeps looping tunes going.
    Status Open(const Window& window);
    /// True once the output is open.
    bool IsOpen() const;
    /// Starts a looping tune again once it has ended. Window::NextFrame calls it every frame; a
    /// program that runs no frame loop of the window's calls it itself.
    void Update();

    /// The layer's objects inside, for programs that mix the front door with the layer's classes.
    /// Only while the output is open (Music is null without a synthesiser).
    /// @{
    SoundDevice& Device() const;
    platform::MusicPerformance* Music() const;
    /// @}

    /// What the output shares with its sounds, tunes and the window's frame loop.
    struct State;
    /// The shared state (null while closed), for Sound and Tune.
    const std::shared_ptr<State>& Shared() const { return state_; }

private:
    std::shared_ptr<State> state_;
};

}  // namespace media
