#pragma once
// Ogg Vorbis files made in the tests from samples they choose, with libvorbis's reference encoder
// (libvorbis-dev, tests and benchmarks only): the layer's decoder is checked against files from
// another program, of any length, rate and channel count a test needs.
#include <cstdint>
#include <vector>

namespace audio_test {

/// Encodes interleaved 16-bit samples (channels of them a frame) at rate, at a Vorbis quality
/// (-0.1 .. 1); returns the file's bytes.
std::vector<std::uint8_t> EncodeOgg(const std::vector<std::int16_t>& samples, int channels, int rate, float quality = 0.5f);

/// A sine of hz for seconds at rate, at amplitude, on each of channels (the right one a fifth
/// higher when stereo, so the two can be told apart), as an Ogg Vorbis file.
std::vector<std::uint8_t> SineOgg(double hz, double seconds, int rate = 44100, int channels = 1, double amplitude = 12000);

}  // namespace audio_test
