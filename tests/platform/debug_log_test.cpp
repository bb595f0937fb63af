// The headless backend's debugger-output log: bounded to its last messages, counted when it
// drops older ones, and emptied by a drain or a Reset.
#include <gtest/gtest.h>

#include <string>

#include "platform/core/system.h"
#include "tests/headless_test.h"

namespace {

using Log = platform::headless::HeadlessBackend;
constexpr std::size_t kCapacity = Log::kDebugLogCapacity;

class DebugLogTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        host.SetDebugEcho(false);
    }
    void Write(std::size_t count, std::size_t first = 0) {
        for (std::size_t i = first; i < first + count; ++i) platform::OutputDebugString(("message " + std::to_string(i)).c_str());
    }
};

struct BoundCase {
    const char* name;
    std::size_t written;
};
void PrintTo(const BoundCase& c, std::ostream* os) { *os << c.name; }

class DebugLogBoundTest : public DebugLogTest, public ::testing::WithParamInterface<BoundCase> {};

// Whatever was written, the log holds the newest messages in order and counts the rest.
TEST_P(DebugLogBoundTest, KeepsTheNewestMessagesInOrder) {
    const std::size_t written = GetParam().written;
    Write(written);
    const std::size_t kept = std::min(written, kCapacity);
    ASSERT_EQ(host.DebugMessages().size(), kept);
    EXPECT_EQ(host.DroppedDebugMessages(), written - kept);
    for (std::size_t i = 0; i < kept; ++i)
        ASSERT_EQ(host.DebugMessages()[i], "message " + std::to_string(written - kept + i)) << "entry " << i;
}

INSTANTIATE_TEST_SUITE_P(Counts, DebugLogBoundTest,
                         ::testing::Values(BoundCase{"None", 0}, BoundCase{"One", 1}, BoundCase{"OneShort", kCapacity - 1},
                                           BoundCase{"Full", kCapacity}, BoundCase{"OneOver", kCapacity + 1},
                                           BoundCase{"ManyTimesOver", 10 * kCapacity + 7}),
                         [](const ::testing::TestParamInfo<BoundCase>& info) { return std::string(info.param.name); });

TEST_F(DebugLogTest, DrainHandsOverAndEmpties) {
    Write(kCapacity + 3);
    const std::vector<std::string> drained = host.DrainDebugMessages();
    ASSERT_EQ(drained.size(), kCapacity);
    EXPECT_EQ(drained.front(), "message 3");
    EXPECT_EQ(drained.back(), "message " + std::to_string(kCapacity + 2));
    EXPECT_TRUE(host.DebugMessages().empty());
    EXPECT_EQ(host.DroppedDebugMessages(), 0u);
    EXPECT_TRUE(host.DrainDebugMessages().empty()) << "a second drain found messages";

    // After a drain the log fills again from empty.
    Write(2, 100);
    ASSERT_EQ(host.DebugMessages().size(), 2u);
    EXPECT_EQ(host.DebugMessages()[0], "message 100");
}

TEST_F(DebugLogTest, ResetEmptiesAndForgetsTheDroppedCount) {
    Write(kCapacity + 5);
    host.Reset();
    EXPECT_TRUE(host.DebugMessages().empty());
    EXPECT_EQ(host.DroppedDebugMessages(), 0u);
}

}  // namespace
