// The web backend's output rules, checked natively: how much sound the page's output is handed
// each turn, and the desktop's pixels put in the canvas's byte order.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/backends/web/audio_feed.h"
#include "platform/backends/web/canvas_pixels.h"
#include "platform/pixels/surface_desc.h"

namespace {

using platform::web::AudioFeed;
constexpr std::int64_t kLead = AudioFeed::kLeadFrames;

// Each case: the output's played-frame clock at successive turns, and what each turn renders.
TEST(WebAudioFeed, KeepsTheOutputALeadAheadAndNeverCatchesUpLateSound) {
    const struct {
        const char* name;
        std::vector<std::int64_t> played;
        std::vector<std::int64_t> rendered;
        std::int64_t skipped;
    } cases[] = {
        {"the first turn fills the lead", {0}, {kLead}, 0},
        {"a turn renders what was played since", {0, 735, 1470}, {kLead, 735, 735}, 0},
        {"turns without playing render nothing", {0, 0, 0}, {kLead, 0, 0}, 0},
        {"a start late on the audio clock", {50000}, {kLead}, 50000},
        {"played exactly the lead: no stall", {0, kLead}, {kLead, kLead}, 0},
        {"a stall longer than the lead skips the gap", {0, kLead + 1000}, {kLead, kLead}, 1000},
        {"after a stall the turns go on as before", {0, 10 * kLead, 10 * kLead + 735}, {kLead, kLead, 735}, 9 * kLead},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AudioFeed feed;
        std::vector<std::int64_t> rendered;
        for (const std::int64_t played : c.played) {
            rendered.push_back(feed.FramesToRender(played));
            EXPECT_EQ(feed.Handed(), played + kLead) << "the output holds exactly the lead after each turn";
        }
        EXPECT_EQ(rendered, c.rendered);
        EXPECT_EQ(feed.Skipped(), c.skipped);
    }
}

std::uint32_t Word(const std::vector<std::uint8_t>& bytes, std::size_t index) {
    std::uint32_t word;
    std::memcpy(&word, bytes.data() + 4 * index, 4);
    return word;
}

TEST(WebCanvasPixels, DesktopPixelsBecomeOpaqueCanvasPixels) {
    // Desktop pixels as stored (blue, green, red, unused) and the canvas's (red, green, blue, 255).
    const struct {
        std::uint8_t desktop[4];
        std::uint8_t canvas[4];
    } cases[] = {
        {{0x00, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0xFF}},
        {{0xFF, 0x00, 0x00, 0x00}, {0x00, 0x00, 0xFF, 0xFF}},  // blue
        {{0x00, 0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00, 0xFF}},  // green
        {{0x00, 0x00, 0xFF, 0x00}, {0xFF, 0x00, 0x00, 0xFF}},  // red
        {{0x12, 0x34, 0x56, 0x9A}, {0x56, 0x34, 0x12, 0xFF}},  // the unused byte never shows
        {{0xFF, 0xFF, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF, 0xFF}},
    };
    const platform::PixelFormatDesc format = platform::FormatForDepth(32);
    for (const auto& c : cases) {
        std::vector<std::uint8_t> from(c.desktop, c.desktop + 4), to(4, 0);
        const platform::PixelView source{from.data(), 4, 1, 1, 4, format}, destination{to.data(), 4, 1, 1, 4, format};
        platform::web::CopyToCanvasOrder(source, {0, 0, 1, 1}, destination);
        EXPECT_EQ(std::vector<std::uint8_t>(c.canvas, c.canvas + 4), to);
    }
}

TEST(WebCanvasPixels, OnlyTheWrittenPartChangesInViewsWithPaddedRows) {
    // 5x4 pixels, rows padded to 6 pixels; the part (1,1)-(4,3) is converted.
    constexpr std::int32_t kWidth = 5, kHeight = 4, kPitchPixels = 6;
    std::vector<std::uint8_t> from(kPitchPixels * kHeight * 4), to(kPitchPixels * kHeight * 4, 0xEE);
    for (std::size_t i = 0; i < from.size(); ++i) from[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const platform::PixelFormatDesc format = platform::FormatForDepth(32);
    const platform::PixelView source{from.data(), kPitchPixels * 4, kWidth, kHeight, 4, format};
    const platform::PixelView destination{to.data(), kPitchPixels * 4, kWidth, kHeight, 4, format};
    const platform::Rect part{1, 1, 4, 3};
    platform::web::CopyToCanvasOrder(source, part, destination);
    for (std::int32_t y = 0; y < kHeight; ++y) {
        for (std::int32_t x = 0; x < kPitchPixels; ++x) {
            const auto index = static_cast<std::size_t>(y * kPitchPixels + x);
            const std::uint32_t in = Word(from, index), out = Word(to, index);
            if (x >= part.left && x < part.right && y >= part.top && y < part.bottom) {
                const std::uint32_t expected = ((in >> 16) & 0xFF) | (in & 0xFF00) | ((in & 0xFF) << 16) | 0xFF000000u;
                EXPECT_EQ(out, expected) << x << "," << y;
            } else {
                EXPECT_EQ(out, 0xEEEEEEEEu) << "outside the part: " << x << "," << y;
            }
        }
    }
}

}  // namespace
