// Message voices from the common and the localized "messages.asc".
#include <gtest/gtest.h>

#include "core/core_cvars.h"
#include "core/files/def_file.h"
#include "gui/gui_cvars.h"
#include "tests/core/sound/sound_fixture.h"

using namespace sound_test;

namespace {

class SoundMessagesTest : public SoundTest {
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        WriteFileBytes("locale/_common/messages.asc",
                       "greet \"Hello\" hello\n"
                       "GREET \"Hello again\" other\n"
                       "m_c01_intro \"Welcome\" intro\n"
                       "m_c02_intro \"Elsewhere\" intro2\n"
                       "textonly \"No voice\"\n"
                       "absent \"Missing\" nofile\n"
                       "sounddir voice\\radio\n"
                       "Radio_Call \"Over\" call\n");
        WriteFileBytes("locale/testlang/messages.asc",
                       "greet \"Hallo\" hallo\n"
                       "sounddir voice\\local\n"
                       "extra \"Mehr\" extra\n");
        for (const char* wave : {"_common/hello", "_common/other", "_common/intro", "_common/intro2", "radio/call",
                                 "radio/hallo", "local/extra"})
            ASSERT_TRUE(WriteWave(std::string("sound/voice/") + wave + ".wav", WaveShape{441}));
        savedLanguage = language.String();
        language.SetString("testlang");
        GameCurrentMapName().Assign("C01_Intro_Map");
        StartSound();
    }
    void TearDown() override
    {
        language.SetString(savedLanguage.c_str());
        GameCurrentMapName().Assign("");
        DefFileFreeAll();
        SoundTest::TearDown();
    }
    static std::string VoiceOf(const char* key)
    {
        SoundInstance* voice = FindMessageSound(EngineString(key));
        return voice ? voice->wave->name.Text() : "";
    }

    std::string savedLanguage;
};

TEST_F(SoundMessagesTest, VoicesAreFoundByKey)
{
    struct Case {
        const char* key;
        const char* common;  // with sb_forcelocalesnd false
        const char* forced;  // with it true
    };
    const std::vector<Case> cases = {
        {"greet", "voice\\_common\\hello.wav", "voice\\radio\\hallo.wav"},
        {"GrEeT", "voice\\_common\\hello.wav", "voice\\radio\\hallo.wav"},
        {"m_c01_intro", "voice\\_common\\intro.wav", "voice\\_common\\intro.wav"},
        {"m_c02_intro", "", ""},
        {"textonly", "", ""},
        {"absent", "", ""},
        {"radio_call", "voice\\radio\\call.wav", "voice\\radio\\call.wav"},
        {"extra", "voice\\local\\extra.wav", "voice\\local\\extra.wav"},
        {"gree", "", ""},
    };
    for (bool forced : {false, true}) {
        sb_forcelocalesnd.SetBool(forced);
        LoadMessageSounds();
        EXPECT_EQ(SoundMessageCount(), 4);
        for (const Case& c : cases)
            EXPECT_EQ(VoiceOf(c.key), forced ? c.forced : c.common) << c.key << (forced ? " forced" : "");
    }
    EXPECT_EQ(GameCurrentMapName().Text(), std::string("c01_intro_map"));
}

// Leaving a mission only zeroes the count: the voices are still found until the next load empties
// the table.
TEST_F(SoundMessagesTest, ClearedVoicesAreFoundUntilTheNextLoad)
{
    LoadMessageSounds();
    ASSERT_EQ(VoiceOf("greet"), "voice\\_common\\hello.wav");
    ClearMessageSounds();
    EXPECT_EQ(SoundMessageCount(), 0);
    EXPECT_EQ(VoiceOf("greet"), "voice\\_common\\hello.wav");
    EXPECT_EQ(VoiceOf("extra"), "voice\\local\\extra.wav");

    std::filesystem::remove("locale/testlang/messages.asc");
    DefFileFreeAll();
    LoadMessageSounds();
    EXPECT_EQ(SoundMessageCount(), 3);
    EXPECT_EQ(VoiceOf("greet"), "voice\\_common\\hello.wav");
    EXPECT_EQ(VoiceOf("extra"), "");
}

TEST_F(SoundMessagesTest, WithoutTheFilesThereAreNoVoices)
{
    std::filesystem::remove_all("locale");
    DefFileFreeAll();
    LoadMessageSounds();
    EXPECT_EQ(SoundMessageCount(), 0);
    EXPECT_EQ(VoiceOf("greet"), "");
}

}  // namespace
