// The vehicle object and its seats: what the actors and the HUD read of them so far.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"
#include "world/dynamic_object.h"

class Weapon;

struct VehicleSeat {
    u8_t driver = 0;           // the seat is marked "driver"
    Weapon* weapon = nullptr;  // the weapon operated from the seat, if any
};

class Vehicle : public DynamicObject {
public:
    ~Vehicle() override = default;

    EngineString hudScreen;  // the vehicle's own HUD screen (empty: none)
};
