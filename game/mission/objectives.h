// Mission objectives: boolean console variables "gb_objective0" .. "gb_objective5", always found by
// name, with gi_objectivecnt telling how many the mission has; and the passes that store, apply and
// restore the pose of every enveloped world object.
#pragma once
#include "core/types.h"

class ConsoleVar;

// Sets objective n; the variable, or null when there is none of that number (nothing changes).
ConsoleVar* ObjectiveComplete(s32_t n);
// False for a number without a variable.
bool ObjectiveGet(s32_t n);
// Every objective variable of a number 0 .. 63 back to false (leaving a mission).
void ObjectivesReset();

// Over every envelope that is enabled and not destroyed. The store runs at most once per 1500 ms.
void EnvelopesStorePose();
void EnvelopesApplyStoredPose();
void EnvelopesRestorePose();
// The store's clock back to "never stored" (a new mission).
void EnvelopesPoseStoreReset();
