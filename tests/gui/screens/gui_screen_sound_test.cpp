// A screen's own sound on OpenAL Soft's null driver: entering the screen starts it looped and an
// entry while it plays does not restart it, StopSounds stops it, and the GUI's music volume reaches
// it; GuiPlaySound makes instances only of waves that exist.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "gui/screens/gui.h"
#include "gui/screens/gui_screen_sounds.h"
#include "gui/screens/gui_textures.h"
#include "platform/audio.h"
#include "support/temp_dir.h"
#include "support/wave_bytes.h"

namespace {

class GuiScreenSound : public TempDirTest {
protected:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "null", 0);
        TempDirTest::SetUp();
        m_keptVolume = GuiGetScreenSoundVolume();
    }
    void TearDown() override
    {
        GuiShutdown();
        SoundShutdown();
        GuiSetScreenSoundVolume(m_keptVolume);
        TempDirTest::TearDown();
    }

    s32_t m_keptVolume = 0;
};

TEST_F(GuiScreenSound, EntryPlaysItLoopedOnceAndStopSoundsStopsIt)
{
    ASSERT_TRUE(WriteFileBytes(TempPath() + "/sound/menu_loop.wav", ShortWaveBytes()));
    ASSERT_TRUE(SoundInit(nullptr));
    EXPECT_EQ(GuiPlaySound("no_such_wave", true), nullptr);
    SoundInstance* sound = GuiPlaySound("menu_loop", true);
    ASSERT_NE(sound, nullptr);
    EXPECT_FALSE(sound->IsPlaying());  // made, not started

    auto* screen = new GuiScreen("MUSIC");
    screen->sound = sound;
    GuiAddScreen(screen);
    screen->Activate(screen);
    EXPECT_TRUE(sound->IsPlaying());
    const IDirectMusicSegmentState* playing = sound->state;
    screen->Activate(screen);
    EXPECT_EQ(sound->state, playing) << "an entry while it plays does not start it again";

    GuiSetScreenSoundVolume(-1500);
    LONG volume = 0;
    ASSERT_NE(sound->buffer, nullptr);
    sound->buffer->GetVolume(&volume);
    EXPECT_EQ(volume, -1500);

    screen->StopSounds();
    EXPECT_FALSE(sound->IsPlaying());
}

}  // namespace
