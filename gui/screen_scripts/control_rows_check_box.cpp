// The keys of "CHECKBOX" sections. "bind" sees only the controls already in the screen: those of
// earlier sections.
#include "core/console/console_var.h"
#include "core/strings/text_case.h"
#include "gui/screen_scripts/control_key_rows.h"
#include "gui/texts/fonts.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_check_box.h"
#include "gui/texts/gui_locale.h"

namespace {

using Row = GuiKeyRow<GuiCheckBox>;

IDirect3DTexture8* Texture(const ScriptCommand& m, const GuiScriptTarget& t, int index)
{
    return GuiScriptTexture(t, m.Word(index));
}

const Row kCheckBoxRows[] = {
    {"name", 3, [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
    {"zindex", 3,
     [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.SetZIndex(static_cast<s16_t>(GuiScriptInteger(m.Word(2))));
     }},
    {"color", 3,
     [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.colour = GuiScriptColour(m.Word(2)); }},
    {"font", 3, [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.font = FindFont(m.Word(2)); }},
    {"opacity", 3,
     [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.opacity = GuiScriptNumber(m.Word(2)); }},
    {"fontsize", 3,
     [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.fontSize = GuiScriptNumber(m.Word(2)); }},
    {"coord", 6,
     [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.x = GuiScriptNumber(m.Word(2));
         c.y = GuiScriptNumber(m.Word(3));
         c.width = GuiScriptNumber(m.Word(4));
         c.height = GuiScriptNumber(m.Word(5));
     }},
    {"smallcoord", 6,
     [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         for (int i = 0; i < 4; ++i)
             c.mark[i] = GuiScriptNumber(m.Word(2 + i));
     }},
    {"textures", 5,
     [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         c.checkedTexture = Texture(m, t, 2);
         c.uncheckedTexture = Texture(m, t, 3);
         c.background = Texture(m, t, 4);
     }},
    {"variable", 3,
     [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         if (ConsoleVar* variable = CVarListFind(m.Word(2)))
             c.variable = variable;
     }},
    {"label", 3, [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.labelKey.Assign(m.Word(2)); }},
    {"bind", 3,
     [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         // Only check boxes can follow a master, and a box bound to itself could never be checked again.
         for (int i = 2; i < m.WordCount(); ++i) {
             auto* dependant = dynamic_cast<GuiCheckBox*>(t.screen->FindControl(m.Word(i)));
             if (dependant != &c)
                 c.AddDependant(dependant);
         }
     }},
    {"condition", 3,
     [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.condition.Assign(m.Word(2)); }},
    {"tooltip", 3,
     [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.SetTooltip(GuiFindLocaleText(m.Word(2)));
     }},
    {"call_fn", 3, [](GuiCheckBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.command.Bind(m.Word(2)); }},
};

}  // namespace

bool GuiBuildCheckBoxSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section)
{
    if (CompareNoCase(kind, "CHECKBOX") != 0)
        return false;
    auto* box = new GuiCheckBox();
    target.screen->AddControl(box);
    GuiApplyKeyRows(*box, kCheckBoxRows, section, target);
    return true;
}
