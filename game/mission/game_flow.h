// Missions and game flow: what the program's outer loops call and read.
#pragma once
#include "core/console/console_var.h"
#include "core/strings/engine_string.h"
#include "core/plugins/plugin_api.h"
#include "core/types.h"

// Loads and starts the mission of a map in its fixed order of steps, with the loading screen between
// them; negative (-1) when the mission's definition, its "land" line or the map cannot be read.
int GameInitMission(const char* mapName);
// Frees what the mission load made, the AI layer last.
void GameLeaveMission();
// In a campaign of index 0 outside the map "tutorial": every soldier that is a friend of the player's
// (but the player) leaves the world with its AI.
void GameRemoveFriendlySoldiers();
// The end of a mission that cannot load: the fatal lines on console 0, shown over the loading screen
// until a key or mouse button goes down or the window is asked to close (closeRequested tells which,
// when given). The result is the program's exit code, -1: a mission started with "-m" ends the program
// there, after the shutdown every other road takes; one started from the menus goes back to them
// unless the window was closed.
int GameHaltAfterLoadError(bool* closeRequested = nullptr);
// Builds this mission's shadow companions the first time shadows are found switched on.
void GamePrepareShadowsIfOn();
// The mission's objects have no shadow companions (a new mission, or the map left).
void GameForgetMissionShadows();
// gx_loadgame: the savegame named by gs_load_slot_request (its argument is not read).
s32_t GameLoadGameCommand(const char* arguments);
// One game frame; present hands the frame end its present flag.
void GameUpdateFrame(bool present);
// `quit` without the console's part (game/mission/quit.h): "-g" back to the menus, no argument or "-m" the
// end of the program.
void GameExitToGui(const char* arguments);
// Ends the running game mode ("classic" again), with its log line (game/commands/game_mod_registry.cpp).
void GameModEnd();
void GameModsInit();
void GameModsFree();
// The control's inputs carried between frames (glide, lean, head bob) back to rest: a screen opens, the
// satellite view toggles.
void GameClearFrameInput();
// A host function that plug-ins and the start-up call: it has no work to do and answers 0.
s32_t RegisterDefObject();
