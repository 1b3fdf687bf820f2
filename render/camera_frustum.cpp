// The view frustum of the current camera: its axes, near-plane rectangle and planes, and the
// culling snapshot.
#include "core/frame_view.h"
#include "render/camera.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"

CullingSnapshot g_cullingSnapshot;

namespace {

constexpr float kOrthoDepth = 10000.0f;

// The near distance of a perspective projection: z maps to 0 there.
float NearDistance(const D3DXMATRIX& projection)
{
    return -projection._43 / projection._33;
}

D3DXVECTOR3 Normalised(const D3DXVECTOR3& v)
{
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    return out;
}

void RefreshCullingSnapshot(const D3DXVECTOR3& eye)
{
    g_cullingSnapshot.position = eye;
    g_cullingSnapshot.right = Normalised(g_camera.right);
    g_cullingSnapshot.up = Normalised(g_camera.up);
    g_cullingSnapshot.forward = Normalised(g_camera.forward);
    g_cullingSnapshot.fov = g_frameView.fieldOfView;
    g_cullingSnapshot.aspect =
        g_render.screenHeight > 0 ? float(g_render.screenWidth) / float(g_render.screenHeight) : 1.0f;
    g_cullingSnapshot.farDistance = mfrange.Float() * 10.0f;
}

void BuildPerspectivePlanes(D3DXPLANE* outPlanes, const D3DXVECTOR3& eye)
{
    const D3DXMATRIX& projection = g_camera.projection;
    const float zn = NearDistance(projection);
    const float zf = zn * projection._33 / (projection._33 - 1.0f);
    const D3DXVECTOR3& forward = g_camera.forward;
    const D3DXVECTOR3 nearPoint = eye + forward * zn;
    const D3DXVECTOR3 farPoint = eye + forward * zf;
    const D3DXVECTOR3 backward = -forward;
    D3DXPlaneFromPointNormal(&outPlanes[0], &nearPoint, &forward);
    D3DXPlaneFromPointNormal(&outPlanes[1], &farPoint, &backward);
    // The rectangle was built round the camera's own eye; it moves with the eye asked for.
    const D3DXVECTOR3 corner = g_camera.frustumCorner - g_camera.eye + eye;
    const D3DXVECTOR3 corners[4] = {corner, corner + g_camera.frustumEdge1,
                                    corner + g_camera.frustumEdge1 + g_camera.frustumEdge2,
                                    corner + g_camera.frustumEdge2};
    for (int side = 0; side < 4; ++side)
        D3DXPlaneFromPoints(&outPlanes[2 + side], &eye, &corners[side], &corners[(side + 1) % 4]);
}

// A box under the eye: the top at the eye's height, the bottom 10000 below, and the sides ten
// times the visible area wide.
void BuildOrthographicPlanes(D3DXPLANE* outPlanes, const D3DXVECTOR3& eye)
{
    const float scale = eye.y / g_camera.orthoScaleDivisor;
    const float halfWidth = float(g_camera.viewWidth) * scale * 10.0f * 0.5f;
    const float halfDepth = float(g_camera.viewHeight) * scale * 10.0f * 0.5f;
    struct Face {
        D3DXVECTOR3 point, normal;
    };
    const Face faces[6] = {
        {eye, {0.0f, -1.0f, 0.0f}},
        {{eye.x, eye.y - kOrthoDepth, eye.z}, {0.0f, 1.0f, 0.0f}},
        {{eye.x - halfWidth, eye.y, eye.z}, {1.0f, 0.0f, 0.0f}},
        {{eye.x + halfWidth, eye.y, eye.z}, {-1.0f, 0.0f, 0.0f}},
        {{eye.x, eye.y, eye.z - halfDepth}, {0.0f, 0.0f, 1.0f}},
        {{eye.x, eye.y, eye.z + halfDepth}, {0.0f, 0.0f, -1.0f}},
    };
    for (int i = 0; i < 6; ++i)
        D3DXPlaneFromPointNormal(&outPlanes[i], &faces[i].point, &faces[i].normal);
}

}  // namespace

void CameraExtractAxes()
{
    const D3DXMATRIX& view = g_camera.view;
    g_camera.right = D3DXVECTOR3(view._11, view._21, view._31);
    g_camera.up = D3DXVECTOR3(view._12, view._22, view._32);
    g_camera.forward = D3DXVECTOR3(view._13, view._23, view._33);
    g_camera.eye = D3DXVECTOR3(g_camera.world._41, g_camera.world._42, g_camera.world._43);
}

void FrustumBuildBox()
{
    const D3DXMATRIX& projection = g_camera.projection;
    const float zn = NearDistance(projection);
    const float halfWidth = zn / projection._11;
    const float halfHeight = zn / projection._22;
    const D3DXVECTOR3 centre = g_camera.eye + g_camera.forward * zn;
    g_camera.frustumCorner = centre - g_camera.right * halfWidth - g_camera.up * halfHeight;
    g_camera.frustumEdge1 = g_camera.right * (2.0f * halfWidth);
    g_camera.frustumEdge2 = g_camera.up * (2.0f * halfHeight);
    if (rbviewporttest.Bool()) {
        g_camera.frustumCorner += (g_camera.frustumEdge1 + g_camera.frustumEdge2) * 0.25f;
        Vec3ScaleInPlace(&g_camera.frustumEdge1, 0.5f);
        Vec3ScaleInPlace(&g_camera.frustumEdge2, 0.5f);
    }
}

void FrustumBuildPlanes(D3DXPLANE* outPlanes, const D3DXVECTOR3* eye)
{
    if (g_camera.orthographic)
        BuildOrthographicPlanes(outPlanes, *eye);
    else
        BuildPerspectivePlanes(outPlanes, *eye);
    for (int i = 0; i < 6; ++i)
        D3DXPlaneNormalize(&outPlanes[i], &outPlanes[i]);
    if (!rbict.Bool())
        RefreshCullingSnapshot(*eye);
}

void RenderUpdateFrustum()
{
    CameraExtractAxes();
    FrustumBuildBox();
    FrustumBuildPlanes(g_camera.frustumPlanes, &g_camera.eye);
}
