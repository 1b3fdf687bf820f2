// AI events raised by the world at a point: every live soldier within the radius hears them.
#pragma once
#include "core/types.h"

class AIInterface;
class DynamicObject;

// Event kinds.
constexpr s32_t AI_EVENT_IMPACT = 0;     // a projectile struck near
constexpr s32_t AI_EVENT_SHOT = 2;       // a shot was fired
constexpr s32_t AI_EVENT_DEATH = 4;      // a soldier of the side died
constexpr s32_t AI_EVENT_EXPLOSION = 5;  // a destroyed object's blast

struct AIEventRecord {
    s32_t kind = 0;
    Vector3 position;
    float radius = 0.0f;  // in units of 10 world units
    DynamicObject* source = nullptr;
    AIInterface* sourceAI = nullptr;
    bool skipEnemies = false;  // raised for the source's side only
};

// A grenade lying at a point, as the soldiers near it are told.
struct AIGrenadeRecord {
    Vector3 position;
    float radius = 0.0f;  // metres
    DynamicObject* leftOut = nullptr;
};

// The AI's record of raised events: the latest and how many since the last AIEventsClear (the world's
// tests and the debug overlays read it); the soldiers hear each event as well.
struct AIEventState {
    AIEventRecord last;
    u32_t raised = 0;
    AIGrenadeRecord lastGrenade;
    u32_t grenades = 0;
};

extern AIEventState g_aiEvents;

// Raises the event on every soldier in play within radius x 10 of the point but the source's body;
// impacts and shots (0, 2) skip the source's friends. Impacts, shots and blasts record the point.
void AIRaiseEventInRadius(s32_t kind, const Vector3& position, float radius, DynamicObject* source,
                          AIInterface* sourceAI);
// The same for the source's side only when skipEnemies is set.
void AIRaiseEventInRadiusForTeam(s32_t kind, const Vector3& position, float radius, DynamicObject* source,
                                 AIInterface* sourceAI, bool skipEnemies);
// Tells every live soldier within radius x 10 of the point (but the body left out) of a grenade there.
void AINotifyGrenade(const Vector3& position, float radius, DynamicObject* leftOut);
// Forgets the raised events (mission start and leave).
void AIEventsClear();
