#pragma once
// Input devices: the stand-in for the OS's keyboard, mouse and joystick interfaces. An input
// system (DirectInput) makes devices; a device is given a data format and a cooperative level
// with a window, is acquired, and then hands out one fixed-size state per read. Reads fail while
// the device is not acquired, and a foreground device loses its acquisition when its window
// stops being the active one.
//
// The chosen backend answers CurrentInputHost(): the headless backend reads snapshots
// set by tests, the SDL backend reads the real keyboard, mouse and first joystick.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "../core/geometry.h"
#include "../core/guid.h"
#include "../core/result_codes.h"
#include "../window/window.h"

namespace platform {

using HINSTANCE = void*;  ///< the program instance

/// The input system version programs ask for.
inline constexpr std::uint32_t DIRECTINPUT_VERSION = 0x0700;

/// Devices of the system, and the interface a joystick is asked for before it is polled.
/// @{
inline constexpr Guid GUID_SysMouse{0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr Guid GUID_SysKeyboard{0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr Guid IID_IDirectInputDevice2A{0x5944E682, 0xC92E, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
/// @}

inline constexpr HRESULT S_FALSE = 1;  ///< success, nothing to do (already acquired, not acquired)
/// The device has no interface of that kind.
inline constexpr HRESULT E_NOINTERFACE = Code(0x80004002);
inline constexpr HRESULT DIERR_DEVICENOTREG = Code(0x80040154);  ///< no such device

/// Device types (low byte of a device type) and joystick subtypes (its second byte).
/// @{
inline constexpr std::uint32_t DIDEVTYPE_MOUSE = 2;
inline constexpr std::uint32_t DIDEVTYPE_KEYBOARD = 3;
inline constexpr std::uint32_t DIDEVTYPE_JOYSTICK = 4;
inline constexpr std::uint32_t DIDEVTYPEJOYSTICK_TRADITIONAL = 2;
inline constexpr std::uint32_t DIDEVTYPEJOYSTICK_FLIGHTSTICK = 3;
inline constexpr std::uint32_t DIDEVTYPEJOYSTICK_GAMEPAD = 4;
inline constexpr std::uint32_t DIDEVTYPEJOYSTICK_WHEEL = 6;
inline constexpr std::uint32_t DIEDFL_ATTACHEDONLY = 1;
inline constexpr int DIENUM_STOP = 0;
inline constexpr int DIENUM_CONTINUE = 1;
/// @}

/// Cooperative levels: a foreground device can be acquired only while its window is active.
/// @{
inline constexpr std::uint32_t DISCL_EXCLUSIVE = 0x1;
inline constexpr std::uint32_t DISCL_NONEXCLUSIVE = 0x2;
inline constexpr std::uint32_t DISCL_FOREGROUND = 0x4;
inline constexpr std::uint32_t DISCL_BACKGROUND = 0x8;
/// @}

/// Joystick axes by their offset in JoystickState.
/// @{
inline constexpr std::uint32_t DIJOFS_X = 0;
inline constexpr std::uint32_t DIJOFS_Y = 4;
/// @}

/// The published state formats. A keyboard state is 256 bytes indexed by scan code, bit 7 = down.
enum class DataFormat { None, Keyboard, Mouse, Joystick };

/// A keyboard state: 256 bytes indexed by scan code, bit 7 = down.
/// @{
inline constexpr std::uint32_t kKeyboardStateSize = 256;
using KeyboardState = std::array<std::uint8_t, kKeyboardStateSize>;
/// @}

/// Movement since the previous read (wheel: 120 per notch, positive away from the user) and the
/// buttons, bit 7 = down.
struct MouseState {
    /// Moves on each axis (z: the wheel).
    /// @{
    std::int32_t x = 0, y = 0, z = 0;
    /// @}
    /// Buttons, bit 7 = down.
    std::array<std::uint8_t, 4> buttons{};
};
static_assert(sizeof(MouseState) == 16);

/// Axes in the range set on the device (by default -1000..+1000 for x and y), buttons bit 7 = down.
struct JoystickState {
    /// Axes and rotations.
    /// @{
    std::int32_t x = 0, y = 0, z = 0, rx = 0, ry = 0, rz = 0;
    /// @}
    /// Sliders.
    std::array<std::int32_t, 2> sliders{};
    /// Point-of-view hats.
    std::array<std::uint32_t, 4> pov{};
    /// Buttons, bit 7 = down.
    std::array<std::uint8_t, 32> buttons{};
};
static_assert(sizeof(JoystickState) == 80);

/// Bytes of a state in the data format (0 for None).
std::uint32_t StateSize(DataFormat format);

/// One device as the input system lists it.
struct DeviceInstance {
    /// This device.
    Guid instance;
    /// Its kind of product.
    Guid product;
    std::uint32_t devType = 0;  ///< type in the low byte, subtype in the second
    /// Its name for people.
    std::string name;
};

/// One input device (keyboard, mouse or joystick): acquired, then read.
class InputDevice {
public:
    virtual ~InputDevice() = default;

    /// The state format GetDeviceState gives.
    virtual HRESULT SetDataFormat(DataFormat format) = 0;
    /// Foreground or background, exclusive or not (DISCL_ flags), for the window.
    virtual HRESULT SetCooperativeLevel(HWND window, std::uint32_t flags) = 0;
    /// DIPROP_RANGE and DIPROP_DEADZONE of one joystick axis, named by its offset; a dead zone
    /// is in ten-thousandths of the range.
    virtual HRESULT SetAxisRange(std::uint32_t axisOffset, std::int32_t minimum, std::int32_t maximum) = 0;
    /// Axis dead zone; acquiring and releasing the device; reading a polled device's state now.
    /// @{
    virtual HRESULT SetAxisDeadZone(std::uint32_t axisOffset, std::uint32_t deadZone) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    virtual HRESULT Poll() = 0;
    /// @}
    /// Copies the current state, exactly size bytes of the device's data format.
    virtual HRESULT GetDeviceState(std::uint32_t size, void* state) = 0;
    /// What the device is.
    virtual HRESULT GetDeviceInfo(DeviceInstance* info) = 0;
    /// Another interface of the same device (IID_IDirectInputDevice2A): a second reference to it.
    virtual HRESULT QueryInterface(const Guid& iid, std::shared_ptr<InputDevice>* device) = 0;
};

/// Called for each device EnumDevices lists; DIENUM_STOP ends the listing.
using EnumDevicesCallback = int (*)(const DeviceInstance& instance, void* reference);

/// One input system; devices made by it may outlive it.
class DirectInput {
public:
    virtual ~DirectInput() = default;
    /// Makes a device of the system (GUID_SysKeyboard, GUID_SysMouse, or a listed joystick).
    virtual HRESULT CreateDevice(const Guid& guid, std::shared_ptr<InputDevice>* device) = 0;
    /// Calls back for each device of the type until the callback returns DIENUM_STOP.
    virtual HRESULT EnumDevices(std::uint32_t devType, EnumDevicesCallback callback, void* reference, std::uint32_t flags) = 0;
};

/// What a backend provides for input: the input system and the pointer.
class InputHost {
public:
    virtual ~InputHost() = default;
    /// The program instance is accepted for the shape of the call; no backend needs it.
    virtual HRESULT DirectInputCreate(HINSTANCE instance, std::uint32_t version, std::unique_ptr<DirectInput>* input) = 0;
    /// The pointer's position on the desktop.
    virtual Point CursorPosition() = 0;
};

/// The chosen backend's part (platform/core/backend.h).
InputHost& CurrentInputHost();

}  // namespace platform
