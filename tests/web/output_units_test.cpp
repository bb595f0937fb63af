// The web backend's output rules, checked natively: how much sound the page's output is handed
// each turn, and the desktop's pixels put in the canvas's byte order as copies and fills land.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/backends/web/audio_feed.h"
#include "platform/backends/web/canvas_pixels.h"
#include "platform/pixels/surface_copy.h"
#include "platform/pixels/surface_desc.h"

namespace {

using platform::web::AudioFeed;
constexpr std::int64_t kLead = AudioFeed::kLeadFrames;
constexpr std::int64_t kLeast = AudioFeed::kLeastFrames;

// Each case: the output's played-frame clock at successive turns, and what each turn renders.
TEST(WebAudioFeed, KeepsTheOutputALeadAheadAndNeverCatchesUpLateSound) {
    const struct {
        const char* name;
        std::vector<std::int64_t> played;
        std::vector<std::int64_t> rendered;
        std::int64_t skipped;
    } cases[] = {
        {"the first turn fills the lead", {0}, {kLead}, 0},
        {"a turn renders what was played since, once a block is missing", {0, 735, 1470, 2205}, {kLead, 0, 1470, 0}, 0},
        {"steps of the audio clock add up to one block", {0, 128, 256, 1023, 1024, 1152}, {kLead, 0, 0, 0, kLeast, 0}, 0},
        {"turns without playing render nothing", {0, 0, 0}, {kLead, 0, 0}, 0},
        {"a start late on the audio clock", {50000}, {kLead}, 50000},
        {"played exactly the lead: no stall", {0, kLead}, {kLead, kLead}, 0},
        {"a stall longer than the lead skips the gap", {0, kLead + 1000}, {kLead, kLead}, 1000},
        {"after a stall the turns go on as before", {0, 10 * kLead, 10 * kLead + 1470}, {kLead, kLead, 1470}, 9 * kLead},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AudioFeed feed;
        std::vector<std::int64_t> rendered;
        for (const std::int64_t played : c.played) {
            rendered.push_back(feed.FramesToRender(played));
            EXPECT_LE(feed.Handed(), played + kLead) << "the output never holds more than the lead";
            EXPECT_GT(feed.Handed(), played + kLead - kLeast) << "nor less than the lead but a block";
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

// Copies and fills written straight into the canvas's image show what the desktop's own loops
// would have written, converted: the reference is CopyRect or FillRect on an image in the
// desktop's order, then the whole image converted. Both start from the same earlier picture,
// which keyed copies must leave as it was where the key is.
TEST(WebCanvasPixels, CopiesAndFillsLandAsTheDesktopsLoopsWouldWriteThem) {
    constexpr std::int32_t kWidth = 8, kHeight = 6, kSourceWidth = 6, kSourceHeight = 5;
    constexpr std::uint32_t kKey = 0x00123456u;
    const platform::PixelFormatDesc format = platform::FormatForDepth(32);
    const struct {
        const char* name;
        platform::CopyRequest request;  // visible: the part written (ClipToSource's result)
        bool fill;  // a fill instead: visible is its rectangle and key its value
    } cases[] = {
        {"a whole plain copy", {{0, 0, 6, 5}, {0, 0, 6, 5}, {0, 0, 6, 5}}, false},
        {"a plain copy from and to other places", {{2, 1, 6, 4}, {2, 1, 6, 4}, {1, 2, 5, 5}}, false},
        {"a plain copy cut to part of its rectangle", {{1, 0, 7, 5}, {3, 1, 7, 4}, {0, 0, 6, 5}}, false},
        {"a keyed copy keeps the earlier picture under the key", {{1, 1, 7, 6}, {1, 1, 7, 6}, {0, 0, 6, 5}, false, false, true, kKey}, false},
        {"a mirrored copy", {{0, 0, 6, 5}, {0, 0, 6, 5}, {0, 0, 6, 5}, true, true}, false},
        {"a stretched copy", {{0, 0, 8, 6}, {0, 0, 8, 6}, {1, 1, 4, 4}}, false},
        {"a keyed, mirrored and stretched copy", {{0, 0, 8, 6}, {1, 1, 7, 5}, {0, 0, 6, 5}, true, false, true, kKey}, false},
        {"a fill", {{2, 1, 5, 6}, {2, 1, 5, 6}, {}, false, false, false, 0x00A1B2C3u}, true},
    };
    std::vector<std::uint8_t> source(kSourceWidth * kSourceHeight * 4);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i * 13 + 5);
    for (const std::size_t keyed : {std::size_t{3}, std::size_t{8}, std::size_t{14}, std::size_t{22}})
        std::memcpy(source.data() + 4 * keyed, &kKey, 4);
    const platform::PixelView from{source.data(), kSourceWidth * 4, kSourceWidth, kSourceHeight, 4, format};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> desktop(kWidth * kHeight * 4), canvas(desktop.size()), expected(desktop.size());
        for (std::size_t i = 0; i < desktop.size(); ++i) desktop[i] = static_cast<std::uint8_t>(i * 29 + 11);
        const platform::PixelView desktopView{desktop.data(), kWidth * 4, kWidth, kHeight, 4, format};
        const platform::PixelView canvasView{canvas.data(), kWidth * 4, kWidth, kHeight, 4, format};
        const platform::PixelView expectedView{expected.data(), kWidth * 4, kWidth, kHeight, 4, format};
        platform::web::CopyToCanvasOrder(desktopView, desktopView.Bounds(), canvasView);
        if (c.fill) {
            platform::FillRect(desktopView, c.request.visible, c.request.key);
            platform::web::FillCanvas(canvasView, c.request.visible, c.request.key);
        } else {
            platform::CopyRect(desktopView, from, c.request);
            platform::web::CopyIntoCanvas(canvasView, from, c.request);
        }
        platform::web::CopyToCanvasOrder(desktopView, desktopView.Bounds(), expectedView);
        for (std::size_t i = 0; i < canvas.size() / 4; ++i) EXPECT_EQ(Word(canvas, i), Word(expected, i)) << "pixel " << i;
    }
}

}  // namespace
