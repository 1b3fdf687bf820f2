#include "game/code_signal.h"

CodeSignalCalls g_codeSignalCalls;

void GameExecuteCodeSignal(s32_t colour, s32_t countdown)
{
    ++g_codeSignalCalls.count;
    g_codeSignalCalls.lastColour = colour;
    g_codeSignalCalls.lastCountdown = countdown;
}
