#pragma once
// Input: reads the keyboard, the mouse and the first joystick once per frame into one status per
// key code (up, pressed this frame, held, released this frame), integrates the mouse and the
// joystick into clamped positions with per-frame deltas, and decodes the mouse wheel into notch
// counts. Key codes and their tables are in key_tables.h.
#include <array>
#include <cstdint>
#include <limits>
#include <memory>

#include "key_tables.h"
#include "../../platform/core/geometry.h"
#include "../../platform/input/input_host.h"
#include "../../platform/window/window.h"

namespace media {

/// The state of one key code in the last Input::Update.
enum KeyStatus : std::uint16_t {
    KEY_UP = 0,        ///< not down now nor in the previous update
    KEY_RELEASED = 1,  ///< went up in this update
    KEY_PRESSED = 2,   ///< went down in this update
    KEY_HELD = 3,      ///< down in this update and the previous one
};

/// Keyboard, mouse and joystick read once per frame: create it for the program's window, call
/// Update at the start of every frame, then ask GetKeyStatus for each key code the frame needs.
/// The object owns its devices and releases them when destroyed.
class Input {
public:
    /// An input object without devices; Create makes them. Not copyable.
    /// @{
    Input();
    virtual ~Input();
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;
    /// @}

    /// Creates the input system and the devices, acquiring each where the window allows, and
    /// builds the key tables. 0, or the first failing platform result; -1 when called again.
    platform::HRESULT Create(platform::HINSTANCE instance, platform::HWND window);
    /// Reads the keyboard, then the mouse, then the joystick. 0, or the failed read's result
    /// (the device is re-acquired and the devices after it are not read this time).
    platform::HRESULT Update();
    /// The status of a code (its low 16 bits); codes of 270 and above are always up.
    KeyStatus GetKeyStatus(std::uint16_t code) const;
    /// Advances one code's status with the device's down flag; codes of 270 and above are ignored.
    void UpdateKeyStatus(std::uint16_t code, bool down);
    /// Every status up; the keyboard snapshot, the wheel, press times and positions zeroed.
    void ClearKeyStatus();

    /// The last Acquire result (up to 51 tries), -1 without the device. A device that stays
    /// refused is not read again until acquired, except that the mouse and the joystick refused
    /// with E_ACCESSDENIED (another window in front) are tried again on each read.
    /// @{
    platform::HRESULT AcquireKeyboard();
    platform::HRESULT AcquireMouse();
    platform::HRESULT AcquireJoystick();
    /// @}
    /// The Unacquire result, -1 without the device.
    /// @{
    platform::HRESULT UnacquireKeyboard();
    platform::HRESULT UnacquireMouse();
    platform::HRESULT UnacquireJoystick();
    /// @}

    /// Positions (clamped), totals (every movement since creation), last update's movement.
    /// @{
    std::int32_t MouseX() const { return mouseX_; }
    std::int32_t MouseY() const { return mouseY_; }
    std::int32_t MouseTotalX() const { return mouseTotalX_; }
    std::int32_t MouseTotalY() const { return mouseTotalY_; }
    std::int32_t MouseDeltaX() const { return mouseDeltaX_; }
    std::int32_t MouseDeltaY() const { return mouseDeltaY_; }
    std::int32_t JoystickX() const { return joystickX_; }
    std::int32_t JoystickY() const { return joystickY_; }
    std::int32_t JoystickTotalX() const { return joystickTotalX_; }
    std::int32_t JoystickTotalY() const { return joystickTotalY_; }
    std::int32_t JoystickDeltaX() const { return joystickDeltaX_; }
    std::int32_t JoystickDeltaY() const { return joystickDeltaY_; }
    /// @}

    /// The wheel in the last update: which way it turned, and the notches of the last turn each way.
    /// @{
    bool WheelUp() const { return wheelUp_ != 0; }
    bool WheelDown() const { return wheelDown_ != 0; }
    std::uint8_t WheelUpNotches() const { return wheelUpNotches_; }
    std::uint8_t WheelDownNotches() const { return wheelDownNotches_; }
    /// @}

    /// When (milliseconds) and where (mouse totals) a code last became pressed; 0 for other codes.
    /// @{
    std::uint32_t PressTime(std::uint16_t code) const;
    platform::Point PressPosition(std::uint16_t code) const;
    /// @}

    /// Multipliers of the mouse's and the joystick's movement (1 by default); a value that is not
    /// a number moves nothing.
    /// @{
    float MouseSensitivity() const { return mouseSensitivity_; }
    void SetMouseSensitivity(float sensitivity) { mouseSensitivity_ = sensitivity; }
    float JoystickSensitivity() const { return joystickSensitivity_; }
    void SetJoystickSensitivity(float sensitivity) { joystickSensitivity_ = sensitivity; }
    /// @}
    /// Positions stay within [minimum, limit - 1] on each axis.
    /// @{
    void SetMouseLimits(std::int32_t minimumX, std::int32_t minimumY, std::int32_t limitX, std::int32_t limitY);
    void SetJoystickLimits(std::int32_t minimumX, std::int32_t minimumY, std::int32_t limitX, std::int32_t limitY);
    platform::Rect MouseLimits() const { return {mouseMinX_, mouseMinY_, mouseLimitX_, mouseLimitY_}; }
    platform::Rect JoystickLimits() const { return {joystickMinX_, joystickMinY_, joystickLimitX_, joystickLimitY_}; }
    /// @}
    /// A mouse move larger than threshold 2 is multiplied by factor 2, else one larger than
    /// threshold 1 by factor 1.
    void SetAcceleration(std::int32_t threshold1, double factor1, std::int32_t threshold2, double factor2);

    /// Whether each device exists and is acquired (reads only from an acquired device count).
    /// @{
    bool KeyboardAcquired() const { return keyboardAcquired_ != 0; }
    bool MouseAcquired() const { return mouseAcquired_ != 0; }
    bool JoystickAcquired() const { return joystickAcquired_ != 0; }
    bool HasKeyboard() const { return keyboard_ != nullptr; }
    bool HasMouse() const { return mouse_ != nullptr; }
    bool HasJoystick() const { return joystick_ != nullptr; }
    /// @}
    /// The second byte of the joystick's device type (gamepad, flight stick, ...).
    std::uint32_t JoystickSubtype() const { return joystickSubtype_; }

    /// The last keyboard state read and the key tables built by Create (key_tables.h).
    /// @{
    const platform::KeyboardState& KeyboardSnapshot() const { return keyboardSnapshot_; }
    const ScanToKeyTable& ScanToKey() const { return scanToKey_; }
    const KeyToScanTable& KeyToScan() const { return keyToScan_; }
    const ShiftTable& Shift() const { return shift_; }
    const KeyNameTable& KeyNames() const { return keyNames_; }
    /// @}

private:
    static constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    static constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

    platform::HRESULT CreateMouse();
    platform::HRESULT CreateKeyboard();
    platform::HRESULT CreateJoystick();
    platform::HRESULT ReadKeyboard();
    platform::HRESULT ReadMouse();
    platform::HRESULT ReadJoystick();
    std::int32_t Accelerate(std::int32_t move) const;
    void TurnWheel(std::int32_t wheel);

    std::unique_ptr<platform::DirectInput> directInput_;
    std::shared_ptr<platform::InputDevice> keyboard_;
    std::shared_ptr<platform::InputDevice> mouse_;
    std::shared_ptr<platform::InputDevice> joystick_;
    std::int32_t mouseAcquired_ = 0;
    std::int32_t keyboardAcquired_ = 0;  // kept up to date; Update reads the keyboard regardless
    std::int32_t joystickAcquired_ = 0;
    std::uint32_t joystickSubtype_ = 0;
    float mouseSensitivity_ = 1.0f;
    float joystickSensitivity_ = 1.0f;
    std::int32_t mouseMinX_ = kMin, mouseMinY_ = kMin;
    std::int32_t mouseLimitX_ = kMax, mouseLimitY_ = kMax;
    std::int32_t joystickMinX_ = kMin, joystickMinY_ = kMin;
    std::int32_t joystickLimitX_ = kMax, joystickLimitY_ = kMax;
    std::int32_t mouseX_ = 0, mouseY_ = 0;
    std::int32_t mouseTotalX_ = 0, mouseTotalY_ = 0;
    std::int32_t mouseDeltaX_ = 0, mouseDeltaY_ = 0;
    std::int32_t joystickX_ = 0, joystickY_ = 0;
    std::int32_t joystickTotalX_ = 0, joystickTotalY_ = 0;
    std::int32_t joystickDeltaX_ = 0, joystickDeltaY_ = 0;
    std::array<std::uint8_t, kKeyCodeCount> keyStatus_{};
    platform::KeyboardState keyboardSnapshot_{};
    std::uint8_t wheelUp_ = 0, wheelDown_ = 0;
    std::uint8_t wheelUpNotches_ = 0, wheelDownNotches_ = 0;
    std::array<std::uint32_t, kKeyCodeCount> pressTime_{};
    std::array<platform::Point, kKeyCodeCount> pressPosition_{};
    ShiftTable shift_{};
    ScanToKeyTable scanToKey_{};
    platform::HWND window_ = nullptr;
    KeyToScanTable keyToScan_{};
    KeyNameTable keyNames_{};
    std::int32_t accelerationThreshold1_ = 2;
    std::int32_t accelerationThreshold2_ = 6;
    double accelerationFactor1_ = 1.5;
    double accelerationFactor2_ = 2.0;
};

}  // namespace media
