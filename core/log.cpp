#include "core/log.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/types.h"
#include "platform/win32.h"

namespace {

// Plain constant-initialised state: it is valid before any static initialiser runs, so code in other
// files may log from their own initialisers and open the log on first use.
FILE* g_logFile = nullptr;
bool g_logStarted = false;
char g_logBuffer[1024];
char g_debugBuffer[2048];
u8_t g_cursorVisible = 1;

void WriteLogText(const char* text)
{
    if (!g_logFile)
        return;
    std::fputs(text, g_logFile);  // the text is written as it is: it is no format
    std::fflush(g_logFile);
    Sleep(0);
}

void CloseLog()
{
    if (g_logFile) {
        std::fclose(g_logFile);
        g_logFile = nullptr;
    }
}

// Opens "zintar.log" once, writes its header and closes it at exit. Registered this early, the close
// handler runs after the destructors of every static object built later, so they can still log.
void StartLog()
{
    if (g_logStarted)
        return;
    g_logStarted = true;
    g_logFile = std::fopen("zintar.log", "w");
    // Without a log every later line would be lost without a word: say so where it can be seen.
    if (!g_logFile)
        std::fprintf(stderr, "WARNING: Cannot write \"zintar.log\" in the working folder: %s\n", std::strerror(errno));
    WriteLogText("Zintar Log File\n");
    std::snprintf(g_logBuffer, sizeof g_logBuffer, "Build: %s %s\n\n", __DATE__, __TIME__);
    WriteLogText(g_logBuffer);
    std::atexit(CloseLog);
}

struct LogStarter {
    LogStarter() { StartLog(); }
} g_logStarter;

// A second running instance is not refused: Linux has no named system object to test for it.

}  // namespace

int Log(const char* format, ...)
{
    StartLog();
    std::va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(g_logBuffer, sizeof g_logBuffer, format, arguments);
    va_end(arguments);
    if (length >= 0)
        WriteLogText(g_logBuffer);
    return 0;
}

int LogFailure(const char* format, ...)
{
    StartLog();
    std::va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(g_logBuffer, sizeof g_logBuffer, format, arguments);
    va_end(arguments);
    if (length >= 0) {
        WriteLogText(g_logBuffer);
        std::fputs(g_logBuffer, stderr);
        std::fflush(stderr);
    }
    return 0;
}

int DebugPrint(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(g_debugBuffer, sizeof g_debugBuffer, format, arguments);
    va_end(arguments);
    if (length >= 0)
        OutputDebugStringA(g_debugBuffer);
    Sleep(0);
    return 0;
}

void SetCursorVisible(bool visible)
{
    const u8_t wanted = visible ? 1 : 0;
    if (wanted == g_cursorVisible)
        return;
    ShowCursor(visible ? TRUE : FALSE);
    g_cursorVisible = wanted;
}

bool LogIsOpen()
{
    StartLog();
    return g_logFile != nullptr;
}
