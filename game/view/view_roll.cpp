#include "game/view/view_roll.h"

#include <cmath>

#include "actors/actor.h"
#include "actors/weapons/projectile.h"
#include "actors/weapons/weapon.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "game/player/player_control_state.h"
#include "game/player/player_weapon.h"
#include "platform/win32.h"

namespace {

constexpr float kDegree = 3.14159265f / 180.0f;
// rand() x this - 0.7 degrees: uniform within -0.7 .. +0.7 degrees.
constexpr float kShotShakeScale = 7.457079e-7f;
constexpr float kShotShakeOffset = 0.012217305f;

// The shots of the weapon in hand shake the view unless its projectile record says they do not.
bool ShotShakes()
{
    const Weapon* weapon = PlayerWeaponInHand(PlayerActor());
    const Weapon* unit = PlayerFiringUnit(weapon);
    if (!unit)
        return false;
    const Projectile* record = unit->bulletTemplate ? unit->bulletTemplate : weapon->bulletTemplate;
    return !record || record->noShotShake == 0;
}

}  // namespace

void ViewRollUpdate()
{
    PlayerControlState& s = g_playerControl;
    const float step = kDegree * g_frameView.frameTime;
    if (s.baseRoll > 0.0f)
        s.baseRoll = std::fmax(0.0f, s.baseRoll - step);
    else if (s.baseRoll < 0.0f)
        s.baseRoll = std::fmin(0.0f, s.baseRoll + step);

    ScreenShake& shake = s.shake;
    if (shake.startTick != 0) {
        if (GetTickCount() - shake.startTick >= shake.duration) {
            shake.startTick = 0;
        } else {
            const float amplitude = shake.amplitude * kDegree;
            s.baseRoll = static_cast<float>(EngineRand()) * (2.0f * amplitude) / ENGINE_RAND_MAX - amplitude;
        }
    } else if (s.firedThisFrame && ShotShakes()) {
        s.baseRoll = static_cast<float>(EngineRand()) * kShotShakeScale - kShotShakeOffset;
    }
}

void ViewRollStartShake(u32_t duration, float amplitude)
{
    ScreenShake& shake = g_playerControl.shake;
    shake.startTick = GetTickCount();
    // A start at tick 0 would read as no shake at all.
    if (shake.startTick == 0)
        shake.startTick = 1;
    shake.duration = duration;
    shake.amplitude = amplitude;
}
