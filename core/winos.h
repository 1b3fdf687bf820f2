// Program start-up, the window, the menu, main and screen loops, and shutdown.
#pragma once
#include "core/types.h"
#include "platform/win32.h"

class VegetationMask;

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
    int lastWord;             // index of the last stored word
    u8_t directStart;         // "-m" with a map name
    const char* accountName;  // the word after "-a", or null
    Vector3 startPosition;    // "-p" x y z
    bool editorMode;          // "-e" was seen (editor mode ran)
    bool editorFailed;        // editor mode could not hand over to the editor library
};

// The core's own record: the start-up options, the outer loops' state, the main window, the
// editor-mode switch and the loaded map's vegetation mask. WinMain starts it afresh.
struct ProgramState {
    StartOptions startOptions = {};
    s32_t loopState = LOOP_NOTHING;
    s32_t menuRequest = 0;
    // Set by the roads of `quit` that end the program: every loop returns at its next check, and the
    // program leaves through its one shutdown with exit code 0.
    u8_t ending = 0;
    HWND mainWindow = nullptr;
    // True (1) while the program runs in editor mode; it stays set until the process ends.
    // Loaders and renderers test it to skip their interactive screens; plug-ins read it through the
    // host data entry "editor_mode".
    u8_t editorMode = 0;
    // The vegetation mask of the loaded map (core/files/vegetation_mask.h), null when none.
    VegetationMask* vegetationMask = nullptr;
};

extern ProgramState g_program;

int WinMain(HINSTANCE instance, HINSTANCE previousInstance, char* commandLine, int showCommand);

// Splits the command line into words ('/' stored as '-'); at most 36 words are kept. A word of 64
// characters or more is refused with a line in the log and on stderr: false, and no words are kept.
bool SplitCommandLine(const char* commandLine, StartOptions& options);
// False, with a line in the log and on stderr, when "-p" is followed by a number that is not finite.
bool CommandLineOptionsValid(const StartOptions& options);
// Applies the options in order; runs editor mode at "-e" and returns true when it did.
bool ApplyCommandLineOptions(StartOptions& options);

// The key's scan code of a key message: bits 16-23 of lParam, plus 0x80 for an extended key.
int KeyMessageScanCode(LPARAM lParam);
LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
