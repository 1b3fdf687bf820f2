// Sphere and footprint collisions with a graphic node's meshes: the sphere is taken into each
// node's space and pushed out of the faces it overlaps; a footprint box moves its centre out of the
// node's faces by the corners that lie deep behind them.
#include "world/nodes/mesh_collision.h"

#include <cmath>

#include "core/vector_d3dx.h"
#include "platform/d3dx8_math.h"
#include "render/textures/texture_manager.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/mesh_selection.h"

namespace {

constexpr float kTouchMargin = 0.001f;
// 0.99 x 2 pi: the angles round a point inside a face sum to 2 pi.
constexpr float kInsideAngleSum = 6.220353627204895f;
// Below this distance from the nearest edge point the direction to the centre is meaningless.
constexpr float kDegenerateEdgeDistance = 1e-6f;
constexpr float kNormalScale = 0.007874016f;

float EdgeAngle(const D3DXVECTOR3& e, const D3DXVECTOR3& f, const D3DXVECTOR3& p)
{
    const D3DXVECTOR3 toE = e - p;
    const D3DXVECTOR3 toF = f - p;
    return std::acos(D3DXVec3Dot(&toE, &toF) / std::sqrt(D3DXVec3LengthSq(&toE) * D3DXVec3LengthSq(&toF)));
}

// The point of segment e-f nearest to the centre.
D3DXVECTOR3 NearestOnEdge(const D3DXVECTOR3& e, const D3DXVECTOR3& f, const D3DXVECTOR3& centre)
{
    const D3DXVECTOR3 along = f - e;
    const D3DXVECTOR3 toCentre = centre - e;
    const float dot = D3DXVec3Dot(&toCentre, &along);
    if (dot <= 0.0f)
        return e;
    const float lengthSq = D3DXVec3LengthSq(&along);
    if (dot >= lengthSq)
        return f;
    return e + along * (dot / lengthSq);
}

}  // namespace

bool MeshSphereCollision(const AnimMesh* mesh, u32_t index, u32_t frame, bool contactOnly, Vector3* centre,
                         float radius)
{
    const AnimVertexData* vertices = mesh->GetMeshVertices(frame, index);
    const AnimFaces* faces = mesh->GetMeshFaces(frame, index);
    if (!vertices || !faces || !vertices->positions || !faces->indices)
        return false;
    const float r = radius;
    // The sphere's box must meet the mesh's box; touching counts.
    if (centre->x + r < vertices->boxMin.x || centre->x - r > vertices->boxMax.x ||
        centre->y + r < vertices->boxMin.y || centre->y - r > vertices->boxMax.y ||
        centre->z + r < vertices->boxMin.z || centre->z - r > vertices->boxMax.z)
        return false;
    const bool twoSided = (mesh->GetMeshTextureRef(frame, index)->textureWord & ANIM_TEXTURE_TWO_SIDED) != 0;
    bool touched = false;
    for (u32_t f = 0; f < faces->count; ++f) {
        const u16_t* corners = faces->indices + static_cast<size_t>(f) * 3;
        if (!vertices->HoldsFace(corners))
            continue;
        const D3DXVECTOR3 a = ToD3DX(vertices->Position(corners[0]));
        const D3DXVECTOR3 b = ToD3DX(vertices->Position(corners[1]));
        const D3DXVECTOR3 c = ToD3DX(vertices->Position(corners[2]));
        // This plane's normal points to the face's back (a face's front is the side from which its
        // corners run counter-clockwise), so that a centre on its front gives a negative distance.
        D3DXPLANE plane;
        D3DXPlaneFromPoints(&plane, &a, &b, &c);
        D3DXPlaneNormalize(&plane, &plane);
        const D3DXVECTOR3 normal(plane.a, plane.b, plane.c);
        const D3DXVECTOR3 at(centre->x, centre->y, centre->z);
        const float dist = D3DXPlaneDotCoord(&plane, &at);
        if (!twoSided && dist >= 0.0f)
            continue;
        if (r - std::fabs(dist) <= kTouchMargin)
            continue;
        const D3DXVECTOR3 p = at - normal * dist;
        const D3DXVECTOR3 edges[3][2] = {{c, b}, {b, a}, {a, c}};
        float angleSum = 0.0f;
        for (const auto& edge : edges) {
            angleSum += EdgeAngle(edge[0], edge[1], p);
            if (std::isnan(angleSum))
                angleSum = 0.0f;
        }
        bool faceTouched = false;
        float pushX = 0.0f, pushY = 0.0f;
        if (angleSum >= kInsideAngleSum) {
            const float k = dist > 0.0f ? r - dist : -(dist + r);
            pushX = k * normal.x;
            pushY = k * normal.y;
            faceTouched = true;
        } else {
            float smallest = 1000.0f;
            D3DXVECTOR3 away(0.0f, 0.0f, 0.0f);
            for (const auto& edge : edges) {
                const D3DXVECTOR3 nearest = NearestOnEdge(edge[0], edge[1], at);
                const D3DXVECTOR3 toCentre = at - nearest;
                const float distance = D3DXVec3Length(&toCentre);
                if (distance < smallest) {
                    smallest = distance;
                    away = toCentre;
                }
            }
            if (r - smallest > kTouchMargin) {
                faceTouched = true;
                if (smallest < kDegenerateEdgeDistance) {
                    // The centre lies on the edge: no direction to push along but the face's normal,
                    // towards the side the centre is on.
                    const float k = (r - smallest) * (dist > 0.0f ? 1.0f : -1.0f);
                    pushX = k * normal.x;
                    pushY = k * normal.y;
                } else {
                    const float scale = (r - smallest) / smallest;
                    pushX = away.x * scale;
                    pushY = away.y * scale;
                }
            }
        }
        if (faceTouched) {
            touched = true;
            if (!contactOnly) {
                centre->x += pushX;
                centre->y += pushY;
            }
        }
    }
    return touched;
}

void FootprintCorners(float halfSize, float height, const Vector3& centre, Vector3* corners)
{
    const float xs[4] = {centre.x + halfSize, centre.x - halfSize, centre.x + halfSize, centre.x - halfSize};
    const float zs[4] = {centre.z - halfSize, centre.z - halfSize, centre.z + halfSize, centre.z + halfSize};
    for (int k = 0; k < 4; ++k) {
        corners[k] = {xs[k], centre.y, zs[k]};
        corners[k + 4] = {xs[k], centre.y + height, zs[k]};
    }
}

bool GraphNode::SphereCollision(Vector3* centre, float radius, s32_t lodStep, SphereContact* contact)
{
    bool collided = false;
    if (animMesh && animMesh->frames_c) {
        const u32_t frameIndex = WholeFrame();
        const AnimFrame& shown = animMesh->frames[frameIndex];
        const u32_t meshCount = FrameZeroMeshCount() < shown.meshes_c ? FrameZeroMeshCount() : shown.meshes_c;
        bool haveLocal = false;
        D3DXMATRIX world;
        Vector3 local;
        for (u32_t i = 0; i < meshCount; ++i) {
            Material* material = nullptr;
            if (!MeshSelectedForTest(*this, i, shown.meshes[i], lodStep, MESH_TEST_SPHERE, 0, &material))
                continue;
            if (!haveLocal) {
                UpdateTransform(&world);
                D3DXMATRIX inverse;
                D3DXMatrixInverse(&inverse, nullptr, &world);
                const D3DXVECTOR3 at(centre->x, centre->y, centre->z);
                D3DXVECTOR3 inside;
                D3DXVec3TransformCoord(&inside, &at, &inverse);
                local = {inside.x, inside.y, inside.z};
                haveLocal = true;
            }
            const bool contactOnly = meshSettings && meshSettings[i].setLdr;
            if (!MeshSphereCollision(animMesh, i, frameIndex, contactOnly, &local, radius))
                continue;
            collided = true;
            if (contact) {
                if (contactOnly)
                    contact->contactOnlyTouched = 1;
                contact->material = material;
            }
        }
        if (collided) {
            const D3DXVECTOR3 inside(local.x, local.y, local.z);
            D3DXVECTOR3 placed;
            D3DXVec3TransformCoord(&placed, &inside, &world);
            *centre = {placed.x, placed.y, placed.z};
        }
    }
    for (u32_t c = 0; c < childCount; ++c) {
        if (children[c]->SphereCollision(centre, radius, lodStep, contact))
            collided = true;
    }
    return collided;
}

bool GraphNode::FootprintCollision(Vector3* centre, float halfSize, float height, s32_t lodStep)
{
    if (!animMesh || animMesh->frames_c == 0)
        return false;
    const u32_t frameIndex = WholeFrame();
    const AnimFrame& shown = animMesh->frames[frameIndex];
    const u32_t meshCount = FrameZeroMeshCount() < shown.meshes_c ? FrameZeroMeshCount() : shown.meshes_c;
    D3DXMATRIX world;
    UpdateTransform(&world);
    for (u32_t i = 0; i < meshCount; ++i) {
        Material* material = nullptr;
        if (!MeshSelectedForTest(*this, i, shown.meshes[i], lodStep, MESH_TEST_FOOTPRINT, 0, &material))
            continue;
        const AnimVertexData* vertices = animMesh->GetMeshVertices(frameIndex, i);
        const AnimFaces* faces = animMesh->GetMeshFaces(frameIndex, i);
        if (!vertices || !faces || !vertices->positions || !faces->indices)
            continue;
        for (u32_t f = 0; f < faces->count; ++f) {
            const u16_t* corners = faces->indices + static_cast<size_t>(f) * 3;
            if (!vertices->HoldsFace(corners))
                continue;
            D3DXVECTOR3 placed[3];
            for (int k = 0; k < 3; ++k) {
                const D3DXVECTOR3 local = ToD3DX(vertices->Position(corners[k]));
                D3DXVec3TransformCoord(&placed[k], &local, &world);
            }
            // The first vertex's normal, in world space, turned round.
            const s8_t* packed = vertices->normals ? vertices->normals + static_cast<size_t>(corners[0]) * 3 : nullptr;
            D3DXVECTOR3 normal =
                packed ? D3DXVECTOR3(packed[0] * kNormalScale, packed[1] * kNormalScale, packed[2] * kNormalScale)
                       : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
            D3DXVec3Normalize(&normal, &normal);
            D3DXVECTOR3 turned;
            D3DXVec3TransformNormal(&turned, &normal, &world);
            const D3DXVECTOR3 m = -turned;
            // The plane's front: the side from which the corners run counter-clockwise.
            D3DXPLANE plane;
            D3DXPlaneFromPoints(&plane, &placed[0], &placed[2], &placed[1]);
            Vector3 box[8];
            FootprintCorners(halfSize, height, *centre, box);
            const float dx = box[0].x - box[3].x, dz = box[0].z - box[3].z;
            const float diagonal = std::sqrt(dx * dx + dz * dz);
            for (const Vector3& corner : box) {
                const D3DXVECTOR3 point(corner.x, corner.y, corner.z);
                const float dist = D3DXPlaneDotCoord(&plane, &point);
                if (dist < -diagonal) {
                    centre->x -= m.x * dist;
                    centre->y -= m.y * dist;
                    centre->z -= m.z * dist;
                }
            }
        }
    }
    return false;
}
