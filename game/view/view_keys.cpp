#include "game/view/view_keys.h"

#include <cmath>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/rules/script_events.h"
#include "core/input/actions.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/log.h"
#include "game/game_cvars.h"
#include "game/mission/game_flow.h"
#include "game/mission/game_messages.h"
#include "game/game_state.h"
#include "game/view/game_view.h"
#include "game/player/player_control_state.h"
#include "game/view/player_view.h"
#include "map/map_cvars.h"
#include "map/registry/world_registry.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "scene/views/first_person_view.h"
#include "scene/hud/object_preview.h"
#include "scene/render_services.h"

namespace {

constexpr float kDegree = 3.14159265f / 180.0f;
constexpr float kTwoOverPi = 0.63661977f;

bool Released(u8_t action)
{
    return g_input.actionReleased[action] != 0;
}

bool Held(u8_t action)
{
    return g_input.actionDown[action] != 0;
}

void SetNightVision(bool on)
{
    g_hudInput.flags.nightVision = on ? 1 : 0;
    g_firstPersonControl.nightVision = on;
}

// The look factor follows the field of view in use when the binocular changes it.
void ScaleLookFactor()
{
    const float factor = GameGetFieldOfView() * g_playerControl.baseLookFactor * kTwoOverPi;
    g_game.mouseLookFactorX = factor;
    g_game.mouseLookFactorY = factor;
}

void SetBinocularStep(s32_t step)
{
    ScaleLookFactor();
    g_game.binocularStep = step;
    GameSetFieldOfView(kBinocularSteps[step] * kDegree);
}

// A soldier the satellite view shows a preview of: alive, of the player's side.
bool IsFriendOfPlayer(const Actor* actor, const Actor* player)
{
    if (!actor || actor == player || actor->isDead || actor->GetHealth() <= 0.0f)
        return false;
    const AIEntity* entity = actor->GetAIEntity();
    const AIEntity* playerEntity = player ? player->GetAIEntity() : nullptr;
    if (!entity || entity->IsNeutral())
        return false;
    return !playerEntity || !entity->IsEnemyOf(playerEntity);
}

const char* PreviewCaption(DynamicObject* object)
{
    if (object->envelope && object->envelope->name.Text() && object->envelope->name.Text()[0])
        return object->envelope->name.Text();
    return object->name.Text() ? object->name.Text() : "";
}

}  // namespace

void MapKeyUpdate()
{
    if (Released(ACTION_MAP))
        g_hudInput.flags.layer3 = g_hudInput.flags.layer3 ? 0 : 1;
}

void ToggleSatelliteView()
{
    g_game.satelliteView = g_game.satelliteView ? 0 : 1;
    // The satellite view steers by the cursor: it goes where the mouse takes it, and the mouse turns
    // no view meanwhile.
    g_frameView.freeMouse = g_game.satelliteView != 0;
    g_camera.nearPlane = g_game.satelliteView ? rfsatcamnear.Float() : kCameraDefaultNearPlane;
    GameClearFrameInput();
}

void SatelliteKeyUpdate()
{
    if (!Released(ACTION_SATCAM) || !gb_satcamenable.Bool())
        return;
    if (g_frameView.currentGameMod && !g_frameView.currentGameMod->satelliteView)
        return;
    if (mb_nightvision.Bool()) {
        g_game.savedNightVision = g_hudInput.flags.nightVision;
        SetNightVision(true);
    }
    RenderSetCameraObject(nullptr);
    ToggleSatelliteView();
    SetCursorVisible(g_game.satelliteView != 0);
    ShadowsUpdateDynamic();
    if (g_game.satelliteView) {
        InputCenterCursor();
        if (gb_satcamscan.Bool())
            ++g_game.satelliteScans;
    }
}

void ObjectivesKeyUpdate()
{
    if (!Released(ACTION_OBJECTIVES))
        return;
    if (g_frameView.currentGameMod && g_frameView.currentGameMod->ownScreens)
        return;
    g_hudInput.flags.objectivesShown = g_hudInput.flags.objectivesShown ? 0 : 1;
    if (!g_hudInput.flags.objectivesShown || !g_ai.eventList)
        return;
    if (ScriptEvent* event = g_ai.eventList->Find("OnShowObjectives"))
        event->Fire(nullptr, nullptr);
}

void NavigationKeyUpdate()
{
    if (Released(ACTION_NAVIGATION))
        g_hudInput.flags.worldMarkersShown = g_hudInput.flags.worldMarkersShown ? 0 : 1;
}

void NightVisionKeyUpdate()
{
    if (!Released(ACTION_NIGHTVISION) || !mb_nightvision.Bool())
        return;
    if (g_hudInput.flags.nightVision) {
        GameSetFieldOfView(kNormalFieldOfView);
        SetNightVision(false);
        g_hudInput.flags.quickMode = 0;
    } else {
        SetNightVision(true);
        g_hudInput.flags.quickMode = 1;
    }
}

void BinocularUpdate()
{
    HudFlags& flags = g_hudInput.flags;
    if (Released(ACTION_BINOCULAR)) {
        ScaleLookFactor();
        if (flags.binocularView) {
            flags.binocularView = 0;
            flags.quickMode = 0;
            GameSetFieldOfView(kNormalFieldOfView);
            g_game.binocularStep = 0;
            return;
        }
        GameSetFieldOfView(kBinocularSteps[g_game.binocularStep] * kDegree);
        flags.binocularView = 1;
        flags.quickMode = 1;
    }
    if (!flags.binocularView || flags.commandMenuOpen)
        return;
    if (Held(ACTION_ZOOMIN) && g_game.binocularStep < 2)
        SetBinocularStep(g_game.binocularStep + 1);
    if (Held(ACTION_ZOOMOUT) && g_game.binocularStep >= 1)
        SetBinocularStep(g_game.binocularStep - 1);
}

void PlayerDeathCheck()
{
    Actor* player = PlayerActor();
    PlayerSoundView& view = GamePlayerSoundView();
    if (!player || player->GetHealth() > 0.0f || view.playerDead)
        return;
    gbthirdperson.SetBool(true);
    if (g_game.satelliteView) {
        ToggleSatelliteView();
        SetCursorVisible(false);
    }
    view.playerDead = true;
    player->SetDrawn(true);
    if (GameGetFieldOfView() != kNormalFieldOfView) {
        GameSetFieldOfView(kNormalFieldOfView);
        ShadowsUpdateDynamic();
    }
    if (!g_frameView.currentGameMod)
        GameShowMessage(player->name.Text(), "messages._gm_player_dead");
}

void HudAddFriendlyPreviews()
{
    const Actor* player = PlayerActor();
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    s32_t k = 0;
    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* object = objects[i];
        if (!object || object->typeId != OBJECT_TYPE_ACTOR)
            continue;
        if (!IsFriendOfPlayer(static_cast<const Actor*>(object), player))
            continue;
        ObjectPreview* preview = ObjectPreviewAdd();
        // The slots are full: the rest of the row has nowhere to go.
        if (!preview)
            return;
        ++k;
        preview->left = g_render.screenWidth - kFriendlyPreviewSpacing * k;
        preview->top = kFriendlyPreviewTop;
        preview->width = kFriendlyPreviewSize;
        preview->height = kFriendlyPreviewSize;
        preview->scale = 1.0f;
        preview->object = object;
        preview->caption = PreviewCaption(object);
    }
}

void GameGetCursorPosition(int* x, int* y)
{
    if (x)
        *x = static_cast<int>(g_game.cursorX);
    if (y)
        *y = static_cast<int>(g_game.cursorY);
}

void SatelliteInitFieldOfView()
{
    g_game.satelliteFieldOfView = kSatelliteZoomFactors[0] * kNormalFieldOfView;
}
