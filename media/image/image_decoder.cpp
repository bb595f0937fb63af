#include "media/image/image_decoder.h"

#include <new>

#include "media/core/surface_placement.h"
#include "platform/bitmaps/dib_transfer.h"

namespace media {

ImageDecoder::~ImageDecoder() = default;

std::int32_t ImageDecoder::AllocPixels(std::int32_t width, std::int32_t height, int bitCount) {
    if (!PictureSizeAllowed(width, height) || bitCount <= 0 || bitCount > 32) return 0;
    width_ = width;
    height_ = height;
    bitCount_ = static_cast<std::uint8_t>(bitCount);
    return AllocPixelBuffer(RowLength() * static_cast<std::size_t>(height));
}

std::int32_t ImageDecoder::AllocPixelBuffer(std::size_t count) {
    FreeBuffers();
    // Zeroed, so a decoder that stops early never leaves stale memory in the picture.
    pixels_.reset(new (std::nothrow) std::uint8_t[count]());
    if (!pixels_) return 0;
    pixelBytes_ = count;
    return 1;
}

std::uint8_t* ImageDecoder::AllocAlphaMap() {
    alphaMap_.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)]);
    return alphaMap_.get();
}

std::int32_t ImageDecoder::FreeBuffers() {
    pixels_.reset();
    pixelBytes_ = 0;
    bitmapInfo_.reset();
    return 1;
}

void ImageDecoder::BuildBitmapInfo() {
    bitmapInfo_.reset(new (std::nothrow) platform::BitmapInfo{});
    if (!bitmapInfo_) return;
    platform::BitmapInfoHeader& h = bitmapInfo_->header;
    h.width = width_;
    h.height = topDown_ ? -height_ : height_;
    h.bitCount = bitCount_;
}

std::int32_t ImageDecoder::CreateDDSurface(platform::DisplayDevice* device, std::int32_t placement) {
    return MakeSurface(device, placement, false);
}

std::int32_t ImageDecoder::CreateSurfaceToOverwrite(platform::DisplayDevice* device, std::int32_t placement) {
    return MakeSurface(device, placement, true);
}

std::int32_t ImageDecoder::MakeSurface(platform::DisplayDevice* device, std::int32_t placement, bool overwritten) {
    surface_.reset();
    if (!device || width_ <= 0 || height_ <= 0) return 0;
    platform::SurfaceDesc desc;
    desc.size = sizeof desc;
    desc.flags = platform::DDSD_CAPS | platform::DDSD_HEIGHT | platform::DDSD_WIDTH;
    desc.width = static_cast<std::uint32_t>(width_);
    desc.height = static_cast<std::uint32_t>(height_);
    desc.caps = PlacementCaps(placement & 0xFF);
    const platform::HRESULT made = overwritten ? device->CreateSurfaceToOverwrite(&desc, &surface_) : device->CreateSurface(&desc, &surface_);
    return platform::Succeeded(made) && surface_ ? 1 : 0;
}

bool ImageDecoder::DrawToSurface(const platform::BitmapInfo& info, const std::uint8_t* bits) {
    if (!surface_) return false;
    platform::HDC dc = nullptr;
    surface_->GetDC(&dc);
    const int drawn = platform::StretchDIBits(dc, 0, 0, width_, height_, 0, 0, width_, height_, bits, &info,
                                              platform::DIB_RGB_COLORS, platform::SRCCOPY);
    if (dc) surface_->ReleaseDC(dc);
    return drawn != platform::GDI_ERROR;
}

SurfacePtr ImageDecoder::TransferToSurface() {
    // The buffer must hold every row the description promises before it is drawn.
    const bool complete = bitmapInfo_ && pixels_ && pixelBytes_ >= RowLength() * static_cast<std::size_t>(height_);
    const bool drawn = complete && DrawToSurface(*bitmapInfo_, pixels_.get());
    FreeBuffers();
    SurfacePtr result = drawn ? surface_ : nullptr;
    surface_.reset();
    return result;
}

SurfacePtr ImageDecoder::FinishDecode(bool rendered, bool direct) {
    if (!rendered) {
        alphaMap_.reset();
        FreeBuffers();
        surface_.reset();
        return nullptr;
    }
    if (direct) return std::move(surface_);
    BuildBitmapInfo();
    return TransferToSurface();
}

}  // namespace media
