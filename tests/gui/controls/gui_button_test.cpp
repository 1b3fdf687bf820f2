// Buttons built from screen scripts, read back from the offscreen device on a 160 x 120 display
// with a font of solid 8 x 8 cells, their sounds on OpenAL Soft's null driver: a false condition
// hides and silences a button that still takes its rectangle, the glow after the pointer left, the
// picture under a caption placed by its alignment, and the click's targets.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>

#include "core/console/console_var.h"
#include "core/files/script_file.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "gui/controls/gui_button.h"
#include "gui/screens/gui_live_values.h"
#include "gui/screens/gui_textures.h"
#include "gui/screen_scripts/screen_script_parser.h"
#include "support/files.h"
#include "support/wave_bytes.h"
#include "tests/gui/screens/gui_draw_support.h"

using namespace gui_test;

namespace {

constexpr DWORD kRed = 0xFFFF0000u;
constexpr DWORD kBlue = 0xFF0000FFu;
// Size 5 on a 160-wide display is scale 1: cells of 8 x 8 pixels.
constexpr const char* kCaptionSize = "5";

// An uncompressed 32-bit TGA of one colour, rows from the top.
std::string SolidTga(int width, int height, DWORD argb)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(width & 0xFF);
    bytes[13] = static_cast<char>(width >> 8);
    bytes[14] = static_cast<char>(height & 0xFF);
    bytes[15] = static_cast<char>(height >> 8);
    bytes[16] = 32;
    bytes[17] = 0x28;
    for (int i = 0; i < width * height; ++i) {
        bytes += static_cast<char>(argb & 0xFF);
        bytes += static_cast<char>((argb >> 8) & 0xFF);
        bytes += static_cast<char>((argb >> 16) & 0xFF);
        bytes += static_cast<char>(argb >> 24);
    }
    return bytes;
}

// Notes the events a click sends it.
class RefreshCounter : public GuiControl {
public:
    explicit RefreshCounter(const char* controlName) { SetName(controlName); }
    void RefreshData() override { ++refreshed; }
    int refreshed = 0;
};

s32_t g_handlerCalls = 0;
s32_t g_handlerResult = 0;
std::string g_handlerArgument;
s32_t NotingHandler(const char* arguments)
{
    ++g_handlerCalls;
    g_handlerArgument = arguments ? arguments : "(null)";
    return g_handlerResult;
}
ConsoleVar g_testCommand("gui_test_button_command", NotingHandler);
ConsoleVar g_testChoice("gui_test_button_choice", CVAR_STRING, "none");
ConsoleVar g_testPicture("gui_test_button_picture", CVAR_STRING, "");

class GuiButtons : public GuiDraw {
protected:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "null", 0);
        GuiDraw::SetUp();
        ASSERT_TRUE(WriteFileBytes("sound/gui/click.wav", ShortWaveBytes()));
        ASSERT_TRUE(WriteFileBytes("sound/gui/hover.wav", ShortWaveBytes()));
        ASSERT_TRUE(WriteFileBytes("component/gui/red.tga", SolidTga(4, 4, kRed)));
        ASSERT_TRUE(WriteFileBytes("pics/blue.tga", SolidTga(4, 4, kBlue)));
        ASSERT_TRUE(SoundInit(nullptr));
        m_account = as_accnameText();
        CVarListFind("as_accname")->SetString("");
        g_testChoice.SetString("none");
        g_handlerCalls = 0;
        g_handlerResult = 0;
    }
    void TearDown() override
    {
        CVarListFind("as_accname")->SetString(m_account.c_str());
        g_gui.hitInSubscreen = false;
        g_gui.frameTime = 0.0f;
        GuiDraw::TearDown();
        SoundShutdown();
        DestroyScriptCache();
    }
    static std::string as_accnameText() { return CVarListFind("as_accname")->String(); }

    // Builds the screens of the script text and makes the first current.
    GuiScreen* Build(const std::string& text)
    {
        EXPECT_TRUE(WriteFileBytes("script/buttons.scr", text));
        ScriptFile* file = GetScriptFile("buttons", true);
        EXPECT_NE(file, nullptr);
        if (!file)
            return nullptr;
        for (ScriptSection* section : file->Root()->children)
            ScreenScriptParser(section, nullptr);
        g_gui.currentScreen = GuiFindScreen(file->Root()->children.at(0)->Name());
        return g_gui.currentScreen;
    }
    static GuiButton* Button(GuiScreen* screen, u32_t index)
    {
        return screen ? dynamic_cast<GuiButton*>(screen->Control(index)) : nullptr;
    }

private:
    std::string m_account;
};

bool AllBlack(const render_test::Pixels& pixels)
{
    for (DWORD word : pixels.words)
        if (word != kBlack)
            return false;
    return true;
}

TEST_F(GuiButtons, FalseConditionDrawsNothingPlaysOnlyTheClickAndKeepsItsRectangle)
{
    GuiScreen* screen = Build(
        "<MAIN>\n<BUTTON> property coord 0.25 0.25 0.5 0.5; property tex red; "
        "property label AB; property condition logged_on; property call OTHER; "
        "property sel gui_test_button_choice picked; "
        "property call_fn gui_test_button_command; </BUTTON>\n</MAIN>\n"
        "<OTHER>\n</OTHER>\n");
    GuiButton* button = Button(screen, 0);
    ASSERT_NE(button, nullptr);
    ASSERT_NE(button->picture.texture, nullptr);
    ASSERT_NE(button->hoverSound, nullptr) << "default sounds loaded without keys";
    ASSERT_NE(button->clickSound, nullptr);
    button->font = CellFont();

    button->OnMouse(GUI_MOUSE_NONE, 80, 60, 0, 0);
    button->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_TRUE(AllBlack(Read()));
    EXPECT_FALSE(button->hoverSound->IsPlaying());
    EXPECT_FLOAT_EQ(button->highlight, 0.0f);
    RECT rect = {};
    button->GetRect(&rect);
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(rect.right, 120);
    EXPECT_EQ(rect.bottom, 90);

    button->OnClick(80, 60);
    EXPECT_TRUE(button->clickSound->IsPlaying());
    EXPECT_FALSE(button->hoverSound->IsPlaying());
    EXPECT_EQ(g_gui.currentScreen, screen);
    EXPECT_STREQ(g_testChoice.String(), "none");
    EXPECT_EQ(g_handlerCalls, 0);

    // Once the condition holds, the same button hovers with its sound once per visit and clicks
    // through: selection, handler with "-m", then the screen.
    CVarListFind("as_accname")->SetString("someone");
    button->OnMouse(GUI_MOUSE_NONE, 80, 60, 0, 0);
    EXPECT_TRUE(button->hoverSound->IsPlaying());
    EXPECT_TRUE(button->hoverSoundPlayed);
    button->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_TRUE(button->hoverSoundPlayed) << "still under the pointer";
    button->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_FALSE(button->hoverSoundPlayed) << "left: the next visit plays it again";
    button->OnClick(80, 60);
    EXPECT_STREQ(g_testChoice.String(), "picked");
    EXPECT_EQ(g_handlerCalls, 1);
    EXPECT_EQ(g_handlerArgument, "-m");
    ASSERT_NE(g_gui.currentScreen, nullptr);
    EXPECT_STREQ(g_gui.currentScreen->name.Text(), "OTHER");
}

TEST_F(GuiButtons, GlowFadesToAboutHalfHalfASecondAfterThePointerLeft)
{
    GuiScreen* screen = Build(
        "<MAIN>\n<BUTTON> property coord 0.25 0.25 0.5 0.5; property label AB; "
        "property opacity 0; property fontsize " +
        std::string(kCaptionSize) + "; </BUTTON>\n</MAIN>\n");
    GuiButton* button = Button(screen, 0);
    ASSERT_NE(button, nullptr);
    button->font = CellFont();
    g_gui.frameTime = 0.1f;
    button->OnMouse(GUI_MOUSE_NONE, 80, 60, 0, 0);
    button->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(Read().At(75, 60), 0xFFFFFFFFu) << "full glow while hovered; the plain caption is clear";
    for (int frame = 0; frame < 5; ++frame) {
        NextFrame();
        button->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    }
    const DWORD glow = Read().At(75, 60);
    EXPECT_TRUE(render_test::ColourNear(glow, 0xFF7F7F7Fu, 2)) << std::hex << glow;
    EXPECT_EQ(Read().At(71, 60), kBlack);
}

TEST_F(GuiButtons, CaptionStandsOverThePictureByItsAlignment)
{
    const struct {
        const char* talign;
        int left;  // first column of "AB" (16 pixels) over the picture's columns 40 to 119
    } cases[] = {{"centre", 72}, {"RIGHT", 104}, {"left", 40}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.talign);
        GuiShutdown();
        NextFrame();
        GuiScreen* screen = Build(std::string("<MAIN>\n<BUTTON> property coord 0.25 0.25 0.5 0.5; property tex red; "
                                              "property label AB; property color ff0000ff; property fontsize ") +
                                  kCaptionSize + "; property talign " + c.talign + "; </BUTTON>\n</MAIN>\n");
        GuiButton* button = Button(screen, 0);
        ASSERT_NE(button, nullptr);
        button->font = CellFont();
        button->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        const render_test::Pixels pixels = Read();
        // The picture fills its box; the caption's 8 rows are centred on the box's middle, 60.
        EXPECT_EQ(pixels.At(40, 30), kRed);
        EXPECT_EQ(pixels.At(119, 89), kRed);
        EXPECT_EQ(pixels.At(39, 60), kBlack);
        EXPECT_EQ(pixels.At(120, 60), kBlack);
        EXPECT_EQ(pixels.At(c.left, 56), kBlue);
        EXPECT_EQ(pixels.At(c.left + 15, 63), kBlue);
        EXPECT_EQ(pixels.At(c.left + 8, 55), kRed);
        EXPECT_EQ(pixels.At(c.left + 8, 64), kRed);
        if (c.left > 40) {
            EXPECT_EQ(pixels.At(c.left - 1, 60), kRed);
        }
        if (c.left + 16 < 120) {
            EXPECT_EQ(pixels.At(c.left + 16, 60), kRed);
        }
    }
}

TEST_F(GuiButtons, ClickTargetsSendEventsSwitchScreensOrSubscreensAndSetTheExitAction)
{
    GuiScreen* screen = Build(
        "<MAIN>\n"
        "<BUTTON> property call pic.RefreshData; </BUTTON>\n"
        "<BUTTON> property call inner.RefreshData; </BUTTON>\n"
        "<BUTTON> property call SIDE; </BUTTON>\n"
        "<BUTTON> property call PREVIOUS; </BUTTON>\n"
        "<BUTTON> property call SIDE; property call_fn gui_test_button_command; </BUTTON>\n"
        "</MAIN>\n<SUB>\n</SUB>\n<SIDE>\n</SIDE>\n");
    ASSERT_NE(screen, nullptr);
    auto* pic = new RefreshCounter("pic");
    screen->AddControl(pic);
    GuiScreen* sub = GuiFindScreen("SUB");
    auto* inner = new RefreshCounter("inner");
    sub->AddControl(inner);
    screen->subscreen = sub;

    Button(screen, 0)->OnClick(0, 0);
    Button(screen, 1)->OnClick(0, 0);
    EXPECT_EQ(pic->refreshed, 1);
    EXPECT_EQ(inner->refreshed, 1) << "found in the subscreen";
    EXPECT_EQ(g_gui.currentScreen, screen);

    // In the subscreen a screen target replaces the subscreen.
    g_gui.hitInSubscreen = true;
    Button(screen, 2)->OnClick(0, 0);
    EXPECT_EQ(g_gui.currentScreen, screen);
    EXPECT_EQ(screen->subscreen, GuiFindScreen("SIDE"));
    g_gui.hitInSubscreen = false;

    // A handler answering non-zero ends the click before the switch.
    g_handlerResult = 1;
    Button(screen, 4)->OnClick(0, 0);
    EXPECT_EQ(g_handlerCalls, 1);
    EXPECT_EQ(g_gui.currentScreen, screen);

    // An action name sets the exit action and, with no screen of that name, switches to none here
    // (no error screen yet).
    g_gui.exitAction = GUI_EXIT_NONE;
    Button(screen, 3)->OnClick(0, 0);
    EXPECT_EQ(g_gui.exitAction, GUI_EXIT_PREVIOUS);
    EXPECT_EQ(g_gui.currentScreen, nullptr);
}

TEST_F(GuiButtons, ImageShowsThePictureItsLiveValueNamesWithoutTheExtension)
{
    GuiScreen* screen = Build(
        "<MAIN>\n<IMG> property name pic; property coord 0 0 0.5 1; "
        "property source $gui_test_button_picture; </IMG>\n"
        "<BUTTON> property call pic.RefreshData; </BUTTON>\n</MAIN>\n");
    ASSERT_NE(screen, nullptr);
    auto* image = dynamic_cast<GuiImage*>(screen->Control(0));
    ASSERT_NE(image, nullptr);
    const struct {
        const char* value;
        DWORD colour;  // at the image's middle; black for no picture
    } cases[] = {
        {"missing", kBlack},
        {"red.tga", kRed},          // under component\gui\, the extension cut
        {"red.tga.old", kRed},      // cut at the first dot
        {"pics\\blue.png", kBlue},  // not under component\gui\: the name as given
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        g_testPicture.SetString(c.value);
        Button(screen, 1)->OnClick(0, 0);
        NextFrame();
        image->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        EXPECT_EQ(Read().At(40, 60), c.colour);
        EXPECT_EQ(Read().At(100, 60), kBlack);
    }
    // Entering the screen reloads it too.
    g_testPicture.SetString("missing");
    screen->Activate(screen);
    EXPECT_EQ(image->texture, nullptr);
}

TEST_F(GuiButtons, PicturesComeFromTheGeneralTextureManagerOnceTheGameScreensLoaded)
{
    for (bool loaded : {false, true}) {
        SCOPED_TRACE(loaded);
        GuiShutdown();
        g_gui.gameScreensLoaded = loaded;
        const u32_t registered = GuiTextureCount();
        GuiScreen* screen = Build("<MAIN>\n<IMG> property tex red; </IMG>\n</MAIN>\n");
        ASSERT_NE(screen, nullptr);
        const auto* image = dynamic_cast<GuiImage*>(screen->Control(0));
        ASSERT_NE(image, nullptr);
        EXPECT_NE(image->texture, nullptr);
        EXPECT_EQ(GuiTextureCount(), registered + (loaded ? 0u : 1u));
    }
}

}  // namespace

namespace {

TEST(GuiOpacity, ScriptOpacitiesOutsideZeroToOneAreHeldToThem)
{
    const struct {
        float opacity;
        u32_t factor;
    } cases[] = {{-1.0f, 0u},         {0.0f, 0u},          {0.5f, 0x7F000000u},
                 {1.0f, 0xFF000000u}, {3e9f, 0xFF000000u}, {std::numeric_limits<float>::quiet_NaN(), 0u}};
    for (const auto& c : cases)
        EXPECT_EQ(GuiOpacityFactor(c.opacity), c.factor) << c.opacity;
}

}  // namespace
