// The keys of "EFFECT" sections.
#include "gui/screen_scripts/control_rows_table.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_effect.h"

namespace {

using Row = GuiKeyRow<GuiEffect>;

const Row kEffectRows[] = {
    {"bind", 3, [](GuiEffect& c, const ScriptCommand& m, const GuiScriptTarget&) { c.boundName.Assign(m.Word(2)); }},
    {"tex", 3,
     [](GuiEffect& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         c.texture = GuiScriptTexture(t, m.Word(2));
     }},
    {"opacity", 3,
     [](GuiEffect& c, const ScriptCommand& m, const GuiScriptTarget&) { c.opacity = GuiRowNumber(m, 2); }},
    {"movecoords", 4,
     [](GuiEffect& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.speedU = GuiRowNumber(m, 2);
         c.speedV = GuiRowNumber(m, 3);
     }},
    {"coord", 6,
     [](GuiEffect& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.boxX = GuiRowNumber(m, 2);
         c.boxY = GuiRowNumber(m, 3);
         c.boxWidth = GuiRowNumber(m, 4);
         c.boxHeight = GuiRowNumber(m, 5);
         c.ownBox = true;
     }},
    {"name", 3, [](GuiEffect& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
    {"inherit", 3,
     [](GuiEffect& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.linkName.Assign(m.Word(2));
         c.linked = true;
     }},
};

}  // namespace

bool GuiBuildEffectSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section)
{
    if (CompareNoCase(kind, "EFFECT") != 0)
        return false;
    auto* effect = new GuiEffect();
    target.screen->AddControl(effect);
    GuiApplyKeyRows(*effect, kEffectRows, section, target);
    return true;
}
