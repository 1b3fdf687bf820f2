// The sound switch, the volume variables, the volume and mute commands, and the four volume groups
// they drive.
#include "core/core_cvars.h"
#include "core/sound/sound_system.h"
#include "gui/screens/gui_screen_sounds.h"
#include "platform/audio.h"

namespace {

s32_t UpdateVolumeCommand(const char*);

// Mutes a group (volume 0, applied, then held) or unmutes it (the volume variable applies again).
void ToggleMute(ConsoleVar& volume, ConsoleVar& muted)
{
    if (muted.Bool()) {
        muted.SetBool(false);
        SoundApplyVolumes();
        return;
    }
    volume.SetInt(0);
    SoundApplyVolumes();
    muted.SetBool(true);
}

s32_t MuteMasterCommand(const char*)
{
    ToggleMute(si_mastervolume, sb_mastermuted);
    return 0;
}

s32_t MuteEffectCommand(const char*)
{
    ToggleMute(si_effectvolume, sb_effectmuted);
    return 0;
}

s32_t MuteEnvCommand(const char*)
{
    ToggleMute(si_envvolume, sb_envmuted);
    return 0;
}

s32_t MuteMusicCommand(const char*)
{
    ToggleMute(si_musicvolume, sb_musicmuted);
    return 0;
}

s32_t UpdateVolumeCommand(const char*)
{
    if (!sb_mastermuted.Bool())
        SoundSetGroupVolume(SOUND_GROUP_MASTER, SoundVolumeAttenuation(si_mastervolume.Int()));
    if (!sb_effectmuted.Bool())
        SoundSetGroupVolume(SOUND_GROUP_EFFECTS, SoundVolumeAttenuation(si_effectvolume.Int()));
    if (!sb_envmuted.Bool())
        SoundSetGroupVolume(SOUND_GROUP_ENVIRONMENT, SoundVolumeAttenuation(si_envvolume.Int()));
    if (!sb_musicmuted.Bool())
        SoundSetGroupVolume(SOUND_GROUP_MUSIC, SoundVolumeAttenuation(si_musicvolume.Int()));
    return 0;
}

}  // namespace

ConsoleVar gbsound("gbsound", CVAR_BOOL, "true");
ConsoleVar si_mastervolume("si_mastervolume", CVAR_INT, "65");
ConsoleVar si_effectvolume("si_effectvolume", CVAR_INT, "65");
ConsoleVar si_envvolume("si_envvolume", CVAR_INT, "65");
ConsoleVar si_musicvolume("si_musicvolume", CVAR_INT, "65");
ConsoleVar sb_mastermuted("sb_mastermuted", CVAR_BOOL, "false");
ConsoleVar sb_effectmuted("sb_effectmuted", CVAR_BOOL, "false");
ConsoleVar sb_envmuted("sb_envmuted", CVAR_BOOL, "false");
ConsoleVar sb_musicmuted("sb_musicmuted", CVAR_BOOL, "false");
ConsoleVar sb_forcelocalesnd("sb_forcelocalesnd", CVAR_BOOL, "false");
ConsoleVar gb_showsounds("gb_showsounds", CVAR_BOOL, "false");
ConsoleVar sx_updatevolume("sx_updatevolume", UpdateVolumeCommand);
ConsoleVar sx_mutemaster("sx_mutemaster", MuteMasterCommand);
ConsoleVar sx_muteeffect("sx_muteeffect", MuteEffectCommand);
ConsoleVar sx_muteenv("sx_muteenv", MuteEnvCommand);
ConsoleVar sx_mutemusic("sx_mutemusic", MuteMusicCommand);

s32_t SoundVolumeAttenuation(s32_t volume)
{
    // -30 dB at 0 up to full volume at 100, in whole hundredths of a decibel.
    const long long attenuation = -3000LL + 30LL * volume;
    return attenuation > 0x7FFFFFFF    ? 0x7FFFFFFF
           : attenuation < -0x7FFFFFFF ? -0x7FFFFFFF
                                       : static_cast<s32_t>(attenuation);
}

void SoundApplyVolumes()
{
    UpdateVolumeCommand(nullptr);
}

bool SoundSetGroupVolume(s32_t group, s32_t attenuation)
{
    if (!g_sound.performance || group < SOUND_GROUP_MASTER || group > SOUND_GROUP_MUSIC)
        return false;
    switch (group) {
        case SOUND_GROUP_MASTER: {
            const s32_t value = attenuation;
            return SUCCEEDED(g_sound.performance->SetGlobalParam(GUID_PerfMasterVolume, &value, sizeof(value)));
        }
        case SOUND_GROUP_ENVIRONMENT:
            if (g_sound.music)
                g_sound.music->SetVolume(attenuation);
            for (s32_t i = 0; i < g_sound.spatialCount; ++i)
                if (g_sound.spatial[i] && g_sound.spatial[i]->HasAudioPath())
                    g_sound.spatial[i]->SetVolume(attenuation);
            return false;
        case SOUND_GROUP_EFFECTS:
            for (s32_t i = 0; i < g_sound.pathSources.count; ++i)
                g_sound.pathSources[i]->SetVolume(attenuation);
            for (SoundChannel& channel : g_sound.channels)
                if (channel.source.HasAudioPath())
                    channel.source.SetVolume(attenuation);
            if (g_sound.defaultPath)
                g_sound.defaultPath->SetVolume(attenuation, 0);
            return false;
        default:
            GuiSetScreenSoundVolume(attenuation);
            return false;
    }
}
