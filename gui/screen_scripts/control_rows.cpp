// The property keys of the control sections built so far. Each kind's keys are tested in a fixed
// order and every row that matches is applied, so a key listed twice acts twice. A command with
// fewer words than its key takes is skipped.
#include <cstring>

#include "core/console/console_var.h"
#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "gui/screen_scripts/control_rows_table.h"
#include "gui/texts/fonts.h"
#include "gui/screen_scripts/control_key_rows.h"
#include "gui/screens/gui.h"
#include "gui/screen_scripts/control_rows_list_box.h"
#include "gui/controls/gui_button.h"
#include "gui/screens/gui_command_lookup.h"
#include "gui/controls/gui_image.h"
#include "gui/texts/gui_locale.h"
#include "gui/controls/gui_text.h"
#include "gui/screens/gui_textures.h"
#include "gui/controls/gui_tooltip.h"
#include "gui/screen_scripts/screen_script_words.h"

namespace {

// ---- IMG ----

const GuiKeyRow<GuiImage> kImageRows[] = {
    {"tex", 3,
     [](GuiImage& c, const ScriptCommand& m, const GuiScriptTarget& t) { c.texture = GuiScriptTexture(t, m.Word(2)); }},
    {"coord", 6,
     [](GuiImage& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.x = GuiRowNumber(m, 2);
         c.y = GuiRowNumber(m, 3);
         c.width = GuiRowNumber(m, 4);
         c.height = GuiRowNumber(m, 5);
     }},
    {"opacity", 3, [](GuiImage& c, const ScriptCommand& m, const GuiScriptTarget&) { c.opacity = GuiRowNumber(m, 2); }},
    {"zindex", 3, [](GuiImage& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetZIndex(GuiRowLayer(m)); }},
    {"name", 3, [](GuiImage& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
    {"alpha", 3,
     [](GuiImage& c, const ScriptCommand& m, const GuiScriptTarget&) {
         if (GuiScriptInteger(m.Word(2)) == 0)
             c.alphaBlended = false;
     }},
    {"source", 3,
     [](GuiImage& c, const ScriptCommand& m, const GuiScriptTarget&) {
         if (GuiScriptInteger(m.Word(2)) == 0)
             c.source.Assign(m.Word(2));
     }},
    {"tooltip", 3,
     [](GuiImage& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetTooltip(GuiFindLocaleText(m.Word(2))); }},
};

// ---- BUTTON ----

void ButtonOpacity(GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&)
{
    c.opacity = GuiRowNumber(m, 2);
}

const GuiKeyRow<GuiButton> kButtonRows[] = {
    {"label", 3,
     [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetLabel(GuiFindLocaleText(m.Word(2))); }},
    {"color", 3,
     [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.captionColour = GuiScriptColour(m.Word(2));
     }},
    {"coord", 6,
     [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.picture.x = GuiRowNumber(m, 2);
         c.picture.y = GuiRowNumber(m, 3);
         c.picture.width = GuiRowNumber(m, 4);
         c.picture.height = GuiRowNumber(m, 5);
     }},
    {"opacity", 3, ButtonOpacity},
    {"tex", 3,
     [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         c.picture.texture = GuiScriptTexture(t, m.Word(2));
     }},
    {"name", 3, [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
    {"call", 3, [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) { c.target.Assign(m.Word(2)); }},
    {"zindex", 3, [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetZIndex(GuiRowLayer(m)); }},
    {"font", 3, [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) { c.font = FindFont(m.Word(2)); }},
    {"fontsize", 3,
     [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) { c.fontSize = GuiRowNumber(m, 2); }},
    {"opacity", 3, ButtonOpacity},
    {"talign", 3,
     [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) { c.alignment = GuiScriptAlignment(m.Word(2)); }},
    {"call_fn", 3,
     [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) {
         if (GuiCommandExists(m.Word(2)))
             c.command.Assign(m.Word(2));
     }},
    {"tooltip", 3,
     [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetTooltip(GuiFindLocaleText(m.Word(2))); }},
    {"condition", 3,
     [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) { c.condition.Assign(m.Word(2)); }},
    {"hover_snd", 3,
     [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.hoverSound = GuiPlaySound(m.Word(2), false);
     }},
    {"click_snd", 3,
     [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.clickSound = GuiPlaySound(m.Word(2), false);
     }},
    {"sel", 4,
     [](GuiButton& c, const ScriptCommand& m, const GuiScriptTarget&) {
         if (ConsoleVar* variable = CVarListFind(m.Word(2))) {
             c.selectionVar = variable;
             c.selectionValue.Assign(m.Word(3));
         }
     }},
};

// ---- TOOLTIP (the screen's message box) ----

const GuiKeyRow<GuiToolTip> kToolTipRows[] = {
    {"texture", 3,
     [](GuiToolTip& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         c.background = GuiScriptTexture(t, m.Word(2));
     }},
    {"font", 3, [](GuiToolTip& c, const ScriptCommand& m, const GuiScriptTarget&) { c.font = FindFont(m.Word(2)); }},
    {"color", 3,
     [](GuiToolTip& c, const ScriptCommand& m, const GuiScriptTarget&) { c.textColour = GuiScriptColour(m.Word(2)); }},
    {"colors", 4,
     [](GuiToolTip& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.colours[0] = GuiScriptColour(m.Word(2));
         c.colours[1] = GuiScriptColour(m.Word(3));
     }},
    {"talign", 3,
     [](GuiToolTip& c, const ScriptCommand& m, const GuiScriptTarget&) { c.alignment = GuiScriptInteger(m.Word(2)); }},
    {"opacity", 3,
     [](GuiToolTip& c, const ScriptCommand& m, const GuiScriptTarget&) { c.opacity = GuiRowNumber(m, 2); }},
    {"fontsize", 3,
     [](GuiToolTip& c, const ScriptCommand& m, const GuiScriptTarget&) { c.fontSize = GuiRowNumber(m, 2); }},
    {"coord", 6,
     [](GuiToolTip& c, const ScriptCommand& m, const GuiScriptTarget&) {
         for (int i = 0; i < 4; ++i)
             c.rect[i] = GuiRowNumber(m, 2 + i);
     }},
    {"write_snd", 3,
     [](GuiToolTip& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.typingSound = GuiPlaySound(m.Word(2), false);
     }},
};

// ---- SQUARE: sizes and centre on the 800 x 600 grid ----

const GuiKeyRow<GuiSquare> kSquareRows[] = {
    {"tex", 3,
     [](GuiSquare& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         c.texture = GuiScriptTexture(t, m.Word(2));
     }},
    {"size", 4,
     [](GuiSquare& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.sizeX = static_cast<u32_t>(GuiScriptInteger(m.Word(2)));
         c.sizeY = static_cast<u32_t>(GuiScriptInteger(m.Word(3)));
     }},
    {"center", 4,
     [](GuiSquare& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.centreX = GuiScriptInteger(m.Word(2));
         c.centreY = GuiScriptInteger(m.Word(3));
     }},
    {"color", 3,
     [](GuiSquare& c, const ScriptCommand& m, const GuiScriptTarget&) { c.colour = GuiScriptColour(m.Word(2)); }},
    {"zindex", 3, [](GuiSquare& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetZIndex(GuiRowLayer(m)); }},
    {"name", 3, [](GuiSquare& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
};

}  // namespace

bool GuiBuildControlSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section)
{
    GuiScreen* screen = target.screen;
    if (GuiBuildListBoxSection(target, kind, section))
        return true;
    if (GuiBuildTextBoxSection(target, kind, section))
        return true;
    if (GuiBuildIndicatorSection(target, kind, section))
        return true;
    if (GuiBuildEffectSection(target, kind, section))
        return true;
    if (GuiBuildProgressBarSection(target, kind, section))
        return true;
    if (GuiBuildVideoSection(target, kind, section))
        return true;
    if (GuiBuildSlideShowSection(target, kind, section))
        return true;
    if (GuiBuildMapViewSection(target, kind, section))
        return true;
    if (GuiBuildEditBoxSection(target, kind, section))
        return true;
    if (GuiBuildCheckBoxSection(target, kind, section))
        return true;
    if (GuiBuildKeyPickerSection(target, kind, section))
        return true;
    if (GuiBuildSwitchGroupSection(target, kind, section))
        return true;
    if (GuiBuildWeaponListSection(target, kind, section))
        return true;
    if (CompareNoCase(kind, "IMG") == 0) {
        auto* image = new GuiImage();
        screen->AddControl(image);
        GuiApplyKeyRows(*image, kImageRows, section, target);
        return true;
    }
    if (CompareNoCase(kind, "BUTTON") == 0) {
        auto* button = new GuiButton();
        screen->AddControl(button);
        button->clickSound = GuiPlaySound("gui\\click", false);
        button->hoverSound = GuiPlaySound("gui\\hover", false);
        GuiApplyKeyRows(*button, kButtonRows, section, target);
        return true;
    }
    if (CompareNoCase(kind, "SQUARE") == 0) {
        auto* square = new GuiSquare();
        screen->AddControl(square);
        GuiApplyKeyRows(*square, kSquareRows, section, target);
        return true;
    }
    if (CompareNoCase(kind, "TOOLTIP") == 0) {
        auto* box = new GuiToolTip();
        screen->SetMessageBox(box);
        GuiApplyKeyRows(*box, kToolTipRows, section, target);
        return true;
    }
    return false;
}
