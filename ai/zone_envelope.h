// Zone envelopes: flat polygons in the x-z plane that routes go round. A zone has an outer and an
// inner outline (both the polygon it was made from, until zone files give them apart) and an inside
// flag: a zone with the flag set can be entered by routes, and the obstacles nested in it are
// searched when a route end lies inside it.
#pragma once
#include "ai/envelope.h"

class ObstacleTreeNode;
struct PathWaypoint;

constexpr int ZONE_OUTLINE_OUTER = 0;
constexpr int ZONE_OUTLINE_INNER = 1;

class ZoneEnvelope : public Envelope {
public:
    ZoneEnvelope() { kind = ENVELOPE_KIND_ZONE; }
    ~ZoneEnvelope() override;
    ZoneEnvelope(const ZoneEnvelope&) = delete;
    ZoneEnvelope& operator=(const ZoneEnvelope&) = delete;

    // True when (x, z) lies inside the outline (even-odd rule).
    bool ContainsPoint(int outline, float x, float z) const;
    // True when the segment from a to b (x and z each) crosses an edge of the outline; distance
    // receives how far from a along the segment the first crossing lies.
    bool IntersectOutline(int outline, const float* a, const float* b, float* distance) const;
    // The detour rule: true when it wrote a detour point round the zone for the segment that ends at
    // the waypoint into the spare waypoint, with the zone. Mode 0 goes round the outside, mode 1
    // stays inside. Routes round zones come with the zone rules; until then no detour is made.
    virtual bool IntersectSegment(PathWaypoint* waypoint, int mode, PathWaypoint* spare);
    bool GetInsideFlag() const { return inside != 0; }
    void SetObstacleNode(ObstacleTreeNode* node) { obstacleNode = node; }
    ObstacleTreeNode* GetObstacleNode() const { return obstacleNode; }

    float* outlines[2] = {};  // x, z pairs
    u32_t outlineCounts[2] = {};
    u8_t inside = 0;
    u32_t routeStamp = 0;  // the route number of the last route that made a detour round the zone
    ObstacleTreeNode* obstacleNode = nullptr;
};

// A zone of the polygon (count x, z pairs, copied) with the inside flag; the name may be null.
ZoneEnvelope* CreateZoneEnvelope(const char* name, const float* polygon, u32_t count, u8_t inside);
