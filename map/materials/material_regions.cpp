// The material at a point of a texture: a texture may hold rectangles of other materials.

#include "map/materials/material.h"
#include "core/strings/text_case.h"
#include "map/materials/material_table.h"
#include "render/textures/texture_manager.h"

Material* MaterialRefineByRegion(Material* material, const char* textureFileName, float u, float v)
{
    if (!material || !textureFileName)
        return material;
    for (u32_t t = 0; t < material->assignedTextureCount; ++t) {
        if (CompareNoCase(material->assignedTextures[t].Text(), textureFileName) != 0)
            continue;
        for (u32_t r = 0; r < material->regionCount; ++r) {
            const MaterialRegion& region = material->regions[r];
            if (region.textureIndex != static_cast<s32_t>(t))
                continue;
            // Strictly inside: a point on the rectangle's edge keeps the texture's material.
            if (region.umin < u && u < region.umax && region.vmin < v && v < region.vmax)
                return region.sub ? region.sub : material;
        }
    }
    return material;
}

Material* MaterialAtTexturePoint(IDirect3DTexture8* texture, float u, float v)
{
    Material* material = TextureGetMaterial(texture);
    if (!material)
        return nullptr;
    char fileName[TEXTURE_PATH_SIZE];
    TextureGetFileName(texture, fileName);
    return MaterialRefineByRegion(material, fileName, u, v);
}
