// Lands for the cache builders' tests: the octree root over -50..50 on every axis holding one plane
// (or part of one), the map box set around it, and the builders' settings put back afterwards.
#pragma once
#include <cstring>
#include <functional>

#include "support/keep_var.h"
#include "map/terrain/map_caches.h"
#include "map/octree/octree.h"
#include "support/map_octree_support.h"

namespace cache_test {

// Land over x0..x1 by -50..50 on z at the height y(x, z), the map box -50..50 on x and z and
// boxLowY..boxHighY on y.
inline void MakeLand(const std::function<float(float, float)>& height, float boxLowY, float boxHighY, float x0 = -50.0f,
                     float x1 = 50.0f)
{
    OctreeNode* root = OctreeCreateRoot({-50, -50, -50}, {50, 50, 50});
    map_test::FillGrid(root->geometry, x0, x1, -50, 50, 0.0f, 1, 1);
    for (u32_t v = 0; v < root->geometry.vertexCount; ++v) {
        Vector3& p = root->geometry.vertices[v].position;
        p.y = height(p.x, p.z);
    }
    MapSetBox({-50, boxLowY, -50}, {50, boxHighY, 50});
}

inline void ForgetLand()
{
    OctreeDestroy();
    MapSetBox({1e30f, 1e30f, 1e30f}, {-1e30f, -1e30f, -1e30f});
}

}  // namespace cache_test
