// The multiplayer commands: the host has no network code of its own, so these only raise plug-in
// events that a game-mode plug-in answers, and start or end the game mode around them.
#pragma once
#include "core/types.h"

class DynamicObject;

// Creates a server (HookServerCreate), starts the mode of gs_curmod and fills the briefing.
s32_t GameCreateServer(const char* arguments);
// Joins the selected server: the plug-in names the map (dsmap) during HookServerJoin; a name that
// could leave the mission folder is taken as none. Starts the mode and marks the join as pending.
s32_t GameJoinServer(const char* arguments);
// Prints "<player> says: <message>" on console 4 and sends the message alone to the plug-ins.
s32_t GamePrintMessage(const char* arguments);
// Asks the plug-ins to fill the server information of the current screen.
s32_t GameFillServerInfo(const char* arguments);
// Runs the plug-ins' "respawn" command when there is one, then marks the respawn as requested.
void GameRequestRespawn();
// Whether a map name from the network names a mission folder and nothing outside it.
bool GameMapNameIsSafe(const char* name);
