#include <gtest/gtest.h>

#include "game/game_random.h"

namespace {

// The sequence of the generator with state x 214013 + 2531011 from state 1, taking bits 16..30.
TEST(GameRandom, DrawsTheFixedSequenceFromStateOne) {
    game::GameRandom random;
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464})
        EXPECT_EQ(random.Next(), expected);
}

TEST(GameRandom, StaysWithinFifteenBitsAndResetsToTheStart) {
    game::GameRandom random;
    for (int i = 0; i < 100000; ++i) {
        const int value = random.Next();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
    random.Reset();
    EXPECT_EQ(random.State(), 1u);
    EXPECT_EQ(random.Next(), 41);
}

}  // namespace
