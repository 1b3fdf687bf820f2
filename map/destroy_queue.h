// The destroy queue: objects out of the world but kept until the map is unloaded (destroyed
// objects a replacement stands in for, and replacements not yet in play). The queue does not own
// its objects. A plain list for now; the world registry takes it over.
#pragma once
#include "core/types.h"

class DynamicObject;

// Appends the object; false, with a "WARNING: " log line, when 4096 objects are queued already.
bool DestroyQueueAdd(DynamicObject* object);
// Removes the first entry equal to the object (the last entry moves into its place); nothing
// when it is not queued.
void DestroyQueueRemove(DynamicObject* object);
// The first queued object whose name equals the text without regard to case, or null.
DynamicObject* DestroyQueueFind(const char* name);
u32_t DestroyQueueCount();
// The queued object at the position; null past the end.
DynamicObject* DestroyQueueGet(u32_t index);
// Empties the queue without touching the objects (map load).
void DestroyQueueClear();
