#include "scene/render_services.h"

#include "core/console/console.h"
#include "map/materials/material.h"
#include "map/materials/material_table.h"
#include "map/registry/world_registry.h"
#include "render/camera.h"
#include "render/land/map_render_setup.h"
#include "render/device/render_context.h"
#include "scene/scene_cvars.h"
#include "world/objects/dynamic_object.h"

IDirect3DTexture8* RenderGetLandTexture(s32_t index)
{
    if (index < 0 || index >= LAND_LAYER_COUNT)
        return nullptr;
    return g_mapRender.landTextures[index].layer;
}

void ShadowsUpdateDynamic()
{
    if (!rbupdateshadows.Bool())
        return;
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i)
        objects[i]->InvalidateShadows();
}

void RenderSetFullViewport(bool zeroDepth)
{
    // While a texture is the target the camera's view size is the texture's.
    const bool intoTexture = g_camera.screenAspectOverride != 0;
    const DWORD width = intoTexture ? g_camera.viewWidth : static_cast<DWORD>(g_render.screenWidth);
    const DWORD height = intoTexture ? g_camera.viewHeight : static_cast<DWORD>(g_render.screenHeight);
    g_camera.viewport = {0, 0, width, height, 0.0f, zeroDepth ? 0.0f : 1.0f};
    if (g_render.device)
        g_render.device->SetViewport(&g_camera.viewport);
}

s32_t RenderPrintMaterials(const char*)
{
    ConPrint(0, "----Materials associatons----\n");
    const u32_t materials = MaterialCount();
    u32_t textures = 0;
    for (u32_t i = 0; i < materials; ++i) {
        const Material* material = MaterialAt(i);
        ConPrint(0, "%s\n", material->name);
        for (u32_t t = 0; t < material->assignedTextureCount; ++t) {
            ConPrint(0, "     -%s\n", material->assignedTextures[t].Text());
            ++textures;
        }
    }
    ConPrint(0, "Materials: %d\n", static_cast<int>(materials));
    ConPrint(0, "Textures: %d\n", static_cast<int>(textures));
    return 0;
}
