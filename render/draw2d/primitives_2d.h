// Screen-space drawing: quads, quads with per-corner colours and a texture rectangle, corner
// brackets round a target, an arrow at the screen border, and the logo frame shown after a mode
// change. Everything goes through the streaming screen-vertex buffer; the caller sets the texture
// and the blend states. Coordinates are integer pixels; quads subtract half a pixel so that texels
// map onto pixels.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

// A pre-transformed vertex of the screen-vertex buffer (28 bytes).
struct VertexScreen {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};
static_assert(sizeof(VertexScreen) == 28, "screen vertices are 28 bytes");

// Screen-space geometry sits at z 0.5 with reciprocal w 0.5.
constexpr float kScreenZ = 0.5f;
constexpr float kScreenRhw = 0.5f;

// A white quad with the whole texture over x0..x1, y0..y1.
void Draw2DQuad(int x0, int x1, int y0, int y1);
// Corner colours c0 to c3 clockwise from (x0, y0); texture rectangle (u0, v0) to (u1, v1).
void Draw2DQuadEx(int x0, int x1, int y0, int y1, D3DCOLOR c0, D3DCOLOR c1, D3DCOLOR c2, D3DCOLOR c3, float u0,
                  float v0, float u1, float v1);
// Four corner brackets of a rectangle round (cx, cy); each arm a quarter of its side, at least 2.
void Draw2DCornerBrackets(int cx, int cy, int halfWidth, int halfHeight, D3DCOLOR colour);
// A triangle of the given size at a point of the view's border, pointing out of the screen there.
void Draw2DEdgeArrow(u32_t x, u32_t y, u32_t size, D3DCOLOR colour);
// The arrow's direction (radians, 0 up the screen, clockwise) and its centre pulled size / 2 inside.
float EdgeArrowAngle(u32_t x, u32_t y, u32_t width, u32_t height);
void EdgeArrowCentre(u32_t* x, u32_t* y, u32_t size, u32_t width, u32_t height);

// Copy floats to the streaming buffer's write position and advance it.
void DynVertexPutVec3(const float* v);
void DynVertexPutVec2(const float* v);

// One frame with the GUI logo in the bottom-right corner on black (after a display-mode change).
void RenderShowLogoFrame();
