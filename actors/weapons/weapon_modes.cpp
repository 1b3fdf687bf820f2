// Sub-weapons, fire modes, the first-person lookups and the per-frame update of a mounted weapon.
#include <string>

#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/event_handlers.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/log.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"
#include "world/nodes/graph_node.h"
#include "world/objects/shadow_object.h"

namespace {

// The first three entries are searched for the current weapon and the fire mode.
constexpr u32_t kSearched = 3;

}  // namespace

bool Weapon::AddSubWeapon(Weapon* sub)
{
    if (!sub || subWeaponCount >= WEAPON_MAX_SUBWEAPONS)
        return false;
    if (subWeaponCount == subWeaponCapacity) {
        u32_t capacity = subWeaponCapacity == 0 ? 4 : subWeaponCapacity * 2;
        if (capacity > WEAPON_MAX_SUBWEAPONS)
            capacity = WEAPON_MAX_SUBWEAPONS;
        Weapon** grown = new Weapon*[capacity]();
        for (u32_t i = 0; i < subWeaponCount; ++i)
            grown[i] = subWeapons[i];
        delete[] subWeapons;
        subWeapons = grown;
        subWeaponCapacity = capacity;
    }
    if (commonStats) {
        sub->magazineCap = magazineCap;
        sub->roundsInGun = roundsInGun;
        sub->spareMagazines = spareMagazines;
        sub->magazineCountFull = magazineCountFull;
        sub->magazines = magazines;
        sub->ringSize = magazines ? ringSize : 0;
        sub->ringOwned = false;
        sub->commonStats = commonStats;
        sub->fireModeCount = fireModeCount;
        sub->fireModeMask = fireModeMask;
        sub->fireMode = fireMode;
        sub->delay = delay;
        sub->fpmFirst = fpmFirst;
        sub->fpmSecond = fpmSecond;
    }
    sub->subWeaponIndex = subWeaponCount;
    subWeapons[subWeaponCount++] = sub;
    return true;
}

// The switch away from the previous current weapon: its pending flag (under "common_stats" also
// on its own sub-weapons but the one it had selected), and the carrier shows the new one.
static void FinishSwitch(Weapon& weapon, Weapon* previous)
{
    previous->switchPending = true;
    if (weapon.commonStats) {
        for (u32_t i = 0; i < previous->subWeaponCount; ++i) {
            Weapon* sub = previous->subWeapons[i];
            if (sub != previous->currentWeapon)
                sub->switchPending = true;
        }
    }
    if (weapon.owner)
        weapon.owner->ShowSubWeapon(previous, weapon.currentWeapon);
}

void Weapon::NextSubWeapon()
{
    if (subWeaponCount == 0)
        return;
    Weapon* previous = currentWeapon;
    s32_t found = -1;
    for (u32_t i = 0; i < subWeaponCount && i < kSearched; ++i) {
        if (subWeapons[i] == currentWeapon) {
            found = static_cast<s32_t>(i);
            break;
        }
    }
    if (found < 0)
        currentWeapon = subWeapons[0];
    else if (found < static_cast<s32_t>(subWeaponCount) - 2)
        currentWeapon = subWeapons[found + 1];
    else
        currentWeapon = this;
    FinishSwitch(*this, previous);
}

void Weapon::SelectSubWeapon(s32_t index)
{
    if (subWeaponCount == 0)
        return;
    if (index < 0)
        index = 0;
    if (index >= static_cast<s32_t>(subWeaponCount))
        return;
    Weapon* previous = currentWeapon;
    currentWeapon = subWeapons[index];
    FinishSwitch(*this, previous);
}

// The current weapon's mode, passed on under "common_stats" to the other sub-weapons and, from a
// sub-weapon, to the weapon itself.
static void ApplyFireMode(Weapon& weapon, u32_t mode)
{
    weapon.currentWeapon->fireMode = mode;
    if (!weapon.commonStats)
        return;
    for (u32_t i = 0; i < weapon.subWeaponCount; ++i) {
        if (weapon.subWeapons[i] != weapon.currentWeapon)
            weapon.subWeapons[i]->fireMode = mode;
    }
    if (weapon.currentWeapon != &weapon)
        weapon.fireMode = mode;
}

void Weapon::NextFireMode()
{
    const u32_t now = GetTickCount();
    if (lastModeSwitchTime + WEAPON_MODE_SWITCH_MS >= now)
        return;
    lastModeSwitchTime = now;
    if (fireModeCount < 2)
        return;
    const u32_t used = fireModeCount < WEAPON_FIRE_MODE_SLOTS ? fireModeCount : WEAPON_FIRE_MODE_SLOTS;
    u32_t at = used - 1;
    for (u32_t i = 0; i < used && i < kSearched; ++i) {
        if (fireModes[i] == currentWeapon->fireMode) {
            at = i;
            break;
        }
    }
    ApplyFireMode(*this, fireModes[(at + 1) % used]);
}

bool Weapon::HasFireMode(u32_t mode) const
{
    for (u32_t i = 0; i < fireModeCount && i < WEAPON_FIRE_MODE_SLOTS; ++i) {
        if (fireModes[i] == mode)
            return true;
    }
    return false;
}

void Weapon::SetFireMode(u32_t mode)
{
    if (HasFireMode(mode))
        ApplyFireMode(*this, mode);
}

void Weapon::ClearSwitchPending()
{
    switchPending = false;
    if (!commonStats)
        return;
    for (u32_t i = 0; i < subWeaponCount; ++i) {
        if (subWeapons[i] != currentWeapon)
            subWeapons[i]->switchPending = false;
    }
    if (currentWeapon != this)
        currentWeapon->switchPending = false;
}

IDirect3DTexture8** Weapon::GetFirstPersonAnims(u32_t* out, u32_t level) const
{
    if (out) {
        for (u32_t i = 0; i < MAX_WEAPON_FP_ANIMS; ++i)
            out[i] = fpTextureStart[i];
    }
    return level < WEAPON_FP_LODS ? fpTextures[level] : nullptr;
}

void Weapon::Update()
{
    if (mountNode && !mountSetUp) {
        DOEnvelope* bound = new DOEnvelope(name.Text());
        bound->Attach(this);
        if (EnvelopeRegister(bound) < 0) {
            // A full envelope table: the mount works without an envelope.
            Log("WARNING: no envelope for mounted weapon %s\n", name.Text());
            envelope = nullptr;
            delete bound;
            bound = nullptr;
        } else {
            ownsEnvelope = true;
        }
        if (bound && !bound->handler) {
            if (EventHandler* handler = EventHandlerFind("weapon_fixed")) {
                bound->handler = handler;
                handler->AddRef();
            } else {
                ConPrint(0,
                         ERROR_COLOUR "Warning: handler 'weapon_fixed' not found, fixed weapons will be unusable!\n");
            }
        }
        SetPosition(GetMuzzlePosition());
        // The fire point: a copy of the mount's model under the weapon's root, left out of traces.
        GraphNode* fire = new GraphNode(mountNode->GetName());
        fire->SetParent(root);
        fire->SetAnimMesh(mountNode->GetAnimMesh(), "component\\_common");
        const u32_t meshes = fire->FrameZeroMeshCount();
        for (u32_t i = 0; i < meshes && i < mountNode->FrameZeroMeshCount(); ++i) {
            fire->SetMeshTexture(i, mountNode->GetMeshTextures()[i]);
            if (fire->GetMeshSettings() && mountNode->GetMeshSettings())
                fire->GetMeshSettings()[i] = mountNode->GetMeshSettings()[i];
        }
        fire->traceExcluded = 1;
        root->AddChild(fire);
        SetDrawn(false);
        fireNode[0] = fireNode[1] = fire;
        mountSetUp = true;
        placementChanged = true;
        float box[6];
        GetGeometryBounds(box);
        mountRotation = GetRotation();
    }
    if (mountNode) {
        SetPosition(GetMuzzlePosition());
        DynObjectUpdateGrid(this);
    }
    if (placementChanged) {
        DynObjectUpdateGrid(this);
        for (DynamicObject* companion : {shadowCompanion, shadowVolume}) {
            if (!companion)
                continue;
            static_cast<ShadowObject*>(companion)->Invalidate();
            DynObjectUpdateGrid(companion);
        }
        placementChanged = false;
    }
}
