#pragma once
// The process's one audio output: signed 16-bit stereo at 44,100 frames per second, fed by the
// shared mixer (sound buffers and the music synth). Sound systems and music performances hold it
// open while they live: the first user opens the device, the last closes it. The chosen backend
// (CurrentAudioHost()) has an output that pulls frames from AudioMixer::Shared() with the
// host's lock held, so every change from the game's thread takes the same lock (AudioLock).
#include <cstdint>
#include <memory>

#include "../core/result_codes.h"

namespace platform {

/// The shared output's rate (frames a second) and channels (left, right).
/// @{
inline constexpr std::uint32_t kOutputRate = 44100;
inline constexpr int kOutputChannels = 2;
/// @}

/// Audio operations the headless backend can make fail; the real backend never fails them on
/// purpose.
enum class AudioFault {
    SetCooperativeLevel,
    CreateSoundBuffer,
    DuplicateSoundBuffer,
    LockSoundBuffer,
    RestoreSoundBuffer,
    Count
};

/// What a backend provides for sound: the one output every sound system and synth shares.
class AudioHost {
public:
    virtual ~AudioHost() = default;

    /// One more user of the output; the first opens the device. False when there is no output
    /// (no sound card): then nothing was opened and the caller must not Close.
    virtual bool Open() = 0;
    /// One user fewer; the last closes the device.
    virtual void Close() = 0;
    /// Holds the output still while the game's thread changes what the mixer plays. Nests.
    virtual void Lock() = 0;
    /// Ends a Lock.
    virtual void Unlock() = 0;
    /// True when the output plays by itself at the wall clock's pace (a sound card): slow set-up,
    /// such as the music synth's SoundFont, may then finish on another thread while the program
    /// goes on. The headless output advances with the virtual clock, so what it plays is set up
    /// before the call that asked for it returns, and every rendering repeats exactly.
    virtual bool RunsInRealTime() const { return false; }
    /// False when nobody listens to the output (a replay that writes traces and pictures): music
    /// is then rendered with the least work that keeps its timing, since only its timing shows.
    virtual bool Heard() const { return true; }
    /// Injected failure for an audio operation, S_OK when it should go ahead.
    virtual HRESULT FaultAt(AudioFault) { return S_OK; }
};

/// The chosen backend's part (platform/core/backend.h).
AudioHost& CurrentAudioHost();

/// The host's lock for one scope.
class AudioLock {
public:
    AudioLock() : host_(CurrentAudioHost()) { host_.Lock(); }
    ~AudioLock() { host_.Unlock(); }
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;

private:
    AudioHost& host_;
};

/// One use of the output, held open from construction to destruction; shared by a sound system
/// and every buffer it made, so the device stays open while any of them lives.
class AudioOutputUse {
public:
    /// Null when there is no output.
    static std::shared_ptr<AudioOutputUse> Open();
    ~AudioOutputUse() { CurrentAudioHost().Close(); }
    AudioOutputUse(const AudioOutputUse&) = delete;
    AudioOutputUse& operator=(const AudioOutputUse&) = delete;

private:
    AudioOutputUse() = default;
};

inline std::shared_ptr<AudioOutputUse> AudioOutputUse::Open() {
    if (!CurrentAudioHost().Open()) return nullptr;
    return std::shared_ptr<AudioOutputUse>(new AudioOutputUse);
}

}  // namespace platform
