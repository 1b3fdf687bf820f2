// The host dictionary as plug-ins see it: its fixed names and order, exact lookups, and data
// entries that give the variables' addresses.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/frame_view.h"
#include "core/plugins/plugin_host.h"
#include "core/winos.h"
#include "game/game_state.h"
#include "game/player/player_control.h"
#include "map/terrain/map_state.h"
#include "render/device/render_context.h"
#include "scene/plugin_bridges/indoor_bridge.h"
#include "scene/scene_state.h"

namespace {

// The interface every plug-in is written against: these names, in this order.
const std::vector<std::string> kHostEntryNames = {
    "editor_mode",
    "ConPrint",
    "die",
    "cvar",
    "FindCVar",
    "AddCVarFn",
    "framedtime",
    "CreateDynamicObjectByClass",
    "ForceActorCreation",
    "GameApplyTemplateToObject",
    "InsertToWorld",
    "RemoveFromWorld",
    "MapTerrainHeight",
    "DeleteDynamicObject",
    "player",
    "GameGetYaw",
    "GameGetPitch",
    "GuiFindScreen",
    "GuiCreateControl",
    "GuiFindItem",
    "FindFont",
    "ReincarnatePlayer",
    "GameGetYawBeforeFiring",
    "GameGetPitchBeforeFiring",
    "GameSetPlayerPos",
    "GameGetPlayerModeModifier",
    "GameSetSRand",
    "BeginGameModRegistration",
    "EndGameModRegistration",
    "GetNewGameModTeam",
    "GameIsPlayerOnLadder",
    "DynObjectsGet",
    "GameIsPlayerFalling",
    "GetCurrentAccount",
    "GameSetYaw",
    "GameSetPitch",
    "VFSFindFile",
    "VFSOpenFile",
    "VFSCloseFile",
    "VFSReadFile",
    "VFSGetFileSize",
    "ParticleRegisterTexture",
    "ParticleRegisterAnim",
    "AddParticleInfo",
    "ParticleRegisterPinOBJ",
    "ParticleRegisterPinFPW",
    "ParticleUnregisterPin",
    "ParticlePinGetTransform",
    "GameAddWeaponToActor",
    "RegisterDefObject",
    "RegisterAffMesh",
    "RegisterTexture",
    "d3dev",
    "GameInvokeScoreTable",
    "GameInvokeTeamTable",
    "GameLoadNextGameModMap",
    "ndr_clip_data",
    "IndoorClipCallback",
    "IndoorRenderMeshCallback",
    "IndoorRenderDefCallback",
    "IndoorMeshSphereCollision",
    "IndoorMeshTrace",
    "GuiWriteMsg",
    "octree_object_checked",
    "GameGetLean",
    "FPWTrasform",
    "DebugVertex",
};

std::vector<std::string> EntryNames(const PluginHost& host)
{
    std::vector<std::string> names;
    for (s32_t i = 0; i < host.HostEntryCount(); ++i)
        names.emplace_back(host.HostEntryName(i));
    return names;
}

TEST(HostDictionary, HoldsTheInterfaceNamesInOrderOnce)
{
    ASSERT_EQ(kHostEntryNames.size(), 67u);
    PluginHost host;
    RegisterHostInterface(host);
    RegisterHostInterface(host);  // a second call adds nothing
    EXPECT_EQ(EntryNames(host), kHostEntryNames);
    for (const std::string& name : kHostEntryNames)
        EXPECT_NE(host.FindHostEntry(name.c_str()), nullptr) << name;
}

TEST(HostDictionary, DataEntriesGiveTheVariablesAddresses)
{
    PluginHost host;
    RegisterHostInterface(host);
    const struct {
        const char* name;
        const void* address;
    } cases[] = {
        {"editor_mode", &g_program.editorMode},
        {"cvar", CVarListHeadAddress()},
        {"framedtime", &g_frameView.frameTime},
        {"player", &g_frameView.player},
        {"d3dev", &g_render.device},
        {"ndr_clip_data", &g_scene.indoorClip},
        {"octree_object_checked", &g_map.octreeVisitMark},
        {"ConPrint", reinterpret_cast<const void*>(&ConPrint)},
        {"FindCVar", reinterpret_cast<const void*>(&FindCVar)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(host.FindHostEntry(c.name), c.address) << c.name;
}

TEST(HostDictionary, LookupsAreExactAndTheValueLookupFindsNothing)
{
    PluginHost host;
    RegisterHostInterface(host);
    for (const char* name : {"conprint", "ConPrint ", "Con", "", "FPWTransform"})
        EXPECT_EQ(host.FindHostEntry(name), nullptr) << '"' << name << '"';
    EXPECT_EQ(host.FindHostEntry(nullptr), nullptr);

    // The first registration of a name wins.
    int first = 0, second = 0;
    host.RegisterHostEntry(&first, "twice");
    host.RegisterHostEntry(&second, "twice");
    EXPECT_EQ(host.FindHostEntry("twice"), &first);

    for (const std::string& name : kHostEntryNames)
        EXPECT_EQ(host.FindHostValue(name.c_str()), nullptr) << name;
}

TEST(HostDictionary, CallbackBlockLooksUpTheGlobalHost)
{
    RegisterHostInterface(g_pluginHost);
    const HostCallbackBlock block = {HostGetFunction, HostGetValue};
    EXPECT_EQ(block.getFunction("framedtime"), &g_frameView.frameTime);
    EXPECT_EQ(block.getFunction("cvar"), CVarListHeadAddress());
    auto findCVar = reinterpret_cast<HostFindCVarFn>(block.getFunction("FindCVar"));
    ASSERT_NE(findCVar, nullptr);
    static ConsoleVar probe("hostdict_probe", CVAR_INT, "3");
    EXPECT_EQ(findCVar("hostdict_probe"), &probe);
    EXPECT_EQ(findCVar("HOSTDICT_PROBE"), nullptr);
    EXPECT_EQ(block.getValue("framedtime"), nullptr);
}

}  // namespace
