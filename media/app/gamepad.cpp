#include "media/app/gamepad.h"

#include <algorithm>
#include <cmath>

#include "media/app/gamepad_slots.h"
#include "media/app/window.h"

namespace media {

namespace {

constexpr float kMaxDeadZone = 0.95f;

bool ValidIndex(int index) { return index >= 0 && index < kGamepadCount; }

std::uint16_t Motor(float level) { return static_cast<std::uint16_t>(std::lround(std::clamp(level, 0.0f, 1.0f) * 65535.0f)); }

}  // namespace

Gamepad::Gamepad(const Window& window, int index) : slots_(window.GamepadSlotsOf()), index_(index) {}

bool Gamepad::IsConnected() const {
    const auto slots = slots_.lock();
    return slots && ValidIndex(index_) && slots->State(index_).connected;
}

const char* Gamepad::Name() const {
    const auto slots = slots_.lock();
    // The name lives in the slot's state, which lives as long as the window.
    return IsConnected() ? slots->State(index_).name.data() : "";
}

bool Gamepad::IsButtonDown(GamepadButton button) const {
    const auto slots = slots_.lock();
    return IsConnected() && (slots->State(index_).buttons >> static_cast<unsigned>(button) & 1u);
}

float Gamepad::Axis(GamepadAxis axis) const {
    const auto slots = slots_.lock();
    return IsConnected() ? slots->Axis(index_, axis) : 0.0f;
}

Status Gamepad::SetDeadZone(float fraction) {
    const auto slots = slots_.lock();
    if (!slots || !ValidIndex(index_)) return {ErrorCode::NotOpen, "cannot set the dead zone: no such gamepad slot, or its window is closed"};
    if (!(fraction >= 0.0f && fraction <= kMaxDeadZone)) return {ErrorCode::InvalidArgument, "cannot set the dead zone: it must lie in 0..0.95"};
    slots->SetDeadZone(index_, fraction);
    return {};
}

float Gamepad::DeadZone() const {
    const auto slots = slots_.lock();
    return slots && ValidIndex(index_) ? slots->DeadZone(index_) : kDefaultDeadZone;
}

Status Gamepad::Rumble(float low, float high, float seconds) {
    if (!IsConnected()) return {ErrorCode::NotOpen, "cannot rumble: no gamepad in that slot"};
    const auto ms = static_cast<std::uint32_t>(std::lround(std::clamp(seconds, 0.0f, 3600.0f) * 1000.0f));
    if (!platform::CurrentGamepadHost().Rumble(index_, Motor(low), Motor(high), ms)) return {ErrorCode::Unsupported, "cannot rumble: the gamepad has no motors"};
    return {};
}

}  // namespace media
