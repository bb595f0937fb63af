// The web backend's input units, checked natively: browser key names against the desktop
// backend's keys and the game's, wheel deltas, gamepad axes, and the keyboard's taps and holds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "game/game_values.h"
#include "media/input/key_tables.h"
#include "platform/backends/web/input_codes.h"
#include "platform/backends/web/key_state.h"
#include "platform/backends/web/page_activity.h"
#include "platform/backends/web/standard_gamepad.h"

#if MEDIA_TEST_WITH_SDL
#include "platform/backends/sdl/sdl_input.h"
#endif

namespace {

using platform::web::KeyNameForScanCode;
using platform::web::ScanCodeForKeyName;

TEST(WebKeyNames, TheGamesKeysHaveTheirBrowserNames) {
    media::KeyToScanTable scanOf{};
    media::BuildKeyToScanTable(scanOf);
    const struct {
        std::uint16_t key;
        const char* name;
    } cases[] = {
        {game::KEY_ESC, "Escape"}, {game::KEY_A, "KeyA"}, {game::KEY_E, "KeyE"},
        {game::KEY_M, "KeyM"},     {game::KEY_O, "KeyO"}, {game::KEY_P, "KeyP"},
        {game::KEY_X, "KeyX"},     {game::KEY_LEFT_ARROW, "ArrowLeft"}, {game::KEY_RIGHT_ARROW, "ArrowRight"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ScanCodeForKeyName(c.name), scanOf[c.key]);
    }
}

TEST(WebKeyNames, NamesAreExactAndUnknownKeysHaveNoScanCode) {
    for (const char* name : {"", "arrowleft", "ARROWLEFT", "ArrowLeft ", "Left", "Unidentified", "Fn", "KeyÄ"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ScanCodeForKeyName(name), 0);
    }
}

TEST(WebKeyNames, EveryScanCodeHasOneNameBothWays) {
    int named = 0;
    for (int code = 1; code < 256; ++code) {
        const auto scanCode = static_cast<std::uint8_t>(code);
        const std::string name(KeyNameForScanCode(scanCode));
        if (name.empty()) continue;
        ++named;
        EXPECT_EQ(ScanCodeForKeyName(name), scanCode) << name;
    }
    EXPECT_EQ(named, 105);
}

#if MEDIA_TEST_WITH_SDL
// A key the desktop reads is a key the page reads, and the other way round.
TEST(WebKeyNames, TheSameKeysAsTheDesktop) {
    for (int code = 1; code < 256; ++code) {
        const auto scanCode = static_cast<std::uint8_t>(code);
        EXPECT_EQ(platform::sdl::ScancodeForScanCode(scanCode) != 0, !KeyNameForScanCode(scanCode).empty()) << "scan code " << code;
    }
}
#endif

// While text input is on, the keys that type are left to the browser's text field, the rest
// stay the game's (Enter, Tab and the arrows would leave or edit the field).
TEST(WebKeyNames, KeysThatTypeAreOneCharacterOrAnInputMethods) {
    struct Case {
        const char* key;
        bool types;
    };
    for (const Case& c : {Case{"a", true}, {"A", true}, {" ", true}, {"é", true}, {"€", true}, {"😀", true}, {"Dead", true},
                          {"Process", true}, {"Unidentified", true}, {"", false}, {"Enter", false}, {"Tab", false},
                          {"ArrowLeft", false}, {"F1", false}, {"ab", false}, {"é!", false}, {"\t", false}, {"\x7f", false}}) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(platform::web::KeyTypes(c.key), c.types);
    }
}

TEST(WebWheel, DeltasBecomeNotchesAwayFromTheUser) {
    using platform::web::kWheelLines;
    using platform::web::kWheelPages;
    using platform::web::kWheelPixels;
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double deltaY;
        unsigned long mode;
        std::int32_t motion;
    } cases[] = {
        {100, kWheelPixels, -120},  {-100, kWheelPixels, 120},  {50, kWheelPixels, -60},  {0, kWheelPixels, 0},
        {3, kWheelLines, -120},     {-1, kWheelLines, 40},      {1, kWheelPages, -1200},  {-0.5, kWheelPages, 600},
        {1e300, kWheelPixels, -500000000}, {-1e300, kWheelLines, 500000000},
        {std::nan(""), kWheelPixels, 0}, {inf, kWheelPixels, 0}, {-inf, kWheelPages, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::web::WheelMotion(c.deltaY, c.mode), c.motion) << c.deltaY << " in mode " << c.mode;
    }
}

TEST(WebGamepad, AxesBecomeRawStickPositions) {
    const struct {
        double axis;
        std::int32_t raw;
    } cases[] = {
        {0, 0}, {1, 32767}, {-1, -32768}, {0.5, 16384}, {-0.5, -16384}, {2, 32767}, {-7, -32768},
        {std::nan(""), 0}, {std::numeric_limits<double>::infinity(), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::web::RawAxis(c.axis), c.raw) << c.axis;
}

// Each case: events between reads ('+' press, '-' release, '0' focus lost, '|' a read), and what
// each read says of the key.
TEST(WebKeyState, TapsBetweenReadsAreReadOnceAndHeldKeysUntilLetGo) {
    const struct {
        const char* events;
        const char* reads;  // 'd' down, 'u' up
    } cases[] = {
        {"|", "u"},
        {"+|||", "ddd"},           // held
        {"+-||", "du"},            // a tap between two reads: down once
        {"+|-|", "du"},            // held over one read, then let go
        {"+-+|-|", "du"},          // two taps before one read: still one read down
        {"+-0|", "u"},             // focus lost: the tap is forgotten
        {"+0|", "u"},              // focus lost while held
        {"+0+|", "d"},             // pressed again after the loss
        {"-|", "u"},               // a release without a press
    };
    constexpr std::uint8_t kKey = 203;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.events);
        platform::web::KeyState keys;
        std::string reads;
        for (const char* e = c.events; *e; ++e) {
            switch (*e) {
                case '+': keys.Press(kKey); break;
                case '-': keys.Release(kKey); break;
                case '0': keys.ReleaseAll(); break;
                case '|': {
                    const platform::KeyboardState state = keys.Read();
                    reads += state[kKey] == 0x80 ? 'd' : state[kKey] == 0 ? 'u' : '?';
                    for (int other = 0; other < 256; ++other) {
                        if (other != kKey) {
                            EXPECT_EQ(state[static_cast<std::size_t>(other)], 0) << "key " << other;
                        }
                    }
                    break;
                }
            }
        }
        EXPECT_EQ(reads, c.reads);
    }
}

// Each case: the page's state at start (focused, visible), then focus ('f' gained, 'b' lost) and
// visibility ('s' shown, 'h' hidden) changes; after each, whether the game is active, how many
// times held keys were let go, and the activation the window is told of ('1', '0', or '-' none).
TEST(WebPageActivity, ActiveWhileFocusedAndShownAndLettingGoOfHeldKeysWhenNot) {
    struct Step {
        char change;  // 0: the start
        bool active;
        char posted;
        int releases;  // so far
    };
    const struct {
        const char* name;
        bool focused, visible;
        std::vector<Step> steps;
    } rows[] = {
        {"a page in front", true, true, {{0, true, '-', 0}, {'b', false, '0', 1}, {'f', true, '1', 1}, {'h', false, '0', 2}, {'s', true, '1', 2}}},
        {"a page opened in a background tab", true, false, {{0, false, '0', 0}, {'s', true, '1', 0}, {'h', false, '0', 1}}},
        {"a page opened without the focus", false, true, {{0, false, '0', 0}, {'h', false, '-', 0}, {'f', false, '-', 0}, {'s', true, '1', 0}}},
        {"hidden and unfocused: let go once", true, true, {{0, true, '-', 0}, {'h', false, '0', 1}, {'b', false, '-', 1}, {'s', false, '-', 1}, {'f', true, '1', 1}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        int releases = 0;
        platform::web::PageActivity activity([&releases] { ++releases; });
        for (std::size_t i = 0; i < row.steps.size(); ++i) {
            const Step& step = row.steps[i];
            switch (step.change) {
                case 0: activity.Start(row.focused, row.visible); break;
                case 'f': activity.SetFocus(true); break;
                case 'b': activity.SetFocus(false); break;
                case 's': activity.SetVisible(true); break;
                case 'h': activity.SetVisible(false); break;
            }
            bool active = false;
            const char posted = activity.TakeUnposted(active) ? (active ? '1' : '0') : '-';
            EXPECT_EQ(activity.Active(), step.active) << "step " << i;
            EXPECT_EQ(posted, step.posted) << "step " << i;
            EXPECT_EQ(releases, step.releases) << "step " << i;
        }
    }
}

// The Gamepad API's standard mapping into a slot: which browser button is which named one, the
// analog triggers as axes, the sticks' range, and pads without the mapping left out.
TEST(WebGamepads, StandardMappingNamesButtonsAndAxes) {
    using platform::PadAxis;
    using platform::PadButton;
    struct Case {
        const char* name;
        int pressedIndex;     // the browser button down (-1: none)
        double leftTrigger;   // browser button 6's value
        double leftX;         // browser axis 0
        bool standard;
        std::uint32_t buttons;      // expected bits
        std::int16_t triggerRaw, xRaw;
        bool connected;
    } cases[] = {
        {"bottom face is A", 0, 0, 0, true, 1u << static_cast<int>(PadButton::A), 0, 0, true},
        {"top face is Y", 3, 0, 0, true, 1u << static_cast<int>(PadButton::Y), 0, 0, true},
        {"8 is back", 8, 0, 0, true, 1u << static_cast<int>(PadButton::Back), 0, 0, true},
        {"15 is d-pad right", 15, 0, 0, true, 1u << static_cast<int>(PadButton::DpadRight), 0, 0, true},
        {"16 is guide", 16, 0, 0, true, 1u << static_cast<int>(PadButton::Guide), 0, 0, true},
        {"trigger is an axis, not a button", 6, 0.5, 0, true, 0, 16384, 0, true},
        {"stick full left", -1, 0, -1.0, true, 0, 0, -32767, true},
        {"out-of-range stick clamps", -1, 0, 3.0, true, 0, 0, 32767, true},
        {"no standard mapping: no pad", 0, 0, 0, false, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool pressed[platform::web::kStandardButtons] = {};
        double values[platform::web::kStandardButtons] = {};
        double axes[platform::web::kStandardAxes] = {c.leftX, 0, 0, 0};
        if (c.pressedIndex >= 0) pressed[c.pressedIndex] = true, values[c.pressedIndex] = 1;
        values[6] = c.leftTrigger;
        const platform::web::BrowserPad pad{true, c.standard, platform::web::kStandardButtons, platform::web::kStandardAxes,
                                            pressed, values, axes, "Xbox 360 Controller (STANDARD GAMEPAD)"};
        const platform::GamepadState state = platform::web::FromStandardMapping(pad);
        EXPECT_EQ(state.connected, c.connected);
        EXPECT_EQ(state.buttons, c.buttons);
        EXPECT_EQ(state.axes[static_cast<std::size_t>(PadAxis::LeftTrigger)], c.triggerRaw);
        EXPECT_EQ(state.axes[static_cast<std::size_t>(PadAxis::LeftX)], c.xRaw);
        if (c.connected) {
            EXPECT_STREQ(state.name.data(), "Xbox 360 Controller (STANDARD GAMEPAD)");
        }
    }
}

}  // namespace
