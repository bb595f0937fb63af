#include "platform/backends/web/standard_gamepad.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace platform::web {

namespace {

constexpr int kLeftTrigger = 6, kRightTrigger = 7;

// The button of each standard index (the triggers, 6 and 7, are axes here).
constexpr std::array<int, kStandardButtons> kButtonOf = {
    static_cast<int>(PadButton::A),         static_cast<int>(PadButton::B),
    static_cast<int>(PadButton::X),         static_cast<int>(PadButton::Y),
    static_cast<int>(PadButton::LeftShoulder), static_cast<int>(PadButton::RightShoulder),
    -1, -1,
    static_cast<int>(PadButton::Back),      static_cast<int>(PadButton::Start),
    static_cast<int>(PadButton::LeftStick), static_cast<int>(PadButton::RightStick),
    static_cast<int>(PadButton::DpadUp),    static_cast<int>(PadButton::DpadDown),
    static_cast<int>(PadButton::DpadLeft),  static_cast<int>(PadButton::DpadRight),
    static_cast<int>(PadButton::Guide)};

std::int16_t Raw(double value) { return static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0)); }

}  // namespace

GamepadState FromStandardMapping(const BrowserPad& pad) {
    GamepadState state;
    if (!pad.connected || !pad.standard) return state;
    state.connected = true;
    const int buttons = std::min(pad.buttonCount, kStandardButtons);
    for (int b = 0; b < buttons; ++b) {
        if (kButtonOf[static_cast<std::size_t>(b)] >= 0 && pad.pressed[b]) state.buttons |= 1u << kButtonOf[static_cast<std::size_t>(b)];
    }
    const int axes = std::min(pad.axisCount, kStandardAxes);
    for (int a = 0; a < axes; ++a) state.axes[static_cast<std::size_t>(a)] = Raw(pad.axes[a]);
    if (pad.buttonCount > kRightTrigger) {
        state.axes[static_cast<std::size_t>(PadAxis::LeftTrigger)] = Raw(pad.values[kLeftTrigger]);
        state.axes[static_cast<std::size_t>(PadAxis::RightTrigger)] = Raw(pad.values[kRightTrigger]);
    }
    std::strncpy(state.name.data(), pad.id ? pad.id : "", state.name.size() - 1);
    return state;
}

}  // namespace platform::web
