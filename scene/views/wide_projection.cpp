#include "scene/views/wide_projection.h"

#include "map/map_cvars.h"
#include "render/camera.h"

D3DXMATRIX g_renderWideProjection;

void RenderWideProjectionUpdate()
{
    D3DXMatrixPerspectiveFovLH(&g_renderWideProjection, g_camera.fovY, g_camera.aspect, g_camera.nearPlane + 0.001f,
                               mfrange.Float() * 10.0f);
}
