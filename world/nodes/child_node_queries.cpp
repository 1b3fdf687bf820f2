#include "world/nodes/child_node_queries.h"

#include "core/frame_view.h"
#include "core/random.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"
#include "world/nodes/object_trace.h"

float ChildNodesTraceRay(GraphObj& object, const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit)
{
    float best = OBJTRACE_NO_HIT;
    GraphNode* root = object.GetRootNode();
    const s32_t count = root ? root->GetChildCount() : 0;
    for (s32_t i = 0; i < count; ++i) {
        // Each child writes its whole answer into its own record; only the nearest is handed back,
        // so that distance, point, node and material all name the same hit.
        ObjectTraceBlock scratch{};
        scratch.objOptions = hit->objOptions;
        scratch.objAlphaThreshold = hit->objAlphaThreshold;
        scratch.objOrigin = origin;
        scratch.objDirection = direction;
        scratch.objDistance = OBJTRACE_NO_HIT;
        const float distance = root->GetChild(i)->TraceRay(origin, direction, &scratch, object.previousLodLevel);
        if (i == 0 || distance < best) {
            *hit = scratch;
            best = distance;
        }
    }
    return best;
}

bool ChildNodesSphereCollision(GraphObj& object, const Vector3& centre, float radius, Vector3* out)
{
    Vector3 moved = centre;
    bool touched = false;
    GraphNode* root = object.GetRootNode();
    const s32_t count = root ? root->GetChildCount() : 0;
    for (s32_t i = 0; i < count; ++i) {
        if (root->GetChild(i)->SphereCollision(&moved, radius, object.lodLevel, nullptr))
            touched = true;
    }
    if (out)
        *out = moved;
    return touched;
}

bool ChildNodesFootprintCollision(GraphObj& object, const Vector3& point, float halfSize, Vector3* out)
{
    Vector3 moved = point;
    bool touched = false;
    GraphNode* root = object.GetRootNode();
    const s32_t count = root ? root->GetChildCount() : 0;
    for (s32_t i = 0; i < count; ++i) {
        if (root->GetChild(i)->FootprintCollision(&moved, halfSize, 2.0f * halfSize, object.lodLevel))
            touched = true;
    }
    if (out)
        *out = moved;
    return touched;
}

void ChildNodesAdvanceAnimation(GraphObj& object)
{
    GraphNode* root = object.GetRootNode();
    GraphNode* first = root && root->GetChildCount() > 0 ? root->GetChild(0) : nullptr;
    if (object.randomStartFrame) {
        const int start = EngineRand();
        if (first)
            first->SetFrame(static_cast<float>(start));
        object.randomStartFrame = 0;
    }
    if (object.animate && first)
        first->SetFrame(first->GetFrame() + g_frameView.frameTime * object.animateSpeed);
}
