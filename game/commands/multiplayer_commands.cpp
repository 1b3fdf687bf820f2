#include "game/commands/multiplayer_commands.h"

#include <cstring>
#include <string>

#include "core/console/console.h"
#include "core/core_cvars.h"
#include "core/files/def_file.h"
#include "core/frame_view.h"
#include "core/plugins/plugin_host.h"
#include "game/accounts/accounts.h"
#include "game/game_cvars.h"
#include "game/commands/game_mod_commands.h"
#include "game/commands/game_mod_registry.h"
#include "game/game_state.h"
#include "game/mission_objects/object_factory.h"
#include "game/player/player_state.h"
#include "gui/screens/gui.h"
#include "world/objects/dynamic_object.h"

// The server settings: the host never reads them; screens bind them and plug-ins read them.
ConsoleVar gs_srv_maxplayers("gs_srv_maxplayers", CVAR_STRING, "10");
ConsoleVar gs_srv_respawn("gs_srv_respawn", CVAR_STRING, "2");
ConsoleVar gs_srv_timelimit("gs_srv_timelimit", CVAR_STRING, "0");
ConsoleVar gs_srv_scorelimit("gs_srv_scorelimit", CVAR_STRING, "0");
ConsoleVar gb_srv_friendlyfire("gb_srv_friendlyfire", CVAR_BOOL, "true");
ConsoleVar gb_srv_warningfire("gb_srv_warningfire", CVAR_BOOL, "true");
ConsoleVar gb_srv_friendlytags("gb_srv_friendlytags", CVAR_BOOL, "true");
ConsoleVar gb_srv_chooseteam("gb_srv_chooseteam", CVAR_BOOL, "true");
ConsoleVar gb_srv_password("gb_srv_password", CVAR_BOOL, "true");
ConsoleVar gb_srv_sq1_password("gb_srv_sq1_password", CVAR_BOOL, "true");
ConsoleVar gb_srv_sq2_password("gb_srv_sq2_password", CVAR_BOOL, "true");
ConsoleVar gs_printmsg("gs_printmsg", CVAR_STRING, "");
ConsoleVar gx_printmsg("gx_printmsg", GamePrintMessage);
ConsoleVar gx_fillserverinfo("gx_fillserverinfo", GameFillServerInfo);
// Cheats, mission state and switches.

bool GameMapNameIsSafe(const char* name)
{
    if (!name)
        return false;
    return std::strchr(name, '/') == nullptr && std::strchr(name, '\\') == nullptr &&
           std::strstr(name, "..") == nullptr;
}

s32_t GameCreateServer(const char* arguments)
{
    g_pluginHost.Broadcast(HookServerCreate, 0);
    GameModStart(gs_curmod.String());
    return GameFillMissionInfo(arguments);
}

s32_t GameJoinServer(const char* arguments)
{
    dsmap.SetString("");
    g_pluginHost.Broadcast(HookServerJoin, 0);
    // The name comes from the network: one that reaches outside the mission folder is no map, and
    // the menu loop then goes back to the multiplayer screen as for a join without one.
    if (!GameMapNameIsSafe(dsmap.String()))
        dsmap.SetString("");
    GameModStart(gs_curmod.String());
    g_game.multiplayerPending = true;
    return GameFillMissionInfo(arguments);
}

s32_t GamePrintMessage(const char*)
{
    const DynamicObject* player = g_frameView.player;
    const std::string line = std::string(player ? player->name.Text() : "") + " says: " + gs_printmsg.String() + "\n";
    // The message is the player's text, never a format.
    ConPrint(4, "%s", line.c_str());
    g_pluginHost.Broadcast(HookMessageLine, reinterpret_cast<std::uintptr_t>(gs_printmsg.String()));
    return 0;
}

s32_t GameFillServerInfo(const char*)
{
    g_pluginHost.Broadcast(HookServerInfo, reinterpret_cast<std::uintptr_t>(g_gui.currentScreen));
    return 0;
}

void GameRequestRespawn()
{
    if (ConsoleVar* respawn = FindCVar("respawn")) {
        if (respawn->type == CVAR_COMMAND && respawn->value.handler)
            respawn->value.handler(nullptr);
    }
    g_playerState.respawnRequested = 1;
}

void GameAddWeaponToActor(const char* weaponName, DynamicObject* actor, u8_t inHand)
{
    const std::string name = weaponName ? weaponName : "";
    const std::string templateName = "weapons\\" + name;
    EngineString values[4] = {EngineString(templateName.c_str()), EngineString("torso"), EngineString("xhand_r"),
                              EngineString("x1")};
    DefEntry line;
    line.key.Assign("template");
    line.values = values;
    line.valueCount = 4;
    if (inHand) {
        GameApplyTemplateToObject(templateName.c_str(), actor, &line);
        line.values = nullptr;
        return;
    }
    values[1].Assign("legs");
    values[2].Assign("xleg_r02");
    values[3].Assign("x2");
    DefFile* definition = DefFileLoad(("object\\weapons\\" + name + ".def").c_str());
    const DefEntry* pin = definition ? DefFileFindEntry(definition->first, "pin_inactive") : nullptr;
    if (pin && pin->valueCount > 0) {
        const char* node = pin->Value(0);
        values[2].Assign(node);
        if (node[0] != '\0' && node[1] == 't')
            values[1].Assign("torso");
    }
    GameApplyTemplateToObject(templateName.c_str(), actor, &line);
    line.values = nullptr;
    DefFileRelease(definition);
}
