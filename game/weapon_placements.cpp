#include "game/weapon_placements.h"

#include <vector>

namespace {

std::vector<WeaponPlacement> g_placements;

}  // namespace

void GameRecordWeaponPlacement(const char* name, const Vector3& position, const Vector3& rotation,
                               DynamicObject* object)
{
    WeaponPlacement placement;
    placement.name.Assign(name ? name : "");
    placement.position = position;
    placement.rotation = rotation;
    placement.object = object;
    g_placements.push_back(placement);
}

u32_t GameWeaponPlacementCount()
{
    return static_cast<u32_t>(g_placements.size());
}

const WeaponPlacement* GameWeaponPlacementAt(u32_t index)
{
    return index < g_placements.size() ? &g_placements[index] : nullptr;
}

void GameWeaponPlacementsClear()
{
    g_placements.clear();
}
