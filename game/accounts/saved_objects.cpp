#include "game/accounts/saved_objects.h"

#include <cmath>
#include <cstring>

#include "actors/actor.h"
#include "actors/weapons/projectile.h"
#include "actors/vehicles/vehicle.h"
#include "actors/weapons/weapon.h"
#include "core/strings/text_case.h"
#include "map/registry/world_registry.h"

namespace {

bool SameName(const char* a, const char* b)
{
    return std::strlen(a) == std::strlen(b) && CompareNoCase(a, b) == 0;
}

}  // namespace

void CollectWorldObjects(WorldObjects& objects, bool withDestroyed)
{
    DynamicObject** all = nullptr;
    s32_t count = 0;
    DynObjectsGet(&all, &count);
    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* object = all[i];
        if (!object)
            continue;
        switch (object->GetTypeId()) {
            case OBJECT_TYPE_ACTOR:
                objects.actors.push_back(static_cast<Actor*>(object));
                break;
            case OBJECT_TYPE_WEAPON:
                objects.weapons.push_back(static_cast<Weapon*>(object));
                break;
            case OBJECT_TYPE_VEHICLE:
                objects.vehicles.push_back(static_cast<Vehicle*>(object));
                break;
            case OBJECT_TYPE_PROJECTILE:
                objects.projectiles.push_back(static_cast<Projectile*>(object));
                break;
            default:
                break;
        }
    }
    if (!withDestroyed)
        return;
    // A destroyed structure or map object waits in the destroy queue while its replacement stands
    // in its place in the world.
    for (u32_t i = 0; i < DestroyQueueCount(); ++i) {
        DynamicObject* queued = DestroyQueueGet(i);
        const s32_t type = queued ? queued->GetTypeId() : 0;
        if ((type == OBJECT_TYPE_STRUCTURE || type == OBJECT_TYPE_MAP_OBJECT) && queued->destroyedReplacement &&
            !queued->replacedOriginal)
            objects.destroyed.push_back(queued);
    }
}

void ClearWeaponLinks(const std::vector<Weapon*>& weapons)
{
    for (Weapon* weapon : weapons) {
        weapon->owner = nullptr;
        weapon->previousOwner = nullptr;
    }
}

void DropAllItems(const std::vector<Actor*>& actors, std::vector<Weapon*>& weapons)
{
    // In slot order, so that taking them back in record order fills the same slots.
    for (Actor* actor : actors) {
        while (actor->weaponCount > 0) {
            int slot = 0;
            while (slot < kActorWeaponSlots && !(actor->weapons[slot] && actor->weaponOwned[slot]))
                ++slot;
            if (slot < kActorWeaponSlots)
                actor->selectedSlot = static_cast<u8_t>(slot);
            Weapon* dropped = actor->DropItem(1);
            if (!dropped)
                break;
            weapons.push_back(dropped);
        }
    }
}

void GiveItemsBack(const std::vector<Weapon*>& weapons)
{
    for (Weapon* weapon : weapons) {
        if (Actor* owner = weapon->previousOwner)
            owner->TakeItem(weapon);
    }
}

void FillRecord(SavedObjectState& record, DynamicObject* object)
{
    record.name = object->name;
    record.position = object->GetPosition();
    record.rotation = object->GetRotation();
    record.kind = static_cast<u32_t>(object->GetTypeId());
    if (record.kind == OBJECT_TYPE_ACTOR) {
        const Actor* actor = static_cast<const Actor*>(object);
        record.rotation = {actor->GetPitch(), actor->GetHeading(), record.rotation.z};
    }
    std::memset(record.kindArea, 0, sizeof record.kindArea);
    if (record.kind == OBJECT_TYPE_ACTOR || record.kind == OBJECT_TYPE_WEAPON || record.kind == OBJECT_TYPE_VEHICLE ||
        record.kind == OBJECT_TYPE_PROJECTILE)
        object->SaveState(&record);
}

void ApplyWeaponRecord(const SavedObjectState& record, std::vector<Weapon*>& weapons)
{
    for (auto at = weapons.begin(); at != weapons.end(); ++at) {
        Weapon* weapon = *at;
        if (!SameName(weapon->name.Text(), record.name.Text()))
            continue;
        weapon->previousOwner = nullptr;
        char holder[17] = {};
        std::memcpy(holder, record.kindArea, 16);
        Actor* owner = nullptr;
        if (holder[0]) {
            DynamicObject* named = DynObjectFind(holder);
            if (named && named->GetTypeId() == OBJECT_TYPE_ACTOR)
                owner = static_cast<Actor*>(named);
        }
        weapon->previousOwner = owner;
        weapon->SetPosition(record.position);
        weapon->SetRotation(record.rotation);
        DynObjectUpdateGrid(weapon);
        SavedObjectState state = record;
        weapon->LoadState(&state);
        if (owner)
            owner->TakeItem(weapon);
        weapons.erase(at);
        return;
    }
}

void ApplyActorRecord(Actor* actor, const SavedObjectState& record)
{
    actor->SetPosition(record.position);
    actor->SetHeading(record.rotation.y);
    actor->SetPitch(record.rotation.x);
    actor->ClearDecals();
    DynObjectUpdateGrid(actor);
    SavedObjectState state = record;
    actor->LoadState(&state);
}

void RemoveAllProjectiles()
{
    ProjectileTableClear();
    DynamicObject** all = nullptr;
    s32_t count = 0;
    DynObjectsGet(&all, &count);
    for (s32_t i = 0; i < count; ++i) {
        if (all[i] && all[i]->GetTypeId() == OBJECT_TYPE_PROJECTILE)
            ProjectileTableAdd(static_cast<Projectile*>(all[i]));
    }
    ProjectileTableDestroyAll();
    ProjectileTableClear();
}

void StoreHandKinds(std::vector<SavedObjectState>& records, const std::vector<u32_t>& kinds)
{
    for (size_t i = 0; i < records.size() && i < kinds.size(); ++i) {
        u8_t* word = records[i].kindArea + ACTOR_STATE_SLOT_KIND;
        for (int b = 0; b < 4; ++b)
            word[b] = static_cast<u8_t>(kinds[i] >> (8 * b));
    }
}

std::vector<u32_t> HandKinds(const std::vector<Actor*>& actors)
{
    std::vector<u32_t> kinds;
    kinds.reserve(actors.size());
    for (const Actor* actor : actors) {
        const Weapon* inHand = actor->selectedSlot < kActorWeaponSlots ? actor->weapons[actor->selectedSlot] : nullptr;
        kinds.push_back(inHand ? inHand->slotType : 0u);
    }
    return kinds;
}

void RestoreHandKinds(const std::vector<Actor*>& actors, const std::vector<u32_t>& kinds)
{
    for (size_t i = 0; i < actors.size() && i < kinds.size(); ++i) {
        if (actors[i]->weaponCount && actors[i]->SelectWeaponKind(static_cast<s32_t>(kinds[i])))
            actors[i]->SwapWeaponNodes(static_cast<u16_t>(kinds[i]));
    }
}
