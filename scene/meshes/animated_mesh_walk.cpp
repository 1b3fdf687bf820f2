#include "scene/meshes/animated_mesh_walk.h"

#include <vector>

#include "map/registry/world_registry.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

s32_t DynObjectsWalkAnimatedMeshes(AnimatedMeshVisitor visitor, void* user)
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    s32_t visits = 0;
    // A stack of its own: a tree read from a file may be deep.
    std::vector<GraphNode*> pending;
    for (s32_t i = 0; i < count; ++i) {
        auto* graphic = dynamic_cast<GraphObj*>(objects[i]);
        GraphNode* root = graphic ? graphic->GetRootNode() : nullptr;
        if (!root)
            continue;
        pending.assign(1, root);
        while (!pending.empty()) {
            GraphNode* node = pending.back();
            pending.pop_back();
            if (AnimMesh* mesh = node->GetAnimMesh()) {
                ++visits;
                if (visitor)
                    visitor(objects[i], node, mesh, user);
            }
            for (s32_t child = node->GetChildCount() - 1; child >= 0; --child)
                pending.push_back(node->GetChild(child));
        }
    }
    return visits;
}
