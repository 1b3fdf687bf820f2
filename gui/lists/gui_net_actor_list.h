// A soldier-class picker for network play: the weapon list's picture and steps over the actor
// definition files whose name holds "net" (in that case), writing the chosen class name into a console
// variable and running a command with the list after each step.
#pragma once
#include "gui/lists/gui_weapon_list.h"

class GuiNetActorList : public GuiWeaponList {
public:
    // Rebuilds; a selection beyond the rebuilt list moves to its last class; then announces it.
    void OnActivate(GuiScreen* previous) override;
    void RefreshData() override;
};
