#include "world/objects/tree.h"

#include <cmath>
#include <cstring>

#include "core/console/console_var.h"
#include "core/frame_view.h"
#include "map/terrain/terrain_height.h"
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "render/draw2d/hud_input.h"
#include "world/nodes/child_node_queries.h"
#include "world/nodes/graph_node.h"
#include "world/objects/shadow_object.h"
#include "world/world_cvars.h"

namespace {

D3DMATRIX Identity()
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

// The map's wind direction.
Vector3 WindDirection()
{
    return mvwinddir.Vector();
}

}  // namespace

Tree::Tree() : baseMatrix(Identity()), toOrigin(Identity()), fromOrigin(Identity())
{
    typeId = OBJECT_TYPE_TREE;
    boundsValid = 0;
    needsPlacing = 1;
    GraphObj::SetPosition({0.0f, 0.0f, 0.0f});
    GraphObj::SetRotation({0.0f, 0.0f, 0.0f});
    energy = 1000.0f;
    maxEnergy = 1000.0f;
    swayPhase = 0.0f;
}

float Tree::TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit)
{
    return ChildNodesTraceRay(*this, origin, direction, hit);
}

bool Tree::SphereCollision(const Vector3& centre, float radius, Vector3* out)
{
    return ChildNodesSphereCollision(*this, centre, radius, out);
}

bool Tree::FootprintCollision(const Vector3& point, float halfSize, Vector3* out)
{
    return ChildNodesFootprintCollision(*this, point, halfSize, out);
}

void Tree::Place()
{
    Vector3 position = GetPosition();
    const Vector3 rotation = GetRotation();
    needsPlacing = 0;
    boundsValid = 0;
    // A tree stands on the terrain whatever "fly" says.
    position.y = MapTerrainHeight(position.x, position.z, nullptr, nullptr);
    SetPosition(position);
    SetRotation(rotation);
    BuildLodMeshLists();
    DynObjectUpdateGrid(this);
    D3DXMATRIX placed;
    root->UpdateTransform(&placed);
    baseMatrix = placed;
    const Vector3 wind = WindDirection();
    D3DXVECTOR3 axis(-wind.z, 0.0f, wind.x);
    D3DXVec3Normalize(&axis, &axis);
    swayAxis = {axis.x, axis.y, axis.z};
    D3DXMATRIX translation;
    D3DXMatrixTranslation(&translation, -position.x, -position.y, -position.z);
    toOrigin = translation;
    D3DXMatrixTranslation(&translation, position.x, position.y, position.z);
    fromOrigin = translation;
}

void Tree::Sway()
{
    const float angle = std::sin(swayPhase) * -TREE_SWAY_ANGLE;
    const D3DXVECTOR3 axis(swayAxis.x, swayAxis.y, swayAxis.z);
    D3DXMATRIX rotation;
    D3DXMatrixRotationAxis(&rotation, &axis, angle);
    const D3DXMATRIX base(baseMatrix), to(toOrigin), from(fromOrigin);
    D3DXMATRIX swayed;
    D3DXMatrixMultiply(&swayed, &base, &to);
    D3DXMatrixMultiply(&swayed, &swayed, &rotation);
    D3DXMatrixMultiply(&swayed, &swayed, &from);
    root->SetMatrix(&swayed.m[0][0]);
    if (root->GetChildCount() > 0)
        root->GetChild(0)->SetFrame(static_cast<float>(GetTickCount()) * 0.001f);
    swayPhase += g_frameView.frameTime * 0.1f;
}

void Tree::Update()
{
    if (needsPlacing)
        Place();
    if (lodLevel != 0)
        return;
    if (!g_hudInput.flags.treesStill)
        Sway();
    ShadowCompanionsInvalidate(this);
    DynObjectUpdateGrid(this);
}

void Tree::InvalidateShadows()
{
    ShadowCompanionsInvalidate(this);
}
