// The mission's defend points as the soldiers look them up. Until the mission cameras that place
// them exist, a mission has none: both lookups answer null.
#pragma once

struct DefendPoint;

// The defend point of that name; null when there is none.
DefendPoint* AIFindDefendPoint(const char* name);
// One of the mission's defend points chosen at random; null when there is none.
DefendPoint* AIRandomDefendPoint();
