// Keys typed into the shown console page: scrolling, editing the command line and Tab completion.
#include <cstring>

#include "core/console/console.h"
#include "core/console/console_state.h"
#include "core/console/console_var.h"
#include "platform/win32.h"

namespace {

constexpr const char* kLineLimitText = "Command line is limited to %d characters.\n";

// Every variable whose name begins with the typed text, in list order from the head.
void CompleteCommandLine()
{
    const char* typed = g_console.commandLine;
    const size_t typedLength = static_cast<size_t>(g_console.commandLength);
    const int page = ConOutputConsole();

    ConsoleVar* firstMatch = nullptr;
    int matchCount = 0;
    for (ConsoleVar* cvar = CVarListHead(); cvar; cvar = cvar->next) {
        if (std::strncmp(cvar->name.Text(), typed, typedLength) != 0)
            continue;
        if (++matchCount == 1) {
            firstMatch = cvar;
            continue;
        }
        if (matchCount == 2)
            ConPrint(page, "\n%s %s\n", firstMatch->name.Text(), firstMatch->ValueToText());
        ConPrint(page, "%s %s\n", cvar->name.Text(), cvar->ValueToText());
    }

    if (matchCount == 0) {
        ConPrint(page, "No such command/variable\n");
        return;
    }
    if (matchCount > 1)
        return;
    const u32_t nameLength = firstMatch->name.Length();
    if (nameLength + typedLength >= CON_COMMAND_LINE_SIZE) {
        ConPrint(page, kLineLimitText, CON_COMMAND_LINE_SIZE);
        return;
    }
    std::memcpy(g_console.commandLine, firstMatch->name.Text(), nameLength);
    g_console.commandLine[nameLength] = ' ';
    g_console.commandLength = static_cast<int>(nameLength) + 1;
    g_console.commandLine[g_console.commandLength] = '\0';
}

}  // namespace

void ConPageKey(int virtualKey)
{
    const int page = g_console.currentPage;
    if (page < 0 || page > 3)
        return;
    if (virtualKey == VK_PRIOR) {
        if (g_console.scrollOffset < ConLineCapacity(page))
            ++g_console.scrollOffset;
    } else if (virtualKey == VK_NEXT) {
        if (g_console.scrollOffset > 0)
            --g_console.scrollOffset;
    }
}

void ConKeyInput(int character)
{
    if (g_console.currentPage < 0)
        return;
    if (character == '\b' && g_console.commandLength > 0) {
        g_console.commandLine[--g_console.commandLength] = '\0';
        return;
    }
    g_console.commandLine[g_console.commandLength] = '\0';

    if (character == '\r') {
        ConExec(g_console.commandLine, false);
        g_console.commandLength = 0;
        g_console.commandLine[0] = '\0';
    } else if (character == '\t') {
        CompleteCommandLine();
    } else if (character >= 32 && character <= 127) {
        if (g_console.commandLength < CON_COMMAND_LINE_SIZE) {
            g_console.commandLine[g_console.commandLength++] = static_cast<char>(character);
            g_console.commandLine[g_console.commandLength] = '\0';
        } else {
            ConPrint(ConOutputConsole(), kLineLimitText, CON_COMMAND_LINE_SIZE);
        }
    }
}
