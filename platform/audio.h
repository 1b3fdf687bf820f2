// Our stand-in for the DirectMusic performance, loader, segments and audio paths and for the
// DirectSound buffers and 3D listener the engine plays through. Backed by OpenAL Soft (mixing and 3D)
// and libsndfile (decoding PCM and ADPCM ".wav" from disk or memory).
//
// The model, in the engine's vocabulary:
// - the performance owns the device, the context and a fixed pool of voices (one OpenAL source each);
// - an audio path is a sound buffer with a volume and, for 3D paths, a position and distances; any
//   number of voices may play on one path at once and all take its settings;
// - a segment is a decoded wave, downloaded into OpenAL buffers; a segment state is the voice that
//   plays it once started;
// - positions are given in the engine's left-handed frame (x right, y up, z forward) and converted;
// - volumes are attenuations in hundredths of a decibel (0 full, -10000 silent).
// Objects are reference counted: Release() on the last reference destroys them.
#pragma once
#include "platform/win32.h"

constexpr HRESULT DSERR_BUFFERLOST = static_cast<HRESULT>(0x88780096u);
constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078u);
constexpr HRESULT DSERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DMUS_E_AUDIOPATHS_NOT_VALID = static_cast<HRESULT>(0x88781226u);
constexpr HRESULT DMUS_E_NOT_INIT = static_cast<HRESULT>(0x88781162u);
constexpr HRESULT DMUS_E_NOT_FOUND = static_cast<HRESULT>(0x88781193u);
constexpr HRESULT DMUS_E_UNSUPPORTED_STREAM = static_cast<HRESULT>(0x88781196u);
constexpr HRESULT DMUS_E_NO_FREE_VOICE = static_cast<HRESULT>(0x887811A0u);  // every voice is busy

// Audio path types.
constexpr DWORD DMUS_APATH_SHARED_STEREOPLUSREVERB = 1;  // flat (non-positional) stereo
constexpr DWORD DMUS_APATH_DYNAMIC_3D = 6;               // positional, one mono 3D buffer
// InitAudio flags (every feature; kept for the call's shape).
constexpr DWORD DMUS_AUDIOF_ALL = 0x3F;
// PlaySegmentEx flags.
constexpr DWORD DMUS_SEGF_QUEUE = 0x0100;      // primary: start when the current primary ends
constexpr DWORD DMUS_SEGF_SECONDARY = 0x0080;  // plays on top of everything else
constexpr DWORD DMUS_SEG_REPEAT_INFINITE = 0xFFFFFFFFu;
// 3D settings: applied at once or on the listener's next CommitDeferredSettings.
constexpr DWORD DS3D_IMMEDIATE = 0;
constexpr DWORD DS3D_DEFERRED = 1;
constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;
constexpr float DS3D_DEFAULTMINDISTANCE = 1.0f;
constexpr float DS3D_DEFAULTMAXDISTANCE = 1000000000.0f;
// Stages of GetObjectInPath.
constexpr DWORD DMUS_PCHANNEL_ALL = 0xFFFFFFFBu;
constexpr DWORD DMUS_PATH_BUFFER = 0x6000;
constexpr DWORD DMUS_PATH_PRIMARY_BUFFER = 0x7000;
// Global parameter of the performance: the master volume, a 32-bit attenuation (-10000..2000).
constexpr DWORD GUID_PerfMasterVolume = 1;
constexpr LONG DMUS_MASTERVOLUME_MAX = 2000;
// DMUS_OBJECTDESC valid-data bits.
constexpr DWORD DMUS_OBJ_CLASS = 0x0008;
constexpr DWORD DMUS_OBJ_MEMORY = 0x4000;

// The attenuation (hundredths of a decibel) as a linear gain; DSBVOLUME_MIN and below are silence.
float AudioAttenuationToGain(LONG attenuation);

class AudioObject {
public:
    // Parts of a larger object (a path's buffers, the performance's listener) count on their owner.
    virtual DWORD AddRef();
    virtual DWORD Release();

protected:
    AudioObject() = default;
    virtual ~AudioObject() = default;
    AudioObject(const AudioObject&) = delete;
    AudioObject& operator=(const AudioObject&) = delete;

private:
    DWORD m_references = 1;
};

class IDirectMusicAudioPath8;
class IDirectMusicPerformance8;
class IDirectMusicSegment8;
class IDirectMusicSegmentState;

// The sound buffer of an audio path: its volume.
class IDirectSoundBuffer : public AudioObject {
public:
    DWORD AddRef() override;
    DWORD Release() override;
    // DSBVOLUME_MIN..DSBVOLUME_MAX, else DSERR_INVALIDPARAM.
    HRESULT SetVolume(LONG attenuation);
    HRESULT GetVolume(LONG* attenuation);

private:
    friend class IDirectMusicAudioPath8;
    explicit IDirectSoundBuffer(IDirectMusicAudioPath8* path) : m_path(path) {}
    IDirectMusicAudioPath8* m_path;
};

// The 3D buffer of a 3D audio path.
class IDirectSound3DBuffer : public AudioObject {
public:
    DWORD AddRef() override;
    DWORD Release() override;
    HRESULT SetPosition(float x, float y, float z, DWORD apply);
    HRESULT GetPosition(float* x, float* y, float* z);
    HRESULT SetMinDistance(float distance, DWORD apply);
    HRESULT SetMaxDistance(float distance, DWORD apply);

private:
    friend class IDirectMusicAudioPath8;
    explicit IDirectSound3DBuffer(IDirectMusicAudioPath8* path) : m_path(path) {}
    IDirectMusicAudioPath8* m_path;
};

// The one listener of the performance.
class IDirectSound3DListener : public AudioObject {
public:
    DWORD AddRef() override;
    DWORD Release() override;
    HRESULT SetPosition(float x, float y, float z, DWORD apply);
    HRESULT GetPosition(float* x, float* y, float* z);
    HRESULT SetOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ, DWORD apply);
    HRESULT SetDistanceFactor(float metresPerUnit, DWORD apply);
    // Scales the distance attenuation of every 3D path (1 = real world, 0 = none).
    HRESULT SetRolloffFactor(float rolloff, DWORD apply);
    // Applies every deferred listener and 3D-buffer setting.
    HRESULT CommitDeferredSettings();

private:
    friend class IDirectMusicPerformance8;
    explicit IDirectSound3DListener(IDirectMusicPerformance8* performance) : m_performance(performance) {}
    IDirectMusicPerformance8* m_performance;
};

class IDirectMusicAudioPath8 : public AudioObject {
public:
    HRESULT Activate(BOOL active);
    // The path's own volume, on top of its buffer's (fades are not modelled: applied at once).
    HRESULT SetVolume(LONG attenuation, DWORD durationMs);
    // Each result holds a reference the caller releases. A flat path has no 3D buffer (E_NOINTERFACE).
    HRESULT GetObjectInPath(DWORD pchannel, DWORD stage, DWORD bufferIndex, IDirectSoundBuffer** buffer);
    HRESULT GetObjectInPath(DWORD pchannel, DWORD stage, DWORD bufferIndex, IDirectSound3DBuffer** buffer);
    HRESULT GetObjectInPath(DWORD pchannel, DWORD stage, DWORD bufferIndex, IDirectSound3DListener** listener);

    bool Is3D() const { return m_is3D; }

private:
    friend class IDirectMusicPerformance8;
    friend class IDirectSoundBuffer;
    friend class IDirectSound3DBuffer;
    friend class IDirectSound3DListener;
    // A path made for a caller holds a reference to the performance; the performance's own default path does not.
    IDirectMusicAudioPath8(IDirectMusicPerformance8* performance, bool is3D, bool holdsPerformance);
    ~IDirectMusicAudioPath8() override;
    void Apply3D(bool deferred);
    void ApplyGain();

    IDirectMusicPerformance8* m_performance;
    bool m_is3D;
    bool m_holdsPerformance;
    bool m_active = true;
    LONG m_bufferVolume = 0;
    LONG m_pathVolume = 0;
    float m_position[3] = {0.0f, 0.0f, 0.0f};  // engine frame
    float m_minDistance = DS3D_DEFAULTMINDISTANCE;
    float m_maxDistance = DS3D_DEFAULTMAXDISTANCE;
    float m_applied[5] = {0.0f, 0.0f, 0.0f, DS3D_DEFAULTMINDISTANCE, DS3D_DEFAULTMAXDISTANCE};
    bool m_deferredPending = false;
    IDirectMusicAudioPath8* m_nextDeferred = nullptr;
    int m_voiceCount = 0;  // voices of the performance on this path
    IDirectSoundBuffer m_buffer;
    IDirectSound3DBuffer m_buffer3D;
};

// A decoded wave. Download makes its OpenAL buffers; playing needs a downloaded segment.
class IDirectMusicSegment8 : public AudioObject {
public:
    HRESULT SetRepeats(DWORD repeats);
    HRESULT GetRepeats(DWORD* repeats);
    HRESULT Download(IDirectMusicPerformance8* performance);
    HRESULT Unload(IDirectMusicPerformance8* performance);

    // Decoded form (for tests and diagnostics).
    int Channels() const { return m_channels; }
    int SampleRate() const { return m_sampleRate; }
    DWORD FrameCount() const { return m_frames; }

private:
    friend class IDirectMusicLoader8;
    friend class IDirectMusicPerformance8;
    IDirectMusicSegment8() = default;
    ~IDirectMusicSegment8() override;

    short* m_samples = nullptr;  // interleaved, m_channels per frame
    DWORD m_frames = 0;
    int m_channels = 0;
    int m_sampleRate = 0;
    DWORD m_repeats = 0;
    unsigned m_buffer = 0;      // as decoded (mono or stereo)
    unsigned m_monoBuffer = 0;  // a mono mix for 3D paths when the wave is stereo
    IDirectMusicPerformance8* m_downloadedTo = nullptr;
};

// One play of a segment. It names its voice by index and generation, so a state kept after its
// sound ended never reaches the next sound that the voice plays. States come from a pool of the
// performance, so that playing a sound allocates nothing.
class IDirectMusicSegmentState : public AudioObject {
public:
    DWORD AddRef() override;
    DWORD Release() override;

private:
    friend class IDirectMusicPerformance8;
    IDirectMusicSegmentState() = default;
    IDirectMusicPerformance8* m_performance = nullptr;  // held while the state is in use
    int m_voice = -1;
    DWORD m_generation = 0;
    DWORD m_uses = 0;
    bool m_pooled = false;
    IDirectMusicSegmentState* m_nextFree = nullptr;
};

struct DMUS_OBJECTDESC {
    DWORD dwSize;
    DWORD dwValidData;
    DWORD llMemLength;
    const BYTE* pbMemData;
};

class IDirectMusicLoader8 : public AudioObject {
public:
    // The folder that LoadObjectFromFile names are relative to; S_OK when it exists, else
    // DMUS_E_NOT_FOUND (and no folder is kept).
    HRESULT SetSearchDirectory(const char* folder, BOOL clearCache);
    // A ".wav" file (paths with '\' or '/', found without regard to case) under the search folder.
    HRESULT LoadObjectFromFile(const char* fileName, IDirectMusicSegment8** segment);
    // A ".wav" image in memory (DMUS_OBJ_MEMORY); the bytes are decoded at once.
    HRESULT GetObject(const DMUS_OBJECTDESC* description, IDirectMusicSegment8** segment);

private:
    friend HRESULT DirectMusicCreateLoader(IDirectMusicLoader8** loader);
    IDirectMusicLoader8() = default;
    char m_folder[MAX_PATH] = {};
};

class IDirectMusicPerformance8 : public AudioObject {
public:
    static constexpr int kVoiceCount = 128;
    static constexpr int kStatePoolSize = 256;

    // Opens the sound device and its context and makes the default path. DSERR_NODRIVER when
    // there is no device (AudioLastError() tells why).
    HRESULT InitAudio(HWND window, DWORD defaultPathType, DWORD performanceChannels, DWORD flags);
    HRESULT CreateStandardAudioPath(DWORD type, DWORD performanceChannels, BOOL activate,
                                    IDirectMusicAudioPath8** path);
    HRESULT GetDefaultAudioPath(IDirectMusicAudioPath8** path);
    // Plays a downloaded segment on the path (the default path when null). With a state pointer the
    // caller receives a reference to the voice.
    HRESULT PlaySegmentEx(IDirectMusicSegment8* segment, DWORD flags, LONG startTime, IDirectMusicSegmentState** state,
                          IDirectMusicAudioPath8* path);
    // Stops every voice of the segment / the one voice / every voice on the path.
    HRESULT StopEx(IDirectMusicSegment8* segment, LONG stopTime, DWORD flags);
    HRESULT StopEx(IDirectMusicSegmentState* state, LONG stopTime, DWORD flags);
    HRESULT StopEx(IDirectMusicAudioPath8* path, LONG stopTime, DWORD flags);
    // S_OK while the segment (any voice of it) or the state plays, S_FALSE otherwise.
    HRESULT IsPlaying(IDirectMusicSegment8* segment, IDirectMusicSegmentState* state);
    HRESULT SetGlobalParam(DWORD parameter, const void* data, DWORD size);
    HRESULT GetGlobalParam(DWORD parameter, void* data, DWORD size);
    // There is no mixing thread of ours: this starts queued primary segments whose turn has come.
    void Service();
    // Stops everything and closes the device; the objects still held go quiet.
    HRESULT CloseDown();

    // Number of voices playing now (tests and diagnostics).
    int PlayingVoiceCount();

private:
    friend HRESULT DirectMusicCreatePerformance(IDirectMusicPerformance8** performance);
    friend class IDirectMusicAudioPath8;
    friend class IDirectSound3DListener;
    friend class IDirectMusicSegment8;
    friend class IDirectMusicSegmentState;
    struct Voice {
        unsigned source = 0;                      // OpenAL source, made at first use
        IDirectMusicSegment8* segment = nullptr;  // null: the voice is free
        IDirectMusicAudioPath8* path = nullptr;
        DWORD generation = 0;  // bumped each time the voice is freed
        bool primary = false;
        bool queued = false;  // a primary waiting for the current one to end
        DWORD queueOrder = 0;
    };
    IDirectMusicPerformance8();
    ~IDirectMusicPerformance8() override;
    IDirectMusicSegmentState* AcquireState(int voice);
    void RecycleState(IDirectMusicSegmentState* state);
    int FindFreeVoice();
    bool StartVoice(int index);
    void StopVoice(int index);
    void ReclaimVoice(int index);
    bool VoiceIsPlaying(int index);
    void ApplyVoice3D(int index);
    void ApplyVoiceGain(int index);
    void ForEachVoiceOnPath(IDirectMusicAudioPath8* path, void (IDirectMusicPerformance8::*apply)(int));
    void ForgetPath(IDirectMusicAudioPath8* path);
    void ForgetSegment(IDirectMusicSegment8* segment);
    void ApplyListener();

    bool m_open = false;
    void* m_device = nullptr;
    void* m_context = nullptr;
    IDirectMusicAudioPath8* m_defaultPath = nullptr;
    IDirectSound3DListener m_listener;
    float m_listenerPosition[3] = {0.0f, 0.0f, 0.0f};
    float m_listenerOrientation[6] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f};
    float m_distanceFactor = 1.0f;
    float m_rolloff = 1.0f;
    bool m_listenerPending = false;
    IDirectMusicAudioPath8* m_deferredPaths = nullptr;
    LONG m_masterVolume = 0;
    int m_primaryVoice = -1;
    DWORD m_queueCounter = 0;
    Voice m_voices[kVoiceCount];
    IDirectMusicSegmentState m_statePool[kStatePoolSize];
    IDirectMusicSegmentState* m_freeStates = nullptr;
};

// Stand-ins for CoCreateInstance of the performance and the loader.
HRESULT DirectMusicCreatePerformance(IDirectMusicPerformance8** performance);
HRESULT DirectMusicCreateLoader(IDirectMusicLoader8** loader);
// Why the last InitAudio or decode failed (a short text); the layer's own files set it.
const char* AudioLastError();
void AudioSetLastError(const char* text);

// For tests: the next InitAudio opens an OpenAL Soft loopback device (stereo float at the rate)
// instead of the system device, or finds no device at all.
enum class AudioDeviceChoice { System, Loopback, None };
void AudioChooseDevice(AudioDeviceChoice choice, int loopbackRate = 44100);
// Turns the sound libraries' own messages on stderr off (a log level the user set is kept); the
// performance does it before it first opens a device.
void AudioQuietLibraryMessages();
// Renders interleaved stereo float frames from the open loopback device; false without one.
bool AudioRenderLoopback(float* frames, int frameCount);
