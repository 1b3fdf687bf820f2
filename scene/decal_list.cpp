#include "scene/decal_list.h"

#include "world/decal.h"

namespace {
DecalList g_worldDecals(DECAL_LIST_MAX);
}  // namespace

void DecalListInit()
{
    // Nothing is listed before start-up; a list left from an earlier run is freed, not leaked.
    g_worldDecals.Clear();
}

void DecalListClear()
{
    g_worldDecals.Clear();
}

void DecalListAdd(Decal* decal, bool spacingTest)
{
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
