#include "core/assert.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/log.h"
#include "platform/win32.h"

namespace {

// The bare source name the program reports: no folders, no extension ("winos" for "core/winos.cpp").
void BareSourceName(const char* path, char* name, size_t size)
{
    const char* start = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '/' || *p == '\\')
            start = p + 1;
    }
    const char* dot = std::strrchr(start, '.');
    const size_t length = dot ? static_cast<size_t>(dot - start) : std::strlen(start);
    std::snprintf(name, size, "%.*s", static_cast<int>(length), start);
}

}  // namespace

void AssertionFailed(const char* expression, const char* sourceFile, int line)
{
    if (!expression)
        expression = "";
    char source[256];
    BareSourceName(sourceFile ? sourceFile : "", source, sizeof source);

    Log("\n-- Assertion '%s' failed in %s, line %d\n", expression, source, line);
    char message[1024];
    std::snprintf(message, sizeof message, "Assertion '%s' failed in %s, line %d", expression, source, line);
    MessageBoxA(nullptr, message, "ERROR", MB_OK | MB_ICONERROR);
    // Ends at once, without exit handlers: the state that failed the check is not to be cleaned up.
    // The log is flushed line by line, so it is complete.
    std::_Exit(3);
}
