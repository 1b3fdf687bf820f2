// Blood: splashes carried along the shot onto the faces behind a bleeding object, and pools on
// the upward faces under a wounded actor. The square's corners travel along a direction (the shot,
// or straight down) onto each face's plane before they are cut to the face.
#include <cmath>

#include "actors/bleeding.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "map/materials/material.h"
#include "world/animation/anim_mesh.h"
#include "world/decals/decal.h"
#include "world/decals/decal_builders.h"
#include "world/decals/decal_walks.h"
#include "world/decals/decal_work.h"
#include "world/nodes/geometry_enum.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"
#include "world/scene_view.h"

using namespace decal_work;

namespace {

// Reach of a blood splash behind the victim, on each axis.
constexpr float kSplashReach = 20.0f;
// The pool's square starts this far above its point and drops onto the faces below.
constexpr float kPoolDropHeight = 10.0f;

// Everything in the space of the faces it is cut onto.
struct Projection {
    D3DXVECTOR3 corners[4];
    D3DXVECTOR3 direction;  // along which the corners travel
    D3DXVECTOR3 point;      // must lie on or in front of a face
    float facingLimit;      // direction . face normal must be below it
};

void ProjectOntoFace(const D3DXVECTOR3* face, const Projection& projection, DecalTriangles& work, AnimFrameMesh* mesh,
                     AnimMaterial* material)
{
    // The face's front: the side from which its corners run counter-clockwise.
    D3DXPLANE plane;
    D3DXPlaneFromPoints(&plane, &face[0], &face[2], &face[1]);
    const D3DXVECTOR3 normal(plane.a, plane.b, plane.c);
    const float facing = D3DXVec3Dot(&projection.direction, &normal);
    if (!(facing < projection.facingLimit) || D3DXPlaneDotCoord(&plane, &projection.point) < 0.0f)
        return;
    D3DXVECTOR3 moved[4];
    for (int c = 0; c < 4; ++c) {
        const float t = -D3DXPlaneDotCoord(&plane, &projection.corners[c]) / facing;
        moved[c] = projection.corners[c] + projection.direction * t;
    }
    work.AddClipped(face, moved, normal * kPushOut, mesh, material);
}

void ProjectOntoNode(GraphNode& node, const Projection& projection, const D3DXVECTOR3& boxMin,
                     const D3DXVECTOR3& boxMax, DecalTriangles& work)
{
    ForEachDecalFace(node, boxMin, boxMax, work, MAX_DECAL_TRIANGLES,
                     [&](const D3DXVECTOR3* face, AnimFrameMesh* frameMesh, AnimMaterial* material) {
                         ProjectOntoFace(face, projection, work, frameMesh, material);
                     });
}

// The projection brought into the space of the node whose inverse world matrix is given.
Projection ToNodeSpace(const Projection& world, const D3DXMATRIX& inverse)
{
    Projection local;
    for (int c = 0; c < 4; ++c)
        D3DXVec3TransformCoord(&local.corners[c], &world.corners[c], &inverse);
    D3DXVec3TransformNormal(&local.direction, &world.direction, &inverse);
    D3DXVec3TransformCoord(&local.point, &world.point, &inverse);
    local.facingLimit = world.facingLimit;
    return local;
}

// Cuts the projection onto every node of the objects in the box but the bleeding one, each node's
// faces taken within the reach of the point.
void ProjectOntoObjects(const Projection& projection, const float* worldBox, float meshReach, const DynamicObject* skip,
                        const DecalEvent& event)
{
    DecalObjectNodes(worldBox, true, skip, MAX_DECAL_VERTICES / 3, event,
                     [&](GraphNode& node, const D3DXMATRIX& inverse, DecalTriangles& work) {
                         const Projection local = ToNodeSpace(projection, inverse);
                         const D3DXVECTOR3 reach(meshReach, meshReach, meshReach);
                         ProjectOntoNode(node, local, local.point - reach, local.point + reach, work);
                     });
}

// Every blood decal of an event takes one of the bleeding object's textures.
DecalEvent BloodEvent(const BleedingInfo& info, DecalKind kind, const Vector3& centre, u32_t lifetime)
{
    DecalEvent event;
    event.kind = kind;
    event.centre = centre;
    event.lifetime = lifetime;
    event.textures = info.bloodTextures;
    event.textureCount = info.bloodTextureCount;
    event.spacingTest = false;
    return event;
}

float BloodHalfSize(const BleedingInfo& info)
{
    return RandomBetween(info.minBloodSize, info.maxBloodSize) * info.bloodSizeScale * 0.5f;
}

}  // namespace

void DecalCreateBlood(GraphObj* bleeding, const Vector3& hitPoint, const Vector3* normal, Material* material,
                      const DecalShot& shot)
{
    if (shot.bulletType != BULLET_TYPE_HIT)
        return;
    if (!normal || !material) {
        ConPrint(0, ERROR_COLOUR "Could not create decal (normal == 0 || mat == 0)!\n");
        return;
    }
    const BleedingInfo* info = bleeding ? bleeding->GetBleedingInfo() : nullptr;
    if (!info || info->bloodTextureCount == 0 || !info->bloodTextures)
        return;
    const float half = BloodHalfSize(*info);
    const float angle = RandomAngle();
    const u32_t lifetime = RandomLifetime();

    // The square stands across the shot, turned at random about it.
    Projection projection;
    D3DXVECTOR3 direction(shot.flightDirection.x, shot.flightDirection.y, shot.flightDirection.z);
    D3DXVec3Normalize(&direction, &direction);
    const D3DXVECTOR3 reference = std::fabs(direction.y) >= 0.999f ? D3DXVECTOR3(0, 0, 1) : D3DXVECTOR3(0, 1, 0);
    D3DXVECTOR3 u, v;
    D3DXVec3Cross(&u, &reference, &direction);
    D3DXVec3Cross(&v, &direction, &u);
    D3DXVec3Normalize(&u, &u);
    D3DXVec3Normalize(&v, &v);
    RotateFrame(direction, angle, &u, &v);
    projection.point = D3DXVECTOR3(hitPoint.x, hitPoint.y, hitPoint.z);
    SquareCorners(projection.point, u, v, half, projection.corners);
    projection.direction = direction;
    projection.facingLimit = 0.0f;

    DecalEvent event = BloodEvent(*info, DECAL_BLOOD, hitPoint, lifetime);
    event.spacingRadius = shot.decalRadius;
    event.lightTint = material->color;
    event.facesLight = 1;
    const float box[6] = {hitPoint.x - kSplashReach, hitPoint.y - kSplashReach, hitPoint.z - kSplashReach,
                          hitPoint.x + kSplashReach, hitPoint.y + kSplashReach, hitPoint.z + kSplashReach};
    ProjectOntoObjects(projection, box, kSplashReach, bleeding, event);
}

void DecalCreateActorBlood(GraphObj* actor)
{
    if (!actor || actor->typeId != OBJECT_TYPE_ACTOR)
        return;
    const BleedingInfo* info = actor->GetBleedingInfo();
    if (!info || info->bloodTextureCount == 0 || !info->bloodTextures)
        return;
    const float half = BloodHalfSize(*info);
    // The pool point is the mesh "xb" of the last frame: its local frame's origin, or the node's
    // own origin for a mesh that is no three-vertex dummy. Without it the actor leaves no pool
    // (rather than one at the world origin).
    GraphNode* pointNode = nullptr;
    const AnimDummyFrame* pointFrame = nullptr;
    if (!GraphObjFindNodeMeshAtFrame(actor, &pointNode, &pointFrame, "xb", -1))
        return;
    D3DXMATRIX nodeWorld;
    pointNode->UpdateTransform(&nodeWorld);
    D3DXVECTOR3 point;
    const Vector3 nodePoint = pointFrame ? pointFrame->origin : Vector3{};
    const D3DXVECTOR3 local(nodePoint.x, nodePoint.y, nodePoint.z);
    D3DXVec3TransformCoord(&point, &local, &nodeWorld);
    const float angle = RandomAngle();
    const u32_t lifetime = RandomLifetime();
    const float reach = half * kSqrt2;

    // A flat square above the point, dropped onto the upward faces below.
    Projection projection;
    D3DXVECTOR3 u(1, 0, 0), v(0, 0, 1);
    RotateFrame(D3DXVECTOR3(0, 1, 0), angle, &u, &v);
    SquareCorners(point + D3DXVECTOR3(0, kPoolDropHeight, 0), u, v, half, projection.corners);
    projection.direction = D3DXVECTOR3(0, -1, 0);
    projection.point = point;
    projection.facingLimit = -0.001f;

    const D3DXVECTOR3 up(0, 1, 0);
    const D3DXVECTOR3 light(g_sceneView.lightDirection.x, g_sceneView.lightDirection.y, g_sceneView.lightDirection.z);
    DecalEvent event = BloodEvent(*info, DECAL_BLOOD_POOL, {point.x, point.y, point.z}, lifetime);
    event.spacingRadius = 0.0f;
    event.lightTint = 1;
    event.facesLight = D3DXVec3Dot(&light, &up) > 0.0f ? 1 : 0;

    const float box[6] = {point.x - reach, point.y - reach, point.z - reach,
                          point.x + reach, point.y + reach, point.z + reach};
    ProjectOntoObjects(projection, box, reach, actor, event);
    DecalMapFaces(box, MAX_DECAL_VERTICES / 3, MAX_DECAL_TRIANGLES, event,
                  [&](const D3DXVECTOR3* face, DecalTriangles& work) {
                      ProjectOntoFace(face, projection, work, nullptr, nullptr);
                  });
}
