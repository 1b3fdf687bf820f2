#include <cstdio>
#include <cstring>

#include "core/files/byte_io.h"
#include "map/octree/octree.h"
#include "platform/file_system.h"
#include "render/land/land_layers.h"

namespace {

constexpr char kMagic[] = "VisibleLayers";
constexpr size_t kMagicSize = sizeof kMagic - 1;
constexpr u32_t kVersion = 1;
constexpr size_t kFaceBytes = 3 * sizeof(u16_t);

bool ReadHeader(ByteReader& reader)
{
    char magic[kMagicSize];
    u32_t version = 0;
    return reader.ReadBytes(magic, kMagicSize) && std::memcmp(magic, kMagic, kMagicSize) == 0 &&
           reader.ReadU32(version) && version == kVersion;
}

// One leaf record checked against the leaf; the reader stands after it when it is sound.
bool CheckLeafRecord(ByteReader& reader, const OctreeNode* leaf)
{
    const OctreeGeometry& geometry = leaf->geometry;
    const u32_t own = leaf->OwnFaceCount();
    u32_t n = 0;
    if (!reader.ReadU32(n))
        return false;
    if (n == 0)
        return own == 0;
    if (n < own || (n > own && n > OCTREE_MAX_LEAF_FACES))
        return false;
    for (int layer = 0; layer < OCTREE_LAYER_COUNT; ++layer) {
        u32_t range = 0;
        reader.ReadU32(range);
        const u32_t first = OctreeLayerFirst(range), count = OctreeLayerCount(range);
        if (count && (first < own || first + count > n))
            return false;
    }
    const u32_t appended = n - own;
    if (!reader.Need(size_t(appended) * kFaceBytes))
        return false;
    for (u32_t f = 0; f < appended * 3; ++f) {
        u16_t index = 0;
        reader.ReadU16(index);
        if (index >= geometry.vertexCount)
            return false;
    }
    return reader.Ok();
}

bool ApplyLeafRecord(ByteReader& reader, OctreeNode* leaf)
{
    u32_t n = 0;
    reader.ReadU32(n);
    if (n == 0)
        return true;
    for (u32_t& range : leaf->layerRanges)
        reader.ReadU32(range);
    OctreeGeometry& geometry = leaf->geometry;
    const u32_t own = geometry.faceCount;
    if (!geometry.ReserveFaces(n - own))
        return false;
    geometry.traceFaceCount = own;
    for (u32_t f = own; f < n; ++f) {
        MapFace face;
        for (int c = 0; c < 3; ++c) {
            u16_t index = 0;
            reader.ReadU16(index);
            face.indices[c] = index;
        }
        geometry.AppendFace(face);
    }
    return true;
}

}  // namespace

void LandLayersForget(OctreeNode* root)
{
    OctreeForEachLeaf(root, OCTREE_WALK_ROOM_CHECK, [](OctreeNode* leaf) {
        leaf->geometry.faceCount = leaf->OwnFaceCount();
        leaf->geometry.traceFaceCount = 0;
        std::memset(leaf->layerRanges, 0, sizeof leaf->layerRanges);
    });
}

bool LandLayersReadCache(OctreeNode* root, const void* data, size_t size)
{
    if (!root)
        return false;
    LandLayersForget(root);
    ByteReader check(data, size);
    bool sound = ReadHeader(check);
    OctreeForEachLeaf(root, OCTREE_WALK_ROOM_CHECK,
                      [&](const OctreeNode* leaf) { sound = sound && CheckLeafRecord(check, leaf); });
    if (!sound || check.Remaining() != 0)
        return false;
    ByteReader reader(data, size);
    ReadHeader(reader);
    bool applied = true;
    OctreeForEachLeaf(root, OCTREE_WALK_ROOM_CHECK,
                      [&](OctreeNode* leaf) { applied = ApplyLeafRecord(reader, leaf) && applied; });
    if (!applied)
        LandLayersForget(root);
    return applied;
}

bool LandLayersWriteCache(OctreeNode* root, const char* path)
{
    std::FILE* file = PlatformOpenFile(path, "wb");
    if (!file)
        return false;
    ByteFileWriter writer(file);
    writer.WriteBytes(kMagic, kMagicSize);
    writer.WriteU32(kVersion);
    OctreeForEachLeaf(root, OCTREE_WALK_ROOM_CHECK, [&](const OctreeNode* leaf) {
        const OctreeGeometry& geometry = leaf->geometry;
        const u32_t n = geometry.faceCount;
        writer.WriteU32(n);
        if (n == 0)
            return;
        for (u32_t range : leaf->layerRanges)
            writer.WriteU32(range);
        for (u32_t f = leaf->OwnFaceCount(); f < n; ++f) {
            for (int c = 0; c < 3; ++c)
                writer.WriteU16(geometry.faces[f].indices[c]);
        }
    });
    const bool written = std::fclose(file) == 0 && writer.Ok();
    if (!written)
        PlatformRemoveFile(path);
    return written;
}
