#include "media/image/bmp_decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/pixels/pixel_traits.h"

namespace media {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
// Where bit-field masks are read: right after a 40-byte header, which is also where a larger
// header keeps them.
constexpr std::size_t kMaskOffset = kFileHeaderSize + kInfoHeaderSize;

// True when bit-field masks are the channel layout of a depth code.
template <int Depth>
bool MasksOf(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    using T = platform::PixelTraits<Depth>;
    return red == T::kRedMask && green == T::kGreenMask && blue == T::kBlueMask;
}

bool IsBitCount(std::uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

std::int32_t BmpDecoder::CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t*, std::size_t) {
    return head && headCount >= 2 && head[0] == 'B' && head[1] == 'M' ? 1 : 0;
}

bool BmpDecoder::ReadHeaders(ByteReader& reader) {
    fileHeader_.type = reader.U16LE();
    fileHeader_.fileSize = reader.U32LE();
    fileHeader_.reserved1 = reader.U16LE();
    fileHeader_.reserved2 = reader.U16LE();
    fileHeader_.pixelOffset = reader.U32LE();
    platform::BitmapInfoHeader& h = infoHeader_;
    h.size = reader.U32LE();
    // The 12-byte core header (16-bit sizes, 3-byte colour entries) is a different layout.
    if (h.size < kInfoHeaderSize) return false;
    h.width = reader.I32LE();
    h.height = reader.I32LE();
    h.planes = reader.U16LE();
    h.bitCount = reader.U16LE();
    h.compression = reader.U32LE();
    h.sizeImage = reader.U32LE();
    h.xPelsPerMeter = reader.I32LE();
    h.yPelsPerMeter = reader.I32LE();
    h.clrUsed = reader.U32LE();
    h.clrImportant = reader.U32LE();
    return !reader.RanOut();
}

BmpDecoder::Storage BmpDecoder::ChooseStorage(ByteReader& reader) {
    const platform::BitmapInfoHeader& h = infoHeader_;
    if (h.compression == platform::BI_RGB) return Storage::Rows;
    if (h.compression == platform::BI_RLE8) return h.bitCount == 8 ? Storage::Rle8 : Storage::Blank;
    if (h.compression != platform::BI_BITFIELDS || (h.bitCount != 16 && h.bitCount != 32)) return Storage::Blank;
    reader.Seek(kMaskOffset);
    const std::uint32_t red = reader.U32LE(), green = reader.U32LE(), blue = reader.U32LE();
    if (reader.RanOut()) return Storage::Truncated;
    // 5-5-5 and 8-8-8 masks are the plain layouts of their depths; 5-6-5 is drawn through its masks.
    const bool plain = h.bitCount == 16 ? MasksOf<15>(red, green, blue) : MasksOf<32>(red, green, blue);
    if (plain) {
        ownInfo_->header.compression = platform::BI_RGB;
        return Storage::Rows;
    }
    if (h.bitCount == 16 && MasksOf<16>(red, green, blue)) {
        ownInfo_->header.compression = platform::BI_BITFIELDS;
        platform::SetBitFieldMasks(*ownInfo_, red, green, blue);
        return Storage::Rows;
    }
    return Storage::Blank;
}

bool BmpDecoder::ReadColorTable(ByteReader& reader) {
    const std::uint32_t full = 1u << infoHeader_.bitCount;
    colorCount_ = infoHeader_.clrUsed != 0 ? std::min(infoHeader_.clrUsed, full) : full;
    // The table follows the info header, whatever its size.
    reader.Seek(kFileHeaderSize + std::size_t{infoHeader_.size});
    const std::uint8_t* table = nullptr;
    if (!reader.Take(std::size_t{colorCount_} * 4, &table)) return false;
    for (std::uint32_t i = 0; i < colorCount_; ++i, table += 4) ownInfo_->colors[i] = {table[0], table[1], table[2], 0};
    return true;
}

bool BmpDecoder::ExpandRle8(ByteReader& reader) {
    const std::size_t rowLength = RowLength();
    const auto rows = static_cast<std::size_t>(height_);
    std::uint8_t* const buffer = pixels_.get();
    std::size_t row = 0, x = 0;
    // Every run, delta and absolute run is cut at the end of its row, so nothing is written
    // outside the buffer and nothing spills into the next row. Decoding ends at the end-of-bitmap
    // code, at the end of the data, or once a row past the height is reached: a delta that lands
    // on the last row (or any row inside the picture) goes on decoding there, so the pixels that
    // follow it are kept.
    while (row < rows && reader.Remaining() > 0) {
        if (reader.Remaining() < 2) return false;
        const std::uint8_t count = reader.U8(), value = reader.U8();
        std::uint8_t* const at = buffer + row * rowLength;
        if (count > 0) {
            const std::size_t n = std::min<std::size_t>(count, rowLength - x);
            std::memset(at + x, value, n);
            x += n;
            continue;
        }
        if (value == 0) {  // end of line: the rest of the row stays 0
            ++row;
            x = 0;
        } else if (value == 1) {  // end of bitmap: what remains stays 0
            break;
        } else if (value == 2) {  // delta: skipped pixels stay 0; past the last row it ends the loop
            if (reader.Remaining() < 2) return false;
            const std::uint8_t dx = reader.U8(), dy = reader.U8();
            row += dy;
            x = std::min<std::size_t>(x + dx, rowLength);
        } else {  // absolute run of value bytes, padded to a whole word
            const std::uint8_t* run = nullptr;
            if (!reader.Take(value, &run)) return false;
            const std::size_t n = std::min<std::size_t>(value, rowLength - x);
            std::memcpy(at + x, run, n);
            x += n;
            if ((value & 1) && reader.Remaining() > 0) reader.Skip(1);
        }
    }
    return true;
}

SurfacePtr BmpDecoder::Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data, std::int32_t placement) {
    ByteReader reader(data, size);
    if (!ReadHeaders(reader)) return nullptr;
    const platform::BitmapInfoHeader& h = infoHeader_;
    if (!PictureSizeAllowed(h.width, h.height) || !IsBitCount(h.bitCount)) return nullptr;
    width_ = h.width;
    height_ = h.height;
    bitCount_ = static_cast<std::uint8_t>(h.bitCount);
    ownInfo_.reset(new (std::nothrow) platform::BitmapInfo{});
    if (!ownInfo_) return nullptr;
    ownInfo_->header = {40, width_, height_, 1, h.bitCount, platform::BI_RGB, 0, 0, 0, 0, 0};
    if (h.bitCount <= 8 && !ReadColorTable(reader)) return nullptr;

    const Storage storage = ChooseStorage(reader);
    if (storage == Storage::Truncated) return nullptr;
    const std::uint8_t* bits = nullptr;
    if (storage == Storage::Rows) {
        // The rows are drawn in place, once all of them are known to lie inside the file.
        reader.Seek(fileHeader_.pixelOffset);
        if (!reader.Take(RowLength() * static_cast<std::size_t>(height_), &bits)) return nullptr;
    } else if (storage == Storage::Rle8) {
        if (!AllocPixels(width_, height_, 8)) return nullptr;
        reader.Seek(fileHeader_.pixelOffset);
        if (reader.RanOut() || !ExpandRle8(reader)) return nullptr;
        bits = pixels_.get();
    }

    if (!CreateDDSurface(device, placement)) return nullptr;
    // A compression that is not decoded leaves the new surface as it was made.
    const bool drawn = !bits || DrawToSurface(*ownInfo_, bits);
    FreeBuffers();
    ownInfo_.reset();
    SurfacePtr result = drawn ? surface_ : nullptr;
    surface_.reset();
    return result;
}

}  // namespace media
