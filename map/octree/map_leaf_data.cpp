#include "map/octree/map_leaf_data.h"

#include <cmath>
#include <new>
#include <vector>

#include "core/log.h"
#include "map/octree/octree.h"
#include "map/meshes/polygon_clip.h"
#include "map/land_maps/water_layers.h"
#include "map/terrain/world_tiles.h"

namespace {

// The clipped pieces of one overlay set, three vertices per triangle; kept between sets so that
// its room is made once.
std::vector<MapVertex> g_overlayWork;

MapVertex Corner(const OctreeGeometry& set, const MapFace& face, int c)
{
    const u16_t index = face.indices[c];
    return index < set.vertexCount ? set.vertices[index] : MapVertex{};
}

bool FaceCorners(const OctreeGeometry& set, u32_t faceIndex, MapVertex* corners)
{
    const MapFace face = set.faces[faceIndex];
    for (int c = 0; c < 3; ++c) {
        if (face.indices[c] >= set.vertexCount)
            return false;
        corners[c] = Corner(set, face, c);
    }
    return true;
}

// Cuts the overlay set's faces to each of the leaf's own faces and lays the pieces on them; the set
// keeps only these pieces.
void LayOverlay(OctreeNode* leaf, OctreeGeometry* set)
{
    g_overlayWork.clear();
    const OctreeGeometry& land = leaf->geometry;
    const u32_t landFaces = land.OwnFaceCount();
    for (u32_t f = 0; f < set->faceCount; ++f) {
        MapVertex piece[3];
        if (!FaceCorners(*set, f, piece))
            continue;
        for (u32_t g = 0; g < landFaces; ++g) {
            MapVertex ground[3];
            if (!FaceCorners(land, g, ground))
                continue;
            MapVertex clipped[CLIP_TRIANGLE_MAX_VERTICES];
            const int count = ClipPositionsToTrianglePrism(clipped, ground, piece);
            if (count < 3)
                continue;
            // The plane of the ground face; a vertical face carries no overlay.
            const Vector3 a = ground[0].position, b = ground[1].position, c = ground[2].position;
            const Vector3 e1 = {b.x - a.x, b.y - a.y, b.z - a.z}, e2 = {c.x - a.x, c.y - a.y, c.z - a.z};
            Vector3 n = {e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
            const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
            if (!(length > 0.0f) || std::fabs(n.y) < 1e-6f * length)
                continue;
            if (n.y < 0.0f)
                n = {-n.x, -n.y, -n.z};
            const Vector3 unit = {n.x / length, n.y / length, n.z / length};
            for (int k = 0; k < count; ++k) {
                Vector3& p = clipped[k].position;
                p.y = a.y - (n.x * (p.x - a.x) + n.z * (p.z - a.z)) / n.y;
                clipped[k].normal = unit;
            }
            for (int k = 1; k + 1 < count; ++k) {
                g_overlayWork.push_back(clipped[0]);
                g_overlayWork.push_back(clipped[k]);
                g_overlayWork.push_back(clipped[k + 1]);
            }
        }
    }
    set->Reset(true);
    const u32_t points = static_cast<u32_t>(g_overlayWork.size());
    if (points == 0)
        return;
    if (!set->Init(points + 1, points / 3 * 3 + 1)) {
        Log("WARNING: an overlay of %u points could not be laid on the land; it is left out\n", points);
        return;
    }
    for (u32_t i = 0; i + 2 < points; i += 3) {
        s32_t indices[3];
        for (int c = 0; c < 3; ++c)
            indices[c] = set->AddVertex(g_overlayWork[i + c]);
        if (indices[0] < 0 || indices[1] < 0 || indices[2] < 0)
            break;  // 16-bit indices reach no further
        MapFace face;
        for (int c = 0; c < 3; ++c)
            face.indices[c] = static_cast<u16_t>(indices[c]);
        set->AddFace(face);
    }
    set->Shrink();
}

void FileWaterSquares(OctreeNode* root)
{
    const float worldSize = MapGetWorldSize() > 0.0f ? MapGetWorldSize() : root->boxMax.x - root->boxMin.x;
    // The squares are made anew: no leaf keeps a square of an earlier pass.
    OctreeForEachLeaf(root, OCTREE_WALK_DEPTH_CHECK, [](OctreeNode* leaf) { leaf->waterSquareCount = 0; });
    WaterLayer* layers = MapGetWaterLayers();
    for (int l = 0; l < MAP_WATER_LAYER_COUNT; ++l) {
        WaterLayer& layer = layers[l];
        if (!layer.mask)
            continue;
        WaterLayerBuildSquares(layer, worldSize);
        for (u32_t s = 0; s < layer.squareCount; ++s) {
            WaterSquare* square = &layer.squares[s];
            const Vector3 centre = {(square->minX + square->maxX) / 2, square->height,
                                    (square->minZ + square->maxZ) / 2};
            OctreeNode* leaf = OctreeFindLeaf(root, centre);
            if (!leaf || leaf->waterSquareCount >= OCTREE_MAX_WATER_SQUARES)
                continue;
            if (!leaf->waterSquares) {
                leaf->waterSquares = new (std::nothrow) WaterSquare*[OCTREE_MAX_WATER_SQUARES];
                if (!leaf->waterSquares)
                    continue;
            }
            leaf->waterSquares[leaf->waterSquareCount++] = square;
        }
    }
}

}  // namespace

OctreeNode* OctreeFindLeaf(OctreeNode* root, const Vector3& point)
{
    OctreeNode* node = root;
    while (node && node->IsPointInside(point)) {
        if (node->IsLeaf())
            return node;
        const Vector3 c = {(node->boxMin.x + node->boxMax.x) / 2, (node->boxMin.y + node->boxMax.y) / 2,
                           (node->boxMin.z + node->boxMax.z) / 2};
        const int index = (point.x >= c.x ? OCTREE_CHILD_X : 0) | (point.y >= c.y ? OCTREE_CHILD_Y : 0) |
                          (point.z >= c.z ? OCTREE_CHILD_Z : 0);
        node = node->children[index];
    }
    return nullptr;
}

void MapPrepareLeafData(OctreeNode* root)
{
    if (!root)
        root = OctreeGetRoot();
    if (!root)
        return;
    // Done at every load, after the tree is built or read back: laying the overlays builds nothing.
    const OctreeFaceLogPause quiet;
    OctreeForEachLeaf(root, OCTREE_WALK_DEPTH_CHECK, [](OctreeNode* leaf) {
        for (u32_t i = 0; i < leaf->secondarySetCount; ++i) {
            OctreeGeometry* set = leaf->secondarySets[i];
            if (set && set->faceCount > 0 && set->splitVertical == 0)
                LayOverlay(leaf, set);
        }
    });
    FileWaterSquares(root);
}
