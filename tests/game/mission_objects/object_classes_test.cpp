// The factory's classes by keyword, what a game mode allows of them, and the fog-texture command.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "actors/actor.h"
#include "actors/vehicles/boat.h"
#include "actors/vehicles/caterpillar.h"
#include "actors/vehicles/helicopter.h"
#include "actors/tesk_actor.h"
#include "actors/vehicles/vehicle.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "core/frame_view.h"
#include "core/winos.h"
#include "game/game_cvars.h"
#include "game/mission/game_flow.h"
#include "game/game_state.h"
#include "game/mission_objects/object_factory.h"
#include "map/land_maps/fog_textures.h"
#include "map/map_cvars.h"
#include "map/meshes/map_object.h"
#include "support/render_test_support.h"
#include "tests/render/texture_test_support.h"
#include "world/objects/dynamic_object.h"
#include "world/objects/entity.h"
#include "world/objects/structure.h"
#include "world/objects/tree.h"

namespace {

TEST(ObjectFactory, MakesThePlacedClassesByKeyword)
{
    struct Case {
        const char* keyword;
        s32_t typeId;
        bool (*isClass)(DynamicObject*);
    };
    const Case cases[] = {
        {"entity", OBJECT_TYPE_ENTITY, [](DynamicObject* o) { return dynamic_cast<Entity*>(o) != nullptr; }},
        {"equipment", OBJECT_TYPE_EQUIPMENT, [](DynamicObject* o) { return dynamic_cast<Equipment*>(o) != nullptr; }},
        {"STRUCTURE", OBJECT_TYPE_STRUCTURE, [](DynamicObject* o) { return dynamic_cast<Structure*>(o) != nullptr; }},
        {"tree", OBJECT_TYPE_TREE, [](DynamicObject* o) { return dynamic_cast<Tree*>(o) != nullptr; }},
        {"map_obj", OBJECT_TYPE_MAP_OBJECT, [](DynamicObject* o) { return dynamic_cast<MapObject*>(o) != nullptr; }},
    };
    for (const Case& c : cases) {
        std::unique_ptr<DynamicObject> object(CreateDynamicObjectByClass(c.keyword));
        ASSERT_NE(object, nullptr) << c.keyword;
        EXPECT_EQ(object->GetTypeId(), c.typeId) << c.keyword;
        EXPECT_TRUE(c.isClass(object.get())) << c.keyword;
    }
    EXPECT_EQ(CreateDynamicObjectByClass("mapobject"), nullptr);
}

// What runs while a keyword is asked for: no game mode, or one with its flags, and the editor and
// force-actor switches.
struct Situation {
    bool gameMode;
    u8_t actorFlag;
    u8_t vehicleFlag;
    bool forced;
    bool editor;
};
constexpr Situation kSinglePlayer = {false, 0, 0, false, false};
constexpr Situation kEditor = {false, 0, 0, false, true};
constexpr Situation kBareMode = {true, 0, 0, false, false};
constexpr Situation kBareModeForced = {true, 0, 0, true, false};
constexpr Situation kActorMode = {true, 1, 0, false, false};
constexpr Situation kVehicleMode = {true, 0, 1, false, false};

// Sets the situation up and puts the previous one back.
class InSituation {
public:
    explicit InSituation(const Situation& s)
        : m_mode(g_frameView.currentGameMod), m_editor(g_program.editorMode), m_forced(GameActorCreationForced())
    {
        m_ownMode.aiSoldiers = s.actorFlag;
        m_ownMode.vehicleFlag = s.vehicleFlag;
        g_frameView.currentGameMod = s.gameMode ? &m_ownMode : nullptr;
        g_program.editorMode = s.editor ? 1 : 0;
        ForceActorCreation(s.forced);
    }
    ~InSituation()
    {
        g_frameView.currentGameMod = m_mode;
        g_program.editorMode = m_editor;
        ForceActorCreation(m_forced);
    }

private:
    GameMod m_ownMode;
    GameMod* m_mode;
    u8_t m_editor;
    bool m_forced;
};

// Deletes what the factory made; a soldier's body goes with the AI that owns it.
void Discard(DynamicObject* object)
{
    Actor* actor = dynamic_cast<Actor*>(object);
    AIInterface* ai = actor ? actor->ai : nullptr;
    delete object;
    delete ai;
}

template <class Class>
bool Is(DynamicObject* o)
{
    return dynamic_cast<Class*>(o) != nullptr;
}

bool IsPlainActor(DynamicObject* o)
{
    return Is<Actor>(o) && !Is<TeskActor>(o);
}

TEST(ObjectFactory, AGameModeAllowsSoldiersVehiclesAndTheNetworkedEntityByItsFlags)
{
    struct Case {
        const char* keyword;
        Situation situation;
        bool (*made)(DynamicObject*);  // null: refused
        const char* what;
    };
    const Case cases[] = {
        {"actor", kSinglePlayer, IsPlainActor, "outside game modes a soldier is made"},
        {"ACTOR", kBareMode, nullptr, "a game mode without the actor flag refuses soldiers"},
        {"actor", kVehicleMode, nullptr, "the vehicle flag does not allow soldiers"},
        {"actor", kBareModeForced, IsPlainActor, "forced creation overrides the actor flag"},
        {"Actor", kActorMode, IsPlainActor, "the actor flag allows soldiers"},
        {"tesk", kBareMode, Is<TeskActor>, "the Tesk team's soldier is never refused"},
        {"tesk", kVehicleMode, Is<TeskActor>, "the Tesk team's soldier is never refused"},
        {"vehicle", kSinglePlayer, Is<Vehicle>, "outside game modes vehicles are made"},
        {"vehicle", kBareMode, nullptr, "a game mode without the vehicle flag refuses vehicles"},
        {"helicopter", kBareModeForced, nullptr, "forced creation is for soldiers only"},
        {"boat", kActorMode, nullptr, "the actor flag does not allow vehicles"},
        {"caterpillar", kBareMode, nullptr, "every vehicle kind needs the flag"},
        {"vehicle", kVehicleMode, Is<Vehicle>, "the vehicle flag allows each kind"},
        {"HELICOPTER", kVehicleMode, Is<Helicopter>, "the vehicle flag allows each kind"},
        {"boat", kVehicleMode, Is<Boat>, "the vehicle flag allows each kind"},
        {"caterpillar", kVehicleMode, Is<Caterpillar>, "the vehicle flag allows each kind"},
        {"entitynet", kSinglePlayer, nullptr, "a single-player mission makes no networked entity"},
        {"EntityNet", kBareMode, Is<EntityNet>, "any game mode makes the networked entity"},
        {"entitynet", kEditor, Is<EntityNet>, "the editor makes the networked entity"},
        {"structure", kBareMode, Is<Structure>, "the plain classes need no flag"},
        {"entity", kBareMode, Is<Entity>, "the plain classes need no flag"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keyword) + ": " + c.what);
        const u32_t interfaces = g_ai.interfaceCount;
        DynamicObject* object = nullptr;
        {
            InSituation situation(c.situation);
            object = CreateDynamicObjectByClass(c.keyword);
        }
        if (c.made) {
            ASSERT_NE(object, nullptr);
            EXPECT_TRUE(c.made(object));
        } else {
            EXPECT_EQ(object, nullptr);
            EXPECT_EQ(g_ai.interfaceCount, interfaces);  // a refused soldier leaves no AI behind
        }
        Discard(object);
        EXPECT_EQ(g_ai.interfaceCount, interfaces);
    }
}

using FogCommand = render_test::RenderCore;

TEST_F(FogCommand, RefillsTheFogTextureFromTheSettings)
{
    const ConsoleVar::Value saved = mffogstart.value;
    MapCreateFogTexture();
    ASSERT_NE(MapGetFogTexture(), nullptr);
    const UINT side = texture_test::ReadTexture(Device(), MapGetFogTexture()).width;
    const UINT column = side * 7 / 8;
    ASSERT_NE(texture_test::ReadTexture(Device(), MapGetFogTexture()).At(column, side / 2), 0x00FFFFFFu);
    mffogstart.SetFloat(mfrange.Float());
    gx_fogtex.SetFromText("");
    EXPECT_EQ(texture_test::ReadTexture(Device(), MapGetFogTexture()).At(column, side / 2), 0x00FFFFFFu);
    mffogstart.value = saved;
    MapReleaseFogTextures();
}

}  // namespace
