// The keys of "KEYPICKER" sections; the name is the input action the picker binds.
#include "core/strings/text_case.h"
#include "gui/screen_scripts/control_key_rows.h"
#include "gui/texts/fonts.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_key_picker.h"
#include "gui/texts/gui_locale.h"
#include "gui/screens/gui_textures.h"

namespace {

using Row = GuiKeyRow<GuiKeyPicker>;

const Row kKeyPickerRows[] = {
    {"zindex", 3,
     [](GuiKeyPicker& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.SetZIndex(static_cast<s16_t>(GuiScriptInteger(m.Word(2))));
     }},
    {"color", 3,
     [](GuiKeyPicker& c, const ScriptCommand& m, const GuiScriptTarget&) { c.colour = GuiScriptColour(m.Word(2)); }},
    {"coord", 6,
     [](GuiKeyPicker& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.x = GuiScriptNumber(m.Word(2));
         c.y = GuiScriptNumber(m.Word(3));
         c.width = GuiScriptNumber(m.Word(4));
         c.height = GuiScriptNumber(m.Word(5));
     }},
    {"name", 3, [](GuiKeyPicker& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
    {"textures", 4,
     [](GuiKeyPicker& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         c.waitingTexture = GuiScriptTexture(t, m.Word(2));
         c.normalTexture = GuiScriptTexture(t, m.Word(3));
     }},
    {"fontsize", 3,
     [](GuiKeyPicker& c, const ScriptCommand& m, const GuiScriptTarget&) { c.fontSize = GuiScriptNumber(m.Word(2)); }},
    {"font", 3, [](GuiKeyPicker& c, const ScriptCommand& m, const GuiScriptTarget&) { c.font = FindFont(m.Word(2)); }},
    {"tooltip", 3,
     [](GuiKeyPicker& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.SetTooltip(GuiFindLocaleText(m.Word(2)));
     }},
    {"click_snd", 3,
     [](GuiKeyPicker& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.clickSound = GuiPlaySound(m.Word(2), false);
     }},
    {"talign", 3,
     [](GuiKeyPicker& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.alignment = GuiScriptAlignment(m.Word(2));
     }},
};

}  // namespace

bool GuiBuildKeyPickerSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section)
{
    if (CompareNoCase(kind, "KEYPICKER") != 0)
        return false;
    auto* picker = new GuiKeyPicker();
    target.screen->AddControl(picker);
    GuiApplyKeyRows(*picker, kKeyPickerRows, section, target);
    return true;
}
