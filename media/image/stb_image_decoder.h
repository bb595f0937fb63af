#pragma once
// StbImageDecoder: PNG and JPEG pictures through stb_image (libstb-dev, header only), for the
// browser build, where libspng and libjpeg-turbo are absent. Same signatures and results as the
// native decoders: PNG pixel for pixel (16-bit channels rounded to the nearest 8-bit value, alpha
// kept as the alpha map when asked), JPEG within a few steps per channel of libjpeg-turbo (its
// own IDCT and upsampling). Sizes are checked before anything is decoded. Writes a 32-bit
// buffer of blue, green, red that the base transfers.
#include <cstdint>

#include "media/image/image_decoder.h"

namespace media {

template <std::uint32_t Type>
class StbImageDecoder : public ImageDecoder {
    static_assert(Type == IMAGE_PNG || Type == IMAGE_JPG, "stb_image stands in for the PNG and JPEG decoders only");

public:
    StbImageDecoder() = default;
    ~StbImageDecoder() override = default;

    std::int32_t CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t* tail,
                         std::size_t tailCount) override;
    SurfacePtr Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data,
                      std::int32_t placement) override;
};

extern template class StbImageDecoder<IMAGE_PNG>;
extern template class StbImageDecoder<IMAGE_JPG>;

}  // namespace media
