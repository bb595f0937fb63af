#pragma once
// FrameSheet: a surface holding one picture cut into equal frames, numbered row by row from the
// top-left, with frame animations played against the sheet's tick counter (looping or back and
// forth, a delay per step and a pause per cycle). Animations can be edited, drawn, and written
// to or read from an open stdio stream as little-endian records.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "opacity_mask.h"
#include "../display/pixel_surface.h"

namespace media {

/// One frame animation of a FrameSheet: the frames it steps through and how fast.
struct FrameAnimation {
    std::int32_t delay = 1;     ///< clock ticks per step; below 1 the first frame is shown
    std::int32_t pause = 0;     ///< extra steps per cycle, spent on the first frame
    std::int32_t spare = 0;     ///< stored, read and written, never used
    std::int32_t pingPong = 0;  ///< 0: loop forward; otherwise forward then backward
    std::vector<std::int32_t> frames;  ///< the frame indices, in order
    /// The number of frames.
    std::int32_t Length() const { return static_cast<std::int32_t>(frames.size()); }
};

/// A surface holding one picture cut into equal frames, numbered row by row from the top-left,
/// with frame animations played against the sheet's tick counter (AdvanceClock). A frame code
/// of 0 or more is a frame index; a negative code c names animation -c - 1, whose current frame
/// is meant. The sheet owns its picture and its animations.
class FrameSheet : public PixelSurface {
public:
    /// The most frames a sheet cuts, animations it reads and entries an animation holds.
    static constexpr std::int32_t kMaxCount = 65536;

    /// An empty sheet: no picture, no frames, no animations.
    /// @{
    FrameSheet() = default;
    ~FrameSheet() override = default;
    /// @}

    /// Loads the picture (CreateFromFile) and cuts it into frames (CutIntoFrames): 1, or 0 for a
    /// null name, sizes CutIntoFrames refuses (checked before loading), or a picture that could
    /// not be loaded or cut.
    std::int32_t LoadFrames(Screen* screen, const char* name, std::int32_t frameWidth, std::int32_t frameHeight, std::int32_t frameCount,
                            std::int32_t placement);
    /// Cuts the surface's picture into frames of the given size: frameCount of them, or as many as
    /// the picture holds when 0; a larger count gives rectangles past the picture. 1, or 0 (the
    /// frames unchanged) when a size is below 1, the count is negative or above kMaxCount, or a
    /// rectangle would leave the 32-bit range.
    std::int32_t CutIntoFrames(std::int32_t frameWidth, std::int32_t frameHeight, std::int32_t frameCount);

    /// Adds an animation of the length frames of list (copied): the new animation count, or 0
    /// for a negative length, one above kMaxCount, a null list with a positive length, or a sheet
    /// holding kMaxCount animations already.
    virtual std::int32_t AddAnimation(std::int32_t delay, std::int32_t pause, std::int32_t spare, std::int32_t pingPong,
                                      const std::int32_t* list, std::int32_t length);
    /// Adds an animation of the frames first, first + 1 .. first + length - 1: as AddAnimation,
    /// and 0 when the last index would pass the largest 32-bit value.
    virtual std::int32_t AddAnimationRange(std::int32_t delay, std::int32_t pause, std::int32_t spare, std::int32_t pingPong,
                                           std::int32_t first, std::int32_t length);
    /// Inserts frame before the entry at position (position == length appends): 1, or 0 for no
    /// such animation or position, or an animation holding kMaxCount entries.
    virtual std::int32_t InsertAnimationFrame(std::int32_t animation, std::int32_t position, std::int32_t frame);
    /// Removes an animation (the later ones move down by one): 1, or 0 for no such animation.
    virtual std::int32_t RemoveAnimation(std::int32_t animation);
    /// Removes the entry at position: 1, or 0 for no such animation or position, or when it is
    /// the animation's last entry (an animation keeps at least one).
    virtual std::int32_t RemoveAnimationFrame(std::int32_t animation, std::int32_t position);
    /// The frame index a code shows now: the code itself when 0 or more; for an animation the
    /// entry of the current step, its first entry where no step is defined (a delay below 1, a
    /// cycle of no steps, a negative clock), 0 for no such animation or one without entries.
    virtual std::int32_t ResolveFrame(std::int32_t code) const;
    /// Draws the frame a code shows now with its top-left at (x, y) on dest with one of the
    /// sheet's kinds: 0, 2, 100, 102 (BlitKind) or 11 and 111 (blend with the fixed weight 25,
    /// opaque and keyed). Draws nothing for code 0, a frame index past the frames, a code naming
    /// no animation or one without entries, or another kind.
    virtual void DrawFrame(std::int32_t x, std::int32_t y, PixelSurface* dest, std::int32_t kind, std::int32_t code);
    /// As DrawFrame, with an animation's first entry in place of its current one.
    virtual void DrawFirstFrame(std::int32_t x, std::int32_t y, PixelSurface* dest, std::int32_t kind, std::int32_t code);
    /// One tick of the sheet's clock; it wraps like a 32-bit counter.
    virtual void AdvanceClock();
    /// Replaces the animations with those read from an open stream (a little-endian count, then
    /// per animation a 24-byte record and its entries), leaving the stream after them. 1 for a
    /// whole read and for a stream at its end; 0 for a null stream, a stream that ends early or
    /// a count or length below 0 or above kMaxCount, keeping the records read whole.
    virtual std::int32_t ReadAnimations(std::FILE* file);
    /// Writes the animations to an open stream in the form ReadAnimations reads: 1, or 0 for a
    /// null stream or after any short write.
    virtual std::int32_t WriteAnimations(std::FILE* file) const;
    /// The number of animations.
    virtual std::int32_t AnimationCount() const { return static_cast<std::int32_t>(animations_.size()); }
    /// The animation of that index (owned by the sheet, valid until the animations change), or
    /// null for no such animation.
    virtual const FrameAnimation* GetAnimation(std::int32_t animation) const;

    /// The clock's ticks, the frame size, the number of frames, how many whole frames fit across
    /// and down the picture, and a frame's rectangle in the picture (index below FrameCount).
    /// @{
    std::int32_t Clock() const { return clock_; }
    std::int32_t FrameWidth() const { return frameWidth_; }
    std::int32_t FrameHeight() const { return frameHeight_; }
    std::int32_t FrameCount() const { return static_cast<std::int32_t>(frameRects_.size()); }
    std::int32_t FramesPerRow() const { return framesPerRow_; }
    std::int32_t FramesPerColumn() const { return framesPerColumn_; }
    const platform::Rect& FrameRect(std::int32_t index) const { return frameRects_[static_cast<std::size_t>(index)]; }
    /// Which pixels of the picture differ from the colour key, found again only when the pixels
    /// or the key have changed since. The sheet must be locked, by a lock taken after its last
    /// write.
    const OpacityMask& Opacity();
    /// @}

private:
    std::vector<FrameAnimation> animations_;
    std::int32_t clock_ = 0;
    std::int32_t frameWidth_ = 0, frameHeight_ = 0;
    std::int32_t framesPerRow_ = 0, framesPerColumn_ = 0;
    std::vector<platform::Rect> frameRects_;
    OpacityMask opacity_;
};

}  // namespace media
