// The tracked vehicle: the vehicle's driving model, except that below speed 10 it turns on the spot
// by a fixed step per frame; it turns its track wheels, leans its hull in curves and runs its own
// update.
#pragma once
#include "actors/vehicles/vehicle.h"

// Caterpillar control state bits.
constexpr u32_t CATERPILLAR_IDLE = 0x01;
constexpr u32_t CATERPILLAR_FORWARD = 0x02;
constexpr u32_t CATERPILLAR_BACKWARD = 0x04;
constexpr u32_t CATERPILLAR_TURNING = 0x08;

class Caterpillar : public Vehicle {
public:
    Caterpillar();
    ~Caterpillar() override;

    void Update() override;
    bool SetParam(const char* name, const EngineString* values, int count) override;
    void ControlForward() override;
    void ControlBackward() override;
    void SteerLeft() override;
    void SteerRight() override;
    void SteerBy(bool negative, float amount) override;

    u32_t controlState = CATERPILLAR_IDLE;
    float turnStep = 0.1f;    // "max_angle": radians of one pivot turn, per frame
    float rotspeed = 300.0f;  // "rotspeed": kept, used by nothing
    bool movedFlag = false;

private:
    void PlaceOnTracks();
    void Drive();
    void PivotTurn(bool left);
    void TurnTowardView(bool negative);
};

// Below this speed tracked vehicles and helicopters on the ground turn on the spot.
constexpr float CATERPILLAR_PIVOT_SPEED = 10.0f;
