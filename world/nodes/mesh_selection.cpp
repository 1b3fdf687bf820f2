#include "world/nodes/mesh_selection.h"

#include "core/strings/text_case.h"

#include "map/materials/material.h"
#include "render/textures/texture_manager.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/object_trace.h"

bool MeshSelectedForTest(const GraphNode& node, u32_t i, const AnimFrameMesh& record, s32_t lodStep, MeshTestKind kind,
                         u32_t options, Material** materialOut)
{
    const MeshSettings* settings = node.meshSettings ? &node.meshSettings[i] : nullptr;
    IDirect3DTexture8* texture = node.meshTextures ? node.meshTextures[i] : nullptr;
    const bool trace = kind == MESH_TEST_TRACE;
    Material* material = trace && settings && settings->material ? settings->material : TextureGetMaterial(texture);
    *materialOut = material;
    if (lodStep != -1 && settings) {
        if (record.detailLevel != -1 && record.detailLevel != lodStep)
            return false;
        if (settings->noClip && (!trace || (options & OBJTRACE_SKIP_NOCLIP)))
            return false;
        const u32_t step = static_cast<u32_t>(lodStep) < GRAPH_NODE_LOD_STEPS ? static_cast<u32_t>(lodStep) : 0;
        const u32_t mode = settings->ModeAt(step);
        // Marked meshes are traced whatever their flags, hidden state and material say.
        if (trace && (options & OBJTRACE_MARKED) && (mode & MESH_MODE_MARKED))
            return true;
        if (settings->HiddenAt(step))
            return false;
        const bool modeTakes =
            (mode & MESH_MODE_COLLIDES) != 0 || (kind == MESH_TEST_SPHERE && mode == MESH_MODE_MARKED);
        if (!modeTakes)
            return false;
    } else if (lodStep != -1 && record.detailLevel != -1 && record.detailLevel != lodStep) {
        return false;
    }
    if (!(record.flags & ANIM_MESH_TAKES_DECALS))
        return false;
    return !(material && CompareNoCase(material->name, "NOHIT_") == 0);
}
