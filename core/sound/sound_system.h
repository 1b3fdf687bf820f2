// The sound system's one global record, shared by the sound files (and read by their tests).
#pragma once
#include "core/strings/grow_array.h"
#include "core/sound/sound.h"

class IDirectMusicAudioPath8;
class IDirectMusicLoader8;
class IDirectMusicPerformance8;
class IDirectSound3DListener;
class IDirectSoundBuffer;

struct MessageSound {
    SoundInstance* instance = nullptr;
    EngineString key;
};

struct SoundSystem {
    IDirectMusicPerformance8* performance = nullptr;
    IDirectMusicLoader8* loader = nullptr;
    IDirectMusicAudioPath8* defaultPath = nullptr;
    IDirectSoundBuffer* defaultBuffer = nullptr;  // the flat path's buffer, shared by its instances
    IDirectSound3DListener* listener = nullptr;   // the one listener, steered every update pass
    GrowArray<SoundSource*> pathSources;          // every source that has an audio path
    SoundChannel channels[SOUND_CHANNEL_COUNT];
    SoundSource* spatial[MAX_SPATIAL_SOUNDS] = {};
    s32_t spatialCount = 0;
    SoundInstance* music = nullptr;
    TempSoundEntry queue[TEMP_SOUND_QUEUE_SIZE] = {};
    MessageSound messages[MAX_GAME_MSG_SOUNDS];
    s32_t messageCount = 0;
    GrowArray<SoundWave*> waves;
    GrowArray<SoundInstance*> instances;

    // Update passes.
    u32_t lastPass = 0;
    bool firstPassDone = false;
    Vector3 lastViewPosition;
    Vector3 viewMovement;
    Vector3 listenerFront{0.0f, 0.0f, 1.0f};
    Vector3 listenerTop{0.0f, 1.0f, 0.0f};

    // The player's own sounds.
    u32_t lastSurfaceTrace = 0;
    SurfaceSounds* surface = nullptr;
    u32_t surfaceLastPlay[3] = {};
    u32_t waterLastPlay = 0;
    SoundPlayerRequests playerRequests = {};
};

extern SoundSystem g_sound;

// The sound clock (GetTickCount unless replaced).
u32_t SoundNow();
// The viewer position (GameGetViewPos) as a vector.
Vector3 SoundViewerPosition();
float SoundDistanceSquared(const Vector3& a, const Vector3& b);
// The flat (non-positional) path, or null while silent.
IDirectMusicAudioPath8* SoundDefaultPath();

// The first channel unused for more than 1000 ms, or null.
SoundChannel* SoundFreeChannel(u32_t now);
// Places the channel at the point, plays the segment once on it and marks it used.
SoundChannel* SoundPlayOnChannel(SoundChannel& channel, const Vector3& position, IDirectMusicSegment8* segment,
                                 bool followsListener, u32_t now);

// Internal steps of the sound files.
void SoundRunTempQueue(u32_t now, const Vector3& viewer);
void SoundFreeSpatialSounds();
void SoundFreeMessageSounds();
void SoundResetPlayer();
