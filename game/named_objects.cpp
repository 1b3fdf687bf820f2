#include "game/named_objects.h"

#include "map/world_registry.h"
#include "world/dynamic_object.h"

bool GameGetNamedObjectPosition(const char* name, Vector3* out)
{
    DynamicObject* object = DynObjectGet(DynObjectFindIndex(name));
    if (!object)
        return false;
    float box[6];
    object->GetGeometryBounds(box);
    *out = {(box[0] + box[3]) * 0.5f, (box[1] + box[4]) * 0.5f, (box[2] + box[5]) * 0.5f};
    return true;
}
