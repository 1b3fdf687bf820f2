// An actor's death: the death animation chosen from the class's death set by pose, hit direction
// and weapon in hand, the death sounds, letting go of the weapon, the mounted weapon and the seat,
// and the news of the death to the envelope, the AI, the squad and the soldiers near.
#include "actors/actor_death.h"

#include <cmath>

#include "actors/actor.h"
#include "actors/actor_class.h"
#include "actors/actor_motion.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_events.h"
#include "ai/soldier/ai_interface.h"
#include "ai/msal/mission_script_runner.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_source.h"
#include "core/strings/text_case.h"
#include "game/mission/game_messages.h"
#include "world/nodes/graph_node.h"

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kDegreesPerRadian = 57.29578f;
constexpr float kDeathSoundHeight = 17.0f;
constexpr float kDeathNewsRadius = 15.0f;
constexpr u8_t kMaxCandidates = 255;

bool Excludes(const DeathAnim& entry, const char* weaponName)
{
    for (const EngineString& excluded : entry.excludeNames)
        if (CompareNoCase(excluded.Text(), weaponName) == 0)
            return true;
    return false;
}

}  // namespace

void ActorLetGoOfMountedWeapon(Actor* actor)
{
    Weapon* mounted = actor->mountedWeapon;
    if (!actor->usesMountedWeapon || !mounted)
        return;
    mounted->SetRotation(mounted->mountRotation);
    if (mounted->mountNode) {
        const u8_t shown[3] = {1, 1, 1};
        mounted->mountNode->SetLodRender(shown);
    }
    mounted->owner = nullptr;
    mounted->SetDrawn(false);
    actor->usesMountedWeapon = false;
    actor->lastMountedWeapon = mounted;
    actor->mountedWeapon = nullptr;
    GameUnlinkActorBody(actor);
}

float ActorDeathAngleDegrees(float angle)
{
    if (angle <= 0.0f)
        angle += kTwoPi;
    float degrees = std::fmod(angle * kDegreesPerRadian, 360.0f);
    if (degrees < 0.0f)
        degrees += 360.0f;
    return degrees;
}

s32_t ActorChooseDeath(const Actor* actor, s32_t set, float degrees)
{
    const ActorClassInfo* info = actor->classInfo;
    if (!info || set < 0 || static_cast<size_t>(set) >= info->deathGroups.size())
        return -1;
    const ActorPose pose = actor->GetActorPose();
    // The weapon of the selected slot names the exclusions; an empty slot (or none) names nothing.
    const Weapon* weapon = actor->selectedSlot < kActorWeaponSlots ? actor->weapons[actor->selectedSlot] : nullptr;
    const char* weaponName = weapon ? weapon->name.Text() : "";
    const DeathGroup& group = info->deathGroups[static_cast<size_t>(set)];
    u8_t candidates[kMaxCandidates];
    u32_t count = 0;
    for (size_t i = 0; i < group.anims.size() && count < kMaxCandidates; ++i) {
        const DeathAnim& entry = group.anims[i];
        if (entry.pose == static_cast<u8_t>(pose) && !Excludes(entry, weaponName) && entry.minAngle <= degrees &&
            degrees <= entry.maxAngle)
            candidates[count++] = static_cast<u8_t>(i);
    }
    // No candidate: no death animation; the actor keeps its current one and still dies.
    if (count == 0)
        return -1;
    return candidates[static_cast<u32_t>(EngineRand()) % count];
}

void Actor::die(s32_t set, float angle)
{
    if (isDead)
        return;
    isDead = true;
    fallSpeed = 0.0f;
    deathSet = set;
    deathVariant = ActorChooseDeath(this, set, ActorDeathAngleDegrees(angle));
    if (deathVariant >= 0) {
        const DeathAnim& chosen = classInfo->deathGroups[static_cast<size_t>(set)].anims[deathVariant];
        if (chosen.sound && sound)
            sound->PlaySegment(chosen.sound->segment);
    }
    if (this != g_frameView.player && sound && sound->soundTable) {
        if (SoundInstance* cry = sound->soundTable->Pick(set == 0 ? SOUND_DEATH_HEAD : SOUND_DEATH_TORSO, false, 0)) {
            const Vector3 p = GetPosition();
            PlayTempSoundAt({p.x, p.y + kDeathSoundHeight, p.z}, cry->segment, false);
        }
    }
    if (inVehicle)
        ActorFollowGround(this, true);
    DropItem(0);
    ActorLetGoOfMountedWeapon(this);
    LeaveVehicle();
    if (envelope) {
        envelope->FireEvent(nullptr, ENVELOPE_EVENT_ON_DESTROY);
        envelope->Hide(nullptr);
    }
    if (ai)
        ai->ReportDeath();
    if (envelope && envelope->runner)
        envelope->runner->LeaveGroup();
    AIRaiseEventInRadiusForTeam(AI_EVENT_DEATH, GetPosition(), kDeathNewsRadius, this, ai, true);
}

extern "C" void die(void* actor, s32_t deathSet, float angle)
{
    if (actor)
        static_cast<Actor*>(actor)->die(deathSet, angle);
}
