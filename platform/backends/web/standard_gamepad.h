#pragma once
// The browser's Gamepad API with its standard mapping, turned into a gamepad slot: buttons 0-3
// are the right-hand four (bottom, right, left, top), 4-5 the shoulders, 6-7 the analog triggers,
// 8-9 back and start, 10-11 the sticks pressed, 12-15 the d-pad, 16 the guide; axes 0-3 the two
// sticks, right and down positive. Pads without the standard mapping are left out: their buttons
// have no agreed names.
#include <cstdint>

#include "platform/input/gamepad_host.h"

namespace platform::web {

/// Buttons and axes of the standard mapping.
inline constexpr int kStandardButtons = 17;
inline constexpr int kStandardAxes = 4;

/// A pad as the browser reports it.
struct BrowserPad {
    bool connected = false;
    bool standard = false;  ///< its mapping is "standard"
    int buttonCount = 0, axisCount = 0;
    const bool* pressed = nullptr;   ///< buttonCount entries
    const double* values = nullptr;  ///< buttonCount entries, 0..1 (the triggers' travel)
    const double* axes = nullptr;    ///< axisCount entries, -1..1
    const char* id = "";
};

/// The slot a standard pad fills (an empty slot for anything else).
GamepadState FromStandardMapping(const BrowserPad& pad);

}  // namespace platform::web
