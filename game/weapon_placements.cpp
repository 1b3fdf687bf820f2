#include "game/weapon_placements.h"

#include "game/game_state.h"

void GameRecordWeaponPlacement(const char* name, const Vector3& position, const Vector3& rotation,
                               DynamicObject* object)
{
    WeaponPlacement placement;
    placement.name.Assign(name ? name : "");
    placement.position = position;
    placement.rotation = rotation;
    placement.object = object;
    g_game.weaponPlacements.push_back(placement);
}

u32_t GameWeaponPlacementCount()
{
    return static_cast<u32_t>(g_game.weaponPlacements.size());
}

const WeaponPlacement* GameWeaponPlacementAt(u32_t index)
{
    return index < g_game.weaponPlacements.size() ? &g_game.weaponPlacements[index] : nullptr;
}

void GameWeaponPlacementsClear()
{
    g_game.weaponPlacements.clear();
}
