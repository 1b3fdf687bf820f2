// A soldier's death as its commander, its group and its target learn it: the commander loses its
// strength, a reporting group's radio announces it, and the soldier's target lock is released.
#include <string>

#include "ai/squads/ai_groups.h"
#include "ai/soldier/ai_interface.h"
#include "ai/squads/commanders.h"
#include "gui/screens/gui_in_game.h"

namespace {
constexpr u32_t kRadioSubtitleMs = 1500;
}

void AIInterface::ReportDeath()
{
    ++deathReports;
    if (commandStack)
        MemberLost(commandStack);
    if (group && group->radioReports) {
        // Built whole whatever the group's name's length: a cut key names no line.
        std::string text = "messages._gm_";
        text += group->name.Text();
        if (group->CountAlive() == 0)
            text += "team_down";
        else
            text += std::to_string(group->IndexOf(this) + 1) + "_down";
        GuiShowSubtitle(nullptr, text.c_str(), kRadioSubtitleMs);
    }
    if (lockedTarget)
        lockedTarget->RemoveLocker(this);
}
