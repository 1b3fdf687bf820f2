// Segments (decoded waves) and the loader that makes them from files or memory (libsndfile).
#include <AL/al.h>
#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/audio.h"
#include "platform/file_system.h"

namespace {

// A wave longer than this (about 25 minutes of 44.1 kHz stereo) is refused rather than allocated.
constexpr sf_count_t kMaxSamples = 128 * 1024 * 1024;

// A read-only byte span that libsndfile reads through its virtual I/O.
struct MemoryStream {
    const BYTE* data;
    sf_count_t size;
    sf_count_t position;
};

sf_count_t MemoryLength(void* user)
{
    return static_cast<MemoryStream*>(user)->size;
}

sf_count_t MemorySeek(sf_count_t offset, int whence, void* user)
{
    MemoryStream& stream = *static_cast<MemoryStream*>(user);
    sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? stream.position : stream.size;
    sf_count_t target = base + offset;
    if (target < 0 || target > stream.size)
        return -1;
    stream.position = target;
    return target;
}

sf_count_t MemoryRead(void* destination, sf_count_t count, void* user)
{
    MemoryStream& stream = *static_cast<MemoryStream*>(user);
    sf_count_t left = stream.size - stream.position;
    if (count > left)
        count = left;
    if (count <= 0)
        return 0;
    std::memcpy(destination, stream.data + stream.position, static_cast<size_t>(count));
    stream.position += count;
    return count;
}

sf_count_t MemoryWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t MemoryTell(void* user)
{
    return static_cast<MemoryStream*>(user)->position;
}

// Decodes an opened sound file into 16-bit samples, mono or stereo (more channels are mixed to mono).
bool DecodeOpened(SNDFILE* file, const SF_INFO& info, short*& samples, DWORD& frames, int& channels, int& rate)
{
    if (info.channels <= 0 || info.samplerate <= 0 || info.frames < 0 || info.frames > kMaxSamples / info.channels) {
        AudioSetLastError("the wave's format is not supported");
        return false;
    }
    const int inChannels = info.channels;
    const int outChannels = inChannels <= 2 ? inChannels : 1;
    const sf_count_t total = info.frames * inChannels;
    short* decoded = static_cast<short*>(std::malloc(static_cast<size_t>(total > 0 ? total : 1) * sizeof(short)));
    if (!decoded) {
        AudioSetLastError("out of memory");
        return false;
    }
    sf_count_t read = info.frames > 0 ? sf_readf_short(file, decoded, info.frames) : 0;
    if (read < 0)
        read = 0;
    if (outChannels != inChannels) {
        for (sf_count_t f = 0; f < read; ++f) {
            int sum = 0;
            for (int c = 0; c < inChannels; ++c)
                sum += decoded[f * inChannels + c];
            decoded[f] = static_cast<short>(sum / inChannels);
        }
    }
    if (read == 0) {
        std::free(decoded);
        AudioSetLastError("the wave holds no samples");
        return false;
    }
    samples = decoded;
    frames = static_cast<DWORD>(read);
    channels = outChannels;
    rate = info.samplerate;
    return true;
}

bool IsWave(const SF_INFO& info)
{
    return (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV;
}

bool DecodeFile(const char* path, short*& samples, DWORD& frames, int& channels, int& rate)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (!file) {
        AudioSetLastError("the file is not a readable wave");
        return false;
    }
    bool ok = IsWave(info) && DecodeOpened(file, info, samples, frames, channels, rate);
    if (!IsWave(info))
        AudioSetLastError("the file is not a wave");
    sf_close(file);
    return ok;
}

bool DecodeMemory(const BYTE* data, DWORD size, short*& samples, DWORD& frames, int& channels, int& rate)
{
    MemoryStream stream{data, static_cast<sf_count_t>(size), 0};
    SF_VIRTUAL_IO io{MemoryLength, MemorySeek, MemoryRead, MemoryWrite, MemoryTell};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &stream);
    if (!file) {
        AudioSetLastError("the data is not a readable wave");
        return false;
    }
    bool ok = IsWave(info) && DecodeOpened(file, info, samples, frames, channels, rate);
    if (!IsWave(info))
        AudioSetLastError("the data is not a wave");
    sf_close(file);
    return ok;
}

}  // namespace

// ---- segments ----

IDirectMusicSegment8::~IDirectMusicSegment8()
{
    if (m_downloadedTo)
        Unload(m_downloadedTo);
    std::free(m_samples);
}

HRESULT IDirectMusicSegment8::SetRepeats(DWORD repeats)
{
    m_repeats = repeats;
    return S_OK;
}

HRESULT IDirectMusicSegment8::GetRepeats(DWORD* repeats)
{
    if (!repeats)
        return E_POINTER;
    *repeats = m_repeats;
    return S_OK;
}

HRESULT IDirectMusicSegment8::Download(IDirectMusicPerformance8* performance)
{
    if (!performance)
        return E_POINTER;
    if (m_downloadedTo == performance)
        return S_OK;
    if (m_downloadedTo || !performance->m_open)
        return DMUS_E_NOT_INIT;
    const ALsizei bytes = static_cast<ALsizei>(m_frames * static_cast<DWORD>(m_channels) * sizeof(short));
    alGetError();
    alGenBuffers(1, &m_buffer);
    if (alGetError() != AL_NO_ERROR) {
        m_buffer = 0;
        return E_OUTOFMEMORY;
    }
    alBufferData(m_buffer, m_channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, m_samples, bytes, m_sampleRate);
    if (m_channels == 2) {
        // 3D paths position mono sound only, as a 3D buffer is mono: keep a mix of the two channels.
        short* mono = static_cast<short*>(std::malloc(m_frames * sizeof(short)));
        if (mono) {
            for (DWORD f = 0; f < m_frames; ++f)
                mono[f] = static_cast<short>((m_samples[2 * f] + m_samples[2 * f + 1]) / 2);
            alGenBuffers(1, &m_monoBuffer);
            alBufferData(m_monoBuffer, AL_FORMAT_MONO16, mono, static_cast<ALsizei>(m_frames * sizeof(short)),
                         m_sampleRate);
            std::free(mono);
        }
    }
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &m_buffer);
        if (m_monoBuffer)
            alDeleteBuffers(1, &m_monoBuffer);
        m_buffer = m_monoBuffer = 0;
        return E_OUTOFMEMORY;
    }
    m_downloadedTo = performance;
    performance->AddRef();
    return S_OK;
}

HRESULT IDirectMusicSegment8::Unload(IDirectMusicPerformance8* performance)
{
    if (!performance || performance != m_downloadedTo)
        return E_INVALIDARG;
    performance->ForgetSegment(this);
    if (performance->m_open) {
        if (m_buffer)
            alDeleteBuffers(1, &m_buffer);
        if (m_monoBuffer)
            alDeleteBuffers(1, &m_monoBuffer);
    }
    m_buffer = m_monoBuffer = 0;
    m_downloadedTo = nullptr;
    performance->Release();
    return S_OK;
}

// ---- the loader ----

HRESULT DirectMusicCreateLoader(IDirectMusicLoader8** loader)
{
    if (!loader)
        return E_POINTER;
    *loader = new IDirectMusicLoader8();
    return S_OK;
}

HRESULT IDirectMusicLoader8::SetSearchDirectory(const char* folder, BOOL)
{
    m_folder[0] = 0;
    if (!folder)
        return E_POINTER;
    if (std::strlen(folder) >= sizeof(m_folder) || !PlatformIsDirectory(folder))
        return DMUS_E_NOT_FOUND;
    std::snprintf(m_folder, sizeof(m_folder), "%s", folder);
    return S_OK;
}

HRESULT IDirectMusicLoader8::LoadObjectFromFile(const char* fileName, IDirectMusicSegment8** segment)
{
    if (!segment || !fileName)
        return E_POINTER;
    *segment = nullptr;
    if (m_folder[0] == 0)
        return DMUS_E_NOT_FOUND;
    std::string path = std::string(m_folder) + "/" + fileName;
    std::string resolved;
    if (!PlatformResolvePath(path.c_str(), resolved) || !PlatformFileExists(resolved.c_str()))
        return DMUS_E_NOT_FOUND;
    IDirectMusicSegment8* made = new IDirectMusicSegment8();
    if (!DecodeFile(resolved.c_str(), made->m_samples, made->m_frames, made->m_channels, made->m_sampleRate)) {
        made->Release();
        return DMUS_E_UNSUPPORTED_STREAM;
    }
    *segment = made;
    return S_OK;
}

HRESULT IDirectMusicLoader8::GetObject(const DMUS_OBJECTDESC* description, IDirectMusicSegment8** segment)
{
    if (!segment || !description)
        return E_POINTER;
    *segment = nullptr;
    if (!(description->dwValidData & DMUS_OBJ_MEMORY) || !description->pbMemData || description->llMemLength == 0)
        return E_INVALIDARG;
    IDirectMusicSegment8* made = new IDirectMusicSegment8();
    if (!DecodeMemory(description->pbMemData, description->llMemLength, made->m_samples, made->m_frames,
                      made->m_channels, made->m_sampleRate)) {
        made->Release();
        return DMUS_E_UNSUPPORTED_STREAM;
    }
    *segment = made;
    return S_OK;
}
