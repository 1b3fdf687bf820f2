// The factory's placed classes by keyword, and the fog-texture command.
#include <gtest/gtest.h>

#include <memory>

#include "actors/actor.h"
#include "ai/ai_interface.h"
#include "core/winos.h"
#include "game/game_cvars.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/object_factory.h"
#include "map/fog_textures.h"
#include "map/map_cvars.h"
#include "map/map_object.h"
#include "tests/render/render_test_support.h"
#include "tests/render/texture_test_support.h"
#include "world/dynamic_object.h"
#include "world/entity.h"
#include "world/structure.h"
#include "world/tree.h"

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

// Under a game mode the mode's flags decide which soldiers and vehicles exist; the networked entity
// needs a game mode or editor mode.
TEST(ObjectFactory, GameModeFlagsDecideWhatIsMade)
{
    struct Case {
        const char* what;
        bool gameMode;
        u8_t actorFlag, vehicleFlag;
        bool force, editor;
        const char* keyword;
        bool made;
    };
    const Case cases[] = {
        {"no game mode: a soldier", false, 0, 0, false, false, "actor", true},
        {"no game mode: a vehicle", false, 0, 0, false, false, "vehicle", true},
        {"no game mode: no networked entity", false, 0, 0, false, false, "entitynet", false},
        {"editor mode: a networked entity", false, 0, 0, false, true, "EntityNet", true},
        {"game mode: a networked entity", true, 0, 0, false, false, "entitynet", true},
        {"game mode without actors: no soldier", true, 0, 1, false, false, "ACTOR", false},
        {"forced: a soldier", true, 0, 1, true, false, "actor", true},
        {"game mode with actors: a soldier", true, 1, 0, false, false, "actor", true},
        {"the Tesk team's soldier is never refused", true, 0, 0, false, false, "tesk", true},
        {"game mode without vehicles: no vehicle", true, 1, 0, false, false, "vehicle", false},
        {"nor a helicopter", true, 1, 0, false, false, "helicopter", false},
        {"nor a boat", true, 1, 0, false, false, "boat", false},
        {"nor a caterpillar", true, 1, 0, false, false, "caterpillar", false},
        {"game mode with vehicles: a boat", true, 0, 1, false, false, "boat", true},
        {"plain entities always", true, 0, 0, false, false, "entity", true},
    };
    GameMod mode;
    for (const Case& c : cases) {
        mode.actorFlag = c.actorFlag;
        mode.vehicleFlag = c.vehicleFlag;
        g_game.currentGameMod = c.gameMode ? &mode : nullptr;
        g_program.editorMode = c.editor ? 1 : 0;
        ForceActorCreation(c.force);
        DynamicObject* object = CreateDynamicObjectByClass(c.keyword);
        EXPECT_EQ(object != nullptr, c.made) << c.what;
        if (auto* actor = dynamic_cast<Actor*>(object)) {
            delete actor->ai;
            delete actor;
        } else {
            DeleteDynamicObject(object);
        }
    }
    g_game.currentGameMod = nullptr;
    g_program.editorMode = 0;
    ForceActorCreation(false);
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
