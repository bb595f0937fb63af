// Writes the seed corpus of the picture fuzz targets: small files of every variant each decoder
// reads, built the same way the tests build them. Usage: make_corpus <fuzz/corpus directory>.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/pixels/color_convert.h"
#include "tests/image/picture_files.h"

namespace {

using picture_files::Bytes;
namespace fs = std::filesystem;

constexpr int kW = 12, kH = 6;

void Write(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The scene with its pixels in file order for a TGA of the given bytes per pixel.
Bytes TgaPixels(const Bytes& rgb, int depth) {
    Bytes out;
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        const std::uint8_t r = rgb[i], g = rgb[i + 1], b = rgb[i + 2];
        switch (depth) {
            case 8: out.push_back(g); break;
            case 16: picture_files::PutLE16(out, static_cast<unsigned>((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3))); break;
            case 24: out.insert(out.end(), {b, g, r}); break;
            default: out.insert(out.end(), {b, g, r, 0xFF}); break;
        }
    }
    return out;
}

void Tgas(const fs::path& dir, const Bytes& rgb) {
    for (int depth : {8, 16, 24, 32}) {
        for (bool rle : {false, true}) {
            picture_files::Tga tga;
            tga.depth = static_cast<std::uint8_t>(depth);
            tga.imageType = static_cast<std::uint8_t>((depth == 8 ? 3 : 2) + (rle ? 8 : 0));
            tga.width = kW;
            tga.height = kH;
            tga.descriptor = rle ? 0x20 : 0;
            const Bytes pixels = TgaPixels(rgb, depth);
            tga.pixelData = rle ? picture_files::TgaRle(pixels.data(), kW * kH, depth / 8, kW) : pixels;
            Write(dir, "tga" + std::to_string(depth) + (rle ? "_rle" : "_raw"), picture_files::TgaFile(tga));
        }
    }
    for (int entry : {15, 24, 32}) {
        picture_files::Tga tga;
        tga.imageType = 9;
        tga.depth = 8;
        tga.width = kW;
        tga.height = kH;
        tga.colorMapType = 1;
        tga.mapEntrySize = static_cast<std::uint8_t>(entry);
        tga.mapFirst = 1;
        tga.mapLength = 8;
        tga.colorMap.assign(8 * static_cast<std::size_t>((entry + 1) / 8), 0x5A);
        Bytes indexes;
        for (int i = 0; i < kW * kH; ++i) indexes.push_back(static_cast<std::uint8_t>(1 + (i / 5) % 8));
        tga.pixelData = picture_files::TgaRle(indexes.data(), indexes.size(), 1, kW);
        tga.id = {'i', 'd'};
        Write(dir, "tga_map" + std::to_string(entry), picture_files::TgaFile(tga));
    }
}

void Psds(const fs::path& dir, const Bytes& rgb) {
    for (std::uint16_t channels : {1, 3, 4}) {
        std::vector<Bytes> planes(channels, Bytes(kW * kH, 0xFF));
        for (std::size_t i = 0; i < kW * kH; ++i) {
            for (std::size_t c = 0; c < channels && c < 3; ++c) planes[c][i] = rgb[i * 3 + c];
        }
        for (std::uint16_t compression : {0, 1}) {
            picture_files::Psd psd;
            psd.channels = channels;
            psd.width = kW;
            psd.height = kH;
            psd.compression = compression;
            if (channels == 4) psd.layers.assign(20, 0);
            if (compression == 1) {
                psd.imageData = picture_files::PsdPackBitsImage(planes, kW, kH);
            } else {
                for (const Bytes& p : planes) picture_files::Append(psd.imageData, p);
            }
            Write(dir, "psd" + std::to_string(channels) + (compression ? "_packbits" : "_raw"), picture_files::PsdFile(psd));
        }
    }
}

void Pcxs(const fs::path& dir, const Bytes& rgb) {
    for (int planes : {1, 3}) {
        picture_files::Pcx pcx;
        pcx.planes = static_cast<std::uint8_t>(planes);
        pcx.xMax = kW - 1;
        pcx.yMax = kH - 1;
        pcx.bytesPerLine = kW + 2;
        Bytes line(kW + 2, 0);
        for (int y = 0; y < kH; ++y) {
            for (int plane = 0; plane < planes; ++plane) {
                for (int x = 0; x < kW; ++x) {
                    const std::uint8_t* p = &rgb[static_cast<std::size_t>((y * kW + x) * 3)];
                    line[static_cast<std::size_t>(x)] = planes == 3 ? p[plane] : platform::PaletteIndex332(p[0], p[1], p[2]);
                }
                picture_files::Append(pcx.scanData, picture_files::PcxEncodeLine(line.data(), line.size()));
            }
        }
        if (planes == 1) {
            for (int i = 0; i < 768; ++i) pcx.palette.push_back(static_cast<std::uint8_t>(i * 7));
        }
        Write(dir, "pcx" + std::to_string(planes), picture_files::PcxFile(pcx));
    }
}

void Jpegs(const fs::path& dir, const Bytes& rgb) {
    picture_files::JpegOptions options;
    options.quality = 50;
    Write(dir, "baseline", picture_files::JpegFile(rgb.data(), kW, kH, 3, options));
    options.progressive = true;
    Write(dir, "progressive", picture_files::JpegFile(rgb.data(), kW, kH, 3, options));
    options.progressive = false;
    options.exif = true;
    Write(dir, "exif", picture_files::JpegFile(rgb.data(), kW, kH, 3, options));
    Bytes grey;
    for (std::size_t i = 0; i < rgb.size(); i += 3) grey.push_back(rgb[i]);
    Write(dir, "grey", picture_files::JpegFile(grey.data(), kW, kH, 1, {}));
}

// Every colour type at its bit depths, plain and interlaced, and a palette with a tRNS chunk.
void Pngs(const fs::path& dir, const Bytes& rgb) {
    struct Kind {
        const char* name;
        std::uint8_t colorType, bits, channels;
    };
    const Kind kinds[] = {{"grey1", 0, 1, 1}, {"grey4", 0, 4, 1},     {"grey16", 0, 16, 1}, {"palette2", 3, 2, 1},
                          {"palette8", 3, 8, 1}, {"grey_alpha8", 4, 8, 2}, {"rgb8", 2, 8, 3}, {"rgb16", 2, 16, 3},
                          {"rgba8", 6, 8, 4},  {"rgba16", 6, 16, 4}};
    for (const Kind& k : kinds) {
        for (bool interlaced : {false, true}) {
            picture_files::Png png;
            png.width = kW;
            png.height = kH;
            png.colorType = k.colorType;
            png.bitDepth = k.bits;
            png.interlaced = interlaced;
            const std::size_t rowBytes = (std::size_t{kW} * k.channels * k.bits + 7) / 8;
            for (std::size_t y = 0; y < kH; ++y) {
                for (std::size_t i = 0; i < rowBytes; ++i) png.samples.push_back(rgb[(y * rowBytes + i) % rgb.size()]);
            }
            if (k.colorType == 3) {
                for (int i = 0; i < (1 << k.bits) * 3; ++i) png.palette.push_back(static_cast<std::uint8_t>(i * 5));
                if (k.bits == 8) png.trns = {0, 128, 255};
            }
            Write(dir, std::string(k.name) + (interlaced ? "_interlaced" : ""), picture_files::PngFile(png));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus <corpus directory>\n");
        return 2;
    }
    const fs::path root(argv[1]);
    const Bytes rgb = picture_files::TestScene(kW, kH, 11);
    Tgas(root / "tga_decoder_fuzzer", rgb);
    Psds(root / "psd_decoder_fuzzer", rgb);
    Pcxs(root / "pcx_decoder_fuzzer", rgb);
    Jpegs(root / "jpeg_decoder_fuzzer", rgb);
    Pngs(root / "png_decoder_fuzzer", rgb);
    return 0;
}
