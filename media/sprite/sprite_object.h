#pragma once
// SpriteObject: a positioned picture. It owns a frame sheet, draws one frame of it at its position
// with a chosen blit kind (using its own weight, shadow, scale, angle and stretch parameters for
// the kinds that need them), and tells whether two sprites touch, pixel by pixel, using the
// colour keys of their sheets.
#include <cstdint>

#include "frame_sheet.h"

namespace media {

/// A positioned picture: one frame of a FrameSheet drawn at the sprite's position with a chosen
/// blit kind, and a pixel-exact overlap test against another sprite. A sheet made by Create is
/// owned (ownsSheet 1) and deleted by Release; a sheet set by the caller is only borrowed.
class SpriteObject {
public:
    /// A sprite without a sheet; the destructor releases it. Not copyable.
    /// @{
    SpriteObject() = default;
    virtual ~SpriteObject() { Release(); }
    SpriteObject(const SpriteObject&) = delete;
    SpriteObject& operator=(const SpriteObject&) = delete;
    /// @}

    /// Makes the sprite's own sheet from a picture cut into frames (FrameSheet::LoadFrames): 1 on
    /// success; -1 without a file name, -2 when the sprite has a sheet already, -3 when the
    /// picture could not be loaded or cut (the sheet stays attached, without a picture).
    std::int32_t Create(Screen* screen, const char* name, std::int32_t frameWidth, std::int32_t frameHeight, std::int32_t frameCount,
                        std::int32_t placement);
    /// Deletes the sheet when the sprite owns it (ownsSheet back to 0) and forgets it either way.
    void Release();
    /// Draws frame (an index, row by row) at (x - viewX, y - viewY) on dest with the blit of the
    /// kind's low 16 bits (BlitKind), giving it alpha, scale, angle, the stretch size or the
    /// shadow factor; the shadow kinds draw at the shadow offset subtracted, the rotation kinds
    /// around the frame's centre. Draws nothing without a usable sheet, for an unknown kind, or
    /// for a position outside 32 bits.
    void Draw(PixelSurface* dest, std::int32_t viewX, std::int32_t viewY, std::int32_t kind);
    /// 1 when the two sprites' frames share a position where neither pixel is its sheet's key,
    /// else 0 (also for the sprite itself, a sprite without a usable sheet, sheets of different
    /// depth codes or a sheet that cannot be locked). Pixels outside a picture are transparent.
    std::int32_t Overlaps(const SpriteObject& other) const;

    /// Position of the frame's top-left (before the view offset Draw subtracts).
    /// @{
    std::int32_t x = 0, y = 0;
    /// @}
    std::uint32_t frame = 0;  ///< the frame drawn, an index into the sheet
    double angle = 0.0;       ///< radians, for the rotation kinds
    float scale = 1.0f;       ///< for the scaled and rotation kinds
    /// Subtracted from the position by the shadow kinds.
    /// @{
    std::int32_t shadowOffsetX = 0, shadowOffsetY = 0;
    /// @}
    std::uint16_t shadowFactor = 0;  ///< the shade kinds' factor (256: unchanged)
    std::uint16_t alpha = 0;         ///< the blend kinds' weight of the destination
    std::int32_t ownsSheet = 0;      ///< 1 when Release deletes the sheet
    /// The stretched kinds' size.
    /// @{
    std::uint16_t stretchHeight = 0, stretchWidth = 0;
    /// @}
    FrameSheet* sheet = nullptr;  ///< the sheet drawn from (owned when ownsSheet is 1)

private:
    // The current frame's rectangle in the sheet; false when the sheet cannot show one.
    bool FrameSource(platform::Rect& rect) const;
};

}  // namespace media
