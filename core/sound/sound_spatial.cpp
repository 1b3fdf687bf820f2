// The mission's spatial sounds (ambient emitters that loop or repeat at random intervals) and its music.
#include "core/assert.h"
#include "core/random.h"
#include "core/sound/sound_system.h"
#include "platform/audio.h"

void AddSpatialSound(SoundSource* source)
{
    ENGINE_ASSERT_TEXT(g_sound.spatialCount + 1 < MAX_SPATIAL_SOUNDS, "nSpatialSoundsCount + 1 < MAX_SPATIAL_SOUNDS");
    if (!source)
        return;
    g_sound.spatial[g_sound.spatialCount++] = source;
}

s32_t SoundSpatialCount()
{
    return g_sound.spatialCount;
}

void SoundFreeSpatialSounds()
{
    for (s32_t i = 0; i < g_sound.spatialCount; ++i) {
        if (SoundSource* source = g_sound.spatial[i]) {
            source->Release();
            delete source;
        }
        g_sound.spatial[i] = nullptr;
    }
    g_sound.spatialCount = 0;
}

void SoundSetMusic(SoundInstance* music)
{
    g_sound.music = music;
}

void SoundResumeAll()
{
    if (g_sound.music) {
        g_sound.music->SetVolume(-800);
        g_sound.music->Play(true, false);
    }
    for (s32_t i = 0; i < g_sound.spatialCount; ++i)
        if (g_sound.spatial[i])
            g_sound.spatial[i]->StartOwnSound();
}

void SoundStopAll()
{
    if (g_sound.music)
        g_sound.music->Stop();
    for (s32_t i = 0; i < g_sound.spatialCount; ++i)
        if (g_sound.spatial[i])
            g_sound.spatial[i]->StopOwnSound();
}

void SoundSource::StartOwnSound()
{
    if (repeatMode != 0)
        return;
    SoundInstance* instance = ownSet.Pick(false, 0);
    if (!instance || !instance->segment)
        return;
    instance->segment->SetRepeats(DMUS_SEG_REPEAT_INFINITE);
    if (IDirectMusicSegmentState* state = PlaySegment(instance->segment))
        state->Release();
    instance->segment->SetRepeats(0);
}

void SoundSource::StopOwnSound()
{
    SoundInstance* instance = ownSet.Last(0);
    if (!instance || !audioPath || !g_sound.performance)
        return;
    // Only what plays on this source stops: the same wave elsewhere in the world plays on.
    g_sound.performance->StopEx(audioPath, 0, 0);
}

void SoundSource::UpdateRepeat(u32_t now)
{
    if (repeatMode != 1)
        return;
    const u32_t wait = nextPlayTime - now;
    const u32_t longest = longestInterval > 0 ? static_cast<u32_t>(longestInterval) : 0;
    if (wait >= 100 && wait <= longest)
        return;
    SoundInstance* instance = ownSet.Pick(false, 0);
    if (!instance || !instance->segment)
        return;
    instance->segment->SetRepeats(0);
    PlaySegment(instance->segment, false);
    const double r = EngineRand();
    double delay = shortestInterval + r * (static_cast<double>(longestInterval) - shortestInterval) / 32767.0;
    if (delay < 0.0)
        delay = 0.0;
    nextPlayTime = now + static_cast<u32_t>(delay);
}
