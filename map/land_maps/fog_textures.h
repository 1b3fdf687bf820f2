// The fog lookup textures of the loaded map: a square texture that maps a horizontal offset from the
// viewer to the amount of distance fog, and one for the fog under water. A texel holds the fog
// amount a (0..255) as alpha and the grey 255 - a in red, green and blue. Made at map load from the
// map's fog settings, refilled by "gx_fogtex", made again when the device's textures are recreated.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

// Side of the textures when the map settings do not give one ("mifogtexsize").
constexpr u32_t FOG_TEXTURE_DEFAULT_SIZE = 128;
// A point lower than this above the terrain counts as near the ground.
constexpr float NEAR_GROUND_HEIGHT = 80.0f;

// Releases the fog texture held, then creates it and fills it from the settings. On failure
// "Failed to create fog texture" in red on console 0 and no texture.
void MapCreateFogTexture();
// Refills the fog texture held from the current settings; nothing without one or when it cannot
// be locked.
void MapFillFogTexture();
// The same two for the water fog texture.
void MapCreateWaterFogTexture();
void MapFillWaterFogTexture();
// Makes again each of the two textures that is held (after a display-mode change).
void MapRecreateFogTextures();
// Releases both (map unload).
void MapReleaseFogTextures();
IDirect3DTexture8* MapGetFogTexture();
IDirect3DTexture8* MapGetWaterFogTexture();

// The texel values of the two textures for a side of size texels.
u32_t FogTexel(u32_t size, u32_t column, u32_t row, float range, float fogStart, float power);
u32_t WaterFogTexel(u32_t size, u32_t column, u32_t row);

// True when the point's y is less than NEAR_GROUND_HEIGHT above the terrain under it.
bool MapIsNearGround(const Vector3& point);
