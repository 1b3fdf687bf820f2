// The text layers that subtitles, captions, records and responses need: their screens with their
// controls, loaded for the scope (and freed with the screens loaded after them).
#pragma once
#include "gui/screens/gui.h"
#include "gui/controls/gui_controls.h"

class TextLayersScope {
public:
    // Only the subtitle layer ("LAYER10" with "subtitles"), or all four.
    explicit TextLayersScope(bool all) : m_index(GuiScreenCount())
    {
        static const char* const kLayers[][2] = {
            {"LAYER10", "subtitles"},
            {"layer11", "missionmsg"},
            {"layer12", "accomplishmsg"},
            {"layer13", "response"},
        };
        for (const auto& layer : kLayers) {
            auto* screen = new GuiScreen(layer[0]);
            auto* control = new GuiControl();
            control->SetName(layer[1]);
            screen->AddControl(control);
            GuiAddScreen(screen);
            if (!all)
                break;
        }
    }
    ~TextLayersScope()
    {
        GuiFreeScreensFrom(m_index);
        g_gui.subtitleLineCount = 0;
    }
    TextLayersScope(const TextLayersScope&) = delete;
    TextLayersScope& operator=(const TextLayersScope&) = delete;

private:
    u32_t m_index;
};

// Radio subtitles show only with their layer loaded.
class SubtitleLayerScope : public TextLayersScope {
public:
    SubtitleLayerScope() : TextLayersScope(false) {}
};
