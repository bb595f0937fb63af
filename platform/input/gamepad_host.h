#pragma once
// Gamepads as the system's controller layer maps them: every pad has the same named buttons and
// axes whatever its make (SDL's game controller database on the desktop, the Gamepad API's
// standard mapping in the browser). Pads sit in numbered slots: a pad keeps its slot while it is
// connected, and a pad plugged in takes the lowest free slot. A backend without gamepads
// (Backend::gamepads left null) gets the stand-in of CurrentGamepadHost, whose slots stay empty.
#include <array>
#include <cstdint>
#include <span>

namespace platform {

/// Gamepad slots a program can read.
inline constexpr int kGamepadSlots = 8;

/// Button bits of GamepadState::buttons, in the controller layer's order.
enum class PadButton : std::uint8_t {
    A, B, X, Y, Back, Guide, Start, LeftStick, RightStick, LeftShoulder, RightShoulder,
    DpadUp, DpadDown, DpadLeft, DpadRight, Count
};

/// Axes of GamepadState::axes: sticks -32768..32767 (right and down positive), triggers 0..32767.
enum class PadAxis : std::uint8_t { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger, Count };

/// One slot as read now.
struct GamepadState {
    bool connected = false;
    bool canRumble = false;
    std::uint32_t buttons = 0;  ///< bit n: PadButton n down
    std::array<std::int16_t, static_cast<int>(PadAxis::Count)> axes{};
    std::array<char, 64> name{};  ///< the pad's name for people, NUL-terminated
};

/// What a backend provides for gamepads.
class GamepadHost {
public:
    virtual ~GamepadHost() = default;
    /// Reads every slot (at most kGamepadSlots) into slots: pads plugged in or out since the last
    /// read show up here.
    virtual void ReadGamepads(std::span<GamepadState> slots) = 0;
    /// Rumbles the pad in the slot: low- and high-frequency motors 0..65535, for ms milliseconds
    /// (0 stops it). False when the slot is empty or the pad cannot rumble.
    virtual bool Rumble(int slot, std::uint16_t low, std::uint16_t high, std::uint32_t ms) = 0;
};

/// The chosen backend's part, or a stand-in with every slot empty.
GamepadHost& CurrentGamepadHost();

}  // namespace platform
