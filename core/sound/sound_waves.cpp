// Waves (one per file name, loaded once) and the instances that play them.
#include <cstdio>
#include <cstring>
#include "core/strings/text_case.h"

#include "core/assert.h"
#include "core/sound/sound_system.h"
#include "core/files/vfs.h"
#include "platform/audio.h"

// ---- waves ----

SoundWave::SoundWave() : segment(nullptr), m_nInstanceCount(0) {}

SoundWave::~SoundWave()
{
    if (segment)
        Unload();
}

namespace {

// Downloads a freshly made segment to the performance; it plays once unless told otherwise.
bool Download(IDirectMusicSegment8*& segment)
{
    if (FAILED(segment->Download(g_sound.performance))) {
        segment->Release();
        segment = nullptr;
        return false;
    }
    segment->SetRepeats(0);
    return true;
}

}  // namespace

bool SoundWave::LoadFromFile(const char* fileName)
{
    name.Assign(fileName);
    if (!g_sound.loader || !g_sound.performance)
        return false;
    if (FAILED(g_sound.loader->LoadObjectFromFile(fileName, &segment)))
        return false;
    return Download(segment);
}

bool SoundWave::LoadFromMemory(const char* fileName, const u8_t* data, u32_t size)
{
    name.Assign(fileName);
    if (!g_sound.loader || !g_sound.performance)
        return false;
    DMUS_OBJECTDESC description{};
    description.dwSize = sizeof(description);
    description.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_MEMORY;
    description.llMemLength = size;
    description.pbMemData = data;
    // The loader decodes the bytes at once, so the caller may free them afterwards.
    if (FAILED(g_sound.loader->GetObject(&description, &segment)))
        return false;
    return Download(segment);
}

void SoundWave::Unload()
{
    ENGINE_ASSERT(m_nInstanceCount == 0);
    if (!segment)
        return;
    if (g_sound.performance)
        segment->Unload(g_sound.performance);
    segment->Release();
    segment = nullptr;
}

SoundInstance* SoundWave::CreateInstance(SoundSource* source, s32_t playMode)
{
    SoundInstance* instance = new SoundInstance();
    if (playMode == SOUND_MODE_VOICE || playMode == SOUND_MODE_GUI || !source) {
        instance->audioPath = g_sound.defaultPath;
        instance->buffer = g_sound.defaultBuffer;
    } else {
        instance->audioPath = source->audioPath;
    }
    // The instance keeps its path alive: a source released before its sounds leaves nothing dangling.
    if (instance->audioPath)
        instance->audioPath->AddRef();
    instance->segment = segment;
    instance->wave = this;
    g_sound.instances.Append(instance);
    ++m_nInstanceCount;
    return instance;
}

SoundWave* SoundWaveGet(const char* name)
{
    if (!name)
        return nullptr;
    char fileName[MAX_PATH];
    const int length = std::snprintf(fileName, sizeof(fileName), "%s.wav", name);
    if (length < 0 || length >= static_cast<int>(sizeof(fileName)))
        return nullptr;

    for (s32_t i = 0; i < g_sound.waves.count; ++i) {
        SoundWave* wave = g_sound.waves[i];
        if (wave->name.Length() == static_cast<u32_t>(length) && CompareNoCase(wave->name.Text(), fileName) == 0)
            return wave;
    }
    if (!g_sound.performance)
        return nullptr;

    SoundWave* wave = new SoundWave();
    if (!wave->LoadFromFile(fileName)) {
        char archiveName[MAX_PATH + 8];
        std::snprintf(archiveName, sizeof(archiveName), "sound\\%s", fileName);
        u32_t size = 0;
        char* data = VFSLoadFile(archiveName, &size);
        if (!data) {
            delete wave;
            return nullptr;
        }
        const bool loaded = wave->LoadFromMemory(fileName, reinterpret_cast<const u8_t*>(data), size);
        delete[] data;
        if (!loaded) {
            delete wave;
            return nullptr;
        }
    }
    g_sound.waves.Append(wave);
    return wave;
}

SoundInstance* SoundLoad(SoundSource* source, const char* name, s32_t playMode)
{
    SoundWave* wave = SoundWaveGet(name);
    return wave ? wave->CreateInstance(source, playMode) : nullptr;
}

// ---- instances ----

SoundInstance::~SoundInstance()
{
    KeepState(nullptr);
    if (audioPath)
        audioPath->Release();
}

void SoundInstance::KeepState(IDirectMusicSegmentState* newState)
{
    if (state)
        state->Release();
    state = newState;
}

bool SoundInstance::IsPlaying() const
{
    return playing && state && g_sound.performance && g_sound.performance->IsPlaying(nullptr, state) == S_OK;
}

bool SoundInstance::Play(bool loop, bool queue)
{
    if (!segment || !audioPath || !g_sound.performance)
        return false;
    DWORD flags = DMUS_SEGF_SECONDARY;
    if (loop) {
        if (IsPlaying())
            return true;
        if (FAILED(segment->SetRepeats(DMUS_SEG_REPEAT_INFINITE)))
            return false;
        if (queue)
            flags = DMUS_SEGF_QUEUE;
    } else if (FAILED(segment->SetRepeats(0))) {
        return false;
    }
    IDirectMusicSegmentState* newState = nullptr;
    if (FAILED(g_sound.performance->PlaySegmentEx(segment, flags, 0, &newState, audioPath)))
        return false;
    KeepState(newState);
    playing = true;
    return true;
}

void SoundInstance::PlayOnPath(IDirectMusicAudioPath8* path, bool loop)
{
    if (!segment || !path || !g_sound.performance)
        return;
    if (loop) {
        if (IsPlaying())
            return;
        if (FAILED(segment->SetRepeats(DMUS_SEG_REPEAT_INFINITE)))
            return;
    }
    // The state is kept so that Stop ends this play and nothing else.
    IDirectMusicSegmentState* newState = nullptr;
    if (FAILED(g_sound.performance->PlaySegmentEx(segment, DMUS_SEGF_SECONDARY, 0, &newState, path)))
        return;
    KeepState(newState);
    playing = true;
}

bool SoundInstance::Stop()
{
    if (!playing)
        return false;
    if (state && g_sound.performance && FAILED(g_sound.performance->StopEx(state, 0, 0)))
        return false;
    KeepState(nullptr);
    playing = false;
    return true;
}

bool SoundInstance::SetVolume(s32_t attenuation)
{
    return buffer && SUCCEEDED(buffer->SetVolume(attenuation));
}

void SoundInstance::Release()
{
    if (!wave)
        return;
    s32_t& m_nInstanceCount = wave->m_nInstanceCount;
    ENGINE_ASSERT(m_nInstanceCount > 0);
    --m_nInstanceCount;
}
