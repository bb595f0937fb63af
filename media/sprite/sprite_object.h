#pragma once
// SpriteObject: a positioned picture. It owns a FrameSheet, draws one frame of it at its position
// with a numbered blit kind and its own parameters, and tells pixel-exactly whether it touches
// another sprite, using the colour keys of the two sheets.
#include <cstdint>

#include "media/sprite/frame_sheet.h"

namespace media {

class SpriteObject {
public:
    SpriteObject() = default;
    virtual ~SpriteObject() { Release(); }
    SpriteObject(const SpriteObject&) = delete;
    SpriteObject& operator=(const SpriteObject&) = delete;

    // Frees the sheet when the sprite made it.
    void Release();
    // 1; -1 without a name, -2 when a sheet is already attached, -3 when loading failed (the
    // sheet stays attached without a picture).
    std::int32_t Create(Screen* screen, const char* name, std::int32_t frameWidth, std::int32_t frameHeight,
                        std::int32_t frames, std::int32_t placement);
    // Draws the current frame at (x - viewX, y - viewY) with the blit kind's low 16 bits.
    void Draw(PixelSurface* dest, std::int32_t viewX, std::int32_t viewY, std::int32_t kind);
    // 1 when the two frames share a position where neither pixel is its sheet's colour key.
    std::int32_t Overlaps(SpriteObject* other);

    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t frame = 0;
    double angle = 0.0;
    float scale = 1.0f;
    std::int32_t shadowOffsetX = 0;
    std::int32_t shadowOffsetY = 0;
    std::uint16_t shadowFactor = 0;
    std::uint16_t alpha = 0;
    std::int32_t ownsSheet = 0;
    std::uint16_t stretchHeight = 0;
    std::uint16_t stretchWidth = 0;
    FrameSheet* sheet = nullptr;

private:
    bool Drawable() const;
    // The frame's rectangle in the sheet.
    platform::Rect FrameRect() const;
};

}  // namespace media
