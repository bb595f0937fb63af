// One frame of input on the headless backend: Input::Update (keyboard, mouse, joystick) and the
// game's nine GetKeyStatus calls. Reports the time per frame against the 2 microsecond budget
// (budget / ours: above 1 is within it) and the heap allocations made by the frames, which must
// be none.
#include <benchmark/benchmark.h>

#include "bench/allocation_counter.h"
#include "media/app/window.h"
#include "media/input/input.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/backends/headless/headless_gamepads.h"
#include "platform/backends/headless/headless_input.h"
#include "platform/backends/headless/headless_shell.h"
#include "platform/window/window.h"

namespace {

constexpr double kBudgetNanoseconds = 2000.0;
constexpr std::uint16_t kGameKeys[] = {27, 97, 101, 109, 111, 112, 120, 134, 135};
constexpr std::uint8_t kGameKeyScans[] = {1, 30, 18, 50, 24, 25, 45, 203, 205};

// state.range(0): 0 = nothing touched, 1 = the game keys and buttons held, the mouse and the
// joystick moving every frame.
void BM_InputFrame(benchmark::State& state) {
    const bool busy = state.range(0) != 0;
    auto& host = platform::headless::Controls();
    auto& controls = platform::headless::InputControls();
    host.Reset();
    platform::WindowClass windowClass;
    windowClass.className = "bench";
    windowClass.proc = &platform::DefWindowProc;
    platform::RegisterClass(windowClass);
    platform::HWND window = platform::CreateWindowEx(0, "bench", "bench", platform::WS_POPUP, 0, 0, 640, 480);
    platform::ShowWindow(window, platform::SW_SHOWNORMAL);
    media::Input input;
    if (input.Create(nullptr, window) != 0) {
        state.SkipWithError("Input::Create failed");
        return;
    }
    if (busy) {
        for (const std::uint8_t scan : kGameKeyScans) controls.SetKey(scan, true);
        controls.SetMouseButton(0, true);
        controls.SetJoystickButton(0, true);
        controls.SetJoystickAxes(20000, -20000);
    }
    int active = 0;
    const long long before = bench::AllocationCount();
    for (auto _ : state) {
        if (busy) controls.MoveMouse(3, -2);
        input.Update();
        for (const std::uint16_t code : kGameKeys) active += input.GetKeyStatus(code) != media::KEY_UP;
        benchmark::DoNotOptimize(active);
    }
    const long long made = bench::AllocationCount() - before;
    state.counters["allocations"] = static_cast<double>(made);
    if (made != 0) state.SkipWithError("the frames allocated");
    host.Reset();
}
BENCHMARK(BM_InputFrame)->Arg(0)->Arg(1);

// A front-door frame's events with four gamepads connected, every pad pressing or letting go of a
// button and moving a stick each frame, and a piece of typed text: NextFrame of a 4x4 window
// (so that presenting it costs next to nothing) and draining its events; the budget is 5
// microseconds. Once the first frames have grown the stores, the frames allocate nothing.

void BM_FrontDoorEventsFourPads(benchmark::State& state) {
    auto& host = platform::headless::Controls();
    auto& pads = platform::headless::GamepadControls();
    auto& shell = platform::headless::ShellControls();
    host.Reset();
    media::Window window;
    if (!window.Open("bench", 4, 4)) {
        state.SkipWithError("Window::Open failed");
        return;
    }
    window.SetVsync(false);
    window.SetTextInput(true);
    for (int slot = 0; slot < 4; ++slot) pads.Connect(slot, true);
    const auto handle = static_cast<const platform::Window*>(window.NativeHandle());
    std::int64_t frame = 0, seen = 0;
    const auto step = [&] {
        const bool down = frame % 2 == 0;
        for (int slot = 0; slot < 4; ++slot) {
            pads.SetButton(slot, platform::PadButton::A, down);
            pads.SetAxis(slot, platform::PadAxis::LeftX, static_cast<std::int16_t>(down ? 20000 : -20000));
        }
        shell.TypeText(handle, "é");
        float dt = 0;
        window.NextFrame(dt);
        for (media::Event event; window.PollEvent(event);) ++seen;
        ++frame;
    };
    for (int i = 0; i < 4; ++i) step();  // the stores grow to a frame's size
    const long long before = bench::AllocationCount();
    for (auto _ : state) step();
    const long long made = bench::AllocationCount() - before;
    benchmark::DoNotOptimize(seen);
    state.counters["allocations"] = static_cast<double>(made);
    state.counters["events_per_frame"] = static_cast<double>(seen) / static_cast<double>(frame);
    if (made != 0) state.SkipWithError("the frames allocated");
    window.Close();
    host.Reset();
}
BENCHMARK(BM_FrontDoorEventsFourPads);

}  // namespace

BENCHMARK_MAIN();
