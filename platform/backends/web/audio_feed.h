#pragma once
// How much sound the page's audio output is handed, and when. The mixer runs on the page's one
// thread, between frames; the output (an AudioWorklet) plays what it was handed at the audio
// clock's pace. Each turn the output is topped up to a fixed lead ahead of what it has played
// (once a block's worth is missing): enough to cover a late frame, short enough that a sound
// started by a key is heard at once.
// After a stall longer than the lead (a hidden tab, a slow load) the output has run dry; the
// feed then starts again from where the output is, so the game's sound is never heard late.
// Nothing here needs a browser, so the rule is checked natively.
#include <cstdint>

namespace platform::web {

class AudioFeed {
public:
    // About 93 ms at 44,100 Hz: four of the mixer's passes.
    static constexpr std::int64_t kLeadFrames = 4096;
    // The least handed over at once. Each hand-over is a message to the audio thread, whose cost
    // hardly depends on its size, and the audio clock moves in steps of 128 frames, so a turn
    // often finds only a step or two played: topping up only once this much is missing keeps it
    // to under one message a frame, and the output still holds three quarters of the lead.
    static constexpr std::int64_t kLeastFrames = 1024;

    // The frames to render and hand over now, given the frames the output has played since it
    // started (a clock that never goes back).
    std::int64_t FramesToRender(std::int64_t playedFrames);
    // Frames handed over so far, counted from the output's start (including those skipped after
    // a stall).
    std::int64_t Handed() const { return handed_; }
    // Frames never handed over because the output had run dry when the page came back.
    std::int64_t Skipped() const { return skipped_; }

private:
    std::int64_t handed_ = 0;
    std::int64_t skipped_ = 0;
};

}  // namespace platform::web
