// A graphic node's decals: the bullet holes and scorch marks projected onto its meshes, kept in an
// array of exactly as many entries as decals, in the order they were added, so that they move with
// the node and are drawn after it.
#include "platform/win32.h"
#include "scene/meshes/object_draw.h"
#include "world/decals/decal.h"
#include "world/nodes/graph_node.h"
#include "world/world_cvars.h"

namespace {

void DestroyDecal(Decal* decal)
{
    decal->Free();
    delete decal;
}

}  // namespace

void GraphNode::AddDecal(Decal* decal, bool dropNear)
{
    if (!decal)
        return;
    if (dropNear) {
        for (u32_t i = 0; i < decalCount; ++i) {
            const Decal* listed = decals[i];
            const float dx = decal->centre.x - listed->centre.x;
            const float dy = decal->centre.y - listed->centre.y;
            const float dz = decal->centre.z - listed->centre.z;
            if (dx * dx + dy * dy + dz * dz <= listed->spacingRadius * listed->spacingRadius) {
                DestroyDecal(decal);
                return;
            }
        }
    }
    if (decalCount == static_cast<u32_t>(GRAPH_NODE_MAX_DECALS)) {
        // The strictly oldest, the first of equals; decals of age 0 are never chosen, so a list
        // filled within one millisecond grows past the limit.
        const u32_t now = GetTickCount();
        Decal* oldest = nullptr;
        u32_t oldestAge = 0;
        for (u32_t i = 0; i < decalCount; ++i) {
            const u32_t age = now - decals[i]->created;
            if (age > oldestAge) {
                oldestAge = age;
                oldest = decals[i];
            }
        }
        if (oldest)
            RemoveDecal(oldest);
    }
    Decal** grown = new Decal*[decalCount + 1];
    for (u32_t i = 0; i < decalCount; ++i)
        grown[i] = decals[i];
    grown[decalCount] = decal;
    delete[] decals;
    decals = grown;
    ++decalCount;
}

void GraphNode::RemoveDecal(Decal* decal)
{
    u32_t found = decalCount;
    for (u32_t i = 0; i < decalCount; ++i) {
        if (decals[i] == decal) {
            found = i;
            break;
        }
    }
    if (found == decalCount)
        return;
    DestroyDecal(decal);
    Decal** shrunk = decalCount > 1 ? new Decal*[decalCount - 1] : nullptr;
    u32_t kept = 0;
    for (u32_t i = 0; i < decalCount; ++i) {
        if (i != found)
            shrunk[kept++] = decals[i];
    }
    delete[] decals;
    decals = shrunk;
    decalCount = kept;
}

void GraphNode::ClearDecals()
{
    for (u32_t i = 0; i < decalCount; ++i)
        DestroyDecal(decals[i]);
    delete[] decals;
    decals = nullptr;
    decalCount = 0;
}

void GraphNode::ExpireDecals(float fade)
{
    if (rbremovedecals.Bool()) {
        const u32_t now = GetTickCount();
        // A removal moves the next decal into slot i; it is looked at on the next call.
        for (u32_t i = 0; i < decalCount; ++i) {
            if (decals[i]->Expired(now))
                RemoveDecal(decals[i]);
        }
    }
    for (u32_t i = 0; i < decalCount; ++i) {
        decals[i]->fogFactor = fade;
        decals[i]->UpdateFade();
    }
}

void GraphNode::DrawDecals()
{
    for (u32_t i = 0; i < decalCount; ++i)
        RenderDrawTintedMesh(decals[i], nullptr);
}
