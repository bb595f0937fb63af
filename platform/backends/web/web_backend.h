#pragma once
// The web backend: the game in a browser page, on Emscripten's own browser interfaces. The
// page's canvas is the one window's client area: copies onto the primary surface land, in the
// canvas's byte order, in an image of it, which is put on the canvas once a frame. Keys, focus and
// the tab's visibility become window messages and input state, the clock is the page's
// performance.now(), and sound goes to the page's AudioWorklet output (web_audio.h). The
// clipboard, typed text, dropped files and the pointer's look and lock are web_shell.h's.
//
// The game's own loop runs unchanged: where the desktop sleeps or waits for the vertical blank,
// this backend yields to the browser (Asyncify unwinds the stack into the page's event loop and
// rewinds it when the wait is over), so the page keeps drawing, taking events and playing sound.
// The vertical-blank wait ends at the browser's next animation frame, or after a short timeout
// when the tab is hidden and animation frames stop.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/backends/web/page_activity.h"
#include "platform/core/clock.h"
#include "platform/video/desktop.h"
#include "platform/video/display_host.h"
#include "platform/video/display_surface.h"
#include "platform/window/window_host.h"

namespace platform::web {

class WebBackend final : public Clock, public DisplayHost, public WindowHost, public PresentTarget {
public:
    WebBackend();
    ~WebBackend() override;
    WebBackend(const WebBackend&) = delete;
    WebBackend& operator=(const WebBackend&) = delete;

    // Clock.
    std::uint32_t Now() override;
    void Sleep(std::uint32_t ms) override;

    // DisplayHost.
    HRESULT Open() override { return DD_OK; }
    DesktopMode Desktop() override { return mode_; }
    void WaitForVerticalBlank() override;
    std::shared_ptr<DisplaySurface> PrimarySurface() override;

    // WindowHost: the first window shown takes the canvas; the page has no frame around it.
    FrameMetrics Frame() override { return {}; }
    bool CreateNativeWindow(Window& window) override;
    void DestroyNativeWindow(Window& window) override;
    void UpdateNativeWindow(Window& window) override;
    void PumpEvents(bool wait) override;
    int ShowMessageBox(Window* owner, const char* text, const char* caption, std::uint32_t type) override;

    // PresentTarget: the canvas-sized image of the window that owns the canvas, kept in the
    // canvas's byte order: copies and fills are converted as they land (canvas_pixels.h).
    PixelView TargetFor(Window* window, Point* origin) override;
    void Show(Window* window, const Rect& written) override;
    void WriteCopy(const PixelView& view, const PixelView& source, const CopyRequest& request) override;
    void WriteFill(const PixelView& view, const Rect& rect, std::uint32_t value) override;

    // Called from the page's event handlers, between the game's turns. The game is active while
    // the page has the focus and its tab shows.
    void SetPageFocus(bool focused);
    void SetPageVisible(bool visible);
    // The window shown on the canvas, which takes what the page gives (typed text, dropped
    // files); null before the first window.
    Window* CanvasOwner() const { return canvasOwner_; }

private:
    // The page's activity changed: a game waiting for a message hears of it at once.
    void ActivityChanged();
    // Turns the page's focus changes into activation messages for the canvas's window.
    void PostActivation();
    // Yields to the page until its next animation frame (or the timeout), feeding the sound
    // output first.
    void YieldForFrame(std::uint32_t timeoutMs);

    DesktopMode mode_;
    double start_ = 0;
    std::shared_ptr<DisplaySurface> primary_;
    platform::Desktop desktop_{*this};
    Window* canvasOwner_ = nullptr;
    // The client area's image in the canvas's byte order, where copies land and which the page
    // puts on the canvas.
    PixelView CanvasView();
    std::int32_t imageWidth_ = 0, imageHeight_ = 0;
    std::vector<std::uint8_t> canvasImage_;
    PageActivity activity_;
};

// The backend's window on the canvas (WebBackend::CanvasOwner).
Window* CanvasWindow();

}  // namespace platform::web
