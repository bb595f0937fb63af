// The headless machine's one fault switchboard: every switch has one full name, a switch fails
// exactly the calls it was set for, clearing touches only what it names, and the display, audio
// and input operations all meet their switch on the board.
#include "platform/backends/headless/fault_switchboard.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/backends/headless/headless_audio.h"
#include "platform/backends/headless/headless_input.h"
#include "tests/headless_test.h"

namespace {

using namespace platform;
using platform::headless::FaultGroup;
using platform::headless::Faults;
using platform::headless::InputFault;

class FaultSwitchboardTest : public HeadlessTest {};

TEST_F(FaultSwitchboardTest, EverySwitchHasOneFullNameThatSetsItAlone) {
    const auto names = Faults().Names();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size()) << "two switches share a name";
    EXPECT_EQ(names.size(), static_cast<std::size_t>(FaultPoint::Count) + static_cast<std::size_t>(AudioFault::Count) +
                                static_cast<std::size_t>(InputFault::Count));
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(name.starts_with("display.") || name.starts_with("audio.") || name.starts_with("input."));
        ASSERT_TRUE(Faults().Set(name, E_OUTOFMEMORY, 1));
        // Exactly one switch fails now: the one named.
        int failing = 0;
        for (int i = 0; i < static_cast<int>(FaultPoint::Count); ++i) failing += Faults().Take(static_cast<FaultPoint>(i)) != S_OK;
        for (int i = 0; i < static_cast<int>(AudioFault::Count); ++i) failing += Faults().Take(static_cast<AudioFault>(i)) != S_OK;
        for (int i = 0; i < static_cast<int>(InputFault::Count); ++i) failing += Faults().Take(static_cast<InputFault>(i)) != S_OK;
        EXPECT_EQ(failing, 1);
        Faults().ClearAll();
    }
    EXPECT_FALSE(Faults().Set("SetCooperativeLevel")) << "a name without its group is ambiguous";
    EXPECT_FALSE(Faults().Set("display.CreateClipper-"));
    EXPECT_FALSE(Faults().Clear("display.NoSuchStep"));
}

TEST_F(FaultSwitchboardTest, ASwitchFailsTheCallsItWasSetFor) {
    struct Case {
        const char* name;
        int times, after;
        const char* expected;  // one letter a call: o go ahead, x fail
    };
    const Case cases[] = {
        {"every call", -1, 0, "xxxxx"},
        {"the next two", 2, 0, "xxooo"},
        {"two after one", 2, 1, "oxxoo"},
        {"none", 0, 0, "ooooo"},
        {"every call after three", -1, 3, "oooxx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Faults().Set(InputFault::ReadMouse, DIERR_INPUTLOST, c.times, c.after);
        std::string seen;
        for (int i = 0; i < 5; ++i) seen += Faults().Take(InputFault::ReadMouse) == DIERR_INPUTLOST ? 'x' : 'o';
        EXPECT_EQ(seen, c.expected);
        Faults().ClearAll();
    }
}

TEST_F(FaultSwitchboardTest, ClearingTouchesOnlyWhatItNames) {
    Faults().Set("display.CreateClipper");
    Faults().Set("audio.LockSoundBuffer");
    Faults().Set("input.ReadJoystick");
    Faults().Take(InputFault::ReadJoystick);
    Faults().Clear(FaultGroup::Audio);
    EXPECT_EQ(Faults().Take(AudioFault::LockSoundBuffer), S_OK);
    EXPECT_EQ(Faults().Take(FaultPoint::CreateClipper), E_FAIL);
    EXPECT_TRUE(Faults().Clear("display.CreateClipper"));
    EXPECT_EQ(Faults().Take(FaultPoint::CreateClipper), S_OK);
    EXPECT_EQ(Faults().Take(InputFault::ReadJoystick), E_FAIL);
    Faults().Clear(FaultGroup::Input);
    EXPECT_EQ(Faults().Take(InputFault::ReadJoystick), S_OK);
    EXPECT_EQ(Faults().Calls(InputFault::ReadJoystick), 3) << "clearing a switch keeps its calls counted";
    host.Reset();
    EXPECT_EQ(Faults().Calls(InputFault::ReadJoystick), 0) << "a fresh machine has counted nothing";
}

TEST_F(FaultSwitchboardTest, TheHostsMeetTheirSwitchesOnTheBoard) {
    Faults().Set("display.CreateWindow");
    EXPECT_EQ(MakeWindow(0, 0, 10, 10), nullptr);
    Faults().Set("audio.CreateSoundBuffer", E_OUTOFMEMORY);
    EXPECT_EQ(headless::AudioControls().FaultAt(AudioFault::CreateSoundBuffer), E_OUTOFMEMORY);
    Faults().Set("input.DirectInputCreate", E_ACCESSDENIED);
    std::unique_ptr<DirectInput> input;
    EXPECT_EQ(headless::InputControls().DirectInputCreate(nullptr, DIRECTINPUT_VERSION, &input), E_ACCESSDENIED);
    // The hosts' own setters reach the same switches.
    host.SetFault(FaultPoint::SetClipper, E_OUTOFMEMORY);
    EXPECT_EQ(Faults().Take(FaultPoint::SetClipper), E_OUTOFMEMORY);
    host.Reset();
    EXPECT_NE(MakeWindow(0, 0, 10, 10), nullptr);
}

}  // namespace
