// The player's collision sweep: a move is walked in short steps from where it starts, and it stops at
// the first step where the player's sphere touches an object, pushed out of it. A ladder touched on
// the way puts the player on the ladder.
#pragma once

// The player's collision radius.
constexpr float kPlayerRadius = 4.5f;
// Half the sides of the box round each step within which objects are asked for contact.
constexpr float kSlideBoxHalfX = 8.5f;
constexpr float kSlideBoxHalfY = 10.0f;
constexpr float kSlideBoxHalfZ = 8.5f;

// position is where the move would end (moved back to where the sweep stops); move is the whole move;
// length its length. Steps: trunc(length / (gfcollipar x 4.5)) + 1. Inside an indoor cell the indoor
// query takes the position alone.
void SlideMove(float* position, const float* move, float length);
// The number of steps a move of that length takes.
int SlideMoveStepCount(float length);
