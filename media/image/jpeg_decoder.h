#pragma once
// JpegDecoder: JFIF JPEG files (baseline and progressive, colour or greyscale) decoded with
// libjpeg-turbo's default settings (accurate integer DCT, fancy upsampling) into a 32-bit buffer,
// upright at the picture's size in pixels. No Exif orientation and no physical density is
// applied. Any error, and any warning that the data is corrupt or ends early, gives no surface:
// the library's error handling is routed back here and never ends the process.
#include <cstdint>

#include "media/image/image_decoder.h"

namespace media {

class JpegDecoder : public ImageDecoder {
public:
    JpegDecoder();
    ~JpegDecoder() override;

    std::int32_t CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t* tail,
                         std::size_t tailCount) override;
    SurfacePtr Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data,
                      std::int32_t placement) override;

private:
    bool DecodePixels(const std::uint8_t* data, std::size_t size);
};

}  // namespace media
