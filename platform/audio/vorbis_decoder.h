#pragma once
// One Ogg Vorbis stream decoded piece by piece through stb_vorbis: from bytes in memory or from a
// file read as decoding goes (never the whole file in memory), 16-bit samples, mono or stereo
// (streams with more channels are folded into two). Opening walks the Ogg pages first
// (ogg_pages.h), so a corrupt or truncated file fails with a reason before any sample is made.
// Not thread-safe: its owner serialises the calls (a tune's stream under the audio lock).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "voice_bank.h"

struct stb_vorbis;

namespace platform {

/// A Vorbis stream being decoded.
class VorbisDecoder {
public:
    /// Opens bytes that must outlive the decoder; null with why on failure.
    static std::unique_ptr<VorbisDecoder> OpenMemory(const std::uint8_t* bytes, std::size_t size, std::string* why);
    /// Opens a file, read in pieces as decoding goes; null with why on failure.
    static std::unique_ptr<VorbisDecoder> OpenFile(const char* path, std::string* why);
    ~VorbisDecoder();
    VorbisDecoder(const VorbisDecoder&) = delete;
    VorbisDecoder& operator=(const VorbisDecoder&) = delete;

    /// Frames a second, and 1 or 2 channels in the samples Read gives.
    /// @{
    std::uint32_t Rate() const { return rate_; }
    std::uint16_t Channels() const { return channels_; }
    /// @}
    /// Frames in the whole stream.
    std::uint64_t Frames() const { return frames_; }
    /// Decodes up to frames frames into out (interleaved); how many it decoded, fewer only at the
    /// stream's end or on a decoding error (Error() then says which).
    std::size_t Read(std::int16_t* out, std::size_t frames);
    /// Moves to a frame (clamped to the stream); the next Read starts exactly there.
    bool Seek(std::uint64_t frame);
    /// Why the last Read stopped short of the stream's end, or empty.
    const std::string& Error() const { return error_; }

private:
    VorbisDecoder() = default;
    bool Start(stb_vorbis* vorbis, int error, std::uint64_t samples, std::string* why);

    stb_vorbis* vorbis_ = nullptr;
    std::uint32_t rate_ = 0;
    std::uint16_t channels_ = 0;
    std::uint64_t frames_ = 0;
    std::uint64_t at_ = 0;
    std::string error_;
};

/// What an stb_vorbis error code means, in words.
std::string VorbisErrorText(int error);

/// Decodes a whole Ogg Vorbis file in memory into a clip; null with why on failure, including a
/// stream whose samples would take more than maxBytes.
std::shared_ptr<PcmClip> DecodeVorbis(const std::uint8_t* bytes, std::size_t size, std::uint64_t maxBytes, std::string* why);

}  // namespace platform
