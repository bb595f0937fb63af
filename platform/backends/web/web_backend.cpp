#include "platform/backends/web/web_backend.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdio>

#include "platform/backends/web/canvas_pixels.h"
#include "platform/backends/web/web_audio.h"
#include "platform/backends/web/web_gamepads.h"
#include "platform/backends/web/web_touches.h"
#include "platform/backends/web/web_input.h"
#include "platform/backends/web/web_shell.h"
#include "platform/core/backend.h"
#include "platform/core/system.h"
#include "platform/window/window.h"

// The page's side. Module is the program's instance; the page (web/page.js) gives it the canvas
// and, optionally, frameStats (counters the page reads).

// Puts the part (x, y, w, h) of a canvas-ordered image of width x height pixels on the canvas,
// resizing the canvas to the image first when they differ.
EM_JS(void, bz_present, (const std::uint8_t* pixels, int width, int height, int x, int y, int w, int h), {
    const canvas = Module.canvas;
    if (!canvas) return;
    if (canvas.width != width || canvas.height != height) {
        canvas.width = width;
        canvas.height = height;
        Module.context2d = null;
    }
    const context = Module.context2d || (Module.context2d = canvas.getContext('2d', {alpha : false}));
    const image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4), width, height);
    context.putImageData(image, 0, 0, x, y, w, h);
    const stats = Module.frameStats;
    if (stats) {
        if (!stats.presented) stats.firstFrameMs = performance.now();
        stats.presented++;
    }
});

// Gives the page the thread until timeoutMs have passed, or sooner: at its next animation frame
// (kind 1), or when a page event arrives (kind 2, bz_wake); kind 0 is a plain sleep. The page's
// frameStats count the time the program kept the thread between waits, in all and for each of
// the last frames (a frame's work ends at its wait for the next one).
EM_ASYNC_JS(void, bz_wait, (int kind, int timeoutMs), {
    const stats = Module.frameStats;
    if (stats && stats.resumedAt !== undefined) {
        const busy = performance.now() - stats.resumedAt;
        stats.busyMs += busy;
        if (kind == 1 && stats.frameBusyMs) {
            stats.frameBusyMs.push(busy);
            if (stats.frameBusyMs.length > 600) stats.frameBusyMs.shift();
        }
    }
    await new Promise((resolve) => {
        let done = false;
        let timer = 0;
        // Whichever ends the wait first cancels the timeout, so no idle timer runs a task later
        // (one a frame while the game runs).
        const finish = () => {
            if (done) return;
            done = true;
            clearTimeout(timer);
            Module.wakeWaiter = null;
            resolve();
        };
        if (kind == 1) requestAnimationFrame(finish);
        if (kind == 2) Module.wakeWaiter = finish;
        timer = setTimeout(finish, timeoutMs);
    });
    if (stats) stats.resumedAt = performance.now();
});

EM_JS(void, bz_wake, (), {
    if (Module.wakeWaiter) Module.wakeWaiter();
});

EM_JS(void, bz_set_title, (const char* title), { document.title = UTF8ToString(title); });

// The page's state when the program starts: bit 0 it has the focus, bit 1 its tab shows. A page
// opened in a background tab gets no change event until it is shown.
EM_JS(int, bz_page_state, (), {
    return (document.hasFocus() ? 1 : 0) | (document.visibilityState === 'hidden' ? 0 : 2);
});

// A file the program wrote into the page's file system, handed to the user as a download.
EM_JS(void, bz_offer_file, (const char* path), {
    const name = UTF8ToString(path);
    const url = URL.createObjectURL(new Blob([FS.readFile(name)]));
    const link = document.createElement('a');
    link.href = url;
    link.download = name.split('/').pop();
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
});

namespace platform {

namespace {

web::WebBackend& Instance() {
    static web::WebBackend backend;
    return backend;
}

// Built only into programs made for a browser, where it is the one real backend.
bool Probe() { return true; }

Clock& TheClock() { return Instance(); }
DisplayHost& TheDisplay() { return Instance(); }
WindowHost& TheWindows() { return Instance(); }
InputHost& TheInput() { return web::Input(); }
GamepadHost& TheGamepads() { return web::Gamepads(); }
TouchHost& TheTouches() { return web::Touches(); }
AudioHost& TheAudio() { return web::Audio(); }
ShellHost& TheShell() { return web::Shell(); }

// What ends a yield to the page besides its timeout (bz_wait).
enum WaitFor { kTimeOnly = 0, kAnimationFrame = 1, kPageEvent = 2 };

// How long one wait for an event lasts at most; the caller loops, feeding the sound each turn.
constexpr int kEventWaitMs = 50;
// A hidden tab gets no animation frames: the vertical-blank wait then ends after this long.
constexpr int kFrameWaitMs = 100;

EM_BOOL OnFocusChange(int eventType, const EmscriptenFocusEvent*, void*) {
    Instance().SetPageFocus(eventType == EMSCRIPTEN_EVENT_FOCUS);
    return false;
}

EM_BOOL OnVisibilityChange(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    Instance().SetPageVisible(!event->hidden);
    return false;
}

}  // namespace

namespace web {
extern const Backend kBackend;
const Backend kBackend{"web", "a browser page: canvas, keyboard, mouse, touch, gamepads, clipboard, drops and Web Audio",
                       &Probe, &TheClock, &TheDisplay, &TheWindows, &TheInput, &TheAudio, &TheShell, &TheGamepads,
                       &TheTouches};

// The browser sends no key releases to a page that lost focus: held keys are let go, as the
// desktop's keyboard state is when its window loses focus.
WebBackend::WebBackend() : start_(emscripten_get_now()), activity_([] { Input().ReleaseAll(); }) {
    // The desktop is the screen the page is on, at least as large as the game's window.
    int width = 0, height = 0;
    emscripten_get_screen_size(&width, &height);
    mode_ = {std::max(width, 640), std::max(height, 480), FormatForDepth(32), 60};
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, false, &OnFocusChange);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, false, &OnFocusChange);
    emscripten_set_visibilitychange_callback(nullptr, false, &OnVisibilityChange);
    const int page = bz_page_state();
    activity_.Start((page & 1) != 0, (page & 2) != 0);
    SetFileWrittenHook([](const char* path) { bz_offer_file(path); });
}

WebBackend::~WebBackend() {
    if (primary_) primary_->SetDesktop(nullptr);
}

std::uint32_t WebBackend::Now() { return static_cast<std::uint32_t>(static_cast<std::int64_t>(emscripten_get_now() - start_)); }

void WebBackend::Sleep(std::uint32_t ms) {
    Audio().Feed();
    bz_wait(kTimeOnly, static_cast<int>(std::min<std::uint32_t>(ms, 1u << 30)));
}

void WebBackend::WaitForVerticalBlank() { YieldForFrame(kFrameWaitMs); }

void WebBackend::YieldForFrame(std::uint32_t timeoutMs) {
    Audio().Feed();
    bz_wait(kAnimationFrame, static_cast<int>(timeoutMs));
}

std::shared_ptr<DisplaySurface> WebBackend::PrimarySurface() {
    if (!primary_) {
        primary_ = std::make_shared<DisplaySurface>(mode_.width, mode_.height, mode_.format, DDSCAPS_PRIMARYSURFACE);
        primary_->SetDesktop(&desktop_);
    }
    return primary_;
}

bool WebBackend::CreateNativeWindow(Window& window) {
    window.native = this;
    if (!canvasOwner_) {
        canvasOwner_ = &window;
        bz_set_title(window.title.c_str());
    }
    return true;
}

Window* CanvasWindow() { return Instance().CanvasOwner(); }

void WebBackend::DestroyNativeWindow(Window& window) {
    window.native = nullptr;
    Shell().Forget(&window);
    if (canvasOwner_ == &window) canvasOwner_ = nullptr;
}

void WebBackend::UpdateNativeWindow(Window& window) {
    if (canvasOwner_ == &window) bz_set_title(window.title.c_str());
}

void WebBackend::SetPageFocus(bool focused) {
    if (activity_.SetFocus(focused)) ActivityChanged();
}

void WebBackend::SetPageVisible(bool visible) {
    if (activity_.SetVisible(visible)) ActivityChanged();
}

void WebBackend::ActivityChanged() { bz_wake(); }

void WebBackend::PostActivation() {
    bool active = false;
    if (canvasOwner_ && activity_.TakeUnposted(active)) PostMessage(canvasOwner_, WM_ACTIVATEAPP, active ? 1 : 0, 0);
}

void WebBackend::PumpEvents(bool wait) {
    PostActivation();
    Audio().Feed();
    if (!wait) return;
    // The caller loops until a message comes: one wait, ended early by any page event.
    bz_wait(kPageEvent, kEventWaitMs);
    PostActivation();
}

// The page shows what the program writes on standard error (and the console keeps it): the
// message box is that line. It does not wait for the player; the quit request that follows it
// ends the game, and the page says so.
int WebBackend::ShowMessageBox(Window*, const char* text, const char* caption, std::uint32_t) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return 1;
}

PixelView WebBackend::TargetFor(Window* window, Point* origin) {
    Rect client;
    if (!window || window != canvasOwner_ || !GetClientRect(window, &client) || client.IsEmpty()) return {};
    if (client.Width() != imageWidth_ || client.Height() != imageHeight_) {
        imageWidth_ = client.Width();
        imageHeight_ = client.Height();
        // A new image starts black, as the client area of a window nothing was copied to.
        const auto pixels = static_cast<std::size_t>(imageWidth_) * static_cast<std::size_t>(imageHeight_);
        canvasImage_.assign(pixels * 4, 0);
        FillCanvas(CanvasView(), Rect{0, 0, imageWidth_, imageHeight_}, 0);
    }
    *origin = ClientOrigin(*window);
    return CanvasView();
}

PixelView WebBackend::CanvasView() {
    return {canvasImage_.data(), std::ptrdiff_t{imageWidth_} * 4, imageWidth_, imageHeight_, 4, mode_.format};
}

void WebBackend::WriteCopy(const PixelView& view, const PixelView& source, const CopyRequest& request) {
    CopyIntoCanvas(view, source, request);
}

void WebBackend::WriteFill(const PixelView& view, const Rect& rect, std::uint32_t value) { FillCanvas(view, rect, value); }

void WebBackend::Show(Window* window, const Rect& written) {
    if (!window || window != canvasOwner_ || canvasImage_.empty()) return;
    const Point origin = ClientOrigin(*window);
    const Rect local = Intersect(Offset(written, -origin.x, -origin.y), Rect{0, 0, imageWidth_, imageHeight_});
    if (local.IsEmpty()) return;
    bz_present(canvasImage_.data(), imageWidth_, imageHeight_, local.left, local.top, local.Width(), local.Height());
}

}  // namespace web
}  // namespace platform
