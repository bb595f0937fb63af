#pragma once
// A gamepad plays the game through the game's own keys: the d-pad and the left stick hold the
// arrows, A is P and M (start, and back to the menu), B is ESC, Start is P. The buttons count in
// the frame they go down only, so that one press never runs two screens' keys (A's M leaving the
// lose screen, then its P starting play on the title). Every connected pad counts.
#include <array>
#include <cstdint>

#include "platform/input/gamepad_host.h"

namespace game {

class PadKeys {
public:
    /// Reads the pads once a frame (after the keyboard).
    void Read();
    /// Forgets what the pads held, as at start-up: a button already down counts only once let go.
    void Reset();
    /// Whether the pads hold the game key (a key code of the input tables) in this frame.
    bool Down(std::uint16_t code) const;

private:
    std::array<platform::GamepadState, platform::kGamepadSlots> now_{};
    std::uint32_t held_ = 0;      // buttons down on any pad in this read
    std::uint32_t pressed_ = 0;   // buttons that went down in this read
    bool left_ = false, right_ = false;
};

/// The game's pads.
PadKeys& GamePads();

}  // namespace game
