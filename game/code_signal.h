// The coded messages of the player ("codered", "codegreen", "codeblue"): the signal of the envelope
// of that name runs at once, or after a five-second countdown. Until the envelopes' signals and the
// countdown exist, the calls are recorded.
#pragma once
#include "core/types.h"

enum CodeSignalColour : s32_t {
    CODE_SIGNAL_RED = 0,
    CODE_SIGNAL_GREEN = 1,
    CODE_SIGNAL_BLUE = 2,
};

struct CodeSignalCalls {
    s32_t count = 0;
    s32_t lastColour = -1;
    s32_t lastCountdown = 0;
};
extern CodeSignalCalls g_codeSignalCalls;

void GameExecuteCodeSignal(s32_t colour, s32_t countdown);
