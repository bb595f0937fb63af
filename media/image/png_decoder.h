#pragma once
// PngDecoder: PNG files of every colour type and bit depth the format defines (palette; grey of
// 1, 2, 4, 8 and 16 bits; grey with alpha; RGB and RGBA of 8 and 16 bits), plain or interlaced
// (Adam7), decoded with libspng, plain 8-bit RGB and RGBA pictures inflated by libdeflate and
// unfiltered here (png_decoder.cpp says when). The surface shows each pixel's red, green and blue: alpha, from
// an alpha channel or a tRNS chunk, is dropped, as the TGA and PSD decoders drop theirs (surfaces
// have no alpha; colour keys say what is transparent), unless the caller asks for it (KeepAlpha):
// then it becomes the alpha map, the surface unchanged. No gamma is applied. 16-bit channels
// are rounded to the nearest 8-bit value. Like JpegDecoder it creates the surface first and writes
// 24- and 32-bit RGB surfaces directly; other formats get a 32-bit buffer that the base
// transfers. A damaged or cut file (bad checksum, broken compressed data, missing rows or a
// missing end chunk) gives no surface.
#include <cstdint>

#include "media/image/image_decoder.h"

namespace media {

class PngDecoder : public ImageDecoder {
public:
    PngDecoder();
    ~PngDecoder() override;

    std::int32_t CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t* tail,
                         std::size_t tailCount) override;
    SurfacePtr Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data,
                      std::int32_t placement) override;

private:
    struct Session;
    // Everything between reading the header and the end chunk; false on any failure.
    bool Render(Session& session, const std::uint8_t* data, std::size_t size, platform::DisplayDevice* device, std::int32_t placement);
    bool ChooseOutput(Session& session, bool sixteenBit);
    // One decoded row into row y of the output, and its alpha into the map when one is kept.
    void ConvertRow(Session& session, const std::uint8_t* in, std::uint32_t y);
    // A plain 8-bit RGB or RGBA picture inflated whole and unfiltered here; false to leave the
    // file to libspng.
    bool RenderPlain(Session& session, const std::uint8_t* data, std::size_t size);
};

}  // namespace media
