// No object grid and no attached objects exist yet: the world is the object table.
#include "map/world_insert.h"
#include "map/world_registry.h"

void InsertToWorld(DynamicObject* object)
{
    if (object)
        DynObjectAdd(object);
}

void RemoveFromWorld(DynamicObject* object)
{
    if (object)
        DynObjectRemove(object);
}

void DynObjectUpdateGrid(DynamicObject*) {}
