#include "actors/vehicles/vehicle_kind_motion.h"

#include <cmath>
#include <cstdio>

#include "core/frame_view.h"

float VehicleReadFloat(const EngineString& text)
{
    // "%f" also reads "inf" and "nan", which would carry into every position: they count as no number.
    float value = 0.0f;
    return std::sscanf(text.Text(), "%f", &value) == 1 && std::isfinite(value) ? value : 0.0f;
}

D3DXVECTOR3 VehicleTilt(const D3DXVECTOR3& up, const D3DXVECTOR3& axis, float angle)
{
    // A zero axis (before the first placement): nothing to tilt about.
    if (D3DXVec3Length(&axis) == 0.0f)
        return up;
    D3DXMATRIX turn;
    D3DXMatrixRotationAxis(&turn, &axis, angle);
    D3DXVECTOR3 out;
    D3DXVec3TransformNormal(&out, &up, &turn);
    return out;
}

D3DXVECTOR3 VehiclePush(const D3DXVECTOR3& up, const D3DXVECTOR3& tiltedUp)
{
    const float length = D3DXVec3Length(&tiltedUp);
    if (length == 0.0f)
        return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    float cosine = D3DXVec3Dot(&tiltedUp, &up) / length;
    cosine = cosine > 1.0f ? 1.0f : (cosine < -1.0f ? -1.0f : cosine);
    const float t = std::acos(cosine);
    D3DXVECTOR3 across, level;
    D3DXVec3Cross(&across, &up, &tiltedUp);
    D3DXVec3Cross(&level, &across, &up);
    if (D3DXVec3Length(&level) == 0.0f)
        return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 unit;
    D3DXVec3Normalize(&unit, &level);
    return unit * (length * std::sin(t));
}

float VehicleRise(float angle, float limit, float step)
{
    return angle < limit ? angle + step : limit;
}

float VehicleFall(float angle, float limit, float step)
{
    return angle > limit ? angle - step : limit;
}

D3DXMATRIX VehicleRotationAbout(const D3DXVECTOR3& point, const D3DXVECTOR3& axis, float angle)
{
    D3DXMATRIX to, turn, back;
    D3DXMatrixTranslation(&to, -point.x, -point.y, -point.z);
    D3DXMatrixRotationAxis(&turn, &axis, angle);
    D3DXMatrixTranslation(&back, point.x, point.y, point.z);
    return to * turn * back;
}

D3DXVECTOR3 VehicleTurned(const D3DXVECTOR3& vector, const D3DXVECTOR3& axis, float angle)
{
    D3DXMATRIX turn;
    D3DXMatrixRotationAxis(&turn, &axis, angle);
    D3DXVECTOR3 out;
    D3DXVec3TransformNormal(&out, &vector, &turn);
    return out;
}

D3DXMATRIX VehicleTurnPoints(Vehicle& vehicle, const D3DXVECTOR3& pivot, const D3DXVECTOR3& axis, float angle)
{
    const D3DXMATRIX about = VehicleRotationAbout(pivot, axis, angle);
    for (D3DXVECTOR3& point : vehicle.points) {
        const D3DXVECTOR3 from = point;
        D3DXVec3TransformCoord(&point, &from, &about);
    }
    return about;
}

void VehicleTurnHeading(Vehicle& vehicle, const D3DXVECTOR3& axis, float angle)
{
    const float heading = std::atan2(vehicle.direction.x, vehicle.direction.z) + angle;
    vehicle.direction.x = std::sin(heading);
    vehicle.direction.z = std::cos(heading);
    VehicleTurnPoints(vehicle, vehicle.groundPosition, axis, angle);
    vehicle.ComputeAxes();
    vehicle.BuildOrientation();
}

float VehicleSwingStep(bool left, bool ahead, float turnRate, float maxAngle, float maxRotZ, float* bankAngle,
                       float* pitchAngle)
{
    const float frameTime = g_frameView.frameTime;
    *bankAngle = left ? VehicleRise(*bankAngle, 2.0f * maxAngle, frameTime)
                      : VehicleFall(*bankAngle, -2.0f * maxAngle, frameTime);
    *pitchAngle = ahead ? VehicleRise(*pitchAngle, maxRotZ, 0.25f * frameTime)
                        : VehicleFall(*pitchAngle, -maxRotZ, 0.25f * frameTime);
    const float a = left ? -frameTime * turnRate : frameTime * turnRate;
    return ahead ? a : -a;
}

D3DXVECTOR3 VehicleSwingPivot(const D3DXVECTOR3& centre, const D3DXVECTOR3& side, float wheelbase, float maxAngle,
                              bool left)
{
    const float sine = std::sin(maxAngle);
    const float k = sine != 0.0f ? wheelbase / sine : 0.0f;
    return left ? centre + side * k : centre - side * k;
}
