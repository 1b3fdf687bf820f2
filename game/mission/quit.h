// The command `quit`: leaving a mission for the menus, or ending the program. Its three forms are
// chosen by the whole argument, compared without regard to case: "-m" ends the program at once,
// "-g" tears the mission down behind "LEAVESCREEN" and rebuilds what the menus need, and no argument
// tears everything down behind "EXITSCREEN" with its progress texts. Any other argument only sends
// the plug-ins the mission-left event and drops the restart information, as every form does first.
//
// The forms that end the program do not end the process: they mark the program as ending, every
// loop of the program returns at its next check, and the program leaves through its one shutdown
// with exit code 0. Each shutdown step tolerates a subsystem that is already down.
#pragma once
#include "core/types.h"

enum class QuitForm {
    Common,     // an argument of no form: only the first two steps
    Exit,       // no argument: the whole teardown with its screen, then the program ends
    Leave,      // "-g": back to the menus
    Immediate,  // "-m": everything down at once, nothing drawn
};

QuitForm QuitFormOf(const char* arguments);

// The handler of `quit`; 0. Typed at the console during a mission, the "-g" form also asks the main
// loop for the main menu (state word 2).
s32_t QuitCommand(const char* arguments);

// Sees every step of the road as it is taken, in order: a call's name, "progress <value> <text>"
// for each progress display, "screen <name>" for the screen entered (tests); null for none.
using QuitStepRecorder = void (*)(const char* step);
void QuitSetStepRecorder(QuitStepRecorder recorder);
