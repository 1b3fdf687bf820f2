// A sound emitter with its own 3D audio path. Every world object owns one; the shared channels and
// the mission's spatial sounds are sources without an owner.
#pragma once
#include "core/sound/sound_sets.h"
#include "core/types.h"

class DynamicObject;
class IDirectMusicAudioPath8;
class IDirectMusicSegment8;
class IDirectMusicSegmentState;
class IDirectSound3DBuffer;
class IDirectSound3DListener;
class IDirectSoundBuffer;

constexpr u32_t SOUND_APPLY_NOW = 0;
constexpr u32_t SOUND_APPLY_DEFERRED = 1;

class SoundSource {
public:
    explicit SoundSource(DynamicObject* owner);
    // Frees the table and the own set; the interfaces must have been released (Release) before.
    ~SoundSource();
    SoundSource(const SoundSource&) = delete;
    SoundSource& operator=(const SoundSource&) = delete;

    // Makes the 3D audio path once; later calls only tell whether the source has a working path.
    bool CreateAudioPath();
    // Releases the interfaces and leaves the list of sources with a path; later calls do nothing.
    void Release();
    void SetSoundTable(SoundSetTable* table);
    bool SetPosition(float x, float y, float z, u32_t applyMode);
    void SetDistances(float minimum, float maximum);
    void SetVolume(s32_t attenuation);
    // The shared listener, through this source: only while the source is active.
    bool SetListenerPosition(float x, float y, float z);
    bool SetListenerOrientation(const Vector3& front, const Vector3& top);
    bool CommitListener();
    // Plays the segment once on top of everything on this source's path. With keepState the caller
    // gets the state and releases it; without, null is returned either way.
    IDirectMusicSegmentState* PlaySegment(IDirectMusicSegment8* segment, bool keepState = true);
    // The own set's sound: looped (repeat mode 0), stopped, or replayed at random intervals (mode 1).
    void StartOwnSound();
    void StopOwnSound();
    void UpdateRepeat(u32_t now);
    // Has working interfaces.
    bool HasAudioPath() const { return buffer3D != nullptr; }

    SoundSetTable* soundTable = nullptr;
    SoundSet ownSet;
    bool audioPathMade = false;
    bool released = false;
    Vector3 position;
    Vector3 listenerPosition;
    float minDistance = 0.0f;
    float maxDistance = 0.0f;
    s32_t repeatMode = 0;        // 0 loops the own sound, 1 replays it at random intervals
    s32_t longestInterval = 0;   // ms
    s32_t shortestInterval = 0;  // ms
    u32_t nextPlayTime = 0;
    IDirectMusicAudioPath8* audioPath = nullptr;
    IDirectSoundBuffer* soundBuffer = nullptr;
    IDirectSound3DBuffer* buffer3D = nullptr;
    IDirectSound3DListener* listener = nullptr;
    DynamicObject* owner;
    bool active = false;  // within hearing range of the viewer
    u32_t lastActivityCheck = 0;
};

// One of the shared channels for one-shot sounds at a point.
struct SoundChannel {
    SoundSource source{nullptr};
    u32_t lastUse = 0;
    bool followsListener = false;
};
