// The layer that radio subtitles need: the screen "LAYER10" with its control "subtitles", loaded for
// the scope (and freed with the screens loaded after it).
#pragma once
#include "gui/gui.h"
#include "gui/gui_controls.h"

class SubtitleLayerScope {
public:
    SubtitleLayerScope() : m_index(GuiScreenCount())
    {
        auto* layer = new GuiScreen("LAYER10");
        auto* lines = new GuiControl();
        lines->SetName("subtitles");
        layer->AddControl(lines);
        GuiAddScreen(layer);
    }
    ~SubtitleLayerScope()
    {
        GuiFreeScreensFrom(m_index);
        g_gui.subtitleLineCount = 0;
    }
    SubtitleLayerScope(const SubtitleLayerScope&) = delete;
    SubtitleLayerScope& operator=(const SubtitleLayerScope&) = delete;

private:
    u32_t m_index;
};
