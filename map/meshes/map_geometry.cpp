// The land-wide transform ("mirror", "rotate"), the map bounds, the map texture coordinates and the
// hand-over of the map meshes to the object grid.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/files/script_file.h"
#include "core/strings/finite_number.h"
#include "map/meshes/collision_mesh.h"
#include "map/meshes/map_mesh.h"
#include "map/meshes/map_mesh_reader.h"
#include "map/terrain/map_state.h"
#include "map/trace/map_trace.h"
#include "map/octree/object_grid.h"
#include "platform/d3dx8_math.h"

namespace {

float ParseFloat(const char* text)
{
    return FiniteFloatOrZero(text);
}

void TransformVertex(MapVertex& vertex, const D3DXMATRIX& position, const D3DXMATRIX& normal)
{
    D3DXVECTOR3 p(vertex.position.x, vertex.position.y, vertex.position.z);
    D3DXVec3TransformCoord(&p, &p, &position);
    vertex.position = {p.x, p.y, p.z};
    D3DXVECTOR3 n(vertex.normal.x, vertex.normal.y, vertex.normal.z);
    D3DXVec3TransformNormal(&n, &n, &normal);
    D3DXVec3Normalize(&n, &n);
    vertex.normal = {n.x, n.y, n.z};
}

// The box of a collision mesh after the transform: all 8 corners, so that a turn by an angle that
// is not a multiple of 90 degrees still leaves every vertex inside.
void TransformBox(CollisionMesh& mesh, const D3DXMATRIX& position)
{
    const Vector3 low = mesh.boxMin, high = mesh.boxMax;
    Vector3 newLow = {1e30f, 1e30f, 1e30f}, newHigh = {-1e30f, -1e30f, -1e30f};
    for (int corner = 0; corner < 8; ++corner) {
        D3DXVECTOR3 p((corner & 4) ? high.x : low.x, (corner & 2) ? high.y : low.y, (corner & 1) ? high.z : low.z);
        D3DXVec3TransformCoord(&p, &p, &position);
        newLow = {std::fmin(newLow.x, p.x), std::fmin(newLow.y, p.y), std::fmin(newLow.z, p.z)};
        newHigh = {std::fmax(newHigh.x, p.x), std::fmax(newHigh.y, p.y), std::fmax(newHigh.z, p.z)};
    }
    mesh.boxMin = newLow;
    mesh.boxMax = newHigh;
}

}  // namespace

void MapGeometryApplyTransform(const ScriptSection* landSection)
{
    float scale[3] = {1.0f, 1.0f, 1.0f};
    float degrees = 0.0f;
    const ScriptCommand* mirror = landSection ? landSection->FindCommand("mirror") : nullptr;
    const ScriptCommand* rotate = landSection ? landSection->FindCommand("rotate") : nullptr;
    if (mirror) {
        for (int i = 0; i < 3; ++i)
            scale[i] = ParseFloat(mirror->Word(i + 1));
    }
    if (rotate)
        degrees = ParseFloat(rotate->Word(1));
    MapGeometryApplyTransformValues(mirror != nullptr, scale, rotate != nullptr, degrees);
}

void MapGeometryApplyTransformValues(bool mirrored, const float* scale, bool rotated, float degrees)
{
    const float mx = mirrored ? scale[0] : 1.0f, my = mirrored ? scale[1] : 1.0f, mz = mirrored ? scale[2] : 1.0f;
    const float angle = rotated ? degrees * 0.017453292f : 0.0f;
    D3DXMATRIX texture;
    D3DXMatrixIdentity(&texture);
    const bool transformed = mirrored || rotated;
    if (transformed) {
        float minY = 1e30f, maxY = -1e30f;
        for (u32_t i = 0; i < g_map.landVertexCount; ++i) {
            minY = std::fmin(minY, g_map.landVertices[i].position.y);
            maxY = std::fmax(maxY, g_map.landVertices[i].position.y);
        }
        D3DXMATRIX down, scaling, up, turn, position, normal, temp;
        D3DXMatrixTranslation(&down, 0.0f, (maxY + minY) * -0.5f, 0.0f);
        D3DXMatrixScaling(&scaling, mx, my, mz);
        D3DXMatrixTranslation(&up, 0.0f, (maxY - minY) * my * 0.5f, 0.0f);
        D3DXMatrixRotationY(&turn, angle);
        D3DXMatrixMultiply(&temp, &down, &scaling);
        D3DXMatrixMultiply(&temp, &temp, &up);
        D3DXMatrixMultiply(&position, &temp, &turn);
        D3DXMatrixScaling(&scaling, mx, std::fabs(my), mz);
        D3DXMatrixMultiply(&normal, &scaling, &turn);
        D3DXMatrixScaling(&scaling, mx < 0.0f ? -1.0f : 1.0f, 1.0f, mz < 0.0f ? -1.0f : 1.0f);
        D3DXMatrixMultiply(&texture, &scaling, &turn);
        for (u32_t i = 0; i < g_map.landVertexCount; ++i)
            TransformVertex(g_map.landVertices[i], position, normal);
        for (u32_t m = 0; m < g_map.meshCount; ++m) {
            CollisionMesh* mesh = g_map.meshes[m]->collision;
            if (!mesh)
                continue;
            TransformBox(*mesh, position);
            for (u32_t i = 0; i < mesh->vertexCount; ++i)
                TransformVertex(mesh->vertices[i], position, normal);
        }
    }
    std::memcpy(g_map.textureMatrix, &texture, sizeof g_map.textureMatrix);
    MapComputeBounds();
    MapMatchEdgeNormals();
    MapGeometryComputeUV();
    if (transformed) {
        for (u32_t i = 0; i < g_map.landVertexCount; ++i) {
            MapVertex& v = g_map.landVertices[i];
            D3DXVECTOR3 p(v.u - 0.5f, 0.0f, v.v - 0.5f);
            D3DXVec3TransformCoord(&p, &p, &texture);
            v.u = p.x + 0.5f;
            v.v = p.z + 0.5f;
        }
    }
}

void MapComputeBounds()
{
    Vector3 low = {1e20f, 1e20f, 1e20f}, high = {-1e20f, -1e20f, -1e20f};
    for (u32_t i = 0; i < g_map.landVertexCount; ++i) {
        const Vector3& p = g_map.landVertices[i].position;
        low = {std::fmin(low.x, p.x), std::fmin(low.y, p.y), std::fmin(low.z, p.z)};
        high = {std::fmax(high.x, p.x), std::fmax(high.y, p.y), std::fmax(high.z, p.z)};
    }
    if (high.y - low.y < 10.0f)
        high.y = low.y + 10.0f;
    g_map.bounds[0] = low;
    g_map.bounds[1] = high;
    g_map.inverseExtentX = 1.0f / (high.x - low.x);
    g_map.inverseExtentZ = 1.0f / (high.z - low.z);
}

void MapWorldToUV(float* uv, const float* position)
{
    uv[0] = (position[0] - g_map.bounds[0].x) * g_map.inverseExtentX;
    uv[1] = 1.0f - (position[2] - g_map.bounds[0].z) * g_map.inverseExtentZ;
}

void MapGeometryComputeUV()
{
    for (u32_t i = 0; i < g_map.landVertexCount; ++i) {
        MapVertex& v = g_map.landVertices[i];
        float uv[2];
        MapWorldToUV(uv, &v.position.x);
        v.u = uv[0];
        v.v = uv[1];
    }
}

void MapMeshesLinkToGrid()
{
    for (u32_t m = 0; m < g_map.meshCount; ++m) {
        MapMesh* mesh = g_map.meshes[m];
        if (!mesh->gridEntry)
            mesh->gridEntry = ObjectGridEntryCreate(OBJECT_GRID_MAP_MESH, mesh);
        ObjectGridUnlink(mesh->gridEntry);
        if (!mesh->collision)
            continue;
        const float box[6] = {mesh->collision->boxMin.x, mesh->collision->boxMin.y, mesh->collision->boxMin.z,
                              mesh->collision->boxMax.x, mesh->collision->boxMax.y, mesh->collision->boxMax.z};
        ObjectGridLink(mesh->gridEntry, box);
    }
}
