// The player's two short probes for room: whether a lean along a direction or standing up would put
// the head into something. Player control asks them before it leans or stands.
#pragma once

// Reach of the lean probe and height of the stand probe, world units.
constexpr float kLeanRoom = 15.0f;
constexpr float kStandRoom = 7.0f;

// True when nothing lies within 15 units of the point along the direction (not normalised: the
// segment runs to point + 15 x direction), the player itself not counted.
bool LeanRoomTest(float dx, float dy, float dz, const float* point);
// True when nothing lies within 7 units above the viewer (15 inside an indoor cell).
bool StandRoomTest();
