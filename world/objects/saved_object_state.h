// The saved state of one world object, shared by savegames and the restart information: its name,
// placement and kind, and a fixed area that the object's own SaveState fills and LoadState reads,
// field by field.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

constexpr u32_t SAVED_OBJECT_KIND_AREA_SIZE = 332;

struct SavedObjectState {
    EngineString name;
    Vector3 position;
    Vector3 rotation;
    u32_t kind = 0;  // the object's type id
    u32_t unused = 0;
    u8_t kindArea[SAVED_OBJECT_KIND_AREA_SIZE] = {};
};
