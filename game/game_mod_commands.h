// The console variables and commands of game modes: the selected mode and map, and the commands
// that edit the selected mode's map list.
#pragma once
#include "core/console_var.h"

extern ConsoleVar gs_curmod;     // the selected or running mode; "classic" for none
extern ConsoleVar gs_curmodmap;  // the selected map; the map commands do nothing while it is empty

s32_t GameModFillInfo(const char* arguments);
s32_t GameModFillPlayerInfo(const char* arguments);
s32_t GameModAddMap(const char* arguments);
s32_t GameModDeleteMap(const char* arguments);
s32_t GameModDeleteAllMaps(const char* arguments);
s32_t GameModAddAllMaps(const char* arguments);
