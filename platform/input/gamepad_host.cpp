#include "platform/input/gamepad_host.h"

#include "platform/core/backend.h"

namespace platform {

namespace {

class NoGamepads final : public GamepadHost {
public:
    void ReadGamepads(std::span<GamepadState> slots) override {
        for (GamepadState& slot : slots) slot = {};
    }
    bool Rumble(int, std::uint16_t, std::uint16_t, std::uint32_t) override { return false; }
};

}  // namespace

GamepadHost& CurrentGamepadHost() {
    static NoGamepads none;
    const Backend& backend = CurrentBackend();
    return backend.gamepads ? backend.gamepads() : none;
}

}  // namespace platform
