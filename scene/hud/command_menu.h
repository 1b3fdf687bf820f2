// Draws the squad command menu as a column of lines: the title "- name -" (or "- Global -" at the
// root), the back line "..", one numbered line per entry and the closing line "x". The font, text
// size and open level come from the game's menu state (g_hudInput.commandMenu).
#pragma once
#include "core/types.h"
#include "render/draw2d/hud_input.h"
#include "platform/d3d8.h"

// x, y: the top-left as fractions of the screen; extra goes to every text draw; selected: the
// highlighted line. Nothing is drawn without entries or a menu font. The texture factor is white
// afterwards.
void CommandMenuDraw(float x, float y, s32_t extra, const CommandMenuEntries* entries, s32_t selected, D3DCOLOR colour,
                     bool showTitle);

// The pass lists' target indicators: the highlighted entry's target marked green; the remembered
// items' targets red, the second when both of its indicator flags are set, the third when its flag is.
void CommandMenuDrawIndicators();

// Sees every line as it is drawn (tests); null for none.
struct CommandMenuLine {
    const char* text;
    int x, y;
    bool highlighted;
};
using CommandMenuLineTracer = void (*)(const CommandMenuLine& line);
void CommandMenuSetLineTracer(CommandMenuLineTracer tracer);
