#include "map/terrain/heightmap.h"

#include <string>
#include <vector>

#include "core/console/console.h"
#include "core/loading_line.h"
#include "map/map_cvars.h"
#include "map/land_maps/lightmap_trace.h"
#include "map/terrain/map_caches.h"
#include "map/terrain/map_grid.h"

namespace {

MapGrid* g_heightmap = nullptr;

// The land's height under (x, z): the first surface a trace straight down through the whole map box
// meets, tried once more a little aside when the first trace slips through a seam; the box's floor
// where there is nothing.
float HeightBelow(float x, float z, const Vector3& boxMin, const Vector3& boxMax)
{
    constexpr float kAside = 0.031245f;
    LandTraceHit hit;
    if (LandTrace({x, boxMax.y + 10.0f, z}, {x, boxMin.y - 10.0f, z}, false, &hit))
        return hit.point.y;
    if (LandTrace({x + kAside, boxMax.y + 10.0f, z + kAside}, {x + kAside, boxMin.y - 10.0f, z + kAside}, false, &hit))
        return hit.point.y;
    return boxMin.y;
}

}  // namespace

void MapBuildHeightmap(const char* landName)
{
    MapFreeHeightmap();
    const std::string name = std::string("component\\land\\") + (landName ? landName : "") + "_hmap";
    const s32_t side = mihmapsize.Int();
    if (!dbhm.Bool()) {
        g_heightmap = MapGridLoad(name.c_str());
        if (g_heightmap && side > 0 && g_heightmap->size == static_cast<u32_t>(side))
            return;
        MapFreeHeightmap();
    }
    // The written image holds the side in 16 bits.
    if (side <= 0 || side > 0xFFFF)
        return;

    ConPrint(0, "Building heightmap: '%s'\n\n", name.c_str());
    LoadingLineShow("Building heightmap...");
    const u32_t n = static_cast<u32_t>(side);
    MapGrid* grid = MapGridCreate(n);
    if (!grid)
        return;
    std::vector<u8_t> pixels(size_t(n) * n * 4);

    Vector3 boxMin, boxMax;
    MapGetBox(&boxMin, &boxMax);
    const float sizeX = boxMax.x - boxMin.x, sizeZ = boxMax.z - boxMin.z, sizeY = boxMax.y - boxMin.y;
    const float stepX = sizeX / float(n), stepZ = sizeZ / float(n);
    const float halfX = sizeX * 0.5f, halfZ = sizeZ * 0.5f;
    for (u32_t j = 0; j < n; ++j) {
        for (u32_t i = 0; i < n; ++i) {
            const float height = HeightBelow(halfX - float(i) * stepX, -halfZ + float(j) * stepZ, boxMin, boxMax);
            // A land without height range (or no land) is all floor.
            float value = sizeY > 0.0f ? (height - boxMin.y) * 255.0f / sizeY : 0.0f;
            value = value < 0.0f ? 0.0f : (value > 255.0f ? 255.0f : value);
            const u8_t byte = static_cast<u8_t>(value);
            // The image runs from its last pixel backwards; reading it back flips its rows, so the
            // grid holds sample j in row j.
            u8_t* pixel = &pixels[(size_t(n - 1 - j) * n + (n - 1 - i)) * 4];
            pixel[0] = pixel[1] = pixel[2] = pixel[3] = byte;
            grid->data[size_t(j) * n + (n - 1 - i)] = byte;
        }
    }
    // A land folder that cannot be written to keeps the built heightmap for this load all the same.
    TgaWrite32(pixels.data(), n, name.c_str());
    MapForceCacheRebuild(false);
    g_heightmap = grid;
}

MapGrid* MapGetHeightmap()
{
    return g_heightmap;
}

void MapFreeHeightmap()
{
    MapGridFree(g_heightmap);
    g_heightmap = nullptr;
}
