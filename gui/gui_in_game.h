// What the in-game HUD and the water animation read of the front end: the in-game display flag and
// the four timed message slots that the GUI's message functions fill.
#pragma once
#include "core/types.h"

// Set by the GUI's drawing of in-game screens; cleared on reincarnation, on game load and when the
// GUI goes to a menu screen. While it is set the HUD draws nothing and the water stands still.
extern bool g_guiInGameDisplay;

// A timed message: shown from the start tick (GetTickCount) for the duration in milliseconds.
struct GuiMessageSlot {
    u8_t shown;
    u32_t start;
    u32_t duration;
};

extern GuiMessageSlot g_guiSubtitleSlot;  // layer "LAYER10", control "subtitles"
extern GuiMessageSlot g_guiCaptionSlot;   // layer "layer11", control "missionmsg"
extern GuiMessageSlot g_guiRecordSlot;    // layer "layer12", control "accomplishmsg"
extern GuiMessageSlot g_guiResponseSlot;  // layer "layer13", control "response"

// Each shows its slot from now for the duration.
void GuiShowSubtitle(u32_t durationMs);
void GuiShowCaption(u32_t durationMs);
void GuiShowRecord(u32_t durationMs);
void GuiShowResponse(u32_t durationMs);
