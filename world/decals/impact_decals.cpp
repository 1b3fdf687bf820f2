// The impact decal: a square across the hit surface, folded over face edges onto the faces round
// the hit and cut to each of them; one decal per node it covers.
#include <cmath>

#include "core/assert.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "map/materials/material.h"
#include "world/animation/anim_mesh.h"
#include "world/decals/decal.h"
#include "world/decals/decal_builders.h"
#include "world/decals/decal_walks.h"
#include "world/decals/decal_work.h"
#include "world/nodes/graph_node.h"
#include "world/scene_view.h"

using namespace decal_work;

namespace {

// Whether the face's box meets the box: on every axis a corner at or above its minimum and one
// at or below its maximum.
bool PointsMeetBox(const D3DXVECTOR3* points, int count, const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax)
{
    auto component = [](const D3DXVECTOR3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; };
    for (int axis = 0; axis < 3; ++axis) {
        bool above = false, below = false;
        for (int i = 0; i < count; ++i) {
            above = above || component(points[i], axis) >= component(boxMin, axis);
            below = below || component(points[i], axis) <= component(boxMax, axis);
        }
        if (!above || !below)
            return false;
    }
    return true;
}

struct ImpactSquare {
    D3DXVECTOR3 corners[4];
    D3DXVECTOR3 normal;  // of the square's plane
};

// Cuts the square onto the node's faces into the work buffer.
void CutOntoNode(GraphNode& node, const ImpactSquare& square, const D3DXVECTOR3& direction, const D3DXVECTOR3& boxMin,
                 const D3DXVECTOR3& boxMax, DecalTriangles& work)
{
    auto cutOntoFace = [&](const D3DXVECTOR3* face, AnimFrameMesh* frameMesh, AnimMaterial* material) {
        if (!PointsMeetBox(face, 3, boxMin, boxMax))
            return;
        // The normal of the face's front, the side from which its corners run counter-clockwise.
        D3DXVECTOR3 faceNormal;
        const D3DXVECTOR3 ab = face[1] - face[0], ac = face[2] - face[0];
        D3DXVec3Cross(&faceNormal, &ac, &ab);
        D3DXVec3Normalize(&faceNormal, &faceNormal);
        // A face turned away from the shot takes nothing; one parallel to it still does.
        if (D3DXVec3Dot(&direction, &faceNormal) > 0.0f)
            return;
        ENGINE_ASSERT_TEXT(work.count + 7 < MAX_DECAL_VERTICES, "nFacesCnt+7<MAX_DECAL_VERTICES");
        const float facing = std::fabs(D3DXVec3Dot(&faceNormal, &square.normal));
        if (facing > 0.99f && facing < 1.01f) {
            // The face lies in the square's plane: lay the square onto it.
            const D3DXVECTOR3 offset = face[0] - square.corners[0];
            const float t = D3DXVec3Dot(&offset, &faceNormal) + kPushOut;
            D3DXVECTOR3 moved[4];
            for (int c = 0; c < 4; ++c)
                moved[c] = square.corners[c] + faceNormal * t;
            work.AddClipped(face, moved, D3DXVECTOR3(0, 0, 0), frameMesh, material);
            return;
        }
        // The square's corners 0, 3, 2 run counter-clockwise seen from the shot's side.
        const D3DXVECTOR3 squareFront[3] = {square.corners[0], square.corners[3], square.corners[2]};
        D3DXMATRIX fold;
        if (!DecalFoldOntoFace(&fold, squareFront, face, nullptr))
            return;
        D3DXVECTOR3 folded[4];
        for (int c = 0; c < 4; ++c)
            D3DXVec3TransformCoord(&folded[c], &square.corners[c], &fold);
        if (!PointsMeetBox(folded, 4, boxMin, boxMax))
            return;
        work.AddClipped(face, folded, faceNormal * kPushOut, frameMesh, material);
    };
    ForEachDecalFace(node, boxMin, boxMax, work, MAX_DECAL_TRIANGLES, cutOntoFace);
}

// The hit in world space.
struct Hit {
    D3DXVECTOR3 point;
    D3DXVECTOR3 normal;
    D3DXVECTOR3 direction;  // of the shot
    float half;             // half the square's side
    float reach;            // half the side of the box the faces must meet
    float angle;            // the square's turn about the normal when turned at random
    bool randomRotation;
};

// The square across the hit, in the node's space, cut onto the node's faces around it.
void CutHitOntoNode(GraphNode& node, const D3DXMATRIX& inverse, const Hit& hit, DecalTriangles& work)
{
    D3DXVECTOR3 localPoint, localNormal, localDirection;
    D3DXVec3TransformCoord(&localPoint, &hit.point, &inverse);
    D3DXVec3TransformNormal(&localNormal, &hit.normal, &inverse);
    D3DXVec3Normalize(&localNormal, &localNormal);
    D3DXVec3TransformNormal(&localDirection, &hit.direction, &inverse);
    const D3DXVECTOR3 reach(hit.reach, hit.reach, hit.reach);

    ImpactSquare square;
    D3DXVECTOR3 u, v;
    SurfaceFrame(localNormal, &u, &v);
    if (hit.randomRotation)
        RotateFrame(localNormal, hit.angle, &u, &v);
    SquareCorners(localPoint, u, v, hit.half, square.corners);
    D3DXVec3Cross(&square.normal, &u, &v);
    D3DXVec3Normalize(&square.normal, &square.normal);
    CutOntoNode(node, square, localDirection, localPoint - reach, localPoint + reach, work);
}

}  // namespace

void DecalCreateAtHit(const Vector3& hitPoint, const Vector3* normal, Material* material, const DecalShot& shot)
{
    // Explosive projectiles leave their scorch through the explosion instead.
    if (shot.bulletType != BULLET_TYPE_HIT)
        return;
    if (!normal || !material) {
        ConPrint(0, ERROR_COLOUR "Could not create decal (normal == 0 || mat == 0)!\n");
        return;
    }
    if (material->hit.noDecal)
        return;
    Hit hit;
    hit.half = RandomBetween(shot.decalSize[0], shot.decalSize[1]) * material->hit.decalStretch * 0.5f;
    hit.angle = RandomAngle();
    const u32_t lifetime = RandomLifetime();
    hit.reach = hit.half * kSqrt2;
    hit.randomRotation = material->hit.decalRandRot != 0;
    hit.point = D3DXVECTOR3(hitPoint.x, hitPoint.y, hitPoint.z);
    hit.normal = D3DXVECTOR3(normal->x, normal->y, normal->z);
    hit.direction = D3DXVECTOR3(shot.flightDirection.x, shot.flightDirection.y, shot.flightDirection.z);
    const D3DXVECTOR3& p = hit.point;
    const float worldBox[6] = {p.x - hit.reach, p.y - hit.reach, p.z - hit.reach,
                               p.x + hit.reach, p.y + hit.reach, p.z + hit.reach};

    const D3DXVECTOR3 light(g_sceneView.lightDirection.x, g_sceneView.lightDirection.y, g_sceneView.lightDirection.z);
    DecalEvent event;
    event.kind = DECAL_IMPACT;
    event.centre = hitPoint;
    event.spacingRadius = shot.decalRadius;
    event.lightTint = material->color;
    event.facesLight = D3DXVec3Dot(&light, &hit.normal) > 0.0f ? 1 : 0;
    event.lifetime = lifetime;
    event.textures = material->hit.decalTextures;
    event.textureCount = material->hit.decalTextureCount;
    event.spacingTest = true;

    DecalObjectNodes(worldBox, false, nullptr, MAX_DECAL_VERTICES / 3, event,
                     [&](GraphNode& node, const D3DXMATRIX& inverse, DecalTriangles& work) {
                         CutHitOntoNode(node, inverse, hit, work);
                     });
}
