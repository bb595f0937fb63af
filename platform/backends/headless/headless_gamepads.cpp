#include "platform/backends/headless/headless_gamepads.h"

#include <algorithm>

namespace platform::headless {

namespace {

bool InRange(int slot) { return slot >= 0 && slot < kGamepadSlots; }

}  // namespace

HeadlessGamepads& GamepadControls() {
    static HeadlessGamepads pads;
    return pads;
}

void HeadlessGamepads::Reset() {
    pads_ = {};
    rumbles_ = {};
}

void HeadlessGamepads::Connect(int slot, bool connected, std::string_view name, bool canRumble) {
    if (!InRange(slot)) return;
    GamepadState& pad = pads_[static_cast<std::size_t>(slot)];
    pad = {};
    if (!connected) return;
    pad.connected = true;
    pad.canRumble = canRumble;
    const std::size_t length = std::min(name.size(), pad.name.size() - 1);
    std::copy_n(name.begin(), length, pad.name.begin());
}

void HeadlessGamepads::SetButton(int slot, PadButton button, bool down) {
    if (!InRange(slot)) return;
    std::uint32_t& buttons = pads_[static_cast<std::size_t>(slot)].buttons;
    const std::uint32_t bit = 1u << static_cast<unsigned>(button);
    buttons = down ? buttons | bit : buttons & ~bit;
}

void HeadlessGamepads::SetAxis(int slot, PadAxis axis, std::int16_t value) {
    if (InRange(slot)) pads_[static_cast<std::size_t>(slot)].axes[static_cast<std::size_t>(axis)] = value;
}

const RumbleRecord& HeadlessGamepads::Rumbled(int slot) const {
    static const RumbleRecord none;
    return InRange(slot) ? rumbles_[static_cast<std::size_t>(slot)] : none;
}

void HeadlessGamepads::ReadGamepads(std::span<GamepadState> slots) {
    for (std::size_t i = 0; i < slots.size(); ++i) slots[i] = i < pads_.size() ? pads_[i] : GamepadState{};
}

bool HeadlessGamepads::Rumble(int slot, std::uint16_t low, std::uint16_t high, std::uint32_t ms) {
    if (!InRange(slot)) return false;
    const GamepadState& pad = pads_[static_cast<std::size_t>(slot)];
    if (!pad.connected || !pad.canRumble) return false;
    RumbleRecord& record = rumbles_[static_cast<std::size_t>(slot)];
    record = {low, high, ms, record.count + 1};
    return true;
}

}  // namespace platform::headless
