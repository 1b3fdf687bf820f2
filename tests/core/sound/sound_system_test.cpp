// Start and end of the sound system, running silent, the update passes, the listener and the volumes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/console/console.h"
#include "core/core_cvars.h"
#include "core/log.h"
#include "core/files/script_file.h"
#include "gui/screens/gui_screen_sounds.h"
#include "support/run_program.h"
#include "tests/core/sound/sound_fixture.h"

using namespace sound_test;

namespace {

// In a child of its own: start, read a sound set whose line names four levels, and stop.
int StartAndStopSound()
{
    CreateScriptCache();
    if (!SoundInit(nullptr))
        return 1;
    SoundSetTable* table = LoadSoundSets(nullptr, "gun");
    std::printf("levels %d %d %d", table->Set(SOUND_FIRE)->Count(0), table->Set(SOUND_FIRE)->Count(1),
                table->Set(SOUND_FIRE)->Count(2));
    delete table;
    SoundShutdown();
    DestroyScriptCache();
    return 0;
}

int RunWithoutDevice()
{
    AudioChooseDevice(AudioDeviceChoice::None);
    if (SoundInit(nullptr))
        return 1;
    // Everything goes on and does nothing.
    PlacedObject object({1.0f, 0.0f, 0.0f});
    const bool pathMade = object.sound->CreateAudioPath();
    SoundInstance* instance = SoundLoad(nullptr, "anything", SOUND_MODE_OBJECT);
    PlayTempSound({5.0f, 0.0f, 0.0f}, instance, false);
    SoundUpdate();
    SoundApplyVolumes();
    SoundResumeAll();
    SoundFreeMission();
    SoundShutdown();
    return pathMade || instance || SoundIsRunning() ? 3 : 0;
}

// Each in a child of its own, once the whole engine is set up.
const bool g_startJob = RegisterChildJob("sound-start", StartAndStopSound);
const bool g_silentJob = RegisterChildJob("sound-silent", RunWithoutDevice);

class SoundStartTest : public testing::Test {
protected:
    // Runs the job in a fresh folder holding the sound script, with or without a "sound" folder
    // holding its waves; returns the log and keeps what the job printed.
    std::string RunJob(const char* job, bool withSoundFolder)
    {
        const TempDir folder;
        const std::filesystem::path path = folder.Path();
        WriteFileBytes((path / "script/sound.scr").string(), "<gun> sound 0 fire a b c d; </gun>");
        if (withSoundFolder) {
            for (const char* name : {"a", "b", "c", "d"})
                WriteWave((path / "sound" / (std::string(name) + ".wav")).string(), WaveShape{441});
        }
        const ProgramResult result = RunChildJob(job, path.string());
        EXPECT_TRUE(result.exited);
        EXPECT_EQ(result.exitCode, 0);
        printed = ReadFileBytes(path / "stdout.txt");
        const size_t mark = printed.find("levels");
        printed = mark == std::string::npos ? "" : printed.substr(mark);
        return ReadFileBytes(path / "zintar.log");
    }
    std::string printed;
};

TEST_F(SoundStartTest, StartUpLogsItsLinesAndTheRedirectWithoutASoundFolder)
{
    const std::string withFolder = RunJob("sound-start", true);
    EXPECT_NE(withFolder.find("Initializing sound system...done\n"), std::string::npos) << withFolder;
    EXPECT_EQ(withFolder.find("redirected"), std::string::npos);
    EXPECT_NE(withFolder.find("Destroying sound...done\n"), std::string::npos);

    const std::string withoutFolder = RunJob("sound-start", false);
    EXPECT_NE(withoutFolder.find("Initializing sound system...\nSound: Search path redirected to virtual file "
                                 "system.\ndone\n"),
              std::string::npos)
        << withoutFolder;
}

TEST_F(SoundStartTest, AFourthLevelOnASoundLineIsIgnoredWithAWarning)
{
    const std::string log = RunJob("sound-start", true);
    EXPECT_NE(log.find("WARNING: "), std::string::npos) << log;
    EXPECT_NE(log.find("'d' ignored"), std::string::npos) << log;
    EXPECT_EQ(printed, "levels 1 1 1");
}

TEST_F(SoundStartTest, WithoutADeviceTheProgramGoesOnSilentAndSaysWhy)
{
    const std::string log = RunJob("sound-silent", true);
    EXPECT_NE(log.find("Initializing sound system...\nSound: no sound device is available, the game goes on "
                       "without sound.\n"),
              std::string::npos)
        << log;
}

class SoundSystemTest : public SoundTest {
protected:
    // A tone on the first channel, straight ahead of the viewer.
    void PlayToneAhead(float distance = 5.0f)
    {
        SoundWave* wave = SoundWaveGet("tone");
        ASSERT_NE(wave, nullptr);
        PlayTempSoundAt({0.0f, 0.0f, distance}, wave->segment, false);
    }
    // Eight seconds: longer than every measurement of a test.
    void WriteTone() { ASSERT_TRUE(WriteWave("sound/tone.wav", WaveShape{8 * 44100})); }
};

TEST_F(SoundSystemTest, UpdatePassesComeEvery50Milliseconds)
{
    StartSound();
    SoundUpdate();
    const u32_t first = g_sound.lastPass;
    EXPECT_EQ(first, Now());
    Advance(49);
    SoundUpdate();
    EXPECT_EQ(g_sound.lastPass, first);
    Advance(1);
    SoundUpdate();
    EXPECT_EQ(g_sound.lastPass, first + 50);
}

TEST_F(SoundSystemTest, TheListenerFollowsTheViewerWithNoSourceActive)
{
    StartSound();
    SetViewer(5.0f, 2.0f, -7.0f);
    SoundUpdate();
    float x = 0, y = 0, z = 0;
    g_sound.listener->GetPosition(&x, &y, &z);
    EXPECT_EQ(x, 5.0f);
    EXPECT_EQ(y, 2.0f);
    EXPECT_EQ(z, -7.0f);
}

TEST_F(SoundSystemTest, TheListenerFacesWhereTheViewLooks)
{
    WriteTone();
    StartSound();
    SoundWave* wave = SoundWaveGet("tone");
    ASSERT_NE(wave, nullptr);

    struct Case {
        float yaw;
        Vector3 at;
        int side;  // -1 left, 0 ahead, 1 right
    };
    const float quarter = static_cast<float>(M_PI / 2);
    for (const Case& c : {Case{0.0f, {10, 0, 0}, 1}, Case{quarter, {10, 0, 0}, 0}, Case{quarter, {0, 0, 10}, -1},
                          Case{-quarter, {0, 0, 10}, 1}}) {
        GameSetYaw(c.yaw);
        Advance(1100);  // every channel free again
        SoundUpdate();
        PlayTempSoundAt(c.at, wave->segment, false);
        const Level level = RenderLevel();
        g_sound.performance->StopEx(wave->segment, 0, 0);
        if (c.side == 0)
            EXPECT_NEAR(level.left / level.right, 1.0, 0.05) << c.yaw;
        else if (c.side < 0)
            EXPECT_GT(level.left, 2.0 * level.right) << c.yaw;
        else
            EXPECT_GT(level.right, 2.0 * level.left) << c.yaw;
    }
}

TEST_F(SoundSystemTest, EveryGroupStartsAtItsDefaultAttenuation)
{
    StartSound();
    LONG master = 0, channel = 0;
    g_sound.performance->GetGlobalParam(GUID_PerfMasterVolume, &master, sizeof(master));
    g_sound.channels[0].source.soundBuffer->GetVolume(&channel);
    EXPECT_EQ(master, -1050);
    EXPECT_EQ(channel, -1050);
    EXPECT_EQ(GuiGetScreenSoundVolume(), -1050);
}

TEST_F(SoundSystemTest, VolumeVariablesSetTheLevelByTheAttenuationFormula)
{
    WriteTone();
    StartSound();
    PlayToneAhead();
    const double start = RenderLevel().Mean();
    ASSERT_GT(start, 0.001);

    struct Case {
        ConsoleVar* volume;
        s32_t value;
    };
    for (const Case& c : {Case{&si_effectvolume, 100}, Case{&si_effectvolume, 0}, Case{&si_effectvolume, 40},
                          Case{&si_mastervolume, 100}, Case{&si_mastervolume, 20}}) {
        si_effectvolume.SetInt(65);
        si_mastervolume.SetInt(65);
        SoundApplyVolumes();
        c.volume->SetInt(c.value);
        EXPECT_NEAR(RenderLevel().Mean() / start, 1.0, 0.02) << "nothing changes before the volumes are applied";
        sx_updatevolume.SetFromText("");
        const double expected = GainOf(SoundVolumeAttenuation(c.value)) / GainOf(-1050);
        EXPECT_NEAR(RenderLevel().Mean() / start, expected, expected * 0.03) << c.volume->name.Text() << c.value;
    }
}

TEST_F(SoundSystemTest, MutingHoldsTheGroupAtMinus30Decibels)
{
    WriteTone();
    StartSound();
    PlayToneAhead();
    const double start = RenderLevel().Mean();
    const double muted = GainOf(-3000) / GainOf(-1050);

    sx_muteeffect.SetFromText("");
    EXPECT_TRUE(sb_effectmuted.Bool());
    EXPECT_EQ(si_effectvolume.Int(), 0);
    EXPECT_NEAR(RenderLevel().Mean() / start, muted, muted * 0.03);

    // Applying the volumes skips a muted group.
    si_effectvolume.SetInt(100);
    SoundApplyVolumes();
    EXPECT_NEAR(RenderLevel().Mean() / start, muted, muted * 0.03);

    // Unmuting applies the volume variable as it now stands.
    sx_muteeffect.SetFromText("");
    EXPECT_FALSE(sb_effectmuted.Bool());
    const double full = 1.0 / GainOf(-1050);
    EXPECT_NEAR(RenderLevel().Mean() / start, full, full * 0.03);
}

TEST_F(SoundSystemTest, MuteCommandsToggleTheirGroup)
{
    StartSound();
    struct Case {
        ConsoleVar* command;
        ConsoleVar* volume;
        ConsoleVar* muted;
    };
    for (const Case& c :
         {Case{&sx_mutemaster, &si_mastervolume, &sb_mastermuted},
          Case{&sx_muteeffect, &si_effectvolume, &sb_effectmuted}, Case{&sx_muteenv, &si_envvolume, &sb_envmuted},
          Case{&sx_mutemusic, &si_musicvolume, &sb_musicmuted}}) {
        c.command->SetFromText("");
        EXPECT_TRUE(c.muted->Bool()) << c.command->name.Text();
        EXPECT_EQ(c.volume->Int(), 0);
        c.command->SetFromText("");
        EXPECT_FALSE(c.muted->Bool()) << c.command->name.Text();
        EXPECT_EQ(c.volume->Int(), 0);
    }
    // While the music is muted the other groups still take their volumes.
    sx_mutemusic.SetFromText("");
    si_musicvolume.SetInt(100);
    si_effectvolume.SetInt(100);
    sx_updatevolume.SetFromText("");
    EXPECT_EQ(GuiGetScreenSoundVolume(), -3000);
    LONG channel = 0;
    g_sound.channels[0].source.soundBuffer->GetVolume(&channel);
    EXPECT_EQ(channel, 0);
}

TEST(SoundVolumeTest, AttenuationOfAVolume)
{
    struct Case {
        s32_t volume;
        s32_t attenuation;
    };
    for (const Case& c : {Case{0, -3000}, Case{1, -2970}, Case{33, -2010}, Case{65, -1050}, Case{100, 0},
                          Case{-10, -3300}, Case{120, 600}})
        EXPECT_EQ(SoundVolumeAttenuation(c.volume), c.attenuation) << c.volume;
}

TEST_F(SoundSystemTest, ShutdownFreesWavesAndInstancesAndCanStartAgain)
{
    WriteTone();
    StartSound();
    PlacedObject object({0.0f, 0.0f, 0.0f});
    ASSERT_TRUE(object.sound->CreateAudioPath());
    ASSERT_NE(SoundLoad(object.sound, "tone", SOUND_MODE_OBJECT), nullptr);
    ASSERT_NE(SoundLoad(nullptr, "TONE", SOUND_MODE_VOICE), nullptr);
    EXPECT_EQ(g_sound.waves.count, 1);
    EXPECT_EQ(g_sound.instances.count, 2);
    EXPECT_EQ(g_sound.pathSources.count, SOUND_CHANNEL_COUNT + 1);

    SoundShutdown();
    EXPECT_EQ(g_sound.waves.count, 0);
    EXPECT_EQ(g_sound.instances.count, 0);
    EXPECT_FALSE(SoundIsRunning());
    EXPECT_FALSE(object.sound->HasAudioPath());

    StartSound();
    EXPECT_EQ(g_sound.pathSources.count, SOUND_CHANNEL_COUNT);
    EXPECT_TRUE(g_sound.channels[31].source.HasAudioPath());
}

}  // namespace
