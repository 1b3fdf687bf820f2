// Shadow volumes: the rebuild from the source's enumerated meshes and the extrusion of one mesh.
#include "world/nodes/shadow_volume.h"

#include <algorithm>
#include <cstring>

#include "map/trace/map_trace.h"
#include "platform/d3dx8_math.h"
#include "world/nodes/geometry_enum.h"

namespace {

constexpr u16_t kNoNeighbour = 0xFFFF;
// The sun stands this far along its direction.
constexpr float kSunDistance = 100000.0f;
// Extrusions of static sources start this far towards the sun and stop this far beyond the map.
constexpr float kGroundMargin = 5.0f;
constexpr float kMissedGroundShare = 0.25f;
// Caps and two sides per edge.
constexpr u32_t kMaxOutputTriangles = 7 * SHADOW_MAX_FACES;

// The scratch arrays of the builds and the work buffer of the rebuilds, made on first use.
struct ShadowBuildState {
    float* vertices = nullptr;   // SHADOW_MAX_VERTICES x 3
    u16_t* triangles = nullptr;  // kMaxOutputTriangles x 3
    u8_t* lit = nullptr;         // SHADOW_MAX_FACES
    u8_t* workBuffer = nullptr;  // SHADOW_WORK_BUFFER_SIZE
};
ShadowBuildState g_shadowBuild;

void EnsureScratch()
{
    if (!g_shadowBuild.vertices) {
        g_shadowBuild.vertices = new float[SHADOW_MAX_VERTICES * 3];
        g_shadowBuild.triangles = new u16_t[kMaxOutputTriangles * 3];
        g_shadowBuild.lit = new u8_t[SHADOW_MAX_FACES];
    }
}

// What a rebuild hands the enumeration besides the record.
struct RebuildContext {
    ShadowVolume* volume;
    float defaultLength;
    bool isStatic;
};

template <class T>
void Reserve(T** array, u32_t* capacity, u32_t needed)
{
    if (needed <= *capacity)
        return;
    delete[] * array;
    *array = new T[needed];
    *capacity = needed;
}

void AddEnumeratedMesh(GeometryEnumData* data)
{
    RebuildContext& context = *static_cast<RebuildContext*>(data->caller);
    ShadowVolume& volume = *context.volume;
    if (volume.subMeshCount >= SHADOW_VOLUME_MAX_PIECES)
        return;
    const float* vertices = data->vertices;
    u32_t vertexCount = data->vertexCount;
    const u16_t* triangles = data->faces;
    u32_t triangleCount = data->faceCount;
    if (!ShadowVolumeBuild(&vertices, &vertexCount, &triangles, &triangleCount, data->faceExtra, context.defaultLength,
                           data->shadowLength, context.isStatic))
        return;
    ShadowVolumePiece& piece = volume.subMeshes[volume.subMeshCount];
    Reserve(&piece.vertices, &piece.vertexCapacity, vertexCount * 3);
    Reserve(&piece.indices, &piece.triangleCapacity, triangleCount * 3);
    // Capacities count elements of the arrays; the counts count vertices and triangles.
    std::memcpy(piece.vertices, vertices, sizeof(float) * 3 * vertexCount);
    std::memcpy(piece.indices, triangles, sizeof(u16_t) * 3 * triangleCount);
    piece.vertexCount = vertexCount;
    piece.triangleCount = triangleCount;
    piece.capCount = data->faceCount;
    piece.meshIndex = data->meshIndex;
    volume.subMeshTags[volume.subMeshCount] = data->meshFlags;
    ++volume.subMeshCount;
}

}  // namespace

ShadowVolume::ShadowVolume(DynamicObject* sourceObject) : ShadowObject(sourceObject)
{
    shadowKind = SHADOW_KIND_VOLUME;
}

ShadowVolume::~ShadowVolume()
{
    for (ShadowVolumePiece& piece : subMeshes) {
        delete[] piece.vertices;
        delete[] piece.indices;
        piece = ShadowVolumePiece{};
    }
}

void ShadowVolume::GetGeometryBounds(float* box)
{
    if (needsRebuild) {
        ShadowObject::GetGeometryBounds(box);
        return;
    }
    box[0] = builtBoxMin.x;
    box[1] = builtBoxMin.y;
    box[2] = builtBoxMin.z;
    box[3] = builtBoxMax.x;
    box[4] = builtBoxMax.y;
    box[5] = builtBoxMax.z;
}

void ShadowVolume::Rebuild()
{
    if (!needsRebuild)
        return;
    needsRebuild = 0;
    subMeshCount = 0;
    float estimate[6];
    // The estimate brings the length up to date with the source and the sun.
    shadowLength = ShadowEstimateBox(source, estimate);
    if (!g_shadowBuild.workBuffer)
        g_shadowBuild.workBuffer = new u8_t[SHADOW_WORK_BUFFER_SIZE];
    RebuildContext context{this, shadowLength, source->IsStatic()};
    GeometryEnumData data;
    data.caller = &context;
    data.workBuffer = g_shadowBuild.workBuffer;
    data.workBufferSize = SHADOW_WORK_BUFFER_SIZE;
    source->EnumGeometry(AddEnumeratedMesh, &data);

    builtBoxMin = {1e30f, 1e30f, 1e30f};
    builtBoxMax = {-1e30f, -1e30f, -1e30f};
    for (u32_t p = 0; p < subMeshCount; ++p) {
        const ShadowVolumePiece& piece = subMeshes[p];
        for (u32_t v = 0; v < piece.vertexCount; ++v) {
            const float* at = piece.vertices + static_cast<size_t>(v) * 3;
            builtBoxMin = {std::min(builtBoxMin.x, at[0]), std::min(builtBoxMin.y, at[1]),
                           std::min(builtBoxMin.z, at[2])};
            builtBoxMax = {std::max(builtBoxMax.x, at[0]), std::max(builtBoxMax.y, at[1]),
                           std::max(builtBoxMax.z, at[2])};
        }
    }
}

bool ShadowVolumeBuild(const float** vertices, u32_t* vertexCount, const u16_t** triangles, u32_t* triangleCount,
                       const u16_t* neighbours, float defaultLength, float ownLength, bool isStatic)
{
    const u32_t vc = *vertexCount;
    const u32_t fc = *triangleCount;
    if (fc >= SHADOW_MAX_FACES || vc * 2 >= SHADOW_MAX_VERTICES)
        return false;
    const float* in = *vertices;
    const u16_t* faces = *triangles;
    for (u32_t k = 0; k < fc * 3; ++k) {
        if (faces[k] >= vc)
            return false;
    }
    EnsureScratch();
    const Vector3 sun = ShadowLightDirection();
    const D3DXVECTOR3 light(sun.x, sun.y, sun.z);
    const D3DXVECTOR3 sunPoint = light * kSunDistance;
    const auto at = [in](u32_t i) { return D3DXVECTOR3(in[i * 3], in[i * 3 + 1], in[i * 3 + 2]); };

    // A face is lit when its front (the side from which its corners run counter-clockwise) turns to
    // the sun. The lit faces stay, the others move away from the sun, and the silhouette edges of the
    // lit faces get their sides: the volume winds as its mesh does, counter-clockwise seen from outside.
    u8_t* lit = g_shadowBuild.lit;
    for (u32_t f = 0; f < fc; ++f) {
        const D3DXVECTOR3 a = at(faces[f * 3]), b = at(faces[f * 3 + 1]), c = at(faces[f * 3 + 2]);
        const D3DXVECTOR3 ab = b - a, ac = c - a, toSun = sunPoint - a;
        D3DXVECTOR3 normal;
        D3DXVec3Cross(&normal, &ac, &ab);
        lit[f] = D3DXVec3Dot(&toSun, &normal) > 0.0f ? 1 : 0;
    }

    float* out = g_shadowBuild.vertices;
    std::memcpy(out, in, sizeof(float) * 3 * vc);
    MapTraceInfo trace;
    trace.flags = TRACE_TILED;
    trace.ignoreObject = nullptr;
    trace.objOptions = 0;
    for (u32_t i = 0; i < vc; ++i) {
        const D3DXVECTOR3 v = at(i);
        D3DXVECTOR3 moved;
        if (ownLength != 0.0f) {
            moved = v - light * ownLength;
        } else if (!isStatic) {
            moved = v - light * defaultLength;
        } else {
            // A static shadow stops on the terrain.
            const D3DXVECTOR3 start = v + light * kGroundMargin;
            const D3DXVECTOR3 end = v - light * defaultLength;
            if (MapTrace(&start.x, &end.x, &trace))
                moved = D3DXVECTOR3(trace.hitPoint.x, trace.hitPoint.y, trace.hitPoint.z) - light * kGroundMargin;
            else
                moved = v - light * (kMissedGroundShare * defaultLength);
        }
        float* slot = out + static_cast<size_t>(vc + i) * 3;
        slot[0] = moved.x;
        slot[1] = moved.y;
        slot[2] = moved.z;
    }

    u16_t* tris = g_shadowBuild.triangles;
    const u16_t shift = static_cast<u16_t>(vc);
    for (u32_t f = 0; f < fc; ++f) {
        for (u32_t k = 0; k < 3; ++k)
            tris[f * 3 + k] = lit[f] ? faces[f * 3 + k] : static_cast<u16_t>(faces[f * 3 + k] + shift);
    }
    u32_t count = fc;
    for (u32_t f = 0; neighbours && f < fc; ++f) {
        if (!lit[f])
            continue;
        for (u32_t k = 0; k < 3; ++k) {
            const u16_t across = neighbours[f * 3 + k];
            if (across == kNoNeighbour || across >= fc || lit[across])
                continue;
            const u16_t from = faces[f * 3 + k], to = faces[f * 3 + (k + 1) % 3];
            const u16_t side[6] = {from, static_cast<u16_t>(from + shift), static_cast<u16_t>(to + shift),
                                   from, static_cast<u16_t>(to + shift),   to};
            std::memcpy(tris + static_cast<size_t>(count) * 3, side, sizeof(side));
            count += 2;
        }
    }
    *vertices = out;
    *vertexCount = vc * 2;
    *triangles = tris;
    *triangleCount = count;
    return true;
}

void ShadowBuildFree()
{
    delete[] g_shadowBuild.vertices;
    delete[] g_shadowBuild.triangles;
    delete[] g_shadowBuild.lit;
    delete[] g_shadowBuild.workBuffer;
    g_shadowBuild = ShadowBuildState{};
}
