#pragma once
// PcxDecoder: PCX files of version 5 with run-length encoding, 8 bits per pixel in one plane
// (256 colours, the palette at the end of the file) or three planes (true colour). The result is
// an 8-bit buffer with colour entries or a 24-bit one, top row first, which the transfer converts;
// a surface of 32-bit red, green, blue pixels is written straight instead.
#include <array>
#include <cstdint>
#include <vector>

#include "media/image/image_decoder.h"

namespace media {

class ByteReader;

class PcxDecoder : public ImageDecoder {
public:
    PcxDecoder();
    ~PcxDecoder() override;

    std::int32_t CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t* tail,
                         std::size_t tailCount) override;
    SurfacePtr Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data,
                      std::int32_t placement) override;

private:
    bool ReadHeader(ByteReader& in);
    bool DecodePixels(ByteReader& in, std::uint8_t* row, std::ptrdiff_t pitch, bool words);
    static const std::uint8_t* Palette(const std::uint8_t* data, std::size_t size);
    void FillColorEntries(const std::uint8_t* data, std::size_t size);

    std::array<std::uint8_t, 128> header_{};
    std::uint8_t bitsPerPixel_ = 0, planes_ = 0;
    std::int32_t fileWidth_ = 0, fileHeight_ = 0, bytesPerLine_ = 0;
    // One scan line of every plane (and one spare byte), reused for each row while decoding.
    std::vector<std::uint8_t> scanLine_;
    // For surfaces that take 32-bit pixels straight: the palette's entries as pixel values.
    std::array<std::uint32_t, 256> paletteWords_{};
};

}  // namespace media
