#pragma once
// The keyboard as the page's key events leave it. A browser delivers the events of a turn
// together, between two frames, so a quick tap can go down and up before the game reads the
// keyboard at all: such a key reads as down once, in the next read, and is not lost. A held key
// reads as down until it is let go. Nothing here needs a browser.
#include <cstdint>

#include "platform/input/input_host.h"

namespace platform::web {

class KeyState {
public:
    void Press(std::uint8_t scanCode);
    void Release(std::uint8_t scanCode);
    // Every key up, taps not yet read forgotten: the page lost focus.
    void ReleaseAll();
    // The keys down now or tapped since the last read, bit 7 = down; the taps are then consumed.
    KeyboardState Read();

private:
    KeyboardState held_{};
    KeyboardState tapped_{};
};

}  // namespace platform::web
