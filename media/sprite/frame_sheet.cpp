#include "media/sprite/frame_sheet.h"

#include <new>

namespace media {

std::int32_t FrameSheet::LoadFrames(Screen* screen, const char* name, std::int32_t width, std::int32_t height,
                                    std::int32_t count, std::int32_t placement) {
    if (!name || width <= 0 || height <= 0 || count < 0) return 0;
    if (CreateFromFile(screen, name, placement) < 0) return 0;
    frameWidth = width;
    frameHeight = height;
    framesPerRow = Width() / width;
    framesPerColumn = Height() / height;
    frameCount = count ? count : framesPerRow * framesPerColumn;
    frameRects.reset(new (std::nothrow) platform::Rect[static_cast<std::size_t>(frameCount)]());
    if (!frameRects) return 0;
    // Row by row; a count larger than the picture holds goes on below it.
    std::int32_t left = 0, top = 0;
    for (std::int32_t i = 0; i < frameCount; ++i) {
        if (static_cast<std::uint32_t>(left) > static_cast<std::uint32_t>(Width() - frameWidth)) {
            left = 0;
            top += frameHeight;
        }
        frameRects[static_cast<std::size_t>(i)] = {left, top, left + frameWidth, top + frameHeight};
        left += frameWidth;
    }
    return 1;
}

}  // namespace media
