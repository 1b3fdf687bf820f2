// Savegames: snapshots of the running mission kept with the current account, per mission, and
// written into its account file. gx_savegame makes one, gx_loadgame (through gs_load_slot_request)
// applies one; neither works while a game mode runs.
#pragma once
#include "core/types.h"

struct Savegame;

// Fills the savegame from the world; the world is as before afterwards.
void SavegameWrite(Savegame& savegame);
// Puts the world back into the savegame's state.
bool SavegameApply(const Savegame& savegame);
// gx_savegame: an optional decimal index; -1 when the mission has no savegame left.
s32_t SavegameSaveCommand(const char* arguments);
// gx_loadgame: the index from gs_load_slot_request; -1 when there is no such savegame.
s32_t SavegameLoadCommand(const char* arguments);
