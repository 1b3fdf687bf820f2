#include "map/octree/octree_cache.h"

#include <cstdio>
#include <new>

#include "core/files/byte_io.h"
#include "core/files/vfs.h"
#include "map/octree/octree.h"
#include "platform/file_system.h"

namespace {

constexpr size_t kNodeBytes = 6 * 4 + 4 + 4 + 1;
constexpr size_t kGeometryBytes = 4 + 4 + 4 + 4 + 4 + 6 * 4 + 4;
constexpr size_t kVertexBytes = 32;
constexpr size_t kFaceBytes = 41;

size_t RecordBytes(const OctreeNode* node)
{
    size_t bytes =
        kNodeBytes + kGeometryBytes + kVertexBytes * node->geometry.vertexCount + kFaceBytes * node->geometry.faceCount;
    if (!node->IsLeaf()) {
        for (const OctreeNode* child : node->children)
            bytes += RecordBytes(child);
    }
    return bytes;
}

void WriteVector(ByteBufferWriter& out, const Vector3& v)
{
    out.WriteF32(v.x);
    out.WriteF32(v.y);
    out.WriteF32(v.z);
}

void WriteGeometry(ByteBufferWriter& out, const OctreeGeometry& g)
{
    out.WriteU32(g.vertexCount);  // the capacity of a set read back is its count
    out.WriteU32(g.vertexCount);
    for (u32_t i = 0; i < g.vertexCount; ++i) {
        const MapVertex& v = g.vertices[i];
        WriteVector(out, v.position);
        out.WriteF32(v.u);
        out.WriteF32(v.v);
        WriteVector(out, v.normal);
    }
    out.WriteU32(g.faceCount);
    out.WriteU32(g.faceCount);
    out.WriteU32(g.traceFaceCount);
    for (u32_t i = 0; i < g.faceCount; ++i) {
        const MapFace& f = g.faces[i];
        for (int c = 0; c < 3; ++c)
            out.WriteU16(f.indices[c]);
        for (int w = 0; w < 3; ++w)
            out.WriteU32(f.words[w]);
        out.WriteU32(f.surface);
        out.WriteBytes(f.data, sizeof f.data);
    }
    WriteVector(out, g.boundsMin);
    WriteVector(out, g.boundsMax);
    out.WriteF32(g.boundsRadius);
}

void WriteNode(ByteBufferWriter& out, const OctreeNode* node)
{
    WriteVector(out, node->boxMin);
    WriteVector(out, node->boxMax);
    out.WriteF32(node->top);
    out.WriteF32(node->radius);
    out.WriteU8(node->IsLeaf() ? 0 : 1);
    WriteGeometry(out, node->geometry);
    if (!node->IsLeaf()) {
        for (const OctreeNode* child : node->children)
            WriteNode(out, child);
    }
}

void ReadVector(ByteReader& in, Vector3& v)
{
    in.ReadF32(v.x);
    in.ReadF32(v.y);
    in.ReadF32(v.z);
}

bool SameBox(const OctreeNode& node, const Vector3& min, const Vector3& max)
{
    return node.boxMin.x == min.x && node.boxMin.y == min.y && node.boxMin.z == min.z && node.boxMax.x == max.x &&
           node.boxMax.y == max.y && node.boxMax.z == max.z;
}

// Every count is checked against the bytes left before anything is allocated, every face against
// the vertices of its set.
bool ReadGeometry(ByteReader& in, OctreeGeometry& g)
{
    u32_t vertexCapacity = 0, vertexCount = 0;
    in.ReadU32(vertexCapacity);
    in.ReadU32(vertexCount);
    if (!in.Ok() || vertexCapacity != vertexCount || !in.Need(kVertexBytes * vertexCount))
        return false;
    if (vertexCount) {
        g.vertices = new (std::nothrow) MapVertex[vertexCount];
        if (!g.vertices)
            return false;
    }
    g.vertexCapacity = g.vertexCount = vertexCount;
    for (u32_t i = 0; i < vertexCount; ++i) {
        MapVertex& v = g.vertices[i];
        ReadVector(in, v.position);
        in.ReadF32(v.u);
        in.ReadF32(v.v);
        ReadVector(in, v.normal);
    }
    u32_t faceCapacity = 0, faceCount = 0, traceFaceCount = 0;
    in.ReadU32(faceCapacity);
    in.ReadU32(faceCount);
    in.ReadU32(traceFaceCount);
    if (!in.Ok() || faceCapacity != faceCount || traceFaceCount > faceCount || !in.Need(kFaceBytes * faceCount))
        return false;
    if (faceCount) {
        g.faces = new (std::nothrow) MapFace[faceCount];
        if (!g.faces)
            return false;
    }
    g.faceCapacity = g.faceCount = faceCount;
    g.traceFaceCount = traceFaceCount;
    for (u32_t i = 0; i < faceCount; ++i) {
        MapFace& f = g.faces[i];
        for (int c = 0; c < 3; ++c) {
            u16_t index = 0;
            in.ReadU16(index);
            if (index >= vertexCount)
                return false;
            f.indices[c] = index;
        }
        for (int w = 0; w < 3; ++w) {
            u32_t word = 0;
            in.ReadU32(word);
            f.words[w] = word;
        }
        in.Skip(4);  // the surface: every face of the octree carries the default one
        in.ReadBytes(f.data, sizeof f.data);
    }
    ReadVector(in, g.boundsMin);
    ReadVector(in, g.boundsMax);
    in.ReadF32(g.boundsRadius);
    return in.Ok();
}

// The node's box must be the one the build gives it: the root's as created, a child's the octant of
// its parent. A node at the deepest level has no children.
bool ReadNode(ByteReader& in, OctreeNode& node)
{
    Vector3 boxMin, boxMax;
    ReadVector(in, boxMin);
    ReadVector(in, boxMax);
    u8_t hasChildren = 0;
    in.ReadF32(node.top);
    in.ReadF32(node.radius);
    in.ReadU8(hasChildren);
    if (!in.Ok() || !SameBox(node, boxMin, boxMax) || hasChildren > 1 || !ReadGeometry(in, node.geometry))
        return false;
    if (!hasChildren)
        return true;
    if (node.Depth() >= OCTREE_MAX_DEPTH || !node.CreateChildren())
        return false;
    for (OctreeNode* child : node.children) {
        if (!ReadNode(in, *child))
            return false;
    }
    return true;
}

// The read tree's contents go into the loaded root; what the root held before is freed.
void TakeOver(OctreeNode* root, OctreeNode* read)
{
    for (OctreeNode*& child : root->children) {
        OctreeNodeDelete(child);
        child = nullptr;
    }
    root->geometry.Reset(true);
    OctreeGeometry& to = root->geometry;
    const OctreeGeometry& from = read->geometry;
    to.vertices = from.vertices;
    to.vertexCapacity = from.vertexCapacity;
    to.vertexCount = from.vertexCount;
    to.faces = from.faces;
    to.faceCapacity = from.faceCapacity;
    to.faceCount = from.faceCount;
    to.traceFaceCount = from.traceFaceCount;
    to.boundsMin = from.boundsMin;
    to.boundsMax = from.boundsMax;
    to.boundsRadius = from.boundsRadius;
    read->geometry.Reset(false);
    root->top = read->top;
    root->radius = read->radius;
    for (int i = 0; i < 8; ++i) {
        root->children[i] = read->children[i];
        read->children[i] = nullptr;
        if (root->children[i])
            root->children[i]->parent = root;
    }
}

}  // namespace

bool OctreeCacheWrite(const char* path)
{
    const OctreeNode* root = OctreeGetRoot();
    if (!root || !path)
        return false;
    const size_t size = 4 + RecordBytes(root);
    u8_t* bytes = new (std::nothrow) u8_t[size];
    if (!bytes)
        return false;
    ByteBufferWriter out(bytes, size);
    out.WriteU32(OCTREE_CACHE_VERSION);
    WriteNode(out, root);
    bool written = out.Ok() && out.Position() == size;
    std::FILE* file = written ? PlatformOpenFile(path, "wb") : nullptr;
    if (file) {
        written = std::fwrite(bytes, 1, size, file) == size;
        written = std::fclose(file) == 0 && written;
        if (!written)
            PlatformRemoveFile(path);
    }
    delete[] bytes;
    return file && written;
}

bool OctreeCacheReadBytes(const void* data, size_t size)
{
    OctreeNode* root = OctreeGetRoot();
    if (!root)
        return false;
    ByteReader in(data, size);
    u32_t version = 0;
    if (!in.ReadU32(version) || version != OCTREE_CACHE_VERSION)
        return false;
    OctreeNode* read = new (std::nothrow) OctreeNode();
    if (!read)
        return false;
    read->boxMin = root->boxMin;
    read->boxMax = root->boxMax;
    read->flags = root->Depth();
    const bool sound = ReadNode(in, *read) && in.Remaining() == 0;
    if (sound)
        TakeOver(root, read);
    OctreeNodeDelete(read);
    return sound;
}

bool OctreeCacheRead(const char* path)
{
    if (!OctreeGetRoot() || !path)
        return false;
    u32_t size = 0;
    char* bytes = VFSLoadFile(path, &size);
    if (!bytes)
        return false;
    const bool read = OctreeCacheReadBytes(bytes, size);
    delete[] bytes;
    return read;
}
