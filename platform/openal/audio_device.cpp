// The performance: the OpenAL device and context, the voice pool, the listener and segment playback.
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cmath>
#include <cstdio>

#include "platform/audio.h"

namespace {

AudioDeviceChoice g_deviceChoice = AudioDeviceChoice::System;
int g_loopbackRate = 44100;
char g_lastError[256] = "";
ALCdevice* g_loopbackDevice = nullptr;
LPALCRENDERSAMPLESSOFT g_renderSamples = nullptr;

constexpr DWORD kMaxQueuedRepeats = 256;

}  // namespace

void AudioSetLastError(const char* text)
{
    std::snprintf(g_lastError, sizeof(g_lastError), "%s", text);
}

const char* AudioLastError()
{
    return g_lastError;
}

void AudioChooseDevice(AudioDeviceChoice choice, int loopbackRate)
{
    g_deviceChoice = choice;
    g_loopbackRate = loopbackRate > 0 ? loopbackRate : 44100;
}

bool AudioRenderLoopback(float* frames, int frameCount)
{
    if (!g_loopbackDevice || !g_renderSamples || !frames || frameCount <= 0)
        return false;
    g_renderSamples(g_loopbackDevice, frames, frameCount);
    return true;
}

float AudioAttenuationToGain(LONG attenuation)
{
    if (attenuation <= DSBVOLUME_MIN)
        return 0.0f;
    return std::pow(10.0f, static_cast<float>(attenuation) / 2000.0f);
}

DWORD AudioObject::AddRef()
{
    return ++m_references;
}

DWORD AudioObject::Release()
{
    DWORD left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

// ---- segment states ----

DWORD IDirectMusicSegmentState::AddRef()
{
    return ++m_uses;
}

DWORD IDirectMusicSegmentState::Release()
{
    if (m_uses == 0)
        return 0;
    const DWORD left = --m_uses;
    if (left == 0) {
        IDirectMusicPerformance8* performance = m_performance;
        performance->RecycleState(this);
        performance->Release();  // last: this may end the performance
    }
    return left;
}

IDirectMusicSegmentState* IDirectMusicPerformance8::AcquireState(int voice)
{
    IDirectMusicSegmentState* state = m_freeStates;
    if (state) {
        m_freeStates = state->m_nextFree;
    } else {
        state = new IDirectMusicSegmentState();  // the pool is spent: a state of its own
    }
    state->m_performance = this;
    state->m_voice = voice;
    state->m_generation = m_voices[voice].generation;
    state->m_uses = 1;
    state->m_nextFree = nullptr;
    AddRef();
    return state;
}

void IDirectMusicPerformance8::RecycleState(IDirectMusicSegmentState* state)
{
    if (!state->m_pooled) {
        delete state;
        return;
    }
    state->m_nextFree = m_freeStates;
    m_freeStates = state;
}

// ---- the listener ----

DWORD IDirectSound3DListener::AddRef()
{
    return m_performance->AddRef();
}

DWORD IDirectSound3DListener::Release()
{
    return m_performance->Release();
}

HRESULT IDirectSound3DListener::SetPosition(float x, float y, float z, DWORD apply)
{
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return DSERR_INVALIDPARAM;
    IDirectMusicPerformance8& p = *m_performance;
    p.m_listenerPosition[0] = x;
    p.m_listenerPosition[1] = y;
    p.m_listenerPosition[2] = z;
    if (apply == DS3D_DEFERRED)
        p.m_listenerPending = true;
    else
        p.ApplyListener();
    return S_OK;
}

HRESULT IDirectSound3DListener::GetPosition(float* x, float* y, float* z)
{
    if (!x || !y || !z)
        return E_POINTER;
    *x = m_performance->m_listenerPosition[0];
    *y = m_performance->m_listenerPosition[1];
    *z = m_performance->m_listenerPosition[2];
    return S_OK;
}

HRESULT IDirectSound3DListener::SetOrientation(float frontX, float frontY, float frontZ, float topX, float topY,
                                               float topZ, DWORD apply)
{
    const float values[6] = {frontX, frontY, frontZ, topX, topY, topZ};
    for (float v : values)
        if (!std::isfinite(v))
            return DSERR_INVALIDPARAM;
    IDirectMusicPerformance8& p = *m_performance;
    for (int i = 0; i < 6; ++i)
        p.m_listenerOrientation[i] = values[i];
    if (apply == DS3D_DEFERRED)
        p.m_listenerPending = true;
    else
        p.ApplyListener();
    return S_OK;
}

HRESULT IDirectSound3DListener::SetDistanceFactor(float metresPerUnit, DWORD)
{
    // Only Doppler shifts depend on it, and nothing here moves fast enough to model them.
    if (!(metresPerUnit > 0.0f))
        return DSERR_INVALIDPARAM;
    m_performance->m_distanceFactor = metresPerUnit;
    return S_OK;
}

HRESULT IDirectSound3DListener::SetRolloffFactor(float rolloff, DWORD)
{
    if (!(rolloff >= 0.0f) || !std::isfinite(rolloff))
        return DSERR_INVALIDPARAM;
    IDirectMusicPerformance8& p = *m_performance;
    p.m_rolloff = rolloff;
    // OpenAL keeps the rolloff per source: every voice on a 3D path takes the new value.
    for (int i = 0; i < IDirectMusicPerformance8::kVoiceCount; ++i)
        if (p.m_voices[i].segment)
            p.ApplyVoice3D(i);
    return S_OK;
}

HRESULT IDirectSound3DListener::CommitDeferredSettings()
{
    IDirectMusicPerformance8& p = *m_performance;
    if (p.m_listenerPending) {
        p.m_listenerPending = false;
        p.ApplyListener();
    }
    while (IDirectMusicAudioPath8* path = p.m_deferredPaths) {
        p.m_deferredPaths = path->m_nextDeferred;
        path->m_nextDeferred = nullptr;
        path->m_deferredPending = false;
        path->Apply3D(false);
    }
    return S_OK;
}

// ---- the performance ----

HRESULT DirectMusicCreatePerformance(IDirectMusicPerformance8** performance)
{
    if (!performance)
        return E_POINTER;
    *performance = new IDirectMusicPerformance8();
    return S_OK;
}

IDirectMusicPerformance8::IDirectMusicPerformance8() : m_listener(this)
{
    for (int i = kStatePoolSize - 1; i >= 0; --i) {
        m_statePool[i].m_pooled = true;
        m_statePool[i].m_nextFree = m_freeStates;
        m_freeStates = &m_statePool[i];
    }
}

IDirectMusicPerformance8::~IDirectMusicPerformance8()
{
    CloseDown();
}

HRESULT IDirectMusicPerformance8::InitAudio(HWND, DWORD defaultPathType, DWORD performanceChannels, DWORD)
{
    if (m_open)
        return S_OK;
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    AudioQuietLibraryMessages();
    switch (g_deviceChoice) {
        case AudioDeviceChoice::None:
            AudioSetLastError("no sound device is available");
            return DSERR_NODRIVER;
        case AudioDeviceChoice::System:
            device = alcOpenDevice(nullptr);
            if (!device) {
                AudioSetLastError("no sound device could be opened");
                return DSERR_NODRIVER;
            }
            context = alcCreateContext(device, nullptr);
            break;
        case AudioDeviceChoice::Loopback: {
            if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) {
                AudioSetLastError("the loopback device is not supported");
                return DSERR_NODRIVER;
            }
            auto openLoopback =
                reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
            g_renderSamples =
                reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
            device = openLoopback ? openLoopback(nullptr) : nullptr;
            if (!device || !g_renderSamples) {
                AudioSetLastError("the loopback device could not be opened");
                return DSERR_NODRIVER;
            }
            const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                         ALC_STEREO_SOFT,
                                         ALC_FORMAT_TYPE_SOFT,
                                         ALC_FLOAT_SOFT,
                                         ALC_FREQUENCY,
                                         g_loopbackRate,
                                         ALC_HRTF_SOFT,
                                         ALC_FALSE,
                                         0};
            context = alcCreateContext(device, attributes);
            if (context)
                g_loopbackDevice = device;
            break;
        }
    }
    if (!context || !alcMakeContextCurrent(context)) {
        AudioSetLastError("the sound device has no usable context");
        if (context)
            alcDestroyContext(context);
        alcCloseDevice(device);
        g_loopbackDevice = nullptr;
        return DSERR_NODRIVER;
    }
    m_device = device;
    m_context = context;
    m_open = true;
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    ApplyListener();
    HRESULT result = CreateStandardAudioPath(defaultPathType, performanceChannels, TRUE, &m_defaultPath);
    if (FAILED(result)) {
        CloseDown();
        return result;
    }
    return S_OK;
}

HRESULT IDirectMusicPerformance8::CreateStandardAudioPath(DWORD type, DWORD performanceChannels, BOOL activate,
                                                          IDirectMusicAudioPath8** path)
{
    if (!path)
        return E_POINTER;
    *path = nullptr;
    if (!m_open)
        return DMUS_E_NOT_INIT;
    if (performanceChannels == 0 || (type != DMUS_APATH_SHARED_STEREOPLUSREVERB && type != DMUS_APATH_DYNAMIC_3D))
        return E_INVALIDARG;
    *path = new IDirectMusicAudioPath8(this, type == DMUS_APATH_DYNAMIC_3D, path != &m_defaultPath);
    (*path)->m_active = activate != FALSE;
    return S_OK;
}

HRESULT IDirectMusicPerformance8::GetDefaultAudioPath(IDirectMusicAudioPath8** path)
{
    if (!path)
        return E_POINTER;
    *path = m_defaultPath;
    if (!m_defaultPath)
        return DMUS_E_NOT_INIT;
    m_defaultPath->AddRef();
    return S_OK;
}

void IDirectMusicPerformance8::ApplyListener()
{
    if (!m_open)
        return;
    const float* p = m_listenerPosition;
    const float* o = m_listenerOrientation;
    // The engine's frame is left-handed with z forward; OpenAL's is right-handed with -z forward.
    alListener3f(AL_POSITION, p[0], p[1], -p[2]);
    const ALfloat orientation[6] = {o[0], o[1], -o[2], o[3], o[4], -o[5]};
    alListenerfv(AL_ORIENTATION, orientation);
    alListenerf(AL_GAIN, AudioAttenuationToGain(m_masterVolume));
}

HRESULT IDirectMusicPerformance8::SetGlobalParam(DWORD parameter, const void* data, DWORD size)
{
    if (!data)
        return E_POINTER;
    if (parameter != GUID_PerfMasterVolume || size != sizeof(LONG))
        return E_INVALIDARG;
    if (!m_open)
        return DMUS_E_NOT_INIT;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    LONG volume = static_cast<LONG>(static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 |
                                    static_cast<DWORD>(bytes[2]) << 16 | static_cast<DWORD>(bytes[3]) << 24);
    if (volume > DMUS_MASTERVOLUME_MAX)
        volume = DMUS_MASTERVOLUME_MAX;
    if (volume < DSBVOLUME_MIN)
        volume = DSBVOLUME_MIN;
    m_masterVolume = volume;
    alListenerf(AL_GAIN, AudioAttenuationToGain(m_masterVolume));
    return S_OK;
}

HRESULT IDirectMusicPerformance8::GetGlobalParam(DWORD parameter, void* data, DWORD size)
{
    if (!data)
        return E_POINTER;
    if (parameter != GUID_PerfMasterVolume || size != sizeof(LONG))
        return E_INVALIDARG;
    BYTE* bytes = static_cast<BYTE*>(data);
    const DWORD value = static_cast<DWORD>(m_masterVolume);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<BYTE>(value >> (8 * i));
    return S_OK;
}

bool IDirectMusicPerformance8::VoiceIsPlaying(int index)
{
    Voice& voice = m_voices[index];
    if (!voice.segment)
        return false;
    if (voice.queued)
        return true;
    if (!m_open || voice.source == 0)
        return false;
    ALint state = AL_STOPPED;
    alGetSourcei(voice.source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

void IDirectMusicPerformance8::ReclaimVoice(int index)
{
    Voice& voice = m_voices[index];
    if (!voice.segment)
        return;
    if (m_open && voice.source != 0) {
        alSourceStop(voice.source);
        alSourcei(voice.source, AL_BUFFER, 0);
    }
    IDirectMusicSegment8* segment = voice.segment;
    IDirectMusicAudioPath8* path = voice.path;
    voice.segment = nullptr;
    voice.path = nullptr;
    voice.primary = false;
    voice.queued = false;
    ++voice.generation;
    if (m_primaryVoice == index)
        m_primaryVoice = -1;
    --path->m_voiceCount;
    segment->Release();
    path->Release();
}

int IDirectMusicPerformance8::FindFreeVoice()
{
    for (int i = 0; i < kVoiceCount; ++i)
        if (!m_voices[i].segment)
            return i;
    for (int i = 0; i < kVoiceCount; ++i) {
        if (!VoiceIsPlaying(i)) {
            ReclaimVoice(i);
            return i;
        }
    }
    return -1;
}

void IDirectMusicPerformance8::ApplyVoice3D(int index)
{
    Voice& voice = m_voices[index];
    if (!m_open || voice.source == 0 || !voice.path)
        return;
    const IDirectMusicAudioPath8& path = *voice.path;
    if (path.m_is3D) {
        const float* a = path.m_applied;
        alSourcei(voice.source, AL_SOURCE_RELATIVE, AL_FALSE);
        alSource3f(voice.source, AL_POSITION, a[0], a[1], -a[2]);
        alSourcef(voice.source, AL_REFERENCE_DISTANCE, a[3]);
        alSourcef(voice.source, AL_MAX_DISTANCE, a[4]);
        alSourcef(voice.source, AL_ROLLOFF_FACTOR, m_rolloff);
    } else {
        alSourcei(voice.source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(voice.source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcef(voice.source, AL_ROLLOFF_FACTOR, 0.0f);
    }
}

void IDirectMusicPerformance8::ApplyVoiceGain(int index)
{
    Voice& voice = m_voices[index];
    if (!m_open || voice.source == 0 || !voice.path)
        return;
    const IDirectMusicAudioPath8& path = *voice.path;
    float gain =
        path.m_active ? AudioAttenuationToGain(path.m_bufferVolume) * AudioAttenuationToGain(path.m_pathVolume) : 0.0f;
    alSourcef(voice.source, AL_GAIN, gain);
}

void IDirectMusicPerformance8::ForEachVoiceOnPath(IDirectMusicAudioPath8* path,
                                                  void (IDirectMusicPerformance8::*apply)(int))
{
    if (path->m_voiceCount == 0)
        return;
    for (int i = 0; i < kVoiceCount; ++i)
        if (m_voices[i].path == path)
            (this->*apply)(i);
}

void IDirectMusicPerformance8::ForgetPath(IDirectMusicAudioPath8* path)
{
    for (IDirectMusicAudioPath8** link = &m_deferredPaths; *link; link = &(*link)->m_nextDeferred) {
        if (*link == path) {
            *link = path->m_nextDeferred;
            path->m_nextDeferred = nullptr;
            break;
        }
    }
}

bool IDirectMusicPerformance8::StartVoice(int index)
{
    Voice& voice = m_voices[index];
    IDirectMusicSegment8& segment = *voice.segment;
    if (voice.source == 0) {
        alGetError();
        alGenSources(1, &voice.source);
        if (alGetError() != AL_NO_ERROR) {
            voice.source = 0;
            return false;
        }
    }
    ALuint buffer = voice.path->m_is3D && segment.m_monoBuffer ? segment.m_monoBuffer : segment.m_buffer;
    alSourceStop(voice.source);
    alSourcei(voice.source, AL_BUFFER, 0);
    alGetError();
    if (segment.m_repeats == DMUS_SEG_REPEAT_INFINITE || segment.m_repeats == 0) {
        alSourcei(voice.source, AL_BUFFER, static_cast<ALint>(buffer));
        alSourcei(voice.source, AL_LOOPING, segment.m_repeats == 0 ? AL_FALSE : AL_TRUE);
    } else {
        alSourcei(voice.source, AL_LOOPING, AL_FALSE);
        DWORD plays = segment.m_repeats < kMaxQueuedRepeats ? segment.m_repeats + 1 : kMaxQueuedRepeats;
        for (DWORD i = 0; i < plays; ++i)
            alSourceQueueBuffers(voice.source, 1, &buffer);
    }
    ApplyVoice3D(index);
    ApplyVoiceGain(index);
    alSourcePlay(voice.source);
    voice.queued = false;
    return alGetError() == AL_NO_ERROR;
}

void IDirectMusicPerformance8::StopVoice(int index)
{
    ReclaimVoice(index);
}

HRESULT IDirectMusicPerformance8::PlaySegmentEx(IDirectMusicSegment8* segment, DWORD flags, LONG,
                                                IDirectMusicSegmentState** state, IDirectMusicAudioPath8* path)
{
    if (state)
        *state = nullptr;
    if (!segment)
        return E_POINTER;
    if (!m_open)
        return DMUS_E_NOT_INIT;
    if (segment->m_downloadedTo != this || segment->m_buffer == 0)
        return DMUS_E_NOT_INIT;
    if (!path)
        path = m_defaultPath;
    if (!path || path->m_performance != this)
        return DMUS_E_AUDIOPATHS_NOT_VALID;

    Service();
    const bool secondary = (flags & DMUS_SEGF_SECONDARY) != 0;
    const bool queue = !secondary && (flags & DMUS_SEGF_QUEUE) != 0;
    if (!secondary && !queue && m_primaryVoice >= 0)
        StopVoice(m_primaryVoice);

    int index = FindFreeVoice();
    if (index < 0)
        return DMUS_E_NO_FREE_VOICE;
    Voice& voice = m_voices[index];
    voice.segment = segment;
    voice.path = path;
    segment->AddRef();
    path->AddRef();
    ++path->m_voiceCount;
    voice.primary = !secondary;

    if (queue && m_primaryVoice >= 0 && VoiceIsPlaying(m_primaryVoice)) {
        voice.queued = true;
        voice.queueOrder = ++m_queueCounter;
    } else {
        if (!secondary)
            m_primaryVoice = index;
        if (!StartVoice(index)) {
            ReclaimVoice(index);
            return E_FAIL;
        }
    }
    if (state)
        *state = AcquireState(index);
    return S_OK;
}

void IDirectMusicPerformance8::Service()
{
    if (!m_open || (m_primaryVoice >= 0 && VoiceIsPlaying(m_primaryVoice)))
        return;
    int next = -1;
    for (int i = 0; i < kVoiceCount; ++i)
        if (m_voices[i].segment && m_voices[i].queued &&
            (next < 0 || m_voices[i].queueOrder < m_voices[next].queueOrder))
            next = i;
    if (next < 0)
        return;
    if (m_primaryVoice >= 0)
        ReclaimVoice(m_primaryVoice);
    m_primaryVoice = next;
    if (!StartVoice(next))
        ReclaimVoice(next);
}

HRESULT IDirectMusicPerformance8::StopEx(IDirectMusicSegment8* segment, LONG, DWORD)
{
    if (!segment)
        return E_POINTER;
    for (int i = 0; i < kVoiceCount; ++i)
        if (m_voices[i].segment == segment)
            StopVoice(i);
    Service();
    return S_OK;
}

HRESULT IDirectMusicPerformance8::StopEx(IDirectMusicAudioPath8* path, LONG, DWORD)
{
    if (!path)
        return E_POINTER;
    for (int i = 0; i < kVoiceCount; ++i)
        if (m_voices[i].path == path)
            StopVoice(i);
    Service();
    return S_OK;
}

HRESULT IDirectMusicPerformance8::StopEx(IDirectMusicSegmentState* state, LONG, DWORD)
{
    if (!state)
        return E_POINTER;
    if (state->m_performance != this)
        return E_INVALIDARG;
    Voice& voice = m_voices[state->m_voice];
    if (voice.segment && voice.generation == state->m_generation)
        StopVoice(state->m_voice);
    Service();
    return S_OK;
}

HRESULT IDirectMusicPerformance8::IsPlaying(IDirectMusicSegment8* segment, IDirectMusicSegmentState* state)
{
    if (state) {
        if (state->m_performance != this)
            return E_INVALIDARG;
        const Voice& voice = m_voices[state->m_voice];
        return voice.generation == state->m_generation && VoiceIsPlaying(state->m_voice) ? S_OK : S_FALSE;
    }
    if (!segment)
        return E_POINTER;
    for (int i = 0; i < kVoiceCount; ++i)
        if (m_voices[i].segment == segment && VoiceIsPlaying(i))
            return S_OK;
    return S_FALSE;
}

int IDirectMusicPerformance8::PlayingVoiceCount()
{
    int count = 0;
    for (int i = 0; i < kVoiceCount; ++i)
        if (VoiceIsPlaying(i))
            ++count;
    return count;
}

void IDirectMusicPerformance8::ForgetSegment(IDirectMusicSegment8* segment)
{
    for (int i = 0; i < kVoiceCount; ++i)
        if (m_voices[i].segment == segment)
            ReclaimVoice(i);
}

HRESULT IDirectMusicPerformance8::CloseDown()
{
    if (!m_open)
        return S_OK;
    for (int i = 0; i < kVoiceCount; ++i) {
        ReclaimVoice(i);
        if (m_voices[i].source != 0) {
            alDeleteSources(1, &m_voices[i].source);
            m_voices[i].source = 0;
        }
    }
    m_primaryVoice = -1;
    while (IDirectMusicAudioPath8* path = m_deferredPaths) {
        m_deferredPaths = path->m_nextDeferred;
        path->m_nextDeferred = nullptr;
        path->m_deferredPending = false;
    }
    IDirectMusicAudioPath8* defaultPath = m_defaultPath;
    m_defaultPath = nullptr;
    m_open = false;
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(m_context));
    alcCloseDevice(static_cast<ALCdevice*>(m_device));
    if (g_loopbackDevice == m_device)
        g_loopbackDevice = nullptr;
    m_context = nullptr;
    m_device = nullptr;
    if (defaultPath)
        defaultPath->Release();
    return S_OK;
}
