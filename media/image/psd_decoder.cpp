#include "media/image/psd_decoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "media/core/byte_reader.h"
#include "platform/pixels/short_copy.h"
#include "platform/video/display_surface.h"

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

// Where a channel's PackBits stream ends: right after the packet that completes its count bytes
// (a longer packet is cut at the channel's end, its remaining bytes still belong to it). Null
// when the data ends before the channel is complete.
const std::uint8_t* SkipPackBitsChannel(const std::uint8_t* p, const std::uint8_t* end, std::size_t count) {
    while (count > 0) {
        if (p == end) return nullptr;
        const unsigned n = *p++;
        if (n < 128) {
            const std::size_t length = std::min<std::size_t>(n + 1u, count);
            if (static_cast<std::size_t>(end - p) < length) return nullptr;
            p += std::min<std::size_t>(n + 1u, static_cast<std::size_t>(end - p));
            count -= length;
        } else if (n > 128) {
            if (p == end) return nullptr;
            ++p;
            count -= std::min<std::size_t>(257u - n, count);
        }
    }
    return p;
}

// One channel's PackBits stream handed out row by row; a packet may run on from one row into the
// next, so what is left of it waits for the next call.
class PackBitsRows {
public:
    PackBitsRows(const std::uint8_t* p, const std::uint8_t* end, std::size_t count) : p_(p), end_(end), channelLeft_(count) {}

    // Bytes out may be written past the count it is given (and later written over).
    static constexpr std::size_t kSpill = 32;

    // The next count bytes of the channel into out (which has kSpill bytes of room after them);
    // false when the data ends first.
    bool Next(std::uint8_t* out, std::size_t count) {
        channelLeft_ -= count;
        while (count > 0) {
            // Whole packets inside the row, their data present: straight out, nothing kept.
            if (runLeft_ == 0 && literalLeft_ == 0 && p_ != end_) {
                const unsigned n = *p_;
                const std::size_t available = static_cast<std::size_t>(end_ - p_) - 1;
                if (n < 128 && n + 1u <= count && n + 1u <= available) {
                    // Far from the data's end, whole pieces are copied: the bytes past the
                    // packet land in the spill or are written over by the packets after it.
                    if (available >= kLongestPacket + kPiece) {
                        CopyWholePieces(out, p_ + 1, n + 1u);
                    } else {
                        platform::CopyShort(out, p_ + 1, n + 1u);
                    }
                    p_ += n + 2u, out += n + 1u, count -= n + 1u;
                    continue;
                }
                if (n > 128 && 257u - n <= count && available >= 1) {
                    FillWholePieces(out, p_[1], 257u - n);
                    p_ += 2, out += 257u - n, count -= 257u - n;
                    continue;
                }
            }
            if (runLeft_ > 0) {
                const std::size_t n = std::min(runLeft_, count);
                std::memset(out, runValue_, n);
                out += n, count -= n, runLeft_ -= n;
            } else if (literalLeft_ > 0) {
                const std::size_t n = std::min(literalLeft_, count);
                std::memcpy(out, p_, n);
                p_ += n, out += n, count -= n, literalLeft_ -= n;
            } else if (!NextPacket(count)) {
                return false;
            }
        }
        return true;
    }

private:
    static constexpr std::size_t kPiece = 32, kLongestPacket = 128;
    // Half a piece: the widest register every x86-64 processor has.
    typedef std::uint8_t Half __attribute__((vector_size(kPiece / 2)));

    // length bytes in pieces of kPiece: one piece for most packets, with no test of the length.
    static void CopyWholePieces(std::uint8_t* out, const std::uint8_t* from, std::size_t length) {
        std::size_t i = 0;
        do {
            Half low, high;
            std::memcpy(&low, from + i, sizeof(Half));
            std::memcpy(&high, from + i + sizeof(Half), sizeof(Half));
            std::memcpy(out + i, &low, sizeof(Half));
            std::memcpy(out + i + sizeof(Half), &high, sizeof(Half));
            i += kPiece;
        } while (i < length);
    }
    static void FillWholePieces(std::uint8_t* out, std::uint8_t value, std::size_t length) {
        const Half half = value - Half{};
        std::size_t i = 0;
        do {
            std::memcpy(out + i, &half, sizeof(Half));
            std::memcpy(out + i + sizeof(Half), &half, sizeof(Half));
            i += kPiece;
        } while (i < length);
    }

    // Reads a packet header; the part of a literal the channel still needs must be in the data.
    bool NextPacket(std::size_t wanted) {
        if (p_ == end_) return false;
        const unsigned n = *p_++;
        if (n < 128) {
            literalLeft_ = n + 1u;
            return static_cast<std::size_t>(end_ - p_) >= std::min(literalLeft_, wanted + channelLeft_);
        }
        if (n > 128) {
            if (p_ == end_) return false;
            runValue_ = *p_++;
            runLeft_ = 257u - n;
        }
        return true;
    }

    const std::uint8_t* p_;
    const std::uint8_t* end_;
    std::size_t channelLeft_;  // bytes of the channel after the current call's
    std::size_t runLeft_ = 0, literalLeft_ = 0;
    std::uint8_t runValue_ = 0;
};

// Blue, green, red and alpha bytes of count pixels into 32-bit pixels.
inline void InterleavePixels(const std::uint8_t* b, const std::uint8_t* g, const std::uint8_t* r, const std::uint8_t* a, std::uint8_t* out,
                             std::size_t count) {
    for (std::size_t x = 0; x < count; ++x) {
        const std::uint32_t pixel = b[x] | (g[x] << 8) | (r[x] << 16) | (std::uint32_t{a[x]} << 24);
        std::memcpy(out + x * 4, &pixel, 4);
    }
}

// Rows of blue, green, red and alpha into one row of 32-bit pixels, 16 pixels at a time with
// SSE2 byte unpacking where the processor has it, the rest pixel by pixel.
void InterleaveRow(const std::uint8_t* const rows[4], std::uint8_t* out, std::size_t width) {
    std::size_t x = 0;
#if defined(__SSE2__)
    for (; x + 16 <= width; x += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[0] + x));
        const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[1] + x));
        const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2] + x));
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[3] + x));
        const __m128i bgLow = _mm_unpacklo_epi8(b, g), bgHigh = _mm_unpackhi_epi8(b, g);
        const __m128i raLow = _mm_unpacklo_epi8(r, a), raHigh = _mm_unpackhi_epi8(r, a);
        __m128i* dst = reinterpret_cast<__m128i*>(out + x * 4);
        _mm_storeu_si128(dst, _mm_unpacklo_epi16(bgLow, raLow));
        _mm_storeu_si128(dst + 1, _mm_unpackhi_epi16(bgLow, raLow));
        _mm_storeu_si128(dst + 2, _mm_unpacklo_epi16(bgHigh, raHigh));
        _mm_storeu_si128(dst + 3, _mm_unpackhi_epi16(bgHigh, raHigh));
    }
#endif
    InterleavePixels(rows[0] + x, rows[1] + x, rows[2] + x, rows[3] + x, out + x * 4, width - x);
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

bool PsdDecoder::DecodeRows(ByteReader& in, std::uint8_t* out, std::ptrdiff_t pitch, bool clearFourthByte, std::uint8_t* alphaMap) {
    const std::size_t width = fileWidth_, height = fileHeight_, count = width * height;
    // Which file channel each pixel byte takes, or none (its default then).
    int channelOf[4] = {-1, -1, -1, -1};
    int used = 0;
    for (const Slot& slot : kSlots) {
        if (static_cast<std::size_t>(slot.byte) < channels_) channelOf[slot.byte] = used++;
    }
    // Rows of the defaults, and one row per channel for the PackBits streams.
    // Rows of the defaults (and of zeros, for the fourth byte of a surface's pixels), then one
    // row per channel for the PackBits streams.
    std::vector<std::uint8_t> rowBytes(width * (5 + static_cast<std::size_t>(used)) + PackBitsRows::kSpill);
    const std::uint8_t* rows[4];
    for (const Slot& slot : kSlots) {
        std::uint8_t* row = &rowBytes[width * static_cast<std::size_t>(slot.byte)];
        std::memset(row, slot.fallback, width);
        rows[slot.byte] = row;
    }
    const std::uint8_t* zeros = &rowBytes[width * 4];
    // A surface's 32-bit pixels carry 0 in their fourth byte; the alpha channel is still read,
    // so a file loads or fails the same way whichever output it gets.
    auto fourth = [&](const std::uint8_t* alpha) { return clearFourthByte ? zeros : alpha; };
    if (compression_ == 0) {
        // Raw planes of width x height bytes, one after the other.
        const std::uint8_t* planes = nullptr;
        if (!in.Take(count * static_cast<std::size_t>(used), &planes)) return false;
        for (std::size_t y = 0; y < height; ++y, out += pitch) {
            for (int byte = 0; byte < 4; ++byte) {
                if (channelOf[byte] >= 0) rows[byte] = planes + count * static_cast<std::size_t>(channelOf[byte]) + y * width;
            }
            const std::uint8_t* const used4[4] = {rows[0], rows[1], rows[2], fourth(rows[3])};
            InterleaveRow(used4, out, width);
            if (alphaMap) std::memcpy(alphaMap + y * width, rows[3], width);
        }
        return true;
    }
    // PackBits: the row byte-count table (2 bytes per row of every channel) is not needed, each
    // channel is one stream. Find where each used channel's stream starts, then decode all of
    // them a row at a time, so the pixels are written once, in order.
    in.Skip(height * channels_ * 2);
    if (in.RanOut()) return false;
    const std::uint8_t* p = in.Here();
    const std::uint8_t* const end = p + in.Remaining();
    std::vector<PackBitsRows> streams;
    for (int k = 0; k < used; ++k) {
        streams.emplace_back(p, end, count);
        if (k + 1 < used && !(p = SkipPackBitsChannel(p, end, count))) return false;
    }
    std::uint8_t* channelRows = &rowBytes[width * 5];
    for (std::size_t y = 0; y < height; ++y, out += pitch) {
        for (int k = 0; k < used; ++k) {
            if (!streams[static_cast<std::size_t>(k)].Next(channelRows + width * static_cast<std::size_t>(k), width)) return false;
        }
        for (int byte = 0; byte < 4; ++byte) {
            if (channelOf[byte] >= 0) rows[byte] = channelRows + width * static_cast<std::size_t>(channelOf[byte]);
        }
        const std::uint8_t* const used4[4] = {rows[0], rows[1], rows[2], fourth(rows[3])};
        InterleaveRow(used4, out, width);
        if (alphaMap) std::memcpy(alphaMap + y * width, rows[3], width);
    }
    return true;
}

SurfacePtr PsdDecoder::Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data, std::int32_t placement) {
    ByteReader in(data, size);
    if (!ReadHeader(in) || !PictureSizeAllowed(fileWidth_, fileHeight_)) return nullptr;
    width_ = static_cast<std::int32_t>(fileWidth_);
    height_ = static_cast<std::int32_t>(fileHeight_);
    bitCount_ = 32;
    topDown_ = 1;
    // Every pixel is written on success (straight or through the transfer), and on failure the
    // surface is dropped, so it need not be zeroed first.
    if (!CreateSurfaceToOverwrite(device, placement)) return nullptr;
    // An extra channel after red, green and blue is the composite's alpha, kept when asked for.
    std::uint8_t* alphaMap = keepAlpha_ && channels_ >= 4 ? AllocAlphaMap() : nullptr;
    if (keepAlpha_ && channels_ >= 4 && !alphaMap) return nullptr;
    // A 32-bit RGB surface takes the rows directly: the pixel buffer's layout is its own.
    const platform::PixelFormatDesc& format = surface_->Format();
    platform::SurfaceDesc desc;
    desc.size = sizeof desc;
    if (format.bitCount == 32 && format.redMask == 0xFF0000 && format.greenMask == 0x00FF00 && format.blueMask == 0x0000FF &&
        platform::Succeeded(surface_->Lock(nullptr, &desc, platform::DDLOCK_WAIT, nullptr))) {
        const bool decoded = DecodeRows(in, static_cast<std::uint8_t*>(desc.surface), desc.pitch, true, alphaMap);
        surface_->Unlock(nullptr);
        SurfacePtr result = std::move(surface_);
        return decoded ? result : nullptr;
    }
    if (!AllocPixels(width_, height_, 32) || !DecodeRows(in, pixels_.get(), static_cast<std::ptrdiff_t>(RowLength()), false, alphaMap)) {
        FreeBuffers();
        surface_.reset();
        return nullptr;
    }
    BuildBitmapInfo();
    return TransferToSurface();
}

}  // namespace media
