#pragma once
// The SDL2 audio output: the one SDL audio device of the process, signed 16-bit stereo at
// 44,100 Hz, whose callback pulls the shared mixer's output. The first user opens it and the
// last closes it. When no device can be opened (a machine without a sound card) Open says so
// and the program runs silent. Changes from the game's thread hold the device's lock, the same
// lock SDL holds around the callback.
#include <cstdint>

#include "platform/audio/audio_host.h"

namespace platform::sdl {

class SdlAudio final : public AudioHost {
public:
    SdlAudio() = default;
    ~SdlAudio() override;
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    bool Open() override;
    void Close() override;
    void Lock() override;
    void Unlock() override;
    bool RunsInRealTime() const override { return true; }

private:
    void CloseDevice();

    std::uint32_t device_ = 0;  // SDL_AudioDeviceID, 0 while closed
    int users_ = 0;
    int lockDepth_ = 0;
    std::uint32_t lockedDevice_ = 0;  // the device whose lock the game's thread holds
};

// The backend's one SdlAudio, made on first use.
SdlAudio& Audio();

}  // namespace platform::sdl
