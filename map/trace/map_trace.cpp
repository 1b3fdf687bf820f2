// Map traces: the walk over the world's repetitions, and the leaf test that the octree traversal
// calls for each leaf the segment crosses, nearest first.
#include "map/trace/map_trace.h"

#include <cmath>
#include <utility>
#include <vector>

#include "ai/envelopes/envelope.h"
#include "map/meshes/collision_mesh.h"
#include "map/meshes/map_mesh.h"
#include "map/terrain/map_state.h"
#include "map/trace/map_trace_leaf.h"
#include "map/trace/map_trace_walk.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree.h"
#include "map/octree/octree_trace.h"
#include "map/trace/triangle_probe.h"
#include "map/land_maps/water_square.h"
#include "map/registry/world_registry.h"
#include "map/terrain/world_tiles.h"
#include "platform/d3dx8_math.h"
#include "world/objects/dynamic_object.h"
#include "scene/plugin_bridges/indoor_link.h"
#include "world/objects/graph_obj.h"

namespace {

// Tile numbers a walk accepts: beyond them a segment is taken as lying nowhere.
constexpr double kMaxTileIndex = 16777216.0;

// MapTraceWithinSegment: segments shorter than this are left to the whole walk, and the walk goes
// this far (in world units) past the end.
constexpr float kWithinSegmentShortest = 0.01f;
constexpr float kWithinSegmentMargin = 0.5f;

// What one MapTrace carries from leaf to leaf.
// The ray the objects of a tile's leaves are traced with, worked out at the first leaf of the tile
// that holds an entry and kept for the others.
struct ObjectRay {
    s32_t tileX, tileZ;
    Vector3 worldStart, unit;
    D3DXVECTOR3 rayStart, direction;
    float origin[3], along[3], inverse[3];
    float length;
};

struct TraceRun {
    MapTraceInfo* info;  // null: only the result is wanted
    u32_t flags;
    bool staticHitRecorded;  // a static hit point has been written in this trace
    // Set when the walk was ended because every leaf still to come lies beyond the segment's end.
    bool passedTheEnd;
    bool objectRayReady;
    ObjectRay objectRay;
};

D3DXVECTOR3 ToD3DX(const Vector3& v)
{
    return D3DXVECTOR3(v.x, v.y, v.z);
}

bool Finite3(const float* p)
{
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

// The tile index of a coordinate for a world of that size centred on the origin; false when it
// lies beyond the tiles a walk counts.
bool TileIndex(float c, float half, float size, s32_t* index)
{
    double n = 0.0;
    if (c < -half)
        n = -std::ceil((static_cast<double>(-half) - c) / size);
    else if (c > half)
        n = std::ceil((static_cast<double>(c) - half) / size);
    if (!(std::fabs(n) < kMaxTileIndex))
        return false;
    *index = static_cast<s32_t>(n);
    return true;
}

// The first of the leaf's secondary sets that has a triangle the ray meets (no limit on the
// distance along it); null when none.
OctreeGeometry* FirstCrossedSet(const OctreeNode* leaf, const Vector3& start, const Vector3& direction)
{
    for (u32_t s = 0; s < leaf->secondarySetCount; ++s) {
        OctreeGeometry* set = leaf->secondarySets[s];
        if (!set || !set->vertices || !set->faces)
            continue;
        for (u32_t f = 0; f < set->faceCount; ++f) {
            const MapFace& face = set->faces[f];
            const u16_t a = face.indices[0], b = face.indices[1], c = face.indices[2];
            if (a >= set->vertexCount || b >= set->vertexCount || c >= set->vertexCount)
                continue;
            float u, v, t;
            if (ProbeTriangle(set->vertices[a].position, set->vertices[c].position, set->vertices[b].position, start,
                              direction, &u, &v, &t))
                return set;
        }
    }
    return nullptr;
}

// The ray's slabs taken with multiplications by the inverse direction: true only when the ray
// misses the box by more than the rounding that separates them from D3DXBoxBoundProbe's divisions
// (a few parts in 10^7), so that every box it rejects the probe would reject too. Undecided
// (false) where a parameter is not finite.
bool RayClearlyMissesBox(const float* box, const float* origin, const float* direction, const float* inverse)
{
    float nearest = 0.0f, farthest = 3.4e38f;
    for (int axis = 0; axis < 3; ++axis) {
        if (direction[axis] == 0.0f) {
            if (origin[axis] < box[axis] || origin[axis] > box[axis + 3])
                return true;
            continue;
        }
        float t1 = (box[axis] - origin[axis]) * inverse[axis];
        float t2 = (box[axis + 3] - origin[axis]) * inverse[axis];
        if (t1 > t2)
            std::swap(t1, t2);
        if (!(std::fabs(t1) <= 1e30f) || !(std::fabs(t2) <= 1e30f))
            return false;
        nearest = t1 > nearest ? t1 : nearest;
        farthest = t2 < farthest ? t2 : farthest;
    }
    return nearest - farthest > 1e-6f * (std::fabs(nearest) + std::fabs(farthest));
}

// The object ray of the context's tile, made at the first leaf of the tile that asks for it.
const ObjectRay& ObjectRayOf(OctreeTraceContext* context, TraceRun* run)
{
    ObjectRay& ray = run->objectRay;
    if (run->objectRayReady && ray.tileX == context->tileX && ray.tileZ == context->tileZ)
        return ray;
    const OctreeNode* root = OctreeGetRoot();
    const float sizeX = root->boxMax.x - root->boxMin.x, sizeZ = root->boxMax.z - root->boxMin.z;
    ray.tileX = context->tileX;
    ray.tileZ = context->tileZ;
    ray.worldStart = {context->start.x + static_cast<float>(context->tileX) * sizeX, context->start.y,
                      context->start.z + static_cast<float>(context->tileZ) * sizeZ};
    D3DXVECTOR3 direction = ToD3DX(context->direction);
    D3DXVec3Normalize(&direction, &direction);
    ray.direction = direction;
    ray.unit = {direction.x, direction.y, direction.z};
    ray.rayStart = ToD3DX(ray.worldStart);
    const float origin[3] = {ray.worldStart.x, ray.worldStart.y, ray.worldStart.z};
    const float along[3] = {direction.x, direction.y, direction.z};
    for (int axis = 0; axis < 3; ++axis) {
        ray.origin[axis] = origin[axis];
        ray.along[axis] = along[axis];
        ray.inverse[axis] = along[axis] != 0.0f ? 1.0f / along[axis] : 0.0f;
    }
    ray.length = std::sqrt(context->lengthSquared);
    run->objectRayReady = true;
    return ray;
}

// The dynamic objects linked to the leaf (TRACE_OBJECTS): the nearest accepted object hit goes
// into the record. Returns the distance of the accepted hit, or OBJTRACE_NO_HIT.
float TraceObjects(OctreeNode* leaf, OctreeTraceContext* context, TraceRun* run)
{
    // Most leaves hold no object: nothing of the ray need be worked out for them.
    if (!leaf->packedCount)
        return OBJTRACE_NO_HIT;
    MapTraceInfo* info = run->info;
    const ObjectRay& ray = ObjectRayOf(context, run);
    const Vector3& worldStart = ray.worldStart;
    const Vector3& unit = ray.unit;
    const D3DXVECTOR3& rayStart = ray.rayStart;
    const D3DXVECTOR3& direction = ray.direction;
    const float* origin = ray.origin;
    const float* along = ray.along;
    const float* inverse = ray.inverse;
    const s8_t cell[2] = {static_cast<s8_t>(context->tileX), static_cast<s8_t>(context->tileZ)};
    const float length = ray.length;
    const bool withinSegment = (info->objOptions & OBJTRACE_WITHIN_SEGMENT) != 0;
    const float worldSize = MapGetWorldSize();
    float bestObj = OBJTRACE_NO_HIT;
    // The leaf's objects are asked of memory together before the first is read: one wait for all.
    for (u32_t i = 0; i < leaf->packedCount; ++i) {
        const PackedGridEntry& packed = leaf->packedEntries[i];
        if (packed.kind == OBJECT_GRID_OBJECT && packed.owner) {
            __builtin_prefetch(packed.owner);
            __builtin_prefetch(static_cast<const char*>(packed.owner) + 64);
        }
    }
    // The list is read afresh at each step: working out an object's bounds may link another.
    for (u32_t i = 0; i < leaf->packedCount; ++i) {
        const PackedGridEntry packed = leaf->packedEntries[i];
        // What the packed list tells is asked before the object or its entry is read.
        if (packed.kind != OBJECT_GRID_OBJECT)
            continue;
        DynamicObject* object = static_cast<DynamicObject*>(packed.owner);
        if (!object || object == info->ignoreObject || !CellRangeContains(cell, packed.tileRect))
            continue;
        if (object->typeId == OBJECT_TYPE_ROOT || object->typeId == OBJECT_TYPE_GRAPHIC)
            continue;
        if ((object->envelope && object->envelope->IsDestroyedState()) || !object->IsCollidable())
            continue;
        float box[6];
        object->GetGeometryBounds(box);
        if (RayClearlyMissesBox(box, origin, along, inverse))
            continue;
        ObjectGridEntry* entry = packed.entry;
        if (entry->traceStamp == g_map.traceStamp)
            continue;
        const D3DXVECTOR3 low(box[0], box[1], box[2]), high(box[3], box[4], box[5]);
        if (!D3DXBoxBoundProbe(&low, &high, &rayStart, &direction))
            continue;
        MapTraceInfo scratch = *info;
        const float d = object->TraceRay(worldStart, unit, &scratch);
        const bool accepted = withinSegment ? d <= length : d < bestObj;
        if (!accepted)
            continue;
        float local[3];
        s32_t tile[2];
        MapPosToCell(&scratch.objHitPoint.x, worldSize, local, tile);
        if (!leaf->IsPointInside({local[0], local[1], local[2]}))
            continue;
        static_cast<ObjectTraceBlock&>(*info) = scratch;
        info->hitObject = object;
        entry->traceStamp = g_map.traceStamp;
        bestObj = d;
    }
    return bestObj;
}

// The water squares of the leaf (TRACE_WATER): water above the nearest solid hit, met from above.
void TraceWater(OctreeNode* leaf, OctreeTraceContext* context, TraceRun* run)
{
    MapTraceInfo* info = run->info;
    info->hitWater = 0;
    const float h = leaf->waterSquares[0]->height;
    if (!(context->start.y > h) || !(context->direction.y < 0.0f))
        return;
    const D3DXVECTOR3 onPlane(0.0f, h, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXPLANE plane;
    D3DXPlaneFromPointNormal(&plane, &onPlane, &up);
    const D3DXVECTOR3 from = ToD3DX(context->start);
    const D3DXVECTOR3 to = from + ToD3DX(context->direction) * 200000.0f;
    D3DXVECTOR3 point;
    if (!D3DXPlaneIntersectLine(&point, &plane, &from, &to))
        return;
    if (!leaf->IsPointInside({point.x, point.y, point.z}))
        return;
    bool inSquare = false;
    for (u32_t i = 0; i < leaf->waterSquareCount && !inSquare; ++i) {
        const WaterSquare* square = leaf->waterSquares[i];
        inSquare = square && square->minX < point.x && point.x < square->maxX && square->minZ < point.z &&
                   point.z < square->maxZ;
    }
    if (!inSquare)
        return;
    // Below the nearest solid hit there is no water to see; without a solid hit any water counts.
    if (info->resultKind & TRACE_RESULT_OBJECT_BIT) {
        if (!(point.y > info->objHitPoint.y))
            return;
    } else if (run->staticHitRecorded && !(point.y > info->hitPoint.y)) {
        return;
    }
    info->hitWater = 1;
    info->waterPoint = {point.x + g_map.traceTileOffset[0], point.y, point.z + g_map.traceTileOffset[1]};
}

bool MapTraceLeafTest(OctreeNode* leaf, OctreeTraceContext* context)
{
    TraceRun* run = static_cast<TraceRun*>(context->user);
    MapTraceInfo* info = run->info;
    const u32_t flags = run->flags;
    const Vector3& start = context->start;
    const Vector3& direction = context->direction;
    float best = MAP_TRACE_NO_HIT;
    bool faceHit = false, meshHit = false;
    LeafTriangleHit triangle = {MAP_TRACE_NO_HIT, 0.0f, 0.0f, 0};
    u32_t face = 0;
    MapMesh* bestMesh = nullptr;
    Vector3 meshNormal = {0.0f, 1.0f, 0.0f};
    if (!(flags & TRACE_NO_GEOMETRY)) {
        if (leaf->geometry.OwnFaceCount()) {
            if (const MapTraceLeafData* prepared = MapTraceLeafPrepared(leaf)) {
                Vector3 low, high;
                MapTraceLeafBounds(prepared, &low, &high);
                if (ProbeBox(low, high, start, direction) &&
                    MapTraceLeafDataTriangles(prepared, start, direction, &triangle)) {
                    best = triangle.t;
                    face = triangle.face;
                    faceHit = true;
                }
            }
        }
        if (info)
            info->hitMapMesh = nullptr;
        for (u32_t i = 0; i < leaf->packedCount; ++i) {
            const PackedGridEntry& packed = leaf->packedEntries[i];
            if (packed.kind != OBJECT_GRID_MAP_MESH || !packed.owner)
                continue;
            // A mesh the segment does not come near cannot give a hit at or before its end. The
            // packed list keeps the box the mesh was linked with, its collision mesh's box: the
            // test needs nothing further from memory.
            if (!SegmentNearBox(start, direction, best < 1.0f ? best : 1.0f, packed.boxMin, packed.boxMax))
                continue;
            MapMesh* mesh = static_cast<MapMesh*>(packed.owner);
            if (!mesh->collision || !SegmentNearBox(start, direction, best < 1.0f ? best : 1.0f,
                                                    mesh->collision->boxMin, mesh->collision->boxMax))
                continue;
            s32_t meshFace = -1;
            Vector3 normal;
            const float t =
                mesh->collision->TraceRay(start, direction, &meshFace, (flags & TRACE_NORMAL) ? &normal : nullptr);
            if (t < best) {
                best = t;
                meshHit = true;
                face = static_cast<u32_t>(meshFace);
                bestMesh = mesh;
                meshNormal = normal;
            }
        }
        // A triangle beaten by a nearer map mesh is no triangle hit.
        if (meshHit && bestMesh && best < triangle.t)
            faceHit = false;
    }
    const Vector3 p = {start.x + best * direction.x, start.y + best * direction.y, start.z + best * direction.z};

    if (info) {
        float bestObj = OBJTRACE_NO_HIT;
        bool objectHit = false;
        if (flags & TRACE_OBJECTS) {
            bestObj = TraceObjects(leaf, context, run);
            objectHit = bestObj < OBJTRACE_NO_HIT;
        }
        if (!objectHit) {
            info->resultKind = TRACE_RESULT_NONE;
        } else {
            const float dx = p.x - start.x, dy = p.y - start.y, dz = p.z - start.z;
            info->resultKind = std::sqrt(dx * dx + dy * dy + dz * dz) <= bestObj ? TRACE_RESULT_OBJECT_BEHIND
                                                                                 : TRACE_RESULT_OBJECT_NEAREST;
        }
        if (faceHit || meshHit) {
            if (flags & TRACE_FACESETS)
                info->hitFaceSet = FirstCrossedSet(leaf, start, direction);
            info->fraction = best;
            info->faceIndex = face;
            info->hitMesh = &leaf->geometry;
            info->hitPoint = {p.x + g_map.traceTileOffset[0], p.y, p.z + g_map.traceTileOffset[1]};
            info->vegetationLayer = 0;
            info->hitMapMesh = meshHit ? bestMesh : nullptr;
            run->staticHitRecorded = true;
            if (flags & TRACE_NORMAL) {
                if (meshHit) {
                    info->normal = meshNormal;
                } else {
                    const OctreeGeometry& own = leaf->geometry;
                    const MapFace& hitFace = own.faces[face];
                    const Vector3& na = own.vertices[hitFace.indices[0]].normal;
                    const Vector3& nb = own.vertices[hitFace.indices[1]].normal;
                    const Vector3& nc = own.vertices[hitFace.indices[2]].normal;
                    const float u = triangle.u, v = triangle.v;
                    D3DXVECTOR3 n(na.x + u * (nc.x - na.x) + v * (nb.x - na.x),
                                  na.y + u * (nc.y - na.y) + v * (nb.y - na.y),
                                  na.z + u * (nc.z - na.z) + v * (nb.z - na.z));
                    D3DXVec3Normalize(&n, &n);
                    info->normal = {n.x, n.y, n.z};
                }
            }
            if (flags & TRACE_VEGLAYER)
                info->vegetationLayer = static_cast<s32_t>(MapVegetationLayerAt(&p.x));
        }
        if ((flags & TRACE_WATER) && leaf->waterSquareCount && leaf->waterSquares)
            TraceWater(leaf, context, run);
        if (info->resultKind == TRACE_RESULT_OBJECT_NEAREST)
            return true;
    }
    // A hit beyond this leaf does not stop the walk: a nearer one may lie in a leaf between, and the
    // leaf that holds the hit finds it again (a map mesh is linked to every leaf its box meets). A
    // map-mesh hit outside the whole tree has no such leaf and stops the walk here.
    if (!leaf->IsPointInside(p)) {
        const OctreeNode* root = OctreeGetRoot();
        return meshHit && !root->IsPointInside(p);
    }
    return faceHit || meshHit;
}

bool VisitLeaf(OctreeNode* leaf, OctreeTraceContext* context, float)
{
    return MapTraceLeafTest(leaf, context);
}

// The walk over the world's repetitions; traceTile(start, end, tileX, tileZ) walks one tile.
template <class TraceTile>
bool Walk(const float* start, const float* end, TraceTile traceTile, bool tiled, int maxTiles)
{
    OctreeNode* root = OctreeGetRoot();
    if (!root || !Finite3(start) || !Finite3(end))
        return false;
    if (!tiled) {
        // The base tile: a hit point must not carry the tile of an earlier tiled trace.
        g_map.traceTileOffset[0] = g_map.traceTileOffset[1] = 0.0f;
        return traceTile(start, end, 0, 0);
    }
    const float sizeX = root->boxMax.x - root->boxMin.x, sizeZ = root->boxMax.z - root->boxMin.z;
    const float halfX = 0.5f * sizeX, halfZ = 0.5f * sizeZ;
    s32_t ix = 0, iz = 0, endX = 0, endZ = 0;
    if (!TileIndex(start[0], halfX, sizeX, &ix) || !TileIndex(start[2], halfZ, sizeZ, &iz) ||
        !TileIndex(end[0], halfX, sizeX, &endX) || !TileIndex(end[2], halfZ, sizeZ, &endZ))
        return false;
    const float dirX = end[0] - start[0], dirZ = end[2] - start[2];
    const s32_t stepX = dirX > 0.0f ? 1 : -1, stepZ = dirZ > 0.0f ? 1 : -1;
    for (int walked = 0; maxTiles <= 0 || walked < maxTiles; ++walked) {
        const float offX = static_cast<float>(ix) * sizeX, offZ = static_cast<float>(iz) * sizeZ;
        g_map.traceTileOffset[0] = offX;
        g_map.traceTileOffset[1] = offZ;
        const float s[3] = {start[0] - offX, start[1], start[2] - offZ};
        const float e[3] = {end[0] - offX, end[1], end[2] - offZ};
        if (traceTile(s, e, ix, iz))
            return true;
        if (ix == endX && iz == endZ)
            return false;
        if ((stepX > 0 && ix > endX) || (stepX < 0 && ix < endX) || (stepZ > 0 && iz > endZ) ||
            (stepZ < 0 && iz < endZ))
            return false;
        const float cornerX = offX + root->boxMin.x, cornerZ = offZ + root->boxMin.z;
        const float boundaryX = stepX > 0 ? cornerX + sizeX : cornerX;
        const float boundaryZ = stepZ > 0 ? cornerZ + sizeZ : cornerZ;
        const float tx = dirX != 0.0f ? (boundaryX - start[0]) / dirX : 1e30f;
        const float tz = dirZ != 0.0f ? (boundaryZ - start[2]) / dirZ : 1e30f;
        if (tz < tx)
            iz += stepZ;
        else if (dirX != 0.0f)
            ix += stepX;
        else
            return false;
    }
    return false;
}

}  // namespace

bool MapTrace(const float* start, const float* end, MapTraceInfo* info)
{
    ++g_map.traceStamp;
    if (!start || !end)
        return false;
    TraceRun run = {info, info ? info->flags : 0u, false, false, false, {}};
    const bool tiled = info && (info->flags & TRACE_TILED);
    // Land triangles and map meshes count only up to the segment's end, and the walk takes nodes
    // nearest first: once it enters a node beyond the end, nothing later can be hit, unless objects
    // (whose hits may lie beyond the end) or water are asked for. (A little past 1, so that rounding
    // never drops a node that starts exactly at the end.)
    const float endAt = (run.flags & (TRACE_OBJECTS | TRACE_WATER)) ? 3.4e38f : 1.0001f;
    auto traceTile = [&run, endAt](const float* s, const float* e, s32_t tileX, s32_t tileZ) {
        // A walk that passed the end ends the tile walk too: later tiles lie further along.
        return MapTraceWalkSegment(s, e, VisitLeaf, &run, tileX, tileZ, endAt, &run.passedTheEnd) || run.passedTheEnd;
    };
    const bool hit = Walk(start, end, traceTile, tiled, MAP_TRACE_MAX_TILES);
    return hit && !run.passedTheEnd;
}

bool MapTraceWithinSegment(const float* start, const float* end, MapTraceInfo* info)
{
    if (!start || !end || !info)
        return false;
    const bool objectsWithin = !(info->flags & TRACE_OBJECTS) || (info->objOptions & OBJTRACE_WITHIN_SEGMENT);
    const float dx = end[0] - start[0], dy = end[1] - start[1], dz = end[2] - start[2];
    const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!objectsWithin || (info->flags & TRACE_WATER) || !(length >= kWithinSegmentShortest))
        return MapTrace(start, end, info);
    ++g_map.traceStamp;
    TraceRun run = {info, info->flags, false, false, false, {}};
    const bool tiled = (info->flags & TRACE_TILED) != 0;
    // Leaves the ray enters past the end hold no hit within the segment. The margin, in units along
    // the segment, covers the rounding of an object's hit point before its leaf takes it.
    const float endAt = 1.0f + std::fmax(1e-4f, kWithinSegmentMargin / length);
    auto traceTile = [&run, endAt](const float* s, const float* e, s32_t tileX, s32_t tileZ) {
        return MapTraceWalkSegment(s, e, VisitLeaf, &run, tileX, tileZ, endAt, &run.passedTheEnd) || run.passedTheEnd;
    };
    const bool hit = Walk(start, end, traceTile, tiled, MAP_TRACE_MAX_TILES);
    return hit && !run.passedTheEnd;
}

bool MapTraceWithCallback(const float* start, const float* end, bool (*callback)(OctreeNode*, OctreeTraceContext*),
                          void* user, bool tiled)
{
    if (!start || !end || !callback)
        return false;
    auto traceTile = [callback, user](const float* s, const float* e, s32_t tileX, s32_t tileZ) {
        return OctreeTraceSegment(s, e, callback, user, tileX, tileZ);
    };
    return Walk(start, end, traceTile, tiled, 0);
}

int WorldTraceIndoor(const float* start, const float* end, MapTraceInfo* hit, IndoorPosition* position)
{
    if (!start || !end || !hit)
        return 0;
    if (position && position->object)
        return IndoorTraceSegment(position, start, end, hit);
    // Traces run many times a frame: without any indoor mesh there is nothing to ask.
    if (IndoorLinkCount() == 0)
        return 0;
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    int found = 0;
    MapTraceInfo best = *hit;
    IndoorPosition bestInside = {0, 0};
    for (s32_t i = 0; i < count; ++i) {
        auto* structure = dynamic_cast<GraphObj*>(objects[i]);
        const ObjectGridEntry* entry = structure ? structure->GetGridEntry() : nullptr;
        if (!structure || !structure->indoorLink || !entry)
            continue;
        if (!IndoorSegmentMeetsBox(start, end, entry->boxMin, entry->boxMax))
            continue;
        IndoorPosition inside = {reinterpret_cast<PluginWord>(structure), 0};
        MapTraceInfo candidate = *hit;
        if (IndoorTraceSegment(&inside, start, end, &candidate) && (!found || candidate.fraction < best.fraction)) {
            best = candidate;
            bestInside = inside;
            found = 1;
        }
    }
    if (found) {
        *hit = best;
        if (position)
            *position = bestInside;
    }
    return found;
}

void MapGetBounds(const Vector3** bounds)
{
    if (bounds)
        *bounds = g_map.bounds;
}

void MapMatchEdgeNormals()
{
    MapVertex* vertices = g_map.landVertices;
    const u32_t count = g_map.landVertexCount;
    const Vector3 low = g_map.bounds[0], high = g_map.bounds[1];
    constexpr float kTolerance = 0.001f;
    // The edge lists grow with the land: a long edge has more than any fixed number of vertices.
    std::vector<u32_t> minEdge, maxEdge;
    for (int pass = 0; pass < 2; ++pass) {
        minEdge.clear();
        maxEdge.clear();
        for (u32_t i = 0; i < count; ++i) {
            const Vector3& p = vertices[i].position;
            const float c = pass == 0 ? p.x : p.z;
            if (std::fabs(c - (pass == 0 ? low.x : low.z)) < kTolerance)
                minEdge.push_back(i);
            if (std::fabs(c - (pass == 0 ? high.x : high.z)) < kTolerance)
                maxEdge.push_back(i);
        }
        for (u32_t m : maxEdge) {
            const Vector3& q = vertices[m].position;
            for (u32_t n : minEdge) {
                const Vector3& p = vertices[n].position;
                const float other = pass == 0 ? std::fabs(p.z - q.z) : std::fabs(p.x - q.x);
                if (std::fabs(p.y - q.y) < kTolerance && other < kTolerance) {
                    vertices[m].normal = vertices[n].normal;
                    break;
                }
            }
        }
    }
}
