#pragma once
// The description of a device-independent bitmap that the decoders hand to the platform: a
// 40-byte header followed by 256 colour entries, laid out as the OS's bitmap functions expect.
#include <array>
#include <cstdint>
#include <cstring>

namespace platform {

/// Compression of a bitmap: none, 8-bit and 4-bit run lengths, channel masks.
/// @{
inline constexpr std::uint32_t BI_RGB = 0;
inline constexpr std::uint32_t BI_RLE8 = 1;
inline constexpr std::uint32_t BI_RLE4 = 2;
inline constexpr std::uint32_t BI_BITFIELDS = 3;
/// @}
/// Colour table entries are colours.
inline constexpr std::uint32_t DIB_RGB_COLORS = 0;
/// Raster operation: copy the source.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
/// What a failed GDI call gives.
inline constexpr int GDI_ERROR = -1;

/// A device-independent bitmap's header.
struct BitmapInfoHeader {
    /// Its size, width, planes (1), bits a pixel, compression, size of the pixels, resolution, and colours used and important.
    /// @{
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;  ///< negative: the first row in memory is the top row
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0, yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0, clrImportant = 0;
    /// @}
};
static_assert(sizeof(BitmapInfoHeader) == 40);

/// One palette entry.
struct RgbQuad {
    /// Its channels, and an unused byte.
    /// @{
    std::uint8_t blue = 0, green = 0, red = 0, reserved = 0;
    /// @}
};

/// A header with its colour table (or, with BI_BITFIELDS, the three channel masks first).
struct BitmapInfo {
    /// The header and the colour table.
    /// @{
    BitmapInfoHeader header;
    std::array<RgbQuad, 256> colors{};
    /// @}
};

/// With BI_BITFIELDS the first three colour entries hold the red, green and blue masks.
inline std::uint32_t BitFieldMask(const BitmapInfo& info, int channel) {
    std::uint32_t mask;
    std::memcpy(&mask, &info.colors[static_cast<std::size_t>(channel)], sizeof mask);
    return mask;
}
/// Sets the BI_BITFIELDS masks, in the colour table's first three entries.
inline void SetBitFieldMasks(BitmapInfo& info, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    const std::uint32_t masks[3] = {red, green, blue};
    std::memcpy(info.colors.data(), masks, sizeof masks);
}

/// Bytes per stored row: the pixels padded to a multiple of 4 bytes. 64-bit, so no width and bit
/// count a file can give overflows it.
constexpr std::uint64_t DibRowLength(std::int64_t width, int bitCount) {
    return width <= 0 || bitCount <= 0 ? 0 : static_cast<std::uint64_t>((width * bitCount + 31) / 32) * 4;
}

}  // namespace platform
