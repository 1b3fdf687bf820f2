// How bullets and blasts reach a soldier: the ray test over the body's nodes, the hit by body part
// (the player by its own table), the damage that lowers the AI's health until the actor dies, the
// friendly-fire notice, and the box of the body by stance.
#include <cmath>

#include "actors/actor.h"
#include "actors/actor_cvars.h"
#include "actors/actor_motion.h"
#include "actors/ai_entity.h"
#include "actors/weapons/projectile.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_interface.h"
#include "ai/envelopes/envelope.h"
#include "core/frame_view.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "core/strings/text_case.h"
#include "game/view/game_hits.h"
#include "gui/screens/gui_in_game.h"
#include "map/materials/material.h"
#include "platform/win32.h"
#include "world/nodes/child_node_queries.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/object_trace.h"

namespace {

constexpr float kPi = 3.1415927f;
constexpr s32_t kHeadHit = 0;
constexpr s32_t kBodyHit = 1;
constexpr float kPlayerHeadDamage = 50.0f;
constexpr float kPlayerBodyDamage = 33.0f;
constexpr float kSoldierLethalDamage = 101.0f;
constexpr float kLegShare = 0.25f;
constexpr s32_t kHitEvent = 1;
constexpr u32_t kFriendlyFireSubtitleMs = 1500;

bool Named(const GraphNode* node, const char* name)
{
    return node && CompareNoCase(node->GetName(), name) == 0;
}

}  // namespace

float Actor::TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit)
{
    return ChildNodesTraceRay(*this, origin, direction, hit);
}

float Actor::GetHealth() const
{
    const AIEntity* entity = GetAIEntity();
    return entity ? entity->health : 0.0f;
}

void Actor::OnProjectileHit(ObjectTraceBlock* hit, const ProjectileHit& shot)
{
    Projectile* projectile = shot.projectile;
    if (!hit || !projectile || projectile->IsTimedExplosive() || isDead)
        return;
    const GraphNode* body = ActorBodyNode(this);
    const float b = body ? body->GetRotation().z : 0.0f;
    const Vector3& d = projectile->flightDirection;
    const float angle = (kPi - b) + std::atan2(-d.z, -d.x);
    const GraphNode* part = hit->objHitNode;
    if (this == g_frameView.player) {
        if (Named(part, "head"))
            ApplyDamage(kHeadHit, angle, kPlayerHeadDamage);
        else
            ApplyDamage(kBodyHit, angle, kPlayerBodyDamage);
    } else if (Named(part, "head")) {
        ApplyDamage(kHeadHit, angle, kSoldierLethalDamage);
    } else if (Named(part, "torso")) {
        ApplyDamage(kBodyHit, angle, kSoldierLethalDamage);
    } else if (Named(part, "legs")) {
        ApplyDamage(kBodyHit, angle, projectile->damage * kLegShare);
        if (ai)
            ai->InjureLeg();
    }
    if (ai)
        ai->RaiseEvent(kHitEvent, GetTickCount());

    // A weapon gone since the shot has no owner to blame.
    const Actor* shooter = projectile->weapon ? projectile->weapon->owner : nullptr;
    const Actor* player = PlayerActor();
    const AIEntity* own = GetAIEntity();
    const AIEntity* players = player ? player->GetAIEntity() : nullptr;
    if (GameReportsFriendlyFire() && player && shooter == player && own && players && own->IsFriendOf(players) &&
        GetHealth() > 0.0f && this != player) {
        const char* sender = envelope ? envelope->name.Text() : name.Text();
        // The subtitle voices the message itself.
        GuiShowSubtitle(sender, "messages._gm_checkfire", kFriendlyFireSubtitleMs);
    }
    if (this == player && gbshake.Bool())
        GamePlayerHitShake(projectile);
    if (hit->objMaterial)
        PlayTempSound(hit->objHitPoint, hit->objMaterial->hit.sounds.Pick(false, 0), false);
}

void Actor::ApplyDamage(int kind, float angle, float amount)
{
    if (this == g_frameView.player && gb_godmode.Bool())
        return;
    AIEntity* entity = GetAIEntity();
    if (!entity)
        return;
    entity->health -= amount;
    if (entity->health <= 0.0f)
        die(kind, angle);
}

void Actor::GetGeometryBounds(float* box)
{
    const Vector3 p = GetPosition();
    float half = 5.0f;
    float height = 20.0f;
    if ((isDead && deathDone) || pose == ACTOR_POSE_PRONE) {
        half = 15.0f;
        height = 5.0f;
    } else if (pose == ACTOR_POSE_CROUCH) {
        height = 14.0f;
    }
    box[0] = p.x - half;
    box[1] = p.y;
    box[2] = p.z - half;
    box[3] = p.x + half;
    box[4] = p.y + height;
    box[5] = p.z + half;
}
