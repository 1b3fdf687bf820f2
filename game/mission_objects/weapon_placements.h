// Weapon placements the definitions could not complete (a weapon model line whose parent node is
// missing): kept in order for the game flow to place the weapon by other means.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

class DynamicObject;

struct WeaponPlacement {
    EngineString name;
    Vector3 position;
    Vector3 rotation;
    DynamicObject* object = nullptr;  // not owned
};

void GameRecordWeaponPlacement(const char* name, const Vector3& position, const Vector3& rotation,
                               DynamicObject* object);
u32_t GameWeaponPlacementCount();
const WeaponPlacement* GameWeaponPlacementAt(u32_t index);
void GameWeaponPlacementsClear();
// Mission start: each recorded placement becomes a dynamic weapon at its place (taken in hand by a
// carrier soldier and dropped), the recorded object goes, and the list is emptied.
void GameReplacePlacedWeapons();
