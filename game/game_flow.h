// Missions and game flow: what the program's outer loops call and read.
#pragma once
#include <vector>

#include "core/console_var.h"
#include "core/engine_string.h"
#include "core/types.h"

struct GameMod {
    EngineString name;
    u8_t ownScreens = 0;  // while set the simulation also runs under an open screen
    EngineString escapeScreen;
    EngineString scoreScreen;
    EngineString teamScreen;
    u8_t friendlyFireMessage = 0;  // while set a hit on a friend of the player is reported
    u8_t actorFlag = 0;            // while clear the object factory makes no "actor" (unless forced)
    u8_t vehicleFlag = 0;          // while clear the object factory makes no vehicle of any kind
    u8_t aiFlag = 0;               // while clear the soldiers' AI step does not run
    u8_t chatFlag = 0;             // while set the accept keys send the account's chat texts
    u8_t codedMessages = 0;        // while clear the coded-message keys do nothing
    u8_t satelliteView = 0;        // while clear the satellite-view key does nothing
    // The mode's own string list, kept per account across log-in and log-out.
    std::vector<EngineString> strings;
};

// Loads and starts the mission of a map in its fixed order of steps, with the loading screen between
// them; negative (-1) when the mission's definition, its "land" line or the map cannot be read.
int GameInitMission(const char* mapName);
// Frees what the mission load made, the AI layer last.
void GameLeaveMission();
// In a campaign of index 0 outside the map "tutorial": every soldier that is a friend of the player's
// (but the player) leaves the world with its AI.
void GameRemoveFriendlySoldiers();
// The end of a mission that cannot load: the fatal lines on console 0, shown until Escape is down;
// the program then ends with the result, -1, after the shutdown every other road takes.
int GameHaltAfterLoadError();
// Builds this mission's shadow companions the first time shadows are found switched on.
void GamePrepareShadowsIfOn();
// The mission's objects have no shadow companions (a new mission, or the map left).
void GameForgetMissionShadows();
s32_t GameLoadGameCommand(const char* saveGameName);
// One game frame; present hands the frame end its present flag.
void GameUpdateFrame(bool present);
// `quit` without the console's part (game/quit.h): "-g" back to the menus, no argument or "-m" the
// end of the program.
void GameExitToGui(const char* arguments);
void GameModEnd();
void GameModsInit();
void GameModsFree();
void GameClearFrameInput();
s32_t RegisterDefObject();
