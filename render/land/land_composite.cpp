#include "render/land/land_composite.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/log.h"
#include "core/files/vfs.h"
#include "core/winos.h"
#include "map/terrain/map_caches.h"
#include "platform/d3dx8_texture.h"
#include "render/land/map_render_setup.h"
#include "render/device/render_context.h"
#include "render/draw2d/colour_pack.h"
#include "render/device/device_hooks.h"

namespace {

constexpr int kMaxTileSide = 512;

// Red, green, blue, alpha of every composite texel, 0 to 1.
using ColourBuffer = std::vector<float>;

// Level 0 of an A8R8G8B8 texture, locked for reading or writing for the lifetime of the view.
class LockedTexels {
public:
    LockedTexels(IDirect3DTexture8* texture, DWORD flags) : m_texture(texture)
    {
        if (texture && SUCCEEDED(texture->LockRect(0, &m_locked, nullptr, flags)))
            m_ok = true;
    }
    ~LockedTexels()
    {
        if (m_ok)
            m_texture->UnlockRect(0);
    }
    LockedTexels(const LockedTexels&) = delete;
    LockedTexels& operator=(const LockedTexels&) = delete;

    bool Ok() const { return m_ok; }
    u32_t* Row(int y) const
    {
        return reinterpret_cast<u32_t*>(static_cast<BYTE*>(m_locked.pBits) + size_t(y) * size_t(m_locked.Pitch));
    }

private:
    IDirect3DTexture8* m_texture;
    D3DLOCKED_RECT m_locked = {};
    bool m_ok = false;
};

float Channel(u32_t texel, int shift)
{
    return static_cast<float>((texel >> shift) & 0xFF) / 255.0f;
}

void ReleaseTexture(IDirect3DTexture8*& texture)
{
    if (texture)
        texture->Release();
    texture = nullptr;
}

// Blends one layer over the buffer.
void BlendLayer(ColourBuffer& buffer, int size, const LandLayerSource& layer)
{
    const int side = LandLayerTileSide(size, layer.var);
    IDirect3DTexture8* colour = TextureResampleSquare(layer.colour, UINT(side), D3DFMT_A8R8G8B8, 1);
    IDirect3DTexture8* alpha =
        layer.alpha ? TextureResampleSquare(layer.alpha, UINT(size), D3DFMT_A8R8G8B8, 1) : nullptr;
    if (colour && (alpha || !layer.alpha)) {
        LockedTexels colourTexels(colour, D3DLOCK_READONLY);
        LockedTexels alphaTexels(alpha, D3DLOCK_READONLY);
        if (colourTexels.Ok() && (alphaTexels.Ok() || !alpha)) {
            for (int y = 0; y < size; ++y) {
                const u32_t* colourRow = colourTexels.Row(y % side);
                const u32_t* alphaRow = alpha ? alphaTexels.Row(y) : nullptr;
                float* out = buffer.data() + size_t(y) * size_t(size) * 4;
                for (int x = 0; x < size; ++x, out += 4) {
                    const u32_t c = colourRow[x % side];
                    const float r = Channel(c, 16), g = Channel(c, 8), b = Channel(c, 0);
                    if (!alphaRow) {
                        out[0] = r, out[1] = g, out[2] = b, out[3] = 1.0f;
                        continue;
                    }
                    // The alpha texture's colour tints the layer; its alpha covers what lies below.
                    const u32_t m = alphaRow[x];
                    const float a = Channel(m, 24), keep = 1.0f - a;
                    out[0] = out[0] * keep + r * a * Channel(m, 16);
                    out[1] = out[1] * keep + g * a * Channel(m, 8);
                    out[2] = out[2] * keep + b * a * Channel(m, 0);
                    out[3] = out[3] * keep + a;
                }
            }
        }
    }
    ReleaseTexture(colour);
    ReleaseTexture(alpha);
}

void MultiplyByLightmap(ColourBuffer& buffer, int size, IDirect3DTexture8* lightmap)
{
    IDirect3DTexture8* resampled = TextureResampleSquare(lightmap, UINT(size), D3DFMT_A8R8G8B8, 1);
    {
        LockedTexels light(resampled, D3DLOCK_READONLY);
        if (light.Ok()) {
            for (int y = 0; y < size; ++y) {
                const u32_t* row = light.Row(y);
                float* out = buffer.data() + size_t(y) * size_t(size) * 4;
                for (int x = 0; x < size; ++x, out += 4) {
                    out[0] *= Channel(row[x], 16);
                    out[1] *= Channel(row[x], 8);
                    out[2] *= Channel(row[x], 0);
                    out[3] *= Channel(row[x], 24);
                }
            }
        }
    }
    ReleaseTexture(resampled);
}

// The buffer as a DXT1 texture with its full mip chain; null when it cannot be made.
IDirect3DTexture8* CompositeTexture(const ColourBuffer& buffer, int size)
{
    IDirect3DTexture8* staging = nullptr;
    if (FAILED(
            g_render.device->CreateTexture(UINT(size), UINT(size), 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &staging)))
        return nullptr;
    bool filled = false;
    {
        LockedTexels texels(staging, 0);
        if (texels.Ok()) {
            for (int y = 0; y < size; ++y) {
                u32_t* row = texels.Row(y);
                const float* in = buffer.data() + size_t(y) * size_t(size) * 4;
                for (int x = 0; x < size; ++x, in += 4)
                    row[x] = ColourPackTruncated(in);
            }
            filled = true;
        }
    }
    IDirect3DTexture8* composite = filled ? TextureConvert(staging, D3DFMT_DXT1, 0) : nullptr;
    staging->Release();
    if (composite)
        D3DXFilterTexture(composite, nullptr, 0, D3DX_DEFAULT);
    return composite;
}

IDirect3DTexture8* LoadComposite(const char* file)
{
    IDirect3DTexture8* texture = nullptr;
    if (SUCCEEDED(D3DXCreateTextureFromFileA(g_render.device, file, &texture)) && texture)
        return texture;
    u32_t size = 0;
    char* bytes = VFSLoadFile(file, &size);
    if (!bytes)
        return nullptr;
    texture = nullptr;
    if (FAILED(D3DXCreateTextureFromFileInMemory(g_render.device, bytes, size, &texture)))
        texture = nullptr;
    delete[] bytes;
    return texture;
}

void RemakeOnNewDevice();

void KeepComposites(IDirect3DTexture8* plain, IDirect3DTexture8* lit)
{
    LandLayersRelease();
    g_mapRender.landCompositePlain = plain;
    g_mapRender.landCompositeLit = lit;
    g_mapRender.landCompositeReady = 1;
    RenderRegisterDeviceHooks({RENDER_HOOK_LAND_COMPOSITES, nullptr, nullptr, nullptr, RemakeOnNewDevice});
}

// The composites live outside the texture table, on the device they were made on: after a
// display-mode change the land and the vegetation would sample the old device's textures. They are
// made again from the reloaded layers and the lightmap built anew before this hook runs.
void RemakeOnNewDevice()
{
    if (!LandLayersComposite(LAND_COMPOSITE_SIZE))
        LandLayersRelease();
}

}  // namespace

int LandLayerTileSide(int size, float var)
{
    if (!(var > 0.0f))
        var = 1.0f;
    const float side = static_cast<float>(size) / var;
    if (!(side >= 1.0f))
        return 1;
    if (side >= static_cast<float>(kMaxTileSide))
        return kMaxTileSide;
    return static_cast<int>(side);
}

namespace {

// A new managed texture of the size, format and levels with the source's level 0 loaded into its
// level 0 (converted and filtered); null when either step fails.
IDirect3DTexture8* CopyLevelZeroInto(IDirect3DTexture8* texture, UINT width, UINT height, D3DFORMAT format, UINT levels,
                                     DWORD filter)
{
    if (!texture || !g_render.device)
        return nullptr;
    IDirect3DTexture8* copy = nullptr;
    if (FAILED(g_render.device->CreateTexture(width, height, levels, 0, format, D3DPOOL_MANAGED, &copy)))
        return nullptr;
    IDirect3DSurface8* source = nullptr;
    IDirect3DSurface8* target = nullptr;
    texture->GetSurfaceLevel(0, &source);
    copy->GetSurfaceLevel(0, &target);
    const HRESULT result =
        source && target ? D3DXLoadSurfaceFromSurface(target, nullptr, nullptr, source, nullptr, nullptr, filter, 0)
                         : D3DERR_INVALIDCALL;
    if (source)
        source->Release();
    if (target)
        target->Release();
    if (FAILED(result)) {
        copy->Release();
        return nullptr;
    }
    return copy;
}

}  // namespace

IDirect3DTexture8* TextureConvert(IDirect3DTexture8* texture, D3DFORMAT format, UINT levels)
{
    D3DSURFACE_DESC desc;
    if (!texture || FAILED(texture->GetLevelDesc(0, &desc)))
        return nullptr;
    return CopyLevelZeroInto(texture, desc.Width, desc.Height, format, levels, D3DX_FILTER_NONE);
}

IDirect3DTexture8* TextureResampleSquare(IDirect3DTexture8* texture, UINT side, D3DFORMAT format, UINT levels)
{
    if (side == 0)
        return nullptr;
    return CopyLevelZeroInto(texture, side, side, format, levels, D3DX_DEFAULT);
}

bool LandLayersCompositeFrom(const LandLayerSource* layers, int layerCount, IDirect3DTexture8* lightmap, int size,
                             IDirect3DTexture8** plain, IDirect3DTexture8** lit)
{
    *plain = *lit = nullptr;
    if (!g_render.device || size < 1 || size > LAND_COMPOSITE_SIZE)
        return false;
    ColourBuffer buffer(size_t(size) * size_t(size) * 4, 0.0f);
    for (int i = 0; i < layerCount; ++i) {
        if (layers[i].colour)
            BlendLayer(buffer, size, layers[i]);
    }
    *plain = CompositeTexture(buffer, size);
    if (lightmap)
        MultiplyByLightmap(buffer, size, lightmap);
    *lit = CompositeTexture(buffer, size);
    if (*plain && *lit)
        return true;
    ReleaseTexture(*plain);
    ReleaseTexture(*lit);
    return false;
}

int LandLayersComposite(int size)
{
    LandLayerSource layers[LAND_LAYER_COUNT];
    for (int i = 0; i < LAND_LAYER_COUNT; ++i)
        layers[i] = {g_mapRender.landTextures[i].layer, g_mapRender.landTextures[i].variant, MapGetLayerVar(i)};
    IDirect3DTexture8* plain = nullptr;
    IDirect3DTexture8* lit = nullptr;
    if (!LandLayersCompositeFrom(layers, LAND_LAYER_COUNT, MapGetLightmapTexture(), size, &plain, &lit))
        return 0;
    KeepComposites(plain, lit);
    return 1;
}

int LandLayersTextureLoad(const char* litFile, const char* plainFile)
{
    if (!g_render.device || !litFile || !plainFile)
        return 0;
    IDirect3DTexture8* lit = LoadComposite(litFile);
    IDirect3DTexture8* plain = lit ? LoadComposite(plainFile) : nullptr;
    if (!lit || !plain) {
        ReleaseTexture(lit);
        return 0;
    }
    KeepComposites(plain, lit);
    return 1;
}

int LandLayersTextureSave(const char* landPath, const char* missionPath, const char* name)
{
    if (g_program.editorMode || !landPath || !missionPath || !name)
        return 0;
    const std::string litFile = std::string(missionPath) + "\\" + name + "_layers.dds";
    const std::string plainFile = std::string(landPath) + "\\layers.dds";
    if (!MapCacheRebuildForced() && LandLayersTextureLoad(litFile.c_str(), plainFile.c_str()))
        return 1;
    if (!LandLayersComposite(LAND_COMPOSITE_SIZE)) {
        g_mapRender.landCompositeReady = 0;
        return 0;
    }
    if (FAILED(D3DXSaveTextureToFileA(litFile.c_str(), D3DXIFF_DDS, g_mapRender.landCompositeLit, nullptr)))
        DebugPrint("Error writing %s\n", litFile.c_str());
    if (FAILED(D3DXSaveTextureToFileA(plainFile.c_str(), D3DXIFF_DDS, g_mapRender.landCompositePlain, nullptr)))
        DebugPrint("Error writing %s\n", plainFile.c_str());
    return 1;
}

void LandLayersRelease()
{
    RenderUnregisterDeviceHooks(RENDER_HOOK_LAND_COMPOSITES);
    ReleaseTexture(g_mapRender.landCompositePlain);
    ReleaseTexture(g_mapRender.landCompositeLit);
    g_mapRender.landCompositeReady = 0;
}
