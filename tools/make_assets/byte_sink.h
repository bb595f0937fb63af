// A growing little- or big-endian byte buffer that the file writers fill.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace assets {

class ByteSink {
 public:
  void U8(uint8_t v) { bytes_.push_back(v); }
  void U16(uint16_t v) { U8(v & 0xFF); U8(v >> 8); }
  void U32(uint32_t v) { U16(v & 0xFFFF); U16(v >> 16); }
  void U16Be(uint16_t v) { U8(v >> 8); U8(v & 0xFF); }
  void U32Be(uint32_t v) { U16Be(v >> 16); U16Be(v & 0xFFFF); }
  void Bytes(std::string_view text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
  void Append(const std::vector<uint8_t>& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
  size_t Size() const { return bytes_.size(); }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace assets
