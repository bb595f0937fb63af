#pragma once
// SpriteObject: a positioned picture. It owns a frame sheet, draws one frame of it at its position
// with a chosen blit kind (using its own weight, shadow, scale, angle and stretch parameters for
// the kinds that need them), and tells whether two sprites touch, pixel by pixel, using the
// colour keys of their sheets.
#include <cstdint>

#include "media/sprite/frame_sheet.h"

namespace media {

class SpriteObject {
public:
    SpriteObject() = default;
    virtual ~SpriteObject() { Release(); }
    SpriteObject(const SpriteObject&) = delete;
    SpriteObject& operator=(const SpriteObject&) = delete;

    // -1 without a file name, -2 when the sprite has a sheet already, -3 when the picture could
    // not be loaded or cut (the sheet stays attached, without a picture); 1 on success.
    std::int32_t Create(Screen* screen, const char* name, std::int32_t frameWidth, std::int32_t frameHeight, std::int32_t frameCount,
                        std::int32_t placement);
    void Release();
    // Draws the current frame at (x - viewX, y - viewY) with the blit of the kind's low 16 bits.
    void Draw(PixelSurface* dest, std::int32_t viewX, std::int32_t viewY, std::int32_t kind);
    // 1 when the two sprites' frames share a position where neither pixel is its sheet's key.
    std::int32_t Overlaps(const SpriteObject& other) const;

    std::int32_t x = 0, y = 0;
    std::uint32_t frame = 0;
    double angle = 0.0;
    float scale = 1.0f;
    std::int32_t shadowOffsetX = 0, shadowOffsetY = 0;
    std::uint16_t shadowFactor = 0;
    std::uint16_t alpha = 0;
    std::int32_t ownsSheet = 0;
    std::uint16_t stretchHeight = 0, stretchWidth = 0;
    FrameSheet* sheet = nullptr;

private:
    // The current frame's rectangle in the sheet; false when the sheet cannot show one.
    bool FrameSource(platform::Rect& rect) const;
};

}  // namespace media
