// A game message plays the voice named by the part of its key after the last ".", and a key without
// "." plays none, even when a voice of that whole name exists.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/files/def_file.h"
#include "core/sound/sound_sets.h"
#include "game/mission/game_messages.h"
#include "gui/gui_cvars.h"
#include "tests/core/sound/sound_fixture.h"

namespace {

// A short mono 16-bit wave of silence.
std::string SilentWave()
{
    const u32_t samples = 441, dataBytes = samples * 2;
    std::string wave = "RIFF";
    const auto put32 = [&wave](u32_t v) {
        for (int i = 0; i < 4; ++i)
            wave.push_back(static_cast<char>(v >> (8 * i)));
    };
    const auto put16 = [&wave](u32_t v) {
        wave.push_back(static_cast<char>(v));
        wave.push_back(static_cast<char>(v >> 8));
    };
    put32(36 + dataBytes);
    wave += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(44100);
    put32(44100 * 2);
    put16(2);
    put16(16);
    wave += "data";
    put32(dataBytes);
    wave.append(dataBytes, '\0');
    return wave;
}

class GameMessageSound : public SoundTest {
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        WriteFileBytes("locale/_common/messages.asc", "greet \"Hello\" hello\n");
        WriteFileBytes("sound/voice/_common/hello.wav", SilentWave());
        StartSound();
        LoadMessageSounds();
    }
    void TearDown() override
    {
        ClearMessageSounds();
        DefFileFreeAll();
        SoundTest::TearDown();
    }
};

TEST_F(GameMessageSound, OnlyTheKeysLastPartNamesTheVoice)
{
    SoundInstance* voice = FindMessageSound(EngineString("greet"));
    ASSERT_NE(voice, nullptr);
    GameShowMessage(nullptr, "greet");
    EXPECT_FALSE(voice->playing) << "a key without '.' plays nothing";
    GameShowMessage("radio", "messages.greet");
    EXPECT_TRUE(voice->playing);
}

}  // namespace
