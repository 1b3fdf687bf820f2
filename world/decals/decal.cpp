#include "world/decals/decal.h"

#include <cmath>
#include <cstring>

#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "world/nodes/graph_node.h"
#include "world/world_cvars.h"
#include "render/draw2d/colour_pack.h"

ConsoleVar rbremovedecals("rbremovedecals", CVAR_BOOL, "0");
ConsoleVar rfhidesize("rfhidesize", CVAR_FLOAT, "200.0");

Decal::Decal()
    : kind(0),
      lifetime(0),
      created(0),
      spacingRadius(0.0f),
      vertices(nullptr),
      texCoords(nullptr),
      triangleCount(0),
      meshMaterials(nullptr),
      meshes(nullptr),
      texture(nullptr),
      node(nullptr),
      attached(0),
      lightTint(1),
      facesLight(1),
      colour(0),
      worldMatrix{},
      fogFactor(0.0f)
{}

Decal::~Decal()
{
    Free();
}

void Decal::Free()
{
    delete[] vertices;
    delete[] texCoords;
    delete[] meshMaterials;
    delete[] meshes;
    vertices = nullptr;
    texCoords = nullptr;
    meshMaterials = nullptr;
    meshes = nullptr;
    triangleCount = 0;
}

void Decal::Init(const DecalInitParams& params)
{
    Free();
    const u32_t triangles = params.triangles;
    const size_t vertexCount = static_cast<size_t>(triangles) * 3;
    vertices = new float[vertexCount * 3];
    std::memcpy(vertices, params.vertices, sizeof(float) * vertexCount * 3);
    texCoords = new float[vertexCount * 2];
    std::memcpy(texCoords, params.texCoords, sizeof(float) * vertexCount * 2);
    if (params.meshes) {
        meshes = new AnimFrameMesh*[triangles];
        std::memcpy(meshes, params.meshes, sizeof(AnimFrameMesh*) * triangles);
    }
    if (params.materials) {
        meshMaterials = new AnimMaterial*[triangles];
        std::memcpy(meshMaterials, params.materials, sizeof(AnimMaterial*) * triangles);
    }
    triangleCount = triangles;
    texture = params.texture;
    node = params.node;
    lifetime = params.lifetimeMs;
    attached = params.attached ? 1 : 0;
    created = GetTickCount();
}

namespace {

u32_t WithAlpha(u32_t elapsed)
{
    const u32_t alpha = ColourByteTruncated(static_cast<float>(elapsed) * (1.0f / DECAL_FADE_MS));
    return (alpha << 24) | 0xFFFFFFu;
}

}  // namespace

void Decal::UpdateFade()
{
    if (triangleCount == 0)
        return;
    const u32_t now = GetTickCount();
    const u32_t remaining = created + lifetime - now;
    colour = (rbremovedecals.Bool() && remaining <= DECAL_FADE_MS) ? WithAlpha(remaining) : 0xFFFFFFFFu;
    if (kind == DECAL_BLOOD_POOL) {
        const u32_t age = now - created;
        if (age <= DECAL_FADE_MS)
            colour = WithAlpha(age);
    }
    D3DXMATRIX matrix;
    if (attached && node)
        node->UpdateTransform(&matrix);
    else
        D3DXMatrixIdentity(&matrix);
    worldMatrix = matrix;
}

void DecalList::Add(Decal* decal, bool spacingTest)
{
    if (m_capacity <= 0) {
        delete decal;
        return;
    }
    if (spacingTest) {
        for (s32_t i = 0; i < m_count; ++i) {
            const Decal* listed = m_items[i];
            const float dx = decal->centre.x - listed->centre.x;
            const float dy = decal->centre.y - listed->centre.y;
            const float dz = decal->centre.z - listed->centre.z;
            if (listed->spacingRadius * listed->spacingRadius >= dx * dx + dy * dy + dz * dz) {
                delete decal;
                return;
            }
        }
    }
    if (!m_items)
        m_items = new Decal*[m_capacity];
    if (m_count == m_capacity) {
        const u32_t now = GetTickCount();
        s32_t oldest = 0;
        for (s32_t i = 1; i < m_count; ++i) {
            if (now - m_items[i]->created > now - m_items[oldest]->created)
                oldest = i;
        }
        RemoveAt(oldest);
    }
    m_items[m_count++] = decal;
}

void DecalList::RemoveAt(s32_t index)
{
    delete m_items[index];
    for (s32_t i = index + 1; i < m_count; ++i)
        m_items[i - 1] = m_items[i];
    --m_count;
}

void DecalList::Expire(float fogFactor)
{
    if (rbremovedecals.Bool()) {
        const u32_t now = GetTickCount();
        for (s32_t i = 0; i < m_count;) {
            if (m_items[i]->Expired(now))
                RemoveAt(i);
            else
                ++i;
        }
    }
    for (s32_t i = 0; i < m_count; ++i) {
        m_items[i]->fogFactor = fogFactor;
        m_items[i]->UpdateFade();
    }
}

void DecalList::Clear()
{
    for (s32_t i = 0; i < m_count; ++i)
        delete m_items[i];
    delete[] m_items;
    m_items = nullptr;
    m_count = 0;
}

D3DXMATRIX* DecalBuildProjection(D3DXMATRIX* out, const D3DXVECTOR3* point, const D3DXVECTOR3* axis, float angle)
{
    D3DXMATRIX toOrigin, rotation, back;
    D3DXMatrixTranslation(&toOrigin, -point->x, -point->y, -point->z);
    D3DXMatrixRotationAxis(&rotation, axis, angle);
    D3DXMatrixTranslation(&back, point->x, point->y, point->z);
    *out = toOrigin * rotation * back;
    return out;
}

bool DecalFoldOntoFace(D3DXMATRIX* out, const D3DXVECTOR3* triangleA, const D3DXVECTOR3* triangleB, float* angleOut)
{
    // Each triangle's front is the side from which its corners run counter-clockwise; the fold
    // turns A's front onto B's.
    D3DXPLANE planeA, planeB;
    D3DXPlaneFromPoints(&planeA, &triangleA[0], &triangleA[2], &triangleA[1]);
    D3DXPlaneFromPoints(&planeB, &triangleB[0], &triangleB[2], &triangleB[1]);
    D3DXVECTOR3 normalA(planeA.a, planeA.b, planeA.c);
    D3DXVECTOR3 normalB(planeB.a, planeB.b, planeB.c);
    // The fold point lies on plane A and on an edge line of B; an edge nearly parallel to plane A
    // is replaced by the other edge from B0.
    const D3DXVECTOR3 edge = triangleB[1] - triangleB[0];
    const D3DXVECTOR3& far = std::fabs(D3DXVec3Dot(&normalA, &edge)) <= 0.001f ? triangleB[2] : triangleB[1];
    D3DXVECTOR3 foldPoint;
    if (!D3DXPlaneIntersectLine(&foldPoint, &planeA, &triangleB[0], &far))
        return false;
    D3DXVECTOR3 axis;
    D3DXVec3Cross(&axis, &normalA, &normalB);
    D3DXVec3Normalize(&axis, &axis);
    D3DXVec3Normalize(&normalA, &normalA);
    D3DXVec3Normalize(&normalB, &normalB);
    float cosine = D3DXVec3Dot(&normalA, &normalB);
    cosine = cosine > 1.0f ? 1.0f : (cosine < -1.0f ? -1.0f : cosine);
    const float angle = std::acos(cosine);
    DecalBuildProjection(out, &foldPoint, &axis, angle);
    if (angleOut)
        *angleOut = angle;
    return true;
}
