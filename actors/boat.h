// The boat: a vehicle that keeps its own position, heading and tilt and moves by tilt and push. A drive
// key pitches the hull and the level part of the pitched up vector pushes it; released, the pitch
// decays while the boat glides on. Steering while driving banks the hull and swings the boat about a
// pivot beside it; with no drive key it turns in place toward the view. Every frame it is set onto
// the surface under it.
#pragma once
#include "actors/vehicle.h"

// Boat control state bits.
constexpr u32_t BOAT_IDLE = 0x01;
constexpr u32_t BOAT_FORWARD = 0x02;
constexpr u32_t BOAT_BACKWARD = 0x04;
constexpr u32_t BOAT_LEFT = 0x08;
constexpr u32_t BOAT_RIGHT = 0x10;

class Boat : public Vehicle {
public:
    Boat();
    ~Boat() override;

    void Update() override;
    bool SetParam(const char* name, const EngineString* values, int count) override;
    void ControlForward() override;
    void ControlBackward() override;
    void SteerLeft() override;
    void SteerRight() override;
    // Turning in place toward the view: sense true turns left. The amount is not used.
    void SteerBy(bool negative, float amount) override;
    void ComputeAxes() override;
    void BuildOrientation() override;

    float pushSpeed = 300.0f;  // "speed": push factor while a drive key is held
    float rotspeed = 300.0f;   // push factor while gliding; numerator of the turn rate
    float max_angle = 0.348f;  // the bank limit is twice this
    float max_rot_z = 0.3f;    // pitch limit, both signs
    float bankAngle = 0.0f;
    float pitchAngle = 0.0f;
    float turnRate = 0.0f;  // computed at the first placement
    u32_t controlState = BOAT_IDLE;
    D3DXVECTOR3 forward{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 position{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 up{0.0f, 1.0f, 0.0f};
    D3DXVECTOR3 side{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 tiltedUp{0.0f, 1.0f, 0.0f};
    D3DXVECTOR3 push{0.0f, 0.0f, 0.0f};

private:
    void PlaceOnWater();
    void MoveOnWater();
    void TiltAndPush(float factor);
    void Glide();
    void DecayBank();
    void SwingAboutPivot(bool left);
};

// ---- shared by the vehicle kinds ----
// The up vector rotated about the axis by the angle.
D3DXVECTOR3 VehicleTilt(const D3DXVECTOR3& up, const D3DXVECTOR3& axis, float angle);
// The part of the tilted up vector perpendicular to up (zero when untilted).
D3DXVECTOR3 VehiclePush(const D3DXVECTOR3& up, const D3DXVECTOR3& tiltedUp);
// An angle below the limit grows by the step (it may pass the limit for one frame); one at or above
// it becomes the limit. VehicleFall is the mirror toward a lower limit.
float VehicleRise(float angle, float limit, float step);
float VehicleFall(float angle, float limit, float step);
// The rotation about the axis by the angle around the point.
D3DXMATRIX VehicleRotationAbout(const D3DXVECTOR3& point, const D3DXVECTOR3& axis, float angle);
// The vector turned about the axis by the angle.
D3DXVECTOR3 VehicleTurned(const D3DXVECTOR3& vector, const D3DXVECTOR3& axis, float angle);
// Turns the vehicle's contact points about the axis through the pivot by the angle; gives that rotation.
D3DXMATRIX VehicleTurnPoints(Vehicle& vehicle, const D3DXVECTOR3& pivot, const D3DXVECTOR3& axis, float angle);
// The turn in place toward the view: the heading turns by the angle in the ground plane, the contact
// points with it about the axis through the ground position, and the axes and the orientation follow.
void VehicleTurnHeading(Vehicle& vehicle, const D3DXVECTOR3& axis, float angle);
// One frame of a swing about a pivot beside the vehicle, as the boat and the helicopter steer: the
// bank grows toward the turn's side and the pitch toward the sense of travel. Gives the turn angle.
float VehicleSwingStep(bool left, bool ahead, float turnRate, float maxAngle, float maxRotZ, float* bankAngle,
                       float* pitchAngle);
// The pivot of that swing: beside the centre by wheelbase / sin(maxAngle) on the turn's side. A
// "max_angle" of 0 puts it at the centre itself (the turn rate is 0 then anyway).
D3DXVECTOR3 VehicleSwingPivot(const D3DXVECTOR3& centre, const D3DXVECTOR3& side, float wheelbase, float maxAngle,
                              bool left);
// Reads "%f"; 0 when the text is not a number.
float VehicleReadFloat(const EngineString& text);
