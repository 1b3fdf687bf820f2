// Finding a graphic object's nodes by name, and loading the meshes and textures its definition names.

#include <cstring>
#include <string>
#include <vector>

#include "core/log.h"
#include "core/strings/text_case.h"
#include "render/textures/texture_manager.h"
#include "world/animation/anim_cache.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

GraphNode* GraphObj::FindChild(const char* childName) const
{
    GraphNode* found = FindChildQuietly(childName);
    if (!found)
        Log("WARNING: Child %s not found in GOBJ %s\n", childName ? childName : "", name.Text());
    return found;
}

GraphNode* GraphObj::FindChildQuietly(const char* childName) const
{
    const char* wanted = childName ? childName : "";
    const u32_t length = static_cast<u32_t>(std::strlen(wanted));
    // Depth first: the top of the stack is examined next, so the last child comes first. The stack
    // grows with the tree.
    std::vector<GraphNode*> pending;
    if (root)
        pending.push_back(root);
    while (!pending.empty()) {
        GraphNode* node = pending.back();
        pending.pop_back();
        if (node->name.Length() == length && CompareNoCaseN(node->name.Text(), wanted, length) == 0)
            return node;
        for (u32_t i = 0; i < node->childCount; ++i)
            pending.push_back(node->children[i]);
    }
    return nullptr;
}

bool GraphObj::LoadAnim(const char* fileName, AnimMesh** mesh, EngineString* folder)
{
    const char* given = fileName ? fileName : "";
    std::string file;
    std::string meshFolder;
    if (given[0] == '.' && given[1] == '.') {
        // "..\sub\name": under "component\" whatever the class, in the folder "component\sub\". A
        // name with no folder after its dots lies in "component\" itself.
        const char* rest = given + 2;
        if (*rest == '\\')
            ++rest;
        const char* slash = std::strchr(rest, '\\');
        file = std::string("component\\") + rest + ".aff";
        meshFolder = std::string("component\\") + (slash ? std::string(rest, slash + 1) : std::string());
    } else {
        const std::string base = GetComponentFolder();
        file = base + given + ".aff";
        const char* slash = std::strrchr(given, '\\');
        meshFolder = base + (slash ? std::string(given, slash + 1) : std::string());
    }
    folder->Assign(meshFolder.c_str());

    AnimMesh* loaded = AnimCacheAcquire(file.c_str(), UsesGpuAnimBuffers());
    *mesh = loaded;
    if (!loaded) {
        Log("WARNING: Anim %s not found\n", given);
        return false;
    }
    if (loaded->frames_c) {
        const AnimFrame& first = loaded->frames[0];
        for (u32_t i = 0; i < first.meshes_c; ++i) {
            const AnimFrameMesh& record = first.meshes[i];
            if ((record.detailLevel == 0 || record.detailLevel == -1) && (record.flags & ANIM_MESH_TAKES_DECALS))
                collidableFaceCount = static_cast<s32_t>(loaded->GetMeshFaces(0, i)->count);
        }
    }
    return true;
}

bool GraphObj::LoadTexture(const char* textureName, IDirect3DTexture8** texture, EngineString* folder)
{
    const char* given = textureName ? textureName : "";
    const char* base = GetComponentFolder();
    *texture = TextureFindOrLoad((std::string(base) + given).c_str());
    if (!*texture) {
        Log("WARNING: Texture %s not found\n", given);
        return false;
    }
    folder->Assign(base);
    return true;
}
