// The property keys of "LISTBOX" sections, tested in a fixed order; every row that matches is
// applied, and a command with fewer words than its key takes is skipped.
#include "gui/screen_scripts/control_rows_list_box.h"

#include <vector>

#include "core/console/console_var.h"
#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "gui/texts/fonts.h"
#include "gui/screens/gui.h"
#include "gui/screens/gui_command_lookup.h"
#include "gui/lists/gui_list_box.h"
#include "gui/texts/gui_locale.h"
#include "gui/screen_scripts/control_rows_table.h"
#include "gui/screen_scripts/screen_script_words.h"

namespace {

const GuiKeyRow<GuiListBox> kListBoxRows[] = {
    {"tex", 3,
     [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         c.background = GuiScriptTexture(t, m.Word(2));
     }},
    {"sel_tex", 3,
     [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         c.selectionTexture = GuiScriptTexture(t, m.Word(2));
     }},
    {"zindex", 3,
     [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.SetZIndex(static_cast<s16_t>(GuiScriptInteger(m.Word(2))));
     }},
    {"color", 3,
     [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.textColour = GuiScriptColour(m.Word(2)); }},
    {"coord", 6,
     [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.x = GuiScriptNumber(m.Word(2));
         c.y = GuiScriptNumber(m.Word(3));
         c.width = GuiScriptNumber(m.Word(4));
         c.height = GuiScriptNumber(m.Word(5));
     }},
    {"name", 3, [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
    {"font", 3, [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.font = FindFont(m.Word(2)); }},
    {"fontsize", 3,
     [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.fontSize = GuiScriptNumber(m.Word(2)); }},
    {"source", 3,
     [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.SetSource(m.Word(2));
         c.RefreshData();
     }},
    {"sel_hold_var", 3,
     [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         if (ConsoleVar* variable = CVarListFind(m.Word(2)))
             c.boundVar = variable;
     }},
    {"sel_fn", 3,
     [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         if (GuiCommandExists(m.Word(2)))
             c.SetSelectionCommand(m.Word(2));
     }},
    {"tooltip", 3,
     [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetTooltip(GuiFindLocaleText(m.Word(2))); }},
    {"call", 3, [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.changeEvent.Assign(m.Word(2)); }},
    // With no further word the list has no columns (and no alignments) any more.
    {"columns", 2,
     [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         std::vector<float> boundaries;
         for (int i = 2; i < m.WordCount(); ++i)
             boundaries.push_back(GuiScriptNumber(m.Word(i)));
         c.SetColumns(std::move(boundaries));
     }},
    {"taligns", 2,
     [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         std::vector<s32_t> aligns;
         for (int i = 2; i < m.WordCount(); ++i)
             aligns.push_back(GuiScriptAlignment(m.Word(i)));
         c.SetColumnAligns(std::move(aligns));
     }},
    {"talign", 3,
     [](GuiListBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.alignment = GuiScriptAlignment(m.Word(2));
     }},
};

}  // namespace

bool GuiBuildListBoxSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section)
{
    if (CompareNoCase(kind, "LISTBOX") != 0)
        return false;
    auto* list = new GuiListBox();
    target.screen->AddControl(list);
    GuiApplyKeyRows(*list, kListBoxRows, section, target);
    return true;
}
