// Key statuses through the whole path: keyboard snapshot, scan-to-key table, status transitions.
#include <vector>

#include "tests/input/input_fixture.h"

namespace {

using media::KEY_HELD;
using media::KEY_PRESSED;
using media::KEY_RELEASED;
using media::KEY_UP;

constexpr std::uint8_t kScanX = 45;
constexpr std::uint16_t kCodeX = 120;

class InputStatus : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        ASSERT_EQ(input.Create(nullptr, window), 0);
    }
    media::Input input;
};

TEST_F(InputStatus, SequencesOfDownFlagsGiveTheFourStates) {
    const struct {
        const char* name;
        std::vector<int> down;
        std::vector<int> status;
    } cases[] = {
        {"held three updates then let go", {1, 1, 1, 0, 0}, {2, 3, 3, 1, 0}},
        {"tap of one update", {1, 0, 0}, {2, 1, 0}},
        {"re-press straight after the release", {1, 0, 1, 1}, {2, 1, 2, 3}},
        {"re-press after a pause", {1, 0, 0, 1}, {2, 1, 0, 2}},
        {"released from held, pressed again", {1, 1, 0, 1, 0}, {2, 3, 1, 2, 1}},
        {"never down", {0, 0}, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        input.ClearKeyStatus();
        for (std::size_t i = 0; i < c.down.size(); ++i) {
            controls.SetKey(kScanX, c.down[i]);
            ASSERT_EQ(input.Update(), 0);
            EXPECT_EQ(input.GetKeyStatus(kCodeX), c.status[i]) << "update " << i;
        }
        controls.SetKey(kScanX, false);
    }
}

TEST_F(InputStatus, EveryScanCodeDrivesOnlyItsOwnCode) {
    for (std::size_t scan = 0; scan < 256; ++scan) {
        SCOPED_TRACE(scan);
        const std::uint32_t code = input.ScanToKey()[scan];
        controls.SetKey(static_cast<std::uint8_t>(scan), true);
        ASSERT_EQ(input.Update(), 0);
        EXPECT_EQ(input.KeyboardSnapshot()[scan], 0x80);
        for (std::uint32_t other = 0; other < media::kKeyCodeCount; ++other) {
            const auto expected = (code != 0 && other == code) ? KEY_PRESSED : KEY_UP;
            ASSERT_EQ(input.GetKeyStatus(static_cast<std::uint16_t>(other)), expected) << "code " << other;
        }
        controls.SetKey(static_cast<std::uint8_t>(scan), false);
        input.ClearKeyStatus();
    }
}

TEST_F(InputStatus, TheAKeyIsCode97NeverCode65) {
    controls.SetKey(30, true);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(input.Update(), 0);
        EXPECT_NE(input.GetKeyStatus(97), KEY_UP);
        EXPECT_EQ(input.GetKeyStatus(65), KEY_UP);
    }
}

TEST_F(InputStatus, CodesAreComparedByTheirLow16BitsAndThoseBeyondTheTableReadUp) {
    controls.SetKey(1, true);  // ESC, code 27
    controls.SetKey(0, true);  // no key's scan code, but its snapshot byte sits right after the table
    ASSERT_EQ(input.Update(), 0);
    const std::uint32_t wide = 65536 + 27;
    EXPECT_EQ(input.GetKeyStatus(static_cast<std::uint16_t>(wide)), KEY_PRESSED);
    EXPECT_EQ(input.GetKeyStatus(270), KEY_UP);
    EXPECT_EQ(input.GetKeyStatus(65535), KEY_UP);
}

TEST_F(InputStatus, UpdatesOfCodesBeyondTheTableChangeNothing) {
    for (std::uint32_t code = media::kKeyCodeCount; code <= 0xFFFF; ++code) {
        input.UpdateKeyStatus(static_cast<std::uint16_t>(code), true);
        input.UpdateKeyStatus(static_cast<std::uint16_t>(code), true);
    }
    for (std::uint32_t code = 0; code < media::kKeyCodeCount; ++code) {
        ASSERT_EQ(input.GetKeyStatus(static_cast<std::uint16_t>(code)), KEY_UP) << code;
        ASSERT_EQ(input.PressTime(static_cast<std::uint16_t>(code)), 0u) << code;
    }
    for (const std::uint8_t byte : input.KeyboardSnapshot()) ASSERT_EQ(byte, 0);
    EXPECT_FALSE(input.WheelUp());
    EXPECT_FALSE(input.WheelDown());
    EXPECT_EQ(input.WheelUpNotches(), 0);
    EXPECT_EQ(input.WheelDownNotches(), 0);
    EXPECT_EQ(input.PressTime(300), 0u);
}

TEST_F(InputStatus, APressTakesTheTimeAndTheMouseTotalsOfItsUpdate) {
    // Totals start at 0 wherever the pointer is, and a clamped position differs from them.
    input.SetMouseLimits(0, 0, 5, 5);
    host.SetTime(1000);
    controls.MoveMouse(2, 1);
    controls.SetKey(kScanX, true);
    ASSERT_EQ(input.Update(), 0);
    EXPECT_EQ(input.PressTime(kCodeX), 1000u);
    // Keys are read before the mouse: the position is the previous update's total.
    EXPECT_EQ(input.PressPosition(kCodeX).x, 0);
    EXPECT_EQ(input.PressPosition(kCodeX).y, 0);

    host.Advance(50);
    controls.MoveMouse(3, -3);  // accelerated to 4, -4
    controls.SetMouseButton(0, true);
    ASSERT_EQ(input.Update(), 0);
    EXPECT_EQ(input.PressTime(kCodeX), 1000u) << "held keys keep their press time";
    EXPECT_EQ(input.PressTime(256), 1050u);
    // Mouse buttons see the totals of their own update.
    EXPECT_EQ(input.PressPosition(256).x, 6);
    EXPECT_EQ(input.PressPosition(256).y, -3);

    controls.SetKey(kScanX, false);
    host.Advance(20);
    ASSERT_EQ(input.Update(), 0);
    EXPECT_EQ(input.GetKeyStatus(kCodeX), KEY_RELEASED);
    controls.SetKey(kScanX, true);
    host.Advance(20);
    ASSERT_EQ(input.Update(), 0);
    EXPECT_EQ(input.GetKeyStatus(kCodeX), KEY_PRESSED);
    EXPECT_EQ(input.PressTime(kCodeX), 1090u) << "a re-press straight after a release is a fresh press";
    EXPECT_EQ(input.PressPosition(kCodeX).x, 6);
}

TEST_F(InputStatus, ClearingForgetsStatusesPressesSnapshotAndWheel) {
    host.SetTime(77);
    controls.SetKey(kScanX, true);
    controls.TurnWheel(240);
    ASSERT_EQ(input.Update(), 0);
    ASSERT_TRUE(input.WheelUp());
    input.ClearKeyStatus();
    EXPECT_EQ(input.GetKeyStatus(kCodeX), KEY_UP);
    EXPECT_EQ(input.PressTime(kCodeX), 0u);
    EXPECT_EQ(input.KeyboardSnapshot()[kScanX], 0);
    EXPECT_FALSE(input.WheelUp());
    EXPECT_EQ(input.WheelUpNotches(), 0);
    // Still down: the next update presses it again.
    ASSERT_EQ(input.Update(), 0);
    EXPECT_EQ(input.GetKeyStatus(kCodeX), KEY_PRESSED);
}

TEST_F(InputStatus, MouseButtonsAreCodes256To258AndTheFourthIsNeverRead) {
    for (int button = 0; button < 4; ++button) controls.SetMouseButton(button, true);
    ASSERT_EQ(input.Update(), 0);
    for (std::uint16_t code = 256; code <= 258; ++code) EXPECT_EQ(input.GetKeyStatus(code), KEY_PRESSED) << code;
    EXPECT_EQ(input.GetKeyStatus(259), KEY_UP);
    controls.SetMouseButton(1, false);
    ASSERT_EQ(input.Update(), 0);
    EXPECT_EQ(input.GetKeyStatus(256), KEY_HELD);
    EXPECT_EQ(input.GetKeyStatus(257), KEY_RELEASED);
}

TEST_F(InputStatus, JoystickButtonsZeroToNineAreCodes260To269) {
    for (int button = 0; button < 32; ++button) controls.SetJoystickButton(button, button % 2 == 0 || button >= 10);
    ASSERT_EQ(input.Update(), 0);
    for (int button = 0; button < 10; ++button) {
        const auto code = static_cast<std::uint16_t>(260 + button);
        EXPECT_EQ(input.GetKeyStatus(code), button % 2 == 0 ? KEY_PRESSED : KEY_UP) << button;
    }
}

}  // namespace
