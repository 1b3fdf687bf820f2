#include "core/random.h"

#include <gtest/gtest.h>

namespace {

TEST(EngineRandTest, FirstValuesFromStateOne)
{
    // state = state * 214013 + 2531011 (mod 2^32), value = bits 16..30 of the state:
    // 1 -> 2745024 (value 41) -> 3357800067 (18467) -> 415139642 (6334) -> ...
    EngineSRand(1);
    for (int expected : {41, 18467, 6334, 26500, 19169})
        EXPECT_EQ(EngineRand(), expected);
    EXPECT_EQ(EngineRandState(), 3403800452u);
}

TEST(EngineRandTest, SavedStateReplaysTheSameValues)
{
    EngineSRand(12345);
    const u32_t saved = EngineRandState();
    const int first = EngineRand();
    const int second = EngineRand();

    EngineSRand(saved);
    EXPECT_EQ(EngineRand(), first);
    EXPECT_EQ(EngineRand(), second);
}

}  // namespace
