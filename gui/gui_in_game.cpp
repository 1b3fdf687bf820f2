#include "gui/gui_in_game.h"

#include "platform/win32.h"

bool g_guiInGameDisplay = false;

GuiMessageSlot g_guiSubtitleSlot = {};
GuiMessageSlot g_guiCaptionSlot = {};
GuiMessageSlot g_guiRecordSlot = {};
GuiMessageSlot g_guiResponseSlot = {};

namespace {

void Show(GuiMessageSlot& slot, u32_t durationMs)
{
    slot.shown = 1;
    slot.start = GetTickCount();
    slot.duration = durationMs;
}

}  // namespace

void GuiShowSubtitle(u32_t durationMs) { Show(g_guiSubtitleSlot, durationMs); }
void GuiShowCaption(u32_t durationMs) { Show(g_guiCaptionSlot, durationMs); }
void GuiShowRecord(u32_t durationMs) { Show(g_guiRecordSlot, durationMs); }
void GuiShowResponse(u32_t durationMs) { Show(g_guiResponseSlot, durationMs); }
