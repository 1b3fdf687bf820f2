// The five consoles: numbered line stores that every subsystem prints into, the page shown with its
// typed command line, and console scripts made of "name = value" lines.
// Consoles 0 to 3 are pages drawn as console panels; console 4 is the message console, whose lines
// carry tick stamps and which the game frame shows as message lines.
#pragma once
#include "core/types.h"

constexpr u32_t CON_MAX_CONSOLES = 5;
constexpr int CON_MESSAGE_CONSOLE = 4;
// Characters of the typed command line (a terminating zero follows).
constexpr int CON_COMMAND_LINE_SIZE = 256;
// ConPrint formats at most this many bytes (terminating zero included); longer output is cut.
constexpr int CON_PRINT_BUFFER_SIZE = 2048;
// Longest line that ConExecFile hands to ConExec (a longer line is run in pieces of this size).
constexpr int CON_SCRIPT_LINE_SIZE = 1024;

void ConStartup();
void ConShutdown();
bool ConIsReady();

// Shows a page (-1, or any index that is not a console, hides the console) and stamps the change time.
void ConSetCurrent(int page);
// Hides the console when that page is shown, else shows it.
void ConTogglePage(int page);

// printf-style. Each piece of the text up to and including a newline is appended with ConAppend;
// text after the last newline stays open for the next print. Does nothing before ConStartup.
int ConPrint(int console, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Stores one piece: a leading carriage return replaces the newest line, an open newest line is
// extended, otherwise the console scrolls by one line.
void ConAppend(int console, const char* characters, int count);
// Frees every line of the console.
void ConClear(int console);
// A bar of steps that replaces the console's newest line.
void ConPrintProgressBar(int console, int totalSteps, int stepsDone);

// Key-down handler of the shown page (Page Up / Page Down scroll).
void ConPageKey(int virtualKey);
// Character handler of the shown page: edits the command line, Enter runs it, Tab completes it.
void ConKeyInput(int character);
// Executes one "name = value" line; trailing line-end characters are not part of the value.
void ConExec(const char* line, bool silent);
// Runs a console script from disk, else from the archives; 0 when found, -1 when not.
int ConExecFile(const char* fileName);

// What the console views read.
int ConLineCapacity(int console);
// The console's line slots, oldest first and the newest in the last slot; empty slots are null.
// Null before ConStartup. The message-line view may empty the text of an expired line in place.
char** ConLines(int console);
// Console 4's creation tick of each line slot.
u32_t* ConMessageStamps();
int ConCurrentPage();
// When the shown page last changed, in seconds.
float ConPageChangeTime();
const char* ConCommandLine();
int ConCommandLength();
int ConScrollOffset();

// The game frame's console step: the shown page 0 to 3 as a panel, otherwise the message lines.
void ConDraw();
