// The helicopter: on the ground a wheeled vehicle with spinning rotors; in the air it flies by tilt
// and push as the boat does (pitch moves it ahead or back, bank sideways, a vertical speed climbs or
// sinks) and every tilt decays when its control is released. The rotor winds up after creation and
// gates every control. The flight controls are in actors/vehicles/helicopter_controls.cpp.
#pragma once
#include "actors/vehicles/vehicle.h"

// Helicopter control state bits.
constexpr u32_t HELI_IDLE = 0x01;
constexpr u32_t HELI_FORWARD = 0x02;
constexpr u32_t HELI_BACKWARD = 0x04;
constexpr u32_t HELI_VERTICAL = 0x08;
constexpr u32_t HELI_LEFT = 0x10;
constexpr u32_t HELI_RIGHT = 0x20;
constexpr u32_t HELI_VIEW_TURN = 0x40;

// The dust effect's name holds at most this many characters.
constexpr u32_t HELI_EFFECT_NAME_LENGTH = 130;
// The helicopter does not climb at or above this height over the terrain.
constexpr float HELI_CEILING = 500.0f;

class Helicopter : public Vehicle {
public:
    Helicopter();
    ~Helicopter() override;

    void Update() override;
    bool SetParam(const char* name, const EngineString* values, int count) override;
    bool IsAnimated() const override { return lodLevel < 2; }
    void EnterSeat(Actor* actor) override;
    void ControlForward() override;
    void ControlBackward() override;
    void SteerLeft() override;
    void SteerRight() override;
    void ControlLeanLeft() override;
    void ControlLeanRight() override;
    // The view turn in the air: sense true turns left. The amount is not used.
    void SteerBy(bool negative, float amount) override;
    void ToggleMode() override { modeFlag = !modeFlag; }
    void ComputeAxes() override;
    void BuildOrientation() override;
    void SetAuxFlag(bool value) override { effectStarted = value; }

    // The landing test: the contact point over the highest ground is at most 5 above it.
    bool CanLand() const;

    bool takeoffPending = true;
    float rotorSpeed = 0.01f;
    float max_rotorspeed = 0.0f;
    float lift = 0.0f;
    float strafespeed = 0.0f;
    float rotspeed = 0.0f;
    float max_angle = 0.0f;
    float max_rot_z = 0.0f;
    float max_rot_x = 0.0f;
    float max_y = 0.0f;
    float framespeed1 = 0.0f;
    float framespeed2 = 0.0f;
    float altitude = 0.0f;
    float bankAngle = 0.0f;
    float verticalSpeed = 0.0f;
    float pitchAngle = 0.0f;
    float turnRate = 0.0f;
    u32_t controlState = HELI_IDLE;
    D3DXVECTOR3 side{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 up{0.0f, 1.0f, 0.0f};
    D3DXVECTOR3 tiltedUp{0.0f, 1.0f, 0.0f};
    D3DXVECTOR3 push{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 liftVector{0.0f, 1.0f, 0.0f};
    D3DXVECTOR3 rotorPivot{0.0f, 0.0f, 0.0f};
    bool airborne = false;
    bool flyingForward = true;
    bool effectStarted = false;
    char effectName[HELI_EFFECT_NAME_LENGTH + 1] = {};
    GraphNode* mainRotorNode = nullptr;
    GraphNode* tailRotorNode = nullptr;

private:
    // ---- the update (actors/vehicles/helicopter.cpp) ----
    void WindUpRotor();
    void PlaceOnPad();
    void FlyOnGround();
    void FlyInAir();
    void Collide();
    void SpinRotors(u32_t shownMesh);
    void PlayAssemblies();
    // ---- the flight (actors/vehicles/helicopter_controls.cpp) ----
    bool RotorReady() const { return rotorSpeed >= max_rotorspeed; }
    void AddControl(u32_t bit);
    void MoveBy(const D3DXVECTOR3& offset);
    void ComputePush();
    void FlyForward();
    void FlyBackward();
    void FlySideways(bool left);
    void BankedTurn(bool left);
    void Climb();
    void Descend();
    void UpdateAltitude();
    void LandByControl();
    void DecayPitch();
    void DecayBank();
    void DecayVertical();
    void LevelBody();
};
