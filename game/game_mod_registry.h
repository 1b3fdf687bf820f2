// Game modes registered by plug-ins while they answer the start-up event HookGameModsInit, and
// the host functions a running mode calls to show its tables and move to its next map.
#pragma once
#include "core/types.h"

struct GameMod;

// A team record: its bytes belong to the registering plug-in; the host never reads them.
struct GameModTeam {
    u8_t bytes[36];
};

// Opens a registration and returns the new record; null while another one is open.
GameMod* BeginGameModRegistration();
// Appends the open record to the registry and closes the registration; nothing when none is open.
void EndGameModRegistration();
// Adds a team record to the mode and returns it; null for a null mode.
GameModTeam* GetNewGameModTeam(GameMod* mod);

s32_t GameModRegistryCount();
GameMod* GameModRegistryAt(s32_t index);
s32_t GameModTeamCount(const GameMod* mod);
// Frees every registered mode and its teams (program end).
void GameModRegistryFree();

// Requests the current mode's score screen, makes it the current screen and sends HookScreenShown.
void GameInvokeScoreTable();
// The same with the team screen, without an event.
void GameInvokeTeamTable();
// Sets the map to load (when given), asks the main loop to load it and reads its mission info.
void GameLoadNextGameModMap(const char* mapName);
