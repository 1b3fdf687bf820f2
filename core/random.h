// The engine's one pseudo-random generator (linear congruential); never use the C library's.
#pragma once
#include "core/types.h"

constexpr int ENGINE_RAND_MAX = 0x7FFF;

// Next value in 0..32767: state = state * 214013 + 2531011, result (state >> 16) & 0x7FFF.
int EngineRand();
// Sets the generator state (the start state is 1).
void EngineSRand(u32_t seed);
// The raw state, for code that saves and restores it around a reseeded draw.
u32_t EngineRandState();
