// Builds graphic-node trees the way object parameters do: a named child with its parent set.
#pragma once
#include "core/strings/engine_string.h"
#include "platform/d3dx8_math.h"
#include "world/nodes/graph_node.h"

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

// A point of the node's space in world space, through the node's transform.
inline Vector3 NodeWorldPoint(GraphNode* node, Vector3 p)
{
    D3DXMATRIX world;
    node->UpdateTransform(&world);
    const D3DXVECTOR3 local(p.x, p.y, p.z);
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &local, &world);
    return {out.x, out.y, out.z};
}
