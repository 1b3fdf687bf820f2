// The land's 32 texture layers as the map load sets them up: each layer's colour texture and the
// alpha texture that blends it over the layers below. Handles of the texture manager, or null.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

constexpr int LAND_LAYER_COUNT = 32;

struct LandTextureSlot {
    IDirect3DTexture8* layer;    // the layer's colour texture
    IDirect3DTexture8* variant;  // its alpha texture
};

// The slots live in the renderer's map record (g_mapRender, render/land/map_render_setup.h).
