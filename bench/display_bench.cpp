// Display hot paths at 640x480: surface fill, the line routines, and one presented frame on the
// headless backend; with SDL2's fill and copy on the same pixels for comparison.
#include <benchmark/benchmark.h>

#include <memory>

#include "media/display/screen.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/window/window.h"

#ifdef MEDIA_BENCH_WITH_SDL
#include "bench/sdl_surface_wrap.h"
#endif

namespace {

constexpr std::int32_t kWidth = 640, kHeight = 480;

// A screen set up in a 640x480 window on a headless desktop of the given depth.
struct Display {
    explicit Display(int depth) {
        auto& host = platform::headless::Controls();
        host.Reset();
        host.SetDesktop(1024, 768, depth);
        platform::WindowClass windowClass;
        windowClass.className = "bench";
        windowClass.proc = &platform::DefWindowProc;
        platform::RegisterClass(windowClass);
        window = platform::CreateWindowEx(0, "bench", "bench", platform::WS_POPUP, 0, 0, kWidth, kHeight);
        screen = std::make_unique<media::Screen>();
        screen->SetWindowedMode(window, kWidth, kHeight);
    }
    media::PixelSurface& Back() { return *screen->Back(); }

    platform::HWND window;
    std::unique_ptr<media::Screen> screen;
};

// The desktop depths the layer runs in.
void EveryDepth(benchmark::internal::Benchmark* b) {
    for (const int depth : {8, 15, 16, 24, 32}) b->Arg(depth);
}

void SetPixelCounters(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_Fill(benchmark::State& state) {
    Display display(static_cast<int>(state.range(0)));
    std::uint32_t value = 0;
    for (auto _ : state) {
        display.Back().Fill(++value);
        benchmark::ClobberMemory();
    }
    SetPixelCounters(state);
}
BENCHMARK(BM_Fill)->Apply(EveryDepth);

// Lines across the whole back surface: every row with DrawHLine, or every column with DrawVLine.
template <bool Vertical>
void BM_Lines(benchmark::State& state) {
    Display display(static_cast<int>(state.range(0)));
    media::PixelSurface& back = display.Back();
    back.Lock();
    std::uint32_t value = 0;
    for (auto _ : state) {
        ++value;
        if constexpr (Vertical) {
            for (std::int32_t x = 0; x < kWidth; ++x) back.DrawVLine(0, kHeight - 1, x, value);
        } else {
            for (std::int32_t y = 0; y < kHeight; ++y) back.DrawHLine(0, kWidth - 1, y, value);
        }
        benchmark::ClobberMemory();
    }
    back.Unlock();
    SetPixelCounters(state);
}
BENCHMARK(BM_Lines<false>)->Name("BM_DrawHLine")->Apply(EveryDepth);
BENCHMARK(BM_Lines<true>)->Name("BM_DrawVLine")->Apply(EveryDepth);

// Fill, frame-rate text and presentation into the window, without the vertical-blank wait.
void BM_PresentedFrame(benchmark::State& state) {
    Display display(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        display.Back().Fill(0);
        display.screen->Flip(0, 1, 1);
        benchmark::ClobberMemory();
    }
    SetPixelCounters(state);
}
BENCHMARK(BM_PresentedFrame)->Apply(EveryDepth);

#ifdef MEDIA_BENCH_WITH_SDL
void BM_SdlFillRect(benchmark::State& state) {
    Display display(static_cast<int>(state.range(0)));
    SDL_Surface* surface = WrapForSdl(*display.Back().Surface());
    Uint32 value = 0;
    for (auto _ : state) {
        SDL_FillRect(surface, nullptr, ++value);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(surface);
    SetPixelCounters(state);
}
BENCHMARK(BM_SdlFillRect)->Apply(EveryDepth);

// SDL's copy of the back surface into a same-sized window area of the desktop: what the
// presentation's Blt does when the client area is the back surface's size.
void BM_SdlBlitFrame(benchmark::State& state) {
    Display display(static_cast<int>(state.range(0)));
    SDL_Surface* back = WrapForSdl(*display.Back().Surface());
    SDL_Surface* desktop = WrapForSdl(platform::headless::Controls().DesktopSurface());
    for (auto _ : state) {
        SDL_Rect to{0, 0, kWidth, kHeight};
        SDL_BlitScaled(back, nullptr, desktop, &to);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(back);
    SDL_FreeSurface(desktop);
    SetPixelCounters(state);
}
BENCHMARK(BM_SdlBlitFrame)->Apply(EveryDepth);

// Our presentation copy alone, for the ratio with SDL's.
void BM_PresentCopy(benchmark::State& state) {
    Display display(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        display.screen->Flip(0, 1, 0);
        benchmark::ClobberMemory();
    }
    SetPixelCounters(state);
}
BENCHMARK(BM_PresentCopy)->Apply(EveryDepth);
#endif

}  // namespace

BENCHMARK_MAIN();
