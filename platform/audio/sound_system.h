#pragma once
// The sound system: the object sound buffers are made from. It holds the audio output open while
// it lives (so do its buffers), records the cooperative level it was given, and creates static
// buffers, their duplicates and the primary buffer.
#include <cstdint>
#include <memory>

#include "audio_host.h"
#include "sound_buffer.h"
#include "../core/result_codes.h"

namespace platform {

class Window;

/// Cooperative levels (recorded; every level shares the one output).
/// @{
inline constexpr std::uint32_t DSSCL_NORMAL = 1;
inline constexpr std::uint32_t DSSCL_PRIORITY = 2;
inline constexpr std::uint32_t DSSCL_EXCLUSIVE = 3;
inline constexpr std::uint32_t DSSCL_WRITEPRIMARY = 4;
/// @}

/// A sound system: the sound buffers of the shared output.
class SoundSystem {
public:
    /// Over the shared output.
    explicit SoundSystem(std::shared_ptr<AudioOutputUse> output) : output_(std::move(output)) {}
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    /// Sets or reads the cooperative level, for the window.
    /// @{
    HRESULT SetCooperativeLevel(Window* window, std::uint32_t level);
    std::uint32_t CooperativeLevel() const { return level_; }
    /// @}
    /// The window the level was last set for (null before; recorded, never used).
    Window* CooperativeWindow() const { return window_; }
    /// A static buffer of desc.bufferBytes zeroed bytes in desc.format, or with
    /// DSBCAPS_PRIMARYBUFFER the primary buffer (no format, no bytes).
    HRESULT CreateSoundBuffer(const SoundBufferDesc& desc, std::unique_ptr<SoundBuffer>* buffer);
    /// A new buffer sharing the original's samples, stopped at position 0.
    HRESULT DuplicateSoundBuffer(const SoundBuffer& original, std::unique_ptr<SoundBuffer>* duplicate);

private:
    std::shared_ptr<AudioOutputUse> output_;
    std::uint32_t level_ = 0;
    Window* window_ = nullptr;
};

/// The sound system on the default output (the guid is reserved and must be null); DSERR_NODRIVER
/// when there is no audio output.
HRESULT DirectSoundCreate(const void* guid, std::unique_ptr<SoundSystem>* system);

}  // namespace platform
