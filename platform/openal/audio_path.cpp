// Audio paths with their sound buffer (volume) and 3D buffer (position, distances).
#include <cmath>

#include "platform/audio.h"

IDirectMusicAudioPath8::IDirectMusicAudioPath8(IDirectMusicPerformance8* performance, bool is3D, bool holdsPerformance)
    : m_performance(performance), m_is3D(is3D), m_holdsPerformance(holdsPerformance), m_buffer(this), m_buffer3D(this)
{
    if (m_holdsPerformance)
        m_performance->AddRef();
}

IDirectMusicAudioPath8::~IDirectMusicAudioPath8()
{
    m_performance->ForgetPath(this);
    if (m_holdsPerformance)
        m_performance->Release();
}

HRESULT IDirectMusicAudioPath8::Activate(BOOL active)
{
    m_active = active != FALSE;
    ApplyGain();
    return S_OK;
}

HRESULT IDirectMusicAudioPath8::SetVolume(LONG attenuation, DWORD)
{
    if (attenuation < DSBVOLUME_MIN || attenuation > DSBVOLUME_MAX)
        return E_INVALIDARG;
    m_pathVolume = attenuation;
    ApplyGain();
    return S_OK;
}

void IDirectMusicAudioPath8::ApplyGain()
{
    m_performance->ForEachVoiceOnPath(this, &IDirectMusicPerformance8::ApplyVoiceGain);
}

void IDirectMusicAudioPath8::Apply3D(bool deferred)
{
    if (deferred) {
        if (!m_deferredPending) {
            m_deferredPending = true;
            m_nextDeferred = m_performance->m_deferredPaths;
            m_performance->m_deferredPaths = this;
        }
        return;
    }
    m_applied[0] = m_position[0];
    m_applied[1] = m_position[1];
    m_applied[2] = m_position[2];
    m_applied[3] = m_minDistance;
    m_applied[4] = m_maxDistance;
    m_performance->ForEachVoiceOnPath(this, &IDirectMusicPerformance8::ApplyVoice3D);
}

HRESULT IDirectMusicAudioPath8::GetObjectInPath(DWORD, DWORD stage, DWORD bufferIndex, IDirectSoundBuffer** buffer)
{
    if (!buffer)
        return E_POINTER;
    *buffer = nullptr;
    if (stage != DMUS_PATH_BUFFER || bufferIndex != 0)
        return DMUS_E_NOT_FOUND;
    m_buffer.AddRef();
    *buffer = &m_buffer;
    return S_OK;
}

HRESULT IDirectMusicAudioPath8::GetObjectInPath(DWORD, DWORD stage, DWORD bufferIndex, IDirectSound3DBuffer** buffer)
{
    if (!buffer)
        return E_POINTER;
    *buffer = nullptr;
    if (stage != DMUS_PATH_BUFFER || bufferIndex != 0)
        return DMUS_E_NOT_FOUND;
    if (!m_is3D)
        return E_NOINTERFACE;
    m_buffer3D.AddRef();
    *buffer = &m_buffer3D;
    return S_OK;
}

HRESULT IDirectMusicAudioPath8::GetObjectInPath(DWORD, DWORD stage, DWORD bufferIndex,
                                                IDirectSound3DListener** listener)
{
    if (!listener)
        return E_POINTER;
    *listener = nullptr;
    if (stage != DMUS_PATH_PRIMARY_BUFFER || bufferIndex != 0)
        return DMUS_E_NOT_FOUND;
    m_performance->m_listener.AddRef();
    *listener = &m_performance->m_listener;
    return S_OK;
}

// ---- the sound buffer ----

DWORD IDirectSoundBuffer::AddRef()
{
    return m_path->AddRef();
}

DWORD IDirectSoundBuffer::Release()
{
    return m_path->Release();
}

HRESULT IDirectSoundBuffer::SetVolume(LONG attenuation)
{
    if (attenuation < DSBVOLUME_MIN || attenuation > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    m_path->m_bufferVolume = attenuation;
    m_path->ApplyGain();
    return S_OK;
}

HRESULT IDirectSoundBuffer::GetVolume(LONG* attenuation)
{
    if (!attenuation)
        return E_POINTER;
    *attenuation = m_path->m_bufferVolume;
    return S_OK;
}

// ---- the 3D buffer ----

DWORD IDirectSound3DBuffer::AddRef()
{
    return m_path->AddRef();
}

DWORD IDirectSound3DBuffer::Release()
{
    return m_path->Release();
}

HRESULT IDirectSound3DBuffer::SetPosition(float x, float y, float z, DWORD apply)
{
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return DSERR_INVALIDPARAM;
    m_path->m_position[0] = x;
    m_path->m_position[1] = y;
    m_path->m_position[2] = z;
    m_path->Apply3D(apply == DS3D_DEFERRED);
    return S_OK;
}

HRESULT IDirectSound3DBuffer::GetPosition(float* x, float* y, float* z)
{
    if (!x || !y || !z)
        return E_POINTER;
    *x = m_path->m_position[0];
    *y = m_path->m_position[1];
    *z = m_path->m_position[2];
    return S_OK;
}

HRESULT IDirectSound3DBuffer::SetMinDistance(float distance, DWORD apply)
{
    if (!(distance >= 0.0f) || !std::isfinite(distance))
        return DSERR_INVALIDPARAM;
    m_path->m_minDistance = distance;
    m_path->Apply3D(apply == DS3D_DEFERRED);
    return S_OK;
}

HRESULT IDirectSound3DBuffer::SetMaxDistance(float distance, DWORD apply)
{
    if (!(distance >= 0.0f) || !std::isfinite(distance))
        return DSERR_INVALIDPARAM;
    m_path->m_maxDistance = distance;
    m_path->Apply3D(apply == DS3D_DEFERRED);
    return S_OK;
}
