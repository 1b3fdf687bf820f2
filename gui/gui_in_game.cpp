#include "gui/gui_in_game.h"

#include "gui/gui.h"
#include "platform/win32.h"

namespace {

void Show(GuiMessageSlot& slot, u32_t durationMs)
{
    slot.shown = 1;
    slot.start = GetTickCount();
    slot.duration = durationMs;
}

}  // namespace

void GuiShowSubtitle(const char* speaker, const char* textKey, u32_t durationMs)
{
    g_gui.subtitleSpeaker.Assign(speaker ? speaker : "");
    g_gui.subtitleKey.Assign(textKey ? textKey : "");
    ++g_gui.subtitleCount;
    Show(g_gui.subtitleSlot, durationMs);
}
void GuiShowCaption(u32_t durationMs)
{
    Show(g_gui.captionSlot, durationMs);
}
void GuiShowRecord(u32_t durationMs)
{
    Show(g_gui.recordSlot, durationMs);
}
void GuiShowResponse(u32_t durationMs)
{
    Show(g_gui.responseSlot, durationMs);
}
