#pragma once
// What every backend's input devices share: the data format, the cooperative level and the
// acquisition rules, the joystick axis properties and the mouse movement gathered between reads.
// A backend derives from it and supplies the device's current keys, buttons and axes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/input/input_host.h"

namespace platform {

enum class DeviceKind { Keyboard, Mouse, Joystick };

// Range and dead zone of one joystick axis; a new device reports 0..65535 with no dead zone.
struct AxisSettings {
    std::int32_t minimum = 0;
    std::int32_t maximum = 65535;
    std::uint32_t deadZone = 0;  // ten-thousandths of the range around the centre
};

// A raw axis position (-32768..32767, centre 0) in an axis's range: inside the dead zone it is
// the centre, beyond it the rest of the travel is spread over the half range, rounded.
std::int32_t ScaleAxis(std::int32_t raw, const AxisSettings& axis);

class BasicInputDevice : public InputDevice, public std::enable_shared_from_this<BasicInputDevice> {
public:
    explicit BasicInputDevice(DeviceInstance instance);

    HRESULT SetDataFormat(DataFormat format) override;
    HRESULT SetCooperativeLevel(HWND window, std::uint32_t flags) override;
    HRESULT SetAxisRange(std::uint32_t axisOffset, std::int32_t minimum, std::int32_t maximum) override;
    HRESULT SetAxisDeadZone(std::uint32_t axisOffset, std::uint32_t deadZone) override;
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    HRESULT Poll() override;
    HRESULT GetDeviceState(std::uint32_t size, void* state) override;
    HRESULT GetDeviceInfo(DeviceInstance* info) override;
    HRESULT QueryInterface(const Guid& iid, std::shared_ptr<InputDevice>* device) override;

    DeviceKind Kind() const { return kind_; }
    bool Acquired() const { return acquired_; }
    // Mouse movement that arrived since the last read; kept only while acquired, as a device
    // that is not acquired reports nothing. Sums saturate at the 32-bit limits.
    void AddMotion(std::int32_t dx, std::int32_t dy, std::int32_t dz);
    // A key (by scan code) or button (by number) went down: the next read shows it down even when
    // it went up again before that read, and the read after shows it as it is then. So a press
    // shorter than the time between two reads is not lost. Kept only while acquired.
    void LatchPress(std::size_t index);
    // Presses not yet read are forgotten (the backend let go of everything).
    void ForgetPresses() { latched_.fill(0); }
    const AxisSettings& Axis(std::uint32_t axisOffset) const { return axes_[axisOffset == DIJOFS_Y ? 1 : 0]; }

protected:
    enum class Operation { Acquire, Read, QueryInterface, SetProperty };

    // The backend's injected failure for an operation, S_OK to go ahead (headless tests).
    virtual HRESULT Fault(Operation) { return S_OK; }
    // False once the device has gone away (an unplugged joystick).
    virtual bool Attached() const { return true; }
    virtual void PollDevice() {}
    // The current state of the device: the keys by scan code, the mouse buttons, the joystick's
    // raw axes (-32768..32767) and buttons; each bit 7 = down.
    virtual void ReadKeys(KeyboardState&) {}
    virtual void ReadMouseButtons(std::array<std::uint8_t, 4>&) {}
    virtual void ReadJoystick(std::int32_t& /*rawX*/, std::int32_t& /*rawY*/, std::array<std::uint8_t, 32>&) {}

private:
    bool WindowAllows() const;
    bool StillInForeground() const;
    HRESULT CheckAxisProperty(std::uint32_t axisOffset);
    void FillState(void* state);

    DeviceInstance instance_;
    DeviceKind kind_;
    DataFormat format_ = DataFormat::None;
    HWND window_ = nullptr;
    std::uint32_t cooperation_ = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    bool acquired_ = false;
    // The window's deactivation count when the device was acquired: any deactivation since
    // then has taken the acquisition away, even one that was undone before the next read.
    std::uint32_t acquiredDeactivations_ = 0;
    std::int32_t motionX_ = 0, motionY_ = 0, motionZ_ = 0;
    KeyboardState latched_{};  // presses since the last read, bit 7 set, by scan code or button
    std::array<AxisSettings, 2> axes_{};
};

}  // namespace platform
