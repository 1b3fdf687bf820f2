#include "scene/passes/decal_list.h"

#include <vector>

#include "platform/win32.h"
#include "render/device/device_hooks.h"
#include "render/land/visible_nodes.h"
#include "map/octree/object_grid.h"
#include "scene/passes/decal_pass.h"
#include "world/decals/decal.h"
#include "world/objects/graph_obj.h"
#include "world/world_cvars.h"

namespace {

std::vector<Decal*> g_worldDecals;

void RemoveAt(size_t index)
{
    delete g_worldDecals[index];
    g_worldDecals.erase(g_worldDecals.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace

void DecalListInit()
{
    g_worldDecals.clear();
}

void DecalListClear()
{
    RenderUnregisterDeviceHooks(RENDER_HOOK_DECAL_LIST);
    for (Decal* decal : g_worldDecals) {
        decal->Free();
        delete decal;
    }
    g_worldDecals.clear();
    g_worldDecals.shrink_to_fit();
}

void DecalListAdd(Decal* decal, bool merge)
{
    if (!decal)
        return;
    if (merge) {
        for (const Decal* listed : g_worldDecals) {
            const float dx = decal->centre.x - listed->centre.x;
            const float dy = decal->centre.y - listed->centre.y;
            const float dz = decal->centre.z - listed->centre.z;
            if (dx * dx + dy * dy + dz * dz <= listed->spacingRadius * listed->spacingRadius) {
                delete decal;
                return;
            }
        }
    }
    // While the list holds decals, the render shutdown frees them.
    if (!RenderDeviceHooksRegistered(RENDER_HOOK_DECAL_LIST))
        RenderRegisterDeviceHooks({RENDER_HOOK_DECAL_LIST, nullptr, nullptr, [](bool) { DecalListClear(); }, nullptr});
    if (g_worldDecals.size() >= size_t(DECAL_LIST_MAX)) {
        const u32_t now = GetTickCount();
        size_t oldest = g_worldDecals.size();
        u32_t oldestAge = 0;
        for (size_t i = 0; i < g_worldDecals.size(); ++i) {
            const u32_t age = now - g_worldDecals[i]->created;
            if (age > oldestAge) {
                oldestAge = age;
                oldest = i;
            }
        }
        if (oldest < g_worldDecals.size())
            RemoveAt(oldest);
    }
    g_worldDecals.push_back(decal);
}

void DecalListRemove(Decal* decal)
{
    for (size_t i = 0; i < g_worldDecals.size(); ++i) {
        if (g_worldDecals[i] == decal) {
            RemoveAt(i);
            return;
        }
    }
}

void DecalListExpire()
{
    if (!rbremovedecals.Bool())
        return;
    const u32_t now = GetTickCount();
    for (size_t i = 0; i < g_worldDecals.size();) {
        if (g_worldDecals[i]->Expired(now))
            RemoveAt(i);
        else
            ++i;
    }
}

void DecalListUpdate()
{
    DecalListExpire();
    for (Decal* decal : g_worldDecals)
        decal->UpdateFade();
    GraphObj* cell = DecalPassesCellObject();
    if (cell)
        cell->UpdateDecals();
    for (u32_t i = 0; i < g_visible.objectCount; ++i) {
        const ObjectGridEntry* entry = g_visible.objects[i];
        if (!entry || entry->kind != OBJECT_GRID_OBJECT || !entry->owner)
            continue;
        GraphObj* object = dynamic_cast<GraphObj*>(static_cast<DynamicObject*>(entry->owner));
        if (object && object != cell)
            object->UpdateDecals();
    }
}

s32_t DecalListCount()
{
    return static_cast<s32_t>(g_worldDecals.size());
}

Decal* DecalListGet(s32_t index)
{
    return index >= 0 && index < DecalListCount() ? g_worldDecals[size_t(index)] : nullptr;
}
