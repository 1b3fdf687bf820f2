#include "map/meshes/map_object.h"

#include "map/terrain/terrain_height.h"
#include "map/registry/world_insert.h"
#include "map/registry/world_registry.h"
#include "world/nodes/child_node_queries.h"
#include "world/nodes/graph_node.h"
#include "world/objects/shadow_object.h"

MapObject::MapObject()
{
    typeId = OBJECT_TYPE_MAP_OBJECT;
    firstUpdate = 1;
    boundsValid = 0;
    GraphObj::SetPosition({0.0f, 0.0f, 0.0f});
    GraphObj::SetRotation({0.0f, 0.0f, 0.0f});
}

float MapObject::TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit)
{
    return ChildNodesTraceRay(*this, origin, direction, hit);
}

bool MapObject::SphereCollision(const Vector3& centre, float radius, Vector3* out)
{
    return ChildNodesSphereCollision(*this, centre, radius, out);
}

bool MapObject::FootprintCollision(const Vector3& point, float halfSize, Vector3* out)
{
    return ChildNodesFootprintCollision(*this, point, halfSize, out);
}

void MapObject::Update()
{
    ChildNodesAdvanceAnimation(*this);
    if (firstUpdate) {
        Vector3 position = GetPosition();
        if (!fly)
            position.y = MapTerrainHeight(position.x, position.z, nullptr, nullptr);
        SetPosition(position);
        BuildLodMeshLists();
        DynObjectUpdateGrid(this);
        firstUpdate = 0;
    }
    UpdateHitShake();
    if (lodChanged || animate) {
        ShadowCompanionsInvalidate(this);
        lodChanged = 0;
    }
}

void MapObject::InvalidateShadows()
{
    ShadowCompanionsInvalidate(this);
}
