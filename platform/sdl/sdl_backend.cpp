#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>

#include "platform/resources.h"
#include "platform/window.h"

namespace platform {

Backend& CurrentBackend() {
    static sdl::SdlBackend backend;
    return backend;
}

namespace sdl {

void SdlDeleter::operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
void SdlDeleter::operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
void SdlDeleter::operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
void SdlDeleter::operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }

namespace {

// How long one wait for an OS event lasts before it is started again; the wait sleeps, so the
// slice only bounds how late a pending signal is noticed.
constexpr int kWaitSliceMs = 100;
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

// The depth the whole program runs in: 32 bits unless MEDIA_DESKTOP_DEPTH picks a smaller one.
int DesktopDepth() {
    for (const int depth : {15, 16, 24}) {
        if (EnvEquals("MEDIA_DESKTOP_DEPTH", std::to_string(depth))) return depth;
    }
    return 32;
}

bool IsPalettized(const PixelFormatDesc& format) { return format.bitCount <= 8; }

// The texture format whose memory layout equals a surface's pixels. 24-bit pixels are stored
// low byte first (blue, green, red), which is SDL's BGR24; palettized pixels are expanded to
// 32 bits before upload.
std::uint32_t TextureFormatFor(const PixelFormatDesc& format) {
    if (IsPalettized(format) || format == FormatForDepth(32)) return SDL_PIXELFORMAT_XRGB8888;
    if (format == FormatForDepth(24)) return SDL_PIXELFORMAT_BGR24;
    if (format == FormatForDepth(16)) return SDL_PIXELFORMAT_RGB565;
    if (format == FormatForDepth(15)) return SDL_PIXELFORMAT_RGB555;
    return SDL_MasksToPixelFormatEnum(static_cast<int>(format.bitCount), format.redMask, format.greenMask, format.blueMask, 0);
}

// The fixed 3-3-2 palette as 32-bit pixels: each channel's bits are spread over the full 0..255.
constexpr std::array<std::uint32_t, 256> kPalette332 = [] {
    std::array<std::uint32_t, 256> palette{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        const std::uint32_t r = ((i >> 5) & 7) * 255 / 7, g = ((i >> 2) & 7) * 255 / 7, b = (i & 3) * 255 / 3;
        palette[i] = (r << 16) | (g << 8) | b;
    }
    return palette;
}();

void ExpandPalettized(const DisplaySurface& source, const Rect& area, std::vector<std::uint32_t>& out) {
    out.resize(static_cast<std::size_t>(area.Width()) * static_cast<std::size_t>(area.Height()));
    auto next = out.begin();
    for (std::int32_t y = area.top; y < area.bottom; ++y) {
        const std::uint8_t* row = source.Row(y) + area.left;
        next = std::transform(row, row + area.Width(), next, [](std::uint8_t index) { return kPalette332[index]; });
    }
}

SDL_Rect ToSdl(const Rect& r) { return {r.left, r.top, r.Width(), r.Height()}; }

InputEventObserver inputEventObserver = nullptr;

}  // namespace

void SetInputEventObserver(InputEventObserver observer) { inputEventObserver = observer; }

SdlBackend::SdlBackend() : desktop_(NoDisplayDesktop()), start_(std::chrono::steady_clock::now()) {}

SdlBackend::~SdlBackend() {
    // A surface still held elsewhere must not present through a backend that is gone.
    if (primary_) primary_->SetPresenter(nullptr);
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
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "no display: %s\n", SDL_GetError());
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (DrawsNowhere(driver) && !DriverRequested(driver))) {
        std::fprintf(stderr, "no display: video driver '%s' was not asked for\n", driver ? driver : "");
        SDL_Quit();
        return false;
    }
    // Stretched copies keep hard pixel edges, as the game's art expects.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    ReadDesktop();
    return true;
}

void SdlBackend::ReadDesktop() {
    desktop_.format = FormatForDepth(DesktopDepth());
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return;
    desktop_.width = mode.w;
    desktop_.height = mode.h;
    // Servers that do not know their rate (Xvfb) report 0.
    desktop_.refreshHz = mode.refresh_rate > 0 ? mode.refresh_rate : 60;
}

HRESULT SdlBackend::FaultAt(FaultPoint point) {
    if (point == FaultPoint::DirectDrawCreate && !EnsureVideo()) return DDERR_NODIRECTDRAWHW;
    return S_OK;
}

std::uint32_t SdlBackend::Now() {
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SdlBackend::Sleep(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

DesktopMode SdlBackend::Desktop() {
    EnsureVideo();
    return desktop_;
}

void SdlBackend::WaitForVerticalBlank() {
    // The display refreshes at whole multiples of its period counted from start_; wait for the
    // first refresh after now.
    const std::int64_t rate = std::max(1, Desktop().refreshHz);
    const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start_).count();
    const std::int64_t tick = elapsed * rate / kNanosPerSecond + 1;
    std::this_thread::sleep_until(start_ + std::chrono::nanoseconds(tick * kNanosPerSecond / rate));
}

std::shared_ptr<DisplaySurface> SdlBackend::PrimarySurface() {
    if (!EnsureVideo()) return nullptr;
    if (!primary_) {
        primary_ = std::make_shared<DisplaySurface>(desktop_.width, desktop_.height, desktop_.format, DDSCAPS_PRIMARYSURFACE);
        primary_->SetPresenter(this);
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
    if (!EnsureVideo()) return false;
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
    windows_.push_back({&window, std::move(handle), id, window.title, r, false});
    if (!renderer_) CreateRenderer(windows_.back());
    // After the renderer: making one may rebuild the OS window underneath.
    SetIcon(static_cast<SDL_Window*>(window.native), window);
    return true;
}

void SdlBackend::CreateRenderer(NativeWindow& native) {
    SDL_Renderer* renderer = SDL_CreateRenderer(native.handle.get(), -1, SDL_RENDERER_ACCELERATED);
    if (!renderer) renderer = SDL_CreateRenderer(native.handle.get(), -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) {
        // The window still works as a window; copies onto the desktop just show nothing.
        std::fprintf(stderr, "SDL_CreateRenderer: %s\n", SDL_GetError());
        return;
    }
    renderer_.reset(renderer);
    rendererOwner_ = native.window;
}

void SdlBackend::DestroyRenderer() {
    texture_.reset();
    textureWidth_ = textureHeight_ = 0;
    textureFormat_ = 0;
    renderer_.reset();
    rendererOwner_ = nullptr;
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
    auto it = std::ranges::find(windows_, &window, &NativeWindow::window);
    if (it == windows_.end()) return;
    if (rendererOwner_ == &window) DestroyRenderer();
    windows_.erase(it);
    window.native = nullptr;
}

void SdlBackend::UpdateNativeWindow(Window& window) {
    NativeWindow* native = FindNative(window);
    if (!native) return;
    SDL_Window* handle = native->handle.get();
    if (window.title != native->title) SDL_SetWindowTitle(handle, window.title.c_str());
    const Rect& r = window.outer;
    if (r.Width() != native->placed.Width() || r.Height() != native->placed.Height())
        SDL_SetWindowSize(handle, std::max(1, r.Width()), std::max(1, r.Height()));
    if (r.left != native->placed.left || r.top != native->placed.top) SDL_SetWindowPosition(handle, r.left, r.top);
    if (window.visible != native->shown) {
        if (window.visible)
            SDL_ShowWindow(handle);
        else
            SDL_HideWindow(handle);
    }
    native->title = window.title;
    native->placed = r;
    native->shown = window.visible;
}

Point SdlBackend::ClientOrigin(const Window& window) {
    auto* handle = static_cast<SDL_Window*>(window.native);
    if (!handle) return Backend::ClientOrigin(window);
    // Where the window manager actually put the client area, which may differ from window.outer.
    int x = 0, y = 0;
    SDL_GetWindowPosition(handle, &x, &y);
    return {x, y};
}

void SdlBackend::PumpEvents(bool wait) {
    if (!EnsureVideo()) {
        // Nothing can ever arrive; a short sleep keeps a waiting caller from spinning.
        if (wait) std::this_thread::sleep_for(std::chrono::milliseconds(kWaitSliceMs));
        return;
    }
    SDL_Event event;
    if (wait) {
        while (!SDL_WaitEventTimeout(&event, kWaitSliceMs)) {
        }
        HandleEvent(event);
    }
    while (SDL_PollEvent(&event)) HandleEvent(event);
}

void SdlBackend::HandleEvent(const SDL_Event& event) {
    if (inputEventObserver) inputEventObserver(event);
    if (event.type == SDL_QUIT) {
        PostToEveryWindow(WM_CLOSE);
    } else if (event.type == SDL_RENDER_DEVICE_RESET) {
        // The renderer dropped its textures; the next copy makes a new one.
        texture_.reset();
        textureWidth_ = textureHeight_ = 0;
    } else if (event.type == SDL_WINDOWEVENT) {
        NativeWindow* native = FindNative(event.window.windowID);
        if (!native) return;
        switch (event.window.event) {
            case SDL_WINDOWEVENT_CLOSE: PostMessage(native->window, WM_CLOSE, 0, 0); break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: PostMessage(native->window, WM_ACTIVATEAPP, 1, 0); break;
            case SDL_WINDOWEVENT_FOCUS_LOST: PostMessage(native->window, WM_ACTIVATEAPP, 0, 0); break;
            default: break;  // exposure needs nothing: every frame is presented whole
        }
    }
}

void SdlBackend::PostToEveryWindow(std::uint32_t message) {
    for (const NativeWindow& native : windows_) PostMessage(native.window, message, 0, 0);
}

int SdlBackend::ShowMessageBox(Window* owner, const char* text, const char* caption, std::uint32_t) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    // Unattended runs (tests, scripts under a virtual display) must not block on a box no one
    // will click.
    if (EnvEquals("MEDIA_NO_MESSAGE_BOX", "1") || !EnsureVideo()) return 1;
    SDL_Window* parent = owner ? static_cast<SDL_Window*>(owner->native) : nullptr;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, parent);
    return 1;
}

void SdlBackend::Present(const DisplaySurface& source, const Rect& sourceRect, const Rect& desktopRect) {
    if (!renderer_ || !rendererOwner_ || !Upload(source, sourceRect)) return;
    const Point origin = ClientOrigin(*rendererOwner_);
    const SDL_Rect from = ToSdl(sourceRect);
    const SDL_Rect to = ToSdl(Offset(desktopRect, -origin.x, -origin.y));
    SDL_Renderer* renderer = renderer_.get();
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, SDL_ALPHA_OPAQUE);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture_.get(), &from, &to);
    SDL_RenderPresent(renderer);
}

bool SdlBackend::PrepareTexture(const DisplaySurface& source, std::uint32_t sdlFormat) {
    if (texture_ && textureWidth_ == source.Width() && textureHeight_ == source.Height() && textureFormat_ == sdlFormat)
        return true;
    texture_.reset(SDL_CreateTexture(renderer_.get(), sdlFormat, SDL_TEXTUREACCESS_STREAMING, source.Width(), source.Height()));
    const bool made = texture_ != nullptr;
    textureWidth_ = made ? source.Width() : 0;
    textureHeight_ = made ? source.Height() : 0;
    textureFormat_ = made ? sdlFormat : 0;
    return made;
}

bool SdlBackend::Upload(const DisplaySurface& source, const Rect& sourceRect) {
    const std::uint32_t sdlFormat = TextureFormatFor(source.Format());
    if (sdlFormat == SDL_PIXELFORMAT_UNKNOWN || !FitsInside(sourceRect, source.Width(), source.Height()) ||
        !PrepareTexture(source, sdlFormat))
        return false;
    const SDL_Rect area = ToSdl(sourceRect);
    if (IsPalettized(source.Format())) {
        ExpandPalettized(source, sourceRect, expanded_);
        return SDL_UpdateTexture(texture_.get(), &area, expanded_.data(), sourceRect.Width() * 4) == 0;
    }
    const std::uint8_t* first = source.Row(sourceRect.top) + sourceRect.left * source.BytesPerPixel();
    return SDL_UpdateTexture(texture_.get(), &area, first, source.Pitch()) == 0;
}

}  // namespace sdl
}  // namespace platform
