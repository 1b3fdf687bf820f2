// The factory's placed classes by keyword, and the fog-texture command.
#include <gtest/gtest.h>

#include <memory>

#include "game/game_cvars.h"
#include "game/object_factory.h"
#include "map/fog_textures.h"
#include "map/map_cvars.h"
#include "map/map_object.h"
#include "support/render_test_support.h"
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
        {"EntityNet", OBJECT_TYPE_ENTITY, [](DynamicObject* o) { return dynamic_cast<EntityNet*>(o) != nullptr; }},
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
