// Weapon definitions: the sample rifle and grenade read key by key from their definition files with
// the first-person view of "weapon.scr" and the bullets of "bullet.scr"; the keys' edge cases; and
// the damaged first-person and bullet blocks that are skipped with a warning.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "actors/anim_entry.h"
#include "core/frame_view.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_source.h"
#include "tests/actors/weapons/weapon_test_support.h"
#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

namespace {

using weapon_test::ApplyLine;
using weapon_test::LogCount;

class WeaponDefinition : public weapon_test::WeaponFixture {};

TEST_F(WeaponDefinition, SampleRifleSetsEveryFieldItsKeysName)
{
    const size_t log = actor_test::LogSize();
    Weapon* rifle = LoadSample("rifle");
    // Only the "weapon" line, which names the weapon for its carriers, is not a weapon key.
    ASSERT_FALSE(m_results.empty());
    EXPECT_FALSE(m_results[0]);
    for (size_t i = 1; i < m_results.size(); ++i)
        EXPECT_TRUE(m_results[i]) << "line " << i + 1;
    EXPECT_EQ(LogCount(log, "WARNING: Unknow Weapon param "), 1);
    EXPECT_EQ(LogCount(log, "WARNING: Unknow Weapon param weapon\n"), 1);

    EXPECT_EQ(rifle->slotType, WEAPON_SLOT_PRIMARY);
    // The world model with its grip and muzzle dummies, and the barrel's level rules.
    GraphNode* gun = rifle->FindChild("gun");
    ASSERT_NE(gun, nullptr);
    const AnimMesh* model = gun->GetAnimMesh();
    ASSERT_NE(model, nullptr);
    const s32_t muzzle = actor_test::Dummy(model, "x1");
    const s32_t grip = actor_test::Dummy(model, "x2");
    ASSERT_GE(muzzle, 0);
    ASSERT_GE(grip, 0);
    // Shots leave from "x1", the hand holds "x2": the muzzle is the far end of the barrel, the grip
    // lies under and behind the body.
    ASSERT_NE(model->frames[0].meshes[muzzle].dummyFrame, nullptr);
    ASSERT_NE(model->frames[0].meshes[grip].dummyFrame, nullptr);
    const Vector3 muzzleAt = model->frames[0].meshes[muzzle].dummyFrame->origin;
    const Vector3 gripAt = model->frames[0].meshes[grip].dummyFrame->origin;
    EXPECT_GT(muzzleAt.z, gripAt.z + 6.0f);
    EXPECT_GT(muzzleAt.y, gripAt.y);
    const s32_t barrel = actor_test::Dummy(model, "barrel");
    ASSERT_GE(barrel, 0);
    const MeshSettings& barrelLod = gun->GetMeshSettings()[barrel];
    EXPECT_EQ(barrelLod.lodHidden[0], 1);
    EXPECT_EQ(barrelLod.lodHidden[1], 1);
    EXPECT_EQ(barrelLod.lodHidden[2], 0);
    // A weapon's 8 is no render code of its own.
    EXPECT_EQ(barrelLod.lodMode[0], 0x12u);
    EXPECT_EQ(barrelLod.lodMode[1], 3u);
    EXPECT_EQ(barrelLod.lodMode[2], 2u);

    EXPECT_STREQ(rifle->legsName.Text(), "rifle");
    EXPECT_STREQ(rifle->torsoName.Text(), "rifle");
    EXPECT_EQ(rifle->fireModeMask, 0x11u);
    EXPECT_EQ(rifle->fireModeCount, 2u);
    EXPECT_EQ(rifle->fireModes[0], kFireModeSingle);
    EXPECT_EQ(rifle->fireModes[1], kFireModeAuto);
    EXPECT_EQ(rifle->fireMode, kFireModeSingle);
    EXPECT_EQ(rifle->fpmFirst, 600.0f);
    EXPECT_EQ(rifle->fpmSecond, 900.0f);
    EXPECT_FLOAT_EQ(rifle->delay, 0.1f);
    EXPECT_EQ(rifle->zoom, 2.0f);
    EXPECT_EQ(rifle->burstCount, 3);
    EXPECT_EQ(rifle->magazineCap, 30);
    EXPECT_EQ(rifle->magazineCapFull, 30);
    EXPECT_EQ(rifle->roundsInGun, 30);
    EXPECT_EQ(rifle->magazineCountFull, 3);
    EXPECT_EQ(rifle->spareMagazines, 3);
    EXPECT_EQ(rifle->fireWait, 100);
    EXPECT_EQ(rifle->traceCount, 3);
    EXPECT_EQ(rifle->crosshairScreen, GuiFindScreen("CROSS"));
    EXPECT_EQ(rifle->statScreen, GuiFindScreen("RIFLE"));
    EXPECT_EQ(rifle->zoomScreen, GuiFindScreen("SCOPE"));
    EXPECT_NE(rifle->crosshairScreen, nullptr);
    EXPECT_FLOAT_EQ(rifle->scatter[0][0], 0.1f);
    EXPECT_FLOAT_EQ(rifle->scatter[1][1], 0.5f);
    EXPECT_FLOAT_EQ(rifle->scatter[3][2], 1.2f);
    EXPECT_FALSE(rifle->silent);
    EXPECT_FALSE(rifle->fixed);
    EXPECT_TRUE(rifle->button2Off);
    EXPECT_STREQ(rifle->pinInactive.Text(), "pin");
    EXPECT_EQ(rifle->aiNear, 50.0f);
    EXPECT_EQ(rifle->aiFar, 400.0f);
    EXPECT_EQ(rifle->aiPower, 30.0f);
    const float goodFor[6] = {1.0f, 0.5f, 0.25f, 0.0f, 0.0f, 0.0f};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(rifle->aiGoodFor[i], goodFor[i]);
    EXPECT_EQ(rifle->aiType, 1);
    EXPECT_EQ(rifle->aiRepTime, 800);
    EXPECT_EQ(rifle->aiNKills, 3);
    ASSERT_NE(rifle->sound, nullptr);
    ASSERT_NE(rifle->sound->soundTable, nullptr);
    EXPECT_STREQ(rifle->sound->soundTable->name.Text(), "rifle");

    // The bullet block.
    const Projectile* bullet = rifle->bulletTemplate;
    ASSERT_NE(bullet, nullptr);
    EXPECT_STREQ(bullet->name.Text(), "rifle_bullet");
    EXPECT_EQ(bullet->bulletType, BULLET_TYPE_HIT);
    EXPECT_NE(bullet->model, nullptr);
    EXPECT_STREQ(bullet->modelFolder.Text(), "component\\ammo\\");
    EXPECT_STREQ(bullet->textureName.Text(), "tracer");
    EXPECT_FLOAT_EQ(bullet->weight, 0.01f);
    EXPECT_EQ(bullet->resistance, 2.0f);
    EXPECT_EQ(bullet->damage, 40.0f);
    EXPECT_EQ(bullet->muzzleVelocity, 800.0f);
    EXPECT_EQ(bullet->lifeTime, 3000u);
    EXPECT_EQ(bullet->fuseTime, 0u);
    EXPECT_FALSE(bullet->IsTimedExplosive());
    EXPECT_FLOAT_EQ(bullet->deviation[0], 0.1f);
    EXPECT_FLOAT_EQ(bullet->deviation[1], 0.2f);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(bullet->screenShake[i], static_cast<float>(i + 1));
    EXPECT_FLOAT_EQ(bullet->decalSize[0], 0.5f);
    EXPECT_FLOAT_EQ(bullet->decalSize[1], 1.0f);
    EXPECT_FLOAT_EQ(bullet->decalRadius, 0.2f);
    EXPECT_EQ(bullet->initialDensity, 1.5f);
    EXPECT_EQ(bullet->finalDensity, 0.5f);
    EXPECT_EQ(bullet->range, 300.0f);
    EXPECT_EQ(bullet->drawDelay, 50u);
    EXPECT_EQ(bullet->pieces, 1u);
    ASSERT_NE(bullet->hitSounds, nullptr);
    EXPECT_EQ(bullet->hitSounds->extraParam, 100);
    ASSERT_NE(bullet->flySounds, nullptr);
    EXPECT_EQ(bullet->flySounds->extraParam, 50);
    EXPECT_EQ(bullet->explosionSounds, nullptr);
    EXPECT_STREQ(bullet->trailParticle.Text(), "trail");

    // The first-person view.
    EXPECT_STREQ(rifle->fpAnimName.Text(), "rifle");
    ASSERT_NE(rifle->fpAnims, nullptr);
    const AnimEntry& aim = rifle->fpAnims[0];
    EXPECT_EQ(aim.animationCount, 2);
    EXPECT_NE(aim.animations[0], nullptr);
    EXPECT_NE(aim.animations[1], aim.animations[0]);
    EXPECT_EQ(aim.slotSpeed[0], 25.0f);
    EXPECT_EQ(aim.slotSpeed[1], 20.0f);
    EXPECT_EQ(aim.reverse, 0);
    const AnimEntry& shot = rifle->fpAnims[1];
    EXPECT_EQ(shot.triggerFrames[0], 1);
    EXPECT_EQ(shot.triggerFrames[1], 0xFFFF);
    EXPECT_EQ(rifle->fpAnims[2].reverse, 1);
    EXPECT_EQ(rifle->fpAnims[6].animationCount, 0);
    EXPECT_TRUE(rifle->fpNoLod[3]);
    EXPECT_FALSE(rifle->fpNoLod[0]);
    EXPECT_STREQ(rifle->fpAnimList.Text(), "component\\weapon\\");
    // Two meshes in each of the animations 0 to 5 and 13, none in the empty ones.
    const u32_t starts[MAX_WEAPON_FP_ANIMS] = {0, 2, 4, 6, 8, 10, 12, 12, 12, 12, 12, 12, 12, 12};
    u32_t out[MAX_WEAPON_FP_ANIMS] = {};
    EXPECT_EQ(rifle->GetFirstPersonAnims(out, 1), rifle->fpTextures[1]);
    for (u32_t a = 0; a < MAX_WEAPON_FP_ANIMS; ++a)
        EXPECT_EQ(out[a], starts[a]) << a;
    EXPECT_EQ(rifle->fpTextureCount, 14u);
    EXPECT_EQ(rifle->GetFirstPersonAnims(out, 4), nullptr);
    // The mesh levels follow the last file loaded (the holster's shot animation): barrel, stock.
    ASSERT_EQ(rifle->fpMeshLodCount, 2u);
    EXPECT_TRUE(rifle->fpMeshLod[0].levelFlags[0]);
    EXPECT_TRUE(rifle->fpMeshLod[0].levelFlags[1]);
    EXPECT_FALSE(rifle->fpMeshLod[0].levelFlags[2]);
    EXPECT_EQ(rifle->fpMeshLod[0].renderCodes[0], 0x12u);
    EXPECT_EQ(rifle->fpMeshLod[0].renderCodes[1], 3u);
    EXPECT_EQ(rifle->fpMeshLod[0].renderCodes[2], 2u);
    EXPECT_TRUE(rifle->fpMeshLod[1].levelFlags[0]);
    EXPECT_FALSE(rifle->fpMeshLod[1].levelFlags[1]);
    EXPECT_EQ(rifle->fpMeshLod[1].renderCodes[0], 2u);
    EXPECT_EQ(rifle->fpScale.z, 1.5f);
    EXPECT_EQ(rifle->fpPosition.y, -1.0f);
    EXPECT_FLOAT_EQ(rifle->fpFov, 1.5707963f);
    EXPECT_FLOAT_EQ(rifle->stanceSway[0].walkX[1], 0.2f);
    EXPECT_FLOAT_EQ(rifle->stanceSway[0].walkY[0], 0.3f);
    EXPECT_EQ(rifle->stanceSway[0].yaw[2], 3.0f);
    EXPECT_FLOAT_EQ(rifle->stanceSway[3].rotX[1], 0.6f);
    EXPECT_EQ(rifle->stanceSway[1].walkX[0], 0.0f);
    EXPECT_STREQ(rifle->fpParticleNames[1].Text(), "muzzle_flash");
    // At the barrel's end in the weapon's model frame.
    EXPECT_FLOAT_EQ(rifle->fpParticleOffsets[1].x, -3.6f);
    EXPECT_FLOAT_EQ(rifle->fpParticleOffsets[1].y, -1.85f);
    EXPECT_FLOAT_EQ(rifle->fpParticleOffsets[1].z, 0.9f);
    delete rifle;
}

// Where the sample rifle's first-person meshes land on the screen. The weapon view puts its camera at
// the view's "pos" looking down -z (yaw pi), with the main view's field of view times "fov" / (pi / 2),
// and draws each mesh through RotationY(-pi / 2) x Scaling("scale"). Every corner of every mesh, in
// every frame of every animation, lies in front of the near plane and in the lower right quarter of a
// 4:3 view, and some of the rifle is on screen: the rifle neither covers the middle of the view nor
// vanishes.
TEST_F(WeaponDefinition, SampleRifleShowsInTheLowerRightOfTheFirstPersonView)
{
    std::unique_ptr<Weapon> rifle(LoadSample("rifle"));
    ASSERT_NE(rifle->fpAnims, nullptr);
    const float aspect = 4.0f / 3.0f;
    const float fov = rifle->fpFov * kNormalFieldOfView * (2.0f / 3.14159265f);
    D3DXMATRIX turn, stretch, view, projection;
    D3DXMatrixRotationY(&turn, -3.14159265f * 0.5f);
    D3DXMatrixScaling(&stretch, rifle->fpScale.x, rifle->fpScale.y, rifle->fpScale.z);
    const D3DXVECTOR3 eye(rifle->fpPosition.x, rifle->fpPosition.y, rifle->fpPosition.z);
    const D3DXVECTOR3 ahead(eye.x, eye.y, eye.z - 1.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &eye, &ahead, &up);
    D3DXMatrixPerspectiveFovLH(&projection, fov / aspect, aspect, kCameraDefaultNearPlane, 1000.0f);
    const D3DXMATRIX toScreen = turn * stretch * view * projection;

    int corners = 0, onScreen = 0;
    for (u32_t slot = 0; slot < MAX_WEAPON_FP_ANIMS; ++slot) {
        const AnimEntry& entry = rifle->fpAnims[slot];
        for (u32_t v = 0; v < entry.animationCount && v < MAX_ANIM_ALIASES; ++v) {
            const AnimMesh* animation = entry.animations[v];
            ASSERT_NE(animation, nullptr) << slot;
            for (u32_t f = 0; f < animation->frames_c; ++f)
                for (u32_t m = 0; m < animation->frames[f].meshes_c; ++m) {
                    const AnimVertexData* block = animation->frames[f].meshes[m].vertices;
                    if (!block || animation->frames[f].meshes[m].faceCount == 0)
                        continue;
                    for (u32_t i = 0; i < block->count; ++i) {
                        const Vector3 p = block->Position(i);
                        const D3DXVECTOR3 corner(p.x, p.y, p.z);
                        D3DXVECTOR4 clip;
                        D3DXVec3Transform(&clip, &corner, &toScreen);
                        ASSERT_GT(clip.w, kCameraDefaultNearPlane) << slot << " " << f << " " << m;
                        const float x = clip.x / clip.w, y = clip.y / clip.w;
                        EXPECT_GT(x, 0.0f) << "slot " << slot << " frame " << f << " mesh " << m;
                        EXPECT_LT(y, 0.0f) << "slot " << slot << " frame " << f << " mesh " << m;
                        ++corners;
                        onScreen += x < 1.0f && y > -1.0f;
                    }
                }
        }
    }
    EXPECT_GT(corners, 0);
    EXPECT_GT(onScreen, 0);
}

TEST_F(WeaponDefinition, SampleGrenadeIsATimedExplosive)
{
    Weapon* grenade = LoadSample("grenade");
    EXPECT_EQ(grenade->slotType, WEAPON_SLOT_GRENADE);
    EXPECT_NE(grenade->FindChild("body"), nullptr);
    EXPECT_STREQ(grenade->torsoName.Text(), "grenade");
    EXPECT_STREQ(grenade->activateBullet.Text(), "grenade_charge");
    EXPECT_EQ(grenade->fireModeCount, 1u);
    const Projectile* charge = grenade->bulletTemplate;
    ASSERT_NE(charge, nullptr);
    EXPECT_EQ(charge->bulletType, BULLET_TYPE_EXPLOSIVE);
    EXPECT_EQ(charge->fuseTime, 4000u);
    EXPECT_EQ(charge->lifeTime, 10000u);
    EXPECT_TRUE(charge->IsTimedExplosive());
    EXPECT_EQ(charge->radius, 15.0f);
    EXPECT_EQ(charge->damage, 300.0f);
    ASSERT_NE(charge->explosionSounds, nullptr);
    EXPECT_EQ(charge->explosionSounds->extraParam, 10);
    EXPECT_STREQ(charge->explosionParticle.Text(), "explosion");
    EXPECT_STREQ(charge->airBurstParticle.Text(), "airburst");
    grenade->FillMagazines();
    EXPECT_EQ(grenade->RingSize(), 3u);
    EXPECT_EQ(grenade->GetMagazineRounds(2), 1);
    delete grenade;
}

// One key line on a fresh weapon: its result and what it leaves.
TEST_F(WeaponDefinition, KeyEdgeCases)
{
    size_t logStart = 0;  // where the log stood before the case's lines
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::vector<bool> results;
        std::function<void(const Weapon&)> check;
    };
    const Case cases[] = {
        {"type in capitals, value in small letters",
         {"TYPE primary"},
         {true},
         [](const Weapon& w) { EXPECT_EQ(w.slotType, WEAPON_SLOT_PRIMARY); }},
        {"an unknown type word keeps the type",
         {"type grenade", "type rifle"},
         {true, true},
         [](const Weapon& w) { EXPECT_EQ(w.slotType, WEAPON_SLOT_GRENADE); }},
        {"modes SEMI then AUTO",
         {"mode SEMI AUTO"},
         {true},
         [](const Weapon& w) {
             EXPECT_EQ(w.fireModeMask, 0x11u);
             EXPECT_EQ(w.fireModes[0], 0x10u);
             EXPECT_EQ(w.fireModes[1], 0x1u);
             EXPECT_EQ(w.fireModeCount, 2u);
             EXPECT_EQ(w.fireMode, 0x10u);
         }},
        {"four mode values",
         {"mode SEMI AUTO BURST AUTO"},
         {false},
         [](const Weapon& w) {
             EXPECT_EQ(w.fireModeCount, 0u);
             EXPECT_EQ(w.fireModeMask, 0u);
         }},
        {"mode lines add up but never pass three",
         {"mode SEMI AUTO", "mode BURST AUTO"},
         {true, true},
         [](const Weapon& w) {
             EXPECT_EQ(w.fireModeCount, 3u);
             EXPECT_EQ(w.fireModes[2], kFireModeBurst);
             EXPECT_EQ(w.fireModeMask, 0x111u);
             EXPECT_EQ(w.fireMode, kFireModeBurst);
         }},
        {"an unknown mode word is skipped",
         {"mode FAST SEMI"},
         {true},
         [](const Weapon& w) {
             EXPECT_EQ(w.fireModeCount, 1u);
             EXPECT_EQ(w.fireMode, 0u);
         }},
        {"fpm 600",
         {"fpm 600"},
         {true},
         [](const Weapon& w) {
             EXPECT_EQ(w.fpmFirst, 600.0f);
             EXPECT_EQ(w.fpmSecond, 600.0f);
         }},
        {"fpm 600 900",
         {"fpm 600 900"},
         {true},
         [](const Weapon& w) {
             EXPECT_EQ(w.fpmFirst, 600.0f);
             EXPECT_EQ(w.fpmSecond, 900.0f);
         }},
        {"fpm without a value", {"fpm"}, {false}, [](const Weapon& w) { EXPECT_EQ(w.fpmFirst, 0.0f); }},
        {"magazinecount 3 with magazinecap 30",
         {"magazinecount 3", "magazinecap 30"},
         {true, true},
         [](const Weapon& w) {
             EXPECT_EQ(w.roundsInGun, 30);
             EXPECT_EQ(w.spareMagazines, 3);
             Weapon& filled = const_cast<Weapon&>(w);
             filled.FillMagazines();
             ASSERT_EQ(filled.RingSize(), 4u);
             for (u32_t i = 0; i < 4; ++i)
                 EXPECT_EQ(filled.GetMagazineRounds(i), 30);
         }},
        {"ainear 5", {"ainear 5"}, {true}, [](const Weapon& w) { EXPECT_EQ(w.aiNear, 50.0f); }},
        {"trace_count 3", {"trace_count 3"}, {true}, [](const Weapon& w) { EXPECT_EQ(w.traceCount, 3); }},
        {"a truth word other than true or false",
         {"silent yes", "silent TRUE"},
         {false, true},
         [](const Weapon& w) { EXPECT_TRUE(w.silent); }},
        {"common_stats reads 1 only", {"common_stats 2"}, {true}, [](const Weapon& w) { EXPECT_FALSE(w.commonStats); }},
        {"a wrong value count changes nothing",
         {"delay 1 2", "scatter 1 2 3"},
         {false, false},
         [](const Weapon& w) { EXPECT_EQ(w.delay, 0.0f); }},
        {"a screen that is not loaded",
         {"crosshair NONE"},
         {false},
         [](const Weapon& w) { EXPECT_EQ(w.crosshairScreen, nullptr); }},
        {"BLANK before damage leaves the damage",
         {"bullet blank_round"},
         {true},
         [](const Weapon& w) {
             ASSERT_NE(w.bulletTemplate, nullptr);
             EXPECT_EQ(w.bulletTemplate->bulletType, BULLET_TYPE_BLANK);
             EXPECT_EQ(w.bulletTemplate->blank, 1);
             EXPECT_EQ(w.bulletTemplate->damage, 100.0f);
         }},
        {"a weapon model whose parent is missing is recorded for placement, the line taken quietly",
         {"anim gun nowhere rifle"},
         {true},
         [&logStart](const Weapon& w) {
             EXPECT_EQ(LogCount(logStart, "WARNING"), 0);
             ASSERT_EQ(GameWeaponPlacementCount(), 1u);
             EXPECT_EQ(GameWeaponPlacementAt(0)->object, &w);
             EXPECT_STREQ(GameWeaponPlacementAt(0)->name.Text(), "probe");
         }},
        {"the view's fov 90 and a trigger frame of last",
         {"fp_anim rifle"},
         {true},
         [](const Weapon& w) {
             EXPECT_FLOAT_EQ(w.fpFov, 1.5707963f);
             EXPECT_EQ(w.fpAnims[1].triggerFrames[1], 0xFFFF);
         }},
        {"an unknown key",
         {"colour red"},
         {false},
         [&logStart](const Weapon&) { EXPECT_EQ(LogCount(logStart, "WARNING: Unknow Weapon param colour\n"), 1); }},
        {"subweapon reads its own file with one warning",
         {"subweapon grenade"},
         {true},
         [&logStart](const Weapon& w) {
             ASSERT_EQ(w.subWeaponCount, 1);
             const Weapon* sub = w.GetSubWeapon(0);
             // Named by its file's "weapon" line, the one line no weapon key takes.
             EXPECT_STREQ(sub->name.Text(), "grenade");
             EXPECT_EQ(sub->subWeaponIndex, 0);
             EXPECT_EQ(sub->slotType, WEAPON_SLOT_GRENADE);
             ASSERT_NE(sub->bulletTemplate, nullptr);
             EXPECT_TRUE(sub->bulletTemplate->IsTimedExplosive());
             EXPECT_EQ(LogCount(logStart, "WARNING: Unknow Weapon param "), 1);
             EXPECT_EQ(LogCount(logStart, "WARNING: Unknow Weapon param weapon\n"), 1);
         }},
        {"anim with too few values",
         {"anim gun root"},
         {false},
         [](const Weapon&) { EXPECT_EQ(GameWeaponPlacementCount(), 0u); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameWeaponPlacementsClear();
        Weapon weapon;
        weapon.name.Assign("probe");
        logStart = actor_test::LogSize();
        for (size_t i = 0; i < c.lines.size(); ++i)
            EXPECT_EQ(ApplyLine(weapon, c.lines[i]), c.results[i]) << c.lines[i];
        c.check(weapon);
    }
}

// Damaged first-person views and bullet blocks: each fault is warned about and skipped.
TEST_F(WeaponDefinition, DamagedViewsAndBulletsAreSkippedWithAWarning)
{
    std::string sections = "<WEAPON>\n";
    auto view = [&](const char* name, const std::string& aimLines, const std::string& extra, int children) {
        sections += std::string("<") + name + ">\n" + extra;
        for (int i = 0; i < children; ++i)
            sections += "<a" + std::to_string(i) + ">\n" + (i == 0 ? aimLines : "") + "</a" + std::to_string(i) + ">\n";
        sections += std::string("</") + name + ">\n";
    };
    view("pairs", "anim aim 25 rifle_fp_aim 25 rifle_fp_aim 25 rifle_fp_aim 25 rifle_fp_aim 25 rifle_fp_aim;\n", "",
         15);
    view("trigger", "triggerframe 5 3;\ntriggerframe -1 3;\ntriggerframe 4 9;\n", "", 15);
    view("short", "anim aim 25 rifle_fp_aim;\n", "", 14);
    // Slot 0 holds the four-mesh world model, slot 1 a two-mesh view model.
    view("thin", "anim aim 25 rifle 25 rifle_fp_aim;\n", "", 15);
    view("particles", "", "<Particles>\nBogus fx 1 2 3;\nSHOT flash 1 2 3;\n</Particles>\n", 15);
    sections += "</WEAPON>\n";
    std::filesystem::create_directories("script");
    ASSERT_TRUE(WriteFileBytes("script/weapon.scr", sections));
    ASSERT_TRUE(WriteFileBytes("script/bullet.scr",
                               "<short_explo>\nproperty sound_explo 5 a b;\nproperty damage 7;\n</short_explo>\n"));

    struct Case {
        const char* line;
        bool result;
        const char* warning;
        std::function<void(const Weapon&)> check;
    };
    const Case cases[] = {
        {"fp_anim pairs", true, "more than 4 animations",
         [](const Weapon& w) { EXPECT_EQ(w.fpAnims[0].animationCount, 0); }},
        {"fp_anim trigger", true, "trigger slot", [](const Weapon& w) { EXPECT_EQ(w.fpAnims[0].triggerFrames[4], 9); }},
        {"fp_anim short", false, "has 14 parts of 15", [](const Weapon& w) { EXPECT_EQ(w.fpAnims, nullptr); }},
        {"fp_anim thin", true, "fewer meshes than level 0",
         [](const Weapon& w) {
             EXPECT_EQ(w.fpTextureCount, 4u);
             for (u32_t i = 0; i < 4; ++i)
                 EXPECT_EQ(w.fpTextures[1][i], nullptr);
         }},
        {"fp_anim particles", true, "unknown animation 'Bogus'",
         [](const Weapon& w) { EXPECT_STREQ(w.fpParticleNames[1].Text(), "flash"); }},
        {"bullet short_explo", true, "fewer than 3 sounds",
         [](const Weapon& w) {
             EXPECT_EQ(w.bulletTemplate->explosionSounds, nullptr);
             EXPECT_EQ(w.bulletTemplate->damage, 7.0f);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Weapon weapon;
        const size_t log = actor_test::LogSize();
        EXPECT_EQ(ApplyLine(weapon, c.line), c.result);
        EXPECT_GE(LogCount(log, c.warning), 1) << actor_test::LogFrom(log);
        c.check(weapon);
    }
}

// "pieces" is read signed and kept within 1..64: a negative count must not turn into thousands of
// millions of projectiles a shot.
TEST_F(WeaponDefinition, BulletPiecesStayWithinOneToSixtyFour)
{
    struct Case {
        const char* text;
        u32_t pieces;
        bool warned;
    };
    const Case cases[] = {
        {"-3", 1, true}, {"0", 1, true}, {"1", 1, false}, {"64", 64, false}, {"65", 64, true}, {"5000", 64, true},
    };
    std::string script;
    for (size_t i = 0; i < std::size(cases); ++i)
        script +=
            "<b" + std::to_string(i) + ">\nproperty pieces " + cases[i].text + ";\n</b" + std::to_string(i) + ">\n";
    std::filesystem::create_directories("script");
    ASSERT_TRUE(WriteFileBytes("script/bullet.scr", script));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.text);
        Weapon weapon;
        const size_t log = actor_test::LogSize();
        ASSERT_TRUE(ApplyLine(weapon, "bullet b" + std::to_string(i)));
        ASSERT_NE(weapon.bulletTemplate, nullptr);
        EXPECT_EQ(weapon.bulletTemplate->pieces, c.pieces);
        EXPECT_EQ(LogCount(log, "out of 1..64") == 1, c.warned) << actor_test::LogFrom(log);
    }
}

// A second view or bullet block replaces the first; copies of the old template in flight lose it.
TEST_F(WeaponDefinition, SecondViewAndBulletReleaseTheFirst)
{
    Weapon weapon;
    ASSERT_TRUE(ApplyLine(weapon, "fp_anim rifle"));
    ASSERT_TRUE(ApplyLine(weapon, "bullet rifle_bullet"));
    Projectile* first = weapon.bulletTemplate;
    Projectile* copy = new Projectile;
    copy->weapon = &weapon;
    copy->LinkToTemplate(first);
    ASSERT_TRUE(ApplyLine(weapon, "fp_anim rifle"));
    ASSERT_TRUE(ApplyLine(weapon, "bullet grenade_charge"));
    EXPECT_NE(weapon.bulletTemplate, nullptr);
    EXPECT_EQ(copy->source, nullptr);
    EXPECT_EQ(copy->weapon, nullptr);
    EXPECT_EQ(weapon.fpAnims[0].animationCount, 2);
    delete copy;
}

}  // namespace
