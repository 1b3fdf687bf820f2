#include "game/mission/objectives.h"

#include <cstdio>

#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "core/console/console_var.h"
#include "platform/win32.h"

ConsoleVar gb_objective0("gb_objective0", CVAR_BOOL, "false");
ConsoleVar gb_objective1("gb_objective1", CVAR_BOOL, "false");
ConsoleVar gb_objective2("gb_objective2", CVAR_BOOL, "false");
ConsoleVar gb_objective3("gb_objective3", CVAR_BOOL, "false");
ConsoleVar gb_objective4("gb_objective4", CVAR_BOOL, "false");
ConsoleVar gb_objective5("gb_objective5", CVAR_BOOL, "false");
ConsoleVar gi_objectivecnt("gi_objectivecnt", CVAR_INT, "6");

namespace {

constexpr s32_t kResetObjectives = 64;
constexpr u32_t kPoseStoreIntervalMs = 1500;

bool g_poseStored = false;
u32_t g_poseStoreTick = 0;

ConsoleVar* ObjectiveVariable(s32_t n)
{
    char name[32];
    std::snprintf(name, sizeof name, "gb_objective%d", static_cast<int>(n));
    ConsoleVar* cvar = CVarListFind(name);
    return cvar && cvar->type == CVAR_BOOL ? cvar : nullptr;
}

template <typename Pass>
void ForEachPosedEnvelope(Pass pass)
{
    for (Envelope* envelope : g_ai.envelopes) {
        if (envelope && !envelope->disabled && !envelope->IsDestroyedState())
            pass(envelope);
    }
}

}  // namespace

ConsoleVar* ObjectiveComplete(s32_t n)
{
    ConsoleVar* cvar = ObjectiveVariable(n);
    if (cvar)
        cvar->SetBool(true);
    return cvar;
}

bool ObjectiveGet(s32_t n)
{
    const ConsoleVar* cvar = ObjectiveVariable(n);
    return cvar && cvar->Bool();
}

void ObjectivesReset()
{
    for (s32_t n = 0; n < kResetObjectives; ++n) {
        if (ConsoleVar* cvar = ObjectiveVariable(n))
            cvar->SetBool(false);
    }
}

void EnvelopesStorePose()
{
    const u32_t now = GetTickCount();
    if (g_poseStored && now - g_poseStoreTick < kPoseStoreIntervalMs)
        return;
    ForEachPosedEnvelope([](Envelope* envelope) { envelope->StoreObjectPose(); });
    g_poseStored = true;
    g_poseStoreTick = now;
}

void EnvelopesApplyStoredPose()
{
    ForEachPosedEnvelope([](Envelope* envelope) { envelope->ApplyObjectPose(); });
}

void EnvelopesRestorePose()
{
    ForEachPosedEnvelope([](Envelope* envelope) { envelope->RestoreObjectPose(); });
}

void EnvelopesPoseStoreReset()
{
    g_poseStored = false;
    g_poseStoreTick = 0;
}
