// Mission timers driven frame by frame with chosen frame times: when a waiting runner moves on, how
// elapsed time grows, and how timers leave the list.
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>
#include "ai/msal/mission_script_runner.h"
#include "ai/msal/msal_reader.h"
#include "core/mission_timers.h"

namespace {

// A script runner waiting on a timer.
struct WaitingRunner {
    MSALCommandList commands;
    MSALRunner runner;
    WaitingRunner() { runner.commands = &commands; }
    s32_t advances() const { return static_cast<s32_t>(runner.advances); }
    bool waiting() const { return commands.waiting != 0; }
};

class MissionTimers : public ::testing::Test {
protected:
    void SetUp() override { ClearTimers(); }
    void TearDown() override { ClearTimers(); }

    static s32_t Count() { return GetTimerList()->count; }
    static const MissionTimer& At(s32_t index) { return *(*GetTimerList())[index]; }
    static std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (s32_t i = 0; i < Count(); ++i)
            names.emplace_back(At(i).name.Text());
        return names;
    }
};

struct FiringCase {
    s32_t seconds;
    float frameTime;
    int fireFrame;  // the frame (counted from 1) in which the runner moves on; 0: never in 200 frames
};

void PrintTo(const FiringCase& c, std::ostream* out)
{
    *out << c.seconds << " s at " << c.frameTime << " s a frame";
}

class TimerFiring : public MissionTimers, public ::testing::WithParamInterface<FiringCase> {};

TEST_P(TimerFiring, RunnerMovesOnOnceInTheFrameAfterTheDurationIsReached)
{
    const FiringCase& c = GetParam();
    WaitingRunner script;
    StartTimer(&script.runner, "countdown", c.seconds);
    EXPECT_TRUE(script.waiting());
    EXPECT_TRUE(AnyTimerRunning());

    for (int frame = 1; frame <= 200; ++frame) {
        TimersTick(c.frameTime);
        const bool fired = c.fireFrame != 0 && frame >= c.fireFrame;
        ASSERT_EQ(script.advances(), fired ? 1 : 0) << "frame " << frame;
        ASSERT_EQ(script.waiting(), !fired) << "frame " << frame;
        ASSERT_EQ(Count(), fired ? 0 : 1) << "frame " << frame;
    }
}

INSTANTIATE_TEST_SUITE_P(FrameTimes, TimerFiring,
                         ::testing::Values(FiringCase{1, 0.1f, 11},      // 10 frames reach 1000 ms
                                           FiringCase{1, 0.3f, 5},       // 1200 ms is held at 1000
                                           FiringCase{2, 0.0159f, 135},  // 15 ms a frame: 133 x 15 < 2000 <= 134 x 15
                                           FiringCase{0, 0.1f, 0},       // a timer of 0 s never fires
                                           FiringCase{-5, 0.1f, 0},      // nor does a negative one
                                           FiringCase{1, 0.0004f, 0}));  // 0.4 ms steps count as 0 ms

struct AdvanceCase {
    float frameTime;
    int frames;
    u32_t elapsed;
};

void PrintTo(const AdvanceCase& c, std::ostream* out)
{
    *out << c.frames << " frames of " << c.frameTime << " s";
}

class TimerAdvance : public MissionTimers, public ::testing::WithParamInterface<AdvanceCase> {};

TEST_P(TimerAdvance, AddsWholeMillisecondsHeldAtTheDuration)
{
    StartTimer(nullptr, "ten seconds", 10);
    ASSERT_EQ(At(0).duration, 10000u);
    for (int i = 0; i < GetParam().frames; ++i)
        TimersTick(GetParam().frameTime);
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(At(0).elapsed, GetParam().elapsed);
}

INSTANTIATE_TEST_SUITE_P(FrameTimes, TimerAdvance,
                         ::testing::Values(AdvanceCase{0.0159f, 3, 45}, AdvanceCase{0.1f, 7, 700},
                                           AdvanceCase{4.0f, 3, 10000},       // held at the duration
                                           AdvanceCase{-1.0f, 3, 0},          // time never runs backwards
                                           AdvanceCase{1.0e30f, 1, 10000}));  // nor overflows

TEST_F(MissionTimers, TimersExpiringTogetherEachFireOnceAndAllLeave)
{
    WaitingRunner first, second, third, later;
    StartTimer(&first.runner, "a", 1);
    StartTimer(&second.runner, "b", 1);
    StartTimer(&third.runner, "c", 1);
    StartTimer(&later.runner, "d", 2);

    for (int frame = 0; frame < 10; ++frame)
        TimersTick(0.1f);
    EXPECT_EQ(Count(), 4);
    TimersTick(0.1f);
    EXPECT_EQ(Names(), std::vector<std::string>{"d"});
    for (int frame = 0; frame < 30; ++frame)
        TimersTick(0.1f);

    // Adjacent expired timers neither stay behind nor fire a second time.
    for (const WaitingRunner* script : {&first, &second, &third, &later}) {
        EXPECT_EQ(script->advances(), 1);
        EXPECT_FALSE(script->waiting());
    }
    EXPECT_FALSE(AnyTimerRunning());
}

TEST_F(MissionTimers, RemoveTimerEndsOneTimerAsOnExpiryAndKeepsTheOthersInOrder)
{
    WaitingRunner a, b, c;
    StartTimer(&a.runner, "a", 5);
    StartTimer(&b.runner, "b", 5);
    StartTimer(&c.runner, "c", 0);
    TimersTick(0.1f);

    for (s32_t ignored : {3, -1, 100})
        RemoveTimer(ignored);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c"}));

    RemoveTimer(1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(b.advances(), 1);
    EXPECT_FALSE(b.waiting());

    RemoveTimer(1);  // a timer of 0 s can only be ended by the player
    EXPECT_EQ(Names(), std::vector<std::string>{"a"});
    EXPECT_EQ(c.advances(), 1);

    EXPECT_EQ(a.advances(), 0);
    EXPECT_TRUE(a.waiting());
    for (int frame = 0; frame < 60; ++frame)
        TimersTick(0.1f);
    EXPECT_EQ(a.advances(), 1);
    EXPECT_EQ(b.advances(), 1);
}

TEST_F(MissionTimers, ClearTimersDropsEveryTimerWithoutNotifying)
{
    WaitingRunner script;
    StartTimer(&script.runner, "a", 1);
    StartTimer(nullptr, "b", 1);
    ClearTimers();
    EXPECT_FALSE(AnyTimerRunning());
    EXPECT_EQ(GetTimerList()->capacity, 0);
    for (int frame = 0; frame < 20; ++frame)
        TimersTick(0.1f);
    EXPECT_EQ(script.advances(), 0);
    EXPECT_TRUE(script.waiting());
}

}  // namespace
