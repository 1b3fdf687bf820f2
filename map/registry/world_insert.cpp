// The way into the world for objects made after the mission's shadow preparation (plug-ins): the
// object and a shadow volume of its own.
#include "map/registry/world_insert.h"

#include <initializer_list>

#include "map/registry/world_registry.h"
#include "world/nodes/shadow_volume.h"

void InsertToWorld(DynamicObject* object)
{
    if (!object || !DynObjectAdd(object))
        return;
    ShadowVolume* volume = new ShadowVolume(object);
    object->shadowCompanion = nullptr;
    if (!DynObjectAdd(volume)) {
        delete volume;
        volume = nullptr;
    }
    object->shadowVolume = volume;
}

unsigned RemoveFromWorld(DynamicObject* object)
{
    if (!object)
        return 0;
    for (DynamicObject** companion : {&object->shadowCompanion, &object->shadowVolume}) {
        if (!*companion)
            continue;
        DynObjectRemove(*companion);
        delete *companion;
        *companion = nullptr;
    }
    return DynObjectRemove(object);
}
