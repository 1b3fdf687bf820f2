// Resolving a texture name to a file, loading it, and what a load attaches to the texture: the
// memory estimate, the alpha map, the material and the reflection maps.
#include <cmath>
#include <cstring>
#include <string>

#include "core/log.h"
#include "core/files/vfs.h"
#include "map/terrain/map_grid.h"
#include "map/materials/material_table.h"
#include "platform/d3dx8_texture.h"
#include "render/device/render_context.h"
#include "render/textures/texture_manager.h"
#include "render/textures/texture_names.h"

namespace {

constexpr const char* kExtensions[] = {".dds", ".tga", ".bmp", ".png", ".jpg"};

// The grid of a whole TGA file read through the virtual file system.
MapGrid* GridFromVirtualFile(const std::string& fileName)
{
    u32_t size = 0;
    char* bytes = VFSLoadFile(fileName.c_str(), &size);
    if (!bytes)
        return nullptr;
    MapGrid* grid = MapGridFromTga(bytes, size);
    delete[] bytes;
    return grid;
}

// name + "_a" before name itself, each from disk before the virtual file system.
MapGrid* LoadAlphaMapFor(const char* name)
{
    const std::string companion = std::string(name) + "_a";
    if (MapGrid* grid = MapGridLoadTga(companion.c_str()))
        return grid;
    if (MapGrid* grid = GridFromVirtualFile(companion + ".tga"))
        return grid;
    if (MapGrid* grid = MapGridLoadTga(name))
        return grid;
    if (MapGrid* grid = GridFromVirtualFile(std::string(name) + ".tga"))
        return grid;
    Log("WARNING: Couldn't create alphamap for %s\n", name);
    return nullptr;
}

// About what the texture and its mip chain take: 2 x level 0 x (1 - 2^-levels).
void CountTextureMemory(IDirect3DTexture8* texture, const char* name, UINT fileLevels)
{
    D3DSURFACE_DESC desc;
    if (FAILED(texture->GetLevelDesc(0, &desc)))
        return;
    const double share = 1.0 - std::ldexp(1.0, -static_cast<int>(fileLevels));
    const u32_t bytes = static_cast<u32_t>(share * 2.0 * desc.Size);
    g_textures.totalBytes += bytes;
    if (std::strstr(name, "_common"))
        g_textures.commonBytes += bytes;
}

}  // namespace

IDirect3DTexture8* TextureCreateFromFile(const char* name, UINT width, UINT height, UINT mipLevels, DWORD usage,
                                         D3DFORMAT format, D3DPOOL pool, D3DXIMAGE_INFO* imageInfo)
{
    IDirect3DDevice8* device = g_render.device;
    if (!device || !name)
        return nullptr;
    IDirect3DTexture8* texture = nullptr;
    for (const char* extension : kExtensions) {
        const std::string file = std::string(name) + extension;
        if (SUCCEEDED(D3DXCreateTextureFromFileExA(device, file.c_str(), width, height, mipLevels, usage, format, pool,
                                                   D3DX_FILTER_TRIANGLE, D3DX_FILTER_BOX, 0, imageInfo, nullptr,
                                                   &texture)) &&
            texture)
            return texture;
    }
    for (const char* extension : kExtensions) {
        const std::string file = std::string(name) + extension;
        u32_t size = 0;
        char* bytes = VFSLoadFile(file.c_str(), &size);
        if (!bytes)
            continue;
        const HRESULT result =
            D3DXCreateTextureFromFileInMemoryEx(device, bytes, size, width, height, mipLevels, usage, format, pool,
                                                D3DX_FILTER_TRIANGLE, D3DX_FILTER_BOX, 0, imageInfo, nullptr, &texture);
        delete[] bytes;
        if (SUCCEEDED(result) && texture)
            return texture;
    }
    return nullptr;
}

IDirect3DTexture8* TextureLoad(const char* name, UINT width, UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                               D3DPOOL pool, bool withAlphaMap)
{
    if (!name)
        return nullptr;
    D3DXIMAGE_INFO info = {};
    IDirect3DTexture8* texture = TextureCreateFromFile(name, width, height, mipLevels, usage, format, pool, &info);
    if (!texture)
        return nullptr;
    TextureRegister(texture, name);
    CountTextureMemory(texture, name, info.MipLevels);

    TextureInfo record = {};
    TextureCopyCut(record.path, sizeof record.path, name);
    record.alphaMap = withAlphaMap ? LoadAlphaMapFor(name) : nullptr;
    record.material = MaterialFindByTexture(TextureFilePart(name));
    TextureSetRecord(texture, &record);
    return texture;
}

IDirect3DTexture8* TextureFindOrLoad(const char* name)
{
    if (!name)
        return nullptr;
    if (IDirect3DTexture8* texture = TextureFind(name))
        return texture;
    const std::string shared = std::string(TEXTURE_SHARED_FOLDER) + TextureFilePart(name);
    if (IDirect3DTexture8* texture = TextureFind(shared.c_str()))
        return texture;
    if (IDirect3DTexture8* texture = TextureLoad(shared.c_str(), 0, 0, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, true))
        return texture;
    return TextureLoad(name, 0, 0, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, true);
}

void TextureSetReflectMaps(const char* textureFileName, const char* reflectName1, const char* reflectName2)
{
    const int index = TextureFindSlotByFileName(textureFileName);
    if (index < 0)
        return;
    const std::string first = std::string(TEXTURE_SHARED_FOLDER) + (reflectName1 ? reflectName1 : "");
    const std::string second = std::string(TEXTURE_SHARED_FOLDER) + (reflectName2 ? reflectName2 : "");
    IDirect3DTexture8* reflect1 = TextureFindOrLoad(first.c_str());
    IDirect3DTexture8* reflect2 = TextureFindOrLoad(second.c_str());
    TextureSlot& slot = g_textures.slots[index];
    if (!reflect1 || !reflect2) {
        slot.reflectMap = nullptr;
        return;
    }
    slot.reflectMap = reflect1;
    slot.secondReflectMap = reflect2;
    TextureInfo record;
    TextureGetRecord(slot.texture, &record);
    record.reflectMap = reflect1;
    record.secondReflectMap = reflect2;
    TextureSetRecord(slot.texture, &record);
}

void TextureSetAlphaMap(const char* textureFileName, const char* alphaName)
{
    const int index = TextureFindSlotByFileName(textureFileName);
    if (index < 0 || !alphaName)
        return;
    IDirect3DTexture8* texture = g_textures.slots[index].texture;
    TextureInfo record;
    TextureGetRecord(texture, &record);
    const std::string path = std::string(TEXTURE_SHARED_FOLDER) + alphaName;
    MapGrid* grid = MapGridLoadTga(path.c_str());
    if (!grid)
        grid = GridFromVirtualFile(path + ".tga");
    if (!grid) {
        Log("WARNING: Couldn't set alphamap %s\n", alphaName);
    } else {
        if (record.alphaMap) {
            DebugPrint("Tex '%s': replacing orig. alphamap with '%s'...\n", textureFileName, alphaName);
            MapGridFree(record.alphaMap);
        }
        record.alphaMap = grid;
    }
    TextureSetRecord(texture, &record);
}
