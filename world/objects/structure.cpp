#include "world/objects/structure.h"

#include <cstring>

#include "map/terrain/terrain_height.h"
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "scene/plugin_bridges/indoor_link.h"
#include "world/nodes/child_node_queries.h"
#include "world/nodes/graph_node.h"
#include "world/objects/shadow_object.h"

Structure::Structure()
{
    typeId = OBJECT_TYPE_STRUCTURE;
    boundsValid = 0;
    lodChanged = 0;
    needsPlacing = 1;
    GraphObj::SetPosition({0.0f, 0.0f, 0.0f});
    GraphObj::SetRotation({0.0f, 0.0f, 0.0f});
}

void Structure::Render()
{
    GraphObj::Render();
    if (!indoorLink)
        return;
    D3DXMATRIX transform;
    root->UpdateTransform(&transform);
    std::memcpy(indoorLink->transform, &transform, sizeof indoorLink->transform);
    IndoorLinkUpdate(indoorLink);
}

float Structure::TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit)
{
    return ChildNodesTraceRay(*this, origin, direction, hit);
}

bool Structure::SphereCollision(const Vector3& centre, float radius, Vector3* out)
{
    return ChildNodesSphereCollision(*this, centre, radius, out);
}

bool Structure::FootprintCollision(const Vector3& point, float halfSize, Vector3* out)
{
    return ChildNodesFootprintCollision(*this, point, halfSize, out);
}

void Structure::Update()
{
    ChildNodesAdvanceAnimation(*this);
    if (needsPlacing) {
        Vector3 position = GetPosition();
        const Vector3 rotation = GetRotation();
        needsPlacing = 0;
        boundsValid = 0;
        if (!fly)
            position.y = MapTerrainHeight(position.x, position.z, nullptr, nullptr);
        SetPosition(position);
        SetRotation(rotation);
        BuildLodMeshLists();
        DynObjectUpdateGrid(this);
    }
    if (lodChanged || animate) {
        InvalidateShadows();
        lodChanged = 0;
    }
}

void Structure::InvalidateShadows()
{
    ShadowCompanionsInvalidate(this);
}

void Structure::AttachIndoor()
{
    if (indoorName.Length() == 0)
        return;
    IndoorLink* link = IndoorLinkCreate(this);
    if (!link)
        return;
    indoorLink = link;
    IndoorMeshAttach(indoorName.Text(), link);
}
