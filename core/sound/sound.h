// The sound system: start and end, the per-frame update, spatial sounds and music, one-shot sounds at
// a point, the player's own sounds, message voices and the volume groups. Without a sound device the
// program runs silent: every operation then does nothing.
#pragma once
#include "core/strings/engine_string.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_source.h"
#include "core/types.h"
#include "platform/win32.h"

class IDirectMusicSegment8;

constexpr s32_t SOUND_CHANNEL_COUNT = 32;
constexpr s32_t MAX_SPATIAL_SOUNDS = 64;
constexpr s32_t TEMP_SOUND_QUEUE_SIZE = 128;
constexpr s32_t MAX_GAME_MSG_SOUNDS = 512;
constexpr s32_t SOUND_PLAYER_REQUESTS = 15;
constexpr float SOUND_SPEED = 3300.0f;  // world units per second

bool SoundInit(HWND window);
void SoundShutdown();
// Stops everything, frees the spatial sounds and releases the world objects' sources.
void SoundFreeMission();
// Once per frame: the player's sounds every call; emitters, listener and queued sounds every 50 ms.
void SoundUpdate();
// Stops music and the spatial sounds / starts them again.
void SoundStopAll();
void SoundResumeAll();
// True between a successful SoundInit and SoundShutdown.
bool SoundIsRunning();

// The clock the sound system reads (GetTickCount unless a test or replay sets another; null restores it).
void SoundSetClock(DWORD (*clock)());

// Plays a one-shot segment on the first free channel (none free, or farther than 1000 units from
// the listener position: dropped).
void PlayOnFreeChannel(const Vector3& position, const Vector3& listenerPosition, const Vector3& front,
                       const Vector3& top, IDirectMusicSegment8* segment);

// Spatial sounds (the sound system owns them once added) and the music.
void AddSpatialSound(SoundSource* source);
s32_t SoundSpatialCount();
void SoundSetMusic(SoundInstance* music);

// Distance rules from the viewer: level of detail 0-2, and the delay before a sound is heard (ms).
s32_t SoundLodForPoint(const Vector3& point);
u32_t SoundTravelDelay(const Vector3& point);
// One-shot sounds at a point: near ones now on a channel, farther ones queued by their travel
// delay, beyond 1000 units none. A listener-relative sound keeps its place relative to the viewer.
void PlayTempSound(const Vector3& point, SoundInstance* instance, bool listenerRelative);
void PlayTempSoundAt(const Vector3& point, IDirectMusicSegment8* segment, bool listenerRelative);
void QueueTempSound(u32_t startTime, IDirectMusicSegment8* segment, const Vector3& point, bool listenerRelative);

struct TempSoundEntry {
    u32_t startTime;
    IDirectMusicSegment8* segment;  // null: the entry is free
    Vector3 position;
    bool listenerRelative;
};

// Requests of the first-person weapon view, by sound property; cleared after each handling. The
// sound system's record holds them (g_sound.playerRequests, core/sound/sound_system.h).
struct SoundPlayerRequests {
    u8_t request[SOUND_PLAYER_REQUESTS];
    s32_t aimIndex;  // the variant of the "aim" request
};
// Footsteps by the surface under the viewer and the weapon sounds the view asks for (run by SoundUpdate).
void SoundUpdatePlayer();

// Message voices, from the "messages.asc" files of "locale\_common\" and of the language.
void LoadMessageSounds();
void ClearMessageSounds();
SoundInstance* FindMessageSound(const EngineString& key);
s32_t SoundMessageCount();

// Volume groups.
enum SoundGroup : s32_t {
    SOUND_GROUP_MASTER = 0,
    SOUND_GROUP_ENVIRONMENT = 1,
    SOUND_GROUP_EFFECTS = 2,
    SOUND_GROUP_MUSIC = 3,
};
// The attenuation of a volume 0-100: -3000 + 30 v hundredths of a decibel (not clamped).
s32_t SoundVolumeAttenuation(s32_t volume);
bool SoundSetGroupVolume(s32_t group, s32_t attenuation);
// Applies the four volume variables to their groups (skipping muted groups).
void SoundApplyVolumes();
