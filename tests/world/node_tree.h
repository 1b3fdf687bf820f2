// Builds graphic-node trees the way object parameters do: a named child with its parent set.
#pragma once
#include "core/engine_string.h"
#include "world/graph_node.h"

class AnimMesh;

// A new child of parent named nodeName, showing the mesh when one is given.
inline GraphNode* AddChildNode(GraphNode* parent, const char* nodeName, AnimMesh* mesh = nullptr,
                               const char* texturePrefix = "")
{
    GraphNode* node = new GraphNode;
    node->SetName(EngineString(nodeName));
    node->SetParent(parent);
    parent->AddChild(node);
    if (mesh)
        node->SetAnimMesh(mesh, texturePrefix);
    return node;
}
