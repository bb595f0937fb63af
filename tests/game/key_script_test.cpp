#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tools/replay/key_script.h"

namespace {

struct ScriptCase {
    const char* name;
    const char* text;
    std::vector<replay::KeyEvent> events;
    const char* error;  // the start of the message, "" when the script is good
};
void PrintTo(const ScriptCase& c, std::ostream* os) { *os << c.name; }

class KeyScriptTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(KeyScriptTest, Reads) {
    const ScriptCase& c = GetParam();
    std::istringstream in(c.text);
    const replay::KeyScript script = replay::ReadKeyScript(in);
    EXPECT_EQ(script.error.substr(0, std::string(c.error).size()), c.error);
    EXPECT_EQ(script.error.empty(), std::string(c.error).empty()) << script.error;
    if (!script.error.empty()) return;
    ASSERT_EQ(script.events.size(), c.events.size());
    for (std::size_t i = 0; i < c.events.size(); ++i) {
        EXPECT_EQ(script.events[i].frame, c.events[i].frame) << i;
        EXPECT_EQ(script.events[i].code, c.events[i].code) << i;
        EXPECT_EQ(script.events[i].down, c.events[i].down) << i;
        EXPECT_EQ(script.events[i].line, c.events[i].line) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, KeyScriptTest,
    ::testing::Values(
        ScriptCase{"AllNineKeysAnyCase",
                   "0 esc down\n1 A up\n2 e DOWN\n3 m down\n4 O up\n5 p down\n6 x up\n7 left arrow down\n8 Right Arrow up\n",
                   {{0, 27, true, 1}, {1, 97, false, 2}, {2, 101, true, 3}, {3, 109, true, 4}, {4, 111, false, 5},
                    {5, 112, true, 6}, {6, 120, false, 7}, {7, 134, true, 8}, {8, 135, false, 9}},
                   ""},
        ScriptCase{"CommentsBlankLinesAndSpaces", "# a game\n\n   12   LEFT    ARROW   down   # walk\n\t\n30 P up#x\n",
                   {{12, 134, true, 3}, {30, 112, false, 5}}, ""},
        ScriptCase{"OutOfOrderFramesAreKept", "9 P up\n3 P down\n", {{9, 112, false, 1}, {3, 112, true, 2}}, ""},
        ScriptCase{"UnknownKey", "1 P down\n2 Q down\n", {}, "line 2: unknown key name 'Q'"},
        ScriptCase{"ArrowWithoutSide", "1 ARROW down\n", {}, "line 1: unknown key name"},
        ScriptCase{"MissingDirection", "1 P\n", {}, "line 1:"},
        ScriptCase{"WrongDirection", "\n\n5 P pressed\n", {}, "line 3:"},
        ScriptCase{"NegativeFrame", "-1 P down\n", {}, "line 1:"},
        ScriptCase{"FrameWithLetters", "1x P down\n", {}, "line 1:"},
        ScriptCase{"FrameTooLarge", "99999999999999999999999 P down\n", {}, "line 1:"}),
    [](const ::testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.name); });

// Line lengths around the cap: a line of exactly the longest length is read (here a comment or
// an event padded with spaces), one character more is malformed and named, wherever it is.
struct LengthCase {
    const char* name;
    std::string text;
    const char* error;   // "" when the script is good
    std::size_t events;  // read before the end or the malformed line
};
void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }

class KeyScriptLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(KeyScriptLengthTest, CapsTheLine) {
    const LengthCase& c = GetParam();
    std::istringstream in(c.text);
    const replay::KeyScript script = replay::ReadKeyScript(in);
    EXPECT_EQ(script.error, c.error);
    EXPECT_EQ(script.events.size(), c.events);
}

constexpr std::size_t kMax = replay::kMaxKeyScriptLine;
const std::string kEvent = "1 P down";

INSTANTIATE_TEST_SUITE_P(
    Lengths, KeyScriptLengthTest,
    ::testing::Values(
        LengthCase{"LongestComment", "#" + std::string(kMax - 1, 'x') + "\n" + kEvent + "\n", "", 1},
        LengthCase{"LongestEvent", kEvent + std::string(kMax - kEvent.size(), ' ') + "\n", "", 1},
        LengthCase{"LongestWithoutLineEnd", kEvent + "\n#" + std::string(kMax - 1, 'x'), "", 1},
        LengthCase{"LongestWithCarriageReturn", kEvent + std::string(kMax - kEvent.size() - 1, ' ') + "\r\n", "", 1},
        LengthCase{"OneOverInComment", kEvent + "\n#" + std::string(kMax, 'x') + "\n", "line 2: longer than 1024 characters", 1},
        LengthCase{"OneOverWithoutLineEnd", std::string(kMax + 1, ' '), "line 1: longer than 1024 characters", 0},
        LengthCase{"NulBytesWithoutEnd", std::string(100000, '\0'), "line 1: longer than 1024 characters", 0},
        LengthCase{"ManyShortLinesThenLong", std::string(500, '\n') + std::string(kMax + 1, 'a'),
                   "line 501: longer than 1024 characters", 0}),
    [](const ::testing::TestParamInfo<LengthCase>& info) { return std::string(info.param.name); });

// A stream the system refuses to read (a directory opened as a file) is an error, not an empty
// script.
TEST(KeyScriptReadTest, UnreadableStreamIsAnError) {
    std::ifstream directory("/");
    if (!directory) GTEST_SKIP() << "this system does not open a directory as a file";
    const replay::KeyScript script = replay::ReadKeyScript(directory);
    EXPECT_EQ(script.error, "line 1: the key script could not be read");
    EXPECT_TRUE(script.events.empty());
}

}  // namespace
