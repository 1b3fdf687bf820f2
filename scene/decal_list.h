// The world renderer's list of decals on the static map geometry (at most 512), drawn in world
// space. The list owns its decals.
#pragma once
#include "core/types.h"

class Decal;

constexpr s32_t DECAL_LIST_MAX = 512;

// Frees every decal and empties the list (mission leave; the render shutdown calls it through the
// hook the first added decal registers).
void DecalListClear();
// Takes the decal: with the spacing test it is freed when its centre lies within the spacing
// radius of a listed decal; a full list first frees the one created longest ago.
void DecalListAdd(Decal* decal, bool spacingTest);
// Once per frame: expires (with "rbremovedecals" on) and fades the listed decals.
void DecalListUpdate(float fogFactor);
s32_t DecalListCount();
Decal* DecalListGet(s32_t index);
