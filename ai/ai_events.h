// AI events raised by the world at a point: every live soldier within the radius hears them.
#pragma once
#include "core/types.h"

class DynamicObject;

// Event kinds.
constexpr s32_t AI_EVENT_EXPLOSION = 5;  // a destroyed object's blast

struct AIEventRecord {
    s32_t kind = 0;
    Vector3 position;
    float radius = 0.0f;  // in units of 10 world units
    DynamicObject* source = nullptr;
};

// The AI's record of raised events: the latest and how many since the last AIEventsClear. No
// soldier exists yet to hear them.
struct AIEventState {
    AIEventRecord last;
    u32_t raised = 0;
};

extern AIEventState g_aiEvents;

// Raises the event on every live soldier within radius x 10 of the point.
void AIRaiseEventInRadius(s32_t kind, const Vector3& position, float radius, DynamicObject* source, s32_t flags);
// Forgets the raised events (mission start and leave).
void AIEventsClear();
