#pragma once
// The headless backend: a deterministic, in-memory stand-in for the desktop. Windows live only in
// the shared window system, presentation lands in an inspectable desktop surface, the clock moves
// only when told (Sleep and the vertical-blank wait advance it), and any platform operation can
// be made to fail through its fault switch. Tests reach it through Controls().
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fault_switchboard.h"
#include "../../core/clock.h"
#include "../../core/fault_hook.h"
#include "../../video/desktop.h"
#include "../../video/display_host.h"
#include "../../video/display_surface.h"
#include "../../window/window.h"
#include "../../window/window_host.h"

namespace platform::headless {

// What the backend was last asked to show of a window beyond its client area.
struct ShownWindow {
    const Window* window = nullptr;
    WindowPresentation presentation;
    const Resource* icon = nullptr;
};

struct MessageBoxRecord {
    Window* owner = nullptr;
    std::string text, caption;
    std::uint32_t type = 0;
};

class HeadlessBackend final : public Clock, public DisplayHost, public WindowHost, public PresentTarget, public FaultHook {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;

    // Test controls.
    // Back to a fresh machine: 1024x768 desktop in 32 bits, clock at 0, no faults, no windows,
    // no clipper on the desktop, no recorded message boxes, the input devices' controls reset.
    void Reset();
    void SetDesktop(std::int32_t width, std::int32_t height, int depth);
    DisplaySurface& DesktopSurface() { return *primary_; }
    void SetFrameMetrics(const FrameMetrics& metrics) { frame_ = metrics; }
    void SetTime(std::uint32_t ms) { now_ = ms; }
    void Advance(std::uint32_t ms) { now_ += ms; }
    // The display's and windows' switches of the fault switchboard (Faults()), by operation or by
    // the operation's name without its group ("CreateClipper").
    void SetFault(FaultPoint point, HRESULT result = E_FAIL);
    bool SetFault(const std::string& name, HRESULT result = E_FAIL);
    void ClearFaults();
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
    // Runs whenever the program looks for OS events (waiting: it would sleep until one comes):
    // a test posts what "arrives" then.
    void SetEventHook(std::function<void(bool waiting)> hook) { eventHook_ = std::move(hook); }
    int VerticalBlankWaits() const { return vblankWaits_; }
    // The last kDebugLogCapacity messages of the debugger output since the last Reset or drain,
    // oldest first, one entry per message; echoed to standard error unless the echo is switched
    // off. Older messages are dropped (and counted) so that a process that never resets keeps a
    // bounded log.
    static constexpr std::size_t kDebugLogCapacity = 256;
    const std::deque<std::string>& DebugMessages() const { return debugMessages_; }
    // Hands over the kept messages, oldest first, and empties the log.
    std::vector<std::string> DrainDebugMessages();
    // Messages dropped from the front of the log since the last Reset or drain.
    std::uint64_t DroppedDebugMessages() const { return droppedDebugMessages_; }
    void SetDebugEcho(bool echo) { debugEcho_ = echo; }
    // A display change: every live surface (the desktop's too) loses its memory at once (its
    // pixels become 0) and reports DDERR_SURFACELOST until it is restored. Returns how many.
    int LoseAllSurfaces();
    void RecordDebugMessage(const char* text);
    // Copies and fills that reached the desktop since the last Reset.
    int Presentations() const { return presentations_; }
    // The presentation and icon the window has on this backend's screen; null for no window.
    const ShownWindow* Shown(const Window* window) const;
    // The user gave a scaled (fullscreen or resizable) window another size on screen: it gets
    // WM_SIZE, as on a real desktop. False, and nothing posted, for any other window.
    bool ResizeOnScreen(Window* window, std::int32_t width, std::int32_t height);

    // Clock.
    std::uint32_t Now() override { return now_; }
    void Sleep(std::uint32_t ms) override { now_ += ms; }

    // DisplayHost.
    HRESULT Open() override { return DD_OK; }
    DesktopMode Desktop() override;
    void WaitForVerticalBlank() override;
    std::shared_ptr<DisplaySurface> PrimarySurface() override { return primary_; }

    // WindowHost.
    FrameMetrics Frame() override { return frame_; }
    bool CreateNativeWindow(Window& window) override;
    void DestroyNativeWindow(Window& window) override;
    void UpdateNativeWindow(Window& window) override;
    void PumpEvents(bool wait) override;
    int ShowMessageBox(Window* owner, const char* text, const char* caption, std::uint32_t type) override;

    // PresentTarget: the desktop's own memory, whatever the window.
    PixelView TargetFor(Window* window, Point* origin) override;
    void Show(Window*, const Rect&) override { ++presentations_; }

    // FaultHook.
    HRESULT At(FaultPoint point) override;

private:
    platform::Desktop desktop_{*this};
    std::shared_ptr<DisplaySurface> primary_;
    FrameMetrics frame_;
    std::uint32_t now_ = 0;
    std::vector<MessageBoxRecord> messageBoxes_;
    std::function<void(bool waiting)> eventHook_;
    int vblankWaits_ = 0;
    std::deque<std::string> debugMessages_;
    std::uint64_t droppedDebugMessages_ = 0;
    bool debugEcho_ = true;
    int presentations_ = 0;
    std::vector<ShownWindow> shown_;
};

HeadlessBackend& Controls();

}  // namespace platform::headless
