#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/win32.h"

namespace {

TEST(EventTest, AutoResetEventWakesOneWaitAcrossThreads)
{
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    std::atomic<bool> signalled{false};
    std::thread signaller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        signalled = true;
        EXPECT_TRUE(SetEvent(event));
    });
    EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(signalled);
    signaller.join();
    // The wait consumed the signal.
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(event));
}

TEST(EventTest, ManualResetEventStaysSignalledUntilReset)
{
    HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ResetEvent(event));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 50), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(45));
    EXPECT_TRUE(CloseHandle(event));
}

TEST(EventTest, ManualResetEventReleasesEveryWaiter)
{
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> woken{0};
    std::thread waiters[3];
    for (std::thread& waiter : waiters) {
        waiter = std::thread([&] {
            if (WaitForSingleObject(event, 5000) == WAIT_OBJECT_0) {
                ++woken;
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    SetEvent(event);
    for (std::thread& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(woken, 3);
    CloseHandle(event);
}

TEST(EventTest, SameNameGivesTheSameEventUntilEveryHandleIsClosed)
{
    HANDLE first = CreateEventA(nullptr, FALSE, FALSE, "Shared");
    EXPECT_EQ(GetLastError(), 0u);
    HANDLE second = CreateEventA(nullptr, FALSE, FALSE, "Shared");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    HANDLE other = CreateEventA(nullptr, FALSE, FALSE, "Other");
    ASSERT_NE(first, second);

    SetEvent(first);
    EXPECT_EQ(WaitForSingleObject(other, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);

    SetEvent(second);
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_TRUE(CloseHandle(second));
    HANDLE fresh = CreateEventA(nullptr, FALSE, FALSE, "Shared");
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_EQ(WaitForSingleObject(fresh, 0), WAIT_TIMEOUT);
    CloseHandle(fresh);
    CloseHandle(other);
}

TEST(EventTest, ClosedAndForeignHandlesFail)
{
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    EXPECT_TRUE(CloseHandle(event));
    EXPECT_FALSE(CloseHandle(event));
    EXPECT_FALSE(SetEvent(event));
    EXPECT_FALSE(ResetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForSingleObject(INVALID_HANDLE_VALUE, INFINITE), WAIT_FAILED);
}

}  // namespace
