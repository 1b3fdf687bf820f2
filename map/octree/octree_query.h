// Read-only box and point questions to the octree and the small box tests they share.
#pragma once
#include "core/types.h"

struct D3DXPLANE;
struct OctreeNode;

// Called for each leaf a box query reaches, with the tile the box part was shifted from.
using OctreeBoxCallback = int (*)(OctreeNode* leaf, s32_t tileX, s32_t tileZ);

// Boxes are 6 floats: min x, y, z, then max x, y, z.
// On every axis a's max lies strictly above b's min and a's min at or below b's max: boxes that
// touch where a's max meets b's min do not overlap, where a's min meets b's max they do.
bool BoxesOverlap(const float* a, const float* b);
// True when at least one of the box's 8 corners lies in front of the plane (a x + b y + c z + d >= 0).
bool BoxInFrontOfPlane(const float* box, const D3DXPLANE& plane);
// True when the box has a corner in front of every plane; true for none. A box crossing a plane stays.
bool BoxInsidePlanes(const float* box, const D3DXPLANE* planes, u32_t planeCount);
// Calls the callback for every leaf overlapping the box in every repetition of the world that the
// box touches (the part in tile (x, z) is shifted into the base tile first; tiles z outer, x inner).
// 0 without a root, else 1.
int OctreeQueryBox(const float* box, OctreeBoxCallback callback);
// The leaf holding the point and the tile it was wrapped from: a point outside the root on x or z
// is moved by whole root widths into it. Null (tile (0, 0)) when the point lies above or below the
// root, is not finite, or lies beyond the tiles that 32-bit indices count; a point on a centre
// plane goes to the upper child.
OctreeNode* OctreeFindLeaf(const float* point, s32_t* tileOut);
