// What the player points at: an object wrapped by an envelope, a living actor, or a point on the
// ground. The pick ray goes from the camera through the centre of the view, or, in command-cursor
// mode (the free mouse cursor of the cursor mode and the satellite view), through the cursor; it is
// built from the device's view and projection of the last frame drawn.
#pragma once

class Actor;
class Envelope;

// Squared distance from which an object that is not an actor counts as far.
constexpr float kPickNearDistanceSq = 900.0f;
// The ground pick's ray runs this many direction lengths from the camera.
constexpr float kPickGroundReach = 2e7f;

// When set, the object pick accepts only actors, vehicles and weapons.
void GameSetPickFilter(bool on);
// The envelope of the object under the cursor or the crosshair, or null. Objects other than actors
// from 30 units on count as far: with nearOnly they are not taken.
Envelope* GamePickObjectAtCursor(bool nearOnly = false);
// The living actor under the cursor other than the player, or null.
Actor* GamePickActorAtCursor();
// The world point in screen pixels (x, y) and depth (z) through the device's current world, view and
// projection and its viewport. False (the point zeroed) while there is no device.
bool GameProjectToScreen(float* outScreen, const float* world);
// The ground point under the cursor; false when the ray meets no ground.
bool GamePickGroundPointAtCursor(float* outPoint);

// A fixed answer for the object pick in place of the walk (null gives the walk back): for code that
// is exercised with an envelope the walk never meets, such as a point marker.
void GameSetPickedObject(Envelope* envelope);
