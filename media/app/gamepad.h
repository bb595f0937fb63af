#pragma once
// A gamepad by its slot, with the buttons and axes every pad has whatever its make (the system's
// controller mapping), read once a frame by its window:
//
//     media::Gamepad pad(window, 0);
//     if (pad.IsButtonDown(media::GamepadButton::A)) Jump();
//     x += pad.Axis(media::GamepadAxis::LeftX) * speed * dt;
//
// A pad keeps its slot while it is connected; a pad plugged in takes the lowest free slot. The
// window's events tell of pads plugged in and out (GamepadConnected, GamepadDisconnected) and of
// their buttons and axes. A Gamepad outliving its window reads as not connected; while its window
// is closed it reads no pad, and once the window is opened again it reads the pads there.
#include <cstdint>
#include <memory>

#include "status.h"

namespace media {

class GamepadSlots;
class Window;

/// Gamepad slots a window reads.
inline constexpr int kGamepadCount = 8;

/// A gamepad's buttons, named by their place on a pad of the common layout (A at the bottom of the
/// right-hand four).
enum class GamepadButton : std::uint8_t {
    A, B, X, Y,
    Back, Guide, Start,
    LeftStick, RightStick,        ///< the sticks pressed in
    LeftShoulder, RightShoulder,
    DpadUp, DpadDown, DpadLeft, DpadRight,
};

/// A gamepad's axes: sticks -1..1 (right and down positive), triggers 0..1.
enum class GamepadAxis : std::uint8_t { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger };

/// The dead zone a slot starts with: a tenth of the way out.
inline constexpr float kDefaultDeadZone = 0.1f;

/// One gamepad slot of a window.
class Gamepad {
public:
    /// The pad in the window's slot index (0..kGamepadCount-1).
    Gamepad(const Window& window, int index);

    /// The slot.
    int Index() const { return index_; }
    /// True while a pad is plugged into the slot (as read at the start of this frame).
    bool IsConnected() const;
    /// The pad's name for people; empty without a pad.
    const char* Name() const;
    /// True while the button is down.
    bool IsButtonDown(GamepadButton button) const;
    /// The axis past the dead zone: a stick reads 0 until it leaves a circle of the dead zone's
    /// radius and then runs smoothly to 1 at the rim; a trigger likewise from its rest.
    float Axis(GamepadAxis axis) const;
    /// The dead zone as a fraction of the axis's travel (0..0.95); kDefaultDeadZone until set.
    /// @{
    Status SetDeadZone(float fraction);
    float DeadZone() const;
    /// @}
    /// Runs the pad's motors (low- and high-frequency, 0..1 each) for the given seconds; 0, 0 stops them.
    Status Rumble(float low, float high, float seconds);

private:
    std::weak_ptr<GamepadSlots> slots_;
    int index_;
};

}  // namespace media
