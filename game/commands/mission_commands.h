// The console commands of the mission flow: the briefing of the current map, the display mode and
// the graphics settings with their file "config.def", and the script listing.
#pragma once
#include <string>

#include "core/types.h"

// Up to three decimal numbers of a mode text such as "800 600 32b" or "1024x768x32": a number ends
// at a blank, an "x", a "b" or any other character that is no digit. Numbers not found stay 0; the
// result is how many were read.
int ParseModeText(const char* text, s32_t numbers[3]);

// Set by gx_fillquickmissioninfo, cleared by gx_fillmissioninfo: the mission about to start is a
// quick mission.
bool GameQuickMissionChosen();

// gx_fillmissioninfo's briefing steps (declared with the accounts, game/accounts/accounts.h) and the same
// for a quick mission.
s32_t GameFillQuickMissionInfo(const char* arguments);
// Prints the sectioned script named by the argument as a tree on console 0.
s32_t GamePrintScript(const char* arguments);
// "width height bits": the display mode changes and every device resource is made again; -1 when
// fewer than two numbers are given or no mode could be set.
s32_t GameSetMode(const char* arguments);
// Applies gs_graphmode: a size other than the current one goes into riwidth and riheight and into
// "config.def" (written whole or not at all); -1 when the file cannot be written or the mode text
// gives no size.
s32_t GameApplyGraphSettings(const char* arguments);
// The 19 lines of "config.def" for the current values.
std::string GameConfigText();
