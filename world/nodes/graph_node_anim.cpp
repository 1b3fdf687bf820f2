// Graphic nodes: the animated mesh, its per-mesh tables, switching animations with the 300 ms
// cross-fade, and the frame.
#include <string>

#include "core/assert.h"
#include "platform/win32.h"
#include "render/textures/texture_manager.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

namespace {

// Handles below this are no texture the manager could have made.
const uintptr_t kLowestTextureHandle = 0x1000;

bool CrossFadeRunning(u8_t blending, u32_t switchTick)
{
    return blending && GetTickCount() - switchTick <= GRAPH_NODE_BLEND_MS;
}

MeshSettings DefaultMeshSettings(const AnimFrameMesh& frameMesh)
{
    MeshSettings settings = {};
    settings.lit = 1;
    settings.lodTagged = frameMesh.detailLevel != -1 ? 1 : 0;
    for (u32_t step = 0; step < GRAPH_NODE_LOD_STEPS; ++step)
        settings.lodMode[step] = MESH_MODE_DEFAULT;
    return settings;
}

}  // namespace

void GraphNode::SetAnimMesh(AnimMesh* mesh, const char* prefix)
{
    delete[] meshTextures;
    delete[] meshColors;
    animMesh = mesh;
    const u32_t count = FrameZeroMeshCount();
    meshTextures = new IDirect3DTexture8*[count]();
    meshColors = new u32_t[count];
    meshTableCount = count;
    for (u32_t i = 0; i < count; ++i) {
        AnimMaterial* material = mesh->GetMeshTextureRef(0, i);
        if (material->textureWord == 0xFFFFFFFFu)
            material->textureWord = ANIM_TEXTURE_NONE;
        const u32_t index = material->textureWord & ANIM_TEXTURE_INDEX_MASK;
        // An index past the texture table names no texture either.
        if (index != ANIM_TEXTURE_NONE && index < mesh->textures_c) {
            const std::string textureName = std::string(prefix ? prefix : "") + mesh->textures[index].Text();
            meshTextures[i] = TextureFindOrLoad(textureName.c_str());
        }
        if (meshTextures[i] && reinterpret_cast<uintptr_t>(meshTextures[i]) <= kLowestTextureHandle)
            AssertionFailed("!textures[i] || textures[i] > (tex_t)0x1000", "graphobj", __LINE__);
        meshColors[i] = GRAPH_NODE_NO_COLOR;
    }
    Invalidate();
    // The settings are made once: a later mesh keeps what the parameters set (and gets defaults
    // for the meshes it has beyond them).
    GrowMeshTables(true);
    switchTick = 0;
    blending = 0;
}

void GraphNode::GrowMeshTables(bool makeSettings)
{
    const u32_t count = FrameZeroMeshCount();
    if (meshTextures && count > meshTableCount) {
        // No texture for the meshes the first mesh did not have: their names were looked up in
        // the folder of that mesh, which the node does not keep.
        IDirect3DTexture8** textures = new IDirect3DTexture8*[count]();
        u32_t* colors = new u32_t[count];
        for (u32_t i = 0; i < count; ++i) {
            textures[i] = i < meshTableCount ? meshTextures[i] : nullptr;
            colors[i] = i < meshTableCount && meshColors ? meshColors[i] : GRAPH_NODE_NO_COLOR;
        }
        delete[] meshTextures;
        delete[] meshColors;
        meshTextures = textures;
        meshColors = colors;
        meshTableCount = count;
    }
    if ((meshSettings && count > meshSettingsCount) || (!meshSettings && makeSettings)) {
        MeshSettings* settings = new MeshSettings[count];
        for (u32_t i = 0; i < count; ++i)
            settings[i] = i < meshSettingsCount && meshSettings ? meshSettings[i]
                                                                : DefaultMeshSettings(animMesh->frames[0].meshes[i]);
        delete[] meshSettings;
        meshSettings = settings;
        meshSettingsCount = count;
    }
}

void GraphNode::SwitchAnim(AnimMesh* mesh, bool blend)
{
    if (mesh == animMesh)
        return;
    switchTick = GetTickCount();
    blendSourceAnim = blend ? animMesh : nullptr;
    blendSourceFrame = frame;
    blendWeight = 0.0f;
    animMesh = mesh;
    blending = blend ? 1 : 0;
    // Every per-mesh table is read up to the shown mesh's count: an animation with more meshes
    // than the node's first grows them once.
    GrowMeshTables(false);
    Invalidate();
}

void GraphNode::ClearBlend()
{
    blendSourceAnim = nullptr;
    blendWeight = 0.0f;
    blending = 0;
}

AnimMesh* GraphNode::GetBlendSourceAnim() const
{
    return CrossFadeRunning(blending, switchTick) ? blendSourceAnim : nullptr;
}

void GraphNode::StampTime()
{
    stampTick = GetTickCount();
}

float GraphNode::GetBlendWeight()
{
    // The stamp's distance from the switch as a signed difference of the wrapping tick counter: a
    // stamp from before the switch gives 0, one from 300 ms or more after it 1.
    const s32_t sinceSwitch = static_cast<s32_t>(stampTick - switchTick);
    if (sinceSwitch < 0)
        blendWeight = 0.0f;
    else if (sinceSwitch > static_cast<s32_t>(GRAPH_NODE_BLEND_MS))
        blendWeight = 1.0f;
    else
        blendWeight = 1.0f - static_cast<float>(switchTick - stampTick + GRAPH_NODE_BLEND_MS) * 0.0033333334f;
    return blendWeight;
}

void GraphNode::SetFrame(float value)
{
    frame = CrossFadeRunning(blending, switchTick) ? 0.0f : value;
    Invalidate();
}

float GraphNode::GetFrame() const
{
    return CrossFadeRunning(blending, switchTick) ? 0.0f : frame;
}
