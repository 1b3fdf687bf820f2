// The consoles' shared record, kept by console.cpp and used by the console's input and script code.
#pragma once
#include "core/console/console.h"

// Line capacities of the consoles: 1024 for the pages 0 to 2, 10 for page 3 and the message console.
constexpr int CON_PAGE_CAPACITY = 1024;
constexpr int CON_SMALL_CAPACITY = 10;

struct ConsoleStore {
    char** lines = nullptr;  // capacity slots, newest last; null before ConStartup
    int capacity = 0;
};

struct ConsoleState {
    ConsoleStore consoles[CON_MAX_CONSOLES];
    u32_t messageStamps[CON_SMALL_CAPACITY] = {};  // one per line slot of the message console
    bool ready = false;
    int currentPage = -1;
    float pageChangeTime = 0.0f;  // game time of the last page change, seconds
    char commandLine[CON_COMMAND_LINE_SIZE + 1] = {};
    int commandLength = 0;
    int scrollOffset = 0;
};

extern ConsoleState g_console;

// The console that echoes and reports of the command line go to: the shown page, else console 0.
int ConOutputConsole();
