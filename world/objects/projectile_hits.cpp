// A graphic object hit by a projectile: the surface's sound, the damage, and the hit shake that
// rocks the object for a second about the horizontal axis across the shot.
#include <cmath>

#include "core/assert.h"
#include "core/frame_view.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "map/materials/material.h"
#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"
#include "world/nodes/object_trace.h"
#include "world/objects/projectile_hits.h"

namespace {

// A projectile whose hit-sound value lies above this makes no hit sound.
constexpr float kLoudestSilentHit = 0.5f;
constexpr float kHitDamageScale = 25.0f;
constexpr u32_t kShakeMilliseconds = 1000;
constexpr float kShakeSpeed = 50.0f;
// The rocking angle's amplitude, radians.
constexpr float kShakeAmplitude = -0.02f;

}  // namespace

void GraphObj::OnProjectileHit(ObjectTraceBlock* hit, const ProjectileHit& shot)
{
    ENGINE_ASSERT_TEXT(hit != nullptr, "data");
    // Still flying after the hit: it went on (a grenade bouncing off); else it stopped here.
    const bool flying = shot.flying;
    if (hit->objMaterial && shot.hitSound <= kLoudestSilentHit) {
        SoundSet& sounds = flying ? hit->objMaterial->grenade.sounds : hit->objMaterial->hit.sounds;
        PlayTempSound(hit->objHitPoint, sounds.Pick(false, 0), false);
    }
    if (flying)
        return;
    ApplyDamage(1, 0.0f, shot.damageA * 0.01f * shot.damageB * 0.01f * kHitDamageScale);
    if (hitShake)
        StartHitShake(shot.direction);
}

void GraphObj::OnProjectileHitNotify(ObjectTraceBlock* hit, DynamicObject*)
{
    ENGINE_ASSERT_TEXT(hit != nullptr, "data");
}

void GraphObj::StartHitShake(const Vector3& direction)
{
    if (shaking)
        return;
    shakeDuration = kShakeMilliseconds;
    shakeStartTick = GetTickCount();
    shakeSpeed = kShakeSpeed;
    // The axis across the shot: direction x (0, 1, 0). A shot straight up or down gives none.
    const D3DXVECTOR3 across(-direction.z, 0.0f, direction.x);
    D3DXVECTOR3 axis;
    D3DXVec3Normalize(&axis, &across);
    shakeAxis = {axis.x, axis.y, axis.z};
    shaking = 1;
}

void GraphObj::UpdateHitShake()
{
    if (!shaking)
        return;
    const u32_t now = GetTickCount();
    if (now - shakeStartTick > shakeDuration) {
        shaking = 0;
        Vector3 rotation = GetRotation();
        rotation.x = 0.0f;
        rotation.z = 0.0f;
        SetRotation(rotation);
        shakePhase = 0.0f;
        lodChanged = 1;
        return;
    }
    const Vector3 p = GetPosition();
    const D3DXVECTOR3 axis(shakeAxis.x, shakeAxis.y, shakeAxis.z);
    D3DXMATRIX rock;
    if (D3DXVec3LengthSq(&axis) > 0.0f)
        D3DXMatrixRotationAxis(&rock, &axis, std::sin(shakePhase) * kShakeAmplitude);
    else
        D3DXMatrixIdentity(&rock);
    D3DXMATRIX world, toOrigin, fromOrigin, shaken;
    root->UpdateTransform(&world);
    D3DXMatrixTranslation(&toOrigin, -p.x, -p.y, -p.z);
    D3DXMatrixTranslation(&fromOrigin, p.x, p.y, p.z);
    D3DXMatrixMultiply(&shaken, &world, &toOrigin);
    D3DXMatrixMultiply(&shaken, &shaken, &rock);
    D3DXMatrixMultiply(&shaken, &shaken, &fromOrigin);
    root->SetMatrix(shaken.m[0]);
    if (root->GetChildCount() > 0)
        root->GetChild(0)->SetFrame(static_cast<float>(now) * 0.001f);
    shakePhase += g_frameView.frameTime * shakeSpeed;
    lodChanged = 1;
}
