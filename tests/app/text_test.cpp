// Text on the canvas at every depth: a TrueType font's glyphs land where the font's metrics and
// kerning put them, each pixel blended by its coverage (the reference rasterises the same glyphs
// through stb_truetype here and lays them over a copy of the canvas); UTF-8 is read strictly;
// the built-in characters scale by whole numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb/stb_truetype.h>

#include "media/app/zamelmedia.h"
#include "tests/app/raw_canvas.h"
#include "tests/headless_test.h"

namespace {

using media::Color;

constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr Color kBackground{30, 60, 90}, kInk{240, 200, 20};

std::vector<unsigned char> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TextTest : public HeadlessTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        host.SetDesktop(320, 240, GetParam());
        ASSERT_TRUE(window.Open("text", 80, 40));
        file = ReadFile(kFontPath);
        ASSERT_FALSE(file.empty()) << kFontPath;
        ASSERT_TRUE(stbtt_InitFont(&info, file.data(), 0));
    }
    media::Window window;
    std::vector<unsigned char> file;
    stbtt_fontinfo info{};
};

TEST_P(TextTest, GlyphsBlendTheirCoverageWhereMetricsAndKerningPutThem) {
    constexpr float kHeight = 17;
    media::Font font;
    ASSERT_TRUE(font.Load(kFontPath, kHeight));
    const media::Canvas canvas = window.Draw();
    const RawCanvas raw{canvas};
    // "AV" kerns; "é" is two bytes of UTF-8; the text starts off the left edge and runs off the right.
    const char32_t codes[] = {'A', 'V', 'a', 0xE9, 'g', ' ', 'W', 'A', 'T', 'e', 'r', 'y'};
    const char* text = "AVa\xC3\xA9g WATery";
    for (const auto& [x, y, alpha] : std::vector<std::tuple<int, int, std::uint8_t>>{{3, 5, 255}, {-4, 27, 255}, {20, 10, 140}}) {
        SCOPED_TRACE(testing::Message() << "at " << x << ", " << y << " alpha " << int{alpha});
        ASSERT_TRUE(canvas.Clear(kBackground));
        ASSERT_TRUE(canvas.DrawText(x, y, text, {kInk.r, kInk.g, kInk.b, alpha}, font));

        // The reference: each glyph's coverage from the library, laid over the canvas in turn.
        const float scale = stbtt_ScaleForPixelHeight(&info, kHeight);
        int ascent = 0, descent = 0, gap = 0;
        stbtt_GetFontVMetrics(&info, &ascent, &descent, &gap);
        const int baseline = y + static_cast<int>(std::lround(ascent * scale));
        std::vector<std::uint32_t> expected(static_cast<std::size_t>(canvas.Width() * canvas.Height()), raw.Raw(kBackground));
        double pen = x;
        int kerned = 0;
        for (std::size_t i = 0; i < std::size(codes); ++i) {
            if (i > 0) {
                const int kern = stbtt_GetCodepointKernAdvance(&info, static_cast<int>(codes[i - 1]), static_cast<int>(codes[i]));
                kerned += kern != 0;
                pen += kern * scale;
            }
            int w = 0, h = 0, left = 0, top = 0;
            unsigned char* bitmap = stbtt_GetCodepointBitmap(&info, scale, scale, static_cast<int>(codes[i]), &w, &h, &left, &top);
            const int gx = static_cast<int>(std::llround(pen)) + left, gy = baseline + top;
            for (int by = 0; by < h; ++by) {
                for (int bx = 0; bx < w; ++bx) {
                    const int cx = gx + bx, cy = gy + by;
                    if (cx < 0 || cy < 0 || cx >= canvas.Width() || cy >= canvas.Height()) continue;
                    std::uint32_t& e = expected[static_cast<std::size_t>(cy * canvas.Width() + cx)];
                    e = raw.Over(raw.Raw(kInk), e, (bitmap[by * w + bx] * alpha + 127u) / 255u);
                }
            }
            stbtt_FreeBitmap(bitmap, nullptr);
            int advance = 0, bearing = 0;
            stbtt_GetCodepointHMetrics(&info, static_cast<int>(codes[i]), &advance, &bearing);
            pen += advance * scale;
        }
        EXPECT_GT(kerned, 0) << "the text has kerned pairs";
        for (int cy = 0; cy < canvas.Height(); ++cy) {
            for (int cx = 0; cx < canvas.Width(); ++cx) {
                ASSERT_EQ(raw.At(cx, cy), expected[static_cast<std::size_t>(cy * canvas.Width() + cx)]) << "pixel " << cx << ", " << cy;
            }
        }
    }

    // Measured: the widest line's advances and kerning, and one line height per line.
    const float scale = stbtt_ScaleForPixelHeight(&info, kHeight);
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &gap);
    auto width = [&](const std::u32string& line) {
        double pen = 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            int advance = 0, bearing = 0;
            stbtt_GetCodepointHMetrics(&info, static_cast<int>(line[i]), &advance, &bearing);
            if (i > 0) pen += stbtt_GetCodepointKernAdvance(&info, static_cast<int>(line[i - 1]), static_cast<int>(line[i])) * scale;
            pen += advance * scale;
        }
        return static_cast<int>(std::ceil(pen - 1e-4));
    };
    const media::TextSize size = font.Measure("Hi\nAVAV \xC3\xA9");
    EXPECT_EQ(size.width, width(U"AVAV \u00E9"));
    EXPECT_EQ(size.height, 2 * static_cast<int>(std::ceil((ascent - descent + gap) * scale)));
    EXPECT_EQ(font.Measure("").width, 0);
}

TEST_P(TextTest, BuiltInCharactersScaleByWholeNumbers) {
    const media::Canvas canvas = window.Draw();
    ASSERT_TRUE(canvas.Clear(kBackground));
    ASSERT_TRUE(canvas.DrawText(1, 2, "Hi!", kInk));  // the built-in text as it always was
    std::vector<Color> once;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) once.push_back(canvas.PixelAt(1 + x, 2 + y));
    }
    ASSERT_TRUE(canvas.Clear(kBackground));
    ASSERT_TRUE(canvas.DrawText(1, 2, "Hi!", kInk, 1));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) ASSERT_EQ(canvas.PixelAt(1 + x, 2 + y), once[static_cast<std::size_t>(y * 24 + x)]) << x << ", " << y;
    }
    // At scale 2, from 3 pixels off the left edge: each pixel a 2 x 2 block.
    ASSERT_TRUE(canvas.Clear(kBackground));
    ASSERT_TRUE(canvas.DrawText(-3, 4, "Hi!", kInk, 2));
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const int sx = (x + 3) / 2, sy = (y - 4) / 2;
            const bool inside = y >= 4 && sx < 24 && sy < 16;
            const Color expected = inside ? once[static_cast<std::size_t>(sy * 24 + sx)] : canvas.PixelAt(79, 39);
            ASSERT_EQ(canvas.PixelAt(x, y), expected) << x << ", " << y;
        }
    }
    EXPECT_EQ(media::Canvas::MeasureText("Hi!", 3).width, 72);
    EXPECT_EQ(media::Canvas::MeasureText("Hi!", 3).height, 48);
    EXPECT_EQ(canvas.DrawText(0, 0, "x", kInk, 0).Code(), media::ErrorCode::InvalidArgument);
}

INSTANTIATE_TEST_SUITE_P(Depths, TextTest, ::testing::Values(8, 15, 16, 24, 32), [](const auto& info) {
    return "depth_" + std::to_string(info.param);
});

TEST(Utf8Test, CodePointsAreReadStrictly) {
    struct Case {
        const char* bytes;
        char32_t code;
        int length;  // bytes taken
    };
    const Case cases[] = {
        {"A", 'A', 1},
        {"\xC3\xA9", 0xE9, 2},
        {"\xE2\x82\xAC", 0x20AC, 3},
        {"\xF0\x9F\x98\x80", 0x1F600, 4},
        {"\xC0\xAF", 0xFFFD, 1},          // overlong
        {"\xED\xA0\x80", 0xFFFD, 1},      // surrogate
        {"\xF4\x90\x80\x80", 0xFFFD, 1},  // past U+10FFFF
        {"\xE2\x82", 0xFFFD, 1},          // cut by the end
        {"\x80", 0xFFFD, 1},              // a continuation byte alone
        {"\xFF", 0xFFFD, 1},
    };
    for (const Case& c : cases) {
        const char* p = c.bytes;
        EXPECT_EQ(media::NextCodePoint(p), c.code) << testing::PrintToString(std::string(c.bytes));
        EXPECT_EQ(p - c.bytes, c.length) << testing::PrintToString(std::string(c.bytes));
    }
}

TEST(FontTest, FailuresSayWhyAndKeepTheOldFont) {
    media::Font font;
    EXPECT_EQ(font.Load("/nonexistent/font.ttf", 16).Code(), media::ErrorCode::NotFound);
    const std::vector<unsigned char> junk(4096, 0x41);
    EXPECT_EQ(font.LoadFromMemory(junk.data(), junk.size(), 16).Code(), media::ErrorCode::BadData);
    EXPECT_FALSE(font.Loaded());
    ASSERT_TRUE(font.Load(kFontPath, 12));
    EXPECT_EQ(font.Load(kFontPath, 0).Code(), media::ErrorCode::InvalidArgument);
    EXPECT_EQ(font.Load(kFontPath, NAN).Code(), media::ErrorCode::InvalidArgument);
    EXPECT_TRUE(font.Loaded());
    EXPECT_GT(font.Measure("x").width, 0);
}

}  // namespace
