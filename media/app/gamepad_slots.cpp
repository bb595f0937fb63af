#include "media/app/gamepad_slots.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace media {

// The front door's names are the platform's bit and axis numbers.
static_assert(static_cast<int>(GamepadButton::DpadRight) + 1 == static_cast<int>(platform::PadButton::Count));
static_assert(static_cast<int>(GamepadButton::LeftShoulder) == static_cast<int>(platform::PadButton::LeftShoulder));
static_assert(static_cast<int>(GamepadAxis::RightTrigger) + 1 == static_cast<int>(platform::PadAxis::Count));

namespace {

constexpr float kRawFull = 32767.0f;
constexpr int kButtons = static_cast<int>(platform::PadButton::Count);

float Unit(std::int16_t raw) { return std::clamp(static_cast<float>(raw) / kRawFull, -1.0f, 1.0f); }

Event PadEvent(EventType type, int index, int code) {
    Event event{type};
    event.gamepad = index;
    event.button = static_cast<std::uint16_t>(code);
    return event;
}

}  // namespace

void ApplyStickDeadZone(std::int16_t rawX, std::int16_t rawY, float deadZone, float& x, float& y) {
    x = Unit(rawX), y = Unit(rawY);
    const float length = std::hypot(x, y);
    if (length <= deadZone) {
        x = y = 0;
        return;
    }
    const float scale = std::min(1.0f, (length - deadZone) / (1.0f - deadZone)) / length;
    x *= scale, y *= scale;
}

float ApplyTriggerDeadZone(std::int16_t raw, float deadZone) {
    const float t = std::max(0.0f, Unit(raw));
    return t <= deadZone ? 0.0f : std::min(1.0f, (t - deadZone) / (1.0f - deadZone));
}

void GamepadSlots::Read(EventQueue& events) {
    std::array<platform::GamepadState, kGamepadCount> read{};
    platform::CurrentGamepadHost().ReadGamepads(read);
    for (int index = 0; index < kGamepadCount; ++index) QueueSlot(index, read[static_cast<std::size_t>(index)], events);
}

void GamepadSlots::QueueSlot(int index, const platform::GamepadState& read, EventQueue& events) {
    const auto slot = static_cast<std::size_t>(index);
    platform::GamepadState& was = now_[slot];
    Axes& axes = axes_[slot];
    // A pad pulled out lets go of what it held, then goes; a pad plugged in starts from rest.
    const std::uint32_t held = was.connected ? was.buttons : 0;
    const std::uint32_t down = read.connected ? read.buttons : 0;
    for (int b = 0; b < kButtons; ++b) {
        if (held & ~down & (1u << b)) events.Push(PadEvent(EventType::GamepadButtonUp, index, b));
    }
    if (was.connected && !read.connected) events.Push(PadEvent(EventType::GamepadDisconnected, index, 0));
    if (!was.connected && read.connected) events.Push(PadEvent(EventType::GamepadConnected, index, 0));
    for (int b = 0; b < kButtons; ++b) {
        if (down & ~held & (1u << b)) events.Push(PadEvent(EventType::GamepadButtonDown, index, b));
    }
    Axes next{};
    if (read.connected) {
        using platform::PadAxis;
        const float zone = deadZones_[slot];
        const auto raw = [&read](PadAxis axis) { return read.axes[static_cast<std::size_t>(axis)]; };
        ApplyStickDeadZone(raw(PadAxis::LeftX), raw(PadAxis::LeftY), zone, next[0], next[1]);
        ApplyStickDeadZone(raw(PadAxis::RightX), raw(PadAxis::RightY), zone, next[2], next[3]);
        next[4] = ApplyTriggerDeadZone(raw(PadAxis::LeftTrigger), zone);
        next[5] = ApplyTriggerDeadZone(raw(PadAxis::RightTrigger), zone);
    }
    for (std::size_t a = 0; a < next.size(); ++a) {
        if (next[a] == axes[a]) continue;
        Event moved = PadEvent(EventType::GamepadAxisMoved, index, static_cast<int>(a));
        moved.value = next[a];
        events.Push(moved);
    }
    axes = next;
    was = read;
}

}  // namespace media
