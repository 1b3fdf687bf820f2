#include "map/octree/map_octree_build.h"

#include <cmath>
#include <new>

#include "core/log.h"
#include "map/meshes/geometry_cut.h"
#include "map/terrain/map_caches.h"
#include "map/octree/map_leaf_data.h"
#include "map/terrain/map_settings_commands.h"
#include "map/octree/octree.h"
#include "map/octree/octree_cache.h"
#include "map/octree/octree_stats.h"
#include "map/terrain/roads.h"
#include "platform/file_system.h"

namespace {

// More cuts than this on one axis means the piece's bounds are not sound.
constexpr int kMaxTileCuts = 4096;

void AddToRoot(OctreeNode* root, OctreeGeometry* piece)
{
    if (!piece)
        return;
    if (piece->faceCount == 0 || !root->AddSecondarySet(piece))
        OctreeGeometryDelete(piece);
}

// Cuts what reaches past the root's far edge on the axis (0 x, 2 z), moves each far part back one
// world size with its tile offset, and hands each near part on (to the z cuts, or to the root).
template <class Next>
void CutAtFarEdge(OctreeGeometry* piece, int axis, float edge, float worldSize, Next&& next)
{
    for (int cuts = 0; piece && cuts < kMaxTileCuts; ++cuts) {
        const float reach = axis == 0 ? piece->boundsMax.x : piece->boundsMax.z;
        if (!(reach > edge) || piece->faceCount == 0)
            break;
        OctreeGeometry* far = nullptr;
        OctreeGeometry* near = GeometrySplitAtPlane(piece, axis, edge, &far);
        if (!near) {
            Log("WARNING: a road piece of %u faces could not be cut at the tile edge\n", piece->faceCount);
            break;
        }
        next(near);
        if (axis == 0)
            GeometryShiftTile(far, {-worldSize, 0.0f, 0.0f}, 1, 0);
        else
            GeometryShiftTile(far, {0.0f, 0.0f, -worldSize}, 0, 1);
        piece = far;
    }
    next(piece);
}

// A road's arrays (taken over) as an overlay set carrying its texture, filters and tile word.
OctreeGeometry* RoadSet(Road* road)
{
    OctreeGeometry* set = new (std::nothrow) OctreeGeometry();
    if (!set)
        return nullptr;
    set->vertices = road->vertices;
    set->vertexCount = set->vertexCapacity = road->vertexCount;
    set->faces = road->faces;
    set->faceCount = set->faceCapacity = road->faceCount;
    set->material.texture = road->texture;
    set->material.filter = static_cast<u32_t>(road->minMagFilter);
    set->material.mipFilter = static_cast<u32_t>(road->mipFilter);
    set->material.maxAnisotropy = road->maxAnisotropy;
    set->material.visibleStamp = road->tileWord;
    set->splitVertical = 0;
    set->boundsMin = road->boundsMin;
    set->boundsMax = road->boundsMax;
    const float dx = set->boundsMax.x - set->boundsMin.x, dy = set->boundsMax.y - set->boundsMin.y,
                dz = set->boundsMax.z - set->boundsMin.z;
    set->boundsRadius = 0.5f * std::sqrt(dx * dx + dy * dy + dz * dz);
    road->vertices = nullptr;
    road->faces = nullptr;
    return set;
}

void AddRoads(OctreeNode* root, float worldSize)
{
    const float edgeX = root->boxMax.x, edgeZ = root->boxMax.z;
    for (u32_t i = 0; i < RoadListCount(); ++i) {
        Road* road = RoadListGet(i);
        if (!road || road->faceCount == 0 || !road->vertices || !road->faces)
            continue;
        OctreeGeometry* set = RoadSet(road);
        if (!set)
            continue;
        GeometryRecentreToBaseTile(set, worldSize);
        CutAtFarEdge(set, 0, edgeX, worldSize, [&](OctreeGeometry* near) {
            CutAtFarEdge(near, 2, edgeZ, worldSize, [&](OctreeGeometry* piece) { AddToRoot(root, piece); });
        });
    }
}

}  // namespace

std::string MapOctreeCachePath(const char* landName)
{
    const std::string dataPath = MapGetDataPath();
    const size_t cut = dataPath.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? std::string() : dataPath.substr(0, cut + 1);
    return folder + (landName ? landName : "") + ".oct";
}

bool MapBuildOctree(MapLandGeometry* land, const char* landName)
{
    OctreeNode* root = OctreeGetRoot();
    if (!root)
        return false;
    OctreeGeometry& own = root->geometry;
    own.Reset(true);
    if (land) {
        own.vertices = land->vertices;
        own.vertexCount = own.vertexCapacity = land->vertexCount;
        own.faces = land->faces;
        own.faceCount = own.faceCapacity = land->faceCount;
        own.boundsMin = land->boxMin;
        own.boundsMax = land->boxMax;
        const float dx = land->boxMax.x - land->boxMin.x, dy = land->boxMax.y - land->boxMin.y,
                    dz = land->boxMax.z - land->boxMin.z;
        own.boundsRadius = 0.5f * std::sqrt(dx * dx + dy * dy + dz * dz);
        // The octree owns the arrays from here on, whether it is built or read from the cache.
        *land = MapLandGeometry{};
    }
    {
        // Done at every load, whether the tree is then built or read back.
        const OctreeFaceLogPause quiet;
        AddRoads(root, OctreeGetWorldSize());
    }

    const std::string path = MapOctreeCachePath(landName);
    // A file on disk older than the map data on disk (or any file while a rebuild is forced) is built
    // anew; one in the archives, or beside map data in the archives, is taken as it is.
    const bool stale = PlatformFileExists(path.c_str()) && MapDiskCacheIsStale(path.c_str(), MapGetDataPath());
    const bool read = !stale && OctreeCacheRead(path.c_str());
    if (read) {
        root->DistributeSecondarySets();
    } else {
        root->Build();
        PlatformCreateDirectories(MAP_LAND_FOLDER);
        OctreeCacheWrite(path.c_str());
    }
    root->LinkNeighbours();
    MapPrepareLeafData(root);
    OctreePrintStats();
    return read;
}
