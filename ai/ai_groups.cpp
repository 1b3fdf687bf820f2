#include "ai/ai_groups.h"

#include "core/text_case.h"

namespace {
std::vector<AIGroup*> g_groups;
}  // namespace

void AIGroupRegister(AIGroup* group)
{
    if (group && !AIGroupFind(group->name.Text()))
        g_groups.push_back(group);
}

void AIGroupUnregister(AIGroup* group)
{
    for (auto it = g_groups.begin(); it != g_groups.end(); ++it)
        if (*it == group) {
            g_groups.erase(it);
            return;
        }
}

AIGroup* AIGroupFind(const char* name)
{
    if (!name)
        return nullptr;
    for (AIGroup* group : g_groups)
        if (CompareNoCase(group->name.Text(), name) == 0)
            return group;
    return nullptr;
}

s32_t AIGroupLivingCount(const AIGroup* group)
{
    s32_t count = 0;
    if (group)
        for (const AIGroupMember* member : group->members)
            count += member && member->IsAlive() ? 1 : 0;
    return count;
}
