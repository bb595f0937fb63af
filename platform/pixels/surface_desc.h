#pragma once
// Descriptions and flags of display surfaces, laid out after the display interface the layer was
// written against: only the fields the layer reads are kept.
#include <cstdint>

#include "../core/geometry.h"

namespace platform {

/// Pixel-format flags.
/// @{
inline constexpr std::uint32_t DDPF_PALETTEINDEXED8 = 0x20;
inline constexpr std::uint32_t DDPF_RGB = 0x40;
/// @}

/// A surface's pixel format: DDPF_RGB with its bit count and channel masks (8 bits: palette indices).
struct PixelFormatDesc {
    /// DDPF_ flags.
    std::uint32_t flags = 0;
    /// Bits per pixel.
    std::uint32_t bitCount = 0;
    /// Channel masks.
    /// @{
    std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    /// @}
    /// Field-wise equality.
    constexpr bool operator==(const PixelFormatDesc&) const = default;
};

/// The formats the display offers, by depth code (8, 15, 16, 24, 32).
PixelFormatDesc FormatForDepth(int depth);
/// Bytes one pixel takes (0 for a bit count the layer does not handle).
int BytesPerPixel(const PixelFormatDesc& format);

/// A colour-key range of raw values; the layer keys one value (low == high).
struct ColorKey {
    /// The range's ends.
    /// @{
    std::uint32_t low = 0, high = 0;
    /// @}
};

/// Which fields of a SurfaceDesc are meaningful.
/// @{
inline constexpr std::uint32_t DDSD_CAPS = 0x1;
inline constexpr std::uint32_t DDSD_HEIGHT = 0x2;
inline constexpr std::uint32_t DDSD_WIDTH = 0x4;
inline constexpr std::uint32_t DDSD_PITCH = 0x8;
inline constexpr std::uint32_t DDSD_LPSURFACE = 0x800;
inline constexpr std::uint32_t DDSD_PIXELFORMAT = 0x1000;
/// @}

/// Surface capabilities (placement and role).
/// @{
inline constexpr std::uint32_t DDSCAPS_OFFSCREENPLAIN = 0x40;
inline constexpr std::uint32_t DDSCAPS_PRIMARYSURFACE = 0x200;
inline constexpr std::uint32_t DDSCAPS_SYSTEMMEMORY = 0x800;
inline constexpr std::uint32_t DDSCAPS_VIDEOMEMORY = 0x4000;
/// @}

/// What a surface is or should be: DDSD_ flags say which fields count.
struct SurfaceDesc {
    std::uint32_t size = 0;  ///< must be sizeof(SurfaceDesc) when handed to the platform
    /// DDSD_ flags.
    std::uint32_t flags = 0;
    /// Size in pixels and bytes per row.
    /// @{
    std::uint32_t height = 0;
    std::uint32_t width = 0;
    std::int32_t pitch = 0;
    /// @}
    void* surface = nullptr;  ///< first pixel, valid while locked
    /// DDSCAPS_ flags.
    std::uint32_t caps = 0;
    /// The pixel format.
    PixelFormatDesc pixelFormat;
};

/// Lock, blit and colour-key flags.
inline constexpr std::uint32_t DDLOCK_WAIT = 0x1;
/// The holder of the lock only reads: what is kept about the pixels (the runs of a keyed copy)
/// stays valid.
/// @{
inline constexpr std::uint32_t DDLOCK_READONLY = 0x10;
inline constexpr std::uint32_t DDBLT_COLORFILL = 0x400;
inline constexpr std::uint32_t DDBLT_DDFX = 0x800;
inline constexpr std::uint32_t DDBLT_KEYSRC = 0x8000;
inline constexpr std::uint32_t DDBLT_WAIT = 0x01000000;
inline constexpr std::uint32_t DDBLTFAST_NOCOLORKEY = 0x0;
inline constexpr std::uint32_t DDBLTFAST_SRCCOLORKEY = 0x1;
inline constexpr std::uint32_t DDBLTFAST_WAIT = 0x10;
inline constexpr std::uint32_t DDBLTFX_MIRRORLEFTRIGHT = 0x2;
inline constexpr std::uint32_t DDBLTFX_MIRRORUPDOWN = 0x4;
inline constexpr std::uint32_t DDCKEY_SRCBLT = 0x8;
/// @}

/// Effects of a Blt.
struct BltFx {
    /// The structure's size in bytes.
    std::uint32_t size = 0;
    std::uint32_t ddfx = 0;  ///< mirror flags, with DDBLT_DDFX
    std::uint32_t fillColor = 0;  ///< raw value, with DDBLT_COLORFILL
};

}  // namespace platform
