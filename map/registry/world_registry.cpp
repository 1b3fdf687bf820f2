// The world registry's tables. Every removal takes the first equal entry and moves the last entry
// into its place.
#include "map/registry/world_registry.h"

#include "core/strings/text_case.h"

#include <cmath>
#include <cstring>

#include "actors/actor.h"
#include "core/assert.h"
#include "core/log.h"
#include "map/registry/actor_side_lists.h"
#include "map/meshes/collision_mesh.h"
#include "map/terrain/map_caches.h"
#include "map/terrain/map_grid.h"
#include "map/meshes/map_mesh.h"
#include "map/terrain/map_state.h"
#include "map/octree/object_grid.h"
#include "world/objects/dynamic_object.h"

namespace {

// Squared corner moves up to this (2^-46) leave the links as they are.
constexpr float kRelinkThreshold = 1.42108547e-14f;

template <class T>
u32_t RemoveFirst(T** table, u32_t& count, const T* element)
{
    for (u32_t i = 0; i < count; ++i) {
        if (table[i] != element)
            continue;
        --count;
        table[i] = table[count];
        table[count] = nullptr;
        return i;
    }
    return count;
}

bool SameName(const EngineString& name, const char* text, u32_t length)
{
    return name.Length() == length && CompareNoCaseN(name.Text(), text, length) == 0;
}

template <class T>
T* FindByName(T* const* table, u32_t count, const char* name)
{
    if (!name)
        return nullptr;
    const u32_t length = static_cast<u32_t>(std::strlen(name));
    for (u32_t i = 0; i < count; ++i) {
        if (SameName(table[i]->name, name, length))
            return table[i];
    }
    return nullptr;
}

float SquaredDistance(const float* a, const float* b)
{
    const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return dx * dx + dy * dy + dz * dz;
}

// The actor behind an object of the actor type id; null for any other object (a class that claims
// the id without being an actor has no AI and no team to keep).
Actor* AsActor(DynamicObject* object)
{
    return object->typeId == OBJECT_TYPE_ACTOR ? dynamic_cast<Actor*>(object) : nullptr;
}

}  // namespace

void DynObjectsGet(DynamicObject*** objects, s32_t* count)
{
    if (objects)
        *objects = g_map.objects;
    if (count)
        *count = static_cast<s32_t>(g_map.objectCount);
}

bool DynObjectAdd(DynamicObject* object)
{
    if (!object)
        return false;
    // A plug-in can fill the table through InsertToWorld: the object is refused, not the program ended.
    if (g_map.objectCount >= DYN_MAX_OBJECTS) {
        Log("WARNING: Too many objects in the world (%u), '%s' not inserted\n", DYN_MAX_OBJECTS, object->name.Text());
        return false;
    }
    Actor* actor = AsActor(object);
    if (actor && g_map.actorCount >= MAX_ACTORS) {
        Log("WARNING: Too many actors in the world (%u), '%s' not inserted\n", MAX_ACTORS, object->name.Text());
        return false;
    }
    g_map.objects[g_map.objectCount++] = object;
    float box[6];
    object->GetGeometryBounds(box);
    ObjectGridLink(object->GetGridEntry(), box);
    if (actor)
        ActorTableAdd(actor);
    return true;
}

u32_t DynObjectRemove(DynamicObject* object)
{
    // An object that is not in the table is not touched: callers may name one already gone.
    u32_t index = 0;
    while (index < g_map.objectCount && g_map.objects[index] != object)
        ++index;
    if (!object || index == g_map.objectCount)
        return g_map.objectCount;
    ObjectGridUnlink(object->GetGridEntry());
    if (Actor* actor = AsActor(object))
        ActorTableRemove(actor);
    return RemoveFirst(g_map.objects, g_map.objectCount, object);
}

void DynObjectUpdateGrid(DynamicObject* object)
{
    ENGINE_ASSERT_TEXT(object && object->GetGridEntry(), "oo");
    float stored[6], current[6];
    object->GetBoundingBox(stored);
    object->GetGeometryBounds(current);
    if (!(SquaredDistance(stored, current) > kRelinkThreshold) &&
        !(SquaredDistance(stored + 3, current + 3) > kRelinkThreshold))
        return;
    ObjectGridEntry* entry = object->GetGridEntry();
    ObjectGridUnlink(entry);
    ObjectGridLink(entry, current);
    object->SetBoundingBox(current);
}

void DynObjectsUpdate()
{
    g_map.lowestPoint = g_map.bounds[0].y;
    g_map.highestPoint = g_map.bounds[1].y;
    for (u32_t i = 0; i < g_map.objectCount; ++i) {
        DynamicObject* object = g_map.objects[i];
        object->Update();
        float box[6];
        object->GetGeometryBounds(box);
        if (box[4] > g_map.highestPoint)
            g_map.highestPoint = box[4];
        if (box[1] < g_map.lowestPoint)
            g_map.lowestPoint = box[1];
    }
}

float DynObjectsLowestPoint()
{
    return g_map.lowestPoint;
}

float DynObjectsHighestPoint()
{
    return g_map.highestPoint;
}

DynamicObject* DynObjectFind(const char* name)
{
    return FindByName(g_map.objects, g_map.objectCount, name);
}

s32_t DynObjectFindIndex(const char* name)
{
    if (!name)
        return -1;
    const u32_t length = static_cast<u32_t>(std::strlen(name));
    for (u32_t i = 0; i < g_map.objectCount; ++i) {
        if (SameName(g_map.objects[i]->name, name, length))
            return static_cast<s32_t>(i);
    }
    return -1;
}

DynamicObject* DynObjectGet(s32_t index)
{
    return index >= 0 && static_cast<u32_t>(index) < g_map.objectCount ? g_map.objects[index] : nullptr;
}

void DynObjectsClear()
{
    g_map.objectCount = 0;
    g_map.actorCount = 0;
}

void DynObjectsDeleteAll()
{
    while (g_map.objectCount) {
        DynamicObject* object = g_map.objects[0];
        DynObjectRemove(object);
        delete object;
    }
}

void ActorTableAdd(Actor* actor)
{
    if (g_map.actorCount >= MAX_ACTORS) {
        Log("WARNING: Too many actors in the world (%u), '%s' not listed\n", MAX_ACTORS, actor->name.Text());
        return;
    }
    g_map.actorTable[g_map.actorCount++] = actor;
    ActorSideListAdd(actor);
}

void ActorTableRemove(Actor* actor)
{
    ActorSideListRemove(actor);
    RemoveFirst(g_map.actorTable, g_map.actorCount, actor);
}

u32_t ActorTableCount()
{
    return g_map.actorCount;
}

Actor* ActorTableGet(u32_t index)
{
    return index < g_map.actorCount ? g_map.actorTable[index] : nullptr;
}

bool DestroyQueueAdd(DynamicObject* object)
{
    if (!object)
        return false;
    if (g_map.destroyCount >= DYN_MAX_OBJECTS) {
        Log("WARNING: Too many objects out of the world (%u), '%s' not queued\n", DYN_MAX_OBJECTS, object->name.Text());
        return false;
    }
    g_map.destroyQueue[g_map.destroyCount++] = object;
    return true;
}

void DestroyQueueRemove(DynamicObject* object)
{
    RemoveFirst(g_map.destroyQueue, g_map.destroyCount, object);
}

DynamicObject* DestroyQueueFind(const char* name)
{
    return FindByName(g_map.destroyQueue, g_map.destroyCount, name);
}

u32_t DestroyQueueCount()
{
    return g_map.destroyCount;
}

DynamicObject* DestroyQueueGet(u32_t index)
{
    return index < g_map.destroyCount ? g_map.destroyQueue[index] : nullptr;
}

void DynObjectsRestoreReplaced()
{
    // The swaps change the queue: the destroyed objects are found first, then moved.
    static DynamicObject* restored[DYN_MAX_OBJECTS];
    u32_t restoredCount = 0;
    for (u32_t i = 0; i < g_map.destroyCount; ++i) {
        DynamicObject* queued = g_map.destroyQueue[i];
        DynamicObject* replacement = queued->destroyedReplacement;
        if (queued->replacedOriginal || !replacement)
            continue;
        replacement->energy = replacement->maxEnergy;
        DynObjectRemove(replacement);
        DynObjectAdd(queued);
        restored[restoredCount++] = queued;
    }
    for (u32_t i = 0; i < restoredCount; ++i) {
        DynamicObject* original = restored[i];
        original->energy = original->maxEnergy;
        DestroyQueueRemove(original);
        DestroyQueueAdd(original->destroyedReplacement);
    }
}

void DestroyQueueClear()
{
    g_map.destroyCount = 0;
}

void DestroyQueueDeleteAll()
{
    while (g_map.destroyCount) {
        DynamicObject* object = g_map.destroyQueue[0];
        --g_map.destroyCount;
        g_map.destroyQueue[0] = g_map.destroyQueue[g_map.destroyCount];
        g_map.destroyQueue[g_map.destroyCount] = nullptr;
        delete object;
    }
}

s32_t MapFindMeshIndex(const char* name)
{
    if (!name)
        return -1;
    for (u32_t i = 0; i < g_map.meshCount; ++i) {
        if (CompareNoCase(g_map.meshes[i]->name.Text(), name) == 0)
            return static_cast<s32_t>(i);
    }
    return -1;
}

MapMesh* MapGetMesh(u32_t index)
{
    return index < g_map.meshCount ? g_map.meshes[index] : nullptr;
}

u32_t MapGetMeshCount()
{
    return g_map.meshCount;
}

bool MapMeshesAppend(MapMesh* mesh)
{
    if (!mesh || g_map.meshCount >= MAP_MAX_MESHES)
        return false;
    g_map.meshes[g_map.meshCount++] = mesh;
    return true;
}

void MapMeshesClear()
{
    g_map.meshCount = 0;
}

void MapMeshDelete(MapMesh* mesh)
{
    if (!mesh)
        return;
    if (mesh->collision) {
        mesh->collision->Free();
        delete mesh->collision;
        mesh->collision = nullptr;
    }
    if (mesh->gridEntry) {
        ObjectGridUnlink(mesh->gridEntry);
        delete mesh->gridEntry;
        mesh->gridEntry = nullptr;
    }
    mesh->name.Clear();
    mesh->textureName.Clear();
    delete mesh;
}

void MapMeshesFree()
{
    for (u32_t i = 0; i < g_map.meshCount; ++i) {
        MapMesh* mesh = g_map.meshes[i];
        g_map.meshes[i] = nullptr;
        MapMeshDelete(mesh);
    }
    g_map.meshCount = 0;
}

u32_t MapVegetationLayerAt(const float* point)
{
    const float width = g_map.bounds[1].x - g_map.bounds[0].x;
    if (!(width > 0.0f) || !std::isfinite(point[0]) || !std::isfinite(point[2]))
        return 0;
    float u = std::fmod(point[0] - width / 2, width);
    if (u < 0.0f)
        u += width;
    float v = std::fmod(point[2] - width / 2, width);
    if (v < 0.0f)
        v += width;
    u32_t best = 0;
    u32_t bestDensity = 0;
    for (int layer = MAP_LAYER_GRID_COUNT - 1; layer >= 1; --layer) {
        const MapGrid* grid = MapGetVegetationLayerGrid(layer);
        if (!grid || !grid->data || grid->size == 0)
            continue;
        const u32_t n = grid->size;
        u32_t x = static_cast<u32_t>(u * static_cast<float>(n) / width);
        u32_t y = n - static_cast<u32_t>(v * static_cast<float>(n) / width);
        // A grid of side 1 has no n - 1 to reduce by: its one cell is the answer.
        if (x >= n)
            x = n > 1 ? x % (n - 1) : 0;
        if (y >= n)
            y = n > 1 ? y % (n - 1) : 0;
        ENGINE_ASSERT_TEXT(x < n && y < n, "(x < size) && (y < size)");
        const u32_t density = grid->data[static_cast<size_t>(y) * n + x];
        if (density != 0 && density >= bestDensity) {
            bestDensity = density;
            best = static_cast<u32_t>(layer);
        }
    }
    return best;
}
