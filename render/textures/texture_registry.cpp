// The table of registered textures and the record kept inside each texture.

#include <cstring>

#include "core/assert.h"
#include "core/strings/text_case.h"
#include "map/terrain/map_grid.h"
#include "render/textures/texture_manager.h"
#include "render/textures/texture_names.h"
#include "render/textures/texture_preload.h"

TextureRegistry g_textures;

namespace {

// The program's own key for the record among a texture's private data.
constexpr GUID kTextureInfoGuid = {0xB5564026, 0x6F3E, 0x4C50, {0x96, 0x33, 0x0E, 0x21, 0xDF, 0xEA, 0xA8, 0x6A}};

void ClearSlot(TextureSlot& slot)
{
    slot.texture = nullptr;
    slot.name.Assign("");
    slot.reflectMap = nullptr;
    slot.secondReflectMap = nullptr;
}

// Other slots and records that point at a texture about to go forget it, so that nothing hands a
// released texture out as a reflection.
void ForgetAsReflection(const IDirect3DTexture8* texture)
{
    for (TextureSlot& slot : g_textures.slots) {
        if (!slot.texture || (slot.reflectMap != texture && slot.secondReflectMap != texture))
            continue;
        if (slot.reflectMap == texture)
            slot.reflectMap = nullptr;
        if (slot.secondReflectMap == texture)
            slot.secondReflectMap = nullptr;
        TextureInfo record;
        TextureGetRecord(slot.texture, &record);
        if (record.reflectMap == texture)
            record.reflectMap = nullptr;
        if (record.secondReflectMap == texture)
            record.secondReflectMap = nullptr;
        TextureSetRecord(slot.texture, &record);
    }
}

void ReleaseSlot(TextureSlot& slot)
{
    IDirect3DTexture8* texture = slot.texture;
    TextureInfo record;
    TextureGetRecord(texture, &record);
    MapGridFree(record.alphaMap);
    ClearSlot(slot);
    ForgetAsReflection(texture);
    texture->Release();
}

}  // namespace

void TextureRegister(IDirect3DTexture8* texture, const char* name)
{
    if (!texture || TextureFindSlot(texture) >= 0)
        return;
    for (TextureSlot& slot : g_textures.slots) {
        if (!slot.texture) {
            slot.texture = texture;
            slot.name.Assign(name ? name : "");
            return;
        }
    }
    ENGINE_ASSERT(0);
}

IDirect3DTexture8* TextureFind(const char* name)
{
    if (!name)
        return nullptr;
    for (const TextureSlot& slot : g_textures.slots) {
        if (slot.texture && CompareNoCase(slot.name.Text(), name) == 0)
            return slot.texture;
    }
    return nullptr;
}

int TextureFindSlotByFileName(const char* fileName)
{
    if (!fileName)
        return -1;
    for (int i = 0; i < TEXTURE_REGISTRY_SIZE; ++i) {
        const TextureSlot& slot = g_textures.slots[i];
        if (slot.texture && CompareNoCase(TextureFilePart(slot.name.Text()), fileName) == 0)
            return i;
    }
    return -1;
}

int TextureFindSlot(const IDirect3DTexture8* texture)
{
    if (!texture)
        return -1;
    for (int i = 0; i < TEXTURE_REGISTRY_SIZE; ++i) {
        if (g_textures.slots[i].texture == texture)
            return i;
    }
    return -1;
}

void TextureRelease(IDirect3DTexture8* texture)
{
    const int index = TextureFindSlot(texture);
    if (index >= 0)
        ReleaseSlot(g_textures.slots[index]);
}

void TexturesReleaseAll()
{
    for (TextureSlot& slot : g_textures.slots) {
        if (slot.texture)
            ReleaseSlot(slot);
        slot.reflectMap = nullptr;
        slot.secondReflectMap = nullptr;
    }
    TexturePreloadsForget();
}

void TextureGetRecord(IDirect3DTexture8* texture, TextureInfo* out)
{
    if (!texture || !out)
        return;
    DWORD size = sizeof(TextureInfo);
    if (FAILED(texture->GetPrivateData(kTextureInfoGuid, out, &size)) || size != sizeof(TextureInfo))
        std::memset(out, 0, sizeof(TextureInfo));
}

void TextureSetRecord(IDirect3DTexture8* texture, const TextureInfo* record)
{
    if (!texture || !record)
        return;
    texture->FreePrivateData(kTextureInfoGuid);
    texture->SetPrivateData(kTextureInfoGuid, record, sizeof(TextureInfo), 0);
}

MapGrid* TextureGetAlphaMap(IDirect3DTexture8* texture)
{
    if (!texture)
        return nullptr;
    TextureInfo record;
    TextureGetRecord(texture, &record);
    return record.alphaMap;
}

Material* TextureGetMaterial(IDirect3DTexture8* texture)
{
    if (!texture)
        return nullptr;
    TextureInfo record;
    TextureGetRecord(texture, &record);
    return record.material;
}

bool TextureGetFileName(IDirect3DTexture8* texture, char* out)
{
    if (!out)
        return false;
    out[0] = '\0';
    if (!texture)
        return false;
    TextureInfo record;
    TextureGetRecord(texture, &record);
    record.path[TEXTURE_PATH_SIZE - 1] = '\0';
    TextureCopyCut(out, TEXTURE_PATH_SIZE, TextureFilePart(record.path));
    return false;
}

IDirect3DTexture8* TextureGetReflectMap(IDirect3DTexture8* texture)
{
    const int index = TextureFindSlot(texture);
    return index >= 0 ? g_textures.slots[index].reflectMap : nullptr;
}

IDirect3DTexture8* TextureGetSecondReflectMap(IDirect3DTexture8* texture)
{
    const int index = TextureFindSlot(texture);
    return index >= 0 ? g_textures.slots[index].secondReflectMap : nullptr;
}
