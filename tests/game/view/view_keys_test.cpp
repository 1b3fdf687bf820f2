// The view-mode keys over scripted frames with a real sample soldier as the player: the binocular's
// steps, the objectives event, night vision, the map and satellite keys, the death check, the
// friendly soldiers' preview row and the satellite cursor.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "ai/rules/script_events.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "game/mission/game_flow.h"
#include "game/view/view_keys.h"
#include "gui/texts/gui_locale.h"
#include "map/map_cvars.h"
#include "map/registry/world_registry.h"
#include "render/camera.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "scene/hud/object_preview.h"
#include "tests/game/player/player_weapon_fixture.h"

namespace {

using player_weapon_test::ClearActions;
using player_weapon_test::PlayerWeaponFrames;

constexpr float kDegree = 3.14159265f / 180.0f;

class ViewKeys : public PlayerWeaponFrames {
protected:
    void SetUp() override
    {
        PlayerWeaponFrames::SetUp();
        ConStartup();
        m_savedNear = g_camera.nearPlane;
        m_savedWidth = g_render.screenWidth;
        ResetViewModes();
    }
    void TearDown() override
    {
        for (AIInterface* ai : m_soldiers) {
            DynObjectRemove(ai->body);
            Actor* body = ai->body;
            body->DetachAI();
            delete body;
        }
        m_soldiers.clear();
        ObjectPreviewClear();
        if (g_ai.eventList == m_events.get())
            g_ai.eventList = nullptr;
        g_frameView.currentGameMod = nullptr;
        GamePlayerSoundView().playerDead = false;
        g_camera.nearPlane = m_savedNear;
        g_render.screenWidth = m_savedWidth;
        ResetViewModes();
        ConShutdown();
        PlayerWeaponFrames::TearDown();
    }
    static void ResetViewModes()
    {
        g_game.satelliteView = 0;
        g_game.savedNightVision = 0;
        g_game.binocularStep = 0;
        g_game.satelliteScans = 0;
        g_game.cursorX = g_game.cursorY = 0.0f;
        g_game.satelliteFieldOfView = 0.0f;
    }
    // One frame of the view keys with the actions given.
    static void Keys(std::initializer_list<u8_t> held, std::initializer_list<u8_t> released)
    {
        ClearActions();
        for (u8_t action : held)
            g_input.actionDown[action] = INPUT_STATE_DOWN;
        for (u8_t action : released)
            g_input.actionReleased[action] = INPUT_STATE_DOWN;
        MapKeyUpdate();
        SatelliteKeyUpdate();
        ObjectivesKeyUpdate();
        NightVisionKeyUpdate();
        BinocularUpdate();
        ClearActions();
    }
    // A soldier of the team placed in the world (the player's team is 0).
    Actor* Soldier(s32_t team)
    {
        auto* ai = new AIInterface();
        m_soldiers.push_back(ai);
        ai->entity->SetTeam(team);
        EXPECT_TRUE(DynObjectAdd(ai->body));
        return ai->body;
    }
    static std::vector<std::string> Messages()
    {
        std::vector<std::string> lines;
        char** slots = ConLines(CON_MESSAGE_CONSOLE);
        for (int i = 0; slots && i < ConLineCapacity(CON_MESSAGE_CONSOLE); ++i)
            if (slots[i])
                lines.emplace_back(slots[i]);
        return lines;
    }

    std::vector<AIInterface*> m_soldiers;
    std::unique_ptr<ScriptEventList> m_events;
    float m_savedNear = 0.0f;
    int m_savedWidth = 0;
    KeepVar m_nightAllowed{mb_nightvision};
    KeepVar m_satEnable{gb_satcamenable};
    KeepVar m_satScan{gb_satcamscan};
    KeepVar m_satNear{rfsatcamnear};
};

TEST_F(ViewKeys, TheBinocularStepsThrough55_25_10AndAlwaysRestartsAt55)
{
    g_playerControl.baseLookFactor = 0.004f;
    Keys({}, {ACTION_BINOCULAR});
    EXPECT_EQ(g_hudInput.flags.binocularView, 1);
    EXPECT_EQ(g_hudInput.flags.quickMode, 1) << "the weapon is lowered";
    EXPECT_FLOAT_EQ(GameGetFieldOfView(), 55.0f * kDegree);
    // The look factor is that of the field of view the key met (the normal one).
    EXPECT_FLOAT_EQ(g_game.mouseLookFactorX, 0.004f);

    const struct {
        u8_t action;
        float degrees;
    } steps[] = {{ACTION_ZOOMIN, 25.0f},  {ACTION_ZOOMIN, 10.0f},  {ACTION_ZOOMIN, 10.0f}, {ACTION_ZOOMOUT, 25.0f},
                 {ACTION_ZOOMOUT, 55.0f}, {ACTION_ZOOMOUT, 55.0f}, {ACTION_ZOOMIN, 25.0f}};
    for (const auto& s : steps) {
        const float before = GameGetFieldOfView();
        Keys({s.action}, {});
        EXPECT_FLOAT_EQ(GameGetFieldOfView(), s.degrees * kDegree) << s.degrees;
        // Each change sets the look factor from the field of view before it.
        if (GameGetFieldOfView() != before) {
            EXPECT_FLOAT_EQ(g_game.mouseLookFactorX, before * 0.004f * 0.63661977f) << s.degrees;
        }
    }
    // The command menu open: the zoom keys are its.
    g_hudInput.flags.commandMenuOpen = 1;
    Keys({ACTION_ZOOMIN}, {});
    EXPECT_FLOAT_EQ(GameGetFieldOfView(), 25.0f * kDegree);
    g_hudInput.flags.commandMenuOpen = 0;

    // Lowered: the normal field of view, whatever it was.
    GameSetFieldOfView(0.3f);
    Keys({}, {ACTION_BINOCULAR});
    EXPECT_EQ(g_hudInput.flags.binocularView, 0);
    EXPECT_EQ(g_hudInput.flags.quickMode, 0);
    EXPECT_FLOAT_EQ(GameGetFieldOfView(), kNormalFieldOfView);
    // Raised again: 55 degrees, not the step it was lowered at.
    Keys({}, {ACTION_BINOCULAR});
    EXPECT_FLOAT_EQ(GameGetFieldOfView(), 55.0f * kDegree);
}

TEST_F(ViewKeys, ObjectivesPressedTwiceFiresOnShowObjectivesOnce)
{
    m_events = std::make_unique<ScriptEventList>(4);
    ScriptEvent* shown = m_events->Add("OnShowObjectives");
    ASSERT_NE(shown, nullptr);
    g_ai.eventList = m_events.get();
    Keys({}, {ACTION_OBJECTIVES});
    EXPECT_EQ(g_hudInput.flags.objectivesShown, 1);
    EXPECT_EQ(shown->fired, 1);
    shown->fired = 0;
    Keys({}, {ACTION_OBJECTIVES});
    EXPECT_EQ(g_hudInput.flags.objectivesShown, 0);
    EXPECT_EQ(shown->fired, 0) << "hiding the objectives fires nothing";

    // A game mode that keeps running keeps the key.
    GameMod mode;
    mode.ownScreens = 1;
    g_frameView.currentGameMod = &mode;
    Keys({}, {ACTION_OBJECTIVES});
    EXPECT_EQ(g_hudInput.flags.objectivesShown, 0);
    EXPECT_EQ(shown->fired, 0);
}

TEST_F(ViewKeys, NightVisionAndTheMapKey)
{
    mb_nightvision.SetBool(true);
    Keys({}, {ACTION_NIGHTVISION});
    EXPECT_EQ(g_hudInput.flags.nightVision, 1);
    EXPECT_TRUE(g_firstPersonControl.nightVision);
    EXPECT_EQ(g_hudInput.flags.quickMode, 1);
    GameSetFieldOfView(0.5f);
    Keys({}, {ACTION_NIGHTVISION});
    EXPECT_EQ(g_hudInput.flags.nightVision, 0);
    EXPECT_FALSE(g_firstPersonControl.nightVision);
    EXPECT_EQ(g_hudInput.flags.quickMode, 0);
    EXPECT_FLOAT_EQ(GameGetFieldOfView(), kNormalFieldOfView);
    // A map without night vision: the key does nothing.
    mb_nightvision.SetBool(false);
    Keys({}, {ACTION_NIGHTVISION});
    EXPECT_EQ(g_hudInput.flags.nightVision, 0);

    Keys({ACTION_MAP}, {});
    EXPECT_EQ(g_hudInput.flags.layer3, 0) << "the map toggles on the release, not while held";
    Keys({}, {ACTION_MAP});
    EXPECT_EQ(g_hudInput.flags.layer3, 1);
    Keys({}, {ACTION_MAP});
    EXPECT_EQ(g_hudInput.flags.layer3, 0);
}

TEST_F(ViewKeys, TheSatelliteKeyOpensTheViewWithNightVisionAndItsNearPlane)
{
    mb_nightvision.SetBool(true);
    rfsatcamnear.SetFloat(0.7f);
    gb_satcamscan.SetBool(true);
    Keys({}, {ACTION_SATCAM});
    EXPECT_EQ(g_game.satelliteView, 1);
    EXPECT_FLOAT_EQ(g_camera.nearPlane, 0.7f);
    EXPECT_EQ(g_hudInput.flags.nightVision, 1);
    EXPECT_EQ(g_game.savedNightVision, 0);
    EXPECT_EQ(g_game.satelliteScans, 1u);
    Keys({}, {ACTION_SATCAM});
    EXPECT_EQ(g_game.satelliteView, 0);
    EXPECT_FLOAT_EQ(g_camera.nearPlane, 0.2f);

    // Not while disabled, nor under a game mode that does not allow it.
    gb_satcamenable.SetBool(false);
    Keys({}, {ACTION_SATCAM});
    EXPECT_EQ(g_game.satelliteView, 0);
    gb_satcamenable.SetBool(true);
    GameMod mode;
    g_frameView.currentGameMod = &mode;
    Keys({}, {ACTION_SATCAM});
    EXPECT_EQ(g_game.satelliteView, 0);
    mode.satelliteView = 1;
    Keys({}, {ACTION_SATCAM});
    EXPECT_EQ(g_game.satelliteView, 1);
}

TEST_F(ViewKeys, TheDeathCheckRunsOncePerDeath)
{
    KeepVar third(gbthirdperson);
    gbthirdperson.SetBool(false);
    g_game.satelliteView = 1;
    GameSetFieldOfView(0.4f);
    PlayerDeathCheck();
    EXPECT_FALSE(GamePlayerSoundView().playerDead) << "alive";

    m_soldier->GetAIEntity()->health = 0.0f;
    PlayerDeathCheck();
    EXPECT_TRUE(GamePlayerSoundView().playerDead);
    EXPECT_TRUE(gbthirdperson.Bool());
    EXPECT_EQ(g_game.satelliteView, 0);
    EXPECT_FLOAT_EQ(GameGetFieldOfView(), kNormalFieldOfView);
    const std::vector<std::string> once = Messages();
    ASSERT_EQ(once.size(), 1u);
    // The message is the death's locale text (the sample's, or the key where no text is given).
    char* deathText = GuiFindLocaleText("messages._gm_player_dead");
    EXPECT_NE(once[0].find(deathText), std::string::npos) << once[0];
    delete[] deathText;
    PlayerDeathCheck();
    EXPECT_EQ(Messages(), once) << "one message per death";

    // Under a game mode the death shows no message.
    GamePlayerSoundView().playerDead = false;
    GameMod mode;
    g_frameView.currentGameMod = &mode;
    PlayerDeathCheck();
    EXPECT_TRUE(GamePlayerSoundView().playerDead);
    EXPECT_EQ(Messages(), once);
}

TEST_F(ViewKeys, FriendlyPreviewsStandAtWidthLess55kAndStopWhenTheSlotsRunOut)
{
    g_render.screenWidth = 800;
    ASSERT_TRUE(DynObjectAdd(m_soldier));
    Actor* first = Soldier(0);
    Soldier(2);                                // an enemy
    Soldier(1);                                // neutral
    Soldier(0)->GetAIEntity()->health = 0.0f;  // dead
    Actor* second = Soldier(0);
    HudAddFriendlyPreviews();
    ASSERT_EQ(ObjectPreviewCount(), 2);
    const struct {
        Actor* soldier;
        s32_t left;
    } row[] = {{first, 745}, {second, 690}};
    for (int k = 0; k < 2; ++k) {
        const ObjectPreview* p = ObjectPreviewAt(k);
        EXPECT_EQ(p->object, row[k].soldier);
        EXPECT_EQ(p->left, row[k].left);
        EXPECT_EQ(p->top, 5);
        EXPECT_EQ(p->width, 50);
        EXPECT_EQ(p->height, 50);
        EXPECT_FLOAT_EQ(p->scale, 1.0f);
    }
    ObjectPreviewClear();

    // 65 friends: the 64 slots take the first 64, the 65th is not added and nothing is overrun.
    while (m_soldiers.size() < 5 + 63)
        Soldier(0);
    HudAddFriendlyPreviews();
    EXPECT_EQ(ObjectPreviewCount(), kObjectPreviewSlots);
    EXPECT_EQ(ObjectPreviewAt(63)->left, 800 - 55 * 64);
    DynObjectRemove(m_soldier);
}

TEST_F(ViewKeys, TheCursorIsGivenInWholePixelsAndTheSatelliteViewStartsAtHalfTheNormal)
{
    g_game.cursorX = 12.9f;
    g_game.cursorY = -3.7f;
    int x = 0, y = 0;
    GameGetCursorPosition(&x, &y);
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, -3);
    SatelliteInitFieldOfView();
    EXPECT_FLOAT_EQ(g_game.satelliteFieldOfView, 0.5f * kNormalFieldOfView);
}

}  // namespace
