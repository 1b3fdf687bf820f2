// No object class, definition template or weapon is known yet: creation and templating fail
// cleanly, which callers already handle for unknown names.
#include "game/object_factory.h"
#include "core/random.h"
#include "world/dynamic_object.h"

namespace {
bool g_forceActorCreation = false;
}  // namespace

DynamicObject* CreateDynamicObjectByClass(const char*)
{
    return nullptr;
}

void ForceActorCreation(bool force)
{
    g_forceActorCreation = force;
}

bool GameActorCreationForced()
{
    return g_forceActorCreation;
}

bool GameApplyTemplateToObject(const char*, DynamicObject*)
{
    return false;
}

void DeleteDynamicObject(DynamicObject* object)
{
    delete object;
}

DynamicObject* GameAddWeaponToActor(Actor*, const char*)
{
    return nullptr;
}

void GameSetSRand(u32_t seed)
{
    EngineSRand(seed);
}
