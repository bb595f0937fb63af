#pragma once
// The headless machine's one fault switchboard: every operation of the display, windows, audio
// and input devices that a test can make fail is a switch here, named "<group>.<operation>"
// ("display.CreatePrimarySurface", "audio.LockSoundBuffer", "input.ReadJoystick"). A switch
// holds the result to fail with, how many calls fail (or every call) and how many calls succeed
// before the failures start; every operation that passes a switch is counted. Tests reach it
// through Faults(); the hosts of the backend ask it whether their operation fails.
#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "../../audio/audio_host.h"
#include "../../core/fault_hook.h"
#include "../../core/result_codes.h"

namespace platform::headless {

/// Operations of the input devices that a test can make fail. The acquisitions and the reads each
/// come in the device order keyboard, mouse, joystick.
enum class InputFault {
    DirectInputCreate,
    CreateKeyboard,
    CreateMouse,
    CreateJoystick,
    QueryInterface,  ///< the joystick's polled interface
    SetProperty,     ///< the joystick's axis range and dead zone
    AcquireKeyboard,
    AcquireMouse,
    AcquireJoystick,
    ReadKeyboard,
    ReadMouse,
    ReadJoystick,
    Count
};

/// The input operation's name without its group ("ReadKeyboard"); empty for Count.
const char* InputFaultName(InputFault fault);

enum class FaultGroup { Display, Audio, Input };

/// The fault switches of every headless operation, by group, with the calls that reached each.
class FaultSwitchboard {
public:
    /// Fails the next `times` calls of the operation with `result` (times < 0: every call), after
    /// letting the first `after` calls succeed.
    void Set(FaultPoint point, HRESULT result = E_FAIL, int times = -1, int after = 0);
    /// The same for the audio and input switches.
    /// @{
    void Set(AudioFault point, HRESULT result = E_FAIL, int times = -1, int after = 0);
    void Set(InputFault point, HRESULT result = E_FAIL, int times = -1, int after = 0);
    /// @}
    /// The same by the switch's full name; false (nothing set) for a name no switch has.
    bool Set(std::string_view name, HRESULT result = E_FAIL, int times = -1, int after = 0);
    /// Lets the operation go ahead again; false for an unknown name.
    bool Clear(std::string_view name);
    /// Every switch of a group back to "go ahead" (its calls still counted); or every switch, with
    /// its count at zero too.
    void Clear(FaultGroup group);
    /// Every switch back to "go ahead", every count at zero.
    void ClearAll();
    /// The calls of a group's switches back to zero.
    void ClearCalls(FaultGroup group);

    /// What an operation meets: counts the call, and gives the injected failure or S_OK.
    HRESULT Take(FaultPoint point) { return Take(Index(point)); }
    /// The same for the audio and input operations.
    /// @{
    HRESULT Take(AudioFault point) { return Take(Index(point)); }
    HRESULT Take(InputFault point) { return Take(Index(point)); }
    /// @}
    /// Calls that reached the operation since its group was last cleared.
    int Calls(InputFault point) const { return switches_[Index(point)].calls; }

    /// Every switch's full name, in a fixed order.
    std::vector<std::string> Names() const;

private:
    struct Switch {
        HRESULT result = S_OK;
        int remaining = 0;  ///< < 0: no end
        int skip = 0;       ///< calls that succeed before the failures start
        int calls = 0;
    };
    static constexpr std::size_t kDisplay = static_cast<std::size_t>(FaultPoint::Count);
    static constexpr std::size_t kAudio = static_cast<std::size_t>(AudioFault::Count);
    static constexpr std::size_t kInput = static_cast<std::size_t>(InputFault::Count);
    static constexpr std::size_t kSwitches = kDisplay + kAudio + kInput;

    static std::size_t Index(FaultPoint point) { return static_cast<std::size_t>(point); }
    static std::size_t Index(AudioFault point) { return kDisplay + static_cast<std::size_t>(point); }
    static std::size_t Index(InputFault point) { return kDisplay + kAudio + static_cast<std::size_t>(point); }
    static std::string NameOf(std::size_t index);
    static bool IndexOf(std::string_view name, std::size_t* index);
    std::span<Switch> GroupOf(FaultGroup group);
    void Set(std::size_t index, HRESULT result, int times, int after);
    HRESULT Take(std::size_t index);

    std::array<Switch, kSwitches> switches_{};
};

/// The headless machine's switchboard.
FaultSwitchboard& Faults();

}  // namespace platform::headless
