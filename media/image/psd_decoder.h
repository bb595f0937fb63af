#pragma once
// PsdDecoder: layered documents with the "8BPS" signature, read from the flattened composite
// image at the end of the file (RGB, 8 bits per channel, raw or PackBits planes). A 32-bit RGB
// surface receives the pixels directly; other formats get a 32-bit buffer of blue, green, red,
// alpha that the base transfers. Layers are skipped.
#include <array>
#include <cstdint>

#include "media/image/image_decoder.h"

namespace media {

class ByteReader;

class PsdDecoder : public ImageDecoder {
public:
    PsdDecoder();
    ~PsdDecoder() override;

    std::int32_t CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t* tail,
                         std::size_t tailCount) override;
    SurfacePtr Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data,
                      std::int32_t placement) override;

private:
    bool ReadHeader(ByteReader& in);
    // The composite into rows of 32-bit pixels pitch bytes apart; with clearFourthByte the
    // fourth byte of each pixel is 0 (a surface's layout) instead of the alpha channel. A non-null
    // alphaMap receives the alpha channel, width bytes a row.
    bool DecodeRows(ByteReader& in, std::uint8_t* out, std::ptrdiff_t pitch, bool clearFourthByte, std::uint8_t* alphaMap);

    std::array<std::uint8_t, 30> header_{};
    std::uint16_t version_ = 0, channels_ = 0, depth_ = 0, colorMode_ = 0, compression_ = 0;
    std::uint32_t fileWidth_ = 0, fileHeight_ = 0;
};

}  // namespace media
