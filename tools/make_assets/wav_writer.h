// PCM WAV files: a RIFF header, a 16-byte format chunk and the data chunk, 16-bit samples.
#pragma once

#include <cstdint>
#include <vector>

namespace assets {

// Samples in -1..1 (clamped), mono, written as signed 16-bit little-endian at sampleRate.
std::vector<uint8_t> WriteWav16Mono(const std::vector<double>& samples, uint32_t sampleRate);

// The 16-bit value a sample in -1..1 becomes: rounded, clamped to -32767..32767.
int16_t SampleToPcm16(double sample);

}  // namespace assets
