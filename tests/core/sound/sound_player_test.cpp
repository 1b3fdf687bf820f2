// The player's own sounds: footsteps by surface and motion, under water, and weapon requests.
#include <gtest/gtest.h>

#include <cstring>

#include "map/materials/material.h"
#include "map/octree/octree.h"
#include "map/registry/world_registry.h"
#include "tests/core/sound/sound_fixture.h"
#include "world/objects/graph_obj.h"
#include "world/nodes/object_trace.h"

using namespace sound_test;

namespace {

// The ground under the viewer: a structure whose trace meets its top at y = -10 and names its
// material, as a traced surface does.
class Ground : public GraphObj {
public:
    explicit Ground(Material* surface) : material(surface) { typeId = OBJECT_TYPE_STRUCTURE; }
    bool IsCollidable() const override { return true; }
    void GetGeometryBounds(float* box) override
    {
        const float bounds[6] = {-10, -15, -10, 10, -10, 10};
        for (int i = 0; i < 6; ++i)
            box[i] = bounds[i];
    }
    float TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit) override
    {
        const float distance = origin.y + 10.0f;
        hit->objHitPoint = {origin.x + direction.x * distance, -10.0f, origin.z + direction.z * distance};
        hit->objMaterial = material;
        return distance;
    }
    Material* material;
};

class SoundPlayerTest : public SoundTest {
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        for (const char* name : {"step", "run", "sneak", "swim", "draw", "holster", "aim0", "aim1", "fire"})
            ASSERT_TRUE(WriteWave(std::string("sound/") + name + ".wav", WaveShape{4410}));
        StartSound();
        const char* setNames[3] = {"step", "run", "sneak"};
        for (int i = 0; i < 3; ++i) {
            groundMaterial.step[i].sounds.Add(Flat(setNames[i]), 0);
            groundMaterial.step[i].sounds.extraParam = 300;
        }
        waterSet.Add(Flat("swim"), 0);
        waterSet.extraParam = 500;
        water.sets[0] = &waterSet;
        OctreeCreateRoot({-500, -500, -500}, {500, 500, 500});
        ASSERT_TRUE(DynObjectAdd(&ground));
        view().waterSurface = &water;
        std::memset(&g_sound.playerRequests, 0, sizeof(g_sound.playerRequests));
    }
    static PlayerSoundView& view() { return GamePlayerSoundView(); }
    static SoundInstance* Flat(const char* name) { return SoundLoad(nullptr, name, SOUND_MODE_VOICE); }
    // The names of the waves whose instance sounds now, each stopped afterwards.
    static std::string Heard()
    {
        std::string heard;
        for (s32_t i = 0; i < g_sound.instances.count; ++i) {
            SoundInstance* instance = g_sound.instances[i];
            if (!instance->IsPlaying())
                continue;
            heard += (heard.empty() ? "" : " ") + std::string(instance->wave->name.Text());
            instance->Stop();
        }
        return heard;
    }
    static std::string UpdateAndHear(u32_t advance = 0)
    {
        Advance(advance);
        SoundUpdatePlayer();
        return Heard();
    }

    void TearDown() override
    {
        DynObjectRemove(&ground);
        OctreeDestroy();
        SoundTest::TearDown();
    }
    // Takes the ground out from under the viewer.
    void StepOffTheGround() { DynObjectRemove(&ground); }

    Material groundMaterial;
    Ground ground{&groundMaterial};
    SoundSet waterSet;
    SurfaceSounds water;
};

TEST_F(SoundPlayerTest, TheMotionStateChoosesTheSurfaceSet)
{
    struct Case {
        s32_t state;
        u8_t flags[2];
        const char* heard;
    };
    for (const Case& c :
         {Case{0, {0, 0}, "step.wav"}, Case{3, {1, 1}, "step.wav"}, Case{1, {0, 0}, "run.wav"},
          Case{5, {1, 0}, "run.wav"}, Case{2, {0, 1}, "sneak.wav"}, Case{1, {0, 1}, ""}, Case{6, {0, 0}, ""}}) {
        view().motionState = c.state;
        view().movementFlags[0] = c.flags[0];
        view().movementFlags[1] = c.flags[1];
        EXPECT_EQ(UpdateAndHear(1000), c.heard) << c.state << " " << int(c.flags[0]) << int(c.flags[1]);
    }
}

TEST_F(SoundPlayerTest, ASetPlaysAgainOnlyAfterItsLeastInterval)
{
    EXPECT_EQ(UpdateAndHear(1000), "step.wav");
    EXPECT_EQ(UpdateAndHear(300), "");
    EXPECT_EQ(UpdateAndHear(1), "step.wav");
    // The other set keeps its own time.
    view().motionState = 1;
    EXPECT_EQ(UpdateAndHear(1), "run.wav");
}

TEST_F(SoundPlayerTest, UnderWaterTheWatersSetPlaysHeldToItsIntervalToo)
{
    view().viewUnderWater = true;
    EXPECT_EQ(UpdateAndHear(1000), "swim.wav");
    for (int frame = 0; frame < 10; ++frame)
        EXPECT_EQ(UpdateAndHear(16), "") << frame;
    EXPECT_EQ(UpdateAndHear(500 - 160 + 1), "swim.wav");
    view().waterSurface = nullptr;
    EXPECT_EQ(UpdateAndHear(1000), "");
}

TEST_F(SoundPlayerTest, NoFootstepsInAVehicleWithoutASurfaceOrWhileDead)
{
    PlacedObject vehicle({0.0f, 0.0f, 0.0f});
    view().currentVehicle = &vehicle;
    EXPECT_EQ(UpdateAndHear(1000), "");
    view().currentVehicle = nullptr;
    view().playerDead = true;
    EXPECT_EQ(UpdateAndHear(1000), "");
    view().playerDead = false;
    StepOffTheGround();
    EXPECT_EQ(UpdateAndHear(1000), "");

    // A forced surface needs no trace.
    view().surfaceForced = true;
    view().forcedSurface = &groundMaterial.surface;
    EXPECT_EQ(UpdateAndHear(1000), "step.wav");
}

TEST_F(SoundPlayerTest, TheSurfaceIsTracedAgainOnlyEvery300Milliseconds)
{
    EXPECT_EQ(UpdateAndHear(1000), "step.wav");
    StepOffTheGround();
    EXPECT_EQ(UpdateAndHear(250), "");
    EXPECT_EQ(g_sound.surface, &groundMaterial.surface);  // not traced yet
    EXPECT_EQ(UpdateAndHear(51), "");
    EXPECT_EQ(g_sound.surface, nullptr);
}

class SoundRequestTest : public SoundPlayerTest {
protected:
    void SetUp() override
    {
        SoundPlayerTest::SetUp();
        StepOffTheGround();
        weaponTable = new SoundSetTable("rifle");
        struct Entry {
            const char* property;
            std::vector<const char*> waves;
        };
        for (const Entry& entry : {Entry{"switch_to", {"draw"}}, Entry{"switch_from", {"holster"}},
                                   Entry{"aim", {"aim0", "aim1"}}, Entry{"fire", {"fire"}}}) {
            SoundSet* set = new SoundSet();
            for (const char* wave : entry.waves)
                set->Add(Flat(wave), 0);
            weaponTable->AddSet(entry.property, set);
        }
        weapon.sound->SetSoundTable(weaponTable);
    }
    static void Request(s32_t property) { g_sound.playerRequests.request[property] = 1; }

    PlacedObject weapon{{0.0f, 0.0f, 0.0f}};
    SoundSetTable* weaponTable = nullptr;
};

TEST_F(SoundRequestTest, RequestsPlayTheWeaponsSoundsAndAreCleared)
{
    struct Case {
        std::vector<s32_t> requests;
        bool current;
        bool holstered;
        s32_t aimIndex;
        const char* heard;
    };
    for (const Case& c : {
             Case{{SOUND_FIRE}, true, false, 0, "fire.wav"},
             Case{{SOUND_SWITCH_TO, SOUND_FIRE}, true, false, 0, "fire.wav"},  // the lowest request wins
             Case{{SOUND_AIM}, true, false, 1, "aim1.wav"},
             Case{{SOUND_AIM}, true, false, 7, ""},          // the set has no 8th variant
             Case{{SOUND_SWITCH_FROM}, true, false, 0, ""},  // nothing being put away
             Case{{SOUND_SWITCH_FROM}, false, true, 0, "holster.wav"},
             Case{{SOUND_FIRE}, false, true, 0, ""},
             Case{{SOUND_RELOAD}, true, false, 0, ""},
         }) {
        view().currentWeapon = c.current ? &weapon : nullptr;
        view().holsteredWeapon = c.holstered ? &weapon : nullptr;
        g_sound.playerRequests.aimIndex = c.aimIndex;
        for (s32_t request : c.requests)
            Request(request);
        EXPECT_EQ(UpdateAndHear(), c.heard) << c.requests[0] << " aim " << c.aimIndex;
        for (u8_t request : g_sound.playerRequests.request)
            ASSERT_EQ(request, 0);
    }
}

TEST_F(SoundRequestTest, RequestsMadeWhileDeadAreDropped)
{
    view().currentWeapon = &weapon;
    view().playerDead = true;
    Request(SOUND_FIRE);
    EXPECT_EQ(UpdateAndHear(), "");
    view().playerDead = false;
    EXPECT_EQ(UpdateAndHear(), "");
}

}  // namespace
