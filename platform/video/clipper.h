#pragma once
// A clipper: binds copies onto the primary surface to one window's client area.
#include <cstdint>

#include "../core/result_codes.h"

namespace platform {

class Window;

/// Keeps copies to the desktop inside a window's client area.
class Clipper {
public:
    /// Sets or reads the window copies are kept inside.
    /// @{
    HRESULT SetHWnd(std::uint32_t flags, Window* window);
    Window* GetHWnd() const { return window_; }
    /// @}

private:
    Window* window_ = nullptr;
};

}  // namespace platform
