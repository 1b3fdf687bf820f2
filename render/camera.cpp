// Camera set-ups and the view-matrix builders.
#include "render/camera.h"

#include <cmath>

#include "core/frame_view.h"
#include "core/world_repeat.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "scene/views/camera_angles.h"
#include "world/objects/dynamic_object.h"
#include "world/nodes/graph_node.h"

CameraState g_camera;

float RenderGetFov()
{
    return g_camera.fov;
}

namespace {

constexpr float kHalfPi = D3DX_PI / 2.0f;
constexpr float kThirdPersonHeight = 10.0f;
constexpr float kThirdPersonDistance = 30.0f;
constexpr float kOrthoFar = 10000.0f;

void SetDeviceTransform(D3DTRANSFORMSTATETYPE state, const D3DXMATRIX& matrix)
{
    if (g_render.device)
        g_render.device->SetTransform(state, &matrix);
}

// A view without an inverse (eye on its target) leaves the camera at the origin, unturned.
void InvertView(D3DXMATRIX* outWorld, const D3DXMATRIX& view)
{
    if (!D3DXMatrixInverse(outWorld, nullptr, &view))
        D3DXMatrixIdentity(outWorld);
}

// Columns 1 to 3 are the axes, row 4 the eye's negated projections on them.
void ViewFromAxes(D3DXMATRIX* outView, const D3DXVECTOR3& x, const D3DXVECTOR3& y, const D3DXVECTOR3& z,
                  const D3DXVECTOR3& eye)
{
    *outView = D3DXMATRIX(x.x, y.x, z.x, 0.0f, x.y, y.y, z.y, 0.0f, x.z, y.z, z.z, 0.0f, -D3DXVec3Dot(&eye, &x),
                          -D3DXVec3Dot(&eye, &y), -D3DXVec3Dot(&eye, &z), 1.0f);
}

float ViewAspect()
{
    return g_camera.viewHeight ? float(g_camera.viewWidth) / float(g_camera.viewHeight) : 1.0f;
}

// The display mode's proportions, for views drawn into textures of another shape.
float ScreenAspect()
{
    return g_render.screenHeight > 0 ? float(g_render.screenWidth) / float(g_render.screenHeight) : 1.0f;
}

float FarDistance()
{
    return mfrange.Float() * 10.0f;
}

void RefreshFogStart()
{
    const float fogStart = mffogstart.Float() * 10.0f;
    g_camera.fogStartSq = fogStart * fogStart;
}

// Vertical field of view from the aspect, then the perspective projection.
void SetPerspective(float fovY)
{
    g_camera.fovY = fovY;
    D3DXMatrixPerspectiveFovLH(&g_camera.projection, fovY, g_camera.aspect, g_camera.nearPlane, FarDistance());
}

// What every set-up does after its view: the transforms, the optional viewport and the frustum.
void FinishSetup(bool setViewport)
{
    SetDeviceTransform(D3DTS_PROJECTION, g_camera.projection);
    SetDeviceTransform(D3DTS_VIEW, g_camera.view);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    SetDeviceTransform(D3DTS_WORLD, identity);
    if (setViewport) {
        g_camera.viewport = {0, 0, g_camera.viewWidth, g_camera.viewHeight, 0.0f, 1.0f};
        if (g_render.device)
            g_render.device->SetViewport(&g_camera.viewport);
    }
    RenderUpdateFrustum();
}

// The orbit target of the third-person view: 10 units above the player, in the base tile when asked.
bool ThirdPersonTarget(const D3DXVECTOR3& given, D3DXVECTOR3* target)
{
    if (!gbthirdperson.Bool() || (given.x == 0.0f && given.y == 0.0f && given.z == 0.0f) || !g_frameView.player)
        return false;
    const Vector3 at = g_frameView.player->GetPosition();
    *target = D3DXVECTOR3(at.x, at.y + kThirdPersonHeight, at.z);
    if (g_camera.wrapToWorld) {
        s32_t tile[2];
        MapPosToCell(&target->x, g_frameView.worldSize, &target->x, tile);
    }
    return true;
}

}  // namespace

void CameraBuildViewMatrix(D3DXMATRIX* outView, D3DXMATRIX* outWorld, float x, float y, float z, float yaw, float pitch,
                           float roll)
{
    D3DXMATRIX rotation;
    D3DXMatrixRotationYawPitchRoll(&rotation, yaw, pitch, roll);
    const D3DXVECTOR3 unitX(1.0f, 0.0f, 0.0f), unitY(0.0f, 1.0f, 0.0f), unitZ(0.0f, 0.0f, 1.0f);
    D3DXVECTOR3 axisX, axisY, axisZ;
    D3DXVec3TransformCoord(&axisX, &unitX, &rotation);
    D3DXVec3TransformCoord(&axisY, &unitY, &rotation);
    D3DXVec3TransformCoord(&axisZ, &unitZ, &rotation);
    ViewFromAxes(outView, axisX, axisY, axisZ, D3DXVECTOR3(x, y, z));
    InvertView(outWorld, *outView);
}

void CameraBuildViewFromObject(D3DXMATRIX* outView, D3DXMATRIX* outWorld, const D3DXMATRIX* objectMatrix, const float*,
                               float yaw, float pitch, float roll)
{
    D3DXMATRIX rotation;
    D3DXMatrixRotationYawPitchRoll(&rotation, yaw, -pitch, roll);
    const D3DXMATRIX turned = rotation * *objectMatrix;
    // The object looks down its -z with its left on +x.
    const D3DXVECTOR3 left(-1.0f, 0.0f, 0.0f), upward(0.0f, 1.0f, 0.0f), back(0.0f, 0.0f, -1.0f);
    D3DXVECTOR3 axisX, axisY, axisZ;
    D3DXVec3Normalize(&axisX, D3DXVec3TransformNormal(&axisX, &left, &turned));
    D3DXVec3Normalize(&axisY, D3DXVec3TransformNormal(&axisY, &upward, &turned));
    D3DXVec3Normalize(&axisZ, D3DXVec3TransformNormal(&axisZ, &back, &turned));
    const D3DXVECTOR3 origin;
    D3DXVECTOR3 eye;
    D3DXVec3TransformCoord(&eye, &origin, objectMatrix);
    ViewFromAxes(outView, axisX, axisY, axisZ, eye);
    InvertView(outWorld, *outView);
}

void CameraBuildOrbitView(D3DXMATRIX* outView, D3DXMATRIX* outWorld, D3DXVECTOR3* inoutTarget, float yaw, float pitch,
                          float distance)
{
    const D3DXVECTOR3 target = *inoutTarget;
    const D3DXVECTOR3 eye(target.x + distance * std::sin(yaw), target.y + distance * std::cos(pitch),
                          target.z + distance * std::cos(yaw));
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(outView, &eye, &target, &up);
    InvertView(outWorld, *outView);
    *inoutTarget = eye;
}

void RenderSetupCamera(float x, float y, float z, float yaw, float pitch, float roll, float fov, u8_t setViewport)
{
    RefreshFogStart();
    g_camera.position = D3DXVECTOR3(x, y, z);
    g_camera.yaw = yaw;
    g_camera.pitch = pitch;
    g_camera.roll = roll;
    g_camera.fov = fov;

    if (g_camera.orthographic) {
        const float scale = y / g_camera.orthoScaleDivisor;
        D3DXMatrixOrthoLH(&g_camera.projection, float(g_camera.viewWidth) * scale, float(g_camera.viewHeight) * scale,
                          0.0f, kOrthoFar);
    } else {
        g_camera.aspect = g_camera.screenAspectOverride ? ScreenAspect() : ViewAspect();
        SetPerspective(rbfov.Bool() ? fov : fov / g_camera.aspect);
    }

    D3DXVECTOR3 target;
    if (ThirdPersonTarget(g_camera.position, &target)) {
        CameraBuildOrbitView(&g_camera.view, &g_camera.world, &target, g_camera.thirdPersonYaw,
                             g_camera.thirdPersonPitch, kThirdPersonDistance);
        g_camera.position = target;
    } else if (g_camera.cameraObject) {
        D3DXMATRIX objectMatrix;
        g_camera.cameraObject->UpdateTransform(&objectMatrix);
        CameraBuildViewFromObject(&g_camera.view, &g_camera.world, &objectMatrix, &g_camera.position.x, yaw, pitch,
                                  roll);
        float readRoll = 0.0f;
        CameraGetYawPitch(&g_camera.yaw, &g_camera.pitch, &readRoll);
    } else {
        CameraBuildViewMatrix(&g_camera.view, &g_camera.world, x, y, z, yaw, pitch, roll);
    }
    FinishSetup(setViewport != 0);
}

void RenderSetupLookAtCamera(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ, float fov,
                             float roll, float* outYaw, float* outPitch, u8_t setViewport)
{
    RefreshFogStart();
    const float dx = targetX - eyeX, dy = targetY - eyeY, dz = targetZ - eyeZ;
    g_camera.yaw = std::atan2(dx, dz);
    g_camera.pitch = -std::atan2(dy, std::sqrt(dx * dx + dz * dz));
    if (outYaw)
        *outYaw = g_camera.yaw;
    if (outPitch)
        *outPitch = g_camera.pitch;
    g_camera.roll = roll;
    g_camera.fov = fov;
    const D3DXVECTOR3 eye(eyeX, eyeY, eyeZ), target(targetX, targetY, targetZ), up(0.0f, 1.0f, 0.0f);
    g_camera.position = eye;
    g_camera.aspect = ViewAspect();
    SetPerspective(fov / g_camera.aspect);
    D3DXMatrixLookAtLH(&g_camera.view, &eye, &target, &up);
    InvertView(&g_camera.world, g_camera.view);
    FinishSetup(setViewport != 0);
}

void RenderSetupCameraFov90(float x, float y, float z, float, float, float, float distance, float yaw, float pitch)
{
    RefreshFogStart();
    g_camera.fov = kHalfPi;
    g_camera.yaw = yaw;
    g_camera.pitch = pitch;
    g_camera.roll = 0.0f;
    g_camera.aspect = ViewAspect();
    SetPerspective(kHalfPi / g_camera.aspect);
    D3DXVECTOR3 point(x, y, z);
    CameraBuildOrbitView(&g_camera.view, &g_camera.world, &point, yaw, pitch, distance);
    g_camera.position = point;
    FinishSetup(true);
}

void RenderSetViewFromAngles(const float* position, float yaw, float pitch, float roll)
{
    D3DXMATRIX view, world;
    CameraBuildViewMatrix(&view, &world, position[0], position[1], position[2], yaw, pitch, roll);
    SetDeviceTransform(D3DTS_VIEW, view);
}

void RenderSetCameraObject(GraphNode* object)
{
    g_camera.cameraObject = object;
}

void RenderSetCameraWrap(u8_t on)
{
    g_camera.wrapToWorld = on;
}

void RenderSetOrthographic(u8_t on, float divisor)
{
    g_camera.orthographic = on;
    // The divisor scales the view by the camera's height: zero or less would leave no view at all.
    if (divisor > 0.0f)
        g_camera.orthoScaleDivisor = divisor;
}

void CameraSetViewSize(u32_t width, u32_t height)
{
    g_camera.viewWidth = width;
    g_camera.viewHeight = height;
}

D3DXVECTOR3* Vec3ScaleInPlace(D3DXVECTOR3* v, float s)
{
    v->x *= s;
    v->y *= s;
    v->z *= s;
    return v;
}

float Vec3Length(const D3DXVECTOR3* v)
{
    return D3DXVec3Length(v);
}
