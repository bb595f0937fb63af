#pragma once
// Testing a front-door program without a display: the program runs on the in-memory backend,
// whose clock moves only with the frames (each NextFrame waits one 60 Hz tick of virtual time) or
// when told, whose keys and pointer are set by the test, and whose presented frames and sound
// output can be read back. A test drives the program frame by frame:
//
//     media::testing::UseHeadless();                  // before the first window opens
//     media::Window window;
//     window.Open("game", 320, 240);
//     float dt = 0;
//     window.NextFrame(dt);
//     media::testing::SetKey(media::Key::Right, true);
//     window.NextFrame(dt);                           // the game sees the key in this frame
//     window.NextFrame(dt);                           // and what it drew is presented by this one
//     media::Color c = media::testing::PixelAt(window, 10, 20);
//
// Include <zamelmedia/testing/testing.h>; it is part of the ZamelMedia libraries.
#include <cstdint>
#include <vector>

#include "../media/app/color.h"
#include "../media/app/gamepad.h"
#include "../media/app/key.h"
#include "../media/app/status.h"

namespace media {

class Window;

namespace testing {

/// Samples a second of SoundOutput per channel.
inline constexpr std::int32_t kSoundRate = 44100;

/// Runs the program on the in-memory backend and starts it from a fresh machine: a 1024x768
/// 32-bit desktop, the clock at 0, no key or button down, no sound heard yet. Call it before the
/// first window opens, and again between tests once every window is closed. Fails when the
/// program already runs on another backend (a window was opened before it was called).
Status UseHeadless();

/// The virtual clock in milliseconds, and moving it on (sounds and tunes play on with it).
/// @{
std::uint32_t ClockMs();
void AdvanceClock(std::uint32_t ms);
/// @}

/// A key held down or let go; the window reads it at its next NextFrame.
void SetKey(Key key, bool down);
/// A mouse button held down or let go; read at the next NextFrame.
void SetMouseButton(MouseButton button, bool down);
/// Moves the pointer over pixel (x, y) of the window's drawing area (a window shown at its own
/// size); the move is read at the next NextFrame.
void MovePointer(const Window& window, std::int32_t x, std::int32_t y);

/// Text typed into the window through the system's keyboard layout (UTF-8): a TextInput event at
/// the next NextFrame while the window's text input is on, nothing while it is off.
void TypeText(const Window& window, const char* utf8);
/// A file dropped on the window: a FileDropped event at the next NextFrame.
void DropFile(const Window& window, const char* path);
/// A finger put down, moved or lifted at pixel (x, y) of the window's client area as shown on
/// screen (the drawing area's pixel for a window shown at its own size): a TouchDown, TouchMove
/// or TouchUp event with that finger's id at the next NextFrame.
/// @{
void TouchDown(const Window& window, std::int64_t finger, std::int32_t x, std::int32_t y);
void TouchMove(const Window& window, std::int64_t finger, std::int32_t x, std::int32_t y);
void TouchUp(const Window& window, std::int64_t finger, std::int32_t x, std::int32_t y);
/// @}
/// A gamepad plugged into the slot (0..kGamepadCount-1, all buttons up and axes at rest) or pulled
/// out; a button down or up; an axis moved (sticks -1..1, triggers 0..1, before the dead zone).
/// Read at the next NextFrame.
/// @{
void ConnectGamepad(int slot, bool connected);
void SetGamepadButton(int slot, GamepadButton button, bool down);
void SetGamepadAxis(int slot, GamepadAxis axis, float value);
/// @}
/// A rumble asked of a pad (zeros: none).
struct Rumble {
    float low = 0;      ///< the low-frequency (heavy) motor's level, 0..1
    float high = 0;     ///< the high-frequency (light) motor's level, 0..1
    float seconds = 0;  ///< how long it was asked to last
};
/// The last rumble asked of the pad in the slot.
Rumble LastRumble(int slot);

/// The colour shown at pixel (x, y) of the window's drawing area (a window shown at its own size):
/// what the last NextFrame presented. Black outside the desktop or for a closed window.
Color PixelAt(const Window& window, std::int32_t x, std::int32_t y);

/// The sound output since UseHeadless or ClearSoundOutput, up to the clock: 16-bit samples,
/// left and right interleaved, kSoundRate pairs a second; nothing is added while no Audio is open.
const std::vector<std::int16_t>& SoundOutput();
/// Forgets the sound output so far.
void ClearSoundOutput();

}  // namespace testing
}  // namespace media
