#include "gui/screens/gui_in_game.h"
#include "render/draw2d/hud.h"

#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "core/frame_view.h"
#include "core/mission_timers.h"
#include "gui/screens/gui.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "render/device/render_clock.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/hud/hud_overlays.h"
#include "scene/hud/command_menu.h"
#include "scene/hud/object_preview.h"

namespace {

// A layer draws as the current screen (its controls look things up there); then the screen that was
// current comes back. The game frame also runs under a screen opened over the mission, before the
// GUI's frame: leaving no current screen there would lose the menu just opened.
void DrawScreen(GuiScreen* screen)
{
    GuiScreen* const kept = g_gui.currentScreen;
    g_gui.currentScreen = screen;
    screen->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    g_gui.currentScreen = kept;
}

void DrawLayer(const char* name)
{
    if (!name || !*name)
        return;
    if (GuiScreen* screen = GuiFindScreen(name))
        DrawScreen(screen);
}

void DrawLayer(GuiScreen* screen)
{
    if (screen)
        DrawScreen(screen);
}

void DepthOff()
{
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_ZENABLE, 0);
}

void MipFilter(u32_t filter)
{
    RenderSetStageState(0, D3DTSS_MIPFILTER, filter);
    RenderSetStageState(1, D3DTSS_MIPFILTER, filter);
}

void ClosingStates()
{
    DepthOff();
    if (rbwireframe.Bool())
        RenderSetState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    MipFilter(D3DTEXF_LINEAR);
}

// Clears the slot when its time is up (true); else draws the layer when it has the control.
bool MessageSlot(GuiMessageSlot& slot, const char* layer, const char* control)
{
    if (!slot.shown)
        return false;
    if (RenderTicks() - slot.start > slot.duration) {
        slot.shown = 0;
        return true;
    }
    GuiScreen* screen = GuiFindScreen(layer);
    if (screen && screen->FindControl(control))
        DrawScreen(screen);
    return false;
}

const char* FireModeScreen(u32_t mode)
{
    switch (mode) {
        case kFireModeAuto:
            return "AUTO";
        case kFireModeSingle:
            return "SEMI";
        case kFireModeBurst:
            return "BURST";
        default:
            return nullptr;
    }
}

void SquadPreviews(const Actor& actor)
{
    const float viewWidth = static_cast<float>(g_camera.viewWidth);
    const float viewHeight = static_cast<float>(g_camera.viewHeight);
    const float sx = viewWidth * 0.00125f;
    const float sy = viewHeight * 0.0016667f;
    float top = viewWidth * 0.3f;
    for (const SquadMember* member : actor.squad) {
        if (!member)
            continue;
        ObjectPreview* preview = ObjectPreviewAdd();
        if (!preview)
            continue;
        preview->left = static_cast<s32_t>(viewWidth - 70.0f * sx);
        preview->top = static_cast<s32_t>(top);
        preview->width = static_cast<s32_t>(50.0f * sx);
        preview->height = static_cast<s32_t>(50.0f * sy);
        preview->scale = 1.0f;
        preview->spin = 0;
        preview->object = member->object;
        if (!member->name.IsEmpty())
            preview->caption = member->name.Text();
        else
            preview->caption = member->object ? member->object->name.Text() : "";
        top += 75.0f * sy;
    }
}

void CommandMenu()
{
    const CommandMenuState& menu = g_hudInput.commandMenu;
    if (g_hudInput.flags.commandMenuOpen)
        CommandMenuDraw(menu.x, menu.y, 0, menu.entries, menu.selection, menu.colour, true);
}

}  // namespace

void HudDrawLayers()
{
    if (g_frameView.sound.playerDead)
        return;
    DepthOff();
    if (g_frameView.inGameDisplay || g_hudInput.flags.missionEnded)
        return;

    const Actor* actor = PlayerActor();
    const Weapon* weapon = ActorWeaponInUse(actor);
    const bool driver = actor && actor->IsDriver();
    const bool hasScope = weapon && weapon->zoomScreen;
    if (weapon && (!g_hudInput.flags.sightView || !hasScope) && !g_hudInput.flags.binocularView && !driver)
        DrawLayer(weapon->crosshairScreen);
    if (g_hudInput.flags.sightView && !g_hudInput.flags.binocularView && !driver &&
        !g_hudInput.flags.firstPersonViewState && hasScope)
        DrawLayer(weapon->zoomScreen);

    MipFilter(D3DTEXF_NONE);
    if (g_hudInput.flags.binocularView) {
        DrawLayer("BINOCULAR");
    } else if (weapon) {
        DrawLayer(weapon->statScreen);
        if (weapon->fireModeCount > 1) {
            DrawLayer(FireModeScreen(weapon->fireMode));
            DrawLayer("LAYER0");
        }
    }
    if (actor)
        SquadPreviews(*actor);
    if (actor && actor->inVehicle && actor->vehicle && actor->seat)
        DrawLayer(actor->seat->screen);
    if (g_hudInput.flags.worldMarkersShown)
        HudDrawWorldMarkers();

    MipFilter(D3DTEXF_LINEAR);
    if (g_hudInput.flags.layer3)
        DrawLayer("LAYER3");
    if (gbteskenable.Bool()) {
        // The inset view takes the rectangle of its layer: without the layer there is none to draw in.
        if (GuiScreen* inset = GuiFindScreen("LAYER4")) {
            DrawScreen(inset);
            const float width = static_cast<float>(g_render.screenWidth);
            const float height = static_cast<float>(g_render.screenHeight);
            HudDrawTeskCam(static_cast<s32_t>(inset->left * width), static_cast<s32_t>(inset->top * height),
                           static_cast<s32_t>((inset->left + inset->width) * width),
                           static_cast<s32_t>((inset->top + inset->height) * height));
        }
    }
    DrawLayer("LAYER5");
    if (g_frameView.zoomView)
        DrawLayer("LAYER6");
    if (actor && actor->oxygen < actor->oxygenMax)
        DrawLayer("LAYER7");
    if (g_hudInput.flags.nightVision)
        DrawLayer("LAYER8");
    if (g_hudInput.flags.quickMode)
        DrawLayer("QUICKMODE");

    MessageSlot(g_gui.subtitleSlot, "LAYER10", "subtitles");
    if (!g_hudInput.flags.gameModeRunning) {
        MessageSlot(g_gui.captionSlot, "layer11", "missionmsg");
        if (MessageSlot(g_gui.recordSlot, "layer12", "accomplishmsg"))
            GuiShowResponse(10000);
        MessageSlot(g_gui.responseSlot, "layer13", "response");
    }

    if (actor && !actor->inVehicle) {
        if (g_hudInput.flags.playerOnLadder)
            DrawLayer("ladder");
        else if (actor->crouched)
            DrawLayer("crouch");
        else if (actor->prone)
            DrawLayer("prone");
        else
            DrawLayer("stay");
    }
    CommandMenu();
    if (AnyTimerRunning()) {
        DrawLayer("ITF");
        HudDrawItfList();
    }
    if (g_hudInput.flags.objectivesShown)
        DrawLayer("OBJECTIVES");
    ClosingStates();
}

void HudDrawLayersExternal()
{
    if (g_frameView.sound.playerDead)
        return;
    DepthOff();
    if (g_frameView.inGameDisplay || g_hudInput.flags.missionEnded)
        return;
    MipFilter(D3DTEXF_NONE);
    // The external camera always shows the world markers, whatever their switch says.
    HudDrawWorldMarkers();
    DrawLayer("LAYER5");
    if (g_frameView.zoomView)
        DrawLayer("LAYER6");
    if (g_hudInput.flags.layer3)
        DrawLayer("LAYER3");
    if (g_hudInput.flags.quickMode)
        DrawLayer("QUICKMODE");
    if (g_hudInput.flags.layer9)
        DrawLayer("LAYER9");
    MessageSlot(g_gui.subtitleSlot, "LAYER10", "subtitles");
    MessageSlot(g_gui.captionSlot, "layer11", "missionmsg");
    CommandMenu();
    if (g_hudInput.flags.objectivesShown)
        DrawLayer("OBJECTIVES");
    ClosingStates();
}
