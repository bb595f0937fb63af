// The bitmap decoder at 640x480: a 24-bit file and an RLE8 file decoded by the loader into a new
// 32-bit surface on the headless display, beside stb_image and SDL2 decoding the same bytes in
// the same binary (stb_image does not read RLE8; SDL's result is converted to 32 bits there).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include <stb/stb_image.h>

#include "media/image/image.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/video/display_device.h"

#ifdef MEDIA_BENCH_WITH_SDL
#include <SDL.h>
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr int kWidth = 640, kHeight = 480;

void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

Bytes BmpFile(int bits, std::uint32_t compression, const std::vector<std::uint32_t>& palette, const Bytes& pixels) {
    const std::uint32_t offset = 54 + static_cast<std::uint32_t>(palette.size()) * 4;
    Bytes f{'B', 'M'};
    Put32(f, offset + static_cast<std::uint32_t>(pixels.size()));
    Put32(f, 0);
    Put32(f, offset);
    for (std::uint32_t v : {40u, std::uint32_t{kWidth}, std::uint32_t{kHeight}}) Put32(f, v);
    Put16(f, 1);
    Put16(f, static_cast<std::uint32_t>(bits));
    for (std::uint32_t v : {compression, static_cast<std::uint32_t>(pixels.size()), 2835u, 2835u, static_cast<std::uint32_t>(palette.size()), 0u})
        Put32(f, v);
    for (std::uint32_t c : palette) Put32(f, c);
    f.insert(f.end(), pixels.begin(), pixels.end());
    return f;
}

// A scene with smooth gradients and some texture: every byte varies, as in a photograph.
const Bytes& File24() {
    static const Bytes file = [] {
        Bytes rows;
        rows.reserve(std::size_t{kWidth} * 3 * kHeight);
        for (int y = kHeight - 1; y >= 0; --y)
            for (int x = 0; x < kWidth; ++x) {
                rows.push_back(static_cast<std::uint8_t>(x * 255 / kWidth));
                rows.push_back(static_cast<std::uint8_t>(y * 255 / kHeight ^ (x & 7)));
                rows.push_back(static_cast<std::uint8_t>((x + y) * 3));
            }
        return BmpFile(24, 0, {}, rows);
    }();
    return file;
}

// Each row as RLE8 commands: runs of equal bytes, literal stretches as absolute runs, then end
// of line; end of bitmap after the last row.
Bytes EncodeRle8(const std::vector<std::uint8_t>& indexes) {
    Bytes out;
    for (int y = kHeight - 1; y >= 0; --y) {
        const std::uint8_t* row = &indexes[static_cast<std::size_t>(y) * kWidth];
        int x = 0;
        while (x < kWidth) {
            int run = 1;
            while (x + run < kWidth && run < 255 && row[x + run] == row[x]) ++run;
            if (run >= 3 || kWidth - x < 3) {
                out.push_back(static_cast<std::uint8_t>(run));
                out.push_back(row[x]);
                x += run;
                continue;
            }
            int literal = 0;
            while (x + literal < kWidth && literal < 255 &&
                   !(x + literal + 2 < kWidth && row[x + literal] == row[x + literal + 1] && row[x + literal] == row[x + literal + 2]))
                ++literal;
            if (literal < 3) literal = std::min(3, kWidth - x);
            out.push_back(0);
            out.push_back(static_cast<std::uint8_t>(literal));
            out.insert(out.end(), row + x, row + x + literal);
            if (literal & 1) out.push_back(0);
            x += literal;
        }
        out.push_back(0);
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}

// Game-like art for RLE8: flat bands and blocks of colour with some detailed stretches.
const Bytes& FileRle8() {
    static const Bytes file = [] {
        std::vector<std::uint8_t> indexes(std::size_t{kWidth} * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                std::uint8_t v = static_cast<std::uint8_t>(y / 12);
                if ((x / 40 + y / 30) % 3 == 0) v = static_cast<std::uint8_t>(100 + (x / 8) % 16);
                if (x > 300 && x < 340) v = static_cast<std::uint8_t>((x * 7 + y * 13) & 0xFF);
                indexes[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)] = v;
            }
        std::vector<std::uint32_t> palette(256);
        for (std::uint32_t i = 0; i < 256; ++i) palette[i] = (i * 0x010305u) & 0xFFFFFF;
        return BmpFile(8, 1, palette, EncodeRle8(indexes));
    }();
    return file;
}

platform::DisplayDevice& Device() {
    static std::shared_ptr<platform::DisplayDevice> device = [] {
        platform::headless::Controls().Reset();
        platform::headless::Controls().SetDesktop(1024, 768, 32);
        std::shared_ptr<platform::DisplayDevice> d;
        platform::DirectDrawCreate(nullptr, &d);
        return d;
    }();
    return *device;
}

void DecodeOurs(benchmark::State& state, const Bytes& file) {
    media::Image image;
    for (auto _ : state) {
        media::SurfacePtr surface = image.LoadMemory(&Device(), file.size(), file.data(), media::MEMORY_ANY);
        if (!surface) state.SkipWithError("the loader gave no surface");
        benchmark::DoNotOptimize(surface.get());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_Ours24(benchmark::State& state) { DecodeOurs(state, File24()); }
void BM_OursRle8(benchmark::State& state) { DecodeOurs(state, FileRle8()); }

void BM_Stb24(benchmark::State& state) {
    const Bytes& file = File24();
    for (auto _ : state) {
        int w = 0, h = 0, n = 0;
        stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &n, 4);
        if (!pixels) state.SkipWithError("stb_image failed");
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

BENCHMARK(BM_Ours24)->Name("Ours/Bmp/24bit/640x480")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Stb24)->Name("Ref/stb_image/Bmp/24bit/640x480")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OursRle8)->Name("Ours/Bmp/Rle8/640x480")->Unit(benchmark::kMicrosecond);

#ifdef MEDIA_BENCH_WITH_SDL
void BM_Sdl24(benchmark::State& state) {
    const Bytes& file = File24();
    for (auto _ : state) {
        SDL_Surface* s = SDL_LoadBMP_RW(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())), 1);
        if (!s) state.SkipWithError(SDL_GetError());
        benchmark::DoNotOptimize(s);
        SDL_FreeSurface(s);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_SdlRle8(benchmark::State& state) {
    const Bytes& file = FileRle8();
    for (auto _ : state) {
        SDL_Surface* s = SDL_LoadBMP_RW(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())), 1);
        SDL_Surface* converted = s ? SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_XRGB8888, 0) : nullptr;
        if (!converted) state.SkipWithError(SDL_GetError());
        benchmark::DoNotOptimize(converted);
        SDL_FreeSurface(converted);
        SDL_FreeSurface(s);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

BENCHMARK(BM_Sdl24)->Name("Ref/SDL2/Bmp/24bit/640x480")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SdlRle8)->Name("Ref/SDL2/Bmp/Rle8/640x480")->Unit(benchmark::kMicrosecond);
#endif

}  // namespace

BENCHMARK_MAIN();
