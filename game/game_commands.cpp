// The game's commands whose work belongs to the front end and the game flow still to come: until then
// each answers as a command that did nothing wrong, and changes nothing.
#include "game/game_commands.h"

#include "game/game_state.h"

s32_t GameFillQuickMissionInfo(const char*)
{
    g_game.quickMission = true;
    return 0;
}

s32_t GameMapImage(const char*)
{
    return 0;
}

s32_t GameApplyGraphSettings(const char*)
{
    return 0;
}

s32_t GameFullscreen(const char*)
{
    return 0;
}

s32_t GameUpdateWeaponInfo(const char*)
{
    // The argument is a weapon list of the screens, never a text: a typed line gives nothing to read.
    return -1;
}

s32_t GameFillPluginInfo(const char*)
{
    return 0;
}

s32_t GamePluginStopRun(const char*)
{
    return 0;
}

s32_t GamePluginUnloadReload(const char*)
{
    return 0;
}

s32_t GameCreateServer(const char*)
{
    return 0;
}

s32_t GameChangeActor(const char*)
{
    return 0;
}

s32_t GameActorSetYaw(const char*)
{
    return 0;
}

s32_t GameKillAll(const char*)
{
    return 0;
}

s32_t GameMapCommand(const char*)
{
    return 0;
}
