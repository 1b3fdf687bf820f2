// The commands of game modes (registered in game/game_cvars.cpp): the player information and the
// commands that edit the selected mode's map list, which do nothing while gs_curmodmap is empty.
#pragma once
#include "core/types.h"

s32_t GameModFillInfo(const char* arguments);
s32_t GameModFillPlayerInfo(const char* arguments);
s32_t GameModAddMap(const char* arguments);
s32_t GameModDeleteMap(const char* arguments);
s32_t GameModDeleteAllMaps(const char* arguments);
s32_t GameModAddAllMaps(const char* arguments);
