#include "platform/backends/web/web_gamepads.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/backends/web/standard_gamepad.h"

namespace platform::web {

namespace {

// The pad's "dual-rumble" effect; false where the browser or the pad has none.
EM_JS(int, PlayRumble, (int index, double strong, double weak, int ms), {
    const pads = navigator.getGamepads ? navigator.getGamepads() : [];
    const pad = pads[index];
    if (!pad || !pad.vibrationActuator || !pad.vibrationActuator.playEffect) return 0;
    pad.vibrationActuator.playEffect("dual-rumble", {duration : ms, strongMagnitude : strong, weakMagnitude : weak}).catch(() => {});
    return 1;
});

}  // namespace

WebGamepads& Gamepads() {
    static WebGamepads pads;
    return pads;
}

void WebGamepads::ReadGamepads(std::span<GamepadState> slots) {
    for (GamepadState& slot : slots) slot = {};
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return;
    const int count = std::min<int>(emscripten_get_num_gamepads(), static_cast<int>(slots.size()));
    for (int index = 0; index < count; ++index) {
        EmscriptenGamepadEvent pad;
        if (emscripten_get_gamepad_status(index, &pad) != EMSCRIPTEN_RESULT_SUCCESS) continue;
        std::array<bool, 64> pressed{};
        for (int b = 0; b < pad.numButtons && b < 64; ++b) pressed[static_cast<std::size_t>(b)] = pad.digitalButton[b] != 0;
        const BrowserPad browser{pad.connected != 0, std::strcmp(pad.mapping, "standard") == 0, pad.numButtons, pad.numAxes,
                                 pressed.data(), pad.analogButton, pad.axis, pad.id};
        slots[static_cast<std::size_t>(index)] = FromStandardMapping(browser);
    }
}

bool WebGamepads::Rumble(int slot, std::uint16_t low, std::uint16_t high, std::uint32_t ms) {
    // The low-frequency motor is the strong one.
    return slot >= 0 && PlayRumble(slot, low / 65535.0, high / 65535.0, static_cast<int>(ms)) != 0;
}

}  // namespace platform::web
