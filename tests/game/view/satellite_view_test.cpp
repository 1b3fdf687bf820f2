// The satellite view: the cursor at the window's edges and the movement keys pan the centre within
// its rectangle at the pan speed fixed at the first call; zoom steps the field of view; a marker line
// centres the view; soldier previews select soldiers in tutorial-type missions only, and the order
// panel's buttons order them; over the map, a turn order faces the soldier toward the click and a
// drag keeps the ground it took under the cursor.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "actors/actor.h"
#include "ai/soldier/ai_interface.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_markers.h"
#include "core/input/actions.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/random.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/campaign_chronology.h"
#include "game/player/command_keys.h"
#include "game/player/cursor_pick.h"
#include "game/game_state.h"
#include "game/player/player_control.h"
#include "game/player/player_control_state.h"
#include "game/view/satellite_view.h"
#include "game/view/view_keys.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_controls.h"
#include "gui/lists/gui_list_box.h"
#include "gui/controls/gui_text.h"
#include "map/map_cvars.h"
#include "platform/test_input.h"
#include "platform/win32.h"
#include "render/draw2d/bitmap_font.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/draw2d/hud_input.h"
#include "scene/views/first_person_view.h"
#include "scene/hud/object_preview.h"
#include "support/keep_var.h"
#include "support/test_window.h"
#include "tests/game/map_camera_fixture.h"

namespace {

constexpr float kHalfPi = 1.5707964f;

class SatelliteView : public ::testing::Test {
protected:
    void SetUp() override
    {
        Reset();
        g_satelliteView.minX = -100.0f;
        g_satelliteView.maxX = 100.0f;
        g_satelliteView.minZ = -100.0f;
        g_satelliteView.maxZ = 100.0f;
        g_frameView.frameTime = 0.02f;
    }
    void TearDown() override
    {
        Reset();
        g_frameView.frameTime = 0.001f;
    }
    static void Reset()
    {
        g_satelliteView = SatelliteViewState();
        std::memset(g_input.actionDown, 0, sizeof g_input.actionDown);
        std::memset(g_input.actionReleased, 0, sizeof g_input.actionReleased);
        g_game.cursorX = g_game.cursorY = 0.0f;
        g_game.satelliteFieldOfView = 0.5f * kHalfPi;
    }
};

TEST_F(SatelliteView, ACursorInTheTopLeftCornerPansTowardMinXAndMaxZAtOnce)
{
    g_satelliteView.panSpeed = 500.0f;
    g_game.cursorX = 0.0f;
    g_game.cursorY = 0.0f;
    SatellitePanStep(640, 480);
    EXPECT_FLOAT_EQ(g_satelliteView.centreX, -10.0f);
    EXPECT_FLOAT_EQ(g_satelliteView.centreZ, 10.0f);
    // The far corner pans the other way; the rectangle holds the centre.
    g_game.cursorX = 639.0f;
    g_game.cursorY = 479.0f;
    for (int i = 0; i < 30; ++i)
        SatellitePanStep(640, 480);
    EXPECT_FLOAT_EQ(g_satelliteView.centreX, 100.0f);
    EXPECT_FLOAT_EQ(g_satelliteView.centreZ, -100.0f);
    // The middle of the window pans nothing.
    g_game.cursorX = 320.0f;
    SatellitePanStep(640, 480);
    EXPECT_FLOAT_EQ(g_satelliteView.centreX, 100.0f);
}

TEST_F(SatelliteView, ZoomingStepsTheFieldOfViewButNotThePanSpeed)
{
    g_satelliteView.zoomLevel = 2;
    SatelliteViewUpdate();
    EXPECT_FLOAT_EQ(g_satelliteView.panSpeed, 100.0f);  // 0.1 x 1000 at the first call
    g_input.actionDown[ACTION_ZOOMOUT] = INPUT_STATE_DOWN;
    SatelliteViewUpdate();
    EXPECT_EQ(g_satelliteView.zoomLevel, 1);
    EXPECT_FLOAT_EQ(g_game.satelliteFieldOfView, 0.3f * kHalfPi);
    EXPECT_FLOAT_EQ(g_satelliteView.panSpeed, 100.0f);
    // A new mission starts at the first level, the field of view with it, and the pan speed kept.
    SatelliteViewReset(-50.0f, -60.0f, 70.0f, 80.0f);
    EXPECT_EQ(g_satelliteView.zoomLevel, 0);
    EXPECT_FLOAT_EQ(g_game.satelliteFieldOfView, 0.5f * kHalfPi);
    EXPECT_FLOAT_EQ(g_satelliteView.panSpeed, 100.0f);
    EXPECT_FLOAT_EQ(g_satelliteView.maxZ, 80.0f);
    g_satelliteView.zoomLevel = 1;
    // Held at the limit, the level stays and the field of view is set again.
    for (int i = 0; i < 3; ++i)
        SatelliteZoomStep();
    EXPECT_EQ(g_satelliteView.zoomLevel, 0);
    EXPECT_FLOAT_EQ(g_game.satelliteFieldOfView, 0.5f * kHalfPi);
    g_input.actionDown[ACTION_ZOOMOUT] = 0;
    g_input.actionDown[ACTION_ZOOMIN] = INPUT_STATE_DOWN;
    for (int i = 0; i < 3; ++i)
        SatelliteZoomStep();
    EXPECT_EQ(g_satelliteView.zoomLevel, 2);
    EXPECT_FLOAT_EQ(g_game.satelliteFieldOfView, 0.1f * kHalfPi);
}

TEST_F(SatelliteView, TheCursorIsReadInScreenPixelsWhateverTheWindowsSize)
{
    // A window twice the size of the 64 x 48 screen the views are drawn on.
    KeepVar width(riwidth), height(riheight);
    riwidth.SetInt(64);
    riheight.SetInt(48);
    TestWindow window(128, 96);
    HWND const keptWindow = g_input.window;
    g_input.window = window.Handle();
    g_satelliteView.panSpeed = 500.0f;
    g_satelliteView.panSpeedSet = 1;

    struct Case {
        int x, y;      // client pixels
        float sx, sy;  // screen pixels
        float dx, dz;  // the pan of one frame
    };
    for (const Case c : {Case{127, 95, 63.0f, 47.0f, 10.0f, -10.0f}, Case{0, 0, 0.0f, 0.0f, -10.0f, 10.0f},
                         Case{127, 48, 63.0f, 48.0f * 47.0f / 95.0f, 10.0f, 0.0f}}) {
        SCOPED_TRACE(testing::Message() << "client " << c.x << ", " << c.y);
        g_satelliteView.centreX = g_satelliteView.centreZ = 0.0f;
        POINT point = {c.x, c.y};
        ASSERT_TRUE(ClientToScreen(window.Handle(), &point));
        ASSERT_TRUE(SetCursorPos(point.x, point.y));
        SatelliteViewUpdate();
        EXPECT_FLOAT_EQ(g_game.cursorX, c.sx);
        EXPECT_FLOAT_EQ(g_game.cursorY, c.sy);
        EXPECT_FLOAT_EQ(g_satelliteView.centreX, c.dx);
        EXPECT_FLOAT_EQ(g_satelliteView.centreZ, c.dz);
    }
    g_input.window = keptWindow;
}

int g_mouseMoves = 0;

LRESULT InputWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEMOVE)
        ++g_mouseMoves;
    InputWindowMessage(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The satellite view steers by the cursor: opened by its key, the mouse takes the cursor where it goes
// (the window's messages no longer hold it at the centre, as they do while the mouse turns the view),
// so the view's cursor follows the mouse; closed again, the cursor is held at the centre once more.
// The mouse moves as the platform reports it, through injected motion on the input devices' road.
TEST_F(SatelliteView, OpenedTheCursorGoesWhereTheMouseTakesItAndClosedItIsHeldAgain)
{
    KeepVar width(riwidth), height(riheight);
    riwidth.SetInt(128);
    riheight.SetInt(96);
    TestWindow window(128, 96, InputWindowProc);
    window.Show();
    HWND const keptWindow = g_input.window;
    const bool keptDevices = g_input.useDirectInput;
    g_input.window = window.Handle();
    g_input.useDirectInput = true;
    g_satelliteView.panSpeedSet = 1;
    // The motion reaches this window's procedure as the program's does: through the message queue.
    const auto moveTo = [](int x, int y) {
        g_mouseMoves = 0;
        PlatformInjectMouseMoveTo(x, y);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        EXPECT_GT(g_mouseMoves, 0);
    };
    const auto cursorInWindow = [&window] {
        POINT point = {};
        GetCursorPos(&point);
        ScreenToClient(window.Handle(), &point);
        return point;
    };

    g_input.actionReleased[ACTION_SATCAM] = INPUT_STATE_DOWN;
    SatelliteKeyUpdate();
    g_input.actionReleased[ACTION_SATCAM] = 0;
    ASSERT_EQ(g_game.satelliteView, 1);
    struct Case {
        int x, y;
    };
    for (const Case c : {Case{20, 30}, Case{0, 0}, Case{127, 95}}) {
        SCOPED_TRACE(testing::Message() << "moved to " << c.x << ", " << c.y);
        moveTo(c.x, c.y);
        EXPECT_EQ(cursorInWindow().x, c.x);
        EXPECT_EQ(cursorInWindow().y, c.y);
        SatelliteViewUpdate();
        EXPECT_FLOAT_EQ(g_game.cursorX, static_cast<float>(c.x));
        EXPECT_FLOAT_EQ(g_game.cursorY, static_cast<float>(c.y));
    }

    g_input.actionReleased[ACTION_SATCAM] = INPUT_STATE_DOWN;
    SatelliteViewUpdate();
    g_input.actionReleased[ACTION_SATCAM] = 0;
    ASSERT_EQ(g_game.satelliteView, 0);
    moveTo(100, 10);
    EXPECT_EQ(cursorInWindow().x, 64);
    EXPECT_EQ(cursorInWindow().y, 48);

    g_input.window = keptWindow;
    g_input.useDirectInput = keptDevices;
}

TEST_F(SatelliteView, TheMarkerLineWithThePlayersNameCentresOnThePlayerWhereHeStandsNow)
{
    KeepVar name(as_playername);
    as_playername.SetString("kowalski");
    ASSERT_TRUE(EnvelopeMarkerAdd("bridge", 50.0f, 60.0f, 1u));
    ASSERT_TRUE(EnvelopeMarkerAddDefault());
    const float* kept = GameGetPlayerPos();
    const float saved[3] = {kept[0], kept[1], kept[2]};
    const float player[3] = {-35.0f, 4.0f, 72.0f};
    GameSetPlayerPos(player);

    struct Case {
        u32_t line;
        bool exists;
        float x, z;
    };
    for (const Case c : {Case{1, true, -35.0f, 72.0f}, Case{0, true, 50.0f, 60.0f}, Case{2, false, 50.0f, 60.0f}}) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(SatelliteCentreOnMarkerLine(c.line), c.exists);
        EXPECT_FLOAT_EQ(g_satelliteView.centreX, c.x);
        EXPECT_FLOAT_EQ(g_satelliteView.centreZ, c.z);
    }
    // The player's marker keeps the place it was moved to.
    EXPECT_FLOAT_EQ(EnvelopeMarkerGet(1)->x, -35.0f);

    GameSetPlayerPos(saved);
    EnvelopeMarkersFree();
}

// A friendly soldier with its envelope, and the mission's kind.
class SatelliteSoldier : public SatelliteView {
protected:
    void SetUp() override
    {
        SatelliteView::SetUp();
        m_seed = EngineRandState();
        m_mode = SinglePlayerMode();
        SetSinglePlayerMode(0);
        m_map.Assign(g_frameView.mapName.Text() ? g_frameView.mapName.Text() : "");
        m_soldier = new AIInterface();
        m_body = m_soldier->body;
        m_envelope.Attach(m_body);
    }
    void TearDown() override
    {
        ObjectPreviewClear();
        m_body->envelope = nullptr;
        delete m_soldier;
        delete m_body;
        g_frameView.mapName.Assign(m_map.Text());
        SetSinglePlayerMode(m_mode);
        g_hudInput.flags = {};
        PlayerControlStateReset();
        EngineSRand(m_seed);
        SatelliteView::TearDown();
    }
    // The soldier's preview at pixels 10..30 and a "fire" click at (20, 20).
    void ClickPreview()
    {
        ObjectPreview* preview = ObjectPreviewAdd();
        ASSERT_NE(preview, nullptr);
        preview->left = preview->top = 10;
        preview->width = preview->height = 20;
        preview->object = m_body;
        g_game.cursorX = g_game.cursorY = 20.0f;
        g_input.actionReleased[ACTION_FIRE] = INPUT_STATE_DOWN;
        SatelliteClickStep();
        g_input.actionReleased[ACTION_FIRE] = 0;
        ObjectPreviewClear();
    }

    AIInterface* m_soldier = nullptr;
    Actor* m_body = nullptr;
    DOEnvelope m_envelope;
    u32_t m_seed = 1;
    s32_t m_mode = 0;
    EngineString m_map;
};

TEST_F(SatelliteSoldier, OnlyTutorialTypeMissionsSelectASoldierByItsPreview)
{
    struct Case {
        const char* map;
        s32_t mode;
        bool selects;
    };
    for (const Case c : {Case{"bridge", 0, false}, Case{"TUTORIAL", 0, true}, Case{"bridge", 1, true}}) {
        SCOPED_TRACE(testing::Message() << c.map << " mode " << c.mode);
        g_satelliteView = SatelliteViewState();
        g_frameView.mapName.Assign(c.map);
        SetSinglePlayerMode(c.mode);
        ClickPreview();
        EXPECT_EQ(g_satelliteView.soldierSelected, c.selects ? 1 : 0);
        EXPECT_EQ(g_satelliteView.selected, c.selects ? &m_envelope : nullptr);
    }
    // With the command menu open the preview selects nobody either.
    g_satelliteView = SatelliteViewState();
    g_hudInput.flags.commandMenuOpen = 1;
    ClickPreview();
    EXPECT_EQ(g_satelliteView.soldierSelected, 0);
}

TEST_F(SatelliteSoldier, TheCommandMenuRunsInTutorialsAndClosesKeepingTheSoldiersHighlights)
{
    for (const char* map : {"bridge", "tutorial"}) {
        SCOPED_TRACE(map);
        g_frameView.mapName.Assign(map);
        g_hudInput.flags.commandMenuOpen = 1;
        g_commandMenuCalls = CommandMenuCalls();
        g_commandMenuCalls.target = m_body;
        m_body->pickedHighlight = m_body->markedHighlight = 1;
        // With no entries, "1" is the closing line.
        g_input.keyStates[kKeyCodeOne] = INPUT_STATE_DOWN;
        SatelliteViewUpdate();
        g_input.keyStates[kKeyCodeOne] = 0;
        const bool tutorial = std::strcmp(map, "tutorial") == 0;
        EXPECT_EQ(g_hudInput.flags.commandMenuOpen, tutorial ? 0 : 1);
        EXPECT_EQ(m_body->pickedHighlight, 1);
        EXPECT_EQ(m_body->markedHighlight, 1);
    }
    g_commandMenuCalls = CommandMenuCalls();
}

TEST_F(SatelliteSoldier, LeavingRestoresNightVisionAndDropsTheSelection)
{
    KeepVar nightVision(mb_nightvision);
    struct Case {
        bool mapAllows;
        u8_t saved, after;
    };
    // Opening the view switched night vision on; leaving gives back what was before, where the map
    // allows night vision at all.
    for (const Case c : {Case{true, 0, 0}, Case{true, 1, 1}, Case{false, 0, 1}}) {
        SCOPED_TRACE(testing::Message() << "allowed " << c.mapAllows << " saved " << int(c.saved));
        mb_nightvision.SetBool(c.mapAllows);
        g_game.satelliteView = 1;
        g_game.savedNightVision = c.saved;
        g_hudInput.flags.nightVision = 1;
        g_satelliteView.soldierSelected = 1;
        g_satelliteView.selected = &m_envelope;
        g_satelliteView.orderPending = 1;
        g_hudInput.flags.layer9 = 1;
        g_input.actionReleased[ACTION_SATCAM] = INPUT_STATE_DOWN;
        SatelliteViewUpdate();
        g_input.actionReleased[ACTION_SATCAM] = 0;
        EXPECT_EQ(g_game.satelliteView, 0);
        EXPECT_EQ(g_hudInput.flags.nightVision, c.after);
        EXPECT_EQ(g_hudInput.flags.quickMode, 0);
        EXPECT_EQ(g_satelliteView.soldierSelected, 0);
        EXPECT_EQ(g_satelliteView.selected, nullptr);
        EXPECT_EQ(g_satelliteView.orderPending, 0);
        EXPECT_EQ(g_hudInput.flags.layer9, 0) << "the order panel goes with the view";
    }
    g_hudInput.flags.nightVision = 0;
    g_firstPersonControl.nightVision = false;
    g_game.savedNightVision = 0;
}

TEST_F(SatelliteSoldier, TheOrderPanelsButtonsSetTheStanceOrMakeAnOrderPending)
{
    g_satelliteView.soldierSelected = 1;
    g_satelliteView.selected = &m_envelope;
    ASSERT_TRUE(SatelliteOrderButton("crouch"));
    EXPECT_EQ(m_body->targetPose, ACTOR_POSE_CROUCH);
    EXPECT_EQ(g_satelliteView.orderPending, 0);

    struct Case {
        const char* button;
        s32_t kind, icon;
    };
    for (const Case c : {Case{"rotate", SATELLITE_ORDER_TURN, 4}, Case{"moveto", SATELLITE_ORDER_MOVE, 2},
                         Case{"kill", SATELLITE_ORDER_ATTACK, 0}}) {
        SCOPED_TRACE(c.button);
        g_satelliteView.orderPending = 0;
        g_satelliteView.cursorIcon = -1;
        ASSERT_TRUE(SatelliteOrderButton(c.button));
        EXPECT_EQ(g_satelliteView.orderPending, 1);
        EXPECT_EQ(g_satelliteView.orderKind, c.kind);
        EXPECT_EQ(g_satelliteView.cursorIcon, c.icon);
    }
    // Names are the panel's own, byte for byte.
    g_satelliteView.orderPending = 0;
    EXPECT_FALSE(SatelliteOrderButton("aggressive"));
    EXPECT_FALSE(SatelliteOrderButton("Rotate"));
    EXPECT_EQ(g_satelliteView.orderPending, 0);
}

// The order panel and the marker list as loaded screens on an 800 x 600 screen: a panel button
// "rotate" at pixels (80..160, 60..120) that notes its hover calls, the text item "actorname", and
// the list "OZICONS" at (400.., 300..) with rows 16 pixels high holding "bridge" and the player's
// marker.
class SatellitePanels : public SatelliteSoldier {
protected:
    class Button : public GuiControl {
    public:
        void GetRect(RECT* rect) const override { GuiFractionRect(0.1f, 0.1f, 0.1f, 0.1f, rect); }
        void OnMouse(u32_t buttons, s32_t, s32_t, s32_t, s32_t) override
        {
            ++hovers;
            hoverButtons = buttons;
            currentDuringHover = g_gui.currentScreen;
        }
        s32_t hovers = 0;
        u32_t hoverButtons = 0;
        GuiScreen* currentDuringHover = nullptr;
    };

    void SetUp() override
    {
        SatelliteSoldier::SetUp();
        m_size[0] = g_render.screenWidth;
        m_size[1] = g_render.screenHeight;
        g_render.screenWidth = 800;
        g_render.screenHeight = 600;
        m_current = g_gui.currentScreen;
        // The cursor is the one the test places, not the mouse of a window left open.
        m_window = g_input.window;
        g_input.window = nullptr;
        m_firstScreen = GuiScreenCount();
        g_frameView.mapName.Assign("tutorial");
        m_body->SetNameText("Kowalski");

        m_panel = new GuiScreen("LAYER9");
        m_button = new Button;
        m_button->SetName("rotate");
        m_button->SetZIndex(1);
        m_panel->AddControl(m_button);
        m_name = new GuiText;
        m_name->SetName("actorname");
        m_panel->AddControl(m_name);
        GuiAddScreen(m_panel);

        auto* markers = new GuiScreen("LAYER6");
        m_list = new GuiListBox;
        m_list->SetName("OZICONS");
        m_list->SetZIndex(1);
        m_list->x = 0.5f;
        m_list->y = 0.5f;
        m_list->width = 0.25f;
        m_list->height = 0.25f;
        m_list->font = &m_font;
        m_list->fontSize = 1.0f;  // 16 pixels x 800 x 0.00125
        m_list->AddString("bridge");
        m_list->AddString("kowalski");
        markers->AddControl(m_list);
        GuiAddScreen(markers);
    }
    void TearDown() override
    {
        GuiFreeScreensFrom(m_firstScreen);
        g_gui.currentScreen = m_current;
        g_input.window = m_window;
        g_render.screenWidth = m_size[0];
        g_render.screenHeight = m_size[1];
        SatelliteSoldier::TearDown();
    }
    // One frame of the view with the cursor there and the action released (none: 0).
    static void Frame(float x, float y, u8_t released = 0)
    {
        g_game.cursorX = x;
        g_game.cursorY = y;
        if (released)
            g_input.actionReleased[released] = INPUT_STATE_DOWN;
        SatelliteViewUpdate();
        g_input.actionReleased[released] = 0;
    }

    Font m_font{"list", nullptr, nullptr, 16, 0, '_'};
    GuiScreen* m_panel = nullptr;
    Button* m_button = nullptr;
    GuiText* m_name = nullptr;
    GuiListBox* m_list = nullptr;
    GuiScreen* m_current = nullptr;
    HWND m_window = nullptr;
    u32_t m_firstScreen = 0;
    int m_size[2] = {};
};

TEST_F(SatellitePanels, TheOrderPanelNamesTheSelectedSoldierHoversItsButtonAndTakesItsClick)
{
    ClickPreview();
    ASSERT_EQ(g_satelliteView.soldierSelected, 1);
    ASSERT_NE(m_name->Text(), nullptr);
    EXPECT_STREQ(m_name->Text(), "Kowalski");

    // Over the button the panel is current for its hover call only.
    GuiScreen* before = g_gui.currentScreen;
    Frame(100.0f, 90.0f);
    EXPECT_EQ(m_button->hovers, 1);
    EXPECT_EQ(m_button->hoverButtons, GUI_MOUSE_NONE);
    EXPECT_EQ(m_button->currentDuringHover, m_panel);
    EXPECT_EQ(g_gui.currentScreen, before);
    // Off the button nothing is hovered.
    Frame(300.0f, 90.0f);
    EXPECT_EQ(m_button->hovers, 1);

    // A click on the button makes the turn order pending; a click on the panel gives no order.
    Frame(100.0f, 90.0f, ACTION_FIRE);
    EXPECT_EQ(g_satelliteView.orderPending, 1);
    EXPECT_EQ(g_satelliteView.orderKind, SATELLITE_ORDER_TURN);
    Frame(100.0f, 90.0f, ACTION_FIRE);
    EXPECT_EQ(g_satelliteView.orderPending, 1);
    EXPECT_EQ(g_hudInput.flags.layer9, 1) << "the HUD shows the panel";

    // With nobody selected the panel takes no hover.
    const s32_t hovers = m_button->hovers;
    g_satelliteView.soldierSelected = 0;
    g_satelliteView.orderPending = 0;
    Frame(100.0f, 90.0f);
    EXPECT_EQ(m_button->hovers, hovers);
    EXPECT_EQ(g_hudInput.flags.layer9, 0);
}

TEST_F(SatellitePanels, ZoomReleasedOnAMarkerLineCentresOnItsMarker)
{
    KeepVar name(as_playername);
    as_playername.SetString("kowalski");
    ASSERT_TRUE(EnvelopeMarkerAdd("bridge", 50.0f, 60.0f, 1u));
    ASSERT_TRUE(EnvelopeMarkerAdd("kowalski", 0.0f, 0.0f, 2u));
    const float* kept = GameGetPlayerPos();
    const float saved[3] = {kept[0], kept[1], kept[2]};
    const float player[3] = {-35.0f, 4.0f, 72.0f};
    GameSetPlayerPos(player);

    struct Case {
        float y;
        float x, z;
    };
    // Rows of 16 pixels from the list's top at 300; below the two lines nothing moves.
    for (const Case c : {Case{320.0f, -35.0f, 72.0f}, Case{301.0f, 50.0f, 60.0f}, Case{340.0f, 50.0f, 60.0f}}) {
        SCOPED_TRACE(c.y);
        Frame(450.0f, c.y, ACTION_ZOOM);
        EXPECT_FLOAT_EQ(g_satelliteView.centreX, c.x);
        EXPECT_FLOAT_EQ(g_satelliteView.centreZ, c.z);
    }
    // Beside the list the same height centres on nothing.
    g_satelliteView.centreX = g_satelliteView.centreZ = 0.0f;
    Frame(100.0f, 320.0f, ACTION_ZOOM);
    EXPECT_FLOAT_EQ(g_satelliteView.centreX, 0.0f);

    GameSetPlayerPos(saved);
    EnvelopeMarkersFree();
}

}  // namespace

namespace {

// The same over the map seen by the satellite camera.
class SatelliteOverMap : public map_camera::MapCamera {
protected:
    void SetUp() override
    {
        MapCamera::SetUp();
        g_satelliteView = SatelliteViewState();
        g_satelliteView.minX = g_satelliteView.minZ = -900.0f;
        g_satelliteView.maxX = g_satelliteView.maxZ = 900.0f;
        std::memset(g_input.actionDown, 0, sizeof g_input.actionDown);
        std::memset(g_input.actionReleased, 0, sizeof g_input.actionReleased);
    }
    void TearDown() override
    {
        g_satelliteView = SatelliteViewState();
        std::memset(g_input.actionDown, 0, sizeof g_input.actionDown);
        std::memset(g_input.actionReleased, 0, sizeof g_input.actionReleased);
        MapCamera::TearDown();
    }
    float GroundUnderCursor(int axis)
    {
        float point[3] = {};
        EXPECT_TRUE(GamePickGroundPointAtCursor(point));
        return point[axis];
    }
};

TEST_F(SatelliteOverMap, OrdersTurnTowardMoveToAndLockOnWhatTheClickPoints)
{
    const u32_t seed = EngineRandState();
    const s32_t mode = SinglePlayerMode();
    SetSinglePlayerMode(1);
    AIInterface* soldier = new AIInterface();
    Actor* body = soldier->body;
    DOEnvelope envelope;
    envelope.Attach(body);
    // The soldier stands under the middle of the view: pixel (32, 24).
    body->SetPosition({0.0f, 0.0f, 0.0f});

    struct Case {
        float x, y;
        float heading;
    };
    // dx right, dy down the screen: -atan2(dx, dy).
    for (const Case c :
         {Case{42.0f, 24.0f, -1.5707964f}, Case{42.0f, 34.0f, -0.7853982f}, Case{22.0f, 34.0f, 0.7853982f}}) {
        SCOPED_TRACE(testing::Message() << "click at " << c.x << ", " << c.y);
        g_satelliteView.soldierSelected = 1;
        g_satelliteView.selected = &envelope;
        ASSERT_TRUE(SatelliteOrderButton("rotate"));
        Cursor(c.x, c.y);
        g_input.actionReleased[ACTION_FIRE] = INPUT_STATE_DOWN;
        SatelliteClickStep();
        EXPECT_NEAR(body->targetHeading, c.heading, 1e-3f);
        EXPECT_EQ(g_satelliteView.orderPending, 0);
    }
    // A move order walks the soldier to the ground under the click.
    ASSERT_TRUE(SatelliteOrderButton("moveto"));
    SatelliteClickStep();
    EXPECT_EQ(soldier->moveToObjectPending, 1);
    EXPECT_EQ(g_satelliteView.orderPending, 0);

    // An attack order locks on the living soldier under the click, never on the player.
    AIInterface* enemy = new AIInterface();
    DOEnvelope enemyEnvelope;
    enemyEnvelope.Attach(enemy->body);
    enemy->body->SetPosition({200.0f, 0.0f, 100.0f});
    ASSERT_GE(EnvelopeRegister(&enemyEnvelope), 0);
    const float at[3] = {200.0f, 10.0f, 100.0f};
    float pixel[3];
    ASSERT_TRUE(GameProjectToScreen(pixel, at));
    DynamicObject* const keptPlayer = g_frameView.player;
    struct Attack {
        bool dead, player, locks;
    };
    for (const Attack a : {Attack{false, false, true}, Attack{true, false, false}, Attack{false, true, false}}) {
        SCOPED_TRACE(testing::Message() << "dead " << a.dead << " player " << a.player);
        soldier->lockedTarget = nullptr;
        enemy->lockerCount = 0;
        enemy->body->isDead = a.dead;
        g_frameView.player = a.player ? enemy->body : keptPlayer;
        ASSERT_TRUE(SatelliteOrderButton("kill"));
        Cursor(pixel[0], pixel[1]);
        SatelliteClickStep();
        EXPECT_EQ(soldier->lockedTarget, a.locks ? enemy : nullptr);
        EXPECT_EQ(g_satelliteView.orderPending, 0);
    }
    g_frameView.player = keptPlayer;
    soldier->lockedTarget = nullptr;
    enemy->lockerCount = 0;
    EnvelopeUnregister(&enemyEnvelope);
    enemy->body->envelope = nullptr;
    Actor* enemyBody = enemy->body;
    delete enemy;
    delete enemyBody;

    body->envelope = nullptr;
    delete soldier;
    delete body;
    SetSinglePlayerMode(mode);
    EngineSRand(seed);
}

TEST_F(SatelliteOverMap, WhileDraggingTheGroundPointStaysUnderTheCursor)
{
    // The cursor's moves keep what it points at on the land (2000 wide) before each frame redraws.
    Cursor(28.0f, 20.0f);
    const float startX = GroundUnderCursor(0), startZ = GroundUnderCursor(2);
    g_input.actionDown[ACTION_ZOOM] = INPUT_STATE_DOWN;
    SatellitePanStep(kWidth, kHeight);
    ASSERT_EQ(g_satelliteView.dragging, 1);

    struct Step {
        float x, y;
    };
    for (const Step step : {Step{34.0f, 26.0f}, Step{24.0f, 30.0f}, Step{36.0f, 22.0f}}) {
        SCOPED_TRACE(testing::Message() << "cursor " << step.x << ", " << step.y);
        Cursor(step.x, step.y);
        SatellitePanStep(kWidth, kHeight);  // no panning meanwhile
        SatelliteDragStep();
        // The next frame draws from the new centre.
        Look(g_satelliteView.centreX, g_satelliteView.centreZ);
        EXPECT_NEAR(GroundUnderCursor(0), startX, 0.05f);
        EXPECT_NEAR(GroundUnderCursor(2), startZ, 0.05f);
    }
    // The rectangle holds the centre even so.
    const float limit = g_satelliteView.centreX - 50.0f;
    g_satelliteView.minX = limit;
    Cursor(40.0f, 24.0f);
    SatelliteDragStep();
    EXPECT_FLOAT_EQ(g_satelliteView.centreX, limit);
    // "zoom" released ends the drag.
    g_input.actionDown[ACTION_ZOOM] = 0;
    g_input.actionReleased[ACTION_ZOOM] = INPUT_STATE_DOWN;
    SatelliteViewUpdate();
    EXPECT_EQ(g_satelliteView.dragging, 0);
}

}  // namespace
