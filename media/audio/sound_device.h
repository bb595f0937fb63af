#pragma once
// SoundDevice: the game's sound system for its window. Until Init succeeds it is disabled, and
// every effect made on it stays silent (Play answers 0).
#include <cstdint>
#include <memory>

#include "../../platform/audio/sound_system.h"
#include "../../platform/core/result_codes.h"
#include "../../platform/window/window.h"

namespace media {

/// The program's audio output for its window: Init it once, then make SoundEffect and MusicPlayer
/// objects on it. Owns its sound system; every effect and player made on it must go first.
class SoundDevice {
public:
    /// A disabled device; Init opens the output. Not copyable.
    /// @{
    SoundDevice() = default;
    virtual ~SoundDevice() = default;
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;
    /// @}

    /// Creates the sound system on the default output and sets the cooperative level (exclusive
    /// with a primary format, else normal); with primaryFormat non-zero the primary buffer is then
    /// asked for 22,050 Hz, 16 bits, stereo. 0 or the platform's error: DSERR_NODRIVER without an
    /// audio output; an error of the cooperative level keeps the sound system but stays disabled.
    platform::HRESULT Init(platform::HWND window, std::int32_t primaryFormat);
    /// Asks the primary buffer for a format; DSERR_UNINITIALIZED without a sound system.
    platform::HRESULT SetPrimaryFormat(std::uint32_t rate, bool sixteenBit, bool stereo);

    /// True until Init succeeded: effects on a disabled device play nothing.
    bool Disabled() const { return disabled_ != 0; }
    /// The sound system (owned by the device; null before Init).
    platform::SoundSystem* Sound() const { return sound_.get(); }

private:
    std::int32_t disabled_ = 1;
    std::unique_ptr<platform::SoundSystem> sound_;
};

}  // namespace media
