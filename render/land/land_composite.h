// The land layer composites: the land's 32 texture layers blended into one square texture, plain
// and lit by the land lightmap, built once per land and mission and cached as DDS files: the lit
// one beside the mission (its lightmap is the mission's), the plain one beside the land.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

constexpr int LAND_COMPOSITE_SIZE = 512;

// The composites and their ready flag live in the renderer's map record (g_mapRender,
// render/land/map_render_setup.h). Kept composites are made again on the new device after a display-mode
// change (a device hook run once every texture has been reloaded).

// Loads the cached composites (unless the map caches are to be rebuilt), else builds and saves
// them. 1 when both exist afterwards; 0 on failure and in editor mode.
int LandLayersTextureSave(const char* landPath, const char* missionPath, const char* name);
// litFile and plainFile from disk, else through the virtual file system; 1 when both loaded.
int LandLayersTextureLoad(const char* litFile, const char* plainFile);
// Builds both composites of size x size from the land's layers and lightmap; 1 on success.
int LandLayersComposite(int size);
// Lets both composites go.
void LandLayersRelease();

// One layer as the composite reads it.
struct LandLayerSource {
    IDirect3DTexture8* colour;  // null: the layer is left out
    IDirect3DTexture8* alpha;   // null: the layer covers everything below it
    float var;                  // the colour texture repeats var times across the composite
};
// The composite of the given layers, lit by lightmap when there is one. The two new textures are
// DXT1 with full mip chains. False when a texture cannot be made.
bool LandLayersCompositeFrom(const LandLayerSource* layers, int layerCount, IDirect3DTexture8* lightmap, int size,
                             IDirect3DTexture8** plain, IDirect3DTexture8** lit);
// Texels across one repetition of a layer's colour texture: size / var, a var of 0 or less (or not
// a number) counting as 1, kept within 1 .. 512.
int LandLayerTileSide(int size, float var);

// A new managed texture of the same size in another format, filled from level 0 without filtering.
IDirect3DTexture8* TextureConvert(IDirect3DTexture8* texture, D3DFORMAT format, UINT levels);
// A new managed side x side texture filled from level 0 with the default filter.
IDirect3DTexture8* TextureResampleSquare(IDirect3DTexture8* texture, UINT side, D3DFORMAT format, UINT levels);
