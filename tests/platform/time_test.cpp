#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/test_clock.h"
#include "platform/win32.h"

namespace {

TEST(TickCountTest, StartsWellAboveZeroAndAdvancesWithSleep)
{
    const DWORD first = GetTickCount();
    EXPECT_GE(first, 0x10000u);
    Sleep(30);
    const DWORD elapsed = GetTickCount() - first;  // unsigned: right across a wrap as well
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 5000u);
}

TEST(TickCountTest, NeverGoesBackwards)
{
    DWORD previous = GetTickCount();
    for (int i = 0; i < 1000; ++i) {
        Sleep(i % 100 == 0 ? 1 : 0);
        const DWORD now = GetTickCount();
        ASSERT_LT(now - previous, 0x80000000u);
        previous = now;
    }
}

DWORD g_heardAt = 0;

TEST(TickCountTest, TheTestClockIsExactAndSleepsMoveItOnAtOnce)
{
    PlatformTestClockStart(0xFFFFFF00u);
    PlatformTestClockOnSleep([](DWORD now) { g_heardAt = now; });
    EXPECT_EQ(GetTickCount(), 0xFFFFFF00u);
    const auto start = std::chrono::steady_clock::now();
    Sleep(60000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(GetTickCount(), 0xFFFFFF00u + 60000u);  // wraps as the real ticks do
    EXPECT_EQ(g_heardAt, GetTickCount());
    PlatformTestClockAdvance(5);
    EXPECT_EQ(GetTickCount(), 0xFFFFFF00u + 60005u);
    EXPECT_EQ(g_heardAt, 0xFFFFFF00u + 60000u);  // only a sleep is heard

    PlatformTestClockStop();
    const DWORD real = GetTickCount();
    Sleep(30);
    EXPECT_GE(GetTickCount() - real, 30u);
    EXPECT_EQ(g_heardAt, 0xFFFFFF00u + 60000u);  // the listener went with the clock
}

TEST(LastErrorTest, BelongsToEachThread)
{
    SetLastError(42);
    std::thread([] {
        EXPECT_EQ(GetLastError(), 0u);
        SetLastError(7);
    }).join();
    EXPECT_EQ(GetLastError(), 42u);
}

}  // namespace
