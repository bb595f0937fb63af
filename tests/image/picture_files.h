#pragma once
// Picture files built byte by byte for the decoder tests, the benchmarks and the fuzz corpus:
// headers with every field settable (so a test can make a file lie), the formats' own packet
// encoders, JPEG files written by libjpeg-turbo's compressor and PNG files written by libspng's.
#include <cstdint>
#include <string>
#include <vector>

namespace picture_files {

using Bytes = std::vector<std::uint8_t>;

void PutLE16(Bytes& out, unsigned value);
void PutBE16(Bytes& out, unsigned value);
void PutBE32(Bytes& out, std::uint32_t value);
void Append(Bytes& out, const Bytes& more);

// TGA: the 18-byte header, the ID, the colour map and pixel data as given, then the version 2
// footer unless footer is false.
struct Tga {
    std::uint8_t imageType = 2;
    std::uint8_t depth = 24;
    std::uint16_t width = 1, height = 1;
    std::uint8_t descriptor = 0;  // 0x20: first stored row at the top
    std::uint8_t colorMapType = 0;
    std::uint16_t mapFirst = 0, mapLength = 0;
    std::uint8_t mapEntrySize = 0;
    Bytes id;
    Bytes colorMap;
    Bytes pixelData;
    bool footer = true;
};
Bytes TgaFile(const Tga& tga);
// Run-length packets for count pixels of pixelBytes each: runs of repeated pixels, raw packets
// for the rest, at most 128 pixels per packet and never across the given row width.
Bytes TgaRle(const std::uint8_t* pixels, std::size_t count, int pixelBytes, std::size_t rowWidth);

// PSD: the 26-byte header, three sections with the given contents, the compression code and
// the image data as given.
struct Psd {
    std::uint16_t version = 1;
    std::uint16_t channels = 3;
    std::uint32_t width = 1, height = 1;
    std::uint16_t depth = 8;
    std::uint16_t colorMode = 3;
    Bytes colorModeData, resources, layers;
    std::uint16_t compression = 0;
    Bytes imageData;
};
Bytes PsdFile(const Psd& psd);
// PackBits packets for one stream: runs of 3 or more as repeat packets, the rest literal.
Bytes PackBits(const std::uint8_t* data, std::size_t count);
// The compressed image data for planar channels (each width x height bytes): the row byte-count
// table, then each channel's rows packed one by one.
Bytes PsdPackBitsImage(const std::vector<Bytes>& planes, std::uint32_t width, std::uint32_t height);

// PCX: the 128-byte header with the given fields, the encoded scan lines, then (when palette
// is not empty) the marker byte and the 768 palette bytes.
struct Pcx {
    std::uint8_t version = 5;
    std::uint8_t bitsPerPixel = 8;
    std::int16_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::uint8_t planes = 1;
    std::int16_t bytesPerLine = 2;
    Bytes scanData;
    std::uint8_t paletteMarker = 12;
    Bytes palette;  // 768 bytes of red, green, blue, or empty
};
Bytes PcxFile(const Pcx& pcx);
// One plane line encoded: runs of equal bytes (up to 63) and every byte of 0xC0 or above as a
// run, so the encoding never lets a run cross the end of the line.
Bytes PcxEncodeLine(const std::uint8_t* line, std::size_t count);

// A JPEG of width x height pixels from interleaved red, green, blue bytes (or one grey byte per
// pixel when components is 1), written by libjpeg-turbo: JFIF first, or an Exif APP1 segment
// first (exif true, no JFIF segment).
struct JpegOptions {
    int quality = 90;
    bool progressive = false;
    bool exif = false;
};
Bytes JpegFile(const std::uint8_t* pixels, int width, int height, int components, const JpegOptions& options);
// What libjpeg-turbo makes of a good JPEG with its default settings: red, green, blue per pixel,
// top row first (grey files too).
Bytes JpegLibraryRgb(const Bytes& file);

// PNG: the header's fields and the samples row by row as the format packs them (samples of fewer
// than 8 bits from the most significant bits of each byte, every row starting on a byte; 16-bit
// samples as host-order words), written by libspng's encoder, with a palette (red, green, blue
// per entry) when one is given and a tRNS chunk of the given body when that is not empty.
struct Png {
    std::uint32_t width = 1, height = 1;
    std::uint8_t colorType = 2, bitDepth = 8;
    bool interlaced = false;
    Bytes samples;
    Bytes palette;
    Bytes trns;
};
Bytes PngFile(const Png& png);
// One chunk: length, type, body and CRC.
Bytes PngChunk(const char* type, const Bytes& body);
// Where the first chunk of the given type starts in a PNG file (its length field), or 0.
std::size_t FindPngChunk(const Bytes& file, const char* type);
// Recomputes the CRC of every whole chunk, so that an edited file is damaged only where edited.
void FixPngCrcs(Bytes& file);

// A deterministic 24-bit picture (red, green, blue per pixel) with flat areas, gradients and
// noise, the kind of content the decoders see in games: sized freely, the same for every seed.
Bytes TestScene(int width, int height, std::uint32_t seed);

}  // namespace picture_files
