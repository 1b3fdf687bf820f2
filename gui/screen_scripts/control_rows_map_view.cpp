// The keys of "MAPVIEW" sections and their command "addpath".
#include "gui/screen_scripts/control_rows_table.h"
#include "gui/screens/gui.h"
#include "gui/media/gui_map_view.h"
#include "gui/screens/gui_scale.h"

namespace {

using Row = GuiKeyRow<GuiMapView>;

const Row kMapViewRows[] = {
    {"name", 3, [](GuiMapView& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetName(m.Word(2)); }},
    {"zindex", 3, [](GuiMapView& c, const ScriptCommand& m, const GuiScriptTarget&) { c.SetZIndex(GuiRowLayer(m)); }},
    {"opacity", 3,
     [](GuiMapView& c, const ScriptCommand& m, const GuiScriptTarget&) { c.opacity = GuiRowNumber(m, 2); }},
    {"coord", 6,
     [](GuiMapView& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.x = GuiRowNumber(m, 2);
         c.y = GuiRowNumber(m, 3);
         c.width = GuiRowNumber(m, 4);
         c.height = GuiRowNumber(m, 5);
     }},
    // With the rectangle as it stands when the key is read.
    {"maxx", 3,
     [](GuiMapView& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.panLimitX = static_cast<float>(GuiScreenWidth()) * c.width * (GuiRowNumber(m, 2) - 1.0f);
     }},
    {"maxy", 3,
     [](GuiMapView& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.panLimitY = static_cast<float>(GuiScreenHeight()) * c.height * (GuiRowNumber(m, 2) - 1.0f);
     }},
    {"tex", 5,
     [](GuiMapView& c, const ScriptCommand& m, const GuiScriptTarget& t) {
         c.mapTexture = GuiScriptTexture(t, m.Word(2));
         c.markerTexture = GuiScriptTexture(t, m.Word(3));
         c.segmentTexture = GuiScriptTexture(t, m.Word(4));
     }},
    {"fontsize", 3,
     [](GuiMapView& c, const ScriptCommand& m, const GuiScriptTarget&) { c.labelSize = GuiRowNumber(m, 2); }},
    {"size", 4,
     [](GuiMapView& c, const ScriptCommand& m, const GuiScriptTarget&) {
         c.endMarkerSize = static_cast<u32_t>(GuiScriptInteger(m.Word(2)));
         c.markerSize = static_cast<u32_t>(GuiScriptInteger(m.Word(3)));
     }},
};

}  // namespace

bool GuiBuildMapViewSection(const GuiScriptTarget& target, const char* kind, const ScriptSection& section)
{
    if (CompareNoCase(kind, "MAPVIEW") != 0)
        return false;
    auto* map = new GuiMapView();
    target.screen->AddControl(map);
    GuiApplyKeyRows(*map, kMapViewRows, section, target);
    for (const ScriptCommand& command : section.commands) {
        if (CompareNoCase(command.Keyword(), "addpath") == 0 && command.WordCount() >= 2)
            map->AddPathName(command.Word(1));
    }
    return true;
}
