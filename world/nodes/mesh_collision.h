// Spheres and footprint boxes against the faces of one mesh, in the mesh's own space. The graphic
// node's collisions (GraphNode::SphereCollision, GraphNode::FootprintCollision) run them on their
// selected meshes; the indoor bridge on meshes that belong to no node.
#pragma once
#include "core/types.h"

class AnimMesh;

// True when the sphere touches a face of mesh index at frame by more than 0.001. Unless
// contactOnly, the centre is pushed out of each touched face in turn (in x and y; z stays).
bool MeshSphereCollision(const AnimMesh* mesh, u32_t index, u32_t frame, bool contactOnly, Vector3* centre,
                         float radius);
// The eight corners of the box of half size halfSize around centre on x and z, from centre.y to
// centre.y + height: (+x, -z), (-x, -z), (+x, +z), (-x, +z) at the bottom, then the same at the top.
void FootprintCorners(float halfSize, float height, const Vector3& centre, Vector3* corners);
