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

/// What the backend was last asked to show of a window beyond its client area.
struct ShownWindow {
    /// The window.
    const Window* window = nullptr;
    /// How it is shown on screen.
    WindowPresentation presentation;
    /// Its icon (null: none).
    const Resource* icon = nullptr;
};

/// One error box the program showed: its owner window, text, caption and MB_ flags.
struct MessageBoxRecord {
    /// The box's owner, text and caption, and MB_ flags.
    /// @{
    Window* owner = nullptr;
    std::string text, caption;
    std::uint32_t type = 0;
    /// @}
};

/// The headless backend: clock, display, windows and presentation in memory, every operation open to a fault switch.
class HeadlessBackend final : public Clock, public DisplayHost, public WindowHost, public PresentTarget, public FaultHook {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;

    // Test controls.
    /// Back to a fresh machine: 1024x768 desktop in 32 bits, clock at 0, no faults, no windows,
    /// no clipper on the desktop, no recorded message boxes, the input devices' controls reset.
    void Reset();
    /// The desktop's size and depth (8, 15, 16, 24 or 32); its pixels become 0.
    void SetDesktop(std::int32_t width, std::int32_t height, int depth);
    /// The desktop's pixels: where presented frames land.
    DisplaySurface& DesktopSurface() { return *primary_; }
    /// The outer-frame sizes windows get.
    void SetFrameMetrics(const FrameMetrics& metrics) { frame_ = metrics; }
    /// Sets the virtual clock, or moves it on.
    /// @{
    void SetTime(std::uint32_t ms) { now_ = ms; }
    void Advance(std::uint32_t ms) { now_ += ms; }
    /// @}
    /// The display's and windows' switches of the fault switchboard (Faults()), by operation or by
    /// the operation's name without its group ("CreateClipper").
    void SetFault(FaultPoint point, HRESULT result = E_FAIL);
    /// The same by the operation's name; false for an unknown name.
    bool SetFault(const std::string& name, HRESULT result = E_FAIL);
    /// Switches every display and window fault off.
    void ClearFaults();
    /// The error boxes shown since the last Reset.
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
    /// Runs whenever the program looks for OS events (waiting: it would sleep until one comes):
    /// a test posts what "arrives" then.
    void SetEventHook(std::function<void(bool waiting)> hook) { eventHook_ = std::move(hook); }
    /// Vertical-blank waits since the last Reset.
    int VerticalBlankWaits() const { return vblankWaits_; }
    /// The last kDebugLogCapacity messages of the debugger output since the last Reset or drain,
    /// oldest first, one entry per message; echoed to standard error unless the echo is switched
    /// off. Older messages are dropped (and counted) so that a process that never resets keeps a
    /// bounded log.
    static constexpr std::size_t kDebugLogCapacity = 256;
    /// The kept messages, oldest first.
    const std::deque<std::string>& DebugMessages() const { return debugMessages_; }
    /// Hands over the kept messages, oldest first, and empties the log.
    std::vector<std::string> DrainDebugMessages();
    /// Messages dropped from the front of the log since the last Reset or drain.
    std::uint64_t DroppedDebugMessages() const { return droppedDebugMessages_; }
    /// Whether debugger messages are echoed on standard error.
    void SetDebugEcho(bool echo) { debugEcho_ = echo; }
    /// A display change: every live surface (the desktop's too) loses its memory at once (its
    /// pixels become 0) and reports DDERR_SURFACELOST until it is restored. Returns how many.
    int LoseAllSurfaces();
    /// Adds one message to the debugger log.
    void RecordDebugMessage(const char* text);
    /// Copies and fills that reached the desktop since the last Reset.
    int Presentations() const { return presentations_; }
    /// The presentation and icon the window has on this backend's screen; null for no window.
    const ShownWindow* Shown(const Window* window) const;
    /// The user gave a scaled (fullscreen or resizable) window another size on screen: it gets
    /// WM_SIZE, as on a real desktop. False, and nothing posted, for any other window.
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
