// The obstacle tree: the zones of the mission that soldiers' routes go round, nested as the meshes
// of the world's objects nest them, with the mission file's zones under the root. Route planning
// turns the straight segment to a goal into a chain of waypoints that crosses no obstacle.
#pragma once
#include "core/types.h"

struct AnimZone;
class GraphNode;
class PathFollower;
class ZoneEnvelope;
struct PathWaypoint;

class ObstacleTreeNode {
public:
    ObstacleTreeNode() = default;
    // Deletes the children, depth first, and the child array; the envelope belongs to the table.
    ~ObstacleTreeNode();
    ObstacleTreeNode(const ObstacleTreeNode&) = delete;
    ObstacleTreeNode& operator=(const ObstacleTreeNode&) = delete;

    // Appends the node unless that very node is already a child (the array grows by one).
    void AddChild(ObstacleTreeNode* node);
    // Links node and envelope both ways.
    void SetEnvelope(ZoneEnvelope* zone);
    ZoneEnvelope* GetEnvelope() const { return envelope; }
    // The child at the index; null when the index is not below the count.
    ObstacleTreeNode* At(u32_t index) const { return index < childCount ? children[index] : nullptr; }
    u32_t ChildCount() const { return childCount; }

private:
    ObstacleTreeNode** children = nullptr;
    u32_t childCount = 0;
    ZoneEnvelope* envelope = nullptr;
    u8_t flag = 1;
};

struct ObstacleTree {
    ObstacleTreeNode root;
};

// Gathers the zones of the world objects' meshes and of the envelope table (mission start, after the
// objects and envelopes are loaded). A tree built before is freed first.
void BuildObstacleTree();
// Deletes the tree (leaving a mission); the zones stay in the envelope table.
void FreeObstacleTree();
// Adds the zone records of a mesh below the graphic node's parent tree node, recursively; each zone
// with points that the node accepts becomes an envelope (registered) and a tree node.
void ObstacleTreeAddMeshZones(GraphNode* node, const AnimZone* zone, ObstacleTreeNode* parent);
// The nearest zone among the node's children (descending into enterable zones that hold an end)
// whose outlines the segment a-b (x, z each) crosses: zone and distance are updated when a zone's
// hit distance is below the distance given.
void ObstacleTreeFindBlockingZone(ObstacleTreeNode* node, const float* a, const float* b, ZoneEnvelope** zone,
                                  float* distance);
// The innermost zone holding the point (x, z) whose inside flag is clear, searching into enterable
// zones; zone is left as it is when none.
void ObstacleTreeFindInnermostZone(ObstacleTreeNode* node, const float* point, ZoneEnvelope** zone);
// Examines the segment ending at the waypoint; true when a detour point was written into the spare.
bool PathDetourStep(PathWaypoint* waypoint, PathWaypoint* spare, PathFollower* follower);
// Links a goal waypoint after the start and inserts detour points until no segment crosses an
// obstacle or the follower's pool runs out (the detours made so far are kept).
void BuildPathAroundObstacles(PathWaypoint* start, const Vector3& goal, PathFollower* follower);
