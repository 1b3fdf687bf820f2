// Projectile hits on graphic objects with the clock pinned: the surface's sound set, the damage, the
// hit shake; and the registry passes over shader-setting lists and decals.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/frame_view.h"
#include "core/files/script_file.h"
#include "core/sound/sound.h"
#include "core/sound/sound_system.h"
#include "game/game_state.h"
#include "game/view/player_view.h"
#include "map/materials/material.h"
#include "map/materials/material_table.h"
#include "platform/d3dx8_math.h"
#include "render/draw2d/hud_input.h"
#include "support/wave_bytes.h"
#include "tests/map/materials/material_fixture.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "tests/world/node_tree.h"
#include "world/decals/decal.h"
#include "world/objects/dyn_objects_passes.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/object_trace.h"
#include "world/objects/projectile_hits.h"
#include "world/objects/shader_settings.h"

using namespace graph_test;

namespace {

// Objects hit on the surface "wood", whose hits sound "thud" and whose grenades sound "boom". The
// hit point lies 600 units from the viewer, so that a sound waits in the queue for its travel time.
class ProjectileHits : public GraphObjTest {
protected:
    void SetUp() override
    {
        GraphObjTest::SetUp();
        float* viewer = GameGetViewPos();
        viewer[0] = viewer[1] = viewer[2] = 0.0f;
        CreateScriptCache();
        const std::string wave = ShortWaveBytes();
        ASSERT_TRUE(WriteFileBytes("sound/material/thud.wav", wave));
        ASSERT_TRUE(WriteFileBytes("sound/material/boom.wav", wave));
        ASSERT_TRUE(SoundInit(nullptr));
        material_test::LoadScripts(
            "<wood>\n  <HIT>\n    sound 100 thud;\n  </HIT>\n"
            "  <GRENADE>\n    sound 100 boom;\n  </GRENADE>\n</wood>\n",
            "");
        wood = MaterialFind("wood");
        ASSERT_NE(wood, nullptr);
        ASSERT_EQ(wood->hit.sounds.Count(0), 1);
        ASSERT_EQ(wood->grenade.sounds.Count(0), 1);
        record = ObjectTraceBlock{};
        record.objMaterial = wood;
        record.objHitPoint = {0.0f, 0.0f, 600.0f};
        projectile.damageA = 40.0f;
        projectile.damageB = 50.0f;
        projectile.direction = {1.0f, 0.0f, 0.0f};
        g_frameView.frameTime = 0.02f;
    }
    void TearDown() override
    {
        for (TempSoundEntry& entry : g_sound.queue)
            entry.segment = nullptr;
        MaterialsFree();
        SoundShutdown();
        DestroyScriptCache();
        g_frameView.frameTime = 0.001f;
        g_hudInput.flags.allShaderSetsShown = 0;
        GraphObjTest::TearDown();
    }
    // The segment of the one sound waiting in the queue; null when none waits (and the queue is emptied).
    static IDirectMusicSegment8* TakeQueuedSound()
    {
        IDirectMusicSegment8* found = nullptr;
        int waiting = 0;
        for (TempSoundEntry& entry : g_sound.queue) {
            if (!entry.segment)
                continue;
            ++waiting;
            found = entry.segment;
            entry.segment = nullptr;
        }
        EXPECT_LE(waiting, 1);
        return found;
    }
    IDirectMusicSegment8* HitSound() const { return wood->hit.sounds.Get(0, 0)->segment; }
    IDirectMusicSegment8* GrenadeSound() const { return wood->grenade.sounds.Get(0, 0)->segment; }

    Material* wood = nullptr;
    ObjectTraceBlock record;
    ProjectileHit projectile;
};

TEST_F(ProjectileHits, SoundAndDamageFollowWhetherTheProjectileFliesOnAndItsHitSoundValue)
{
    struct Case {
        const char* what;
        bool active;
        float hitSound;
        bool hasMaterial;
        bool grenadeSound;
        bool hitSound_;
        float energyAfter;
    };
    // Damage 40 x 0.01 x 50 x 0.01 x 25 = 5.
    const Case cases[] = {
        {"flies on", true, 0.5f, true, true, false, 1000.0f},
        {"stopped", false, 0.0f, true, false, true, 995.0f},
        {"stopped at the loudest sounding value", false, 0.5f, true, false, true, 995.0f},
        {"stopped, silent", false, 0.51f, true, false, false, 995.0f},
        {"flies on, silent", true, 0.75f, true, false, false, 1000.0f},
        {"stopped on no material", false, 0.0f, false, false, false, 995.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GraphObj object;
        object.hitShake = 1;
        projectile.flying = c.active;
        projectile.hitSound = c.hitSound;
        record.objMaterial = c.hasMaterial ? wood : nullptr;
        object.OnProjectileHit(&record, projectile);
        IDirectMusicSegment8* played = TakeQueuedSound();
        EXPECT_EQ(played, c.grenadeSound ? GrenadeSound() : c.hitSound_ ? HitSound() : nullptr);
        EXPECT_FLOAT_EQ(object.energy, c.energyAfter);
        EXPECT_EQ(object.shaking, c.active ? 0 : 1);
    }
}

TEST_F(ProjectileHits, TheShakeRunsASecondIsNotRestartedAndEndsUpright)
{
    GraphObj object;
    object.SetPosition({5, 0, 5});
    object.SetRotation({0.1f, 0.5f, 0.2f});
    const DWORD start = GetTickCount();
    projectile.flying = false;
    projectile.hitSound = 1.0f;
    object.OnProjectileHit(&record, projectile);
    EXPECT_EQ(object.shaking, 0);  // without "hitshake" no shake

    object.hitShake = 1;
    object.OnProjectileHit(&record, projectile);
    ASSERT_EQ(object.shaking, 1);
    EXPECT_EQ(object.shakeStartTick, start);
    EXPECT_EQ(object.shakeDuration, 1000u);
    // Across a shot along +x the axis is +z.
    EXPECT_FLOAT_EQ(object.shakeAxis.z, 1.0f);

    PlatformTestClockAdvance(400);
    object.UpdateHitShake();
    EXPECT_FLOAT_EQ(object.shakePhase, 1.0f);  // frame time 0.02 x speed 50
    EXPECT_EQ(object.lodChanged, 1);
    // With the phase at 1 the root rocks by sin(1) x -0.02 about the axis through its position:
    // the position stays, a point above it leans along the shot (+x).
    D3DXMATRIX before, after;
    object.GetRootNode()->UpdateTransform(&before);
    PlatformTestClockAdvance(100);
    object.UpdateHitShake();
    object.GetRootNode()->UpdateTransform(&after);
    const D3DXVECTOR3 origin(0, 0, 0), up(0, 10, 0);
    D3DXVECTOR3 pivot, upBefore, upAfter;
    D3DXVec3TransformCoord(&pivot, &origin, &after);
    EXPECT_NEAR(pivot.x, 5.0f, 1e-4f);
    EXPECT_NEAR(pivot.z, 5.0f, 1e-4f);
    D3DXVec3TransformCoord(&upBefore, &up, &before);
    D3DXVec3TransformCoord(&upAfter, &up, &after);
    const float angle = std::sin(1.0f) * -0.02f;
    const D3DXVECTOR3 arm = upBefore - D3DXVECTOR3(5, 0, 5);
    EXPECT_NEAR(upAfter.x, 5.0f + arm.x * std::cos(angle) - arm.y * std::sin(angle), 1e-4f);
    EXPECT_GT(upAfter.x - upBefore.x, 0.15f);
    EXPECT_NEAR(upAfter.z, upBefore.z, 1e-4f);

    object.OnProjectileHit(&record, projectile);
    EXPECT_EQ(object.shakeStartTick, start);

    PlatformTestClockAdvance(500);
    object.UpdateHitShake();
    EXPECT_EQ(object.shaking, 1);  // 1000 ms: still shaking
    object.lodChanged = 0;
    PlatformTestClockAdvance(1);
    object.UpdateHitShake();
    EXPECT_EQ(object.shaking, 0);
    EXPECT_EQ(object.shakePhase, 0.0f);
    EXPECT_EQ(object.lodChanged, 1);
    const Vector3 rotation = object.GetRotation();
    EXPECT_EQ(rotation.x, 0.0f);
    EXPECT_FLOAT_EQ(rotation.y, 0.5f);
    EXPECT_EQ(rotation.z, 0.0f);
    // The next hit starts a new shake.
    object.OnProjectileHit(&record, projectile);
    EXPECT_EQ(object.shakeStartTick, start + 1001);
}

TEST_F(ProjectileHits, ShaderSettingListsBeyond3000UnitsAreVisibleOnlyWhileTheHudShowsThemAll)
{
    // One plane: in front means x >= 0.
    const D3DXPLANE planes[1] = {D3DXPLANE(1, 0, 0, 0)};
    struct Case {
        const char* what;
        s32_t type;
        float distance;
        float boxX;
        bool hudShowsAll;
        u8_t visible;
    };
    const Case cases[] = {
        {"near, in view", OBJECT_TYPE_STRUCTURE, 100.0f, 5.0f, false, 1},
        {"at 3000, in view", OBJECT_TYPE_STRUCTURE, 3000.0f, 5.0f, false, 1},
        {"at 3000.1", OBJECT_TYPE_STRUCTURE, 3000.1f, 5.0f, false, 0},
        {"at 3000.1, the HUD shows all", OBJECT_TYPE_STRUCTURE, 3000.1f, 5.0f, true, 1},
        {"near, out of view", OBJECT_TYPE_STRUCTURE, 100.0f, -50.0f, false, 0},
        {"the HUD shows all, out of view", OBJECT_TYPE_STRUCTURE, 3000.1f, -50.0f, true, 0},
        {"a plain graphic object is left alone", OBJECT_TYPE_GRAPHIC, 100.0f, 5.0f, false, 7},
    };
    // Objects of other classes have no list; the pass looks at graphic objects only.
    DynamicObject equipment;
    equipment.typeId = OBJECT_TYPE_EQUIPMENT;
    ASSERT_TRUE(DynObjectAdd(&equipment));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GraphObj object;
        object.typeId = c.type;
        object.shaderSettings = ShaderSettingListCreate(&object);
        ShaderSettingList& list = *object.shaderSettings;
        list.distance = c.distance;
        list.boxMin = {c.boxX - 1, 0, 0};
        list.boxMax = {c.boxX + 1, 1, 1};
        list.visible = 7;
        g_hudInput.flags.allShaderSetsShown = c.hudShowsAll ? 1 : 0;
        ASSERT_TRUE(DynObjectAdd(&object));
        DynObjectsUpdateShaderSetVisibility(planes, 1);
        EXPECT_EQ(list.visible, c.visible);
        DynObjectRemove(&object);
    }
    DynObjectRemove(&equipment);
}

TEST_F(ProjectileHits, ClearingDecalsTouchesNamedGraphicObjectsOnly)
{
    GraphObj named, unnamed;
    named.name.Assign("crate");
    GraphNode* namedNode = AddChildNode(named.GetRootNode(), "body");
    GraphNode* unnamedNode = AddChildNode(unnamed.GetRootNode(), "body");
    namedNode->AddDecal(new Decal, false);
    unnamedNode->AddDecal(new Decal, false);
    // A named object of another class (equipment) has no decals to clear.
    DynamicObject equipment;
    equipment.typeId = OBJECT_TYPE_EQUIPMENT;
    equipment.name.Assign("medkit");
    for (DynamicObject* object : {static_cast<DynamicObject*>(&equipment), static_cast<DynamicObject*>(&named),
                                  static_cast<DynamicObject*>(&unnamed)})
        ASSERT_TRUE(DynObjectAdd(object));
    DynObjectsClearDecals();
    EXPECT_EQ(namedNode->decalCount, 0u);
    EXPECT_EQ(unnamedNode->decalCount, 1u);
    for (DynamicObject* object : {static_cast<DynamicObject*>(&equipment), static_cast<DynamicObject*>(&named),
                                  static_cast<DynamicObject*>(&unnamed)})
        DynObjectRemove(object);
}

}  // namespace

namespace {

TEST(ProjectileHitRecord, AMissingRecordEndsTheProgram)
{
    GraphObj object;
    const ProjectileHit projectile;
    EXPECT_DEATH(object.OnProjectileHit(nullptr, projectile), "Assertion 'data' failed");
    EXPECT_DEATH(object.OnProjectileHitNotify(nullptr, nullptr), "Assertion 'data' failed");
}

}  // namespace
