#include "game/commands/game_mod_commands.h"

#include "core/plugins/plugin_host.h"
#include "game/game_cvars.h"
#include "game/mission/game_flow.h"
#include "game/commands/game_mod_registry.h"

ConsoleVar gs_curmod("gs_curmod", CVAR_STRING, "classic");
ConsoleVar gs_curmodmap("gs_curmodmap", CVAR_STRING, "");
ConsoleVar gx_fillmodinfo("gx_fillmodinfo", GameModFillInfo);
ConsoleVar gx_fillplayerinfo("gx_fillplayerinfo", GameModFillPlayerInfo);
ConsoleVar gx_addmodmap("gx_addmodmap", GameModAddMap);
ConsoleVar gx_delmodmap("gx_delmodmap", GameModDeleteMap);
ConsoleVar gx_delallmodmaps("gx_delallmodmaps", GameModDeleteAllMaps);
ConsoleVar gx_addallmodmaps("gx_addallmodmaps", GameModAddAllMaps);

namespace {
// The mode the map commands edit: the selected one, only while a map is selected.
GameMod* SelectedModeWithMap()
{
    if (gs_curmodmap.String()[0] == '\0')
        return nullptr;
    return FindGameMod(gs_curmod.String());
}
}  // namespace

s32_t GameModFillInfo(const char*)
{
    return RegisterDefObject();
}

s32_t GameModFillPlayerInfo(const char*)
{
    g_pluginHost.Broadcast(HookPlayerInfo, 0);
    return 0;
}

s32_t GameModAddMap(const char*)
{
    if (GameMod* mod = SelectedModeWithMap())
        GameModAppendMap(mod, gs_curmodmap.String());
    return 0;
}

s32_t GameModDeleteMap(const char*)
{
    GameMod* mod = SelectedModeWithMap();
    if (!mod || GameModMapCount(mod) == 0)
        return 0;
    const s32_t index = GameModSelectedMap(mod);
    if (index >= 0)
        GameModRemoveMap(mod, static_cast<u32_t>(index));
    return 0;
}

s32_t GameModDeleteAllMaps(const char*)
{
    if (GameMod* mod = SelectedModeWithMap())
        GameModClearMaps(mod);
    return 0;
}

s32_t GameModAddAllMaps(const char*)
{
    GameMod* mod = SelectedModeWithMap();
    if (!mod)
        return 0;
    const s32_t found = GameModCollectMissions();
    for (s32_t i = 0; i < found; ++i)
        GameModAppendMap(mod, GameModCollectedMission(i));
    return 0;
}
