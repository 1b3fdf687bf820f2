#include "game/mission_objects/weapon_placements.h"

#include <string>

#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "core/frame_view.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/current_account.h"
#include "game/game_state.h"
#include "game/mission_objects/object_factory.h"
#include "game/accounts/player_account.h"
#include "map/registry/world_insert.h"
#include "map/registry/world_registry.h"

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

void GameReplacePlacedWeapons()
{
    if (g_game.weaponPlacements.empty())
        return;
    // A carrier soldier takes each placed weapon in hand and drops it: the dropped weapon is a dynamic
    // weapon of the world, which the placed one (a weapon model without its parent node) is not.
    DynamicObject* made = CreateDynamicObjectByClass("actor");
    auto* carrier = dynamic_cast<Actor*>(made);
    if (!carrier) {
        DeleteDynamicObject(made);
        GameWeaponPlacementsClear();
        return;
    }
    // A start with "-m" may have nobody logged in: the carrier takes the account name asked for.
    const PlayerAccount* account = GetCurrentAccount();
    carrier->SetNameText(account ? account->name.Text() : as_accname.String());
    carrier->SetPosition({g_frameView.viewPos[0], g_frameView.viewPos[1], g_frameView.viewPos[2]});
    DynObjectAdd(carrier);
    carrier->SetCastsShadow(false);
    GameApplyTemplateToObject("actors\\player_common", carrier);
    carrier->DropItem(1);
    for (const WeaponPlacement& placement : g_game.weaponPlacements) {
        GameAddWeaponToActor(placement.name.Text(), carrier, 1);
        if (Weapon* dropped = carrier->DropItem(1)) {
            // The carrier is deleted below: a last owner left pointing at it would be handed the
            // weapon back by the restart record, or whoever takes the carrier's memory next.
            dropped->previousOwner = nullptr;
            dropped->SetPosition(placement.position);
            dropped->SetRotation(placement.rotation);
            float box[6];
            dropped->GetGeometryBounds(box);
            dropped->SetCastsShadow(false);
            dropped->GetGeometryBounds(box);
            DynObjectUpdateGrid(dropped);
        }
        if (placement.object) {
            RemoveFromWorld(placement.object);
            DeleteDynamicObject(placement.object);
        }
    }
    RemoveFromWorld(carrier);
    carrier->DetachAI();  // out of the AI table, and deleted
    DeleteDynamicObject(carrier);
    GameWeaponPlacementsClear();
}
