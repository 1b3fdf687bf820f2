// The vehicle's driving model: forces, drive controls and gear, steering about the turning centre,
// the rigid four-wheel frame on the terrain, and the per-frame step with the wheel and body motion.
//
// A definition that leaves out mass, maximum speed or maximum angle, or a model whose wheels stand
// on one spot, gives 0 where the model divides: those steps then leave the vehicle still rather
// than filling its positions with NaN (the first placement warns of it).
#include "actors/vehicles/vehicle.h"

#include <cmath>

#include "actors/actor.h"
#include "core/frame_view.h"
#include "map/terrain/terrain_height.h"
#include "world/nodes/graph_node.h"

namespace {

constexpr float kRollingCoefficient = 12.8f;
constexpr float kAngleFloor = 1e-16f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kLoweredTilt = 0.08726647f;
// Speeds up to this do not move the vehicle.
constexpr float kStillSpeed = 0.001f;

D3DXVECTOR3 Towards(const D3DXVECTOR3& difference)
{
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &difference);
    return out;
}

D3DXVECTOR3 TurnAbout(const D3DXVECTOR3& v, const D3DXVECTOR3& axis, float angle)
{
    D3DXMATRIX turn;
    D3DXMatrixRotationAxis(&turn, &axis, angle);
    D3DXVECTOR3 out;
    D3DXVec3TransformNormal(&out, &v, &turn);
    return out;
}

void TransformInPlace(D3DXVECTOR3* v, const D3DXMATRIX& m)
{
    const D3DXVECTOR3 in = *v;
    D3DXVec3TransformCoord(v, &in, &m);
}

// A running bump moves its amount towards the limit; at the limit it turns into a decaying one.
float RunBump(float frameTime, const D3DXVECTOR3& ground, const D3DXVECTOR3& normal, D3DXVECTOR3* savedPosition,
              D3DXVECTOR3* savedNormal);

float DecayBump(const D3DXVECTOR3& ground, const D3DXVECTOR3& normal, D3DXVECTOR3* savedPosition,
                D3DXVECTOR3* savedNormal)
{
    VehicleSwayState& sway = g_vehicleSway;
    if (std::fabs(sway.bumpAmount) >= 0.001f) {
        sway.bumpAmount *= 0.96f;
        return sway.bumpAmount;
    }
    sway.bumpAmount = 0.0f;
    *savedPosition = ground;
    *savedNormal = normal;
    sway.bumpActive = false;
    return 0.0f;
}

float RunBump(float frameTime, const D3DXVECTOR3& ground, const D3DXVECTOR3& normal, D3DXVECTOR3* savedPosition,
              D3DXVECTOR3* savedNormal)
{
    VehicleSwayState& sway = g_vehicleSway;
    sway.bumpAmount += (sway.bumpRising ? 0.25f : -0.25f) * frameTime;
    const float limit = sway.bumpRising ? 0.15f : -0.15f;
    if (sway.bumpRising ? sway.bumpAmount >= limit : sway.bumpAmount <= limit) {
        sway.bumpAmount = limit;
        sway.bumpActive = true;
        sway.bumpRunning = false;
        return DecayBump(ground, normal, savedPosition, savedNormal);
    }
    return sway.bumpAmount;
}

}  // namespace

float VehicleAirDrag(float speed)
{
    return speed * speed * 0.3f * 2.2f * 1.29f * 0.5f;
}

float VehicleRollingResistance(float coefficient, float speed)
{
    return coefficient * speed;
}

float VehicleScaledLength(const D3DXVECTOR3& vector, float factor)
{
    const D3DXVECTOR3 scaled(vector.x * factor, vector.y * factor, vector.z * factor);
    return D3DXVec3Length(&scaled);
}

float VehicleTerrainHeight(float x, float z)
{
    return MapTerrainHeight(x, z, nullptr, nullptr);
}

// ---- controls ----

void Vehicle::ControlForward()
{
    if (speed == 0.0f) {
        if (forwardGear) {
            Accelerate();
            gearChangeArmed = 0;
            return;
        }
        if (gearChangeArmed)
            ToggleGear();
    }
    if (forwardGear)
        Accelerate();
    else
        Brake();
    gearChangeArmed = 0;
}

void Vehicle::ControlBackward()
{
    if (speed == 0.0f) {
        if (!forwardGear) {
            Reverse();
            gearChangeArmed = 0;
            return;
        }
        if (gearChangeArmed)
            ToggleGear();
    }
    if (forwardGear)
        Brake();
    else
        Reverse();
    gearChangeArmed = 0;
}

void Vehicle::SteerLeft()
{
    Steer(true, steerRate, 0.0f);
}

void Vehicle::SteerRight()
{
    Steer(false, steerRate, 0.0f);
}

void Vehicle::SteerBy(bool negative, float amount)
{
    Steer(negative, amount, 1.5f);
}

// ---- steps ----

namespace {

// The engine's push for one frame, up to the limit: the speed stops exactly there, and below it the
// throttle opens further. Without a mass the speed stays.
void DriveTowards(Vehicle& v, float limit)
{
    const float force = VehicleScaledLength(v.direction, v.engineForce * v.throttle);
    const float next =
        v.mass > 0.0f
            ? v.speed + (force - VehicleAirDrag(v.speed) - VehicleRollingResistance(kRollingCoefficient, v.speed)) /
                            v.mass * g_frameView.frameTime
            : v.speed;
    if (limit <= next) {
        v.speed = limit;
    } else {
        v.speed = next;
        v.throttle += v.accelSpeed * g_frameView.frameTime;
    }
}

}  // namespace

void Vehicle::Accelerate()
{
    if (speed == 0.0f && !forwardGear)
        ToggleGear();
    DriveTowards(*this, maxSpeed);
    driveState = VEHICLE_DRIVE_FORWARD;
}

void Vehicle::Reverse()
{
    DriveTowards(*this, reverseSpeed);
    driveState = VEHICLE_DRIVE_BACKWARD;
}

void Vehicle::Brake()
{
    const float force = VehicleScaledLength(direction, brakeForce);
    if (mass > 0.0f) {
        const float next =
            speed - (kRollingCoefficient * speed + VehicleAirDrag(speed) + force) / mass * g_frameView.frameTime;
        speed = next < 0.0f ? 0.0f : next;
    }
    if (throttle <= 100.0f)
        throttle = 100.0f;
    else
        throttle -= accelSpeed * g_frameView.frameTime;
    driveState = VEHICLE_DRIVE_BRAKE;
}

void Vehicle::Coast()
{
    if (mass > 0.0f) {
        const float loss = 5.0f * (10.0f * VehicleAirDrag(speed) + 10.0f * kRollingCoefficient * speed) / mass;
        const float next = speed - loss * g_frameView.frameTime;
        // The loss is a share of the speed: left alone the speed would only shrink towards 0 and
        // stick at the smallest float, keeping the vehicle "moving" for ever. Below the speed that
        // still moves it, it stops.
        speed = next < kStillSpeed ? 0.0f : next;
    }
    if (throttle <= 100.0f)
        throttle = 100.0f;
    else
        throttle -= accelSpeed * g_frameView.frameTime;
}

void Vehicle::Move()
{
    if (std::fabs(speed) <= kStillSpeed)
        return;
    const float distance = (forwardGear ? speed : -speed) * g_frameView.frameTime * 10.0f;
    const D3DXVECTOR3 step = direction * distance;
    groundPosition += step;
    for (D3DXVECTOR3& point : points)
        point += step;
    centre += step;
}

void Vehicle::Steer(bool negative, float amount, float factor)
{
    const float a = steerAngle == 0.0f ? kAngleFloor : steerAngle;
    float d = factor != 0.0f ? amount * factor : amount;
    if (negative)
        d = -d;
    float delta = a + d;
    if (delta > maxSteerAngle)
        delta = maxSteerAngle;
    else if (delta < -maxSteerAngle)
        delta = -maxSteerAngle;
    const float sine = std::sin(delta);
    const float omega = wheelbase > 0.0f ? g_frameView.frameTime * (sine * speed * 10.0f / wheelbase) : 0.0f;

    direction = Towards(-lengthAxis);
    const D3DXVECTOR3 heading = Towards(TurnAbout(direction, normalAxis, delta));
    direction = TurnAbout(direction, normalAxis, delta);
    // No turn (standing, straight wheels or no wheelbase): the turning centre lies at infinity and
    // the arc is the identity.
    if (omega != 0.0f && sine != 0.0f) {
        const float radius = std::fabs(wheelbase / sine);
        D3DXVECTOR3 side;
        if (delta > 0.0f)
            D3DXVec3Cross(&side, &normalAxis, &heading);
        else
            D3DXVec3Cross(&side, &heading, &normalAxis);
        const D3DXVECTOR3 turningCentre = (delta > 0.0f ? points[1] : points[0]) + side * radius;
        D3DXMATRIX toCentre, turn, back;
        D3DXMatrixTranslation(&toCentre, -turningCentre.x, -turningCentre.y, -turningCentre.z);
        D3DXMatrixRotationAxis(&turn, &normalAxis, forwardGear ? omega : -omega);
        D3DXMatrixTranslation(&back, turningCentre.x, turningCentre.y, turningCentre.z);
        const D3DXMATRIX m = toCentre * turn * back;
        TransformInPlace(&groundPosition, m);
        for (D3DXVECTOR3& point : points)
            TransformInPlace(&point, m);
        TransformInPlace(&centre, m);
    }
    steerAngle = delta;
    driveState |= VEHICLE_DRIVE_STEERED;
}

void Vehicle::SettleOnTerrain()
{
    SettleOnGround(VehicleTerrainHeight(points[0].x, points[0].z), VehicleTerrainHeight(points[1].x, points[1].z),
                   VehicleTerrainHeight(points[2].x, points[2].z), VehicleTerrainHeight(points[3].x, points[3].z));
}

void Vehicle::SettleOnGround(float h0, float h1, float h2, float h3)
{
    D3DXVECTOR3* p = points;
    const float diagonal = std::sqrt(wheelbase * wheelbase + track * track);
    const auto raised = [](const D3DXVECTOR3& point, float height) { return D3DXVECTOR3(point.x, height, point.z); };
    const bool rearAnchorP2 = h2 >= h3;
    if (rearAnchorP2) {
        p[2].y = h2;
        p[3] = p[2] + Towards(raised(p[3], h3) - p[2]) * track;
    } else {
        p[3].y = h3;
        p[2] = p[3] + Towards(raised(p[2], h2) - p[3]) * track;
    }
    const D3DXVECTOR3 front0 = raised(p[0], h0);
    const D3DXVECTOR3 front1 = raised(p[1], h1);
    if (rearAnchorP2) {
        if (h0 >= h1) {
            p[0] = p[2] + Towards(front0 - p[2]) * wheelbase;
            p[1] = p[3] + (p[0] - p[2]);
        } else {
            p[1] = p[2] + Towards(front1 - p[2]) * diagonal;
            p[0] = p[2] + (p[1] - p[3]);
        }
    } else {
        if (h0 >= h1) {
            p[0] = p[3] + Towards(front0 - p[3]) * diagonal;
            p[1] = p[3] + (p[0] - p[2]);
        } else {
            p[1] = p[3] + Towards(front1 - p[3]) * wheelbase;
            p[0] = p[2] + (p[1] - p[3]);
        }
    }
    centre = (p[0] + p[1] + p[2] + p[3]) * 0.25f;
}

void Vehicle::DriveStep()
{
    const float frameTime = g_frameView.frameTime;
    VehicleSwayState& sway = g_vehicleSway;
    if (speed < 5.0f)
        sway.lowSpeedPitch = true;
    if (occupantCount == 0) {
        Coast();
        Move();
    } else {
        const float yaw = g_frameView.yaw;
        if (std::fabs(yaw) > 0.001f && mouseSteering && selfCentringAllowed)
            SteerBy(yaw < 0.0f, mouseSteerAmount);
        if (driveState & VEHICLE_DRIVE_IDLE)
            Coast();
        if (!(driveState & VEHICLE_DRIVE_STEERED)) {
            if (std::fabs(steerAngle) > 1.25f * steerSpeed)
                Steer(steerAngle > 0.0f, steerRate, 2.0f);
            else
                Move();
        }
    }
    CollideWithObjects();
    if (speed != 0.0f) {
        SettleOnTerrain();
        ComputeAxes();
        BuildOrientation();
    }
    groundPosition.y = VehicleTerrainHeight(groundPosition.x, groundPosition.z);
    SetPosition({groundPosition.x, groundPosition.y, groundPosition.z});

    // Wheels and steering wheel.
    if (frontAxleNode && rearAxleNode) {
        GraphNode* holders[2] = {frontAxleNode->GetChild(0), frontAxleNode->GetChild(1)};
        GraphNode* wheels[4] = {holders[0]->GetChild(0), holders[1]->GetChild(0), rearAxleNode->GetChild(0),
                                rearAxleNode->GetChild(1)};
        for (GraphNode* holder : holders) {
            Vector3 angles = holder->GetRotation();
            angles.x = -steerAngle;
            holder->SetRotation(angles);
        }
        const float spin = (forwardGear ? -speed : speed) * frameTime * 1.4f;
        for (int i = 0; i < 4; ++i) {
            Vector3 angles = wheels[i]->GetRotation();
            angles.y += (i % 2 == 0) ? spin : -spin;
            wheels[i]->SetRotation(angles);
        }
    }
    if (steeringWheelNode) {
        Vector3 angles = steeringWheelNode->GetRotation();
        angles.y = std::fabs(steerAngle) <= kAngleFloor || maxSteerAngle == 0.0f
                       ? 0.0f
                       : -(kHalfPi / maxSteerAngle) * steerAngle;
        steeringWheelNode->SetRotation(angles);
    }

    if (bodyNode) {
        Vector3 angles = bodyNode->GetRotation();
        // Roll.
        float roll = wheelbase > 0.0f ? mass * speed * speed * std::sin(steerAngle) * 10.0f / wheelbase * 1e-5f : 0.0f;
        if (steerAngle > 0.0f) {
            if (roll > 0.1f)
                roll = 0.1f;
        } else if (roll < -0.1f) {
            roll = -0.1f;
        }
        angles.x = roll;
        // Pitch.
        float pitch = angles.z;
        if (sway.lowSpeedPitch) {
            const bool raise = ((driveState & VEHICLE_DRIVE_FORWARD) && speed < 3.0f) ||
                               ((driveState & VEHICLE_DRIVE_BRAKE) && speed > 0.0f && speed < 5.0f && !forwardGear);
            const bool lower = ((driveState & VEHICLE_DRIVE_BACKWARD) && speed < 3.0f) ||
                               ((driveState & VEHICLE_DRIVE_BRAKE) && speed > 0.0f && speed < 5.0f && forwardGear);
            if (raise) {
                pitch = pitch >= 0.12f ? 0.12f : pitch + 0.2f * frameTime;
            } else if (lower) {
                pitch = pitch <= -0.12f ? -0.12f : pitch - 0.2f * frameTime;
            } else if (std::fabs(pitch) >= 0.001f) {
                pitch *= 0.98f;
            } else {
                pitch = 0.0f;
                sway.lowSpeedPitch = false;
            }
        } else if (speed == 0.0f || sway.bumpActive) {
            if (sway.bumpRunning) {
                pitch = RunBump(frameTime, groundPosition, normalAxis, &savedPosition, &savedNormalAxis);
            } else {
                pitch = sway.bumpAmount;
                if (sway.bumpActive)
                    pitch = DecayBump(groundPosition, normalAxis, &savedPosition, &savedNormalAxis);
            }
        } else if (!sway.bumpRunning) {
            float cosine = D3DXVec3Dot(&savedNormalAxis, &lengthAxis);
            cosine = cosine > 1.0f ? 1.0f : (cosine < -1.0f ? -1.0f : cosine);
            if (std::fabs(kHalfPi - std::acos(cosine)) <= 1e-6f) {
                pitch = sway.bumpAmount;
            } else {
                sway.bumpRunning = true;
                sway.bumpRising = groundPosition.y > savedPosition.y;
                pitch = RunBump(frameTime, groundPosition, normalAxis, &savedPosition, &savedNormalAxis);
            }
        } else {
            pitch = RunBump(frameTime, groundPosition, normalAxis, &savedPosition, &savedNormalAxis);
        }
        angles.z = pitch;
        bodyNode->SetRotation(angles);
    }

    // Body placement: the root follows the orientation and the ground position.
    D3DXMATRIX inverse, place, m;
    D3DXMatrixInverse(&inverse, nullptr, orientation);
    if (loweredBody) {
        D3DXMATRIX tilt;
        D3DXMatrixRotationX(&tilt, kLoweredTilt);
        D3DXMatrixTranslation(&place, groundPosition.x, groundPosition.y - 1.0f, groundPosition.z);
        m = tilt * inverse * place;
    } else {
        D3DXMatrixTranslation(&place, groundPosition.x, groundPosition.y, groundPosition.z);
        m = inverse * place;
    }
    if (GraphNode* top = GetRootNode())
        top->SetMatrix(&m.m[0][0]);
    boundsValid = 0;

    steerRate = maxSpeed > 0.0f ? steerSpeed + (finalSteer - steerSpeed) * speed / maxSpeed : steerSpeed;
    slow = speed <= 1.0f;
}
