// Scroll indicators over a text box and effect overlays, drawn on a 160 x 120 display: the knob's
// part of the bar, an unbound indicator, the effect's scrolling and its phase carried across a
// switch of screens, and an effect that the pointer never hits.
#include <gtest/gtest.h>

#include <string>

#include "gui/controls/gui_effect.h"
#include "gui/controls/gui_image.h"
#include "gui/controls/gui_scroll_indicators.h"
#include "gui/controls/gui_text_box.h"
#include "tests/gui/screen_scripts/control_script_support.h"
#include "tests/gui/screens/gui_draw_support.h"

using namespace gui_test;

namespace {

constexpr DWORD kRed = 0xFFFF0000u;
constexpr DWORD kBlue = 0xFF0000FFu;

// An uncompressed 32-bit TGA, rows from the top: the left half red, the right half blue.
std::string HalvesTga(int width, int height)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(width);
    bytes[14] = static_cast<char>(height);
    bytes[16] = 32;
    bytes[17] = 0x28;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const DWORD argb = x < width / 2 ? kRed : kBlue;
            for (int shift = 0; shift < 32; shift += 8)
                bytes += static_cast<char>((argb >> shift) & 0xFF);
        }
    }
    return bytes;
}

class Indicators : public GuiDraw {
protected:
    void SetUp() override
    {
        GuiDraw::SetUp();
        m_screen = std::make_unique<GuiScreen>("TEXTS");
        m_box = new GuiTextBox();
        m_box->SetName("story");
        m_box->font = CellFont();
        m_box->textSize = 5.0f;
        m_box->width = 0.75f;
        m_box->height = 40.0f / kDisplayHeight;
        m_screen->AddControl(m_box);
        // The bar: columns 144 to 159, rows 0 to 59, a half-bright background under a white knob.
        m_bar = new GuiScrollBar();
        m_bar->background.texture = White();
        m_bar->background.opacity = 0.5f;
        m_bar->background.x = 0.9f;
        m_bar->background.width = 0.1f;
        m_bar->background.height = 0.5f;
        m_bar->knob.texture = White();
        m_screen->AddControl(m_bar);
        g_gui.currentScreen = m_screen.get();
    }
    void TearDown() override
    {
        g_gui.currentScreen = nullptr;
        m_screen.reset();
        GuiDraw::TearDown();
    }
    // The text of count lines, drawn, then the bar; the rows of column 150 that are white.
    std::string KnobRows()
    {
        NextFrame();
        RenderSetTexture(0, nullptr);
        m_box->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        m_bar->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        const render_test::Pixels pixels = Read();
        int first = -1, last = -1;
        for (int y = 0; y < kDisplayHeight; ++y) {
            if (pixels.At(150, static_cast<UINT>(y)) == 0xFFFFFFFFu) {
                if (first < 0)
                    first = y;
                last = y;
            }
        }
        return std::to_string(first) + ".." + std::to_string(last);
    }
    void Lines(int count)
    {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += i ? "\\nA" : "A";
        m_box->SetSourceText(text.c_str());
        m_box->OnActivate(nullptr);
    }

    std::unique_ptr<GuiScreen> m_screen;
    GuiTextBox* m_box = nullptr;
    GuiScrollBar* m_bar = nullptr;
};

TEST_F(Indicators, TheKnobShowsThePartOfTheTextInView)
{
    m_bar->boundName.Assign("STORY");
    Lines(3);
    EXPECT_EQ(KnobRows(), "0..59") << "a text that fits: the whole bar";
    // Ten lines of 8 pixels in a box of 40: half the text in view.
    Lines(10);
    EXPECT_EQ(KnobRows(), "0..29");
    // One line down moves the knob by 8 / 80 of the 60-pixel bar.
    m_box->OnScrollDown();
    EXPECT_EQ(KnobRows(), "6..35");
    for (int i = 0; i < 10; ++i)
        m_box->OnScrollDown();
    EXPECT_EQ(KnobRows(), "30..59");
    const GuiTextRange range = m_box->VisibleRange();
    EXPECT_FLOAT_EQ(range.start, 0.5f);
    EXPECT_FLOAT_EQ(range.end, 1.0f);
}

TEST_F(Indicators, AnIndicatorBoundToNothingDrawsNothing)
{
    Lines(10);
    for (const char* name : {"", "nothing_of_that_name"}) {
        m_bar->boundName.Assign(name);
        NextFrame();
        m_bar->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        const render_test::Pixels pixels = Read();
        for (DWORD word : pixels.words)
            ASSERT_EQ(word, kBlack) << "bound to '" << name << "'";
    }
}

class Effects : public GuiDraw {
protected:
    void SetUp() override
    {
        GuiDraw::SetUp();
        ASSERT_TRUE(WriteFileBytes("component/gui/halves.tga", HalvesTga(8, 8)));
    }
    void TearDown() override
    {
        g_gui.currentScreen = nullptr;
        DestroyScriptCache();
        GuiDraw::TearDown();
    }
    // The effect drawn alone (additive over black, texels not blended with their neighbours): the
    // colours at columns 40 and 120 of row 60.
    static std::pair<DWORD, DWORD> Drawn(GuiScreen* screen, GuiEffect* effect)
    {
        g_gui.currentScreen = screen;
        RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
        RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
        effect->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        const render_test::Pixels pixels = render_test::ReadBackBuffer(g_render.device);
        return {pixels.At(40, 60), pixels.At(120, 60)};
    }
    static GuiEffect* EffectOf(GuiScreen* screen)
    {
        for (u32_t i = 0; i < screen->ControlCount(); ++i)
            if (auto* effect = dynamic_cast<GuiEffect*>(screen->Control(i)))
                return effect;
        return nullptr;
    }
};

const char* const kTwoScreens = R"(<FIRST>
<IMG>
property name picture;
property coord 0 0 1 1;
property zindex 4;
</IMG>
<EFFECT>
property name shine;
property bind picture;
property tex halves;
property opacity 1;
property movecoords 0.5 0;
</EFFECT>
</FIRST>
<SECOND>
<IMG>
property name picture;
property coord 0 0 1 1;
</IMG>
<EFFECT>
property name shine;
property bind picture;
property tex halves;
property opacity 1;
property movecoords 0.5 0;
property inherit shine;
</EFFECT>
</SECOND>
)";

TEST_F(Effects, SpeedHalfRepeatsEveryTwoSecondsAndALinkCarriesThePhaseAcrossASwitch)
{
    GuiScreen* first = BuildScreens(kTwoScreens);
    ASSERT_NE(first, nullptr);
    GuiScreen* second = GuiFindScreen("SECOND");
    ASSERT_NE(second, nullptr);
    GuiEffect* shine = EffectOf(first);
    GuiEffect* linked = EffectOf(second);
    ASSERT_TRUE(shine && linked);
    EXPECT_TRUE(linked->linked);
    EXPECT_FALSE(shine->ownBox);

    g_gui.frameTime = 0.1f;
    EXPECT_EQ(Drawn(first, shine), std::make_pair(kRed, kBlue)) << "phase 0: the texture once across";
    EXPECT_EQ(shine->GetZIndex(), 4) << "the bound control's layer";
    for (int frame = 1; frame < 10; ++frame) {
        NextFrame();
        Drawn(first, shine);
    }
    NextFrame();
    EXPECT_EQ(Drawn(first, shine), std::make_pair(kBlue, kRed)) << "one second: half a texture on";
    for (int frame = 11; frame < 15; ++frame) {
        NextFrame();
        Drawn(first, shine);
    }
    EXPECT_NEAR(shine->phaseU, 0.75f, 1e-4f);

    // The second screen entered from the first goes on from 0.75 where its own effect stood at 0.
    second->Activate(first);
    EXPECT_NEAR(linked->phaseU, 0.75f, 1e-4f);
    for (int frame = 15; frame < 20; ++frame) {
        NextFrame();
        Drawn(second, linked);
    }
    NextFrame();
    EXPECT_EQ(Drawn(second, linked), std::make_pair(kRed, kBlue)) << "two seconds in all: the start again";

    // Entered from a screen without a linked effect it keeps its own phase.
    const float kept = linked->phaseU;
    GuiScreen none("NONE");
    second->Activate(&none);
    EXPECT_EQ(linked->phaseU, kept);
}

TEST_F(Effects, AnEffectIsNeverHit)
{
    GuiScreen* first = BuildScreens(kTwoScreens);
    ASSERT_NE(first, nullptr);
    GuiEffect* shine = EffectOf(first);
    RECT stale = {10, 10, 100, 100};
    shine->GetRect(&stale);
    EXPECT_LT(stale.right, stale.left);
    EXPECT_LT(stale.bottom, stale.top);
    // Over the picture the picture is hit; an effect above it and alone is not, at any point.
    shine->SetZIndex(9);
    for (POINT p : {POINT{0, 0}, POINT{80, 60}, POINT{159, 119}})
        EXPECT_EQ(GuiControlAtPoint(first, p.x, p.y), first->FindControl("picture")) << p.x << "," << p.y;
    GuiScreen alone("ALONE");
    auto* overlay = new GuiEffect();
    overlay->SetZIndex(9);
    alone.AddControl(overlay);
    for (POINT p : {POINT{0, 0}, POINT{-1, -1}, POINT{80, 60}})
        EXPECT_EQ(GuiControlAtPoint(&alone, p.x, p.y), nullptr) << p.x << "," << p.y;
}

}  // namespace
