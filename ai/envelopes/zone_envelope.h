// Zone envelopes: flat polygons in the x-z plane. A zone is an obstacle for the soldiers' route
// search (routes go round its convex hull, the outer outline, and stay out of the polygon itself,
// the inner outline) and a container of actors ("mission.zns") whose death clears a sector. A zone
// with the inside flag can be entered by routes; the obstacles nested in it are searched when a
// route end lies inside it.
#pragma once
#include "ai/envelopes/envelope.h"

class ObstacleTreeNode;

constexpr int ZONE_OUTLINE_OUTER = 0;
constexpr int ZONE_OUTLINE_INNER = 1;

// Vertex types.
constexpr s32_t ZONE_VERTEX_ON_HULL = 1;  // on the outer outline
constexpr s32_t ZONE_VERTEX_CONVEX = 2;
constexpr s32_t ZONE_VERTEX_REFLEX = 4;  // straight or reflex corner

struct ZoneVertex {
    float x = 0.0f;
    float z = 0.0f;
    u32_t searchStamp = 0;  // the route that last detoured by this corner
    s32_t type = 0;
};

// A route segment the detour search looks at: from start to goal (x, z each).
struct ZoneRoute {
    float start[2] = {};
    float goal[2] = {};
};

// The detour the search found: the corner pushed out, and the corner.
struct ZoneDetour {
    float point[2] = {};
    ZoneVertex* corner = nullptr;
};

class ZoneEnvelope : public Envelope {
public:
    // Builds the zone from n vertices (x, z pairs); the caller's array is reversed in place when it
    // runs clockwise. Registers the class "ZoneEnvelope" with "AllActorsDead" and, with a name,
    // enters the global objects.
    explicit ZoneEnvelope(const char* envelopeName = nullptr, float* polygon = nullptr, u32_t count = 0,
                          u8_t insideFlag = 0);
    ~ZoneEnvelope() override;

    // bool cell = no living actor in the object list (true without a list).
    void AllActorsDeadMethod(ScriptArgWord* args);
    // True at the first living actor of the object list; false without a list.
    bool HasLivingActor() const;
    bool AllActorsDead() const { return !HasLivingActor(); }

    // True when (x, z) lies inside the outline (0 outer, 1 inner): odd crossing count of the ray
    // toward increasing x.
    bool ContainsPoint(int outline, const float* point) const;
    bool ContainsPoint(int outline, float x, float z) const
    {
        const float point[2] = {x, z};
        return ContainsPoint(outline, point);
    }
    // True when the segment a-b crosses the outline; distance receives the smallest segment
    // parameter (0..1) of the crossings, 1e30 when none.
    bool IntersectOutline(int outline, const float* a, const float* b, float* distance) const;
    // The corner of the outline to go by on the way from the route's start to its goal, pushed out
    // by the push distance; corners stamped with the current route number (g_actors.routeNumber)
    // are skipped. True when one was found.
    bool FindDetourPoint(int outline, const ZoneRoute& route, float push, ZoneDetour* out);

    const ZoneVertex* GetVertices() const { return vertices; }
    u32_t VertexCount() const { return vertexCount; }
    // The outline's vertex indices (ending in -1) and its count.
    const s32_t* Outline(int outline) const { return outline == ZONE_OUTLINE_OUTER ? outer : inner; }
    u32_t OutlineCount(int outline) const { return outline == ZONE_OUTLINE_OUTER ? outerCount : innerCount; }
    bool GetInsideFlag() const { return inside != 0; }
    void SetObstacleNode(ObstacleTreeNode* node) { obstacleNode = node; }
    ObstacleTreeNode* GetObstacleNode() const { return obstacleNode; }

    ZoneVertex* vertices = nullptr;
    u32_t vertexCount = 0;
    s32_t* outer = nullptr;
    u32_t outerCount = 0;
    s32_t* inner = nullptr;
    u32_t innerCount = 0;
    float minX = 1e30f, minZ = 1e30f, maxX = -1e30f, maxZ = -1e30f;
    u8_t outerDiffers = 0;  // the outer outline is the hull (the polygon is not convex)
    ObstacleTreeNode* obstacleNode = nullptr;
    u8_t inside = 0;
    u32_t routeStamp = 0;  // the route number of the last route that made a detour round the zone
};

// A zone of the polygon (count x, z pairs, copied first) with the inside flag; the name may be null.
ZoneEnvelope* CreateZoneEnvelope(const char* name, const float* polygon, u32_t count, u8_t inside);
