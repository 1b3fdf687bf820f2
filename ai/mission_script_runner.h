// A runner of the mission script: walks one command list, one command at a time.
#pragma once
#include "core/types.h"

// The command list a runner walks.
struct MSALCommandList {
    u8_t waiting = 0;  // set while the running command waits (on a mission timer, for example)
};

class MSALRunner {
public:
    MSALCommandList* commands = nullptr;  // first field: the list being run
    s32_t current = 0;                    // index of the running command
    bool inGroup = true;                  // a member of its group until it leaves it

    // Takes the runner out of its group.
    void LeaveGroup() { inGroup = false; }

    // Moves to the next command and executes it.
    void Advance();
};
