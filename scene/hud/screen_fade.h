// Full-screen fades from a colour to the rendered frame, and the state set-ups of the HUD's tinted
// screen-space quads.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

// Starts a fade now (RenderTicks) from the colour (0x00RRGGBB) over the duration; replaces any
// running fade. A duration of 0 or less (a script's argument) draws nothing.
void ScreenFadeStart(s32_t durationMs, u32_t colour);
// Draws the running fade over the whole back buffer, if any.
void ScreenFadeDraw();
// The alpha (1..255) of the fade at that tick, or 0 when nothing is drawn.
u32_t ScreenFadeAlphaAt(u32_t now);
// The colour (0x00RRGGBB) of the fade last started.
u32_t ScreenFadeColour();
// Forgets the fade, as before the first start.
void ScreenFadeReset();

// States of a textured screen quad tinted by the colour, with alpha blending and alpha test.
void HudQuadStatesTinted(D3DCOLOR colour);
// A square of the texture tinted by the colour round (x, y) in pixels; the depth test and depth
// writes are on again afterwards.
void HudDrawSquareMarker(int x, int y, int half, IDirect3DBaseTexture8* texture, D3DCOLOR colour);
