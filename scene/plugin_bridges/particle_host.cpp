// The registries live from the map load to the map unload; the info list lives one frame.
#include "scene/plugin_bridges/particle_host.h"

#include <cstring>
#include <string>

#include "core/strings/grow_array.h"
#include "core/plugins/plugin_host.h"
#include "map/terrain/heightmap.h"
#include "map/trace/map_trace.h"
#include "platform/d3dx8_math.h"
#include "render/fpw_transform.h"
#include "render/render_cvars.h"
#include "render/textures/texture_manager.h"
#include "world/animation/anim_cache.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/geometry_enum.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

namespace {
struct ParticlePin {
    s32_t kind;                   // 0: a node of an object, 1: the first-person weapon
    const GraphObj* object;       // kind 0: the object that owns the node
    GraphNode* node;              // kind 0
    const AnimDummyFrame* frame;  // kind 0: the mesh's local frame, null for a mesh without one
    char* meshName;               // kind 1
};

GrowArray<IDirect3DTexture8*> g_particleTextures{1};
GrowArray<ParticleAnimEntry*> g_particleAnims{1};
GrowArray<void*> g_particleInfos{1};
GrowArray<ParticlePin*> g_particlePins{1};
ParticleMapValues g_mapValues = {0.0f, 0.0f, nullptr};

char* CopyText(const char* text)
{
    const size_t length = text ? std::strlen(text) : 0;
    char* copy = new char[length + 1];
    if (length)
        std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

s32_t RegisterTexturePointer(IDirect3DTexture8* texture)
{
    for (s32_t i = 0; i < g_particleTextures.count; ++i) {
        if (g_particleTextures[i] == texture)
            return i;
    }
    return g_particleTextures.Append(texture);
}

void FreeAnim(ParticleAnimEntry* entry)
{
    delete[] entry->meshes;
    delete[] entry->textures;
    delete entry;
}

// The pin's mesh frame in its world: for a frame-less mesh the node's own axes and origin.
void WriteTransform(const D3DXMATRIX& world, const AnimDummyFrame* frame, float* axesOut, float* originOut)
{
    const AnimDummyFrame unit = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const AnimDummyFrame& f = frame ? *frame : unit;
    const Vector3* axes[3] = {&f.x, &f.y, &f.z};
    for (int i = 0; i < 3; ++i) {
        const D3DXVECTOR3 in(axes[i]->x, axes[i]->y, axes[i]->z);
        D3DXVECTOR3 out;
        D3DXVec3TransformNormal(&out, &in, &world);
        axesOut[i * 3 + 0] = out.x;
        axesOut[i * 3 + 1] = out.y;
        axesOut[i * 3 + 2] = out.z;
    }
    const D3DXVECTOR3 origin(f.origin.x, f.origin.y, f.origin.z);
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &origin, &world);
    originOut[0] = out.x;
    originOut[1] = out.y;
    originOut[2] = out.z;
}
}  // namespace

s32_t ParticleRegisterTexture(const char* name)
{
    const std::string path = std::string("component\\effect\\") + (name ? name : "");
    return RegisterTexturePointer(TextureFindOrLoad(path.c_str()));
}

s32_t ParticleRegisterAnim(const char* name)
{
    const std::string path = std::string("component\\extras\\") + (name ? name : "") + ".aff";
    AnimMesh* mesh = AnimCacheAcquire(path.c_str(), false);
    if (!mesh)
        return -1;
    // The mesh's texture is registered first, also when the mesh is listed already.
    const char* textureName = mesh->textures_c > 0 ? mesh->textures[0].Text() : "";
    const s32_t textureIndex = ParticleRegisterTexture(textureName);
    for (s32_t i = 0; i < g_particleAnims.count; ++i) {
        if (g_particleAnims[i]->mesh == mesh)
            return i;
    }
    ParticleAnimEntry* entry = new ParticleAnimEntry{mesh, textureIndex, 0, nullptr, nullptr};
    entry->meshCount = mesh->frames_c > 0 ? mesh->frames[0].meshes_c : 0;
    if (entry->meshCount > 0) {
        entry->meshes = new u32_t[entry->meshCount];
        entry->textures = new IDirect3DTexture8*[entry->meshCount];
        for (u32_t i = 0; i < entry->meshCount; ++i) {
            entry->meshes[i] = i;
            entry->textures[i] = ParticleTextureAt(textureIndex);
        }
    }
    return g_particleAnims.Append(entry);
}

void AddParticleInfo(void* info)
{
    g_particleInfos.Append(info);
}

s32_t ParticleRegisterPinOBJ(DynamicObject* object, const char* meshName)
{
    const GraphObj* graphic = dynamic_cast<GraphObj*>(object);
    GraphNode* node = nullptr;
    const AnimDummyFrame* frame = nullptr;
    if (!graphic || !meshName || !GraphObjFindNodeMesh(graphic, &node, &frame, meshName))
        return -1;
    return g_particlePins.Append(new ParticlePin{0, graphic, node, frame, nullptr});
}

s32_t ParticleRegisterPinFPW(const char* meshName)
{
    return g_particlePins.Append(new ParticlePin{1, nullptr, nullptr, nullptr, CopyText(meshName)});
}

void ParticleUnregisterPin(s32_t index)
{
    if (index < 0 || index >= g_particlePins.count || !g_particlePins[index])
        return;
    ParticlePin* pin = g_particlePins[index];
    g_particlePins[index] = nullptr;
    delete[] pin->meshName;
    delete pin;
}

void ParticlePinsForgetObject(const GraphObj* object)
{
    if (!object)
        return;
    for (s32_t i = 0; i < g_particlePins.count; ++i) {
        const ParticlePin* pin = g_particlePins[i];
        if (pin && pin->kind == 0 && pin->object == object)
            ParticleUnregisterPin(i);
    }
}

void ParticlePinGetTransform(s32_t index, float* axesOut, float* originOut)
{
    if (index < 0 || index >= g_particlePins.count || !g_particlePins[index] || !axesOut || !originOut)
        return;
    const ParticlePin& pin = *g_particlePins[index];
    D3DXMATRIX world;
    if (pin.kind == 0) {
        if (!pin.node)
            return;
        pin.node->UpdateTransform(&world);
        WriteTransform(world, pin.frame, axesOut, originOut);
        return;
    }
    const AnimMesh* weapon = FPWGetCurrentObject();
    if (!weapon)
        return;
    const s32_t nameIndex = weapon->FindName(pin.meshName);
    const s32_t mesh = nameIndex < 0 ? -1 : weapon->FindMesh(static_cast<u32_t>(nameIndex), 0);
    if (mesh < 0)
        return;
    FPWGetTransform(&world.m[0][0]);
    WriteTransform(world, weapon->frames[0].meshes[mesh].dummyFrame, axesOut, originOut);
}

void ParticlesMapLoaded()
{
    const Vector3* bounds = nullptr;
    MapGetBounds(&bounds);
    g_mapValues.minY = bounds ? bounds[0].y : 0.0f;
    g_mapValues.heightRange = bounds ? bounds[1].y - bounds[0].y : 0.0f;
    g_mapValues.heightmap = MapGetHeightmap();
    g_pluginHost.Broadcast(HookParticlesMapLoaded, 0);
}

void ParticlesMapUnloaded()
{
    g_pluginHost.Broadcast(HookParticlesMapUnloaded, 0);
    ParticleHostFree();
    g_mapValues = {0.0f, 0.0f, nullptr};
}

void ParticlesFrame()
{
    // The list keeps its room from frame to frame: it grows one slot at a time, so freeing it every
    // frame made each frame's appends reallocate and copy it thousands of times.
    g_particleInfos.count = 0;
    g_pluginHost.Broadcast(HookParticlesFrame, 0);
}

void ParticlesReset()
{
    if (rbparticles.Bool()) {
        g_pluginHost.Broadcast(HookParticlesReset, 0);
        g_particleInfos.Free();
    }
}

s32_t ParticleObjectEffect(const char* name, DynamicObject* object)
{
    if (!rbparticles.Bool())
        return 0;
    ParticleEffectEvent event = {name ? name : "", reinterpret_cast<PluginWord>(object)};
    return g_pluginHost.Broadcast(HookParticlesEffectEvent, reinterpret_cast<std::uintptr_t>(&event));
}

s32_t ParticleTextureCount()
{
    return g_particleTextures.count;
}

IDirect3DTexture8* ParticleTextureAt(s32_t index)
{
    return index >= 0 && index < g_particleTextures.count ? g_particleTextures[index] : nullptr;
}

s32_t ParticleAnimCount()
{
    return g_particleAnims.count;
}

const ParticleAnimEntry* ParticleAnimAt(s32_t index)
{
    return index >= 0 && index < g_particleAnims.count ? g_particleAnims[index] : nullptr;
}

s32_t ParticleInfoCount()
{
    return g_particleInfos.count;
}

void* ParticleInfoAt(s32_t index)
{
    return index >= 0 && index < g_particleInfos.count ? g_particleInfos[index] : nullptr;
}

s32_t ParticlePinCount()
{
    return g_particlePins.count;
}

const ParticleMapValues& ParticleGetMapValues()
{
    return g_mapValues;
}

void ParticleSetMapValues(const ParticleMapValues& values)
{
    g_mapValues = values;
}

void ParticleHostFree()
{
    for (s32_t i = 0; i < g_particlePins.count; ++i)
        ParticleUnregisterPin(i);
    g_particlePins.Free();
    for (s32_t i = 0; i < g_particleAnims.count; ++i)
        FreeAnim(g_particleAnims[i]);
    g_particleAnims.Free();
    g_particleTextures.Free();
    g_particleInfos.Free();
}
