// One-shot sounds at a point: distance rules, the shared channels, the delay queue.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/console/console.h"
#include "tests/core/sound/sound_fixture.h"

using namespace sound_test;

namespace {

class SoundTempTest : public SoundTest {
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        ConStartup();
        ASSERT_TRUE(WriteWave("sound/hit.wav"));
        StartSound();
        SoundWave* wave = SoundWaveGet("hit");
        ASSERT_NE(wave, nullptr);
        segment = wave->segment;
        SoundUpdate();  // the first pass
    }
    void TearDown() override
    {
        ConShutdown();
        SoundTest::TearDown();
    }
    static int ChannelsUsedAt(u32_t time)
    {
        int used = 0;
        for (const SoundChannel& channel : g_sound.channels)
            used += channel.lastUse == time ? 1 : 0;
        return used;
    }
    static int QueuedEntries()
    {
        int queued = 0;
        for (const TempSoundEntry& entry : g_sound.queue)
            queued += entry.segment ? 1 : 0;
        return queued;
    }
    static const char* NewestLine()
    {
        char** lines = ConLines(0);
        const int capacity = ConLineCapacity(0);
        return lines && lines[capacity - 1] ? lines[capacity - 1] : "";
    }
    // Passes of the update until the clock reaches the time.
    static void UpdateUntil(u32_t time)
    {
        while (Now() < time) {
            Advance(time - Now() < 50 ? time - Now() : 50);
            SoundUpdate();
        }
    }

    IDirectMusicSegment8* segment = nullptr;
};

TEST(SoundDistanceRulesTest, LevelOfDetailAndTravelDelayByDistance)
{
    SetViewer(10.0f, 5.0f, -3.0f);
    struct Case {
        Vector3 offset;
        s32_t lod;
        u32_t delay;
    };
    for (const Case& c : {
             Case{{0, 0, 0}, 0, 0},
             Case{{100, 0, 0}, 0, 0},
             Case{{0, 100.5f, 0}, 1, 0},
             Case{{0, 0, -199.9f}, 1, 0},
             Case{{200, 0, 0}, 1, 60},
             Case{{300, 0, 400}, 1, 151},
             Case{{0, 500.5f, 0}, 2, 151},
             Case{{0, 0, 1500}, 2, 454},
             Case{{3300, 0, 0}, 2, 1000},
             Case{{-6000, 0, 8000}, 2, 3030},
         }) {
        const Vector3 point{10.0f + c.offset.x, 5.0f + c.offset.y, -3.0f + c.offset.z};
        EXPECT_EQ(SoundLodForPoint(point), c.lod) << c.offset.x << " " << c.offset.y << " " << c.offset.z;
        EXPECT_EQ(SoundTravelDelay(point), c.delay) << c.offset.x << " " << c.offset.y << " " << c.offset.z;
    }
    SetViewer(0.0f, 0.0f, 0.0f);
}

TEST_F(SoundTempTest, NearSoundsPlayNowFartherOnesWaitForTheirTravelTimeFarOnesAreDropped)
{
    struct Case {
        float distance;
        bool playsNow;
        bool queued;
        u32_t delay;
    };
    for (const Case& c : {Case{3.0f, true, false, 0}, Case{500.0f, true, false, 0}, Case{500.01f, false, true, 151},
                          Case{1000.0f, false, true, 303}, Case{1000.1f, false, false, 0}}) {
        Advance(1001);
        for (TempSoundEntry& entry : g_sound.queue)
            entry.segment = nullptr;
        const Vector3 point{0.0f, 0.0f, c.distance};
        PlayTempSoundAt(point, segment, false);
        EXPECT_EQ(ChannelsUsedAt(Now()), c.playsNow ? 1 : 0) << c.distance;
        ASSERT_EQ(QueuedEntries(), c.queued ? 1 : 0) << c.distance;
        if (c.playsNow) {
            EXPECT_EQ(g_sound.channels[0].source.position.z, c.distance);
            EXPECT_FALSE(g_sound.channels[0].followsListener);
        }
        if (c.queued) {
            EXPECT_EQ(g_sound.queue[0].startTime, Now() + c.delay) << c.distance;
            EXPECT_EQ(g_sound.queue[0].position.z, c.distance);
        }
    }
}

TEST_F(SoundTempTest, AThirtyThirdSoundWithinASecondOverflows)
{
    for (int i = 0; i < SOUND_CHANNEL_COUNT; ++i)
        PlayTempSoundAt({0.0f, 0.0f, 10.0f}, segment, false);
    EXPECT_EQ(ChannelsUsedAt(Now()), SOUND_CHANNEL_COUNT);
    EXPECT_STREQ(NewestLine(), "");

    PlayTempSoundAt({0.0f, 0.0f, 10.0f}, segment, false);
    EXPECT_STREQ(NewestLine(), "Tmp sound buffer overflow!\n");

    // A channel is free again once more than a second has passed.
    Advance(1000);
    ConClear(0);
    PlayTempSoundAt({0.0f, 0.0f, 10.0f}, segment, false);
    EXPECT_STREQ(NewestLine(), "Tmp sound buffer overflow!\n");
    Advance(1);
    ConClear(0);
    PlayTempSoundAt({0.0f, 0.0f, 10.0f}, segment, false);
    EXPECT_STREQ(NewestLine(), "");
    EXPECT_EQ(ChannelsUsedAt(Now()), 1);
}

TEST_F(SoundTempTest, QueuedSoundsPlayWhenDueAndLeaveTheQueue)
{
    const u32_t due = Now() + 151;
    QueueTempSound(due, segment, {0.0f, 0.0f, 600.0f}, false);
    UpdateUntil(due - 1);
    EXPECT_EQ(QueuedEntries(), 1);
    const int before = g_sound.performance->PlayingVoiceCount();

    UpdateUntil(due + 49);
    EXPECT_EQ(QueuedEntries(), 0);
    EXPECT_EQ(g_sound.performance->PlayingVoiceCount(), before + 1);
    EXPECT_EQ(g_sound.channels[0].source.position.z, 600.0f);
}

TEST_F(SoundTempTest, AListenerRelativeSoundIsPlacedTenUnitsTowardsItsPoint)
{
    SetViewer(100.0f, 0.0f, 0.0f);
    QueueTempSound(Now(), segment, {100.0f, 0.0f, 700.0f}, true);
    QueueTempSound(Now(), segment, {100.0f, 0.0f, 0.0f}, true);  // at the viewer: no direction
    Advance(50);
    SoundUpdate();
    const Vector3& first = g_sound.channels[0].source.position;
    EXPECT_FLOAT_EQ(first.x, 100.0f);
    EXPECT_FLOAT_EQ(first.z, 10.0f);
    EXPECT_TRUE(g_sound.channels[0].followsListener);
    const Vector3& second = g_sound.channels[1].source.position;
    EXPECT_TRUE(std::isfinite(second.x) && std::isfinite(second.z));
    EXPECT_FLOAT_EQ(second.x, 100.0f);
}

TEST_F(SoundTempTest, DueSoundsWithoutAFreeChannelAndAFullQueueAreDroppedSilently)
{
    for (int i = 0; i < SOUND_CHANNEL_COUNT; ++i)
        PlayTempSoundAt({0.0f, 0.0f, 10.0f}, segment, false);
    ConClear(0);
    for (int i = 0; i < TEMP_SOUND_QUEUE_SIZE + 5; ++i)
        PlayTempSoundAt({0.0f, 0.0f, 800.0f}, segment, false);
    EXPECT_EQ(QueuedEntries(), TEMP_SOUND_QUEUE_SIZE);
    UpdateUntil(Now() + 300);
    EXPECT_EQ(QueuedEntries(), 0);
    EXPECT_EQ(ChannelsUsedAt(Now()), 0);
    EXPECT_STREQ(NewestLine(), "");
}

TEST_F(SoundTempTest, AFollowingChannelKeepsItsOffsetToTheViewerForASecond)
{
    PlayTempSoundAt({5.0f, 0.0f, 20.0f}, segment, true);
    const u32_t started = Now();
    for (int pass = 1; Now() - started < 1500; ++pass) {
        Advance(50);
        SetViewer(2.0f * pass, 0.0f, 0.0f);
        SoundUpdate();
        const Vector3& at = g_sound.channels[0].source.position;
        if (Now() - started <= 1000) {
            ASSERT_FLOAT_EQ(at.x, 5.0f + 2.0f * pass) << pass;
        } else {
            ASSERT_FLOAT_EQ(at.x, 5.0f + 2.0f * 20) << pass;  // held where the last following pass left it
        }
        ASSERT_FLOAT_EQ(at.z, 20.0f);
    }
}

TEST_F(SoundTempTest, AnInstanceOrSegmentThatIsMissingPlaysNothing)
{
    PlayTempSound({0.0f, 0.0f, 5.0f}, nullptr, false);
    PlayTempSoundAt({0.0f, 0.0f, 5.0f}, nullptr, false);
    QueueTempSound(Now(), nullptr, {0.0f, 0.0f, 5.0f}, false);
    EXPECT_EQ(ChannelsUsedAt(Now()), 0);
    EXPECT_EQ(QueuedEntries(), 0);
}

}  // namespace
