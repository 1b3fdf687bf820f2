// Making world objects by class keyword and deleting them.
#include "game/mission_objects/object_factory.h"

#include "core/frame_view.h"
#include "core/strings/text_case.h"

#include "actors/actor.h"
#include "actors/vehicles/boat.h"
#include "actors/vehicles/caterpillar.h"
#include "actors/vehicles/helicopter.h"
#include "actors/vehicles/vehicle.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "core/random.h"
#include "core/winos.h"
#include "game/mission/game_flow.h"
#include "game/game_state.h"
#include "game/game_test_hooks.h"
#include "map/meshes/map_object.h"
#include "map/registry/world_registry.h"
#include "scene/plugin_bridges/particle_effects.h"
#include "world/objects/dynamic_object.h"
#include "world/objects/entity.h"
#include "world/objects/structure.h"
#include "world/objects/tree.h"

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

// What a running game mode (or its absence) allows of a class.
enum class Allowed { Always, ActorFlagOrForced, VehicleFlag, GameModeOrEditor };

struct OwnClass {
    const char* keyword;
    DynamicObject* (*make)();
    Allowed allowed;
};

// Searched in this order; the first keyword that matches decides, even when its class is refused.
const OwnClass kOwnClasses[] = {
    {"actor", MakeActor, Allowed::ActorFlagOrForced},
    {"entity", Make<Entity>, Allowed::Always},
    {"equipment", Make<Equipment>, Allowed::Always},
    {"structure", Make<Structure>, Allowed::Always},
    {"weapon", Make<Weapon>, Allowed::Always},
    {"particle", Make<ParticleEffectObject>, Allowed::Always},
    {"tree", Make<Tree>, Allowed::Always},
    {"map_obj", Make<MapObject>, Allowed::Always},
    {"vehicle", Make<Vehicle>, Allowed::VehicleFlag},
    {"helicopter", Make<Helicopter>, Allowed::VehicleFlag},
    {"boat", Make<Boat>, Allowed::VehicleFlag},
    {"caterpillar", Make<Caterpillar>, Allowed::VehicleFlag},
    {"tesk", MakeTeskActor, Allowed::Always},
    {"entitynet", Make<EntityNet>, Allowed::GameModeOrEditor},
};

// Outside game modes everything but the networked entity is made; a game mode decides soldiers and
// vehicles by its flags at registration.
bool IsAllowed(Allowed allowed)
{
    const GameMod* mode = g_frameView.currentGameMod;
    switch (allowed) {
        case Allowed::Always:
            return true;
        case Allowed::ActorFlagOrForced:
            return !mode || mode->aiSoldiers != 0 || g_forceActorCreation;
        case Allowed::VehicleFlag:
            return !mode || mode->vehicleFlag != 0;
        case Allowed::GameModeOrEditor:
            return mode || g_program.editorMode != 0;
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
            return IsAllowed(entry.allowed) ? entry.make() : nullptr;
    }
    const GameTestHooks& hooks = GameGetTestHooks();
    return hooks.createObject ? hooks.createObject(classKeyword) : nullptr;
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

void GameSetSRand(u32_t seed)
{
    EngineSRand(seed);
}
