// The keys of "VIDEO" sections.
#include "gui/screen_scripts/control_rows_table.h"
#include "gui/screens/gui.h"
#include "gui/texts/gui_locale.h"
#include "gui/media/gui_video.h"

namespace {

using Row = GuiKeyRow<GuiVideo>;

const Row kVideoRows[] = {
    {"zindex", 3, [](GuiVideo& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetZIndex(GuiRowLayer(m)); }},
    {"coord", 6,
     [](GuiVideo& c, const ScriptCommand& m, const GuiScriptTarget&) {
         for (int i = 0; i < 4; ++i)
             c.rect[i] = GuiRowNumber(m, 2 + i);
     }},
    {"name", 3, [](GuiVideo& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
    {"video", 3, [](GuiVideo& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetVideo(m.Word(2)); }},
    {"opacity", 3, [](GuiVideo& c, const ScriptCommand& m, const GuiScriptTarget&) { c.opacity = GuiRowNumber(m, 2); }},
    {"tooltip", 3,
     [](GuiVideo& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetTooltip(GuiFindLocaleText(m.Word(2))); }},
};

}  // namespace

bool GuiBuildVideoSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section)
{
    if (CompareNoCase(kind, "VIDEO") != 0)
        return false;
    auto* video = new GuiVideo();
    target.screen->AddControl(video);
    GuiApplyKeyRows(*video, kVideoRows, section, target);
    return true;
}
