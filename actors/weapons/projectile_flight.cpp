// A projectile's flight and its end: the closed-form ballistic arc, the traces of each step against
// the map, the objects, the indoor meshes and the water, the hit the nearest record gives, and what
// the impact makes of the projectile (stop, bounce, ricochet, pass through, explode).
//
// A projectile may outlive its weapon (the weapon lets go of its copies when it is deleted): every
// read of the weapon or its owner is guarded, and retiring goes to the retire table directly.
#include <cmath>

#include "actors/actor.h"
#include "actors/actor_cvars.h"
#include "actors/weapons/projectile.h"
#include "actors/trace_material.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_events.h"
#include "ai/envelopes/envelope.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_system.h"
#include "game/view/game_hits.h"
#include "map/meshes/map_mesh.h"
#include "map/trace/map_trace.h"
#include "map/materials/material.h"
#include "map/octree/octree_geometry.h"
#include "map/land_maps/water_layers.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"
#include "render/draw2d/debug_primitives.h"
#include "render/render_cvars.h"
#include "render/textures/texture_manager.h"
#include "scene/plugin_bridges/particle_effects.h"
#include "world/decals/decal_builders.h"
#include "world/nodes/graph_node.h"

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr float kUnitsPerMetre = 10.0f;
constexpr float kGravity = 98.1f;  // world units per second squared
constexpr u32_t kPathMs = 15000;
constexpr u32_t kHitMarkMs = 20000;
constexpr u32_t kWhite = 0xFFFFFFFFu;
constexpr u32_t kCyan = 0xFF00FFFFu;
constexpr u32_t kBlack = 0xFF000000u;
constexpr u32_t kRed = 0xFFFF0000u;
constexpr u32_t kGreen = 0xFF00FF00u;
constexpr u32_t kBlue = 0xFF0000FFu;
// Trace requests of a flying projectile: the map with normals, tiles, vegetation, face sets,
// objects and water; objects with normals, alpha and material (a lying charge lets ground-clip
// meshes ignore the alpha).
constexpr u32_t kFlightTraceFlags = 0x5F;
constexpr u32_t kFlightObjectOptions = 0x07;
constexpr u32_t kChargeObjectOptions = 0x47;
constexpr u8_t kAlphaThreshold = 0xA0;
// The line of sight of a blast.
constexpr u32_t kSightTraceFlags = 0x12;
constexpr u32_t kSightObjectOptions = 0x0A;
// The fly-by sound is heard within 16 units.
constexpr float kFlyByRangeSquared = 256.0f;
// An indoor trace that returns no fraction covers the whole step.
constexpr float kWholeStep = 1.0f;

float Length(const Vector3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

Vector3 Sub(const Vector3& a, const Vector3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vector3 Add(const Vector3& a, const Vector3& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vector3 Scale(const Vector3& v, float s)
{
    return {v.x * s, v.y * s, v.z * s};
}

float Dot(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector3 Normalised(const Vector3& v)
{
    const float length = Length(v);
    return length > 0.0f ? Scale(v, 1.0f / length) : v;
}

float Clamp1(float value)
{
    return value < -1.0f ? -1.0f : (value > 1.0f ? 1.0f : value);
}

float RandUnit()
{
    return static_cast<float>(EngineRand()) / static_cast<float>(ENGINE_RAND_MAX);
}

void Retire(Projectile* projectile)
{
    ProjectileTableAdd(projectile);
}

Actor* OwnerOf(const Projectile* projectile)
{
    return projectile->weapon ? projectile->weapon->owner : nullptr;
}

void PlayOnce(SoundSet* set, const Vector3& point)
{
    if (set)
        PlayTempSound(point, set->Pick(false, 0), false);
}

Material* WaterMaterial()
{
    WaterLayer* layers = MapGetWaterLayers();
    for (int i = 0; layers && i < MAP_WATER_LAYER_COUNT; ++i)
        if (layers[i].material)
            return layers[i].material;
    return nullptr;
}

// Stops at resistance 0, passes at 2 and 3 (may-continue set again), stops for an actor without a
// material, else the step's draw decides (60 % stop).
bool StopDecision(Projectile* projectile, bool actorHit, const Material* material, float r)
{
    if (actorHit && !material)
        return true;
    if (material && material->resistance == 0)
        return true;
    if (material && (material->resistance == 2 || material->resistance == 3)) {
        projectile->mayContinue = 1;
        return false;
    }
    return r >= 0.6f;
}

}  // namespace

bool ProjectileIndoorWins(bool mapHit, const MapTraceInfo& mapRecord, const Vector3& previous, float indoorDistance)
{
    if (!mapHit)
        return true;
    if (mapRecord.resultKind & TRACE_RESULT_OBJECT_BIT)
        return indoorDistance < mapRecord.objDistance;
    return Length(Sub(mapRecord.hitPoint, previous)) > indoorDistance;
}

Vector3 Projectile::PositionAt(float t) const
{
    const Vector3& s = arcStartPosition;
    const Vector3& u = direction;
    const float v = muzzleVelocity;
    return {(u.x * t * 10.0f * v) * 0.001f + s.x, (u.y * t * 10.0f * v) * 0.001f + s.y - t * t * 49.05f * 1e-6f,
            (u.z * t * 10.0f * v) * 0.001f + s.z};
}

float Projectile::SpeedAt(float t) const
{
    const Vector3& u = direction;
    const float v = muzzleVelocity * kUnitsPerMetre;
    const Vector3 velocity = {u.x * v, u.y * v - kGravity * t * 0.001f, u.z * v};
    return Length(velocity) * 0.1f;
}

void Projectile::Update()
{
    debugColourToggle = debugColourToggle ? 0 : 1;
    const u32_t now = GetTickCount();
    flightClock += now - lastUpdateTick;
    if (Fly())
        return;
    UpdateSounds();
    TestHit();
    lastUpdateTick = now;
}

bool Projectile::Fly()
{
    if (bulletType == BULLET_TYPE_EXPLOSIVE && fuseTime != 0 && flightClock >= fuseTime) {
        Explode();
        Retire(this);
        return true;
    }
    if (flightClock >= lifeTime) {
        Retire(this);
        return true;
    }
    previousPosition = GetPosition();
    const float t = static_cast<float>(GetTickCount() - arcStartTick);
    currentSpeed = SpeedAt(t);
    const Vector3 p = PositionAt(t);
    SetPosition(p);
    const Vector3 d = Sub(p, previousPosition);
    const float lengthSq = Dot(d, d);
    if (lengthSq > 1e-6f) {
        flightDirection = Normalised(d);
        if (visible) {
            Vector3 rotation = GetRotation();
            rotation.x = std::acos(Clamp1(flightDirection.y)) - kHalfPi;
            SetRotation(rotation);
        }
    }
    if (rbprojectile.Bool()) {
        DebugLineAdd(&previousPosition, &p, kWhite, kWhite, kPathMs);
        DebugCrossAdd(&p, debugColourToggle ? kCyan : kBlack, kPathMs);
    }
    ParticleSpawnEffect(trailParticle.Text(), previousPosition, {0.0f, 0.0f, 0.0f});
    DynObjectUpdateGrid(this);
    return false;
}

void Projectile::TestHit()
{
    const float r = RandUnit();
    hitThisStep = 0;
    const Vector3 c = GetPosition();
    const Vector3 previous = previousPosition;

    MapTraceInfo first;
    first.flags = kFlightTraceFlags;
    first.objOptions = IsTimedExplosive() ? kChargeObjectOptions : kFlightObjectOptions;
    first.objAlphaThreshold = kAlphaThreshold;
    Actor* owner = OwnerOf(this);
    first.ignoreObject = mayContinue && owner ? owner : nullptr;
    first.hitObject = nullptr;
    first.hitMapMesh = nullptr;
    first.hitMesh = nullptr;
    first.hitWater = 0;
    first.resultKind = TRACE_RESULT_NONE;
    first.objDistance = OBJTRACE_NO_HIT;
    first.objMaterial = nullptr;
    first.objHitNode = nullptr;
    MapTraceInfo second = first;
    lastTraceOptions = first.objOptions;
    lastTraceIgnored = first.ignoreObject;

    const float stepLength = Length(Sub(c, previous));
    float f = kWholeStep;
    bool indoorHit = false;
    bool mapHit = false;
    if (stepLength > 0.001f) {
        const float a[3] = {previous.x, previous.y, previous.z};
        const float b[3] = {c.x, c.y, c.z};
        indoorHit = WorldTraceIndoor(a, b, &second) != 0;
        mapHit = MapTrace(a, b, &first);
    }
    TakeHit(first, mapHit, second, indoorHit, f, r);
}

void Projectile::TakeHit(MapTraceInfo& first, bool mapHit, MapTraceInfo& second, bool indoorHit, float f, float r)
{
    const Vector3 c = GetPosition();
    const Vector3 previous = previousPosition;
    const float stepLength = Length(Sub(c, previous));
    if (rbprojectile.Bool() && indoorHit) {
        const Vector3 mark = Add(previous, Scale(Sub(c, previous), f));
        DebugCrossAdd(&mark, kRed, kHitMarkMs);
    }
    const float indoorDistance = stepLength * f;
    MapTraceInfo* record = &first;
    if ((mapHit || indoorHit) && ProjectileIndoorWins(mapHit, first, previous, indoorDistance) && indoorHit)
        record = &second;
    if (!mapHit && !indoorHit)
        return;

    if (record->hitWater) {
        hitThisStep = 1;
        if (Material* water = WaterMaterial()) {
            PlayTempSound(record->waterPoint, water->hit.sounds.Pick(false, 0), false);
            ParticleSpawnEffect(water->hit.effect, Add(record->waterPoint, {0.0f, 0.05f, 0.0f}), {0.0f, 1.0f, 0.0f});
        }
        inWater = 1;
    }

    if (record->resultKind & TRACE_RESULT_OBJECT_BIT) {
        hitNormal = record->objNormal;
        if (rbprojectile.Bool())
            DebugCrossAdd(&record->objHitPoint, kGreen, kHitMarkMs);
        if (stepLength <= std::fabs(record->objDistance))
            return;
        DynamicObject* object = record->hitObject;
        if (gbdebuginfo.Bool())
            ConPrint(4, "Obj %s Child %s Pos %4.3f %4.3f %4.3f\n", object ? object->name.Text() : "",
                     record->objHitNode ? record->objHitNode->GetName() : "", record->objHitPoint.x,
                     record->objHitPoint.y, record->objHitPoint.z);
        hitThisStep = 1;
        const Vector3 point = record->objHitPoint;
        SetPosition(point);
        const bool actorHit = object && object->typeId == OBJECT_TYPE_ACTOR;
        if (object) {
            active = IsTimedExplosive();
            damageA = weight;
            damageB = currentSpeed;
            hitSound = r;
            object->OnProjectileHit(record, HitRecord());
            if (!IsTimedExplosive() && !(object->envelope && object->envelope->IsDestroyedState()))
                DecalCreateAtHit(point, &hitNormal, record->objMaterial, DecalShotOf());
            if (rbdrawblood.Bool() && (!actorHit || static_cast<Actor*>(object)->isDead))
                DecalCreateBlood(static_cast<GraphObj*>(object), point, &hitNormal, record->objMaterial, DecalShotOf());
        }
        const bool stop = StopDecision(this, actorHit, record->objMaterial, r);
        ResolveImpact(object, point, record->objMaterial, stop);
        return;
    }

    if (rbprojectile.Bool())
        DebugCrossAdd(&record->hitPoint, kBlue, kHitMarkMs);
    hitThisStep = 1;
    hitNormal = record->normal;
    const Vector3 point = record->hitPoint;
    SetPosition(point);
    Material* material = SurfaceMaterial(*record);
    const bool stop = StopDecision(this, false, material, r);
    ResolveImpact(nullptr, point, material, stop);
    if (material && muzzleVelocity >= 20.0f)
        PlayOnce(&material->hit.sounds, point);
}

void Projectile::UpdateSounds()
{
    if (IsTimedExplosive() || flySoundPlayed)
        return;
    SoundSet* sounds = source ? source->flySounds : flySounds;
    if (!sounds)
        return;
    // An orphaned projectile has no owner: it is nobody's, not the player's.
    Actor* owner = OwnerOf(this);
    if (owner && owner == g_frameView.player)
        return;
    const float* view = g_frameView.viewPos;
    const Vector3 p = GetPosition();
    const Vector3 d = {p.x - view[0], p.y - view[1], p.z - view[2]};
    if (Dot(d, d) <= kFlyByRangeSquared && (EngineRand() & 1)) {
        if (SoundInstance* flyBy = sounds->Pick(false, 0)) {
            flyBy->PlayOnPath(SoundDefaultPath(), false);
            flySoundPlayed = 1;
        }
    }
}

void Projectile::ResolveImpact(DynamicObject* hitObject, const Vector3& hitPoint, Material* material, bool stop)
{
    Actor* shooterActor = shooter;
    if (IsTimedExplosive())
        AINotifyGrenade(hitPoint, 20.0f, hitObject);
    else
        AIRaiseEventInRadius(AI_EVENT_IMPACT, hitPoint, 10.0f, hitObject, shooterActor ? shooterActor->ai : nullptr);
    if (bulletType == BULLET_TYPE_EXPLOSIVE && fuseTime == 0) {
        explosionDecalMaterial = material;
        explosionNormal = hitNormal;
        explosionPoint = hitPoint;
        Explode();
        Retire(this);
        return;
    }
    const float r = RandUnit();
    SoundSet* hitSet = source ? source->hitSounds : hitSounds;
    if (material && hitSet && !material->hit.noRicochet && r < 0.5f && !IsTimedExplosive())
        PlayOnce(hitSet, hitPoint);
    if (!weapon)
        return;
    if (!IsTimedExplosive() && (stop || !mayContinue || rbpenetrate.Bool() || inWater))
        Retire(this);
    if (mayContinue) {
        const float travelled = Length(Sub(hitPoint, arcStartPosition)) * 0.1f;
        const float q = static_cast<float>(EngineRand()) * 0.1f / static_cast<float>(ENGINE_RAND_MAX) + 0.1f;
        arcStartPosition = hitPoint;
        const Vector3 here = GetPosition();
        if (IsTimedExplosive()) {
            if ((hitNormal.x == 0.0f && hitNormal.y == 0.0f && hitNormal.z == 0.0f) ||
                (hitNormal.x == 0.0f && hitNormal.y == 1.0f && hitNormal.z == 0.0f))
                hitNormal = {0.0f, 0.999f, 0.0f};
            if (material && material->resistance == 3) {
                const Vector3 n = Normalised(Sub(here, previousPosition));
                direction = n;
                arcStartPosition = Add(arcStartPosition, Scale(n, 0.01f));
                SetPosition(arcStartPosition);
            } else if (material) {
                const Vector3 v = Normalised(Sub(previousPosition, here));
                const Vector3& nrm = hitNormal;
                direction = Sub(Scale(nrm, 2.0f * Dot(v, nrm)), v);
                muzzleVelocity *= material->velocityResistance;
                if (travelled > 200.0f)
                    muzzleVelocity *= 0.2f;
                if (muzzleVelocity <= 1.0f)
                    muzzleVelocity = 0.0f;
                hitNormal = Scale(hitNormal, 0.01f);
                arcStartPosition = Add(arcStartPosition, hitNormal);
                SetPosition(arcStartPosition);
            }
            arcStartTick = GetTickCount();
            if (material && !inWater && !material->grenade.noParticle && muzzleVelocity > 1.0f)
                ParticleSpawnEffect(material->grenade.effect, Add(hitPoint, Scale(hitNormal, 0.05f)), hitNormal);
            explosionDecalMaterial = material;
            explosionNormal = hitNormal;
            explosionPoint = hitPoint;
            return;
        }
        float m = 0.5f;
        float p = initialDensity + (finalDensity - initialDensity) * travelled / range;
        const s32_t materialResistance = material ? material->resistance : -1;
        const bool passes = materialResistance == 2 || materialResistance == 3;
        if (material) {
            m = material->density;
            if (materialResistance == 1)
                p = material->density + 1.0f;
            else if (passes)
                p = material->density;
        }
        if (!passes)
            mayContinue = 0;
        if (p > m) {
            const Vector3 v = Normalised(Sub(previousPosition, here));
            const Vector3 nrm = Normalised(hitNormal);
            hitNormal = nrm;
            const Vector3 reflected = Sub(Scale(nrm, 2.0f * Dot(v, nrm)), v);
            muzzleVelocity *= q;
            if (travelled > 200.0f)
                muzzleVelocity *= 0.2f;
            const float a = muzzleVelocity > 500.0f ? 30.0f - (muzzleVelocity - 500.0f) * 0.04f
                                                    : 1.57f - std::acos(Clamp1(Dot(v, nrm)));
            const float j1 = static_cast<float>(EngineRand()) * 2.0f * a / static_cast<float>(ENGINE_RAND_MAX) - a;
            const float j2 = static_cast<float>(EngineRand()) * 2.0f * a / static_cast<float>(ENGINE_RAND_MAX) - a;
            const Vector3 side = Normalised({-reflected.z, 0.0f, reflected.x});
            const Vector3 d = Add(Add(reflected, Scale(side, j1)), {0.0f, j2, 0.0f});
            if (visible) {
                Vector3 rotation = GetRotation();
                rotation.y = kHalfPi - std::acos(Clamp1(d.x));
                SetRotation(rotation);
            }
            direction = d;
            arcStartTick = GetTickCount();
            ricocheted = 1;
        } else {
            const Vector3 n = Normalised(Sub(here, previousPosition));
            Vector3 d = n;
            if (!passes) {
                muzzleVelocity *= q;
                if (travelled > 200.0f)
                    muzzleVelocity *= 0.2f;
                const float a = muzzleVelocity > 500.0f ? 30.0f - (muzzleVelocity - 500.0f) * 0.04f : -1.0466667f;
                const float j1 = static_cast<float>(EngineRand()) * 2.0f * a / static_cast<float>(ENGINE_RAND_MAX) - a;
                const float j2 = static_cast<float>(EngineRand()) * 2.0f * a / static_cast<float>(ENGINE_RAND_MAX) - a;
                const Vector3 side = Normalised({-n.z, 0.0f, n.x});
                d = Add(Add(n, Scale(side, j1)), {0.0f, j2, 0.0f});
                if (visible) {
                    Vector3 rotation = GetRotation();
                    rotation.y = kHalfPi - std::acos(Clamp1(d.x));
                    SetRotation(rotation);
                }
            }
            direction = d;
            arcStartPosition = Add(arcStartPosition, Scale(d, 0.01f));
            SetPosition(arcStartPosition);
            arcStartTick = GetTickCount();
        }
    }
    if (material && !inWater)
        ParticleSpawnEffect(material->hit.effect, Add(hitPoint, Scale(hitNormal, 0.05f)), hitNormal);
}

void Projectile::Explode()
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    const Vector3 centre = GetPosition();
    const float r2 = radius * radius;
    SoundSet* blast = source ? source->explosionSounds : explosionSounds;
    if (blast && !(PlayerActor() && PlayerActor()->isDead)) {
        const s32_t level = SoundLodForPoint(centre);
        const u32_t delay = SoundTravelDelay(centre);
        if (SoundInstance* bang = blast->Pick(true, level)) {
            if (delay == 0)
                bang->PlayOnPath(SoundDefaultPath(), false);
            else
                QueueTempSound(GetTickCount() + delay, bang->segment, centre, false);
        }
    }
    if (explosionDecalMaterial)
        DecalCreateExplosion(explosionPoint, &explosionNormal, explosionDecalMaterial, DecalShotOf());
    // A radius of 0 reaches nothing (and divides nothing by it).
    for (s32_t i = 0; i < count && r2 > 0.0f; ++i) {
        DynamicObject* object = objects[i];
        const Vector3 d = Sub(object->GetPosition(), centre);
        const float d2 = Dot(d, d);
        switch (object->typeId) {
            case OBJECT_TYPE_ACTOR: {
                Actor* actor = static_cast<Actor*>(object);
                if (actor->isDead)
                    break;
                if (d2 <= r2) {
                    MapTraceInfo sight;
                    sight.flags = kSightTraceFlags;
                    sight.objOptions = kSightObjectOptions;
                    sight.objAlphaThreshold = kAlphaThreshold;
                    sight.ignoreObject = actor;
                    sight.hitObject = nullptr;
                    sight.hitMapMesh = nullptr;
                    sight.hitMesh = nullptr;
                    sight.hitWater = 0;
                    sight.objDistance = OBJTRACE_NO_HIT;
                    const Vector3 to = actor->GetPosition();
                    const float a[3] = {centre.x, centre.y, centre.z};
                    const float b[3] = {to.x, to.y, to.z};
                    if (!MapTrace(a, b, &sight) || d2 < 0.4f * r2) {
                        float amount = (1.0f - d2 / r2) * damage;
                        if (actor->prone && !actor->crouched)
                            amount *= 0.5f;
                        actor->ApplyDamage(1, 0.0f, amount);
                        GameModNotifyHit(this);
                    }
                }
                if (actor == g_frameView.player && d2 <= screenShake[0] * screenShake[0] * 100.0f)
                    GameShakeViewNearHit(this, d2);
                break;
            }
            case OBJECT_TYPE_STRUCTURE:
            case OBJECT_TYPE_VEHICLE:
            case OBJECT_TYPE_MAP_OBJECT:
            case OBJECT_TYPE_TREE:
                if (d2 <= r2)
                    object->ApplyDamage(1, 0.0f, (1.0f - d2 / r2) * damage);
                break;
            default:
                break;
        }
    }
    const char* particle = hitThisStep || muzzleVelocity <= 1.0f ? explosionParticle.Text() : airBurstParticle.Text();
    ParticleSpawnEffect(particle, centre, {0.0f, 0.0f, 0.0f});
    AIRaiseEventInRadius(AI_EVENT_EXPLOSION, centre, 150.0f, shooter, shooter ? shooter->ai : nullptr);
}
