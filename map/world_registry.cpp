#include "map/world_registry.h"

#include "core/text_case.h"

#include <cstring>

#include "world/dynamic_object.h"

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

s32_t DynObjectFindIndex(const char* name)
{
    if (!name)
        return -1;
    const u32_t length = static_cast<u32_t>(std::strlen(name));
    for (s32_t i = 0; i < g_objectCount; ++i) {
        const EngineString& objectName = g_objects[i]->name;
        if (objectName.Length() == length && CompareNoCaseN(objectName.Text(), name, length) == 0)
            return i;
    }
    return -1;
}

DynamicObject* DynObjectGet(s32_t index)
{
    return index >= 0 && index < g_objectCount ? g_objects[index] : nullptr;
}
