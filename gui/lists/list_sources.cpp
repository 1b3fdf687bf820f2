// The table of list sources, tested in a fixed order; the first name that matches fills the list.
#include "gui/lists/list_sources.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/plugins/plugin_api.h"
#include "core/plugins/plugin_host.h"
#include "core/strings/text_case.h"
#include "game/accounts/accounts.h"
#include "game/mission/game_flow.h"
#include "game/commands/game_mod_registry.h"
#include "game/game_state.h"
#include "game/accounts/player_account.h"
#include "gui/lists/gui_list_box.h"
#include "render/device/render_device.h"

namespace {

constexpr int kMessageConsole = 4;

bool IsPlayerPicture(const char* name)
{
    const std::size_t length = std::strlen(name);
    if (length < 3)
        return false;
    const char* tail = name + length - 3;
    const bool picture = std::strcmp(tail, "dds") == 0 || std::strcmp(tail, "jpg") == 0;
    return picture && CompareNoCase(name, "default.dds") != 0;
}

bool NotCommonLocale(const char* name)
{
    return CompareNoCase(name, "_common") != 0;
}

bool KeepAll(const char*)
{
    return true;
}

void AskPlugins(GuiListBox& list, u32_t code)
{
    // Plug-ins see the list through the fill interface only.
    PluginListFill* fill = &list;
    g_pluginHost.Broadcast(code, reinterpret_cast<std::uintptr_t>(fill));
}

bool NextMissions(GuiListBox& list)
{
    const AccountState& state = g_game.accounts;
    // Before the first choice of next missions there is no list at all: the refresh leaves
    // everything as it was.
    if (state.missionNames.capacity() == 0)
        return false;
    for (const EngineString& name : state.missionNames)
        list.AddItem(name.Text());
    return true;
}

bool QuickMissions(GuiListBox& list)
{
    const ConsoleVar* all = CVarListFind("gballmissions");
    if (all && all->Bool()) {
        list.folderPath.Assign("mission\\");
        ListFillFolderNames(list, "mission\\", true, KeepAll);
        return true;
    }
    list.AddString("TUTORIAL");
    for (const EngineString& name : g_game.accounts.quickMissions)
        list.AddItem(name.Text());
    return true;
}

bool Players(GuiListBox& list)
{
    AskPlugins(list, HookPlayerListFill);
    return true;
}

bool Accounts(GuiListBox& list)
{
    PlayerAccount* const* accounts = nullptr;
    s32_t count = 0;
    AccountsGetList(&accounts, &count);
    for (s32_t i = 0; accounts && i < count; ++i) {
        if (accounts[i])
            list.AddItem(accounts[i]->name.Text());
    }
    return true;
}

bool Languages(GuiListBox& list)
{
    list.folderPath.Assign("locale\\");
    ListFillFolderNames(list, "locale\\", true, NotCommonLocale);
    return true;
}

bool DisplayModes(GuiListBox& list)
{
    EngineString** modes = nullptr;
    int count = 0;
    RenderListDisplayModes(&modes, &count);
    for (int i = 0; modes && i < count; ++i)
        list.AddItem(modes[i]);
    std::free(modes);
    return true;
}

bool Plugins(GuiListBox& list)
{
    s32_t count = 0;
    PluginRecord* const* plugins = GetLoadedPlugins(&count);
    for (s32_t i = 0; plugins && i < count; ++i) {
        if (plugins[i])
            list.AddItem(plugins[i]->Name());
    }
    return true;
}

bool Servers(GuiListBox& list)
{
    // The first refresh runs while the screen script loads, before any plug-in could answer.
    if (list.refreshCount > 0)
        AskPlugins(list, HookServerListFill);
    return true;
}

// The missions whose "netmodes.def" names the current mode (the game modes' own search).
bool GameModeMissions(GuiListBox& list)
{
    const s32_t found = GameModCollectMissions();
    for (s32_t i = 0; i < found; ++i)
        list.AddItem(GameModCollectedMission(i));
    return true;
}

bool GameModes(GuiListBox& list)
{
    for (s32_t i = 0; i < GameModRegistryCount(); ++i) {
        if (const GameMod* mod = GameModRegistryAt(i))
            list.AddItem(mod->name);
    }
    return true;
}

// The maps of the mode gs_curmod names, in order.
bool GameModeMaps(GuiListBox& list)
{
    const ConsoleVar* modeVar = CVarListFind("gs_curmod");
    const GameMod* mod = FindGameMod(modeVar ? modeVar->String() : "");
    for (u32_t i = 0; i < GameModMapCount(mod); ++i)
        list.AddItem(GameModMapAt(mod, i));
    return true;
}

bool Pictures(GuiListBox& list)
{
    list.folderPath.Assign(GUI_PLAYER_PICTURE_FOLDER);
    ListFillFolderNames(list, GUI_PLAYER_PICTURE_FOLDER, false, IsPlayerPicture);
    return true;
}

bool MessageLines(GuiListBox& list)
{
    char** lines = ConLines(kMessageConsole);
    const int count = ConLineCapacity(kMessageConsole);
    for (int i = 0; lines && i < count; ++i) {
        if (lines[i])
            list.AddItem(lines[i]);
    }
    return true;
}

bool SinglePlayerModes(GuiListBox& list)
{
    list.AddItem("ZEZOD");
    list.AddItem("TACTICAL");
    return true;
}

bool Qualities(GuiListBox& list)
{
    for (const char* quality : {"VERY LOW", "LOW", "MEDIUM", "HIGH"})
        list.AddItem(quality);
    return true;
}

struct ListSource {
    const char* name;
    bool (*fill)(GuiListBox& list);
};

const ListSource kSources[] = {
    {"next_mission_list", NextMissions},
    {"quick_mission_list", QuickMissions},
    {"player_list", Players},
    {"account_list", Accounts},
    {"language_list", Languages},
    {"gmode_list", DisplayModes},
    {"plugin_list", Plugins},
    {"server_list", Servers},
    {"mpmap_list", GameModeMissions},
    {"gamemod_list", GameModes},
    {"gamemodmaps_list", GameModeMaps},
    {"files_list", Pictures},
    {"console_list", MessageLines},
    {"spmods_list", SinglePlayerModes},
    {"quality_list", Qualities},
};

}  // namespace

bool GuiListSourceFill(GuiListBox& list)
{
    const char* name = list.Source();
    if (!name || name[0] == '\0')
        return true;
    for (const ListSource& source : kSources) {
        if (CompareNoCase(name, source.name) == 0)
            return source.fill(list);
    }
    return true;
}
