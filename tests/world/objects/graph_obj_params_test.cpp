// Definition lines through a graphic object's SetParam: the keyword table with its value counts,
// each keyword's effect, the trace line, the lines refused before they read values they do not
// have, the fixed weapon, destroyed replacements, and definitions applied whole.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "actors/weapons/weapon.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "game/game_state.h"
#include "game/mission_objects/object_factory.h"
#include "map/registry/world_registry.h"
#include "map/materials/material.h"
#include "platform/d3dx8_math.h"
#include "render/textures/texture_manager.h"
#include "tests/render/texture_test_support.h"
#include "tests/world/graph_fixtures.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "tests/world/node_tree.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"
#include "world/objects/shader_settings.h"

using graph_test::ApplyLine;
using graph_test::GraphObjTest;
using graph_test::QuadsAff;

namespace {

// A placed map object, as the factory would make one for "map_obj".
class TestMapObject : public GraphObj {
public:
    TestMapObject() { typeId = OBJECT_TYPE_MAP_OBJECT; }
};

class GraphObjParams : public GraphObjTest {
protected:
    void SetUp() override
    {
        GraphObjTest::SetUp();
        parts = WriteMesh("parts", QuadsAff({"body", "wheel", "wheel_0", "wheel_1", "gun"}));
        ASSERT_TRUE(aff_test::WriteAff("component/extras/carrier.aff", graph_test::CarrierAff({3})));
        ASSERT_TRUE(aff_test::WriteAff("component/extras/held.aff", graph_test::HeldAff(1)));
    }
    // A fresh object named "o" whose root shows the parts mesh.
    std::unique_ptr<GraphObj> NewObject()
    {
        auto object = std::make_unique<GraphObj>();
        object->name.Assign("o");
        object->GetRootNode()->SetAnimMesh(parts, "component\\extras\\");
        return object;
    }
    static s32_t MeshIndex(const AnimMesh* mesh, const char* meshName)
    {
        return mesh->FindMesh(static_cast<u32_t>(mesh->FindName(meshName)), 0);
    }

    AnimMesh* parts = nullptr;
};

TEST_F(GraphObjParams, DefinitionLinesSetTheirFieldsAndAreTraced)
{
    using Check = std::function<void(GraphObj&)>;
    using Prepare = std::function<void(GraphObj&)>;
    struct Case {
        const char* line;
        bool result;
        Check check;
        Prepare prepare = nullptr;
    };
    const Case cases[] = {
        {"POS root 1 2 3", true,
         [](GraphObj& o) {
             const Vector3 p = o.GetRootNode()->GetPosition();
             EXPECT_EQ(p.x, 10.0f);
             EXPECT_EQ(p.y, 20.0f);
             EXPECT_EQ(p.z, 30.0f);
         }},
        {"pos root 1 2", false,
         [](GraphObj& o) {
             const Vector3 p = o.GetRootNode()->GetPosition();
             EXPECT_EQ(p.x + p.y + p.z, 0.0f);
         }},
        {"pos nowhere 1 2 3", false, [](GraphObj&) {}},
        {"rot root 0.5 1 1.5", true,
         [](GraphObj& o) {
             EXPECT_EQ(o.GetRootNode()->GetRotation().y, 1.0f);
             EXPECT_EQ(o.boundsValid, 0);
         }},
        {"color root all 2 0.5 -1 1", true,
         [](GraphObj& o) {
             for (u32_t i = 0; i < 5; ++i)
                 EXPECT_EQ(o.GetRootNode()->GetMeshColors()[i], 0xFFFF8000u) << i;
         }},
        // A named mesh and its numbered variants, found through the mesh file.
        {"color root wheel 0 0 1 0.5", true,
         [this](GraphObj& o) {
             const u32_t* colours = o.GetRootNode()->GetMeshColors();
             EXPECT_EQ(colours[MeshIndex(parts, "wheel")], 0x800000FFu);
             EXPECT_EQ(colours[MeshIndex(parts, "wheel_1")], 0x800000FFu);
             EXPECT_EQ(colours[MeshIndex(parts, "body")], GRAPH_NODE_NO_COLOR);
         }},
        {"anim gun root held", true,
         [](GraphObj& o) {
             GraphNode* gun = o.FindChild("gun");
             ASSERT_NE(gun, nullptr);
             EXPECT_EQ(gun->GetParent(), o.GetRootNode());
             s32_t a = 0, b = 0;
             gun->GetAttachPoint(&a, &b);
             EXPECT_EQ(a, -1);
             EXPECT_EQ(b, -1);
             EXPECT_TRUE(gun->sourceDefName.IsEmpty());
             // The node's origin is the parent's origin.
             const Vector3 at = NodeWorldPoint(gun, {0, 0, 0});
             EXPECT_EQ(at.x + at.y + at.z, 0.0f);
         }},
        {"anim gun hand : grip held : handle", true,
         [this](GraphObj& o) {
             GraphNode* hand = o.FindChild("hand");
             GraphNode* gun = o.FindChild("gun");
             ASSERT_NE(gun, nullptr);
             s32_t a = 0, b = 0;
             gun->GetAttachPoint(&a, &b);
             EXPECT_EQ(a, MeshIndex(hand->GetAnimMesh(), "grip"));
             EXPECT_EQ(b, MeshIndex(gun->GetAnimMesh(), "handle"));
             // The child's dummy (origin at x = 1 of the held mesh) sits on the parent's (x = 3).
             const Vector3 handle = NodeWorldPoint(gun, {1, 0, 0});
             const Vector3 grip = NodeWorldPoint(hand, {3, 0, 0});
             EXPECT_NEAR(handle.x, grip.x, 1e-4f);
             EXPECT_NEAR(handle.y, grip.y, 1e-4f);
             EXPECT_NEAR(handle.z, grip.z, 1e-4f);
         },
         [](GraphObj& o) { EXPECT_TRUE(ApplyLine(o, "anim hand root carrier")); }},
        {"anim gun nowhere held", false, [](GraphObj& o) { EXPECT_EQ(o.GetRootNode()->GetChildCount(), 0); }},
        {"anim gun root missing", false, [](GraphObj& o) { EXPECT_EQ(o.GetRootNode()->GetChildCount(), 0); }},
        {"lod root 50 all", true,
         [](GraphObj& o) {
             GraphNode* root = o.GetRootNode();
             ASSERT_EQ(root->lodSwitchCount, 1u);
             EXPECT_EQ(root->lodSwitches[0].distance, 500.0f);
             EXPECT_EQ(root->lodSwitches[0].count, 0u);
         }},
        {"lod root 50", false, [](GraphObj& o) { EXPECT_EQ(o.GetRootNode()->lodSwitchCount, 0u); }},
        {"lod root wheel 1 0 0", true,
         [this](GraphObj& o) {
             const MeshSettings* s = o.GetRootNode()->GetMeshSettings();
             const MeshSettings& wheel = s[MeshIndex(parts, "wheel")];
             EXPECT_EQ(wheel.lodHidden[0], 1);
             EXPECT_EQ(wheel.lodHidden[1], 0);
             EXPECT_EQ(wheel.lodHidden[2], 0);
             // The variants hold one byte each: _0 the first flag, _1 the second.
             EXPECT_EQ(s[MeshIndex(parts, "wheel_0")].lodHidden[0], 1);
             EXPECT_EQ(s[MeshIndex(parts, "wheel_1")].lodHidden[0], 0);
             EXPECT_EQ(s[MeshIndex(parts, "body")].lodHidden[0], 0);
         },
         [this](GraphObj& o) { o.GetRootNode()->GetMeshSettings()[MeshIndex(parts, "wheel_1")].lodHidden[0] = 1; }},
        {"lod root body 0 0 0 3 9 0", true,
         [this](GraphObj& o) {
             const MeshSettings& body = o.GetRootNode()->GetMeshSettings()[MeshIndex(parts, "body")];
             EXPECT_EQ(body.lodMode[0], 0x12u);
             EXPECT_EQ(body.lodMode[1], 0x80u);
             EXPECT_EQ(body.lodMode[2], 3u);
         }},
        {"scale root 2", true, [](GraphObj& o) { EXPECT_EQ(o.GetRootNode()->scale, 2.0f); }},
        {"svlength root 3", true, [](GraphObj& o) { EXPECT_EQ(o.GetRootNode()->GetShadowLength(), 30.0f); }},
        {"svlength root wheel 2", true,
         [this](GraphObj& o) {
             const MeshSettings* s = o.GetRootNode()->GetMeshSettings();
             EXPECT_EQ(s[MeshIndex(parts, "wheel_0")].shadowLength, 20.0f);
             EXPECT_EQ(s[MeshIndex(parts, "body")].shadowLength, 0.0f);
         }},
        {"noclip root wheel", true,
         [this](GraphObj& o) {
             const MeshSettings* s = o.GetRootNode()->GetMeshSettings();
             EXPECT_EQ(s[MeshIndex(parts, "wheel")].noClip, 1);
             EXPECT_EQ(s[MeshIndex(parts, "wheel_1")].noClip, 1);
             EXPECT_EQ(s[MeshIndex(parts, "gun")].noClip, 0);
         }},
        // The scan ends at the mesh of the name itself: its numbered variants behind it keep theirs.
        {"mtl root wheel unknown", true,
         [this](GraphObj& o) {
             const MeshSettings* s = o.GetRootNode()->GetMeshSettings();
             EXPECT_EQ(s[MeshIndex(parts, "wheel")].material, nullptr);
             EXPECT_NE(s[MeshIndex(parts, "wheel_0")].material, nullptr);
             EXPECT_NE(s[MeshIndex(parts, "body")].material, nullptr);
         },
         [](GraphObj& o) {
             static Material sentinel;
             for (u32_t i = 0; i < 5; ++i)
                 o.GetRootNode()->GetMeshSettings()[i].material = &sentinel;
         }},
        {"setldr root wheel_1", true,
         [this](GraphObj& o) {
             const MeshSettings* s = o.GetRootNode()->GetMeshSettings();
             EXPECT_EQ(s[MeshIndex(parts, "wheel_1")].setLdr, 1);
             EXPECT_EQ(s[MeshIndex(parts, "wheel")].setLdr, 0);
         }},
        {"grdclip root gun", true,
         [this](GraphObj& o) { EXPECT_EQ(o.GetRootNode()->GetMeshSettings()[MeshIndex(parts, "gun")].groundClip, 1); }},
        {"clipveg 1", true, [](GraphObj& o) { EXPECT_TRUE(o.ClipsVegetation()); }},
        {"hitshake 3", true, [](GraphObj& o) { EXPECT_EQ(o.hitShake, 1); }},
        {"grenadehit 0", true, [](GraphObj& o) { EXPECT_EQ(o.grenadeHit, 0); }},
        {"damage 12.5", true, [](GraphObj& o) { EXPECT_EQ(o.damageAmount, 12.5f); }},
        {"landtex root body", true,
         [this](GraphObj& o) {
             const MeshSettings& body = o.GetRootNode()->GetMeshSettings()[MeshIndex(parts, "body")];
             EXPECT_EQ(body.landTexture, 1);
             EXPECT_EQ(body.lit, 0);
         }},
        {"unlit root all", true,
         [](GraphObj& o) {
             for (u32_t i = 0; i < 5; ++i)
                 EXPECT_EQ(o.GetRootNode()->GetMeshSettings()[i].lit, 0);
         }},
        {"lodhideall root", true,
         [](GraphObj& o) {
             for (u32_t i = 0; i < 5; ++i)
                 EXPECT_TRUE(o.GetRootNode()->GetMeshSettings()[i].HiddenEverywhere()) << i;
         }},
        {"lodrender root 1 0 1", true,
         [](GraphObj& o) {
             EXPECT_TRUE(o.GetRootNode()->GetLodRender(0));
             EXPECT_FALSE(o.GetRootNode()->GetLodRender(1));
         }},
        {"setgsh root wheel", true,
         [this](GraphObj& o) {
             ASSERT_NE(o.shaderSettings, nullptr);
             ASSERT_EQ(o.shaderSettings->count, 3u);  // wheel, wheel_0, wheel_1
             const ShaderSetting& first = *o.shaderSettings->items[0];
             EXPECT_STREQ(first.name.Text(), "geometry-shadow");
             EXPECT_EQ(first.kind, SHADER_SETTING_GEOMETRY_SHADOW);
             EXPECT_EQ(first.mesh, &parts->frames[0].meshes[MeshIndex(parts, "wheel")]);
         }},
        {"energy 75", true,
         [](GraphObj& o) {
             EXPECT_EQ(o.energy, 75.0f);
             EXPECT_EQ(o.maxEnergy, 75.0f);
         }},
        {"animate 2.5", true,
         [](GraphObj& o) {
             EXPECT_EQ(o.animate, 1);
             EXPECT_EQ(o.animateSpeed, 2.5f);
             EXPECT_EQ(o.randomStartFrame, 1);
             EXPECT_TRUE(o.IsAnimated());
         }},
        {"fly 1", true, [](GraphObj& o) { EXPECT_EQ(o.fly, 1); }},
        {"indoor hall", true, [](GraphObj& o) { EXPECT_STREQ(o.indoorName.Text(), "hall"); }},
        {"infoname messages._gm_box", true, [](GraphObj& o) { EXPECT_STREQ(o.infoName.Text(), "messages._gm_box"); }},
        {"radius -4", true, [](GraphObj& o) { EXPECT_EQ(o.damageRadius, -4.0f); }},
        {"zone root all", true, [](GraphObj& o) { EXPECT_EQ(o.GetRootNode()->zones, nullptr); }},
        {"zone nowhere all", false, [](GraphObj&) {}},
        // A known keyword with a wrong count, and an unknown one without a fixed weapon.
        {"fly", false, [](GraphObj& o) { EXPECT_EQ(o.fly, 0); }},
        {"firerate 600", false, [](GraphObj&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::unique_ptr<GraphObj> object = NewObject();
        if (c.prepare)
            c.prepare(*object);
        const size_t logStart = texture_test::LogSize();
        EXPECT_EQ(ApplyLine(*object, c.line), c.result);
        c.check(*object);
        // The trace line: the object's name, the keyword as written, then each value after a blank.
        const graph_test::ParamLine split = graph_test::SplitLine(c.line);
        std::string values;
        for (const EngineString& value : split.values)
            values += std::string(" ") + value.Text();
        const std::string expected = "GOBJ 'o' Setting param '" + split.keyword + "' with '" + values + "'\n";
        EXPECT_EQ(texture_test::LogFrom(logStart).find(expected), 0u) << texture_test::LogFrom(logStart);
    }
}

TEST_F(GraphObjParams, LinesTooShortForTheValuesTheyReadAreRefused)
{
    std::unique_ptr<GraphObj> object = NewObject();
    ASSERT_TRUE(ApplyLine(*object, "setgsh root all"));
    ShaderSetting& setting = *object->shaderSettings->items[0];
    const char* lines[] = {
        "setsh geometry-shadow tex 1",  // needs name, texture and two parameters
        "setpsh geometry-shadow",       // needs name and texture
        "setgsh root",                  // needs node and mesh
        "svlength root",                // needs node and a length
        "scale root",                   // needs node and a scale
        "lod root",                     // needs node and a distance or a mesh
        "lod",
        "anim gun root held :",  // a dummy mark with no dummy after it
        "anim gun root :",
        "anim gun root : grip",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(ApplyLine(*object, line));
    }
    EXPECT_EQ(setting.kind, SHADER_SETTING_GEOMETRY_SHADOW);
    EXPECT_EQ(setting.param1, 0.0f);
    EXPECT_EQ(object->shaderSettings->count, 5u);
    EXPECT_EQ(object->GetRootNode()->scale, 1.0f);
    EXPECT_EQ(object->GetRootNode()->GetChildCount(), 0);
    EXPECT_EQ(object->GetRootNode()->lodSwitchCount, 0u);

    // With their values they are taken.
    EXPECT_TRUE(ApplyLine(*object, "setsh geometry-shadow tex 1 2"));
    EXPECT_EQ(setting.kind, SHADER_SETTING_PLAIN);
    EXPECT_EQ(setting.param1, 1.0f);
    EXPECT_EQ(setting.param2, 2.0f);
    EXPECT_TRUE(ApplyLine(*object, "setpsh geometry-shadow tex 7"));
    EXPECT_EQ(setting.kind, SHADER_SETTING_PIXEL);
    EXPECT_EQ(setting.param3, 7.0f);
    EXPECT_FALSE(ApplyLine(*object, "setsh unknown tex 1 2"));
}

TEST_F(GraphObjParams, AScaleRangeDrawsFromTheEnginesGenerator)
{
    std::unique_ptr<GraphObj> object = NewObject();
    for (u32_t seed : {1u, 7u, 12345u}) {
        SCOPED_TRACE(seed);
        EngineSRand(seed);
        const int draw = EngineRand();
        EngineSRand(seed);
        ASSERT_TRUE(ApplyLine(*object, "scale root 1 3"));
        const float scale = object->GetRootNode()->scale;
        EXPECT_GE(scale, 1.0f);
        EXPECT_LE(scale, 3.0f);
        EXPECT_FLOAT_EQ(scale, 1.0f + 2.0f * static_cast<float>(draw) * 3.0518509e-5f);
    }
}

TEST_F(GraphObjParams, ANinthLevelOfDetailIsRefused)
{
    std::unique_ptr<GraphObj> object = NewObject();
    for (int level = 1; level <= 8; ++level)
        EXPECT_TRUE(ApplyLine(*object, "lod root " + std::to_string(level * 10) + " body"));
    EXPECT_FALSE(ApplyLine(*object, "lod root 5 body"));
    GraphNode* root = object->GetRootNode();
    ASSERT_EQ(root->lodSwitchCount, GRAPH_NODE_MAX_LOD_SWITCHES);
    EXPECT_EQ(root->lodSwitches[0].distance, 100.0f);
    EXPECT_EQ(root->GetLastLodLevel()->distance, 800.0f);
}

TEST_F(GraphObjParams, AParticleNameIsCutTo127Characters)
{
    std::unique_ptr<GraphObj> object = NewObject();
    const std::string longName(200, 'p');
    EXPECT_TRUE(ApplyLine(*object, "particle " + longName));
    EXPECT_EQ(std::string(object->destroyEffect), longName.substr(0, 127));
    EXPECT_TRUE(ApplyLine(*object, "particle smoke_big"));
    EXPECT_STREQ(object->destroyEffect, "smoke_big");
}

TEST_F(GraphObjParams, UnknownLinesGoToTheFixedWeaponButWrongCountsNever)
{
    std::unique_ptr<GraphObj> object = NewObject();
    ASSERT_TRUE(ApplyLine(*object, "anim turret root held"));
    ASSERT_TRUE(ApplyLine(*object, "weapon turret"));
    Weapon* weapon = object->fixedWeapon;
    ASSERT_NE(weapon, nullptr);
    Registered(weapon);
    EXPECT_STREQ(weapon->name.Text(), "turret_fixed");
    EXPECT_EQ(weapon->typeId, OBJECT_TYPE_WEAPON);
    EXPECT_EQ(weapon->mountNode, object->FindChild("turret"));
    EXPECT_EQ(DynObjectFindIndex("turret_fixed"), 0);

    size_t logStart = texture_test::LogSize();
    // A line the weapon does not know either: its answer is false, and it was asked.
    EXPECT_FALSE(ApplyLine(*object, "firerate 600"));
    EXPECT_NE(texture_test::LogFrom(logStart).find("WARNING: Unknow Weapon param firerate\n"), std::string::npos);
    // A line it knows is its own.
    EXPECT_TRUE(ApplyLine(*object, "zoom 4"));
    EXPECT_EQ(weapon->zoom, 4.0f);
    // A known keyword with a wrong count is refused before anyone else is asked.
    logStart = texture_test::LogSize();
    EXPECT_FALSE(ApplyLine(*object, "pos root 1"));
    EXPECT_EQ(texture_test::LogFrom(logStart).find("turret_fixed"), std::string::npos);

    // The registry owns the weapon: the carrier's end leaves it alive.
    object.reset();
    EXPECT_EQ(DynObjectGet(0), weapon);
    DynObjectRemove(weapon);
    delete weapon;
}

TEST_F(GraphObjParams, DestroyQueuesAReplacementMadeFromItsDefinition)
{
    // The replacement is the factory's map object, whose meshes lie in its own component folder.
    ASSERT_TRUE(aff_test::WriteAff("component/mapobject/held.aff", graph_test::HeldAff(1)));
    ASSERT_TRUE(WriteFileBytes("object/map_obj/x.def", "energy 5\nanim wreck root held\n"));
    TestMapObject object;
    object.name.Assign("barn");
    EXPECT_TRUE(ApplyLine(object, "destroy x"));
    DynamicObject* replacement = DestroyQueueFind("barnx");
    ASSERT_NE(replacement, nullptr);
    EXPECT_EQ(object.destroyedReplacement, replacement);
    EXPECT_EQ(replacement->replacedOriginal, &object);
    EXPECT_EQ(replacement->typeId, OBJECT_TYPE_MAP_OBJECT);
    // The definition was applied line by line; its nodes name it as their source.
    EXPECT_EQ(replacement->energy, 5.0f);
    GraphNode* wreck = static_cast<GraphObj*>(replacement)->FindChild("wreck");
    ASSERT_NE(wreck, nullptr);
    EXPECT_STRCASEEQ(wreck->sourceDefName.Text(), "object\\map_obj\\x.def");
    EXPECT_EQ(g_frameView.applyingDefinition, nullptr);
    DestroyQueueRemove(replacement);
    delete replacement;

    // Types without a replacement class.
    GraphObj plain;
    EXPECT_FALSE(ApplyLine(plain, "destroy x"));
    EXPECT_EQ(DestroyQueueCount(), 0u);
}

TEST_F(GraphObjParams, ADefinitionHandsAtMost64ValuesPerLine)
{
    std::string line = "lod root";
    for (int i = 0; i < 70; ++i)
        line += " v" + std::to_string(i);
    ASSERT_TRUE(WriteFileBytes("object/long.def", line + "\nfly 1\n"));
    // A recording object sees what the applier hands over.
    struct Recorder : GraphObj {
        bool SetParam(const char* keyword, const EngineString*, int count) override
        {
            seen.push_back(std::string(keyword) + ":" + std::to_string(count));
            return true;
        }
        std::vector<std::string> seen;
    } recorder;
    EXPECT_TRUE(GameApplyTemplateToObject("long", &recorder));
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"lod:64", "fly:1"}));
    EXPECT_FALSE(GameApplyTemplateToObject("absent", &recorder));
}

// Textures: decals, billboards and mesh textures found under the component folders.
class GraphObjTextureParams : public texture_test::TextureTest {
protected:
    void TearDown() override
    {
        AnimCacheFreeAll();
        TexturesReleaseAll();
        texture_test::TextureTest::TearDown();
    }
};

TEST_F(GraphObjTextureParams, DecalTexturesAreTheNamedOneAndItsNumberedVariants)
{
    struct Case {
        std::vector<std::string> files;
        s32_t count;
    };
    const Case cases[] = {
        {{"hole", "hole_1"}, 2},
        {{"mark_0"}, 1},
        {{"scar", "scar_0", "scar_1", "scar_2", "scar_3", "scar_4"}, 5},
        {{}, 0},
    };
    for (const Case& c : cases) {
        const std::string base = c.files.empty() ? "none" : c.files[0].substr(0, c.files[0].find('_'));
        SCOPED_TRACE(base);
        for (const std::string& file : c.files)
            ASSERT_TRUE(texture_test::WriteTga("component/extras/" + file + ".tga", 4, 4, 0xFF808080u));
        GraphObj object;
        EXPECT_TRUE(ApplyLine(object, "decal 1 2 3 " + base));
        EXPECT_EQ(object.decalTextureCount, c.count);
        EXPECT_EQ(object.decalSize[2], 3.0f);
        for (s32_t i = 0; i < c.count; ++i)
            EXPECT_NE(object.decalTextures[i], nullptr);
    }
}

TEST_F(GraphObjTextureParams, BillboardAndMeshTexturesComeFromTheComponentFolder)
{
    ASSERT_TRUE(texture_test::WriteTga("component/extras/far.tga", 4, 4, 0xFF00FF00u));
    GraphObj object;
    EXPECT_FALSE(ApplyLine(object, "billboard none 30"));
    EXPECT_EQ(object.billboardNear, 0.0f);
    EngineSRand(3);
    EXPECT_TRUE(ApplyLine(object, "billboard far 30"));
    EXPECT_EQ(object.billboardTexture, TextureFind("component\\extras\\far"));
    EXPECT_EQ(object.billboardNear, 300.0f);
    EXPECT_EQ(object.billboardFar, 300.0f);
    EXPECT_LT(object.billboardVariant, 4);

    aff_test::AffFile aff = QuadsAff({"body", "body_2"});
    ASSERT_TRUE(aff_test::WriteAff("component/extras/box.aff", aff));
    ASSERT_TRUE(ApplyLine(object, "anim box root box"));
    EXPECT_FALSE(ApplyLine(object, "texture box body none"));
    EXPECT_TRUE(ApplyLine(object, "texture box body far"));
    GraphNode* box = object.FindChild("box");
    EXPECT_EQ(box->GetMeshTextures()[0], object.billboardTexture);
    EXPECT_EQ(box->GetMeshTextures()[1], object.billboardTexture);
}

}  // namespace
