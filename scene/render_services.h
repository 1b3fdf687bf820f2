// Small render services other subsystems call: the land texture of a layer slot, the shadow
// invalidation after a change of the world, the full-view viewport, the material listing command,
// and the plant draw's sizes.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

// The plant draw's face limit and its index budget (three indices a face).
constexpr s32_t PLANT_FACE_LIMIT = 200;
constexpr s32_t PLANT_INDEX_BUDGET = 3 * PLANT_FACE_LIMIT;

// The layer texture of land slot 0 to 31 (the key by which materials name land surfaces); null
// for an empty slot and for any index outside the table (indices come from map data).
IDirect3DTexture8* RenderGetLandTexture(s32_t index);
// While rbupdateshadows is on, every object of the dynamic-object registry drops its shadows, in
// registry order; otherwise nothing.
void ShadowsUpdateDynamic();
// The viewport over the whole surface being drawn (the render-target texture while one is the
// target, else the screen), depth 0 to 1, or 0 to 0 with zeroDepth (every pixel drawn gets depth
// 0); kept in the camera's viewport record as well.
void RenderSetFullViewport(bool zeroDepth);
// The material listing on console 0: the heading, each material's name and its texture names,
// then the counts. The command handler of rxprintmaterials.
s32_t RenderPrintMaterials(const char* arguments);
