// World-object sources and their activity, spatial sounds that loop or repeat, and the music.
#include <gtest/gtest.h>

#include "core/core_cvars.h"
#include "core/random.h"
#include "tests/core/sound/sound_fixture.h"

using namespace sound_test;

namespace {

class SoundSpatialTest : public SoundTest {
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        ASSERT_TRUE(WriteWave("sound/ambient.wav", WaveShape{4 * 44100}));
        StartSound();
    }
    // A source without owner at the point, its own set holding the wave.
    static SoundSource* SpatialSource(Vector3 at, s32_t repeatMode, const char* wave = "ambient")
    {
        SoundSource* source = new SoundSource(nullptr);
        EXPECT_TRUE(source->CreateAudioPath());
        source->ownSet.Add(SoundLoad(source, wave, SOUND_MODE_OBJECT), 0);
        source->repeatMode = repeatMode;
        source->SetPosition(at.x, at.y, at.z, SOUND_APPLY_DEFERRED);
        return source;
    }
    static void Pass(u32_t milliseconds = 50)
    {
        Advance(milliseconds);
        SoundUpdate();
    }
};

TEST_F(SoundSpatialTest, TheSixtyFourthSpatialSoundEndsTheProgram)
{
    // Only the dying child fills the table, so nothing here owns the source twice.
    EXPECT_EXIT(
        {
            SoundSource* source = new SoundSource(nullptr);
            for (s32_t i = 0; i < MAX_SPATIAL_SOUNDS - 1; ++i)
                AddSpatialSound(source);
            if (SoundSpatialCount() != MAX_SPATIAL_SOUNDS - 1)
                std::_Exit(1);
            AddSpatialSound(source);
        },
        ::testing::ExitedWithCode(3), "Assertion 'nSpatialSoundsCount \\+ 1 < MAX_SPATIAL_SOUNDS' failed");
}

TEST_F(SoundSpatialTest, ASourceBecomesActiveWhenTheViewerComesNearItsOwner)
{
    PlacedObject near({30.0f, 0.0f, 0.0f});
    PlacedObject far({50.0f, 0.0f, 0.0f});
    for (PlacedObject* object : {&near, &far}) {
        ASSERT_TRUE(object->sound->CreateAudioPath());
        EXPECT_FALSE(object->sound->active);
    }
    SoundUpdate();
    Pass();
    EXPECT_TRUE(near.sound->active);
    EXPECT_EQ(near.sound->position.x, 30.0f);
    EXPECT_FALSE(far.sound->active);
    EXPECT_EQ(far.sound->position.x, 0.0f);  // never refreshed while out of hearing range

    // Rechecked only once a second has passed since the last check.
    SetViewer(45.0f, 0.0f, 0.0f);
    Pass(950);
    EXPECT_FALSE(far.sound->active);
    Pass(51);
    EXPECT_TRUE(far.sound->active);
    EXPECT_EQ(far.sound->position.x, 50.0f);

    // An active source is let go only after three seconds.
    SetViewer(500.0f, 0.0f, 0.0f);
    far.place.x = 60.0f;
    Pass(2000);
    EXPECT_TRUE(far.sound->active);
    EXPECT_EQ(far.sound->position.x, 60.0f);
    Pass(950);
    EXPECT_TRUE(far.sound->active);
    Pass(51);
    EXPECT_FALSE(far.sound->active);
}

TEST_F(SoundSpatialTest, AnObjectsSoundIsLouderWithTheViewerNear)
{
    PlacedObject object({0.0f, 0.0f, 20.0f});
    ASSERT_TRUE(object.sound->CreateAudioPath());
    SoundInstance* sound = SoundLoad(object.sound, "ambient", SOUND_MODE_OBJECT);
    ASSERT_NE(sound, nullptr);
    SoundUpdate();
    Pass();
    ASSERT_TRUE(object.sound->active);
    ASSERT_TRUE(sound->Play(true, false));
    const double near = RenderLevel().Mean();

    SetViewer(0.0f, 0.0f, -280.0f);  // still straight ahead, 300 units away
    Pass();
    const double far = RenderLevel().Mean();
    // Inverse distance with the listener's rolloff 0.05 from the minimum distance 1.
    auto gain = [](double d) { return 1.0 / (1.0 + 0.05 * (d - 1.0)); };
    EXPECT_NEAR(far / near, gain(300) / gain(20), 0.1 * gain(300) / gain(20));
}

TEST_F(SoundSpatialTest, ARepeatingSoundPlaysAgainWithinItsIntervals)
{
    SoundSource* source = SpatialSource({0.0f, 0.0f, 10.0f}, 1);
    source->shortestInterval = 2000;
    source->longestInterval = 5000;
    AddSpatialSound(source);
    EngineSRand(5);

    SoundUpdate();  // the first pass: due at once
    int plays = 1;
    u32_t lastPlay = Now();
    u32_t next = source->nextPlayTime;
    for (int pass = 0; pass < 600; ++pass) {
        Pass();
        if (source->nextPlayTime == next)
            continue;
        // Played: no earlier than 100 ms before it was due, and the next time lies 2-5 s ahead.
        EXPECT_GE(Now(), next - 100);
        EXPECT_GE(Now() - lastPlay, 1900u);
        EXPECT_LE(Now() - lastPlay, 5000u);
        next = source->nextPlayTime;
        EXPECT_GE(next - Now(), 2000u);
        EXPECT_LE(next - Now(), 5000u);
        lastPlay = Now();
        ++plays;
    }
    EXPECT_GE(plays, 6);  // 30 s at 2-5 s apart
}

TEST_F(SoundSpatialTest, ResumeLoopsSpatialSoundsAndMusicAndStopEndsThem)
{
    SoundSource* first = SpatialSource({0.0f, 0.0f, 10.0f}, 0);
    SoundSource* second = SpatialSource({10.0f, 0.0f, 0.0f}, 0);
    AddSpatialSound(first);
    AddSpatialSound(second);
    AddSpatialSound(nullptr);
    EXPECT_EQ(SoundSpatialCount(), 2);
    SoundInstance* music = SoundLoad(nullptr, "ambient", SOUND_MODE_MUSIC);
    SoundSetMusic(music);

    SoundResumeAll();
    EXPECT_TRUE(music->IsPlaying());
    LONG volume = 0;
    g_sound.defaultBuffer->GetVolume(&volume);
    EXPECT_EQ(volume, -800);
    EXPECT_EQ(g_sound.performance->PlayingVoiceCount(), 3);
    RenderLevel(4 * 44100 + 100, 0);  // past the wave's end: the spatial sounds loop on
    EXPECT_EQ(g_sound.performance->PlayingVoiceCount(), 3);

    // Stopping one source's sound leaves the same wave on another source playing.
    first->StopOwnSound();
    EXPECT_EQ(g_sound.performance->PlayingVoiceCount(), 2);

    SoundStopAll();
    EXPECT_FALSE(music->IsPlaying());
    EXPECT_EQ(g_sound.performance->PlayingVoiceCount(), 0);
}

TEST_F(SoundSpatialTest, TheEnvironmentGroupSetsSpatialSoundsAndMusic)
{
    SoundSource* source = SpatialSource({0.0f, 0.0f, 10.0f}, 0);
    AddSpatialSound(source);
    SoundSetMusic(SoundLoad(nullptr, "ambient", SOUND_MODE_MUSIC));
    si_envvolume.SetInt(50);
    SoundApplyVolumes();
    LONG spatialVolume = 0, flatVolume = 0;
    source->soundBuffer->GetVolume(&spatialVolume);
    g_sound.defaultBuffer->GetVolume(&flatVolume);
    EXPECT_EQ(spatialVolume, -1500);
    EXPECT_EQ(flatVolume, -1500);  // the music plays on the flat path and shares its buffer
}

TEST_F(SoundSpatialTest, LeavingTheMissionFreesSpatialSoundsAndReleasesWorldSources)
{
    PlacedObject object({0.0f, 0.0f, 0.0f});
    ASSERT_TRUE(object.sound->CreateAudioPath());
    AddSpatialSound(SpatialSource({0.0f, 0.0f, 10.0f}, 0));
    SoundResumeAll();
    SoundFreeMission();
    EXPECT_EQ(SoundSpatialCount(), 0);
    EXPECT_FALSE(object.sound->HasAudioPath());
    EXPECT_TRUE(object.sound->released);
    EXPECT_EQ(g_sound.pathSources.count, SOUND_CHANNEL_COUNT);
    EXPECT_EQ(g_sound.performance->PlayingVoiceCount(), 0);
}

}  // namespace
