// Taking and dropping: pick-up items, weapons lying in the world or mounted, entering a vehicle seat,
// putting the weapon in hand back into the world, and leaving the seat.
#include "actors/actor.h"

#include "core/frame_view.h"
#include "core/strings/text_case.h"

#include "actors/actor_motion.h"
#include "actors/vehicles/vehicle.h"
#include "actors/weapons/weapon.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_retire.h"
#include "ai/envelopes/event_handlers.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/log.h"
#include "core/random.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_source.h"
#include "core/sound/sound_system.h"
#include "game/mission/game_messages.h"
#include "game/game_state.h"
#include "gui/texts/gui_locale.h"
#include "map/trace/map_trace.h"
#include "map/terrain/terrain_height.h"
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "scene/plugin_bridges/indoor_objects.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

namespace {

// Taking, dropping and selecting use the first five slots.
constexpr int kTakeSlots = 5;
constexpr u8_t kNoSlot = 255;
constexpr float kDropLift = 0.5f;
constexpr float kDropTraceDepth = 1000.0f;
constexpr float kLyingPitch = 1.5707964f;
constexpr float kRandScale = 3.0518509e-5f;

void SetOwner(Weapon* weapon, Actor* owner)
{
    weapon->owner = owner;
    for (u32_t i = 0; i < weapon->subWeaponCount; ++i) {
        if (Weapon* sub = weapon->GetSubWeapon(i))
            sub->owner = owner;
    }
}

// The localized text of a message key.
EngineString Localized(const char* key)
{
    EngineString text;
    GuiLocalize(EngineString(key), &text);
    return text;
}

// The weapon's model node: the first child of its root.
GraphNode* ModelNode(const Weapon* weapon)
{
    GraphNode* top = weapon->GetRootNode();
    return top && top->GetChildCount() > 0 ? top->GetChild(0) : nullptr;
}

// A node showing the source node's mesh with its textures, settings and level-of-detail flags.
GraphNode* CopyMeshNode(GraphNode* parent, const char* nodeName, GraphNode* source, const char* parentDummy,
                        const char* ownDummy)
{
    AnimMesh* mesh = source->GetAnimMesh();
    GraphNode* node = GraphObjAddMeshNode(parent, nodeName, mesh, "", parentDummy, ownDummy);
    const u32_t count = node->FrameZeroMeshCount();
    for (u32_t i = 0; i < count; ++i) {
        if (source->GetMeshTextures())
            node->SetMeshTexture(i, source->GetMeshTextures()[i]);
        if (source->GetMeshSettings() && node->GetMeshSettings())
            node->GetMeshSettings()[i] = source->GetMeshSettings()[i];
    }
    source->CopyLodRender(node);
    return node;
}

}  // namespace

// ---- taking ----

void Actor::TakeItem(DynamicObject* object)
{
    if (!object)
        return;
    switch (object->GetTypeId()) {
        case OBJECT_TYPE_MAP_OBJECT: {
            // With every item entry in use the item would be hidden and disabled yet carried nowhere,
            // and so lost: it stays where it is instead.
            bool room = false;
            for (DOEnvelope* entry : carriedItems)
                room = room || !entry;
            DOEnvelope* item = object->envelope;
            if (!room || !item)
                return;
            object->SetDrawn(false);
            object->SetCastsShadow(false);
            object->ReleaseShaderSettings();
            if (item->disabled)
                return;
            ActorAddCarriedItem(item);
            item->Disable(nullptr);
            ConPrint(4, "'%s' added to inventory.\n", item->name.Text());
            return;
        }
        case OBJECT_TYPE_VEHICLE: {
            Vehicle* taken = static_cast<Vehicle*>(object);
            if (taken->speed > 1.0f)
                return;
            const bool isPlayer = this == g_frameView.player;
            if (isPlayer) {
                if (g_game.vehicleBarred)
                    return;
                GameSetPlayerVehicle(taken);
            }
            if (inVehicle && vehicle) {
                vehicle->LeaveSeat(this);
                GameUnlinkActorBody(this);
            }
            inVehicle = true;
            vehicle = taken;
            seat = nullptr;
            if (taken->seats && taken->seatCount > 0) {
                s32_t number = 0;
                const DOEnvelope* place = taken->envelope;
                if (place && place->currentSeatRecord >= 0 &&
                    static_cast<size_t>(place->currentSeatRecord) < place->seatRecords.size())
                    number = place->seatRecords[static_cast<size_t>(place->currentSeatRecord)].seatNumber;
                // A seat number beyond the defined seats names none: the first seat is asked for.
                seat = &taken->seats[number >= 0 && number < taken->seatCount ? number : 0];
            }
            if (!seat || seat->occupant)
                seat = taken->FindFreeSeat();
            if (!seat) {
                if (isPlayer)
                    GameSetPlayerVehicle(nullptr);
                vehicle = nullptr;
                inVehicle = false;
                return;
            }
            GameLinkActorBody(this, seat->attachNode, "xdef", seat->attachMesh);
            taken->EnterSeat(this);
            if (seat->driver && taken->sound && taken->sound->soundTable) {
                const Vector3 at = taken->GetPosition();
                SoundInstance* start = taken->sound->soundTable->Pick(SOUND_TURN_ON, false, 0);
                if (start && SoundTravelDelay(at) == 0 && SoundLodForPoint(at) == 0)
                    start->PlayOnPath(SoundDefaultPath(), false);
                taken->soundStartTime = GetTickCount();
            }
            if (isPlayer) {
                GameShowMessage(name.Text(), "messages._gm_vehicle_taken");
                SoundStopAll();
            }
            return;
        }
        case OBJECT_TYPE_WEAPON:
            break;
        default:
            return;
    }

    Weapon* weapon = static_cast<Weapon*>(object);
    if (weapon->mountNode) {
        if (weapon->owner)
            return;
        usesMountedWeapon = true;
        mountedWeapon = weapon;
        weapon->previousOwner = nullptr;
        SetOwner(weapon, this);
        weapon->SetDrawn(false);
        const u8_t hidden[3] = {0, 0, 0};
        weapon->mountNode->SetLodRender(hidden);
        return;
    }

    const u32_t kind = weapon->slotType;
    for (int slot = 0; slot < kTakeSlots; ++slot) {
        if (!weapons[slot] || weapons[slot]->slotType != kind)
            continue;
        if (this == g_frameView.player) {
            ConPrint(4, "%s\n", Localized("messages._gm_havealready").Text());
            return;
        }
        const Weapon* inHand = WeaponInHand();
        if (!inHand || inHand->slotType != kind) {
            if (!SelectWeaponKind(static_cast<s32_t>(kind)))
                return;
            SwapWeaponNodes(static_cast<u16_t>(kind));
            slotChangeRequest = false;
            previousSlot = selectedSlot;
        }
        DropItem(0);
    }
    int freeSlot = 0;
    while (freeSlot < kTakeSlots && weapons[freeSlot])
        ++freeSlot;
    if (freeSlot == kTakeSlots)
        return;
    weapons[freeSlot] = weapon;
    weaponOwned[freeSlot] = true;
    ++weaponCount;

    // The carry node is named after the weapon, as every weapon node of the actor is found by it.
    GraphNode* model = ModelNode(weapon);
    GraphNode* torso = ActorTorsoNode(this);
    if (model && model->GetAnimMesh() && torso && !WeaponNode(weapon)) {
        GraphNode* body = ActorBodyNode(this);
        const char* dummy = weapon->carryDummy.Text();
        GraphNode* carrier = body && AnimMeshFindDummy(body->GetAnimMesh(), dummy) >= 0 ? body : torso;
        GraphNode* node = CopyMeshNode(torso, weapon->name.Text(), model, nullptr, "x2");
        node->SetAttachPoint(AnimMeshFindDummy(carrier->GetAnimMesh(), dummy),
                             AnimMeshFindDummy(node->GetAnimMesh(), "x2"));
    }

    const s32_t selectKind = g_game.savingRestart ? static_cast<s32_t>(WEAPON_SLOT_PRIMARY) : static_cast<s32_t>(kind);
    if (g_game.savingRestart || weaponCount == 1)
        selectedSlot = kNoSlot;
    if (SelectWeaponKind(selectKind)) {
        SwapWeaponNodes(static_cast<u16_t>(selectKind));
        slotChangeRequest = false;
        previousSlot = selectedSlot;
    }
    selectedSlot = static_cast<u8_t>(freeSlot);

    DynObjectRemove(weapon);
    // A weapon lying in an indoor cell leaves the plug-in's keeping.
    IndoorObjectForget(weapon);
    weapon->previousOwner = nullptr;
    SetOwner(weapon, this);
    // The envelope of a weapon lying in the world belongs to the weapon: once carried it is gone.
    // Taken by a handler, the envelope may be the one whose event runs now: it goes when that is over.
    if (DOEnvelope* lying = weapon->envelope) {
        weapon->envelope = nullptr;
        weapon->ownsEnvelope = false;
        EnvelopeRetire(lying);
    }
    if (!g_game.savingRestart)
        ConPrint(4, "%s: %s taken\n", name.Text(), weapon->name.Text());
}

// ---- dropping ----

Weapon* Actor::DropItem(u8_t force)
{
    if ((reloading && !force) || weaponCount == 0)
        return nullptr;
    // Slot 255 (none chosen) holds nothing.
    const Weapon* selected = selectedSlot < kTakeSlots ? weapons[selectedSlot] : nullptr;
    if (selected && selected->slotType == WEAPON_SLOT_CSW && !force)
        return nullptr;
    const auto firstOccupied = [this]() {
        for (int slot = 0; slot < kTakeSlots; ++slot) {
            if (weapons[slot] && weaponOwned[slot])
                return slot;
        }
        return -1;
    };
    if (this == g_frameView.player && weaponCount == 1 && !force) {
        const int only = selected ? selectedSlot : firstOccupied();
        ConPrint(4, "%s ", only >= 0 ? weapons[only]->name.Text() : "");
        ConPrint(4, "%s\n", Localized("messages._gm_only_weapon").Text());
        return nullptr;
    }
    if (!selected) {
        const int first = firstOccupied();
        if (first < 0)
            return nullptr;
        selectedSlot = static_cast<u8_t>(first);
    }
    const u8_t dropped = selectedSlot;
    weaponOwned[dropped] = false;
    if (!isDead && (!force || weaponCount > 1)) {
        bool chosen = false;
        for (s32_t kind = 0; kind <= static_cast<s32_t>(WEAPON_SLOT_EXPLOSIVE) && !chosen; ++kind) {
            if (!SelectWeaponKind(kind))
                continue;
            SwapWeaponNodes(static_cast<u16_t>(kind));
            slotChangeRequest = false;
            previousSlot = selectedSlot;
            chosen = true;
        }
        if (!chosen) {
            weaponOwned[dropped] = true;
            return nullptr;
        }
    } else {
        const int first = firstOccupied();
        if (first >= 0)
            selectedSlot = static_cast<u8_t>(first);
    }
    Weapon* weapon = weapons[dropped];

    // The model goes back to the weapon's own tree; a weapon without carry node drops without one.
    GraphNode* carry = WeaponNode(weapon);
    GraphNode* top = weapon->GetRootNode();
    if (top && top->GetChildCount() == 0 && carry && carry->GetAnimMesh()) {
        GraphNode* node = CopyMeshNode(top, weapon->name.Text(), carry, nullptr, nullptr);
        node->SetAttachPoint(-1, -1);
    }
    if (carry && carry->GetParent())
        carry->GetParent()->RemoveChild(carry);

    const Vector3 rootPosition = GetPosition();
    weapon->SetRotation({kLyingPitch, static_cast<float>(EngineRand()) * kRandScale, 0.0f});
    Vector3 place = {rootPosition.x, rootPosition.y + kDropLift, rootPosition.z};
    bool indoor = false;
    IndoorPosition where = {0, 0};
    if (this == g_frameView.player) {
        const float* view = g_frameView.viewPos;
        const float start[3] = {view[0], view[1] + GetPoseHeight(ACTOR_AIM_BODY), view[2]};
        const float end[3] = {start[0], start[1] - kDropTraceDepth, start[2]};
        float height = MapTerrainHeight(place.x, place.z, nullptr, nullptr);
        MapTraceInfo indoorHit;
        indoorHit.flags = 0;
        indoorHit.resultKind = TRACE_RESULT_NONE;
        indoorHit.hitObject = nullptr;
        indoorHit.ignoreObject = this;
        indoorHit.hitMapMesh = nullptr;
        if (WorldTraceIndoor(start, end, &indoorHit, &where) && indoorHit.hitPoint.y >= height) {
            height = indoorHit.hitPoint.y;
            indoor = true;
        }
        MapTraceInfo mapHit;
        mapHit.flags = TRACE_TILED | TRACE_OBJECTS;
        mapHit.resultKind = TRACE_RESULT_NONE;
        mapHit.hitObject = nullptr;
        mapHit.ignoreObject = this;
        mapHit.hitMapMesh = nullptr;
        if (MapTrace(start, end, &mapHit) &&
            (mapHit.resultKind & TRACE_RESULT_OBJECT_NEAREST) == TRACE_RESULT_OBJECT_NEAREST) {
            const float y = mapHit.objHitPoint.y;
            if (y > height) {
                height = y;
                indoor = false;
            }
        }
        place.y = height + kDropLift;
    }
    weapon->SetPosition(place);
    weapon->previousOwner = this;
    weapon->owner = nullptr;
    const bool placed = (indoor && IndoorObjectAdd(weapon, where)) || DynObjectAdd(weapon);
    weapons[dropped] = nullptr;
    --weaponCount;
    if (!placed) {
        // The world is full: a weapon lying nowhere could never be taken again nor freed.
        Log("WARNING: dropped weapon %s has no place in the world, removed\n", weapon->name.Text());
        delete weapon;
        return nullptr;
    }

    DOEnvelope* lying = new DOEnvelope(weapon->name.Text());
    if (EnvelopeRegister(lying) < 0) {
        // A full envelope table: the weapon lies in the world without an envelope.
        Log("WARNING: no envelope for dropped weapon %s\n", weapon->name.Text());
        delete lying;
        return weapon;
    }
    lying->Attach(weapon);
    weapon->ownsEnvelope = true;
    if (EventHandler* handler = EventHandlerFind("weapon_dynamic")) {
        lying->handler = handler;
        handler->AddRef();
    } else {
        ConPrint(0, ERROR_COLOUR "Warning: handler 'weapon_dynamic' not found, weapons will be untakable!\n");
    }
    return weapon;
}

bool Actor::HasItem(const char* itemName) const
{
    if (!itemName)
        return false;
    for (const DOEnvelope* entry : carriedItems) {
        if (entry && CompareNoCase(entry->name.Text(), itemName) == 0)
            return true;
    }
    return false;
}

void Actor::LeaveVehicle()
{
    if (!vehicle)
        return;
    if (this != g_frameView.player && !isDead && seat && seat->attachNode) {
        D3DXMATRIX world;
        seat->attachNode->UpdateTransform(&world);
        const D3DXVECTOR3 local(seat->stepOut.x, seat->stepOut.y, seat->stepOut.z);
        D3DXVECTOR3 out;
        D3DXVec3TransformCoord(&out, &local, &world);
        SetPosition({out.x, out.y, out.z});
    }
    vehicle->LeaveSeat(this);
    GameUnlinkActorBody(this);
    inVehicle = false;
    vehicle = nullptr;
    seat = nullptr;
}
