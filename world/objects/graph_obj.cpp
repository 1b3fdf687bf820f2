// Graphic objects: construction and destruction, the root's transform, the whole-tree walks and
// the shader settings a mesh file declares.
#include "world/objects/graph_obj.h"

#include <cstring>

#include "map/octree/object_grid.h"
#include "map/registry/world_registry.h"
#include "scene/plugin_bridges/indoor_link.h"
#include "scene/plugin_bridges/particle_effects.h"
#include "scene/plugin_bridges/particle_host.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/shader_settings.h"

namespace {

// Settings a mesh file declares start with these parameters.
constexpr float kDeclaredSettingParam = 10.0f;

}  // namespace

GraphObj::GraphObj() : root(new GraphNode("root"))
{
    typeId = OBJECT_TYPE_GRAPHIC;
    ObjectGridEntry* entry = ObjectGridEntryCreate(OBJECT_GRID_OBJECT, this);
    gridEntryCopy = entry;
    SetGridEntry(entry);
}

GraphObj::~GraphObj()
{
    // Pins hold this object's nodes: they go first.
    ParticlePinsForgetObject(this);
    delete root;
    root = nullptr;
    SetGridEntry(nullptr);
    gridEntryCopy = nullptr;
    ShaderSettingListFree(shaderSettings);
    shaderSettings = nullptr;
    if (indoorLink) {
        IndoorLinkRelease(indoorLink);
        indoorLink = nullptr;
    }
    indoorName.Clear();
}

void GraphObj::SetPosition(const Vector3& position)
{
    root->SetPosition(position);
    boundsValid = 0;
}

void GraphObj::SetRotation(const Vector3& angles)
{
    root->SetRotation(angles);
    boundsValid = 0;
}

Vector3 GraphObj::GetPosition() const
{
    return root->GetPosition();
}

Vector3 GraphObj::GetRotation() const
{
    return root->GetRotation();
}

// Whole-tree walks ---------------------------------------------------------------------------------

void GraphObj::ClearDecals()
{
    ForEachNode([](GraphNode* node) { node->ClearDecals(); });
}

void GraphObj::BuildLodMeshLists()
{
    ForEachNode([](GraphNode* node) { node->BuildLodMeshLists(); });
}

void GraphObj::StampNodeTimes()
{
    ForEachNode([](GraphNode* node) { node->StampTime(); });
}

void GraphObj::AdvanceFrameAll(float seconds)
{
    ForEachNode([seconds](GraphNode* node) {
        if (node->animMesh)
            node->SetFrame(node->frame + seconds * node->animMesh->frameRate);
    });
}

void GraphObj::ExecParticleSet(const char* effectName)
{
    ParticleEffect* effect = ParticleEffectFind(1, effectName);
    ForEachNode([effect](GraphNode* node) { node->AttachParticleEffect(effect); });
}

void GraphObj::StorePose()
{
    ForEachNode([](GraphNode* node) { node->StorePose(); });
}

void GraphObj::ApplyStoredPose()
{
    ForEachNode([](GraphNode* node) { node->ApplyStoredPose(); });
    DynObjectUpdateGrid(this);
}

void GraphObj::RestorePose()
{
    ForEachNode([](GraphNode* node) { node->RestorePose(); });
    DynObjectUpdateGrid(this);
}

void GraphNode::AttachParticleEffect(ParticleEffect* effect)
{
    if (effect)
        effect->Attach(this, 1);
}

// Shader settings ------------------------------------------------------------------------------------

void GraphObj::ReleaseShaderSettings()
{
    ShaderSettingListFree(shaderSettings);
    shaderSettings = nullptr;
}

void GraphObj::AddMeshShaderSettings(const AnimMesh* mesh)
{
    ShaderSettingListFree(shaderSettings);
    shaderSettings = ShaderSettingListCreate(this);
    // The mesh file's declarations are its named boxes; those named "sh..." declare a setting,
    // named by the rest of the name from its fourth character on.
    for (u32_t i = 0; mesh && i < mesh->dummyBoxes_c; ++i) {
        const AnimDummyBox& box = mesh->dummyBoxes[i];
        if (std::strncmp(box.name, "sh", 2) != 0)
            continue;
        ShaderSetting* setting = new ShaderSetting;
        setting->name.Assign(std::strlen(box.name) > 3 ? box.name + 3 : "");
        setting->kind = SHADER_SETTING_DECLARED;
        setting->param1 = kDeclaredSettingParam;
        setting->param2 = kDeclaredSettingParam;
        setting->position = box.position;
        ShaderSettingListAppend(shaderSettings, setting);
    }
    if (shaderSettings->count == 0) {
        ShaderSettingListFree(shaderSettings);
        shaderSettings = nullptr;
    }
}
