#pragma once
// Gamepads in the browser: the Gamepad API's pads with the standard mapping, each in the slot of
// its browser index (browsers keep a pad's index while it is connected and give a new pad the
// lowest free one, as the slots do). Rumble goes to the pad's vibration actuator where the
// browser has one.
#include <span>

#include "platform/input/gamepad_host.h"

namespace platform::web {

class WebGamepads final : public GamepadHost {
public:
    void ReadGamepads(std::span<GamepadState> slots) override;
    bool Rumble(int slot, std::uint16_t low, std::uint16_t high, std::uint32_t ms) override;
};

WebGamepads& Gamepads();

}  // namespace platform::web
