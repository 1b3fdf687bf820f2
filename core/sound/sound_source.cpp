// Sound sources: their 3D audio path, position, distances, volume and the shared listener; the
// shared channels for one-shot sounds.
#include "core/sound/sound_source.h"

#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/sound/sound_system.h"
#include "platform/audio.h"

namespace {

const char* AudioPathWarning(HRESULT result)
{
    switch (result) {
        case E_OUTOFMEMORY:
            return "Warning: inssuficient memory while creating audiopath!\n";
        case DSERR_BUFFERLOST:
            return "Warning: DS buffer lost while creating audiopath!\n";
        case DMUS_E_AUDIOPATHS_NOT_VALID:
            return "Warning: APs not valid while creating audiopath!\n";
        case DMUS_E_NOT_INIT:
            return "Warning: DirectMusic not initialized while creating audiopath!\n";
        case E_INVALIDARG:
            return "Warning: Invalid args while creating audiopath!\n";
        case E_POINTER:
            return "Warning: Invalid pointer while creating audiopath!\n";
        default:
            return "Warning: Unknown error while creating audiopath!\n";
    }
}

template <class T>
void ReleaseInterface(T*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}

}  // namespace

SoundSource::SoundSource(DynamicObject* ownerObject) : owner(ownerObject) {}

SoundSource::~SoundSource()
{
    delete soundTable;
}

bool SoundSource::CreateAudioPath()
{
    // Made once: a later call tells whether that attempt left a working path.
    if (audioPathMade)
        return HasAudioPath();
    audioPathMade = true;
    IDirectMusicPerformance8* performance = g_sound.performance;
    if (!performance)
        return false;  // running silent: nothing to warn about

    HRESULT result = E_FAIL;
    static constexpr DWORD kChannelTries[] = {64, 32, 16};
    for (DWORD channels : kChannelTries) {
        result = performance->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_3D, channels, TRUE, &audioPath);
        if (SUCCEEDED(result))
            break;
    }
    if (FAILED(result)) {
        audioPath = nullptr;
        ConPrint(0, ERROR_COLOUR "%s", AudioPathWarning(result));
        return false;
    }
    if (FAILED(audioPath->GetObjectInPath(DMUS_PCHANNEL_ALL, DMUS_PATH_BUFFER, 0, &buffer3D)))
        return false;
    if (FAILED(audioPath->GetObjectInPath(0, DMUS_PATH_PRIMARY_BUFFER, 0, &listener)))
        return false;
    listener->SetDistanceFactor(10.0f, DS3D_IMMEDIATE);
    listener->SetRolloffFactor(0.05f, DS3D_IMMEDIATE);
    if (FAILED(audioPath->GetObjectInPath(DMUS_PCHANNEL_ALL, DMUS_PATH_BUFFER, 0, &soundBuffer)))
        return false;
    SoundSource* self = this;
    g_sound.pathSources.Append(self);
    return true;
}

void SoundSource::Release()
{
    ReleaseInterface(buffer3D);
    ReleaseInterface(listener);
    ReleaseInterface(soundBuffer);
    ReleaseInterface(audioPath);
    GrowArray<SoundSource*>& list = g_sound.pathSources;
    s32_t kept = 0;
    for (s32_t i = 0; i < list.count; ++i)
        if (list[i] != this)
            list[kept++] = list[i];
    list.count = kept;
    released = true;
}

void SoundSource::SetSoundTable(SoundSetTable* table)
{
    if (table != soundTable)
        delete soundTable;
    soundTable = table;
}

bool SoundSource::SetPosition(float x, float y, float z, u32_t applyMode)
{
    if (!buffer3D)
        return false;
    position = {x, y, z};
    return SUCCEEDED(
        buffer3D->SetPosition(x, y, z, applyMode == SOUND_APPLY_DEFERRED ? DS3D_DEFERRED : DS3D_IMMEDIATE));
}

void SoundSource::SetDistances(float minimum, float maximum)
{
    if (!buffer3D)
        return;
    buffer3D->SetMinDistance(minimum, DS3D_IMMEDIATE);
    buffer3D->SetMaxDistance(maximum, DS3D_IMMEDIATE);
    minDistance = minimum;
    maxDistance = maximum;
}

void SoundSource::SetVolume(s32_t attenuation)
{
    if (soundBuffer)
        soundBuffer->SetVolume(attenuation);
}

bool SoundSource::SetListenerPosition(float x, float y, float z)
{
    listenerPosition = {x, y, z};
    if (!active || !listener)
        return false;
    return SUCCEEDED(listener->SetPosition(x, y, z, DS3D_DEFERRED));
}

bool SoundSource::SetListenerOrientation(const Vector3& front, const Vector3& top)
{
    if (!active || !listener)
        return false;
    return SUCCEEDED(listener->SetOrientation(front.x, front.y, front.z, top.x, top.y, top.z, DS3D_DEFERRED));
}

bool SoundSource::CommitListener()
{
    if (!active || !listener)
        return false;
    return SUCCEEDED(listener->CommitDeferredSettings());
}

IDirectMusicSegmentState* SoundSource::PlaySegment(IDirectMusicSegment8* segment, bool keepState)
{
    if (!audioPath || !segment || !g_sound.performance)
        return nullptr;
    IDirectMusicSegmentState* state = nullptr;
    g_sound.performance->PlaySegmentEx(segment, DMUS_SEGF_SECONDARY, 0, keepState ? &state : nullptr, audioPath);
    return state;
}

SoundChannel* SoundFreeChannel(u32_t now)
{
    for (SoundChannel& channel : g_sound.channels)
        if (now - channel.lastUse > 1000)
            return &channel;
    return nullptr;
}

SoundChannel* SoundPlayOnChannel(SoundChannel& channel, const Vector3& position, IDirectMusicSegment8* segment,
                                 bool followsListener, u32_t now)
{
    // Placed at once, so that the sound does not start where the channel's last sound was.
    channel.source.SetPosition(position.x, position.y, position.z, SOUND_APPLY_NOW);
    channel.source.PlaySegment(segment, false);
    channel.lastUse = now;
    channel.followsListener = followsListener;
    return &channel;
}

void PlayOnFreeChannel(const Vector3& position, const Vector3& listenerPosition, const Vector3&, const Vector3&,
                       IDirectMusicSegment8* segment)
{
    if (SoundDistanceSquared(position, listenerPosition) > 1000000.0f)
        return;
    const u32_t now = SoundNow();
    if (SoundChannel* channel = SoundFreeChannel(now))
        SoundPlayOnChannel(*channel, position, segment, false, now);
}
