// The keys of "WEAPONLIST" and "NETACTORLIST" sections (the same keys).
#include "core/console/console_var.h"
#include "core/strings/text_case.h"
#include "gui/screen_scripts/control_key_rows.h"
#include "gui/screens/gui.h"
#include "gui/lists/gui_net_actor_list.h"

namespace {

using Row = GuiKeyRow<GuiWeaponList>;

const Row kWeaponListRows[] = {
    {"name", 3, [](GuiWeaponList& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
    {"zindex", 3,
     [](GuiWeaponList& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.SetZIndex(static_cast<s16_t>(GuiScriptInteger(m.Word(2))));
     }},
    {"opacity", 3,
     [](GuiWeaponList& c, const ScriptCommand& m, const GuiScriptTarget&) { c.opacity = GuiScriptNumber(m.Word(2)); }},
    {"coord", 6,
     [](GuiWeaponList& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.x = GuiScriptNumber(m.Word(2));
         c.y = GuiScriptNumber(m.Word(3));
         c.width = GuiScriptNumber(m.Word(4));
         c.height = GuiScriptNumber(m.Word(5));
     }},
    {"sel_hold_var", 3,
     [](GuiWeaponList& c, const ScriptCommand& m, const GuiScriptTarget&) {
         if (ConsoleVar* variable = CVarListFind(m.Word(2)))
             c.selectionVariable = variable;
     }},
    {"info_hold_var", 3,
     [](GuiWeaponList& c, const ScriptCommand& m, const GuiScriptTarget&) {
         if (ConsoleVar* variable = CVarListFind(m.Word(2)))
             c.informationVariable = variable;
     }},
    {"filter", 3,
     [](GuiWeaponList& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.category = GuiScriptInteger(m.Word(2));
     }},
    {"sel_fn", 3,
     [](GuiWeaponList& c, const ScriptCommand& m, const GuiScriptTarget&) { c.selectionCommand.Bind(m.Word(2)); }},
};

}  // namespace

bool GuiBuildWeaponListSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section)
{
    GuiWeaponList* list = nullptr;
    if (CompareNoCase(kind, "WEAPONLIST") == 0)
        list = new GuiWeaponList();
    else if (CompareNoCase(kind, "NETACTORLIST") == 0)
        list = new GuiNetActorList();
    else
        return false;
    target.screen->AddControl(list);
    GuiApplyKeyRows(*list, kWeaponListRows, section, target);
    return true;
}
