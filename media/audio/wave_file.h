#pragma once
// Finding the sound in a WAV file's bytes: the "RIFF"/"WAVE" header, then a walk over the chunks
// by name to the format chunk ("fmt ") and the samples ("data"), stepping over every other chunk
// (fact, LIST, JUNK, bext, ...) with the pad byte after an odd length. Nothing is read outside
// the bytes given.
#include <cstddef>
#include <cstdint>

#include "platform/audio/sound_buffer.h"
#include "platform/core/result_codes.h"

namespace media {

struct WaveSound {
    platform::WaveFormatEx format;       // as the file gives it; extensible PCM reads as PCM
    const std::uint8_t* samples = nullptr;  // inside the bytes given
    std::uint32_t sampleBytes = 0;
};

// S_OK with the format and the samples; DSERR_BADFORMAT when the header, a chunk's length, the
// format chunk or the data do not hold together or the mixer cannot play the PCM format;
// E_NOTIMPL for a format that is not PCM.
platform::HRESULT ParseWave(const std::uint8_t* bytes, std::size_t size, WaveSound* sound);

}  // namespace media
