// The static map of one world tile: the leaves the visibility pass listed (g_visible.nodes), drawn
// under the world transform of the tile. Depth first, then up to 32 land layers blended through
// their alpha maps, the land lightmap multiplied over them and the distance fog from the fog
// texture.
#pragma once
#include "platform/d3d8.h"

struct OctreeNode;

// The map textures the passes apply; a missing one skips its pass.
struct StaticMapTextures {
    IDirect3DTexture8* lightmap = nullptr;
    IDirect3DTexture8* fog = nullptr;
    IDirect3DTexture8* waterFog = nullptr;  // the under-water fog
};

// The loaded map's textures.
StaticMapTextures StaticMapTexturesOfMap();

// The two-texture-stage sequence (rbtexunits 2) with the loaded map's textures.
void RenderStaticMapTwoStage();
// The same with the given textures.
void RenderStaticMapTwoStageWith(const StaticMapTextures& textures);
// The sequence for eight texture stages or more (rbtexunits 8 and up): the picture of the two-stage
// sequence in fewer passes. After the depth pass each layer is drawn once with the lightmap and the
// distance fog on further stages of the same draw, the roads follow lit and fogged in their own
// draws, then the water fog. Where that cannot stand in (night vision, near and far leaves drawn
// apart, rblm, a partial layer mask, no lightmap, wire frame) it draws the two-stage sequence.
void RenderStaticMapManyStage();
void RenderStaticMapManyStageWith(const StaticMapTextures& textures);
// The lightmap and fog passes over the listed leaves (the end of the two-stage sequence while every
// layer is drawn).
void RenderStaticMapLightmap(OctreeNode* root, const StaticMapTextures& textures);
// A one-frame white debug box round the static geometry of every listed leaf.
void RenderStaticMapDebugBoxes();
