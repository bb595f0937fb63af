// Mouse and joystick movement: acceleration, sensitivity, clamping, saturation and the wheel.
#include <cmath>
#include <limits>
#include <vector>

#include "tests/input/input_fixture.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

class InputMotion : public InputTest {
protected:
    void Create() { ASSERT_EQ(input.Create(nullptr, window), 0); }
    void Move(std::int32_t dx, std::int32_t dy) {
        controls.MoveMouse(dx, dy);
        ASSERT_EQ(input.Update(), 0);
    }
    media::Input input;
};

TEST_F(InputMotion, MouseMovesAreAcceleratedPastTwoAndSix) {
    Create();
    const struct {
        std::int32_t move, delta;
    } cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 4}, {6, 9}, {7, 14}, {-7, -14}, {-3, -4}, {-2, -2}, {100, 200}};
    std::int32_t total = 0;
    for (const auto& c : cases) {
        Move(c.move, -c.move);
        total += c.delta;
        EXPECT_EQ(input.MouseDeltaX(), c.delta) << c.move;
        EXPECT_EQ(input.MouseDeltaY(), -c.delta) << c.move;
        EXPECT_EQ(input.MouseTotalX(), total);
        EXPECT_EQ(input.MouseX(), total);
    }
}

TEST_F(InputMotion, SensitivityScalesTheAcceleratedMoveTowardZero) {
    Create();
    const struct {
        float sensitivity;
        std::int32_t move, delta;
    } cases[] = {{0.5f, 7, 7}, {0.5f, -3, -2}, {0.7f, 10, 14}, {2.0f, 1, 2}, {0.25f, 3, 1}, {0.0f, 50, 0}};
    for (const auto& c : cases) {
        input.SetMouseSensitivity(c.sensitivity);
        Move(c.move, 0);
        EXPECT_EQ(input.MouseDeltaX(), c.delta) << c.sensitivity << " x " << c.move;
    }
}

TEST_F(InputMotion, PositionsStayWithinTheLimitsWhileTotalsKeepCounting) {
    controls.SetCursorPosition({95, 10});
    input.SetMouseLimits(0, 0, 100, 50);
    Create();
    EXPECT_EQ(input.MouseX(), 95);
    const struct {
        std::int32_t dx, dy, x, y, totalX;
    } steps[] = {
        {3, 0, 99, 10, 4},        // 95 + 4 reaches limit - 1
        {7, 60, 99, 49, 18},      // further right stays; y clamps below its limit
        {-200, -200, 0, 0, -382},  // far left stops at the minimum
        {1, 1, 1, 1, -381},
    };
    for (const auto& s : steps) {
        Move(s.dx, s.dy);
        EXPECT_EQ(input.MouseX(), s.x);
        EXPECT_EQ(input.MouseY(), s.y);
        EXPECT_EQ(input.MouseTotalX(), s.totalX);
    }
}

TEST_F(InputMotion, MousePositionsAndTotalsSaturateInsteadOfWrapping) {
    controls.SetCursorPosition({kMax - 10, kMin + 10});
    Create();
    for (int i = 0; i < 3; ++i) Move(1 << 30, -(1 << 30));  // doubled: beyond the 32-bit range
    EXPECT_EQ(input.MouseDeltaX(), kMax);
    EXPECT_EQ(input.MouseDeltaY(), kMin);
    EXPECT_EQ(input.MouseTotalX(), kMax);
    EXPECT_EQ(input.MouseTotalY(), kMin);
    EXPECT_EQ(input.MouseX(), kMax - 1);
    EXPECT_EQ(input.MouseY(), kMin);
    Move(-2, 2);
    EXPECT_EQ(input.MouseX(), kMax - 3);
    EXPECT_EQ(input.MouseTotalX(), kMax - 2);
    EXPECT_EQ(input.MouseY(), kMin + 2);
}

TEST_F(InputMotion, ProductsBeyondTheRangeOrNotANumberSaturate) {
    Create();
    const struct {
        float sensitivity;
        std::int32_t move, delta;
    } cases[] = {
        {1e10f, 1, kMax},  {1e10f, -1, kMin},         {std::numeric_limits<float>::infinity(), 2, kMax},
        {std::nanf(""), 5, 0}, {-1e10f, 1, kMin},
    };
    for (const auto& c : cases) {
        input.SetMouseSensitivity(c.sensitivity);
        Move(c.move, 0);
        EXPECT_EQ(input.MouseDeltaX(), c.delta) << c.sensitivity << " x " << c.move;
    }
    input.SetMouseSensitivity(1.0f);
    input.SetAcceleration(2, 1.5, 6, 1e300);
    Move(kMin + 1, 0);
    EXPECT_EQ(input.MouseDeltaX(), kMin);
}

TEST_F(InputMotion, LimitsAtTheSmallestValueHoldPositionsAtTheMinimum) {
    Create();
    input.SetMouseLimits(kMin, -5, kMin, 5);
    Move(10, 10);
    EXPECT_EQ(input.MouseX(), kMin);
    EXPECT_EQ(input.MouseY(), 4);
}

TEST_F(InputMotion, TheWheelReportsItsLastTurnInNotches) {
    Create();
    const struct {
        std::int32_t wheel;
        bool up, down;
        int upNotches, downNotches;
    } steps[] = {
        {240, true, false, 2, 0},   {119, true, false, 0, 0},   {-360, false, true, 0, 3},
        {0, false, false, 0, 3},    {120, true, false, 1, 3},   {0, false, false, 1, 3},
        {120 * 300, true, false, 255, 3},  // more notches than a byte counts
        {kMin, false, true, 255, 255},
    };
    for (const auto& s : steps) {
        controls.TurnWheel(s.wheel);
        ASSERT_EQ(input.Update(), 0);
        EXPECT_EQ(input.WheelUp(), s.up) << s.wheel;
        EXPECT_EQ(input.WheelDown(), s.down) << s.wheel;
        EXPECT_EQ(input.WheelUpNotches(), s.upNotches) << s.wheel;
        EXPECT_EQ(input.WheelDownNotches(), s.downNotches) << s.wheel;
    }
}

TEST_F(InputMotion, TheJoystickIsAVelocityScaledToAThousandWithADeadZone) {
    Create();
    const struct {
        std::int32_t rawX, rawY, dx, dy;
    } steps[] = {
        {32767, 0, 1000, 0}, {32767, -32768, 1000, -1000}, {3000, -3000, 0, 0},  // inside 10%
        {16384, -16384, 444, -444},                                             // past it: (0.5 - 0.1) / 0.9
    };
    std::int32_t x = 0, y = 0;
    for (const auto& s : steps) {
        controls.SetJoystickAxes(s.rawX, s.rawY);
        ASSERT_EQ(input.Update(), 0);
        x += s.dx;
        y += s.dy;
        EXPECT_EQ(input.JoystickDeltaX(), s.dx) << s.rawX;
        EXPECT_EQ(input.JoystickDeltaY(), s.dy) << s.rawY;
        EXPECT_EQ(input.JoystickX(), x);
        EXPECT_EQ(input.JoystickY(), y);
        EXPECT_EQ(input.JoystickTotalX(), x);
    }
}

TEST_F(InputMotion, TheJoystickIsClampedScaledAndSaturated) {
    Create();
    input.SetJoystickLimits(-1500, 0, 2500, 10);
    input.SetJoystickSensitivity(0.5f);
    controls.SetJoystickAxes(32767, 32767);
    for (int i = 0; i < 6; ++i) ASSERT_EQ(input.Update(), 0);
    EXPECT_EQ(input.JoystickDeltaX(), 500);
    EXPECT_EQ(input.JoystickX(), 2499);
    EXPECT_EQ(input.JoystickY(), 9);
    EXPECT_EQ(input.JoystickTotalX(), 3000);
    controls.SetJoystickAxes(-32768, -32768);
    for (int i = 0; i < 20; ++i) ASSERT_EQ(input.Update(), 0);
    EXPECT_EQ(input.JoystickX(), -1500);
    EXPECT_EQ(input.JoystickY(), 0);

    input.SetJoystickLimits(kMin, kMin, kMax, kMax);
    input.SetJoystickSensitivity(3e6f);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(input.Update(), 0);
    EXPECT_EQ(input.JoystickDeltaX(), kMin);
    EXPECT_EQ(input.JoystickTotalX(), kMin);
    EXPECT_EQ(input.JoystickX(), kMin);
}

}  // namespace
