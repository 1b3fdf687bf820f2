#include "game/view/satellite_view.h"

#include <cmath>
#include <cstring>

#include "actors/actor.h"
#include "ai/soldier/ai_interface.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_markers.h"
#include "ai/envelopes/event_handlers.h"
#include "core/input/actions.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/log.h"
#include "core/strings/text_case.h"
#include "game/accounts/account_cvars.h"
#include "game/mission/code_signal.h"
#include "game/player/command_keys.h"
#include "game/player/cursor_pick.h"
#include "game/game_state.h"
#include "game/player/object_use.h"
#include "game/player/player_control.h"
#include "game/player/player_control_state.h"
#include "game/view/view_keys.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui.h"
#include "gui/lists/gui_list_box.h"
#include "gui/screens/screen_manager.h"
#include "render/device/render_context.h"
#include "gui/controls/gui_text.h"
#include "gui/controls/gui_text_box.h"
#include "map/map_cvars.h"
#include "platform/win32.h"
#include "render/draw2d/bitmap_font.h"
#include "render/draw2d/hud_input.h"
#include "render/render_cvars.h"
#include "scene/views/first_person_view.h"
#include "scene/hud/object_preview.h"
#include "scene/render_services.h"

SatelliteViewState g_satelliteView;

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr float kPanSpeedScale = 1000.0f;

bool Held(u8_t action)
{
    return g_input.actionDown[action] != 0;
}

bool Released(u8_t action)
{
    return g_input.actionReleased[action] != 0;
}

// The mouse in the game window, carried from the window's client pixels to the pixels of the screen
// the views are drawn on (the two differ when the window is not the size of the display mode): the
// first and the last column and row stay the first and the last.
void ReadCursor()
{
    HWND window = g_input.window;
    if (!window)
        return;
    POINT point = {};
    RECT client = {};
    if (!GetCursorPos(&point) || !ScreenToClient(window, &point) || !GetClientRect(window, &client))
        return;
    const s32_t clientWidth = client.right - client.left, clientHeight = client.bottom - client.top;
    const s32_t width = riwidth.Int(), height = riheight.Int();
    const float x = static_cast<float>(point.x), y = static_cast<float>(point.y);
    g_game.cursorX = clientWidth > 1 ? x * static_cast<float>(width - 1) / static_cast<float>(clientWidth - 1) : x;
    g_game.cursorY = clientHeight > 1 ? y * static_cast<float>(height - 1) / static_cast<float>(clientHeight - 1) : y;
}

void SetNightVision(bool on)
{
    g_hudInput.flags.nightVision = on ? 1 : 0;
    g_firstPersonControl.nightVision = on;
}

void ClearSelection()
{
    SatelliteViewState& s = g_satelliteView;
    s.soldierSelected = 0;
    s.orderPending = 0;
    s.selected = nullptr;
    g_hudInput.flags.layer9 = 0;
}

void Leave()
{
    if (mb_nightvision.Bool())
        SetNightVision(g_game.savedNightVision != 0);
    ToggleSatelliteView();
    SetCursorVisible(false);
    ShadowsUpdateDynamic();
    if (!g_hudInput.flags.binocularView)
        g_hudInput.flags.quickMode = 0;
    ClearSelection();
}

// The control of the loaded screen ("LAYER6" the marker list, "LAYER9" the order panel) under the
// cursor; null when the screen is not loaded or the cursor is on none of its controls.
GuiControl* ControlUnderCursor(const char* screenName)
{
    return GuiControlAtPoint(GuiFindLoadedScreen(screenName), static_cast<s32_t>(g_game.cursorX),
                             static_cast<s32_t>(g_game.cursorY));
}

const char* ControlNameUnderCursor(const char* screenName)
{
    const GuiControl* control = ControlUnderCursor(screenName);
    return control ? control->GetName() : nullptr;
}

// The marker list's line under the cursor: rows of the list font's height from the control's top,
// counted whether or not the list is scrolled. Null when the cursor is on no line of it.
const char* MarkerLineUnderCursor()
{
    const auto* list = dynamic_cast<const GuiListBox*>(ControlUnderCursor("LAYER6"));
    if (!list || CompareNoCase(list->GetName(), "OZICONS") != 0 || !list->font)
        return nullptr;
    const float rowHeight = static_cast<float>(list->font->GetCharHeight()) * GuiScaleToScreen(list->fontSize);
    RECT box = {};
    list->GetRect(&box);
    const float offset = g_game.cursorY - static_cast<float>(box.top);
    if (rowHeight <= 0.0f || offset < 0.0f)
        return nullptr;
    return list->ItemText(static_cast<u32_t>(offset / rowHeight));
}

// While a soldier is selected the order panel is the GUI's current screen for the hover call of its
// control under the cursor (a button glows, sounds once and shows its tooltip in the panel's message
// box). The screen that was current comes back at once: the HUD draws the panel as a layer, and a
// layer left current would become the menu an opened screen shows.
void OrderPanelHover()
{
    GuiScreen* panel = g_satelliteView.soldierSelected ? GuiFindLoadedScreen("LAYER9") : nullptr;
    if (!panel)
        return;
    const s32_t x = static_cast<s32_t>(g_game.cursorX), y = static_cast<s32_t>(g_game.cursorY);
    GuiScreen* const kept = g_gui.currentScreen;
    g_gui.currentScreen = panel;
    if (GuiControl* control = GuiControlAtPoint(panel, x, y))
        control->OnMouse(GUI_MOUSE_NONE, x, y, 0, 0);
    g_gui.currentScreen = kept;
}

// The selected soldier's name in the panel's text item "actorname" (a text or a text box).
void ShowSelectedName(Actor* soldier)
{
    GuiScreen* panel = GuiFindLoadedScreen("LAYER9");
    GuiControl* item = panel ? panel->FindControl("actorname") : nullptr;
    if (!item || !soldier)
        return;
    if (auto* text = dynamic_cast<GuiText*>(item))
        text->SetText(soldier->GetNameString().Text());
    else if (auto* box = dynamic_cast<GuiTextBox*>(item))
        box->SetSourceText(soldier->GetNameString().Text());
}

ObjectPreview* PreviewUnderCursor()
{
    int x = 0, y = 0;
    GameGetCursorPosition(&x, &y);
    return ObjectPreviewFindAt(x, y);
}

Actor* SelectedSoldier()
{
    return g_satelliteView.selected ? g_satelliteView.selected->BoundActor() : nullptr;
}

// The command menu of the tutorial-type missions: the menu keys of the player on foot, except that
// closing it keeps the highlights of the soldier it was about.
void CommandMenuStep()
{
    HudFlags& flags = g_hudInput.flags;
    if (!flags.commandMenuOpen) {
        if (!g_satelliteView.soldierSelected)
            CommandMenuKeysUpdate();
        return;
    }
    DynamicObject* target = g_commandMenuCalls.target;
    const u8_t picked = target ? target->pickedHighlight : 0;
    const u8_t marked = target ? target->markedHighlight : 0;
    CommandMenuKeysUpdate();
    if (target && !flags.commandMenuOpen) {
        target->pickedHighlight = picked;
        target->markedHighlight = marked;
    }
}

// "zoom" released: the drag ends; otherwise the view centres on the soldier preview or the marker
// line under the cursor.
void ZoomReleaseStep()
{
    SatelliteViewState& s = g_satelliteView;
    if (!Released(ACTION_ZOOM))
        return;
    if (s.dragging) {
        s.dragging = 0;
        return;
    }
    if (ObjectPreview* preview = PreviewUnderCursor()) {
        if (preview->object) {
            const Vector3 at = preview->object->GetPosition();
            s.centreX = at.x;
            s.centreZ = at.z;
        }
        return;
    }
    if (const char* line = MarkerLineUnderCursor())
        SatelliteCentreOnMarkerNamed(line);
}

void TurnOrder(Actor* soldier)
{
    const Vector3 at = soldier->GetPosition();
    const float world[3] = {at.x, at.y, at.z};
    float screen[3];
    if (!GameProjectToScreen(screen, world))
        return;
    // Screen y grows downward: a click straight below the soldier turns it by pi.
    float angle = -std::atan2(g_game.cursorX - screen[0], g_game.cursorY - screen[1]);
    ScriptArgWord args[2] = {&angle, nullptr};
    g_satelliteView.selected->RotateToPoint(args);
}

void GivePendingOrder()
{
    SatelliteViewState& s = g_satelliteView;
    if (ControlUnderCursor("LAYER9"))
        return;
    Actor* soldier = SelectedSoldier();
    if (soldier) {
        if (s.orderKind == SATELLITE_ORDER_TURN) {
            TurnOrder(soldier);
        } else if (s.orderKind == SATELLITE_ORDER_MOVE) {
            float point[3];
            if (soldier->ai && GamePickGroundPointAtCursor(point))
                soldier->ai->MoveToObject({point[0], point[1], point[2]});
        } else {
            Actor* other = GamePickActorAtCursor();
            if (soldier->ai && other && other->ai)
                soldier->ai->LockOnInterface(other->ai);
        }
    }
    s.orderPending = 0;
}

// Object use from the map: no range limit and no plug-in event.
void ObjectUseStep()
{
    PlayerControlState& p = g_playerControl;
    if (!g_hudInput.flags.quickMode || g_hudInput.flags.commandMenuOpen)
        return;
    if (!p.objectInUse) {
        p.objectInUse = GamePickObjectAtCursor(true);
        ObjectUseDefaultCondition(p.objectInUse);
        return;
    }
    HandlerSetEventObject(p.objectInUse);
    const Actor* player = PlayerActor();
    p.handlerEventRunning = 1;
    p.objectInUse->FireEvent(player ? player->envelope : nullptr, kEventOnInteract);
    p.handlerEventRunning = 0;
    p.objectInUse = nullptr;
    p.usePending = 0;
}

}  // namespace

void SatelliteViewReset(float minX, float minZ, float maxX, float maxZ)
{
    SatelliteViewState& s = g_satelliteView;
    const float panSpeed = s.panSpeed;
    const u8_t panSpeedSet = s.panSpeedSet;
    s = SatelliteViewState();
    s.panSpeed = panSpeed;
    s.panSpeedSet = panSpeedSet;
    s.minX = minX;
    s.minZ = minZ;
    s.maxX = maxX;
    s.maxZ = maxZ;
    // The field of view goes with the zoom level: a view left zoomed in by the last mission would
    // otherwise zoom out on the first "zoomin".
    SatelliteInitFieldOfView();
}

void SatelliteZoomStep()
{
    SatelliteViewState& s = g_satelliteView;
    const bool in = Held(ACTION_ZOOMIN);
    const bool out = Held(ACTION_ZOOMOUT);
    if (!in && !out)
        return;
    if (in)
        s.zoomLevel = s.zoomLevel < 2 ? s.zoomLevel + 1 : 2;
    if (out)
        s.zoomLevel = s.zoomLevel > 0 ? s.zoomLevel - 1 : 0;
    g_game.satelliteFieldOfView = kSatelliteZoomFactors[s.zoomLevel] * kHalfPi;
    ShadowsUpdateDynamic();
}

void SatellitePanStep(s32_t width, s32_t height)
{
    SatelliteViewState& s = g_satelliteView;
    if (s.dragging)
        return;
    if (Held(ACTION_ZOOM)) {
        // Off the map there is no ground to hold on to: no drag begins.
        if (!PreviewUnderCursor() && !ControlUnderCursor("LAYER6") && GamePickGroundPointAtCursor(s.dragStart))
            s.dragging = 1;
        return;
    }
    const float step = s.panSpeed * g_frameView.frameTime;
    const s32_t x = static_cast<s32_t>(g_game.cursorX);
    const s32_t y = static_cast<s32_t>(g_game.cursorY);
    if (x == width - 1 || Held(ACTION_STRAFE_RIGHT))
        s.centreX = std::fmin(s.centreX + step, s.maxX);
    if (x == 0 || Held(ACTION_STRAFE_LEFT))
        s.centreX = std::fmax(s.centreX - step, s.minX);
    if (y == 0 || Held(ACTION_MOVE_FORWARD))
        s.centreZ = std::fmin(s.centreZ + step, s.maxZ);
    if (y == height - 1 || Held(ACTION_MOVE_BACKWARD))
        s.centreZ = std::fmax(s.centreZ - step, s.minZ);
}

void SatelliteDragStep()
{
    SatelliteViewState& s = g_satelliteView;
    float point[3];
    if (!s.dragging || !GamePickGroundPointAtCursor(point))
        return;
    const float dx = point[0] - s.dragStart[0], dz = point[2] - s.dragStart[2];
    if (dx * dx + dz * dz <= kSatelliteDragEpsilonSq)
        return;
    s.centreX = std::fmin(std::fmax(s.centreX - dx, s.minX), s.maxX);
    s.centreZ = std::fmin(std::fmax(s.centreZ - dz, s.minZ), s.maxZ);
}

bool SatelliteCentreOnMarkerLine(u32_t line)
{
    // The list shows the marker table, one line per marker in order.
    const EnvelopeMarker* shown = EnvelopeMarkerGet(line);
    if (!shown || !shown->name.Text())
        return false;
    SatelliteCentreOnMarkerNamed(shown->name.Text());
    return true;
}

void SatelliteCentreOnMarkerNamed(const char* lineText)
{
    EnvelopeMarker* marker = lineText ? EnvelopeMarkerFind(lineText) : nullptr;
    if (!marker)
        return;
    const char* playerName = as_playername.String();
    if (playerName && std::strcmp(marker->name.Text(), playerName) == 0) {
        const float* player = GameGetPlayerPos();
        marker->x = player[0];
        marker->z = player[2];
    }
    g_satelliteView.centreX = marker->x;
    g_satelliteView.centreZ = marker->z;
}

bool SatelliteOrderButton(const char* buttonName)
{
    struct Stance {
        const char* button;
        void (DOEnvelope::*method)(ScriptArgWord*);
    };
    static constexpr Stance kStances[] = {
        {"standup", &DOEnvelope::SetStandMode}, {"crouch", &DOEnvelope::SetCrouchMode},
        {"prone", &DOEnvelope::SetProneMode},   {"normal", &DOEnvelope::SetBehavNormal},
        {"recon", &DOEnvelope::SetBehavRecon},  {"aggresive", &DOEnvelope::SetBehavAggres},
    };
    struct Order {
        const char* button;
        s32_t kind;
        s32_t icon;
    };
    static constexpr Order kOrders[] = {
        {"rotate", SATELLITE_ORDER_TURN, kSatelliteIconTurn},
        {"moveto", SATELLITE_ORDER_MOVE, kSatelliteIconMove},
        {"kill", SATELLITE_ORDER_ATTACK, kSatelliteIconAttack},
    };
    SatelliteViewState& s = g_satelliteView;
    if (!buttonName)
        return false;
    for (const Stance& stance : kStances) {
        if (std::strcmp(buttonName, stance.button) != 0)
            continue;
        if (s.selected)
            (s.selected->*stance.method)(nullptr);
        return true;
    }
    for (const Order& order : kOrders) {
        if (std::strcmp(buttonName, order.button) != 0)
            continue;
        s.orderPending = 1;
        s.orderKind = order.kind;
        s.cursorIcon = order.icon;
        return true;
    }
    return false;
}

void SatelliteClickStep()
{
    SatelliteViewState& s = g_satelliteView;
    if (!Released(ACTION_FIRE))
        return;
    const bool tutorial = GameMissionIsTutorialType();
    ObjectPreview* preview = tutorial ? PreviewUnderCursor() : nullptr;
    if (preview) {
        DynamicObject* object = preview->object;
        if (object && object->envelope && !g_hudInput.flags.commandMenuOpen) {
            s.soldierSelected = 1;
            s.selected = object->envelope;
            ShowSelectedName(s.selected->BoundActor());
        }
        return;
    }
    if (tutorial && s.orderPending) {
        GivePendingOrder();
        return;
    }
    if (tutorial && s.soldierSelected) {
        if (SatelliteOrderButton(ControlNameUnderCursor("LAYER9")))
            return;
        ObjectUseStep();
        s.soldierSelected = 0;
        s.selected = nullptr;
        return;
    }
    ObjectUseStep();
}

void SatelliteViewUpdate()
{
    SatelliteViewState& s = g_satelliteView;
    if (!s.panSpeedSet) {
        s.panSpeed = kSatelliteZoomFactors[s.zoomLevel] * kPanSpeedScale;
        s.panSpeedSet = 1;
    }
    g_hudInput.flags.quickMode = 1;
    ReadCursor();
    if (Released(ACTION_SATCAM) && !g_hudInput.flags.commandMenuOpen)
        Leave();
    if (!g_hudInput.flags.commandMenuOpen)
        SatelliteZoomStep();
    HudAddFriendlyPreviews();
    const bool tutorial = GameMissionIsTutorialType();
    if (tutorial)
        CommandMenuStep();
    OrderPanelHover();
    SatellitePanStep(riwidth.Int(), riheight.Int());
    SatelliteDragStep();
    ZoomReleaseStep();
    SatelliteClickStep();
    if (tutorial)
        CodedMessageKeysStep();
    ObjectivesKeyUpdate();
    // The HUD shows the order panel while it has a soldier to order.
    g_hudInput.flags.layer9 = s.soldierSelected;
}
