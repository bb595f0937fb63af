#include "platform/backends/headless/headless_input.h"

#include <algorithm>

#include "platform/input/basic_input_device.h"

namespace platform {

namespace headless {

namespace {

// The one joystick the headless machine can have.
constexpr Guid kJoystickInstance{0x4A0F0001, 0x0001, 0x0001, {0x80, 0x00, 0x68, 0x65, 0x61, 0x64, 0x6C, 0x73}};
constexpr Guid kJoystickProduct{0x4A0F0002, 0x0001, 0x0001, {0x80, 0x00, 0x68, 0x65, 0x61, 0x64, 0x6C, 0x73}};

static_assert(static_cast<int>(InputFault::AcquireJoystick) - static_cast<int>(InputFault::AcquireKeyboard) ==
              static_cast<int>(DeviceKind::Joystick));
static_assert(static_cast<int>(InputFault::ReadMouse) - static_cast<int>(InputFault::ReadKeyboard) ==
              static_cast<int>(DeviceKind::Mouse));

// The keyboard's fault of an operation, moved to the device's own.
InputFault PerDevice(DeviceKind kind, InputFault keyboard) {
    return static_cast<InputFault>(static_cast<int>(keyboard) + static_cast<int>(kind));
}

}  // namespace

// A device reading the controls' snapshots, failing where the controls say.
class HeadlessDevice final : public BasicInputDevice {
public:
    HeadlessDevice(HeadlessInput& host, DeviceInstance instance) : BasicInputDevice(std::move(instance)), host_(host) {
        host_.Register(this);
    }
    ~HeadlessDevice() override { host_.Unregister(this); }

protected:
    HRESULT Fault(Operation operation) override {
        switch (operation) {
            case Operation::Acquire: return host_.Operate(PerDevice(Kind(), InputFault::AcquireKeyboard));
            case Operation::Read: return host_.Operate(PerDevice(Kind(), InputFault::ReadKeyboard));
            case Operation::QueryInterface: return host_.Operate(InputFault::QueryInterface);
            case Operation::SetProperty: return host_.Operate(InputFault::SetProperty);
        }
        return S_OK;
    }
    bool Attached() const override { return Kind() != DeviceKind::Joystick || host_.JoystickAttached(); }
    void PollDevice() override { host_.CountPoll(); }
    void ReadKeys(KeyboardState& keys) override { keys = host_.Keyboard(); }
    void ReadMouseButtons(std::array<std::uint8_t, 4>& buttons) override { buttons = host_.MouseButtons(); }
    void ReadJoystick(std::int32_t& rawX, std::int32_t& rawY, std::array<std::uint8_t, 32>& buttons) override {
        rawX = host_.JoystickX();
        rawY = host_.JoystickY();
        buttons = host_.JoystickButtons();
    }

private:
    HeadlessInput& host_;
};

namespace {

class HeadlessDirectInput final : public DirectInput {
public:
    explicit HeadlessDirectInput(HeadlessInput& host) : host_(host) {}

    HRESULT CreateDevice(const Guid& guid, std::shared_ptr<InputDevice>* device) override {
        if (!device) return E_INVALIDARG;
        device->reset();
        DeviceInstance instance;
        InputFault creation;
        if (guid == GUID_SysKeyboard) {
            instance = {GUID_SysKeyboard, GUID_SysKeyboard, DIDEVTYPE_KEYBOARD, "Keyboard"};
            creation = InputFault::CreateKeyboard;
        } else if (guid == GUID_SysMouse) {
            instance = {GUID_SysMouse, GUID_SysMouse, DIDEVTYPE_MOUSE, "Mouse"};
            creation = InputFault::CreateMouse;
        } else if (guid == kJoystickInstance && host_.JoystickAttached()) {
            instance = JoystickInstance();
            creation = InputFault::CreateJoystick;
        } else {
            return DIERR_DEVICENOTREG;
        }
        if (const HRESULT hr = host_.Operate(creation); Failed(hr)) return hr;
        *device = std::make_shared<HeadlessDevice>(host_, std::move(instance));
        return S_OK;
    }

    HRESULT EnumDevices(std::uint32_t devType, EnumDevicesCallback callback, void* reference, std::uint32_t) override {
        if (!callback) return E_INVALIDARG;
        // Only the joystick can be missing, so attached-only changes nothing else.
        const DeviceInstance devices[] = {{GUID_SysMouse, GUID_SysMouse, DIDEVTYPE_MOUSE, "Mouse"},
                                          {GUID_SysKeyboard, GUID_SysKeyboard, DIDEVTYPE_KEYBOARD, "Keyboard"},
                                          JoystickInstance()};
        for (const DeviceInstance& device : devices) {
            const bool wanted = devType == 0 || (device.devType & 0xFF) == devType;
            const bool present = (device.devType & 0xFF) != DIDEVTYPE_JOYSTICK || host_.JoystickAttached();
            if (wanted && present && callback(device, reference) == DIENUM_STOP) break;
        }
        return S_OK;
    }

private:
    DeviceInstance JoystickInstance() const {
        return {kJoystickInstance, kJoystickProduct, DIDEVTYPE_JOYSTICK | (std::uint32_t{host_.JoystickSubtype()} << 8),
                "Headless joystick"};
    }

    HeadlessInput& host_;
};

}  // namespace

HeadlessInput& InputControls() {
    static HeadlessInput input;
    return input;
}

void HeadlessInput::Reset() {
    keys_.fill(0);
    mouseButtons_.fill(0);
    cursor_ = {};
    joystickAttached_ = true;
    joystickX_ = joystickY_ = 0;
    joystickButtons_.fill(0);
    joystickSubtype_ = DIDEVTYPEJOYSTICK_TRADITIONAL;
    ClearFaults();
    Faults().ClearCalls(FaultGroup::Input);
    pollCalls_ = 0;
    for (HeadlessDevice* device : devices_) device->ForgetPresses();
}

void HeadlessInput::LatchPress(DeviceKind kind, std::size_t index) {
    for (HeadlessDevice* device : devices_) {
        if (device->Kind() == kind) device->LatchPress(index);
    }
}

void HeadlessInput::SetKey(std::uint8_t scanCode, bool down) {
    keys_[scanCode] = down ? 0x80 : 0;
    if (down) LatchPress(DeviceKind::Keyboard, scanCode);
}

void HeadlessInput::SetKeyboard(const KeyboardState& keys) {
    keys_ = keys;
    for (std::size_t scan = 0; scan < keys.size(); ++scan) {
        if (keys[scan] & 0x80) LatchPress(DeviceKind::Keyboard, scan);
    }
}

void HeadlessInput::MoveMouse(std::int32_t dx, std::int32_t dy) {
    for (HeadlessDevice* device : devices_) {
        if (device->Kind() == DeviceKind::Mouse) device->AddMotion(dx, dy, 0);
    }
}

void HeadlessInput::TurnWheel(std::int32_t delta) {
    for (HeadlessDevice* device : devices_) {
        if (device->Kind() == DeviceKind::Mouse) device->AddMotion(0, 0, delta);
    }
}

void HeadlessInput::SetMouseButton(int button, bool down) {
    if (button < 0 || button >= static_cast<int>(mouseButtons_.size())) return;
    mouseButtons_[static_cast<std::size_t>(button)] = down ? 0x80 : 0;
    if (down) LatchPress(DeviceKind::Mouse, static_cast<std::size_t>(button));
}

void HeadlessInput::SetJoystickButton(int button, bool down) {
    if (button < 0 || button >= static_cast<int>(joystickButtons_.size())) return;
    joystickButtons_[static_cast<std::size_t>(button)] = down ? 0x80 : 0;
    if (down) LatchPress(DeviceKind::Joystick, static_cast<std::size_t>(button));
}

void HeadlessInput::SetFault(InputFault fault, HRESULT result, int times, int after) { Faults().Set(fault, result, times, after); }

bool HeadlessInput::SetFault(const std::string& name, HRESULT result, int times, int after) {
    return Faults().Set("input." + name, result, times, after);
}

void HeadlessInput::ClearFaults() { Faults().Clear(FaultGroup::Input); }

HRESULT HeadlessInput::Operate(InputFault operation) { return Faults().Take(operation); }

void HeadlessInput::Unregister(HeadlessDevice* device) { std::erase(devices_, device); }

HRESULT HeadlessInput::DirectInputCreate(HINSTANCE, std::uint32_t version, std::unique_ptr<DirectInput>* input) {
    if (!input) return E_INVALIDARG;
    input->reset();
    if (version == 0 || version > DIRECTINPUT_VERSION) return E_INVALIDARG;
    if (const HRESULT hr = Operate(InputFault::DirectInputCreate); Failed(hr)) return hr;
    *input = std::make_unique<HeadlessDirectInput>(*this);
    return S_OK;
}

}  // namespace headless
}  // namespace platform
