#include "platform/input/basic_input_device.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/input/saturate.h"

namespace platform {

namespace {

constexpr std::uint32_t kMaxDeadZone = 10000;
constexpr double kRawHalfTravel = 32767.0;

DeviceKind KindOf(std::uint32_t devType) {
    switch (devType & 0xFF) {
        case DIDEVTYPE_KEYBOARD: return DeviceKind::Keyboard;
        case DIDEVTYPE_MOUSE: return DeviceKind::Mouse;
        default: return DeviceKind::Joystick;
    }
}

DataFormat FormatOf(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Keyboard: return DataFormat::Keyboard;
        case DeviceKind::Mouse: return DataFormat::Mouse;
        case DeviceKind::Joystick: return DataFormat::Joystick;
    }
    return DataFormat::None;
}

bool IsAxisOffset(std::uint32_t offset) { return offset == DIJOFS_X || offset == DIJOFS_Y; }

// Exactly one of each pair of cooperative flags must be given.
bool ValidCooperation(std::uint32_t flags) {
    const bool exclusive = flags & DISCL_EXCLUSIVE, shared = flags & DISCL_NONEXCLUSIVE;
    const bool foreground = flags & DISCL_FOREGROUND, background = flags & DISCL_BACKGROUND;
    return exclusive != shared && foreground != background;
}

}  // namespace

std::uint32_t StateSize(DataFormat format) {
    switch (format) {
        case DataFormat::Keyboard: return kKeyboardStateSize;
        case DataFormat::Mouse: return sizeof(MouseState);
        case DataFormat::Joystick: return sizeof(JoystickState);
        case DataFormat::None: break;
    }
    return 0;
}

std::int32_t ScaleAxis(std::int32_t raw, const AxisSettings& axis) {
    const double centre = (static_cast<double>(axis.minimum) + axis.maximum) / 2.0;
    const double half = (static_cast<double>(axis.maximum) - axis.minimum) / 2.0;
    const double deadZone = std::min(axis.deadZone, kMaxDeadZone) / static_cast<double>(kMaxDeadZone);
    const double travel = std::min(std::abs(raw / kRawHalfTravel), 1.0);
    if (travel <= deadZone || deadZone >= 1.0) return TruncateToInt32(std::round(centre));
    const double beyond = (travel - deadZone) / (1.0 - deadZone);
    return TruncateToInt32(std::round(centre + (raw < 0 ? -beyond : beyond) * half));
}

BasicInputDevice::BasicInputDevice(DeviceInstance instance) : instance_(std::move(instance)), kind_(KindOf(instance_.devType)) {}

HRESULT BasicInputDevice::SetDataFormat(DataFormat format) {
    // The format can change only while the device is not being read, and must suit the device.
    if (acquired_) return E_ACCESSDENIED;
    if (format != FormatOf(kind_)) return E_INVALIDARG;
    format_ = format;
    return S_OK;
}

HRESULT BasicInputDevice::SetCooperativeLevel(HWND window, std::uint32_t flags) {
    if (!ValidCooperation(flags) || ((flags & DISCL_FOREGROUND) && !window)) return E_INVALIDARG;
    window_ = window;
    cooperation_ = flags;
    return S_OK;
}

HRESULT BasicInputDevice::CheckAxisProperty(std::uint32_t axisOffset) {
    if (kind_ != DeviceKind::Joystick || !IsAxisOffset(axisOffset)) return E_INVALIDARG;
    if (acquired_) return E_ACCESSDENIED;
    return Fault(Operation::SetProperty);
}

HRESULT BasicInputDevice::SetAxisRange(std::uint32_t axisOffset, std::int32_t minimum, std::int32_t maximum) {
    if (minimum >= maximum) return E_INVALIDARG;
    if (const HRESULT hr = CheckAxisProperty(axisOffset); Failed(hr)) return hr;
    AxisSettings& axis = axes_[axisOffset == DIJOFS_Y ? 1 : 0];
    axis.minimum = minimum;
    axis.maximum = maximum;
    return S_OK;
}

HRESULT BasicInputDevice::SetAxisDeadZone(std::uint32_t axisOffset, std::uint32_t deadZone) {
    if (deadZone > kMaxDeadZone) return E_INVALIDARG;
    if (const HRESULT hr = CheckAxisProperty(axisOffset); Failed(hr)) return hr;
    axes_[axisOffset == DIJOFS_Y ? 1 : 0].deadZone = deadZone;
    return S_OK;
}

bool BasicInputDevice::WindowAllows() const {
    return !(cooperation_ & DISCL_FOREGROUND) || IsWindowActive(window_);
}

bool BasicInputDevice::StillInForeground() const {
    return !(cooperation_ & DISCL_FOREGROUND) ||
           (IsWindowActive(window_) && window_->deactivations == acquiredDeactivations_);
}

HRESULT BasicInputDevice::Acquire() {
    if (format_ == DataFormat::None) return E_INVALIDARG;
    if (const HRESULT hr = Fault(Operation::Acquire); Failed(hr)) return hr;
    if (!WindowAllows()) return E_ACCESSDENIED;
    if (!Attached()) return E_FAIL;
    if (acquired_ && StillInForeground()) return S_FALSE;
    acquired_ = true;
    if (cooperation_ & DISCL_FOREGROUND) acquiredDeactivations_ = window_->deactivations;
    motionX_ = motionY_ = motionZ_ = 0;
    ForgetPresses();
    return S_OK;
}

HRESULT BasicInputDevice::Unacquire() {
    if (!acquired_) return S_FALSE;
    acquired_ = false;
    return S_OK;
}

HRESULT BasicInputDevice::Poll() {
    if (!acquired_) return DIERR_NOTACQUIRED;
    PollDevice();
    return S_OK;
}

HRESULT BasicInputDevice::GetDeviceState(std::uint32_t size, void* state) {
    if (!state || format_ == DataFormat::None || size != StateSize(format_)) return E_INVALIDARG;
    if (!acquired_) return DIERR_NOTACQUIRED;
    // A foreground device whose window was deactivated since it was acquired, or a device that
    // went away, has lost its acquisition: this read says so and later ones find it not acquired.
    HRESULT hr = StillInForeground() && Attached() ? Fault(Operation::Read) : DIERR_INPUTLOST;
    if (hr == DIERR_INPUTLOST || hr == DIERR_NOTACQUIRED) Unacquire();
    if (Failed(hr)) return hr;
    FillState(state);
    return S_OK;
}

namespace {

// Bytes that show a press latched since the last read as down.
template <std::size_t N>
void AddLatched(std::array<std::uint8_t, N>& bytes, const KeyboardState& latched) {
    static_assert(N <= kKeyboardStateSize);
    for (std::size_t i = 0; i < N; ++i) bytes[i] |= latched[i];
}

}  // namespace

void BasicInputDevice::FillState(void* state) {
    switch (kind_) {
        case DeviceKind::Keyboard: {
            KeyboardState keys{};
            ReadKeys(keys);
            AddLatched(keys, latched_);
            std::memcpy(state, keys.data(), keys.size());
            break;
        }
        case DeviceKind::Mouse: {
            MouseState mouse;
            mouse.x = std::exchange(motionX_, 0);
            mouse.y = std::exchange(motionY_, 0);
            mouse.z = std::exchange(motionZ_, 0);
            ReadMouseButtons(mouse.buttons);
            AddLatched(mouse.buttons, latched_);
            std::memcpy(state, &mouse, sizeof mouse);
            break;
        }
        case DeviceKind::Joystick: {
            JoystickState joystick;
            std::int32_t rawX = 0, rawY = 0;
            ReadJoystick(rawX, rawY, joystick.buttons);
            joystick.x = ScaleAxis(rawX, axes_[0]);
            joystick.y = ScaleAxis(rawY, axes_[1]);
            AddLatched(joystick.buttons, latched_);
            std::memcpy(state, &joystick, sizeof joystick);
            break;
        }
    }
    ForgetPresses();
}

HRESULT BasicInputDevice::GetDeviceInfo(DeviceInstance* info) {
    if (!info) return E_INVALIDARG;
    *info = instance_;
    return S_OK;
}

HRESULT BasicInputDevice::QueryInterface(const Guid& iid, std::shared_ptr<InputDevice>* device) {
    if (!device) return E_INVALIDARG;
    device->reset();
    if (iid != IID_IDirectInputDevice2A) return E_NOINTERFACE;
    if (const HRESULT hr = Fault(Operation::QueryInterface); Failed(hr)) return hr;
    *device = shared_from_this();
    return S_OK;
}

void BasicInputDevice::LatchPress(std::size_t index) {
    if (acquired_ && index < latched_.size()) latched_[index] = 0x80;
}

void BasicInputDevice::AddMotion(std::int32_t dx, std::int32_t dy, std::int32_t dz) {
    if (!acquired_) return;
    motionX_ = SaturatingAdd(motionX_, dx);
    motionY_ = SaturatingAdd(motionY_, dy);
    motionZ_ = SaturatingAdd(motionZ_, dz);
}

}  // namespace platform
