#include "world/animation/anim_cache.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "core/assert.h"
#include "core/log.h"
#include "core/files/vfs.h"
#include "platform/d3dx8_math.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "world/animation/anim_mesh.h"

namespace {

AnimMesh* g_animations[MAX_ANIMATIONS];
u32_t animations_c = 0;

inline char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool SameNameIgnoringCase(const EngineString& cached, const char* name, u32_t length)
{
    if (cached.Length() != length)
        return false;
    const char* text = cached.Text();
    for (u32_t i = 0; i < length; ++i) {
        if (LowerAscii(text[i]) != LowerAscii(name[i]))
            return false;
    }
    return true;
}

// A loose file first; when that is missing or unreadable, the name through the file system
// (which may find the same loose file again).
bool ReadMesh(AnimMesh* mesh, const char* fileName)
{
    const int fileResult = AnimMeshReadFile(mesh, fileName);
    if (fileResult == ANIM_READ_OK)
        return true;
    u32_t size = 0;
    char* image = VFSLoadFile(fileName, &size);
    if (!image) {
        if (fileResult == ANIM_READ_ERROR)
            Log("WARNING: Anim %s could not be read\n", fileName);
        return false;
    }
    const int imageResult = AnimMeshReadImage(mesh, image, size);
    delete[] image;
    if (imageResult != ANIM_READ_OK) {
        Log("WARNING: Anim %s could not be read\n", fileName);
        return false;
    }
    return true;
}

Vector3 Subtract(const Vector3& a, const Vector3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

float Dot(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector3 Cross(const Vector3& a, const Vector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A zero vector stays zero.
Vector3 Normalised(const Vector3& v)
{
    const float length = std::sqrt(Dot(v, v));
    if (length == 0.0f)
        return v;
    return {v.x / length, v.y / length, v.z / length};
}

Vector3 Blend(const Vector3& a, const Vector3& b, float t)
{
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

AnimDummyFrame FrameOfTriangle(const Vector3 (&p)[3])
{
    float length[3];
    for (int i = 0; i < 3; ++i)
        length[i] = std::sqrt(Dot(Subtract(p[(i + 1) % 3], p[i]), Subtract(p[(i + 1) % 3], p[i])));
    // Edges sorted longest first by three exchanges; equal lengths keep their order.
    int slot[3] = {0, 1, 2};
    if (length[slot[0]] < length[slot[1]])
        std::swap(slot[0], slot[1]);
    if (length[slot[1]] < length[slot[2]])
        std::swap(slot[1], slot[2]);
    if (length[slot[0]] < length[slot[1]])
        std::swap(slot[0], slot[1]);
    const int longest = slot[0], middle = slot[1], shortest = slot[2];
    // The corner opposite the longest edge, and the far ends of the two other edges.
    const int ibase = (longest + 2) % 3;
    const int ix = middle == ibase ? (middle + 1) % 3 : middle;
    const int iz = shortest == ibase ? (shortest + 1) % 3 : shortest;
    ENGINE_ASSERT(ix != iz && ix != ibase && iz != ibase);
    AnimDummyFrame frame;
    frame.origin = p[ibase];
    frame.x = Normalised(Subtract(p[ix], frame.origin));
    frame.z = Normalised(Subtract(p[iz], frame.origin));
    frame.y = Cross(frame.x, frame.z);
    return frame;
}

constexpr float kWeldDistanceSquared = 0.0001f;
// Cells as wide as the weld distance (0.01): two positions within it lie in neighbouring cells.
constexpr double kCellsPerUnit = 100.0;
// Far beyond any position: cells past it are merged (positions there are far from all others).
constexpr double kCellLimit = 1e15;

struct Cell {
    std::int64_t x, y, z;
    bool operator==(const Cell& other) const { return x == other.x && y == other.y && z == other.z; }
};

std::int64_t CellOf(float coordinate)
{
    double cell = std::floor(static_cast<double>(coordinate) * kCellsPerUnit);
    cell = cell < -kCellLimit ? -kCellLimit : (cell > kCellLimit ? kCellLimit : cell);
    return static_cast<std::int64_t>(cell);
}

// Positions filed by cell in an open-addressed table; each cell keeps its vertices oldest first.
class WeldGrid {
public:
    explicit WeldGrid(u32_t vertices) : m_next(vertices, kNone)
    {
        size_t size = 16;
        while (size < static_cast<size_t>(vertices) * 2)
            size *= 2;
        m_slots.assign(size, Slot{});
    }

    // The oldest vertex of the cell, kNone when it is empty.
    u32_t First(const Cell& cell)
    {
        const Slot* slot = Find(cell);
        return slot->used ? slot->first : kNone;
    }
    u32_t Next(u32_t vertex) const { return m_next[vertex]; }
    void Add(const Cell& cell, u32_t vertex)
    {
        Slot* slot = Find(cell);
        if (!slot->used) {
            *slot = Slot{cell, vertex, vertex, true};
            return;
        }
        m_next[slot->last] = vertex;
        slot->last = vertex;
    }

    static constexpr u32_t kNone = 0xFFFFFFFFu;

private:
    struct Slot {
        Cell cell{};
        u32_t first = kNone;
        u32_t last = kNone;
        bool used = false;
    };

    // The cell's slot, or the empty slot where it would go.
    Slot* Find(const Cell& cell)
    {
        const size_t mask = m_slots.size() - 1;
        std::uint64_t hash = static_cast<std::uint64_t>(cell.x) * 0x9E3779B97F4A7C15ull;
        hash ^= static_cast<std::uint64_t>(cell.y) * 0xC2B2AE3D27D4EB4Full;
        hash ^= static_cast<std::uint64_t>(cell.z) * 0x165667B19E3779F9ull;
        for (size_t i = static_cast<size_t>(hash ^ (hash >> 29)) & mask;; i = (i + 1) & mask) {
            Slot& slot = m_slots[i];
            if (!slot.used || slot.cell == cell)
                return &slot;
        }
    }

    std::vector<Slot> m_slots;
    std::vector<u32_t> m_next;
};

// For each vertex the smallest earlier index within the weld distance, or its own. Only the 27
// cells around a position can hold such a vertex; within a cell the oldest match is the smallest.
std::vector<u32_t> WeldIndices(const AnimVertexData& vertices)
{
    const u32_t count = vertices.count;
    std::vector<u32_t> weld(count);
    WeldGrid grid(count);
    for (u32_t i = 0; i < count; ++i) {
        const Vector3 p = vertices.Position(i);
        weld[i] = i;
        // A position that is not finite is never within reach of another.
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            continue;
        const Cell home = {CellOf(p.x), CellOf(p.y), CellOf(p.z)};
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dz = -1; dz <= 1; ++dz) {
                    const Cell cell = {home.x + dx, home.y + dy, home.z + dz};
                    for (u32_t j = grid.First(cell); j != WeldGrid::kNone && j < weld[i]; j = grid.Next(j)) {
                        const Vector3 d = Subtract(vertices.Position(j), p);
                        if (Dot(d, d) < kWeldDistanceSquared) {
                            weld[i] = j;
                            break;
                        }
                    }
                }
            }
        }
        grid.Add(home, i);
    }
    return weld;
}

void BuildFaceAdjacency(const AnimVertexData& vertices, AnimFaces& faces)
{
    delete[] faces.welded;
    delete[] faces.neighbours;
    faces.welded = nullptr;
    faces.neighbours = nullptr;
    const size_t corners = static_cast<size_t>(faces.count) * 3;
    if (corners == 0)
        return;
    const std::vector<u32_t> weld = WeldIndices(vertices);
    faces.welded = new u16_t[corners];
    for (size_t c = 0; c < corners; ++c)
        faces.welded[c] = static_cast<u16_t>(weld[faces.indices[c]]);

    // Directed edges filed under their start vertex, newest first.
    constexpr u32_t kNone = 0xFFFFFFFFu;
    std::vector<u32_t> head(vertices.count, kNone);
    std::vector<u32_t> next(corners);
    const u16_t* w = faces.welded;
    for (u32_t f = 0; f < faces.count; ++f) {
        for (u32_t k = 0; k < 3; ++k) {
            const size_t edge = static_cast<size_t>(f) * 3 + k;
            next[edge] = head[w[edge]];
            head[w[edge]] = static_cast<u32_t>(edge);
        }
    }
    faces.neighbours = new u16_t[corners];
    for (u32_t f = 0; f < faces.count; ++f) {
        for (u32_t k = 0; k < 3; ++k) {
            const u16_t a = w[static_cast<size_t>(f) * 3 + k];
            const u16_t b = w[static_cast<size_t>(f) * 3 + (k + 1) % 3];
            u16_t neighbour = ANIM_NO_NEIGHBOUR;
            for (u32_t edge = head[b]; edge != kNone; edge = next[edge]) {
                const u32_t face = edge / 3;
                const u16_t end = w[static_cast<size_t>(face) * 3 + (edge % 3 + 1) % 3];
                if (face != f && end == a) {
                    // Face numbers past the table's range cannot be told from "none".
                    neighbour = face < ANIM_NO_NEIGHBOUR ? static_cast<u16_t>(face) : ANIM_NO_NEIGHBOUR;
                    break;
                }
            }
            faces.neighbours[static_cast<size_t>(f) * 3 + k] = neighbour;
        }
    }
}

}  // namespace

AnimMesh* AnimCacheAcquire(const char* fileName, bool useGpuBuffers)
{
    if (!fileName)
        return nullptr;
    const u32_t length = static_cast<u32_t>(std::strlen(fileName));
    for (u32_t i = 0; i < animations_c; ++i) {
        if (SameNameIgnoringCase(g_animations[i]->name, fileName, length))
            return g_animations[i];
    }
    if (animations_c >= MAX_ANIMATIONS)
        return nullptr;
    AnimMesh* mesh = new AnimMesh;
    if (!ReadMesh(mesh, fileName)) {
        delete mesh;
        return nullptr;
    }
    ENGINE_ASSERT(animations_c < MAX_ANIMATIONS);
    g_animations[animations_c++] = mesh;
    mesh->name.Assign(fileName);
    AnimMeshBuildDummyFrames(mesh);
    AnimMeshBuildAdjacency(mesh);
    if (useGpuBuffers)
        GpuAnimRequest(mesh);
    return mesh;
}

void AnimCacheReset()
{
    animations_c = 0;
}

void AnimCacheFreeAll()
{
    // Queued uploads would name destroyed meshes, and their buffers go with them.
    GpuAnimRelease();
    for (u32_t i = 0; i < animations_c; ++i) {
        delete g_animations[i];
        g_animations[i] = nullptr;
    }
    animations_c = 0;
}

u32_t AnimCacheCount()
{
    return animations_c;
}

void AnimMeshBuildDummyFrames(AnimMesh* mesh)
{
    for (u32_t f = 0; f < mesh->frames_c; ++f) {
        for (u32_t m = 0; m < mesh->frames[f].meshes_c; ++m) {
            const AnimVertexData* vertices = mesh->GetMeshVertices(f, m);
            if (!vertices || vertices->count != 3)
                continue;
            const Vector3 corners[3] = {vertices->Position(0), vertices->Position(1), vertices->Position(2)};
            AnimFrameMesh& frameMesh = mesh->frames[f].meshes[m];
            delete frameMesh.dummyFrame;
            frameMesh.dummyFrame = new AnimDummyFrame(FrameOfTriangle(corners));
        }
    }
}

void AnimMeshBuildAdjacency(AnimMesh* mesh)
{
    for (u32_t f = 0; f < mesh->frames_c; ++f) {
        for (u32_t m = 0; m < mesh->frames[f].meshes_c; ++m) {
            AnimFrameMesh& frameMesh = mesh->frames[f].meshes[m];
            if (frameMesh.faceRef != ANIM_REF_OWN || !frameMesh.faces)
                continue;
            const AnimVertexData* vertices = mesh->GetMeshVertices(f, m);
            if (vertices)
                BuildFaceAdjacency(*vertices, *frameMesh.faces);
        }
    }
}

void DummyFrameLerp(const AnimDummyFrame* a, const AnimDummyFrame* b, float t, Vector3* origin, Vector3* axes)
{
    *origin = Blend(a->origin, b->origin, t);
    axes[0] = Normalised(Blend(a->x, b->x, t));
    axes[1] = Normalised(Blend(a->y, b->y, t));
    axes[2] = Normalised(Blend(a->z, b->z, t));
}

void DummyFrameToMatrix(D3DXMATRIX* out, const Vector3* axes, const Vector3* origin)
{
    const Vector3& x = axes[0];
    const Vector3& y = axes[1];
    const Vector3& z = axes[2];
    // Columns: X, Z, Y, then (0, 0, 0, 1); the last row carries the origin's offsets.
    *out = D3DXMATRIX(x.x, z.x, y.x, 0.0f, x.y, z.y, y.y, 0.0f, x.z, z.z, y.z, 0.0f, -Dot(*origin, x), -Dot(*origin, z),
                      -Dot(*origin, y), 1.0f);
}

void DummyFrameLerpMatrix(const AnimDummyFrame* a, D3DXMATRIX* out, float t, const AnimDummyFrame* b)
{
    Vector3 origin;
    Vector3 axes[3];
    DummyFrameLerp(a, b, t, &origin, axes);
    DummyFrameToMatrix(out, axes, &origin);
}
