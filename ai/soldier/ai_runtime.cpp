#include "ai/soldier/ai_runtime.h"

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/squads/ai_groups.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_log.h"
#include "ai/soldier/ai_state.h"
#include "ai/squads/commanders.h"
#include "ai/squads/defend_points.h"
#include "ai/script/global_functions.h"
#include "ai/msal/msal_methods.h"
#include "ai/msal/msal_runtime.h"
#include "ai/squads/patrol_path.h"
#include "ai/rules/rule_compiler.h"
#include "ai/rules/rules.h"
#include "ai/rules/script_events.h"
#include "ai/script/script_functions.h"
#include "ai/script/script_object.h"
#include "core/frame_view.h"
#include "core/plugins/plugin_api.h"
#include "core/random.h"
#include "map/registry/actor_lists.h"
#include "map/map_cvars.h"
#include "platform/win32.h"

namespace {

// The farthest a soldier may be from the viewer and still be simulated, in world units.
constexpr float kMaxWakeRange = 3000.0f;
// How long a soldier keeps its state before the rule looks again (plus its own jitter), in ms.
constexpr u32_t kAwakeCheckPeriod = 3000;
constexpr u32_t kDormantCheckPeriod = 1000;

// The rule's last run is put up to one declared period into the future, so that soldiers with the
// same rules do not all run them in the same frame.
void StartRuleOutOfStep(Rule* rule, u32_t now)
{
    const double part = static_cast<double>(EngineRand()) * rule->defaultPeriod / ENGINE_RAND_MAX;
    rule->lastRun = now + static_cast<u32_t>(static_cast<s32_t>(part));
}

bool IsPlayerBody(const AIInterface* interface)
{
    return interface->body && interface->body == PlayerActor();
}

}  // namespace

void MSALStartAll()
{
    MSALStartAllRunners();
}

void AIStartup()
{
    if (AILogOpen("log.txt"))
        AILogWrite("=========== LOG start ===========\n");
    for (AIInterface*& slot : g_ai.interfaces)
        slot = nullptr;
    g_ai.interfaceCount = 0;
    CommandPoolsInit();
    SetCompileThisObject(nullptr);
    ScriptClassRegistry::Create();
    ScriptTablesCreate();
    // The table is filled anew for each mission: the mission start adds its own functions after these.
    ScriptFunctionTable::Clear();
    RegisterGlobalScriptFunctions();
    MSALMethodListCreate();
    ActorListsFree();
}

void AILoadScripts()
{
    for (u32_t i = 0; i < g_ai.interfaceCount; ++i)
        g_ai.interfaces[i]->LoadScript();
    // Every compiled rule, not only the enabled ones: none is enabled before the profiles are read,
    // and the rules they enable later keep these phases.
    const u32_t now = GetTickCount();
    for (u32_t i = 0; i < g_ai.interfaceCount; ++i) {
        if (RuleSet* set = g_ai.interfaces[i]->ruleSet) {
            for (s32_t r = 0; r < set->rules.Count(); ++r)
                StartRuleOutOfStep(set->rules.At(r), now);
        }
    }
}

void AIDormancyStep(u32_t now)
{
    const float* view = g_frameView.viewPos;
    float range = mfrange.Float() * 10.0f;
    if (range > kMaxWakeRange)
        range = kMaxWakeRange;
    const float range2 = range * range;
    for (AIInterface* interface : g_ai.interfaces) {
        if (!interface || interface->outOfPlay || !interface->body || IsPlayerBody(interface))
            continue;
        if (interface->entity && interface->entity->team == 0)
            continue;
        const Vector3 at = interface->body->GetPosition();
        const float dx = at.x - view[0];
        const float dy = at.y - view[1];
        const float dz = at.z - view[2];
        const float d2 = dx * dx + dy * dy + dz * dz;
        const u32_t elapsed = now - interface->lastDormancyCheck;
        const u32_t jitter = static_cast<u32_t>(interface->dormancyJitter);
        if (!interface->dormant) {
            if (elapsed > jitter + kAwakeCheckPeriod) {
                if (d2 > range2) {
                    interface->dormant = 1;
                    interface->StopMovement(nullptr);
                }
                interface->lastDormancyCheck = now;
            }
        } else if (elapsed > jitter + kDormantCheckPeriod) {
            if (d2 < range2)
                interface->dormant = 0;
            interface->lastDormancyCheck = now;
        }
    }
}

void AIFrame()
{
    if (g_frameView.currentGameMod && !g_frameView.currentGameMod->aiSoldiers)
        return;
    const u32_t now = GetTickCount();
    AIDormancyStep(now);
    g_frameView.aiTime = now;
    for (u32_t i = 0; i < g_ai.interfaceCount; ++i) {
        AIInterface* interface = g_ai.interfaces[i];
        if (interface->outOfPlay || interface->dormant || IsPlayerBody(interface))
            continue;
        if (interface->body && interface->body->isDead) {
            interface->outOfPlay = 1;
            continue;
        }
        if (interface->ruleSet)
            interface->ruleSet->Run();
    }
}

void AIRestartAll()
{
    g_frameView.aiTime = GetTickCount();
    for (u32_t i = 0; i < g_ai.interfaceCount; ++i) {
        AIInterface* interface = g_ai.interfaces[i];
        if (!interface->ruleSet)
            continue;
        interface->ruleSet->SelectDisableAll();
        if (interface->scriptFile.Length() > 0)
            interface->ruleSet->LoadActiveRules(interface->scriptFile.Text());
    }
}

void AIShutdown()
{
    ActorListsFree();
    AIClearGroups();
    while (g_ai.interfaceCount > 0) {
        AIInterface* last = g_ai.interfaces[--g_ai.interfaceCount];
        g_ai.interfaces[g_ai.interfaceCount] = nullptr;
        delete last;
    }
    // The soldiers that held paths and defend points are gone.
    AIClearPatrolPaths();
    AIClearDefendPoints();
    // The commanders' command points went with the envelope table.
    CommandPoolsInit();
    // The handler templates and the texts they point into; the envelopes that bound instances of
    // them are gone by now.
    ScriptDestroyRegistries();
    ScriptTablesDestroy();
    ScriptFunctionTable::Clear();
    ScriptClassRegistry::Clear();
    MSALMethodListFree();
    SetCurrentRuleSet(nullptr);
    if (AILogIsOpen()) {
        AILogWrite("=========== LOG end ===========\n");
        AILogClose();
    }
}
