// The walk over the animated meshes of the world: every dynamic object's graphic node tree, each
// node that shows an animated mesh. The scene editor uses it to reach every mesh it may draw or
// reload.
#pragma once
#include "core/types.h"

class AnimMesh;
class DynamicObject;
class GraphNode;

using AnimatedMeshVisitor = void (*)(DynamicObject* object, GraphNode* node, AnimMesh* mesh, void* user);

// Calls the visitor for every node with an animated mesh, objects in registry order, each tree
// depth first from its root, children in order. Objects that are not graphic objects have no tree.
// The number of visits; a null visitor only counts.
s32_t DynObjectsWalkAnimatedMeshes(AnimatedMeshVisitor visitor, void* user);
