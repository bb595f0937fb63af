#include "platform/backends/web/audio_feed.h"

namespace platform::web {

std::int64_t AudioFeed::FramesToRender(std::int64_t playedFrames) {
    if (playedFrames > handed_) {
        // The output ran dry: what it missed is not made up, or every later sound would be late.
        skipped_ += playedFrames - handed_;
        handed_ = playedFrames;
    }
    const std::int64_t wanted = playedFrames + kLeadFrames - handed_;
    if (wanted < kLeastFrames) return 0;
    handed_ += wanted;
    return wanted;
}

}  // namespace platform::web
