// The ".aff" readers. Every count, length, reference and index is checked against the data at
// hand before anything is allocated or used; a file that does not hold together leaves the mesh
// empty and reads as ANIM_READ_ERROR.
#include <cstring>
#include <new>
#include <vector>

#include "core/files/byte_io.h"
#include "core/files/uff_file.h"
#include "world/animation/anim_mesh.h"

namespace {

// Allocates count items for a block the mesh will own; an empty block stays null. False when
// memory fails.
template <class T>
bool AllocateArray(T*& items, size_t count)
{
    if (count == 0)
        return true;
    items = new (std::nothrow) T[count];
    return items != nullptr;
}

struct Chunk {
    const u8_t* data = nullptr;
    size_t size = 0;
    bool present = false;
};

struct AffChunks {
    Chunk strings;
    Chunk textures;
    Chunk frames;
    Chunk zones;
    Chunk portal;
    Chunk dummies;
};

// Bytes of the fixed parts of the records, the least each one takes in the file.
constexpr size_t kStringLeast = 5;  // length and terminating zero
constexpr size_t kMeshHeader = 28;
constexpr size_t kMaterialBlock = 64;
constexpr size_t kVertexBoxes = 24;
constexpr size_t kVertexBytes = 15;  // 3 floats and 3 signed bytes
constexpr size_t kZoneLeast = 11;    // length, kind, parent, point count
constexpr size_t kDummyBox = 52;

// An entry's bytes: in place for an image or a mapped file, else copied into the storage.
bool LoadChunk(UffFile& file, s32_t entry, Chunk& chunk, std::vector<u8_t>& storage)
{
    if (entry < 0)
        return true;
    const u32_t size = file.GetEntrySize(entry);
    if (size > 0x7FFFFFFFu || !file.OpenEntry(entry))
        return false;
    const u8_t* bytes = file.ReadEntryInPlace(size);
    bool ok = bytes != nullptr;
    if (!ok) {
        storage.resize(size);
        ok = file.ReadEntry(storage.data(), static_cast<s32_t>(size)) == 1;
        bytes = storage.data();
    }
    file.CloseEntry();
    chunk.data = bytes;
    chunk.size = size;
    chunk.present = ok;
    return ok;
}

bool ReadVector(ByteReader& reader, Vector3& v)
{
    reader.ReadF32(v.x);
    reader.ReadF32(v.y);
    return reader.ReadF32(v.z);
}

bool ReadFloats(ByteReader& reader, float* out, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        reader.ReadF32(out[i]);
    return reader.Ok();
}

bool ReadStringTable(const Chunk& chunk, EngineString*& table, u32_t& tableCount)
{
    ByteReader reader(chunk.data, chunk.size);
    u32_t count = 0;
    if (!reader.ReadU32(count) || count > reader.Remaining() / kStringLeast)
        return false;
    if (!AllocateArray(table, count))
        return false;
    tableCount = count;
    for (u32_t i = 0; i < count; ++i) {
        u32_t length = 0;
        // The text and its terminating byte: length + 1 bytes.
        if (!reader.ReadU32(length) || length >= reader.Remaining())
            return false;
        table[i].SetChars(reinterpret_cast<const char*>(reader.Cursor()), length);
        reader.Skip(static_cast<size_t>(length) + 1);
    }
    return true;
}

bool ReadMaterial(ByteReader& reader, AnimMaterial& material)
{
    ReadFloats(reader, material.ambient, 3);
    ReadFloats(reader, material.diffuse, 3);
    reader.ReadF32(material.opacity);
    reader.ReadU32(material.textureWord);
    ReadFloats(reader, material.specular, 3);
    ReadFloats(reader, material.emissive, 3);
    reader.ReadF32(material.shininess);
    return reader.ReadF32(material.specularStrength);
}

bool ReadVertices(ByteReader& reader, AnimVertexData& data)
{
    u32_t count = 0;
    if (!reader.ReadU32(count) || reader.Remaining() < kVertexBoxes ||
        count > (reader.Remaining() - kVertexBoxes) / kVertexBytes)
        return false;
    ReadVector(reader, data.boxMin);
    ReadVector(reader, data.boxMax);
    data.size = {data.boxMax.x - data.boxMin.x, data.boxMax.y - data.boxMin.y, data.boxMax.z - data.boxMin.z};
    data.centre = {(data.boxMin.x + data.boxMax.x) * 0.5f, (data.boxMin.y + data.boxMax.y) * 0.5f,
                   (data.boxMin.z + data.boxMax.z) * 0.5f};
    const size_t components = static_cast<size_t>(count) * 3;
    if (count) {
        data.positions = new (std::nothrow) float[components];
        data.normals = new (std::nothrow) s8_t[components];
        if (!data.positions || !data.normals)
            return false;
    }
    data.count = count;
    ReadFloats(reader, data.positions, components);
    return reader.ReadBytes(data.normals, components);
}

bool ReadTexCoords(ByteReader& reader, AnimTexCoords& coords)
{
    u32_t count = 0;
    if (!reader.ReadU32(count) || count > reader.Remaining() / 8)
        return false;
    if (!AllocateArray(coords.uv, static_cast<size_t>(count) * 2))
        return false;
    coords.count = count;
    return ReadFloats(reader, coords.uv, static_cast<size_t>(count) * 2);
}

bool ReadFaces(ByteReader& reader, AnimFaces& faces)
{
    u32_t count = 0;
    if (!reader.ReadU32(count) || count > reader.Remaining() / 6)
        return false;
    const size_t indexCount = static_cast<size_t>(count) * 3;
    if (!AllocateArray(faces.indices, indexCount))
        return false;
    faces.count = count;
    for (size_t i = 0; i < indexCount; ++i)
        reader.ReadU16(faces.indices[i]);
    return reader.Ok();
}

// Allocates a block the mesh will own and reads it.
template <class Block, class ReadFunction>
bool ReadOwnedBlock(ByteReader& reader, Block*& block, ReadFunction read)
{
    block = new (std::nothrow) Block;
    return block && read(reader, *block);
}

bool ReadMesh(ByteReader& reader, const AnimMesh& mesh, AnimFrameMesh& out)
{
    reader.ReadU32(out.nameIndex);
    reader.ReadU32(out.vertexCount);
    reader.ReadU32(out.faceCount);
    reader.ReadS32(out.materialRef);
    reader.ReadS32(out.vertexRef);
    reader.ReadS32(out.texCoordRef);
    if (!reader.ReadS32(out.faceRef) || out.nameIndex >= mesh.strings_c)
        return false;
    if (out.materialRef == ANIM_REF_OWN && !ReadOwnedBlock(reader, out.material, ReadMaterial))
        return false;
    if (out.vertexRef == ANIM_REF_OWN && !ReadOwnedBlock(reader, out.vertices, ReadVertices))
        return false;
    if (out.texCoordRef == ANIM_REF_OWN && !ReadOwnedBlock(reader, out.texCoords, ReadTexCoords))
        return false;
    if (out.faceRef == ANIM_REF_OWN && !ReadOwnedBlock(reader, out.faces, ReadFaces))
        return false;
    AnimMeshClassifyMesh(&mesh, &out);
    return true;
}

bool ReadFrames(const Chunk& chunk, AnimMesh& mesh)
{
    ByteReader reader(chunk.data, chunk.size);
    u32_t count = 0;
    reader.ReadU32(count);
    if (!reader.ReadF32(mesh.frameRate) || count > reader.Remaining() / 4)
        return false;
    if (!AllocateArray(mesh.frames, count))
        return false;
    mesh.frames_c = count;
    for (u32_t f = 0; f < count; ++f) {
        AnimFrame& frame = mesh.frames[f];
        u32_t meshCount = 0;
        if (!reader.ReadU32(meshCount) || meshCount > reader.Remaining() / kMeshHeader)
            return false;
        if (!AllocateArray(frame.meshes, meshCount))
            return false;
        frame.meshes_c = meshCount;
        for (u32_t m = 0; m < meshCount; ++m) {
            if (!ReadMesh(reader, mesh, frame.meshes[m]))
                return false;
        }
    }
    return true;
}

s32_t& RefOf(AnimFrameMesh& mesh, int kind)
{
    switch (kind) {
        case 0:
            return mesh.materialRef;
        case 1:
            return mesh.vertexRef;
        case 2:
            return mesh.texCoordRef;
        default:
            return mesh.faceRef;
    }
}

// Points every shared reference straight at the mesh that holds the data (a reference to a mesh
// that is itself shared is followed on), so that the accessors follow one step. False for a
// reference out of range or a circle of references.
bool ResolveReferences(AnimMesh& mesh)
{
    u32_t total = 0;
    for (u32_t f = 0; f < mesh.frames_c; ++f)
        total += mesh.frames[f].meshes_c;
    for (u32_t f = 0; f < mesh.frames_c; ++f) {
        for (u32_t m = 0; m < mesh.frames[f].meshes_c; ++m) {
            for (int kind = 0; kind < 4; ++kind) {
                s32_t& ref = RefOf(mesh.frames[f].meshes[m], kind);
                if (ref == ANIM_REF_OWN)
                    continue;
                s32_t target = ref;
                for (u32_t steps = 0;; ++steps) {
                    const u32_t frame = static_cast<u32_t>(target) >> 16;
                    const u32_t index = static_cast<u32_t>(target) & 0xFFFF;
                    if (steps > total || frame >= mesh.frames_c || index >= mesh.frames[frame].meshes_c)
                        return false;
                    const s32_t next = RefOf(mesh.frames[frame].meshes[index], kind);
                    if (next == ANIM_REF_OWN)
                        break;
                    target = next;
                }
                ref = target;
            }
        }
    }
    return true;
}

bool IndicesBelow(const u16_t* indices, size_t count, u32_t limit)
{
    for (size_t i = 0; i < count; ++i) {
        if (indices[i] >= limit)
            return false;
    }
    return true;
}

// The vertices a face block reaches: one past its highest index, 0 when it is empty.
u32_t VerticesReached(const AnimFaces& faces)
{
    const size_t corners = static_cast<size_t>(faces.count) * 3;
    u32_t highest = 0;
    for (size_t i = 0; i < corners; ++i)
        highest = faces.indices[i] > highest ? faces.indices[i] : highest;
    return corners ? highest + 1 : 0;
}

// Draw calls take the header's vertex and face counts: the blocks must hold that many, and the
// faces drawn must address vertices drawn. Hit tests, welding and neighbours walk a mesh's whole
// face block over its positions, so every face of a block must also address positions of each mesh
// that uses it: its holder and every mesh that shares it (references are resolved to the holder by
// now, so a chain of them is checked at each link). Each block is scanned once.
bool MeshesHoldTogether(const AnimMesh& mesh)
{
    constexpr u32_t kNotScanned = 0xFFFFFFFFu;
    std::vector<u32_t> firstOfFrame(mesh.frames_c);
    size_t total = 0;
    for (u32_t f = 0; f < mesh.frames_c; ++f) {
        firstOfFrame[f] = static_cast<u32_t>(total);
        total += mesh.frames[f].meshes_c;
    }
    std::vector<u32_t> reached(total, kNotScanned);
    for (u32_t f = 0; f < mesh.frames_c; ++f) {
        for (u32_t m = 0; m < mesh.frames[f].meshes_c; ++m) {
            const AnimFrameMesh& frameMesh = mesh.frames[f].meshes[m];
            const AnimVertexData* vertices = mesh.GetMeshVertices(f, m);
            const AnimTexCoords* coords = mesh.GetMeshTexCoords(f, m);
            const AnimFaces* faces = mesh.GetMeshFaces(f, m);
            if (frameMesh.vertexCount > vertices->count || frameMesh.vertexCount > coords->count ||
                frameMesh.faceCount > faces->count)
                return false;
            if (!IndicesBelow(faces->indices, static_cast<size_t>(frameMesh.faceCount) * 3, frameMesh.vertexCount))
                return false;
            const u32_t holder = frameMesh.faceRef == ANIM_REF_OWN
                                     ? firstOfFrame[f] + m
                                     : firstOfFrame[static_cast<u32_t>(frameMesh.faceRef) >> 16] +
                                           (static_cast<u32_t>(frameMesh.faceRef) & 0xFFFF);
            if (reached[holder] == kNotScanned)
                reached[holder] = VerticesReached(*faces);
            if (reached[holder] > vertices->count)
                return false;
        }
    }
    return true;
}

bool ReadDummyBoxes(const Chunk& chunk, AnimMesh& mesh)
{
    ByteReader reader(chunk.data, chunk.size);
    u32_t count = 0;
    if (!reader.ReadU32(count) || count > reader.Remaining() / kDummyBox)
        return false;
    if (!AllocateArray(mesh.dummyBoxes, count))
        return false;
    mesh.dummyBoxes_c = count;
    for (u32_t i = 0; i < count; ++i) {
        AnimDummyBox& box = mesh.dummyBoxes[i];
        reader.ReadBytes(box.name, sizeof box.name);
        box.name[sizeof box.name - 1] = '\0';
        ReadVector(reader, box.first);
        ReadVector(reader, box.second);
        ReadVector(reader, box.position);
    }
    return reader.Ok();
}

// Zones not yet hung in the tree; freed when reading stops early.
struct LooseZones {
    std::vector<AnimZone*> zones;
    ~LooseZones()
    {
        for (AnimZone* zone : zones)
            delete zone;
    }
};

bool ReadZone(ByteReader& reader, AnimZone& zone, s32_t& parent)
{
    u32_t nameLength = 0;
    if (!reader.ReadU32(nameLength) || nameLength > reader.Remaining())
        return false;
    zone.name = new (std::nothrow) char[static_cast<size_t>(nameLength) + 1];
    if (!zone.name)
        return false;
    reader.ReadBytes(zone.name, nameLength);
    zone.name[nameLength] = '\0';
    zone.cross = std::strstr(zone.name, "cross") != nullptr ? 1 : 0;
    reader.ReadU8(zone.kind);
    reader.ReadS32(parent);
    u16_t pointCount = 0;
    if (!reader.ReadU16(pointCount) || pointCount > reader.Remaining() / 12)
        return false;
    if (!AllocateArray(zone.points, pointCount))
        return false;
    zone.pointCount = pointCount;
    for (u16_t i = 0; i < pointCount; ++i) {
        Vector3 p;
        ReadVector(reader, p);
        // The file's second and third components trade places.
        zone.points[i] = {p.x, p.z, p.y};
    }
    return reader.Ok();
}

// Every parent is -1 or another zone, and following parents always ends at the root.
bool ParentsFormTree(const std::vector<s32_t>& parents)
{
    const size_t count = parents.size();
    enum : u8_t { kUnknown, kOnPath, kReachesRoot };
    std::vector<u8_t> state(count, kUnknown);
    std::vector<size_t> path;
    for (size_t start = 0; start < count; ++start) {
        path.clear();
        size_t zone = start;
        for (;;) {
            if (state[zone] == kReachesRoot)
                break;
            if (state[zone] == kOnPath)
                return false;
            state[zone] = kOnPath;
            path.push_back(zone);
            const s32_t parent = parents[zone];
            if (parent == -1)
                break;
            if (parent < 0 || static_cast<size_t>(parent) >= count)
                return false;
            zone = static_cast<size_t>(parent);
        }
        for (size_t z : path)
            state[z] = kReachesRoot;
    }
    return true;
}

bool ReadZones(const Chunk& chunk, AnimMesh& mesh)
{
    ByteReader reader(chunk.data, chunk.size);
    u32_t count = 0;
    if (!reader.ReadU32(count) || count > reader.Remaining() / kZoneLeast)
        return false;
    LooseZones loose;
    loose.zones.reserve(count);
    std::vector<s32_t> parents(count, -1);
    for (u32_t i = 0; i < count; ++i) {
        AnimZone* zone = new (std::nothrow) AnimZone;
        if (!zone)
            return false;
        loose.zones.push_back(zone);
        if (!ReadZone(reader, *zone, parents[i]))
            return false;
    }
    if (!ParentsFormTree(parents))
        return false;

    // Child arrays are sized once; children keep file order.
    AnimZone* root = mesh.zoneRoot;
    auto parentOf = [&](u32_t i) { return parents[i] == -1 ? root : loose.zones[static_cast<size_t>(parents[i])]; };
    std::vector<u32_t> childTotals(count, 0);
    u32_t rootChildren = root->childCount;
    for (u32_t i = 0; i < count; ++i) {
        u32_t& total = parents[i] == -1 ? rootChildren : childTotals[static_cast<size_t>(parents[i])];
        if (++total > 0xFFFF)
            return false;
    }
    auto allocateChildren = [](AnimZone* zone, u32_t total) {
        if (total == 0)
            return true;
        AnimZone** children = new (std::nothrow) AnimZone*[total];
        if (!children)
            return false;
        if (zone->childCount)
            std::memcpy(children, zone->children, sizeof(AnimZone*) * zone->childCount);
        delete[] zone->children;
        zone->children = children;
        return true;
    };
    if (!allocateChildren(root, rootChildren))
        return false;
    for (u32_t i = 0; i < count; ++i) {
        if (!allocateChildren(loose.zones[i], childTotals[i]))
            return false;
    }
    for (u32_t i = 0; i < count; ++i) {
        AnimZone* parent = parentOf(i);
        AnimZone* zone = loose.zones[i];
        parent->children[parent->childCount++] = zone;
        zone->parent = parent;
    }
    loose.zones.clear();
    return true;
}

bool ReadPortal(const Chunk& chunk, AnimMesh& mesh)
{
    const u32_t count = mesh.frames_c ? mesh.frames[0].meshes_c : 0;
    ByteReader reader(chunk.data, chunk.size);
    if (!reader.Need(static_cast<size_t>(count) * 5))
        return false;
    if (count == 0)
        return true;
    mesh.portalBytes = new (std::nothrow) u8_t[count];
    mesh.portalWords = new (std::nothrow) u32_t[count];
    if (!mesh.portalBytes || !mesh.portalWords)
        return false;
    reader.ReadBytes(mesh.portalBytes, count);
    for (u32_t i = 0; i < count; ++i)
        reader.ReadU32(mesh.portalWords[i]);
    return reader.Ok();
}

int ReadContent(AnimMesh& mesh, const AffChunks& chunks, bool withPortal)
{
    const bool ok = ReadStringTable(chunks.strings, mesh.strings, mesh.strings_c) &&
                    ReadStringTable(chunks.textures, mesh.textures, mesh.textures_c) &&
                    ReadFrames(chunks.frames, mesh) && ResolveReferences(mesh) && MeshesHoldTogether(mesh) &&
                    (!chunks.dummies.present || ReadDummyBoxes(chunks.dummies, mesh)) &&
                    (!chunks.zones.present || ReadZones(chunks.zones, mesh)) &&
                    (!withPortal || !chunks.portal.present || ReadPortal(chunks.portal, mesh));
    if (!ok) {
        mesh.Clear();
        return ANIM_READ_ERROR;
    }
    return ANIM_READ_OK;
}

s32_t FindExactName(const UffFile& file, const char* name)
{
    for (s32_t entry = 0; entry < file.EntryCount(); ++entry) {
        if (std::strcmp(file.GetEntryName(entry), name) == 0)
            return entry;
    }
    return -1;
}

struct ChunkStorage {
    std::vector<u8_t> buffers[6];
};

bool LoadChunks(UffFile& file, const s32_t entries[6], AffChunks& chunks, ChunkStorage& storage)
{
    Chunk* targets[6] = {&chunks.strings, &chunks.textures, &chunks.frames,
                         &chunks.zones,   &chunks.portal,   &chunks.dummies};
    for (int i = 0; i < 6; ++i) {
        if (!LoadChunk(file, entries[i], *targets[i], storage.buffers[i]))
            return false;
    }
    return true;
}

constexpr const char* kChunkNames[6] = {"str-table", "tex-table", "frames", "zones", "portal_info", "dummy_boxes"};

}  // namespace

int AnimMeshReadFile(AnimMesh* mesh, const char* fileName)
{
    mesh->Clear();
    UffFile file(fileName);
    if (!file.IsOpen())
        return ANIM_READ_NOT_OPEN;
    // Chunks are then read in place; a file that cannot be mapped is read through the stream.
    file.MapFile();
    const s32_t root = file.Root();
    if (root < 0)
        return ANIM_READ_ERROR;
    s32_t entries[6];
    for (int i = 0; i < 6; ++i)
        entries[i] = file.FindChild(root, kChunkNames[i]);
    if (entries[0] < 0 || entries[1] < 0 || entries[2] < 0)
        return ANIM_READ_ERROR;
    AffChunks chunks;
    ChunkStorage storage;
    if (!LoadChunks(file, entries, chunks, storage))
        return ANIM_READ_ERROR;
    return ReadContent(*mesh, chunks, true);
}

int AnimMeshReadImage(AnimMesh* mesh, const void* image, u32_t size)
{
    mesh->Clear();
    UffFile file;
    if (!file.OpenImage(image, size))
        return ANIM_READ_ERROR;
    s32_t entries[6];
    for (int i = 0; i < 6; ++i)
        entries[i] = FindExactName(file, kChunkNames[i]);
    // Images come from the archives, which carry no portal values.
    entries[4] = -1;
    if (entries[0] < 0 || entries[1] < 0 || entries[2] < 0)
        return ANIM_READ_ERROR;
    AffChunks chunks;
    ChunkStorage storage;
    if (!LoadChunks(file, entries, chunks, storage))
        return ANIM_READ_ERROR;
    return ReadContent(*mesh, chunks, false);
}
