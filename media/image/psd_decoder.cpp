#include "media/image/psd_decoder.h"

#include <algorithm>
#include <cstring>

#include "media/image/byte_reader.h"

namespace media {

namespace {

constexpr std::size_t kHeaderSize = 30;
constexpr std::uint16_t kMaxChannels = 24;

// A slot names a byte of the 32-bit pixel (blue 0, green 1, red 2, alpha 3) and what it holds
// when the file has no channel for it. Slots take the file's channels in this order.
struct Slot {
    int byte;
    std::uint8_t fallback;
};
constexpr Slot kSlots[4] = {{2, 0}, {1, 0}, {0, 0}, {3, 255}};

// Writes value into every fourth byte from out, count times.
inline void FillStrided(std::uint8_t* out, std::uint8_t value, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) out[i * 4] = value;
}
inline void CopyStrided(std::uint8_t* out, const std::uint8_t* in, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) out[i * 4] = in[i];
}

// One channel of PackBits packets decoded as a single stream over all rows into every fourth
// byte from out. A packet longer than what is left of the channel is cut at the channel's end;
// false when the data ends before the channel is complete.
bool UnpackChannel(ByteReader& in, std::uint8_t* out, std::size_t count) {
    while (count > 0) {
        const std::uint8_t n = in.U8();
        if (in.RanOut()) return false;
        const std::uint8_t* src = nullptr;
        if (n < 128) {
            const std::size_t length = std::min<std::size_t>(n + 1u, count);
            if (!in.Take(length, &src)) return false;
            CopyStrided(out, src, length);
            out += length * 4;
            count -= length;
        } else if (n > 128) {
            const std::size_t length = std::min<std::size_t>(257u - n, count);
            const std::uint8_t value = in.U8();
            if (in.RanOut()) return false;
            FillStrided(out, value, length);
            out += length * 4;
            count -= length;
        }
    }
    return true;
}

}  // namespace

PsdDecoder::PsdDecoder() = default;
PsdDecoder::~PsdDecoder() = default;

std::int32_t PsdDecoder::CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t*, std::size_t) {
    return headCount >= 5 && std::memcmp(head, "8BPS\0", 5) == 0 ? 1 : 0;
}

bool PsdDecoder::ReadHeader(ByteReader& in) {
    in.Read(header_.data(), kHeaderSize);
    if (in.RanOut()) return false;
    ByteReader fields(header_.data(), kHeaderSize);
    fields.Seek(4);
    version_ = fields.U16BE();
    fields.Skip(6);  // reserved
    channels_ = fields.U16BE();
    fileHeight_ = fields.U32BE();
    fileWidth_ = fields.U32BE();
    depth_ = fields.U16BE();
    colorMode_ = fields.U16BE();
    if (version_ != 1 || channels_ > kMaxChannels || depth_ != 8 || colorMode_ != 3) return false;

    // Colour mode data, image resources, layer and mask information: each a 4-byte length and
    // that many bytes, none of them needed for the composite image.
    in.Seek(26);
    for (int section = 0; section < 3; ++section) in.Skip(in.U32BE());
    compression_ = in.U16BE();
    return !in.RanOut() && compression_ <= 1;
}

bool PsdDecoder::DecodePixels(ByteReader& in) {
    std::uint8_t* const pixels = pixels_.get();
    const std::size_t count = std::size_t{fileWidth_} * fileHeight_;
    // The row byte-count table (2 bytes per row of every channel) is not needed: each channel
    // is decoded as one stream.
    if (compression_ == 1) in.Skip(std::size_t{fileHeight_} * channels_ * 2);
    if (in.RanOut()) return false;
    for (const Slot& slot : kSlots) {
        std::uint8_t* out = pixels + slot.byte;
        if (static_cast<std::size_t>(slot.byte) >= channels_) {
            FillStrided(out, slot.fallback, count);
        } else if (compression_ == 0) {
            const std::uint8_t* plane = nullptr;
            if (!in.Take(count, &plane)) return false;
            CopyStrided(out, plane, count);
        } else if (!UnpackChannel(in, out, count)) {
            return false;
        }
    }
    return true;
}

SurfacePtr PsdDecoder::Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data, std::int32_t placement) {
    ByteReader in(data, size);
    if (!ReadHeader(in)) return nullptr;
    if (fileWidth_ > static_cast<std::uint32_t>(kMaxPictureSide) || fileHeight_ > static_cast<std::uint32_t>(kMaxPictureSide)) return nullptr;
    if (!AllocPixels(static_cast<std::int32_t>(fileWidth_), static_cast<std::int32_t>(fileHeight_), 32)) return nullptr;
    if (!DecodePixels(in) || !CreateDDSurface(device, placement)) {
        FreeBuffers();
        return nullptr;
    }
    topDown_ = 1;
    BuildBitmapInfo();
    return TransferToSurface();
}

}  // namespace media
