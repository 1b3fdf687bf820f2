// Projectiles: the retire table and its sweep, the counting and detonation of live copies by name,
// copies that outlive their weapon, the bounds of flying and lying projectiles, and the drawing that
// waits for the draw delay, read back from the offscreen device.
#include <gtest/gtest.h>

#include "actors/actor_cvars.h"
#include "platform/test_clock.h"
#include "render/camera.h"
#include "render/device/render_context.h"
#include "render/device/render_device.h"
#include "scene/draw_records/draw_lists.h"
#include "scene/meshes/object_draw.h"
#include "scene/scene_state.h"
#include "support/test_window.h"
#include "support/render_test_support.h"
#include "tests/actors/weapons/weapon_test_support.h"
#include "world/animation/anim_cache.h"
#include "world/nodes/graph_node.h"

namespace {

class Projectiles : public weapon_test::WeaponFixture {
protected:
    // A live copy of the template, registered in the world as a fired projectile is.
    Projectile* Fire(Weapon& weapon)
    {
        Projectile* copy = new Projectile;
        copy->name.Assign(weapon.bulletTemplate->name);
        copy->weapon = &weapon;
        copy->LinkToTemplate(weapon.bulletTemplate);
        DynObjectAdd(copy);
        return copy;
    }
    static s32_t Registered()
    {
        s32_t count = 0;
        DynObjectsGet(nullptr, &count);
        return count;
    }
};

TEST_F(Projectiles, RetireTableStoresOnceAndSweepsEverything)
{
    // An empty table: the sweep does nothing.
    ProjectileTableDestroyAll();
    EXPECT_EQ(ProjectileTableCount(), 0u);

    Projectile* twice = new Projectile;
    DynObjectAdd(twice);
    EXPECT_TRUE(ProjectileTableAdd(twice));
    EXPECT_TRUE(ProjectileTableAdd(twice));
    EXPECT_EQ(ProjectileTableCount(), 1u);
    EXPECT_FALSE(ProjectileTableAdd(nullptr));
    ProjectileTableDestroyAll();
    EXPECT_EQ(Registered(), 0);

    // More retirements in one step than the first 1024 slots: the table grows and loses none.
    for (int i = 0; i < 1100; ++i) {
        Projectile* projectile = new Projectile;
        ASSERT_GE(DynObjectAdd(projectile), 0);
        Weapon::RetireProjectile(projectile);
    }
    EXPECT_EQ(ProjectileTableCount(), 1100u);
    EXPECT_GE(ProjectileTableCapacity(), 1100u);
    ProjectileTableDestroyAll();
    ProjectileTableClear();
    EXPECT_EQ(ProjectileTableCount(), 0u);
    EXPECT_EQ(Registered(), 0);
}

TEST_F(Projectiles, CountingAndDetonationSeeLiveCopiesOnly)
{
    Weapon* rifle = LoadSample("rifle");
    Weapon* grenade = LoadSample("grenade");
    EXPECT_EQ(ProjectileTableCountByName("rifle_bullet"), 0u);
    Fire(*rifle);
    Fire(*rifle);
    Fire(*grenade);
    // Templates are never registered: only the copies count, by name without regard to case.
    EXPECT_EQ(ProjectileTableCountByName("RIFLE_BULLET"), 2u);
    EXPECT_EQ(ProjectileTableCountByName("grenade_charge"), 1u);
    EXPECT_EQ(ProjectileTableCountByName("rifle"), 0u);

    ProjectileDetonateByName("Grenade_Charge");
    EXPECT_EQ(ProjectileTableCount(), 1u);
    ProjectileTableDestroyAll();
    EXPECT_EQ(ProjectileTableCountByName("grenade_charge"), 0u);
    EXPECT_EQ(ProjectileTableCountByName("rifle_bullet"), 2u);
    delete rifle;
    delete grenade;
}

TEST_F(Projectiles, CopiesOutliveTheirWeapon)
{
    Weapon* rifle = LoadSample("rifle");
    Projectile* older = Fire(*rifle);
    Projectile* newer = Fire(*rifle);
    // The template heads its list, the newest copy first.
    EXPECT_EQ(rifle->bulletTemplate->nextCopy, newer);
    EXPECT_EQ(newer->nextCopy, older);
    delete rifle;
    for (Projectile* copy : {older, newer}) {
        EXPECT_EQ(copy->weapon, nullptr);
        EXPECT_EQ(copy->source, nullptr);
        EXPECT_EQ(copy->nextCopy, nullptr);
        EXPECT_EQ(copy->previousCopy, nullptr);
    }
    // Still flying, then retired and swept: nothing of the weapon is touched again.
    EXPECT_EQ(ProjectileTableCountByName("rifle_bullet"), 2u);
    ProjectileTableAdd(older);
    ProjectileTableAdd(newer);
    ProjectileTableDestroyAll();
    EXPECT_EQ(Registered(), 0);

    // A weapon without a bullet block has no copies to detach.
    delete new Weapon;
    // A copy deleted before its weapon leaves the template's list.
    Weapon* grenade = LoadSample("grenade");
    Projectile* first = Fire(*grenade);
    Projectile* second = Fire(*grenade);
    DynObjectRemove(second);
    delete second;
    EXPECT_EQ(grenade->bulletTemplate->nextCopy, first);
    EXPECT_EQ(first->previousCopy, grenade->bulletTemplate);
    delete grenade;
    EXPECT_EQ(first->source, nullptr);
}

TEST_F(Projectiles, TimedExplosivesAndBounds)
{
    struct Case {
        s32_t type;
        u32_t fuse;
        bool timed;
    };
    const Case cases[] = {
        {BULLET_TYPE_EXPLOSIVE, 4000, true},
        {BULLET_TYPE_EXPLOSIVE, 0, false},
        {BULLET_TYPE_HIT, 4000, false},
        {BULLET_TYPE_BLANK, 1, false},
    };
    for (const Case& c : cases) {
        Projectile projectile;
        projectile.bulletType = c.type;
        projectile.fuseTime = c.fuse;
        EXPECT_EQ(projectile.IsTimedExplosive(), c.timed);
        projectile.SetPosition({10.0f, 20.0f, 30.0f});
        float box[6];
        projectile.GetGeometryBounds(box);
        if (c.timed) {
            // The node tree adds nothing: the graphic object's box round its origin.
            EXPECT_EQ(box[0], -10.0f);
        } else {
            EXPECT_FLOAT_EQ(box[0], 9.9f);
            EXPECT_FLOAT_EQ(box[4], 20.1f);
        }
        EXPECT_EQ(projectile.TraceRay({}, {0, 0, 1}, nullptr), 1e31f);
        EXPECT_STREQ(projectile.GetObjectFolder(), "object\\");
        EXPECT_STREQ(projectile.GetComponentFolder(), "component\\ammo\\");
        EXPECT_TRUE(projectile.IsMovable());
        EXPECT_EQ(projectile.GetTypeId(), OBJECT_TYPE_PROJECTILE);
    }
    EXPECT_FALSE(rbprojectile.Bool());
    EXPECT_FALSE(rbpenetrate.Bool());
}

// With the render core up and a camera beside the projectile: its tracer shows on the screen only
// once its flight clock has passed its draw delay, and never without the visible flag.
class ProjectileOnScreen : public Projectiles {
protected:
    void SetUp() override
    {
        Projectiles::SetUp();
        ASSERT_NE(m_window.Handle(), nullptr);
        ASSERT_EQ(RenderInit(m_window.Handle()), 0);
        SceneDrawListsInit();
        ASSERT_EQ(RenderSetDisplayMode(64, 48, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
        PlatformTestClockStart(20000);
        // Side on, close enough for the thin tracer to cover whole pixels.
        RenderSetupLookAtCamera(-1.5f, 0, 0, 0, 0, 0, 1.0f, 0, nullptr, nullptr, 1);
    }
    void TearDown() override
    {
        SceneDrawLogClear();
        PlatformTestClockStop();
        RenderShutdown(true);
        Projectiles::TearDown();
    }

    TestWindow m_window;
};

TEST_F(ProjectileOnScreen, DrawnOnlyAfterItsDrawDelay)
{
    Weapon* rifle = LoadSample("rifle");
    ASSERT_NE(rifle->bulletTemplate->model, nullptr);
    struct Case {
        u8_t visible;
        u32_t clock;
        bool drawn;
    };
    const Case cases[] = {
        {1, 0, false}, {1, 50, false}, {1, 51, true}, {1, 5000, true}, {0, 51, false}, {0, 5000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "visible " << int(c.visible) << " clock " << c.clock);
        Projectile shot;
        GraphNode* tracer = new GraphNode("tracer");
        tracer->SetParent(shot.GetRootNode());
        tracer->SetAnimMesh(rifle->bulletTemplate->model);
        shot.GetRootNode()->AddChild(tracer);
        shot.drawDelay = rifle->bulletTemplate->drawDelay;
        shot.visible = c.visible;
        shot.flightClock = c.clock;
        shot.UpdateViewDistance();
        constexpr DWORD kClear = 0xFF2050A0;
        IDirect3DDevice8* device = g_render.device;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0);
        device->BeginScene();
        shot.Render();
        device->EndScene();
        const render_test::Pixels pixels = render_test::ReadBackBuffer(device);
        int changed = 0;
        for (DWORD word : pixels.words)
            changed += word != kClear ? 1 : 0;
        if (c.drawn)
            EXPECT_GT(changed, 10);
        else
            EXPECT_EQ(changed, 0);
    }
    delete rifle;
}

}  // namespace
