// The keys of "SLIDER" and "SCROLLBAR" sections (the same keys).
#include "gui/screen_scripts/control_rows_table.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_scroll_indicators.h"

namespace {

using Row = GuiKeyRow<GuiScrollIndicator>;

const Row kIndicatorRows[] = {
    {"textures", 4,
     [](GuiScrollIndicator& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         c.background.texture = GuiScriptTexture(t, m.Word(2));
         c.knob.texture = GuiScriptTexture(t, m.Word(3));
     }},
    {"bind", 3,
     [](GuiScrollIndicator& c, const ScriptCommand& m, const GuiScriptTarget&) { c.boundName.Assign(m.Word(2)); }},
    {"zindex", 3,
     [](GuiScrollIndicator& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetZIndex(GuiRowLayer(m)); }},
    {"bg_coord", 6,
     [](GuiScrollIndicator& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.background.x = GuiRowNumber(m, 2);
         c.background.y = GuiRowNumber(m, 3);
         c.background.width = GuiRowNumber(m, 4);
         c.background.height = GuiRowNumber(m, 5);
     }},
    {"opacity", 4,
     [](GuiScrollIndicator& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.background.opacity = GuiRowNumber(m, 2);
         c.knob.opacity = GuiRowNumber(m, 3);
     }},
};

}  // namespace

bool GuiBuildIndicatorSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section)
{
    GuiScrollIndicator* indicator = nullptr;
    if (CompareNoCase(kind, "SLIDER") == 0)
        indicator = new GuiSlider();
    else if (CompareNoCase(kind, "SCROLLBAR") == 0)
        indicator = new GuiScrollBar();
    else
        return false;
    target.screen->AddControl(indicator);
    GuiApplyKeyRows(*indicator, kIndicatorRows, section, target);
    return true;
}
