#include "game/pad_keys.h"

#include "game/game_values.h"

namespace game {

namespace {

using platform::PadAxis;
using platform::PadButton;

constexpr std::uint32_t Bit(PadButton button) { return 1u << static_cast<unsigned>(button); }

// The left stick walks past half its travel: a resting stick's drift never does.
constexpr std::int16_t kStickWalk = 16384;

}  // namespace

void PadKeys::Read() {
    platform::CurrentGamepadHost().ReadGamepads(now_);
    std::uint32_t held = 0;
    left_ = right_ = false;
    for (const platform::GamepadState& pad : now_) {
        if (!pad.connected) continue;
        held |= pad.buttons;
        const std::int16_t x = pad.axes[static_cast<std::size_t>(PadAxis::LeftX)];
        left_ = left_ || x <= -kStickWalk;
        right_ = right_ || x >= kStickWalk;
    }
    left_ = left_ || (held & Bit(PadButton::DpadLeft)) != 0;
    right_ = right_ || (held & Bit(PadButton::DpadRight)) != 0;
    pressed_ = held & ~held_;
    held_ = held;
}

void PadKeys::Reset() {
    platform::CurrentGamepadHost().ReadGamepads(now_);
    held_ = 0;
    for (const platform::GamepadState& pad : now_) {
        if (pad.connected) held_ |= pad.buttons;
    }
    pressed_ = 0;
    left_ = right_ = false;
}

bool PadKeys::Down(std::uint16_t code) const {
    switch (code) {
        case KEY_LEFT_ARROW: return left_;
        case KEY_RIGHT_ARROW: return right_;
        case KEY_P: return (pressed_ & (Bit(PadButton::A) | Bit(PadButton::Start))) != 0;
        case KEY_M: return (pressed_ & Bit(PadButton::A)) != 0;
        case KEY_ESC: return (pressed_ & Bit(PadButton::B)) != 0;
        default: return false;
    }
}

PadKeys& GamePads() {
    static PadKeys pads;
    return pads;
}

}  // namespace game
