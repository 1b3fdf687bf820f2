#include "game/commands/game_mod_registry.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "core/core_cvars.h"
#include "core/files/def_file.h"
#include "core/strings/engine_string.h"
#include "core/frame_view.h"
#include "core/strings/grow_array.h"
#include "core/log.h"
#include "core/plugins/plugin_host.h"
#include "core/strings/text_case.h"
#include "core/files/vfs.h"
#include "core/winos.h"
#include "game/accounts/accounts.h"
#include "game/mission/game_flow.h"
#include "game/game_cvars.h"
#include "game/commands/game_mod_commands.h"
#include "game/game_state.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui.h"
#include "gui/lists/gui_list_box.h"
#include "platform/file_system.h"

namespace {
GrowArray<GameMod*> g_gameMods{1};
GameMod* g_openRegistration = nullptr;

// What the mission search collects for the current mode.
EngineString g_netModeMissions[kNetModeMissionSlots];
s32_t g_netModeMissionCount = 0;

// A plug-in's call out of order is refused; the log names the check it failed and this source.
void LogRefusal(const char* check)
{
    Log("\n-- Assertion '%s' failed in gamemod: the call is refused\n", check);
}

bool AppendPointer(GameModPointerArray& array, void* pointer)
{
    if (array.count == array.capacity) {
        const std::uint32_t step = array.growStep > 0 ? static_cast<std::uint32_t>(array.growStep) : 1u;
        void** grown = static_cast<void**>(std::malloc(sizeof(void*) * (array.capacity + step)));
        if (!grown)
            return false;
        if (array.items)
            std::memcpy(grown, array.items, sizeof(void*) * array.count);
        std::free(array.items);
        array.items = grown;
        array.capacity += step;
    }
    array.items[array.count++] = pointer;
    return true;
}

void FreeArray(GameModPointerArray& array)
{
    std::free(array.items);
    array.items = nullptr;
    array.count = 0;
    array.capacity = 0;
}

void FreeMode(GameMod* mod)
{
    for (std::uint32_t i = 0; i < mod->teams.count; ++i)
        delete static_cast<GameModTeam*>(mod->teams.items[i]);
    FreeArray(mod->teams);
    GameModClearMaps(mod);
    delete mod;
}

void ShowModScreen(const char* screenName, bool announce)
{
    g_gui.screenRequested = true;
    GuiScreen* screen = GuiFindScreen(screenName);
    g_gui.currentScreen = screen;
    if (announce)
        g_pluginHost.Broadcast(HookScreenShown, reinterpret_cast<std::uintptr_t>(screen));
}

// The search callback: the mission folder name joined to its folder (with a separator whatever the
// folder ends with), its "netmodes.def" read and tested for the current mode.
void CollectMissionFolder(const char* name, const char* folder)
{
    if (!name || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return;
    if (g_netModeMissionCount >= kNetModeMissionSlots)
        return;
    std::string path = folder ? folder : "";
    if (!path.empty() && path.back() != '\\' && path.back() != '/')
        path += '\\';
    path += name;
    path += "\\netmodes.def";
    DefFile* file = DefFileLoad(path.c_str());
    if (!file)
        return;
    if (NetModesNameMode(file, gs_curmod.String()))
        g_netModeMissions[g_netModeMissionCount++].Assign(name);
    DefFileRelease(file);
}
}  // namespace

GameMod* BeginGameModRegistration()
{
    if (g_openRegistration) {
        LogRefusal("cur_gmi == 0");
        return nullptr;
    }
    GameMod* mod = new (std::nothrow) GameMod;
    if (!mod)
        return nullptr;
    mod->teams.growStep = 1;
    mod->maps.growStep = 1;
    g_openRegistration = mod;
    return mod;
}

void EndGameModRegistration()
{
    if (!g_openRegistration) {
        LogRefusal("cur_gmi");
        return;
    }
    if (g_gameMods.Append(g_openRegistration) < 0)
        FreeMode(g_openRegistration);
    g_openRegistration = nullptr;
}

GameModTeam* GetNewGameModTeam(GameMod* mod)
{
    if (!mod) {
        LogRefusal("gmi");
        return nullptr;
    }
    GameModTeam* team = new (std::nothrow) GameModTeam;
    if (!team)
        return nullptr;
    if (!AppendPointer(mod->teams, team)) {
        delete team;
        return nullptr;
    }
    return team;
}

s32_t GameModRegistryCount()
{
    return g_gameMods.count;
}

GameMod* GameModRegistryAt(s32_t index)
{
    return index >= 0 && index < g_gameMods.count ? g_gameMods[index] : nullptr;
}

s32_t GameModTeamCount(const GameMod* mod)
{
    return mod ? static_cast<s32_t>(mod->teams.count) : 0;
}

GameMod* FindGameMod(const char* name)
{
    if (!name)
        return nullptr;
    const std::size_t length = std::strlen(name);
    for (s32_t i = 0; i < g_gameMods.count; ++i) {
        GameMod* mod = g_gameMods[i];
        if (strnlen(mod->name, kGameModNameSize) == length && CompareNoCaseN(mod->name, name, length) == 0)
            return mod;
    }
    return nullptr;
}

u32_t GameModMapCount(const GameMod* mod)
{
    return mod ? mod->maps.count : 0;
}

const char* GameModMapAt(const GameMod* mod, u32_t index)
{
    if (!mod || index >= mod->maps.count)
        return nullptr;
    return static_cast<const EngineString*>(mod->maps.items[index])->Text();
}

bool GameModAppendMap(GameMod* mod, const char* name)
{
    if (!mod)
        return false;
    EngineString* copy = new (std::nothrow) EngineString(name);
    if (!copy)
        return false;
    if (!AppendPointer(mod->maps, copy)) {
        delete copy;
        return false;
    }
    return true;
}

void GameModRemoveMap(GameMod* mod, u32_t index)
{
    if (!mod || index >= mod->maps.count)
        return;
    delete static_cast<EngineString*>(mod->maps.items[index]);
    std::memmove(mod->maps.items + index, mod->maps.items + index + 1, sizeof(void*) * (mod->maps.count - index - 1));
    --mod->maps.count;
    // The index keeps naming a map while there is one.
    if (mod->mapIndex >= mod->maps.count)
        mod->mapIndex = 0;
}

void GameModClearMaps(GameMod* mod)
{
    if (!mod)
        return;
    for (std::uint32_t i = 0; i < mod->maps.count; ++i)
        delete static_cast<EngineString*>(mod->maps.items[i]);
    FreeArray(mod->maps);
    mod->mapIndex = 0;
}

s32_t GameModMapIndexOfSelection(s32_t firstVisible, s32_t row, u32_t count)
{
    if (row < 0 || firstVisible < 0)
        return -1;
    const std::int64_t index = static_cast<std::int64_t>(firstVisible) + row;
    return index < static_cast<std::int64_t>(count) ? static_cast<s32_t>(index) : -1;
}

s32_t GameModSelectedMap(const GameMod* mod)
{
    // The list box keeps its selection as a row counted from the first visible item.
    const GuiListBox* list = dynamic_cast<const GuiListBox*>(GuiFindItem("MODMAPS"));
    if (!list)
        return -1;
    return GameModMapIndexOfSelection(list->firstVisible, list->selectedRow, GameModMapCount(mod));
}

void GameModStart(const char* name)
{
    GameMod* mod = FindGameMod(name);
    if (!mod) {
        g_frameView.currentGameMod = nullptr;
        gs_curmod.SetString("classic");
        return;
    }
    g_frameView.currentGameMod = mod;
    gs_curmod.SetString(mod->name);
    const s32_t selected = GameModSelectedMap(mod);
    mod->mapIndex = selected >= 0 ? static_cast<u32_t>(selected) : 0;
    Log("\nGame mod '%s' started.\n", mod->name);
}

void GameModEnd()
{
    Log("Game mod '%s' ended.\n", gs_curmod.String());
    g_frameView.currentGameMod = nullptr;
    gs_curmod.SetString("classic");
}

void GameModRegistryFree()
{
    for (s32_t i = 0; i < g_gameMods.count; ++i)
        FreeMode(g_gameMods[i]);
    g_gameMods.Free();
    if (g_openRegistration)
        FreeMode(g_openRegistration);
    g_openRegistration = nullptr;
}

void GameInvokeScoreTable()
{
    if (const GameMod* mod = g_frameView.currentGameMod)
        ShowModScreen(mod->scoreScreen, true);
}

void GameInvokeTeamTable()
{
    if (const GameMod* mod = g_frameView.currentGameMod)
        ShowModScreen(mod->teamScreen, false);
}

void GameLoadNextGameModMap(const char* mapName)
{
    if (mapName) {
        dsmap.SetString(mapName);
    } else {
        GameMod* mod = g_frameView.currentGameMod;
        if (!mod || mod->maps.count == 0)
            return;
        mod->mapIndex = mod->mapIndex + 1 >= mod->maps.count ? 0 : mod->mapIndex + 1;
        dsmap.SetString(GameModMapAt(mod, mod->mapIndex));
    }
    g_program.loopState = LOOP_LOAD_MAP;
    GameFillMissionInfo(nullptr);
}

bool NetModesNameMode(const DefFile* file, const char* mode)
{
    if (!file || !mode)
        return false;
    const std::size_t length = std::strlen(mode);
    for (const DefEntry* entry = file->first; entry; entry = entry->next) {
        if (entry->valueCount < 1)
            continue;
        const char* first = entry->Value(0);
        if (std::strlen(first) == length && CompareNoCaseN(first, mode, length) == 0)
            return true;
    }
    return false;
}

s32_t GameModCollectMissions()
{
    g_netModeMissionCount = 0;
    char folder[1024];
    if (PlatformCurrentFolder(folder, sizeof folder)) {
        const std::string missions = std::string(folder) + "\\mission\\";
        VFSFindFile(missions.c_str(), "*", CollectMissionFolder, false);
    }
    if (g_netModeMissionCount == 0)
        VFSFindFile("mission", "*", CollectMissionFolder, true);
    return g_netModeMissionCount;
}

const char* GameModCollectedMission(s32_t index)
{
    return index >= 0 && index < g_netModeMissionCount ? g_netModeMissions[index].Text() : nullptr;
}
