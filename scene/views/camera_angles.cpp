#include "scene/views/camera_angles.h"

#include <algorithm>
#include <cmath>

#include "render/camera.h"

namespace {

// acos of a normalised component; rounding may carry it just past 1.
float AcosClamped(float value)
{
    return std::acos(std::clamp(value, -1.0f, 1.0f));
}

}  // namespace

void CameraGetYawPitch(float* outYaw, float* outPitch, float* outRoll)
{
    const D3DXMATRIX& view = g_camera.view;
    D3DXVECTOR3 forward(view._13, view._23, view._33);
    D3DXVECTOR3 right(view._11, view._21, view._31);
    D3DXVec3Normalize(&forward, &forward);
    D3DXVec3Normalize(&right, &right);
    constexpr float kHalfPi = D3DX_PI / 2.0f;
    if (outYaw)
        *outYaw = std::atan2(forward.x, forward.z);
    if (outPitch)
        *outPitch = AcosClamped(forward.y) - kHalfPi;
    if (outRoll)
        *outRoll = kHalfPi - AcosClamped(right.y);
}
