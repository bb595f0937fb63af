#pragma once
// The web backend's input devices: the keyboard's state kept from the page's key events (by
// physical key, so the layout does not move the game's keys; a tap between two frames is not
// lost, key_state.h), the mouse's motion, wheel and presses from the canvas's events (a click
// between two frames is not lost either; a release is heard anywhere on the page), and the
// browser's gamepads as joysticks. Keys the game may use do not reach the browser (arrows would
// scroll the page), except with Ctrl or Meta held and for F5, F11 and F12, which stay the
// browser's.
#include <cstdint>
#include <vector>

#include "platform/backends/web/key_state.h"
#include "platform/input/input_host.h"

namespace platform::web {

class WebDevice;

class WebInput final : public InputHost {
public:
    WebInput();
    WebInput(const WebInput&) = delete;
    WebInput& operator=(const WebInput&) = delete;

    HRESULT DirectInputCreate(HINSTANCE instance, std::uint32_t version, std::unique_ptr<DirectInput>* input) override;
    Point CursorPosition() override { return cursor_; }

    // From the page's events.
    void SetKey(std::uint8_t scanCode, bool down) {
        if (down)
            keys_.Press(scanCode);
        else
            keys_.Release(scanCode);
    }
    void SetMouseButton(int button, bool down);
    void AddMotion(std::int32_t dx, std::int32_t dy, std::int32_t dz);
    void SetCursor(Point position) { cursor_ = position; }
    // Every key and button up: the page lost focus, and the browser will not say when they are
    // let go.
    void ReleaseAll();

    KeyboardState ReadKeys() { return keys_.Read(); }
    const std::array<std::uint8_t, 4>& MouseButtons() const { return buttons_; }
    void Register(WebDevice* device) { devices_.push_back(device); }
    void Unregister(WebDevice* device);

private:
    KeyState keys_;
    std::array<std::uint8_t, 4> buttons_{};
    Point cursor_;
    std::vector<WebDevice*> devices_;
};

// The backend's one WebInput, made on first use.
WebInput& Input();

}  // namespace platform::web
