// The first-person weapon view's state machine over fake weapons held by a fake player: which
// animation slot each situation shows, when its phases end, the reload started at the end of the
// reload animation, the idle variants, the sound requests, and the cases in which the weapon is not
// drawn. Every animation has 10 frames played at 10 frames a second, frames of 0.1 s: one frame a
// call, so a phase ends on the call that finds the time at frame 8 (N - 2).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "actors/actor.h"
#include "actors/anim_entry.h"
#include "actors/weapons/first_person_weapon.h"
#include "actors/weapons/weapon.h"
#include "core/input/actions.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/random.h"
#include "core/sound/sound_system.h"
#include "game/game_state.h"
#include "gui/screens/gui.h"
#include "platform/test_clock.h"
#include "platform/win32.h"
#include "scene/views/first_person_view.h"
#include "scene/passes/frame_state.h"
#include "scene/passes/scene_passes.h"
#include "support/keep_var.h"
#include "support/temp_dir.h"
#include "render/camera.h"
#include "render/fpw_transform.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/state_cache.h"
#include "tools/aff_make/aff_writer.h"
#include "world/animation/anim_cache.h"
#include "support/render_test_support.h"
#include "world/animation/anim_mesh.h"

namespace {

constexpr u32_t kFrames = 10;

class FirstPersonView : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        PlatformTestClockStart(1000000);
        EngineSRand(1);
        m_a = MakeWeapon(1);
        m_b = MakeWeapon(1);
        m_player.weapons[0] = m_a.get();
        m_player.selectedSlot = 0;
        g_frameView.player = &m_player;
        g_frameView.frameTime = 0.1f;
        g_firstPersonView = FirstPersonViewState();
        g_firstPersonControl = FirstPersonControl();
        ClearInput();
        g_sound.playerRequests = {};
        ASSERT_EQ(RenderBeginFrame(), 0);
        // The main view's camera, whose field of view the weapon camera scales.
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
    }
    void TearDown() override
    {
        RenderEndFrame(true);
        for (Weapon*& weapon : m_player.weapons)
            weapon = nullptr;
        g_frameView.player = nullptr;
        g_frameView.frameTime = 0.001f;
        g_frameView.screenOpen = false;
        g_firstPersonView = FirstPersonViewState();
        g_firstPersonControl = FirstPersonControl();
        ClearInput();
        g_sound.playerRequests = {};
        PlatformTestClockStop();
        RenderCore::TearDown();
    }

    static void ClearInput()
    {
        for (u8_t& down : g_input.actionDown)
            down = 0;
    }
    static void Press(u32_t action, bool down) { g_input.actionDown[action] = down ? 0xFF : 0; }

    // A weapon whose every slot holds the given number of variants, each its own 10-frame animation.
    std::unique_ptr<Weapon> MakeWeapon(u16_t variants)
    {
        auto weapon = std::make_unique<Weapon>();
        weapon->fpAnims = new AnimEntry[MAX_WEAPON_FP_ANIMS];
        for (u32_t slot = 0; slot < MAX_WEAPON_FP_ANIMS; ++slot) {
            AnimEntry& entry = weapon->fpAnims[slot];
            for (u16_t v = 0; v < variants; ++v) {
                auto mesh = std::make_unique<AnimMesh>();
                mesh->frames = new AnimFrame[kFrames];
                mesh->frames_c = kFrames;
                entry.animations[v] = mesh.get();
                entry.slotSpeed[v] = 10.0f;
                m_meshes.push_back(std::move(mesh));
            }
            entry.animationCount = variants;
        }
        weapon->fpScale = {1.0f, 1.0f, 1.0f};
        weapon->fpFov = 1.0f;
        weapon->fireMode = kFireModeAuto;
        weapon->roundsInGun = 30;
        weapon->burstCount = 3;
        weapon->semiShotValue = 1;
        return weapon;
    }

    // One frame: the view, then the player's update that does what it asked; the slot it showed.
    u32_t Step()
    {
        RenderFirstPersonView();
        FirstPersonWeaponUpdate(m_player);
        return g_firstPersonView.slot;
    }
    // Calls until the view shows another slot (at most 40); the slots shown on the way, in order,
    // each once.
    std::vector<u32_t> RunUntilSettled(u32_t calls = 40)
    {
        std::vector<u32_t> shown;
        for (u32_t i = 0; i < calls; ++i) {
            const u32_t slot = Step();
            if (shown.empty() || shown.back() != slot)
                shown.push_back(slot);
        }
        return shown;
    }
    // Draws the first weapon and lets it settle in its aim animation.
    void Ready()
    {
        const std::vector<u32_t> shown = RunUntilSettled(12);
        ASSERT_EQ(shown, (std::vector<u32_t>{FP_SLOT_SWITCH_TO, FP_SLOT_AIM}));
        ASSERT_EQ(g_firstPersonView.previousWeapon, m_a.get());
    }

    KeepAllVars m_vars;
    Actor m_player;
    std::vector<std::unique_ptr<AnimMesh>> m_meshes;
    std::unique_ptr<Weapon> m_a, m_b;
};

using Slots = std::vector<u32_t>;

TEST_F(FirstPersonView, FiringShowsTheShotThenItsEndByFireMode)
{
    Ready();
    const struct {
        const char* name;
        u32_t mode;
        int heldCalls;  // calls with fire down and a round fired
        Slots expected;
    } rows[] = {
        {"SEMI: one shot for one pull", kFireModeSingle, 1, {FP_SLOT_SHOT, FP_SLOT_SHOT_DONE, FP_SLOT_AIM}},
        {"AUTO: the shot while held", kFireModeAuto, 5, {FP_SLOT_SHOT, FP_SLOT_SHOT_DONE, FP_SLOT_AIM}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        m_a->fireMode = row.mode;
        g_firstPersonControl.semiShotCounter = 1;
        Slots shown;
        for (int i = 0; i < row.heldCalls; ++i) {
            Press(ACTION_FIRE, true);
            g_firstPersonControl.firedThisFrame = true;
            const u32_t slot = Step();
            if (shown.empty() || shown.back() != slot)
                shown.push_back(slot);
        }
        Press(ACTION_FIRE, false);
        g_firstPersonControl.firedThisFrame = false;
        for (u32_t slot : RunUntilSettled(20))
            if (shown.back() != slot)
                shown.push_back(slot);
        EXPECT_EQ(shown, row.expected);
    }

    // A burst shows no shot end between its rounds, only after the burst's rounds have left.
    m_a->fireMode = kFireModeBurst;
    g_firstPersonControl.burstStartRounds = 30;
    g_firstPersonControl.burstRunning = true;
    m_a->roundsInGun = 29;
    EXPECT_EQ(Step(), FP_SLOT_SHOT);
    g_firstPersonControl.burstRunning = false;
    EXPECT_EQ(Step(), FP_SLOT_AIM);  // one round of three: no shot end
    g_firstPersonControl.burstRunning = true;
    m_a->roundsInGun = 27;
    EXPECT_EQ(Step(), FP_SLOT_SHOT);
    g_firstPersonControl.burstRunning = false;
    EXPECT_EQ(Step(), FP_SLOT_SHOT_DONE);  // the burst's three rounds are out
}

TEST_F(FirstPersonView, ASwitchPutsTheOldWeaponAwayThenDrawsTheNewOne)
{
    Ready();
    m_player.weapons[0] = m_b.get();
    EXPECT_EQ(RunUntilSettled(25), (Slots{FP_SLOT_SWITCH_FROM, FP_SLOT_SWITCH_TO, FP_SLOT_AIM}));
    EXPECT_EQ(g_firstPersonView.previousWeapon, m_b.get());
    EXPECT_FALSE(g_firstPersonView.switching);

    // A sub-weapon switch plays only the previous weapon's "SwitchToSub" and clears its request.
    m_b->switchPending = true;
    m_player.weapons[0] = m_a.get();
    EXPECT_EQ(RunUntilSettled(15), (Slots{FP_SLOT_SWITCH_TO_SUB, FP_SLOT_AIM}));
    EXPECT_FALSE(m_b->switchPending);
    EXPECT_FALSE(g_firstPersonView.subWeaponSwitch);
    EXPECT_EQ(g_firstPersonView.previousWeapon, m_a.get());
}

// The magazine is refilled by the weapon's reload only when the reload animation reaches N - 2; a
// weapon drawn empty keeps its plain forms and reloads with "ReloadHolster".
TEST_F(FirstPersonView, TheReloadEndsWithTheAnimationAndADrawnEmptyWeaponHolstersToReload)
{
    for (Weapon* weapon : {m_a.get(), m_b.get()}) {
        weapon->magazineCountFull = 2;
        weapon->magazineCap = weapon->magazineCapFull = 30;
        weapon->FillMagazines();
        weapon->spareMagazines = 2;
    }
    Ready();
    m_a->roundsInGun = 0;
    m_a->SetMagazineRounds(0, 0);
    EXPECT_EQ(Step(), FP_SLOT_AIM_EMPTY);
    m_player.reloading = true;
    EXPECT_EQ(Step(), FP_SLOT_RELOAD);
    m_player.reloading = false;
    int calls = 1;
    while (m_a->roundsInGun == 0 && calls < 40) {
        EXPECT_EQ(Step(), FP_SLOT_RELOAD);
        ++calls;
    }
    EXPECT_EQ(calls, 9);  // the call that found frame 8
    EXPECT_EQ(m_a->roundsInGun, 30);
    EXPECT_EQ(Step(), FP_SLOT_AIM);

    // Drawn with an empty magazine: "SwitchTo" and "Aim", then "ReloadHolster".
    m_b->roundsInGun = 0;
    m_b->SetMagazineRounds(0, 0);
    m_player.weapons[0] = m_b.get();
    EXPECT_EQ(RunUntilSettled(25), (Slots{FP_SLOT_SWITCH_FROM, FP_SLOT_SWITCH_TO, FP_SLOT_AIM}));
    EXPECT_TRUE(g_firstPersonView.drawnEmpty);
    m_player.reloading = true;
    EXPECT_EQ(Step(), FP_SLOT_RELOAD_HOLSTER);
    m_player.reloading = false;
    EXPECT_EQ(RunUntilSettled(12), (Slots{FP_SLOT_RELOAD_HOLSTER, FP_SLOT_AIM}));
    EXPECT_FALSE(g_firstPersonView.drawnEmpty);
    EXPECT_EQ(m_b->roundsInGun, 30);
}

// The view only asks: the reload its animation ended and the sound of the reload slot wait for the
// player's update, which finishes the reload with no view drawn, once.
TEST_F(FirstPersonView, ThePlayersUpdateFinishesTheReloadTheViewEndedWithoutDrawing)
{
    m_a->magazineCountFull = 2;
    m_a->magazineCap = m_a->magazineCapFull = 30;
    m_a->FillMagazines();
    m_a->spareMagazines = 2;
    Ready();
    m_a->roundsInGun = 0;
    m_a->SetMagazineRounds(0, 0);
    g_sound.playerRequests = {};
    m_player.reloading = true;
    int calls = 0;
    while (!g_firstPersonView.reloadEnded && calls < 40) {
        RenderFirstPersonView();
        ++calls;
    }
    m_player.reloading = false;
    ASSERT_TRUE(g_firstPersonView.reloadEnded);
    EXPECT_EQ(calls, 9);  // the call that found frame 8
    EXPECT_EQ(m_a->roundsInGun, 0);
    EXPECT_EQ(g_sound.playerRequests.request[FP_SLOT_RELOAD + 1], 0);

    FirstPersonWeaponUpdate(m_player);
    EXPECT_EQ(m_a->roundsInGun, 30);
    EXPECT_EQ(g_sound.playerRequests.request[FP_SLOT_RELOAD + 1], 1);
    EXPECT_FALSE(g_firstPersonView.reloadEnded);
    m_a->roundsInGun = 5;
    g_sound.playerRequests = {};
    FirstPersonWeaponUpdate(m_player);
    EXPECT_EQ(m_a->roundsInGun, 5);
    EXPECT_EQ(g_sound.playerRequests.request[FP_SLOT_RELOAD + 1], 0);
}

TEST_F(FirstPersonView, StandingStillBringsIdleVariantsAndMovingGoesBackToTheFirst)
{
    m_a = MakeWeapon(3);
    m_player.weapons[0] = m_a.get();
    Ready();
    // Before 15.5 s nothing changes the variant.
    RunUntilSettled(20);
    EXPECT_EQ(g_firstPersonView.variant, 0u);
    bool idle = false;
    for (int round = 0; round < 20 && !idle; ++round) {
        PlatformTestClockAdvance(FP_IDLE_MS);
        RunUntilSettled(10);
        idle = g_firstPersonView.variant != 0;
    }
    EXPECT_TRUE(idle);
    Press(ACTION_MOVE_FORWARD, true);
    Step();
    EXPECT_EQ(g_firstPersonView.variant, 0u);
}

TEST_F(FirstPersonView, EachSlotRaisesItsSoundRequestOnce)
{
    Ready();
    EXPECT_EQ(g_sound.playerRequests.request[FP_SLOT_SWITCH_TO + 1], 1);  // slot 4: index 5
    EXPECT_EQ(g_sound.playerRequests.request[1], 1);                      // the aim, with its variant
    EXPECT_EQ(g_sound.playerRequests.aimIndex, 0);
    g_sound.playerRequests = {};
    Step();
    EXPECT_EQ(g_sound.playerRequests.request[1], 0);  // the same slot again: no new request

    // The shot raises none.
    g_firstPersonControl.firedThisFrame = true;
    Press(ACTION_FIRE, true);
    EXPECT_EQ(Step(), FP_SLOT_SHOT);
    for (u8_t request : g_sound.playerRequests.request)
        EXPECT_EQ(request, 0);
    g_firstPersonControl.firedThisFrame = false;
    Press(ACTION_FIRE, false);
    EXPECT_EQ(Step(), FP_SLOT_SHOT_DONE);
    EXPECT_EQ(g_sound.playerRequests.request[FP_SLOT_SHOT_DONE + 1], 1);  // slot 3: index 4

    m_player.reloading = true;
    m_a->roundsInGun = 0;
    RunUntilSettled(12);
    m_player.reloading = false;
    EXPECT_EQ(g_sound.playerRequests.request[FP_SLOT_RELOAD_EMPTY], 0);
    EXPECT_EQ(g_sound.playerRequests.request[FP_SLOT_RELOAD + 1], 1);  // slot 2: index 3
}

// The weapon is not drawn with rbfp off, while a GUI screen is open, or while zooming with a
// scope; its animation goes on all the same. A slot without variants draws nothing and stands still.
TEST_F(FirstPersonView, HiddenWeaponsStillAnimateAndASlotWithoutVariantsStandsStill)
{
    Ready();
    const struct {
        const char* name;
        bool rbfpOn, zoom, scope, screen;
        bool drawn;
    } rows[] = {
        {"drawn", true, false, false, false, true},
        {"rbfp off", false, false, false, false, false},
        {"zoom without a scope", true, true, false, false, true},
        {"zoom with a scope", true, true, true, false, false},
        {"screen open", true, false, false, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        rbfp.SetBool(row.rbfpOn);
        Press(ACTION_ZOOM, row.zoom);
        m_b->scopeValue = row.scope ? 1 : 0;  // the weapon now held
        g_frameView.screenOpen = row.screen;
        m_player.weapons[0] = m_b.get();  // a switch, whose time must run
        g_firstPersonView.animTime = 0.0f;
        const float before = g_firstPersonView.animTime;
        Step();
        EXPECT_EQ(g_firstPersonView.drew, row.drawn);
        EXPECT_GT(g_firstPersonView.animTime, before);
        RunUntilSettled(25);
        m_player.weapons[0] = m_a.get();
        RunUntilSettled(25);
    }
    rbfp.SetBool(true);
    Press(ACTION_ZOOM, false);
    g_frameView.screenOpen = false;

    m_a->fpAnims[FP_SLOT_AIM].animationCount = 0;
    const float time = g_firstPersonView.animTime;
    EXPECT_EQ(Step(), FP_SLOT_AIM);
    EXPECT_FALSE(g_firstPersonView.drew);
    EXPECT_EQ(g_firstPersonView.animTime, time);
}

// A weapon definition without sway values (every divisor 0) leaves the walk offsets at 0 rather than
// making the weapon matrix infinite; a one-frame reversed animation starts at frame 0.
TEST_F(FirstPersonView, MissingSwayValuesAndOneFrameAnimationsGiveAFiniteWeapon)
{
    Ready();
    Press(ACTION_MOVE_FORWARD, true);
    g_firstPersonControl.walkTime = 1.3f;
    for (int i = 0; i < 3; ++i)
        Step();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_TRUE(std::isfinite(g_firstPersonView.world.m[r][c])) << r << " " << c;
    EXPECT_EQ(g_firstPersonView.walkBob.x, 0.0f);

    m_a->fpAnims[FP_SLOT_AIM].reverse = 1;
    m_a->fpAnims[FP_SLOT_AIM].animations[0]->frames_c = 1;
    Step();
    EXPECT_TRUE(g_firstPersonView.drew);
}

TEST_F(FirstPersonView, TheSunIsTracedAtMostOnceIn200Milliseconds)
{
    Step();
    const u32_t first = g_firstPersonView.lastSunTrace;
    EXPECT_EQ(first, GetTickCount());
    PlatformTestClockAdvance(FP_SUN_TRACE_MS);
    Step();
    EXPECT_EQ(g_firstPersonView.lastSunTrace, first);  // the last answer holds
    PlatformTestClockAdvance(1);
    Step();
    EXPECT_EQ(g_firstPersonView.lastSunTrace, first + FP_SUN_TRACE_MS + 1);
}

TEST_F(FirstPersonView, TheResetClearsTheMarkedStateAndKeepsTheRest)
{
    Ready();
    g_firstPersonView.drawnEmpty = true;
    g_firstPersonView.reloading = true;
    g_firstPersonView.lastSoundSlot = 4;
    g_firstPersonView.reloadEnded = true;  // a reload asked in the last mission is not done in the next
    RenderResetFrameState();
    EXPECT_EQ(g_firstPersonView.previousWeapon, nullptr);
    EXPECT_FALSE(g_firstPersonView.reloading);
    EXPECT_FALSE(g_firstPersonView.reloadEnded);
    EXPECT_EQ(g_firstPersonView.lastChosen, nullptr);
    EXPECT_TRUE(g_firstPersonView.drawnEmpty);
    EXPECT_EQ(g_firstPersonView.lastSoundSlot, 4u);
}

// The weapon is drawn with depth range 0..0: in front of world geometry nearer than itself.
TEST_F(FirstPersonView, TheWeaponIsDrawnInFrontOfNearerWorldGeometry)
{
    TempDir folder;
    // A green box of side 10 round the weapon camera, its faces wound both ways: whichever way the
    // weapon's model turns it, a face fills the view 5 units ahead.
    const float green[3] = {0, 1, 0};
    std::vector<aff::Mesh> faces;
    for (float side : {-5.0f, 5.0f}) {
        faces.push_back(aff::QuadMesh(0, {{{side, -50, -50}, {side, 50, -50}, {side, 50, 50}, {side, -50, 50}}}));
        faces.push_back(aff::QuadMesh(0, {{{side, -50, -50}, {side, -50, 50}, {side, 50, 50}, {side, 50, -50}}}));
        faces.push_back(aff::QuadMesh(0, {{{-50, -50, side}, {50, -50, side}, {50, 50, side}, {-50, 50, side}}}));
        faces.push_back(aff::QuadMesh(0, {{{-50, -50, side}, {-50, 50, side}, {50, 50, side}, {50, -50, side}}}));
    }
    for (aff::Mesh& mesh : faces) {
        for (int k = 0; k < 3; ++k) {
            mesh.material.ambient[k] = mesh.material.diffuse[k] = 0.0f;
            mesh.material.emissive[k] = green[k];
        }
        mesh.material.textureWord = 0xFFFF;
    }
    aff::AffFile file;
    file.strings = {"gun"};
    file.frames.assign(kFrames, aff::Frame{faces});
    ASSERT_TRUE(aff::WriteAff("gun.aff", file));
    AnimMesh* gun = AnimCacheAcquire("gun.aff", false);
    ASSERT_NE(gun, nullptr);
    // Drawn meshes, not pins.
    for (u32_t f = 0; f < gun->frames_c; ++f)
        for (u32_t m = 0; m < gun->frames[f].meshes_c; ++m)
            gun->frames[f].meshes[m].flags |= ANIM_MESH_TAKES_DECALS;
    for (u32_t slot : {u32_t(FP_SLOT_SWITCH_TO), u32_t(FP_SLOT_AIM)})
        m_a->fpAnims[slot].animations[0] = gun;
    Ready();

    // Nearer world geometry: a red quad at depth 0.05 over the whole screen.
    g_render.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    RenderSetState(D3DRS_LIGHTING, 0);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT);
    RenderSetTexture(0, nullptr);
    render_test::DrawScreenQuad(g_render.device, 0, 0, kWidth, kHeight, 0xFFFF0000u, 0.05f);
    DynBuffersForgetCurrent();  // the quad drew from memory with its own format
    EXPECT_EQ(Step(), FP_SLOT_AIM);
    EXPECT_TRUE(g_firstPersonView.drew);
    EXPECT_EQ(FPWGetCurrentObject(), gun);
    const render_test::Pixels pixels = render_test::ReadBackBuffer(g_render.device);
    EXPECT_TRUE(render_test::ColourNear(pixels.At(kWidth / 2, kHeight / 2), 0xFF00FF00u, 8));
    AnimCacheFreeAll();
}

}  // namespace
