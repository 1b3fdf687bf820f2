#include "ai/soldier/ai_log.h"

#include <cstdarg>
#include <cstdio>

#include "ai/soldier/ai_state.h"
#include "platform/file_system.h"

namespace {

std::FILE* LogFile()
{
    return static_cast<std::FILE*>(g_ai.aiLogFile);
}

}  // namespace

bool AILogOpen(const char* path)
{
    AILogClose();
    g_ai.aiLogFile = path ? PlatformOpenFile(path, "w") : nullptr;
    return g_ai.aiLogFile != nullptr;
}

void AILogClose()
{
    if (std::FILE* file = LogFile())
        std::fclose(file);
    g_ai.aiLogFile = nullptr;
}

bool AILogIsOpen()
{
    return LogFile() != nullptr;
}

void AILogWrite(const char* text)
{
    std::FILE* file = LogFile();
    if (!file || !text)
        return;
    std::fputs(text, file);
    std::fflush(file);
}

void AILogPrintf(const char* format, ...)
{
    std::FILE* file = LogFile();
    if (!file)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fflush(file);
}
