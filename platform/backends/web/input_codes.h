#pragma once
// The browser's input units turned into the ones the input devices report: physical key names
// (KeyboardEvent.code, which names the key's place on the keyboard whatever the layout prints on
// it) into the keyboard scan codes of the key tables, wheel deltas into 120ths of a notch, and
// gamepad axes into raw stick positions. Nothing here needs a browser, so it is checked natively.
#include <cstdint>
#include <string_view>

namespace platform::web {

// The scan code of a key by its KeyboardEvent.code name, 0 for a key the key tables do not have.
std::uint8_t ScanCodeForKeyName(std::string_view code);

// The KeyboardEvent.code name of a scan code, empty where no key has it: for tests and tools.
std::string_view KeyNameForScanCode(std::uint8_t scanCode);

// Whether a key with that KeyboardEvent.key value types text in a text field: one printable
// character, or a dead key or an input method's key (the field then makes the text).
bool KeyTypes(std::string_view key);

// WheelEvent.deltaMode values.
inline constexpr unsigned long kWheelPixels = 0, kWheelLines = 1, kWheelPages = 2;

// A WheelEvent's deltaY as the mouse's wheel motion: 120 per notch, positive away from the user
// (the browser's deltaY is positive towards the user). Browsers scroll 100 pixels or 3 lines a
// notch; a page is 10 notches. Huge or non-finite deltas stop at the 32-bit range's quarter.
std::int32_t WheelMotion(double deltaY, unsigned long deltaMode);

// A gamepad axis (-1..1, out-of-range and non-finite values clamped or centred) as a raw stick
// position, -32768..32767 with 0 at the centre.
std::int32_t RawAxis(double axis);

}  // namespace platform::web
