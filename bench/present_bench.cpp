// One presented frame on the real SDL backend, in a window of a real (or virtual) X server: the
// screen's Flip without the vertical-blank wait, from the 640x480 back surface to what the window
// shows. Beside it, SDL's own way to show the same pixels: a streaming texture updated from them
// (SDL_UpdateTexture), copied by the same kind of renderer and presented. CPU time is the
// process's, so work SDL hands to threads of its own counts too.
// The desktop depth is fixed when the backend starts: MEDIA_DESKTOP_DEPTH (15, 16, 24 or 32,
// default 32) picks it, and the rows are named with it. Run it under a virtual X server:
//   for bits in 15 16 24 32; do MEDIA_DESKTOP_DEPTH=$bits xvfb-run -a build/bench/present_bench; done
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "media/display/pixel_surface.h"
#include "media/display/screen.h"
#include "platform/core/backend.h"
#include "platform/video/display_surface.h"
#include "platform/window/window.h"

namespace {

constexpr std::int32_t kWidth = 640, kHeight = 480;

int DesktopBits() {
    const char* set = std::getenv("MEDIA_DESKTOP_DEPTH");
    return set && *set ? std::atoi(set) : 32;
}

// A game-like screen: a shown 640x480 window with a screen in windowed mode on it and a back
// surface full of varied pixels. Made once, as the backend's window lives for the process.
struct RealScreen {
    RealScreen() {
        platform::WindowClass windowClass;
        windowClass.className = "present bench";
        windowClass.proc = &platform::DefWindowProc;
        platform::RegisterClass(windowClass);
        window = platform::CreateWindowEx(0, "present bench", "present bench", platform::WS_POPUP, 0, 0, kWidth, kHeight);
        if (!window) return;
        platform::ShowWindow(window, platform::SW_SHOWNORMAL);
        screen = std::make_unique<media::Screen>();
        if (screen->SetWindowedMode(window, kWidth, kHeight) < 0) {
            screen.reset();
            return;
        }
        platform::DisplaySurface& back = *screen->Back()->Surface();
        for (std::int32_t y = 0; y < back.Height(); ++y) {
            std::uint8_t* row = back.Row(y);
            for (std::int32_t i = 0; i < back.Pitch(); ++i) row[i] = static_cast<std::uint8_t>(i * 7 + y * 13);
        }
    }
    platform::HWND window = nullptr;
    std::unique_ptr<media::Screen> screen;
};

RealScreen& Screen() {
    static RealScreen real;
    return real;
}

void SetCounters(benchmark::State& state) { state.SetItemsProcessed(state.iterations() * kWidth * kHeight); }

void BM_RealPresent(benchmark::State& state) {
    RealScreen& real = Screen();
    if (!real.screen) {
        state.SkipWithError("no SDL window: run under an X server (xvfb-run -a)");
        return;
    }
    for (auto _ : state) real.screen->Flip(0, 1, 0);
    SetCounters(state);
}

Uint32 SdlFormat(int bits) {
    switch (bits) {
        case 15: return SDL_PIXELFORMAT_RGB555;
        case 16: return SDL_PIXELFORMAT_RGB565;
        case 24: return SDL_PIXELFORMAT_BGR24;
        default: return SDL_PIXELFORMAT_XRGB8888;
    }
}

// SDL alone: its own window and software renderer, the back surface's pixels uploaded to a
// streaming texture, copied and presented each frame.
void BM_SdlTextureUpload(benchmark::State& state) {
    RealScreen& real = Screen();
    if (!real.screen) {
        state.SkipWithError("no SDL window: run under an X server (xvfb-run -a)");
        return;
    }
    const platform::DisplaySurface& back = *real.screen->Back()->Surface();
    SDL_Window* window = SDL_CreateWindow("sdl upload", 0, 0, kWidth, kHeight, SDL_WINDOW_SHOWN);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
    SDL_Texture* texture =
        renderer ? SDL_CreateTexture(renderer, SdlFormat(DesktopBits()), SDL_TEXTUREACCESS_STREAMING, kWidth, kHeight) : nullptr;
    if (!texture) {
        state.SkipWithError(SDL_GetError());
    } else {
        for (auto _ : state) {
            SDL_UpdateTexture(texture, nullptr, back.Row(0), back.Pitch());
            SDL_RenderCopy(renderer, texture, nullptr, nullptr);
            SDL_RenderPresent(renderer);
        }
        SetCounters(state);
    }
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
}

}  // namespace

int main(int argc, char** argv) {
    if (!platform::UseBackend("sdl")) {
        std::fprintf(stderr, "present_bench: the SDL backend is not built in\n");
        return 1;
    }
    const std::string bits = std::to_string(DesktopBits());
    benchmark::RegisterBenchmark(("Ours/RealPresent/" + bits).c_str(), &BM_RealPresent)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("SDL/TextureUpload/" + bits).c_str(), &BM_SdlTextureUpload)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The screen goes before the window system is reset.
    Screen().screen.reset();
    platform::ResetWindowSystem();
    return 0;
}
