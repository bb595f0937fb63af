// The table of backends: what is built in, which one a program runs on once chosen, and that the
// choice stays for the life of the process.
#include "platform/core/backend.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/audio/audio_host.h"
#include "platform/input/input_host.h"
#include "tests/headless_test.h"

namespace {

class BackendTableTest : public HeadlessTest {};

std::vector<std::string> BuiltInNames() {
    std::vector<std::string> names;
    for (const platform::Backend& backend : platform::BuiltInBackends()) names.emplace_back(backend.name);
    return names;
}

TEST_F(BackendTableTest, TheHeadlessBackendIsBuiltInLastAndAlwaysRuns) {
    const auto names = BuiltInNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.back(), "headless") << "the backend that runs anywhere comes last, after the real ones";
#if MEDIA_TEST_WITH_SDL
    EXPECT_EQ(names.front(), "sdl") << "where SDL2 is built in, programs prefer it";
#endif
    for (const platform::Backend& backend : platform::BuiltInBackends()) {
        SCOPED_TRACE(backend.name);
        EXPECT_NE(backend.probe, nullptr);
        EXPECT_NE(std::string(backend.description), "");
    }
    EXPECT_TRUE(platform::BuiltInBackends().back().probe());
}

TEST_F(BackendTableTest, TheChosenBackendStaysAndAnswersEveryPart) {
    // The fixture reached for the headless controls, which named the headless backend.
    EXPECT_STREQ(platform::CurrentBackend().name, "headless");
    EXPECT_TRUE(platform::UseBackend("headless"));
    EXPECT_FALSE(platform::UseBackend("no such backend"));
    for (const std::string& other : BuiltInNames()) {
        if (other != "headless") {
            EXPECT_FALSE(platform::UseBackend(other)) << other << " cannot replace the one in use";
        }
    }
    const platform::Backend& headless = platform::BuiltInBackends().back();
    EXPECT_EQ(&platform::CurrentClock(), &headless.clock());
    EXPECT_EQ(&platform::CurrentDisplayHost(), &headless.display());
    EXPECT_EQ(&platform::CurrentWindowHost(), &headless.window());
    EXPECT_EQ(&platform::CurrentInputHost(), &headless.input());
    EXPECT_EQ(&platform::CurrentAudioHost(), &headless.audio());
    EXPECT_EQ(static_cast<platform::Clock*>(&host), &platform::CurrentClock()) << "the test controls are the backend in use";
}

// Before the platform is first used: a name the program asks for is kept, and an unknown name
// asked for after it changes nothing. Run in a fresh process, where no backend is chosen yet.
TEST(BackendChoiceTest, UnknownNameLeavesTheOneNamedBefore) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const bool named = platform::UseBackend("headless");
            const bool unknown = platform::UseBackend("no-such");
            const std::string chosen = platform::CurrentBackend().name;
            std::fprintf(stderr, "named %d, unknown %d, chosen %s\n", named, unknown, chosen.c_str());
            std::exit(named && !unknown && chosen == "headless" ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "named 1, unknown 0, chosen headless");
}

}  // namespace
