#pragma once
// Gamepads through SDL's game controller layer and its mapping database: every device SDL
// recognises as a controller is opened when it appears and takes the lowest free slot, which it
// keeps until it is unplugged. Devices are found by polling SDL's device list at each read, so no
// event has to be caught for hot-plug.
#include <array>
#include <cstdint>
#include <span>

#include "platform/input/gamepad_host.h"

struct _SDL_GameController;

namespace platform::sdl {

class SdlGamepads final : public GamepadHost {
public:
    SdlGamepads() = default;
    ~SdlGamepads() override;
    SdlGamepads(const SdlGamepads&) = delete;
    SdlGamepads& operator=(const SdlGamepads&) = delete;

    void ReadGamepads(std::span<GamepadState> slots) override;
    bool Rumble(int slot, std::uint16_t low, std::uint16_t high, std::uint32_t ms) override;

private:
    struct Slot {
        _SDL_GameController* controller = nullptr;
        std::int32_t instance = -1;  // SDL's joystick instance id
    };
    bool Start();
    void DropUnplugged();
    void OpenNew();

    bool started_ = false, failed_ = false;
    std::array<Slot, kGamepadSlots> slots_{};
};

// The backend's one SdlGamepads.
SdlGamepads& Gamepads();

}  // namespace platform::sdl
