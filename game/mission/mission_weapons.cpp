#include "game/mission/mission_weapons.h"

#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "map/registry/world_registry.h"
#include "world/objects/dynamic_object.h"

namespace {

// A sub-weapon under shared ammunition holds its parent's ring, which the parent's fill hands down;
// the others have rings of their own.
void Fill(Weapon* weapon)
{
    if (!weapon)
        return;
    weapon->FillMagazines();
    for (u32_t i = 0; i < weapon->subWeaponCount; ++i) {
        Weapon* sub = weapon->GetSubWeapon(i);
        if (sub && !weapon->commonStats)
            Fill(sub);
    }
}

}  // namespace

void GameFillWeaponMagazines()
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* object = objects[i];
        if (!object)
            continue;
        if (object->typeId == OBJECT_TYPE_WEAPON) {
            Fill(static_cast<Weapon*>(object));
        } else if (object->typeId == OBJECT_TYPE_ACTOR) {
            Actor* actor = static_cast<Actor*>(object);
            for (Weapon* carried : actor->weapons)
                Fill(carried);
        }
    }
}
