#include "core/editor_mode.h"

u8_t editor_mode = 0;
