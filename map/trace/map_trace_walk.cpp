// The same traversal as map/octree/octree_trace.cpp (Revelles, Urena and Lastra), step for step, over the
// compact copy of the tree.
#include "map/trace/map_trace_walk.h"

#include <cmath>
#include <new>

#include "core/assert.h"
#include "map/terrain/map_state.h"
#include "map/trace/map_trace_leaf.h"
#include "map/octree/octree.h"
#include "map/octree/octree_trace.h"

namespace {

using Slabs = OctreeTraceSlabs;

struct Walk {
    OctreeTraceContext* context;
    MapTraceLeafVisit visit;
    TraceTreeNode* tree;
    float endAt;
    bool* passedEnd;
};

u32_t CountNodes(const OctreeNode* node)
{
    u32_t count = 1;
    if (!node->IsLeaf()) {
        for (const OctreeNode* child : node->children)
            count += CountNodes(child);
    }
    return count;
}

void CopyChildren(TraceTreeNode* tree, u32_t index, u32_t& used)
{
    OctreeNode* node = tree[index].node;
    tree[index].preparedHint = nullptr;
    if (node->IsLeaf()) {
        tree[index].firstChild = 0;
        return;
    }
    const u32_t first = used;
    used += 8;
    tree[index].firstChild = first;
    for (int i = 0; i < 8; ++i)
        tree[first + i].node = node->children[i];
    for (int i = 0; i < 8; ++i)
        CopyChildren(tree, first + i, used);
}

// The copy of the loaded tree, made again when the tree changed shape; null when there is no root
// or the copy cannot be made.
TraceTreeNode* CurrentTree()
{
    OctreeNode* root = OctreeGetRoot();
    if (!root)
        return nullptr;
    if (g_map.traceTreeValid && g_map.traceTreeEpoch == g_map.treeEpoch && g_map.traceTree &&
        g_map.traceTree[0].node == root)
        return g_map.traceTree;
    MapTraceTreeFree();
    const u32_t count = CountNodes(root);
    TraceTreeNode* tree = new (std::nothrow) TraceTreeNode[count];
    if (!tree)
        return nullptr;
    tree[0].node = root;
    u32_t used = 1;
    CopyChildren(tree, 0, used);
    g_map.traceTree = tree;
    g_map.traceTreeCount = count;
    g_map.traceTreeEpoch = g_map.treeEpoch;
    g_map.traceTreeValid = true;
    // Every leaf's faces are prepared now, in the order of the copy, so that leaves near each other
    // in the tree lie near each other in memory (and no trace later pays for a preparation).
    for (u32_t i = 0; i < count; ++i) {
        if (!tree[i].firstChild && tree[i].node->geometry.OwnFaceCount())
            tree[i].preparedHint = MapTraceLeafPrepared(tree[i].node);
    }
    return tree;
}

float Max3(float a, float b, float c)
{
    const float ab = a > b ? a : b;
    return ab > c ? ab : c;
}

float Entry(const Slabs& t)
{
    return Max3(t.x0, t.y0, t.z0);
}

bool Subtree(const Walk& w, u32_t index, const Slabs& t)
{
    if (t.x1 < 0.0f || t.y1 < 0.0f || t.z1 < 0.0f)
        return false;
    if (Entry(t) > w.endAt) {
        *w.passedEnd = true;
        return true;
    }
    TraceTreeNode& node = w.tree[index];
    if (!node.firstChild) {
        const bool stop = w.visit(node.node, w.context, Entry(t));
        node.preparedHint = node.node->traceData;
        return stop;
    }
    const float xm = (t.x0 + t.x1) / 2, ym = (t.y0 + t.y1) / 2, zm = (t.z0 + t.z1) / 2;
    const u32_t mirror = w.context->mirrorMask;
    int k = OctreeTraceFirstChild(t, xm, ym, zm);
    while (k < 8) {
        ENGINE_ASSERT((static_cast<u32_t>(k) ^ mirror) < 8);
        const u32_t child = node.firstChild + (static_cast<u32_t>(k) ^ mirror);
        Slabs c;
        int next;
        switch (k) {
            case 0:
                c = {t.x0, t.y0, t.z0, xm, ym, zm};
                next = OctreeTraceNextChild(xm, 4, ym, 2, zm, 1);
                break;
            case 1:
                c = {t.x0, t.y0, zm, xm, ym, t.z1};
                next = OctreeTraceNextChild(xm, 5, ym, 3, t.z1, 8);
                break;
            case 2:
                c = {t.x0, ym, t.z0, xm, t.y1, zm};
                next = OctreeTraceNextChild(xm, 6, t.y1, 8, zm, 3);
                break;
            case 3:
                c = {t.x0, ym, zm, xm, t.y1, t.z1};
                next = OctreeTraceNextChild(xm, 7, t.y1, 8, t.z1, 8);
                break;
            case 4:
                c = {xm, t.y0, t.z0, t.x1, ym, zm};
                next = OctreeTraceNextChild(t.x1, 8, ym, 6, zm, 5);
                break;
            case 5:
                c = {xm, t.y0, zm, t.x1, ym, t.z1};
                next = OctreeTraceNextChild(t.x1, 8, ym, 7, t.z1, 8);
                break;
            case 6:
                c = {xm, ym, t.z0, t.x1, t.y1, zm};
                next = OctreeTraceNextChild(t.x1, 8, t.y1, 8, zm, 7);
                break;
            default:
                c = {xm, ym, zm, t.x1, t.y1, t.z1};
                next = 8;
                break;
        }
        // The child after this one is known before this one is walked: its node is fetched from
        // memory meanwhile.
        if (next < 8) {
            const TraceTreeNode& following = w.tree[node.firstChild + (static_cast<u32_t>(next) ^ mirror)];
            if (!following.firstChild) {
                __builtin_prefetch(following.node);
                __builtin_prefetch(reinterpret_cast<const char*>(following.node) + 64);
                if (const char* prepared = static_cast<const char*>(following.preparedHint)) {
                    for (int line = 0; line < 4; ++line)
                        __builtin_prefetch(prepared + 64 * line);
                }
            }
        }
        if (Subtree(w, child, c))
            return true;
        k = next;
    }
    return false;
}

}  // namespace

void MapTraceTreeFree()
{
    delete[] g_map.traceTree;
    g_map.traceTree = nullptr;
    g_map.traceTreeCount = 0;
    g_map.traceTreeValid = false;
}

bool MapTraceWalkSegment(const float* start, const float* end, MapTraceLeafVisit visit, void* user, s32_t tileX,
                         s32_t tileZ, float endAt, bool* passedEnd)
{
    bool passed = false;
    if (!passedEnd)
        passedEnd = &passed;
    TraceTreeNode* tree = CurrentTree();
    if (!tree || !visit)
        return false;
    OctreeNode* root = tree[0].node;
    OctreeTraceContext context;
    Slabs t;
    float entry = 0.0f;
    if (!OctreeTraceBegin(root->boxMin, root->boxMax, start, end, user, tileX, tileZ, &context, &t, &entry))
        return false;
    const Walk w = {&context, visit, tree, endAt, passedEnd};
    if (entry > endAt) {
        *passedEnd = true;
        return false;
    }
    if (!tree[0].firstChild)
        return visit(root, &context, entry);
    return Subtree(w, 0, t) && !*passedEnd;
}
