// The player's control while seated in a vehicle: the seat carries the view, the driver's keys work
// the vehicle, a passenger shoots from the seat, and "drop_weapon" gets out when the vehicle has
// (almost) stopped. It runs instead of the on-foot control while the player has a vehicle.
#pragma once
#include "core/types.h"

class Actor;
class Vehicle;

// Below this speed the player may leave the vehicle.
constexpr float kVehicleLeaveSpeed = 3.0f;
// How fast the view swings back to straight ahead once free look ends, radians per second.
constexpr float kVehicleViewCentringRate = 0.5f;
// The soldier rides this far above the seat's node.
constexpr float kVehicleSeatSoldierLift = 17.0f;
// The engine-stop sound of the sound set, and how long after getting out it is heard (ms).
constexpr s32_t kVehicleLeaveSound = 17;
constexpr u32_t kVehicleLeaveSoundDelayMs = 300;

// What the vehicle control keeps between frames: the view's angles at the end of the last frame
// (the free look's reference) and the player's position before this frame.
struct VehicleControlState {
    float lastYaw = 0.0f;
    float lastPitch = 0.0f;
    float previousPosition[3] = {0.0f, 0.0f, 0.0f};
};
extern VehicleControlState g_vehicleControl;

// One frame of the seated player's control; nothing when the player has no vehicle.
void VehicleControlUpdate();

// The player out of his vehicle's seat: the seat let go, his body unlinked from it, the view back on
// him. Where he stands and what is heard are the caller's.
void VehicleControlReleaseSeat(Actor* player, Vehicle* vehicle);
