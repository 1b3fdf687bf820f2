// Shared pieces of the sound tests: waves written with libsndfile, a clock the test moves, the
// OpenAL Soft loopback device to hear what plays, and world objects that stand where a test puts them.
#pragma once
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/console/console_var.h"
#include "core/core_cvars.h"
#include "core/sound/sound.h"
#include "core/sound/sound_system.h"
#include "game/view/player_view.h"
#include "map/registry/world_registry.h"
#include "platform/audio.h"
#include "support/archive_builder.h"
#include "support/temp_dir.h"
#include "world/objects/dynamic_object.h"

namespace sound_test {

// The sound tests never reach a real sound card: OpenAL Soft's null driver unless the run chose one.
inline const bool g_nullDriver = setenv("ALSOFT_DRIVERS", "null", 0) == 0;

inline u32_t g_clock = 100000;
inline DWORD TestClock()
{
    return g_clock;
}

struct WaveShape {
    int frames = 88200;  // two seconds at 44.1 kHz: longer than any measurement
    int rate = 44100;
    int channels = 1;
    int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    double amplitude = 0.5;
    double frequency = 441.0;
};

// A sine wave file; folders are made on the way.
inline bool WriteWave(const std::string& path, const WaveShape& shape = {})
{
    std::filesystem::path file(path);
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path());
    SF_INFO info{};
    info.samplerate = shape.rate;
    info.channels = shape.channels;
    info.format = shape.format;
    SNDFILE* out = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!out)
        return false;
    std::vector<short> samples(static_cast<size_t>(shape.frames) * static_cast<size_t>(shape.channels));
    for (int f = 0; f < shape.frames; ++f) {
        const double value = shape.amplitude * std::sin(2.0 * M_PI * shape.frequency * f / shape.rate);
        for (int c = 0; c < shape.channels; ++c)
            samples[static_cast<size_t>(f * shape.channels + c)] = static_cast<short>(value * 32767.0);
    }
    const sf_count_t written = sf_writef_short(out, samples.data(), shape.frames);
    sf_close(out);
    return written == shape.frames;
}

// The bytes of such a wave.
inline std::string WaveBytes(const WaveShape& shape = {})
{
    const std::string path = "wave_bytes.tmp.wav";
    if (!WriteWave(path, shape))
        return {};
    std::string bytes = ReadFileBytes(path);
    std::filesystem::remove(path);
    return bytes;
}

struct Level {
    double left = 0.0;
    double right = 0.0;
    double Mean() const { return (left + right) / 2.0; }
};

// Root-mean-square level of each channel of the loopback output, after letting gain ramps settle.
inline Level RenderLevel(int frames = 4096, int settle = 2048)
{
    std::vector<float> buffer(static_cast<size_t>(settle > frames ? settle : frames) * 2);
    if (settle > 0)
        AudioRenderLoopback(buffer.data(), settle);
    AudioRenderLoopback(buffer.data(), frames);
    Level level;
    for (int f = 0; f < frames; ++f) {
        level.left += static_cast<double>(buffer[2 * f]) * buffer[2 * f];
        level.right += static_cast<double>(buffer[2 * f + 1]) * buffer[2 * f + 1];
    }
    level.left = std::sqrt(level.left / frames);
    level.right = std::sqrt(level.right / frames);
    return level;
}

inline double GainOf(s32_t attenuation)
{
    return std::pow(10.0, attenuation / 2000.0);
}

// A world object at a settable place, in the world registry for its lifetime.
class PlacedObject : public DynamicObject {
public:
    explicit PlacedObject(Vector3 at) : place(at) { DynObjectAdd(this); }
    ~PlacedObject() override { DynObjectRemove(this); }
    Vector3 GetPosition() const override { return place; }
    Vector3 place;
};

inline void SetViewer(float x, float y, float z)
{
    float* view = GameGetViewPos();
    view[0] = x;
    view[1] = y;
    view[2] = z;
}

}  // namespace sound_test

// Every sound test runs in a fresh folder with the test clock, the viewer at the origin looking along
// +z, and (once started) the loopback device, which plays only as far as the test renders it.
class SoundTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        sound_test::g_clock = 100000;
        SoundSetClock(sound_test::TestClock);
        sound_test::SetViewer(0.0f, 0.0f, 0.0f);
        GameSetYaw(0.0f);
        GameSetPitch(0.0f);
        GamePlayerSoundView() = PlayerSoundView{};
    }
    void TearDown() override
    {
        SoundShutdown();
        // The view points at the test's own surfaces: a later sound update must not find them.
        GamePlayerSoundView() = PlayerSoundView{};
        SoundSetClock(nullptr);
        AudioChooseDevice(AudioDeviceChoice::System);
        for (ConsoleVar* volume : {&si_mastervolume, &si_effectvolume, &si_envvolume, &si_musicvolume})
            volume->SetInt(65);
        for (ConsoleVar* muted : {&sb_mastermuted, &sb_effectmuted, &sb_envmuted, &sb_musicmuted, &sb_forcelocalesnd})
            muted->SetBool(false);
        TempDirTest::TearDown();
    }
    void StartSound(AudioDeviceChoice device = AudioDeviceChoice::Loopback)
    {
        AudioChooseDevice(device);
        ASSERT_TRUE(SoundInit(nullptr));
    }
    static void Advance(u32_t milliseconds) { sound_test::g_clock += milliseconds; }
    static u32_t Now() { return sound_test::g_clock; }
};
