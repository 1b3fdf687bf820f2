#include "map/land_maps/fog_textures.h"

#include <cmath>

#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "map/map_cvars.h"
#include "map/terrain/terrain_height.h"
#include "render/device/device_hooks.h"
#include "render/device/render_context.h"

namespace {

IDirect3DTexture8* g_fogTexture = nullptr;
IDirect3DTexture8* g_waterFogTexture = nullptr;

constexpr u32_t kFullFog = 0xFF000000u;
constexpr u32_t kNoFog = 0x00FFFFFFu;

u32_t TextureSize()
{
    return mifogtexsize.Int() > 0 ? static_cast<u32_t>(mifogtexsize.Int()) : 0;
}

// The texel's distance from the centre: 0 at the centre, 1 where the fog becomes full.
float NormalisedDistance(u32_t size, u32_t column, u32_t row)
{
    const float n = static_cast<float>(size);
    const float step = 2.0f / n;  // in units of the half width
    const float x = -1.0f + step * 0.5f + static_cast<float>(column) * step;
    const float z = -1.0f + step * 0.5f + static_cast<float>(row) * step;
    return std::sqrt(x * x + z * z) * (1.0f + 2.0f / n);
}

u32_t Grey(float amount)
{
    float scaled = 255.0f * amount;
    if (!(scaled >= 0.0f))
        scaled = 0.0f;
    const u32_t a = scaled >= 255.0f ? 255u : static_cast<u32_t>(scaled);
    const u32_t grey = 255u - a;
    return (a << 24) | (grey << 16) | (grey << 8) | grey;
}

template <class Texel>
void Fill(IDirect3DTexture8* texture, Texel texel)
{
    if (!texture)
        return;
    D3DSURFACE_DESC description;
    if (FAILED(texture->GetLevelDesc(0, &description)))
        return;
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0)))
        return;
    const u32_t size = description.Width;
    for (u32_t row = 0; row < description.Height; ++row) {
        u32_t* line = reinterpret_cast<u32_t*>(static_cast<u8_t*>(locked.pBits) + size_t(row) * locked.Pitch);
        for (u32_t column = 0; column < size; ++column)
            line[column] = texel(size, column, row);
    }
    texture->UnlockRect(0);
}

IDirect3DTexture8* Create()
{
    IDirect3DTexture8* texture = nullptr;
    const u32_t size = TextureSize();
    IDirect3DDevice8* device = g_render.device;
    if (!device || size == 0 ||
        FAILED(device->CreateTexture(size, size, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture))) {
        ConPrint(0, ERROR_COLOUR "Failed to create fog texture\n");
        return nullptr;
    }
    return texture;
}

void Release(IDirect3DTexture8*& texture)
{
    if (texture)
        texture->Release();
    texture = nullptr;
}

// The fog textures belong to the device they were made on: a new device needs them made again, the
// water fog's as much as the fog's.
void RegisterDeviceHooks()
{
    RenderRegisterDeviceHooks({RENDER_HOOK_FOG_TEXTURES, nullptr, nullptr, nullptr, MapRecreateFogTextures});
}

}  // namespace

u32_t FogTexel(u32_t size, u32_t column, u32_t row, float range, float fogStart, float power)
{
    const float t = NormalisedDistance(size, column, row);
    if (t >= 1.0f)
        return kFullFog;
    const float start = range != 0.0f ? fogStart / range : 0.0f;
    if (t < start || start >= 1.0f)
        return kNoFog;
    const float k = 1.0f / (1.0f - start);
    return Grey(std::pow((t - start) * k, power));
}

u32_t WaterFogTexel(u32_t size, u32_t column, u32_t row)
{
    const float t = NormalisedDistance(size, column, row);
    if (t >= 1.0f)
        return kFullFog;
    return Grey(std::pow(t, 0.2f));
}

void MapFillFogTexture()
{
    const float range = mfrange.Float(), fogStart = mffogstart.Float(), power = mffogpow.Float();
    Fill(g_fogTexture,
         [&](u32_t size, u32_t column, u32_t row) { return FogTexel(size, column, row, range, fogStart, power); });
}

void MapFillWaterFogTexture()
{
    // The distances are taken relative to the water fog range, so its value drops out of the texels.
    Fill(g_waterFogTexture, [](u32_t size, u32_t column, u32_t row) { return WaterFogTexel(size, column, row); });
}

void MapCreateFogTexture()
{
    RegisterDeviceHooks();
    Release(g_fogTexture);
    g_fogTexture = Create();
    MapFillFogTexture();
}

void MapCreateWaterFogTexture()
{
    RegisterDeviceHooks();
    Release(g_waterFogTexture);
    g_waterFogTexture = Create();
    MapFillWaterFogTexture();
}

void MapRecreateFogTextures()
{
    if (g_fogTexture)
        MapCreateFogTexture();
    if (g_waterFogTexture)
        MapCreateWaterFogTexture();
}

void MapReleaseFogTextures()
{
    RenderUnregisterDeviceHooks(RENDER_HOOK_FOG_TEXTURES);
    Release(g_fogTexture);
    Release(g_waterFogTexture);
}

IDirect3DTexture8* MapGetFogTexture()
{
    return g_fogTexture;
}

IDirect3DTexture8* MapGetWaterFogTexture()
{
    return g_waterFogTexture;
}

bool MapIsNearGround(const Vector3& point)
{
    return point.y - MapTerrainHeight(point.x, point.z, nullptr, nullptr) < NEAR_GROUND_HEIGHT;
}
