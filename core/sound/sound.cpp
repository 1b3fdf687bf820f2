// Start and end of the sound system, and the global record every sound file shares.
#include "core/sound/sound.h"

#include <cstdio>

#include "core/frame_view.h"
#include "core/log.h"
#include "core/sound/sound_system.h"
#include "map/registry/world_registry.h"
#include "platform/audio.h"
#include "platform/file_system.h"
#include "world/objects/dynamic_object.h"

SoundSystem g_sound;

namespace {

DWORD (*g_soundClock)() = GetTickCount;

// Releases and frees every performance object; the record is then as before SoundInit.
void ReleaseDevice()
{
    if (g_sound.listener) {
        g_sound.listener->Release();
        g_sound.listener = nullptr;
    }
    if (g_sound.defaultBuffer) {
        g_sound.defaultBuffer->Release();
        g_sound.defaultBuffer = nullptr;
    }
    if (g_sound.defaultPath) {
        g_sound.defaultPath->Release();
        g_sound.defaultPath = nullptr;
    }
    if (g_sound.performance)
        g_sound.performance->CloseDown();
    if (g_sound.loader) {
        g_sound.loader->Release();
        g_sound.loader = nullptr;
    }
    if (g_sound.performance) {
        g_sound.performance->Release();
        g_sound.performance = nullptr;
    }
}

void ForEachWorldSource(void (*action)(SoundSource&))
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i)
        if (objects[i] && objects[i]->sound)
            action(*objects[i]->sound);
}

void ResetChannels()
{
    for (SoundChannel& channel : g_sound.channels) {
        channel.source.audioPathMade = false;
        channel.source.released = false;
        channel.source.position = {};
        channel.lastUse = 0;
        channel.followsListener = false;
    }
}

}  // namespace

u32_t SoundNow()
{
    return g_soundClock();
}

void SoundSetClock(DWORD (*clock)())
{
    g_soundClock = clock ? clock : GetTickCount;
}

Vector3 SoundViewerPosition()
{
    const float* view = g_frameView.viewPos;
    return {view[0], view[1], view[2]};
}

float SoundDistanceSquared(const Vector3& a, const Vector3& b)
{
    const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return dx * dx + dy * dy + dz * dz;
}

IDirectMusicAudioPath8* SoundDefaultPath()
{
    return g_sound.defaultPath;
}

bool SoundIsRunning()
{
    return g_sound.performance != nullptr;
}

bool SoundInit(HWND window)
{
    Log("Initializing sound system...");
    if (g_sound.performance)
        return true;

    if (FAILED(DirectMusicCreatePerformance(&g_sound.performance)))
        return false;
    if (FAILED(g_sound.performance->InitAudio(window, DMUS_APATH_SHARED_STEREOPLUSREVERB, 64, DMUS_AUDIOF_ALL))) {
        // No sound device is no reason to stop: the game goes on without sound.
        Log("\nSound: %s, the game goes on without sound.\n", AudioLastError());
        ReleaseDevice();
        return false;
    }
    if (FAILED(DirectMusicCreateLoader(&g_sound.loader))) {
        ReleaseDevice();
        return false;
    }

    char folder[MAX_PATH + 8] = "";
    char current[MAX_PATH];
    if (PlatformCurrentFolder(current, sizeof(current)))
        std::snprintf(folder, sizeof(folder), "%s/sound", current);
    if (g_sound.loader->SetSearchDirectory(folder, FALSE) != S_OK)
        Log("\nSound: Search path redirected to virtual file system.\n");

    g_sound.waves.Free();
    if (FAILED(g_sound.performance->CreateStandardAudioPath(DMUS_APATH_SHARED_STEREOPLUSREVERB, 64, TRUE,
                                                            &g_sound.defaultPath))) {
        ReleaseDevice();
        return false;
    }
    g_sound.defaultPath->GetObjectInPath(DMUS_PCHANNEL_ALL, DMUS_PATH_BUFFER, 0, &g_sound.defaultBuffer);

    ResetChannels();
    for (SoundChannel& channel : g_sound.channels) {
        channel.source.CreateAudioPath();
        if (!g_sound.listener && channel.source.listener) {
            g_sound.listener = channel.source.listener;
            g_sound.listener->AddRef();
        }
    }

    g_sound.spatialCount = 0;
    for (SoundSource*& slot : g_sound.spatial)
        slot = nullptr;
    for (TempSoundEntry& entry : g_sound.queue)
        entry = TempSoundEntry{};
    g_sound.lastPass = 0;
    g_sound.firstPassDone = false;
    g_sound.lastViewPosition = SoundViewerPosition();
    g_sound.viewMovement = {};
    SoundResetPlayer();

    SoundApplyVolumes();
    Log("done\n");
    return true;
}

void SoundFreeMission()
{
    SoundStopAll();
    SoundFreeSpatialSounds();
    ForEachWorldSource([](SoundSource& source) { source.Release(); });
}

void SoundShutdown()
{
    Log("Destroying sound...");
    SoundStopAll();
    SoundFreeSpatialSounds();
    for (SoundChannel& channel : g_sound.channels)
        channel.source.Release();

    SoundFreeMessageSounds();
    g_sound.music = nullptr;
    for (s32_t i = 0; i < g_sound.instances.count; ++i) {
        SoundInstance* instance = g_sound.instances[i];
        if (instance->playing)
            instance->Stop();
        instance->Release();
        delete instance;
    }
    g_sound.instances.Free();

    ForEachWorldSource([](SoundSource& source) { source.Release(); });

    for (s32_t i = 0; i < g_sound.waves.count; ++i)
        delete g_sound.waves[i];
    g_sound.waves.Free();
    g_sound.pathSources.Free();
    for (TempSoundEntry& entry : g_sound.queue)
        entry = TempSoundEntry{};

    ReleaseDevice();
    Log("done\n");
}
