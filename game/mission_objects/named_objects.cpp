#include "game/mission_objects/named_objects.h"

#include "core/strings/text_case.h"
#include "map/meshes/collision_mesh.h"
#include "map/meshes/map_mesh.h"
#include "map/terrain/map_state.h"
#include "map/registry/world_registry.h"
#include "world/objects/dynamic_object.h"

namespace {

// The map's mesh records keep no position of their own: their vertices lie where the land puts
// them, so the middle of the mesh's box stands for it.
bool MapMeshPosition(const char* name, Vector3* out)
{
    for (u32_t i = 0; i < g_map.meshCount; ++i) {
        const MapMesh* mesh = g_map.meshes[i];
        if (!mesh || !mesh->collision || CompareNoCase(mesh->name.Text(), name) != 0)
            continue;
        const CollisionMesh& shape = *mesh->collision;
        *out = {(shape.boxMin.x + shape.boxMax.x) * 0.5f, (shape.boxMin.y + shape.boxMax.y) * 0.5f,
                (shape.boxMin.z + shape.boxMax.z) * 0.5f};
        return true;
    }
    return false;
}

}  // namespace

bool GameGetNamedObjectPosition(const char* name, Vector3* out)
{
    if (!name)
        return false;
    if (MapMeshPosition(name, out))
        return true;
    DynamicObject* object = DynObjectGet(DynObjectFindIndex(name));
    if (!object)
        return false;
    float box[6];
    object->GetGeometryBounds(box);
    *out = {(box[0] + box[3]) * 0.5f, (box[1] + box[4]) * 0.5f, (box[2] + box[5]) * 0.5f};
    return true;
}
