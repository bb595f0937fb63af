#pragma once
// What a backend provides for windows: native counterparts of the shared windows, where their
// client areas really are, OS events turned into window messages, and the error box.
#include <cstdint>

#include "../core/geometry.h"

namespace platform {

class Window;

/// Outer-frame sizes that window sizing adds around a client area.
struct FrameMetrics {
    std::int32_t border = 0;   ///< each side
    std::int32_t caption = 0;  ///< above the client area, with a caption style
    std::int32_t menu = 0;     ///< above the client area, with a menu
};

/// What a backend provides for windows (platform/core/backend.h chooses the backend).
class WindowHost {
public:
    virtual ~WindowHost() = default;
    /// The outer-frame sizes around a client area on this desktop.
    virtual FrameMetrics Frame() = 0;
    /// Makes the window's native counterpart (hidden); false when the backend cannot.
    virtual bool CreateNativeWindow(Window& window) = 0;
    /// Destroys the window's native counterpart.
    virtual void DestroyNativeWindow(Window& window) = 0;
    /// The window's size, position, title or visibility changed.
    virtual void UpdateNativeWindow(Window& window) = 0;
    /// The client area's top-left on the desktop; by default the outer rectangle less the frame.
    virtual Point ClientOrigin(const Window& window);
    /// Turns waiting OS events into window messages; with wait, first sleeps a short while for
    /// one to come (callers loop, so a lost event source never blocks them).
    virtual void PumpEvents(bool wait) = 0;
    /// Shows an error box (and writes it on standard error); the button pressed.
    virtual int ShowMessageBox(Window* owner, const char* text, const char* caption, std::uint32_t type) = 0;
};

/// The chosen backend's part (platform/core/backend.h).
WindowHost& CurrentWindowHost();

}  // namespace platform
