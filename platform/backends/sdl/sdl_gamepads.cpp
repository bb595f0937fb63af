#include "platform/backends/sdl/sdl_gamepads.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace platform::sdl {

namespace {

constexpr std::array<SDL_GameControllerButton, static_cast<std::size_t>(PadButton::Count)> kButtons = {
    SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_BACK, SDL_CONTROLLER_BUTTON_GUIDE, SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_LEFTSTICK, SDL_CONTROLLER_BUTTON_RIGHTSTICK,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_CONTROLLER_BUTTON_DPAD_RIGHT};

constexpr std::array<SDL_GameControllerAxis, static_cast<std::size_t>(PadAxis::Count)> kAxes = {
    SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY, SDL_CONTROLLER_AXIS_RIGHTX, SDL_CONTROLLER_AXIS_RIGHTY,
    SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT};

}  // namespace

SdlGamepads& Gamepads() {
    static SdlGamepads pads;
    return pads;
}

SdlGamepads::~SdlGamepads() {
    for (Slot& slot : slots_) {
        if (slot.controller) SDL_GameControllerClose(slot.controller);
    }
    if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

// The controller subsystem starts on the first read, so a program that never asks for pads never
// opens the devices.
bool SdlGamepads::Start() {
    if (started_ || failed_) return started_;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "no gamepads: SDL says: %s\n", SDL_GetError());
        failed_ = true;
        return false;
    }
    started_ = true;
    return true;
}

void SdlGamepads::DropUnplugged() {
    for (Slot& slot : slots_) {
        if (slot.controller && !SDL_GameControllerGetAttached(slot.controller)) {
            SDL_GameControllerClose(slot.controller);
            slot = {};
        }
    }
}

void SdlGamepads::OpenNew() {
    const int count = SDL_NumJoysticks();
    for (int device = 0; device < count; ++device) {
        if (!SDL_IsGameController(device)) continue;
        const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(device);
        if (std::ranges::any_of(slots_, [instance](const Slot& slot) { return slot.instance == instance; })) continue;
        const auto free = std::ranges::find(slots_, nullptr, &Slot::controller);
        if (free == slots_.end()) return;
        if (SDL_GameController* controller = SDL_GameControllerOpen(device)) *free = {controller, instance};
    }
}

void SdlGamepads::ReadGamepads(std::span<GamepadState> read) {
    for (GamepadState& state : read) state = {};
    if (!Start()) return;
    // Brings SDL's device list and every controller's state up to date, whoever pumps events.
    SDL_GameControllerUpdate();
    DropUnplugged();
    OpenNew();
    const std::size_t count = std::min(read.size(), slots_.size());
    for (std::size_t i = 0; i < count; ++i) {
        SDL_GameController* controller = slots_[i].controller;
        if (!controller) continue;
        GamepadState& state = read[i];
        state.connected = true;
        state.canRumble = SDL_GameControllerHasRumble(controller) == SDL_TRUE;
        for (std::size_t b = 0; b < kButtons.size(); ++b) {
            if (SDL_GameControllerGetButton(controller, kButtons[b])) state.buttons |= 1u << b;
        }
        for (std::size_t a = 0; a < kAxes.size(); ++a) state.axes[a] = SDL_GameControllerGetAxis(controller, kAxes[a]);
        const char* name = SDL_GameControllerName(controller);
        if (name) std::strncpy(state.name.data(), name, state.name.size() - 1);
    }
}

bool SdlGamepads::Rumble(int slot, std::uint16_t low, std::uint16_t high, std::uint32_t ms) {
    if (slot < 0 || slot >= kGamepadSlots) return false;
    SDL_GameController* controller = slots_[static_cast<std::size_t>(slot)].controller;
    return controller && SDL_GameControllerRumble(controller, low, high, ms) == 0;
}

}  // namespace platform::sdl
