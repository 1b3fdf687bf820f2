#include "scene/draw_records/draw_lists.h"

#include "render/device/device_hooks.h"
#include "scene/passes/decal_list.h"
#include "scene/draw_records/draw_records.h"
#include "scene/vegetation/plant_batch.h"

void SceneDrawListsInit()
{
    DrawRecordListInit();
    PlantRenderersRegister();
    DecalListInit();
    // The records point at textures and meshes: they go before the textures do, at every render
    // shutdown (freeing an empty list does nothing).
    RenderRegisterDeviceHooks({RENDER_HOOK_DRAW_LISTS, nullptr, nullptr, [](bool) { DrawRecordListFree(); }, nullptr});
}
