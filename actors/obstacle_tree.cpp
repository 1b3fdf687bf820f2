// The obstacle tree and the detours of routes round its zones.
#include "actors/obstacle_tree.h"

#include <cstdlib>

#include "actors/actor_state.h"
#include "ai/soldier/ai_state.h"
#include "ai/soldier/path_follower.h"
#include "ai/envelopes/zone_envelope.h"
#include "core/log.h"
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

namespace {

constexpr float kNoHit = 1e30f;
// How far beyond a zone's corner a detour point lies: room for a soldier's body.
constexpr float kDetourPush = 10.0f;

bool HoldsEnd(const ZoneEnvelope* zone, const float* a, const float* b)
{
    return zone->ContainsPoint(ZONE_OUTLINE_OUTER, a[0], a[1]) || zone->ContainsPoint(ZONE_OUTLINE_OUTER, b[0], b[1]);
}

// The detour of the segment that ends at the waypoint round the zone's outline: the corner to go by,
// pushed out, written with the zone into the spare. The corner is stamped with the route, so that
// one route goes by each corner once.
bool DetourRound(ZoneEnvelope* zone, int outline, const float* a, const float* b, PathWaypoint* spare)
{
    ZoneRoute route;
    route.start[0] = a[0];
    route.start[1] = a[1];
    route.goal[0] = b[0];
    route.goal[1] = b[1];
    ZoneDetour detour;
    if (!zone->FindDetourPoint(outline, route, kDetourPush, &detour))
        return false;
    detour.corner->searchStamp = g_actors.routeNumber;
    spare->x = detour.point[0];
    spare->z = detour.point[1];
    spare->zone = zone;
    return true;
}

}  // namespace

ObstacleTreeNode::~ObstacleTreeNode()
{
    for (u32_t i = 0; i < childCount; ++i)
        delete children[i];
    std::free(children);
    children = nullptr;
    childCount = 0;
    flag = 1;
}

void ObstacleTreeNode::AddChild(ObstacleTreeNode* node)
{
    for (u32_t i = 0; i < childCount; ++i) {
        if (children[i] == node)
            return;
    }
    void* grown = std::realloc(children, sizeof(ObstacleTreeNode*) * (childCount + 1));
    if (!grown)
        return;
    children = static_cast<ObstacleTreeNode**>(grown);
    children[childCount++] = node;
}

void ObstacleTreeNode::SetEnvelope(ZoneEnvelope* zone)
{
    envelope = zone;
    if (zone)
        zone->SetObstacleNode(this);
}

void ObstacleTreeAddMeshZones(GraphNode* node, const AnimZone* zone, ObstacleTreeNode* parent)
{
    D3DXMATRIX world;
    node->UpdateTransform(&world);
    if (zone->pointCount > 0 && zone->points && node->HasZone(zone)) {
        float* polygon = new float[static_cast<size_t>(zone->pointCount) * 2];
        for (u16_t i = 0; i < zone->pointCount; ++i) {
            const D3DXVECTOR3 point(zone->points[i].x, zone->points[i].y, zone->points[i].z);
            D3DXVECTOR3 out;
            D3DXVec3TransformCoord(&out, &point, &world);
            polygon[2 * i] = out.x;
            polygon[2 * i + 1] = out.z;
        }
        ZoneEnvelope* envelope = CreateZoneEnvelope(nullptr, polygon, zone->pointCount, zone->cross);
        delete[] polygon;
        // The table owns the zone; one it cannot take is no obstacle, and its inner zones hang
        // where it would have.
        if (EnvelopeRegister(envelope) < 0) {
            Log("WARNING: no envelope for an obstacle zone of %s\n", node->GetName());
            delete envelope;
        } else {
            ObstacleTreeNode* treeNode = new ObstacleTreeNode();
            treeNode->SetEnvelope(envelope);
            parent->AddChild(treeNode);
            parent = treeNode;
        }
    }
    for (u16_t i = 0; i < zone->childCount; ++i) {
        if (zone->children && zone->children[i])
            ObstacleTreeAddMeshZones(node, zone->children[i], parent);
    }
}

void BuildObstacleTree()
{
    FreeObstacleTree();
    ObstacleTree* tree = new ObstacleTree();
    g_actors.obstacleTree = tree;
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* object = objects[i];
        if (!object || object->typeId == OBJECT_TYPE_ROOT || object->typeId == OBJECT_TYPE_GRAPHIC)
            continue;
        GraphObj* graphic = dynamic_cast<GraphObj*>(object);
        GraphNode* root = graphic ? graphic->GetRootNode() : nullptr;
        if (!root || root->GetChildCount() == 0)
            continue;
        GraphNode* first = root->GetChild(0);
        const AnimMesh* mesh = first->GetAnimMesh();
        if (!mesh || !mesh->zoneRoot || mesh->zoneRoot->childCount == 0)
            continue;
        ObstacleTreeAddMeshZones(first, mesh->zoneRoot, &tree->root);
    }
    for (Envelope* envelope : g_ai.envelopes) {
        if (!envelope || envelope->kind != ENVELOPE_KIND_ZONE)
            continue;
        ObstacleTreeNode* node = new ObstacleTreeNode();
        node->SetEnvelope(static_cast<ZoneEnvelope*>(envelope));
        tree->root.AddChild(node);
    }
}

void FreeObstacleTree()
{
    delete g_actors.obstacleTree;
    g_actors.obstacleTree = nullptr;
}

void ObstacleTreeFindBlockingZone(ObstacleTreeNode* node, const float* a, const float* b, ZoneEnvelope** zone,
                                  float* distance)
{
    if (!node)
        return;
    for (u32_t i = 0; i < node->ChildCount(); ++i) {
        ObstacleTreeNode* child = node->At(i);
        ZoneEnvelope* z = child->GetEnvelope();
        if (!z)
            continue;
        const bool descend = HoldsEnd(z, a, b) && z->GetInsideFlag();
        float hit = kNoHit;
        if (!descend) {
            if (!z->IntersectOutline(ZONE_OUTLINE_OUTER, a, b, &hit))
                continue;
        }
        const bool inner = z->IntersectOutline(ZONE_OUTLINE_INNER, a, b, &hit);
        if (!inner && !z->GetInsideFlag())
            continue;
        if (descend) {
            ObstacleTreeFindBlockingZone(child, a, b, zone, distance);
        } else if (hit < *distance) {
            *distance = hit;
            *zone = z;
        }
    }
}

void ObstacleTreeFindInnermostZone(ObstacleTreeNode* node, const float* point, ZoneEnvelope** zone)
{
    if (!node)
        return;
    for (u32_t i = 0; i < node->ChildCount(); ++i) {
        ObstacleTreeNode* child = node->At(i);
        ZoneEnvelope* z = child->GetEnvelope();
        if (!z || !z->ContainsPoint(ZONE_OUTLINE_OUTER, point[0], point[1]))
            continue;
        if (z->GetInsideFlag()) {
            ObstacleTreeFindInnermostZone(child, point, zone);
            continue;
        }
        *zone = z;
        return;
    }
}

bool PathDetourStep(PathWaypoint* waypoint, PathWaypoint* spare, PathFollower*)
{
    if (!waypoint || !spare)
        return false;
    const PathWaypoint* previous = waypoint->previous;
    if (!previous)
        return false;
    const float a[2] = {previous->x, previous->z};
    const float b[2] = {waypoint->x, waypoint->z};
    ObstacleTreeNode* root = g_actors.obstacleTree ? &g_actors.obstacleTree->root : nullptr;
    float distance = kNoHit;
    ZoneEnvelope* zone = nullptr;
    ObstacleTreeFindBlockingZone(root, a, b, &zone, &distance);
    float miss = 0.0f;
    if (zone) {
        if (HoldsEnd(zone, a, b)) {
            if (!zone->IntersectOutline(ZONE_OUTLINE_INNER, a, b, &miss))
                return false;
            return DetourRound(zone, ZONE_OUTLINE_INNER, a, b, spare);
        }
        return DetourRound(zone, ZONE_OUTLINE_OUTER, a, b, spare);
    }
    ObstacleTreeFindInnermostZone(root, a, &zone);
    if (!zone)
        ObstacleTreeFindInnermostZone(root, b, &zone);
    if (!zone || !zone->IntersectOutline(ZONE_OUTLINE_INNER, a, b, &miss))
        return false;
    return DetourRound(zone, ZONE_OUTLINE_INNER, a, b, spare);
}

void BuildPathAroundObstacles(PathWaypoint* start, const Vector3& goal, PathFollower* follower)
{
    ++g_actors.routeNumber;
    PathWaypoint* end = follower->AllocWaypoint(&goal);
    if (!end)
        return;
    end->previous = start;
    end->next = start->next;
    start->next = end;
    PathWaypoint* spare = follower->AllocWaypoint(nullptr);
    PathWaypoint* w = end;
    while (w && spare) {
        if (!PathDetourStep(w, spare, follower)) {
            w = w->next;
            continue;
        }
        if (ZoneEnvelope* zone = static_cast<ZoneEnvelope*>(spare->zone))
            zone->routeStamp = g_actors.routeNumber;
        spare->previous = w->previous;
        spare->next = w;
        if (w->previous)
            w->previous->next = spare;
        w->previous = spare;
        w = spare;
        spare = follower->AllocWaypoint(nullptr);
    }
}
