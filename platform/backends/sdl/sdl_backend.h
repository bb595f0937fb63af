#pragma once
// The SDL2 backend: the real desktop. Windows are SDL windows that the window manager frames,
// copies onto the primary surface land in the window's own surface (or, for a scaled window or
// another pixel layout, in an image of the client area that SDL's software renderer shows), OS
// events become window messages, and the clock and the vertical-blank wait
// follow the steady clock. Without a usable display (no X server, or only SDL's invisible
// drivers) opening the display fails: no windows, no display device, and the desktop reads as a
// plain 640x480 in 32 bits. Losing the X server while running is a close request to every window.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/clock.h"
#include "platform/core/frame_pacer.h"
#include "platform/video/desktop.h"
#include "platform/video/display_host.h"
#include "platform/video/display_surface.h"
#include "platform/window/window.h"
#include "platform/window/window_host.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Surface;
union SDL_Event;
struct SDL_TouchFingerEvent;

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

// Called before any part of SDL starts: when the program catches its quit signals itself
// (platform/core/quit_signals.h), SDL installs no handlers of its own and leaves them alone.
void LeaveQuitSignalsToTheProgram();

// With MEDIA_FRAME_STATS=1 the backend reports on standard error when it presented its first
// frame (wall-clock seconds, as bash's EPOCHREALTIME, so a script can subtract its launch time)
// and, at exit, how many frames it presented, at what rate and at what CPU cost per frame.
class FrameStats {
public:
    FrameStats();
    ~FrameStats();
    FrameStats(const FrameStats&) = delete;
    FrameStats& operator=(const FrameStats&) = delete;
    void Presented();

private:
    bool enabled_ = false;
    std::uint64_t frames_ = 0;
    std::chrono::steady_clock::time_point first_, last_;
    double firstCpuSeconds_ = 0, lastCpuSeconds_ = 0;
};

class SdlBackend final : public Clock, public DisplayHost, public WindowHost, public PresentTarget {
public:
    SdlBackend();
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    // Clock.
    std::uint32_t Now() override;
    void Sleep(std::uint32_t ms) override;

    // DisplayHost.
    HRESULT Open() override;
    DesktopMode Desktop() override;
    void WaitForVerticalBlank() override;
    std::shared_ptr<DisplaySurface> PrimarySurface() override;

    // WindowHost.
    FrameMetrics Frame() override { return {}; }
    bool CreateNativeWindow(Window& window) override;
    void DestroyNativeWindow(Window& window) override;
    void UpdateNativeWindow(Window& window) override;
    Point ClientOrigin(const Window& window) override;
    void PumpEvents(bool wait) override;
    int ShowMessageBox(Window* owner, const char* text, const char* caption, std::uint32_t type) override;

    // PresentTarget: the presenting window's surface, or the client-area image its renderer shows.
    PixelView TargetFor(Window* window, Point* origin) override;
    void Show(Window* window, const Rect& written) override;

    // The X server went away (called from Xlib's connection-loss handler).
    void DisplayLost() { displayLost_ = true; }
    // An X error: true when it comes of a window of this backend that another client destroyed
    // (called from Xlib's error handler, so it makes no X requests). BadWindow or BadDrawable
    // about one of its windows is the news of that; until SDL has let go of such a window, its
    // requests on the window and on what SDL made for it (its framebuffer's graphics context)
    // fail, and every error is taken as theirs.
    bool ExpectedXError(int code, unsigned long xid);

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
        const Resource* icon = nullptr;
        WindowPresentation presentation;
        unsigned long xid = 0;            // its X window (0: not on X11)
        bool destroyedElsewhere = false;  // another client destroyed the X window
        bool closeAsked = false;          // ... and the window was sent its close request
    };
    enum class VideoState { NotTried, Available, Unavailable };

    bool EnsureVideo();
    bool StartVideo();
    // With the display gone every SDL video call would talk to a dead server: windows get a
    // close request once and the handles are dropped without being destroyed.
    bool CheckDisplayLost();
    void WatchDisplayLoss(SDL_Window* handle);
    // Marks the backend's window whose X window is xid as destroyed by another client.
    void MarkDestroyedElsewhere(unsigned long xid);
    // A window another client destroyed is a close box: it gets WM_CLOSE once.
    void CloseWindowsDestroyedElsewhere();
    void ReleaseDestroyedElsewhere(std::vector<NativeWindow>::iterator native);
    // SDL's hide (and its destroy, which hides first) unmaps a mapped window and then waits in
    // XIfEvent for the server's UnmapNotify; a server dying in between leaves that wait spinning
    // for ever on the dead connection. So the window is withdrawn here first and the notice
    // awaited with a deadline that also ends when the connection breaks; SDL then finds the
    // window unmapped and does not wait.
    void Withdraw(SDL_Window* handle);
    void ReadDesktop();
    NativeWindow* FindNative(const Window& window);
    NativeWindow* FindNative(std::uint32_t sdlWindowId);
    void StartPresenting(NativeWindow& native);
    void ChoosePresentPath(NativeWindow& native);
    void CreateRenderer(NativeWindow& native);
    // Frees the renderer (and its texture); the window still presents, through its surface.
    void DropRenderer();
    // Frees the renderer and stops presenting in its window.
    void DestroyRenderer();
    PixelView WindowSurfaceView(Window& window, const Rect& client);
    void SetIcon(SDL_Window* handle, const Window& window);
    void ApplyPresentation(NativeWindow& native);
    void HandleEvent(const SDL_Event& event);
    void QueueFinger(const SDL_TouchFingerEvent& finger);
    void PostToEveryWindow(std::uint32_t message);
    bool PrepareTexture(std::int32_t width, std::int32_t height, std::uint32_t sdlFormat);
    bool LockTexture(std::int32_t width, std::int32_t height);
    void DropTexture();

    VideoState video_ = VideoState::NotTried;
    DesktopMode mode_;
    std::chrono::steady_clock::time_point start_;
    std::shared_ptr<DisplaySurface> primary_;
    platform::Desktop desktop_{*this};
    std::vector<NativeWindow> windows_;
    std::atomic<bool> displayLost_{false};
    // SDL is letting go of a window another client destroyed (ExpectedXError).
    bool releasingDestroyed_ = false;
    bool lossHandled_ = false;
    std::optional<FramePacer> pacer_;
    // The renderer draws into one window; the texture holds the client area's image, locked
    // (lockedView_) while copies land in it and unlocked to be presented.
    Window* rendererOwner_ = nullptr;
    // Frames go straight into the presenting window's surface (no renderer); the surface last
    // handed out, to know when SDL made a new one.
    bool windowSurface_ = false;
    SDL_Surface* surfaceShown_ = nullptr;
    SdlPtr<SDL_Renderer> renderer_;
    SdlPtr<SDL_Texture> texture_;
    std::int32_t textureWidth_ = 0, textureHeight_ = 0;
    std::uint32_t textureFormat_ = 0;
    bool textureLocked_ = false;
    bool textureCleared_ = false;
    PixelView lockedView_;
    FrameStats stats_;
};

}  // namespace platform::sdl
