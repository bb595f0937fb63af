#pragma once
// The SDL2 backend: the real desktop. Windows are SDL windows that the window manager frames,
// copies onto the primary surface are shown through an SDL renderer, OS events become window
// messages, and the clock and the vertical-blank wait follow the steady clock. Without a usable
// display (no X server, or only SDL's invisible drivers) the backend says so instead of failing
// later: no windows, no display device, and the desktop reads as a plain 640x480 in 32 bits.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Surface;
union SDL_Event;

namespace platform::sdl {

// Frees SDL handles; defined where SDL is included, so holders need only the names above.
struct SdlDeleter {
    void operator()(SDL_Window* window) const;
    void operator()(SDL_Renderer* renderer) const;
    void operator()(SDL_Texture* texture) const;
    void operator()(SDL_Surface* surface) const;
};
template <typename T>
using SdlPtr = std::unique_ptr<T, SdlDeleter>;

// Called with every event the backend's pump takes, before the backend handles it: the input
// devices follow mouse motion and the wheel this way.
using InputEventObserver = void (*)(const SDL_Event& event);
void SetInputEventObserver(InputEventObserver observer);

class SdlBackend final : public Backend, public Presenter {
public:
    SdlBackend();
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    // Backend.
    HRESULT FaultAt(FaultPoint point) override;
    std::uint32_t Now() override;
    void Sleep(std::uint32_t ms) override;
    DesktopMode Desktop() override;
    void WaitForVerticalBlank() override;
    std::shared_ptr<DisplaySurface> PrimarySurface() override;
    FrameMetrics Frame() override { return {}; }
    bool CreateNativeWindow(Window& window) override;
    void DestroyNativeWindow(Window& window) override;
    void UpdateNativeWindow(Window& window) override;
    Point ClientOrigin(const Window& window) override;
    void PumpEvents(bool wait) override;
    int ShowMessageBox(Window* owner, const char* text, const char* caption, std::uint32_t type) override;

    // Presenter: the primary surface's copies land in the window that owns the renderer.
    void Present(const DisplaySurface& source, const Rect& sourceRect, const Rect& desktopRect) override;

private:
    // An SDL window and what was last handed to it, so that repeated updates with unchanged
    // values leave a window the user has moved where it is.
    struct NativeWindow {
        Window* window = nullptr;
        SdlPtr<SDL_Window> handle;
        std::uint32_t id = 0;
        std::string title;
        Rect placed;
        bool shown = false;
    };
    enum class VideoState { NotTried, Available, Unavailable };

    bool EnsureVideo();
    bool StartVideo();
    void ReadDesktop();
    NativeWindow* FindNative(const Window& window);
    NativeWindow* FindNative(std::uint32_t sdlWindowId);
    void CreateRenderer(NativeWindow& native);
    void DestroyRenderer();
    void SetIcon(SDL_Window* handle, const Window& window);
    void HandleEvent(const SDL_Event& event);
    void PostToEveryWindow(std::uint32_t message);
    bool PrepareTexture(const DisplaySurface& source, std::uint32_t sdlFormat);
    bool Upload(const DisplaySurface& source, const Rect& sourceRect);

    VideoState video_ = VideoState::NotTried;
    DesktopMode desktop_;
    std::chrono::steady_clock::time_point start_;
    std::shared_ptr<DisplaySurface> primary_;
    std::vector<NativeWindow> windows_;
    // The renderer draws into one window; the texture holds the last presented source.
    Window* rendererOwner_ = nullptr;
    SdlPtr<SDL_Renderer> renderer_;
    SdlPtr<SDL_Texture> texture_;
    std::int32_t textureWidth_ = 0, textureHeight_ = 0;
    std::uint32_t textureFormat_ = 0;
    std::vector<std::uint32_t> expanded_;  // 8-bit pixels turned into 32-bit ones for upload
};

}  // namespace platform::sdl
