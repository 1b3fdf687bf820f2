// Console lines of the form name, '=', value run against the console variables, and console scripts.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/console/console.h"
#include "core/console/console_state.h"
#include "core/console/console_var.h"
#include "core/log.h"
#include "core/files/vfs.h"
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

namespace {

// One console line run against the console variables (ConExec); false when it names no variable,
// with its name in refused.
bool ExecLine(const char* line, bool silent, std::string* refused)
{
    if (!line)
        return true;
    if (!silent)
        ConPrint(ConOutputConsole(), "%s\n", line);

    char name[kMaxNameLength + 1];
    int nameLength = 0;
    const char* p = line;
    while (nameLength < kMaxNameLength && *p && !IsBlank(*p) && *p != '=')
        name[nameLength++] = *p++;
    name[nameLength] = '\0';
    if (nameLength == 0)
        return true;

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

    bool taken = true;
    if (ConsoleVar* cvar = CVarListFind(name)) {
        cvar->SetFromText(value);
    } else {
        taken = false;
        if (refused)
            refused->assign(name);
        if (!silent)
            ConPrint(ConOutputConsole(), "\nError: No such variable\n");
    }
    g_console.scrollOffset = 0;
    return taken;
}

// A script line that names no console variable is left out: the log says which, so that a mistyped
// or damaged setting does not go unnoticed. Comment lines ("#", "//") are no settings.
void ExecScriptLine(const char* fileName, int number, const char* line)
{
    std::string refused;
    if (ExecLine(line, true, &refused) || refused.empty() || refused[0] == '#' || refused.rfind("//", 0) == 0)
        return;
    // A damaged file may hold any bytes: the log shows them as '?', and a long word cut short.
    if (refused.size() > 64)
        refused.resize(64);
    for (char& c : refused) {
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126)
            c = '?';
    }
    Log("%s:%d: no console variable \"%s\": the line is left out\n", fileName, number, refused.c_str());
}

}  // namespace

void ConExec(const char* line, bool silent)
{
    ExecLine(line, silent, nullptr);
}

int ConExecFile(const char* fileName)
{
    if (!fileName)
        return -1;
    char line[CON_SCRIPT_LINE_SIZE];
    if (std::FILE* file = PlatformOpenFile(fileName, "rb")) {
        if (PlatformIsRegularFile(file)) {
            int number = 0;
            while (std::fgets(line, sizeof line, file))
                ExecScriptLine(fileName, ++number, line);
            std::fclose(file);
            return 0;
        }
        std::fclose(file);
    }
    if (!VFSOpenFile(fileName, false))
        return -1;
    int number = 0;
    while (VFSReadLine(line, sizeof line))
        ExecScriptLine(fileName, ++number, line);
    VFSCloseFile();
    return 0;
}
