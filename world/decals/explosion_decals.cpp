// Explosion scorches: every face that the sphere of the scorch's size around the centre reaches
// gets a square on its plane, as wide as the circle the sphere cuts there. Objects get one decal
// per node; the static map geometry gets one world decal for everything it takes.
#include <cmath>

#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "map/materials/material.h"
#include "world/animation/anim_mesh.h"
#include "world/decals/decal.h"
#include "world/decals/decal_builders.h"
#include "world/decals/decal_walks.h"
#include "world/decals/decal_work.h"
#include "world/nodes/graph_node.h"

using namespace decal_work;

namespace {

struct Scorch {
    D3DXVECTOR3 centre;  // in the space of the faces
    float half;          // the sphere's radius
    bool randomRotation;
    float angle;
};

void ScorchFace(const D3DXVECTOR3* face, const Scorch& scorch, DecalTriangles& work, AnimFrameMesh* mesh,
                AnimMaterial* material)
{
    // The face's front (the side from which its corners run counter-clockwise) takes the push-out.
    D3DXPLANE plane;
    D3DXPlaneFromPoints(&plane, &face[0], &face[2], &face[1]);
    const D3DXVECTOR3 normal(plane.a, plane.b, plane.c);
    const float distance = D3DXPlaneDotCoord(&plane, &scorch.centre);
    if (!(std::fabs(distance) < scorch.half))
        return;
    // The circle in which the sphere cuts the face's plane.
    const float radius = std::sqrt(scorch.half * scorch.half - distance * distance);
    const D3DXVECTOR3 middle = scorch.centre - normal * distance;
    D3DXVECTOR3 u, v;
    SurfaceFrame(normal, &u, &v);
    if (scorch.randomRotation)
        RotateFrame(normal, scorch.angle, &u, &v);
    D3DXVECTOR3 corners[4];
    SquareCorners(middle, u, v, radius, corners);
    work.AddClipped(face, corners, normal * kPushOut, mesh, material);
}

void ScorchNode(GraphNode& node, const Scorch& scorch, float reach, DecalTriangles& work)
{
    const D3DXVECTOR3 boxMin = scorch.centre - D3DXVECTOR3(reach, reach, reach);
    const D3DXVECTOR3 boxMax = scorch.centre + D3DXVECTOR3(reach, reach, reach);
    ForEachDecalFace(node, boxMin, boxMax, work, MAX_EXPLOSION_TRIANGLES,
                     [&](const D3DXVECTOR3* face, AnimFrameMesh* frameMesh, AnimMaterial* material) {
                         ScorchFace(face, scorch, work, frameMesh, material);
                     });
}

}  // namespace

void DecalCreateExplosion(const Vector3& centre, const Vector3* normal, Material* material, const DecalShot& shot)
{
    if (shot.bulletType != BULLET_TYPE_EXPLOSIVE)
        return;
    if (!normal || !material) {
        ConPrint(0, ERROR_COLOUR "Could not create explosion decal (normal == 0 || mat == 0)!\n");
        return;
    }
    if (material->hit.noDecal)
        return;
    Scorch scorch;
    scorch.half = RandomBetween(shot.decalSize[0], shot.decalSize[1]) * material->explosion.decalStretch * 0.5f;
    scorch.randomRotation = material->hit.decalRandRot != 0;
    scorch.angle = scorch.randomRotation ? RandomAngle() : 0.0f;
    const float reach = scorch.half * kSqrt2;
    DecalEvent event;
    event.kind = DECAL_EXPLOSION;
    event.centre = centre;
    event.spacingRadius = shot.decalRadius;
    event.lightTint = material->color;
    event.facesLight = 1;
    event.lifetime = RandomLifetime();
    event.textures = material->explosion.decalTextures;
    event.textureCount = material->explosion.decalTextureCount;
    event.spacingTest = true;
    const D3DXVECTOR3 worldCentre(centre.x, centre.y, centre.z);
    const float worldBox[6] = {centre.x - reach, centre.y - reach, centre.z - reach,
                               centre.x + reach, centre.y + reach, centre.z + reach};

    DecalObjectNodes(worldBox, true, nullptr, EXPLOSION_BUFFER_TRIANGLES, event,
                     [&](GraphNode& node, const D3DXMATRIX& inverse, DecalTriangles& work) {
                         Scorch local = scorch;
                         D3DXVec3TransformCoord(&local.centre, &worldCentre, &inverse);
                         ScorchNode(node, local, reach, work);
                     });

    // The static map geometry: one world decal for all of it.
    scorch.centre = worldCentre;
    DecalMapFaces(
        worldBox, EXPLOSION_BUFFER_TRIANGLES, MAX_EXPLOSION_TRIANGLES, event,
        [&](const D3DXVECTOR3* face, DecalTriangles& work) { ScorchFace(face, scorch, work, nullptr, nullptr); });
}
