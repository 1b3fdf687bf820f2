#include "world/wires/wire_shadows.h"

#include <cmath>
#include <vector>

#include "core/console/console.h"
#include "map/octree/octree.h"
#include "map/octree/octree_query.h"
#include "map/meshes/polygon_clip.h"
#include "map/terrain/world_offset.h"
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "render/render_cvars.h"
#include "world/objects/graph_obj.h"
#include "world/objects/shader_settings.h"
#include "world/nodes/shadow_overlay.h"
#include "world/wires/wire_state.h"

WireShadowMesh::~WireShadowMesh()
{
    delete[] positions;
    delete[] texCoords;
}

void WireFreeShadowMeshes(WireShadowMesh* list)
{
    while (list) {
        WireShadowMesh* next = list->next;
        delete list;
        list = next;
    }
}

namespace {

struct TouchedLeaf {
    OctreeNode* leaf;
    s32_t tileX;
    s32_t tileZ;
};

struct TouchedLeaves {
    TouchedLeaf leaves[WIRE_SHADOW_MAX_LEAVES];
    u32_t count = 0;
    bool overflow = false;  // a leaf found no room
};

TouchedLeaves g_touched;

// Twice the area below which a projected caster triangle covers nothing.
constexpr float kDegenerateArea = 1e-8f;

// The geometry of one span's build; the buffers live for one ConObjBuildShadows call.
struct ShadowWork {
    std::vector<D3DXVECTOR3> casterPositions;
    std::vector<D3DXVECTOR2> casterTexCoords;
    std::vector<D3DXVECTOR3> outPositions;
    std::vector<D3DXVECTOR2> outTexCoords;
    bool casterTruncated = false;
    bool outputTruncated = false;
};

float TextureRun(float length, float textureLength)
{
    return textureLength > 0.0f ? length / textureLength : 0.0f;
}

// A quad along the wire as two triangles: the corners at the start s0 (v = 0) and s1 (v = 1) and at
// the end e1 and e0, with the texture coordinate along the wire from u0 to u1.
void AddCasterQuad(ShadowWork& work, const D3DXVECTOR3& s0, const D3DXVECTOR3& s1, const D3DXVECTOR3& e1,
                   const D3DXVECTOR3& e0, float u0, float u1)
{
    if (work.casterPositions.size() + 6 > WIRE_SHADOW_MAX_CASTER_VERTICES) {
        work.casterTruncated = true;
        return;
    }
    const D3DXVECTOR3 corners[6] = {s0, s1, e1, s0, e1, e0};
    const D3DXVECTOR2 coords[6] = {{u0, 0.0f}, {u0, 1.0f}, {u1, 1.0f}, {u0, 0.0f}, {u1, 1.0f}, {u1, 0.0f}};
    work.casterPositions.insert(work.casterPositions.end(), corners, corners + 6);
    work.casterTexCoords.insert(work.casterTexCoords.end(), coords, coords + 6);
}

// Horizontal and perpendicular to the span; along x for a span that stands straight up.
D3DXVECTOR3 SidewaysOf(const D3DXVECTOR3& along)
{
    D3DXVECTOR3 side(along.z, 0.0f, -along.x);
    const float length = D3DXVec3Length(&side);
    return length > 1e-6f ? side * (1.0f / length) : D3DXVECTOR3(1.0f, 0.0f, 0.0f);
}

// A "CROSS" wire: the sagging curve in segments, each as a vertical and a horizontal quad.
void AddCrossWire(ShadowWork& work, const ConObjGroup& group, const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const u32_t segments = group.segments;
    if (segments == 0)
        return;
    const D3DXVECTOR3 along = b - a;
    const D3DXVECTOR3 sag(0.0f, group.sag, 0.0f);
    const D3DXVECTOR3 control1 = a + along * 0.33f - sag;
    const D3DXVECTOR3 control2 = a + along * 0.66f - sag;
    const D3DXVECTOR3 tangentA = control1 - a;
    const D3DXVECTOR3 tangentB = b - control2;
    D3DXVECTOR3 points[MAX_WIRE_SEGMENTS + 1];
    points[0] = a;
    points[segments] = b;
    for (u32_t i = 1; i < segments; ++i)
        D3DXVec3Hermite(&points[i], &a, &tangentA, &b, &tangentB, static_cast<float>(i) / segments);

    const D3DXVECTOR3 up(0.0f, group.width, 0.0f);
    const D3DXVECTOR3 side = SidewaysOf(along) * group.width;
    float u = 0.0f;
    for (u32_t i = 0; i < segments; ++i) {
        const D3DXVECTOR3& p = points[i];
        const D3DXVECTOR3& q = points[i + 1];
        const D3DXVECTOR3 step = q - p;
        const float next = u + TextureRun(D3DXVec3Length(&step), group.textureLength);
        AddCasterQuad(work, p - up, p + up, q + up, q - up, u, next);
        AddCasterQuad(work, p - side, p + side, q + side, q - side, u, next);
        u = next;
    }
}

// A "YFLAT" band: one vertical quad around the straight segment.
void AddBandWire(ShadowWork& work, const ConObjGroup& group, const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const D3DXVECTOR3 up(0.0f, group.width, 0.0f);
    const D3DXVECTOR3 along = b - a;
    AddCasterQuad(work, a - up, a + up, b + up, b - up, 0.0f, TextureRun(D3DXVec3Length(&along), group.textureLength));
}

void BoxOf(const D3DXVECTOR3* points, size_t count, D3DXVECTOR3* boxMin, D3DXVECTOR3* boxMax)
{
    *boxMin = D3DXVECTOR3(1e30f, 1e30f, 1e30f);
    *boxMax = D3DXVECTOR3(-1e30f, -1e30f, -1e30f);
    for (size_t i = 0; i < count; ++i) {
        D3DXVec3Minimize(boxMin, boxMin, &points[i]);
        D3DXVec3Maximize(boxMax, boxMax, &points[i]);
    }
}

// The caster triangles laid along the sun onto one map triangle and cut to it.
void ProjectOntoTriangle(ShadowWork& work, const D3DXVECTOR3* mapTriangle, const D3DXVECTOR3& sunReach)
{
    D3DXPLANE plane;
    D3DXPlaneFromPoints(&plane, &mapTriangle[0], &mapTriangle[1], &mapTriangle[2]);
    const size_t casterCount = work.casterPositions.size();
    for (size_t t = 0; t + 3 <= casterCount; t += 3) {
        D3DXVECTOR3 projected[3];
        bool meets = true;
        for (int c = 0; c < 3 && meets; ++c) {
            const D3DXVECTOR3& v = work.casterPositions[t + c];
            const D3DXVECTOR3 beyond = v - sunReach;
            meets = D3DXPlaneIntersectLine(&projected[c], &plane, &v, &beyond) != nullptr;
        }
        if (!meets)
            continue;
        const D3DXVECTOR3 e1 = projected[1] - projected[0], e2 = projected[2] - projected[0];
        D3DXVECTOR3 cross;
        D3DXVec3Cross(&cross, &e1, &e2);
        if (D3DXVec3LengthSq(&cross) < kDegenerateArea * kDegenerateArea)
            continue;
        D3DXVECTOR3 piecePositions[CLIP_TRIANGLE_MAX_TRIANGLES * 3];
        D3DXVECTOR2 pieceTexCoords[CLIP_TRIANGLE_MAX_TRIANGLES * 3];
        const int pieces = ClipTriangleToTrianglePrism(piecePositions, pieceTexCoords, mapTriangle, projected,
                                                       &work.casterTexCoords[t]);
        const size_t vertices = static_cast<size_t>(pieces) * 3;
        if (work.outPositions.size() + vertices > WIRE_SHADOW_MAX_OUTPUT_VERTICES) {
            work.outputTruncated = true;
            return;
        }
        work.outPositions.insert(work.outPositions.end(), piecePositions, piecePositions + vertices);
        work.outTexCoords.insert(work.outTexCoords.end(), pieceTexCoords, pieceTexCoords + vertices);
    }
}

// The triangles of every touched leaf, in world space, receive the caster.
void ProjectOntoLeaves(ShadowWork& work, const D3DXVECTOR3& sunReach)
{
    for (u32_t l = 0; l < g_touched.count && !work.outputTruncated; ++l) {
        const TouchedLeaf& touched = g_touched.leaves[l];
        const OctreeGeometry& geometry = touched.leaf->geometry;
        for (u32_t f = 0; f < geometry.faceCount && !work.outputTruncated; ++f) {
            D3DXVECTOR3 triangle[3];
            bool valid = true;
            for (int c = 0; c < 3 && valid; ++c) {
                const u16_t index = geometry.faces[f].indices[c];
                valid = index < geometry.vertexCount;
                if (!valid)
                    break;
                const Vector3& p = geometry.vertices[index].position;
                float world[3] = {p.x, p.y, p.z};
                MapOffsetByWorld(world, touched.tileX, touched.tileZ);
                triangle[c] = D3DXVECTOR3(world[0], world[1], world[2]);
            }
            if (valid)
                ProjectOntoTriangle(work, triangle, sunReach);
        }
    }
}

bool BoxesOverlap(const float* a, const float* b)
{
    return a[0] <= b[3] && a[3] >= b[0] && a[1] <= b[4] && a[4] >= b[1] && a[2] <= b[5] && a[5] >= b[2];
}

// The span's shadow laid onto the structures, trees and map objects whose box meets the wire's:
// the box from the wires down to their shadow on the map, where whatever can catch it stands.
void LayShadowOnObjects(const WireShadowMesh& shadow, const float* casterBox)
{
    if (shadow.vertexCount < 3)
        return;
    const float reach[6] = {std::fmin(casterBox[0], shadow.boxMin.x), std::fmin(casterBox[1], shadow.boxMin.y),
                            std::fmin(casterBox[2], shadow.boxMin.z), std::fmax(casterBox[3], shadow.boxMax.x),
                            std::fmax(casterBox[4], shadow.boxMax.y), std::fmax(casterBox[5], shadow.boxMax.z)};
    ShaderSetting shadowTemplate;
    shadowTemplate.kind = SHADOW_TEMPLATE_TRIANGLES;
    shadowTemplate.texture = shadow.texture;
    shadowTemplate.enabled = 1;
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* object = objects[i];
        const s32_t type = object ? object->GetTypeId() : OBJECT_TYPE_ROOT;
        if (type != OBJECT_TYPE_STRUCTURE && type != OBJECT_TYPE_TREE && type != OBJECT_TYPE_MAP_OBJECT)
            continue;
        GraphObj* receiver = dynamic_cast<GraphObj*>(object);
        if (!receiver)
            continue;
        float box[6];
        receiver->GetGeometryBounds(box);
        if (BoxesOverlap(box, reach))
            receiver->BuildShadowOverlays(&shadowTemplate, shadow.positions, shadow.texCoords, shadow.vertexCount / 3);
    }
}

WireShadowMesh* MakeRecord(const ConObjGroup& group, const ShadowWork& work)
{
    WireShadowMesh* record = new WireShadowMesh;
    record->name.Assign("con_obj_shadow");
    record->texture = group.texture;
    const u32_t count = static_cast<u32_t>(work.outPositions.size());
    record->vertexCount = count;
    if (count == 0) {
        record->boxMin = {-10.0f, -10.0f, -10.0f};
        record->boxMax = {10.0f, 10.0f, 10.0f};
        return record;
    }
    record->positions = new Vector3[count];
    record->texCoords = new float[count * 2];
    for (u32_t i = 0; i < count; ++i) {
        record->positions[i] = {work.outPositions[i].x, work.outPositions[i].y, work.outPositions[i].z};
        record->texCoords[i * 2] = work.outTexCoords[i].x;
        record->texCoords[i * 2 + 1] = work.outTexCoords[i].y;
    }
    D3DXVECTOR3 boxMin, boxMax;
    BoxOf(work.outPositions.data(), count, &boxMin, &boxMax);
    record->boxMin = {boxMin.x, boxMin.y, boxMin.z};
    record->boxMax = {boxMax.x, boxMax.y, boxMax.z};
    return record;
}

void BuildSpanShadow(ShadowWork& work, const ConObjGroup& group, ConObjPointSet* set, s32_t span,
                     const D3DXVECTOR3& sunReach)
{
    work.casterPositions.clear();
    work.casterTexCoords.clear();
    work.outPositions.clear();
    work.outTexCoords.clear();
    work.casterTruncated = work.outputTruncated = false;
    for (s32_t n = 0; n < MAX_WIRE_POINTS; ++n) {
        if (!set->WireExists(n))
            continue;
        const Vector3& from = set->minusPoints[n];
        const Vector3& to = set->next->plusPoints[n];
        const D3DXVECTOR3 a(from.x, from.y, from.z), b(to.x, to.y, to.z);
        if (group.profile == WIRE_PROFILE_YFLAT)
            AddBandWire(work, group, a, b);
        else
            AddCrossWire(work, group, a, b);
    }
    if (work.casterPositions.empty())
        return;
    if (work.casterTruncated)
        ConPrint(0, "WARNING: Shadow of '%s' span %d: more than %u caster vertices, the rest is left out\n",
                 group.name.Text(), span, WIRE_SHADOW_MAX_CASTER_VERTICES);

    D3DXVECTOR3 boxMin, boxMax;
    BoxOf(work.casterPositions.data(), work.casterPositions.size(), &boxMin, &boxMax);
    const float box[6] = {boxMin.x, boxMin.y, boxMin.z, boxMax.x, boxMax.y, boxMax.z};
    g_touched.count = 0;
    g_touched.overflow = false;
    OctreeQueryBox(box, ConObjCollectLeaf);
    if (g_touched.overflow)
        ConPrint(0, "WARNING: Shadow of '%s' span %d: more than %u map leaves, the rest is left out\n",
                 group.name.Text(), span, WIRE_SHADOW_MAX_LEAVES);
    if (g_touched.count == 0)
        return;

    ProjectOntoLeaves(work, sunReach);
    if (work.outputTruncated)
        ConPrint(0, "WARNING: Shadow of '%s' span %d: more than %u vertices, the rest is left out\n", group.name.Text(),
                 span, WIRE_SHADOW_MAX_OUTPUT_VERTICES);
    WireShadowMesh* record = MakeRecord(group, work);
    record->next = set->shadows;
    set->shadows = record;
    LayShadowOnObjects(*record, box);
}

}  // namespace

int ConObjCollectLeaf(OctreeNode* leaf, s32_t tileX, s32_t tileZ)
{
    if (!leaf || leaf->geometry.faceCount == 0)
        return 0;
    for (u32_t i = 0; i < g_touched.count; ++i) {
        const TouchedLeaf& known = g_touched.leaves[i];
        if (known.leaf == leaf && known.tileX == tileX && known.tileZ == tileZ)
            return 0;
    }
    if (g_touched.count >= WIRE_SHADOW_MAX_LEAVES) {
        g_touched.overflow = true;
        return 0;
    }
    g_touched.leaves[g_touched.count++] = {leaf, tileX, tileZ};
    return 0;
}

void ConObjBuildShadows()
{
    const Vector3 sun = mvsundir.Vector();
    const D3DXVECTOR3 sunReach = D3DXVECTOR3(sun.x, sun.y, sun.z) * WIRE_SHADOW_PROJECTION_LENGTH;
    ShadowWork work;
    work.casterPositions.reserve(WIRE_SHADOW_MAX_CASTER_VERTICES);
    work.casterTexCoords.reserve(WIRE_SHADOW_MAX_CASTER_VERTICES);
    for (s32_t g = 0; g < g_conObj.groupCount; ++g) {
        const ConObjGroup& group = *g_conObj.groups[g];
        s32_t span = 0;
        for (ConObjPointSet* set = group.first; set && set->next; set = set->next, ++span) {
            // A second build replaces the shadows of the first.
            WireFreeShadowMeshes(set->shadows);
            set->shadows = nullptr;
            BuildSpanShadow(work, group, set, span, sunReach);
        }
    }
}
