#include "media/audio/wave_file.h"

#include <cstring>

#include "media/core/byte_reader.h"

namespace media {

using platform::DSERR_BADFORMAT;
using platform::E_NOTIMPL;
using platform::HRESULT;
using platform::S_OK;

namespace {

constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// The tail that every KSDATAFORMAT_SUBTYPE_* GUID shares after its 16-bit format tag.
constexpr std::uint8_t kSubtypeTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                           0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Reads a format chunk body of length bytes. An extensible format whose subtype is PCM and
// whose samples fill their containers is plain PCM and is given the PCM tag.
HRESULT ReadFormat(ByteReader& reader, std::uint32_t length, platform::WaveFormatEx* format) {
    if (length < 16) return DSERR_BADFORMAT;
    format->formatTag = reader.U16LE();
    format->channels = reader.U16LE();
    format->samplesPerSec = reader.U32LE();
    format->avgBytesPerSec = reader.U32LE();
    format->blockAlign = reader.U16LE();
    format->bitsPerSample = reader.U16LE();
    format->extraSize = length >= 18 ? reader.U16LE() : 0;
    if (format->formatTag == kFormatExtensible && length >= 40 && format->extraSize >= 22) {
        const std::uint16_t validBits = reader.U16LE();
        reader.U32LE();  // speaker positions
        const std::uint16_t subtype = reader.U16LE();
        const std::uint8_t* tail = nullptr;
        if (reader.Take(sizeof kSubtypeTail, &tail) && std::memcmp(tail, kSubtypeTail, sizeof kSubtypeTail) == 0 &&
            subtype == platform::WAVE_FORMAT_PCM && validBits == format->bitsPerSample) {
            format->formatTag = platform::WAVE_FORMAT_PCM;
        }
    }
    return reader.RanOut() ? DSERR_BADFORMAT : S_OK;
}

}  // namespace

HRESULT ParseWave(const std::uint8_t* bytes, std::size_t size, WaveSound* sound) {
    ByteReader reader(bytes, size);
    if (!reader.Matches(0, "RIFF", 4) || !reader.Matches(8, "WAVE", 4)) return DSERR_BADFORMAT;
    reader.Seek(12);
    bool haveFormat = false;
    platform::WaveFormatEx format;
    while (true) {
        // Every chunk: a 4-character name, a 32-bit length, the body and a pad byte after an odd
        // length. A header or body that would pass the end means the file lies about a length.
        if (reader.Remaining() < 8) return DSERR_BADFORMAT;
        const std::size_t start = reader.Position();
        const bool isFormat = reader.Matches(start, "fmt ", 4);
        const bool isData = reader.Matches(start, "data", 4);
        reader.Skip(4);
        const std::uint32_t length = reader.U32LE();
        if (length > reader.Remaining()) return DSERR_BADFORMAT;
        const std::size_t body = reader.Position();
        if (isFormat && !haveFormat) {
            if (HRESULT hr = ReadFormat(reader, length, &format); hr != S_OK) return hr;
            haveFormat = true;
        } else if (isData) {
            // The samples belong to the format chunk before them.
            if (!haveFormat) return DSERR_BADFORMAT;
            if (format.formatTag != platform::WAVE_FORMAT_PCM) return E_NOTIMPL;
            if (!platform::IsPlayableFormat(format) || length == 0 || length % format.blockAlign != 0 ||
                length > platform::kMaxSoundBufferBytes) {
                return DSERR_BADFORMAT;
            }
            sound->format = format;
            sound->samples = bytes + body;
            sound->sampleBytes = length;
            return S_OK;
        }
        // The pad byte may be missing after the last chunk; the next header check catches a
        // chunk that is not there.
        reader.Seek(body + length);
        if ((length & 1) && reader.Remaining() > 0) reader.Skip(1);
    }
}

}  // namespace media
