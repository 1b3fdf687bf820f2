// The wide projection of a frame: the camera's field of view and aspect with the far plane at the
// view range, so that the wire and shadow passes are not clipped by the ordinary projection's far
// plane. Recomputed at the start of every pass list.
#pragma once
#include "platform/d3dx8_math.h"

extern D3DXMATRIX g_renderWideProjection;

// From the camera's vertical field of view and aspect: near plane at the camera's near-plane value
// + 0.001, far plane at mfrange x 10.
void RenderWideProjectionUpdate();
