// The message box on the test clock: typing at most one character a frame, the 2500 ms lock, texts
// it ignores, the fade of a released text, entry of its screen, and what it draws (read back: the
// cells of its solid font, exact colours).
#include <gtest/gtest.h>

#include <string>

#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "gui/screens/gui_textures.h"
#include "gui/controls/gui_tooltip.h"
#include "platform/test_clock.h"
#include "support/files.h"
#include "support/wave_bytes.h"
#include "tests/gui/screens/gui_draw_support.h"

using namespace gui_test;

namespace {

constexpr DWORD kStart = 0xC000;  // the caret's blink bit is clear for the first 256 ms

class GuiMessageBox : public GuiDraw {
protected:
    void SetUp() override
    {
        GuiDraw::SetUp();
        PlatformTestClockStart(kStart);
        g_gui.frameTime = 0.0f;
    }
    void TearDown() override
    {
        PlatformTestClockStop();
        GuiDraw::TearDown();
    }
    // One frame of the given length.
    void Frame(GuiToolTip& box, DWORD milliseconds)
    {
        PlatformTestClockAdvance(milliseconds);
        g_gui.frameTime = static_cast<float>(milliseconds) * 0.001f;
        box.Draw();
    }
};

TEST_F(GuiMessageBox, TypesAtMostOneCharacterAFrame)
{
    GuiToolTip box;
    box.SetText("Hello", false);
    EXPECT_EQ(box.shown, 0u);
    const struct {
        DWORD frame;
        u32_t shown;
    } frames[] = {{5000, 1}, {21, 2}, {20, 2}, {1, 3}, {100000, 4}, {30, 5}, {30, 5}};
    for (const auto& f : frames) {
        Frame(box, f.frame);
        EXPECT_EQ(box.shown, f.shown) << f.frame;
    }
}

TEST_F(GuiMessageBox, LockedMessageResistsTooltipsFor2500Ms)
{
    GuiToolTip box;
    box.SetText("written", true);
    PlatformTestClockAdvance(2499);
    box.Unlock(false);
    box.SetText("tooltip", false);
    EXPECT_STREQ(box.text, "written");
    PlatformTestClockAdvance(2);
    box.Draw();  // the lock has run out
    EXPECT_FALSE(box.locked);
    box.Unlock(false);
    box.SetText("tooltip", false);
    EXPECT_STREQ(box.text, "tooltip");

    // Force releases a lock at once.
    box.SetText("again", true);
    EXPECT_STREQ(box.text, "again");
    box.Unlock(true);
    box.SetText("forced over", false);
    EXPECT_STREQ(box.text, "forced over");
}

TEST_F(GuiMessageBox, IgnoresTheSameTextInAnotherCaseAndTextsTooLong)
{
    GuiToolTip box;
    box.SetText("Hello", false);
    for (int i = 0; i < 3; ++i)
        Frame(box, 30);
    ASSERT_EQ(box.shown, 3u);
    box.SetText("HELLO", false);
    EXPECT_STREQ(box.text, "Hello");
    EXPECT_EQ(box.shown, 3u);

    const std::string tooLong(256, 'x');
    box.SetText(tooLong.c_str(), false);
    EXPECT_STREQ(box.text, "Hello");
    const std::string longest(255, 'y');
    box.SetText(longest.c_str(), false);
    EXPECT_EQ(std::string(box.text), longest);
    box.SetText(nullptr, false);
    EXPECT_EQ(std::string(box.text), longest);
}

TEST_F(GuiMessageBox, ReleasedMessageFadesOutInFourFramesOfATenthOfASecond)
{
    GuiToolTip box;
    box.SetText("fading", false);
    Frame(box, 30);
    box.Unlock(false);
    for (int frame = 1; frame <= 3; ++frame) {
        Frame(box, 100);
        EXPECT_STREQ(box.text, "fading") << frame;
        EXPECT_NEAR(box.currentOpacity, 1.0f - 0.3f * static_cast<float>(frame), 1e-4f) << frame;
    }
    Frame(box, 100);
    EXPECT_STREQ(box.text, "");
    EXPECT_EQ(box.shown, 0u);
}

TEST_F(GuiMessageBox, EnteringItsScreenClearsItWithTheLock)
{
    auto* screen = new GuiScreen("TIPS");
    auto* box = new GuiToolTip();
    screen->SetMessageBox(box);
    GuiAddScreen(screen);
    box->SetText("hover tip", false);
    screen->Activate(screen);
    EXPECT_STREQ(box->text, "");
    PlatformTestClockAdvance(2000);
    box->Unlock(false);
    box->SetText("next tip", false);
    EXPECT_STREQ(box->text, "");
    PlatformTestClockAdvance(600);
    box->SetText("next tip", false);
    EXPECT_STREQ(box->text, "next tip");
}

// The typing sound plays while characters are still to come, from the first one typed, and stops
// when the text is out; leaving the screen stops it too.
TEST_F(GuiMessageBox, TypingSoundPlaysWhileTheTextIsTypedOut)
{
    ASSERT_TRUE(WriteFileBytes("sound/typing.wav", ShortWaveBytes()));
    ASSERT_TRUE(SoundInit(nullptr));
    auto* screen = new GuiScreen("TYPING");
    auto* box = new GuiToolTip();
    box->typingSound = GuiPlaySound("typing", true);
    ASSERT_NE(box->typingSound, nullptr);
    screen->SetMessageBox(box);
    GuiAddScreen(screen);
    box->SetText("abc", false);
    const struct {
        u32_t shownAfter;
        bool playing;
    } frames[] = {{1, false}, {2, true}, {3, true}, {3, false}};
    for (const auto& f : frames) {
        Frame(*box, 30);
        EXPECT_EQ(box->shown, f.shownAfter);
        EXPECT_EQ(box->soundPlaying, f.playing) << f.shownAfter;
        EXPECT_EQ(box->typingSound->IsPlaying(), f.playing) << f.shownAfter;
    }
    box->SetText("again", false);
    Frame(*box, 30);
    Frame(*box, 30);
    EXPECT_TRUE(box->typingSound->IsPlaying());
    screen->DeInit();
    EXPECT_FALSE(box->typingSound->IsPlaying());
    GuiShutdown();
    SoundShutdown();
}

TEST_F(GuiMessageBox, DrawsItsTypedCharactersAndWithoutAFontNothingOfItsText)
{
    GuiToolTip box;
    box.rect[0] = 0.25f;
    box.rect[1] = 0.5f;
    box.rect[2] = 0.5f;
    box.rect[3] = 0.25f;   // 40..119 by 60..89, middle row 75
    box.fontSize = 10.0f;  // cells of 16 x 16 centred on row 75: rows 67..82
    box.textColour = 0xFF00FF00u;
    box.SetText("ABC", false);
    Frame(box, 30);
    Frame(box, 30);  // two characters typed; the caret blinks off at these ticks
    ASSERT_EQ((GetTickCount() & 0x100u), 0u);
    EXPECT_EQ(Read().At(45, 70), kBlack);  // no font: nothing drawn

    NextFrame();
    box.font = CellFont();
    Frame(box, 1);  // too soon for a third character
    const render_test::Pixels pixels = Read();
    EXPECT_EQ(pixels.At(40, 67), 0xFF00FF00u);
    EXPECT_EQ(pixels.At(71, 82), 0xFF00FF00u);
    EXPECT_EQ(pixels.At(72, 75), kBlack);  // the third is not typed yet
    EXPECT_EQ(pixels.At(39, 75), kBlack);
    EXPECT_EQ(pixels.At(45, 66), kBlack);
    EXPECT_EQ(pixels.At(45, 83), kBlack);
}

}  // namespace
