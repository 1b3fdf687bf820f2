// The interface record: the engine entry points the editor library drives the engine through.
//
// A composition root: the record's slots point into every subsystem, so this file may include any
// folder.
#include "actors/actor_class.h"
#include "ai/soldier/ai_runtime.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/plugins/editor.h"
#include "core/plugins/editor_interface.h"
#include "core/files/script_file.h"
#include "core/sound/sound.h"
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
#include "scene/meshes/animated_mesh_walk.h"
#include "scene/passes/clustered_mesh_pass.h"
#include "scene/meshes/connection_draw.h"
#include "scene/meshes/object_draw.h"
#include "scene/sky/sky_backdrop.h"
#include "scene/passes/visibility_pass.h"
#include "scene/passes/zone_draw.h"
#include "render/land/visible_nodes.h"
#include "world/animation/anim_cache.h"
#include "world/objects/dynamic_object.h"
#include "world/wires/wires.h"
#include "scene/passes/prepare_buffers.h"

namespace {

template <class Function>
void* Slot(Function* function)
{
    return reinterpret_cast<void*>(function);
}

}  // namespace

void EditorFillInterface(void** record)
{
    for (int i = 0; i < EDITOR_RECORD_SLOTS; ++i)
        record[i] = nullptr;
    // Slot 34 stays null: the record has no function there.
    record[EDITOR_SLOT_DEVICE] = &g_render.device;
    record[EDITOR_SLOT_RENDER_INIT] = Slot(RenderInit);
    record[EDITOR_SLOT_RENDER_SET_DISPLAY_MODE] = Slot(RenderSetDisplayMode);
    record[EDITOR_SLOT_RENDER_SHUTDOWN] = Slot(RenderShutdown);
    record[EDITOR_SLOT_RENDER_PREPARE_BUFFERS] = Slot(RenderPrepareBuffers);
    record[EDITOR_SLOT_RENDER_BEGIN_FRAME] = Slot(RenderBeginFrame);
    record[EDITOR_SLOT_RENDER_END_FRAME] = Slot(RenderEndFrame);
    record[EDITOR_SLOT_CON_STARTUP] = Slot(ConStartup);
    record[EDITOR_SLOT_CON_SHUTDOWN] = Slot(ConShutdown);
    record[EDITOR_SLOT_ANIM_CACHE_RESET] = Slot(AnimCacheReset);
    record[EDITOR_SLOT_ANIM_CACHE_FREE_ALL] = Slot(AnimCacheFreeAll);
    record[EDITOR_SLOT_ANIM_CACHE_ACQUIRE] = Slot(AnimCacheAcquire);
    record[EDITOR_SLOT_MAP_LOAD] = Slot(MapLoad);
    record[EDITOR_SLOT_MAP_UNLOAD] = Slot(MapUnload);
    record[EDITOR_SLOT_ENV_MAPS_LOAD] = Slot(EnvMapsLoad);
    record[EDITOR_SLOT_CREATE_OBJECT_BY_CLASS] = Slot(CreateDynamicObjectByClass);
    record[EDITOR_SLOT_DYN_OBJECT_ADD] = Slot(DynObjectAdd);
    record[EDITOR_SLOT_DYN_OBJECT_REMOVE] = Slot(DynObjectRemove);
    record[EDITOR_SLOT_MAP_TERRAIN_HEIGHT] = Slot(MapTerrainHeight);
    record[EDITOR_SLOT_DEF_FILE_LOAD] = Slot(DefFileLoad);
    record[EDITOR_SLOT_DEF_FILE_RELEASE] = Slot(DefFileRelease);
    record[EDITOR_SLOT_DEF_FILE_FIND_ENTRY] = Slot(DefFileFindEntry);
    record[EDITOR_SLOT_OBJECT_LIST_LOAD] = Slot(GameLoadObjectList);
    record[EDITOR_SLOT_OBJECT_LOADER_WORD_READ] = Slot(GameGetCurrentObject);
    record[EDITOR_SLOT_OBJECT_LOADER_RECORD] = Slot(GameGetCurrentClass);
    record[EDITOR_SLOT_OBJECT_LOADER_WORD_WRITE] = Slot(GameSetCurrentObject);
    record[EDITOR_SLOT_CREATE_SCRIPT_CACHE] = Slot(CreateScriptCache);
    record[EDITOR_SLOT_DESTROY_SCRIPT_CACHE] = Slot(DestroyScriptCache);
    record[EDITOR_SLOT_GUI_INIT] = Slot(GuiInit);
    record[EDITOR_SLOT_GUI_SHUTDOWN] = Slot(GuiShutdown);
    record[EDITOR_SLOT_DYN_OBJECTS_RAY_PICK] = Slot(DynObjectsRayPick);
    record[EDITOR_SLOT_MAP_TRACE] = Slot(MapTrace);
    record[EDITOR_SLOT_RENDER_SET_ORTHOGRAPHIC] = Slot(RenderSetOrthographic);
    record[EDITOR_SLOT_DEBUG_BOX_ADD] = Slot(DebugBoxAdd);
    record[EDITOR_SLOT_DEBUG_LINES_DRAW] = Slot(DebugLinesDraw);
    record[EDITOR_SLOT_GET_SCRIPT_FILE] = Slot(GetScriptFile);
    record[EDITOR_SLOT_RENDER_SET_COLOR_OP] = Slot(RenderSetColorOp);
    record[EDITOR_SLOT_RENDER_SET_ALPHA_OP] = Slot(RenderSetAlphaOp);
    record[EDITOR_SLOT_ACCOUNTS_INIT] = Slot(AccountsInit);
    record[EDITOR_SLOT_SOUND_INIT] = Slot(SoundInit);
    record[EDITOR_SLOT_VIDEO_INIT] = Slot(VideoInit);
    record[EDITOR_SLOT_ACTOR_CLASS_INFOS_RESET] = Slot(ActorClassInfosReset);
    record[EDITOR_SLOT_DYN_OBJECT_UPDATE_GRID] = Slot(DynObjectUpdateGrid);
    record[EDITOR_SLOT_FIND_CVAR] = Slot(FindCVar);
    record[EDITOR_SLOT_COLLECT_VISIBLE_NODES] = Slot(EditorCollectVisibleNodes);
    record[EDITOR_SLOT_VIEW_GET_VISIBLE_NODES] = Slot(ViewGetVisibleNodes);
    record[EDITOR_SLOT_MAP_GET_WORLD_SIZE] = Slot(MapGetWorldSize);
    record[EDITOR_SLOT_RENDER_SET_BATCHING] = Slot(RenderSetBatching);
    record[EDITOR_SLOT_LOOK_AT_VIEW_PASS] = Slot(GameSetupLookAtView);
    record[EDITOR_SLOT_MESH_DRAW_ANIMATED] = Slot(MeshDrawAnimatedHost);
    record[EDITOR_SLOT_LANDSCAPE_DRAW_STANDALONE] = Slot(SkyBackdropDrawStandalone);
    record[EDITOR_SLOT_RENDER_VISIBILITY_PASS] = Slot(RenderVisibilityPass);
    record[EDITOR_SLOT_RENDER_SET_PASS_SELECTOR] = Slot(RenderSetPassSelector);
    record[EDITOR_SLOT_CLUSTERED_MESH_PASS] = Slot(ClusteredMeshPass);
    record[EDITOR_SLOT_CON_OBJ_CREATE_GROUP] = Slot(ConObjCreateGroup);
    record[EDITOR_SLOT_CON_OBJ_GROUP_APPEND_OBJECT] = Slot(ConObjGroupAppendObject);
    record[EDITOR_SLOT_CON_OBJ_GROUP_INSERT_OBJECT] = Slot(ConObjGroupInsertObject);
    record[EDITOR_SLOT_CON_OBJ_DELETE_GROUP] = Slot(ConObjDeleteGroup);
    record[EDITOR_SLOT_CON_OBJ_GROUP_REFRESH_OBJECT] = Slot(ConObjGroupRefreshObject);
    record[EDITOR_SLOT_CON_OBJ_GROUP_REMOVE_AT] = Slot(ConObjGroupRemoveAt);
    record[EDITOR_SLOT_RENDER_RELEASE_MAP_RESOURCES] = Slot(RenderReleaseMapResources);
    record[EDITOR_SLOT_AI_STARTUP] = Slot(AIStartup);
    record[EDITOR_SLOT_NO_OP_1] = Slot(NoOp);
    record[EDITOR_SLOT_AI_SHUTDOWN] = Slot(AIShutdown);
    record[EDITOR_SLOT_NO_OP_2] = Slot(NoOp);
    record[EDITOR_SLOT_MISSION_ENVIRONMENT_LOAD] = Slot(MissionEnvironmentLoad);
    record[EDITOR_SLOT_ENVIRONMENT_RELEASE] = Slot(EnvironmentRelease);
    record[EDITOR_SLOT_CON_OBJ_DRAW] = Slot(RenderConnectionObjects);
    record[EDITOR_SLOT_OCTREE_GET_ROOT] = Slot(OctreeGetRoot);
    record[EDITOR_SLOT_OBJECT_VIEW_UPDATE] = Slot(RenderPrepareVisibleObjects);
    record[EDITOR_SLOT_LAND_TEXTURES_LOAD] = Slot(MapLayersReload);
    record[EDITOR_SLOT_CON_OBJ_GROUP_SETUP] = Slot(ConObjGroupSetup);
    record[EDITOR_SLOT_ANIMATED_MESH_WALK] = Slot(DynObjectsWalkAnimatedMeshes);
    record[EDITOR_SLOT_ZONE_DRAW] = Slot(RenderDrawZones);
    record[EDITOR_SLOT_SIGNAL_EVENT] = Slot(SetEvent);
}
