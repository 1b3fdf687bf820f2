#include "game/player/object_use.h"

#include <cstdint>

#include "actors/actor.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_retire.h"
#include "ai/envelopes/event_handlers.h"
#include "ai/script/named_values.h"
#include "ai/script/script_functions.h"
#include "core/console/console.h"
#include "core/input/input.h"
#include "core/plugins/plugin_api.h"
#include "core/plugins/plugin_host.h"
#include "game/player/command_menu.h"
#include "game/player/cursor_pick.h"
#include "game/player/player_control.h"
#include "game/player/player_control_state.h"
#include "render/draw2d/hud_input.h"
#include "world/wires/wires.h"

namespace {

bool Held(u8_t action)
{
    return g_input.actionDown[action] == INPUT_STATE_DOWN;
}

bool Released(u8_t action)
{
    return g_input.actionReleased[action] == INPUT_STATE_DOWN;
}

// "OnInteract" on behalf of the player, then the plug-ins' object-use event.
void Interact(Envelope* envelope)
{
    PlayerControlState& s = g_playerControl;
    // A handler shared by many envelopes ("weapon_dynamic") finds the one used as "this".
    HandlerSetEventObject(envelope);
    s.handlerEventRunning = 1;
    // The sender is the player's own envelope (none without one).
    const Actor* player = PlayerActor();
    envelope->FireEvent(player ? player->envelope : nullptr, kEventOnInteract);
    s.handlerEventRunning = 0;
    const DynamicObject* object = ObjectUseBoundObject(envelope);
    ObjectUseEvent event = {reinterpret_cast<PluginWord>(envelope), static_cast<std::uint32_t>(kEventOnInteract),
                            object ? object->useWord : 0u};
    g_pluginHost.Broadcast(HookObjectUsed, reinterpret_cast<std::uintptr_t>(&event));
}

void DropObjectInUse()
{
    PlayerControlState& s = g_playerControl;
    ObjectUseClearHighlights(s.objectInUse);
    s.objectInUse = nullptr;
    s.usePending = 0;
}

}  // namespace

DynamicObject* ObjectUseBoundObject(const Envelope* envelope)
{
    const DOEnvelope* bound = dynamic_cast<const DOEnvelope*>(envelope);
    return bound ? bound->object : nullptr;
}

void ObjectUseClearHighlights(const Envelope* envelope)
{
    if (DynamicObject* object = ObjectUseBoundObject(envelope)) {
        object->pickedHighlight = 0;
        object->markedHighlight = 0;
    }
}

bool ObjectUseDefaultCondition(const Envelope* envelope)
{
    EventHandler* handler = envelope ? envelope->handler : nullptr;
    const ScriptValue* member = handler ? handler->GetMembers()->Find("defaultcondition") : nullptr;
    if (!member)
        return false;
    s32_t item = -1;
    if (member->data) {
        if (member->Type() == TYP_INT)
            item = *static_cast<const s32_t*>(member->data);
        else if (member->Type() == TYP_FLOAT)
            item = static_cast<s32_t>(*static_cast<const float*>(member->data));
    }
    CommandMenuSetSelectionMode(item);
    PlayerControlState& s = g_playerControl;
    s.usePending = 1;
    s.pendingTargetMode = g_commandMenu.selectionMode;
    return true;
}

void ObjectUseUpdate()
{
    // The used envelope outlives its handler's event even when the handler takes it away (the
    // placed rifle's "weapon_dynamic" gives the weapon to the player): the plug-ins' event and the
    // highlights still reach it, and it goes when this returns.
    const EnvelopeEventScope scope;
    PlayerControlState& s = g_playerControl;
    HudFlags& flags = g_hudInput.flags;
    if (!flags.binocularView) {
        if (Held(ACTION_QUICKMODE)) {
            flags.quickMode = 1;
        } else {
            flags.quickMode = 0;
            DropObjectInUse();
        }
    }
    if (!Released(ACTION_FIRE) || !flags.quickMode || flags.commandMenuOpen)
        return;

    if (s.usePending) {
        Interact(s.objectInUse);
        DropObjectInUse();
        return;
    }
    Envelope* picked = GamePickObjectAtCursor();
    s.objectInUse = picked;
    if (!picked) {
        ConObjSightTest();
        ConObjCutSightedWire();
        return;
    }
    DynamicObject* object = ObjectUseBoundObject(picked);
    if (!object || object->GetTypeId() != OBJECT_TYPE_ACTOR) {
        const Vector3 at = picked->GetPosition();
        const float* player = GameGetPlayerPos();
        const float dx = at.x - player[0], dy = at.y - player[1], dz = at.z - player[2];
        if (dx * dx + dy * dy + dz * dz < kObjectUseRangeSq) {
            Interact(picked);
            s.objectInUse = nullptr;
            s.usePending = 0;
        } else {
            ConPrint(4, "Object too far!\n");
        }
        return;
    }
    // A soldier is picked for an order: no distance limit.
    object->pickedHighlight = 1;
    ObjectUseDefaultCondition(picked);
}
