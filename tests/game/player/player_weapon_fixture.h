// The player's weapon steps over scripted frames: a real sample soldier ("object\actors\soldier.def",
// his rifle in hand) is the player, the clock is pinned and moves 100 ms a frame, and each frame sets
// the action tables and runs the steps in the player control's order.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_interface.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/random.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/view/game_view.h"
#include "game/player/object_use.h"
#include "game/player/player_control.h"
#include "game/player/player_control_state.h"
#include "game/view/player_view.h"
#include "game/player/player_weapon.h"
#include "game/view/view_roll.h"
#include "platform/test_clock.h"
#include "render/draw2d/hud_input.h"
#include "scene/views/first_person_view.h"
#include "support/def_apply.h"
#include "support/keep_var.h"
#include "tests/actors/weapons/weapon_test_support.h"

namespace player_weapon_test {

constexpr u32_t kStart = 300000;
constexpr u32_t kFrameMs = 100;

// The generator state whose next draw is r (0 .. 32767): the state after the draw is r << 16.
inline u32_t SeedGiving(int r)
{
    u32_t inverse = 214013u;  // the multiplier's inverse modulo 2^32, by Newton's steps
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - 214013u * inverse;
    return ((static_cast<u32_t>(r) << 16) - 2531011u) * inverse;
}

inline void ClearActions()
{
    std::memset(g_input.actionDown, 0, sizeof g_input.actionDown);
    std::memset(g_input.actionReleased, 0, sizeof g_input.actionReleased);
    std::memset(g_input.keyStates, 0, sizeof g_input.keyStates);
}

// Puts back everything the player steps write.
inline void ResetPlayerSteps()
{
    PlayerControlStateReset();
    g_firstPersonControl = FirstPersonControl();
    g_firstPersonView = FirstPersonViewState();
    g_hudInput.flags = HudFlags();
    g_hudInput.commandMenu = CommandMenuState();
    g_game.mouseLookFactorX = g_game.mouseLookFactorY = kDefaultMouseLookFactor;
    g_frameView.currentGameMod = nullptr;
    g_frameView.zoomView = false;
    g_frameView.frameTime = 0.001f;
    GameSetYawPitch(0.0f, 0.0f);
    GameSetFieldOfView(kNormalFieldOfView);
    GameSetPlayerClimbState(false, false);
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    GameSetPlayerPos(origin);
    float* view = GameGetViewPos();
    view[0] = view[1] = view[2] = 0.0f;
    ClearActions();
}

class PlayerWeaponFrames : public weapon_test::WeaponFixture {
protected:
    void SetUp() override
    {
        WeaponFixture::SetUp();
        PlatformTestClockStart(kStart);
        ResetPlayerSteps();
        m_ai = new AIInterface();
        m_soldier = m_ai->body;
        ApplyDefFile("object\\actors\\soldier.def", m_soldier);
        ASSERT_NE(m_soldier->classInfo, nullptr);
        m_rifle = m_soldier->WeaponInHand();
        ASSERT_NE(m_rifle, nullptr);
        ASSERT_EQ(m_rifle, m_soldier->weapons[0]);
        // Rates above the frame's, so that the rate never refuses a shot of a frame.
        m_rifle->fpmFirst = m_rifle->fpmSecond = 1200.0f;
        g_frameView.player = m_soldier;
        g_frameView.frameTime = kFrameMs / 1000.0f;
    }
    void TearDown() override
    {
        g_frameView.player = nullptr;
        if (m_soldier) {
            m_soldier->DetachAI();
            delete m_soldier;
        }
        ResetPlayerSteps();
        PlatformTestClockStop();
        WeaponFixture::TearDown();
    }

    // One frame: the clock moves on, the held and released actions are set, the steps run.
    void Frame(std::initializer_list<u8_t> held, std::initializer_list<u8_t> released = {})
    {
        PlatformTestClockAdvance(kFrameMs);
        ClearActions();
        for (u8_t action : held)
            g_input.actionDown[action] = INPUT_STATE_DOWN;
        for (u8_t action : released)
            g_input.actionReleased[action] = INPUT_STATE_DOWN;
        if (m_withObjectUse)
            ObjectUseUpdate();
        PlayerTriggerGate();
        m_fireAfterGate = g_input.actionDown[ACTION_FIRE] == INPUT_STATE_DOWN;
        const u16_t before = Unit()->roundsInGun;
        PlayerFireStep(GameGetYaw(), GameGetPitch());
        m_roundsLeft = before - Unit()->roundsInGun;
        PlayerZoomStep();
        PlayerReloadStep();
        PlayerWeaponKeysUpdate();
        PlayerRecoilStep();
        g_playerControl.mouseMoved = 0;
        ViewRollUpdate();
    }

    Weapon* Unit() const { return PlayerFiringUnit(m_soldier->WeaponInHand() ? m_soldier->WeaponInHand() : m_rifle); }

    AIInterface* m_ai = nullptr;
    Actor* m_soldier = nullptr;
    Weapon* m_rifle = nullptr;
    bool m_withObjectUse = false;  // the frame runs the object use before the weapon steps
    bool m_fireAfterGate = false;
    int m_roundsLeft = 0;  // rounds that left the magazine in the last frame
    KeepVar m_thirdPerson{gbthirdperson};
};

}  // namespace player_weapon_test
