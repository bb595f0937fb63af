#pragma once
// Key codes and the four tables that tie them to the keyboard. Every key, mouse button and
// joystick button has one code below 270: keyboard keys the unshifted character they type on a
// US layout (so the X key is 120), keys without a character 128..176, mouse buttons 256..259,
// joystick buttons 260..269. Scan codes are the keyboard snapshot's indexes, 0..255.
#include <array>
#include <cstddef>
#include <cstdint>

namespace media {

/// Key codes (0..269), scan codes (0..255), and bytes of a key name (at most 11 characters and a NUL).
/// @{
inline constexpr std::size_t kKeyCodeCount = 270;
inline constexpr std::size_t kScanCodeCount = 256;
inline constexpr std::size_t kKeyNameSize = 12;
/// @}

/// The codes of mouse button 0 (256..259) and joystick button 0 (260..269), and how many buttons
/// of each are read.
/// @{
inline constexpr std::uint16_t KEY_CODE_MOUSE_FIRST = 256;
inline constexpr std::uint16_t KEY_CODE_JOYSTICK_FIRST = 260;
inline constexpr int kMouseButtonsRead = 3;
inline constexpr int kJoystickButtonsRead = 10;
/// @}

/// Scan code -> key code; 0: the scan code is ignored. Only unshifted codes appear.
using ScanToKeyTable = std::array<std::uint32_t, kScanCodeCount>;
/// Key code 0..255 -> the scan code of the key that types it; 0: none.
using KeyToScanTable = std::array<std::uint32_t, kScanCodeCount>;
/// Key code -> the character typed with Shift; 0: none.
using ShiftTable = std::array<std::uint8_t, kKeyCodeCount>;
/// Key code -> display name, NUL-padded; empty for codes without a name.
using KeyNameTable = std::array<std::array<char, kKeyNameSize>, kKeyCodeCount>;

/// Each builder clears its whole table and writes every entry the key set gives. Input builds
/// them once, in this order.
/// @{
void BuildScanToKeyTable(ScanToKeyTable& table);
void BuildKeyToScanTable(KeyToScanTable& table);
void BuildShiftTable(ShiftTable& table);
void BuildKeyNames(KeyNameTable& table);
/// @}

}  // namespace media
