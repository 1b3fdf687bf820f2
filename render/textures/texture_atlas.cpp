// Packing one mip level of several textures into one merged DXT3 texture, row by row.
#include <string>
#include <vector>

#include "platform/d3dx8_texture.h"
#include "platform/win32.h"
#include "render/device/render_context.h"
#include "render/textures/texture_manager.h"

IDirect3DTexture8* TextureAtlasBuild(IDirect3DTexture8** textures, int count, POINT* offsetsOut, int maxWidth,
                                     int maxHeight, int level)
{
    if (!g_render.device || !textures || count < 0 || maxWidth <= 0 || maxHeight <= 0 || level < 0)
        return nullptr;

    // Shelf packing: a texture that would pass the right edge opens a new row under the tallest
    // texture of the current one. A texture that fits nowhere is left out.
    struct Placement {
        int index;
        RECT rect;
    };
    std::vector<Placement> placed;
    int x = 0, rowTop = 0, rowHeight = 0;
    for (int i = 0; i < count; ++i) {
        D3DSURFACE_DESC desc;
        if (!textures[i] || FAILED(textures[i]->GetLevelDesc(UINT(level), &desc)))
            continue;
        const int width = int(desc.Width), height = int(desc.Height);
        if (width > maxWidth)
            continue;
        if (x + width > maxWidth) {
            rowTop += rowHeight;
            x = 0;
            rowHeight = 0;
        }
        if (rowTop + height > maxHeight)
            continue;
        if (offsetsOut)
            offsetsOut[i] = {x, rowTop};
        placed.push_back({i, {x, rowTop, x + width, rowTop + height}});
        x += width;
        if (height > rowHeight)
            rowHeight = height;
    }

    IDirect3DTexture8* merged = nullptr;
    if (FAILED(g_render.device->CreateTexture(UINT(maxWidth), UINT(maxHeight), 0, 0, D3DFMT_DXT3, D3DPOOL_MANAGED,
                                              &merged)) ||
        !merged)
        return nullptr;
    TextureInfo first = {};
    if (count > 0)
        TextureGetRecord(textures[0], &first);
    first.path[TEXTURE_PATH_SIZE - 1] = '\0';
    TextureRegister(merged, (std::string(first.path) + "_merged").c_str());

    IDirect3DSurface8* target = nullptr;
    merged->GetSurfaceLevel(0, &target);
    for (const Placement& placement : placed) {
        IDirect3DSurface8* source = nullptr;
        if (target && SUCCEEDED(textures[placement.index]->GetSurfaceLevel(UINT(level), &source)) && source) {
            D3DXLoadSurfaceFromSurface(target, nullptr, &placement.rect, source, nullptr, nullptr, D3DX_DEFAULT, 0);
            source->Release();
        }
    }
    if (target)
        target->Release();
    D3DXFilterTexture(merged, nullptr, 0, D3DX_DEFAULT);
    return merged;
}
