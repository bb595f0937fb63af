#include "platform/backends/web/web_input.h"

#include <emscripten/html5.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/backends/web/input_codes.h"
#include "platform/backends/web/web_shell.h"
#include "platform/input/basic_input_device.h"
#include "platform/video/display_host.h"
#include "platform/window/window.h"

namespace platform {

namespace web {

WebInput& Input() {
    static WebInput input;
    return input;
}

namespace {

constexpr const char* kCanvas = "#canvas";
const DeviceInstance kKeyboard{GUID_SysKeyboard, GUID_SysKeyboard, DIDEVTYPE_KEYBOARD, "Keyboard"};
const DeviceInstance kMouse{GUID_SysMouse, GUID_SysMouse, DIDEVTYPE_MOUSE, "Mouse"};
// Gamepads are named by this first word and the browser's gamepad index in the last bytes.
constexpr std::uint32_t kGamepadGuidTag = 0x5745424A;

Guid GamepadGuid(int index) {
    Guid guid{kGamepadGuidTag, 0, 0, {}};
    for (int i = 0; i < 4; ++i) guid.data4[4 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(index) >> (8 * i));
    return guid;
}

bool ReadGamepad(int index, EmscriptenGamepadEvent* state) {
    return index >= 0 && emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS &&
           emscripten_get_gamepad_status(index, state) == EMSCRIPTEN_RESULT_SUCCESS && state->connected;
}

// The gamepad index a joystick instance names, or -1.
int GamepadIndex(const Guid& guid) {
    if (guid.data1 != kGamepadGuidTag) return -1;
    std::uint32_t index = 0;
    for (int i = 0; i < 4; ++i) index |= std::uint32_t{guid.data4[4 + i]} << (8 * i);
    EmscriptenGamepadEvent state;
    return index < 64 && ReadGamepad(static_cast<int>(index), &state) ? static_cast<int>(index) : -1;
}

DeviceInstance GamepadInstance(int index, const EmscriptenGamepadEvent& state) {
    DeviceInstance instance;
    instance.instance = GamepadGuid(index);
    instance.product = instance.instance;
    // A gamepad with the standard layout is a gamepad; anything else is a plain stick.
    const bool standard = std::strcmp(state.mapping, "standard") == 0;
    instance.devType = DIDEVTYPE_JOYSTICK | (standard ? DIDEVTYPEJOYSTICK_GAMEPAD : DIDEVTYPEJOYSTICK_TRADITIONAL) << 8;
    instance.name = state.id[0] ? state.id : "Gamepad";
    return instance;
}

// Keys whose browser meaning is kept: reload, full screen, developer tools, and any shortcut.
bool LeftToTheBrowser(const EmscriptenKeyboardEvent& event, std::uint8_t scanCode) {
    return event.ctrlKey || event.metaKey || scanCode == 63 || scanCode == 87 || scanCode == 88;
}

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
    const std::uint8_t scanCode = ScanCodeForKeyName(event->code);
    // While text input is on, a key that types goes on to the hidden field, where the browser's
    // layout and input methods make its text.
    const bool types = Shell().TextInputOn() && KeyTypes(event->key);
    if (scanCode == 0) return false;
    Input().SetKey(scanCode, eventType == EMSCRIPTEN_EVENT_KEYDOWN);
    return !types && !LeftToTheBrowser(*event, scanCode);
}

// The pointer on the canvas, in the canvas's pixels (the page scales the canvas to its window).
Point CanvasPosition(const EmscriptenMouseEvent& event) {
    double cssWidth = 0, cssHeight = 0;
    int width = 0, height = 0;
    if (emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight) != EMSCRIPTEN_RESULT_SUCCESS ||
        emscripten_get_canvas_element_size(kCanvas, &width, &height) != EMSCRIPTEN_RESULT_SUCCESS || cssWidth <= 0 ||
        cssHeight <= 0)
        return {static_cast<std::int32_t>(event.targetX), static_cast<std::int32_t>(event.targetY)};
    return {static_cast<std::int32_t>(static_cast<double>(event.targetX) * width / cssWidth),
            static_cast<std::int32_t>(static_cast<double>(event.targetY) * height / cssHeight)};
}

EM_BOOL OnMouse(int eventType, const EmscriptenMouseEvent* event, void*) {
    WebInput& input = Input();
    input.SetCursor(CanvasPosition(*event));
    if (eventType == EMSCRIPTEN_EVENT_MOUSEMOVE) {
        input.AddMotion(static_cast<std::int32_t>(event->movementX), static_cast<std::int32_t>(event->movementY), 0);
        return false;
    }
    input.SetMouseButton(event->button, true);
    return true;
}

// A button let go anywhere: the page's window hears it also when the pointer has left the
// canvas, where the canvas would not. The pointer's place is the one its last move on the canvas
// gave.
EM_BOOL OnMouseUp(int, const EmscriptenMouseEvent* event, void*) {
    Input().SetMouseButton(event->button, false);
    return false;
}

EM_BOOL OnWheel(int, const EmscriptenWheelEvent* event, void*) {
    Input().AddMotion(0, 0, WheelMotion(event->deltaY, event->deltaMode));
    return true;
}

}  // namespace

// One device: the keyboard and the mouse read the host's state, a gamepad the browser's.
class WebDevice final : public BasicInputDevice {
public:
    WebDevice(WebInput& host, DeviceInstance instance, int gamepad)
        : BasicInputDevice(std::move(instance)), host_(host), gamepad_(gamepad) {
        host_.Register(this);
    }
    ~WebDevice() override { host_.Unregister(this); }
    WebDevice(const WebDevice&) = delete;
    WebDevice& operator=(const WebDevice&) = delete;

protected:
    bool Attached() const override {
        EmscriptenGamepadEvent state;
        return Kind() != DeviceKind::Joystick || ReadGamepad(gamepad_, &state);
    }
    void ReadKeys(KeyboardState& keys) override { keys = host_.ReadKeys(); }
    void ReadMouseButtons(std::array<std::uint8_t, 4>& buttons) override { buttons = host_.MouseButtons(); }
    void ReadJoystick(std::int32_t& rawX, std::int32_t& rawY, std::array<std::uint8_t, 32>& buttons) override {
        EmscriptenGamepadEvent state;
        if (!ReadGamepad(gamepad_, &state)) return;
        rawX = state.numAxes > 0 ? RawAxis(state.axis[0]) : 0;
        rawY = state.numAxes > 1 ? RawAxis(state.axis[1]) : 0;
        const int count = std::min<int>(state.numButtons, static_cast<int>(buttons.size()));
        for (int i = 0; i < count; ++i) buttons[static_cast<std::size_t>(i)] = state.digitalButton[i] ? 0x80 : 0;
    }

private:
    WebInput& host_;
    int gamepad_;
};

namespace {

class WebDirectInput final : public DirectInput {
public:
    explicit WebDirectInput(WebInput& host) : host_(host) {}

    HRESULT CreateDevice(const Guid& guid, std::shared_ptr<InputDevice>* device) override {
        if (!device) return E_INVALIDARG;
        device->reset();
        if (guid == GUID_SysKeyboard || guid == GUID_SysMouse) {
            *device = std::make_shared<WebDevice>(host_, guid == GUID_SysKeyboard ? kKeyboard : kMouse, -1);
            return S_OK;
        }
        const int index = GamepadIndex(guid);
        EmscriptenGamepadEvent state;
        if (!ReadGamepad(index, &state)) return DIERR_DEVICENOTREG;
        *device = std::make_shared<WebDevice>(host_, GamepadInstance(index, state), index);
        return S_OK;
    }

    HRESULT EnumDevices(std::uint32_t devType, EnumDevicesCallback callback, void* reference, std::uint32_t) override {
        if (!callback) return E_INVALIDARG;
        std::vector<DeviceInstance> devices{kMouse, kKeyboard};
        // The browser lists a gamepad only once a button was pressed on it while the page showed.
        if ((devType == 0 || devType == DIDEVTYPE_JOYSTICK) && emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS) {
            const int count = emscripten_get_num_gamepads();
            for (int index = 0; index < count; ++index) {
                EmscriptenGamepadEvent state;
                if (ReadGamepad(index, &state)) devices.push_back(GamepadInstance(index, state));
            }
        }
        for (const DeviceInstance& device : devices) {
            const bool wanted = devType == 0 || (device.devType & 0xFF) == devType;
            if (wanted && callback(device, reference) == DIENUM_STOP) break;
        }
        return S_OK;
    }

private:
    WebInput& host_;
};

}  // namespace

WebInput::WebInput() {
    // The backend is made first: it owns the page's focus, which releases held keys.
    CurrentDisplayHost();
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, false, &OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, false, &OnKey);
    emscripten_set_mousemove_callback(kCanvas, nullptr, false, &OnMouse);
    emscripten_set_mousedown_callback(kCanvas, nullptr, false, &OnMouse);
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, false, &OnMouseUp);
    emscripten_set_wheel_callback(kCanvas, nullptr, false, &OnWheel);
}

HRESULT WebInput::DirectInputCreate(HINSTANCE, std::uint32_t version, std::unique_ptr<DirectInput>* input) {
    if (!input) return E_INVALIDARG;
    input->reset();
    if (version == 0 || version > DIRECTINPUT_VERSION) return E_INVALIDARG;
    *input = std::make_unique<WebDirectInput>(*this);
    return S_OK;
}

void WebInput::SetMouseButton(int button, bool down) {
    // The browser numbers left, middle, right, back; the devices left, right, middle, back.
    static constexpr int kOrder[] = {0, 2, 1, 3};
    if (button < 0 || button >= 4) return;
    const auto index = static_cast<std::size_t>(kOrder[button]);
    buttons_[index] = down ? 0x80 : 0;
    // A click quicker than a frame is read as down once, then up (as a tapped key).
    if (!down) return;
    for (WebDevice* device : devices_) {
        if (device->Kind() == DeviceKind::Mouse) device->LatchPress(index);
    }
}

void WebInput::AddMotion(std::int32_t dx, std::int32_t dy, std::int32_t dz) {
    for (WebDevice* device : devices_) {
        if (device->Kind() == DeviceKind::Mouse) device->AddMotion(dx, dy, dz);
    }
}

void WebInput::ReleaseAll() {
    keys_.ReleaseAll();
    buttons_.fill(0);
    for (WebDevice* device : devices_) device->ForgetPresses();
}

void WebInput::Unregister(WebDevice* device) { std::erase(devices_, device); }

}  // namespace web
}  // namespace platform
