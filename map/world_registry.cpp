#include "map/world_registry.h"

namespace {
DynamicObject* g_objects[MAX_DYNAMIC_OBJECTS];
s32_t g_objectCount = 0;
}  // namespace

void DynObjectsGet(DynamicObject*** objects, s32_t* count)
{
    if (objects)
        *objects = g_objects;
    if (count)
        *count = g_objectCount;
}

s32_t DynObjectAdd(DynamicObject* object)
{
    if (!object || g_objectCount >= MAX_DYNAMIC_OBJECTS)
        return -1;
    g_objects[g_objectCount] = object;
    return g_objectCount++;
}

s32_t DynObjectRemove(DynamicObject* object)
{
    for (s32_t i = 0; i < g_objectCount; ++i) {
        if (g_objects[i] != object)
            continue;
        for (s32_t j = i + 1; j < g_objectCount; ++j)
            g_objects[j - 1] = g_objects[j];
        g_objects[--g_objectCount] = nullptr;
        return i;
    }
    return -1;
}
