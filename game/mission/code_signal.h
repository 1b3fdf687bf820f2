// The coded messages of the player ("codered", "codegreen", "codeblue"): a five-second countdown,
// announced on the message console, at whose end the envelope of the code's name receives its
// OnInteract event; or that end at once.
#pragma once
#include "core/types.h"

enum CodeSignalColour : s32_t {
    CODE_SIGNAL_RED = 0,
    CODE_SIGNAL_GREEN = 1,
    CODE_SIGNAL_BLUE = 2,
};
constexpr s32_t CODE_SIGNAL_COUNT = 3;
constexpr s32_t CODE_COUNTDOWN_START = 5;

struct CodeCountdown {
    u32_t active = 0;  // the tick of the start; 0 while the code is not counting
    u32_t lastTick = 0;
    s32_t count = 0;
};
extern CodeCountdown g_codeCountdowns[CODE_SIGNAL_COUNT];

// Every code inactive (mission start).
void GameCodeReset();
// start: begins the code's countdown unless any code counts already. Otherwise ends the code: the
// first envelope of its name gets OnInteract (the executed message follows when that did something)
// and the code stops counting, whether or not such an envelope exists.
void GameCodeCountdown(s32_t code, bool start);
// Once a frame: each counting code whose last step is a second old shows its count and counts down;
// a second after 0 it ends.
void GameCodeFrame();
