// The firing side of a weapon: one trigger request turns into projectiles launched from the muzzle,
// paced by the trigger delay and the fire rate, with rounds counted, tracers chosen, the shot heard
// by sound and by soldiers near it; and the operations around a shot (building a projectile from the
// bullet template, the echo after a burst, reloading).
#include <cmath>

#include "actors/actor.h"
#include "actors/weapons/projectile.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_events.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_system.h"
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "render/fpw_transform.h"
#include "scene/views/frustum_ray.h"
#include "scene/plugin_bridges/particle_effects.h"
#include "world/nodes/graph_node.h"

namespace {

// Soldiers within this many tens of units hear a shot.
constexpr float kShotHearingRadius = 150.0f;
// Spread of the pieces of one shot along each side axis, and of their speed.
constexpr float kPieceSpread = 0.3f;
constexpr float kPieceSpeedLow = 0.85f;
// The "Shot" first-person animation, whose particle is the muzzle effect.
constexpr u32_t kShotAnim = 1;

float RandUnit()
{
    return static_cast<float>(EngineRand()) / static_cast<float>(ENGINE_RAND_MAX);
}

// One round less; an empty count stays empty (a free-firing owner fires from an empty magazine).
void SpendRound(Weapon* weapon)
{
    if (weapon->roundsInGun > 0)
        --weapon->roundsInGun;
}

// The weapons that share the current weapon's stats under "common_stats": every sub-weapon but the
// current one, and the weapon itself when the current weapon is a sub-weapon.
template <class Action>
void ForEachSharing(Weapon* weapon, Action action)
{
    if (!weapon->commonStats)
        return;
    Weapon* current = weapon->currentWeapon;
    for (u32_t i = 0; i < weapon->subWeaponCount; ++i) {
        if (weapon->subWeapons[i] != current)
            action(weapon->subWeapons[i]);
    }
    if (current != weapon)
        action(weapon);
}

// Plays the sound at once when it is heard without delay, else queues it for its travel time.
void PlayOrQueue(SoundInstance* sound, const Vector3& position, u32_t now, u32_t delay)
{
    if (!sound)
        return;
    if (delay == 0)
        sound->PlayOnPath(SoundDefaultPath(), false);
    else
        QueueTempSound(now + delay, sound->segment, position, false);
}

SoundSetTable* SoundTableOf(Weapon* weapon)
{
    return weapon->sound ? weapon->sound->soundTable : nullptr;
}

void PlayShotSounds(Weapon* current, const Vector3& position, u32_t now)
{
    SoundSetTable* table = SoundTableOf(current);
    if (!table)
        return;
    const s32_t level = SoundLodForPoint(position);
    if (!current->silent || level == 0)
        PlayOrQueue(table->Pick(SOUND_FIRE, true, level), position, now, SoundTravelDelay(position));
    SoundInstance* shell = table->Pick(SOUND_SHELL, true, 0);
    if (shell && SoundLodForPoint(position) == 0) {
        const u32_t delay = static_cast<u32_t>(table->GetParam(SOUND_SHELL)) + SoundTravelDelay(position);
        PlayOrQueue(shell, position, now, delay);
    }
}

void SpawnMuzzleEffect(const Weapon& weapon)
{
    float matrix[16];
    FPWGetTransform(matrix);
    const Vector3& offset = weapon.fpParticleOffsets[kShotAnim];
    const D3DXVECTOR3 local(offset.x, offset.y, offset.z);
    D3DXVECTOR3 placed;
    D3DXVec3TransformCoord(&placed, &local, reinterpret_cast<const D3DXMATRIX*>(matrix));
    D3DXVECTOR3 ray;
    FrustumCentreRay(&ray);
    ParticleSpawnEffect(weapon.fpParticleNames[kShotAnim].Text(), {placed.x, placed.y, placed.z},
                        {ray.x, ray.y, ray.z});
}

// Every traceCount-th projectile of a primary weapon is a tracer; grenades and charges are seen.
u8_t VisibleFlag(Weapon* weapon)
{
    switch (weapon->slotType) {
        case WEAPON_SLOT_PRIMARY:
            if (weapon->traceCount <= 0)
                return 0;
            if (weapon->traceCount == 1)
                return 1;
            ++weapon->shotCounter;
            return weapon->shotCounter % static_cast<u32_t>(weapon->traceCount) == 0 ? 1 : 0;
        case WEAPON_SLOT_GRENADE:
        case WEAPON_SLOT_EXPLOSIVE:
            return 1;
        default:
            return 0;
    }
}

void Normalise(Vector3* v)
{
    const float length = std::sqrt(v->x * v->x + v->y * v->y + v->z * v->z);
    if (length > 0.0f) {
        v->x /= length;
        v->y /= length;
        v->z /= length;
    }
}

Vector3 Cross(const Vector3& a, const Vector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

}  // namespace

bool Weapon::Fire(const WeaponFireRequest& request)
{
    Weapon* current = currentWeapon;
    if (!owner || !current)
        return false;
    if (fireWait != 0 && !request.forced && owner == g_frameView.player)
        return false;
    const bool freeFire = owner->noCollision;
    if (current->roundsInGun == 0 && !freeFire)
        return false;
    const u32_t now = GetTickCount();

    // The trigger delay: a pull soon after the last shot waits it out before anything leaves.
    if (request.newPull && static_cast<float>(now - current->lastShotTime) <= current->delay) {
        if (current->burstState == 0) {
            current->shotTimer = now;
            ForEachSharing(this, [now](Weapon* w) { w->shotTimer = now; });
        } else if (!freeFire) {
            return false;
        }
    }
    if (static_cast<float>(now - current->shotTimer) <= current->delay && !freeFire) {
        current->burstState = 1;
        ForEachSharing(this, [](Weapon* w) { w->burstState = 1; });
        return false;
    }
    current->burstState = 0;
    ForEachSharing(this, [](Weapon* w) { w->burstState = 0; });

    // The fire rate; a rate of 0 (or below) sets no limit.
    const float rate = request.alternateRate ? current->fpmSecond : current->fpmFirst;
    if (rate > 0.0f && !freeFire) {
        const u32_t interval = static_cast<u32_t>(60.0f / rate * 1000.0f);
        if (interval >= now - current->lastShotTime)
            return false;
    }

    // The pieces of one shot spread round the aim along the two axes across it.
    const u32_t pieces = bulletTemplate ? bulletTemplate->pieces : 1;
    const Vector3 d = request.aim;
    Vector3 sideA, sideB;
    if (pieces > 1) {
        sideA = {d.z, 0.0f, -d.x};
        Normalise(&sideA);
        sideB = Cross(sideA, d);
        Normalise(&sideB);
    }
    for (u32_t piece = 0; piece < pieces; ++piece) {
        Projectile* p = current->SpawnProjectile();
        if (!p)
            break;
        p->SetPosition(request.muzzle);
        p->launchPosition = p->previousPosition = p->arcStartPosition = p->GetPosition();
        p->arcStartTick = now;
        p->indoorObject = request.indoorObject;
        p->indoorCell = request.indoorCell;
        p->SetRotation({0.0f, request.yaw, 0.0f});
        p->direction = d;
        if (pieces > 1) {
            const float j1 = RandUnit() * kPieceSpread - kPieceSpread / 2.0f;
            const float j2 = RandUnit() * kPieceSpread - kPieceSpread / 2.0f;
            p->direction.x += j1 * sideA.x + j2 * sideB.x;
            p->direction.y += j1 * sideA.y + j2 * sideB.y;
            p->direction.z += j1 * sideA.z + j2 * sideB.z;
            p->muzzleVelocity *= RandUnit() * kPieceSpread + kPieceSpeedLow;
        }
        Normalise(&p->direction);
        p->visible = VisibleFlag(this);
        if (!DynObjectAdd(p)) {
            // A full registry: the piece would live nowhere and never be freed, and the rest of
            // the shot would be refused alike.
            delete p;
            break;
        }
    }

    // Rounds: under "common_stats" every weapon sharing the stats loses one with the current one.
    current->lastShotTime = now;
    if (commonStats) {
        for (u32_t i = 0; i < subWeaponCount; ++i) {
            if (subWeapons[i] == current)
                continue;
            SpendRound(subWeapons[i]);
            subWeapons[i]->lastShotTime = now;
        }
        if (current != this)
            SpendRound(this);
    }
    SpendRound(current);
    current->SetMagazineRounds(0, current->roundsInGun);

    const Vector3 position = owner->GetPosition();
    PlayShotSounds(current, position, now);
    if (!current->silent)
        AIRaiseEventInRadius(AI_EVENT_SHOT, position, kShotHearingRadius, owner, owner->ai);
    fireReady = false;
    if (owner == g_frameView.player)
        SpawnMuzzleEffect(*this);
    if (current->activateBullet.Length() > 0)
        ProjectileDetonateByName(current->activateBullet.Text());
    return true;
}

Projectile* Weapon::SpawnProjectile()
{
    const Projectile* t = bulletTemplate;
    // No bullet block, or a blank one: the shot leaves nothing.
    if (!t || t->bulletType == BULLET_TYPE_BLANK)
        return nullptr;
    Projectile* p = new Projectile;
    p->name.Assign(t->name);
    p->weapon = this;
    p->shooter = owner;
    p->lifeTime = t->lifeTime;
    p->arcStartTick = t->arcStartTick;
    p->damage = t->damage;
    p->model = t->model;
    p->textureName.Assign(t->textureName);
    p->modelFolder.Assign(t->modelFolder);
    p->fuseTime = t->fuseTime;
    p->radius = t->radius;
    p->resistance = t->resistance;
    for (u32_t i = 0; i < 4; ++i)
        p->screenShake[i] = t->screenShake[i];
    p->noShotShake = t->noShotShake;
    p->bulletType = t->bulletType;
    p->weight = t->weight;
    p->currentSpeed = t->currentSpeed;
    p->muzzleVelocity = t->muzzleVelocity;
    p->decalSize[0] = t->decalSize[0];
    p->decalSize[1] = t->decalSize[1];
    p->decalRadius = t->decalRadius;
    p->mayContinue = t->mayContinue;
    p->initialDensity = t->initialDensity;
    p->finalDensity = t->finalDensity;
    p->range = t->range;
    p->explosionParticle.Assign(t->explosionParticle);
    p->airBurstParticle.Assign(t->airBurstParticle);
    p->trailParticle.Assign(t->trailParticle);
    p->drawDelay = t->drawDelay;
    p->visible = 0;
    GraphNode* body = new GraphNode("body");
    body->SetAnimMesh(t->model, t->modelFolder.Text());
    p->GetRootNode()->AddChild(body);
    p->LinkToTemplate(bulletTemplate);
    return p;
}

void Weapon::RetireProjectile(Projectile* projectile)
{
    ProjectileTableAdd(projectile);
}

void Weapon::PlayEcho()
{
    if (!fireReady) {
        SoundSetTable* table = SoundTableOf(currentWeapon);
        if (table && owner) {
            const Vector3 position = owner->GetPosition();
            PlayOrQueue(table->Pick(SOUND_ECHO, true, SoundLodForPoint(position)), position, GetTickCount(),
                        SoundTravelDelay(position));
        }
    }
    fireReady = true;
}

bool Weapon::Reload()
{
    Weapon* current = currentWeapon;
    if (current->spareMagazines == 0)
        return false;
    if (current->CycleMagazine()) {
        --current->spareMagazines;
        if (commonStats) {
            for (u32_t i = 0; i < subWeaponCount; ++i) {
                Weapon* other = subWeapons[i];
                const u16_t left = other->currentWeapon->spareMagazines;
                if (other != current)
                    other->spareMagazines = left > 0 ? static_cast<u16_t>(left - 1) : 0;
            }
            if (current != this && spareMagazines > 0)
                --spareMagazines;
        }
    }
    current->roundsInGun = current->GetMagazineRounds(0);
    ForEachSharing(this, [current](Weapon* w) { w->roundsInGun = current->GetMagazineRounds(0); });
    return true;
}
