#include "scene/draw_lists.h"

#include "render/device_hooks.h"
#include "scene/decal_list.h"
#include "scene/draw_records.h"
#include "scene/plant_batch.h"

void SceneDrawListsInit()
{
    DrawRecordListInit();
    PlantRenderersRegister();
    DecalListInit();
    // The records point at textures and meshes: they go before the textures do, at every render
    // shutdown (freeing an empty list does nothing).
    RenderRegisterDeviceHooks({RENDER_HOOK_DRAW_LISTS, nullptr, nullptr, [](bool) { DrawRecordListFree(); }, nullptr});
}
