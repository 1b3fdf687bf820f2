// Game modes registered by plug-ins while they answer the start-up event HookGameModsInit, the mode
// that runs, and the host functions a running mode calls to show its tables and move to its next map.
#pragma once
#include "core/plugins/plugin_api.h"
#include "core/types.h"

struct DefFile;

// A team record: its bytes belong to the registering plug-in; the host never reads them.
struct GameModTeam {
    u8_t bytes[kGameModTeamSize];
};

// Opens a registration and returns the new record; null (and a log line) while another one is open.
GameMod* BeginGameModRegistration();
// Appends the open record to the registry and closes the registration; nothing (and a log line)
// when none is open.
void EndGameModRegistration();
// Adds a team record to the mode and returns it; null (and a log line) for a null mode.
GameModTeam* GetNewGameModTeam(GameMod* mod);

s32_t GameModRegistryCount();
GameMod* GameModRegistryAt(s32_t index);
s32_t GameModTeamCount(const GameMod* mod);
// The first registered mode of that name (same length, without regard to case), or null.
GameMod* FindGameMod(const char* name);

// The mode's maps: host-owned copies of mission folder names.
u32_t GameModMapCount(const GameMod* mod);
// The map's name, or null for an index out of range.
const char* GameModMapAt(const GameMod* mod, u32_t index);
// Appends a copy of the name; false when no memory could be had.
bool GameModAppendMap(GameMod* mod, const char* name);
// Removes the map at the index (nothing for an index out of range); the capacity stays.
void GameModRemoveMap(GameMod* mod, u32_t index);
void GameModClearMaps(GameMod* mod);

// Starts the mode of that name (the registered spelling goes into gs_curmod), or runs "classic"
// when none has it. The map index comes from the selection of the list "MODMAPS" when the current
// screen has one.
void GameModStart(const char* name);
// Frees every registered mode with its teams and maps (program end).
void GameModRegistryFree();

// Requests the current mode's score screen, makes it the current screen and sends HookScreenShown.
// Nothing while no mode runs.
void GameInvokeScoreTable();
// The same with the team screen, without an event.
void GameInvokeTeamTable();
// Sets the map to load (the given name, or for null the running mode's next map, wrapping), asks the
// main loop to load it and reads its mission info. Null with no mode or a mode without maps does nothing.
void GameLoadNextGameModMap(const char* mapName);

// The index into a list of count maps of the row selected in a list box scrolled to firstVisible;
// -1 when there is no selection or it names no map.
s32_t GameModMapIndexOfSelection(s32_t firstVisible, s32_t row, u32_t count);
// The map index the list "MODMAPS" of the current screen selects for the mode, or -1.
s32_t GameModSelectedMap(const GameMod* mod);

// Collects the missions whose "netmodes.def" names the current mode (gs_curmod): first the disk's
// "mission" folders, then, when that found none, the archives'. Appends them to the list of names
// (at most kNetModeMissionSlots, further ones dropped) and returns how many it kept.
constexpr s32_t kNetModeMissionSlots = 128;
s32_t GameModCollectMissions();
const char* GameModCollectedMission(s32_t index);
// Whether a line of the parsed "netmodes.def" has the mode's name (without regard to case) as its
// first value.
bool NetModesNameMode(const DefFile* file, const char* mode);
