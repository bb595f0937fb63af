#pragma once
// A clipper: binds copies onto the primary surface to one window's client area.
#include <cstdint>

#include "../core/result_codes.h"

namespace platform {

class Window;

class Clipper {
public:
    HRESULT SetHWnd(std::uint32_t flags, Window* window);
    Window* GetHWnd() const { return window_; }

private:
    Window* window_ = nullptr;
};

}  // namespace platform
