// The wire pass: every intact wire of every connection-object group drawn as textured ribbons
// between the attachment points of neighbouring point sets ("YFLAT" one vertical band, "CROSS" two
// crossed ribbons along a sagging, swaying curve), with distance fog and the sighted wire in green.
#pragma once
#include "core/types.h"
#include "platform/d3dx8_math.h"

struct ConObjGroup;
struct ConObjPointSet;

// The texture factor of the sighted wire.
constexpr u32_t WIRE_SIGHTED_COLOUR = 0xFF008000;

// The fog alpha of a wire at distance d from the camera: (t ^ mffogpow) x 255, at most 255, where t
// runs from 0 at mffogstart x 10 to 1 at mfrange x 10.
u32_t WireFogAlpha(float distance);
// The culling box of wire n of the span from set (min corner, max corner).
void WireCullBox(const ConObjGroup& group, const D3DXVECTOR3& a, const D3DXVECTOR3& b, D3DXVECTOR3* boxMin,
                 D3DXVECTOR3* boxMax);
// A "CROSS" wire's geometry: the segment count's curve from a to b lowered by the sag and moved
// sideways by the sway. Writes VertexPT vertices (5 floats each) and triangle indices from 0;
// returns the vertex count ((N - 1) x 8), the index count going to *indexCount. The outputs hold
// MAX_WIRE_SEGMENTS x 8 vertices and x 12 indices.
u32_t WireCrossGeometry(const ConObjGroup& group, const D3DXVECTOR3& a, const D3DXVECTOR3& b, float sway,
                        float* vertices, u16_t* indices, u32_t* indexCount);
// A "YFLAT" wire's quad: 4 vertices, 6 indices.
void WireFlatGeometry(const ConObjGroup& group, const D3DXVECTOR3& a, const D3DXVECTOR3& b, float* vertices,
                      u16_t* indices);

// Draws every wire while rbconobjs is on; advances each drawn chain's sway phase by framedtime x 0.7.
void RenderConnectionObjects();
