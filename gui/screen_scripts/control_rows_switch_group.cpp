// The keys of "SWITCHGROUP" sections: each child section becomes an item first, then the group's own
// keys are read.
#include "core/strings/text_case.h"
#include "gui/screen_scripts/control_key_rows.h"
#include "gui/screens/gui.h"
#include "gui/texts/gui_locale.h"
#include "gui/controls/gui_switch_group.h"

namespace {

const GuiKeyRow<GuiSwitchItem> kItemRows[] = {
    {"name", 3, [](GuiSwitchItem& c, const ScriptCommand& m, const GuiScriptTarget&) { c.name.Assign(m.Word(2)); }},
    {"center", 4,
     [](GuiSwitchItem& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.centreX = static_cast<u32_t>(GuiScriptInteger(m.Word(2)));
         c.centreY = static_cast<u32_t>(GuiScriptInteger(m.Word(3)));
     }},
    {"size", 3,
     [](GuiSwitchItem& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.width = static_cast<u32_t>(GuiScriptInteger(m.Word(2)));
         c.height = c.width;
     }},
    {"tooltip", 3,
     [](GuiSwitchItem& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.SetTooltip(GuiFindLocaleText(m.Word(2)));
     }},
};

const GuiKeyRow<GuiSwitchGroup> kGroupRows[] = {
    {"zindex", 3,
     [](GuiSwitchGroup& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.SetZIndex(static_cast<s16_t>(GuiScriptInteger(m.Word(2))));
     }},
    {"name", 3, [](GuiSwitchGroup& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
    {"sel_hold_var", 3,
     [](GuiSwitchGroup& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetVariable(m.Word(2)); }},
    {"hover_hold_var", 3,
     [](GuiSwitchGroup& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetHoverVariable(m.Word(2)); }},
    {"textures", 5,
     [](GuiSwitchGroup& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         for (int i = 0; i < 3; ++i)
             c.textures[i] = GuiScriptTexture(t, m.Word(2 + i));
     }},
    {"source", 3,
     [](GuiSwitchGroup& c, const ScriptCommand& m, const GuiScriptTarget&) { c.source.Assign(m.Word(2)); }},
    {"call_fn", 3,
     [](GuiSwitchGroup& c, const ScriptCommand& m, const GuiScriptTarget&) { c.command.Bind(m.Word(2)); }},
};

}  // namespace

bool GuiBuildSwitchGroupSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section)
{
    if (CompareNoCase(kind, "SWITCHGROUP") != 0)
        return false;
    auto* group = new GuiSwitchGroup();
    target.screen->AddControl(group);
    for (const ScriptSection* child : section.children) {
        auto* item = new GuiSwitchItem();
        item->group = group;
        GuiApplyKeyRows(*item, kItemRows, *child, target);
        group->AddItem(item);
    }
    GuiApplyKeyRows(*group, kGroupRows, section, target);
    return true;
}
