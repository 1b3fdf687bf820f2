#include <gtest/gtest.h>

#include <thread>

#include "platform/win32.h"

namespace {

TEST(TickCountTest, StartsWellAboveZeroAndAdvancesWithSleep) {
    const DWORD first = GetTickCount();
    EXPECT_GE(first, 0x10000u);
    Sleep(30);
    const DWORD elapsed = GetTickCount() - first;  // unsigned: right across a wrap as well
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 5000u);
}

TEST(TickCountTest, NeverGoesBackwards) {
    DWORD previous = GetTickCount();
    for (int i = 0; i < 1000; ++i) {
        Sleep(i % 100 == 0 ? 1 : 0);
        const DWORD now = GetTickCount();
        ASSERT_LT(now - previous, 0x80000000u);
        previous = now;
    }
}

TEST(LastErrorTest, BelongsToEachThread) {
    SetLastError(42);
    std::thread([] {
        EXPECT_EQ(GetLastError(), 0u);
        SetLastError(7);
    }).join();
    EXPECT_EQ(GetLastError(), 42u);
}

}  // namespace
