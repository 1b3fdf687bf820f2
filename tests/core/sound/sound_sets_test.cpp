// Waves cached by name, instances, sound sets with their picks, and the sound script.
#include <gtest/gtest.h>

#include <memory>

#include "core/random.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "tests/core/sound/sound_fixture.h"

using namespace sound_test;

namespace {

class SoundSetsTest : public SoundTest {
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        CreateScriptCache();
    }
    void TearDown() override
    {
        DestroyScriptCache();
        VFSShutdown();
        SoundTest::TearDown();
    }
    static void Wave(const std::string& path, int frames = 441)
    {
        WaveShape shape;
        shape.frames = frames;
        ASSERT_TRUE(WriteWave(path, shape));
    }
    // A table read from a one-section script.
    std::unique_ptr<SoundSetTable> Table(const std::string& body, const char* section = "obj")
    {
        WriteFileBytes("script/sound.scr", "<obj>" + body + "</obj>");
        DestroyScriptCache();
        CreateScriptCache();
        return std::unique_ptr<SoundSetTable>(LoadSoundSets(&object, section));
    }

    PlacedObject object{{0.0f, 0.0f, 0.0f}};
};

TEST_F(SoundSetsTest, VariantsAreTheBaseAndItsNumberedRunUpToTheFirstGap)
{
    struct Case {
        const char* folder;  // "" for names without a folder
        std::vector<const char*> files;
        s32_t variants;
    };
    const std::vector<Case> cases = {
        {"c0", {"shot", "shot_0", "shot_1"}, 3},
        {"c1", {"shot_0", "shot_2"}, 1},
        {"c2", {"shot_0", "shot_1"}, 2},
        {"c3", {"shot", "shot_1"}, 1},
        {"c4", {}, 0},
        {"", {"shot", "shot_0"}, 2},
    };
    for (const Case& c : cases)
        for (const char* file : c.files)
            Wave(std::string("sound/") + c.folder + (c.folder[0] ? "/" : "") + file + ".wav");
    StartSound();
    ASSERT_TRUE(object.sound->CreateAudioPath());
    for (const Case& c : cases) {
        const std::string folderLine = c.folder[0] ? std::string("property path ") + c.folder + ";" : "";
        std::unique_ptr<SoundSetTable> table = Table(folderLine + "sound 0 fire shot;");
        ASSERT_NE(table, nullptr);
        ASSERT_NE(table->Set(SOUND_FIRE), nullptr) << c.folder;
        EXPECT_EQ(table->Set(SOUND_FIRE)->Count(0), c.variants) << c.folder;
    }
}

TEST_F(SoundSetsTest, ScriptLinesGiveLevelsParametersAndProperties)
{
    for (const char* name : {"a", "b", "c"})
        Wave(std::string("sound/s/") + name + ".wav");
    StartSound();
    struct Case {
        const char* line;
        s32_t property;
        std::vector<s32_t> levels;  // variants per level; empty: no set stored
        s32_t parameter;
    };
    for (const Case& c : {
             Case{"sound 250 fire a b c;", SOUND_FIRE, {1, 1, 1}, 250},
             Case{"SOUND 12ms Fire a;", SOUND_FIRE, {1, 0, 0}, 12},
             Case{"sound x death_head b a;", SOUND_DEATH_HEAD, {1, 1, 0}, 0},
             Case{"sound 5 grenade_near missing a ;", SOUND_GRENADE_NEAR, {0, 1, 0}, 5},
             Case{"sound 5 no_such_property a;", 0, {}, 0},
             Case{"sound 5 fire;", SOUND_FIRE, {0, 0, 0}, 5},
             Case{"sound 5;", 0, {}, 0},
             Case{"other 5 fire a;", 0, {}, 0},
         }) {
        std::unique_ptr<SoundSetTable> table = Table(std::string("property path s;") + c.line);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->name.Text(), std::string("obj"));
        const SoundSet* set = table->Set(c.property);
        if (c.levels.empty()) {
            for (const SoundSet* stored : table->sets)
                EXPECT_EQ(stored, nullptr) << c.line;
            continue;
        }
        ASSERT_NE(set, nullptr) << c.line;
        for (s32_t level = 0; level < MAX_SOUND_LODS; ++level)
            EXPECT_EQ(set->Count(level), c.levels[static_cast<size_t>(level)]) << c.line << " level " << level;
        EXPECT_EQ(set->extraParam, c.parameter) << c.line;
        EXPECT_EQ(table->GetParam(c.property), c.parameter);
    }
}

TEST_F(SoundSetsTest, APropertyNamedTwiceKeepsItsLastSet)
{
    Wave("sound/a.wav");
    Wave("sound/b.wav");
    StartSound();
    std::unique_ptr<SoundSetTable> table = Table("sound 1 fire a; sound 2 fire b a;");
    ASSERT_NE(table->Set(SOUND_FIRE), nullptr);
    EXPECT_EQ(table->GetParam(SOUND_FIRE), 2);
    EXPECT_EQ(table->Set(SOUND_FIRE)->Count(1), 1);
}

TEST_F(SoundSetsTest, AMissingSectionReadsTheRootAndAMissingScriptGivesNothing)
{
    StartSound();
    std::unique_ptr<SoundSetTable> table = Table("", "nowhere");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->name.Text(), std::string("GLOBAL"));
    std::filesystem::remove("script/sound.scr");
    DestroyScriptCache();
    CreateScriptCache();
    EXPECT_EQ(LoadSoundSets(&object, "obj"), nullptr);
}

TEST(SoundPropertyTest, NamesMatchWithoutRegardToCase)
{
    struct Case {
        const char* name;
        s32_t index;
    };
    for (const Case& c : {Case{"aim", 1}, Case{"Fire", 2}, Case{"SWITCH_FROM_EMPTY", 10}, Case{"grenade_near", 26},
                          Case{"fire ", 0}, Case{"", 0}, Case{nullptr, 0}})
        EXPECT_EQ(SoundPropertyIndex(c.name), c.index) << (c.name ? c.name : "null");
}

// Picks need instances only as distinct pointers.
class SoundPickTest : public testing::Test {
protected:
    SoundSet& SetOf(int variants, s32_t level = 0)
    {
        for (int i = 0; i < variants; ++i) {
            instances.push_back(std::make_unique<SoundInstance>());
            set.Add(instances.back().get(), level);
        }
        return set;
    }
    int IndexOf(const SoundInstance* instance) const
    {
        for (size_t i = 0; i < instances.size(); ++i)
            if (instances[i].get() == instance)
                return static_cast<int>(i);
        return -1;
    }
    std::vector<std::unique_ptr<SoundInstance>> instances;
    SoundSet set;
};

TEST_F(SoundPickTest, TwoVariantsWithoutRepeatAlternateFromTheSecond)
{
    SetOf(2);
    for (u32_t seed : {1u, 7u, 12345u}) {
        EngineSRand(seed);
        set.lastPick = 0;
        for (int pick = 0; pick < 10; ++pick)
            EXPECT_EQ(IndexOf(set.Pick(true, 0)), pick % 2 == 0 ? 1 : 0) << seed;
    }
}

TEST(SoundNoRepeatTest, PicksNeverGiveThePreviousVariant)
{
    for (int variants : {3, 4, 7}) {
        std::vector<std::unique_ptr<SoundInstance>> instances;
        SoundSet set;
        for (int i = 0; i < variants; ++i) {
            instances.push_back(std::make_unique<SoundInstance>());
            set.Add(instances.back().get(), 0);
        }
        auto IndexOf = [&](const SoundInstance* instance) {
            for (size_t i = 0; i < instances.size(); ++i)
                if (instances[i].get() == instance)
                    return static_cast<int>(i);
            return -1;
        };
        EngineSRand(99);
        std::vector<int> seen(static_cast<size_t>(variants), 0);
        int previous = -1;
        for (int pick = 0; pick < 500; ++pick) {
            const int index = IndexOf(set.Pick(true, 0));
            ASSERT_NE(index, previous) << variants;
            ASSERT_EQ(index, set.lastPick);
            ++seen[static_cast<size_t>(index)];
            previous = index;
        }
        for (int count : seen)
            EXPECT_GT(count, 0) << variants;
    }
}

TEST_F(SoundPickTest, PlainPicksFollowTheEngineGeneratorAndKeepTheLastPick)
{
    SetOf(5);
    set.lastPick = 3;
    EngineSRand(4242);
    std::vector<int> first;
    for (int pick = 0; pick < 20; ++pick)
        first.push_back(IndexOf(set.Pick(false, 0)));
    EngineSRand(4242);
    for (int pick = 0; pick < 20; ++pick) {
        const int expected = EngineRand() % 5;
        EXPECT_EQ(first[static_cast<size_t>(pick)], expected);
    }
    EXPECT_EQ(set.lastPick, 3);
    EXPECT_EQ(set.Last(0), instances[3].get());
}

TEST_F(SoundPickTest, EmptyLevelsFallBackToLevelZeroOnlyThroughTheTable)
{
    SetOf(2, 0);
    SoundSetTable table("t");
    SoundSet* owned = new SoundSet();
    owned->Add(instances[0].get(), 0);
    ASSERT_TRUE(table.AddSet("fire", owned));
    EXPECT_FALSE(table.AddSet("nothing", owned));
    EXPECT_FALSE(table.AddSet("fire", nullptr));

    EXPECT_EQ(owned->Pick(false, 2), nullptr);
    EXPECT_EQ(table.Pick(SOUND_FIRE, false, 2), instances[0].get());
    EXPECT_EQ(table.Get(SOUND_FIRE, 0, 1), instances[0].get());
    EXPECT_EQ(table.Get(SOUND_FIRE, 1, 0), nullptr);
    EXPECT_EQ(table.Pick(SOUND_RELOAD, false, 0), nullptr);
    EXPECT_EQ(table.GetParam(SOUND_RELOAD), 0);
    EXPECT_EQ(owned->Get(0, 3), nullptr);
    EXPECT_EQ(owned->Last(5), nullptr);
}

TEST_F(SoundSetsTest, AWaveIsLoadedOnceAndTheLoadersFolderComesFirst)
{
    // The same name on disk (1000 frames) and in the archive (2000 frames); another only in the archive.
    Wave("sound/both.wav", 1000);
    WaveShape longer;
    longer.frames = 2000;
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"sound/both.wav", WaveBytes(longer)},
                                              {"sound/packed.wav", WaveBytes(longer)},
                                              {"sound/broken.wav", "RIFF but nothing more"}}));
    ASSERT_TRUE(VFSInit());
    StartSound();

    SoundWave* both = SoundWaveGet("both");
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(both->segment->FrameCount(), 1000u);
    EXPECT_EQ(SoundWaveGet("BOTH"), both);
    EXPECT_EQ(both->name.Text(), std::string("both.wav"));

    SoundWave* packed = SoundWaveGet("packed");
    ASSERT_NE(packed, nullptr);
    EXPECT_EQ(packed->segment->FrameCount(), 2000u);
    EXPECT_EQ(SoundWaveGet("broken"), nullptr);
    EXPECT_EQ(SoundWaveGet("missing"), nullptr);
    EXPECT_EQ(g_sound.waves.count, 2);

    ASSERT_TRUE(object.sound->CreateAudioPath());
    SoundInstance* music = SoundLoad(nullptr, "both", SOUND_MODE_MUSIC);
    SoundInstance* gui = SoundLoad(object.sound, "Both", SOUND_MODE_GUI);
    SoundInstance* own = SoundLoad(object.sound, "both", SOUND_MODE_OBJECT);
    ASSERT_NE(music, nullptr);
    ASSERT_NE(gui, nullptr);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(both->m_nInstanceCount, 3);
    EXPECT_EQ(music->audioPath, g_sound.defaultPath);
    EXPECT_EQ(gui->audioPath, g_sound.defaultPath);  // GUI sounds are always flat
    EXPECT_EQ(own->audioPath, object.sound->audioPath);
    EXPECT_EQ(own->buffer, nullptr);
}

TEST_F(SoundSetsTest, InstancesPlayLoopAndStopOnlyTheirOwnSound)
{
    Wave("sound/tone.wav", 44100);
    StartSound();
    SoundInstance* music = SoundLoad(nullptr, "tone", SOUND_MODE_MUSIC);
    SoundInstance* voice = SoundLoad(nullptr, "tone", SOUND_MODE_VOICE);
    ASSERT_NE(music, nullptr);
    ASSERT_NE(voice, nullptr);

    ASSERT_TRUE(music->Play(true, false));
    ASSERT_TRUE(music->Play(true, false));  // already looping: not started twice
    EXPECT_EQ(g_sound.performance->PlayingVoiceCount(), 1);

    voice->PlayOnPath(SoundDefaultPath(), false);
    EXPECT_EQ(g_sound.performance->PlayingVoiceCount(), 2);
    EXPECT_TRUE(voice->Stop());
    EXPECT_TRUE(music->IsPlaying());
    EXPECT_FALSE(voice->Stop());

    EXPECT_TRUE(music->SetVolume(-800));
    LONG volume = 0;
    g_sound.defaultBuffer->GetVolume(&volume);
    EXPECT_EQ(volume, -800);
    EXPECT_TRUE(music->Stop());
    EXPECT_EQ(g_sound.performance->PlayingVoiceCount(), 0);

    // A sound played once and ended may be looped again.
    ASSERT_TRUE(voice->Play(false, false));
    g_sound.performance->StopEx(voice->segment, 0, 0);
    EXPECT_TRUE(voice->Play(true, false));
    EXPECT_TRUE(voice->IsPlaying());
}

}  // namespace
