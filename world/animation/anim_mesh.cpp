#include "world/animation/anim_mesh.h"

#include <cstring>
#include <vector>

#include "core/assert.h"

namespace {

inline char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool SameTextIgnoringCase(const char* a, const char* b, u32_t length)
{
    for (u32_t i = 0; i < length; ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

AnimZone* NewZoneRoot()
{
    AnimZone* root = new AnimZone;
    root->name = new char[5];
    std::memcpy(root->name, "root", 5);
    return root;
}

}  // namespace

AnimVertexData::~AnimVertexData()
{
    delete[] positions;
    delete[] normals;
}

AnimTexCoords::~AnimTexCoords()
{
    delete[] uv;
}

AnimFaces::~AnimFaces()
{
    delete[] indices;
    delete[] neighbours;
    delete[] welded;
}

AnimFrameMesh::~AnimFrameMesh()
{
    if (materialRef == ANIM_REF_OWN)
        delete material;
    if (vertexRef == ANIM_REF_OWN)
        delete vertices;
    if (texCoordRef == ANIM_REF_OWN)
        delete texCoords;
    if (faceRef == ANIM_REF_OWN)
        delete faces;
    delete dummyFrame;
}

AnimZone::~AnimZone()
{
    // Iterative, so that a long chain of zones cannot exhaust the stack.
    std::vector<AnimZone*> pending(children, children + childCount);
    delete[] children;
    while (!pending.empty()) {
        AnimZone* zone = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), zone->children, zone->children + zone->childCount);
        delete[] zone->children;
        zone->children = nullptr;
        zone->childCount = 0;
        delete zone;
    }
    delete[] name;
    delete[] points;
}

AnimMesh::AnimMesh() : zoneRoot(NewZoneRoot()) {}

AnimMesh::~AnimMesh()
{
    Clear();
    delete zoneRoot;
}

void AnimMesh::Clear()
{
    for (u32_t f = 0; f < frames_c; ++f)
        delete[] frames[f].meshes;
    delete[] frames;
    frames = nullptr;
    frames_c = 0;
    frameRate = 0.0f;
    delete[] dummyBoxes;
    dummyBoxes = nullptr;
    dummyBoxes_c = 0;
    delete zoneRoot;
    zoneRoot = NewZoneRoot();
    delete[] portalWords;
    portalWords = nullptr;
    delete[] portalBytes;
    portalBytes = nullptr;
    delete[] strings;
    strings = nullptr;
    strings_c = 0;
    delete[] textures;
    textures = nullptr;
    textures_c = 0;
}

namespace {

// The mesh that holds the data of a reference other than -1 (the readers make every reference
// name the holder itself).
const AnimFrameMesh& Owner(const AnimMesh& mesh, s32_t ref)
{
    const u32_t bits = static_cast<u32_t>(ref);
    const u32_t frame = bits >> 16;
    const u32_t index = bits & 0xFFFF;
    ENGINE_ASSERT(frame < mesh.frames_c);
    ENGINE_ASSERT(index < mesh.frames[frame].meshes_c);
    return mesh.frames[frame].meshes[index];
}

const AnimFrameMesh& Checked(const AnimMesh& self, u32_t frame, u32_t mesh)
{
    ENGINE_ASSERT_TEXT(frame < self.frames_c, "frame < frames_c");
    ENGINE_ASSERT_TEXT(mesh < self.frames[frame].meshes_c, "mesh < frames[frame].meshes_c");
    return self.frames[frame].meshes[mesh];
}

}  // namespace

AnimVertexData* AnimMesh::GetMeshVertices(u32_t frame, u32_t mesh) const
{
    const AnimFrameMesh& m = Checked(*this, frame, mesh);
    return m.vertexRef == ANIM_REF_OWN ? m.vertices : Owner(*this, m.vertexRef).vertices;
}

AnimTexCoords* AnimMesh::GetMeshTexCoords(u32_t frame, u32_t mesh) const
{
    const AnimFrameMesh& m = Checked(*this, frame, mesh);
    return m.texCoordRef == ANIM_REF_OWN ? m.texCoords : Owner(*this, m.texCoordRef).texCoords;
}

AnimFaces* AnimMesh::GetMeshFaces(u32_t frame, u32_t mesh) const
{
    const AnimFrameMesh& m = Checked(*this, frame, mesh);
    return m.faceRef == ANIM_REF_OWN ? m.faces : Owner(*this, m.faceRef).faces;
}

AnimMaterial* AnimMesh::GetMeshTextureRef(u32_t frame, u32_t mesh) const
{
    const AnimFrameMesh& m = Checked(*this, frame, mesh);
    return m.materialRef == ANIM_REF_OWN ? m.material : Owner(*this, m.materialRef).material;
}

s32_t AnimMesh::FindName(const char* text) const
{
    if (!text)
        return -1;
    const u32_t length = static_cast<u32_t>(std::strlen(text));
    for (u32_t i = 0; i < strings_c; ++i) {
        if (strings[i].Length() == length && SameTextIgnoringCase(strings[i].Text(), text, length))
            return static_cast<s32_t>(i);
    }
    return -1;
}

s32_t AnimMesh::FindDummy(const char* dummyName) const
{
    if (!dummyName || !*dummyName)
        return -1;
    const s32_t nameIndex = FindName(dummyName);
    return nameIndex < 0 ? -1 : FindMesh(static_cast<u32_t>(nameIndex), 0);
}

s32_t AnimMesh::FindMesh(u32_t nameIndex, u32_t frame) const
{
    if (frame >= frames_c)
        return -1;
    const AnimFrame& f = frames[frame];
    for (u32_t i = 0; i < f.meshes_c; ++i) {
        if (f.meshes[i].nameIndex == nameIndex)
            return static_cast<s32_t>(i);
    }
    return -1;
}

const char* AnimMesh::MeshName(const AnimFrameMesh& mesh) const
{
    return mesh.nameIndex < strings_c ? strings[mesh.nameIndex].Text() : "";
}

void AnimMeshClassifyMesh(const AnimMesh* mesh, AnimFrameMesh* frameMesh)
{
    frameMesh->flags = frameMesh->faceCount == 1 ? 0 : ANIM_MESH_DEFAULT_FLAGS;
    frameMesh->detailLevel = -1;
    if (frameMesh->nameIndex >= mesh->strings_c)
        return;
    const EngineString& name = mesh->strings[frameMesh->nameIndex];
    if (name.IsEmpty())
        return;
    const char last = name.Text()[name.Length() - 1];
    if (last >= '0' && last <= '2')
        frameMesh->detailLevel = last - '0';
}
