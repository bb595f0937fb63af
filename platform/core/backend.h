#pragma once
// The table of backends, kept as SDL keeps its video drivers: each backend built into the program
// gives a name, a probe that says whether it can run in this process, and its parts (clock,
// display, windows, input devices, audio output). One backend is chosen when the platform is first
// used, and it stays for the life of the process:
//   1. the one a program named with UseBackend (tests and tools name theirs),
//   2. else the one MEDIA_BACKEND names,
//   3. else the first in the table whose probe succeeds.
// The shared platform code reaches the chosen backend only through CurrentClock(),
// CurrentDisplayHost(), CurrentWindowHost(), CurrentInputHost(), CurrentAudioHost(),
// CurrentShellHost(), CurrentGamepadHost() and CurrentTouchHost().
#include <span>
#include <string_view>

namespace platform {

class Clock;
class DisplayHost;
class WindowHost;
class InputHost;
class AudioHost;
class ShellHost;
class GamepadHost;
class TouchHost;

/// A backend: its name, its probe and its parts. Each part is made on first use and lives as long
/// as the process; a part may use the others while it is being made.
struct Backend {
    const char* name;         ///< what MEDIA_BACKEND and UseBackend say: "sdl", "headless", ...
    const char* description;  ///< one line for messages
    bool (*probe)();          ///< true when the backend can run in this process
    /// Its parts: clock, display, windows, input devices and audio output.
    /// @{
    Clock& (*clock)();
    DisplayHost& (*display)();
    WindowHost& (*window)();
    InputHost& (*input)();
    AudioHost& (*audio)();
    /// @}
    /// Optional parts: the clipboard, cursor, typed text and dropped files; gamepads; touch
    /// screens. Null gives the stand-ins of CurrentShellHost, CurrentGamepadHost and
    /// CurrentTouchHost.
    /// @{
    ShellHost& (*shell)() = nullptr;
    GamepadHost& (*gamepads)() = nullptr;
    TouchHost& (*touches)() = nullptr;
    /// @}
};

/// Every backend built into this program, the preferred first (platform/backends/).
std::span<const Backend> BuiltInBackends();

/// Names the backend to use, before the platform is first used. False when no backend of that name
/// is built in, or when another one is already in use.
bool UseBackend(std::string_view name);

/// The backend in use, chosen on the first call.
const Backend& CurrentBackend();

}  // namespace platform
