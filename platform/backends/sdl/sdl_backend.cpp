#include "platform/backends/sdl/sdl_backend.h"

// Before SDL_syswm.h: Xlib defines macros (None, ...) that the input names use.
#include "platform/backends/sdl/sdl_audio.h"
#include "platform/backends/sdl/sdl_gamepads.h"
#include "platform/backends/sdl/sdl_input.h"
#include "platform/backends/sdl/sdl_shell.h"
#include "platform/backends/sdl/sdl_touches.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>

#include <time.h>

#include "platform/core/backend.h"
#include "platform/core/quit_signals.h"
#include "platform/core/resources.h"
#include "platform/pixels/color_convert.h"
#include "platform/pixels/surface_copy.h"
#include "platform/window/window.h"

namespace platform {

namespace {

sdl::SdlBackend& Instance() {
    static sdl::SdlBackend backend;
    return backend;
}

// SDL is built in, so the backend can start; whether a display can be opened is found out, and
// explained, when the program first asks for one.
bool Probe() { return true; }

Clock& TheClock() { return Instance(); }
DisplayHost& TheDisplay() { return Instance(); }
WindowHost& TheWindows() { return Instance(); }
InputHost& TheInput() { return sdl::Input(); }
AudioHost& TheAudio() { return sdl::Audio(); }
ShellHost& TheShell() { return sdl::Shell(); }
GamepadHost& TheGamepads() { return sdl::Gamepads(); }
TouchHost& TheTouches() { return sdl::Touches(); }

}  // namespace

namespace sdl {
extern const Backend kBackend;
const Backend kBackend{"sdl", "SDL2: a real window, sound output, keyboard, mouse and joystick", &Probe,
                       &TheClock, &TheDisplay, &TheWindows, &TheInput, &TheAudio, &TheShell, &TheGamepads, &TheTouches};

void SdlDeleter::operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
void SdlDeleter::operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
void SdlDeleter::operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
void SdlDeleter::operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }

namespace {

// How long one wait for an OS event lasts before it is started again; the wait sleeps, so the
// slice only bounds how late a pending signal is noticed.
constexpr int kWaitSliceMs = 100;
// How long a window being hidden or destroyed may take to be unmapped before SDL is left to finish.
constexpr int kWithdrawWaitMs = 1000;
constexpr std::int64_t kNanosPerSecond = 1'000'000'000;

// What the program sees when there is no display: a plain desktop, so that sizing and text
// code keep working while window and display-device creation report the failure.
DesktopMode NoDisplayDesktop() { return {640, 480, FormatForDepth(32), 60}; }

bool EnvEquals(const char* name, std::string_view value) {
    const char* set = std::getenv(name);
    return set && value == set;
}

bool SameLetters(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// True when SDL_VIDEODRIVER (one name or a comma-separated list) asks for this driver.
bool DriverRequested(std::string_view driver) {
    const char* set = std::getenv("SDL_VIDEODRIVER");
    std::string_view list = set ? set : "";
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        if (SameLetters(list.substr(0, comma), driver)) return true;
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
    }
    return false;
}

// SDL's drivers that draw nowhere a person can see: taking one by accident would run the game
// invisibly instead of reporting that there is no display.
bool DrawsNowhere(std::string_view driver) { return SameLetters(driver, "offscreen") || SameLetters(driver, "dummy"); }

// The depth the whole program runs in: 32 bits unless MEDIA_DESKTOP_DEPTH picks 15, 16 or 24. A
// desktop is never palettized, so any other value is refused aloud rather than ignored.
int DesktopDepth() {
    const char* set = std::getenv("MEDIA_DESKTOP_DEPTH");
    if (!set || !*set) return 32;
    for (const int depth : {15, 16, 24, 32}) {
        if (std::to_string(depth) == set) return depth;
    }
    std::fprintf(stderr, "MEDIA_DESKTOP_DEPTH=%s is not used: the desktop runs in 15, 16, 24 or 32 bits; running in 32\n", set);
    return 32;
}

// The texture format whose memory layout equals a desktop's pixels. 24-bit pixels are stored low
// byte first (blue, green, red), which is SDL's BGR24.
std::uint32_t TextureFormatFor(const PixelFormatDesc& format) {
    if (format == FormatForDepth(32)) return SDL_PIXELFORMAT_XRGB8888;
    if (format == FormatForDepth(24)) return SDL_PIXELFORMAT_BGR24;
    if (format == FormatForDepth(16)) return SDL_PIXELFORMAT_RGB565;
    if (format == FormatForDepth(15)) return SDL_PIXELFORMAT_RGB555;
    return SDL_MasksToPixelFormatEnum(static_cast<int>(format.bitCount), format.redMask, format.greenMask, format.blueMask, 0);
}

// When the connection to the X server breaks, Xlib calls the process's I/O error handler, whose
// default exits with code 1, and then the display's exit handler, whose default exits too. Both
// are replaced: they mark the display lost and return, Xlib's calls on the dead connection then
// fail quietly, and the next event pump turns the loss into a close request.
sdl::SdlBackend* displayWatcher = nullptr;

int OnConnectionBroken(Display*) {
    if (displayWatcher) displayWatcher->DisplayLost();
    return 0;
}

void OnDisplayExit(Display*, void* backend) { static_cast<sdl::SdlBackend*>(backend)->DisplayLost(); }

// Another client (a session tool, xdotool windowclose) may destroy one of the backend's X windows.
// Every later request on it then fails with BadWindow or BadDrawable, and the error handler that
// was there before (SDL's, then Xlib's default) ends the process with code 1. Those errors are
// taken as the news that the window was destroyed, and the errors that follow from it are
// expected (SdlBackend::ExpectedXError); any other goes to the previous handler.
XErrorHandler previousErrorHandler = nullptr;

int OnXError(Display* display, XErrorEvent* error) {
    if (displayWatcher && displayWatcher->ExpectedXError(error->error_code, error->resourceid)) return 0;
    return previousErrorHandler ? previousErrorHandler(display, error) : 0;
}

// The X window under an SDL window; 0 when it is not on X11.
unsigned long XWindowOf(SDL_Window* handle) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(handle, &info) && info.subsystem == SDL_SYSWM_X11 ? info.info.x11.window : 0;
}

InputEventObserver inputEventObserver = nullptr;

// Tells a user without a display what was tried and what they can do about it.
void ExplainNoDisplay(const char* sdlError) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::fprintf(stderr, "no display: no X display (or Wayland) was found: DISPLAY is not set\n");
    } else {
        std::fprintf(stderr, "no display: the X display DISPLAY=%s cannot be opened\n", display);
    }
    if (sdlError && *sdlError) std::fprintf(stderr, "no display: SDL says: %s\n", sdlError);
    std::fprintf(stderr, "no display: start the program inside a desktop session, or set SDL_VIDEODRIVER to pick another "
                         "video driver (e.g. wayland, x11; dummy runs without showing anything)\n");
}

}  // namespace

void SetInputEventObserver(InputEventObserver observer) { inputEventObserver = observer; }

void LeaveQuitSignalsToTheProgram() {
    if (QuitSignalsCaught()) SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

FrameStats::FrameStats() : enabled_(EnvEquals("MEDIA_FRAME_STATS", "1")) {}

namespace {

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

void FrameStats::Presented() {
    if (!enabled_) return;
    last_ = std::chrono::steady_clock::now();
    lastCpuSeconds_ = ProcessCpuSeconds();
    if (frames_++ == 0) {
        first_ = last_;
        firstCpuSeconds_ = lastCpuSeconds_;
        timespec wall{};
        clock_gettime(CLOCK_REALTIME, &wall);
        std::fprintf(stderr, "frame stats: first frame presented at %lld.%06ld\n", static_cast<long long>(wall.tv_sec),
                     wall.tv_nsec / 1000);
    }
}

FrameStats::~FrameStats() {
    if (!enabled_ || frames_ < 2) return;
    const double seconds = std::chrono::duration<double>(last_ - first_).count();
    const double cpu = lastCpuSeconds_ - firstCpuSeconds_;
    std::fprintf(stderr, "frame stats: %llu frames presented in %.3f s: %.2f per second, %.3f ms CPU per frame\n",
                 static_cast<unsigned long long>(frames_), seconds, static_cast<double>(frames_ - 1) / seconds,
                 cpu * 1000.0 / static_cast<double>(frames_ - 1));
}

SdlBackend::SdlBackend() : mode_(NoDisplayDesktop()), start_(std::chrono::steady_clock::now()) {}

SdlBackend::~SdlBackend() {
    if (displayWatcher == this) displayWatcher = nullptr;
    // A surface still held elsewhere must not present through a backend that is gone.
    if (primary_) primary_->SetDesktop(nullptr);
    for (NativeWindow& native : windows_) Withdraw(native.handle.get());
    if (displayLost_) {
        // Destroying anything would talk to the dead server; the process is ending anyway.
        for (NativeWindow& native : windows_) static_cast<void>(native.handle.release());
        static_cast<void>(texture_.release());
        static_cast<void>(renderer_.release());
        return;
    }
    DestroyRenderer();
    windows_.clear();
    if (video_ == VideoState::Available) SDL_Quit();
}

bool SdlBackend::EnsureVideo() {
    if (video_ == VideoState::NotTried) video_ = StartVideo() ? VideoState::Available : VideoState::Unavailable;
    return video_ == VideoState::Available;
}

bool SdlBackend::StartVideo() {
    // Closing the last window is the window procedure's business (WM_CLOSE), not a second quit
    // request; SIGINT and SIGTERM still arrive as SDL_QUIT.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The software renderer's window surface stays plain X11 memory: with framebuffer
    // acceleration SDL draws it through GL, and Mesa's GLX crashes when the X server goes away
    // while that GL set-up is still running.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    LeaveQuitSignalsToTheProgram();
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        ExplainNoDisplay(SDL_GetError());
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (DrawsNowhere(driver) && !DriverRequested(driver))) {
        // SDL fell back to a driver that shows nothing: no X or Wayland display could be opened.
        ExplainNoDisplay(nullptr);
        SDL_Quit();
        return false;
    }
    // Text input is a mode a program asks for (it may bring up an input method); files dropped on
    // a window are always news.
    SDL_StopTextInput();
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    // Stretched copies keep hard pixel edges, as the game's art expects.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    ReadDesktop();
    return true;
}

void SdlBackend::ReadDesktop() {
    mode_.format = FormatForDepth(DesktopDepth());
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return;
    mode_.width = mode.w;
    mode_.height = mode.h;
    // Servers that do not know their rate (Xvfb) report 0.
    mode_.refreshHz = mode.refresh_rate > 0 ? mode.refresh_rate : 60;
}

HRESULT SdlBackend::Open() { return EnsureVideo() && !displayLost_ ? DD_OK : DDERR_NODIRECTDRAWHW; }

std::uint32_t SdlBackend::Now() {
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SdlBackend::Sleep(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

DesktopMode SdlBackend::Desktop() {
    EnsureVideo();
    return mode_;
}

void SdlBackend::WaitForVerticalBlank() {
    // The display refreshes at whole multiples of its period counted from start_. A frame ready
    // early sleeps until its refresh; a late one goes on at once (FramePacer).
    const std::int32_t rate = std::max(1, Desktop().refreshHz);
    if (!pacer_ || pacer_->Hz() != rate) pacer_.emplace(kNanosPerSecond, rate);
    const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start_).count();
    const std::int64_t at = pacer_->Present(elapsed);
    if (at > elapsed) std::this_thread::sleep_until(start_ + std::chrono::nanoseconds(at));
}

std::shared_ptr<DisplaySurface> SdlBackend::PrimarySurface() {
    if (!EnsureVideo()) return nullptr;
    if (!primary_) {
        primary_ = std::make_shared<DisplaySurface>(mode_.width, mode_.height, mode_.format, DDSCAPS_PRIMARYSURFACE);
        primary_->SetDesktop(&desktop_);
    }
    return primary_;
}

SdlBackend::NativeWindow* SdlBackend::FindNative(const Window& window) {
    auto it = std::ranges::find(windows_, &window, &NativeWindow::window);
    return it == windows_.end() ? nullptr : &*it;
}

SdlBackend::NativeWindow* SdlBackend::FindNative(std::uint32_t sdlWindowId) {
    auto it = std::ranges::find(windows_, sdlWindowId, &NativeWindow::id);
    return it == windows_.end() ? nullptr : &*it;
}

bool SdlBackend::CreateNativeWindow(Window& window) {
    if (!EnsureVideo() || displayLost_) return false;
    // The window manager draws the frame, so the SDL window is exactly the client area.
    const Rect& r = window.outer;
    SdlPtr<SDL_Window> handle(SDL_CreateWindow(window.title.c_str(), r.left, r.top, std::max(1, r.Width()),
                                               std::max(1, r.Height()), SDL_WINDOW_HIDDEN));
    if (!handle) {
        std::fprintf(stderr, "SDL_CreateWindow: %s\n", SDL_GetError());
        return false;
    }
    const std::uint32_t id = SDL_GetWindowID(handle.get());
    window.native = handle.get();
    windows_.push_back({&window, std::move(handle), id, window.title, r, false, window.icon, {}});
    WatchDisplayLoss(windows_.back().handle.get());
    if (!rendererOwner_) StartPresenting(windows_.back());
    // After the renderer: making one may rebuild the OS window underneath.
    windows_.back().xid = XWindowOf(windows_.back().handle.get());
    SetIcon(static_cast<SDL_Window*>(window.native), window);
    ApplyPresentation(windows_.back());
    return true;
}

// The first window is the one frames are presented in.
void SdlBackend::StartPresenting(NativeWindow& native) {
    rendererOwner_ = native.window;
    ChoosePresentPath(native);
}

// A window shown at its drawing area's size, whose surface has the desktop's pixel layout, takes
// the frame straight into its window surface: one copy a frame, then SDL puts the surface on
// screen. A scaled window, or one whose surface is laid out otherwise, goes through the software
// renderer, which scales and converts (a second copy). A window has a surface or a renderer,
// never both in use at once.
void SdlBackend::ChoosePresentPath(NativeWindow& native) {
    const WindowPresentation& shown = native.window->presentation;
    const bool scaled = shown.fullscreen || shown.resizable;
    if (!scaled && !EnvEquals("MEDIA_PRESENT_WITH_RENDERER", "1")) {
        if (renderer_) DropRenderer();
        if (SDL_Surface* surface = SDL_GetWindowSurface(native.handle.get()); surface && surface->format->format == TextureFormatFor(mode_.format)) {
            windowSurface_ = true;
            return;
        }
    }
    windowSurface_ = false;
    if (!renderer_) CreateRenderer(native);
}

void SdlBackend::CreateRenderer(NativeWindow& native) {
    // Frames arrive already scaled to the client area, so the renderer only puts an image on
    // screen: SDL's software renderer does that without a GL driver, whose threads would crash
    // if the X server went away under them.
    SDL_Renderer* renderer = SDL_CreateRenderer(native.handle.get(), -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) renderer = SDL_CreateRenderer(native.handle.get(), -1, SDL_RENDERER_ACCELERATED);
    if (!renderer) {
        // The window still works as a window; copies onto the desktop just show nothing.
        std::fprintf(stderr, "SDL_CreateRenderer: %s\n", SDL_GetError());
        return;
    }
    renderer_.reset(renderer);
}

void SdlBackend::DropRenderer() {
    DropTexture();
    renderer_.reset();
}

void SdlBackend::DestroyRenderer() {
    DropRenderer();
    rendererOwner_ = nullptr;
    windowSurface_ = false;
    surfaceShown_ = nullptr;
}

void SdlBackend::SetIcon(SDL_Window* handle, const Window& window) {
    const Resource* icon = window.icon;
    if (!icon || icon->width <= 0 || icon->height <= 0 ||
        icon->pixels.size() < static_cast<std::size_t>(icon->width) * static_cast<std::size_t>(icon->height))
        return;
    // SDL copies the picture, so the surface may borrow the resource's pixels for the call.
    SdlPtr<SDL_Surface> surface(SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(icon->pixels.data()), icon->width,
                                                                   icon->height, 32, icon->width * 4, SDL_PIXELFORMAT_ARGB8888));
    if (surface) SDL_SetWindowIcon(handle, surface.get());
}

void SdlBackend::DestroyNativeWindow(Window& window) {
    Shell().Forget(&window);
    Touches().Forget(&window);
    auto it = std::ranges::find(windows_, &window, &NativeWindow::window);
    if (it == windows_.end()) return;
    Withdraw(it->handle.get());
    if (displayLost_) {
        static_cast<void>(it->handle.release());
        if (rendererOwner_ == &window) {
            static_cast<void>(texture_.release());
            static_cast<void>(renderer_.release());
            rendererOwner_ = nullptr;
            windowSurface_ = false;
        }
        windows_.erase(it);
        window.native = nullptr;
        return;
    }
    if (it->destroyedElsewhere) {
        ReleaseDestroyedElsewhere(it);
    } else {
        if (rendererOwner_ == &window) DestroyRenderer();
        windows_.erase(it);
    }
    window.native = nullptr;
}

// SDL's clean-up of a window another client destroyed fails on the server; the errors are
// collected (XSync) while they are known to be expected.
void SdlBackend::ReleaseDestroyedElsewhere(std::vector<NativeWindow>::iterator native) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    Display* display = SDL_GetWindowWMInfo(native->handle.get(), &info) && info.subsystem == SDL_SYSWM_X11 ? info.info.x11.display : nullptr;
    releasingDestroyed_ = true;
    if (rendererOwner_ == native->window) DestroyRenderer();
    windows_.erase(native);
    if (display) XSync(display, False);
    releasingDestroyed_ = false;
}

void SdlBackend::UpdateNativeWindow(Window& window) {
    NativeWindow* native = FindNative(window);
    if (!native || displayLost_) return;
    SDL_Window* handle = native->handle.get();
    if (window.title != native->title) SDL_SetWindowTitle(handle, window.title.c_str());
    const Rect& r = window.outer;
    if (r.Width() != native->placed.Width() || r.Height() != native->placed.Height())
        SDL_SetWindowSize(handle, std::max(1, r.Width()), std::max(1, r.Height()));
    if (r.left != native->placed.left || r.top != native->placed.top) SDL_SetWindowPosition(handle, r.left, r.top);
    if (window.visible != native->shown) {
        if (window.visible) {
            SDL_ShowWindow(handle);
        } else {
            Withdraw(handle);
            SDL_HideWindow(handle);
        }
    }
    native->title = window.title;
    native->placed = r;
    native->shown = window.visible;
    if (window.icon != native->icon) {
        SetIcon(handle, window);
        native->icon = window.icon;
    }
    ApplyPresentation(*native);
}

// A fullscreen or resizable window: SDL covers the display or lets the user resize, and the
// renderer scales the client-sized texture to the window, keeping its shape, with black bars
// where the shapes differ (its logical size). A plain window keeps the one-to-one copy.
void SdlBackend::ApplyPresentation(NativeWindow& native) {
    const WindowPresentation& wanted = native.window->presentation;
    const bool wasScaled = native.presentation.fullscreen || native.presentation.resizable;
    SDL_Window* handle = native.handle.get();
    if (wanted.resizable != native.presentation.resizable) SDL_SetWindowResizable(handle, wanted.resizable ? SDL_TRUE : SDL_FALSE);
    if (wanted.fullscreen != native.presentation.fullscreen) SDL_SetWindowFullscreen(handle, wanted.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    native.presentation = wanted;
    if (rendererOwner_ != native.window) return;
    ChoosePresentPath(native);
    if (!renderer_) return;
    Rect client;
    if ((wanted.fullscreen || wanted.resizable) && GetClientRect(native.window, &client) && !client.IsEmpty()) {
        SDL_RenderSetLogicalSize(renderer_.get(), client.Width(), client.Height());
    } else if (wasScaled) {
        SDL_RenderSetLogicalSize(renderer_.get(), 0, 0);  // one to one again
    }
}

Point SdlBackend::ClientOrigin(const Window& window) {
    auto* handle = static_cast<SDL_Window*>(window.native);
    if (!handle || displayLost_) return WindowHost::ClientOrigin(window);
    // Where the window manager actually put the client area, which may differ from window.outer.
    int x = 0, y = 0;
    SDL_GetWindowPosition(handle, &x, &y);
    return {x, y};
}

void SdlBackend::PumpEvents(bool wait) {
    if (!EnsureVideo() || CheckDisplayLost()) {
        // Nothing can ever arrive; a short sleep keeps a waiting caller from spinning.
        if (wait) std::this_thread::sleep_for(std::chrono::milliseconds(kWaitSliceMs));
        return;
    }
    SDL_Event event;
    // One slice at most: the caller loops, and a display lost meanwhile is noticed next turn.
    if (wait && SDL_WaitEventTimeout(&event, kWaitSliceMs)) HandleEvent(event);
    while (!displayLost_ && SDL_PollEvent(&event)) HandleEvent(event);
    CheckDisplayLost();
    CloseWindowsDestroyedElsewhere();
}

bool SdlBackend::CheckDisplayLost() {
    if (!displayLost_) return false;
    if (!lossHandled_) {
        lossHandled_ = true;
        std::fprintf(stderr, "the display went away: closing\n");
        PostToEveryWindow(WM_CLOSE);
    }
    return true;
}

void SdlBackend::WatchDisplayLoss(SDL_Window* handle) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(handle, &info) || info.subsystem != SDL_SYSWM_X11) return;
    displayWatcher = this;
    XSetIOErrorHandler(&OnConnectionBroken);
    XSetIOErrorExitHandler(info.info.x11.display, &OnDisplayExit, this);
    if (const XErrorHandler previous = XSetErrorHandler(&OnXError); previous != &OnXError) previousErrorHandler = previous;
    // The X server's news that a window was destroyed comes only as a raw X event.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

bool SdlBackend::ExpectedXError(int code, unsigned long xid) {
    if (code == BadWindow || code == BadDrawable) MarkDestroyedElsewhere(xid);
    return releasingDestroyed_ || std::ranges::any_of(windows_, &NativeWindow::destroyedElsewhere);
}

void SdlBackend::MarkDestroyedElsewhere(unsigned long xid) {
    for (NativeWindow& native : windows_) {
        if (xid != 0 && native.xid == xid) native.destroyedElsewhere = true;
    }
}

void SdlBackend::CloseWindowsDestroyedElsewhere() {
    for (NativeWindow& native : windows_) {
        if (native.destroyedElsewhere && !native.closeAsked) {
            native.closeAsked = true;
            PostMessage(native.window, WM_CLOSE, 0, 0);
        }
    }
}

void SdlBackend::Withdraw(SDL_Window* handle) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (displayLost_ || !handle || !SDL_GetWindowWMInfo(handle, &info) || info.subsystem != SDL_SYSWM_X11) return;
    Display* display = info.info.x11.display;
    const ::Window xwindow = info.info.x11.window;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, xwindow, &attributes) || attributes.map_state == IsUnmapped) return;
    XWithdrawWindow(display, xwindow, XScreenNumberOfScreen(attributes.screen));
    XFlush(display);
    // Reading the connection is what notices a dead server (the handlers then mark the loss).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWithdrawWaitMs);
    XEvent event;
    while (!displayLost_ && !XCheckTypedWindowEvent(display, xwindow, UnmapNotify, &event) &&
           std::chrono::steady_clock::now() < deadline) {
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, kWaitSliceMs);
    }
}

void SdlBackend::HandleEvent(const SDL_Event& event) {
    if (inputEventObserver) inputEventObserver(event);
    if (event.type == SDL_QUIT) {
        PostToEveryWindow(WM_CLOSE);
    } else if (event.type == SDL_SYSWMEVENT) {
        const SDL_SysWMmsg* raw = event.syswm.msg;
        if (raw && raw->subsystem == SDL_SYSWM_X11 && raw->msg.x11.event.type == DestroyNotify) {
            // Windows this backend destroys are gone from windows_ by the time the notice comes.
            MarkDestroyedElsewhere(raw->msg.x11.event.xdestroywindow.window);
        }
    } else if (event.type == SDL_TEXTINPUT) {
        if (NativeWindow* native = FindNative(event.text.windowID)) Shell().Queue(native->window, ShellEventKind::Text, event.text.text);
    } else if (event.type == SDL_DROPFILE) {
        // SDL hands over the path's memory with the event.
        if (NativeWindow* native = FindNative(event.drop.windowID); native && event.drop.file)
            Shell().Queue(native->window, ShellEventKind::DroppedFile, event.drop.file);
        SDL_free(event.drop.file);
    } else if (event.type == SDL_FINGERDOWN || event.type == SDL_FINGERMOTION || event.type == SDL_FINGERUP) {
        QueueFinger(event.tfinger);
    } else if (event.type == SDL_RENDER_DEVICE_RESET) {
        // The renderer dropped its textures; the next copy makes a new one.
        DropTexture();
    } else if (event.type == SDL_WINDOWEVENT) {
        NativeWindow* native = FindNative(event.window.windowID);
        if (!native) return;
        switch (event.window.event) {
            case SDL_WINDOWEVENT_CLOSE: PostMessage(native->window, WM_CLOSE, 0, 0); break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: PostMessage(native->window, WM_ACTIVATEAPP, 1, 0); break;
            case SDL_WINDOWEVENT_FOCUS_LOST: PostMessage(native->window, WM_ACTIVATEAPP, 0, 0); break;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                // Only scaled windows change size on screen other than through SetWindowPos.
                if (native->presentation.fullscreen || native->presentation.resizable) {
                    const auto w = static_cast<std::uint32_t>(event.window.data1) & 0xFFFF, h = static_cast<std::uint32_t>(event.window.data2) & 0xFFFF;
                    PostMessage(native->window, WM_SIZE, 0, static_cast<LPARAM>(w | h << 16));
                }
                break;
            default: break;  // exposure needs nothing: every frame is presented whole
        }
    }
}

// A finger on a touch screen, for the window it touched: a touch device not bound to a window
// (windowID 0) touches the only one there is.
void SdlBackend::QueueFinger(const SDL_TouchFingerEvent& finger) {
    NativeWindow* native = FindNative(finger.windowID);
    if (!native && finger.windowID == 0 && windows_.size() == 1) native = &windows_.front();
    if (!native || !native->handle) return;
    int width = 0, height = 0;
    SDL_GetWindowSize(native->handle.get(), &width, &height);
    const TouchPhase phase = finger.type == SDL_FINGERDOWN ? TouchPhase::Down : finger.type == SDL_FINGERUP ? TouchPhase::Up : TouchPhase::Move;
    Touches().Queue(native->window, phase, static_cast<std::int64_t>(finger.fingerId), finger.x, finger.y, width, height);
}

void SdlBackend::PostToEveryWindow(std::uint32_t message) {
    for (const NativeWindow& native : windows_) PostMessage(native.window, message, 0, 0);
}

int SdlBackend::ShowMessageBox(Window* owner, const char* text, const char* caption, std::uint32_t) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    // Unattended runs (tests, scripts under a virtual display) must not block on a box no one
    // will click.
    if (EnvEquals("MEDIA_NO_MESSAGE_BOX", "1") || !EnsureVideo() || displayLost_) return 1;
    SDL_Window* parent = owner ? static_cast<SDL_Window*>(owner->native) : nullptr;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, parent);
    return 1;
}

PixelView SdlBackend::TargetFor(Window* window, Point* origin) {
    Rect client;
    if (displayLost_ || !window || window != rendererOwner_ || !GetClientRect(window, &client) || client.IsEmpty()) return {};
    if (windowSurface_) {
        const PixelView view = WindowSurfaceView(*window, client);
        if (view.base) *origin = ClientOrigin(*window);
        return view;
    }
    if (!renderer_) return {};
    if (!LockTexture(client.Width(), client.Height())) return {};
    *origin = ClientOrigin(*window);
    return lockedView_;
}

void SdlBackend::Show(Window* window, const Rect&) {
    if (displayLost_) return;
    if (windowSurface_) {
        NativeWindow* native = window ? FindNative(*window) : nullptr;
        if (!native || !surfaceShown_) return;
        SDL_UpdateWindowSurface(native->handle.get());
        stats_.Presented();
        return;
    }
    if (!renderer_ || !texture_ || !textureLocked_) return;
    SDL_UnlockTexture(texture_.get());
    textureLocked_ = false;
    SDL_Renderer* renderer = renderer_.get();
    SDL_RenderCopy(renderer, texture_.get(), nullptr, nullptr);
    SDL_RenderPresent(renderer);
    stats_.Presented();
}

// The window surface as the copies' target. SDL makes it anew when the window's size changes;
// a new one starts black, as the client area of a window nothing was copied to. A window the
// window manager made larger than its client area shows the frame in its top-left corner.
PixelView SdlBackend::WindowSurfaceView(Window& window, const Rect& client) {
    NativeWindow* native = FindNative(window);
    SDL_Surface* surface = native ? SDL_GetWindowSurface(native->handle.get()) : nullptr;
    if (!surface || surface->format->format != TextureFormatFor(mode_.format) || SDL_MUSTLOCK(surface)) {
        surfaceShown_ = nullptr;
        return {};
    }
    const PixelView view{static_cast<std::uint8_t*>(surface->pixels), surface->pitch, std::min(surface->w, client.Width()),
                         std::min(surface->h, client.Height()), BytesPerPixel(mode_.format), mode_.format};
    if (surface != surfaceShown_) {
        FillRect(view, view.Bounds(), 0);
        surfaceShown_ = surface;
    }
    return view;
}

void SdlBackend::DropTexture() {
    texture_.reset();
    textureWidth_ = textureHeight_ = 0;
    textureFormat_ = 0;
    textureLocked_ = false;
    lockedView_ = {};
}

bool SdlBackend::PrepareTexture(std::int32_t width, std::int32_t height, std::uint32_t sdlFormat) {
    if (texture_ && textureWidth_ == width && textureHeight_ == height && textureFormat_ == sdlFormat) return true;
    DropTexture();
    texture_.reset(SDL_CreateTexture(renderer_.get(), sdlFormat, SDL_TEXTUREACCESS_STREAMING, width, height));
    if (!texture_) return false;
    textureWidth_ = width;
    textureHeight_ = height;
    textureFormat_ = sdlFormat;
    textureCleared_ = false;
    return true;
}

// The texture of the client area's size, locked for writing: copies onto the desktop land in it
// directly, and Show unlocks and presents it. It stays locked from the first copy of a frame to
// its presentation, so the memory SDL hands out is the texture's own (the software renderer) or
// SDL's staging copy of it, and what a copy does not cover keeps what was shown before.
bool SdlBackend::LockTexture(std::int32_t width, std::int32_t height) {
    const std::uint32_t sdlFormat = TextureFormatFor(mode_.format);
    if (sdlFormat == SDL_PIXELFORMAT_UNKNOWN || !PrepareTexture(width, height, sdlFormat)) return false;
    if (textureLocked_) return true;
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_.get(), nullptr, &pixels, &pitch) != 0) return false;
    textureLocked_ = true;
    lockedView_ = {static_cast<std::uint8_t*>(pixels), pitch, width, height, BytesPerPixel(mode_.format), mode_.format};
    if (!textureCleared_) {
        // A new texture starts black, as the client area of a window nothing was copied to.
        FillRect(lockedView_, lockedView_.Bounds(), 0);
        textureCleared_ = true;
    }
    return true;
}

}  // namespace sdl
}  // namespace platform
