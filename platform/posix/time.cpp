// Millisecond ticks, sleeping, debugger output and the per-thread last error.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/time_test_hooks.h"
#include "platform/win32.h"

namespace {

// Ticks never start near zero: code that keeps "0" to mean "never happened" or measures
// "now - last" against a zero start must not mistake the first moments of a run for either.
constexpr std::uint64_t kTickOffset = 0x10000;

thread_local DWORD t_lastError = 0;

bool g_ticksPinned = false;
DWORD g_pinnedTicks = 0;

}  // namespace

DWORD GetTickCount() {
    if (g_ticksPinned) {
        return g_pinnedTicks;
    }
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    return static_cast<DWORD>(kTickOffset + static_cast<std::uint64_t>(milliseconds));
}

void PlatformPinTickCount(DWORD ticks) {
    g_pinnedTicks = ticks;
    g_ticksPinned = true;
}

void PlatformUnpinTickCount() {
    g_ticksPinned = false;
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void OutputDebugStringA(const char* text) {
    if (text != nullptr && std::getenv("ZINTAR_DEBUG") != nullptr) {
        std::fputs(text, stderr);
    }
}

DWORD GetLastError() {
    return t_lastError;
}

void SetLastError(DWORD error) {
    t_lastError = error;
}
