#pragma once
// SoundEffect: one sound from a WAV file in one or more identical static buffers, so that the same
// effect can sound several times at once. Buffer 0 holds the samples; the others are duplicates
// sharing them. A plain class: the owner calls Release before deleting it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "sound_device.h"
#include "../../platform/audio/sound_buffer.h"
#include "../../platform/core/result_codes.h"

namespace media {

/// A sound effect from a WAV file (PCM, 8 or 16 bits, mono or stereo, any rate) in one or more
/// copies, so it can sound several times at once. Owns its buffers; the SoundDevice must outlive
/// it. Call Release before destroying it.
class SoundEffect {
public:
    /// Most buffers one effect holds.
    static constexpr std::int32_t kMaxCopies = 256;

    /// An effect without buffers. Not copyable.
    /// @{
    SoundEffect() = default;
    SoundEffect(const SoundEffect&) = delete;
    SoundEffect& operator=(const SoundEffect&) = delete;
    /// @}

    /// Reads the whole file and builds copies buffers (at least 1, at most kMaxCopies) on the
    /// device. E_INVALIDARG for a null name, E_FAIL when the file cannot be opened or read, else
    /// what building gives.
    platform::HRESULT CreateFromWaveFile(SoundDevice* device, const char* fileName, std::int32_t copies);
    /// Builds the buffers from a WAV file's bytes. 0, or E_INVALIDARG (no bytes, no device, more
    /// than kMaxCopies), DSERR_UNINITIALIZED (device without sound system), DSERR_BADFORMAT,
    /// E_NOTIMPL (not PCM), E_OUTOFMEMORY or the platform's error; on any failure no buffers.
    platform::HRESULT CreateFromWaveMemory(SoundDevice* device, const std::uint8_t* bytes, std::size_t size,
                                           std::int32_t copies);
    /// Starts a free buffer once, or looping with DSBPLAY_LOOPING. DSERR_UNINITIALIZED without a
    /// device, 0 without sound on a disabled device, DSERR_ALLOCATED when no buffer can be had.
    platform::HRESULT Play(std::uint32_t flags);
    /// Releases every buffer and forgets the device.
    void Release();

    /// The number of buffers, the one played last, and the device they were made on.
    /// @{
    std::int32_t Copies() const { return copies_; }
    std::int32_t Current() const { return current_; }
    SoundDevice* Device() const { return device_; }
    /// @}
    /// Buffer i, null when there is none.
    platform::SoundBuffer* Buffer(std::int32_t i) const;

private:
    void ReleaseBuffers();
    platform::HRESULT BuildBuffers(platform::SoundSystem& sound, const std::uint8_t* bytes, std::size_t size,
                                   std::int32_t copies);
    platform::HRESULT FillFirstBuffer(const std::uint8_t* samples, std::uint32_t bytes);
    platform::SoundBuffer* PickBuffer();

    std::int32_t copies_ = 1;
    std::int32_t current_ = 0;
    SoundDevice* device_ = nullptr;
    std::vector<std::unique_ptr<platform::SoundBuffer>> buffers_;
};

}  // namespace media
