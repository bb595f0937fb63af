// Creating the devices, acquiring them, and what reads that fail do to the statuses.
#include "tests/input/input_fixture.h"

namespace {

using media::KEY_HELD;
using media::KEY_PRESSED;
using media::KEY_UP;
using platform::DIERR_INPUTLOST;
using platform::DIERR_NOTACQUIRED;
using platform::E_ACCESSDENIED;
using platform::E_FAIL;

constexpr std::uint8_t kScanEscape = 1;
constexpr std::uint16_t kCodeEscape = 27;
constexpr platform::HRESULT kSomeError = platform::Code(0x80041234);

class InputDevices : public InputTest {
protected:
    media::Input input;
};

TEST_F(InputDevices, CreateOpensAndAcquiresAllThreeDevicesAndBuildsTheTables) {
    controls.SetCursorPosition({321, -12});
    controls.SetJoystickSubtype(platform::DIDEVTYPEJOYSTICK_FLIGHTSTICK);
    ASSERT_EQ(input.Create(nullptr, window), 0);
    EXPECT_TRUE(input.HasKeyboard() && input.HasMouse() && input.HasJoystick());
    EXPECT_TRUE(input.KeyboardAcquired() && input.MouseAcquired() && input.JoystickAcquired());
    EXPECT_EQ(input.JoystickSubtype(), platform::DIDEVTYPEJOYSTICK_FLIGHTSTICK);
    EXPECT_EQ(input.MouseX(), 321);
    EXPECT_EQ(input.MouseY(), -12);
    EXPECT_EQ(input.MouseTotalX(), 0);
    EXPECT_EQ(input.ScanToKey()[kScanEscape], kCodeEscape);
    EXPECT_STREQ(input.KeyNames()[kCodeEscape].data(), "ESC");
    EXPECT_EQ(input.Shift()['a'], 'A');
    EXPECT_EQ(input.KeyToScan()['a'], 30u);
    EXPECT_EQ(input.Create(nullptr, window), -1) << "a second Create is refused";
    EXPECT_TRUE(input.HasKeyboard() && input.KeyboardAcquired());
}

TEST_F(InputDevices, WithoutAJoystickCreateSucceedsAndJoystickCodesStayUp) {
    controls.AttachJoystick(false);
    ASSERT_EQ(input.Create(nullptr, window), 0);
    EXPECT_FALSE(input.HasJoystick());
    EXPECT_EQ(input.AcquireJoystick(), -1);
    EXPECT_EQ(input.UnacquireJoystick(), -1);
    for (int button = 0; button < 32; ++button) controls.SetJoystickButton(button, true);
    controls.AttachJoystick(true);  // plugged in later: not looked for again
    ASSERT_EQ(input.Update(), 0);
    for (std::uint16_t code = 260; code < 270; ++code) EXPECT_EQ(input.GetKeyStatus(code), KEY_UP) << code;
}

TEST_F(InputDevices, CreateReturnsTheFirstFailureAndKeepsWhatItMade) {
    const struct {
        const char* name;
        Fault fault;
        platform::HRESULT injected;
        platform::HRESULT result;
        bool keyboard, mouse, joystick;
    } cases[] = {
        {"no input system", Fault::DirectInputCreate, kSomeError, kSomeError, false, false, false},
        {"no mouse", Fault::CreateMouse, kSomeError, 0, true, false, true},
        {"no keyboard", Fault::CreateKeyboard, kSomeError, 0, false, true, true},
        {"joystick cannot be opened", Fault::CreateJoystick, kSomeError, 0, true, true, false},
        {"mouse acquisition fails", Fault::AcquireMouse, kSomeError, kSomeError, false, true, false},
        {"mouse behind another window", Fault::AcquireMouse, E_ACCESSDENIED, 0, true, true, true},
        {"keyboard acquisition fails", Fault::AcquireKeyboard, kSomeError, kSomeError, true, true, false},
        {"joystick acquisition fails", Fault::AcquireJoystick, kSomeError, kSomeError, true, true, true},
        {"joystick without its polled interface", Fault::QueryInterface, kSomeError, kSomeError, true, true, false},
        {"joystick axis range refused", Fault::SetProperty, kSomeError, kSomeError, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        controls.Reset();
        // By name, as scripts set them.
        ASSERT_TRUE(controls.SetFault(platform::headless::InputFaultName(c.fault), c.injected));
        auto made = std::make_unique<media::Input>();
        EXPECT_EQ(made->Create(nullptr, window), c.result);
        EXPECT_EQ(made->HasKeyboard(), c.keyboard);
        EXPECT_EQ(made->HasMouse(), c.mouse);
        EXPECT_EQ(made->HasJoystick(), c.joystick);
        made.reset();  // what was made is released without touching what was not
    }
    EXPECT_FALSE(controls.SetFault("NoSuchOperation"));
}

TEST_F(InputDevices, EachOfTheFourAxisPropertiesStopsCreateWhenRefused) {
    for (int call = 0; call < 4; ++call) {
        SCOPED_TRACE(call);  // range x, range y, dead zone x, dead zone y
        controls.Reset();
        controls.SetFault(Fault::SetProperty, kSomeError, 1, call);
        media::Input made;
        EXPECT_EQ(made.Create(nullptr, window), kSomeError);
        EXPECT_EQ(controls.Calls(Fault::SetProperty), call + 1);
        EXPECT_FALSE(made.JoystickAcquired());
    }
}

TEST_F(InputDevices, WithoutAKeyboardTheTablesAreNotBuiltAndNoKeyIsRead) {
    controls.SetFault(Fault::CreateKeyboard);
    ASSERT_EQ(input.Create(nullptr, window), 0);
    controls.SetKey(kScanEscape, true);
    controls.SetMouseButton(0, true);
    ASSERT_EQ(input.Update(), 0);
    EXPECT_EQ(input.GetKeyStatus(kCodeEscape), KEY_UP);
    EXPECT_EQ(input.GetKeyStatus(256), KEY_PRESSED);
    EXPECT_EQ(input.ScanToKey()[kScanEscape], 0u);
    EXPECT_EQ(input.AcquireKeyboard(), -1);
    EXPECT_EQ(input.UnacquireKeyboard(), -1);
}

TEST_F(InputDevices, AnInactiveWindowLeavesTheMouseAndJoystickWaitingForActivation) {
    Activate(false);
    ASSERT_EQ(input.Create(nullptr, window), 0);
    EXPECT_FALSE(input.KeyboardAcquired());
    EXPECT_TRUE(input.MouseAcquired());
    EXPECT_TRUE(input.JoystickAcquired());
    EXPECT_EQ(controls.Calls(Fault::AcquireMouse), 51);
    EXPECT_EQ(controls.Calls(Fault::AcquireKeyboard), 51);
    EXPECT_EQ(controls.Calls(Fault::AcquireJoystick), 51);
    EXPECT_EQ(input.Update(), DIERR_NOTACQUIRED);

    Activate(true);
    controls.SetKey(kScanEscape, true);
    controls.SetJoystickButton(0, true);
    EXPECT_EQ(input.Update(), DIERR_NOTACQUIRED) << "the read fails; it re-acquires the keyboard";
    EXPECT_TRUE(input.KeyboardAcquired());
    EXPECT_EQ(input.Update(), DIERR_NOTACQUIRED) << "now the mouse, which was never acquired";
    EXPECT_EQ(input.GetKeyStatus(kCodeEscape), KEY_PRESSED);
    EXPECT_EQ(input.Update(), DIERR_NOTACQUIRED) << "then the joystick, likewise";
    EXPECT_EQ(input.GetKeyStatus(kCodeEscape), KEY_HELD);
    EXPECT_EQ(input.GetKeyStatus(260), KEY_UP);
    EXPECT_EQ(input.Update(), 0);
    EXPECT_EQ(input.GetKeyStatus(260), KEY_PRESSED);
}

TEST_F(InputDevices, AcquireTriesFiftyOneTimesAndKeepsMouseAndJoystickWhenRefusedForTheForeground) {
    ASSERT_EQ(input.Create(nullptr, window), 0);
    const struct {
        const char* name;
        Fault fault;
        int failures;
        platform::HRESULT injected, result;
        bool acquired;
    } cases[] = {
        {"keyboard on the last try", Fault::AcquireKeyboard, 50, kSomeError, 0, true},
        {"keyboard never", Fault::AcquireKeyboard, 51, kSomeError, kSomeError, false},
        {"mouse never", Fault::AcquireMouse, 51, kSomeError, kSomeError, false},
        {"mouse refused", Fault::AcquireMouse, 51, E_ACCESSDENIED, E_ACCESSDENIED, true},
        {"joystick on the last try", Fault::AcquireJoystick, 50, kSomeError, 0, true},
        {"joystick never", Fault::AcquireJoystick, 51, kSomeError, kSomeError, false},
        {"joystick refused", Fault::AcquireJoystick, 51, E_ACCESSDENIED, E_ACCESSDENIED, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        input.UnacquireKeyboard();
        input.UnacquireMouse();
        input.UnacquireJoystick();
        controls.ClearFaults();
        controls.SetFault(c.fault, c.injected, c.failures);
        const int before = controls.Calls(c.fault);
        platform::HRESULT hr = 0;
        bool acquired = false;
        if (c.fault == Fault::AcquireKeyboard) hr = input.AcquireKeyboard(), acquired = input.KeyboardAcquired();
        if (c.fault == Fault::AcquireMouse) hr = input.AcquireMouse(), acquired = input.MouseAcquired();
        if (c.fault == Fault::AcquireJoystick) hr = input.AcquireJoystick(), acquired = input.JoystickAcquired();
        EXPECT_EQ(hr, c.result);
        EXPECT_EQ(acquired, c.acquired);
        EXPECT_EQ(controls.Calls(c.fault) - before, 51);
    }
}

TEST_F(InputDevices, AKeyboardReadFailureLeavesMouseAndJoystickAsTheyWere) {
    ASSERT_EQ(input.Create(nullptr, window), 0);
    controls.SetKey(kScanEscape, true);
    controls.SetMouseButton(0, true);
    controls.SetJoystickButton(0, true);
    controls.SetJoystickAxes(32767, 0);
    ASSERT_EQ(input.Update(), 0);
    controls.MoveMouse(1, 1);
    // The read fails and so does the re-acquisition (a successful one would clear every status).
    controls.SetFault(Fault::ReadKeyboard, kSomeError, 1);
    controls.SetFault(Fault::AcquireKeyboard, kSomeError, 51);
    EXPECT_EQ(input.Update(), kSomeError);
    EXPECT_FALSE(input.KeyboardAcquired());
    EXPECT_EQ(input.GetKeyStatus(kCodeEscape), KEY_PRESSED);
    EXPECT_EQ(input.GetKeyStatus(256), KEY_PRESSED);
    EXPECT_EQ(input.GetKeyStatus(260), KEY_PRESSED);
    EXPECT_EQ(input.MouseX(), 0);
    EXPECT_EQ(input.JoystickX(), 1000);
    // The keyboard is read whatever its flag says; the mouse movement waited for this read.
    ASSERT_EQ(input.Update(), 0);
    EXPECT_EQ(input.GetKeyStatus(kCodeEscape), KEY_HELD);
    EXPECT_EQ(input.GetKeyStatus(256), KEY_HELD);
    EXPECT_EQ(input.GetKeyStatus(260), KEY_HELD);
    EXPECT_EQ(input.MouseX(), 1);
    EXPECT_EQ(input.JoystickX(), 2000);
}

TEST_F(InputDevices, AKeyboardThatComesBackAfterAFailedReadClearsEveryStatus) {
    // Lost: acquired afresh. Any other error: still acquired, and Acquire says so (S_FALSE).
    for (const platform::HRESULT failure : {DIERR_INPUTLOST, kSomeError}) {
        SCOPED_TRACE(failure);
        media::Input fresh;
        ASSERT_EQ(fresh.Create(nullptr, window), 0);
        controls.SetKey(kScanEscape, true);
        controls.SetMouseButton(0, true);
        ASSERT_EQ(fresh.Update(), 0);
        controls.SetFault(Fault::ReadKeyboard, failure, 1);
        EXPECT_EQ(fresh.Update(), failure);
        EXPECT_TRUE(fresh.KeyboardAcquired());
        for (std::uint16_t code = 0; code < media::kKeyCodeCount; ++code) ASSERT_EQ(fresh.GetKeyStatus(code), KEY_UP) << code;
        ASSERT_EQ(fresh.Update(), 0);
        EXPECT_EQ(fresh.GetKeyStatus(kCodeEscape), KEY_PRESSED);
        EXPECT_EQ(fresh.GetKeyStatus(256), KEY_PRESSED);
    }
}

TEST_F(InputDevices, KeysHeldAcrossADeactivationArePressedAgainWhenTheKeyboardComesBack) {
    ASSERT_EQ(input.Create(nullptr, window), 0);
    controls.SetKey(kScanEscape, true);
    ASSERT_EQ(input.Update(), 0);
    ASSERT_EQ(input.Update(), 0);
    ASSERT_EQ(input.GetKeyStatus(kCodeEscape), KEY_HELD);
    Activate(false);
    EXPECT_EQ(input.Update(), DIERR_INPUTLOST);
    EXPECT_FALSE(input.KeyboardAcquired());
    EXPECT_EQ(input.GetKeyStatus(kCodeEscape), KEY_HELD) << "a refused re-acquisition clears nothing";
    EXPECT_EQ(input.Update(), DIERR_NOTACQUIRED);
    Activate(true);
    EXPECT_EQ(input.Update(), DIERR_NOTACQUIRED);
    EXPECT_EQ(input.GetKeyStatus(kCodeEscape), KEY_UP);
    // The mouse and the joystick lost theirs too; each update brings one of them back.
    EXPECT_EQ(input.Update(), DIERR_INPUTLOST);
    EXPECT_EQ(input.GetKeyStatus(kCodeEscape), KEY_PRESSED);
    EXPECT_EQ(input.Update(), DIERR_INPUTLOST);
    EXPECT_EQ(input.Update(), 0);
    EXPECT_TRUE(input.MouseAcquired() && input.JoystickAcquired());
}

TEST_F(InputDevices, AJoystickThatCannotBeReacquiredIsNotReadAgain) {
    ASSERT_EQ(input.Create(nullptr, window), 0);
    controls.SetFault(Fault::ReadJoystick, DIERR_INPUTLOST, 1);
    controls.SetFault(Fault::AcquireJoystick, kSomeError);
    EXPECT_EQ(input.Update(), DIERR_INPUTLOST);
    EXPECT_FALSE(input.JoystickAcquired());
    controls.ClearFaults();
    const int reads = controls.Calls(Fault::ReadJoystick);
    controls.SetJoystickButton(0, true);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(input.Update(), 0);
    EXPECT_EQ(controls.Calls(Fault::ReadJoystick), reads);
    EXPECT_EQ(input.GetKeyStatus(260), KEY_UP);
    // Asked to, it is read again.
    EXPECT_EQ(input.AcquireJoystick(), 0);
    EXPECT_EQ(input.Update(), 0);
    EXPECT_EQ(input.GetKeyStatus(260), KEY_PRESSED);
}

// A window in the background refuses every acquire with E_ACCESSDENIED (DIERR_OTHERAPPHASPRIO).
// Neither the mouse nor the joystick is given up for it: once the window is in front again the
// device is acquired and read. (Without a keyboard, and for the joystick without a mouse, so
// that the device is the first one read in the background.)
TEST_F(InputDevices, MouseAndJoystickSurviveRefusalsWhileTheWindowIsBehind) {
    const struct {
        const char* name;
        std::vector<Fault> absent;
        Fault read;
        std::uint16_t button;
        bool (media::Input::*acquired)() const;
    } cases[] = {
        {"mouse", {Fault::CreateKeyboard, Fault::CreateJoystick}, Fault::ReadMouse, 256, &media::Input::MouseAcquired},
        {"joystick", {Fault::CreateKeyboard, Fault::CreateMouse}, Fault::ReadJoystick, 260, &media::Input::JoystickAcquired},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        controls.ClearFaults();
        Activate(true);
        for (const Fault f : c.absent) controls.SetFault(f);
        media::Input fresh;
        ASSERT_EQ(fresh.Create(nullptr, window), 0);
        controls.SetMouseButton(0, true);
        controls.SetJoystickButton(0, true);
        ASSERT_EQ(fresh.Update(), 0);
        ASSERT_EQ(fresh.GetKeyStatus(c.button), KEY_PRESSED);

        Activate(false);
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(platform::Failed(fresh.Update()));
            EXPECT_TRUE((fresh.*c.acquired)()) << "update " << i << " in the background";
        }
        controls.SetMouseButton(0, false);
        controls.SetJoystickButton(0, false);
        Activate(true);
        const int reads = controls.Calls(c.read);
        platform::HRESULT hr = E_FAIL;
        for (int i = 0; i < 3 && hr != 0; ++i) hr = fresh.Update();
        EXPECT_EQ(hr, 0);
        EXPECT_TRUE((fresh.*c.acquired)());
        EXPECT_GT(controls.Calls(c.read), reads);
        EXPECT_EQ(fresh.GetKeyStatus(c.button), media::KEY_RELEASED);
    }
}

TEST_F(InputDevices, AMouseReadFailureReacquiresItAndSkipsTheJoystick) {
    ASSERT_EQ(input.Create(nullptr, window), 0);
    controls.SetJoystickButton(3, true);
    controls.SetFault(Fault::ReadMouse, kSomeError, 1);
    controls.SetFault(Fault::AcquireMouse, kSomeError);
    EXPECT_EQ(input.Update(), kSomeError);
    EXPECT_FALSE(input.MouseAcquired());
    EXPECT_EQ(input.GetKeyStatus(263), KEY_UP);
    EXPECT_EQ(input.Update(), 0);
    EXPECT_EQ(input.GetKeyStatus(263), KEY_PRESSED);
}

TEST_F(InputDevices, UnacquiringTheKeyboardClearsEveryStatus) {
    ASSERT_EQ(input.Create(nullptr, window), 0);
    controls.SetKey(kScanEscape, true);
    controls.SetMouseButton(2, true);
    ASSERT_EQ(input.Update(), 0);
    EXPECT_EQ(input.UnacquireKeyboard(), 0);
    EXPECT_FALSE(input.KeyboardAcquired());
    EXPECT_EQ(input.GetKeyStatus(kCodeEscape), KEY_UP);
    EXPECT_EQ(input.GetKeyStatus(258), KEY_UP);
    EXPECT_EQ(input.UnacquireMouse(), 0);
    EXPECT_EQ(input.UnacquireMouse(), platform::S_FALSE);
    EXPECT_FALSE(input.MouseAcquired());
}

TEST_F(InputDevices, TheJoystickIsPolledBeforeEachReadAndTheObjectWorksWithoutCreate) {
    media::Input idle;
    controls.SetKey(kScanEscape, true);
    EXPECT_EQ(idle.Update(), 0);
    EXPECT_EQ(idle.GetKeyStatus(kCodeEscape), KEY_UP);
    EXPECT_EQ(idle.AcquireMouse(), -1);

    ASSERT_EQ(input.Create(nullptr, window), 0);
    for (int i = 0; i < 4; ++i) ASSERT_EQ(input.Update(), 0);
    EXPECT_EQ(controls.PollCalls(), 4);
    EXPECT_EQ(controls.Calls(Fault::ReadJoystick), 4);
}

}  // namespace
