// The character object of soldiers and of the player's body.
#pragma once
#include "actors/vehicle.h"
#include "core/engine_string.h"
#include "world/dynamic_object.h"

class AIInterface;
class Weapon;

constexpr int kActorWeaponSlots = 8;
constexpr int kActorSquadSlots = 8;

// A member of the player's squad as the HUD shows it.
struct SquadMember {
    EngineString name;
    DynamicObject* object = nullptr;
};

class Actor : public DynamicObject {
public:
    ~Actor() override = default;

    // True when the actor sits in a vehicle seat marked "driver".
    bool IsDriver() const { return inVehicle && seat && seat->driver; }

    bool crouched = false;
    bool prone = false;
    Weapon* weapons[kActorWeaponSlots] = {};
    bool weaponOwned[kActorWeaponSlots] = {};  // the slot holds a weapon
    u8_t selectedSlot = 0;                     // the slot in hand
    bool inVehicle = false;
    Vehicle* vehicle = nullptr;
    VehicleSeat* seat = nullptr;
    float oxygen = 0.0f;  // breath left, drained under water and refilled up to oxygenMax
    float oxygenMax = 0.0f;
    SquadMember* squad[kActorSquadSlots] = {};  // not owned
    AIInterface* ai = nullptr;  // the AI that owns the actor; null for an actor without AI
};
