// The weapons in an actor's hands: choosing the weapon in hand by kind, moving weapon nodes between
// their carry dummies and the right hand, showing a sub-weapon's model, firing along the actor's own
// angles or along given ones, reloading, and aiming a mounted weapon.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "actors/actor.h"
#include "actors/actor_class.h"
#include "actors/actor_motion.h"
#include "actors/vehicles/vehicle.h"
#include "actors/weapons/weapon.h"
#include "core/frame_view.h"
#include "core/plugins/plugin_api.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_source.h"
#include "core/sound/sound_system.h"
#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "render/camera.h"
#include "render/render_cvars.h"
#include "scene/plugin_bridges/indoor_link.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

namespace {

constexpr u8_t kNoSlot = 255;
constexpr const char* kHandDummy = "xhand_r";
constexpr const char* kWeaponDummy = "x2";
constexpr const char* kMuzzleDummy = "x1";
// A held trigger counts as pulled anew once this long has passed since the last shot.
constexpr u32_t kRepullMs = 300;
// Eye heights by pose (stand, crouch, prone) and on a mounted weapon.
constexpr float kEyeHeights[3] = {17.0f, 12.0f, 3.0f};
constexpr float kMountedEyeHeight = 17.0f;

// The child of the node named like the weapon.
GraphNode* ChildNamed(GraphNode* parent, const char* name)
{
    if (!parent)
        return nullptr;
    for (s32_t i = 0; i < parent->GetChildCount(); ++i) {
        GraphNode* child = parent->GetChild(i);
        if (std::strcmp(child->GetName(), name) == 0)
            return child;
    }
    return nullptr;
}

// Moves the node under whichever of torso and body carries the actor-side dummy (the torso first)
// and hangs it there by the two dummies. A dummy neither mesh has leaves the node where it is.
void HangNode(Actor* actor, GraphNode* node, const char* actorDummy)
{
    if (!node)
        return;
    for (GraphNode* carrier : {ActorTorsoNode(actor), ActorBodyNode(actor)}) {
        if (!carrier)
            continue;
        const s32_t at = AnimMeshFindDummy(carrier->GetAnimMesh(), actorDummy);
        if (at < 0)
            continue;
        GraphNode* from = node->GetParent();
        if (from != carrier) {
            // Children are owned: take the node out of the old parent's list without freeing it.
            if (from)
                from->ReleaseChild(node);
            node->SetParent(carrier);
            carrier->AddChild(node);
        }
        node->SetAttachPoint(at, AnimMeshFindDummy(node->GetAnimMesh(), kWeaponDummy));
        return;
    }
}

Vector3 Transform(const D3DXMATRIX& m, const Vector3& v)
{
    const D3DXVECTOR3 in(v.x, v.y, v.z);
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &in, &m);
    return {out.x, out.y, out.z};
}

// A vector of a camera at the origin turned by the angles, in world space. The camera's world matrix
// carries it out: the view matrix is the inverse turn and would mirror the shot about the view.
Vector3 ViewDirection(float yaw, float pitch, const Vector3& forward)
{
    D3DXMATRIX view, world;
    CameraBuildViewMatrix(&view, &world, 0.0f, 0.0f, 0.0f, yaw, pitch, 0.0f);
    return Transform(world, forward);
}

// The indoor object and cell of a fire point, followed along the segment from the actor's position
// to it from copies of the actor's own two words, which stay as they are.
IndoorPosition FireIndoorPosition(const Actor* actor, const Vector3& point)
{
    IndoorPosition at = {reinterpret_cast<PluginWord>(actor->indoorObject),
                         static_cast<PluginWord>(static_cast<std::intptr_t>(actor->indoorCell))};
    const Vector3 p = actor->GetPosition();
    const float from[3] = {p.x, p.y, p.z};
    const float to[3] = {point.x, point.y, point.z};
    IndoorLocatePoint(from, to, &at);
    return at;
}

}  // namespace

Weapon* Actor::WeaponInHand() const
{
    if (usesMountedWeapon)
        return mountedWeapon;
    return selectedSlot < kActorWeaponSlots ? weapons[selectedSlot] : nullptr;
}

GraphNode* Actor::WeaponNode(const Weapon* weapon) const
{
    if (!weapon)
        return nullptr;
    if (GraphNode* node = ChildNamed(ActorTorsoNode(this), weapon->name.Text()))
        return node;
    return ChildNamed(ActorBodyNode(this), weapon->name.Text());
}

bool Actor::SelectWeaponKind(s32_t kind)
{
    const u8_t held = selectedSlot;
    previousSlot = selectedSlot;
    pendingSlotKind = static_cast<u16_t>(kind);
    slotChangeRequest = true;
    // Only the five weapon slots are taken in hand; the slots after them carry other things.
    constexpr u32_t kHandSlots = 5;
    u32_t slot = 0;
    while (slot < kHandSlots && !(weapons[slot] && weapons[slot]->slotType == static_cast<u32_t>(kind)))
        ++slot;
    if (slot == kHandSlots || !weaponOwned[slot])
        return false;
    selectedSlot = static_cast<u8_t>(slot);
    if (selectedSlot == held) {
        if (firstUpdateDone)
            return false;
        previousSlot = kNoSlot;
    } else if (!firstUpdateDone) {
        previousSlot = kNoSlot;
    }
    ActorAimAdjust(this, true);
    if (classInfo) {
        const Weapon* weapon = weapons[slot];
        for (size_t i = 0; i < classInfo->legsGroupNames.size(); ++i) {
            if (std::strcmp(classInfo->legsGroupNames[i].Text(), weapon->legsName.Text()) == 0) {
                weaponKind = static_cast<u16_t>(i);
                break;
            }
        }
        for (size_t i = 0; i < classInfo->torsoGroupNames.size(); ++i) {
            if (std::strcmp(classInfo->torsoGroupNames[i].Text(), weapon->torsoName.Text()) == 0) {
                torsoSet = static_cast<u16_t>(i);
                break;
            }
        }
    }
    ActorAimAdjust(this, false);
    shownSubWeapon = nullptr;
    return true;
}

void Actor::SwapWeaponNodes(u16_t)
{
    if (previousSlot != kNoSlot && previousSlot < kActorWeaponSlots && weapons[previousSlot]) {
        const Weapon* left = weapons[previousSlot];
        HangNode(this, WeaponNode(left), left->carryDummy.Text());
    }
    if (selectedSlot < kActorWeaponSlots && weapons[selectedSlot])
        HangNode(this, WeaponNode(weapons[selectedSlot]), kHandDummy);
}

void Actor::HolsterWeaponInHand()
{
    if (selectedSlot >= kActorWeaponSlots || !weapons[selectedSlot])
        return;
    const Weapon* held = weapons[selectedSlot];
    HangNode(this, WeaponNode(held), held->carryDummy.Text());
}

void Actor::ShowSubWeapon(Weapon* sub, Weapon* current)
{
    if (!sub)
        return;
    GraphNode* subRoot = sub->GetRootNode();
    GraphNode* model = subRoot && subRoot->GetChildCount() > 0 ? subRoot->GetChild(0) : nullptr;
    const AnimMesh* subMesh = model ? model->GetAnimMesh() : nullptr;
    GraphNode* currentRoot = current ? current->GetRootNode() : nullptr;
    const GraphNode* currentModel =
        currentRoot && currentRoot->GetChildCount() > 0 ? currentRoot->GetChild(0) : nullptr;
    const AnimMesh* currentMesh = currentModel ? currentModel->GetAnimMesh() : nullptr;
    const u32_t subCount = subMesh && subMesh->frames_c ? subMesh->frames[0].meshes_c : 0;
    const u32_t currentCount = currentMesh && currentMesh->frames_c ? currentMesh->frames[0].meshes_c : 0;
    if (model && subCount != currentCount)
        return;
    shownSubWeapon = sub;
    HangNode(this, WeaponNode(WeaponInHand()), kHandDummy);
    if (model || !subRoot)
        return;
    // The sub-weapon's own model, from the weapon folder, under its name; it takes the per-mesh
    // settings of the weapon's model as far as both have meshes (their counts may differ).
    AnimMesh* mesh = nullptr;
    EngineString folder;
    if (!sub->LoadAnim(sub->name.Text(), &mesh, &folder))
        return;
    GraphNode* made = GraphObjAddMeshNode(subRoot, sub->name.Text(), mesh, folder.Text(), nullptr, nullptr);
    const MeshSettings* from = currentModel ? currentModel->GetMeshSettings() : nullptr;
    MeshSettings* to = made->GetMeshSettings();
    if (from && to) {
        const u32_t shared = std::min(made->FrameZeroMeshCount(), currentModel->FrameZeroMeshCount());
        for (u32_t i = 0; i < shared; ++i)
            to[i] = from[i];
    }
    sub->boundsValid = 0;
}

Vector3 Actor::EyeOrigin() const
{
    Vector3 origin = GetPosition();
    if (usesMountedWeapon)
        origin.y += kMountedEyeHeight;
    else
        origin.y += kEyeHeights[GetActorPose()];
    return origin;
}

bool Actor::RefuseShot(Weapon* weapon, bool skipAmmo)
{
    if ((!skipAmmo && weapon && weapon->currentWeapon->roundsInGun == 0) || reloading) {
        aiming = false;
        ActorAimAdjust(this, false);
        return true;
    }
    return false;
}

bool Actor::Fire(bool aim, bool skipAmmo)
{
    Weapon* weapon = WeaponInHand();
    ActorAimAdjust(this, true);
    if (!weapon || RefuseShot(weapon, skipAmmo)) {
        if (!weapon)
            ActorAimAdjust(this, false);
        return false;
    }
    aiming = aim;
    ActorAlignBody(this);
    // The muzzle: the weapon node's place and its "x1" dummy, unless the shot leaves from the body.
    Vector3 muzzle = EyeOrigin();
    const Weapon* slotWeapon = selectedSlot < kActorWeaponSlots ? weapons[selectedSlot] : nullptr;
    GraphNode* node = fireFromBody ? nullptr : WeaponNode(slotWeapon);
    const AnimMesh* mesh = node ? node->GetAnimMesh() : nullptr;
    const s32_t dummy = AnimMeshFindDummy(mesh, kMuzzleDummy);
    if (dummy >= 0 && mesh->frames[0].meshes[dummy].dummyFrame) {
        D3DXMATRIX world;
        node->UpdateTransform(&world);
        const Vector3& offset = mesh->frames[0].meshes[dummy].dummyFrame->origin;
        muzzle = {world._41 + offset.x, world._42 + offset.y, world._43 + offset.z};
    }
    const IndoorPosition at = FireIndoorPosition(this, muzzle);
    const Vector3 d = ViewDirection(heading, -pitch, {0.0f, 0.0f, -1.0f});
    WeaponFireRequest request;
    request.muzzle = muzzle;
    request.aim = d;
    request.indoorObject = reinterpret_cast<void*>(at.object);
    request.indoorCell = static_cast<s32_t>(at.cell);
    request.yaw = heading;
    request.newPull = !wasAiming;
    const bool fired = weapon->Fire(request);
    if (fired)
        shotFired = true;
    ActorAimAdjust(this, false);
    return fired || (this == g_frameView.player && wasAiming && weapon->fireWait != 0);
}

bool Actor::FireAt(float yaw, float pitchAngle, bool alternateRate, bool forced)
{
    Weapon* weapon = WeaponInHand();
    ActorAimAdjust(this, true);
    if (!weapon || RefuseShot(weapon, false)) {
        if (!weapon)
            ActorAimAdjust(this, false);
        return false;
    }
    aiming = true;
    // A passenger shoots from his seat; everyone else from the eye of his pose.
    Vector3 origin = EyeOrigin();
    if (inVehicle && seat && !seat->driver && seat->attachNode) {
        D3DXMATRIX world;
        seat->attachNode->UpdateTransform(&world);
        origin = {world._41, world._42, world._43};
    }
    const IndoorPosition at = FireIndoorPosition(this, origin);
    const Vector3 d = ViewDirection(yaw, pitchAngle, {0.0f, 0.0f, 1.0f});
    const Weapon* unit = weapon->currentWeapon;
    const bool newPull = unit->fireMode == kFireModeSingle || GetTickCount() - unit->lastShotTime >= kRepullMs;
    WeaponFireRequest request;
    request.muzzle = origin;
    request.aim = d;
    request.indoorObject = reinterpret_cast<void*>(at.object);
    request.indoorCell = static_cast<s32_t>(at.cell);
    request.yaw = yaw;
    request.newPull = newPull;
    request.alternateRate = alternateRate;
    request.forced = forced;
    const bool fired = weapon->Fire(request);
    if (fired)
        shotFired = true;
    ActorAimAdjust(this, false);
    return fired || (this == g_frameView.player && !forced && weapon->fireWait != 0);
}

void Actor::StartReload()
{
    Weapon* weapon = WeaponInHand();
    if (reloading || !weapon)
        return;
    const Weapon* unit = weapon->currentWeapon;
    if (unit->roundsInGun >= unit->magazineCap || unit->spareMagazines == 0)
        return;
    const bool player = this == g_frameView.player;
    const bool thirdPerson = gbthirdperson.Bool();
    if (weapon->sound && weapon->sound->soundTable && (!player || thirdPerson) &&
        SoundLodForPoint(GetPosition()) == 0) {
        // The soldier's own source: the reload sounds where he stands.
        SoundInstance* reloadSound = weapon->sound->soundTable->Pick(SOUND_RELOAD, false, 0);
        if (reloadSound && sound)
            sound->PlaySegment(reloadSound->segment, false);
    }
    if (!player || thirdPerson)
        weapon->Reload();
    ActorAimAdjust(this, true);
    reloading = true;
    ActorAimAdjust(this, false);
}

bool Actor::ReloadWeapon()
{
    Weapon* weapon = WeaponInHand();
    return weapon ? weapon->Reload() : false;
}

void Actor::TurnMountedWeapon(float yaw)
{
    GraphNode* node = mountedWeapon ? mountedWeapon->fireNode[0] : nullptr;
    if (!node)
        return;
    Vector3 rotation = node->GetRotation();
    rotation.y = yaw;
    rotation.x = std::fmin(std::fmax(rotation.x, mountedWeapon->aimLimits[0]), mountedWeapon->aimLimits[1]);
    node->SetRotation(rotation);
}

void Actor::PitchMountedWeapon(float pitchAngle)
{
    GraphNode* node = mountedWeapon ? mountedWeapon->fireNode[1] : nullptr;
    if (!node)
        return;
    // The pitch itself, clamped to the pitch limits (never the heading).
    Vector3 rotation = node->GetRotation();
    rotation.z = std::fmin(std::fmax(pitchAngle, mountedWeapon->aimLimits[2]), mountedWeapon->aimLimits[3]);
    node->SetRotation(rotation);
}

// The weapon of the occupied seat in a vehicle, else the one in the selected slot, else none.
const Weapon* ActorWeaponInUse(const Actor* actor)
{
    if (!actor)
        return nullptr;
    if (actor->inVehicle)
        return actor->seat ? actor->seat->weapon : nullptr;
    const u8_t slot = actor->selectedSlot;
    return slot < kActorWeaponSlots && actor->weaponOwned[slot] ? actor->weapons[slot] : nullptr;
}
