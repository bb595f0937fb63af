#include "media/image/tga_decoder.h"

#include <algorithm>
#include <cstring>

#include "media/core/byte_reader.h"
#include "platform/pixels/pixel_traits.h"

namespace media {

namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr std::size_t kFooterSize = 26;
constexpr const char kSignature[] = "TRUEVISION-XFILE";
constexpr std::size_t kSignatureLength = 16;

// A 16-bit file pixel or colour-map entry has the layer's 5-5-5 layout.
using Rgb555 = platform::PixelTraits<15>;

bool KnownDepth(std::uint8_t depth) { return depth == 8 || depth == 16 || depth == 24 || depth == 32; }

// One pixel of the file turned into the bytes of the pixel buffer: an index for 8 bits, blue,
// green, red for the others, and alpha fourth when a 32-bit file's alpha is kept (KeepsAlpha).
// Templates on the file's pixel size keep the loops free of switches.
template <int kInBytes, bool KeepsAlpha = false>
struct TgaPixel {
    static constexpr int kOutBytes = KeepsAlpha ? 4 : (kInBytes == 1 ? 1 : 3);
    static void Convert(const std::uint8_t* in, std::uint8_t* out) {
        if constexpr (kInBytes == 1) {
            out[0] = in[0];
        } else if constexpr (kInBytes == 2) {
            // Red in bits 10-14, green 5-9, blue 0-4; bit 15 (attribute) ignored. A 5-bit channel
            // becomes c x 8, as the format's own widening.
            const unsigned word = in[0] | (in[1] << 8);
            out[0] = static_cast<std::uint8_t>(Rgb555::Blue(word) << 3);
            out[1] = static_cast<std::uint8_t>(Rgb555::Green(word) << 3);
            out[2] = static_cast<std::uint8_t>(Rgb555::Red(word) << 3);
        } else {
            // Blue, green, red; a fourth byte (alpha) is dropped unless kept.
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            if constexpr (KeepsAlpha) out[3] = in[3];
        }
    }
    // count file pixels converted into consecutive buffer pixels.
    static void ConvertRow(const std::uint8_t* in, std::uint8_t* out, std::size_t count) {
        if constexpr (kInBytes == kOutBytes) {
            std::memcpy(out, in, count * kInBytes);
        } else {
            for (std::size_t i = 0; i < count; ++i, in += kInBytes, out += kOutBytes) Convert(in, out);
        }
    }
    // count copies of one converted pixel.
    static void Fill(const std::uint8_t* value, std::uint8_t* out, std::size_t count) {
        if constexpr (kOutBytes == 1) {
            std::memset(out, value[0], count);
        } else {
            for (std::size_t i = 0; i < count; ++i, out += kOutBytes) std::memcpy(out, value, kOutBytes);
        }
    }
};

// Walks the pixel buffer in file order: the stored rows one after the other, each starting at a
// multiple of the buffer's row length.
class RowCursor {
public:
    RowCursor(std::uint8_t* pixels, std::size_t rowLength, std::size_t width, std::size_t height)
        : row_(pixels), rowLength_(rowLength), width_(width), rowsLeft_(height), left_(width) {}
    // Room left in the current row, in pixels.
    std::size_t Left() const { return left_; }
    std::uint8_t* At(int outBytes) const { return row_ + (width_ - left_) * outBytes; }
    void Advance(std::size_t count) {
        left_ -= count;
        if (left_ == 0 && --rowsLeft_ > 0) {
            row_ += rowLength_;
            left_ = width_;
        }
    }

private:
    std::uint8_t* row_;
    std::size_t rowLength_, width_, rowsLeft_, left_;
};

template <int kInBytes, bool KeepsAlpha>
bool DecodeRaw(ByteReader& in, std::uint8_t* pixels, std::size_t rowLength, std::size_t width, std::size_t height) {
    using Pixel = TgaPixel<kInBytes, KeepsAlpha>;
    const std::size_t fileRow = width * kInBytes;
    const std::uint8_t* src = nullptr;
    if (!in.Take(fileRow * height, &src)) return false;
    for (std::size_t y = 0; y < height; ++y, src += fileRow, pixels += rowLength) Pixel::ConvertRow(src, pixels, width);
    return true;
}

// Run and raw packets fill the image pixel by pixel across row ends; the last pixel of the image
// ends decoding, even inside a packet.
template <int kInBytes, bool KeepsAlpha>
bool DecodeRle(ByteReader& in, std::uint8_t* pixels, std::size_t rowLength, std::size_t width, std::size_t height) {
    using Pixel = TgaPixel<kInBytes, KeepsAlpha>;
    RowCursor cursor(pixels, rowLength, width, height);
    std::size_t pixelsLeft = width * height;
    while (pixelsLeft > 0) {
        const std::uint8_t header = in.U8();
        std::size_t count = std::min<std::size_t>((header & 0x7F) + 1, pixelsLeft);
        pixelsLeft -= count;
        const std::uint8_t* src = nullptr;
        if (header & 0x80) {
            if (!in.Take(kInBytes, &src)) return false;
            std::uint8_t value[4];
            Pixel::Convert(src, value);
            while (count > 0) {
                const std::size_t n = std::min(count, cursor.Left());
                Pixel::Fill(value, cursor.At(Pixel::kOutBytes), n);
                cursor.Advance(n);
                count -= n;
            }
        } else {
            if (!in.Take(count * kInBytes, &src)) return false;
            while (count > 0) {
                const std::size_t n = std::min(count, cursor.Left());
                Pixel::ConvertRow(src, cursor.At(Pixel::kOutBytes), n);
                src += n * kInBytes;
                cursor.Advance(n);
                count -= n;
            }
        }
        if (in.RanOut()) return false;
    }
    return true;
}

template <int kInBytes, bool KeepsAlpha = false>
bool DecodeByType(bool rle, ByteReader& in, std::uint8_t* pixels, std::size_t rowLength, std::size_t width, std::size_t height) {
    return rle ? DecodeRle<kInBytes, KeepsAlpha>(in, pixels, rowLength, width, height)
               : DecodeRaw<kInBytes, KeepsAlpha>(in, pixels, rowLength, width, height);
}

// Moves the fourth byte of each 32-bit buffer pixel into the alpha map (top row first, whichever
// way the buffer's rows run) and clears it, as a surface's 32-bit pixels carry 0 there.
void SplitAlpha(std::uint8_t* pixels, std::size_t rowLength, std::size_t width, std::size_t height, bool topDown, std::uint8_t* map) {
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* row = pixels + y * rowLength;
        std::uint8_t* alpha = map + (topDown ? y : height - 1 - y) * width;
        for (std::size_t x = 0; x < width; ++x) {
            alpha[x] = row[4 * x + 3];
            row[4 * x + 3] = 0;
        }
    }
}

}  // namespace

TgaDecoder::TgaDecoder() = default;
TgaDecoder::~TgaDecoder() = default;

std::int32_t TgaDecoder::CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t* tail, std::size_t tailCount) {
    // The footer signature ends 2 bytes before the end ("." and a zero byte follow it); a file too
    // short to hold the footer is not a version 2 file.
    if (tailCount < kFooterSize || headCount < kHeaderSize) return 0;
    return std::memcmp(tail + tailCount - 18, kSignature, kSignatureLength) == 0 && KnownDepth(head[16]) ? 1 : 0;
}

bool TgaDecoder::ReadHeader(ByteReader& in) {
    in.Read(header_.data(), kHeaderSize);
    if (in.RanOut()) return false;
    ByteReader fields(header_.data(), kHeaderSize);
    idLength_ = fields.U8();
    colorMapType_ = fields.U8();
    imageType_ = fields.U8();
    mapFirst_ = fields.U16LE();
    mapLength_ = fields.U16LE();
    mapEntrySize_ = fields.U8();
    if (mapEntrySize_ == 15) mapEntrySize_ = 16;
    fields.Skip(4);  // x and y origin
    fileWidth_ = fields.U16LE();
    fileHeight_ = fields.U16LE();
    depth_ = fields.U8();
    fileTopDown_ = (fields.U8() & 0x20) != 0;
    return true;
}

bool TgaDecoder::Supported() const {
    const bool knownType = imageType_ == 1 || imageType_ == 2 || imageType_ == 3 || imageType_ == 9 || imageType_ == 10 || imageType_ == 11;
    return knownType && KnownDepth(depth_) && fileWidth_ > 0 && fileHeight_ > 0;
}

void TgaDecoder::ReadColorMap(ByteReader& in) {
    // Entry k of the map is palette index first + k; indexes from 256 on have no colour entry.
    palette_.assign(256 * 3, 0);
    const std::size_t end = std::min<std::size_t>(std::size_t{mapFirst_} + mapLength_, 256);
    for (std::size_t i = mapFirst_; i < end; ++i) {
        std::uint8_t* rgb = &palette_[i * 3];
        if (mapEntrySize_ == 16) {
            const unsigned word = in.U16LE();
            rgb[0] = static_cast<std::uint8_t>(Rgb555::Red(word) << 3);
            rgb[1] = static_cast<std::uint8_t>(Rgb555::Green(word) << 3);
            rgb[2] = static_cast<std::uint8_t>(Rgb555::Blue(word) << 3);
        } else if (mapEntrySize_ == 24 || mapEntrySize_ == 32) {
            rgb[2] = in.U8();
            rgb[1] = in.U8();
            rgb[0] = in.U8();
            if (mapEntrySize_ == 32) in.U8();  // alpha
        } else {
            return;  // an entry size the format does not define: the palette stays black
        }
    }
}

void TgaDecoder::BuildGreyRamp() {
    palette_.resize(256 * 3);
    for (std::size_t i = 0; i < 256; ++i) std::memset(&palette_[i * 3], static_cast<int>(i), 3);
}

bool TgaDecoder::DecodePixels(ByteReader& in) {
    const bool rle = imageType_ >= 9;
    std::uint8_t* pixels = pixels_.get();
    const std::size_t rowLength = RowLength(), w = fileWidth_, h = fileHeight_;
    switch (depth_) {
        case 8: return DecodeByType<1>(rle, in, pixels, rowLength, w, h);
        case 16: return DecodeByType<2>(rle, in, pixels, rowLength, w, h);
        case 24: return DecodeByType<3>(rle, in, pixels, rowLength, w, h);
        case 32: return KeepsAlpha() ? DecodeByType<4, true>(rle, in, pixels, rowLength, w, h) : DecodeByType<4>(rle, in, pixels, rowLength, w, h);
        default: return false;
    }
}

void TgaDecoder::FillColorEntries() {
    if (palette_.empty() || !bitmapInfo_) return;
    for (std::size_t i = 0; i < 256; ++i) {
        platform::RgbQuad& entry = bitmapInfo_->colors[i];
        entry.red = palette_[i * 3];
        entry.green = palette_[i * 3 + 1];
        entry.blue = palette_[i * 3 + 2];
        entry.reserved = 0;
    }
    palette_.clear();
}

SurfacePtr TgaDecoder::Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data, std::int32_t placement) {
    ByteReader in(data, size);
    if (!ReadHeader(in) || !Supported()) return nullptr;
    // The pixel data must end before the footer of a version 2 file: data that would run into it
    // belongs to a truncated file.
    if (size >= kHeaderSize + kFooterSize && in.Matches(size - 18, kSignature, kSignatureLength)) in = ByteReader(data, size - kFooterSize);
    in.Seek(kHeaderSize + idLength_);
    topDown_ = fileTopDown_ ? 1 : 0;
    if (!AllocPixels(fileWidth_, fileHeight_, KeepsAlpha() ? 32 : (depth_ == 8 ? 8 : 24))) return nullptr;

    const std::size_t mapStart = in.Position();
    if (HasColorMap()) {
        ReadColorMap(in);
    } else if (depth_ == 8 && IsGreyscale()) {
        BuildGreyRamp();
    }
    in.Seek(mapStart + std::size_t{mapLength_} * (mapEntrySize_ / 8));
    if (in.RanOut() || !DecodePixels(in)) return nullptr;
    if (KeepsAlpha()) {
        if (!AllocAlphaMap()) return nullptr;
        SplitAlpha(pixels_.get(), RowLength(), fileWidth_, fileHeight_, fileTopDown_, alphaMap_.get());
    }

    if (!CreateDDSurface(device, placement)) return nullptr;
    BuildBitmapInfo();
    FillColorEntries();
    return TransferToSurface();
}

}  // namespace media
