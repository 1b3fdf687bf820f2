// The table of loaded screens, the error screen shown for unknown names, and the flag that turns
// screen scripts' textures over to the general texture manager once the in-game screens loaded.
#pragma once

#include "core/types.h"

class GuiScreen;

// The error screen (owned by the table; deleted with it); null until the screen manager makes one.
GuiScreen* GuiErrorScreen();
// Takes the screen over as the error screen (an earlier one is deleted).
void GuiSetErrorScreen(GuiScreen* screen);
// Deletes every loaded screen and the error screen.
void GuiFreeScreens();
u32_t GuiScreenCount();
// Deletes the loaded screens from that index on (the in-game screens, loaded after the others, at a
// mission's end); the earlier ones and the error screen stay.
void GuiFreeScreensFrom(u32_t first);

// Set when the in-game screens have been loaded for the first time; never cleared by the GUI.
bool GuiGameScreensLoaded();
void GuiSetGameScreensLoaded(bool loaded);
