// Read-only box questions to the octree and the small box tests they share.
#pragma once
#include "core/types.h"

struct D3DXPLANE;
struct OctreeNode;

// Called for each leaf a box query reaches, with the tile the box part was shifted from.
using OctreeBoxCallback = int (*)(OctreeNode* leaf, s32_t tileX, s32_t tileZ);

// Boxes are 6 floats: min x, y, z, then max x, y, z.
// On every axis a's max lies strictly above b's min and a's min at or below b's max.
bool BoxesOverlap(const float* a, const float* b);
// True when the box has a corner in front of every plane (a x + b y + c z + d >= 0); true for none.
bool BoxInsidePlanes(const float* box, const D3DXPLANE* planes, u32_t planeCount);
// Calls the callback for every leaf overlapping the box in every repetition of the world that the
// box touches (the part in tile (x, z) is shifted into the base tile first). 0 without a root.
int OctreeQueryBox(const float* box, OctreeBoxCallback callback);
// The same below one node for a box already in the base tile: 0 when the box misses the node; for
// a leaf the callback's value; else 1.
int OctreeNodeQueryBox(OctreeNode* node, const float* box, s32_t tileX, s32_t tileZ, OctreeBoxCallback callback);
