// The pass that draws the frame's filed sprite records (scene/draw_records/batch_records.h): batch by batch,
// each record a lightmapped quad turned to the camera about the vertical axis.
#pragma once
#include "core/types.h"

// Vertices and indices of one streaming block of the pass.
constexpr u32_t SPRITE_BLOCK_VERTICES = 2000;
constexpr u32_t SPRITE_BLOCK_INDICES = 3000;

void BatchRecordsDraw();
