// Reloading every registered texture after a display-mode change. Each texture is loaded anew on
// the device of the moment and its contents go into the handle it had: whatever holds the handle
// (nodes, materials, decals, the land and the environment) sees the reloaded texture, and the
// record kept inside the texture (path, alpha map, material, reflections) stays with it. What was
// made from textures or outside the table (the land's lightmap, the clustered meshes' atlases, the
// fog textures) is made again by its owner, through the device hooks.
#include <string>

#include "core/core_cvars.h"
#include "core/log.h"
#include "platform/d3d8_texture_exchange.h"
#include "render/device/device_hooks.h"
#include "render/textures/texture_manager.h"
#include "render/textures/texture_preload.h"

void TexturesRecreate()
{
    g_textures.totalBytes = 0;
    g_textures.commonBytes = 0;

    for (int i = 0; i < TEXTURE_REGISTRY_SIZE; ++i) {
        TextureSlot& slot = g_textures.slots[i];
        if (!slot.texture)
            continue;
        IDirect3DTexture8* held = slot.texture;
        const std::string name = slot.name.Text();
        IDirect3DTexture8* reflect = slot.reflectMap;
        IDirect3DTexture8* secondReflect = slot.secondReflectMap;
        DebugPrint("Recreating texture: %s\n", name.c_str());
        // The load registers its texture in the first empty slot: this one, emptied for it, or an
        // earlier one. The loaded texture only lends its contents and leaves the table again.
        slot.texture = nullptr;
        IDirect3DTexture8* loaded = TextureLoad(name.c_str(), 0, 0, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, false);
        if (loaded) {
            const int lent = TextureFindSlot(loaded);
            if (lent >= 0) {
                g_textures.slots[lent].texture = nullptr;
                g_textures.slots[lent].name.Assign("");
            }
            D3D8TextureExchangeContents(held, loaded);
            loaded->Release();
        }
        // A texture that cannot be loaded again keeps what it had.
        slot.texture = held;
        slot.name.Assign(name.c_str());
        slot.reflectMap = reflect;
        slot.secondReflectMap = secondReflect;
    }

    RenderRunTexturesReloadedHooks();
    TexturePreloadsRefresh();
}
