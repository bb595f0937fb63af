// The front door's drawing beside the blits, at every depth the canvas runs in: pictures with
// alpha laid over the canvas, and pictures moved, scaled, turned, flipped, tinted and faded. Each
// result is compared pixel for pixel with a reference computed here, per pixel, from the rules
// the headers state (channel arithmetic on the format's masks, a floating-point inverse map).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <spng.h>

#include "media/app/zamelmedia.h"
#include "media/display/pixel_surface.h"
#include "platform/pixels/color_convert.h"
#include "tests/app/raw_canvas.h"
#include "tests/headless_test.h"
#include "tests/image/picture_files.h"

namespace {

using media::Color;

// A picture file made here: width x height pixels of colour(x, y) and alpha(x, y), as RGBA PNG.
std::string WritePng(const std::string& name, std::int32_t width, std::int32_t height, const std::function<Color(int, int)>& pixel) {
    picture_files::Png png;
    png.width = static_cast<std::uint32_t>(width);
    png.height = static_cast<std::uint32_t>(height);
    png.colorType = 6;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Color c = pixel(x, y);
            png.samples.insert(png.samples.end(), {c.r, c.g, c.b, c.a});
        }
    }
    const picture_files::Bytes bytes = picture_files::PngFile(png);
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Colours and alphas that differ from pixel to pixel, alphas weighted toward 0 and 255.
Color Varied(int x, int y) {
    static constexpr std::uint8_t kAlphas[] = {0, 255, 1, 254, 127, 128, 64, 200, 255, 0, 33};
    const auto h = static_cast<std::uint32_t>(x * 7919 + y * 104729);
    return {static_cast<std::uint8_t>(h * 37), static_cast<std::uint8_t>(h * 101 + 50), static_cast<std::uint8_t>(h * 13 + 200),
            kAlphas[static_cast<std::size_t>(x + 3 * y) % std::size(kAlphas)]};
}

constexpr Color kBackground{90, 160, 30};

class DrawTest : public HeadlessTest, public ::testing::WithParamInterface<int> {
protected:
    void Open(std::int32_t width, std::int32_t height) {
        host.SetDesktop(320, 240, GetParam());
        ASSERT_TRUE(window.Open("draw", width, height));
    }
    media::Window window;
};

TEST_P(DrawTest, AlphaPicturesBlendOverTheCanvasAndOthersDrawKeyed) {
    Open(264, 12);
    const media::Canvas canvas = window.Draw();
    const RawCanvas raw{canvas};
    // Two rows of varied pixels, one colour at every alpha, so that each rounding shows, and a row
    // of clear, opaque and varied runs 16 long, ending opaque, which the loops may take whole.
    auto pixel = [](int x, int y) {
        if (y == 2) return Color{218, 33, 158, static_cast<std::uint8_t>(x)};
        Color c = Varied(x, y);
        if (y == 3 && (x / 16) % 3 != 2) c.a = (x / 16) % 3 == 0 ? 255 : 0;
        return c;
    };
    media::Picture sprite;
    ASSERT_TRUE(sprite.Load(window, WritePng("alpha.png", 256, 4, pixel).c_str()));
    EXPECT_TRUE(sprite.HasAlpha());

    // Each case: where the picture lands; the canvas around it is left as it was.
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{3, 2}, {-5, -1}, {30, 10}, {-1, 4}}) {
        SCOPED_TRACE(testing::Message() << "at " << x << ", " << y);
        ASSERT_TRUE(canvas.Clear(kBackground));
        ASSERT_TRUE(canvas.Draw(sprite, x, y));  // Auto: the picture's alpha
        for (int cy = 0; cy < canvas.Height(); ++cy) {
            for (int cx = 0; cx < canvas.Width(); ++cx) {
                const int px = cx - x, py = cy - y;
                std::uint32_t expected = raw.Raw(kBackground);
                if (px >= 0 && py >= 0 && px < 256 && py < 4) {
                    const Color c = pixel(px, py);
                    expected = raw.Over(raw.Raw(c), expected, c.a);
                }
                ASSERT_EQ(raw.At(cx, cy), expected) << "pixel " << cx << ", " << cy;
            }
        }
    }

    // Keyed still leaves out the top-left pixel's colour and ignores alpha; a file without alpha
    // has none and Auto draws it keyed.
    ASSERT_TRUE(canvas.Clear(kBackground));
    ASSERT_TRUE(canvas.Draw(sprite, 0, 0, media::BlitMode::Keyed));
    EXPECT_EQ(raw.At(1, 0), raw.Raw(Varied(1, 0)) & raw.Significant()) << "alpha 255, drawn whole";
    EXPECT_EQ(raw.At(2, 0), raw.Raw(Varied(2, 0)) & raw.Significant()) << "alpha 1, drawn whole";
    picture_files::Png rgb;
    rgb.width = 2;
    rgb.samples = {255, 0, 255, 10, 200, 30};
    const picture_files::Bytes bytes = picture_files::PngFile(rgb);
    const std::string path = ::testing::TempDir() + "rgb.png";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    media::Picture keyed;
    ASSERT_TRUE(keyed.Load(window, path.c_str()));
    EXPECT_FALSE(keyed.HasAlpha());
    ASSERT_TRUE(canvas.Clear(kBackground));
    ASSERT_TRUE(canvas.Draw(keyed, 0, 0));
    EXPECT_EQ(raw.At(0, 0), raw.Raw(kBackground)) << "the key colour is left out";
    EXPECT_EQ(raw.At(1, 0), raw.Raw({10, 200, 30}));
}

// One transformed draw and what the reference says of it.
struct TransformCase {
    const char* name;
    media::DrawOptions options;
    media::IntRect source;
};

// Where destination pixel (x, y) samples the source by the rule DrawOptions states, computed
// directly in floating point: the source pixel (sx, sy) relative to the rectangle, or Boundary
// when the centre maps within rounding of a pixel edge and could go either way (not compared).
enum class Sample { Inside, Outside, Boundary };

Sample ReferenceSample(const media::DrawOptions& o, const media::IntRect& r, int x, int y, int& sx, int& sy) {
    const double pi = std::acos(-1.0), a = o.rotation * pi / 180;
    const double scaleX = o.flipX ? -o.scaleX : o.scaleX, scaleY = o.flipY ? -o.scaleY : o.scaleY;
    const double dx = x + 0.5 - o.x, dy = y + 0.5 - o.y;
    // Turned back by the angle: a clockwise turn on the screen undone.
    const double u = (dx * std::cos(a) + dy * std::sin(a)) / scaleX + o.originX;
    const double v = (-dx * std::sin(a) + dy * std::cos(a)) / scaleY + o.originY;
    constexpr double kEdge = 1e-6;
    if (std::fabs(u - std::round(u)) < kEdge || std::fabs(v - std::round(v)) < kEdge) return Sample::Boundary;
    sx = static_cast<int>(std::floor(u));
    sy = static_cast<int>(std::floor(v));
    return sx >= 0 && sy >= 0 && sx < r.width && sy < r.height ? Sample::Inside : Sample::Outside;
}

media::DrawOptions Options(float x, float y, float originX, float originY, float scaleX, float scaleY, float rotation,
                           bool flipX = false, bool flipY = false) {
    media::DrawOptions o;
    o.x = x, o.y = y, o.originX = originX, o.originY = originY, o.scaleX = scaleX, o.scaleY = scaleY, o.rotation = rotation;
    o.flipX = flipX, o.flipY = flipY;
    return o;
}

TEST_P(DrawTest, TransformedDrawsMatchTheReferenceMapper) {
    Open(48, 40);
    const media::Canvas canvas = window.Draw();
    const RawCanvas raw{canvas};
    media::Picture alpha;
    ASSERT_TRUE(alpha.Load(window, WritePng("transform.png", 7, 5, Varied).c_str()));
    media::Picture keyed;  // no alpha; its key is the top-left colour
    ASSERT_TRUE(keyed.Create(window, 7, 5, kBackground));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            const Color c = Varied(x, y);
            if ((x + y) % 3) {
                ASSERT_TRUE(keyed.Draw().DrawRect({x, y, 1, 1}, {c.r, c.g, c.b}));
            }
        }
    }
    ASSERT_TRUE(keyed.Draw().DrawRect({0, 0, 1, 1}, media::kMagenta));
    ASSERT_TRUE(keyed.KeyFromTopLeft());

    media::DrawOptions tinted = Options(10, 6, 0, 0, 2, 3, 0);
    tinted.tint = {200, 100, 50};
    tinted.opacity = 150;
    const TransformCase cases[] = {
        {"placed by its origin", Options(20, 10, 3, 2, 1, 1, 0), {0, 0, 7, 5}},
        {"quarter turn", Options(20, 10, 3, 2, 1, 1, 90), {0, 0, 7, 5}},
        {"half turn", Options(20, 10, 3, 2, 1, 1, 180), {0, 0, 7, 5}},
        {"three quarters, negative", Options(20, 10, 0, 0, 1, 1, -90), {0, 0, 7, 5}},
        {"flipped both ways", Options(20, 10, 3, 2, 1, 1, 0, true, true), {0, 0, 7, 5}},
        {"negative scale", Options(20, 10, 0, 0, -2, 1, 0), {0, 0, 7, 5}},
        {"scaled 3 x 2 from a part", Options(1, 2, 0, 0, 3, 2, 0), {2, 1, 4, 3}},
        {"shrunk", Options(5, 5, 0, 0, 0.4f, 0.7f, 0), {0, 0, 7, 5}},
        {"turned 30, scaled 1.5", Options(24, 20, 3.5f, 2.5f, 1.5f, 1.5f, 30), {0, 0, 7, 5}},
        {"turned 200.5 off the edge", Options(2, 38, 1.25f, 0.75f, 4, 2.5f, 200.5f), {0, 0, 7, 5}},
        {"sub-pixel position, turned 77", Options(30.3f, 12.8f, 6, 1, 2.2f, 1.7f, 77, true), {0, 0, 7, 5}},
        {"tinted and faded", tinted, {0, 0, 7, 5}},
        {"source partly outside", Options(10, 10, 0, 0, 2, 2, 0), {-2, 3, 6, 4}},
    };
    for (const bool useKeyed : {false, true}) {
        const media::Picture& picture = useKeyed ? keyed : alpha;
        for (const TransformCase& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << (useKeyed ? ", keyed" : ", alpha"));
            ASSERT_TRUE(canvas.Clear(kBackground));
            ASSERT_TRUE(canvas.Draw(picture, c.source, c.options));
            const unsigned weight = (c.options.opacity * c.options.tint.a + 127u) / 255u;
            for (int y = 0; y < canvas.Height(); ++y) {
                for (int x = 0; x < canvas.Width(); ++x) {
                    int u = 0, v = 0;
                    std::uint32_t expected = raw.Raw(kBackground);
                    const Sample sample = ReferenceSample(c.options, c.source, x, y, u, v);
                    if (sample == Sample::Boundary) continue;
                    const int px = c.source.x + u, py = c.source.y + v;
                    if (sample == Sample::Inside && px >= 0 && py >= 0 && px < 7 && py < 5) {
                        // The picture's own raw pixel, read from the picture.
                        const RawCanvas source{picture.Draw()};
                        const std::uint32_t s = source.At(px, py);
                        const unsigned a = useKeyed ? (s == source.At(0, 0) ? 0u : 255u) : Varied(px, py).a;
                        expected = raw.Over(raw.Tint(s, c.options.tint), expected, (a * weight + 127) / 255);
                    }
                    ASSERT_EQ(raw.At(x, y), expected) << "pixel " << x << ", " << y;
                }
            }
        }
    }
}

// A draw partly off the canvas, or cut by a clip rectangle, shows exactly the pixels the same
// draw shows in full; moved by whole pixels it shows the same pixels, moved.
TEST_P(DrawTest, ClippedOrMovedDrawsShowTheSamePixels) {
    Open(32, 24);
    const media::Canvas canvas = window.Draw();
    media::Picture sprite;
    ASSERT_TRUE(sprite.Load(window, WritePng("clip.png", 9, 6, Varied).c_str()));
    media::Picture big;
    ASSERT_TRUE(big.Create(window, 96, 88));
    std::mt19937 random(IterationSeed(27, 0));
    std::uniform_real_distribution<float> position(-12, 40), scale(0.3f, 3), angle(-360, 360);
    for (int iteration : TestIterations(40)) {
        SCOPED_TRACE(testing::Message() << "iteration " << iteration);
        random.seed(IterationSeed(27, iteration));
        media::DrawOptions o = Options(position(random), position(random), 4, 3, scale(random), scale(random), angle(random));
        ASSERT_TRUE(canvas.Clear(kBackground));
        ASSERT_TRUE(canvas.Draw(sprite, {0, 0, 9, 6}, o));
        // The same draw 32 pixels right and down on a larger canvas, where it lies whole.
        ASSERT_TRUE(big.Draw().Clear(kBackground));
        media::DrawOptions moved = o;
        moved.x += 32, moved.y += 32;
        ASSERT_TRUE(big.Draw().Draw(sprite, {0, 0, 9, 6}, moved));
        for (int y = 0; y < canvas.Height(); ++y) {
            for (int x = 0; x < canvas.Width(); ++x) {
                ASSERT_EQ(canvas.PixelAt(x, y), big.Draw().PixelAt(x + 32, y + 32)) << "pixel " << x << ", " << y;
            }
        }
    }
}

TEST_P(DrawTest, NonsenseTransformsDrawNothingAndSaySo) {
    Open(16, 16);
    const media::Canvas canvas = window.Draw();
    media::Picture sprite;
    ASSERT_TRUE(sprite.Create(window, 4, 4, media::kRed));
    ASSERT_TRUE(canvas.Clear(kBackground));
    EXPECT_EQ(canvas.Draw(sprite, {0, 0, 4, 4}, Options(NAN, 0, 0, 0, 1, 1, 0)).Code(), media::ErrorCode::InvalidArgument);
    EXPECT_EQ(canvas.Draw(sprite, {0, 0, 4, 4}, Options(0, 0, 0, 0, 1, 1, INFINITY)).Code(), media::ErrorCode::InvalidArgument);
    // Extremes of every value: drawn or not, never outside the canvas or past an integer.
    for (const float big : {3e38f, -3e38f, 2097152.0f, 1e-30f}) {
        EXPECT_TRUE(canvas.Draw(sprite, {0, 0, 4, 4}, Options(big, big, 0, 0, 1, 1, 0)));
        EXPECT_TRUE(canvas.Draw(sprite, {0, 0, 4, 4}, Options(8, 8, big, -big, 1, 1, 45)));
        EXPECT_TRUE(canvas.Draw(sprite, {0, 0, 4, 4}, Options(8, 8, 0, 0, big, big, 10)));
    }
    // A source rectangle reaching past the int range is cut to the picture: here, to nothing.
    ASSERT_TRUE(canvas.Clear(kBackground));
    const Color before = canvas.PixelAt(8, 8);
    EXPECT_TRUE(canvas.Draw(sprite, {INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX}, Options(8, 8, 0, 0, 1, 1, 0)));
    EXPECT_EQ(canvas.PixelAt(8, 8), before);
}

// A PNG file read back by libspng: width, height and RGBA samples (alpha 255 for RGB files).
struct Decoded {
    std::uint32_t width = 0, height = 0;
    std::uint8_t colorType = 0;
    std::vector<std::uint8_t> rgba;
};
Decoded ReadPng(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Decoded d;
    spng_ctx* ctx = spng_ctx_new(0);
    spng_ihdr header{};
    std::size_t size = 0;
    if (spng_set_png_buffer(ctx, bytes.data(), bytes.size()) == 0 && spng_get_ihdr(ctx, &header) == 0 &&
        spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size) == 0) {
        d.rgba.resize(size);
        if (spng_decode_image(ctx, d.rgba.data(), size, SPNG_FMT_RGBA8, 0) == 0) d.width = header.width, d.height = header.height;
        d.colorType = header.color_type;
    }
    spng_ctx_free(ctx);
    return d;
}

// Saved pictures and screenshots hold the colours the canvas shows (RGBA with the picture's
// alpha, RGB without), at the drawing area's own size.
TEST_P(DrawTest, SavedPicturesAndScreenshotsHoldWhatWasDrawn) {
    Open(21, 13);
    media::Picture sprite;
    ASSERT_TRUE(sprite.Load(window, WritePng("save.png", 9, 6, Varied).c_str()));
    media::Picture target;
    ASSERT_TRUE(target.Create(window, 11, 7, kBackground));
    ASSERT_TRUE(target.Draw().DrawCircle(5, 3, 4, {200, 10, 100}));
    ASSERT_TRUE(target.Draw().Draw(sprite, 1, 1));
    ASSERT_TRUE(window.Draw().Clear(kBackground));
    ASSERT_TRUE(window.Draw().Draw(target, {0, 0, 11, 7}, Options(12, 2, 0, 0, 2, 1.5f, 90)));
    // ctest runs each depth in its own process at once: the files carry the process's id.
    const std::string dir = ::testing::TempDir() + "draw_" + std::to_string(getpid()) + "_";
    ASSERT_TRUE(sprite.Save((dir + "sprite-out.png").c_str()));
    ASSERT_TRUE(target.Save((dir + "target-out.png").c_str()));
    ASSERT_TRUE(window.Screenshot((dir + "screen-out.png").c_str()));
    struct Case {
        std::string file;
        const media::Picture* picture;  // null: the window
        bool alpha;
    };
    for (const Case& c : {Case{"sprite-out.png", &sprite, true}, Case{"target-out.png", &target, false}, Case{"screen-out.png", nullptr, false}}) {
        SCOPED_TRACE(c.file);
        const media::Canvas canvas = c.picture ? c.picture->Draw() : window.Draw();
        const Decoded d = ReadPng(dir + c.file);
        ASSERT_EQ(d.width, static_cast<std::uint32_t>(canvas.Width()));
        ASSERT_EQ(d.height, static_cast<std::uint32_t>(canvas.Height()));
        EXPECT_EQ(d.colorType, c.alpha ? SPNG_COLOR_TYPE_TRUECOLOR_ALPHA : SPNG_COLOR_TYPE_TRUECOLOR);
        for (int y = 0; y < canvas.Height(); ++y) {
            for (int x = 0; x < canvas.Width(); ++x) {
                const std::uint8_t* p = &d.rgba[static_cast<std::size_t>(y * canvas.Width() + x) * 4];
                const Color shown = canvas.PixelAt(x, y);
                const std::uint8_t a = c.alpha ? Varied(x, y).a : 255;
                const Color got{p[0], p[1], p[2], p[3]}, want{shown.r, shown.g, shown.b, a};
                ASSERT_EQ(got, want) << "pixel " << x << ", " << y;
            }
        }
    }
    EXPECT_EQ(sprite.Save("/nonexistent-directory/x.png").Code(), media::ErrorCode::NotFound);
    EXPECT_EQ(media::Picture().Save((dir + "none.png").c_str()).Code(), media::ErrorCode::NotOpen);
}

INSTANTIATE_TEST_SUITE_P(Depths, DrawTest, ::testing::Values(8, 15, 16, 24, 32), [](const auto& info) {
    return "depth_" + std::to_string(info.param);
});

}  // namespace
