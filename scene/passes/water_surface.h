// The water surface, drawn after the world in two steps: RenderWaterSurface draws the water
// geometry of the view (RenderWaterPass) with the water view texture and the animated water
// texture, RenderWaterOverlay finishes it. A device with vertex shaders draws the water in one
// blended pass; without them the geometry only marks its pixels in the stencil and RenderWaterQuad
// lays the water view texture over them.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

// Milliseconds of water animation: it only grows (wrapping at 2^32) and stands still while a GUI
// screen is open. The water texture shown is (RenderWaterTime / 1000) & 31.
extern u32_t RenderWaterTime;
// The texture-factor colour of the stencil path's quad: white at 96 of 255.
constexpr D3DCOLOR WATER_QUAD_COLOUR = 0x60FFFFFFu;
// The stencil value the stencil path marks the water pixels with.
constexpr u32_t WATER_STENCIL_MARK = 8;

// The water texture frame of the current animation time.
u32_t RenderWaterFrame();
// Nothing when the view saw no water; else the water geometry with its states and the clock step.
void RenderWaterSurface();
// Nothing when the view saw no water; else the closing states, and the stencil path's quad.
void RenderWaterOverlay();
// The texture (or, with none, the texture-factor colour) over every pixel whose stencil holds 8,
// laid upside down as the mirrored view needs.
void RenderWaterQuad(IDirect3DBaseTexture8* texture);
