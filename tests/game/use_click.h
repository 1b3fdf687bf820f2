// The player's use click on an envelope's object as the frame makes it: "quickmode" held, "fire"
// released, the object under the crosshair, the player beside it; ObjectUseUpdate does the rest.
// The held and released actions are let go again afterwards, and the player is put back where he
// stood. He is put there and back as a load puts him, not walked: the next frame's collision would
// otherwise slide him from his last place towards the object, through whatever lies between (the
// sample's gate trigger, which wins the mission once the supplies are taken).
#pragma once
#include "ai/envelopes/envelope.h"
#include "core/input/input.h"
#include "game/player/cursor_pick.h"
#include "game/player/object_use.h"
#include "game/player/player_control.h"
#include "game/player/player_control_state.h"
#include "game/player/player_foot_control.h"
#include "render/draw2d/hud_input.h"

inline void PlacePlayerAt(const float* at)
{
    GameSetPlayerPos(at);
    for (int axis = 0; axis < 3; ++axis)
        g_playerFoot.previousPosition[axis] = at[axis];
}

inline void UseClickOn(Envelope* envelope)
{
    const float* stood = GameGetPlayerPos();
    const float from[3] = {stood[0], stood[1], stood[2]};
    const Vector3 at = envelope->GetPosition();
    const float beside[3] = {at.x, at.y, at.z};
    PlacePlayerAt(beside);
    GameSetPickedObject(envelope);
    g_hudInput.flags.binocularView = 0;
    g_hudInput.flags.commandMenuOpen = 0;
    g_playerControl.usePending = 0;
    g_input.actionDown[ACTION_QUICKMODE] = INPUT_STATE_DOWN;
    g_input.actionReleased[ACTION_FIRE] = INPUT_STATE_DOWN;
    ObjectUseUpdate();
    g_input.actionDown[ACTION_QUICKMODE] = 0;
    g_input.actionReleased[ACTION_FIRE] = 0;
    g_hudInput.flags.quickMode = 0;
    GameSetPickedObject(nullptr);
    PlacePlayerAt(from);
}
