#include "core/random.h"

namespace {
u32_t g_randState = 1;
}

int EngineRand()
{
    g_randState = g_randState * 214013u + 2531011u;
    return static_cast<int>((g_randState >> 16) & 0x7FFFu);
}

void EngineSRand(u32_t seed)
{
    g_randState = seed;
}

u32_t EngineRandState()
{
    return g_randState;
}
