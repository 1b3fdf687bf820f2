// The character object of soldiers and of the player's body.
#pragma once
#include "world/dynamic_object.h"

class Actor : public DynamicObject {
public:
    ~Actor() override = default;
};
