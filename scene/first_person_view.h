// What the first-person view shares with the HUD.
#pragma once
#include "core/types.h"

// Set and cleared by the first-person view; while it is set the HUD draws no scope.
extern u8_t g_firstPersonViewState;
