#include "platform/backends/sdl/sdl_audio.h"

#include <SDL.h>

#include "platform/audio/audio_mixer.h"
#include "platform/backends/sdl/sdl_backend.h"
#include "platform/core/system.h"

namespace platform {

namespace sdl {

SdlAudio& Audio() {
    // The mixer is made first so that it is destroyed last: a device still open at exit is closed
    // (and its callback stopped) before the mixer it pulls from goes away.
    AudioMixer::Shared();
    static SdlAudio audio;
    return audio;
}

namespace {

// About 23 ms per callback: short enough that a started sound is heard at once, long enough
// that a busy game thread does not starve the device.
constexpr Uint16 kCallbackFrames = 1024;

// Said once per process: every sound system and performance of a silent game tries again.
void ReportNoOutput() {
    static bool reported = false;
    if (!reported) OutputDebugString("Audio: no audio output, running silent\n");
    reported = true;
}

void FillFromMixer(void*, Uint8* stream, int length) {
    AudioMixer::Shared().Mix(reinterpret_cast<std::int16_t*>(stream),
                             static_cast<std::size_t>(length) / (sizeof(std::int16_t) * kOutputChannels));
}

}  // namespace

SdlAudio::~SdlAudio() { CloseDevice(); }

bool SdlAudio::Open() {
    if (users_ > 0) {
        ++users_;
        return true;
    }
    LeaveQuitSignalsToTheProgram();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        ReportNoOutput();
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(kOutputRate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kOutputChannels;
    wanted.samples = kCallbackFrames;
    wanted.callback = &FillFromMixer;
    // No changes allowed: SDL converts if the hardware wants another format, so the mixer and the
    // disk driver's file always carry this one.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device_ == 0) {
        ReportNoOutput();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    users_ = 1;
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void SdlAudio::Close() {
    if (users_ == 0) return;
    if (--users_ == 0) CloseDevice();
}

void SdlAudio::CloseDevice() {
    if (device_ == 0) return;
    // Closing waits for the callback's thread, which waits for the lock: never close holding it.
    if (lockedDevice_ != 0) {
        SDL_UnlockAudioDevice(lockedDevice_);
        lockedDevice_ = 0;
    }
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    users_ = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// Nested locks take the device's lock once; the device locked is remembered, so an output opened
// or closed between Lock and Unlock is never unlocked without having been locked.
void SdlAudio::Lock() {
    if (lockDepth_++ == 0 && device_ != 0) {
        lockedDevice_ = device_;
        SDL_LockAudioDevice(lockedDevice_);
    }
}

void SdlAudio::Unlock() {
    if (lockDepth_ == 0) return;
    if (--lockDepth_ == 0 && lockedDevice_ != 0) {
        SDL_UnlockAudioDevice(lockedDevice_);
        lockedDevice_ = 0;
    }
}

}  // namespace sdl
}  // namespace platform
