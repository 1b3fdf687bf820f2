#include "actors/weapons/first_person_weapon.h"

#include "actors/actor.h"
#include "core/sound/sound_system.h"
#include "scene/views/first_person_view.h"

void FirstPersonWeaponUpdate(Actor& player)
{
    FirstPersonViewState& view = g_firstPersonView;
    if (view.reloadEnded) {
        view.reloadEnded = false;
        player.ReloadWeapon();
    }
    SoundPlayerRequests& posted = g_sound.playerRequests;
    for (s32_t i = 0; i < SOUND_PLAYER_REQUESTS; ++i) {
        if (view.soundRequests.request[i])
            posted.request[i] = 1;
    }
    if (view.aimIndexSet)
        posted.aimIndex = view.soundRequests.aimIndex;
    view.soundRequests = {};
    view.aimIndexSet = false;
}
