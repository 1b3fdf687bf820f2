// The camera of the view being drawn. Every view (main view, secondary views, inset and external
// cameras, the standalone landscape, the lens flare) begins with one of the set-ups below: they fill
// the one CameraState, hand projection, view and world to the device, optionally set the viewport,
// and rebuild the frustum that visibility and the debug drawing use.
#pragma once
#include "core/types.h"
#include "platform/d3dx8_math.h"

class GraphNode;

constexpr float kCameraDefaultNearPlane = 0.2f;
constexpr float kCameraDefaultOrthoDivisor = 640.0f;

struct CameraState {
    D3DXVECTOR3 position;  // the eye given, or the computed eye of orbit and third-person cameras
    float yaw = 0.0f, pitch = 0.0f, roll = 0.0f;
    float fov = 0.0f;   // as given, radians
    float fovY = 0.0f;  // the vertical field of view handed to the projection
    float aspect = 1.0f;
    u32_t viewWidth = 0, viewHeight = 0;  // the surface being drawn: back buffer or render-target texture
    u8_t screenAspectOverride = 0;        // set while drawing into a texture: the aspect is then the display mode's
    float fogStartSq = 0.0f;              // (mffogstart x 10) squared
    D3DXMATRIX projection, view, world;   // world is the inverse of view: the camera's own transform
    D3DVIEWPORT8 viewport = {};           // the last viewport a set-up set
    D3DXVECTOR3 right, up, forward, eye;
    // The near-plane rectangle: one corner and its two full edges.
    D3DXVECTOR3 frustumCorner, frustumEdge1, frustumEdge2;
    D3DXPLANE frustumPlanes[6];         // near, far, then the four sides; normals point inwards
    GraphNode* cameraObject = nullptr;  // supplies the camera transform while set
    u8_t orthographic = 0;              // the editor's top view
    float orthoScaleDivisor = kCameraDefaultOrthoDivisor;
    u8_t wrapToWorld = 0;  // third-person targets are wrapped into the base world tile
    float nearPlane = kCameraDefaultNearPlane;
    float thirdPersonYaw = 0.0f, thirdPersonPitch = 0.0f;  // the game's orbit angles
};

// A frozen copy of the camera that culling reads; it stops following while rbict is on.
struct CullingSnapshot {
    D3DXVECTOR3 position;
    D3DXVECTOR3 right, up, forward;  // normalised
    float fov = 0.0f;
    float aspect = 1.0f;       // display mode width / height
    float farDistance = 0.0f;  // mfrange x 10
};

extern CameraState g_camera;
extern CullingSnapshot g_cullingSnapshot;

// The eye of the current visibility pass (3 floats; scene/passes/visibility_pass.cpp keeps it) and the
// camera's field of view in radians.
const float* RenderGetVisibilityEye();
float RenderGetFov();

// The main set-up; fov in radians.
void RenderSetupCamera(float x, float y, float z, float yaw, float pitch, float roll, float fov, u8_t setViewport);
// Camera from an eye and a target; the derived yaw and pitch go to the out pointers (either may be null).
void RenderSetupLookAtCamera(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ, float fov,
                             float roll, float* outYaw, float* outPitch, u8_t setViewport);
// Orbit camera round (x, y, z) with a 90-degree field of view; a3 to a5 are not read; the viewport is always set.
void RenderSetupCameraFov90(float x, float y, float z, float a3, float a4, float a5, float distance, float yaw,
                            float pitch);
// Sets only the device's view transform, built from the angles; CameraState stays as it was.
void RenderSetViewFromAngles(const float* position, float yaw, float pitch, float roll);

// The view of a camera at the position turned by yaw, pitch and roll, and its inverse.
void CameraBuildViewMatrix(D3DXMATRIX* outView, D3DXMATRIX* outWorld, float x, float y, float z, float yaw, float pitch,
                           float roll);
// The view of a camera carried by an object: the object's matrix turned by the angles; position is not read.
void CameraBuildViewFromObject(D3DXMATRIX* outView, D3DXMATRIX* outWorld, const D3DXMATRIX* objectMatrix,
                               const float* position, float yaw, float pitch, float roll);
// Looks at the target from the orbit point given by yaw, pitch and distance; the target becomes the eye.
void CameraBuildOrbitView(D3DXMATRIX* outView, D3DXMATRIX* outWorld, D3DXVECTOR3* inoutTarget, float yaw, float pitch,
                          float distance);

void RenderUpdateFrustum();
// Camera axes from the view matrix and the eye from the world matrix.
void CameraExtractAxes();
// The near-plane rectangle of the current projection; its middle half while rbviewporttest is on.
void FrustumBuildBox();
// The 6 frustum planes of the current camera moved to the eye; refreshes the culling snapshot
// while rbict is off.
void FrustumBuildPlanes(D3DXPLANE* outPlanes, const D3DXVECTOR3* eye);

void RenderSetCameraObject(GraphNode* object);
void RenderSetCameraWrap(u8_t on);
// A divisor of zero or less keeps the current one.
void RenderSetOrthographic(u8_t on, float divisor);
// The size of the surface the views draw into (the display mode sets the back buffer's).
void CameraSetViewSize(u32_t width, u32_t height);

D3DXVECTOR3* Vec3ScaleInPlace(D3DXVECTOR3* v, float s);
float Vec3Length(const D3DXVECTOR3* v);
