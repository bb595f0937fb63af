// The sprite overlap test of two 90x90 sprites in 16 and 32 bits: a miss on the boxes, a full walk
// of the overlap without a hit, a hit on the first pixel, and a full walk right after a write to
// one sheet (its opacity is found again first); beside it a memcmp of the same bytes (as many as
// the walk reads per pixel pair), the ratio to aim at.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "media/display/screen.h"
#include "media/sprite/sprite_object.h"
#include "platform/backends/headless/headless_backend.h"

namespace {

constexpr std::int32_t kSize = 90;

struct Pair {
    explicit Pair(int depth) {
        platform::headless::Controls().Reset();
        screen = std::make_unique<media::Screen>();
        for (media::SpriteObject* s : {&a, &b}) {
            s->sheet = new media::FrameSheet();
            s->ownsSheet = 1;
            s->sheet->CreateBlank(screen.get(), kSize, kSize, depth);
            s->sheet->CutIntoFrames(kSize, kSize, 0);
        }
        // a: key at the top-left, opaque everywhere else; b: the key everywhere.
        a.sheet->Fill(0x1F);
        a.sheet->SetColorKeyFromTopLeft();
        a.sheet->Fill(0x2A);
        b.sheet->Fill(0x1F);
        b.sheet->SetColorKeyFromTopLeft();
    }
    std::unique_ptr<media::Screen> screen;
    media::SpriteObject a, b;
};

enum class Case { BoxMiss, FullWalk, EarlyHit, FullWalkAfterWrite };

void BM_Overlaps(benchmark::State& state) {
    const int depth = static_cast<int>(state.range(0));
    const auto which = static_cast<Case>(state.range(1));
    Pair pair(depth);
    if (which == Case::BoxMiss) pair.b.x = 200;
    if (which == Case::EarlyHit) pair.b.sheet->Fill(0x2A);
    std::int32_t hits = 0;
    for (auto _ : state) {
        if (which == Case::FullWalkAfterWrite) pair.b.sheet->Fill(0x1F);
        hits += pair.a.Overlaps(pair.b);
        benchmark::DoNotOptimize(hits);
    }
    state.SetItemsProcessed(state.iterations() * (which == Case::FullWalk || which == Case::FullWalkAfterWrite ? kSize * kSize : 1));
}
BENCHMARK(BM_Overlaps)->ArgsProduct({{16, 32}, {0, 1, 2, 3}})->ArgNames({"bits", "case"});

// memcmp of two equal buffers of 90 x 90 pixels: the bytes a full walk reads from each sprite.
void BM_Memcmp(benchmark::State& state) {
    const std::size_t bytes = static_cast<std::size_t>(kSize * kSize * state.range(0) / 8);
    std::vector<std::uint8_t> a(bytes, 7), b(bytes, 7);
    for (auto _ : state) {
        int result = std::memcmp(a.data(), b.data(), bytes);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * kSize * kSize);
}
BENCHMARK(BM_Memcmp)->Arg(16)->Arg(32)->ArgNames({"bits"});

}  // namespace

BENCHMARK_MAIN();
