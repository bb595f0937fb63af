#pragma once
// FrameSheet: a surface holding one picture cut into equal frames, numbered row by row from the
// top-left, with frame animations played against the sheet's tick counter (looping or back and
// forth, a delay per step and a pause per cycle). Animations can be edited, drawn, and written
// to or read from an open stdio stream as little-endian records.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "media/display/pixel_surface.h"

namespace media {

struct FrameAnimation {
    std::int32_t delay = 1;     // clock ticks per step
    std::int32_t pause = 0;     // extra steps per cycle, spent on the first frame
    std::int32_t spare = 0;     // stored, read and written, never used
    std::int32_t pingPong = 0;  // 0: loop forward; otherwise forward then backward
    std::vector<std::int32_t> frames;
    std::int32_t Length() const { return static_cast<std::int32_t>(frames.size()); }
};

class FrameSheet : public PixelSurface {
public:
    // The most frames a sheet cuts, animations it reads and entries an animation holds.
    static constexpr std::int32_t kMaxCount = 65536;

    FrameSheet() = default;
    ~FrameSheet() override = default;

    // Loads the picture (CreateFromFile) and cuts it into frames: 1, or 0 on failure.
    std::int32_t LoadFrames(Screen* screen, const char* name, std::int32_t frameWidth, std::int32_t frameHeight, std::int32_t frameCount,
                            std::int32_t placement);
    // Cuts the surface's picture into frames of the given size: frameCount of them, or as many as
    // the picture holds when 0; a larger count gives rectangles past the picture. 1, or 0 when a
    // size is below 1, the count is negative or above kMaxCount, or a rectangle would leave the
    // 32-bit range.
    std::int32_t CutIntoFrames(std::int32_t frameWidth, std::int32_t frameHeight, std::int32_t frameCount);

    // A code of 0 or more is a frame index; a negative code c names animation -c - 1, whose
    // current frame is meant.
    virtual std::int32_t AddAnimation(std::int32_t delay, std::int32_t pause, std::int32_t spare, std::int32_t pingPong,
                                      const std::int32_t* list, std::int32_t length);
    virtual std::int32_t AddAnimationRange(std::int32_t delay, std::int32_t pause, std::int32_t spare, std::int32_t pingPong,
                                           std::int32_t first, std::int32_t length);
    virtual std::int32_t InsertAnimationFrame(std::int32_t animation, std::int32_t position, std::int32_t frame);
    virtual std::int32_t RemoveAnimation(std::int32_t animation);
    virtual std::int32_t RemoveAnimationFrame(std::int32_t animation, std::int32_t position);
    virtual std::int32_t ResolveFrame(std::int32_t code) const;
    virtual void DrawFrame(std::int32_t x, std::int32_t y, PixelSurface* dest, std::int32_t kind, std::int32_t code);
    virtual void DrawFirstFrame(std::int32_t x, std::int32_t y, PixelSurface* dest, std::int32_t kind, std::int32_t code);
    virtual void AdvanceClock();
    virtual std::int32_t ReadAnimations(std::FILE* file);
    virtual std::int32_t WriteAnimations(std::FILE* file) const;
    virtual std::int32_t AnimationCount() const { return static_cast<std::int32_t>(animations_.size()); }
    virtual const FrameAnimation* GetAnimation(std::int32_t animation) const;

    std::int32_t Clock() const { return clock_; }
    std::int32_t FrameWidth() const { return frameWidth_; }
    std::int32_t FrameHeight() const { return frameHeight_; }
    std::int32_t FrameCount() const { return static_cast<std::int32_t>(frameRects_.size()); }
    std::int32_t FramesPerRow() const { return framesPerRow_; }
    std::int32_t FramesPerColumn() const { return framesPerColumn_; }
    const platform::Rect& FrameRect(std::int32_t index) const { return frameRects_[static_cast<std::size_t>(index)]; }

private:
    std::vector<FrameAnimation> animations_;
    std::int32_t clock_ = 0;
    std::int32_t frameWidth_ = 0, frameHeight_ = 0;
    std::int32_t framesPerRow_ = 0, framesPerColumn_ = 0;
    std::vector<platform::Rect> frameRects_;
};

}  // namespace media
