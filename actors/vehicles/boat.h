// The boat: a vehicle that keeps its own position, heading and tilt and moves by tilt and push. A drive
// key pitches the hull and the level part of the pitched up vector pushes it; released, the pitch
// decays while the boat glides on. Steering while driving banks the hull and swings the boat about a
// pivot beside it; with no drive key it turns in place toward the view. Every frame it is set onto
// the surface under it.
#pragma once
#include "actors/vehicles/vehicle.h"

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
