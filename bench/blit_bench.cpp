// Every blit family at 640x480 and for a 64x64 sprite, in 16 and 32 bits, on the headless
// backend; beside them SDL2's and pixman's equivalent operations on the same pixel memory, and a
// plain memcpy of the same bytes. Pairs share a name after the first part (Ours/Copy/32/640x480,
// SDL/Copy/32/640x480, Pixman/Copy/32/640x480), so their times can be matched; the speed-up is
// their time divided by ours. --benchmark_out=FILE --benchmark_out_format=json writes the JSON.
#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/display/screen.h"
#include "platform/backends/headless/headless_backend.h"

#ifdef MEDIA_BENCH_WITH_SDL
#include "bench/sdl_surface_wrap.h"
#endif
#ifdef MEDIA_BENCH_WITH_PIXMAN
#include "bench/pixman_image_wrap.h"
#endif

namespace {

using media::PixelSurface;
using platform::Rect;

constexpr std::int32_t kWidth = 640, kHeight = 480;

struct Size {
    std::int32_t width, height;
    std::string Name() const { return std::to_string(width) + "x" + std::to_string(height); }
};
constexpr Size kSizes[] = {{640, 480}, {64, 64}};
constexpr int kDepths[] = {8, 15, 16, 24, 32};

// A colour from 8-bit channels in the depth's format: 3-3-2, 5-5-5, 5-6-5 or 8-8-8.
std::uint32_t Colour(int depth, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    switch (depth) {
        case 8: return ((r >> 5) << 5) | ((g >> 5) << 2) | (b >> 6);
        case 15: return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        case 16: return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        default: return (r << 16) | (g << 8) | b;
    }
}

std::uint32_t KeyColour(int depth) { return Colour(depth, 255, 0, 255); }

// 8-bit pixels are palette indexes: the blends and shadows draw nothing there.
bool HasChannels(int depth) { return depth != 8; }

int BytesOf(int depth) { return (depth + 7) / 8; }

// The pictures and surfaces of one depth: a 640x480 destination with a gradient, a picture of
// the blit's size (a filled ellipse over the key colour covering about half of it, so keyed
// pixels come in runs as in a sprite), and a half-size picture for the 2x stretch.
struct Scene {
    Scene(int depth, Size size) : depth(depth), size(size) {
        auto& host = platform::headless::Controls();
        host.Reset();
        screen = std::make_unique<media::Screen>();
        dest.CreateBlank(screen.get(), kWidth, kHeight, depth);
        picture.CreateBlank(screen.get(), size.width, size.height, depth);
        half.CreateBlank(screen.get(), size.width / 2, size.height / 2, depth);
        grey.CreateBlank(screen.get(), size.width, size.height, depth);
        rotated.CreateBlank(screen.get(), 256, 256, depth);
        Paint(dest, false);
        Paint(picture, true);
        Paint(half, true);
        Paint(rotated, false);
        grey.Fill(Colour(depth, 128, 128, 128));
        picture.SetColorKeyFromTopLeft();
        auto map = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(size.width * size.height));
        for (std::int32_t i = 0; i < size.width * size.height; ++i) map[i] = static_cast<std::uint8_t>(i * 7);
        picture.SetAlphaMap(std::move(map), static_cast<std::size_t>(size.width * size.height));
    }

    void Paint(PixelSurface& s, bool ellipse) {
        s.Lock();
        const double cx = s.Width() / 2.0, cy = s.Height() / 2.0, rx = 0.4 * s.Width(), ry = 0.4 * s.Height();
        for (std::int32_t y = 0; y < s.Height(); ++y) {
            for (std::int32_t x = 0; x < s.Width(); ++x) {
                const double ex = (x + 0.5 - cx) / rx, ey = (y + 0.5 - cy) / ry;
                const bool inside = !ellipse || ex * ex + ey * ey <= 1.0;
                s.PutPixel(x, y, inside ? Colour(depth, (x * 255) / s.Width(), (y * 255) / s.Height(), 96) : KeyColour(depth));
            }
        }
        s.Unlock();
    }

    // Where the blit lands on the destination: centred.
    std::int32_t X() const { return (kWidth - size.width) / 2; }
    std::int32_t Y() const { return (kHeight - size.height) / 2; }

    int depth;
    Size size;
    std::unique_ptr<media::Screen> screen;
    PixelSurface dest, picture, half, grey, rotated;
};

void Count(benchmark::State& state, std::int64_t pixels, int depth) {
    state.SetItemsProcessed(state.iterations() * pixels);
    state.SetBytesProcessed(state.iterations() * pixels * BytesOf(depth));
}

using Body = std::function<void(Scene&)>;

void Register(const std::string& name, int depth, Size size, Body body) {
    benchmark::RegisterBenchmark(name.c_str(), [depth, size, body](benchmark::State& state) {
        Scene scene(depth, size);
        for (auto _ : state) {
            body(scene);
            benchmark::ClobberMemory();
        }
        Count(state, std::int64_t{size.width} * size.height, depth);
    });
}

// The blends and shadows, for the depths with channels.
void RegisterBlends(int depth, Size size) {
    const std::string tail = "/" + std::to_string(depth) + "/" + size.Name();
    const auto at = [](Scene& s) { return std::pair{s.X(), s.Y()}; };
    Register("Ours/HalfBlend" + tail, depth, size, [at](Scene& s) { s.picture.BlitOpaqueHalfBlend(&s.dest, at(s).first, at(s).second, nullptr); });
    // SDL's and pixman's source alpha 100 of 255 leaves the destination 155/255 of its weight,
    // 156 of 256 here.
    Register("Ours/Blend" + tail, depth, size, [at](Scene& s) { s.picture.BlitOpaqueBlend(&s.dest, at(s).first, at(s).second, nullptr, 156); });
    Register("Ours/Shade" + tail, depth, size, [at](Scene& s) { s.picture.BlitOpaqueShade(&s.dest, at(s).first, at(s).second, nullptr, 128); });
    Register("Ours/HalfShade" + tail, depth, size, [at](Scene& s) { s.picture.BlitOpaqueHalfShade(&s.dest, at(s).first, at(s).second, nullptr); });
    Register("Ours/KeyHalfBlend" + tail, depth, size, [at](Scene& s) { s.picture.BlitKeyedHalfBlend(&s.dest, at(s).first, at(s).second, nullptr); });
    Register("Ours/KeyBlend" + tail, depth, size, [at](Scene& s) { s.picture.BlitKeyedBlend(&s.dest, at(s).first, at(s).second, nullptr, 156); });
    Register("Ours/KeyShade" + tail, depth, size, [at](Scene& s) { s.picture.BlitKeyedShade(&s.dest, at(s).first, at(s).second, nullptr, 128); });
    Register("Ours/KeyHalfShade" + tail, depth, size, [at](Scene& s) { s.picture.BlitKeyedHalfShade(&s.dest, at(s).first, at(s).second, nullptr); });
    Register("Ours/AlphaMap" + tail, depth, size, [at](Scene& s) { s.picture.BlitKeyedAlphaMap(&s.dest, at(s).first, at(s).second, nullptr); });
}

void RegisterOurs(int depth, Size size) {
    const std::string tail = "/" + std::to_string(depth) + "/" + size.Name();
    const auto at = [](Scene& s) { return std::pair{s.X(), s.Y()}; };
    Register("Ours/Copy" + tail, depth, size, [at](Scene& s) { s.picture.BlitOpaque(&s.dest, at(s).first, at(s).second, nullptr); });
    Register("Ours/Key" + tail, depth, size, [at](Scene& s) { s.picture.BlitKeyed(&s.dest, at(s).first, at(s).second, nullptr); });
    if (HasChannels(depth)) RegisterBlends(depth, size);
    Register("Ours/MirrorX" + tail, depth, size, [at](Scene& s) { s.picture.BlitOpaqueMirrorX(&s.dest, at(s).first, at(s).second, nullptr); });
    Register("Ours/KeyMirrorX" + tail, depth, size, [at](Scene& s) { s.picture.BlitKeyedMirrorX(&s.dest, at(s).first, at(s).second, nullptr); });
    Register("Ours/MirrorY" + tail, depth, size, [at](Scene& s) { s.picture.BlitOpaqueMirrorY(&s.dest, at(s).first, at(s).second, nullptr); });
    Register("Ours/Stretch2x" + tail, depth, size, [at](Scene& s) {
        s.half.BlitOpaqueStretched(&s.dest, at(s).first, at(s).second, nullptr, s.size.width, s.size.height);
    });
    Register("Ours/KeyStretch2x" + tail, depth, size, [at](Scene& s) {
        s.half.BlitKeyedStretched(&s.dest, at(s).first, at(s).second, nullptr, s.size.width, s.size.height);
    });
    Register("Memcpy" + tail, depth, size, [](Scene& s) {
        platform::DisplaySurface& from = *s.picture.Surface();
        platform::DisplaySurface& to = *s.dest.Surface();
        std::memcpy(to.Row(0), from.Row(0), static_cast<std::size_t>(s.size.width) * s.size.height * BytesOf(s.depth));
    });
    // The copy's own rows: one memcpy per row into the destination where the copy lands.
    Register("MemcpyRows" + tail, depth, size, [](Scene& s) {
        const platform::DisplaySurface& from = *s.picture.Surface();
        platform::DisplaySurface& to = *s.dest.Surface();
        const std::size_t bytes = static_cast<std::size_t>(s.size.width) * BytesOf(s.depth);
        std::uint8_t* d = to.Row(s.Y()) + s.X() * BytesOf(s.depth);
        for (std::int32_t y = 0; y < s.size.height; ++y, d += to.Pitch()) std::memcpy(d, from.Row(y), bytes);
    });
}

// The opaque rotation of a 256x256 picture by 0.5 radians about the destination's centre; items
// are the destination pixels written.
void RegisterRotation(int depth) {
    const std::string name = "Ours/Rotate/" + std::to_string(depth) + "/256x256";
    benchmark::RegisterBenchmark(name.c_str(), [depth](benchmark::State& state) {
        Scene scene(depth, {64, 64});
        PixelSurface& dest = scene.dest;
        Rect r{0, 0, 256, 256};
        // Count the pixels one rotation writes: nothing in the picture is the sentinel.
        const std::uint32_t sentinel = Colour(depth, 8, 8, 8) | (depth == 8 ? 0x01 : 0);
        dest.Fill(sentinel);
        scene.rotated.BlitOpaqueRotated(&dest, kWidth / 2, kHeight / 2, &r, 0.5, 1.0);
        std::int64_t written = 0;
        for (std::int32_t y = 0; y < kHeight; ++y)
            for (std::int32_t x = 0; x < kWidth; ++x) written += dest.Surface()->PixelAt(x, y) != sentinel;
        for (auto _ : state) {
            r = {0, 0, 256, 256};
            scene.rotated.BlitOpaqueRotated(&dest, kWidth / 2, kHeight / 2, &r, 0.5, 1.0);
            benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(state.iterations() * written);
    });
}

#ifdef MEDIA_BENCH_WITH_SDL

// Runs an SDL blit of a surface made from picture (set up by prepare) onto the destination.
void RegisterSdlBlit(const std::string& name, int depth, Size size, bool halfSource, std::function<void(SDL_Surface*, Scene&)> prepare,
                     bool scaled) {
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
        Scene scene(depth, size);
        SDL_Surface* src = WrapForSdl(*(halfSource ? scene.half : scene.picture).Surface());
        SDL_Surface* dst = WrapForSdl(*scene.dest.Surface());
        prepare(src, scene);
        for (auto _ : state) {
            SDL_Rect to{scene.X(), scene.Y(), size.width, size.height};
            if (scaled) {
                SDL_BlitScaled(src, nullptr, dst, &to);
            } else {
                SDL_BlitSurface(src, nullptr, dst, &to);
            }
            benchmark::ClobberMemory();
        }
        SDL_FreeSurface(src);
        SDL_FreeSurface(dst);
        Count(state, std::int64_t{size.width} * size.height, depth);
    });
}

void RegisterSdl(int depth, Size size) {
    const std::string tail = "/" + std::to_string(depth) + "/" + size.Name();
    const auto none = [](SDL_Surface* s, Scene&) { SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE); };
    const auto alpha = [](Uint8 a) {
        return [a](SDL_Surface* s, Scene&) {
            SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
            SDL_SetSurfaceAlphaMod(s, a);
        };
    };
    RegisterSdlBlit("SDL/Copy" + tail, depth, size, false, none, false);
    RegisterSdlBlit("SDL/Key" + tail, depth, size, false, [](SDL_Surface* s, Scene& scene) {
        SDL_SetColorKey(s, SDL_TRUE, KeyColour(scene.depth));
    }, false);
    RegisterSdlBlit("SDL/KeyRLE" + tail, depth, size, false, [](SDL_Surface* s, Scene& scene) {
        SDL_SetColorKey(s, SDL_TRUE, KeyColour(scene.depth));
        SDL_SetSurfaceRLE(s, 1);
    }, false);
    RegisterSdlBlit("SDL/Stretch2x" + tail, depth, size, true, none, true);
    if (!HasChannels(depth)) return;
    RegisterSdlBlit("SDL/HalfBlend" + tail, depth, size, false, alpha(128), false);
    RegisterSdlBlit("SDL/Blend" + tail, depth, size, false, alpha(100), false);
    // The shadow: the destination multiplied by a grey source.
    benchmark::RegisterBenchmark(("SDL/Shade" + tail).c_str(), [=](benchmark::State& state) {
        Scene scene(depth, size);
        SDL_Surface* src = WrapForSdl(*scene.grey.Surface());
        SDL_Surface* dst = WrapForSdl(*scene.dest.Surface());
        SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_MOD);
        for (auto _ : state) {
            SDL_Rect to{scene.X(), scene.Y(), size.width, size.height};
            SDL_BlitSurface(src, nullptr, dst, &to);
            benchmark::ClobberMemory();
        }
        SDL_FreeSurface(src);
        SDL_FreeSurface(dst);
        Count(state, std::int64_t{size.width} * size.height, depth);
    });
}
#endif

#ifdef MEDIA_BENCH_WITH_PIXMAN
std::unique_ptr<PixmanImage> Solid(std::uint16_t alpha) {
    const pixman_color_t colour{0, 0, 0, alpha};
    return std::make_unique<PixmanImage>(pixman_image_create_solid_fill(&colour));
}

enum class PixmanKind { Copy, HalfBlend, Blend, Shade, Stretch2x, MirrorX, MirrorY };

void RegisterPixmanOp(const std::string& name, int depth, Size size, PixmanKind kind) {
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
        Scene scene(depth, size);
        auto dst = WrapForPixman(scene.dest);
        auto src = WrapForPixman(kind == PixmanKind::Stretch2x ? scene.half : scene.picture);
        auto mask = Solid(kind == PixmanKind::Blend ? 100 * 257 : 128 * 257);
        if (kind == PixmanKind::Stretch2x) {
            pixman_transform_t transform;
            pixman_transform_init_scale(&transform, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
            pixman_image_set_transform(src->image, &transform);
            pixman_image_set_filter(src->image, PIXMAN_FILTER_NEAREST, nullptr, 0);
        }
        if (kind == PixmanKind::MirrorX || kind == PixmanKind::MirrorY) {
            // Destination (x, y) reads source (w - 1 - x, y) or (x, h - 1 - y): a scale by -1 and
            // a shift by the size, sampled nearest.
            const bool leftRight = kind == PixmanKind::MirrorX;
            pixman_transform_t transform;
            pixman_transform_init_identity(&transform);
            pixman_transform_scale(&transform, nullptr, pixman_int_to_fixed(leftRight ? -1 : 1), pixman_int_to_fixed(leftRight ? 1 : -1));
            pixman_transform_translate(&transform, nullptr, pixman_int_to_fixed(leftRight ? size.width : 0),
                                       pixman_int_to_fixed(leftRight ? 0 : size.height));
            pixman_image_set_transform(src->image, &transform);
            pixman_image_set_filter(src->image, PIXMAN_FILTER_NEAREST, nullptr, 0);
        }
        const int x = scene.X(), y = scene.Y(), w = size.width, h = size.height;
        for (auto _ : state) {
            switch (kind) {
                case PixmanKind::Copy:
                case PixmanKind::Stretch2x:
                case PixmanKind::MirrorX:
                case PixmanKind::MirrorY:
                    pixman_image_composite32(PIXMAN_OP_SRC, src->image, nullptr, dst->image, 0, 0, 0, 0, x, y, w, h);
                    break;
                case PixmanKind::HalfBlend:
                case PixmanKind::Blend:
                    pixman_image_composite32(PIXMAN_OP_OVER, src->image, mask->image, dst->image, 0, 0, 0, 0, x, y, w, h);
                    break;
                case PixmanKind::Shade:
                    pixman_image_composite32(PIXMAN_OP_OUT_REVERSE, mask->image, nullptr, dst->image, 0, 0, 0, 0, x, y, w, h);
                    break;
            }
            benchmark::ClobberMemory();
        }
        Count(state, std::int64_t{w} * h, depth);
    });
}

void RegisterPixman(int depth, Size size) {
    const std::string tail = "/" + std::to_string(depth) + "/" + size.Name();
    RegisterPixmanOp("Pixman/Copy" + tail, depth, size, PixmanKind::Copy);
    if (HasChannels(depth)) {
        RegisterPixmanOp("Pixman/HalfBlend" + tail, depth, size, PixmanKind::HalfBlend);
        RegisterPixmanOp("Pixman/Blend" + tail, depth, size, PixmanKind::Blend);
        RegisterPixmanOp("Pixman/Shade" + tail, depth, size, PixmanKind::Shade);
    }
    RegisterPixmanOp("Pixman/Stretch2x" + tail, depth, size, PixmanKind::Stretch2x);
    RegisterPixmanOp("Pixman/MirrorX" + tail, depth, size, PixmanKind::MirrorX);
    RegisterPixmanOp("Pixman/MirrorY" + tail, depth, size, PixmanKind::MirrorY);
}
#endif

}  // namespace

int main(int argc, char** argv) {
    for (const int depth : kDepths) {
        for (const Size size : kSizes) {
            RegisterOurs(depth, size);
#ifdef MEDIA_BENCH_WITH_SDL
            RegisterSdl(depth, size);
#endif
#ifdef MEDIA_BENCH_WITH_PIXMAN
            RegisterPixman(depth, size);
#endif
        }
        RegisterRotation(depth);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
