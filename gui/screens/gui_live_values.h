// What GUI texts and buttons read of the running program: live values (a text beginning with "$"
// names a console variable or one of the player's values), the named conditions that hide or
// disable buttons, the named events one control sends another, and the exit actions of buttons.
#pragma once
#include "core/types.h"

class GuiControl;

// True for a text that is not null and begins with "$".
bool GuiIsLiveValue(const char* text);
// Writes the current text of the live value named by text after its first character into out (room
// bytes, cut to fit). A console variable of that name first (exact case); then "CURRENTWEAPON",
// "CURRENTAMMO", "CURRENTMAGAZINES", "CURRENTACCOUNT", "CURRENTHEALTH", "ACTIVATEBULLETCOUNT". The
// player's values are empty without a player or an item; any other name leaves out unchanged.
void GuiGetLiveValue(const char* text, char* out, u32_t room);

// True or false for a condition name (without regard to case); unknown and empty names are true.
bool GuiEvalCondition(const char* name);

// Calls the control's operation of the event name (without regard to case): "OnIncrement",
// "OnDecrement", "OnDeInit", "RefreshData", "DeleteSelection"; others do nothing.
void GuiSendEvent(GuiControl* control, const char* event);

enum GuiExitActionCode : s32_t {
    GUI_EXIT_NONE = 0,
    GUI_EXIT_STARTGAME = 1,
    GUI_EXIT_EXITGAME = 2,
    GUI_EXIT_PREVIOUS = 3,
    GUI_EXIT_EXITTOGUI = 4,
    GUI_EXIT_EXITTOCAMPAIGN = 5,
    GUI_EXIT_EXITTOQUICKMISSIONS = 6,
};
// Sets the pending exit action (g_gui.exitAction) when the name is one of the six exactly (case
// matters); any other name leaves it as it is.
void GuiSetExitAction(const char* name);
