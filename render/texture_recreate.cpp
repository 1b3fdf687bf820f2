// Reloading every registered texture after a display-mode change. Each texture comes back under
// its name with a new pointer; what its record held (alpha map, material, reflection maps) is
// carried over to the new texture, the reflections pointing at the reloaded ones.
#include <string>
#include <vector>

#include "core/core_cvars.h"
#include "core/log.h"
#include "gui/gui.h"
#include "map/map_caches.h"
#include "map/map_grid.h"
#include "render/texture_manager.h"
#include "render/texture_preload.h"

namespace {

struct CarriedTexture {
    int slot;
    std::string name;
    IDirect3DTexture8* oldTexture;
    MapGrid* alphaMap;
    int reflect;        // index into the carried list, -1 for none
    int secondReflect;
    IDirect3DTexture8* newTexture;
};

int CarriedIndexOf(const std::vector<CarriedTexture>& carried, const IDirect3DTexture8* texture)
{
    if (!texture)
        return -1;
    for (size_t i = 0; i < carried.size(); ++i) {
        if (carried[i].oldTexture == texture)
            return static_cast<int>(i);
    }
    return -1;
}

IDirect3DTexture8* NewTextureOf(const std::vector<CarriedTexture>& carried, int index)
{
    return index >= 0 ? carried[size_t(index)].newTexture : nullptr;
}

void RebuildLandTextures()
{
    const char* land = MapGetLandName();
    if (g_gui.screenOpen || !land || !land[0])
        return;
    const std::string landPath = std::string("land\\") + land;
    const std::string missionPath = std::string("mission\\") + dsmap.String();
    MapBuildLightmap(landPath.c_str(), missionPath.c_str());
    MapCreateFogTexture(dsmap.String());
}

}  // namespace

void TexturesRecreate()
{
    g_textures.totalBytes = 0;
    g_textures.commonBytes = 0;

    std::vector<CarriedTexture> carried;
    for (int i = 0; i < TEXTURE_REGISTRY_SIZE; ++i) {
        const TextureSlot& slot = g_textures.slots[i];
        if (!slot.texture)
            continue;
        TextureInfo record;
        TextureGetRecord(slot.texture, &record);
        carried.push_back({i, slot.name.Text(), slot.texture, record.alphaMap, -1, -1, nullptr});
    }
    for (CarriedTexture& entry : carried) {
        const TextureSlot& slot = g_textures.slots[entry.slot];
        entry.reflect = CarriedIndexOf(carried, slot.reflectMap);
        entry.secondReflect = CarriedIndexOf(carried, slot.secondReflectMap);
    }

    // A reload lands in the first empty slot, which is never past the slot just emptied: the
    // slots still to visit keep their old textures.
    for (CarriedTexture& entry : carried) {
        TextureSlot& slot = g_textures.slots[entry.slot];
        slot.texture->Release();
        slot.texture = nullptr;
        slot.name.Assign("");
        slot.reflectMap = nullptr;
        slot.secondReflectMap = nullptr;
        DebugPrint("Recreating texture: %s\n", entry.name.c_str());
        entry.newTexture = TextureLoad(entry.name.c_str(), 0, 0, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, false);
        if (!entry.newTexture) {
            MapGridFree(entry.alphaMap);
            continue;
        }
        TextureInfo record;
        TextureGetRecord(entry.newTexture, &record);
        record.alphaMap = entry.alphaMap;
        TextureSetRecord(entry.newTexture, &record);
    }

    for (const CarriedTexture& entry : carried) {
        const int index = TextureFindSlot(entry.newTexture);
        if (index < 0)
            continue;
        TextureSlot& slot = g_textures.slots[index];
        slot.reflectMap = NewTextureOf(carried, entry.reflect);
        slot.secondReflectMap = NewTextureOf(carried, entry.secondReflect);
        TextureInfo record;
        TextureGetRecord(entry.newTexture, &record);
        record.reflectMap = slot.reflectMap;
        record.secondReflectMap = slot.secondReflectMap;
        TextureSetRecord(entry.newTexture, &record);
    }

    RebuildLandTextures();
    TexturePreloadsRefresh();
}
