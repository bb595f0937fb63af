#include "media/image/pcx_decoder.h"

#include <algorithm>
#include <cstring>

#include "media/image/byte_reader.h"

namespace media {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kPaletteSize = 768;
constexpr std::uint8_t kPaletteMarker = 12;

// Decodes one plane line of exactly n bytes into out. A byte with both top bits set is a run of
// (b & 0x3F) copies of the next byte; any other byte stands for itself. False when the data ends
// first or a run would cross the end of the line.
bool DecodePlaneLine(const std::uint8_t*& src, const std::uint8_t* end, std::uint8_t* out, std::size_t n) {
    std::uint8_t* dst = out;
    std::uint8_t* const lineEnd = out + n;
    while (dst < lineEnd) {
        // Bytes below 0xC0 stand for themselves: eight at a time while none of them has both top
        // bits set (bit 7 of v & (v << 1) is bit 7 and bit 6 of the same byte), then one by one.
        const std::uint8_t* stop = src + std::min(static_cast<std::size_t>(lineEnd - dst), static_cast<std::size_t>(end - src));
        while (stop - src >= 8) {
            std::uint64_t v;
            std::memcpy(&v, src, 8);
            if (v & (v << 1) & 0x8080808080808080ull) break;
            std::memcpy(dst, &v, 8);
            src += 8, dst += 8;
        }
        while (src < stop && *src < 0xC0) *dst++ = *src++;
        if (dst == lineEnd) break;
        if (end - src < 2) return false;
        const std::size_t length = *src++ & 0x3F;
        if (length > static_cast<std::size_t>(lineEnd - dst)) return false;
        const std::uint8_t value = *src++;
        if (length <= 8) {
            for (std::size_t i = 0; i < length; ++i) dst[i] = value;
        } else {
            std::memset(dst, value, length);
        }
        dst += length;
    }
    return true;
}

// Red, green and blue plane lines interleaved into blue, green, red pixels. Each pixel but the
// last is stored as one 32-bit word whose fourth byte the next pixel overwrites.
void InterleavePlanes(const std::uint8_t* red, const std::uint8_t* green, const std::uint8_t* blue, std::uint8_t* out, std::size_t width) {
    for (std::size_t x = 0; x + 1 < width; ++x, out += 3) {
        const std::uint32_t pixel = blue[x] | (green[x] << 8) | (red[x] << 16);
        std::memcpy(out, &pixel, 4);
    }
    out[0] = blue[width - 1];
    out[1] = green[width - 1];
    out[2] = red[width - 1];
}

}  // namespace

PcxDecoder::PcxDecoder() = default;
PcxDecoder::~PcxDecoder() = default;

std::int32_t PcxDecoder::CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t*, std::size_t) {
    return headCount >= 3 && head[0] == 10 && head[1] == 5 && head[2] == 1 ? 1 : 0;
}

bool PcxDecoder::ReadHeader(ByteReader& in) {
    in.Read(header_.data(), kHeaderSize);
    if (in.RanOut()) return false;
    ByteReader fields(header_.data(), kHeaderSize);
    fields.Seek(3);
    bitsPerPixel_ = fields.U8();
    const auto xMin = static_cast<std::int16_t>(fields.U16LE());
    const auto yMin = static_cast<std::int16_t>(fields.U16LE());
    const auto xMax = static_cast<std::int16_t>(fields.U16LE());
    const auto yMax = static_cast<std::int16_t>(fields.U16LE());
    fields.Seek(65);
    planes_ = fields.U8();
    bytesPerLine_ = static_cast<std::int16_t>(fields.U16LE());
    fileWidth_ = std::int32_t{xMax} - xMin + 1;
    fileHeight_ = std::int32_t{yMax} - yMin + 1;
    // Only the first width bytes of each plane line are used: a shorter line cannot fill a row.
    return bitsPerPixel_ == 8 && (planes_ == 1 || planes_ == 3) && fileWidth_ >= 1 && fileHeight_ >= 1 && bytesPerLine_ >= fileWidth_;
}

bool PcxDecoder::DecodePixels(ByteReader& in) {
    const std::size_t lineBytes = static_cast<std::size_t>(bytesPerLine_);
    const std::size_t width = static_cast<std::size_t>(fileWidth_);
    const std::size_t rowLength = RowLength();
    scanLine_.assign(planes_ * lineBytes + 1, 0);
    const std::uint8_t* src = in.Here();
    const std::uint8_t* const end = src + in.Remaining();
    std::uint8_t* row = pixels_.get();
    bool complete = true;
    for (std::int32_t y = 0; y < fileHeight_ && complete; ++y, row += rowLength) {
        for (std::size_t plane = 0; plane < planes_ && complete; ++plane) {
            complete = DecodePlaneLine(src, end, &scanLine_[plane * lineBytes], lineBytes);
        }
        if (!complete) break;
        if (planes_ == 1) {
            std::memcpy(row, scanLine_.data(), width);
        } else {
            InterleavePlanes(&scanLine_[0], &scanLine_[lineBytes], &scanLine_[2 * lineBytes], row, width);
        }
    }
    scanLine_ = {};
    return complete;
}

void PcxDecoder::FillColorEntries(const std::uint8_t* data, std::size_t size) {
    // The marker sits 769 bytes before the end, after the header and the scan lines; a file too
    // short to hold both has no palette, and its colour entries stay zero.
    if (!bitmapInfo_ || size < kHeaderSize + kPaletteSize + 1 || data[size - kPaletteSize - 1] != kPaletteMarker) return;
    const std::uint8_t* rgb = data + size - kPaletteSize;
    for (platform::RgbQuad& entry : bitmapInfo_->colors) {
        entry = {rgb[2], rgb[1], rgb[0], 0};
        rgb += 3;
    }
}

SurfacePtr PcxDecoder::Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data, std::int32_t placement) {
    ByteReader in(data, size);
    if (!ReadHeader(in)) return nullptr;
    if (!AllocPixels(fileWidth_, fileHeight_, 8 * planes_)) return nullptr;
    if (!DecodePixels(in) || !CreateDDSurface(device, placement)) return nullptr;
    topDown_ = 1;
    BuildBitmapInfo();
    if (planes_ == 1) FillColorEntries(data, size);
    return TransferToSurface();
}

}  // namespace media
