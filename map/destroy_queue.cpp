#include "map/destroy_queue.h"

#include "core/text_case.h"

#include <cstring>

#include "core/log.h"
#include "map/world_registry.h"
#include "world/dynamic_object.h"

namespace {
DynamicObject* g_destroyQueue[MAX_DYNAMIC_OBJECTS];
u32_t g_destroyQueueCount = 0;
}  // namespace

bool DestroyQueueAdd(DynamicObject* object)
{
    if (g_destroyQueueCount >= static_cast<u32_t>(MAX_DYNAMIC_OBJECTS)) {
        Log("WARNING: Destroy queue full, '%s' not queued\n", object ? object->name.Text() : "");
        return false;
    }
    g_destroyQueue[g_destroyQueueCount++] = object;
    return true;
}

void DestroyQueueRemove(DynamicObject* object)
{
    for (u32_t i = 0; i < g_destroyQueueCount; ++i) {
        if (g_destroyQueue[i] != object)
            continue;
        g_destroyQueue[i] = g_destroyQueue[--g_destroyQueueCount];
        g_destroyQueue[g_destroyQueueCount] = nullptr;
        return;
    }
}

DynamicObject* DestroyQueueFind(const char* name)
{
    const char* wanted = name ? name : "";
    const u32_t length = static_cast<u32_t>(std::strlen(wanted));
    for (u32_t i = 0; i < g_destroyQueueCount; ++i) {
        const EngineString& queued = g_destroyQueue[i]->name;
        if (queued.Length() == length && CompareNoCaseN(queued.Text(), wanted, length) == 0)
            return g_destroyQueue[i];
    }
    return nullptr;
}

DynamicObject* DestroyQueueGet(u32_t index)
{
    return index < g_destroyQueueCount ? g_destroyQueue[index] : nullptr;
}

u32_t DestroyQueueCount()
{
    return g_destroyQueueCount;
}

void DestroyQueueClear()
{
    g_destroyQueueCount = 0;
}
