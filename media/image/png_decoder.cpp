#include "media/image/png_decoder.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <libdeflate.h>

// libspng rather than libpng: it reports every error as a return code (libpng's default error
// path is a longjmp, which skips C++ destructors), bounds the picture's size and the memory kept
// for ancillary chunks with settings of its own, checks every chunk's CRC, is fuzzed continuously
// upstream, and decodes faster than libpng with its vectorised filters. It reads straight from
// the file's bytes in memory.
// The commonest picture, 8-bit RGB or RGBA without interlacing and with no chunk but its header,
// its data and its end, takes a shorter road: its data is inflated whole by libdeflate (about four
// times zlib's speed, which libspng uses row by row) and unfiltered here. Anything else about such
// a file, and every other file, goes through libspng, which also has the last word on any file
// the short road gives up on, so the two can differ only in speed.
#include <spng.h>

#include "platform/pixels/pixel_access.h"
#include "platform/video/display_surface.h"

namespace media {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// The library keeps ancillary chunks (text, colour profiles, ...) in memory while it decodes;
// this caps one such chunk and all of them together (the library wants the first no larger than
// the second), so compressed text cannot balloon. The pixel data is not counted.
constexpr std::size_t kMaxAncillaryBytes = std::size_t{16} << 20;

// A 16-bit channel to the nearest 8-bit value: round(v x 255 / 65535), exact for every v.
inline std::uint8_t Narrow16(unsigned v) { return static_cast<std::uint8_t>((v * 255u + 32895u) >> 16); }

// One decoded row into surface pixels: blue, green, red, then a zero fourth byte for 32 bits (the
// layer's 32-bit pixels carry 0 there; the collision test within one sheet compares whole words).
// The library gives 8-bit pictures as red, green, blue and 16-bit ones as red, green, blue, alpha
// in host-order words; the short road's rows are red, green, blue with or without alpha. Alpha is
// dropped. Written plainly for the vectoriser.
template <int kInBytes, int kOutBytes>
inline void From8(const std::uint8_t* __restrict in, std::uint8_t* __restrict out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, in += kInBytes, out += kOutBytes) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        if constexpr (kOutBytes == 4) out[3] = 0;
    }
}

template <int kOutBytes>
inline void FromRgba16(const std::uint8_t* __restrict in, std::uint8_t* __restrict out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, in += 8, out += kOutBytes) {
        std::uint16_t c[4];
        std::memcpy(c, in, 8);
        out[0] = Narrow16(c[2]);
        out[1] = Narrow16(c[1]);
        out[2] = Narrow16(c[0]);
        if constexpr (kOutBytes == 4) out[3] = 0;
    }
}

MEDIA_PIXEL_LOOP void Rgba8ToBgrx(const std::uint8_t* in, std::uint8_t* out, std::size_t count) { From8<4, 4>(in, out, count); }
MEDIA_PIXEL_LOOP void Rgba8ToBgr(const std::uint8_t* in, std::uint8_t* out, std::size_t count) { From8<4, 3>(in, out, count); }
MEDIA_PIXEL_LOOP void Rgb8ToBgrx(const std::uint8_t* in, std::uint8_t* out, std::size_t count) { From8<3, 4>(in, out, count); }
MEDIA_PIXEL_LOOP void Rgb8ToBgr(const std::uint8_t* in, std::uint8_t* out, std::size_t count) { From8<3, 3>(in, out, count); }
MEDIA_PIXEL_LOOP void Rgba16ToBgrx(const std::uint8_t* in, std::uint8_t* out, std::size_t count) { FromRgba16<4>(in, out, count); }
MEDIA_PIXEL_LOOP void Rgba16ToBgr(const std::uint8_t* in, std::uint8_t* out, std::size_t count) { FromRgba16<3>(in, out, count); }

using RowConverter = void (*)(const std::uint8_t*, std::uint8_t*, std::size_t);

// The alpha of one decoded RGBA row into a row of the alpha map: 8-bit samples as they are,
// 16-bit ones rounded as the colours are.
MEDIA_PIXEL_LOOP void AlphaOfRgba8(const std::uint8_t* in, std::uint8_t* out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) out[i] = in[4 * i + 3];
}
MEDIA_PIXEL_LOOP void AlphaOfRgba16(const std::uint8_t* in, std::uint8_t* out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        std::uint16_t a;
        std::memcpy(&a, in + 8 * i + 6, 2);
        out[i] = Narrow16(a);
    }
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// The most bytes deflate can make of one compressed byte.
constexpr std::size_t kMaxInflation = 1032;

// The bytes the file's data chunks hold, over every chunk whose length fits in the file (the
// library checks their CRCs and order).
std::uint64_t DataChunkBytes(const std::uint8_t* data, std::size_t size) {
    std::uint64_t total = 0;
    for (std::size_t at = sizeof kSignature; at <= size && size - at >= 12;) {
        const std::uint32_t length = BigEndian32(data + at);
        if (length > size - at - 12) break;
        if (std::memcmp(data + at + 4, "IDAT", 4) == 0) total += length;
        at += 12 + std::size_t{length};
    }
    return total;
}

// Whether the data chunks can inflate to the picture's samples (a bound below its filtered rows):
// a small file declaring a large picture is refused before the surface and the decode buffer
// are taken. The library would fail it at the first row the data runs out in.
bool DataCanFill(const spng_ihdr& header, const std::uint8_t* data, std::size_t size) {
    unsigned channels = 1;
    switch (header.color_type) {
        case SPNG_COLOR_TYPE_TRUECOLOR: channels = 3; break;
        case SPNG_COLOR_TYPE_GRAYSCALE_ALPHA: channels = 2; break;
        case SPNG_COLOR_TYPE_TRUECOLOR_ALPHA: channels = 4; break;
        default: break;
    }
    const std::uint64_t bits = std::uint64_t{header.width} * header.height * channels * header.bit_depth;
    return DataChunkBytes(data, size) * kMaxInflation >= bits / 8;
}

// A plain picture's compressed data, gathered from its chunks.
struct PlainPicture {
    std::uint32_t width = 0, height = 0;
    int channels = 0;  // 3 (RGB) or 4 (RGBA)
    std::vector<std::uint8_t> compressed;
};

// The header of an 8-bit RGB or RGBA picture without interlacing (and the format's only
// compression and filter methods).
bool ReadPlainHeader(const std::uint8_t* body, std::uint32_t length, PlainPicture& picture) {
    if (length != 13 || body[8] != 8 || (body[9] != 2 && body[9] != 6) || body[10] != 0 || body[11] != 0 || body[12] != 0) return false;
    picture.width = BigEndian32(body);
    picture.height = BigEndian32(body + 4);
    picture.channels = body[9] == 2 ? 3 : 4;
    return PictureSizeAllowed(picture.width, picture.height);
}

// Walks the chunks after the signature: true when they are exactly a plain header, one run of
// data chunks and the end chunk with nothing after it, every CRC right; the data is gathered.
bool ReadPlainPicture(const std::uint8_t* data, std::size_t size, PlainPicture& picture) {
    std::size_t at = sizeof kSignature;
    bool header = false;
    while (size - at >= 12) {
        const std::uint32_t length = BigEndian32(data + at);
        if (length > size - at - 12) return false;
        const std::uint8_t* type = data + at + 4;
        const std::uint8_t* body = type + 4;
        if (libdeflate_crc32(0, type, std::size_t{length} + 4) != BigEndian32(body + length)) return false;
        if (!header) {
            if (std::memcmp(type, "IHDR", 4) != 0 || !ReadPlainHeader(body, length, picture)) return false;
            header = true;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            picture.compressed.insert(picture.compressed.end(), body, body + length);
        } else {
            return std::memcmp(type, "IEND", 4) == 0 && length == 0 && at + 12 == size && !picture.compressed.empty();
        }
        at += 12 + std::size_t{length};
    }
    return false;
}

// Undoes one row's filter in place (None, Sub, Up, Average, Paeth), prior being the row above
// unfiltered (zeros for the first); false for a filter the format does not have. Pixels take
// kBytes bytes; every sum wraps at 256.
template <int kBytes>
bool Unfilter(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* prior, std::size_t count) {
    switch (filter) {
        case 0: return true;
        case 1:
            for (std::size_t i = kBytes; i < count; ++i) row[i] = static_cast<std::uint8_t>(row[i] + row[i - kBytes]);
            return true;
        case 2:
            for (std::size_t i = 0; i < count; ++i) row[i] = static_cast<std::uint8_t>(row[i] + prior[i]);
            return true;
        case 3:
            for (std::size_t i = 0; i < count; ++i) {
                const unsigned left = i >= kBytes ? row[i - kBytes] : 0u;
                row[i] = static_cast<std::uint8_t>(row[i] + ((left + prior[i]) >> 1));
            }
            return true;
        case 4:
            for (std::size_t i = 0; i < count; ++i) {
                const int a = i >= kBytes ? row[i - kBytes] : 0, b = prior[i], c = i >= kBytes ? prior[i - kBytes] : 0;
                const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
                const int predicted = pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
                row[i] = static_cast<std::uint8_t>(row[i] + predicted);
            }
            return true;
        default: return false;
    }
}

struct DecompressorDeleter {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

}  // namespace

// The decoder context and the surface lock, released on every path.
struct PngDecoder::Session {
    spng_ctx* png = nullptr;
    platform::DisplaySurface* locked = nullptr;
    std::uint8_t* rows = nullptr;  // first output row: the surface's or the pixel buffer's
    std::ptrdiff_t pitch = 0;
    RowConverter convert = nullptr;
    RowConverter alpha = nullptr;  // set when the alpha map is kept
    int outBytes = 4;  // bytes of an output pixel: 3 on a 24-bit surface
    ~Session() {
        if (locked) locked->Unlock(nullptr);
        if (png) spng_ctx_free(png);
    }
};

PngDecoder::PngDecoder() = default;
PngDecoder::~PngDecoder() = default;

std::int32_t PngDecoder::CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t*, std::size_t) {
    return headCount >= sizeof kSignature && std::memcmp(head, kSignature, sizeof kSignature) == 0 ? 1 : 0;
}

// Where the rows go: straight into a locked 24- or 32-bit RGB surface, or into a 32-bit pixel
// buffer that the transfer converts into any other format.
bool PngDecoder::ChooseOutput(Session& s, bool sixteenBit) {
    platform::SurfaceDesc desc;
    desc.size = sizeof desc;
    const platform::PixelFormatDesc& format = surface_->Format();
    const bool direct = IsRgbFormat(format, 32) || IsRgbFormat(format, 24);
    if (direct && platform::Succeeded(surface_->Lock(nullptr, &desc, platform::DDLOCK_WAIT, nullptr))) {
        s.locked = surface_.get();
        s.rows = static_cast<std::uint8_t*>(desc.surface);
        s.pitch = desc.pitch;
        if (format.bitCount == 24) {
            s.convert = sixteenBit ? Rgba16ToBgr : Rgb8ToBgr;
            s.outBytes = 3;
            return true;
        }
    } else {
        if (!AllocPixels(width_, height_, 32)) return false;
        s.rows = pixels_.get();
        s.pitch = static_cast<std::ptrdiff_t>(RowLength());
    }
    s.convert = sixteenBit ? Rgba16ToBgrx : Rgb8ToBgrx;
    return true;
}

bool PngDecoder::Render(Session& s, const std::uint8_t* data, std::size_t size, platform::DisplayDevice* device, std::int32_t placement) {
    // Every compressed byte is already covered by its chunk's CRC-32, which the library checks;
    // the compressed stream's own Adler-32 over the same bytes is skipped (it costs a tenth of the
    // decoding time and finds nothing the CRCs miss).
    s.png = spng_ctx_new(SPNG_CTX_IGNORE_ADLER32);
    if (!s.png) return false;
    if (spng_set_png_buffer(s.png, data, size) != 0 ||
        spng_set_image_limits(s.png, static_cast<std::uint32_t>(kMaxPictureSide), static_cast<std::uint32_t>(kMaxPictureSide)) != 0 ||
        spng_set_chunk_limits(s.png, kMaxAncillaryBytes, kMaxAncillaryBytes) != 0) {
        return false;
    }
    spng_ihdr header{};
    if (spng_get_ihdr(s.png, &header) != 0 || !PictureSizeAllowed(header.width, header.height) || !DataCanFill(header, data, size)) {
        return false;
    }
    width_ = static_cast<std::int32_t>(header.width);
    height_ = static_cast<std::int32_t>(header.height);
    bitCount_ = 32;
    topDown_ = 1;

    // 8-bit output for pictures of up to 8 bits a channel (palettes and grey expanded by the
    // library), 16-bit for 16-bit pictures so that they are rounded here rather than cut.
    const bool sixteenBit = header.bit_depth == 16;
    // Asked for alpha, a picture with an alpha channel or a tRNS chunk decodes to RGBA with the
    // chunk applied, and its alpha goes to the map as the rows come.
    spng_trns trns{};
    const bool alpha = keepAlpha_ && (header.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA ||
                                      header.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA || spng_get_trns(s.png, &trns) == 0);
    const int format = sixteenBit ? SPNG_FMT_RGBA16 : (alpha ? SPNG_FMT_RGBA8 : SPNG_FMT_RGB8);
    std::size_t imageBytes = 0;
    if (spng_decoded_image_size(s.png, format, &imageBytes) != 0) return false;
    const std::size_t rowBytes = imageBytes / header.height;
    if (!CreateDDSurface(device, placement) || !ChooseOutput(s, sixteenBit)) return false;
    if (alpha) {
        if (!AllocAlphaMap()) return false;
        s.alpha = sixteenBit ? AlphaOfRgba16 : AlphaOfRgba8;
        if (!sixteenBit) s.convert = s.outBytes == 3 ? Rgba8ToBgr : Rgba8ToBgrx;
    }

    // The library decodes row by row. A plain picture's rows arrive top to bottom, each converted
    // as it comes out of the one decoded row; an interlaced picture's rows are filled in over seven
    // passes, so it is decoded whole first and converted at the end.
    const bool interlaced = header.interlace_method != SPNG_INTERLACE_NONE;
    if (!interlaced && !sixteenBit && RenderPlain(s, data, size)) return true;
    if (spng_decode_image(s.png, nullptr, 0, format, SPNG_DECODE_PROGRESSIVE | (alpha ? SPNG_DECODE_TRNS : 0)) != 0) return false;
    std::vector<std::uint8_t> decoded(interlaced ? imageBytes : rowBytes);
    int status = SPNG_OK;
    do {
        spng_row_info row{};
        const int info = spng_get_row_info(s.png, &row);
        // When the last passes of an interlaced picture are empty (one row high), the row that
        // ends the picture comes from an earlier pass and the library reports the end here.
        if (info == SPNG_EOI && interlaced) break;
        if (info != 0 || row.row_num >= header.height) return false;
        std::uint8_t* in = interlaced ? decoded.data() + std::size_t{row.row_num} * rowBytes : decoded.data();
        status = spng_decode_row(s.png, in, rowBytes);
        if (status != SPNG_OK && status != SPNG_EOI) return false;
        if (!interlaced) ConvertRow(s, in, row.row_num);
    } while (status == SPNG_OK);
    if (interlaced) {
        for (std::uint32_t y = 0; y < header.height; ++y) ConvertRow(s, decoded.data() + std::size_t{y} * rowBytes, y);
    }
    // The chunks after the pixels, up to the end chunk: a file cut after its last row is cut all
    // the same.
    return spng_decode_chunks(s.png) == 0;
}

void PngDecoder::ConvertRow(Session& s, const std::uint8_t* in, std::uint32_t y) {
    s.convert(in, s.rows + static_cast<std::ptrdiff_t>(y) * s.pitch, static_cast<std::size_t>(width_));
    if (s.alpha) s.alpha(in, alphaMap_.get() + std::size_t{y} * static_cast<std::size_t>(width_), static_cast<std::size_t>(width_));
}

// The short road (see the top of this file): false, with nothing decided, when the file is not a
// plain picture or its data does not inflate and unfilter to exactly its rows; libspng then
// decodes it (overwriting any rows written here).
bool PngDecoder::RenderPlain(Session& s, const std::uint8_t* data, std::size_t size) {
    PlainPicture picture;
    if (!ReadPlainPicture(data, size, picture) || picture.width != static_cast<std::uint32_t>(width_) ||
        picture.height != static_cast<std::uint32_t>(height_)) {
        return false;
    }
    const std::size_t rowBytes = std::size_t{picture.width} * static_cast<std::size_t>(picture.channels);
    const std::size_t stride = rowBytes + 1;  // each row's filter byte, then its samples
    const std::size_t total = stride * picture.height;
    // Deflate makes at most 1032 bytes of one: data too short for the rows is left to libspng
    // before a buffer of the rows' size is taken.
    if (total / kMaxInflation > picture.compressed.size()) return false;
    // Not cleared: a successful inflation writes every byte.
    const std::unique_ptr<std::uint8_t[]> rows(new (std::nothrow) std::uint8_t[total]);
    const std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> inflater(libdeflate_alloc_decompressor());
    std::size_t used = 0, made = 0;
    if (!rows || !inflater ||
        libdeflate_zlib_decompress_ex(inflater.get(), picture.compressed.data(), picture.compressed.size(), rows.get(), total, &used,
                                      &made) != LIBDEFLATE_SUCCESS ||
        used != picture.compressed.size() || made != total) {
        return false;
    }
    const std::vector<std::uint8_t> zeros(rowBytes, 0);
    const RowConverter convert = picture.channels == 3 ? s.convert : (s.outBytes == 3 ? Rgba8ToBgr : Rgba8ToBgrx);
    const auto unfilter = picture.channels == 3 ? Unfilter<3> : Unfilter<4>;
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        std::uint8_t* row = rows.get() + std::size_t{y} * stride;
        const std::uint8_t* prior = y == 0 ? zeros.data() : row - stride + 1;
        if (!unfilter(row[0], row + 1, prior, rowBytes)) return false;
        convert(row + 1, s.rows + static_cast<std::ptrdiff_t>(y) * s.pitch, picture.width);
        if (s.alpha) s.alpha(row + 1, alphaMap_.get() + std::size_t{y} * picture.width, picture.width);
    }
    return true;
}

SurfacePtr PngDecoder::Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data, std::int32_t placement) {
    return DecodeInSession<Session>(data && size > 0, [&](Session& session) { return Render(session, data, size, device, placement); });
}

}  // namespace media
