// The player's own sounds: footsteps by the surface under the viewer, and the weapon sounds that the
// first-person view asks for. Both play flat on the shared path.
#include <cstring>

#include "core/frame_view.h"
#include "core/sound/sound_system.h"
#include "game/view/player_view.h"
#include "world/objects/dynamic_object.h"

namespace {

constexpr u32_t kSurfaceTraceInterval = 300;
constexpr float kSurfaceTraceDepth = 20.0f;

bool IsWalkingState(s32_t state)
{
    return state == 0 || state == 2 || state == 3 || state == 4;
}

bool IsOtherMotionState(s32_t state)
{
    return state == 1 || state == 5;
}

// A set is due when more than its least interval (its extra parameter, ms) has passed since it last played.
bool Due(const SoundSet& set, u32_t lastPlay, u32_t now)
{
    const u32_t interval = set.extraParam > 0 ? static_cast<u32_t>(set.extraParam) : 0;
    return now - lastPlay > interval;
}

void PlayFlat(SoundInstance* instance)
{
    if (instance)
        instance->PlayOnPath(SoundDefaultPath(), false);
}

// Plays a no-repeat pick of the set when it is due, and notes the time. A surface without that set
// plays nothing.
void PlayWhenDue(SoundSet* surfaceSet, u32_t& lastPlay, u32_t now)
{
    if (!surfaceSet)
        return;
    SoundSet& set = *surfaceSet;
    if (!Due(set, lastPlay, now))
        return;
    lastPlay = now;
    PlayFlat(set.Pick(true, 0));
}

void PlaySurfaceSounds(const PlayerSoundView& view, u32_t now)
{
    SurfaceSounds* surface = g_sound.surface;
    const s32_t state = view.motionState;
    if (view.viewUnderWater) {
        // Under water the water's own set plays, held to its interval as on land.
        if (IsWalkingState(state) && view.waterSurface)
            PlayWhenDue(view.waterSurface->sets[0], g_sound.waterLastPlay, now);
        return;
    }
    if (!view.movementFlags[0] && view.movementFlags[1]) {
        if (IsWalkingState(state))
            PlayWhenDue(surface->sets[2], g_sound.surfaceLastPlay[2], now);
        return;
    }
    if (IsWalkingState(state))
        PlayWhenDue(surface->sets[0], g_sound.surfaceLastPlay[0], now);
    else if (IsOtherMotionState(state))
        PlayWhenDue(surface->sets[1], g_sound.surfaceLastPlay[1], now);
}

void PlayRequestedSound(const PlayerSoundView& view)
{
    s32_t request = -1;
    for (s32_t i = 0; i < SOUND_PLAYER_REQUESTS; ++i) {
        if (g_sound.playerRequests.request[i]) {
            request = i;
            break;
        }
    }
    if (request < 0)
        return;
    const bool puttingAway = request == SOUND_SWITCH_FROM || request == SOUND_SWITCH_FROM_EMPTY;
    DynamicObject* weapon = puttingAway ? view.holsteredWeapon : view.currentWeapon;
    SoundSetTable* table = weapon && weapon->sound ? weapon->sound->soundTable : nullptr;
    if (!table)
        return;
    if (request == SOUND_AIM)
        PlayFlat(table->Get(SOUND_AIM, g_sound.playerRequests.aimIndex, 0));
    else
        PlayFlat(table->Pick(request, false, 0));
}

void ClearRequests()
{
    std::memset(g_sound.playerRequests.request, 0, sizeof(g_sound.playerRequests.request));
}

}  // namespace

void SoundResetPlayer()
{
    g_sound.lastSurfaceTrace = 0;
    g_sound.surface = nullptr;
    for (u32_t& time : g_sound.surfaceLastPlay)
        time = 0;
    g_sound.waterLastPlay = 0;
    g_sound.playerRequests = {};
}

void SoundUpdatePlayer()
{
    const PlayerSoundView& view = g_frameView.sound;
    if (view.playerDead) {
        // Requests made while dead are dropped, not played on the way back.
        ClearRequests();
        return;
    }
    const u32_t now = SoundNow();
    if (view.surfaceForced) {
        g_sound.surface = view.forcedSurface;
    } else if (now - g_sound.lastSurfaceTrace > kSurfaceTraceInterval) {
        g_sound.lastSurfaceTrace = now;
        g_sound.surface = GameTraceSurfaceBelow(g_frameView.viewPos, kSurfaceTraceDepth);
    }
    if (g_sound.surface && !view.currentVehicle)
        PlaySurfaceSounds(view, now);

    PlayRequestedSound(view);
    ClearRequests();
}
