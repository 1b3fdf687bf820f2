#include "scene/decal_list.h"

#include "render/device_hooks.h"
#include "world/decal.h"

namespace {
DecalList g_worldDecals(DECAL_LIST_MAX);
}  // namespace

void DecalListClear()
{
    RenderUnregisterDeviceHooks(RENDER_HOOK_DECAL_LIST);
    g_worldDecals.Clear();
}

void DecalListAdd(Decal* decal, bool spacingTest)
{
    // While the list holds decals, the render shutdown frees them.
    if (!RenderDeviceHooksRegistered(RENDER_HOOK_DECAL_LIST))
        RenderRegisterDeviceHooks({RENDER_HOOK_DECAL_LIST, nullptr, nullptr, [](bool) { DecalListClear(); }});
    g_worldDecals.Add(decal, spacingTest);
}

void DecalListUpdate(float fogFactor)
{
    g_worldDecals.Expire(fogFactor);
}

s32_t DecalListCount()
{
    return g_worldDecals.Count();
}

Decal* DecalListGet(s32_t index)
{
    return index >= 0 && index < g_worldDecals.Count() ? g_worldDecals.Get(index) : nullptr;
}
