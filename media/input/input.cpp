#include "media/input/input.h"

#include <algorithm>
#include <cstdlib>

#include "platform/core/system.h"
#include "platform/input/saturate.h"

namespace media {

using platform::Failed;
using platform::HRESULT;
using platform::Succeeded;

namespace {

// Acquire is tried once and then up to this many more times while it fails.
constexpr int kAcquireRetries = 50;
constexpr std::uint32_t kCooperation = platform::DISCL_NONEXCLUSIVE | platform::DISCL_FOREGROUND;
// The joystick reports each axis in -1000..+1000 with 10% of the travel around the centre as 0.
constexpr std::int32_t kAxisMinimum = -1000;
constexpr std::int32_t kAxisMaximum = 1000;
constexpr std::uint32_t kAxisDeadZone = 1000;
constexpr std::int32_t kWheelNotch = 120;
constexpr std::uint8_t kDownBit = 0x80;
constexpr std::int32_t kErrorNoDevice = -1;
constexpr std::int32_t kErrorCreatedAlready = -1;

HRESULT AcquireWithRetries(platform::InputDevice& device) {
    HRESULT hr = device.Acquire();
    for (int retry = 0; Failed(hr) && retry < kAcquireRetries; ++retry) hr = device.Acquire();
    return hr;
}

// Moves one axis by step: its position and running total, the position then kept below its
// (exclusive) limit and at or above its minimum, in that order; the step is its last delta.
void MoveAxis(std::int32_t& position, std::int32_t& total, std::int32_t& delta, std::int32_t step, std::int32_t minimum,
              std::int32_t limit) {
    total = platform::SaturatingAdd(total, step);
    position = platform::SaturatingAdd(position, step);
    if (position >= limit) position = platform::SaturatingAdd(limit, -1);
    if (position <= minimum) position = minimum;
    delta = step;
}

// A movement scaled by a sensitivity, in single precision as the sensitivity is kept.
std::int32_t Scale(std::int32_t move, float sensitivity) {
    return platform::TruncateToInt32(static_cast<float>(move) * sensitivity);
}

// Whole notches of a turn, kept in a byte: a turn of more than 255 notches counts 255.
std::uint8_t Notches(std::int64_t wheel) {
    return static_cast<std::uint8_t>(std::min<std::int64_t>(wheel / kWheelNotch, 0xFF));
}

// The first attached joystick that can be opened ends the search.
struct JoystickSearch {
    platform::DirectInput* input = nullptr;
    std::shared_ptr<platform::InputDevice> found;
};

int EnumJoystickCallback(const platform::DeviceInstance& instance, void* reference) {
    auto* search = static_cast<JoystickSearch*>(reference);
    return Succeeded(search->input->CreateDevice(instance.instance, &search->found)) ? platform::DIENUM_STOP
                                                                                      : platform::DIENUM_CONTINUE;
}

}  // namespace

Input::Input() { ClearKeyStatus(); }

Input::~Input() {
    if (!directInput_) return;
    if (keyboard_) {
        UnacquireKeyboard();
        keyboard_.reset();
    }
    if (mouse_) {
        UnacquireMouse();
        mouse_.reset();
    }
    if (joystick_) {
        UnacquireJoystick();
        joystick_.reset();
    }
    directInput_.reset();
}

HRESULT Input::Create(platform::HINSTANCE instance, platform::HWND window) {
    // A second call would drop the devices of the first without unacquiring them.
    if (directInput_) return kErrorCreatedAlready;
    window_ = window;
    HRESULT hr = platform::CurrentInputHost().DirectInputCreate(instance, platform::DIRECTINPUT_VERSION, &directInput_);
    if (Failed(hr)) return hr;
    if (hr = CreateMouse(); Failed(hr)) return hr;
    if (hr = CreateKeyboard(); Failed(hr)) return hr;
    return CreateJoystick();
}

HRESULT Input::CreateMouse() {
    if (Failed(directInput_->CreateDevice(platform::GUID_SysMouse, &mouse_))) return platform::S_OK;
    mouse_->SetDataFormat(platform::DataFormat::Mouse);
    mouse_->SetCooperativeLevel(window_, kCooperation);
    // Another application in front only delays the mouse until the window is activated.
    const HRESULT hr = AcquireMouse();
    if (Failed(hr) && hr != platform::E_ACCESSDENIED) return hr;
    const platform::Point cursor = platform::CurrentInputHost().CursorPosition();
    mouseX_ = cursor.x;
    mouseY_ = cursor.y;
    return platform::S_OK;
}

HRESULT Input::CreateKeyboard() {
    if (Failed(directInput_->CreateDevice(platform::GUID_SysKeyboard, &keyboard_))) return platform::S_OK;
    keyboard_->SetDataFormat(platform::DataFormat::Keyboard);
    keyboard_->SetCooperativeLevel(window_, kCooperation);
    const HRESULT hr = AcquireKeyboard();
    if (Failed(hr) && hr != platform::E_ACCESSDENIED) return hr;
    BuildScanToKeyTable(scanToKey_);
    BuildKeyToScanTable(keyToScan_);
    BuildShiftTable(shift_);
    BuildKeyNames(keyNames_);
    return platform::S_OK;
}

HRESULT Input::CreateJoystick() {
    JoystickSearch search{directInput_.get(), nullptr};
    directInput_->EnumDevices(platform::DIDEVTYPE_JOYSTICK, &EnumJoystickCallback, &search, platform::DIEDFL_ATTACHEDONLY);
    if (!search.found) return platform::S_OK;
    // The search's reference is dropped on every path, the polled interface keeps the device.
    HRESULT hr = search.found->QueryInterface(platform::IID_IDirectInputDevice2A, &joystick_);
    search.found.reset();
    if (Failed(hr)) return hr;
    joystick_->SetDataFormat(platform::DataFormat::Joystick);
    joystick_->SetCooperativeLevel(window_, kCooperation);
    for (const std::uint32_t axis : {platform::DIJOFS_X, platform::DIJOFS_Y}) {
        if (hr = joystick_->SetAxisRange(axis, kAxisMinimum, kAxisMaximum); Failed(hr)) return hr;
    }
    for (const std::uint32_t axis : {platform::DIJOFS_X, platform::DIJOFS_Y}) {
        if (hr = joystick_->SetAxisDeadZone(axis, kAxisDeadZone); Failed(hr)) return hr;
    }
    hr = AcquireJoystick();
    if (Failed(hr) && hr != platform::E_ACCESSDENIED) return hr;
    platform::DeviceInstance info;
    joystick_->GetDeviceInfo(&info);
    joystickSubtype_ = (info.devType >> 8) & 0xFF;
    return platform::S_OK;
}

HRESULT Input::Update() {
    if (keyboard_) {
        if (const HRESULT hr = ReadKeyboard(); Failed(hr)) return hr;
    }
    if (mouseAcquired_) {
        if (const HRESULT hr = ReadMouse(); Failed(hr)) return hr;
    }
    if (joystickAcquired_) {
        if (const HRESULT hr = ReadJoystick(); Failed(hr)) return hr;
    }
    return platform::S_OK;
}

HRESULT Input::ReadKeyboard() {
    const HRESULT hr = keyboard_->GetDeviceState(platform::kKeyboardStateSize, keyboardSnapshot_.data());
    if (Failed(hr)) {
        AcquireKeyboard();
        return hr;
    }
    for (std::size_t scanCode = 0; scanCode < kScanCodeCount; ++scanCode) {
        const std::uint32_t code = scanToKey_[scanCode];
        if (code) UpdateKeyStatus(static_cast<std::uint16_t>(code), keyboardSnapshot_[scanCode] & kDownBit);
    }
    return platform::S_OK;
}

std::int32_t Input::Accelerate(std::int32_t move) const {
    const std::int64_t size = std::llabs(move);
    if (size > accelerationThreshold2_) return platform::TruncateToInt32(move * accelerationFactor2_);
    if (size > accelerationThreshold1_) return platform::TruncateToInt32(move * accelerationFactor1_);
    return move;
}

HRESULT Input::ReadMouse() {
    platform::MouseState state;
    const HRESULT hr = mouse_->GetDeviceState(sizeof state, &state);
    if (Failed(hr)) {
        AcquireMouse();
        return hr;
    }
    const std::int32_t dx = Scale(Accelerate(state.x), mouseSensitivity_);
    const std::int32_t dy = Scale(Accelerate(state.y), mouseSensitivity_);
    MoveAxis(mouseX_, mouseTotalX_, mouseDeltaX_, dx, mouseMinX_, mouseLimitX_);
    MoveAxis(mouseY_, mouseTotalY_, mouseDeltaY_, dy, mouseMinY_, mouseLimitY_);
    for (int button = 0; button < kMouseButtonsRead; ++button)
        UpdateKeyStatus(static_cast<std::uint16_t>(KEY_CODE_MOUSE_FIRST + button), state.buttons[button] & kDownBit);
    TurnWheel(state.z);
    return platform::S_OK;
}

void Input::TurnWheel(std::int32_t wheel) {
    if (wheel == 0) {
        // The notch counts keep the last turn.
        wheelUp_ = wheelDown_ = 0;
    } else if (wheel > 0) {
        wheelUp_ = 1;
        wheelUpNotches_ = Notches(wheel);
        wheelDown_ = 0;
    } else {
        wheelDown_ = 1;
        wheelUp_ = 0;
        wheelDownNotches_ = Notches(-std::int64_t{wheel});
    }
}

HRESULT Input::ReadJoystick() {
    joystick_->Poll();
    platform::JoystickState state;
    const HRESULT hr = joystick_->GetDeviceState(sizeof state, &state);
    if (Failed(hr)) {
        AcquireJoystick();
        return hr;
    }
    // The stick's deflection is a speed: the position moves by it every update.
    MoveAxis(joystickX_, joystickTotalX_, joystickDeltaX_, Scale(state.x, joystickSensitivity_), joystickMinX_, joystickLimitX_);
    MoveAxis(joystickY_, joystickTotalY_, joystickDeltaY_, Scale(state.y, joystickSensitivity_), joystickMinY_, joystickLimitY_);
    for (int button = 0; button < kJoystickButtonsRead; ++button)
        UpdateKeyStatus(static_cast<std::uint16_t>(KEY_CODE_JOYSTICK_FIRST + button), state.buttons[button] & kDownBit);
    return platform::S_OK;
}

KeyStatus Input::GetKeyStatus(std::uint16_t code) const {
    return code < kKeyCodeCount ? static_cast<KeyStatus>(keyStatus_[code]) : KEY_UP;
}

void Input::UpdateKeyStatus(std::uint16_t code, bool down) {
    if (code >= kKeyCodeCount) return;
    std::uint8_t& status = keyStatus_[code];
    if (!down) {
        status = status == KEY_PRESSED || status == KEY_HELD ? KEY_RELEASED : KEY_UP;
    } else if (status == KEY_PRESSED) {
        status = KEY_HELD;
    } else if (status != KEY_HELD) {
        status = KEY_PRESSED;
        pressTime_[code] = platform::TimeGetTime();
        pressPosition_[code] = {mouseTotalX_, mouseTotalY_};
    }
}

void Input::ClearKeyStatus() {
    keyStatus_.fill(KEY_UP);
    keyboardSnapshot_.fill(0);
    wheelUp_ = wheelDown_ = 0;
    wheelUpNotches_ = wheelDownNotches_ = 0;
    pressTime_.fill(0);
    pressPosition_.fill({});
}

HRESULT Input::AcquireKeyboard() {
    if (!keyboard_) return kErrorNoDevice;
    keyboardAcquired_ = 1;
    const HRESULT hr = AcquireWithRetries(*keyboard_);
    // Keys that went up or down while the keyboard was away start over from up.
    if (Succeeded(hr))
        ClearKeyStatus();
    else
        keyboardAcquired_ = 0;
    return hr;
}

HRESULT Input::AcquireMouse() {
    if (!mouse_) return kErrorNoDevice;
    mouseAcquired_ = 1;
    const HRESULT hr = AcquireWithRetries(*mouse_);
    // A mouse refused only because another window is in front is tried again on the next read.
    if (Failed(hr) && hr != platform::E_ACCESSDENIED) mouseAcquired_ = 0;
    return hr;
}

HRESULT Input::AcquireJoystick() {
    if (!joystick_) return kErrorNoDevice;
    joystickAcquired_ = 1;
    const HRESULT hr = AcquireWithRetries(*joystick_);
    // As the mouse: refused only because another window is in front, it is tried again on the
    // next read instead of being given up for the rest of the run.
    if (Failed(hr) && hr != platform::E_ACCESSDENIED) joystickAcquired_ = 0;
    return hr;
}

HRESULT Input::UnacquireKeyboard() {
    if (!keyboard_) return kErrorNoDevice;
    ClearKeyStatus();
    keyboardAcquired_ = 0;
    return keyboard_->Unacquire();
}

HRESULT Input::UnacquireMouse() {
    if (!mouse_) return kErrorNoDevice;
    mouseAcquired_ = 0;
    return mouse_->Unacquire();
}

HRESULT Input::UnacquireJoystick() {
    if (!joystick_) return kErrorNoDevice;
    joystickAcquired_ = 0;
    return joystick_->Unacquire();
}

std::uint32_t Input::PressTime(std::uint16_t code) const { return code < kKeyCodeCount ? pressTime_[code] : 0; }

platform::Point Input::PressPosition(std::uint16_t code) const {
    return code < kKeyCodeCount ? pressPosition_[code] : platform::Point{};
}

void Input::SetMouseLimits(std::int32_t minimumX, std::int32_t minimumY, std::int32_t limitX, std::int32_t limitY) {
    mouseMinX_ = minimumX;
    mouseMinY_ = minimumY;
    mouseLimitX_ = limitX;
    mouseLimitY_ = limitY;
}

void Input::SetJoystickLimits(std::int32_t minimumX, std::int32_t minimumY, std::int32_t limitX, std::int32_t limitY) {
    joystickMinX_ = minimumX;
    joystickMinY_ = minimumY;
    joystickLimitX_ = limitX;
    joystickLimitY_ = limitY;
}

void Input::SetAcceleration(std::int32_t threshold1, double factor1, std::int32_t threshold2, double factor2) {
    accelerationThreshold1_ = threshold1;
    accelerationFactor1_ = factor1;
    accelerationThreshold2_ = threshold2;
    accelerationFactor2_ = factor2;
}

}  // namespace media
