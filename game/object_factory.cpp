// Making world objects by class keyword and deleting them.
#include "game/object_factory.h"

#include "core/text_case.h"

#include "actors/actor.h"
#include "actors/boat.h"
#include "actors/caterpillar.h"
#include "actors/helicopter.h"
#include "actors/vehicle.h"
#include "actors/weapon.h"
#include "ai/ai_interface.h"
#include "ai/ai_state.h"
#include "core/random.h"
#include "core/winos.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "map/map_object.h"
#include "map/world_registry.h"
#include "scene/particle_effects.h"
#include "world/dynamic_object.h"
#include "world/entity.h"
#include "world/structure.h"
#include "world/tree.h"

namespace {

bool g_forceActorCreation = false;

template <class Class>
DynamicObject* Make()
{
    return new Class;
}

// A soldier comes with its AI, which makes the body; the world owns the body from then on. None
// once the AI table is full.
DynamicObject* MakeActor()
{
    if (g_ai.interfaceCount >= MAX_AI_INTERFACES)
        return nullptr;
    return (new AIInterface())->body;
}

// The Tesk team's soldier: the same, with a TeskActor for its body.
DynamicObject* MakeTeskActor()
{
    if (g_ai.interfaceCount >= MAX_AI_INTERFACES)
        return nullptr;
    return (new AIInterface(true))->body;
}

// What a class needs while a game mode runs; outside game modes only the networked entity is refused
// (but for editor mode).
enum ClassCondition : u8_t {
    CLASS_ALWAYS,
    CLASS_NEEDS_ACTOR_FLAG,  // or ForceActorCreation
    CLASS_NEEDS_VEHICLE_FLAG,
    CLASS_NEEDS_GAME_MODE,  // or editor mode
};

struct OwnClass {
    const char* keyword;
    DynamicObject* (*make)();
    ClassCondition condition;
};

// In lookup order: the first keyword that matches decides.
const OwnClass kOwnClasses[] = {
    {"actor", MakeActor, CLASS_NEEDS_ACTOR_FLAG},
    {"entity", Make<Entity>, CLASS_ALWAYS},
    {"equipment", Make<Equipment>, CLASS_ALWAYS},
    {"structure", Make<Structure>, CLASS_ALWAYS},
    {"weapon", Make<Weapon>, CLASS_ALWAYS},
    {"particle", Make<ParticleEffectObject>, CLASS_ALWAYS},
    {"tree", Make<Tree>, CLASS_ALWAYS},
    {"map_obj", Make<MapObject>, CLASS_ALWAYS},
    {"vehicle", Make<Vehicle>, CLASS_NEEDS_VEHICLE_FLAG},
    {"helicopter", Make<Helicopter>, CLASS_NEEDS_VEHICLE_FLAG},
    {"boat", Make<Boat>, CLASS_NEEDS_VEHICLE_FLAG},
    {"caterpillar", Make<Caterpillar>, CLASS_NEEDS_VEHICLE_FLAG},
    {"tesk", MakeTeskActor, CLASS_ALWAYS},
    {"entitynet", Make<EntityNet>, CLASS_NEEDS_GAME_MODE},
};

bool Allowed(ClassCondition condition)
{
    const GameMod* mode = g_game.currentGameMod;
    switch (condition) {
        case CLASS_ALWAYS:
            return true;
        case CLASS_NEEDS_ACTOR_FLAG:
            return !mode || mode->actorFlag || g_forceActorCreation;
        case CLASS_NEEDS_VEHICLE_FLAG:
            return !mode || mode->vehicleFlag;
        case CLASS_NEEDS_GAME_MODE:
            return mode || g_program.editorMode;
    }
    return false;
}

}  // namespace

DynamicObject* CreateDynamicObjectByClass(const char* classKeyword)
{
    if (!classKeyword)
        return nullptr;
    for (const OwnClass& entry : kOwnClasses) {
        if (CompareNoCase(entry.keyword, classKeyword) == 0)
            return Allowed(entry.condition) ? entry.make() : nullptr;
    }
    for (s32_t i = 0; i < g_game.objectClassCount; ++i) {
        const ObjectClassEntry& entry = g_game.objectClasses[i];
        if (CompareNoCase(entry.keyword, classKeyword) == 0)
            return entry.make();
    }
    return nullptr;
}

bool GameRegisterObjectClass(const char* keyword, DynamicObject* (*make)())
{
    if (!keyword || !make || g_game.objectClassCount >= GAME_OBJECT_CLASS_SLOTS)
        return false;
    g_game.objectClasses[g_game.objectClassCount++] = {keyword, make};
    return true;
}

void GameUnregisterObjectClass(const char* keyword)
{
    for (s32_t i = 0; i < g_game.objectClassCount; ++i) {
        if (CompareNoCase(g_game.objectClasses[i].keyword, keyword ? keyword : "") != 0)
            continue;
        for (s32_t j = i + 1; j < g_game.objectClassCount; ++j)
            g_game.objectClasses[j - 1] = g_game.objectClasses[j];
        g_game.objectClasses[--g_game.objectClassCount] = {};
        return;
    }
}

void ForceActorCreation(bool force)
{
    g_forceActorCreation = force;
}

bool GameActorCreationForced()
{
    return g_forceActorCreation;
}

void DeleteDynamicObject(DynamicObject* object)
{
    delete object;
}

void GameClearVehicleAuxFlags()
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        if (objects[i] && objects[i]->GetTypeId() == OBJECT_TYPE_VEHICLE)
            static_cast<Vehicle*>(objects[i])->SetAuxFlag(false);
    }
}

DynamicObject* GameAddWeaponToActor(Actor*, const char*)
{
    return nullptr;
}

void GameSetSRand(u32_t seed)
{
    EngineSRand(seed);
}
