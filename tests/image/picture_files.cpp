#include "tests/image/picture_files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <spng.h>

namespace picture_files {

void PutLE16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void PutBE16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}
void PutBE32(Bytes& out, std::uint32_t value) {
    PutBE16(out, value >> 16);
    PutBE16(out, value & 0xFFFF);
}
void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

Bytes TgaFile(const Tga& tga) {
    Bytes out;
    out.push_back(static_cast<std::uint8_t>(tga.id.size()));
    out.push_back(tga.colorMapType);
    out.push_back(tga.imageType);
    PutLE16(out, tga.mapFirst);
    PutLE16(out, tga.mapLength);
    out.push_back(tga.mapEntrySize);
    PutLE16(out, 0);
    PutLE16(out, 0);
    PutLE16(out, tga.width);
    PutLE16(out, tga.height);
    out.push_back(tga.depth);
    out.push_back(tga.descriptor);
    Append(out, tga.id);
    Append(out, tga.colorMap);
    Append(out, tga.pixelData);
    if (tga.footer) {
        for (int i = 0; i < 8; ++i) out.push_back(0);  // no extension or developer area
        const char signature[] = "TRUEVISION-XFILE.";
        out.insert(out.end(), signature, signature + sizeof signature);  // with the zero byte
    }
    return out;
}

Bytes TgaRle(const std::uint8_t* pixels, std::size_t count, int pixelBytes, std::size_t rowWidth) {
    Bytes out;
    const auto bytes = static_cast<std::size_t>(pixelBytes);
    auto same = [&](std::size_t a, std::size_t b) { return std::memcmp(pixels + a * bytes, pixels + b * bytes, bytes) == 0; };
    std::size_t i = 0;
    while (i < count) {
        const std::size_t rowEnd = (i / rowWidth + 1) * rowWidth;
        const std::size_t limit = std::min({count, rowEnd, i + 128});
        std::size_t run = 1;
        while (i + run < limit && same(i, i + run)) ++run;
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
            out.insert(out.end(), pixels + i * bytes, pixels + (i + 1) * bytes);
            i += run;
            continue;
        }
        std::size_t raw = 1;
        while (i + raw < limit && !(i + raw + 1 < limit && same(i + raw, i + raw + 1))) ++raw;
        out.push_back(static_cast<std::uint8_t>(raw - 1));
        out.insert(out.end(), pixels + i * bytes, pixels + (i + raw) * bytes);
        i += raw;
    }
    return out;
}

Bytes PsdFile(const Psd& psd) {
    Bytes out = {'8', 'B', 'P', 'S'};
    PutBE16(out, psd.version);
    for (int i = 0; i < 6; ++i) out.push_back(0);
    PutBE16(out, psd.channels);
    PutBE32(out, psd.height);
    PutBE32(out, psd.width);
    PutBE16(out, psd.depth);
    PutBE16(out, psd.colorMode);
    for (const Bytes* section : {&psd.colorModeData, &psd.resources, &psd.layers}) {
        PutBE32(out, static_cast<std::uint32_t>(section->size()));
        Append(out, *section);
    }
    PutBE16(out, psd.compression);
    Append(out, psd.imageData);
    return out;
}

Bytes PackBits(const std::uint8_t* data, std::size_t count) {
    Bytes out;
    std::size_t i = 0;
    while (i < count) {
        std::size_t run = 1;
        while (i + run < count && run < 128 && data[i + run] == data[i]) ++run;
        if (run >= 3) {
            out.push_back(static_cast<std::uint8_t>(257 - run));
            out.push_back(data[i]);
            i += run;
            continue;
        }
        std::size_t literal = 0;
        while (i + literal < count && literal < 128) {
            const std::size_t j = i + literal;
            if (j + 2 < count && data[j] == data[j + 1] && data[j] == data[j + 2]) break;
            ++literal;
        }
        out.push_back(static_cast<std::uint8_t>(literal - 1));
        out.insert(out.end(), data + i, data + i + literal);
        i += literal;
    }
    return out;
}

Bytes PsdPackBitsImage(const std::vector<Bytes>& planes, std::uint32_t width, std::uint32_t height) {
    Bytes table, packed;
    for (const Bytes& plane : planes) {
        for (std::uint32_t y = 0; y < height; ++y) {
            const Bytes row = PackBits(plane.data() + std::size_t{y} * width, width);
            PutBE16(table, static_cast<unsigned>(row.size()));
            Append(packed, row);
        }
    }
    Append(table, packed);
    return table;
}

Bytes PcxFile(const Pcx& pcx) {
    Bytes out = {10, pcx.version, 1, pcx.bitsPerPixel};
    for (std::int16_t v : {pcx.xMin, pcx.yMin, pcx.xMax, pcx.yMax}) PutLE16(out, static_cast<std::uint16_t>(v));
    PutLE16(out, 72);
    PutLE16(out, 72);
    out.resize(65, 0);
    out.push_back(pcx.planes);
    PutLE16(out, static_cast<std::uint16_t>(pcx.bytesPerLine));
    PutLE16(out, 1);  // palette information: colour
    out.resize(128, 0);
    Append(out, pcx.scanData);
    if (!pcx.palette.empty()) {
        out.push_back(pcx.paletteMarker);
        Append(out, pcx.palette);
    }
    return out;
}

Bytes PcxEncodeLine(const std::uint8_t* line, std::size_t count) {
    Bytes out;
    std::size_t i = 0;
    while (i < count) {
        std::size_t run = 1;
        while (i + run < count && run < 63 && line[i + run] == line[i]) ++run;
        if (run > 1 || line[i] >= 0xC0) {
            out.push_back(static_cast<std::uint8_t>(0xC0 | run));
            out.push_back(line[i]);
        } else {
            out.push_back(line[i]);
        }
        i += run;
    }
    return out;
}

Bytes JpegFile(const std::uint8_t* pixels, int width, int height, int components, const JpegOptions& options) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, options.quality, TRUE);
    if (options.progressive) jpeg_simple_progression(&info);
    if (options.exif) info.write_JFIF_header = FALSE;
    jpeg_start_compress(&info, TRUE);
    if (options.exif) {
        // A minimal Exif segment: the identifier and an empty little-endian TIFF header.
        const std::uint8_t exif[] = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0};
        jpeg_write_marker(&info, JPEG_APP0 + 1, exif, sizeof exif);
    }
    const std::size_t stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + info.next_scanline * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

Bytes JpegLibraryRgb(const Bytes& file) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), file.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    Bytes out(std::size_t{info.output_width} * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &out[std::size_t{info.output_scanline} * info.output_width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return out;
}

namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t count) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::uint32_t GetBE32(const Bytes& in, std::size_t at) {
    return std::uint32_t{in[at]} << 24 | std::uint32_t{in[at + 1]} << 16 | std::uint32_t{in[at + 2]} << 8 | in[at + 3];
}

}  // namespace

Bytes PngChunk(const char* type, const Bytes& body) {
    Bytes out;
    out.reserve(body.size() + 12);
    PutBE32(out, static_cast<std::uint32_t>(body.size()));
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(type[i]));
    Append(out, body);
    PutBE32(out, Crc32(out.data() + 4, body.size() + 4));
    return out;
}

std::size_t FindPngChunk(const Bytes& file, const char* type) {
    for (std::size_t at = 8; at + 8 <= file.size(); at += 12 + GetBE32(file, at)) {
        if (std::memcmp(&file[at + 4], type, 4) == 0) return at;
    }
    return 0;
}

void FixPngCrcs(Bytes& file) {
    for (std::size_t at = 8; at + 8 <= file.size();) {
        const std::size_t length = GetBE32(file, at);
        if (at + 12 + length > file.size()) return;
        const std::uint32_t crc = Crc32(&file[at + 4], length + 4);
        for (int i = 0; i < 4; ++i) file[at + 8 + length + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
}

Bytes PngFile(const Png& png) {
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr header{};
    header.width = png.width;
    header.height = png.height;
    header.bit_depth = png.bitDepth;
    header.color_type = png.colorType;
    header.interlace_method = png.interlaced ? SPNG_INTERLACE_ADAM7 : SPNG_INTERLACE_NONE;
    spng_set_ihdr(ctx, &header);
    if (!png.palette.empty()) {
        spng_plte plte{};
        plte.n_entries = static_cast<std::uint32_t>(png.palette.size() / 3);
        for (std::uint32_t i = 0; i < plte.n_entries; ++i) {
            plte.entries[i].red = png.palette[i * 3];
            plte.entries[i].green = png.palette[i * 3 + 1];
            plte.entries[i].blue = png.palette[i * 3 + 2];
        }
        spng_set_plte(ctx, &plte);
    }
    Bytes samples = png.samples;
    const int status = spng_encode_image(ctx, samples.data(), samples.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
    std::size_t size = 0;
    int error = 0;
    auto* buffer = static_cast<std::uint8_t*>(spng_get_png_buffer(ctx, &size, &error));
    Bytes out;
    if (status == 0 && buffer) out.assign(buffer, buffer + size);
    std::free(buffer);
    spng_ctx_free(ctx);
    if (!png.trns.empty() && !out.empty()) {
        const Bytes chunk = PngChunk("tRNS", png.trns);
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(FindPngChunk(out, "IDAT")), chunk.begin(), chunk.end());
    }
    return out;
}

Bytes TestScene(int width, int height, std::uint32_t seed) {
    Bytes out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    std::uint32_t state = seed * 2654435761u + 1;
    auto next = [&] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &out[(static_cast<std::size_t>(y) * width + x) * 3];
            const int band = (y * 4) / std::max(height, 1);
            if (band == 0) {
                // Sky: a vertical gradient, runs along each row.
                p[0] = static_cast<std::uint8_t>(40 + y);
                p[1] = static_cast<std::uint8_t>(80 + y / 2);
                p[2] = 200;
            } else if (band == 3) {
                // Ground: noisy texture.
                const std::uint32_t r = next();
                p[0] = static_cast<std::uint8_t>(90 + (r & 31));
                p[1] = static_cast<std::uint8_t>(60 + ((r >> 5) & 31));
                p[2] = static_cast<std::uint8_t>(20 + ((r >> 10) & 15));
            } else {
                // Flat tiles of a few colours with a horizontal gradient stripe.
                const int tile = ((x / 32) + (y / 24)) % 4;
                const std::uint8_t colours[4][3] = {{255, 0, 0}, {0, 0, 255}, {240, 220, 40}, {30, 30, 30}};
                if ((y % 24) < 4) {
                    p[0] = p[1] = p[2] = static_cast<std::uint8_t>(x * 255 / std::max(width - 1, 1));
                } else {
                    std::memcpy(p, colours[tile], 3);
                }
            }
        }
    }
    return out;
}

}  // namespace picture_files
