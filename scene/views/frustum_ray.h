// Rays through the current camera's view.
#pragma once

struct D3DXVECTOR3;

// The vector from the camera's eye to the centre of its near-plane rectangle: the direction of
// the crosshair.
void FrustumCentreRay(D3DXVECTOR3* out);
