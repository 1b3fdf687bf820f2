// What the in-game HUD and the water animation read of the front end: the in-game display flag and
// the four timed text layers that the GUI's show functions fill (both in g_gui, gui/screens/gui.h).
#pragma once
#include "core/types.h"

// A timed message: shown from the start tick (GetTickCount) for the duration in milliseconds.
struct GuiMessageSlot {
    u8_t shown;
    u32_t start;
    u32_t duration;
};

// The subtitle layer keeps its last two lines.
constexpr u32_t GUI_SUBTITLE_LINES = 2;

// Each shows its layer from now for the duration, when the layer's screen is loaded (the subtitle
// layer also needs its control "subtitles"); else nothing happens, sound included.
// A radio subtitle: the line "sender:  text" ("global:  text" without a sender) of the key's locale
// text; the voice named by the key's part after its last "." plays once.
void GuiShowSubtitle(const char* sender, const char* textKey, u32_t durationMs);
// The mission caption: the voice "_gm_" + name cut before its last "_" plays when there is one.
void GuiShowCaption(const char* name, u32_t durationMs);
// The caption of the current map (dsmap), as the game frame shows it after a mission starts.
void GuiShowCaption(u32_t durationMs);
// Record and response: the voice named by gs_records (gs_response) plays when that is not empty.
void GuiShowRecord(u32_t durationMs);
void GuiShowResponse(u32_t durationMs);

// The script functions' road (the argument is the script's optional duration, null when none).
// A record with a duration is armed for the game frame, which shows it 5 s later for that long;
// without one it shows at once for 1500 ms. A response shows at once, 1500 ms without a duration.
void Gui_AddRecord(const s32_t* durationMs);
void Gui_AddResponse(const s32_t* durationMs);
