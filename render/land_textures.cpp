#include "render/land_textures.h"

LandTextureSlot g_landTextures[LAND_LAYER_COUNT] = {};
u8_t g_landTexturesLoaded = 0;
