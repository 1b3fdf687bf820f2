// Sounds: waves loaded once by name, the instances that play them, and the sets of interchangeable
// variants (by level of detail) that objects, actors and weapons pick from by purpose.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

class DynamicObject;
class IDirectMusicAudioPath8;
class IDirectMusicSegment8;
class IDirectMusicSegmentState;
class IDirectSoundBuffer;
class SoundSource;
class SoundInstance;

constexpr s32_t MAX_SOUND_LODS = 3;
constexpr s32_t SOUND_PROPERTY_SLOTS = 32;
constexpr s32_t SOUND_PROPERTY_COUNT = 26;  // named properties 1..26

// Sound properties: what a sound of a set is for.
enum SoundProperty : s32_t {
    SOUND_AIM = 1,
    SOUND_FIRE = 2,
    SOUND_RELOAD = 3,
    SOUND_SHOT_DONE = 4,
    SOUND_SWITCH_TO = 5,
    SOUND_SWITCH_FROM = 6,
    SOUND_RELOAD_EMPTY = 7,
    SOUND_SHOT_DONE_EMPTY = 8,
    SOUND_SWITCH_TO_EMPTY = 9,
    SOUND_SWITCH_FROM_EMPTY = 10,
    SOUND_SWITCH_TO_SUB = 11,
    SOUND_SWITCH_TO_SUB_EMPTY = 12,
    SOUND_RELOAD_HOLSTER = 13,
    SOUND_ECHO = 14,
    SOUND_SHELL = 15,
    SOUND_TURN_ON = 16,
    SOUND_TURN_OFF = 17,
    SOUND_IDLE = 18,
    SOUND_TURN = 19,
    SOUND_ACCELERATE = 20,
    SOUND_DECELERATE = 21,
    SOUND_DESTROY = 22,
    SOUND_DEATH_HEAD = 23,
    SOUND_DEATH_TORSO = 24,
    SOUND_WHO_THERE = 25,
    SOUND_GRENADE_NEAR = 26,
};

// How an instance is bound: modes 3 and 4 always play on the shared flat path.
enum SoundPlayMode : s32_t {
    SOUND_MODE_OBJECT = 1,  // a world object's or spatial sound: the source's path
    SOUND_MODE_MUSIC = 2,
    SOUND_MODE_VOICE = 3,  // message voice or GUI sound
    SOUND_MODE_GUI = 4,    // GUI sound with its flag
};

// One wave file, loaded once and shared by every instance made from it.
class SoundWave {
public:
    SoundWave();
    ~SoundWave();
    SoundWave(const SoundWave&) = delete;
    SoundWave& operator=(const SoundWave&) = delete;

    // From the loader's search folder / from bytes read through the virtual file system. The name is
    // the file name as asked for ("name.wav").
    bool LoadFromFile(const char* fileName);
    bool LoadFromMemory(const char* fileName, const u8_t* data, u32_t size);
    // Takes the segment back from the performance; every instance must have been released first.
    void Unload();
    SoundInstance* CreateInstance(SoundSource* source, s32_t playMode);

    EngineString name;
    IDirectMusicSegment8* segment;
    s32_t m_nInstanceCount;
};

// One playable use of a wave, bound to an audio path.
class SoundInstance {
public:
    SoundInstance() = default;
    ~SoundInstance();
    SoundInstance(const SoundInstance&) = delete;
    SoundInstance& operator=(const SoundInstance&) = delete;

    // Plays on the instance's own path: looped (as a queued primary when queue is set, else on top
    // of everything) or once. True when it plays.
    bool Play(bool loop, bool queue);
    void PlayOnPath(IDirectMusicAudioPath8* path, bool loop);
    bool Stop();
    // The attenuation of the instance's buffer (shared by every flat sound); false without one.
    bool SetVolume(s32_t attenuation);
    // Gives the instance back to its wave's count.
    void Release();
    // True while the last play still sounds.
    bool IsPlaying() const;

    IDirectMusicAudioPath8* audioPath = nullptr;
    IDirectSoundBuffer* buffer = nullptr;
    IDirectMusicSegment8* segment = nullptr;
    IDirectMusicSegmentState* state = nullptr;
    bool playing = false;
    SoundWave* wave = nullptr;

private:
    void KeepState(IDirectMusicSegmentState* newState);
};

// Interchangeable variants of one sound at up to three levels of detail (0 = nearest).
class SoundSet {
public:
    SoundSet();
    ~SoundSet();
    SoundSet(const SoundSet&) = delete;
    SoundSet& operator=(const SoundSet&) = delete;

    void Add(SoundInstance* instance, s32_t level);
    // A random variant of the level; with noRepeat never the one picked last time.
    SoundInstance* Pick(bool noRepeat, s32_t level);
    SoundInstance* Get(s32_t index, s32_t level) const;
    // The variant at the last pick's index of that level.
    SoundInstance* Last(s32_t level) const;
    s32_t Count(s32_t level) const;

    SoundInstance** instances[MAX_SOUND_LODS];
    s32_t counts[MAX_SOUND_LODS];
    s32_t lastPick;
    s32_t extraParam;  // from the sound script; for surface sounds the least time between two plays (ms)
};

// An object's sounds by property (slots 0 and 27-31 stay empty), named after its script section.
class SoundSetTable {
public:
    explicit SoundSetTable(const char* sectionName);
    ~SoundSetTable();
    SoundSetTable(const SoundSetTable&) = delete;
    SoundSetTable& operator=(const SoundSetTable&) = delete;

    // Takes the set for the property (the table owns it from then on; a set already there is freed).
    // False for a null set or an unknown name: the set then stays the caller's.
    bool AddSet(const char* propertyName, SoundSet* set);
    // SoundSet::Pick / Get at the level, falling back to level 0 when that gives nothing.
    SoundInstance* Pick(s32_t property, bool noRepeat, s32_t level);
    SoundInstance* Get(s32_t property, s32_t index, s32_t level) const;
    s32_t GetParam(s32_t property) const;
    SoundSet* Set(s32_t property) const;

    SoundSet* sets[SOUND_PROPERTY_SLOTS];
    EngineString name;
};

// The three surface sound sets of a surface (walking, running, the alternative walk): set k is the
// surface material's STEP line k (k = 1..3, sets[k - 1]). Not owned: the material holds the sets.
struct SurfaceSounds {
    SoundSet* sets[3] = {};
};

// 1..26 for a property name (without regard to case), 0 when unknown.
s32_t SoundPropertyIndex(const char* name);
// The wave of "name.wav": found in the list, else from the loader's folder, else "sound\name.wav"
// through the virtual file system; null when none supplies it.
SoundWave* SoundWaveGet(const char* name);
SoundInstance* SoundLoad(SoundSource* source, const char* name, s32_t playMode);
// Reads one section of the sound script "sound" into a new table (null when there is no script).
SoundSetTable* LoadSoundSets(DynamicObject* object, const char* sectionName);
