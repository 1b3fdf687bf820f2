// A soldier's death as its commander, its group and its target learn it: the commander loses its
// strength, a reporting group's radio announces it, and the soldier's target lock is released.
#include <cstdio>

#include "ai/ai_groups.h"
#include "ai/ai_interface.h"
#include "ai/commanders.h"
#include "gui/gui_in_game.h"

namespace {
constexpr u32_t kRadioSubtitleMs = 1500;
}

void AIInterface::ReportDeath()
{
    ++deathReports;
    if (commandStack)
        MemberLost(commandStack);
    if (group && group->radioReports) {
        char text[192];
        if (group->CountAlive() == 0)
            std::snprintf(text, sizeof text, "messages._gm_%steam_down", group->name.Text());
        else
            std::snprintf(text, sizeof text, "messages._gm_%s%i_down", group->name.Text(), group->IndexOf(this) + 1);
        GuiShowSubtitle(nullptr, text, kRadioSubtitleMs);
    }
    if (lockedTarget)
        lockedTarget->RemoveLocker(this);
}
