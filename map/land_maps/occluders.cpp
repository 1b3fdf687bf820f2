#include "map/land_maps/occluders.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "core/files/byte_io.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/log.h"
#include "core/files/vfs.h"
#include "core/winos.h"
#include "map/terrain/map_caches.h"
#include "map/map_cvars.h"
#include "map/trace/map_trace.h"
#include "map/octree/octree.h"
#include "map/terrain/terrain_height.h"
#include "platform/file_system.h"
#include "platform/win32.h"
#include "render/draw2d/debug_primitives.h"
#include "render/render_cvars.h"

namespace {

struct OccluderState {
    OctreeNode** leaves = nullptr;
    u32_t leafCount = 0;
    u32_t resolution = 0;  // the resolution the grid was made with
    u16_t** grid = nullptr;
    // The list being built; grows past any size, kept from build to build.
    u16_t* work = nullptr;
    u32_t workCapacity = 0;
};

OccluderState g_occluders;

constexpr u32_t kFirstWorkCapacity = 2048;
constexpr u32_t kCrossColour = 0xFFFF0000u;
constexpr u32_t kCrossDurationMs = 10000;

u32_t CellCount(u32_t resolution)
{
    return resolution * resolution * OCCLUDER_TILE_LISTS;
}

// The grid resolution of the map settings; 0 or less disables the occluders.
u32_t ResolutionSetting()
{
    return mioccres.Int() > 0 ? static_cast<u32_t>(mioccres.Int()) : 0;
}

void FreeGrid(u16_t** grid, u32_t resolution)
{
    if (!grid)
        return;
    const u32_t lists = CellCount(resolution);
    for (u32_t i = 0; i < lists; ++i)
        delete[] grid[i];
    delete[] grid;
}

// A grid of empty lists (the end mark alone).
u16_t** NewGrid(u32_t resolution)
{
    const u32_t lists = CellCount(resolution);
    u16_t** grid = new u16_t*[lists];
    for (u32_t i = 0; i < lists; ++i) {
        grid[i] = new u16_t[1];
        grid[i][0] = OCCLUDER_LIST_END;
    }
    return grid;
}

void CollectLeaves()
{
    u32_t count = 0;
    OctreeForEachLeaf(OctreeGetRoot(), OCTREE_WALK_DEPTH_CHECK, [&](OctreeNode*) { ++count; });
    g_occluders.leaves = count ? new OctreeNode*[count] : nullptr;
    g_occluders.leafCount = 0;
    OctreeForEachLeaf(OctreeGetRoot(), OCTREE_WALK_DEPTH_CHECK,
                      [&](OctreeNode* leaf) { g_occluders.leaves[g_occluders.leafCount++] = leaf; });
}

void WorkAppend(u32_t used, u16_t index)
{
    if (used >= g_occluders.workCapacity) {
        const u32_t capacity = g_occluders.workCapacity ? g_occluders.workCapacity * 2 : kFirstWorkCapacity;
        u16_t* grown = new u16_t[capacity];
        for (u32_t i = 0; i < used; ++i)
            grown[i] = g_occluders.work[i];
        delete[] g_occluders.work;
        g_occluders.work = grown;
        g_occluders.workCapacity = capacity;
    }
    g_occluders.work[used] = index;
}

// Whether the segment from a to b crosses no map geometry. Every field of the trace record is set
// here, the one place the occluders trace.
bool SegmentClear(const Vector3& a, const Vector3& b)
{
    MapTraceInfo trace;
    trace.flags = 0;  // the map geometry alone
    trace.ignoreObject = nullptr;
    trace.objOptions = 0;
    trace.fraction = 1.0f;
    trace.hitPoint = b;
    trace.normal = {0.0f, 1.0f, 0.0f};
    const float start[3] = {a.x, a.y, a.z};
    const float end[3] = {b.x, b.y, b.z};
    return !MapTrace(start, end, &trace);
}

// Whether any vertex of the leaf, shifted by the tile offset, lies within reach of the sample
// point on x and z.
bool LeafInReach(const OctreeGeometry& geometry, const Vector3& shift, const Vector3& sample, float reachSquared)
{
    for (u32_t v = 0; v < geometry.vertexCount; ++v) {
        const Vector3& p = geometry.vertices[v].position;
        const float dx = p.x + shift.x - sample.x, dz = p.z + shift.z - sample.z;
        if (dx * dx + dz * dz < reachSquared)
            return true;
    }
    return false;
}

bool LeafSeen(const OctreeGeometry& geometry, const Vector3& shift, const Vector3* samples)
{
    for (int s = 0; s < 4; ++s) {
        for (u32_t v = 0; v < geometry.vertexCount; ++v) {
            const MapVertex& vertex = geometry.vertices[v];
            const Vector3 target = {vertex.position.x + shift.x + vertex.normal.x,
                                    vertex.position.y + shift.y + vertex.normal.y,
                                    vertex.position.z + shift.z + vertex.normal.z};
            if (SegmentClear(samples[s], target))
                return true;
        }
    }
    return false;
}

void LogDuration(DWORD started)
{
    long seconds = static_cast<long>((GetTickCount() - started) / 1000);
    const int days = static_cast<int>(seconds / 86400);
    seconds %= 86400;
    const int hours = static_cast<int>(seconds / 3600);
    seconds %= 3600;
    Log("Occluders computation took: %d days, %d hours, %d min., %d sec.\n", days, hours,
        static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
}

void Build(const std::string& fileName)
{
    const DWORD started = GetTickCount();
    ConPrint(0, "Building occluders: '%s'\n\n", fileName.c_str());
    DebugPrint("Building occluder info: %s\n", fileName.c_str());
    std::FILE* file = PlatformOpenFile(fileName.c_str(), "wb");
    if (!file)
        DebugPrint("Occluder file %s cannot be created: built in memory only\n", fileName.c_str());
    ByteFileWriter out(file);
    const u32_t resolution = g_occluders.resolution;
    out.WriteU32(g_occluders.leafCount);
    out.WriteU32(resolution);

    const OctreeNode* root = OctreeGetRoot();
    const float widthX = root->boxMax.x - root->boxMin.x;
    const float depthZ = root->boxMax.z - root->boxMin.z;
    const float cellX = widthX / static_cast<float>(resolution);
    const float cellZ = depthZ / static_cast<float>(resolution);
    const float reach = 10.0f * mfrange.Float() + 1.4142f * cellX;
    const float reachSquared = reach * reach;

    u16_t** list = g_occluders.grid;
    for (u32_t i = 0; i < resolution; ++i) {
        ConPrintProgressBar(0, static_cast<int>(resolution / 2), static_cast<int>(i / 2));
        for (u32_t j = 0; j < resolution; ++j) {
            const float centreX = root->boxMin.x + cellX * 0.5f + static_cast<float>(j) * cellX;
            const float centreZ = root->boxMin.z + cellZ * 0.5f + static_cast<float>(i) * cellZ;
            Vector3 samples[4];
            for (int b = 0; b < 4; ++b) {
                const float x = centreX + ((b & 1) ? 0.6f : -0.6f) * cellX;
                const float z = centreZ + ((b & 2) ? 0.6f : -0.6f) * cellZ;
                samples[b] = {x, MapTerrainHeight(x, z, nullptr, nullptr) + OCCLUDER_EYE_HEIGHT, z};
                // The sample points are for whoever debugs the map's structure, not for the player.
                if (rbshowboxes.Bool())
                    DebugCrossAdd(&samples[b], kCrossColour, kCrossDurationMs);
            }
            for (s32_t dz = -2; dz <= 2; ++dz) {
                for (s32_t dx = -2; dx <= 2; ++dx, ++list) {
                    const Vector3 shift = {static_cast<float>(dx) * widthX, 0.0f, static_cast<float>(dz) * depthZ};
                    u32_t used = 0;
                    for (u32_t l = 0; l < g_occluders.leafCount; ++l) {
                        const OctreeGeometry& geometry = g_occluders.leaves[l]->geometry;
                        if (geometry.vertexCount == 0 || !geometry.vertices)
                            continue;
                        if (!LeafInReach(geometry, shift, samples[0], reachSquared))
                            continue;
                        if (LeafSeen(geometry, shift, samples))
                            WorkAppend(used++, static_cast<u16_t>(l));
                    }
                    u16_t*& stored = *list;
                    delete[] stored;
                    stored = new u16_t[used + 1];
                    for (u32_t k = 0; k < used; ++k)
                        stored[k] = g_occluders.work[k];
                    stored[used] = OCCLUDER_LIST_END;
                    out.WriteU16(static_cast<u16_t>(used));
                    for (u32_t k = 0; k < used; ++k)
                        out.WriteU16(g_occluders.work[k]);
                }
            }
        }
    }
    if (file) {
        const bool complete = out.Ok();
        std::fclose(file);
        if (!complete)
            PlatformRemoveFile(fileName.c_str());
    }
    ConPrint(0, "\r");
    LogDuration(started);
}

}  // namespace

bool OccludersReadBytes(const void* data, size_t size)
{
    const u32_t resolution = g_occluders.resolution;
    if (!data || resolution == 0)
        return false;
    ByteReader in(data, size);
    u32_t leafCount = 0, storedResolution = 0;
    if (!in.ReadU32(leafCount) || !in.ReadU32(storedResolution))
        return false;
    if (leafCount != g_occluders.leafCount || storedResolution != resolution)
        return false;
    const u32_t lists = CellCount(resolution);
    u16_t** grid = new u16_t*[lists]();
    bool sound = true;
    for (u32_t i = 0; i < lists && sound; ++i) {
        u16_t count = 0;
        sound = in.ReadU16(count) && count <= leafCount && in.Need(size_t(count) * 2);
        if (!sound)
            break;
        grid[i] = new u16_t[count + 1];
        for (u32_t k = 0; k < count && sound; ++k) {
            u16_t index = 0;
            sound = in.ReadU16(index) && index < leafCount;
            grid[i][k] = index;
        }
        grid[i][count] = OCCLUDER_LIST_END;
    }
    // Whatever follows the last list belongs to no list of this grid.
    sound = sound && in.Ok() && in.Remaining() == 0;
    if (!sound) {
        FreeGrid(grid, resolution);
        return false;
    }
    FreeGrid(g_occluders.grid, resolution);
    g_occluders.grid = grid;
    return true;
}

void OccludersLoadOrBuild(const char* missionFolder, const char* landFolder)
{
    OccludersFree();
    const u32_t resolution = ResolutionSetting();
    if (resolution == 0 || g_program.editorMode) {
        ConPrint(0, ERROR_COLOUR "Warning: occluders disabled\n");
        return;
    }
    if (!OctreeGetRoot()) {
        ConPrint(0, ERROR_COLOUR "Warning: occluders disabled\n");
        return;
    }
    CollectLeaves();
    // Leaf indices are 16-bit with the end mark above them all.
    if (g_occluders.leafCount >= OCCLUDER_LIST_END) {
        ConPrint(0, ERROR_COLOUR "Warning: occluders disabled\n");
        OccludersFree();
        return;
    }
    g_occluders.resolution = resolution;
    g_occluders.grid = NewGrid(resolution);

    const std::string mission = missionFolder ? missionFolder : "";
    const std::string fileName = mission + "\\map.ocl";
    const std::string source = std::string(landFolder ? landFolder : "") + "\\mesh.lff";
    bool load = !MapCacheIsStale(fileName.c_str(), source.c_str());
    if (!load && VFSOpenFile(fileName.c_str())) {
        VFSCloseFile();
        load = true;
    }
    if (load) {
        PlatformCreateDirectories(mission.c_str());
        u32_t size = 0;
        char* bytes = VFSLoadFile(fileName.c_str(), &size);
        const bool read = bytes && OccludersReadBytes(bytes, size);
        delete[] bytes;
        if (read) {
            DebugPrint("Occluder info loaded successfully: %s\n", fileName.c_str());
            return;
        }
        // A file of another octree or grid, or a damaged one: its lists are built anew.
        FreeGrid(g_occluders.grid, resolution);
        g_occluders.grid = NewGrid(resolution);
    }
    Build(fileName);
}

void OccludersFree()
{
    delete[] g_occluders.leaves;
    g_occluders.leaves = nullptr;
    g_occluders.leafCount = 0;
    FreeGrid(g_occluders.grid, g_occluders.resolution);
    g_occluders.grid = nullptr;
    g_occluders.resolution = 0;
    delete[] g_occluders.work;
    g_occluders.work = nullptr;
    g_occluders.workCapacity = 0;
}

void MapGetOccluderGrid(u32_t* resolution, u16_t*** grid)
{
    if (resolution)
        *resolution = g_occluders.grid ? g_occluders.resolution : 0;
    if (grid)
        *grid = g_occluders.grid;
}

OctreeNode* const* OccludersGetLeaves(u32_t* count)
{
    if (count)
        *count = g_occluders.leafCount;
    return g_occluders.leaves;
}
