#pragma once
// JpegDecoder: JFIF JPEG files (baseline and progressive, colour or greyscale) decoded with
// libjpeg-turbo's default settings (accurate integer DCT, fancy upsampling), upright at the
// picture's size in pixels. No Exif orientation and no physical density is applied. Like a
// picture that renders itself, it creates the surface first and lets the library write 24- and
// 32-bit RGB surfaces directly; other formats get a 32-bit buffer that the base transfers. Any
// error, and any warning that the data is corrupt or ends early, gives no surface: the library's
// error handling is routed back here and never ends the process.
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
    struct Session;
    // Everything between reading the header and the last row; false on any failure.
    bool Render(Session& session, const std::uint8_t* data, std::size_t size, platform::DisplayDevice* device, std::int32_t placement);
    bool ChooseOutput(Session& session);
};

}  // namespace media
