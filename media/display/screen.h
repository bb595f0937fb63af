#pragma once
// Screen: the display in a window. It owns the display device, the front surface (the desktop's
// primary surface), the back surface everything is drawn into and the clipper that keeps
// presentation inside the window; it presents each frame, counts the frame rate, keeps the list
// of surfaces made from files and records the display drivers and modes it was started with.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "pixel_surface.h"
#include "../../platform/video/display_device.h"
#include "../../platform/window/window.h"

namespace media {

/// One display mode the screen found when it was set up (a list: next).
struct DisplayModeRecord {
    /// Size in pixels and bits per pixel.
    /// @{
    std::uint32_t width = 0, height = 0, bitCount = 0;
    /// @}
    std::unique_ptr<DisplayModeRecord> next;  ///< the next mode, or null
};

/// One display driver the screen found when it was set up (a list: next).
struct DriverRecord {
    const platform::Guid* guidPointer = nullptr;  ///< null for the primary display driver
    platform::Guid guid;  ///< the driver's identifier
    std::array<char, 512> description{};  ///< zero-terminated
    std::array<char, 512> name{};         ///< zero-terminated
    /// What the driver does in hardware and in software.
    /// @{
    platform::DisplayCaps hardware, emulation;
    /// @}
    void* monitor = nullptr;               ///< always null: one desktop
    std::unique_ptr<DriverRecord> next;  ///< the next driver, or null
};

/// The display in a window: create one, call SetWindowedMode with the program's window, draw each
/// frame into Back() and present it with Flip. The screen owns its display device, its front and
/// back surfaces and their clipper; surfaces made with it are tracked and detached when it goes.
class Screen {
public:
    /// A screen without a display; SetWindowedMode sets it up. Not copyable.
    /// @{
    Screen();
    virtual ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    /// @}

    /// 0, or -1 (no display device, already set up, no desktop device context), -2 (cooperative
    /// level refused), -4 (no primary surface), -8 (no back surface), -16, -32, -64 (clipper
    /// creation, binding to the window, attaching to the primary surface).
    std::int32_t SetWindowedMode(platform::HWND window, std::int32_t width, std::int32_t height);
    /// Presents the back surface in the window's client area. waitVBlank non-zero: waits for the
    /// vertical blank first; stretch non-zero: scales the back surface to the client area (else
    /// copies it 1:1); showFps non-zero: draws the frame rate into the back surface first.
    /// Counts the frame for FramesPerSecond. Does nothing before SetWindowedMode succeeded.
    void Flip(std::int32_t waitVBlank, std::int32_t stretch, std::int32_t showFps);
    /// Restores the front and back surfaces if the display lost them: 0, or the restore's result.
    std::int32_t RestoreSurfaces();
    /// Waits for the display's vertical blank: 0, or -1 without a display device.
    std::int32_t WaitForVBlank();
    /// Lists a surface (made from a file) so that it is redrawn after a display loss; removing
    /// leaves unlisted surfaces, the front and the back alone. The caller keeps ownership.
    /// @{
    void AddSurface(PixelSurface* surface);
    void RemoveSurface(PixelSurface* surface);
    /// @}
    /// Every surface made with this screen (listed or blank) until it is destroyed; a screen
    /// destroyed first detaches them, so their own destruction touches nothing of it.
    /// @{
    void Attach(PixelSurface* surface);
    void Detach(PixelSurface* surface);
    /// @}

    /// The front (the desktop's primary surface, shown in the window) and back surfaces, the
    /// display device and the window; owned by the screen, null before SetWindowedMode.
    /// @{
    PixelSurface* Front() const { return front_.get(); }
    PixelSurface* Back() const { return back_.get(); }
    platform::DisplayDevice* DirectDraw() const { return directDraw_.get(); }
    platform::HWND Window() const { return window_; }
    /// @}

    /// Frames presented per second, measured over each second of Flip calls.
    std::int32_t FramesPerSecond() const { return framesPerSecond_; }
    /// The display modes and drivers recorded by SetWindowedMode.
    /// @{
    std::int32_t DisplayModeCount() const { return displayModeCount_; }
    const DisplayModeRecord* DisplayModes() const { return displayModes_.get(); }
    std::int32_t DriverCount() const { return driverCount_; }
    const DriverRecord* Drivers() const { return drivers_.get(); }
    /// @}
    /// The list of surfaces AddSurface made, first to last (linked by PixelSurface::Next).
    /// @{
    PixelSurface* FirstSurface() const { return first_; }
    PixelSurface* LastSurface() const { return last_; }
    std::int32_t SurfaceCount() const { return surfaceCount_; }
    /// @}

private:
    void RecordDrivers();
    void RecordDisplayModes();
    /// Creates the front and back surfaces and their clipper; the result of SetWindowedMode.
    std::int32_t CreateSurfaces();

    std::shared_ptr<platform::DisplayDevice> directDraw_;
    std::unique_ptr<PixelSurface> front_;
    std::unique_ptr<PixelSurface> back_;
    std::shared_ptr<platform::Clipper> clipper_;
    std::int32_t width_ = 0, height_ = 0;
    platform::HWND window_ = nullptr;
    std::int32_t displayModeCount_ = 0;
    std::unique_ptr<DisplayModeRecord> displayModes_;
    std::int32_t driverCount_ = 0;
    std::unique_ptr<DriverRecord> drivers_;
    std::uint32_t frames_ = 0;
    std::uint32_t elapsed_ = 0;
    std::uint32_t lastTime_ = 0;
    std::int32_t framesPerSecond_ = 0;
    PixelSurface* first_ = nullptr;
    PixelSurface* last_ = nullptr;
    std::int32_t surfaceCount_ = 0;
    std::vector<PixelSurface*> attached_;
};

}  // namespace media
