#pragma once
// Scripted gamepads: a test plugs pads into slots, presses their buttons, moves their axes and
// reads back the rumble the program asked for, through GamepadControls().
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "../../input/gamepad_host.h"

namespace platform::headless {

/// The last rumble asked of a slot.
struct RumbleRecord {
    std::uint16_t low = 0, high = 0;
    std::uint32_t ms = 0;
    int count = 0;  ///< rumbles asked since the last Reset
};

class HeadlessGamepads final : public GamepadHost {
public:
    // Test controls.
    /// Every slot empty, no rumble recorded.
    void Reset();
    /// Plugs a pad into the slot (its buttons up, axes at rest) or pulls it out.
    void Connect(int slot, bool connected, std::string_view name = "scripted pad", bool canRumble = true);
    /// A button of the pad in the slot down or up.
    void SetButton(int slot, PadButton button, bool down);
    /// An axis of the pad in the slot, in the raw range of GamepadState::axes.
    void SetAxis(int slot, PadAxis axis, std::int16_t value);
    /// The last rumble asked of the slot.
    const RumbleRecord& Rumbled(int slot) const;

    // GamepadHost.
    void ReadGamepads(std::span<GamepadState> slots) override;
    bool Rumble(int slot, std::uint16_t low, std::uint16_t high, std::uint32_t ms) override;

private:
    std::array<GamepadState, kGamepadSlots> pads_{};
    std::array<RumbleRecord, kGamepadSlots> rumbles_{};
};

/// The headless backend's gamepads.
HeadlessGamepads& GamepadControls();

}  // namespace platform::headless
