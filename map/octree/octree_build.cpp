// Building the tree: nodes split into octants while they hold too many faces, and the map-mesh
// pieces follow the split down to the leaves.
#include <initializer_list>
#include <new>

#include "core/log.h"
#include "map/octree/octree.h"
#include "map/octree/octree_split.h"

namespace {

Vector3 CentreOf(const OctreeNode& node)
{
    return {(node.boxMin.x + node.boxMax.x) / 2, (node.boxMin.y + node.boxMax.y) / 2,
            (node.boxMin.z + node.boxMax.z) / 2};
}

// The set each child receives its piece in.
using TargetOf = OctreeGeometry* (*)(OctreeNode* child, u32_t slot);

OctreeGeometry* OwnGeometry(OctreeNode* child, u32_t)
{
    return &child->geometry;
}

OctreeGeometry* SecondarySet(OctreeNode* child, u32_t slot)
{
    return child->secondarySets[slot];
}

// Cuts the source at the node's centre into the children's sets. With vertical, each x half is cut
// at y and each quarter at z (x bit 4, y bit 2, z bit 1 of the child index); without, each x half
// is cut at z only, and the two children that differ on y both get the same pieces.
bool CutIntoChildren(OctreeNode* node, const OctreeGeometry& source, bool vertical, TargetOf target, u32_t slot)
{
    const Vector3 c = CentreOf(*node);
    OctreeGeometry halves[2];
    bool cut = OctreeGeometrySplitX(c.x, source, &halves[0], &halves[1]);
    for (int h = 0; h < 2 && cut; ++h) {
        const int base = h ? OCTREE_CHILD_X : 0;
        OctreeNode* const* child = node->children + base;
        const int upperY = OCTREE_CHILD_Y, upperZ = OCTREE_CHILD_Z;
        if (vertical) {
            OctreeGeometry quarters[2];
            cut = OctreeGeometrySplitY(c.y, halves[h], &quarters[0], &quarters[1]) &&
                  OctreeGeometrySplitZ(c.z, quarters[0], target(child[0], slot), target(child[upperZ], slot)) &&
                  OctreeGeometrySplitZ(c.z, quarters[1], target(child[upperY], slot),
                                       target(child[upperY | upperZ], slot));
            quarters[0].Reset(true);
            quarters[1].Reset(true);
        } else {
            cut =
                OctreeGeometrySplitZ(c.z, halves[h], target(child[0], slot), target(child[upperZ], slot)) &&
                OctreeGeometrySplitZ(c.z, halves[h], target(child[upperY], slot), target(child[upperY | upperZ], slot));
        }
    }
    halves[0].Reset(true);
    halves[1].Reset(true);
    if (!cut) {
        for (OctreeNode* child : node->children)
            target(child, slot)->Reset(true);
    }
    return cut;
}

// One new empty set per secondary set of the node at the end of every child's list, each carrying
// what its source carries. Returns the slot of the first in the children's lists.
bool AddPieceSets(OctreeNode* node, u32_t* firstSlot)
{
    const u32_t first = node->children[0]->secondarySetCount;
    for (OctreeNode* child : node->children) {
        if (child->secondarySetCount != first)
            return false;
    }
    for (u32_t i = 0; i < node->secondarySetCount; ++i) {
        for (OctreeNode* child : node->children) {
            OctreeGeometry* piece = OctreeGeometryNewPiece(*node->secondarySets[i]);
            if (!piece || !child->AddSecondarySet(piece)) {
                OctreeGeometryDelete(piece);
                return false;
            }
        }
    }
    *firstSlot = first;
    return true;
}

// Cuts every non-empty secondary set of the node into the children's sets from firstSlot on; the
// node's sets keep their other fields but lose their triangles.
void SplitSecondarySets(OctreeNode* node, u32_t firstSlot)
{
    for (u32_t i = 0; i < node->secondarySetCount; ++i) {
        OctreeGeometry* set = node->secondarySets[i];
        if (set->faceCount == 0)
            continue;
        OctreeGeometry taken = *set;
        taken.merge = nullptr;  // the set's own, released with it
        set->Reset(false);
        if (!CutIntoChildren(node, taken, set->splitVertical != 0, SecondarySet, firstSlot + i))
            Log("WARNING: a map-mesh piece of %u faces could not be cut into the octree; it is left out\n",
                taken.faceCount);
        taken.Reset(true);
    }
}

}  // namespace

void OctreeNode::Build()
{
    if (geometry.faceCount <= OCTREE_LEAF_FACES || Depth() >= OCTREE_MAX_DEPTH || !CreateChildren())
        return;
    u32_t firstSlot = 0;
    if (!AddPieceSets(this, &firstSlot) || !CutIntoChildren(this, geometry, true, OwnGeometry, 0)) {
        // Faces that no cut can bring within reach of 16-bit indices: the node stays a leaf.
        for (OctreeNode*& child : children) {
            OctreeNodeDelete(child);
            child = nullptr;
        }
        return;
    }
    SplitSecondarySets(this, firstSlot);
    for (OctreeNode* child : children)
        child->Build();
}

void OctreeNode::DistributeSecondarySets()
{
    if (IsLeaf())
        return;
    // The tree was read back, not built: its pieces are handed down without the build's trace.
    const OctreeFaceLogPause quiet;
    u32_t firstSlot = 0;
    if (AddPieceSets(this, &firstSlot))
        SplitSecondarySets(this, firstSlot);
    for (OctreeNode* child : children)
        child->DistributeSecondarySets();
}

void OctreeNode::LinkNeighbours()
{
    if (IsLeaf())
        return;
    struct Axis {
        int bit;
        OctreeDirection up, down;
    };
    static constexpr Axis kAxes[3] = {
        {OCTREE_CHILD_Z, OCTREE_POS_Z, OCTREE_NEG_Z},
        {OCTREE_CHILD_Y, OCTREE_POS_Y, OCTREE_NEG_Y},
        {OCTREE_CHILD_X, OCTREE_POS_X, OCTREE_NEG_X},
    };
    for (int i = 0; i < 8; ++i) {
        for (const Axis& axis : kAxes) {
            if (i & axis.bit)
                children[i]->neighbours[axis.down] = children[i & ~axis.bit];
            else
                children[i]->neighbours[axis.up] = children[i | axis.bit];
        }
    }
    // Across the node's own faces: the children on a face meet the node beyond it, or its children
    // across the face when it has any.
    for (const Axis& axis : kAxes) {
        for (const OctreeDirection direction : {axis.up, axis.down}) {
            OctreeNode* across = neighbours[direction];
            if (!across)
                continue;
            const int side = direction == axis.up ? axis.bit : 0;
            for (int i = 0; i < 8; ++i) {
                if ((i & axis.bit) == side)
                    children[i]->neighbours[direction] = across->IsLeaf() ? across : across->children[i ^ axis.bit];
            }
        }
    }
    for (OctreeNode* child : children)
        child->LinkNeighbours();
}
