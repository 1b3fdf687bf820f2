// The actor's frame: the first weapon, the reload and weapon sounds the first-person view asked of the
// player, the AI move step, breath under water and drowning, the animation step with the ground, the
// push-out from other objects, footsteps, and keeping the actor and its shadow companions linked at
// the right place in the world grid.
#include <cmath>
#include <initializer_list>

#include "actors/actor_cvars.h"
#include "actors/actor_motion.h"
#include "actors/ai_entity.h"
#include "actors/weapons/first_person_weapon.h"
#include "actors/trace_material.h"
#include "core/assert.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_source.h"
#include "game/mission/game_messages.h"
#include "game/player/game_water.h"
#include "map/trace/map_trace.h"
#include "map/materials/material.h"
#include "map/octree/object_grid.h"
#include "world/nodes/object_trace.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"

namespace {

constexpr int kMessageConsole = 4;
constexpr s32_t kFirstWeaponKinds = 5;
constexpr float kFootstepRangeSq = 250.0f * 250.0f;
constexpr u32_t kGroundCheckMs = 300;
constexpr float kGroundTraceUp = 5.0f;
constexpr float kGroundTraceDown = 1000.0f;
constexpr float kSecondTraceShift = 0.1234f;
constexpr float kShadowMoveSq = 1.4210855e-14f;

// Footstep sets of the material: walking, running, cautious.
enum StepSet { STEP_WALK = 0, STEP_RUN = 1, STEP_CAUTIOUS = 2 };

void Drown(Actor* actor)
{
    if (AIEntity* entity = actor->GetAIEntity())
        entity->health = 0.0f;
    actor->die(1, 0.0f);
}

void Breathe(Actor* actor)
{
    const Vector3 p = actor->GetPosition();
    if (actor == g_frameView.player) {
        u32_t surface = 0;
        if (GameIsViewUnderWater(&surface) && !gb_godmode.Bool()) {
            ActorOxygenDrain(actor, mf_oxygendecrease.Float());
            if (actor->oxygen <= 0.0f) {
                ConClear(kMessageConsole);
                GameShowMessage(nullptr, "messages._gm_you_drowned");
                Drown(actor);
            }
        } else if (actor->oxygen < actor->oxygenMax) {
            ActorOxygenRefill(actor, mf_oxygenincrease.Float());
        }
        return;
    }
    if (actor->noCollision)
        return;
    const float point[3] = {p.x, p.y, p.z};
    u32_t surface = 0;
    if (GameIsPointUnderWater(&surface, point)) {
        ActorOxygenDrain(actor, mf_oxygendecrease.Float());
        if (actor->oxygen <= 0.0f)
            Drown(actor);
    } else if (actor->oxygen < actor->oxygenMax) {
        ActorOxygenRefill(actor, mf_oxygenincrease.Float());
    }
}

// Looks up the material under the actor; false when nothing more happens this frame.
bool RefreshGroundMaterial(Actor* actor, u32_t now)
{
    if (!actor->sound || !actor->sound->HasAudioPath() || now - actor->groundCheckTick <= kGroundCheckMs)
        return true;
    actor->groundCheckTick = now;
    if (actor->shownMode == ACTOR_MOVE_IDLE)
        return false;
    const Vector3 p = actor->GetPosition();
    float start[3] = {p.x, p.y + kGroundTraceUp, p.z};
    float end[3] = {p.x, p.y - kGroundTraceDown, p.z};
    MapTraceInfo hit;
    // The land layer under the soldier names the land's material.
    hit.flags = TRACE_OBJECTS | TRACE_VEGLAYER;
    hit.ignoreObject = actor;
    hit.objOptions = OBJTRACE_MATERIAL | OBJTRACE_WITHIN_SEGMENT;
    auto trace = [&hit](const float* from, const float* to) {
        hit.resultKind = TRACE_RESULT_NONE;
        hit.objDistance = OBJTRACE_NO_HIT;
        hit.objMaterial = nullptr;
        hit.hitMesh = nullptr;
        hit.hitMapMesh = nullptr;
        return MapTrace(from, to, &hit);
    };
    if (!trace(start, end)) {
        start[0] += kSecondTraceShift;
        start[2] += kSecondTraceShift;
        end[0] += kSecondTraceShift;
        end[2] += kSecondTraceShift;
        if (!trace(start, end))
            return false;
    }
    // The ground is what the soldier stands on: a crate's or a floor's face, else the land's.
    Material* material = TraceHitMaterial(hit);
    if (!material)
        return false;
    actor->groundMaterial = material;
    return true;
}

void Step(Actor* actor, StepSet set, u32_t* tick, u32_t now)
{
    Material* material = static_cast<Material*>(actor->groundMaterial);
    MaterialStepSounds& sounds = material->step[set];
    if (static_cast<s32_t>(now - *tick) <= sounds.interval)
        return;
    SoundInstance* sound = sounds.sounds.Pick(true, 0);
    *tick = now;
    if (sound && actor->sound)
        actor->sound->PlaySegment(sound->segment, false);
}

}  // namespace

void ActorOxygenDrain(Actor* actor, float rate)
{
    actor->oxygen -= ActorFrameTime() * rate;
    if (actor->oxygen < 0.0f)
        actor->oxygen = 0.0f;
    mi_oxygen.SetInt(static_cast<s32_t>(actor->oxygen));
}

void ActorOxygenRefill(Actor* actor, float rate)
{
    actor->oxygen += ActorFrameTime() * rate;
    if (actor->oxygen > actor->oxygenMax)
        actor->oxygen = actor->oxygenMax;
    mi_oxygen.SetInt(static_cast<s32_t>(actor->oxygen));
}

void Actor::Update()
{
    // 1. The first weapon in hand.
    if (!firstUpdateDone) {
        for (s32_t kind = 0; kind < kFirstWeaponKinds; ++kind) {
            if (SelectWeaponKind(kind))
                break;
        }
        firstUpdateDone = true;
    }
    // The player's weapon does what the first-person view's animations asked in the last frame.
    if (this == g_frameView.player)
        FirstPersonWeaponUpdate(*this);
    // 2. The AI moves its soldier.
    if (this != g_frameView.player && !isDead && !aiMoveOff && gbai.Bool())
        ActorAiMoveStep(this);
    // 3. Breath.
    Breathe(this);
    // 4. The level-of-detail mesh lists again once the bounds changed.
    if (boundsDirty) {
        BuildLodMeshLists();
        boundsDirty = false;
    }
    // 5. The animation step.
    ActorAnimationStep(this);
    // 6. A living soldier collides and makes its sounds.
    if (!isDead) {
        if (!noCollision)
            ActorCollide(this);
        UpdateSounds();
    }
    // 7. The soldier's place in the object grid.
    DynObjectUpdateGrid(this);
    // 8. The shadow companions follow: their shadows are made anew and their grid places moved.
    if (!isDead) {
        for (DynamicObject* companion : {shadowCompanion, shadowVolume}) {
            if (!companion)
                continue;
            companion->InvalidateShadows();
            DynObjectUpdateGrid(companion);
        }
    }
}

void Actor::UpdateSounds()
{
    if (this == g_frameView.player || inVehicle)
        return;
    const Vector3 p = GetPosition();
    const float* view = g_frameView.viewPos;
    const float dx = p.x - view[0];
    const float dy = p.y - view[1];
    const float dz = p.z - view[2];
    if (dx * dx + dy * dy + dz * dz > kFootstepRangeSq)
        return;
    const u32_t now = GetTickCount();
    if (!RefreshGroundMaterial(this, now) || !groundMaterial)
        return;
    switch (shownMode) {
        case ACTOR_MOVE_WALK:
        case ACTOR_MOVE_LEFT:
        case ACTOR_MOVE_RIGHT:
        case ACTOR_MOVE_BACKWARD:
            Step(this, STEP_WALK, &walkStepTick, now);
            break;
        case ACTOR_MOVE_RUN:
        case ACTOR_MOVE_RUN_BACKWARD:
            Step(this, STEP_RUN, &runStepTick, now);
            break;
        case ACTOR_MOVE_PATROL:
            Step(this, STEP_CAUTIOUS, &cautiousStepTick, now);
            break;
        default:
            break;
    }
}

void Actor::InvalidateShadows()
{
    if (isDead)
        return;
    DynamicObject* companion = shadowCompanion ? shadowCompanion : shadowVolume;
    if (!companion)
        return;
    companion->InvalidateShadows();
    ObjectGridEntry* entry = companion->GetGridEntry();
    ENGINE_ASSERT_TEXT(entry, "oo");
    float box[6];
    companion->GetGeometryBounds(box);
    auto movedSq = [](const Vector3& a, const float* b) {
        const float x = a.x - b[0];
        const float y = a.y - b[1];
        const float z = a.z - b[2];
        return x * x + y * y + z * z;
    };
    if (movedSq(entry->boxMin, box) > kShadowMoveSq || movedSq(entry->boxMax, box + 3) > kShadowMoveSq) {
        entry->boxMin = {box[0], box[1], box[2]};
        entry->boxMax = {box[3], box[4], box[5]};
        DynObjectUpdateGrid(companion);
    }
}
