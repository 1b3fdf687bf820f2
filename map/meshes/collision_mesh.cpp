#include "map/meshes/collision_mesh.h"

#include <cstring>
#include <new>

#include "core/files/byte_io.h"
#include "core/files/uff_file.h"
#include "map/trace/triangle_probe.h"
#include "platform/d3dx8_math.h"

namespace {

// Decodes the two arrays' bytes; false (nothing kept) when they cannot be held.
bool TakeArrays(CollisionMesh& mesh, const u8_t* vertexBytes, u32_t vertexSize, const u8_t* faceBytes, u32_t faceSize)
{
    const u32_t vertexCount = vertexSize / MAP_VERTEX_RECORD_SIZE;
    const u32_t faceCount = faceSize / MAP_FACE_RECORD_SIZE;
    MapVertex* vertices = vertexCount ? new (std::nothrow) MapVertex[vertexCount] : nullptr;
    CollisionFace* faces = faceCount ? new (std::nothrow) CollisionFace[faceCount] : nullptr;
    if ((vertexCount && !vertices) || (faceCount && !faces)) {
        delete[] vertices;
        delete[] faces;
        return false;
    }
    MapVerticesFromBytes(vertices, vertexBytes, vertexCount);
    for (u32_t f = 0; f < faceCount; ++f) {
        const u8_t* record = faceBytes + static_cast<size_t>(f) * MAP_FACE_RECORD_SIZE;
        for (int c = 0; c < 3; ++c)
            faces[f].indices[c] = LoadU16(record + 2 * c);
    }
    mesh.Free();
    mesh.vertices = vertices;
    mesh.vertexCount = vertexCount;
    mesh.faces = faces;
    mesh.faceCount = faceCount;
    mesh.ComputeBounds();
    return true;
}

// The child of the entry with exactly that name in the decoded tables; -1 when none. The walk is
// bounded by the entry count, whatever the links say.
s32_t FindImageChild(s32_t entry, const char* name, const char* const* names, s32_t nameCount, const UffEntry* entries,
                     s32_t entryCount)
{
    if (entry < 0 || entry >= entryCount)
        return -1;
    s32_t child = entries[entry].child;
    for (s32_t steps = 0; child >= 0 && child < entryCount && steps < entryCount; ++steps) {
        const s32_t nameIndex = entries[child].name;
        if (nameIndex >= 0 && nameIndex < nameCount && std::strcmp(names[nameIndex], name) == 0)
            return child;
        child = entries[child].next;
    }
    return -1;
}

}  // namespace

void MapVerticesFromBytes(MapVertex* out, const u8_t* bytes, u32_t count)
{
    for (u32_t i = 0; i < count; ++i) {
        ByteReader reader(bytes + static_cast<size_t>(i) * MAP_VERTEX_RECORD_SIZE, MAP_VERTEX_RECORD_SIZE);
        MapVertex& v = out[i];
        reader.ReadF32(v.position.x);
        reader.ReadF32(v.position.y);
        reader.ReadF32(v.position.z);
        reader.ReadF32(v.u);
        reader.ReadF32(v.v);
        reader.ReadF32(v.normal.x);
        reader.ReadF32(v.normal.y);
        reader.ReadF32(v.normal.z);
    }
}

int CollisionMesh::LoadFromUff(UffFile& file, s32_t entry)
{
    const s32_t vertexEntry = file.FindChild(entry, "vertex-array");
    const s32_t faceEntry = file.FindChild(entry, "face-array");
    if (vertexEntry < 0 || faceEntry < 0)
        return -1;
    u32_t vertexSize = 0, faceSize = 0;
    u8_t* vertexBytes = file.ReadWholeEntry(vertexEntry, vertexSize);
    u8_t* faceBytes = vertexBytes ? file.ReadWholeEntry(faceEntry, faceSize) : nullptr;
    const bool ok = faceBytes && TakeArrays(*this, vertexBytes, vertexSize, faceBytes, faceSize);
    delete[] vertexBytes;
    delete[] faceBytes;
    return ok ? 0 : -1;
}

int CollisionMesh::LoadFromImage(const u8_t* image, size_t imageSize, s32_t entry, const char* const* names,
                                 s32_t nameCount, const UffEntry* entries, s32_t entryCount)
{
    if (!image || !names || !entries)
        return -1;
    const s32_t vertexEntry = FindImageChild(entry, "vertex-array", names, nameCount, entries, entryCount);
    const s32_t faceEntry = FindImageChild(entry, "face-array", names, nameCount, entries, entryCount);
    if (vertexEntry < 0 || faceEntry < 0)
        return -1;
    const UffEntry& v = entries[vertexEntry];
    const UffEntry& f = entries[faceEntry];
    if (v.offset > imageSize || v.size > imageSize - v.offset || f.offset > imageSize || f.size > imageSize - f.offset)
        return -1;
    return TakeArrays(*this, image + v.offset, v.size, image + f.offset, f.size) ? 0 : -1;
}

void CollisionMesh::Free()
{
    delete[] vertices;
    vertices = nullptr;
    delete[] faces;
    faces = nullptr;
}

void CollisionMesh::ComputeBounds()
{
    boxMin = {1e20f, 1e20f, 1e20f};
    boxMax = {-1e20f, -1e20f, -1e20f};
    for (u32_t i = 0; i < vertexCount; ++i) {
        const Vector3& p = vertices[i].position;
        boxMin = {p.x < boxMin.x ? p.x : boxMin.x, p.y < boxMin.y ? p.y : boxMin.y, p.z < boxMin.z ? p.z : boxMin.z};
        boxMax = {p.x > boxMax.x ? p.x : boxMax.x, p.y > boxMax.y ? p.y : boxMax.y, p.z > boxMax.z ? p.z : boxMax.z};
    }
}

float CollisionMesh::TraceRay(const Vector3& origin, const Vector3& segment, s32_t* faceOut, Vector3* normalOut) const
{
    const D3DXVECTOR3 rayPos(origin.x, origin.y, origin.z);
    const D3DXVECTOR3 rayDir(segment.x, segment.y, segment.z);
    const D3DXVECTOR3 low(boxMin.x, boxMin.y, boxMin.z), high(boxMax.x, boxMax.y, boxMax.z);
    if (!D3DXBoxBoundProbe(&low, &high, &rayPos, &rayDir))
        return COLLISION_NO_HIT;
    if (faceOut)
        *faceOut = -1;
    float best = COLLISION_NO_HIT;
    for (u32_t f = 0; f < faceCount; ++f) {
        const u16_t a = faces[f].indices[0], b = faces[f].indices[1], c = faces[f].indices[2];
        // A face naming a vertex beyond the array is no face.
        if (a >= vertexCount || b >= vertexCount || c >= vertexCount)
            continue;
        float u = 0.0f, v = 0.0f, t = 0.0f;
        if (!ProbeTriangle(vertices[a].position, vertices[b].position, vertices[c].position, origin, segment, &u, &v,
                           &t))
            continue;
        if (!(t < best) || t < 0.0f || t > 1.0f)
            continue;
        best = t;
        if (faceOut)
            *faceOut = static_cast<s32_t>(f);
        if (normalOut) {
            const Vector3& na = vertices[a].normal;
            const Vector3& nb = vertices[b].normal;
            const Vector3& nc = vertices[c].normal;
            D3DXVECTOR3 n(na.x + u * (nb.x - na.x) + v * (nc.x - na.x), na.y + u * (nb.y - na.y) + v * (nc.y - na.y),
                          na.z + u * (nb.z - na.z) + v * (nc.z - na.z));
            D3DXVec3Normalize(&n, &n);
            *normalOut = {n.x, n.y, n.z};
        }
    }
    return best;
}
