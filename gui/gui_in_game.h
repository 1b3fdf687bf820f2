// What the in-game HUD and the water animation read of the front end: the in-game display flag and
// the four timed message slots that the GUI's message functions fill (both in g_gui, gui/gui.h).
#pragma once
#include "core/types.h"

// A timed message: shown from the start tick (GetTickCount) for the duration in milliseconds.
struct GuiMessageSlot {
    u8_t shown;
    u32_t start;
    u32_t duration;
};

// Each shows its slot from now for the duration.
// A radio subtitle: the speaker (null: none) and the key of its localised text are recorded in g_gui
// (subtitleSpeaker, subtitleKey) until the front end shows and voices them.
void GuiShowSubtitle(const char* speaker, const char* textKey, u32_t durationMs);
void GuiShowCaption(u32_t durationMs);
void GuiShowRecord(u32_t durationMs);
void GuiShowResponse(u32_t durationMs);
