// The two readers of the ".lff" map mesh file. The memory reader decodes the directory with the
// UFF reader's own decoder, so a damaged image is refused by the same checks as a damaged file.
#include "map/meshes/map_mesh_reader.h"

#include <cstring>
#include <initializer_list>
#include <new>
#include <string>

#include "core/files/byte_io.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/log.h"
#include "core/strings/text_case.h"
#include "core/files/uff_file.h"
#include "map/meshes/collision_mesh.h"
#include "map/meshes/map_mesh.h"
#include "map/terrain/map_state.h"
#include "map/registry/world_registry.h"
#include "render/textures/texture_manager.h"

namespace {

// The decoded directory of a memory image, as the UFF reader keeps it.
class UffImageDirectory : public UffFile {
public:
    const UffEntry* Entries() const { return m_entries; }
    const char* const* Names() const { return m_names; }
};

bool IsReservedName(const char* name)
{
    for (const char* reserved : {"land0", "land1", "land2", "scene", "vertex-array", "face-array", "texture"}) {
        if (CompareNoCase(name, reserved) == 0)
            return true;
    }
    return false;
}

u32_t FlagsOfName(const char* name)
{
    u32_t flags = 0;
    if (CompareNoCaseN(name, "land_", 5) == 0)
        flags |= MAP_MESH_LAND;
    if (CompareNoCaseN(name, "col_", 4) == 0)
        flags |= MAP_MESH_COLLISION;
    return flags;
}

// The land arrays from the bytes of "land0"'s two children. Faces that name a vertex beyond the
// array are dropped: every face the octree receives can be drawn and traced.
bool TakeLand(const u8_t* vertexBytes, u32_t vertexSize, const u8_t* faceBytes, u32_t faceSize)
{
    MapLandGeometryFree();
    const u32_t vertexCount = vertexSize / MAP_VERTEX_RECORD_SIZE;
    const u32_t fileFaces = faceSize / MAP_FACE_RECORD_SIZE;
    MapVertex* vertices = vertexCount ? new (std::nothrow) MapVertex[vertexCount] : nullptr;
    MapFace* faces = fileFaces ? new (std::nothrow) MapFace[fileFaces] : nullptr;
    if ((vertexCount && !vertices) || (fileFaces && !faces)) {
        delete[] vertices;
        delete[] faces;
        return false;
    }
    MapVerticesFromBytes(vertices, vertexBytes, vertexCount);
    u32_t faceCount = 0;
    for (u32_t f = 0; f < fileFaces; ++f) {
        const u8_t* record = faceBytes + static_cast<size_t>(f) * MAP_FACE_RECORD_SIZE;
        const u16_t a = LoadU16(record), b = LoadU16(record + 2), c = LoadU16(record + 4);
        if (a >= vertexCount || b >= vertexCount || c >= vertexCount)
            continue;
        MapFace& face = faces[faceCount++];
        face = MapFace{};
        face.indices[0] = a;
        face.indices[1] = b;
        face.indices[2] = c;
    }
    g_map.landVertices = vertices;
    g_map.landVertexCount = vertexCount;
    g_map.landFaces = faces;
    g_map.landFaceCount = faceCount;
    DebugPrint("MAP: face-count:%d ", static_cast<int>(faceCount));
    DebugPrint("MAP: vertex-count:%d\n", static_cast<int>(vertexCount));
    return true;
}

// Keeps a loaded mesh: into the table while it has room, with its texture looked up.
void KeepMesh(MapMesh* mesh, const char* landFolder)
{
    if (!MapMeshesAppend(mesh)) {
        MapMeshDelete(mesh);
        return;
    }
    if (mesh->textureName.Length() == 0)
        return;
    const std::string path = std::string(landFolder ? landFolder : "") + mesh->textureName.Text();
    mesh->texture = TextureFindOrLoad(path.c_str());
    if (!mesh->texture)
        ConPrint(0, ERROR_COLOUR "Missing texture: '%s'\n", path.c_str());
}

void ReportMissingMesh(const char* name)
{
    DebugPrint("MapLoad: Mesh::Load(%s) failed\n", name);
    ConPrint(0, ERROR_COLOUR "Missing Mesh: '%s'\n", name);
}

MapMesh* NewMesh(const char* name, const char* texture, u32_t textureLength)
{
    MapMesh* mesh = new MapMesh;
    mesh->name.Assign(name);
    mesh->flags = FlagsOfName(name);
    if (textureLength > MAP_MESH_TEXTURE_NAME_MAX)
        textureLength = MAP_MESH_TEXTURE_NAME_MAX;
    if (texture && textureLength)
        mesh->textureName.SetChars(texture, textureLength);
    // The name ends at its first zero byte, as a terminated name would.
    mesh->textureName.Assign(EngineString(mesh->textureName.Text()));
    mesh->collision = new CollisionMesh;
    return mesh;
}

// Children of an entry in a decoded image, bounded by the entry count.
s32_t ImageChild(const UffImageDirectory& dir, s32_t entry, const char* name, bool ignoreCase)
{
    const UffEntry* entries = dir.Entries();
    const s32_t count = dir.EntryCount();
    if (entry < 0 || entry >= count)
        return -1;
    s32_t child = entries[entry].child;
    for (s32_t steps = 0; child >= 0 && child < count && steps < count; ++steps) {
        const char* childName = dir.Names()[entries[child].name];
        if (ignoreCase ? CompareNoCase(childName, name) == 0 : std::strcmp(childName, name) == 0)
            return child;
        child = entries[child].next;
    }
    return -1;
}

}  // namespace

void MapLandGeometryFree()
{
    delete[] g_map.landVertices;
    g_map.landVertices = nullptr;
    g_map.landVertexCount = 0;
    delete[] g_map.landFaces;
    g_map.landFaces = nullptr;
    g_map.landFaceCount = 0;
}

int MapMeshesLoadFromFile(const char* path, const char* landFolder)
{
    UffFile file(path);
    if (!file.IsOpen())
        return -1;
    const s32_t root = file.Root();
    const s32_t land = file.FindChild(root, "land0");
    if (land < 0) {
        DebugPrint("Invalid geometry format\n");
        return -2;
    }
    const s32_t vertexEntry = file.FindChild(land, "vertex-array");
    const s32_t faceEntry = file.FindChild(land, "face-array");
    u32_t vertexSize = 0, faceSize = 0;
    u8_t* vertexBytes = vertexEntry >= 0 ? file.ReadWholeEntry(vertexEntry, vertexSize) : nullptr;
    u8_t* faceBytes = faceEntry >= 0 ? file.ReadWholeEntry(faceEntry, faceSize) : nullptr;
    const bool landRead = vertexBytes && faceBytes && TakeLand(vertexBytes, vertexSize, faceBytes, faceSize);
    delete[] vertexBytes;
    delete[] faceBytes;
    if (!landRead)
        return -2;

    s32_t steps = 0;
    for (s32_t child = file.GetFirstChild(root); child >= 0 && steps < file.EntryCount();
         child = file.GetNextSibling(child), ++steps) {
        const char* name = file.GetEntryName(child);
        if (!name || IsReservedName(name))
            continue;
        u32_t textureSize = 0;
        u8_t* texture = nullptr;
        const s32_t textureEntry = file.FindChild(child, "texture");
        if (textureEntry >= 0)
            texture = file.ReadWholeEntry(textureEntry, textureSize);
        MapMesh* mesh = NewMesh(name, reinterpret_cast<const char*>(texture), texture ? textureSize : 0);
        delete[] texture;
        if (mesh->collision->LoadFromUff(file, child) != 0) {
            ReportMissingMesh(name);
            MapMeshDelete(mesh);
            continue;
        }
        KeepMesh(mesh, landFolder);
    }
    return 0;
}

int MapMeshesLoadFromImage(const void* image, size_t size, const char* landFolder)
{
    UffImageDirectory dir;
    if (!image || !dir.OpenImage(image, size))
        return -1;
    const u8_t* bytes = static_cast<const u8_t*>(image);
    const UffEntry* entries = dir.Entries();
    const s32_t root = dir.Root();
    const s32_t land = ImageChild(dir, root, "land0", true);
    if (land < 0)
        return -2;
    // The decoder has checked every entry's data against the image.
    const s32_t vertexEntry = ImageChild(dir, land, "vertex-array", false);
    const s32_t faceEntry = ImageChild(dir, land, "face-array", false);
    if (vertexEntry < 0 || faceEntry < 0)
        return -2;
    const UffEntry& v = entries[vertexEntry];
    const UffEntry& f = entries[faceEntry];
    if (!TakeLand(bytes + v.offset, v.size, bytes + f.offset, f.size))
        return -2;

    s32_t steps = 0;
    for (s32_t child = entries[root].child; child >= 0 && steps < dir.EntryCount();
         child = entries[child].next, ++steps) {
        const char* name = dir.Names()[entries[child].name];
        if (IsReservedName(name))
            continue;
        const s32_t textureEntry = ImageChild(dir, child, "texture", false);
        const char* texture = nullptr;
        u32_t textureSize = 0;
        if (textureEntry >= 0) {
            texture = reinterpret_cast<const char*>(bytes + entries[textureEntry].offset);
            textureSize = entries[textureEntry].size;
        }
        MapMesh* mesh = NewMesh(name, texture, textureSize);
        if (mesh->collision->LoadFromImage(bytes, size, child, dir.Names(), dir.NameCount(), entries,
                                           dir.EntryCount()) != 0) {
            ReportMissingMesh(name);
            MapMeshDelete(mesh);
            continue;
        }
        KeepMesh(mesh, landFolder);
    }
    return 0;
}

int VertexArrayTranslate(MapVertex* vertices, u32_t count, const float* offset)
{
    for (u32_t i = 0; i < count; ++i) {
        vertices[i].position.x += offset[0];
        vertices[i].position.y += offset[1];
        vertices[i].position.z += offset[2];
    }
    return 1;
}

int PolygonClipByPlane(MapVertex* out, const float* plane, const MapVertex* in, int count)
{
    if (count <= 0)
        return 0;
    auto side = [plane](const MapVertex& v) {
        return plane[0] * v.position.x + plane[1] * v.position.y + plane[2] * v.position.z + plane[3];
    };
    const MapVertex* prev = &in[count - 1];
    float dPrev = side(*prev);
    int written = 0;
    for (int i = 0; i < count; ++i) {
        const MapVertex& cur = in[i];
        const float dCur = side(cur);
        if (dPrev * dCur < -0.001f) {
            const float t = dCur / (dCur - dPrev);
            MapVertex made = cur;
            made.position = {cur.position.x + (prev->position.x - cur.position.x) * t,
                             cur.position.y + (prev->position.y - cur.position.y) * t,
                             cur.position.z + (prev->position.z - cur.position.z) * t};
            made.u = cur.u + (prev->u - cur.u) * t;
            made.v = cur.v + (prev->v - cur.v) * t;
            out[written++] = made;
        }
        if (dCur >= 0.0f)
            out[written++] = cur;
        prev = &cur;
        dPrev = dCur;
    }
    return written;
}
