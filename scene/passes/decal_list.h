// The world renderer's list of decals on the static map geometry, drawn in world space. The list
// owns its decals. It holds 512 at most, except that a decal made in the current millisecond is
// never evicted: a list whose decals are all that young grows past 512.
#pragma once
#include "core/types.h"

class Decal;

constexpr s32_t DECAL_LIST_MAX = 512;

// Empties the list without freeing (render start-up).
void DecalListInit();
// Frees every decal and empties the list (render shutdown, leaving a mission, restart information;
// the render shutdown calls it through the hook the first added decal registers).
void DecalListClear();
// Takes the decal. With merge, a decal whose centre lies within the radius of a listed decal is
// freed instead. A full list first frees the oldest decal (the first of equals) older than 0 ms.
void DecalListAdd(Decal* decal, bool merge);
// Frees a listed decal; the others keep their order. A decal not listed is left alone.
void DecalListRemove(Decal* decal);
// With "rbremovedecals" on, frees every decal whose lifetime is over.
void DecalListExpire();
// Once per frame: expires the listed decals, updates their fading, then asks the indoor cell's
// object (see DecalPassesSetCellObject) and every other visible graphic object to update theirs.
void DecalListUpdate();
s32_t DecalListCount();
Decal* DecalListGet(s32_t index);
