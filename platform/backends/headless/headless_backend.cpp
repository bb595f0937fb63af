#include "platform/backends/headless/headless_backend.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "platform/backends/headless/headless_audio.h"
#include "platform/backends/headless/headless_gamepads.h"
#include "platform/backends/headless/headless_input.h"
#include "platform/backends/headless/headless_shell.h"
#include "platform/backends/headless/headless_touches.h"
#include "platform/core/backend.h"
#include "platform/core/system.h"
#include "platform/pixels/surface_copy.h"
#include "platform/window/window.h"

namespace platform::headless {

namespace {

// The headless machine can always run: it needs no display, no sound card and no devices.
bool Probe() { return true; }

Clock& TheClock() { return Controls(); }
DisplayHost& TheDisplay() { return Controls(); }
WindowHost& TheWindows() { return Controls(); }
InputHost& TheInput() { return InputControls(); }
ShellHost& TheShell() { return ShellControls(); }
GamepadHost& TheGamepads() { return GamepadControls(); }
TouchHost& TheTouches() { return TouchControls(); }
AudioHost& TheAudio() { return AudioControls(); }

// A typical frame: 3-pixel borders and a 20-pixel caption, so that window sizing has
// something to add.
constexpr FrameMetrics kDefaultFrame{3, 20, 20};

void RecordDebugOutput(const char* text) { Controls().RecordDebugMessage(text); }

}  // namespace

extern const Backend kBackend;
const Backend kBackend{"headless", "in memory: a virtual clock, an inspectable desktop, scripted input, a readable audio output",
                       &Probe, &TheClock, &TheDisplay, &TheWindows, &TheInput, &TheAudio, &TheShell, &TheGamepads,
                       &TheTouches};

HeadlessBackend& Controls() {
    static HeadlessBackend backend;
    return backend;
}

HeadlessBackend::HeadlessBackend() : frame_(kDefaultFrame) {
    // Whoever reaches for the test controls runs on this backend: tests and tools need not name it
    // separately. Controls of a backend that is not the one in use would control nothing.
    if (!UseBackend("headless")) {
        std::fprintf(stderr, "the headless backend's controls were asked for, but the %s backend is in use\n", CurrentBackend().name);
        std::abort();
    }
    SetDesktop(1024, 768, 32);
    SetDebugOutputHook(&RecordDebugOutput);
    InstallFaultHook(this);
}

HeadlessBackend::~HeadlessBackend() {
    InstallFaultHook(nullptr);
    SetDebugOutputHook(nullptr);
    if (primary_) primary_->SetDesktop(nullptr);
}

bool HeadlessBackend::CreateNativeWindow(Window& window) {
    shown_.push_back({&window, window.presentation, window.icon});
    return true;
}

void HeadlessBackend::DestroyNativeWindow(Window& window) {
    std::erase_if(shown_, [&](const ShownWindow& shown) { return shown.window == &window; });
}

void HeadlessBackend::UpdateNativeWindow(Window& window) {
    for (ShownWindow& shown : shown_) {
        if (shown.window == &window) shown = {&window, window.presentation, window.icon};
    }
}

const ShownWindow* HeadlessBackend::Shown(const Window* window) const {
    for (const ShownWindow& shown : shown_) {
        if (shown.window == window) return &shown;
    }
    return nullptr;
}

bool HeadlessBackend::ResizeOnScreen(Window* window, std::int32_t width, std::int32_t height) {
    const ShownWindow* shown = Shown(window);
    if (!shown || !(shown->presentation.fullscreen || shown->presentation.resizable) || width <= 0 || height <= 0) return false;
    const auto w = static_cast<std::uint32_t>(width) & 0xFFFF, h = static_cast<std::uint32_t>(height) & 0xFFFF;
    return PostMessage(window, WM_SIZE, 0, static_cast<LPARAM>(w | h << 16));
}

void HeadlessBackend::Reset() {
    ResetWindowSystem();
    SetDesktop(1024, 768, 32);
    desktop_.SetClipper(nullptr);
    frame_ = kDefaultFrame;
    now_ = 0;
    ClearFaults();
    messageBoxes_.clear();
    shown_.clear();
    eventHook_ = nullptr;
    vblankWaits_ = 0;
    debugMessages_.clear();
    droppedDebugMessages_ = 0;
    debugEcho_ = true;
    SetDebugOutputHook(&RecordDebugOutput);
    presentations_ = 0;
    InputControls().Reset();
    AudioControls().Reset();
    ShellControls().Reset();
    GamepadControls().Reset();
    TouchControls().Reset();
}

void HeadlessBackend::SetDesktop(std::int32_t width, std::int32_t height, int depth) {
    // A surface still held from the old desktop becomes plain memory.
    if (primary_) primary_->SetDesktop(nullptr);
    primary_ = std::make_shared<DisplaySurface>(width, height, FormatForDepth(depth), DDSCAPS_PRIMARYSURFACE);
    primary_->SetDesktop(&desktop_);
}

void HeadlessBackend::SetFault(FaultPoint point, HRESULT result) { Faults().Set(point, result); }

bool HeadlessBackend::SetFault(const std::string& name, HRESULT result) { return Faults().Set("display." + name, result); }

void HeadlessBackend::ClearFaults() { Faults().Clear(FaultGroup::Display); }

HRESULT HeadlessBackend::At(FaultPoint point) { return Faults().Take(point); }

DesktopMode HeadlessBackend::Desktop() {
    return {primary_->Width(), primary_->Height(), primary_->Format(), 60};
}

void HeadlessBackend::WaitForVerticalBlank() {
    // Refresh tick n starts at floor(n * 1000 / 60) ms; wait for the first one after now.
    std::uint64_t n = std::uint64_t{now_} * 60 / 1000 + 1;
    while (n * 1000 / 60 <= now_) ++n;
    now_ = static_cast<std::uint32_t>(n * 1000 / 60);
    ++vblankWaits_;
}

void HeadlessBackend::PumpEvents(bool wait) {
    if (eventHook_) eventHook_(wait);
}

int HeadlessBackend::LoseAllSurfaces() {
    int count = 0;
    for (DisplaySurface* s = DisplaySurface::FirstLive(); s; s = s->NextLive(), ++count) {
        // The memory goes to someone else: what the surface held is gone.
        FillRect(s->View(), s->Bounds(), 0);
        s->MarkLost();
    }
    return count;
}

void HeadlessBackend::RecordDebugMessage(const char* text) {
    if (debugMessages_.size() == kDebugLogCapacity) {
        debugMessages_.pop_front();
        ++droppedDebugMessages_;
    }
    debugMessages_.emplace_back(text);
    if (!debugEcho_) return;
    std::fputs(text, stderr);
    if (!*text || text[std::strlen(text) - 1] != '\n') std::fputc('\n', stderr);
}

std::vector<std::string> HeadlessBackend::DrainDebugMessages() {
    std::vector<std::string> drained(std::make_move_iterator(debugMessages_.begin()), std::make_move_iterator(debugMessages_.end()));
    debugMessages_.clear();
    droppedDebugMessages_ = 0;
    return drained;
}

int HeadlessBackend::ShowMessageBox(Window* owner, const char* text, const char* caption, std::uint32_t type) {
    messageBoxes_.push_back({owner, text, caption, type});
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return 1;
}

PixelView HeadlessBackend::TargetFor(Window*, Point* origin) {
    *origin = {0, 0};
    return primary_->View();
}

}  // namespace platform::headless
