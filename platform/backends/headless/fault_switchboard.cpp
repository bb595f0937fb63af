#include "platform/backends/headless/fault_switchboard.h"

#include <iterator>
#include <span>

namespace platform::headless {

namespace {

constexpr const char* kAudioNames[] = {"SetCooperativeLevel", "CreateSoundBuffer", "DuplicateSoundBuffer", "LockSoundBuffer",
                                       "RestoreSoundBuffer"};
static_assert(std::size(kAudioNames) == static_cast<std::size_t>(AudioFault::Count));

constexpr const char* kInputNames[] = {
    "DirectInputCreate", "CreateKeyboard",  "CreateMouse",  "CreateJoystick", "QueryInterface", "SetProperty",
    "AcquireKeyboard",   "AcquireMouse",    "AcquireJoystick", "ReadKeyboard", "ReadMouse",     "ReadJoystick"};
static_assert(std::size(kInputNames) == static_cast<std::size_t>(InputFault::Count));

}  // namespace

const char* InputFaultName(InputFault fault) {
    const auto index = static_cast<std::size_t>(fault);
    return index < std::size(kInputNames) ? kInputNames[index] : "";
}

FaultSwitchboard& Faults() {
    static FaultSwitchboard switchboard;
    return switchboard;
}

std::string FaultSwitchboard::NameOf(std::size_t index) {
    if (index < kDisplay) return std::string("display.") + FaultPointName(static_cast<FaultPoint>(index));
    if (index < kDisplay + kAudio) return std::string("audio.") + kAudioNames[index - kDisplay];
    return std::string("input.") + kInputNames[index - kDisplay - kAudio];
}

bool FaultSwitchboard::IndexOf(std::string_view name, std::size_t* index) {
    for (std::size_t i = 0; i < kSwitches; ++i) {
        if (name == NameOf(i)) {
            *index = i;
            return true;
        }
    }
    return false;
}

std::vector<std::string> FaultSwitchboard::Names() const {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kSwitches; ++i) names.push_back(NameOf(i));
    return names;
}

void FaultSwitchboard::Set(std::size_t index, HRESULT result, int times, int after) {
    Switch& entry = switches_[index];
    entry.result = result;
    entry.remaining = times;
    entry.skip = after;
}

void FaultSwitchboard::Set(FaultPoint point, HRESULT result, int times, int after) {
    if (point != FaultPoint::Count) Set(Index(point), result, times, after);
}

void FaultSwitchboard::Set(AudioFault point, HRESULT result, int times, int after) {
    if (point != AudioFault::Count) Set(Index(point), result, times, after);
}

void FaultSwitchboard::Set(InputFault point, HRESULT result, int times, int after) {
    if (point != InputFault::Count) Set(Index(point), result, times, after);
}

bool FaultSwitchboard::Set(std::string_view name, HRESULT result, int times, int after) {
    std::size_t index = 0;
    if (!IndexOf(name, &index)) return false;
    Set(index, result, times, after);
    return true;
}

bool FaultSwitchboard::Clear(std::string_view name) {
    std::size_t index = 0;
    if (!IndexOf(name, &index)) return false;
    Set(index, S_OK, 0, 0);
    return true;
}

std::span<FaultSwitchboard::Switch> FaultSwitchboard::GroupOf(FaultGroup group) {
    switch (group) {
        case FaultGroup::Display: return std::span(switches_).first(kDisplay);
        case FaultGroup::Audio: return std::span(switches_).subspan(kDisplay, kAudio);
        case FaultGroup::Input: return std::span(switches_).subspan(kDisplay + kAudio, kInput);
    }
    return {};
}

void FaultSwitchboard::Clear(FaultGroup group) {
    for (Switch& entry : GroupOf(group)) entry = {.calls = entry.calls};
}

void FaultSwitchboard::ClearCalls(FaultGroup group) {
    for (Switch& entry : GroupOf(group)) entry.calls = 0;
}

void FaultSwitchboard::ClearAll() { switches_.fill({}); }

HRESULT FaultSwitchboard::Take(std::size_t index) {
    if (index >= kSwitches) return S_OK;
    Switch& entry = switches_[index];
    ++entry.calls;
    if (entry.remaining == 0 || Succeeded(entry.result)) return S_OK;
    if (entry.skip > 0) {
        --entry.skip;
        return S_OK;
    }
    if (entry.remaining > 0) --entry.remaining;
    return entry.result;
}

}  // namespace platform::headless
