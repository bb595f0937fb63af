#pragma once
// A sound buffer: a block of PCM samples (any rate, 8 or 16 bits, mono or stereo) that plays into
// the shared mixer once or looping, with a play position, a status and restore after loss.
// Duplicates share the samples of the buffer they were made from and keep their own position,
// so several copies of one sound cost no extra sample memory. Made by a SoundSystem.
#include <cstdint>
#include <memory>
#include <vector>

#include "audio_host.h"
#include "audio_mixer.h"
#include "../core/result_codes.h"

namespace platform {

/// The PCM format of a buffer's samples, laid out as in a WAV file's format chunk.
struct WaveFormatEx {
    /// The WAV format chunk's fields: PCM tag, channels, frame rate, bytes a second, bytes a frame, bits a sample, extra bytes.
    /// @{
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
    /// @}
};
/// The format tag of PCM samples.
inline constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

/// Rates and sizes a buffer accepts: what the mixer can step through without overflow.
/// @{
inline constexpr std::uint32_t kMinSampleRate = 1;
inline constexpr std::uint32_t kMaxSampleRate = 384000;
inline constexpr std::uint32_t kMaxSoundBufferBytes = 0x0FFFFFFF;
/// @}

/// Whether the mixer can play samples in this format: PCM, 1 or 2 channels, 8 or 16 bits, a rate
/// in range and the block align of one frame.
bool IsPlayableFormat(const WaveFormatEx& format);

/// SoundBufferDesc's size.
inline constexpr std::uint32_t kSoundBufferDescSize = 36;
/// Buffer capabilities: the primary buffer (the output itself), static samples, and the controls asked for (recorded).
/// @{
inline constexpr std::uint32_t DSBCAPS_PRIMARYBUFFER = 0x1;
inline constexpr std::uint32_t DSBCAPS_STATIC = 0x2;
inline constexpr std::uint32_t DSBCAPS_CTRLFREQUENCY = 0x20;
inline constexpr std::uint32_t DSBCAPS_CTRLPAN = 0x40;
inline constexpr std::uint32_t DSBCAPS_CTRLVOLUME = 0x80;
inline constexpr std::uint32_t DSBCAPS_GETCURRENTPOSITION2 = 0x10000;
/// @}
/// Play: start again at the end until stopped.
inline constexpr std::uint32_t DSBPLAY_LOOPING = 0x1;
/// GetStatus bits: playing, lost (Restore it), looping.
/// @{
inline constexpr std::uint32_t DSBSTATUS_PLAYING = 0x1;
inline constexpr std::uint32_t DSBSTATUS_BUFFERLOST = 0x2;
inline constexpr std::uint32_t DSBSTATUS_LOOPING = 0x4;
/// @}
/// Lock: from the write cursor, or the whole buffer.
/// @{
inline constexpr std::uint32_t DSBLOCK_FROMWRITECURSOR = 0x1;
inline constexpr std::uint32_t DSBLOCK_ENTIREBUFFER = 0x2;
/// @}

/// What a sound buffer is made with.
struct SoundBufferDesc {
    /// The structure's size, DSBCAPS_ flags, the size of its samples in bytes, unused, and their format (null for the primary buffer).
    /// @{
    std::uint32_t size = kSoundBufferDescSize;
    std::uint32_t flags = 0;
    std::uint32_t bufferBytes = 0;
    std::uint32_t reserved = 0;
    const WaveFormatEx* format = nullptr;
    /// @}
};

/// A buffer of samples that the shared mixer plays, or the primary buffer (the output).
class SoundBuffer final : public MixerInput {
public:
    ~SoundBuffer() override;
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    /// DSBSTATUS_ bits.
    HRESULT GetStatus(std::uint32_t* status);
    /// Starts from the play position (once, or looping with DSBPLAY_LOOPING); a buffer already
    /// playing only takes the new looping flag.
    HRESULT Play(std::uint32_t reserved, std::uint32_t priority, std::uint32_t flags);
    /// Stops where it is; the position stays.
    HRESULT Stop();
    /// Byte offsets of the play and write cursors (the same for a static buffer).
    HRESULT GetCurrentPosition(std::uint32_t* play, std::uint32_t* write);
    /// Moves the play position (a byte offset).
    HRESULT SetCurrentPosition(std::uint32_t position);
    /// The samples from offset for bytes (the whole buffer with DSBLOCK_ENTIREBUFFER), as one
    /// region or, where the range wraps past the end, two. The output holds still until Unlock.
    HRESULT Lock(std::uint32_t offset, std::uint32_t bytes, void** region1, std::uint32_t* bytes1, void** region2,
                 std::uint32_t* bytes2, std::uint32_t flags);
    /// Ends a Lock, with the regions it gave.
    HRESULT Unlock(void* region1, std::uint32_t bytes1, void* region2, std::uint32_t bytes2);
    /// A lost buffer gets its memory back (its samples are lost: write them again).
    HRESULT Restore();
    /// The primary buffer only: the format the output is asked for. The shared output keeps its
    /// own format and converts, so this records the request.
    HRESULT SetFormat(const WaveFormatEx* format);
    /// The format of the samples.
    HRESULT GetFormat(WaveFormatEx* format) const;

    /// True for the primary buffer.
    bool IsPrimary() const { return primary_; }
    /// Size of the samples in bytes.
    std::uint32_t Bytes() const;

    /// MixerInput: called by the mixer with the audio lock held.
    bool MixInto(std::int32_t* accumulator, std::size_t frames) override;

private:
    friend class SoundSystem;
    struct Samples {
        WaveFormatEx format;
        std::vector<std::uint8_t> bytes;
        std::uint64_t frames = 0;
    };
    using MixFunction = bool (*)(SoundBuffer&, std::int32_t*, std::size_t);

    /// A primary buffer (no samples) or a secondary one over samples.
    SoundBuffer(std::shared_ptr<AudioOutputUse> output, std::shared_ptr<Samples> samples);
    bool IsLost() const;
    template <int Bits, int Channels>
    static bool MixFrames(SoundBuffer& buffer, std::int32_t* accumulator, std::size_t frames);

    std::shared_ptr<AudioOutputUse> output_;
    std::shared_ptr<Samples> samples_;  ///< null for the primary buffer
    bool primary_;
    WaveFormatEx primaryFormat_;
    MixFunction mix_ = nullptr;
    std::uint64_t position_ = 0;  ///< frames, 32.32 fixed point
    std::uint64_t step_ = 0;      ///< source frames per output frame, 32.32
    bool playing_ = false;
    bool looping_ = false;
    bool locked_ = false;
    std::uint32_t generation_;  ///< the mixer's loss generation when made or last restored
};

}  // namespace platform
