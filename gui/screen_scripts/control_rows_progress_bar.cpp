// The keys of "PROGRESSBAR" sections.
#include "core/console/console_var.h"
#include "gui/screen_scripts/control_rows_table.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_progress_bar.h"

namespace {

using Row = GuiKeyRow<GuiProgressBar>;

const Row kProgressBarRows[] = {
    {"name", 3, [](GuiProgressBar& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
    {"zindex", 3,
     [](GuiProgressBar& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetZIndex(GuiRowLayer(m)); }},
    {"opacity", 3,
     [](GuiProgressBar& c, const ScriptCommand& m, const GuiScriptTarget&) { c.opacity = GuiRowNumber(m, 2); }},
    {"coord", 6,
     [](GuiProgressBar& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.x = GuiRowNumber(m, 2);
         c.y = GuiRowNumber(m, 3);
         c.width = GuiRowNumber(m, 4);
         c.height = GuiRowNumber(m, 5);
     }},
    // Looked up once, while the screen is built; only an integer variable holds a percentage.
    {"bind_var", 3,
     [](GuiProgressBar& c, const ScriptCommand& m, const GuiScriptTarget&) {
         ConsoleVar* variable = CVarListFind(m.Word(2));
         if (variable && variable->type == CVAR_INT)
             c.variable = variable;
     }},
    {"textures", 4,
     [](GuiProgressBar& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         c.background = GuiScriptTexture(t, m.Word(2));
         c.fill = GuiScriptTexture(t, m.Word(3));
     }},
};

}  // namespace

bool GuiBuildProgressBarSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section)
{
    if (CompareNoCase(kind, "PROGRESSBAR") != 0)
        return false;
    auto* bar = new GuiProgressBar();
    target.screen->AddControl(bar);
    GuiApplyKeyRows(*bar, kProgressBarRows, section, target);
    return true;
}
