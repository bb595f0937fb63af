#pragma once
// FrameSheet: a surface holding one picture cut into equal frames, numbered row by row from the
// top-left. A sprite loads one sheet and draws its frames.
#include <cstdint>
#include <memory>

#include "media/display/pixel_surface.h"
#include "platform/geometry.h"

namespace media {

class FrameSheet : public PixelSurface {
public:
    FrameSheet() = default;
    ~FrameSheet() override = default;

    // Loads the picture (CreateFromFile) and builds the frame table: frameCount frames, or as many
    // as the picture holds when it is 0. 1 on success, 0 on failure.
    std::int32_t LoadFrames(Screen* screen, const char* name, std::int32_t width, std::int32_t height, std::int32_t count,
                            std::int32_t placement);
    bool HasPicture() const { return Surface() != nullptr; }

    std::int32_t frameWidth = 0;
    std::int32_t frameHeight = 0;
    std::int32_t frameCount = 0;
    std::int32_t framesPerRow = 0;
    std::int32_t framesPerColumn = 0;
    std::unique_ptr<platform::Rect[]> frameRects;
};

}  // namespace media
