// The consoles' line stores, printing into them and the shown page.
#include "core/console/console.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/assert.h"
#include "core/console/console_state.h"
#include "core/frame_view.h"
#include "platform/win32.h"

ConsoleState g_console;

namespace {

constexpr int kCapacities[CON_MAX_CONSOLES] = {CON_PAGE_CAPACITY, CON_PAGE_CAPACITY, CON_PAGE_CAPACITY,
                                               CON_SMALL_CAPACITY, CON_SMALL_CAPACITY};

// The store of a console index; an index that is not a console ends the program.
ConsoleStore& Store(int console)
{
    const u32_t index = static_cast<u32_t>(console);
    ENGINE_ASSERT_TEXT(index < CON_MAX_CONSOLES, "con_index < CON_MAX_CONSOLES");
    return g_console.consoles[index];
}

char* CopyChars(const char* characters, int count)
{
    char* line = new char[static_cast<size_t>(count) + 1];
    std::memcpy(line, characters, static_cast<size_t>(count));
    line[count] = '\0';
    return line;
}

void FreeLines(ConsoleStore& store)
{
    for (int slot = 0; slot < store.capacity; ++slot) {
        delete[] store.lines[slot];
        store.lines[slot] = nullptr;
    }
}

}  // namespace

void ConStartup()
{
    for (u32_t c = 0; c < CON_MAX_CONSOLES; ++c) {
        ConsoleStore& store = g_console.consoles[c];
        if (!store.lines) {
            store.capacity = kCapacities[c];
            store.lines = new char*[static_cast<size_t>(store.capacity)]();
        }
    }
    std::memset(g_console.messageStamps, 0, sizeof g_console.messageStamps);
    g_console.commandLine[0] = '\0';
    g_console.commandLength = 0;
    g_console.scrollOffset = 0;
    g_console.ready = true;
}

void ConShutdown()
{
    g_console.ready = false;
    g_console.currentPage = -1;
    for (ConsoleStore& store : g_console.consoles) {
        if (!store.lines)
            continue;
        FreeLines(store);
        delete[] store.lines;
        store.lines = nullptr;
        store.capacity = 0;
    }
}

bool ConIsReady()
{
    return g_console.ready;
}

void ConSetCurrent(int page)
{
    g_console.currentPage = (page >= 0 && static_cast<u32_t>(page) < CON_MAX_CONSOLES) ? page : -1;
    g_console.pageChangeTime = g_frameView.gameTime;
}

void ConTogglePage(int page)
{
    ConSetCurrent(g_console.currentPage == page ? -1 : page);
}

int ConOutputConsole()
{
    return g_console.currentPage >= 0 ? g_console.currentPage : 0;
}

int ConPrint(int console, const char* format, ...)
{
    Store(console);
    if (!g_console.ready || !format)
        return 0;
    char text[CON_PRINT_BUFFER_SIZE];
    va_list arguments;
    va_start(arguments, format);
    int length = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (length < 0)
        return 0;
    if (length >= CON_PRINT_BUFFER_SIZE)
        length = CON_PRINT_BUFFER_SIZE - 1;

    // Pieces end after each newline; what follows the last newline is kept as an open line.
    const char* piece = text;
    const char* end = text + length;
    while (piece < end) {
        const void* newline = std::memchr(piece, '\n', static_cast<size_t>(end - piece));
        const char* pieceEnd = newline ? static_cast<const char*>(newline) + 1 : end;
        ConAppend(console, piece, static_cast<int>(pieceEnd - piece));
        piece = pieceEnd;
    }
    return 0;
}

void ConAppend(int console, const char* characters, int count)
{
    ConsoleStore& store = Store(console);
    if (!store.lines || !characters || count < 0)
        return;
    char*& newest = store.lines[store.capacity - 1];

    if (count > 0 && characters[0] == '\r') {
        delete[] newest;
        newest = CopyChars(characters + 1, count - 1);
        return;
    }
    if (newest) {
        const size_t oldLength = std::strlen(newest);
        if (oldLength == 0 || newest[oldLength - 1] != '\n') {
            char* joined = new char[oldLength + static_cast<size_t>(count) + 1];
            std::memcpy(joined, newest, oldLength);
            std::memcpy(joined + oldLength, characters, static_cast<size_t>(count));
            joined[oldLength + static_cast<size_t>(count)] = '\0';
            delete[] newest;
            newest = joined;
            return;
        }
    }

    delete[] store.lines[0];
    std::memmove(store.lines, store.lines + 1, sizeof(char*) * static_cast<size_t>(store.capacity - 1));
    newest = CopyChars(characters, count);
    if (console == CON_MESSAGE_CONSOLE) {
        u32_t* stamps = g_console.messageStamps;
        std::memmove(stamps, stamps + 1, sizeof(u32_t) * (CON_SMALL_CAPACITY - 1));
        stamps[CON_SMALL_CAPACITY - 1] = GetTickCount();
    }
}

void ConClear(int console)
{
    ConsoleStore& store = Store(console);
    if (store.lines)
        FreeLines(store);
}

void ConPrintProgressBar(int console, int totalSteps, int stepsDone)
{
    ConsoleStore& store = Store(console);
    if (!g_console.ready || !store.lines)
        return;
    // The bar is one line of the console font's bar glyphs; it is held to what one print can hold.
    constexpr int kMaxSteps = CON_PRINT_BUFFER_SIZE - 8;
    const int steps = totalSteps < 0 ? 0 : (totalSteps > kMaxSteps ? kMaxSteps : totalSteps);
    char bar[CON_PRINT_BUFFER_SIZE];
    int length = 0;
    bar[length++] = '\r';
    bar[length++] = '\x0E';
    bar[length++] = '\x04';
    bar[length++] = static_cast<char>(0x80);
    for (int step = 0; step < steps; ++step)
        bar[length++] = static_cast<char>(step < stepsDone ? 0x81 : 0x85);
    bar[length++] = static_cast<char>(0x82);
    bar[length++] = '\n';
    ConAppend(console, bar, length);
}

int ConLineCapacity(int console)
{
    Store(console);
    return kCapacities[console];
}

char** ConLines(int console)
{
    return Store(console).lines;
}

u32_t* ConMessageStamps()
{
    return g_console.messageStamps;
}

int ConCurrentPage()
{
    return g_console.currentPage;
}

float ConPageChangeTime()
{
    return g_console.pageChangeTime;
}

const char* ConCommandLine()
{
    return g_console.commandLine;
}

int ConCommandLength()
{
    return g_console.commandLength;
}

int ConScrollOffset()
{
    return g_console.scrollOffset;
}
