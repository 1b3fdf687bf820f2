// The keys of "SLIDESHOW" sections.
#include "gui/screen_scripts/control_rows_table.h"
#include "gui/texts/fonts.h"
#include "gui/screens/gui.h"
#include "gui/texts/gui_locale.h"
#include "gui/media/gui_slide_show.h"

namespace {

using Row = GuiKeyRow<GuiSlideShow>;

const Row kSlideShowRows[] = {
    {"zindex", 3, [](GuiSlideShow& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetZIndex(GuiRowLayer(m)); }},
    {"coord", 6,
     [](GuiSlideShow& c, const ScriptCommand& m, const GuiScriptTarget&) {
         for (int i = 0; i < 4; ++i)
             c.rect[i] = GuiRowNumber(m, 2 + i);
     }},
    {"name", 3, [](GuiSlideShow& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
    {"opacity", 3,
     [](GuiSlideShow& c, const ScriptCommand& m, const GuiScriptTarget&) { c.opacity = GuiRowNumber(m, 2); }},
    {"images", 2,
     [](GuiSlideShow& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         for (int i = 2; i < m.WordCount(); ++i)
             c.AddImage(GuiScriptTexture(t, m.Word(i)));
     }},
    {"intervals", 2,
     [](GuiSlideShow& c, const ScriptCommand& m, const GuiScriptTarget&) {
         for (int i = 2; i < m.WordCount(); ++i)
             c.AddInterval(static_cast<u32_t>(GuiScriptInteger(m.Word(i))));
     }},
    {"text_prop", 5,
     [](GuiSlideShow& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.textX = GuiRowNumber(m, 2);
         c.textY = GuiRowNumber(m, 3);
         c.textSize = GuiRowNumber(m, 4);
     }},
    {"texts", 2,
     [](GuiSlideShow& c, const ScriptCommand& m, const GuiScriptTarget&) {
         for (int i = 2; i < m.WordCount(); ++i)
             c.AddText(m.Word(i));
     }},
    {"font", 3, [](GuiSlideShow& c, const ScriptCommand& m, const GuiScriptTarget&) { c.font = FindFont(m.Word(2)); }},
    {"type", 3,
     [](GuiSlideShow& c, const ScriptCommand& m, const GuiScriptTarget&) { c.type = GuiScriptInteger(m.Word(2)); }},
    {"tooltip", 3,
     [](GuiSlideShow& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.SetTooltip(GuiFindLocaleText(m.Word(2)));
     }},
    {"source", 3, [](GuiSlideShow& c, const ScriptCommand& m, const GuiScriptTarget&) { c.source.Assign(m.Word(2)); }},
};

}  // namespace

bool GuiBuildSlideShowSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section)
{
    if (CompareNoCase(kind, "SLIDESHOW") != 0)
        return false;
    auto* show = new GuiSlideShow();
    target.screen->AddControl(show);
    GuiApplyKeyRows(*show, kSlideShowRows, section, target);
    return true;
}
