#include "world/objects/dyn_objects_passes.h"

#include "map/octree/octree_query.h"
#include "map/registry/world_registry.h"
#include "render/draw2d/hud_input.h"
#include "world/objects/graph_obj.h"
#include "world/objects/shader_settings.h"

namespace {

// Lists farther from the camera than this are not drawn (unless the HUD shows them all).
constexpr float kShaderSetRange = 3000.0f;

}  // namespace

void DynObjectsUpdateShaderSetVisibility(const D3DXPLANE* planes, u32_t planeCount)
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* object = objects[i];
        if (object->typeId == OBJECT_TYPE_ROOT || object->typeId == OBJECT_TYPE_GRAPHIC)
            continue;
        // Only graphic objects carry a shader-setting list.
        GraphObj* graphic = dynamic_cast<GraphObj*>(object);
        if (!graphic || !graphic->shaderSettings)
            continue;
        ShaderSettingList& list = *graphic->shaderSettings;
        if (list.distance <= kShaderSetRange || g_hudInput.flags.allShaderSetsShown) {
            const float box[6] = {list.boxMin.x, list.boxMin.y, list.boxMin.z,
                                  list.boxMax.x, list.boxMax.y, list.boxMax.z};
            list.visible = BoxInsidePlanes(box, planes, planeCount) ? 1 : 0;
        } else {
            list.visible = 0;
        }
    }
}

void DynObjectsClearDecals()
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        if (objects[i]->name.IsEmpty())
            continue;
        // Named objects of other classes (equipment) have no decals.
        if (GraphObj* graphic = dynamic_cast<GraphObj*>(objects[i]))
            graphic->ClearDecals();
    }
}
