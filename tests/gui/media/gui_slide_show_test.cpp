// Slide shows drawn on a 160 x 120 display on the test clock, 100 ms a frame: timed cross-fades,
// manual stepping, cuts where a fade would have no length, and the "photos" source with its
// captions kept beside their pictures.
#include <gtest/gtest.h>

#include <string>

#include "core/console/console_var.h"
#include "gui/texts/def_script.h"
#include "gui/media/gui_slide_show.h"
#include "platform/test_clock.h"
#include "tests/gui/screen_scripts/control_script_support.h"
#include "tests/gui/screens/gui_draw_support.h"
#include "tests/render/texture_test_support.h"

using namespace gui_test;

namespace {

constexpr DWORD kStart = 10000;
constexpr DWORD kRed = 0xFFFF0000u;
constexpr DWORD kGreen = 0xFF00FF00u;
constexpr DWORD kBlue = 0xFF0000FFu;

class SlideShows : public GuiDraw {
protected:
    void SetUp() override
    {
        GuiDraw::SetUp();
        ASSERT_TRUE(texture_test::WriteTga("component/gui/s_red.tga", 8, 8, kRed));
        ASSERT_TRUE(texture_test::WriteTga("component/gui/s_green.tga", 8, 8, kGreen));
        ASSERT_TRUE(texture_test::WriteTga("component/gui/s_blue.tga", 8, 8, kBlue));
        m_photos = CVarListFind("gs_photos");
        m_map = CVarListFind("dsmap");
        ASSERT_TRUE(m_photos && m_map);
        m_keptMap = m_map->String();
        // The photo list another test's mission left must not show here.
        m_photos->SetString("");
        PlatformTestClockStart(kStart);
        g_gui.frameTime = 0.1f;
        DefScriptsInit();
    }
    void TearDown() override
    {
        m_photos->SetString("");
        m_map->SetString(m_keptMap.c_str());
        PlatformTestClockStop();
        DestroyScriptCache();
        DefScriptsFree();
        GuiDraw::TearDown();
    }
    GuiSlideShow* Build(const std::string& keys)
    {
        GuiScreen* screen = BuildScreens(
            "<BRIEF>\n<SLIDESHOW>\nproperty name photos;\nproperty coord 0 0 1 0.5;\nproperty opacity 1;\n" + keys +
            "</SLIDESHOW>\n</BRIEF>\n");
        m_show = screen ? dynamic_cast<GuiSlideShow*>(screen->FindControl("photos")) : nullptr;
        return m_show;
    }
    // Draws frames 100 ms apart until that many milliseconds after the start; the colour of (80, 30).
    DWORD At(DWORD ms)
    {
        do {
            PlatformTestClockStart(kStart + m_now);
            NextFrame();
            m_show->Draw(0.0f, 0.0f, 1.0f, 1.0f);
            m_now += 100;
        } while (m_now <= ms);
        return Read().At(80, 30);
    }

    ConsoleVar* m_photos = nullptr;
    ConsoleVar* m_map = nullptr;
    std::string m_keptMap;
    GuiSlideShow* m_show = nullptr;
    DWORD m_now = 0;
};

TEST_F(SlideShows, ACrossFadeShowsEachPictureAloneForNineOfTenSeconds)
{
    ASSERT_NE(Build("property type 1;\nproperty images s_red s_green s_blue;\nproperty intervals 10 10 10;\n"),
              nullptr);
    ASSERT_EQ(m_show->ImageCount(), 3u);
    EXPECT_EQ(At(0), kRed);
    EXPECT_EQ(At(9000), kRed) << "alone for nine seconds";
    const DWORD mixed = At(9500);
    EXPECT_GT((mixed >> 16) & 0xFF, 0x20u);
    EXPECT_GT((mixed >> 8) & 0xFF, 0x20u) << "red fading into green";
    EXPECT_EQ(mixed & 0xFF, 0u);
    EXPECT_EQ(At(10100), kGreen);
    EXPECT_EQ(At(19000), kGreen);
    EXPECT_EQ(At(20100), kBlue);
    EXPECT_EQ(At(30100), kRed) << "wrapped";
    // Timed pictures are not stepped by hand.
    m_show->OnIncrement();
    EXPECT_EQ(m_show->current, 0u);
}

TEST_F(SlideShows, AnIntervalOfOneSecondCuts)
{
    for (const char* type : {"0", "1", "2"}) {
        ASSERT_NE(Build(std::string("property type ") + type +
                        ";\nproperty images s_red s_green;\nproperty intervals 1 1;\n"),
                  nullptr);
        m_now = 0;
        // The frame at one second still shows the first picture, then it changes.
        for (DWORD ms = 0; ms <= 1000; ms += 100)
            ASSERT_EQ(At(ms), kRed) << "type " << type << ", " << ms << " ms";
        for (DWORD ms = 1100; ms <= 2000; ms += 100)
            ASSERT_EQ(At(ms), kGreen) << "type " << type << ", " << ms << " ms";
        GuiShutdown();
    }
}

TEST_F(SlideShows, AManualShowStepsAndWrapsOnlyOnIncrementAndDecrement)
{
    ASSERT_NE(Build("property type 3;\nproperty images s_red s_green s_blue;\n"), nullptr);
    EXPECT_EQ(At(0), kRed);
    EXPECT_EQ(At(60000), kRed) << "time alone changes nothing";
    const struct {
        bool up;
        DWORD colour;
    } steps[] = {{true, kGreen}, {false, kRed}, {false, kBlue}, {true, kRed}, {true, kGreen}, {true, kBlue}};
    for (const auto& step : steps) {
        if (step.up)
            m_show->OnIncrement();
        else
            m_show->OnDecrement();
        EXPECT_EQ(At(m_now), step.colour);
    }
    m_show->OnActivate(nullptr);
    EXPECT_EQ(m_show->current, 0u) << "a manual show starts again on entry";
}

TEST_F(SlideShows, PhotosKeepTheirCaptionsAndWithoutIntervalsAreSteppedByHand)
{
    ASSERT_TRUE(WriteFileBytes("locale/eng/w64map.asc", "<s_red>Red</s_red><s_blue>Blue<br>sky</s_blue>"));
    m_map->SetString("w64map");
    ASSERT_NE(Build("property type 1;\nproperty source PHOTOS;\nproperty font none;\nproperty text_prop 0 0.75 5;\n"),
              nullptr);
    m_show->font = CellFont();

    // An empty list draws nothing.
    m_show->OnActivate(nullptr);
    EXPECT_EQ(m_show->ImageCount(), 0u);
    EXPECT_EQ(At(0), kBlack);
    for (DWORD word : Read().words)
        ASSERT_EQ(word, kBlack);

    m_photos->SetString("s_red  s_none s_blue");
    m_show->OnActivate(nullptr);
    ASSERT_EQ(m_show->ImageCount(), 3u);
    EXPECT_EQ(m_show->IntervalCount(), 0u);
    ASSERT_EQ(m_show->CaptionCount(), 3u) << "one caption a picture";
    EXPECT_STREQ(m_show->captions[0].Text(), "Red");
    EXPECT_STREQ(m_show->captions[1].Text(), "");
    EXPECT_STREQ(m_show->captions[2].Text(), "Blue\\nsky");

    EXPECT_EQ(At(30000), kRed) << "no interval: never timed";
    EXPECT_EQ(Read().At(20, 94), 0xFFFFFFFFu) << "\"Red\": three cells from (0, 90)";
    EXPECT_EQ(Read().At(28, 94), kBlack);
    m_show->OnIncrement();
    EXPECT_EQ(At(m_now), kBlack) << "a photo without a picture shows nothing, nor a caption";
    EXPECT_EQ(Read().At(4, 94), kBlack);
    m_show->OnIncrement();
    EXPECT_EQ(At(m_now), kBlue);
    EXPECT_EQ(Read().At(28, 94), 0xFFFFFFFFu) << "\"Blue\"";
    EXPECT_EQ(Read().At(20, 102), 0xFFFFFFFFu) << "\"sky\" on the next line";
    m_show->OnIncrement();
    EXPECT_EQ(At(m_now), kRed);
}

}  // namespace
