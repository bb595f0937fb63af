#pragma once
// The one way a decoder reads a file's bytes: every getter stays inside the data. Reading past the
// end gives zeros and sets a sticky "ran out" flag that the decoder checks once per stage, so no
// offset or length taken from a file can make a decoder read outside it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace media {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(data ? size : 0) {}

    std::size_t Size() const { return size_; }
    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return size_ - pos_; }
    bool RanOut() const { return ranOut_; }

    // Moves to an absolute offset; past the end it stops at the end and sets the flag.
    void Seek(std::size_t offset) {
        if (offset > size_) {
            ranOut_ = true;
            offset = size_;
        }
        pos_ = offset;
    }
    void Skip(std::size_t count) { Seek(count > Remaining() ? size_ + 1 : pos_ + count); }

    std::uint8_t U8() {
        if (pos_ >= size_) {
            ranOut_ = true;
            return 0;
        }
        return data_[pos_++];
    }
    std::uint16_t U16LE() { return static_cast<std::uint16_t>(U8() | (U8() << 8)); }
    std::uint16_t U16BE() { return static_cast<std::uint16_t>((U8() << 8) | U8()); }
    std::uint32_t U32LE() {
        const std::uint32_t lo = U16LE();
        return lo | (std::uint32_t{U16LE()} << 16);
    }
    std::uint32_t U32BE() {
        const std::uint32_t hi = U16BE();
        return (hi << 16) | U16BE();
    }
    std::int32_t I32LE() { return static_cast<std::int32_t>(U32LE()); }

    // Copies count bytes; what lies past the end is zero-filled and sets the flag. Returns the
    // number of bytes that came from the data.
    std::size_t Read(void* out, std::size_t count) {
        const std::size_t n = std::min(count, Remaining());
        if (n) std::memcpy(out, data_ + pos_, n);
        if (n < count) {
            std::memset(static_cast<std::uint8_t*>(out) + n, 0, count - n);
            ranOut_ = true;
        }
        pos_ += n;
        return n;
    }

    // The bytes from the current position on, for loops that run over a block after checking
    // its length against Remaining() once.
    const std::uint8_t* Here() const { return data_ + pos_; }
    // True (and the position moved past them) when count bytes are left; else the flag is set.
    bool Take(std::size_t count, const std::uint8_t** block) {
        if (count > Remaining()) {
            ranOut_ = true;
            return false;
        }
        *block = data_ + pos_;
        pos_ += count;
        return true;
    }

    // Whether the bytes at offset equal text (length bytes); false when they would pass the end.
    bool Matches(std::size_t offset, const char* text, std::size_t length) const {
        return offset <= size_ && length <= size_ - offset && std::memcmp(data_ + offset, text, length) == 0;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ranOut_ = false;
};

}  // namespace media
