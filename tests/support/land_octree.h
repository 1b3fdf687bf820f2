// Loading a land made with the map authoring tool the way the map load does its part of it: the
// ".lff" file read into the land arrays and map meshes, the land transform, the octree built over
// the land with each leaf's own faces left to the traces, and the map meshes linked into the grid.
// Header only, so that the benchmarks can use it too.
#pragma once
#include <string>

#include "map/meshes/map_mesh_reader.h"
#include "map/terrain/map_state.h"
#include "map/octree/octree.h"
#include "map/registry/world_registry.h"
#include "tools/map_author/map_author.h"

namespace land_test {

// The octree over the land arrays (which it takes over), the leaves' trace face counts as the land
// layers set them, and the map meshes linked.
inline void BuildLandOctree()
{
    OctreeNode* root = OctreeCreateRoot(g_map.bounds[0], g_map.bounds[1]);
    OctreeGeometry& g = root->geometry;
    g.vertices = g_map.landVertices;
    g.vertexCount = g.vertexCapacity = g_map.landVertexCount;
    g.faces = g_map.landFaces;
    g.faceCount = g.faceCapacity = g_map.landFaceCount;
    g.boundsMin = g_map.bounds[0];
    g.boundsMax = g_map.bounds[1];
    g_map.landVertices = nullptr;
    g_map.landFaces = nullptr;
    g_map.landVertexCount = g_map.landFaceCount = 0;
    root->Build();
    root->LinkNeighbours();
    OctreeForEachLeaf(root, OCTREE_WALK_ROOM_CHECK, [](OctreeNode* leaf) {
        leaf->geometry.traceFaceCount = leaf->geometry.faceCount;
        // Leaf bounds as the build leaves them: the box of the leaf's own vertices.
        if (leaf->geometry.vertexCount == 0)
            leaf->geometry.traceFaceCount = 0;
    });
    MapMeshesLinkToGrid();
}

// Writes the plan's ".lff" to path and loads it as above. False when a step fails.
inline bool LoadLand(const MapAuthorPlan& plan, const std::string& path, std::string& error)
{
    if (!MapAuthorWriteLff(plan, path, error))
        return false;
    if (MapMeshesLoadFromFile(path.c_str(), "component\\land\\") != 0) {
        error = "the map mesh reader refused " + path;
        return false;
    }
    MapGeometryApplyTransformValues(false, nullptr, false, 0.0f);
    BuildLandOctree();
    return true;
}

// The tests' flat land: height 0, 2000 units across on a grid of 33 x 33 points.
inline MapAuthorPlan FlatPlan()
{
    MapAuthorPlan plan;
    plan.grid = 33;
    plan.size = 2000.0f;
    MapAuthorFlatHeights(plan, 0.0f);
    return plan;
}

// Frees what LoadLand made.
inline void UnloadLand()
{
    MapMeshesFree();
    OctreeDestroy();
    MapLandGeometryFree();
}

}  // namespace land_test
