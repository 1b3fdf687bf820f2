// The keys of "TEXTBOX" sections.
#include "gui/screen_scripts/control_rows_table.h"
#include "gui/texts/fonts.h"
#include "gui/screens/gui.h"
#include "gui/texts/gui_locale.h"
#include "gui/controls/gui_text_box.h"

namespace {

using Row = GuiKeyRow<GuiTextBox>;

const Row kTextBoxRows[] = {
    {"zindex", 3, [](GuiTextBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetZIndex(GuiRowLayer(m)); }},
    {"color", 3,
     [](GuiTextBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.colour = GuiScriptColour(m.Word(2)); }},
    {"text", 3, [](GuiTextBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetSourceText(m.Word(2)); }},
    {"font", 3, [](GuiTextBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.font = FindFont(m.Word(2)); }},
    {"fontsize", 3,
     [](GuiTextBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.textSize = GuiRowNumber(m, 2); }},
    {"coord", 6,
     [](GuiTextBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.x = GuiRowNumber(m, 2);
         c.y = GuiRowNumber(m, 3);
         c.width = GuiRowNumber(m, 4);
         c.height = GuiRowNumber(m, 5);
     }},
    {"name", 3, [](GuiTextBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
    {"tooltip", 3,
     [](GuiTextBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetTooltip(GuiFindLocaleText(m.Word(2))); }},
    {"form", 3, [](GuiTextBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetFormText(m.Word(2)); }},
    {"smooth_scroll", 2, [](GuiTextBox& c, const ScriptCommand&, const GuiScriptTarget&) { c.smoothScroll = true; }},
};

}  // namespace

bool GuiBuildTextBoxSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section)
{
    if (CompareNoCase(kind, "TEXTBOX") != 0)
        return false;
    auto* box = new GuiTextBox();
    target.screen->AddControl(box);
    GuiApplyKeyRows(*box, kTextBoxRows, section, target);
    return true;
}
