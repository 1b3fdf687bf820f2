// The host dictionary: the named functions and variables a plug-in looks up when its
// InitCommunication runs. The names and their order are the interface between the program and
// every plug-in, so they are fixed.
//
// A composition root: the entries come from every subsystem, so this file may include any folder.
#include <cstring>
#include "actors/actor_death.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/frame_view.h"
#include "core/plugins/plugin_host.h"
#include "core/files/vfs.h"
#include "core/winos.h"
#include "game/accounts/current_account.h"
#include "game/mission/game_flow.h"
#include "game/commands/game_mod_registry.h"
#include "game/game_state.h"
#include "game/mission_objects/object_factory.h"
#include "game/player/player_control.h"
#include "game/view/player_view.h"
#include "gui/texts/fonts.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_controls.h"
#include "map/terrain/map_state.h"
#include "map/terrain/terrain_height.h"
#include "map/registry/world_insert.h"
#include "map/registry/world_registry.h"
#include "render/draw2d/debug_vertex.h"
#include "render/fpw_transform.h"
#include "render/device/render_context.h"
#include "scene/plugin_bridges/indoor_bridge.h"
#include "scene/plugin_bridges/particle_host.h"
#include "scene/scene_state.h"

namespace {
// The entries below take what plug-ins pass, as the shared interface declares it.

// A command created by a plug-in is remembered by it, so that unloading the plug-in removes it.
void* HostAddCVarFn(const char* name, HostCommandHandlerFn handler)
{
    ConsoleVar* command = AddCVarFn(name, handler);
    if (PluginRecord* plugin = CurrentCallingPlugin())
        plugin->NoteCreatedCommand(command);
    return command;
}

// Plug-ins open their files in binary mode.
std::int32_t HostVFSOpenFile(const char* name)
{
    return VFSOpenFile(name, true) ? 1 : 0;
}

std::int32_t HostVFSFindFile(const char* folder, const char* extension, HostVFSFindCallbackFn callback,
                             std::int32_t allEntries)
{
    return VFSFindFile(folder, extension, callback, allEntries != 0) ? 1 : 0;
}

template <class Function>
void* EntryAddress(Function* function)
{
    return reinterpret_cast<void*>(function);
}

// Registers an entry that plug-ins call through a type of the shared interface: a function of
// another type does not compile.
template <class InterfaceFunction>
void RegisterTyped(PluginHost& host, InterfaceFunction function, const char* name)
{
    host.RegisterHostEntry(EntryAddress(function), name);
}
}  // namespace

void PluginHost::RegisterHostEntry(void* pointer, const char* name)
{
    const size_t length = std::strlen(name);
    char* copy = new char[length + 1];
    std::memcpy(copy, name, length + 1);
    m_entries.Append({copy, pointer});
}

void* PluginHost::FindHostEntry(const char* name) const
{
    if (!name)
        return nullptr;
    for (s32_t i = 0; i < m_entries.count; ++i) {
        if (std::strcmp(m_entries.items[i].name, name) == 0)
            return m_entries.items[i].pointer;
    }
    return nullptr;
}

void* PluginHost::FindHostValue(const char*) const
{
    return nullptr;
}

const char* PluginHost::HostEntryName(s32_t index) const
{
    return index >= 0 && index < m_entries.count ? m_entries.items[index].name : nullptr;
}

void* HostGetFunction(const char* name)
{
    return g_pluginHost.FindHostEntry(name);
}

void* HostGetValue(const char* name)
{
    return g_pluginHost.FindHostValue(name);
}

void RegisterHostInterface(PluginHost& host)
{
    // Filled once: a second call would only add entries that the first ones hide.
    if (host.HostEntryCount() != 0)
        return;
    host.RegisterHostEntry(&g_program.editorMode, "editor_mode");
    RegisterTyped<HostConPrintFn>(host, &ConPrint, "ConPrint");
    RegisterTyped<HostDieFn>(host, &die, "die");
    host.RegisterHostEntry(CVarListHeadAddress(), "cvar");
    host.RegisterHostEntry(EntryAddress(&FindCVar), "FindCVar");
    RegisterTyped<HostAddCVarFnFn>(host, &HostAddCVarFn, "AddCVarFn");
    host.RegisterHostEntry(&g_frameView.frameTime, "framedtime");
    host.RegisterHostEntry(EntryAddress(&CreateDynamicObjectByClass), "CreateDynamicObjectByClass");
    host.RegisterHostEntry(EntryAddress(&ForceActorCreation), "ForceActorCreation");
    host.RegisterHostEntry(EntryAddress(&GameApplyTemplateToObject), "GameApplyTemplateToObject");
    host.RegisterHostEntry(EntryAddress(&InsertToWorld), "InsertToWorld");
    host.RegisterHostEntry(EntryAddress(&RemoveFromWorld), "RemoveFromWorld");
    host.RegisterHostEntry(EntryAddress(&MapTerrainHeight), "MapTerrainHeight");
    host.RegisterHostEntry(EntryAddress(&DeleteDynamicObject), "DeleteDynamicObject");
    host.RegisterHostEntry(&g_frameView.player, "player");
    host.RegisterHostEntry(EntryAddress(&GameGetYaw), "GameGetYaw");
    host.RegisterHostEntry(EntryAddress(&GameGetPitch), "GameGetPitch");
    host.RegisterHostEntry(EntryAddress(&GuiFindScreen), "GuiFindScreen");
    host.RegisterHostEntry(EntryAddress(&GuiCreateControl), "GuiCreateControl");
    host.RegisterHostEntry(EntryAddress(&GuiFindItem), "GuiFindItem");
    host.RegisterHostEntry(EntryAddress(&FindFont), "FindFont");
    host.RegisterHostEntry(EntryAddress(&ReincarnatePlayer), "ReincarnatePlayer");
    host.RegisterHostEntry(EntryAddress(&GameGetYawBeforeFiring), "GameGetYawBeforeFiring");
    host.RegisterHostEntry(EntryAddress(&GameGetPitchBeforeFiring), "GameGetPitchBeforeFiring");
    host.RegisterHostEntry(EntryAddress(&GameSetPlayerPos), "GameSetPlayerPos");
    host.RegisterHostEntry(EntryAddress(&GameGetPlayerModeModifier), "GameGetPlayerModeModifier");
    host.RegisterHostEntry(EntryAddress(&GameSetSRand), "GameSetSRand");
    host.RegisterHostEntry(EntryAddress(&BeginGameModRegistration), "BeginGameModRegistration");
    host.RegisterHostEntry(EntryAddress(&EndGameModRegistration), "EndGameModRegistration");
    host.RegisterHostEntry(EntryAddress(&GetNewGameModTeam), "GetNewGameModTeam");
    host.RegisterHostEntry(EntryAddress(&GameIsPlayerOnLadder), "GameIsPlayerOnLadder");
    host.RegisterHostEntry(EntryAddress(&DynObjectsGet), "DynObjectsGet");
    host.RegisterHostEntry(EntryAddress(&GameIsPlayerFalling), "GameIsPlayerFalling");
    host.RegisterHostEntry(EntryAddress(&GetCurrentAccount), "GetCurrentAccount");
    host.RegisterHostEntry(EntryAddress(&GameSetYaw), "GameSetYaw");
    host.RegisterHostEntry(EntryAddress(&GameSetPitch), "GameSetPitch");
    RegisterTyped<HostVFSFindFileFn>(host, &HostVFSFindFile, "VFSFindFile");
    RegisterTyped<HostVFSOpenFileFn>(host, &HostVFSOpenFile, "VFSOpenFile");
    RegisterTyped<HostVFSCloseFileFn>(host, &VFSCloseFile, "VFSCloseFile");
    RegisterTyped<HostVFSReadFileFn>(host, &VFSReadFile, "VFSReadFile");
    RegisterTyped<HostVFSGetFileSizeFn>(host, &VFSGetFileSize, "VFSGetFileSize");
    RegisterTyped<HostParticleRegisterTextureFn>(host, &ParticleRegisterTexture, "ParticleRegisterTexture");
    RegisterTyped<HostParticleRegisterAnimFn>(host, &ParticleRegisterAnim, "ParticleRegisterAnim");
    RegisterTyped<HostAddParticleInfoFn>(host, &AddParticleInfo, "AddParticleInfo");
    host.RegisterHostEntry(EntryAddress(&ParticleRegisterPinOBJ), "ParticleRegisterPinOBJ");
    RegisterTyped<HostParticleRegisterPinFPWFn>(host, &ParticleRegisterPinFPW, "ParticleRegisterPinFPW");
    RegisterTyped<HostParticleUnregisterPinFn>(host, &ParticleUnregisterPin, "ParticleUnregisterPin");
    RegisterTyped<HostParticlePinGetTransformFn>(host, &ParticlePinGetTransform, "ParticlePinGetTransform");
    host.RegisterHostEntry(EntryAddress(&GameAddWeaponToActor), "GameAddWeaponToActor");
    host.RegisterHostEntry(EntryAddress(&RegisterDefObject), "RegisterDefObject");
    RegisterTyped<HostRegisterAffMeshFn>(host, &RegisterAffMesh, "RegisterAffMesh");
    RegisterTyped<HostRegisterTextureFn>(host, &RegisterTexture, "RegisterTexture");
    host.RegisterHostEntry(&g_render.device, "d3dev");
    host.RegisterHostEntry(EntryAddress(&GameInvokeScoreTable), "GameInvokeScoreTable");
    host.RegisterHostEntry(EntryAddress(&GameInvokeTeamTable), "GameInvokeTeamTable");
    host.RegisterHostEntry(EntryAddress(&GameLoadNextGameModMap), "GameLoadNextGameModMap");
    host.RegisterHostEntry(&g_scene.indoorClip, "ndr_clip_data");
    RegisterTyped<HostIndoorClipCallbackFn>(host, &IndoorClipCallback, "IndoorClipCallback");
    RegisterTyped<HostIndoorRenderMeshCallbackFn>(host, &IndoorRenderMeshCallback, "IndoorRenderMeshCallback");
    RegisterTyped<HostIndoorRenderDefCallbackFn>(host, &IndoorRenderDefCallback, "IndoorRenderDefCallback");
    RegisterTyped<HostIndoorMeshSphereCollisionFn>(host, &IndoorMeshSphereCollision, "IndoorMeshSphereCollision");
    RegisterTyped<HostIndoorMeshTraceFn>(host, &IndoorMeshTrace, "IndoorMeshTrace");
    host.RegisterHostEntry(EntryAddress(&GuiWriteMsg), "GuiWriteMsg");
    host.RegisterHostEntry(&g_map.octreeVisitMark, "octree_object_checked");
    host.RegisterHostEntry(EntryAddress(&GameGetLean), "GameGetLean");
    RegisterTyped<HostFPWTransformFn>(host, &FPWTransform, "FPWTrasform");
    host.RegisterHostEntry(EntryAddress(&DebugVertex), "DebugVertex");
}
