// The HUD layer compositor: which screens it draws, in which order, for each game state; the
// timed message slots under a fake clock; the squad previews; the states it leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "core/frame_view.h"
#include "core/mission_timers.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/player/player_control.h"
#include "game/view/player_view.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_controls.h"
#include "render/draw2d/bitmap_font.h"
#include "render/camera.h"
#include "render/draw2d/hud.h"
#include "render/draw2d/hud_input.h"
#include "render/device/render_clock.h"
#include "render/render_cvars.h"
#include "scene/hud/command_menu.h"
#include "scene/hud/hud_overlays.h"
#include "scene/hud/object_preview.h"
#include "scene/scene_state.h"
#include "support/render_test_support.h"

using namespace render_test;
using Names = std::vector<std::string>;

namespace {

Names g_drawn;
DWORD g_now = 100000;
DWORD FakeClock()
{
    return g_now;
}

// A loaded screen that notes each draw, and checks that it is the current screen while it draws
// over the whole screen.
class RecordingScreen : public GuiScreen {
public:
    explicit RecordingScreen(const char* screenName) : GuiScreen(screenName) {}
    void Draw(float drawLeft, float drawTop, float drawWidth, float drawHeight) override
    {
        EXPECT_EQ(g_gui.currentScreen, this);
        EXPECT_EQ(drawLeft, 0.0f);
        EXPECT_EQ(drawTop, 0.0f);
        EXPECT_EQ(drawWidth, 1.0f);
        EXPECT_EQ(drawHeight, 1.0f);
        g_drawn.push_back(name.Text());
    }
};

GuiScreen* AddScreen(const char* name, const char* control = nullptr)
{
    auto* screen = new RecordingScreen(name);
    if (control) {
        GuiControl* item = GuiCreateControl("textbox");
        item->name.Assign(control);
        screen->AddControl(item);
    }
    GuiAddScreen(screen);
    return screen;
}

class Hud : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        RenderSetClock(FakeClock);
        StartWorld();
    }
    void TearDown() override
    {
        EndWorld();
        RenderSetClock(nullptr);
        RenderCore::TearDown();
    }

    // The screens, the player with a rifle in slot 2, a tank whose seat carries a gun; every flag off.
    void StartWorld()
    {
        for (const char* name :
             {"LAYER0", "LAYER3", "LAYER5", "LAYER6",    "LAYER7", "LAYER8",     "LAYER9", "BINOCULAR",
              "AUTO",   "SEMI",   "BURST",  "QUICKMODE", "ITF",    "OBJECTIVES", "ladder", "crouch",
              "prone",  "stay",   "CROSS",  "SCOPE",     "RIFLE",  "MGCROSS",    "MG",     "TANKHUD"})
            AddScreen(name);
        AddScreen("LAYER10", "subtitles");
        AddScreen("layer11", "MissionMsg");  // controls are found without regard to case
        AddScreen("layer12", "accomplishmsg");
        AddScreen("layer13", "response");
        m_inset = AddScreen("LAYER4");
        m_inset->top = 0.25f;
        m_inset->left = 0.5f;
        m_inset->width = 0.25f;
        m_inset->height = 0.5f;

        m_actor = std::make_unique<Actor>();
        m_rifle = std::make_unique<Weapon>();
        m_gun = std::make_unique<Weapon>();
        m_tank = std::make_unique<Vehicle>();
        m_seat = VehicleSeat();
        m_rifle->crosshairScreen = GuiFindScreen("CROSS");
        m_rifle->zoomScreen = GuiFindScreen("SCOPE");
        m_rifle->statScreen = GuiFindScreen("RIFLE");
        m_rifle->fireModeCount = 1;
        m_rifle->fireMode = kFireModeSingle;
        m_gun->crosshairScreen = GuiFindScreen("MGCROSS");
        m_gun->statScreen = GuiFindScreen("MG");
        m_seat.screen = GuiFindScreen("TANKHUD");
        m_actor->weapons[2] = m_rifle.get();
        m_actor->weaponOwned[2] = true;
        m_actor->selectedSlot = 2;
        m_seat.weapon = m_gun.get();
        g_frameView.player = m_actor.get();
        g_drawn.clear();
    }
    void EndWorld()
    {
        g_frameView.player = nullptr;
        m_actor->weaponOwned[2] = false;  // the rifle is the test's
        m_actor.reset();
        m_rifle.reset();
        m_gun.reset();
        m_tank.reset();
        g_hudInput.flags = {};
        g_hudInput.commandMenu = {};
        CommandMenuSetLineTracer(nullptr);
        g_frameView.zoomView = false;
        g_frameView.inGameDisplay = false;
        g_hudInput.flags.firstPersonViewState = 0;
        GamePlayerSoundView().playerDead = false;
        GameSetPlayerClimbState(false, false);
        gbteskenable.SetBool(false);
        rbwireframe.SetBool(false);
        g_gui.subtitleSlot = g_gui.captionSlot = g_gui.recordSlot = g_gui.responseSlot = {};
        ClearTimers();
        ObjectPreviewClear();
        HudOverlayRequestsClear();
        GuiShutdown();
    }

    // Every screen goes; the weapons' screens with them.
    void DropScreens()
    {
        GuiShutdown();
        m_rifle->crosshairScreen = m_rifle->zoomScreen = m_rifle->statScreen = nullptr;
        m_gun->crosshairScreen = m_gun->statScreen = nullptr;
    }

    Names Draw(bool external = false)
    {
        g_drawn.clear();
        external ? HudDrawLayersExternal() : HudDrawLayers();
        return g_drawn;
    }

public:
    std::unique_ptr<Actor> m_actor;
    std::unique_ptr<Weapon> m_rifle, m_gun;
    std::unique_ptr<Vehicle> m_tank;
    VehicleSeat m_seat;
    GuiScreen* m_inset = nullptr;
};

TEST_F(Hud, TheLayersFollowTheGameState)
{
    struct Case {
        const char* what;
        std::function<void(Hud&)> set;
        Names expected;
    };
    const Case cases[] = {
        {"on foot", [](Hud&) {}, {"CROSS", "RIFLE", "LAYER5", "stay"}},
        {"dead", [](Hud&) { GamePlayerSoundView().playerDead = true; }, {}},
        {"in-game screen", [](Hud&) { g_frameView.inGameDisplay = true; }, {}},
        {"mission over", [](Hud&) { g_hudInput.flags.missionEnded = 1; }, {}},
        {"sight with a scope", [](Hud&) { g_hudInput.flags.sightView = 1; }, {"SCOPE", "RIFLE", "LAYER5", "stay"}},
        {"sight while the first-person view is busy",
         [](Hud&) {
             g_hudInput.flags.sightView = 1;
             g_hudInput.flags.firstPersonViewState = 1;
         },
         {"RIFLE", "LAYER5", "stay"}},
        {"sight without a scope",
         [](Hud& t) {
             g_hudInput.flags.sightView = 1;
             t.m_rifle->zoomScreen = nullptr;
         },
         {"CROSS", "RIFLE", "LAYER5", "stay"}},
        {"binocular", [](Hud&) { g_hudInput.flags.binocularView = 1; }, {"BINOCULAR", "LAYER5", "stay"}},
        {"automatic of three modes",
         [](Hud& t) {
             t.m_rifle->fireModeCount = 3;
             t.m_rifle->fireMode = kFireModeAuto;
         },
         {"CROSS", "RIFLE", "AUTO", "LAYER0", "LAYER5", "stay"}},
        {"single of two modes",
         [](Hud& t) {
             t.m_rifle->fireModeCount = 2;
             t.m_rifle->fireMode = kFireModeSingle;
         },
         {"CROSS", "RIFLE", "SEMI", "LAYER0", "LAYER5", "stay"}},
        {"burst",
         [](Hud& t) { t.m_rifle->fireModeCount = 2, t.m_rifle->fireMode = kFireModeBurst; },
         {"CROSS", "RIFLE", "BURST", "LAYER0", "LAYER5", "stay"}},
        {"unknown mode",
         [](Hud& t) { t.m_rifle->fireModeCount = 2, t.m_rifle->fireMode = 0x40; },
         {"CROSS", "RIFLE", "LAYER0", "LAYER5", "stay"}},
        {"one mode", [](Hud& t) { t.m_rifle->fireMode = kFireModeAuto; }, {"CROSS", "RIFLE", "LAYER5", "stay"}},
        {"empty slot", [](Hud& t) { t.m_actor->weaponOwned[2] = false; }, {"LAYER5", "stay"}},
        {"no player", [](Hud&) { g_frameView.player = nullptr; }, {"LAYER5"}},
        {"driving",
         [](Hud& t) {
             t.m_seat.driver = 1;
             t.m_actor->inVehicle = true, t.m_actor->vehicle = t.m_tank.get(), t.m_actor->seat = &t.m_seat;
         },
         {"MG", "TANKHUD", "LAYER5"}},
        {"riding at the gun",
         [](Hud& t) { t.m_actor->inVehicle = true, t.m_actor->vehicle = t.m_tank.get(), t.m_actor->seat = &t.m_seat; },
         {"MGCROSS", "MG", "TANKHUD", "LAYER5"}},
        {"toggles and meters",
         [](Hud& t) {
             g_hudInput.flags.layer3 = g_hudInput.flags.nightVision = g_hudInput.flags.quickMode = 1;
             g_frameView.zoomView = true;
             t.m_actor->oxygen = 5.0f, t.m_actor->oxygenMax = 10.0f;
         },
         {"CROSS", "RIFLE", "LAYER3", "LAYER5", "LAYER6", "LAYER7", "LAYER8", "QUICKMODE", "stay"}},
        {"full meter",
         [](Hud& t) { t.m_actor->oxygen = t.m_actor->oxygenMax = 10.0f; },
         {"CROSS", "RIFLE", "LAYER5", "stay"}},
        {"crouched", [](Hud& t) { t.m_actor->crouched = true; }, {"CROSS", "RIFLE", "LAYER5", "crouch"}},
        {"prone", [](Hud& t) { t.m_actor->prone = true; }, {"CROSS", "RIFLE", "LAYER5", "prone"}},
        {"crouched on a ladder",
         [](Hud& t) {
             t.m_actor->crouched = true;
             GameSetPlayerClimbState(true, false);
         },
         {"CROSS", "RIFLE", "LAYER5", "ladder"}},
        {"timer and objectives",
         [](Hud&) {
             StartTimer(nullptr, "bridge", 30);
             g_hudInput.flags.objectivesShown = 1;
         },
         {"CROSS", "RIFLE", "LAYER5", "stay", "ITF", "OBJECTIVES"}},
        {"inset view", [](Hud&) { gbteskenable.SetBool(true); }, {"CROSS", "RIFLE", "LAYER4", "LAYER5", "stay"}},
    };
    for (const Case& c : cases) {
        c.set(*this);
        EXPECT_EQ(Draw(), c.expected) << c.what;
        EXPECT_EQ(g_gui.currentScreen, nullptr) << c.what;
        EndWorld();
        StartWorld();
    }
}

// The game frame still runs under a screen opened over the mission, before the GUI's frame: the
// layers draw as the current screen, and the opened screen is current again afterwards.
TEST_F(Hud, TheScreenOpenedOverTheMissionStaysCurrent)
{
    GuiScreen* menu = AddScreen("_MAINMENU");
    for (bool external : {false, true}) {
        g_gui.currentScreen = menu;
        EXPECT_FALSE(Draw(external).empty());
        EXPECT_EQ(g_gui.currentScreen, menu) << (external ? "external camera" : "first person");
    }
    g_gui.currentScreen = nullptr;
}

TEST_F(Hud, TheExternalCameraDrawsTheReducedSet)
{
    struct Case {
        const char* what;
        std::function<void()> set;
        Names expected;
    };
    const Case cases[] = {
        {"plain", [] {}, {"LAYER5"}},
        {"dead", [] { GamePlayerSoundView().playerDead = true; }, {}},
        {"mission over", [] { g_hudInput.flags.missionEnded = 1; }, {}},
        {"everything on",
         [] {
             g_frameView.zoomView = true;
             g_hudInput.flags.layer3 = g_hudInput.flags.quickMode = g_hudInput.flags.layer9 =
                 g_hudInput.flags.objectivesShown = 1;
             g_hudInput.flags.binocularView = g_hudInput.flags.nightVision = 1;  // not part of this set
         },
         {"LAYER5", "LAYER6", "LAYER3", "QUICKMODE", "LAYER9", "OBJECTIVES"}},
        {"caption even while a game mode runs",
         [] {
             g_hudInput.flags.gameModeRunning = 1;
             g_gui.captionSlot = {1, g_now, 1000};
         },
         {"LAYER5", "layer11"}},
    };
    for (const Case& c : cases) {
        c.set();
        EXPECT_EQ(Draw(true), c.expected) << c.what;
        EndWorld();
        StartWorld();
    }
}

TEST_F(Hud, AMessageShowsUntilItsTimeIsUpAndIsClearedOnTheFrameAfter)
{
    g_gui.subtitleSlot = {1, 5000, 800};
    struct Step {
        DWORD now;
        bool drawn;
        u8_t shown;
    };
    const Step steps[] = {{5000, true, 1}, {5800, true, 1}, {5801, false, 0}, {6000, false, 0}};
    for (const Step& step : steps) {
        g_now = step.now;
        const Names drawn = Draw(true);
        EXPECT_EQ(std::find(drawn.begin(), drawn.end(), "LAYER10") != drawn.end(), step.drawn) << step.now;
        EXPECT_EQ(g_gui.subtitleSlot.shown, step.shown) << step.now;
    }
    // The tick count wraps: the difference still measures the time shown.
    g_gui.subtitleSlot = {1, 0xFFFFFF00u, 0x200};
    g_now = 0x80;
    Draw();
    EXPECT_EQ(g_gui.subtitleSlot.shown, 1);
}

TEST_F(Hud, AMessageLayerWithoutItsControlIsNotDrawn)
{
    DropScreens();
    AddScreen("LAYER10", "other");
    AddScreen("LAYER5");
    g_gui.subtitleSlot = {1, g_now, 1000};
    EXPECT_EQ(Draw(), Names{"LAYER5"});
    EXPECT_EQ(g_gui.subtitleSlot.shown, 1);
}

TEST_F(Hud, WhileAGameModeRunsTheMissionMessagesNeitherShowNorExpire)
{
    // Times near the real clock: the GUI stamps the response it is asked for with GetTickCount.
    const DWORD base = GetTickCount();
    g_gui.captionSlot = {1, base, 100};
    g_gui.recordSlot = {1, base, 100};
    g_gui.responseSlot = {1, base, 100};
    g_hudInput.flags.gameModeRunning = 1;
    g_now = base + 50;
    EXPECT_EQ(Draw(), (Names{"CROSS", "RIFLE", "LAYER5", "stay"}));
    g_now = base + 5000;
    Draw();
    EXPECT_EQ(g_gui.captionSlot.shown + g_gui.recordSlot.shown + g_gui.responseSlot.shown, 3);

    // Without the game mode they vanish at once; the expired record calls up a 10 s response.
    g_hudInput.flags.gameModeRunning = 0;
    EXPECT_EQ(Draw(), (Names{"CROSS", "RIFLE", "LAYER5", "layer13", "stay"}));
    EXPECT_EQ(g_gui.captionSlot.shown, 0);
    EXPECT_EQ(g_gui.recordSlot.shown, 0);
    EXPECT_EQ(g_gui.responseSlot.shown, 1);
    EXPECT_EQ(g_gui.responseSlot.duration, 10000u);
}

TEST_F(Hud, SquadMembersGetPreviewsDownTheRightEdge)
{
    CameraSetViewSize(800, 600);
    Actor second, third;
    third.name.Assign("Kowalski");
    SquadMember a{EngineString("Miller"), &second};
    SquadMember b{EngineString(""), &third};
    SquadMember c{EngineString("Novak"), nullptr};
    m_actor->squad[0] = &a;
    m_actor->squad[3] = &b;
    m_actor->squad[7] = &c;
    Draw();
    ASSERT_EQ(ObjectPreviewCount(), 3);
    struct Expected {
        s32_t top;
        DynamicObject* object;
        const char* caption;
    };
    const Expected expected[] = {{240, &second, "Miller"}, {315, &third, "Kowalski"}, {390, nullptr, "Novak"}};
    for (int i = 0; i < 3; ++i) {
        const ObjectPreview* preview = ObjectPreviewAt(i);
        EXPECT_EQ(preview->left, 730);
        EXPECT_EQ(preview->top, expected[i].top) << i;
        EXPECT_EQ(preview->width, 50);
        EXPECT_EQ(preview->height, 50);
        EXPECT_EQ(preview->scale, 1.0f);
        EXPECT_EQ(preview->spin, 0);
        EXPECT_EQ(preview->object, expected[i].object);
        EXPECT_STREQ(preview->caption, expected[i].caption);
    }

    // A full table skips members without moving the next one down.
    ObjectPreviewClear();
    while (ObjectPreviewCount() < kObjectPreviewSlots - 1)
        ObjectPreviewAdd();
    Draw();
    EXPECT_EQ(ObjectPreviewCount(), kObjectPreviewSlots);
    EXPECT_EQ(ObjectPreviewAt(kObjectPreviewSlots - 1)->top, 240);
}

TEST_F(Hud, TheInsetViewTakesItsLayersRectangleAndIsSkippedWithoutTheLayer)
{
    gbteskenable.SetBool(true);
    Draw();
    const HudOverlayRequests& requests = HudOverlayRequestsSoFar();
    ASSERT_EQ(requests.insetViews, 1u);
    // 64 x 48 mode: left 0.5 and width 0.25 of the width, top 0.25 and height 0.5 of the height.
    EXPECT_EQ(requests.insetRect[0], 32);
    EXPECT_EQ(requests.insetRect[1], 12);
    EXPECT_EQ(requests.insetRect[2], 48);
    EXPECT_EQ(requests.insetRect[3], 36);

    DropScreens();
    AddScreen("LAYER5");
    EXPECT_EQ(Draw(), Names{"LAYER5"});
    EXPECT_EQ(HudOverlayRequestsSoFar().insetViews, 1u) << "no layer, no inset view";
}

TEST_F(Hud, OverlaysAndTheCommandMenuComeWhenAsked)
{
    static int menuLines;
    menuLines = 0;
    CommandMenuSetLineTracer([](const CommandMenuLine&) { ++menuLines; });
    Font font("menu", nullptr, nullptr, 16, 0, '_');
    const CommandMenuEntries entries;
    g_hudInput.commandMenu.font = &font;
    g_hudInput.commandMenu.entries = &entries;
    g_hudInput.flags.worldMarkersShown = 1;
    g_hudInput.flags.commandMenuOpen = 1;
    StartTimer(nullptr, "extract", 60);
    Draw();
    Draw(true);
    EXPECT_EQ(HudOverlayRequestsSoFar().worldMarkers, 2u);
    EXPECT_EQ(HudOverlayRequestsSoFar().itfLists, 1u);
    EXPECT_EQ(menuLines, 2 * 3) << "title, \"..\" and \"x\" in both views";
}

// The normal view draws the world markers while their switch is on; the external camera always.
TEST_F(Hud, WorldMarkersFollowTheirSwitchOnlyInTheNormalView)
{
    const struct {
        bool external;
        u8_t shown;
        u32_t drawn;
    } cases[] = {{false, 0, 0}, {false, 1, 1}, {true, 0, 1}, {true, 1, 1}};
    for (const auto& c : cases) {
        g_hudInput.flags.worldMarkersShown = c.shown;
        HudOverlayRequestsClear();
        Draw(c.external);
        EXPECT_EQ(HudOverlayRequestsSoFar().worldMarkers, c.drawn)
            << "external " << c.external << ", shown " << int(c.shown);
    }
}

TEST_F(Hud, AfterTheHudDepthIsOffAndMipFilteringLinear)
{
    IDirect3DDevice8* device = Device();
    struct Case {
        bool external;
        bool wireframe;
    };
    for (const Case c : {Case{false, false}, Case{false, true}, Case{true, true}}) {
        rbwireframe.SetBool(c.wireframe);
        RenderSetState(D3DRS_ZENABLE, 1);
        RenderSetState(D3DRS_ZWRITEENABLE, 1);
        RenderSetState(D3DRS_FILLMODE, D3DFILL_SOLID);
        Draw(c.external);
        DWORD value = 0;
        device->GetRenderState(D3DRS_ZENABLE, &value);
        EXPECT_EQ(value, 0u);
        device->GetRenderState(D3DRS_ZWRITEENABLE, &value);
        EXPECT_EQ(value, 0u);
        device->GetRenderState(D3DRS_FILLMODE, &value);
        EXPECT_EQ(value, DWORD(c.wireframe ? D3DFILL_WIREFRAME : D3DFILL_SOLID));
        for (DWORD stage : {0u, 1u}) {
            device->GetTextureStageState(stage, D3DTSS_MIPFILTER, &value);
            EXPECT_EQ(value, DWORD(D3DTEXF_LINEAR));
        }
    }
    // A dead player's frame touches nothing.
    GamePlayerSoundView().playerDead = true;
    RenderSetState(D3DRS_ZENABLE, 1);
    Draw();
    DWORD value = 0;
    device->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, 1u);
}

}  // namespace
