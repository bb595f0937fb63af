#pragma once
// What an Audio shares with its sounds, its tunes and the window's frame loop: the sound device,
// the music performance and the tune playing. Sounds and tunes hold it too, so it outlives every
// one of them, whatever order a program destroys them in, and moving the Audio moves no part of it.
#include <memory>

#include "media/app/audio.h"
#include "media/app/frame_task.h"

namespace platform {
class MusicPerformance;
class MusicSegment;
class VorbisStream;
}

namespace media {

class SoundDevice;
class TuneFade;

struct Audio::State final : FrameTask {
    ~State() override;
    // Starts the looping tune again once it has ended.
    void OnFrame() override;
    // The output belongs to the window opened again.
    void OnWindowOpened(const Window& window) override;

    std::unique_ptr<SoundDevice> device;
    // Null without a MIDI synthesiser (no SoundFont).
    std::unique_ptr<platform::MusicPerformance> music;
    platform::MusicSegment* playing = nullptr;  // the tune last started, until stopped
    platform::MusicSegment* looping = nullptr;  // the tune to start again when it ends
    platform::VorbisStream* streaming = nullptr;  // the Ogg tune last started, until stopped
    std::unique_ptr<TuneFade> fade;  // a crossfade with a MIDI tune, stepped once a frame
};

}  // namespace media
