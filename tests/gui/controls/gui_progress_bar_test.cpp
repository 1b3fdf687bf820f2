// Progress bars built from a screen script and drawn on a 160 x 120 display: the steps and their
// limits, and the fill cut from its texture over value percent of the bar (past the bar for a value
// set above 100 from the console).
#include <gtest/gtest.h>

#include <string>

#include "core/console/console.h"
#include "core/console/console_var.h"
#include "gui/controls/gui_progress_bar.h"
#include "tests/gui/screen_scripts/control_script_support.h"
#include "tests/gui/screens/gui_draw_support.h"

using namespace gui_test;

namespace {

constexpr DWORD kRed = 0xFFFF0000u;
constexpr DWORD kBlue = 0xFF0000FFu;
constexpr DWORD kGrey = 0xFF404040u;

ConsoleVar g_progress("w64_progress", CVAR_INT, "0");

// An uncompressed 32-bit TGA, rows from the top, the left half one colour and the right another.
std::string TwoColourTga(int width, int height, DWORD left, DWORD right)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(width);
    bytes[14] = static_cast<char>(height);
    bytes[16] = 32;
    bytes[17] = 0x28;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int shift = 0; shift < 32; shift += 8)
                bytes += static_cast<char>(((x < width / 2 ? left : right) >> shift) & 0xFF);
    return bytes;
}

class ProgressBars : public GuiDraw {
protected:
    void SetUp() override
    {
        GuiDraw::SetUp();
        ASSERT_TRUE(WriteFileBytes("component/gui/dark.tga", TwoColourTga(8, 8, kGrey, kGrey)));
        ASSERT_TRUE(WriteFileBytes("component/gui/fill.tga", TwoColourTga(8, 8, kRed, kBlue)));
        // The bar covers columns 40 to 119 and rows 60 to 71.
        GuiScreen* screen = BuildScreens(R"(<LOADING>
<PROGRESSBAR>
property name bar;
property coord 0.25 0.5 0.5 0.1;
property bind_var w64_progress;
property textures dark fill;
property zindex 2;
</PROGRESSBAR>
</LOADING>
)");
        ASSERT_NE(screen, nullptr);
        m_bar = dynamic_cast<GuiProgressBar*>(screen->FindControl("bar"));
        ASSERT_NE(m_bar, nullptr);
    }
    void TearDown() override
    {
        g_progress.SetInt(0);
        DestroyScriptCache();
        GuiDraw::TearDown();
    }
    // Row 65 from column 30 to 159 in steps of 10: one letter a column, R red, B blue, g grey, . black.
    std::string Row()
    {
        NextFrame();
        RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
        RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
        m_bar->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        const render_test::Pixels pixels = Read();
        std::string row;
        for (UINT x = 35; x < 160; x += 10) {
            const DWORD p = pixels.At(x, 65);
            row += p == kRed ? 'R' : p == kBlue ? 'B' : p == kGrey ? 'g' : p == kBlack ? '.' : '?';
        }
        return row;
    }

    GuiProgressBar* m_bar = nullptr;
};

TEST_F(ProgressBars, StepsOfTenClampOnlyAtTheirEnds)
{
    struct Case {
        s32_t value;
        bool raise;
        s32_t expected;
    };
    const Case cases[] = {{95, true, 100},  {5, false, 0},   {50, true, 60},   {50, false, 40},
                          {150, true, 100}, {-20, false, 0}, {100, true, 100}, {0, false, 0}};
    for (const Case& c : cases) {
        g_progress.SetInt(c.value);
        if (c.raise)
            m_bar->OnIncrement();
        else
            m_bar->OnDecrement();
        EXPECT_EQ(g_progress.Int(), c.expected) << c.value << (c.raise ? " raised" : " lowered");
    }
    GuiProgressBar unbound;
    unbound.OnIncrement();
    unbound.OnDecrement();
}

TEST_F(ProgressBars, TheFillIsCutFromItsTextureOverValuePercent)
{
    // Columns 35, 45, ... 155: the bar spans 45 to 115.
    g_progress.SetInt(0);
    EXPECT_EQ(Row(), ".gggggggg....") << "the background only";
    g_progress.SetInt(50);
    EXPECT_EQ(Row(), ".RRRRgggg....") << "the texture's left half over half the bar, not squeezed";
    g_progress.SetInt(100);
    EXPECT_EQ(Row(), ".RRRRBBBB....");
    ConExec("w64_progress 150", true);
    ASSERT_EQ(g_progress.Int(), 150);
    EXPECT_EQ(Row(), ".RRRRBBBBRRRR") << "past the bar, the texture repeated";
}

}  // namespace
