// Millisecond ticks, sleeping, debugger output and the per-thread last error; the test clock.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "platform/test_clock.h"
#include "platform/win32.h"

namespace {

// Ticks never start near zero: code that keeps "0" to mean "never happened" or measures
// "now - last" against a zero start must not mistake the first moments of a run for either.
constexpr std::uint64_t kTickOffset = 0x10000;

thread_local DWORD t_lastError = 0;

// The test clock: ticks read and moved by any thread; the listener is set and called on the test's.
std::atomic<bool> g_testClockRunning{false};
std::atomic<DWORD> g_testClockNow{0};
void (*g_testClockListener)(DWORD now) = nullptr;

}  // namespace

DWORD GetTickCount()
{
    if (g_testClockRunning.load()) {
        return g_testClockNow.load();
    }
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    return static_cast<DWORD>(kTickOffset + static_cast<std::uint64_t>(milliseconds));
}

namespace {
std::atomic<bool> g_testLocalTimeSet{false};
std::atomic<WORD> g_testLocalHour{0};
std::atomic<WORD> g_testLocalMinute{0};
}  // namespace

void PlatformTestLocalTimeSet(WORD hour, WORD minute)
{
    g_testLocalHour = hour;
    g_testLocalMinute = minute;
    g_testLocalTimeSet = true;
}

void PlatformTestLocalTimeClear()
{
    g_testLocalTimeSet = false;
}

void GetLocalTime(SYSTEMTIME* time)
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto sinceSecond = now - std::chrono::system_clock::from_time_t(seconds);
    std::tm local = {};
    localtime_r(&seconds, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec);
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(sinceSecond).count();
    time->wMilliseconds = static_cast<WORD>(milliseconds < 0 ? 0 : milliseconds % 1000);
    if (g_testLocalTimeSet.load()) {
        time->wHour = g_testLocalHour.load();
        time->wMinute = g_testLocalMinute.load();
        time->wSecond = 0;
        time->wMilliseconds = 0;
    }
}

void Sleep(DWORD milliseconds)
{
    if (g_testClockRunning.load()) {
        PlatformTestClockAdvance(milliseconds);
        if (g_testClockListener != nullptr) {
            g_testClockListener(g_testClockNow.load());
        }
        return;
    }
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void OutputDebugStringA(const char* text)
{
    if (text != nullptr && std::getenv("ZINTAR_DEBUG") != nullptr) {
        std::fputs(text, stderr);
    }
}

DWORD GetLastError()
{
    return t_lastError;
}

void SetLastError(DWORD error)
{
    t_lastError = error;
}

void PlatformTestClockStart(DWORD now)
{
    g_testClockNow.store(now);
    g_testClockRunning.store(true);
}

void PlatformTestClockStop()
{
    g_testClockRunning.store(false);
    g_testClockListener = nullptr;
}

void PlatformTestClockAdvance(DWORD milliseconds)
{
    g_testClockNow.fetch_add(milliseconds);
}

void PlatformTestClockOnSleep(void (*listener)(DWORD now))
{
    g_testClockListener = listener;
}
