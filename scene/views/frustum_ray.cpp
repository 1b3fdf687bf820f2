#include "scene/views/frustum_ray.h"

#include "render/camera.h"

void FrustumCentreRay(D3DXVECTOR3* out)
{
    *out = g_camera.frustumCorner + (g_camera.frustumEdge1 + g_camera.frustumEdge2) * 0.5f - g_camera.eye;
}
