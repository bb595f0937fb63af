#pragma once
// ImageDecoder: what every picture decoder shares. A decoder checks a file's signature
// (CanRead) and turns the file's bytes into a new display surface (Decode). The base owns the
// decoded pixel buffer and its description in device-independent bitmap layout (a 40-byte header
// and 256 colour entries), creates the surface and hands the pixels to the platform, which
// converts them into the surface's format. Decoders only decode.
//
// A new decoder is one file pair (a class derived from this one, reading through ByteReader)
// and one line in the detection table of image.cpp.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "../../platform/bitmaps/bitmap_info.h"
#include "../../platform/video/display_device.h"
#include "../../platform/video/display_surface.h"

namespace media {

/// Picture formats by type code. IMAGE_NONE asks the loader to detect the format.
enum ImageType : std::uint32_t { IMAGE_NONE = 0, IMAGE_BMP = 1, IMAGE_PSD = 2, IMAGE_TGA = 3, IMAGE_PCX = 4, IMAGE_JPG = 5,
                                  IMAGE_PNG = 6 };

/// The largest picture any decoder accepts: 16384 pixels a side and 2^26 pixels in all, checked
/// before anything is allocated.
/// @{
inline constexpr std::int64_t kMaxPictureSide = 16384;
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 26;
/// @}
/// True when a picture of width x height pixels is within those limits.
constexpr bool PictureSizeAllowed(std::int64_t width, std::int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

/// A display surface shared with its owner (pictures are returned this way).
using SurfacePtr = std::shared_ptr<platform::DisplaySurface>;

/// The base of every picture decoder: checks a signature (CanRead), decodes (Decode), and owns the
/// pixel buffer in device-independent layout until it is drawn onto the new surface.
class ImageDecoder {
public:
    /// How much of the data CanRead is shown: the first 256 and the last 64 bytes (fewer when
    /// the data is shorter; the counts passed are always the real ones).
    /// @{
    static constexpr std::size_t kHeadBytes = 256;
    static constexpr std::size_t kTailBytes = 64;
    /// @}

    ImageDecoder() = default;
    virtual ~ImageDecoder();
    ImageDecoder(const ImageDecoder&) = delete;
    ImageDecoder& operator=(const ImageDecoder&) = delete;

    /// 1 when the bytes carry this format's signature, else 0. A signature that would reach past
    /// headCount or tailCount does not match.
    virtual std::int32_t CanRead(const std::uint8_t* head, std::size_t headCount, const std::uint8_t* tail,
                                 std::size_t tailCount) = 0;
    /// A new surface of the picture's size holding the picture, or null. Reads only the size bytes
    /// at data; the surface belongs to the caller.
    virtual SurfacePtr Decode(platform::DisplayDevice* device, std::size_t size, const std::uint8_t* data,
                              std::int32_t placement) = 0;

    /// Accessors for tests and for decoders built on decoders: the decoded size, bit count,
    /// pixel buffer (owned by the decoder), its size, its description and row order.
    /// @{
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::uint8_t BitCount() const { return bitCount_; }
    const std::uint8_t* Pixels() const { return pixels_.get(); }
    std::size_t PixelBytes() const { return pixelBytes_; }
    const platform::BitmapInfo* BitmapInfo() const { return bitmapInfo_.get(); }
    bool TopDown() const { return topDown_ != 0; }
    /// @}

    /// Asks the decoder to keep the picture's alpha (an alpha channel, or a PNG's tRNS chunk) as
    /// an alpha map beside the surface: one byte per pixel, top row first, width bytes a row, 0
    /// transparent and 255 opaque (the layout the alpha-map blits read). Decoders of formats
    /// without alpha, and pictures that carry none, leave no map. The surface is the same either
    /// way.
    void KeepAlpha() { keepAlpha_ = true; }
    /// The alpha map of the last successful Decode (null when none was kept); the caller owns it.
    std::unique_ptr<std::uint8_t[]> TakeAlphaMap() { return std::move(alphaMap_); }

    /// Stores the size and bit count and allocates a zeroed buffer of row length x height bytes.
    /// 1 on success; 0 when the size is not allowed (see PictureSizeAllowed) or memory is short.
    std::int32_t AllocPixels(std::int32_t width, std::int32_t height, int bitCount);
    /// Frees the old buffers and allocates a zeroed pixel buffer of count bytes; 1 on success.
    std::int32_t AllocPixelBuffer(std::size_t count);
    /// Frees the pixel buffer and the description; returns 1.
    std::int32_t FreeBuffers();
    /// A fresh description from width, height, bit count and top-down: a 40-byte header and 256
    /// zero colour entries. Stays null when memory is short.
    void BuildBitmapInfo();
    /// Creates the surface (placement: low byte 0 video memory, 1 system memory, else either) at
    /// the decoder's size into the surface field; 1 on success, else 0.
    std::int32_t CreateDDSurface(platform::DisplayDevice* device, std::int32_t placement);
    /// Draws the whole pixel buffer onto the surface through its description, frees the buffers and
    /// returns the surface; null (and the surface released) when the drawing fails.
    SurfacePtr TransferToSurface();

protected:
    /// As CreateDDSurface, with the pixels left unset: for a decoder that writes every pixel on
    /// success and drops the surface on failure.
    std::int32_t CreateSurfaceToOverwrite(platform::DisplayDevice* device, std::int32_t placement);
    /// The end of a decode that renders either straight into its surface (direct) or into the
    /// pixel buffer: null, with everything freed, when rendering failed; else the surface, after
    /// the buffer's transfer into it where it was not written directly.
    SurfacePtr FinishDecode(bool rendered, bool direct);
    /// A decode by a library session (Session: its state, with `locked` set once rows go straight
    /// into the surface): render(session) runs only on data, and the session ends (the surface
    /// unlocked, the library's state freed) before FinishDecode.
    template <typename Session, typename Render>
    SurfacePtr DecodeInSession(bool haveData, Render render) {
        bool rendered = false;
        bool direct = false;
        {
            Session session;
            rendered = haveData && render(session);
            direct = session.locked != nullptr;
        }
        return FinishDecode(rendered, direct);
    }
    /// True when the format holds bitCount-bit pixels with red, green and blue in their own bytes
    /// (bytes 2, 1 and 0): the layout a decoder can write rows into straight, without the transfer.
    static bool IsRgbFormat(const platform::PixelFormatDesc& format, std::uint32_t bitCount) {
        return format.bitCount == bitCount && format.redMask == 0xFF0000 && format.greenMask == 0x00FF00 && format.blueMask == 0x0000FF;
    }
    /// Bytes per row of the pixel buffer at the current width and bit count.
    std::size_t RowLength() const { return static_cast<std::size_t>(platform::DibRowLength(width_, bitCount_)); }
    /// A fresh alpha map of width x height bytes in alphaMap_ (null when memory is short).
    std::uint8_t* AllocAlphaMap();
    /// Draws width x height pixels of bits, as info describes them, onto the surface at (0, 0).
    bool DrawToSurface(const platform::BitmapInfo& info, const std::uint8_t* bits);

    /// The picture being decoded: description, size, bit count, pixel buffer and its size, row
    /// order (non-zero: top row first) and the surface made for it.
    /// @{
    std::unique_ptr<platform::BitmapInfo> bitmapInfo_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::uint8_t bitCount_ = 0;
    std::unique_ptr<std::uint8_t[]> pixels_;
    std::size_t pixelBytes_ = 0;
    std::int32_t topDown_ = 0;
    SurfacePtr surface_;
    /// @}
    /// Whether the caller asked for alpha (KeepAlpha), and the map kept for it.
    /// @{
    bool keepAlpha_ = false;
    std::unique_ptr<std::uint8_t[]> alphaMap_;
    /// @}

private:
    std::int32_t MakeSurface(platform::DisplayDevice* device, std::int32_t placement, bool overwritten);
};

}  // namespace media
