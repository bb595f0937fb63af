// The pacing rule of the real display's vertical-blank wait, driven on the headless clock: each
// frame takes some milliseconds of work, then waits until the pacer's present time.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/frame_pacer.h"
#include "platform/video/display_host.h"
#include "tests/headless_test.h"

namespace {

using platform::FramePacer;

class FramePacerTest : public HeadlessTest {
protected:
    // Runs one frame per entry of work (milliseconds) and returns when each was presented.
    std::vector<std::int64_t> Run(FramePacer& pacer, const std::vector<std::uint32_t>& work) {
        std::vector<std::int64_t> presented;
        for (const std::uint32_t ms : work) {
            host.Advance(ms);
            const std::int64_t now = host.Now();
            const std::int64_t at = pacer.Present(now);
            EXPECT_GE(at, now) << "a frame is never presented before it is ready";
            host.Advance(static_cast<std::uint32_t>(at - now));
            presented.push_back(at);
        }
        return presented;
    }
};

// The 60 Hz refreshes in milliseconds: 0 16 33 50 66 83 100 116 133 150 166 183 ...
TEST_F(FramePacerTest, PresentsLateFramesAtOnceAndNeverTwiceInOneRefresh) {
    struct Case {
        std::string name;
        std::vector<std::uint32_t> work;
        std::vector<std::int64_t> presented;
    };
    const std::vector<std::uint32_t> manyLongFrames(8, 20);
    const Case cases[] = {
        {"on time: each frame waits for the next refresh", {5, 5, 5, 5}, {5, 16, 33, 50}},
        {"slightly late: presented at once, the next frame back on its refresh", {5, 5, 20, 5, 5}, {5, 16, 36, 50, 66}},
        {"very late: past a whole refresh, presented at once", {5, 5, 40, 5, 5}, {5, 16, 56, 66, 83}},
        {"long stall: no burst of catch-up frames afterwards", {5, 5, 500, 1, 1, 1, 1}, {5, 16, 516, 533, 550, 566, 583}},
        {"every frame a little over a refresh: none waits", manyLongFrames, {20, 40, 60, 80, 100, 120, 140, 160}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.Reset();
        FramePacer pacer(1000, 60);
        const std::vector<std::int64_t> presented = Run(pacer, c.work);
        EXPECT_EQ(presented, c.presented);
        for (std::size_t i = 1; i < presented.size(); ++i) {
            EXPECT_LE(pacer.FirstRefreshAfter(presented[i - 1]), presented[i]) << "two frames between the same refreshes at frame " << i;
        }
    }
}

// Quick frames run at the display's rate and no faster, over a long run.
TEST_F(FramePacerTest, QuickFramesKeepTheDisplayRate) {
    for (const std::int32_t hz : {50, 60, 75, 144}) {
        SCOPED_TRACE(hz);
        host.Reset();
        FramePacer pacer(1000, hz);
        const std::vector<std::int64_t> presented = Run(pacer, std::vector<std::uint32_t>(std::size_t(10) * hz + 1, 0));
        // The first frame at once, then one on each refresh: ten seconds of them.
        EXPECT_EQ(presented.back(), 10'000);
        for (std::size_t n = 0; n < presented.size(); ++n) ASSERT_EQ(presented[n], pacer.Refresh(static_cast<std::int64_t>(n))) << n;
    }
}

// The grid is the headless backend's own refresh rule: the first refresh after t is where its
// vertical-blank wait started at t ends.
TEST_F(FramePacerTest, RefreshGridMatchesTheHeadlessVerticalBlank) {
    const FramePacer pacer(1000, 60);
    for (std::uint32_t t = 0; t <= 1000; ++t) {
        host.SetTime(t);
        platform::CurrentDisplayHost().WaitForVerticalBlank();
        ASSERT_EQ(pacer.FirstRefreshAfter(t), host.Now()) << "at " << t;
    }
}

}  // namespace
