#include "platform/backends/sdl/sdl_touches.h"

#include <algorithm>
#include <cmath>

namespace platform::sdl {

std::int32_t FingerPixel(float fraction, std::int32_t length) {
    if (length <= 0 || !std::isfinite(fraction)) return 0;
    const double pixel = std::floor(static_cast<double>(fraction) * length);
    return static_cast<std::int32_t>(std::clamp(pixel, 0.0, static_cast<double>(length - 1)));
}

void SdlTouches::Queue(const Window* window, TouchPhase phase, std::int64_t finger, float fx, float fy, std::int32_t width,
                       std::int32_t height) {
    waiting_.Add(window, {phase, finger, FingerPixel(fx, width), FingerPixel(fy, height)});
}

SdlTouches& Touches() {
    static SdlTouches touches;
    return touches;
}

}  // namespace platform::sdl
