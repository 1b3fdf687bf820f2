// The DirectMusic / DirectSound stand-in over OpenAL Soft, heard through the loopback device.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/core/sound/sound_fixture.h"

using namespace sound_test;

namespace {

class AudioLayerTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        AudioChooseDevice(AudioDeviceChoice::Loopback);
        ASSERT_EQ(DirectMusicCreatePerformance(&performance), S_OK);
        ASSERT_EQ(performance->InitAudio(nullptr, DMUS_APATH_SHARED_STEREOPLUSREVERB, 64, DMUS_AUDIOF_ALL), S_OK);
        ASSERT_EQ(DirectMusicCreateLoader(&loader), S_OK);
        ASSERT_EQ(performance->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_3D, 64, TRUE, &path3D), S_OK);
        ASSERT_EQ(path3D->GetObjectInPath(DMUS_PCHANNEL_ALL, DMUS_PATH_BUFFER, 0, &buffer3D), S_OK);
        ASSERT_EQ(path3D->GetObjectInPath(DMUS_PCHANNEL_ALL, DMUS_PATH_BUFFER, 0, &buffer), S_OK);
        ASSERT_EQ(path3D->GetObjectInPath(0, DMUS_PATH_PRIMARY_BUFFER, 0, &listener), S_OK);
    }
    void TearDown() override
    {
        for (IDirectMusicSegmentState* state : states)
            state->Release();
        for (IDirectMusicSegment8* segment : segments) {
            segment->Unload(performance);
            segment->Release();
        }
        listener->Release();
        buffer->Release();
        buffer3D->Release();
        path3D->Release();
        performance->CloseDown();
        loader->Release();
        performance->Release();
        AudioChooseDevice(AudioDeviceChoice::System);
        TempDirTest::TearDown();
    }
    IDirectMusicSegment8* Segment(const WaveShape& shape = {})
    {
        const std::string bytes = WaveBytes(shape);
        DMUS_OBJECTDESC description{sizeof(DMUS_OBJECTDESC), DMUS_OBJ_CLASS | DMUS_OBJ_MEMORY,
                                    static_cast<DWORD>(bytes.size()), reinterpret_cast<const BYTE*>(bytes.data())};
        IDirectMusicSegment8* segment = nullptr;
        EXPECT_EQ(loader->GetObject(&description, &segment), S_OK);
        if (!segment)
            return nullptr;
        EXPECT_EQ(segment->Download(performance), S_OK);
        segments.push_back(segment);
        return segment;
    }
    IDirectMusicSegmentState* Play(IDirectMusicSegment8* segment, IDirectMusicAudioPath8* path,
                                   DWORD flags = DMUS_SEGF_SECONDARY)
    {
        IDirectMusicSegmentState* state = nullptr;
        EXPECT_EQ(performance->PlaySegmentEx(segment, flags, 0, &state, path), S_OK);
        if (state)
            states.push_back(state);
        return state;
    }

    IDirectMusicPerformance8* performance = nullptr;
    IDirectMusicLoader8* loader = nullptr;
    IDirectMusicAudioPath8* path3D = nullptr;
    IDirectSound3DBuffer* buffer3D = nullptr;
    IDirectSoundBuffer* buffer = nullptr;
    IDirectSound3DListener* listener = nullptr;
    std::vector<IDirectMusicSegment8*> segments;
    std::vector<IDirectMusicSegmentState*> states;
};

TEST(AudioAttenuationTest, HundredthsOfADecibelBecomeGain)
{
    struct Case {
        LONG attenuation;
        float gain;
    };
    for (const Case& c : {Case{0, 1.0f}, Case{-600, 0.5012f}, Case{-2000, 0.1f}, Case{-3000, 0.03162f},
                          Case{-9999, 1.0e-5f}, Case{-10000, 0.0f}, Case{-20000, 0.0f}})
        EXPECT_NEAR(AudioAttenuationToGain(c.attenuation), c.gain, c.gain * 0.01f + 1e-7f) << c.attenuation;
}

TEST_F(AudioLayerTest, ASoundOnA3DPathIsLouderNearTheListenerThanFarFromIt)
{
    listener->SetRolloffFactor(0.05f, DS3D_IMMEDIATE);
    Play(Segment(), path3D);

    // Straight ahead of the listener (the engine's +z), so that only the distance differs.
    struct Case {
        float distance;
    };
    std::vector<double> levels;
    for (const Case& c : {Case{10.0f}, Case{100.0f}, Case{400.0f}}) {
        ASSERT_EQ(buffer3D->SetPosition(0.0f, 0.0f, c.distance, DS3D_IMMEDIATE), S_OK);
        levels.push_back(RenderLevel().Mean());
    }
    ASSERT_GT(levels[0], 0.01);
    // Inverse distance from the minimum distance 1: 1 / (1 + rolloff (d - 1)).
    auto gain = [](double d) { return 1.0 / (1.0 + 0.05 * (d - 1.0)); };
    EXPECT_NEAR(levels[1] / levels[0], gain(100) / gain(10), 0.05 * gain(100) / gain(10));
    EXPECT_NEAR(levels[2] / levels[0], gain(400) / gain(10), 0.05 * gain(400) / gain(10));
}

TEST_F(AudioLayerTest, LeftHandedPositionsAreHeardOnTheirSide)
{
    Play(Segment(), path3D);
    buffer3D->SetPosition(10.0f, 0.0f, 0.0f, DS3D_IMMEDIATE);  // +x is the listener's right
    const Level right = RenderLevel();
    EXPECT_GT(right.right, 2.0 * right.left);

    // Turned to face +x (front (1, 0, 0)), the same source is straight ahead.
    listener->SetOrientation(1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, DS3D_IMMEDIATE);
    const Level ahead = RenderLevel();
    EXPECT_NEAR(ahead.left / ahead.right, 1.0, 0.05);
    // Facing +x in a left-handed frame, +z is on the left.
    buffer3D->SetPosition(0.0f, 0.0f, 10.0f, DS3D_IMMEDIATE);
    const Level left = RenderLevel();
    EXPECT_GT(left.left, 2.0 * left.right);
}

TEST_F(AudioLayerTest, DeferredSettingsWaitForTheListenersCommit)
{
    Play(Segment(), path3D);
    buffer3D->SetPosition(0.0f, 0.0f, 10.0f, DS3D_IMMEDIATE);
    listener->SetRolloffFactor(1.0f, DS3D_IMMEDIATE);
    const double near = RenderLevel().Mean();

    buffer3D->SetPosition(0.0f, 0.0f, 500.0f, DS3D_DEFERRED);
    EXPECT_NEAR(RenderLevel().Mean(), near, near * 0.02);
    listener->CommitDeferredSettings();
    EXPECT_LT(RenderLevel().Mean(), near * 0.1);
}

TEST_F(AudioLayerTest, BufferAndPathVolumesMultiply)
{
    Play(Segment(), path3D);
    buffer3D->SetPosition(0.0f, 0.0f, 1.0f, DS3D_IMMEDIATE);
    const double full = RenderLevel().Mean();
    ASSERT_EQ(buffer->SetVolume(-600), S_OK);
    EXPECT_NEAR(RenderLevel().Mean() / full, GainOf(-600), 0.02);
    ASSERT_EQ(path3D->SetVolume(-1400, 0), S_OK);
    EXPECT_NEAR(RenderLevel().Mean() / full, GainOf(-2000), 0.01);
    ASSERT_EQ(buffer->SetVolume(DSBVOLUME_MIN), S_OK);
    EXPECT_LT(RenderLevel().Mean(), 1e-6);

    // Outside the buffer's range nothing changes.
    EXPECT_EQ(buffer->SetVolume(100), DSERR_INVALIDPARAM);
    LONG volume = 0;
    buffer->GetVolume(&volume);
    EXPECT_EQ(volume, DSBVOLUME_MIN);
}

TEST_F(AudioLayerTest, MasterVolumeScalesEverything)
{
    Play(Segment(), nullptr);  // the flat default path
    const double full = RenderLevel().Mean();
    const LONG master = -1200;
    ASSERT_EQ(performance->SetGlobalParam(GUID_PerfMasterVolume, &master, sizeof(master)), S_OK);
    EXPECT_NEAR(RenderLevel().Mean() / full, GainOf(master), 0.02);
    LONG read = 0;
    performance->GetGlobalParam(GUID_PerfMasterVolume, &read, sizeof(read));
    EXPECT_EQ(read, master);
}

TEST_F(AudioLayerTest, StoppingAStateEndsOnlyItsOwnVoice)
{
    IDirectMusicSegment8* segment = Segment();
    IDirectMusicSegmentState* first = Play(segment, path3D);
    IDirectMusicSegmentState* second = Play(segment, path3D);
    EXPECT_EQ(performance->PlayingVoiceCount(), 2);

    performance->StopEx(first, 0, 0);
    EXPECT_EQ(performance->IsPlaying(nullptr, first), S_FALSE);
    EXPECT_EQ(performance->IsPlaying(nullptr, second), S_OK);

    // A new sound may take the stopped voice; the old state must not reach it.
    IDirectMusicSegmentState* third = Play(segment, path3D);
    performance->StopEx(first, 0, 0);
    EXPECT_EQ(performance->IsPlaying(nullptr, third), S_OK);

    performance->StopEx(segment, 0, 0);
    EXPECT_EQ(performance->PlayingVoiceCount(), 0);
}

TEST_F(AudioLayerTest, AQueuedPrimaryStartsWhenTheCurrentOneEnds)
{
    IDirectMusicSegment8* first = Segment();
    IDirectMusicSegment8* second = Segment();
    Play(first, nullptr, 0);
    Play(second, nullptr, DMUS_SEGF_QUEUE);
    EXPECT_EQ(performance->IsPlaying(first, nullptr), S_OK);
    EXPECT_EQ(performance->PlayingVoiceCount(), 2);  // the queued one counts as playing

    performance->StopEx(first, 0, 0);
    EXPECT_EQ(performance->IsPlaying(second, nullptr), S_OK);
    EXPECT_GT(RenderLevel().Mean(), 0.01);
}

TEST_F(AudioLayerTest, ASegmentPlaysOnceLoopsOrRepeats)
{
    WaveShape shortWave;
    shortWave.frames = 441;  // 10 ms
    IDirectMusicSegment8* segment = Segment(shortWave);

    struct Case {
        DWORD repeats;
        bool playingAfter100Ms;
    };
    for (const Case& c : {Case{0, false}, Case{3, false}, Case{20, true}, Case{DMUS_SEG_REPEAT_INFINITE, true}}) {
        segment->SetRepeats(c.repeats);
        IDirectMusicSegmentState* state = Play(segment, nullptr);
        RenderLevel(4410, 0);
        EXPECT_EQ(performance->IsPlaying(nullptr, state) == S_OK, c.playingAfter100Ms) << c.repeats;
        performance->StopEx(segment, 0, 0);
    }
}

TEST_F(AudioLayerTest, WavesOfEveryFormatDecodeAndPlay)
{
    struct Case {
        int channels;
        int format;
    };
    for (const Case& c : {Case{1, SF_FORMAT_WAV | SF_FORMAT_PCM_16}, Case{2, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
                          Case{1, SF_FORMAT_WAV | SF_FORMAT_PCM_U8}, Case{1, SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM},
                          Case{2, SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM}}) {
        WaveShape shape;
        shape.frames = 22050;
        shape.rate = 22050;
        shape.channels = c.channels;
        shape.format = c.format;
        ASSERT_TRUE(WriteWave("sound/w.wav", shape));
        ASSERT_EQ(loader->SetSearchDirectory("sound", FALSE), S_OK);
        IDirectMusicSegment8* fromFile = nullptr;
        ASSERT_EQ(loader->LoadObjectFromFile("W.WAV", &fromFile), S_OK) << c.format;
        EXPECT_EQ(fromFile->Channels(), c.channels);
        EXPECT_EQ(fromFile->SampleRate(), 22050);
        EXPECT_NEAR(static_cast<double>(fromFile->FrameCount()), 22050.0, 1100.0);  // ADPCM pads its last block
        segments.push_back(fromFile);
        ASSERT_EQ(fromFile->Download(performance), S_OK);

        // Stereo waves on a 3D path play as their mono mix.
        performance->StopEx(fromFile, 0, 0);
        Play(fromFile, path3D);
        buffer3D->SetPosition(0.0f, 0.0f, 1.0f, DS3D_IMMEDIATE);
        EXPECT_GT(RenderLevel().Mean(), 0.05) << c.format;
        performance->StopEx(fromFile, 0, 0);
    }
}

TEST_F(AudioLayerTest, MissingFoldersAndFilesAreReported)
{
    EXPECT_EQ(loader->SetSearchDirectory("no_such_folder", FALSE), DMUS_E_NOT_FOUND);
    IDirectMusicSegment8* segment = nullptr;
    EXPECT_EQ(loader->LoadObjectFromFile("a.wav", &segment), DMUS_E_NOT_FOUND);
    std::filesystem::create_directory("sound");
    ASSERT_TRUE(WriteFileBytes("sound/text.wav", "this is no wave at all"));
    EXPECT_EQ(loader->SetSearchDirectory("sound", FALSE), S_OK);
    EXPECT_EQ(loader->LoadObjectFromFile("text.wav", &segment), DMUS_E_UNSUPPORTED_STREAM);
    EXPECT_EQ(segment, nullptr);
}

TEST(AudioDeviceTest, NoDeviceIsReportedAndNothingIsOpened)
{
    AudioChooseDevice(AudioDeviceChoice::None);
    IDirectMusicPerformance8* performance = nullptr;
    ASSERT_EQ(DirectMusicCreatePerformance(&performance), S_OK);
    EXPECT_EQ(performance->InitAudio(nullptr, DMUS_APATH_SHARED_STEREOPLUSREVERB, 64, DMUS_AUDIOF_ALL), DSERR_NODRIVER);
    EXPECT_STRNE(AudioLastError(), "");
    IDirectMusicAudioPath8* path = nullptr;
    EXPECT_EQ(performance->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_3D, 64, TRUE, &path), DMUS_E_NOT_INIT);
    EXPECT_EQ(path, nullptr);
    performance->Release();
    AudioChooseDevice(AudioDeviceChoice::System);
}

TEST(AudioDeviceTest, TheSystemDeviceOpensOnTheNullDriver)
{
    IDirectMusicPerformance8* performance = nullptr;
    ASSERT_EQ(DirectMusicCreatePerformance(&performance), S_OK);
    EXPECT_EQ(performance->InitAudio(nullptr, DMUS_APATH_SHARED_STEREOPLUSREVERB, 64, DMUS_AUDIOF_ALL), S_OK)
        << AudioLastError();
    performance->CloseDown();
    performance->Release();
}

// Without a sound card the system device's backends fail one after another; what they have to say
// about it stays off the terminal (the game's own log says that sound is off). Run in a process of
// its own: the library reads its backend list and log level once, when it first starts.
TEST(AudioDeviceTest, AMachineWithoutASoundCardPrintsNothingOnTheTerminal)
{
    EXPECT_EXIT(
        {
            setenv("ALSOFT_DRIVERS", "alsa,oss", 1);
            unsetenv("ALSOFT_LOGLEVEL");
            ::testing::internal::CaptureStderr();
            IDirectMusicPerformance8* performance = nullptr;
            DirectMusicCreatePerformance(&performance);
            performance->InitAudio(nullptr, DMUS_APATH_SHARED_STEREOPLUSREVERB, 64, DMUS_AUDIOF_ALL);
            performance->CloseDown();
            performance->Release();
            const std::string printed = ::testing::internal::GetCapturedStderr();
            std::fputs(printed.c_str(), stderr);
            std::exit(printed.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// Damaged wave images decode to an error or to what they still hold; nothing reads past them.
class SoundWaveRobustnessTest : public AudioLayerTest {};

TEST_F(SoundWaveRobustnessTest, TruncatedAndCorruptedWavesNeverOverrun)
{
    WaveShape shape;
    shape.frames = 300;
    std::vector<std::string> images;
    for (int format : {SF_FORMAT_WAV | SF_FORMAT_PCM_16, SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM}) {
        shape.format = format;
        const std::string whole = WaveBytes(shape);
        ASSERT_FALSE(whole.empty());
        for (size_t length = 0; length < whole.size(); length += length < 80 ? 1 : 37)
            images.push_back(whole.substr(0, length));
        for (size_t at = 0; at < 64 && at < whole.size(); ++at) {
            for (unsigned char flip : {0x80u, 0xFFu}) {
                std::string damaged = whole;
                damaged[at] = static_cast<char>(damaged[at] ^ flip);
                images.push_back(damaged);
            }
        }
    }
    for (const std::string& image : images) {
        // An exact-size heap copy, so that a read past its end is caught by the sanitizer build.
        std::vector<BYTE> bytes(image.begin(), image.end());
        DMUS_OBJECTDESC description{sizeof(DMUS_OBJECTDESC), DMUS_OBJ_CLASS | DMUS_OBJ_MEMORY,
                                    static_cast<DWORD>(bytes.size()), bytes.empty() ? nullptr : bytes.data()};
        IDirectMusicSegment8* segment = nullptr;
        if (loader->GetObject(&description, &segment) == S_OK)
            segment->Release();
    }
}

}  // namespace
