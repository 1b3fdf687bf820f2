// The editor-mode switch that loaders and renderers test to skip their interactive screens.
#pragma once
#include "core/types.h"

// True (1) while the program runs in editor mode; it stays set until the process ends.
// Plug-ins read it through the host data entry of the same name.
extern u8_t editor_mode;
