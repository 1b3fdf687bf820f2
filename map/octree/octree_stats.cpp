#include "map/octree/octree_stats.h"

#include <cmath>
#include <cstdint>

#include "core/log.h"
#include "map/octree/octree.h"

namespace {

// What a node costs in the statistics, whatever the record's size in this build.
constexpr std::uint64_t kNodeBytes = 492;

OctreeStats g_stats;
std::uint64_t g_bytes = 0;

void Visit(OctreeNode* node)
{
    ++g_stats.nodes;
    g_bytes += kNodeBytes;
    const float dx = node->boxMax.x - node->boxMin.x, dy = node->boxMax.y - node->boxMin.y,
                dz = node->boxMax.z - node->boxMin.z;
    node->radius = 0.5f * std::sqrt(dx * dx + dy * dy + dz * dz);
    if (node->IsLeaf()) {
        const OctreeGeometry& g = node->geometry;
        if (node->Depth() > g_stats.maxDepth)
            g_stats.maxDepth = node->Depth();
        g_stats.faces += g.faceCount;
        g_stats.vertices += g.vertexCount;
        g_bytes += 32ull * g.vertexCount + 41ull * g.faceCount;
        float top = node->boxMin.y;
        for (u32_t v = 0; v < g.vertexCount; ++v) {
            if (g.vertices[v].position.y > top)
                top = g.vertices[v].position.y;
        }
        node->top = top;
        return;
    }
    for (OctreeNode* child : node->children)
        Visit(child);
}

}  // namespace

void OctreePrintStats()
{
    g_stats = OctreeStats();
    g_bytes = 0;
    if (OctreeNode* root = OctreeGetRoot())
        Visit(root);
    g_stats.bytes = static_cast<u32_t>(g_bytes < 0xFFFFFFFFull ? g_bytes : 0xFFFFFFFFull);
    DebugPrint("\n\n---OctreeCheck---\n");
    DebugPrint("all-faces: %d\n", static_cast<int>(g_stats.faces));
    DebugPrint("all-vertices: %d\n", static_cast<int>(g_stats.vertices));
    DebugPrint("all-nodes: %d\n", static_cast<int>(g_stats.nodes));
    DebugPrint("used-memory: %d kB\n", static_cast<int>(g_bytes / 1024));
    DebugPrint("max-depth: %d\n", static_cast<int>(g_stats.maxDepth));
}

const OctreeStats& OctreeGetStats()
{
    return g_stats;
}
