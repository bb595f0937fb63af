#pragma once
// TgaDecoder: Truevision TGA files of version 2 (those ending in the "TRUEVISION-XFILE" footer),
// colour-mapped, true-colour and greyscale, uncompressed or run-length encoded, 8, 16, 24 or 32
// bits per pixel. 8-bit pictures become an 8-bit buffer with colour entries (the file's colour
// map, or a grey ramp for greyscale files); the others a 24-bit buffer of blue, green, red (a
// 32-bit buffer when alpha is kept).
#include <array>
#include <cstdint>
#include <vector>

#include "media/image/image_decoder.h"

namespace media {

class ByteReader;

class TgaDecoder : public ImageDecoder {
public:
    TgaDecoder();
    ~TgaDecoder() override;

    std::int32_t CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t* tail,
                         std::size_t tailCount) override;
    SurfacePtr Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data,
                      std::int32_t placement) override;

private:
    bool ReadHeader(ByteReader& in);
    bool Supported() const;
    bool HasColorMap() const { return colorMapType_ != 0 && depth_ == 8; }
    bool IsGreyscale() const { return imageType_ == 3 || imageType_ == 11; }
    // A 32-bit true-colour file whose descriptor gives 8 attribute (alpha) bits, read for a
    // caller that asked for alpha: decoded into a 32-bit buffer whose fourth bytes become the
    // alpha map.
    bool KeepsAlpha() const { return keepAlpha_ && depth_ == 32 && (header_[17] & 0x0F) == 8; }
    void ReadColorMap(ByteReader& in);
    void BuildGreyRamp();
    bool DecodePixels(ByteReader& in);
    void FillColorEntries();

    std::array<std::uint8_t, 18> header_{};
    std::uint8_t idLength_ = 0, colorMapType_ = 0, imageType_ = 0, mapEntrySize_ = 0, depth_ = 0;
    std::uint16_t mapFirst_ = 0, mapLength_ = 0, fileWidth_ = 0, fileHeight_ = 0;
    bool fileTopDown_ = false;
    // Red, green, blue for each of 256 indexes; only while an 8-bit picture is decoded.
    std::vector<std::uint8_t> palette_;
};

}  // namespace media
