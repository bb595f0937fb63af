// Small readers of the three file formats the asset generator writes, written apart from the
// writers so that the tests check the files against the formats, not against the writers' own
// idea of them. Each reader refuses (nullopt) what it cannot read within the bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace asset_test {

struct Pixel {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Pixel&) const = default;
};

struct BmpFile {
  int width = 0, height = 0, bitCount = 0, compression = 0;
  uint32_t dataOffset = 0, imageSize = 0, fileSizeField = 0;
  std::vector<Pixel> palette;
  std::vector<uint8_t> indexes;  // 8-bit files, top row first
  std::vector<Pixel> pixels;     // every file, top row first
  Pixel At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
// Reads 24-bit uncompressed and 8-bit uncompressed or RLE8 files. RLE8 runs that would leave
// their row, or data that ends before the end-of-bitmap marker, are refused.
std::optional<BmpFile> ReadBmp(const std::vector<uint8_t>& bytes);

struct MidiEvent {
  uint32_t tick = 0;               // absolute
  std::vector<uint8_t> bytes;      // status and data, or FF type length data for meta events
};
struct MidiFile {
  int format = 0, division = 0;
  std::vector<std::vector<MidiEvent>> tracks;
};
// Reads the header and every track chunk; refuses chunk lengths past the end, running status,
// events that overrun their chunk and tracks without an end-of-track event as their last event.
std::optional<MidiFile> ReadMidi(const std::vector<uint8_t>& bytes);
// Reads one variable-length quantity at `at`, moving it on.
std::optional<uint32_t> ReadVariableLength(const std::vector<uint8_t>& bytes, size_t& at, size_t end);

struct WavFile {
  uint32_t riffSize = 0, formatSize = 0, sampleRate = 0, byteRate = 0, dataSize = 0;
  uint16_t formatTag = 0, channels = 0, blockAlign = 0, bitsPerSample = 0;
  std::vector<int16_t> samples;
};
// Reads a RIFF WAVE file with a "fmt " chunk and a "data" chunk of 16-bit samples.
std::optional<WavFile> ReadWav(const std::vector<uint8_t>& bytes);

std::vector<uint8_t> ReadWholeFile(const std::string& path);

}  // namespace asset_test
