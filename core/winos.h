// Program start-up, the window, the menu, main and screen loops, and shutdown.
#pragma once
#include "core/console_var.h"
#include "core/types.h"
#include "platform/win32.h"

constexpr int PARAM_MAX_COUNT = 36;
constexpr int PARAM_MAX_SIZE = 64;

// What the main loop is to do next (written by the GUI, `gxmap` and game-mode map changes).
enum LoopState : s32_t {
    LOOP_NOTHING = 0,
    LOOP_QUIT = 1,
    LOOP_MAIN_MENU = 2,
    LOOP_LOAD_MAP = 3,
    LOOP_CAMPAIGN = 4,
    LOOP_QUICK_MISSIONS = 5,
};

// Start-up options filled by the command line.
struct StartOptions {
    char words[PARAM_MAX_COUNT][PARAM_MAX_SIZE];
    int lastWord;               // index of the last stored word
    u8_t directStart;           // "-m" with a map name
    const char* accountName;    // the word after "-a", or null
    Vector3 startPosition;      // "-p" x y z
    bool editorMode;            // "-e" was seen (editor mode ran)
};

extern StartOptions g_startOptions;
extern s32_t g_loopState;
extern s32_t g_menuRequest;
extern HWND g_mainWindow;

extern ConsoleVar gbconsoles;
extern ConsoleVar riwidth;
extern ConsoleVar riheight;
extern ConsoleVar rirefresh;
extern ConsoleVar rbwindowed;
extern ConsoleVar dsmap;
extern ConsoleVar gbsf;
extern ConsoleVar gbsound;

int WinMain(HINSTANCE instance, HINSTANCE previousInstance, char* commandLine, int showCommand);

// Splits the command line into words ('/' stored as '-'); at most 36 words are kept.
void SplitCommandLine(const char* commandLine, StartOptions& options);
// Applies the options in order; runs editor mode at "-e" and returns true when it did.
bool ApplyCommandLineOptions(StartOptions& options);

// The key's scan code of a key message: bits 16-23 of lParam, plus 0x80 for an extended key.
int KeyMessageScanCode(LPARAM lParam);
LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
