// Console lines of the form name, '=', value run against the console variables, and console scripts.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/console.h"
#include "core/console_state.h"
#include "core/console_var.h"
#include "core/vfs.h"
#include "platform/file_system.h"

namespace {

constexpr int kMaxNameLength = 255;

inline bool IsBlank(char c)
{
    return c != '\0' && static_cast<unsigned char>(c) <= 32;
}

inline bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

}  // namespace

void ConExec(const char* line, bool silent)
{
    if (!line)
        return;
    if (!silent)
        ConPrint(ConOutputConsole(), "%s\n", line);

    char name[kMaxNameLength + 1];
    int nameLength = 0;
    const char* p = line;
    while (nameLength < kMaxNameLength && *p && !IsBlank(*p) && *p != '=')
        name[nameLength++] = *p++;
    name[nameLength] = '\0';
    if (nameLength == 0)
        return;

    while (IsBlank(*p))
        ++p;
    if (*p == '=') {
        ++p;
        while (IsBlank(*p))
            ++p;
    }

    // The line end of a script line (CR LF from Windows files too) is no part of the value.
    const char* valueEnd = p + std::strlen(p);
    while (valueEnd > p && IsLineEnd(valueEnd[-1]))
        --valueEnd;
    std::string trimmedValue;
    const char* value = p;
    if (*valueEnd != '\0') {
        trimmedValue.assign(p, valueEnd);
        value = trimmedValue.c_str();
    }

    if (ConsoleVar* cvar = CVarListFind(name))
        cvar->SetFromText(value);
    else if (!silent)
        ConPrint(ConOutputConsole(), "\nError: No such variable\n");
    g_console.scrollOffset = 0;
}

int ConExecFile(const char* fileName)
{
    if (!fileName)
        return -1;
    char line[CON_SCRIPT_LINE_SIZE];
    if (std::FILE* file = PlatformOpenFile(fileName, "rb")) {
        if (PlatformIsRegularFile(file)) {
            while (std::fgets(line, sizeof line, file))
                ConExec(line, true);
            std::fclose(file);
            return 0;
        }
        std::fclose(file);
    }
    if (!VFSOpenFile(fileName, false))
        return -1;
    while (VFSReadLine(line, sizeof line))
        ConExec(line, true);
    VFSCloseFile();
    return 0;
}
