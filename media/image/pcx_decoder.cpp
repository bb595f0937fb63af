#include "media/image/pcx_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "media/core/byte_reader.h"
#include "platform/pixels/pixel_access.h"

namespace media {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kPaletteSize = 768;
constexpr std::uint8_t kPaletteMarker = 12;
// Runs are stored as 8 or 64 bytes, whatever their length (at most 63), so up to 63 bytes past
// their end: the scan lines carry this much spare.
constexpr std::size_t kLineSlack = 64;

// Decodes one plane line of exactly n bytes into out (which has kLineSlack bytes to spare after
// it). A byte with both top bits set is a run of (b & 0x3F) copies of the next byte; any other
// byte stands for itself. False when the data ends first or a run would cross the end of the line.
//
// The data is read eight bytes at a time: eight literal bytes (none with both top bits set: bit 7
// of v & (v << 1) is bit 7 and bit 6 of the same byte) are stored as one word, and so are the
// literals before a run byte; a run is stored as 8 or 64 bytes of its value. Stores may reach past
// what they mean to write: what follows overwrites that, or it lands in the spare bytes. The
// common cases are tested first and each step's advance is a constant where it can be, so that
// the processor can run ahead on its guesses. Near the end of the data, byte by byte.
bool DecodePlaneLine(const std::uint8_t*& src, const std::uint8_t* end, std::uint8_t* out, std::size_t n) {
    std::uint8_t* dst = out;
    std::uint8_t* const lineEnd = out + n;
    while (dst < lineEnd) {
        if (end - src >= 8) {
            std::uint64_t v;
            std::memcpy(&v, src, 8);
            const std::uint64_t runBytes = v & (v << 1) & 0x8080808080808080ull;
            if ((runBytes & 0x80) == 0) {
                std::memcpy(dst, &v, 8);
                if (runBytes == 0 && lineEnd - dst >= 8) {
                    dst += 8, src += 8;
                    continue;
                }
                const std::size_t literals = runBytes ? static_cast<std::size_t>(std::countr_zero(runBytes)) / 8 : 8;
                const std::size_t taken = std::min(literals, static_cast<std::size_t>(lineEnd - dst));
                dst += taken, src += taken;
                if (dst == lineEnd) break;
            }
        } else if (src == end) {
            return false;
        } else if (*src < 0xC0) {
            *dst++ = *src++;
            continue;
        }
        // src is at a run byte.
        if (end - src < 2) return false;
        const std::size_t length = *src & 0x3F;
        if (length > static_cast<std::size_t>(lineEnd - dst)) return false;
        const std::uint8_t value = src[1];
        src += 2;
        const std::uint64_t fill = 0x0101010101010101ull * value;
        std::memcpy(dst, &fill, 8);
        if (length > 8) std::memset(dst + 8, value, 56);  // the longest run is 63
        dst += length;
    }
    return true;
}

// Plane lines into 32-bit pixels (blue, green, red, then 0) of a surface row.
MEDIA_PIXEL_LOOP void PlanesToWords(const std::uint8_t* __restrict red, const std::uint8_t* __restrict green,
                                    const std::uint8_t* __restrict blue, std::uint8_t* __restrict out, std::size_t width) {
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t pixel = blue[x] | (green[x] << 8) | (std::uint32_t{red[x]} << 16);
        std::memcpy(out + x * 4, &pixel, 4);
    }
}

// Colour indices into 32-bit pixels of a surface row through the palette's pixel values.
void IndicesToWords(const std::uint8_t* indices, const std::uint32_t* palette, std::uint8_t* out, std::size_t width) {
    for (std::size_t x = 0; x < width; ++x) std::memcpy(out + x * 4, &palette[indices[x]], 4);
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

// Decodes every row into rows (pitch bytes apart): as 8-bit indices or 24-bit pixels for the
// pixel buffer, or with words as 32-bit pixels for a surface that takes them straight.
bool PcxDecoder::DecodePixels(ByteReader& in, std::uint8_t* row, std::ptrdiff_t pitch, bool words) {
    const std::size_t lineBytes = static_cast<std::size_t>(bytesPerLine_);
    const std::size_t width = static_cast<std::size_t>(fileWidth_);
    scanLine_.assign(planes_ * lineBytes + kLineSlack, 0);
    const std::uint8_t* line = scanLine_.data();
    const std::uint8_t* src = in.Here();
    const std::uint8_t* const end = src + in.Remaining();
    bool complete = true;
    for (std::int32_t y = 0; y < fileHeight_ && complete; ++y, row += pitch) {
        for (std::size_t plane = 0; plane < planes_ && complete; ++plane) {
            complete = DecodePlaneLine(src, end, &scanLine_[plane * lineBytes], lineBytes);
        }
        if (!complete) break;
        if (planes_ == 1) {
            if (words) {
                IndicesToWords(line, paletteWords_.data(), row, width);
            } else {
                std::memcpy(row, line, width);
            }
        } else if (words) {
            PlanesToWords(line, line + lineBytes, line + 2 * lineBytes, row, width);
        } else {
            InterleavePlanes(line, line + lineBytes, line + 2 * lineBytes, row, width);
        }
    }
    scanLine_ = {};
    return complete;
}

// The palette's 256 red, green, blue entries: the last 768 bytes after a marker byte. A file too
// short to hold a header, the marker and the palette has none (null).
const std::uint8_t* PcxDecoder::Palette(const std::uint8_t* data, std::size_t size) {
    if (size < kHeaderSize + kPaletteSize + 1 || data[size - kPaletteSize - 1] != kPaletteMarker) return nullptr;
    return data + size - kPaletteSize;
}

void PcxDecoder::FillColorEntries(const std::uint8_t* data, std::size_t size) {
    // Without a palette the colour entries stay zero.
    const std::uint8_t* rgb = Palette(data, size);
    if (!bitmapInfo_ || !rgb) return;
    for (platform::RgbQuad& entry : bitmapInfo_->colors) {
        entry = {rgb[2], rgb[1], rgb[0], 0};
        rgb += 3;
    }
}

SurfacePtr PcxDecoder::Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data, std::int32_t placement) {
    ByteReader in(data, size);
    if (!ReadHeader(in) || !PictureSizeAllowed(fileWidth_, fileHeight_)) return nullptr;
    width_ = fileWidth_;
    height_ = fileHeight_;
    bitCount_ = static_cast<std::uint8_t>(8 * planes_);
    if (!CreateDDSurface(device, placement)) return nullptr;
    // A surface of 32-bit pixels with red, green and blue in their own bytes takes the rows
    // straight, with no pixel buffer and no transfer.
    platform::SurfaceDesc desc;
    desc.size = sizeof desc;
    if (IsRgbFormat(surface_->Format(), 32) && platform::Succeeded(surface_->Lock(nullptr, &desc, platform::DDLOCK_WAIT, nullptr))) {
        paletteWords_.fill(0);
        if (const std::uint8_t* rgb = Palette(data, size); rgb && planes_ == 1) {
            for (std::uint32_t& word : paletteWords_) {
                word = std::uint32_t{rgb[0]} << 16 | rgb[1] << 8 | rgb[2];
                rgb += 3;
            }
        }
        const bool complete = DecodePixels(in, static_cast<std::uint8_t*>(desc.surface), desc.pitch, true);
        surface_->Unlock(nullptr);
        SurfacePtr result = std::move(surface_);
        return complete ? result : nullptr;
    }
    if (!AllocPixels(fileWidth_, fileHeight_, 8 * planes_) || !DecodePixels(in, pixels_.get(), static_cast<std::ptrdiff_t>(RowLength()), false)) {
        surface_.reset();
        return nullptr;
    }
    topDown_ = 1;
    BuildBitmapInfo();
    if (planes_ == 1) FillColorEntries(data, size);
    return TransferToSurface();
}

}  // namespace media
