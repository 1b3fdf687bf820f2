// Screens: their growing arrays, drawing by layers (read back from the offscreen device where items
// of different kinds meet: exact colours, the items are flat), the subscreen and the message box
// over them, the gb_showgui switch, entry, leaving, lookups and the screen's sound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/sound/sound_system.h"
#include "gui/controls/gui_controls.h"
#include "gui/gui_cvars.h"
#include "gui/controls/gui_text.h"
#include "gui/controls/gui_tooltip.h"
#include "platform/test_clock.h"
#include "support/keep_var.h"
#include "tests/gui/screens/gui_draw_support.h"

using namespace gui_test;

namespace {

constexpr DWORD kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kYellow = 0xFFFFFF00u;
constexpr DWORD kWhite = 0xFFFFFFFFu;

std::vector<std::string> g_notes;

// A control that notes what it is sent under its name.
class NotingControl : public GuiControl {
public:
    explicit NotingControl(const char* controlName, s16_t z = 0)
    {
        SetName(controlName);
        SetZIndex(z);
    }
    void Draw(float, float, float, float) override { g_notes.push_back(std::string("draw ") + GetName()); }
    void OnActivate(GuiScreen* previous) override
    {
        g_notes.push_back(std::string("activate ") + GetName() + " from " + (previous ? previous->name.Text() : "-"));
    }
    void OnDeInit() override { g_notes.push_back(std::string("deinit ") + GetName()); }
};

class NotingText : public GuiText {
public:
    void OnActivate(GuiScreen*) override { g_notes.push_back("activate text"); }
};

GuiRect* FlatRect(float x, float y, float width, float height, DWORD colour, s16_t z = 0)
{
    auto* rect = new GuiRect();
    rect->x = x;
    rect->y = y;
    rect->width = width;
    rect->height = height;
    for (DWORD& c : rect->colours)
        c = colour;
    rect->SetZIndex(z);
    return rect;
}

class GuiScreens : public GuiDraw {
protected:
    void SetUp() override
    {
        GuiDraw::SetUp();
        g_notes.clear();
    }
    void TearDown() override
    {
        g_notes.clear();
        GuiDraw::TearDown();
    }
};

TEST(GuiScreenArrays, CapacityStartsAtFourAndDoubles)
{
    GuiScreen screen("ARRAYS");
    EXPECT_EQ(screen.AddControl(nullptr), 0u);
    EXPECT_EQ(screen.ControlCapacity(), 0u);
    const struct {
        u32_t count, capacity;
    } steps[] = {{1, 4}, {4, 4}, {5, 8}, {8, 8}, {9, 16}};
    u32_t added = 0;
    for (const auto& step : steps) {
        while (added < step.count)
            EXPECT_EQ(screen.AddControl(new GuiControl()), ++added);
        EXPECT_EQ(screen.ControlCapacity(), step.capacity) << step.count;
    }
    for (u32_t i = 0; i < added; ++i)
        EXPECT_NE(screen.Control(i), nullptr);
    EXPECT_EQ(screen.AddLine(nullptr) + screen.AddRect(nullptr) + screen.AddText(nullptr) + screen.AddPoly(nullptr),
              0u);
    EXPECT_EQ(screen.AddLine(new GuiLine()), 1u);
    EXPECT_EQ(screen.AddRect(new GuiRect()), 1u);
    EXPECT_EQ(screen.AddText(new GuiText()), 1u);
    EXPECT_EQ(screen.AddPoly(new GuiPoly()), 1u);
}

TEST_F(GuiScreens, LayersDrawFromZeroToNineteenInAddingOrder)
{
    GuiScreen screen("LAYERS");
    const struct {
        const char* name;
        s16_t z;
    } controls[] = {{"z5", 5}, {"z19", 19}, {"z0", 0}, {"z20", 20}, {"z-1", -1}, {"later z5", 5}};
    for (const auto& c : controls)
        screen.AddControl(new NotingControl(c.name, c.z));
    screen.Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(g_notes, (std::vector<std::string>{"draw z0", "draw z5", "draw later z5", "draw z19"}));
}

// Within one layer: controls, then lines, rectangles, texts and outlines. Each pixel below is
// covered by two neighbouring kinds, added in the opposite order; the later kind must be on top.
TEST_F(GuiScreens, WithinALayerLinesRectsTextsAndPolysFollowTheControls)
{
    GuiScreen screen("KINDS");
    // Outline over text over rectangle over line over control; all added in reverse.
    auto* poly = new GuiPoly();
    poly->x = 0.5f;
    poly->y = 0.25f;  // left side at x 80 from y 30
    poly->width = 0.25f;
    poly->height = 0.5f;
    for (DWORD& c : poly->colours)
        c = kYellow;
    screen.AddPoly(poly);
    auto* text = new GuiText();
    text->Set(0.5f, 0.4f, "A", 10.0f, CellFont());  // 8 x 8 cell at 80..87 by 40..47 at width 160 ... scaled
    text->colour = kBlue;
    screen.AddText(text);
    screen.AddRect(FlatRect(0.25f, 0.25f, 0.5f, 0.5f, kGreen));  // 40..119 by 30..89
    auto* line = new GuiLine();
    line->startX = 0.0f;
    line->startY = line->endY = 0.5f;  // row 60
    line->endX = 1.0f;
    line->startColour = line->endColour = kRed;
    screen.AddLine(line);
    screen.AddControl(FlatRect(0.0f, 0.5f, 0.125f, 0.25f, kWhite));  // a control: 0..19 by 60..89
    screen.Draw(0.0f, 0.0f, 1.0f, 1.0f);
    const render_test::Pixels pixels = Read();
    EXPECT_EQ(pixels.At(10, 60), kRed);    // line over control
    EXPECT_EQ(pixels.At(10, 70), kWhite);  // the control itself
    EXPECT_EQ(pixels.At(50, 60), kGreen);  // rectangle over line
    EXPECT_EQ(pixels.At(50, 70), kGreen);
    EXPECT_EQ(pixels.At(81, 38), kBlue);    // text over rectangle
    EXPECT_EQ(pixels.At(80, 38), kYellow);  // outline over text
}

TEST_F(GuiScreens, SubscreenDrawsOverTheScreenAndTheMessageBoxOverBoth)
{
    auto* below = new GuiScreen("BELOW");
    below->AddRect(FlatRect(0.0f, 0.0f, 1.0f, 1.0f, kRed, 19));
    auto* over = new GuiScreen("OVER");
    over->AddRect(FlatRect(0.0f, 0.0f, 0.5f, 1.0f, kGreen, 0));
    GuiAddScreen(below);
    GuiAddScreen(over);
    auto* box = new GuiToolTip();
    box->rect[0] = 0.25f;
    box->rect[2] = 0.5f;
    box->rect[3] = 0.25f;  // 40..119 by 0..29
    box->background = White();
    below->SetMessageBox(box);
    below->SetSubscreen(over);
    below->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    const render_test::Pixels pixels = Read();
    EXPECT_EQ(pixels.At(20, 60), kGreen);  // the subscreen's layer 0 over the screen's layer 19
    EXPECT_EQ(pixels.At(100, 60), kRed);
    EXPECT_EQ(pixels.At(60, 10), kWhite);  // the message box over both
    EXPECT_EQ(pixels.At(20, 10), kGreen);
}

TEST_F(GuiScreens, NothingDrawsWhileShowGuiIsOff)
{
    KeepVar kept(gb_showgui);
    GuiScreen screen("HIDDEN");
    screen.AddRect(FlatRect(0.0f, 0.0f, 1.0f, 1.0f, kRed));
    screen.AddControl(new NotingControl("control"));
    gb_showgui.SetBool(false);
    screen.Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_TRUE(g_notes.empty());
    EXPECT_EQ(Read().At(80, 60), kBlack);
    gb_showgui.SetBool(true);
    screen.Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(Read().At(80, 60), kRed);
}

TEST_F(GuiScreens, EnteringActivatesControlsThenTextsAndEntersTheSubscreenByName)
{
    auto* main = new GuiScreen("MAIN");
    main->AddText(new NotingText());
    main->AddControl(new NotingControl("first"));
    main->AddControl(new NotingControl("second"));
    main->subscreenName.Assign("$gui_test_subscreen");
    auto* sub = new GuiScreen("PANEL");
    sub->AddControl(new NotingControl("inner"));
    GuiAddScreen(main);
    GuiAddScreen(sub);
    GuiScreen previous("BEFORE");

    ConsoleVar reference("gui_test_subscreen", CVAR_STRING, "panel");
    main->Activate(&previous);
    EXPECT_EQ(g_notes, (std::vector<std::string>{"activate first from BEFORE", "activate second from BEFORE",
                                                 "activate text", "activate inner from PANEL"}));
    EXPECT_EQ(main->subscreen, sub);

    // A name that finds no screen leaves no subscreen; SetSubscreen with null changes nothing.
    reference.SetString("nowhere");
    main->Activate(main);
    EXPECT_EQ(main->subscreen, nullptr);
    main->subscreenName.Assign("");
    main->SetSubscreen(sub);
    EXPECT_EQ(main->subscreen, sub);
    EXPECT_STREQ(main->subscreenName.Text(), "PANEL");
    main->SetSubscreen(nullptr);
    EXPECT_EQ(main->subscreen, sub);

    // Leaving goes down the chain.
    g_notes.clear();
    main->DeInit();
    EXPECT_EQ(g_notes, (std::vector<std::string>{"deinit first", "deinit second", "deinit inner"}));
}

// Two screens naming each other as subscreens: entry, drawing and leaving end.
TEST_F(GuiScreens, SubscreensInALoopEndTheirEntryDrawingAndLeaving)
{
    auto* first = new GuiScreen("FIRST");
    auto* second = new GuiScreen("SECOND");
    first->subscreenName.Assign("second");
    second->subscreenName.Assign("first");
    first->AddControl(new NotingControl("a"));
    GuiAddScreen(first);
    GuiAddScreen(second);
    first->Activate(first);
    EXPECT_EQ(first->subscreen, second);
    EXPECT_EQ(second->subscreen, first);
    first->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    first->DeInit();
    EXPECT_FALSE(g_notes.empty());
}

TEST_F(GuiScreens, EntryClearsTheMessageUnlessOneWasWrittenForIt)
{
    PlatformTestClockStart(1000);
    auto* screen = new GuiScreen("MESSAGES");
    auto* box = new GuiToolTip();
    screen->SetMessageBox(box);
    GuiAddScreen(screen);

    // Written for this screen explicitly: kept through the next entry, then cleared by the one after.
    GuiWriteMsg("_gm_test_message", screen);
    screen->Activate(screen);
    EXPECT_STREQ(box->text, "_gm_test_message");
    screen->Activate(screen);
    EXPECT_STREQ(box->text, "");
    EXPECT_TRUE(box->locked);

    // Written for the current screen: not marked, so the entry clears it.
    g_gui.currentScreen = screen;
    GuiWriteMsg("_gm_other_message", nullptr);
    EXPECT_STREQ(box->text, "_gm_other_message");
    EXPECT_FALSE(screen->messageWritten);
    screen->Activate(screen);
    EXPECT_STREQ(box->text, "");
    g_gui.currentScreen = nullptr;
    PlatformTestClockStop();
}

TEST_F(GuiScreens, LookupsByNameIgnoreCaseAndTextStringsStayInRange)
{
    auto* screen = new GuiScreen("FIND");
    GuiControl* ok = new NotingControl("OkButton");
    screen->AddControl(ok);
    screen->AddControl(new NotingControl("okbutton"));
    auto* text = new GuiText();
    text->SetText("old");
    screen->AddText(text);
    GuiAddScreen(screen);

    EXPECT_EQ(screen->FindControl("OKBUTTON"), ok);
    EXPECT_EQ(screen->FindControl("missing"), nullptr);
    EXPECT_EQ(GuiFindItem("okbutton"), nullptr);  // no current screen
    g_gui.currentScreen = screen;
    EXPECT_EQ(GuiFindItem("okbutton"), ok);
    EXPECT_EQ(GuiFindItem(nullptr), nullptr);
    EXPECT_EQ(GuiFindItemInScreen(nullptr, "okbutton"), nullptr);
    g_gui.currentScreen = nullptr;

    screen->SetTextString(0, "new");
    screen->SetTextString(1, "beyond");
    EXPECT_STREQ(screen->Text(0)->Text(), "new");
}

}  // namespace
