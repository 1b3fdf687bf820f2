// The keys of "EDITBOX" sections.
#include "core/strings/text_case.h"
#include "gui/screen_scripts/control_key_rows.h"
#include "gui/texts/fonts.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_edit_box.h"
#include "gui/texts/gui_locale.h"

namespace {

using Row = GuiKeyRow<GuiEditBox>;

const Row kEditBoxRows[] = {
    {"tex", 3,
     [](GuiEditBox& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         c.background = GuiScriptTexture(t, m.Word(2));
     }},
    {"zindex", 3,
     [](GuiEditBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.SetZIndex(static_cast<s16_t>(GuiScriptInteger(m.Word(2))));
     }},
    {"color", 3,
     [](GuiEditBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.colour = GuiScriptColour(m.Word(2)); }},
    {"coord", 6,
     [](GuiEditBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.x = GuiScriptNumber(m.Word(2));
         c.y = GuiScriptNumber(m.Word(3));
         c.width = GuiScriptNumber(m.Word(4));
         c.height = GuiScriptNumber(m.Word(5));
     }},
    {"name", 3, [](GuiEditBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
    {"font", 3, [](GuiEditBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.font = FindFont(m.Word(2)); }},
    {"fontsize", 3,
     [](GuiEditBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.fontSize = GuiScriptNumber(m.Word(2)); }},
    {"var", 3, [](GuiEditBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetVariable(m.Word(2)); }},
    {"init_var", 3,
     [](GuiEditBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetInitVariable(m.Word(2)); }},
    {"hide_text", 3,
     [](GuiEditBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.masked = CompareNoCase(m.Word(2), "false") != 0;
     }},
    {"tooltip", 3,
     [](GuiEditBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetTooltip(GuiFindLocaleText(m.Word(2))); }},
    {"limit", 4,
     [](GuiEditBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.minimumLength = static_cast<u16_t>(GuiScriptInteger(m.Word(2)));
         c.maximumLength = static_cast<u16_t>(GuiScriptInteger(m.Word(3)));
     }},
    {"call_fn", 3,
     [](GuiEditBox& c, const ScriptCommand& m, const GuiScriptTarget&) { c.enterCommand.Bind(m.Word(2)); }},
    {"talign", 3,
     [](GuiEditBox& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.alignment = GuiScriptAlignment(m.Word(2));
     }},
};

}  // namespace

bool GuiBuildEditBoxSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section)
{
    if (CompareNoCase(kind, "EDITBOX") != 0)
        return false;
    auto* box = new GuiEditBox();
    target.screen->AddControl(box);
    GuiApplyKeyRows(*box, kEditBoxRows, section, target);
    return true;
}
