#pragma once
// The SDL2 input devices: the keyboard read through SDL's key state with SDL scancodes turned
// into the keyboard scan codes of the key tables, the mouse's motion and wheel gathered from the
// events between two reads (the pointer is neither grabbed nor hidden) with the buttons from
// SDL's mouse state, and SDL's joysticks. A key, mouse button or joystick button that went down
// and up again between two reads is read as down once, then up. A foreground device follows the
// activation of its window as the window system records it: active from first show, then focus
// changes.
#include <cstdint>
#include <vector>

#include "platform/input/input_host.h"

union SDL_Event;

namespace platform::sdl {

class SdlDevice;

class SdlInput final : public InputHost {
public:
    SdlInput();
    ~SdlInput() override;
    SdlInput(const SdlInput&) = delete;
    SdlInput& operator=(const SdlInput&) = delete;

    HRESULT DirectInputCreate(HINSTANCE instance, std::uint32_t version, std::unique_ptr<DirectInput>* input) override;
    Point CursorPosition() override;

    // Used by the devices and the backend's event pump.
    void Register(SdlDevice* device) { devices_.push_back(device); }
    void Unregister(SdlDevice* device);
    void Observe(const SDL_Event& event);

private:
    // A key or button went down: the devices it belongs to show it in their next read.
    void LatchPress(const SDL_Event& event);

    std::vector<SdlDevice*> devices_;
};

// The SDL scancode of a keyboard scan code, 0 where no key has it: for tests and tools.
int ScancodeForScanCode(std::uint8_t scanCode);

// The backend's one SdlInput, made on first use.
SdlInput& Input();

}  // namespace platform::sdl
