#pragma once
// The headless input devices: the keyboard, the mouse and one joystick read what the test set,
// and every creation, acquisition and read can be made to fail. Tests reach it through
// InputControls(); the backend's Reset() resets it too.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fault_switchboard.h"
#include "../../input/input_host.h"

namespace platform {
enum class DeviceKind;  // platform/input/basic_input_device.h
}

namespace platform::headless {


class HeadlessDevice;

/// The headless input devices: a keyboard, a mouse and a joystick whose state a test sets.
class HeadlessInput final : public InputHost {
public:
    HeadlessInput() { Reset(); }

    // Test controls.
    /// Back to a fresh machine: no key or button down, the joystick attached and centred (a
    /// traditional stick), the cursor at (0, 0), no faults, counters at zero. Devices that are
    /// still alive stay, with nothing acquired changed.
    void Reset();
    /// One key (by scan code) up or down, the whole keyboard, and the keyboard as set. A key or
    /// button that goes down is read as down by the next read of each device even when it goes
    /// up again before, as on the desktop.
    /// @{
    void SetKey(std::uint8_t scanCode, bool down);
    void SetKeyboard(const KeyboardState& keys);
    const KeyboardState& Keyboard() const { return keys_; }
    /// @}
    /// Movement reaches every acquired mouse and is reported by its next read.
    void MoveMouse(std::int32_t dx, std::int32_t dy);
    /// Wheel movement, 120 per notch, positive away from the user.
    void TurnWheel(std::int32_t delta);
    /// Mouse button 0..3 up or down.
    void SetMouseButton(int button, bool down);
    /// The pointer's position on the desktop.
    void SetCursorPosition(Point position) { cursor_ = position; }
    /// An unplugged joystick is not enumerated, and one that is open loses its acquisition.
    void AttachJoystick(bool attached) { joystickAttached_ = attached; }
    /// Whether the joystick is plugged in.
    bool JoystickAttached() const { return joystickAttached_; }
    /// Raw stick positions, -32768..32767 with 0 at the centre; reads scale them into the range
    /// and dead zone set on the device.
    void SetJoystickAxes(std::int32_t rawX, std::int32_t rawY) { joystickX_ = rawX, joystickY_ = rawY; }
    /// Joystick button 0..31 up or down, and the joystick's subtype (DIDEVTYPEJOYSTICK_).
    /// @{
    void SetJoystickButton(int button, bool down);
    void SetJoystickSubtype(std::uint8_t subtype) { joystickSubtype_ = subtype; }
    /// @}
    /// The input switches of the fault switchboard (Faults()): fails the next `times` calls of the
    /// operation with `result` (times < 0: every call), after letting the first `after` calls succeed.
    void SetFault(InputFault fault, HRESULT result = E_FAIL, int times = -1, int after = 0);
    /// The same by the operation's name ("ReadKeyboard", ...); false for an unknown name.
    bool SetFault(const std::string& name, HRESULT result = E_FAIL, int times = -1, int after = 0);
    /// Switches every input fault off.
    void ClearFaults();
    /// Calls of an operation since the last Reset, and the joystick's polls.
    /// @{
    int Calls(InputFault operation) const { return Faults().Calls(operation); }
    int PollCalls() const { return pollCalls_; }
    /// @}

    // InputHost.
    HRESULT DirectInputCreate(HINSTANCE, std::uint32_t version, std::unique_ptr<DirectInput>* input) override;
    Point CursorPosition() override { return cursor_; }

    // Used by the devices.
    /// For the headless devices: an operation through its fault switch, a poll counted, a device registered and unregistered, and the state a test set.
    /// @{
    HRESULT Operate(InputFault operation);
    void CountPoll() { ++pollCalls_; }
    void Register(HeadlessDevice* device) { devices_.push_back(device); }
    void Unregister(HeadlessDevice* device);
    const std::array<std::uint8_t, 4>& MouseButtons() const { return mouseButtons_; }
    const std::array<std::uint8_t, 32>& JoystickButtons() const { return joystickButtons_; }
    std::int32_t JoystickX() const { return joystickX_; }
    std::int32_t JoystickY() const { return joystickY_; }
    std::uint8_t JoystickSubtype() const { return joystickSubtype_; }
    /// @}

private:
    // A press reaches every device of the kind (BasicInputDevice::LatchPress).
    void LatchPress(DeviceKind kind, std::size_t index);

    KeyboardState keys_{};
    std::array<std::uint8_t, 4> mouseButtons_{};
    Point cursor_;
    bool joystickAttached_ = true;
    std::int32_t joystickX_ = 0, joystickY_ = 0;
    std::array<std::uint8_t, 32> joystickButtons_{};
    std::uint8_t joystickSubtype_ = DIDEVTYPEJOYSTICK_TRADITIONAL;
    int pollCalls_ = 0;
    std::vector<HeadlessDevice*> devices_;
};

HeadlessInput& InputControls();

}  // namespace platform::headless
