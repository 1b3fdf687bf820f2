#include "game/accounts/restart_info.h"

#include <cstring>

#include "actors/actor.h"
#include "actors/vehicles/vehicle.h"
#include "actors/weapons/weapon.h"
#include "core/log.h"
#include "core/strings/text_case.h"
#include "game/player/player_control.h"
#include "game/player/player_foot_control.h"
#include "game/view/player_view.h"
#include "game/accounts/saved_objects.h"
#include "map/registry/world_registry.h"
#include "scene/passes/decal_list.h"
#include "world/objects/dyn_objects_passes.h"

RestartInfo g_restartInfo;

void RestartInfoSave()
{
    Log("Saving restart info...");
    RestartInfoFree();
    const float* view = GameGetViewPos();
    std::memcpy(g_restartInfo.viewPosition, view, sizeof g_restartInfo.viewPosition);
    g_restartInfo.viewYaw = GameGetYaw();
    g_restartInfo.viewPitch = GameGetPitch();

    WorldObjects world;
    CollectWorldObjects(world, false);
    ClearWeaponLinks(world.weapons);
    const std::vector<u32_t> hands = HandKinds(world.actors);
    DropAllItems(world.actors, world.weapons);

    std::vector<SavedObjectState>& records = g_restartInfo.records;
    records.resize(world.actors.size() + world.weapons.size() + world.vehicles.size());
    size_t n = 0;
    for (Actor* actor : world.actors)
        FillRecord(records[n++], actor);
    for (Weapon* weapon : world.weapons) {
        weapon->FillMagazines();
        FillRecord(records[n++], weapon);
    }
    for (Vehicle* vehicle : world.vehicles)
        FillRecord(records[n++], vehicle);
    StoreHandKinds(records, hands);
    g_restartInfo.valid = true;

    GiveItemsBack(world.weapons);
    RestoreHandKinds(world.actors, hands);
    Log("done\n");
}

int RestartInfoLoad()
{
    if (!g_restartInfo.valid)
        return 0;
    Log("Loading restart info...");
    RemoveAllProjectiles();
    WorldObjects world;
    CollectWorldObjects(world, false);
    ClearWeaponLinks(world.weapons);

    float* view = GameGetViewPos();
    std::memcpy(view, g_restartInfo.viewPosition, sizeof g_restartInfo.viewPosition);
    GameSetPlayerPos(view);
    for (int axis = 0; axis < 3; ++axis)
        g_playerFoot.previousPosition[axis] = view[axis];
    GameSetYawPitch(g_restartInfo.viewYaw, g_restartInfo.viewPitch);
    DropAllItems(world.actors, world.weapons);

    for (const SavedObjectState& record : g_restartInfo.records) {
        if (record.kind == OBJECT_TYPE_WEAPON)
            ApplyWeaponRecord(record, world.weapons);
    }
    for (const SavedObjectState& record : g_restartInfo.records) {
        for (Actor* actor : world.actors) {
            if (record.kind != OBJECT_TYPE_ACTOR || CompareNoCase(actor->name.Text(), record.name.Text()) != 0)
                continue;
            ApplyActorRecord(actor, record);
            actor->oxygen = actor->oxygenMax;
        }
        for (Vehicle* vehicle : world.vehicles) {
            if (record.kind != OBJECT_TYPE_VEHICLE || CompareNoCase(vehicle->name.Text(), record.name.Text()) != 0)
                continue;
            // Back in place and at rest, in the rotation it has now; its first update settles it.
            vehicle->SetGroundPosition(record.position.x, record.position.y, record.position.z);
            vehicle->SetPosition(record.position);
            vehicle->firstUpdatePending = 1;
            vehicle->ClearDecals();
            DynObjectUpdateGrid(vehicle);
            vehicle->SetSpeed(0.0f);
        }
    }
    DecalListClear();
    DynObjectsClearDecals();
    Log("done\n");
    return 1;
}

void RestartInfoFree()
{
    g_restartInfo.records.clear();
    g_restartInfo.records.shrink_to_fit();
    g_restartInfo.valid = false;
}
