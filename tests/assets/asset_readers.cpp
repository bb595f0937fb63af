#include "tests/assets/asset_readers.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace asset_test {

namespace {

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

uint32_t Be(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | b[at + i];
  return v;
}

bool Tag(const std::vector<uint8_t>& b, size_t at, const char* tag) {
  return at + 4 <= b.size() && std::memcmp(b.data() + at, tag, 4) == 0;
}

// Expands RLE8 data into indexes stored bottom row first; false on anything out of place.
bool ExpandRle8(const std::vector<uint8_t>& b, size_t at, int width, int height, std::vector<uint8_t>& bottomUp) {
  bottomUp.assign(static_cast<size_t>(width) * height, 0);
  int x = 0, row = 0;
  while (true) {
    if (at + 2 > b.size()) return false;
    const uint8_t n = b[at], v = b[at + 1];
    at += 2;
    if (n > 0) {
      if (row >= height || x + n > width) return false;
      std::memset(&bottomUp[static_cast<size_t>(row) * width + x], v, n);
      x += n;
    } else if (v == 0) {
      ++row;
      x = 0;
    } else if (v == 1) {
      return true;
    } else if (v == 2) {
      return false;  // the generator never skips pixels
    } else {
      if (row >= height || x + v > width || at + v > b.size()) return false;
      std::memcpy(&bottomUp[static_cast<size_t>(row) * width + x], b.data() + at, v);
      x += v;
      at += v + (v % 2);
    }
  }
}

}  // namespace

std::optional<BmpFile> ReadBmp(const std::vector<uint8_t>& b) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || Le(b, 14, 4) != 40) return std::nullopt;
  BmpFile f;
  f.fileSizeField = Le(b, 2, 4);
  f.dataOffset = Le(b, 10, 4);
  f.width = static_cast<int32_t>(Le(b, 18, 4));
  f.height = static_cast<int32_t>(Le(b, 22, 4));
  f.bitCount = static_cast<int>(Le(b, 28, 2));
  f.compression = static_cast<int>(Le(b, 30, 4));
  f.imageSize = Le(b, 34, 4);
  if (f.width <= 0 || f.height <= 0 || f.width > 4096 || f.height > 4096 || f.dataOffset > b.size()) return std::nullopt;
  const size_t w = static_cast<size_t>(f.width), h = static_cast<size_t>(f.height);
  f.pixels.resize(w * h);
  if (f.bitCount == 24 && f.compression == 0) {
    const size_t rowBytes = (w * 3 + 3) / 4 * 4;
    if (f.dataOffset + rowBytes * h > b.size()) return std::nullopt;
    for (size_t y = 0; y < h; ++y) {
      const uint8_t* row = b.data() + f.dataOffset + (h - 1 - y) * rowBytes;
      for (size_t x = 0; x < w; ++x) f.pixels[y * w + x] = {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
    }
    return f;
  }
  if (f.bitCount != 8) return std::nullopt;
  const uint32_t colours = Le(b, 46, 4) != 0 ? Le(b, 46, 4) : 256;
  if (colours > 256 || 54 + 4 * colours > f.dataOffset) return std::nullopt;
  for (uint32_t i = 0; i < colours; ++i) f.palette.push_back({b[54 + 4 * i + 2], b[54 + 4 * i + 1], b[54 + 4 * i]});
  std::vector<uint8_t> bottomUp;
  if (f.compression == 1) {
    if (!ExpandRle8(b, f.dataOffset, f.width, f.height, bottomUp)) return std::nullopt;
  } else if (f.compression == 0) {
    const size_t rowBytes = (w + 3) / 4 * 4;
    if (f.dataOffset + rowBytes * h > b.size()) return std::nullopt;
    bottomUp.resize(w * h);
    for (size_t y = 0; y < h; ++y) std::memcpy(&bottomUp[y * w], b.data() + f.dataOffset + y * rowBytes, w);
  } else {
    return std::nullopt;
  }
  f.indexes.resize(w * h);
  for (size_t y = 0; y < h; ++y) {
    for (size_t x = 0; x < w; ++x) {
      const uint8_t index = bottomUp[(h - 1 - y) * w + x];
      if (index >= f.palette.size()) return std::nullopt;
      f.indexes[y * w + x] = index;
      f.pixels[y * w + x] = f.palette[index];
    }
  }
  return f;
}

std::optional<uint32_t> ReadVariableLength(const std::vector<uint8_t>& b, size_t& at, size_t end) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    if (at >= end) return std::nullopt;
    const uint8_t byte = b[at++];
    value = (value << 7) | (byte & 0x7F);
    if ((byte & 0x80) == 0) return value;
  }
  return std::nullopt;  // more than four bytes
}

std::optional<MidiFile> ReadMidi(const std::vector<uint8_t>& b) {
  if (!Tag(b, 0, "MThd") || b.size() < 14 || Be(b, 4, 4) != 6) return std::nullopt;
  MidiFile f;
  f.format = static_cast<int>(Be(b, 8, 2));
  const uint32_t trackCount = Be(b, 10, 2);
  f.division = static_cast<int>(Be(b, 12, 2));
  size_t at = 14;
  for (uint32_t t = 0; t < trackCount; ++t) {
    if (!Tag(b, at, "MTrk") || at + 8 > b.size()) return std::nullopt;
    const size_t length = Be(b, at + 4, 4), end = at + 8 + length;
    if (end > b.size()) return std::nullopt;
    at += 8;
    std::vector<MidiEvent> events;
    uint32_t tick = 0;
    bool ended = false;
    while (at < end) {
      if (ended) return std::nullopt;  // bytes after the end of track
      const std::optional<uint32_t> delta = ReadVariableLength(b, at, end);
      if (!delta || at >= end) return std::nullopt;
      tick += *delta;
      MidiEvent e{tick, {}};
      const uint8_t status = b[at];
      size_t size;
      if (status == 0xFF) {
        if (at + 2 > end) return std::nullopt;
        size_t lengthAt = at + 2;
        const std::optional<uint32_t> metaLength = ReadVariableLength(b, lengthAt, end);
        if (!metaLength) return std::nullopt;
        size = lengthAt - at + *metaLength;
        ended = b[at + 1] == 0x2F;
      } else if (status >= 0x80 && status < 0xF0) {
        const int kind = status & 0xF0;
        size = kind == 0xC0 || kind == 0xD0 ? 2 : 3;
      } else {
        return std::nullopt;  // running status or system messages
      }
      if (at + size > end) return std::nullopt;
      e.bytes.assign(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + size));
      at += size;
      events.push_back(std::move(e));
    }
    if (!ended) return std::nullopt;
    f.tracks.push_back(std::move(events));
  }
  if (at != b.size()) return std::nullopt;
  return f;
}

std::optional<WavFile> ReadWav(const std::vector<uint8_t>& b) {
  if (!Tag(b, 0, "RIFF") || !Tag(b, 8, "WAVE") || !Tag(b, 12, "fmt ") || b.size() < 44) return std::nullopt;
  WavFile f;
  f.riffSize = Le(b, 4, 4);
  f.formatSize = Le(b, 16, 4);
  f.formatTag = static_cast<uint16_t>(Le(b, 20, 2));
  f.channels = static_cast<uint16_t>(Le(b, 22, 2));
  f.sampleRate = Le(b, 24, 4);
  f.byteRate = Le(b, 28, 4);
  f.blockAlign = static_cast<uint16_t>(Le(b, 32, 2));
  f.bitsPerSample = static_cast<uint16_t>(Le(b, 34, 2));
  const size_t dataAt = 20 + f.formatSize;
  if (!Tag(b, dataAt, "data") || dataAt + 8 > b.size()) return std::nullopt;
  f.dataSize = Le(b, dataAt + 4, 4);
  if (dataAt + 8 + f.dataSize > b.size() || f.bitsPerSample != 16) return std::nullopt;
  for (size_t i = 0; i + 1 < f.dataSize; i += 2) f.samples.push_back(static_cast<int16_t>(Le(b, dataAt + 8 + i, 2)));
  return f;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace asset_test
