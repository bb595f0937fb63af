#pragma once
// A window's gamepad slots: read from the backend once a frame, turned into events by comparing
// with the frame before, with every axis put through its slot's dead zone. Gamepad objects look
// at it through a weak handle, so they outlive the window safely.
#include <array>

#include "event.h"
#include "gamepad.h"
#include "platform/input/gamepad_host.h"

namespace media {

class GamepadSlots {
public:
    GamepadSlots() { deadZones_.fill(kDefaultDeadZone); }

    /// Reads every slot and queues what changed since the last read: releases and disconnections
    /// first, then connections, presses and axis moves, slot by slot.
    void Read(EventQueue& events);
    /// Empties every slot without events (the window closed); the dead zones stay.
    void Unplug() {
        now_ = {};
        axes_ = {};
    }
    /// The slot as read, and its axes past the dead zone.
    /// @{
    const platform::GamepadState& State(int index) const { return now_[static_cast<std::size_t>(index)]; }
    float Axis(int index, GamepadAxis axis) const { return axes_[static_cast<std::size_t>(index)][static_cast<std::size_t>(axis)]; }
    /// @}
    /// The slot's dead zone (fraction of travel).
    /// @{
    float DeadZone(int index) const { return deadZones_[static_cast<std::size_t>(index)]; }
    void SetDeadZone(int index, float fraction) { deadZones_[static_cast<std::size_t>(index)] = fraction; }
    /// @}

private:
    using Axes = std::array<float, static_cast<std::size_t>(platform::PadAxis::Count)>;
    void QueueSlot(int index, const platform::GamepadState& read, EventQueue& events);

    std::array<platform::GamepadState, kGamepadCount> now_{};
    std::array<Axes, kGamepadCount> axes_{};
    std::array<float, kGamepadCount> deadZones_{};
};

/// A stick's two raw axes past a radial dead zone: 0 inside the circle, then scaled so that the
/// travel left runs from 0 to 1 (the rim, and beyond it clamped).
void ApplyStickDeadZone(std::int16_t rawX, std::int16_t rawY, float deadZone, float& x, float& y);
/// A trigger's raw value past its dead zone, 0..1.
float ApplyTriggerDeadZone(std::int16_t raw, float deadZone);

}  // namespace media
