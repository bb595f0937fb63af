// The front door's drawing beside its peers on the same pixels in the same binary: the alpha draw
// of a 640x480 picture with alpha (SDL2's SDL_BLENDMODE_BLEND blit of an ARGB surface, pixman's
// OVER of a8r8g8b8) at 16 and 32 bits; a 256x256 picture turned by 30 degrees and scaled by 1.5
// (pixman with the same transform, nearest filter); a filled circle of radius 100 and a filled
// 1,000-point polygon (SDL2_gfx on SDL's software renderer); a 40-character line of text, em 16
// pixels, in DejaVu Sans (SDL2_ttf rendering it blended and blitting it). Pairs share a name
// after the first part (Ours/AlphaDraw/32, SDL/AlphaDraw/32), so their times can be matched.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "media/app/canvas.h"
#include "media/app/draw_options.h"
#include "media/app/font.h"
#include "media/app/transformed_draw.h"
#include "media/blit/software_frame.h"
#include "media/blit/straight_alpha_loop.h"
#include "media/display/screen.h"
#include "platform/backends/headless/headless_backend.h"

#ifdef MEDIA_BENCH_WITH_SDL
#include "bench/sdl_surface_wrap.h"
#endif
#ifdef MEDIA_BENCH_WITH_SDL_GFX
#include <SDL2_gfxPrimitives.h>
#endif
#ifdef MEDIA_BENCH_WITH_SDL_TTF
#include <SDL_ttf.h>
#endif
#ifdef MEDIA_BENCH_WITH_PIXMAN
#include "bench/pixman_image_wrap.h"
#endif

namespace {

using media::PixelSurface;

constexpr std::int32_t kWidth = 640, kHeight = 480;
constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kLine = "The quick brown fox jumps over a lazy do";  // 40 characters
// DejaVu Sans's ascent-to-descent height is 1.164 em: a font of this pixel height has the 16-pixel
// em SDL2_ttf's size 16 gives.
constexpr float kTextPixelHeight = 16 * 1.164f;

// The colour and alpha of picture pixel (x, y): gradients, and alpha running through 0..255 with
// runs of fully transparent and fully opaque pixels, as in a sprite sheet.
struct Rgba {
    std::uint8_t r, g, b, a;
};
Rgba PixelAt(std::int32_t x, std::int32_t y) {
    const auto a = static_cast<std::uint8_t>(((x / 40 + y / 30) % 4 == 0) ? 0 : ((x / 40 + y / 30) % 4 == 1 ? 255 : (x * 3 + y) & 0xFF));
    return {static_cast<std::uint8_t>(x * 255 / kWidth), static_cast<std::uint8_t>(y * 255 / kHeight), 96, a};
}

std::uint32_t Raw(int depth, Rgba c) {
    if (depth == 16) return ((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3);
    return (std::uint32_t{c.r} << 16) | (c.g << 8) | c.b;
}

// A 640x480 destination and picture in one depth, the picture with its alpha map.
struct Scene {
    explicit Scene(int depth) : depth(depth) {
        platform::headless::Controls().Reset();
        screen = std::make_unique<media::Screen>();
        dest.CreateBlank(screen.get(), kWidth, kHeight, depth);
        picture.CreateBlank(screen.get(), kWidth, kHeight, depth);
        square.CreateBlank(screen.get(), 256, 256, depth);
        auto map = std::make_unique<std::uint8_t[]>(std::size_t{kWidth} * kHeight);
        dest.Lock();
        picture.Lock();
        square.Lock();
        for (std::int32_t y = 0; y < kHeight; ++y) {
            for (std::int32_t x = 0; x < kWidth; ++x) {
                const Rgba c = PixelAt(x, y);
                picture.PutPixel(x, y, Raw(depth, c));
                dest.PutPixel(x, y, Raw(depth, {c.g, 200, c.r, 255}));
                map[static_cast<std::size_t>(y * kWidth + x)] = c.a;
                if (x < 256 && y < 256) square.PutPixel(x, y, Raw(depth, c));
            }
        }
        square.Unlock();
        picture.Unlock();
        dest.Unlock();
        picture.SetAlphaMap(std::move(map), std::size_t{kWidth} * kHeight);
    }
    int depth;
    std::unique_ptr<media::Screen> screen;
    PixelSurface dest, picture, square;
};

media::DrawOptions Turned() {
    media::DrawOptions o;
    o.x = kWidth / 2.0f, o.y = kHeight / 2.0f, o.originX = 128, o.originY = 128, o.scaleX = 1.5f, o.scaleY = 1.5f, o.rotation = 30;
    return o;
}

// The points of a 1,000-point star around the destination's centre: concave, radius 150 to 200.
std::vector<media::Point> Star() {
    std::vector<media::Point> points;
    for (int i = 0; i < 1000; ++i) {
        const double a = i * 2 * 3.14159265358979 / 1000, r = i % 2 ? 150 : 200;
        points.push_back({static_cast<float>(kWidth / 2 + r * std::cos(a)), static_cast<float>(kHeight / 2 + r * std::sin(a))});
    }
    return points;
}

void Count(benchmark::State& state, std::int64_t pixels) { state.SetItemsProcessed(state.iterations() * pixels); }

void RegisterOurs(int depth) {
    const std::string d = std::to_string(depth);
    benchmark::RegisterBenchmark(("Ours/AlphaDraw/" + d).c_str(), [depth](benchmark::State& state) {
        Scene s(depth);
        for (auto _ : state) {
            media::RunSoftwareBlit(s.picture, &s.dest, 0, 0, nullptr,
                                   [&](const media::SoftwareBlitArea& area) { media::StraightAlphaLoop(area, s.picture.AlphaMap(), kWidth); });
            benchmark::ClobberMemory();
        }
        Count(state, std::int64_t{kWidth} * kHeight);
    });
    benchmark::RegisterBenchmark(("Ours/Transform/" + d).c_str(), [depth](benchmark::State& state) {
        Scene s(depth);
        const media::DrawOptions o = Turned();
        for (auto _ : state) {
            media::DrawTransformed(s.square, {0, 0, 256, 256}, s.dest, o);
            benchmark::ClobberMemory();
        }
    });
    if (depth != 32) return;
    benchmark::RegisterBenchmark("Ours/FillCircle/32", [](benchmark::State& state) {
        Scene s(32);
        const media::Canvas canvas(s.dest);
        for (auto _ : state) {
            canvas.DrawCircle(kWidth / 2, kHeight / 2, 100, {200, 60, 20});
            benchmark::ClobberMemory();
        }
    });
    benchmark::RegisterBenchmark("Ours/FillPolygon/32", [](benchmark::State& state) {
        Scene s(32);
        const media::Canvas canvas(s.dest);
        const std::vector<media::Point> star = Star();
        for (auto _ : state) {
            canvas.DrawPolygon(star.data(), star.size(), {200, 60, 20});
            benchmark::ClobberMemory();
        }
    });
    benchmark::RegisterBenchmark("Ours/Text/32", [](benchmark::State& state) {
        Scene s(32);
        const media::Canvas canvas(s.dest);
        media::Font font;
        if (!font.Load(kFontPath, kTextPixelHeight)) {
            state.SkipWithError("no DejaVu Sans");
            return;
        }
        for (auto _ : state) {
            canvas.DrawText(10, 200, kLine, {250, 250, 250}, font);
            benchmark::ClobberMemory();
        }
    });
}

#ifdef MEDIA_BENCH_WITH_SDL
// An ARGB8888 SDL surface of the picture's colours and alpha.
SDL_Surface* ArgbPicture() {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    for (std::int32_t y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch);
        for (std::int32_t x = 0; x < kWidth; ++x) {
            const Rgba c = PixelAt(x, y);
            row[x] = (std::uint32_t{c.a} << 24) | (std::uint32_t{c.r} << 16) | (c.g << 8) | c.b;
        }
    }
    return s;
}

void RegisterSdl(int depth) {
    const std::string d = std::to_string(depth);
    benchmark::RegisterBenchmark(("SDL/AlphaDraw/" + d).c_str(), [depth](benchmark::State& state) {
        Scene s(depth);
        SDL_Surface* src = ArgbPicture();
        SDL_Surface* dst = WrapForSdl(*s.dest.Surface());
        SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
        for (auto _ : state) {
            SDL_Rect to{0, 0, kWidth, kHeight};
            SDL_BlitSurface(src, nullptr, dst, &to);
            benchmark::ClobberMemory();
        }
        SDL_FreeSurface(src);
        SDL_FreeSurface(dst);
        Count(state, std::int64_t{kWidth} * kHeight);
    });
#ifdef MEDIA_BENCH_WITH_SDL_GFX
    if (depth != 32) return;
    benchmark::RegisterBenchmark("SDL2_gfx/FillCircle/32", [](benchmark::State& state) {
        Scene s(32);
        SDL_Surface* dst = WrapForSdl(*s.dest.Surface());
        SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(dst);
        for (auto _ : state) {
            filledCircleRGBA(renderer, kWidth / 2, kHeight / 2, 100, 200, 60, 20, 255);
            benchmark::ClobberMemory();
        }
        SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(dst);
    });
    benchmark::RegisterBenchmark("SDL2_gfx/FillPolygon/32", [](benchmark::State& state) {
        Scene s(32);
        SDL_Surface* dst = WrapForSdl(*s.dest.Surface());
        SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(dst);
        std::vector<Sint16> xs, ys;
        for (const media::Point& p : Star()) xs.push_back(static_cast<Sint16>(std::lround(p.x))), ys.push_back(static_cast<Sint16>(std::lround(p.y)));
        for (auto _ : state) {
            filledPolygonRGBA(renderer, xs.data(), ys.data(), static_cast<int>(xs.size()), 200, 60, 20, 255);
            benchmark::ClobberMemory();
        }
        SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(dst);
    });
#endif
#ifdef MEDIA_BENCH_WITH_SDL_TTF
    if (depth != 32) return;
    benchmark::RegisterBenchmark("SDL2_ttf/Text/32", [](benchmark::State& state) {
        Scene s(32);
        SDL_Surface* dst = WrapForSdl(*s.dest.Surface());
        TTF_Init();
        TTF_Font* font = TTF_OpenFont(kFontPath, 16);
        if (!font) {
            state.SkipWithError("no DejaVu Sans");
            return;
        }
        for (auto _ : state) {
            SDL_Surface* line = TTF_RenderUTF8_Blended(font, kLine, SDL_Color{250, 250, 250, 255});
            SDL_Rect to{10, 200, line->w, line->h};
            SDL_BlitSurface(line, nullptr, dst, &to);
            SDL_FreeSurface(line);
            benchmark::ClobberMemory();
        }
        TTF_CloseFont(font);
        TTF_Quit();
        SDL_FreeSurface(dst);
    });
#endif
}
#endif

#ifdef MEDIA_BENCH_WITH_PIXMAN
void RegisterPixman(int depth) {
    const std::string d = std::to_string(depth);
    benchmark::RegisterBenchmark(("Pixman/AlphaDraw/" + d).c_str(), [depth](benchmark::State& state) {
        Scene s(depth);
        // pixman's a8r8g8b8 is premultiplied: the same colours and alpha, multiplied in.
        std::vector<std::uint32_t> pixels(std::size_t{kWidth} * kHeight);
        for (std::int32_t y = 0; y < kHeight; ++y) {
            for (std::int32_t x = 0; x < kWidth; ++x) {
                const Rgba c = PixelAt(x, y);
                auto m = [&](unsigned v) { return (v * c.a + 127) / 255; };
                pixels[static_cast<std::size_t>(y * kWidth + x)] = (std::uint32_t{c.a} << 24) | (m(c.r) << 16) | (m(c.g) << 8) | m(c.b);
            }
        }
        PixmanImage src(pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, pixels.data(), kWidth * 4));
        auto dst = WrapForPixman(s.dest);
        for (auto _ : state) {
            pixman_image_composite32(PIXMAN_OP_OVER, src.image, nullptr, dst->image, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
            benchmark::ClobberMemory();
        }
        Count(state, std::int64_t{kWidth} * kHeight);
    });
    benchmark::RegisterBenchmark(("Pixman/Transform/" + d).c_str(), [depth](benchmark::State& state) {
        Scene s(depth);
        auto src = WrapForPixman(s.square);
        auto dst = WrapForPixman(s.dest);
        // Destination centre to source: turned back by 30 degrees, divided by 1.5, about the
        // origin (128, 128) placed at the destination's centre; outside the source nothing.
        const media::DrawOptions o = Turned();
        const double a = o.rotation * 3.14159265358979 / 180, c = std::cos(a) / o.scaleX, sn = std::sin(a) / o.scaleX;
        pixman_transform_t t{};
        t.matrix[0][0] = pixman_double_to_fixed(c);
        t.matrix[0][1] = pixman_double_to_fixed(sn);
        t.matrix[0][2] = pixman_double_to_fixed(o.originX - c * o.x - sn * o.y);
        t.matrix[1][0] = pixman_double_to_fixed(-sn);
        t.matrix[1][1] = pixman_double_to_fixed(c);
        t.matrix[1][2] = pixman_double_to_fixed(o.originY + sn * o.x - c * o.y);
        t.matrix[2][2] = pixman_fixed_1;
        pixman_image_set_transform(src->image, &t);
        pixman_image_set_filter(src->image, PIXMAN_FILTER_NEAREST, nullptr, 0);
        // The turned square's bounding box: 384 * (cos 30 + sin 30) = 525 pixels a side.
        const int side = 525;
        for (auto _ : state) {
            // The source position given equals the destination's, so the transform sees canvas
            // coordinates as ours does.
            const int x = kWidth / 2 - side / 2, y = kHeight / 2 - side / 2;
            pixman_image_composite32(PIXMAN_OP_OVER, src->image, nullptr, dst->image, x, y, 0, 0, x, y, side, side);
            benchmark::ClobberMemory();
        }
    });
}
#endif

}  // namespace

int main(int argc, char** argv) {
    for (const int depth : {16, 32}) {
        RegisterOurs(depth);
#ifdef MEDIA_BENCH_WITH_SDL
        RegisterSdl(depth);
#endif
#ifdef MEDIA_BENCH_WITH_PIXMAN
        RegisterPixman(depth);
#endif
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
