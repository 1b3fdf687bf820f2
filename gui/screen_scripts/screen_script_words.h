// How screen scripts' words read as values. A word that is not what the value needs reads as 0.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

class GuiScreen;
struct ScriptCommand;

// What one parser call builds into, and the texture route it chose at its start.
struct GuiScriptTarget {
    GuiScreen* screen = nullptr;
    bool generalTextures = false;  // the in-game screens have loaded: the general texture manager
};

// A decimal number (no "inf", "nan" or hexadecimal forms).
float GuiScriptNumber(const char* word);
// A decimal integer, held to the 32-bit range.
s32_t GuiScriptInteger(const char* word);
// Hexadecimal AARRGGBB.
u32_t GuiScriptColour(const char* word);
// "RIGHT" 1, "LEFT" 2, any other word 0.
s32_t GuiScriptAlignment(const char* word);
// The picture "component\gui\" + word through the chosen route; null when there is none.
IDirect3DTexture8* GuiScriptTexture(const GuiScriptTarget& target, const char* word);

// Reads one control section's "property" commands into a control of the kind and adds it to the
// screen (the message box kind becomes the screen's message box). False for a kind no control has.
bool GuiBuildControlSection(const GuiScriptTarget& target, const char* kind, const struct ScriptSection& section);
