// The game on the headless backend, from the committed assets:
// - one frame in play (input, fill, background, level pots, hearts, hero, the falling pots and
//   bee with their pixel tests, the status texts, presentation), against the 16.7 ms frame
//   budget (budget / ours: above 1 is within it), with the heap allocations per frame;
// - the start-up with every picture, tune and the catch sound (wall time; the 100 ms the music
//   waits after starting the menu tune passes on the virtual clock and is reported apart);
// - the resident memory after ten seconds of play with music.
// The play frame runs without an audio output: on the real backend the music is mixed on SDL's
// audio thread, not in the frame.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "bench/allocation_counter.h"
#include "game/app_shell.h"
#include "game/game.h"
#include "platform/backends/headless/headless_audio.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/backends/headless/headless_input.h"
#include "platform/window/window.h"

namespace {

constexpr double kFrameBudgetSeconds = 1.0 / 60.0;
constexpr std::uint8_t kScanP = 25;

class AssetsFolder {
public:
    AssetsFolder() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(ASSETS_DIR); }
    ~AssetsFolder() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

void StartGame(bool withSound) {
    platform::headless::Controls().Reset();
    platform::headless::AudioControls().SetNoDevice(!withSound);
    game::ResetGameValues();
    game::RegisterAppIcon();
    game::CreateMainWindow(platform::SW_SHOWNORMAL);
    game::GameInit();
}

void EndGame() {
    game::GameShutdown();
    game::ResetGameValues();
    platform::headless::Controls().Reset();
    platform::headless::AudioControls().SetNoDevice(false);
}

// From the title into play: P for one frame.
void EnterPlay() {
    auto& keys = platform::headless::InputControls();
    keys.SetKey(kScanP, true);
    game::GameFrame();
    keys.SetKey(kScanP, false);
    game::GameFrame();
    game::GameFrame();
}

std::int64_t ResidentKilobytes() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return -1;
    char line[256];
    std::int64_t kb = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmRSS:", 6) == 0) kb = std::atoll(line + 6);
    std::fclose(status);
    return kb;
}

void BM_PlayFrame(benchmark::State& state) {
    AssetsFolder folder;
    StartGame(false);
    EnterPlay();
    if (game::gameState != game::STATE_PLAY) {
        state.SkipWithError("the game did not start");
        return;
    }
    // Counted around the frame alone: the benchmark's own loop may allocate too.
    long long made = 0;
    for (auto _ : state) {
        const long long at = bench::AllocationCount();
        game::GameFrame();
        made += bench::AllocationCount() - at;
        // A game that ended is started again at once (plain stores, nothing measurable).
        if (game::gameState != game::STATE_PLAY) {
            game::gameState = game::STATE_PLAY;
            game::level = 0;
            game::lives = 6;
        }
    }
    state.counters["allocations_per_frame"] = static_cast<double>(made) / static_cast<double>(state.iterations());
    state.counters["budget/ours"] = benchmark::Counter(static_cast<double>(state.iterations()) * kFrameBudgetSeconds, benchmark::Counter::kIsRate);
    EndGame();
}
BENCHMARK(BM_PlayFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_StartUp(benchmark::State& state) {
    AssetsFolder folder;
    std::uint32_t virtualMs = 0;
    for (auto _ : state) {
        StartGame(true);
        virtualMs = platform::headless::Controls().Now();
        state.PauseTiming();
        EndGame();
        state.ResumeTiming();
    }
    state.counters["virtual_wait_ms"] = virtualMs;
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ResidentWhilePlaying(benchmark::State& state) {
    AssetsFolder folder;
    std::int64_t kb = 0;
    for (auto _ : state) {
        StartGame(true);
        EnterPlay();
        for (int frame = 0; frame < 600; ++frame) game::GameFrame();
        kb = ResidentKilobytes();
        EndGame();
    }
    state.counters["resident_MB"] = static_cast<double>(kb) / 1024.0;
}
BENCHMARK(BM_ResidentWhilePlaying)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
