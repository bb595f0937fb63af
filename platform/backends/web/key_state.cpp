#include "platform/backends/web/key_state.h"

namespace platform::web {

namespace {
constexpr std::uint8_t kDown = 0x80;
}

void KeyState::Press(std::uint8_t scanCode) {
    held_[scanCode] = kDown;
    tapped_[scanCode] = kDown;
}

void KeyState::Release(std::uint8_t scanCode) { held_[scanCode] = 0; }

void KeyState::ReleaseAll() {
    held_.fill(0);
    tapped_.fill(0);
}

KeyboardState KeyState::Read() {
    KeyboardState keys;
    for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = held_[i] | tapped_[i];
    tapped_.fill(0);
    return keys;
}

}  // namespace platform::web
