// The handlers of the game's console commands (registered in game/game_cvars.cpp). Each takes the
// argument text (null when the program calls it itself) and returns the command's status.
#pragma once
#include "core/types.h"

class GuiControl;

// The map image and the window (the briefing and display-mode commands: game/commands/mission_commands.h).
s32_t GameMapImage(const char* arguments);
s32_t GameFullscreen(const char* arguments);
// Typed at the console the weapon-list command has no list to read and answers -1; the front end
// runs it with the list (GuiUpdateWeaponInfo, gui/lists/gui_weapon_list.h).
s32_t GameUpdateWeaponInfo(const char* arguments);
// Defined with the weapon list in the front end, which the game's files do not include.
s32_t GuiUpdateWeaponInfo(const char* arguments, GuiControl* sender);
// Developer commands.
s32_t GameChangeActor(const char* arguments);
s32_t GameActorSetYaw(const char* arguments);
s32_t GameKillAll(const char* arguments);
// Makes a mission current and starts it.
s32_t GameMapCommand(const char* arguments);
// Refills the map's fog texture (game/commands/fog_command.cpp).
s32_t GameFogTexture(const char* arguments);
