// The screens' state machine: the order of the twelve transitions, keys held and released, the
// start-up and shutdown around them, and a gamepad playing through the game's keys.
#include <gtest/gtest.h>

#include "game/game.h"
#include "media/display/screen.h"
#include "media/input/input.h"
#include "platform/backends/headless/headless_gamepads.h"
#include "platform/backends/headless/headless_input.h"
#include "tests/game/game_test_support.h"

namespace {

using game::STATE_ABOUT;
using game::STATE_LOSE;
using game::STATE_OPTION;
using game::STATE_PLAY;
using game::STATE_TITLE;
using game::STATE_WIN;

class GameFlowTest : public GameTest {};

struct FlowCase {
    const char* name;
    const char* script;
    std::int64_t frames;
    std::vector<std::int32_t> states;  // gameState after each frame; shorter when the game closed
    bool closed;
};
void PrintTo(const FlowCase& c, std::ostream* os) { *os << c.name; }

class GameFlowCases : public GameFlowTest, public ::testing::WithParamInterface<FlowCase> {};

TEST_P(GameFlowCases, StatesFrameByFrame) {
    const FlowCase& c = GetParam();
    const replay::ReplayResult result = Play(c.script, c.frames);
    std::vector<std::int32_t> states;
    for (const FrameValues& v : trace) states.push_back(v.state);
    EXPECT_EQ(states, c.states);
    EXPECT_EQ(result.closed, c.closed);
}

INSTANTIATE_TEST_SUITE_P(
    Transitions, GameFlowCases,
    ::testing::Values(
        // O goes to the options (step a) and M in the same frame comes back (step c).
        FlowCase{"OAndMTogetherStayOnTheTitle", "1 O down\n1 M down\n2 O up\n2 M up\n", 4,
                 {STATE_TITLE, STATE_TITLE, STATE_TITLE, STATE_TITLE}, false},
        // A released key still counts in the next update: M goes up as A goes down, so frame 1
        // goes to the about screen (step f) and straight back (step h, M released); in frame 2
        // the released A takes the title to the about screen again.
        FlowCase{"ReleasedKeyCountsOneMoreFrame", "0 M down\n1 M up\n1 A down\n2 A up\n", 4,
                 {STATE_TITLE, STATE_TITLE, STATE_ABOUT, STATE_ABOUT}, false},
        FlowCase{"AboutAndBack", "1 A down\n2 A up\n5 M down\n6 M up\n", 8,
                 {STATE_TITLE, STATE_ABOUT, STATE_ABOUT, STATE_ABOUT, STATE_ABOUT, STATE_TITLE, STATE_TITLE, STATE_TITLE},
                 false},
        // P held for many frames starts one game; ESC ends it, M returns, E quits from the title.
        FlowCase{"PHeldStartsOneGame", "1 P down\n30 P up\n40 ESC down\n41 ESC up\n43 M down\n44 M up\n46 E down\n", 60,
                 [] {
                     std::vector<std::int32_t> s(46, STATE_PLAY);
                     s[0] = STATE_TITLE;
                     for (int f = 40; f < 43; ++f) s[f] = STATE_LOSE;
                     s[43] = s[44] = s[45] = STATE_TITLE;
                     return s;
                 }(),
                 true},
        FlowCase{"XQuitsFromTheOptions", "1 O down\n2 O up\n4 X down\n", 10, {STATE_TITLE, STATE_OPTION, STATE_OPTION, STATE_OPTION}, true},
        FlowCase{"EQuitsFromTheTitle", "0 E down\n", 5, {}, true},
        // X and ESC do nothing on the title screen.
        FlowCase{"OnlyTheTitleKeysWorkOnTheTitle", "0 X down\n0 ESC down\n2 A down\n", 4,
                 {STATE_TITLE, STATE_TITLE, STATE_ABOUT, STATE_ABOUT}, false}),
    [](const ::testing::TestParamInfo<FlowCase>& info) { return std::string(info.param.name); });

// On the win screen M goes to the title (step i), so E in the same frame does not quit (step j
// no longer applies); E still down in the next frame quits from the title (step g).
TEST_F(GameFlowTest, MAndEOnTheWinScreen) {
    const replay::ReplayResult result = Play("0 P down\n1 P up\n5 M down\n5 E down\n", 10, [](std::int64_t frame) {
        if (frame == 3) {
            game::gameState = STATE_WIN;
        }
        if (frame == 5) {
            EXPECT_TRUE(Playing(game::menuTune, game::menuTuneIndex));
            EXPECT_FALSE(Playing(game::winTune, game::winTuneIndex));
        }
    });
    ASSERT_EQ(trace.size(), 6u);
    EXPECT_EQ(trace[4].state, STATE_WIN);
    EXPECT_EQ(trace[5].state, STATE_TITLE);
    EXPECT_TRUE(result.closed);
}

// E quits from both end screens (steps j and k); any other key there leaves them alone.
TEST_F(GameFlowTest, EQuitsFromTheWinAndLoseScreens) {
    for (const std::int32_t end : {STATE_WIN, STATE_LOSE}) {
        game::ResetGameValues();
        host.Reset();
        const replay::ReplayResult result =
            Play("1 P down\n2 P up\n5 A down\n5 O down\n5 P down\n5 X down\n7 E down\n", 20, [end](std::int64_t frame) {
                if (frame == 3) game::gameState = end;
            });
        EXPECT_TRUE(result.closed) << end;
        ASSERT_EQ(trace.size(), 7u) << end;
        EXPECT_EQ(trace[6].state, end) << "A, O, P and X do nothing on the end screens";
    }
}

TEST_F(GameFlowTest, TunesFollowTheScreens) {
    Play("2 P down\n3 P up\n10 ESC down\n11 ESC up\n20 M down\n21 M up\n", 25, [](std::int64_t frame) {
        if (frame == 0) {
            EXPECT_TRUE(Playing(game::menuTune, game::menuTuneIndex)) << "started by the start-up";
            EXPECT_FALSE(Playing(game::playTune, game::playTuneIndex));
        }
        if (frame == 5) {
            EXPECT_TRUE(Playing(game::playTune, game::playTuneIndex));
            EXPECT_FALSE(Playing(game::menuTune, game::menuTuneIndex)) << "every play frame stops it";
        }
        if (frame == 12) {
            EXPECT_FALSE(Playing(game::playTune, game::playTuneIndex));
            EXPECT_TRUE(Playing(game::loseTune, game::loseTuneIndex));
        }
        if (frame == 22) {
            EXPECT_FALSE(Playing(game::loseTune, game::loseTuneIndex));
            EXPECT_TRUE(Playing(game::menuTune, game::menuTuneIndex));
        }
    });
    EXPECT_EQ(trace.size(), 25u);
}

// The first numbers the game draws are the start-up's four, then the bee's reset in the first
// play frame of the first game (its y is still 300 from load time).
TEST_F(GameFlowTest, StartUpDrawsTheFirstFourNumbersAndTheFirstFallPositions) {
    Play("1 P down\n2 P up\n", 4, [](std::int64_t frame) {
        if (frame != 0) return;
        EXPECT_EQ(game::objects[game::kRedPot].x, 41 % 480);
        EXPECT_EQ(game::objects[game::kRedPot].y, 150);
        EXPECT_EQ(game::objects[game::kBluePot].x, 18467 % 480);
        EXPECT_EQ(game::objects[game::kBluePot].y, 250);
        EXPECT_EQ(game::objects[game::kBee].x, 6334 % 480);
        EXPECT_EQ(game::objects[game::kBee].y, 300);
        EXPECT_EQ(game::objects[game::kSecondBee].x, 26500 % 480);
        EXPECT_EQ(game::objects[game::kSecondBee].y, 350);
        EXPECT_EQ(game::player.x, 390);
        EXPECT_EQ(game::player.y, 270);
        for (int n = 0; n < 4; ++n) EXPECT_EQ(game::objects[game::kFirstLevelPot + n].x, 270 + 10 * n);
    });
    ASSERT_EQ(trace.size(), 4u);
    // Frame 1 only starts the game (level start); frame 2 is the first play frame.
    EXPECT_EQ(trace[1].red.y, 150);
    EXPECT_EQ(trace[2].red.x, 200);
    EXPECT_EQ(trace[2].red.y, 155);
    EXPECT_EQ(trace[2].blue.y, 255);
    EXPECT_EQ(trace[2].bee.x, 19169 % 450);
    EXPECT_EQ(trace[2].bee.y, -2);
    EXPECT_EQ(trace[3].bee.y, 0);
}

TEST_F(GameFlowTest, EveryAssetMissingStillReachesABlackTitleThatEQuits) {
    EmptyFolder empty;
    bool sawTitle = false;
    const replay::ReplayResult result = Play("3 E down\n", 10, [&](std::int64_t frame) {
        if (frame != 2) return;
        sawTitle = game::gameState == STATE_TITLE;
        for (std::int32_t y = 0; y < 480; y += 37)
            for (std::int32_t x = 0; x < 640; x += 41) ASSERT_EQ(Presented(x, y), 0u) << x << "," << y;
    });
    EXPECT_TRUE(sawTitle);
    EXPECT_TRUE(result.closed);
    EXPECT_EQ(trace.size(), 3u);
    EXPECT_TRUE(host.MessageBoxes().empty()) << "missing files are not reported";
}

TEST_F(GameFlowTest, PlayWithoutAssetsFallsButNeverCatches) {
    EmptyFolder empty;
    Play("0 P down\n1 P up\n", 300);
    ASSERT_EQ(trace.size(), 300u);
    EXPECT_EQ(trace.back().score, 0);
    EXPECT_EQ(trace.back().lives, 6);
    EXPECT_NE(trace.back().red.y, trace[10].red.y) << "the pots still fall";
}

struct StartFault {
    const char* name;
    platform::FaultPoint display;
    const char* inputFault;
    const char* message;
};
void PrintTo(const StartFault& c, std::ostream* os) { *os << c.name; }

class GameStartFaultTest : public GameFlowTest, public ::testing::WithParamInterface<StartFault> {};

// A fatal start-up ends the program before any frame; a frame called anyway touches nothing.
TEST_P(GameStartFaultTest, StopsAtTheFatalMessageAndFramesTouchNothing) {
    const StartFault& c = GetParam();
    if (c.display != platform::FaultPoint::Count) host.SetFault(c.display);
    if (c.inputFault) {
        ASSERT_TRUE(platform::headless::InputControls().SetFault(c.inputFault));
    }
    game::RegisterAppIcon();
    game::CreateMainWindow(platform::SW_SHOWNORMAL);
    EXPECT_EQ(game::GameInit(), 1);
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, c.message);
    EXPECT_EQ(game::titleSprite, nullptr) << "nothing is loaded after the fatal message";
    EXPECT_EQ(game::menuTune, nullptr);
    const int waits = host.VerticalBlankWaits();
    game::GameFrame();
    game::GameFrame();
    EXPECT_EQ(host.VerticalBlankWaits(), waits) << "no frame is drawn or presented";
    platform::Message quit;
    EXPECT_TRUE(platform::PeekMessage(&quit, nullptr, 0, 0, platform::PM_NOREMOVE));
    game::GameShutdown();
    EXPECT_EQ(game::screen, nullptr);
    EXPECT_EQ(game::input, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, GameStartFaultTest,
    ::testing::Values(StartFault{"NoDisplayDevice", platform::FaultPoint::DirectDrawCreate, nullptr, "Could not set windowed mode 640x480"},
                      StartFault{"NoPrimarySurface", platform::FaultPoint::CreatePrimarySurface, nullptr,
                                 "Could not set windowed mode 640x480"},
                      StartFault{"NoInputSystem", platform::FaultPoint::Count, "DirectInputCreate", "Could not create direct input object"},
                      StartFault{"KeyboardRefused", platform::FaultPoint::Count, "AcquireKeyboard", "Could not create direct input object"}),
    [](const ::testing::TestParamInfo<StartFault>& info) { return std::string(info.param.name); });

TEST_F(GameFlowTest, ShutdownFreesEverythingOnceAndASecondFindsNothing) {
    game::RegisterAppIcon();
    game::CreateMainWindow(platform::SW_SHOWNORMAL);
    game::GameInit();
    ASSERT_NE(game::screen, nullptr);
    // Twenty-one sprites are listed with the screen, plus the game-over picture.
    EXPECT_EQ(game::screen->SurfaceCount(), 22);
    platform::SendMessage(game::mainWindow, platform::WM_CLOSE, 0, 0);
    EXPECT_EQ(game::screen, nullptr);
    EXPECT_EQ(game::input, nullptr);
    EXPECT_EQ(game::titleSprite, nullptr);
    EXPECT_EQ(game::itemSound, nullptr);
    EXPECT_EQ(game::soundDevice, nullptr);
    EXPECT_EQ(game::player.sprite, nullptr);
    for (const game::GameObject& o : game::objects) EXPECT_EQ(o.sprite, nullptr);
    for (const game::GameObject& o : game::screens) EXPECT_EQ(o.sprite, nullptr);
    platform::SendMessage(game::mainWindow, platform::WM_CLOSE, 0, 0);
    EXPECT_EQ(game::screen, nullptr);
}

TEST_F(GameFlowTest, ResetBringsBackEveryLoadTimeValue) {
    Play("0 P down\n1 P up\n", 50, [](std::int64_t) { game::score = 4; });
    game::textBuffer[0] = 'x';
    game::secondBeeStartY = 1;
    game::objects[7].visible = false;
    game::ResetGameValues();
    EXPECT_EQ(game::gameState, STATE_TITLE);
    EXPECT_EQ(game::levelTarget, 10);
    EXPECT_EQ(game::score + game::level + game::lives + game::beeSpeed + game::backgroundIndex, 0);
    EXPECT_EQ(game::redPotFall.x, 200);
    EXPECT_EQ(game::redPotFall.y, 150);
    EXPECT_EQ(game::bluePotFall.x, 300);
    EXPECT_EQ(game::bluePotFall.y, 250);
    EXPECT_EQ(game::beeFall.x, 300);
    EXPECT_EQ(game::beeFall.y, 300);
    EXPECT_EQ(game::secondBeeStartY, 350);
    EXPECT_EQ(game::textBuffer[0], 0);
    EXPECT_TRUE(game::objects[7].visible);
    EXPECT_EQ(game::gameRandom.Next(), 41);
}

// A gamepad plays through the game's keys: a case gives keyboard keys, pad steps before given
// frames, and the state and the hero's step (x change) after each frame. Steps before frame 0
// are taken before the game starts.
struct PadStep {
    std::int64_t frame;
    enum { Button, StickX } kind;
    platform::PadButton button = platform::PadButton::A;
    std::int16_t value = 0;  // Button: 1 down, 0 up; StickX: the raw axis
};
struct PadFlowCase {
    const char* name;
    const char* keys;
    std::vector<PadStep> pad;
    std::vector<std::int32_t> states;
    std::vector<std::int32_t> heroSteps;  // empty: not checked
};
void PrintTo(const PadFlowCase& c, std::ostream* os) { *os << c.name; }

class PadFlowCases : public GameFlowTest, public ::testing::WithParamInterface<PadFlowCase> {};

TEST_P(PadFlowCases, PadButtonsAndStickAreTheGamesKeys) {
    const PadFlowCase& c = GetParam();
    platform::headless::HeadlessGamepads& pads = platform::headless::GamepadControls();
    pads.Connect(1, true);
    const auto apply = [&](std::int64_t frame) {
        for (const PadStep& s : c.pad) {
            if (s.frame != frame) continue;
            if (s.kind == PadStep::Button) pads.SetButton(1, s.button, s.value != 0);
            else pads.SetAxis(1, platform::PadAxis::LeftX, s.value);
        }
    };
    apply(0);
    Play(c.keys, static_cast<std::int64_t>(c.states.size()), [&](std::int64_t frame) { apply(frame + 1); });
    std::vector<std::int32_t> states, steps;
    for (std::size_t f = 0; f < trace.size(); ++f) {
        states.push_back(trace[f].state);
        if (f > 0) steps.push_back(trace[f].heroX - trace[f - 1].heroX);
    }
    EXPECT_EQ(states, c.states);
    if (!c.heroSteps.empty()) {
        EXPECT_EQ(steps, c.heroSteps);
    }
}

using platform::PadButton;
constexpr std::int32_t T = STATE_TITLE, P = STATE_PLAY, L = STATE_LOSE;

INSTANTIATE_TEST_SUITE_P(
    Pads, PadFlowCases,
    ::testing::Values(
        PadFlowCase{"AStartsPlay", "", {{1, PadStep::Button, PadButton::A, 1}, {3, PadStep::Button, PadButton::A, 0}}, {T, P, P, P, P}, {}},
        PadFlowCase{"StartStartsPlayAndBGivesUp", "",
                    {{1, PadStep::Button, PadButton::Start, 1}, {2, PadStep::Button, PadButton::Start, 0}, {4, PadStep::Button, PadButton::B, 1}},
                    {T, P, P, P, L, L}, {}},
        // A held on the lose screen is M there; on the title it is not P as well until pressed again.
        PadFlowCase{"AHeldLeavesTheLoseScreenOnly", "1 P down\n2 P up\n3 ESC down\n4 ESC up\n",
                    {{5, PadStep::Button, PadButton::A, 1}},
                    {T, P, P, L, L, T, T, T, T}, {}},
        // A pad's button already down when the game starts is no press.
        PadFlowCase{"AButtonDownAtStartIsNoPress", "", {{0, PadStep::Button, PadButton::A, 1}}, {T, T, T}, {}},
        // Play from frame 1; the d-pad walks, the stick past half its travel walks, a drifting
        // stick does not.
        PadFlowCase{"DpadAndStickWalkTheHero", "1 P down\n2 P up\n",
                    {{2, PadStep::Button, PadButton::DpadLeft, 1}, {4, PadStep::Button, PadButton::DpadLeft, 0},
                     {4, PadStep::StickX, {}, 20000}, {6, PadStep::StickX, {}, 8000}, {7, PadStep::StickX, {}, -32768},
                     {8, PadStep::StickX, {}, 0}, {8, PadStep::Button, PadButton::DpadRight, 1}},
                    {T, P, P, P, P, P, P, P, P}, {0, -7, -7, 7, 7, 0, -7, 7}}),
    [](const ::testing::TestParamInfo<PadFlowCase>& info) { return std::string(info.param.name); });

}  // namespace
