// The soldier's distance and alert queries. Distances go back to scripts in script units (a tenth
// of the world distance).
#include <cmath>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "ai/script/script_functions.h"
#include "core/frame_view.h"
#include "platform/win32.h"

namespace {

constexpr float kScriptUnitsPerWorldUnit = 0.1f;
// What GetDistToNearestEnemy answers while no enemy is in sight.
constexpr float kNoEnemyDistance = 1e29f;

float ScriptDistance(const Vector3& a, const Vector3& b)
{
    const float dx = a.x - b.x;
    const float dy = a.y - b.y;
    const float dz = a.z - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz) * kScriptUnitsPerWorldUnit;
}

}  // namespace

void AIInterface::GetTargetDist(ScriptArgWord* /*args*/)
{
    g_scriptResult.asFloat = 0.0f;
    if (lockedTarget && lockedTarget->body && body)
        g_scriptResult.asFloat = ScriptDistance(body->GetPosition(), lockedTarget->body->GetPosition());
}

void AIInterface::GetPlayerDist(ScriptArgWord* /*args*/)
{
    // Without a player it answers as without a target.
    g_scriptResult.asFloat = 0.0f;
    if (Actor* player = PlayerActor(); player && body)
        g_scriptResult.asFloat = ScriptDistance(body->GetPosition(), player->GetPosition());
}

void AIInterface::DistFromTargetLastPos(ScriptArgWord* /*args*/)
{
    g_scriptResult.asFloat = body ? ScriptDistance(body->GetPosition(), targetLastPos) : 0.0f;
}

void AIInterface::DistFromHome(ScriptArgWord* /*args*/)
{
    g_scriptResult.asFloat = body ? ScriptDistance(body->GetPosition(), homePosition) : 0.0f;
}

void AIInterface::GetDistToNearestEnemy(ScriptArgWord* /*args*/)
{
    // The list as last refreshed: this query does not look again.
    float nearest = kNoEnemyDistance;
    for (s32_t i = 0; i < visibleEnemies.count && body; ++i) {
        const Actor* enemy = visibleEnemies.items[i]->body;
        if (!enemy)
            continue;
        const float d = ScriptDistance(body->GetPosition(), enemy->GetPosition());
        if (d < nearest)
            nearest = d;
    }
    g_scriptResult.asFloat = nearest;
}

void AIInterface::IsInAlert(ScriptArgWord* /*args*/)
{
    g_scriptResult.asBool = entity && entity->inAlert ? 1 : 0;
}

void AIInterface::TimeFromLastAlert(ScriptArgWord* /*args*/)
{
    g_scriptResult.asInt = static_cast<s32_t>(GetTickCount() - (entity ? entity->lastAlertTick : 0u));
}

void AIInterface::TargetSeenTimeout(ScriptArgWord* /*args*/)
{
    g_scriptResult.asInt = static_cast<s32_t>(g_frameView.aiTime - targetSeenTime);
}
