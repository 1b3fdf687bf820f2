// Editor mode through the real program: "zintar -e" with the test editor library beside the program,
// in the working folder, without "Initialize", and with no library at all.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/plugins/editor.h"
#include "core/plugins/editor_interface.h"
#include "core/winos.h"
#include "core/files/script_file.h"
#include "core/sound/sound.h"
#include "actors/actor_class.h"
#include "ai/soldier/ai_runtime.h"
#include "core/video/video.h"
#include "game/accounts/accounts.h"
#include "game/mission/game_frame.h"
#include "game/commands/no_op.h"
#include "game/mission_objects/object_factory.h"
#include "game/mission_objects/object_list.h"
#include "gui/screens/gui.h"
#include "map/terrain/map_layers_reload.h"
#include "map/terrain/map_load.h"
#include "map/trace/map_trace.h"
#include "map/octree/octree.h"
#include "map/terrain/terrain_height.h"
#include "map/registry/world_registry.h"
#include "map/terrain/world_tiles.h"
#include "render/camera.h"
#include "render/draw2d/debug_primitives.h"
#include "render/env_maps.h"
#include "render/device/frame.h"
#include "render/land/map_render_setup.h"
#include "render/device/render_context.h"
#include "render/device/render_device.h"
#include "render/device/state_cache.h"
#include "render/land/visible_nodes.h"
#include "scene/meshes/animated_mesh_walk.h"
#include "scene/passes/clustered_mesh_pass.h"
#include "scene/meshes/connection_draw.h"
#include "scene/meshes/object_draw.h"
#include "scene/sky/sky_backdrop.h"
#include "scene/passes/visibility_pass.h"
#include "scene/passes/zone_draw.h"
#include "support/archive_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "world/animation/anim_cache.h"
#include "world/objects/dynamic_object.h"
#include "world/wires/wires.h"
#include "scene/passes/prepare_buffers.h"

namespace {

namespace fs = std::filesystem;

const std::string kLibrary = "pravlin.so";
const std::string kProgram = std::string(ZINTAR_BIN_DIR) + "/zintar";

std::string EditorLibrary(const char* variant)
{
    return std::string(ZINTAR_TEST_EDITOR_DIR) + "/" + variant + "/" + kLibrary;
}

// Runs the program with "-e" in the folder; a run that has not ended after 30 s is killed.
ProgramResult RunEditorMode(const std::string& program, const fs::path& folder)
{
    return RunProgram({program, "-e"}, {}, folder.string(), std::chrono::seconds(30));
}

// What the program logged after opening its archives.
std::string LogAfterStartUp(const fs::path& folder)
{
    const std::string log = ReadFileBytes((folder / "zintar.log").string());
    const std::string opened = "Initializing virtual file system...done\n";
    const size_t at = log.find(opened);
    return at == std::string::npos ? "(no start-up line) " + log : log.substr(at + opened.size());
}

const std::string kClosingLine = "Destroying virtual file system...done\n";

struct EditorCase {
    const char* name;
    const char* variant;  // the test library, null for none
    bool besideProgram;   // else in the working folder
    std::string expectedLog;
    bool checked;  // the library wrote its verdict
    std::string programFolder = "program";
    int exitCode = 0;  // 1 when there was no editor to hand over to
};

void PrintTo(const EditorCase& run, std::ostream* out)
{
    *out << run.name;
}

class EditorModeRun : public TempDirTest, public ::testing::WithParamInterface<EditorCase> {};

TEST_P(EditorModeRun, LogsTheSessionAndEndsWithItsCode)
{
    const EditorCase& run = GetParam();
    const fs::path work = fs::path(TempPath()) / "work";
    const fs::path programFolder = fs::path(TempPath()) / run.programFolder;
    fs::create_directories(work);
    fs::create_directories(programFolder);
    ASSERT_TRUE(WriteTestArchive((work / "main.bfs").string(), {{"config.def", "rbwindowed = 1\n"}}));

    std::string program = kProgram;
    if (run.besideProgram) {
        program = (programFolder / "zintar").string();
        fs::copy_file(kProgram, program);
    }
    if (run.variant)
        fs::copy_file(EditorLibrary(run.variant), (run.besideProgram ? programFolder : work) / kLibrary);

    const ProgramResult result = RunEditorMode(program, work);
    ASSERT_TRUE(result.exited) << "the program did not end";
    EXPECT_EQ(result.exitCode, run.exitCode);
    EXPECT_EQ(LogAfterStartUp(work), run.expectedLog + kClosingLine);
    const std::string verdict = ReadFileBytes((work / "editor_check.txt").string());
    EXPECT_EQ(verdict, run.checked ? "ok\n" : "");
}

const std::string kWholeSession =
    "Loading pravlin.so...done\n"
    "Initializing editor collaboration...done\n"
    // The test library starts video through the record while the program hands it over.
    "Providing zintar interface...Initializing video subsystem...done\n"
    "done\n"
    "Releasing pravlin.so...done\n";

INSTANTIATE_TEST_SUITE_P(
    Editor, EditorModeRun,
    ::testing::Values(EditorCase{"BesideTheProgram", "checking", true, kWholeSession, true},
                      // Longer than any game-data name may be: the program's own folders are not game data.
                      EditorCase{"BesideTheProgramInALongFolder", "checking", true, kWholeSession, true,
                                 std::string(70, 'p')},
                      EditorCase{"InTheWorkingFolder", "checking", false, kWholeSession, true},
                      EditorCase{"WithoutInitialize", "no_initialize", false,
                                 "Loading pravlin.so...done\nInitializing editor collaboration...\n"
                                 "ERROR : The editor library \"pravlin.so\" has no function \"Initialize\"\n",
                                 false, "program", 1},
                      EditorCase{"WithoutLibrary", nullptr, false,
                                 "Loading pravlin.so...\nERROR : Cannot load the editor library \"pravlin.so\" "
                                 "(looked beside the program and in the working folder)\n",
                                 false, "program", 1}),
    [](const ::testing::TestParamInfo<EditorCase>& testInfo) { return std::string(testInfo.param.name); });

template <class Function>
const void* Address(Function* function)
{
    return reinterpret_cast<const void*>(function);
}

// Every slot but 34 holds its engine function (an editor must not find a slot null whose function
// exists: it would jump to null).
TEST(EditorRecord, EverySlotHoldsItsFunction)
{
    const std::pair<int, const void*> filled[] = {
        {EDITOR_SLOT_DEVICE, &g_render.device},
        {EDITOR_SLOT_RENDER_INIT, Address(RenderInit)},
        {EDITOR_SLOT_RENDER_SET_DISPLAY_MODE, Address(RenderSetDisplayMode)},
        {EDITOR_SLOT_RENDER_SHUTDOWN, Address(RenderShutdown)},
        {EDITOR_SLOT_RENDER_PREPARE_BUFFERS, Address(RenderPrepareBuffers)},
        {EDITOR_SLOT_RENDER_BEGIN_FRAME, Address(RenderBeginFrame)},
        {EDITOR_SLOT_RENDER_END_FRAME, Address(RenderEndFrame)},
        {EDITOR_SLOT_CON_STARTUP, Address(ConStartup)},
        {EDITOR_SLOT_CON_SHUTDOWN, Address(ConShutdown)},
        {EDITOR_SLOT_ANIM_CACHE_RESET, Address(AnimCacheReset)},
        {EDITOR_SLOT_ANIM_CACHE_FREE_ALL, Address(AnimCacheFreeAll)},
        {EDITOR_SLOT_ANIM_CACHE_ACQUIRE, Address(AnimCacheAcquire)},
        {EDITOR_SLOT_MAP_LOAD, Address(MapLoad)},
        {EDITOR_SLOT_MAP_UNLOAD, Address(MapUnload)},
        {EDITOR_SLOT_ENV_MAPS_LOAD, Address(EnvMapsLoad)},
        {EDITOR_SLOT_CREATE_OBJECT_BY_CLASS, Address(CreateDynamicObjectByClass)},
        {EDITOR_SLOT_DYN_OBJECT_ADD, Address(DynObjectAdd)},
        {EDITOR_SLOT_DYN_OBJECT_REMOVE, Address(DynObjectRemove)},
        {EDITOR_SLOT_MAP_TERRAIN_HEIGHT, Address(MapTerrainHeight)},
        {EDITOR_SLOT_DEF_FILE_LOAD, Address(DefFileLoad)},
        {EDITOR_SLOT_DEF_FILE_RELEASE, Address(DefFileRelease)},
        {EDITOR_SLOT_DEF_FILE_FIND_ENTRY, Address(DefFileFindEntry)},
        {EDITOR_SLOT_CREATE_SCRIPT_CACHE, Address(CreateScriptCache)},
        {EDITOR_SLOT_DESTROY_SCRIPT_CACHE, Address(DestroyScriptCache)},
        {EDITOR_SLOT_GUI_INIT, Address(GuiInit)},
        {EDITOR_SLOT_GUI_SHUTDOWN, Address(GuiShutdown)},
        {EDITOR_SLOT_MAP_TRACE, Address(MapTrace)},
        {EDITOR_SLOT_RENDER_SET_ORTHOGRAPHIC, Address(RenderSetOrthographic)},
        {EDITOR_SLOT_DEBUG_BOX_ADD, Address(DebugBoxAdd)},
        {EDITOR_SLOT_DEBUG_LINES_DRAW, Address(DebugLinesDraw)},
        {EDITOR_SLOT_GET_SCRIPT_FILE, Address(GetScriptFile)},
        {EDITOR_SLOT_RENDER_SET_COLOR_OP, Address(RenderSetColorOp)},
        {EDITOR_SLOT_RENDER_SET_ALPHA_OP, Address(RenderSetAlphaOp)},
        {EDITOR_SLOT_ACCOUNTS_INIT, Address(AccountsInit)},
        {EDITOR_SLOT_SOUND_INIT, Address(SoundInit)},
        {EDITOR_SLOT_VIDEO_INIT, Address(VideoInit)},
        {EDITOR_SLOT_RENDER_RELEASE_MAP_RESOURCES, Address(RenderReleaseMapResources)},
        {EDITOR_SLOT_DYN_OBJECTS_RAY_PICK, Address(DynObjectsRayPick)},
        {EDITOR_SLOT_ACTOR_CLASS_INFOS_RESET, Address(ActorClassInfosReset)},
        {EDITOR_SLOT_DYN_OBJECT_UPDATE_GRID, Address(DynObjectUpdateGrid)},
        {EDITOR_SLOT_NO_OP_1, Address(NoOp)},
        {EDITOR_SLOT_NO_OP_2, Address(NoOp)},
        {EDITOR_SLOT_FIND_CVAR, Address(FindCVar)},
        {EDITOR_SLOT_COLLECT_VISIBLE_NODES, Address(EditorCollectVisibleNodes)},
        {EDITOR_SLOT_VIEW_GET_VISIBLE_NODES, Address(ViewGetVisibleNodes)},
        {EDITOR_SLOT_MAP_GET_WORLD_SIZE, Address(MapGetWorldSize)},
        {EDITOR_SLOT_RENDER_SET_BATCHING, Address(RenderSetBatching)},
        {EDITOR_SLOT_LOOK_AT_VIEW_PASS, Address(GameSetupLookAtView)},
        {EDITOR_SLOT_MESH_DRAW_ANIMATED, Address(MeshDrawAnimatedHost)},
        {EDITOR_SLOT_LANDSCAPE_DRAW_STANDALONE, Address(SkyBackdropDrawStandalone)},
        {EDITOR_SLOT_RENDER_VISIBILITY_PASS, Address(RenderVisibilityPass)},
        {EDITOR_SLOT_RENDER_SET_PASS_SELECTOR, Address(RenderSetPassSelector)},
        {EDITOR_SLOT_MISSION_ENVIRONMENT_LOAD, Address(MissionEnvironmentLoad)},
        {EDITOR_SLOT_CON_OBJ_CREATE_GROUP, Address(ConObjCreateGroup)},
        {EDITOR_SLOT_CON_OBJ_GROUP_APPEND_OBJECT, Address(ConObjGroupAppendObject)},
        {EDITOR_SLOT_CON_OBJ_GROUP_INSERT_OBJECT, Address(ConObjGroupInsertObject)},
        {EDITOR_SLOT_CON_OBJ_DELETE_GROUP, Address(ConObjDeleteGroup)},
        {EDITOR_SLOT_CON_OBJ_GROUP_REFRESH_OBJECT, Address(ConObjGroupRefreshObject)},
        {EDITOR_SLOT_CON_OBJ_GROUP_REMOVE_AT, Address(ConObjGroupRemoveAt)},
        {EDITOR_SLOT_ENVIRONMENT_RELEASE, Address(EnvironmentRelease)},
        {EDITOR_SLOT_CON_OBJ_DRAW, Address(RenderConnectionObjects)},
        {EDITOR_SLOT_OCTREE_GET_ROOT, Address(OctreeGetRoot)},
        {EDITOR_SLOT_CLUSTERED_MESH_PASS, Address(ClusteredMeshPass)},
        {EDITOR_SLOT_SIGNAL_EVENT, Address(SetEvent)},
        {EDITOR_SLOT_OBJECT_LIST_LOAD, Address(GameLoadObjectList)},
        {EDITOR_SLOT_OBJECT_LOADER_WORD_READ, Address(GameGetCurrentObject)},
        {EDITOR_SLOT_OBJECT_LOADER_RECORD, Address(GameGetCurrentClass)},
        {EDITOR_SLOT_OBJECT_LOADER_WORD_WRITE, Address(GameSetCurrentObject)},
        {EDITOR_SLOT_AI_STARTUP, Address(AIStartup)},
        {EDITOR_SLOT_AI_SHUTDOWN, Address(AIShutdown)},
        {EDITOR_SLOT_OBJECT_VIEW_UPDATE, Address(RenderPrepareVisibleObjects)},
        {EDITOR_SLOT_LAND_TEXTURES_LOAD, Address(MapLayersReload)},
        {EDITOR_SLOT_CON_OBJ_GROUP_SETUP, Address(ConObjGroupSetup)},
        {EDITOR_SLOT_ANIMATED_MESH_WALK, Address(DynObjectsWalkAnimatedMeshes)},
        {EDITOR_SLOT_ZONE_DRAW, Address(RenderDrawZones)},
    };
    const void* expected[EDITOR_RECORD_SLOTS] = {};
    for (const auto& [slot, function] : filled)
        expected[slot] = function;
    void* record[EDITOR_RECORD_SLOTS];
    for (void*& slot : record)
        slot = &record;  // anything but null: every slot must be written
    EditorFillInterface(record);
    for (int slot = 0; slot < EDITOR_RECORD_SLOTS; ++slot)
        EXPECT_EQ(record[slot], expected[slot]) << "slot " << slot;
}

// A session inside this program: editor mode is on once the library has the record, and stays on.
class EditorSession : public TempDirTest {
protected:
    void TearDown() override
    {
        g_program.editorMode = 0;
        TempDirTest::TearDown();
    }
};

TEST_F(EditorSession, SetsEditorMode)
{
    fs::copy_file(EditorLibrary("signal_only"), fs::path(TempPath()) / kLibrary);
    ASSERT_EQ(g_program.editorMode, 0);
    EXPECT_TRUE(RunEditorSession());
    EXPECT_EQ(g_program.editorMode, 1);
}

}  // namespace
