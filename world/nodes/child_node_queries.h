// The ray, sphere and footprint tests of the placed graphic classes (structures, trees, map
// objects): each runs the node test on every child of the root node, in order, at the object's
// level of detail, and combines the answers.
#pragma once
#include "core/types.h"

class GraphObj;
struct ObjectTraceBlock;

// The smallest distance any child's trace gives (a later child wins only when strictly nearer);
// OBJTRACE_NO_HIT without children or hits.
float ChildNodesTraceRay(GraphObj& object, const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit);
// Every child's sphere test in turn, each seeing the centre the earlier ones pushed; out receives
// the pushed centre. True when any child touched the sphere; false without children.
bool ChildNodesSphereCollision(GraphObj& object, const Vector3& centre, float radius, Vector3* out);
// Every child's footprint test in turn (a box of the half size around the point, as tall as it is
// wide); out receives the moved point. The node tests report no contact, so neither does this.
bool ChildNodesFootprintCollision(GraphObj& object, const Vector3& point, float halfSize, Vector3* out);
// The "animate" step of a placed object: the first child starts once at a random frame, then plays
// at the object's speed for the frame time while animate is set.
void ChildNodesAdvanceAnimation(GraphObj& object);
