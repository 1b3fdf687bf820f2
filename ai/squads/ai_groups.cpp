#include "ai/squads/ai_groups.h"

#include <cstdio>
#include <string>

#include "actors/actor.h"
#include "ai/soldier/ai_interface.h"
#include "ai/squads/commanders.h"
#include "ai/soldier/ai_state.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/frame_view.h"
#include "core/log.h"
#include "core/strings/text_case.h"
#include "map/registry/world_registry.h"

namespace {

bool IsKey(const DefEntry* entry, const char* key)
{
    return CompareNoCase(entry->key.Text(), key) == 0;
}

// The soldier joins the group; its own link names the group only when the group took it.
void Join(AIGroup* group, AIInterface* member)
{
    if (group->AddMember(member))
        member->group = group;
}

void AddActorsNamed(AIGroup* group, const char* name)
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* object = objects[i];
        if (!object || object->GetTypeId() != OBJECT_TYPE_ACTOR || CompareNoCase(object->name.Text(), name) != 0)
            continue;
        auto* actor = static_cast<Actor*>(object);
        if (!actor->ai)
            continue;
        Join(group, actor->ai);
        DebugPrint("adding %s to group %s\n", actor->name.Text(), group->name.Text());
    }
}

}  // namespace

bool AIGroup::AddMember(AIInterface* member)
{
    if (!member || memberCount >= AI_GROUP_MEMBER_CAPACITY)
        return false;
    members[memberCount++] = member;
    // The soldier's command stack goes to the group's commander; one made here starts at full
    // strength and not engaged.
    if (commander) {
        AICommandStack* stack = member->commandStack;
        if (!stack)
            stack = CreateCommandStack(member, AI_COMMAND_STACK_STRENGTH);
        AddMemberToGroup(commander, stack);
    }
    return true;
}

s32_t AIGroup::IndexOf(const AIInterface* member) const
{
    for (u32_t i = 0; i < memberCount; ++i)
        if (members[i] == member)
            return static_cast<s32_t>(i);
    return -1;
}

void AIGroup::SetCommander(AICommander* groupCommander)
{
    commander = groupCommander;
    if (commander)
        commander->group = this;
}

void AIGroup::ForgetMember(const AIInterface* member)
{
    const s32_t at = IndexOf(member);
    if (at < 0)
        return;
    for (u32_t i = static_cast<u32_t>(at); i + 1 < memberCount; ++i)
        members[i] = members[i + 1];
    members[--memberCount] = nullptr;
}

s32_t AIGroup::CountAlive() const
{
    s32_t alive = 0;
    for (u32_t i = 0; i < memberCount; ++i)
        alive += members[i]->body && !members[i]->body->isDead ? 1 : 0;
    return alive;
}

void AILoadGroups(const char* missionFolder)
{
    const std::string fileName = std::string(missionFolder ? missionFolder : "") + "\\mission.aig";
    DefFile* file = DefFileLoad(fileName.c_str());
    if (!file)
        return;
    AIGroup* current = nullptr;
    for (const DefEntry* entry = file->first; entry; entry = entry->next) {
        if (IsKey(entry, "group")) {
            if (g_ai.groupCount >= MAX_AI_GROUPS) {
                ConPrint(0, ERROR_COLOUR "'%s': too many groups, '%s' ignored!\n", fileName.c_str(), entry->Value(0));
                current = nullptr;
                continue;
            }
            auto* group = new AIGroup();
            group->name.Assign(entry->Value(0));
            int flag = 0;
            group->radioReports = std::sscanf(entry->Value(1), "%d", &flag) == 1 && flag != 0 ? 1 : 0;
            group->SetCommander(CreateGroupOnSide(group->radioReports ? AI_MASTER_REPORTING : AI_MASTER_OTHER));
            g_ai.groups[g_ai.groupCount++] = group;
            current = group;
        } else if (IsKey(entry, "add")) {
            if (!current) {
                ConPrint(0, ERROR_COLOUR "'%s': 'add %s' outside a group ignored!\n", fileName.c_str(),
                         entry->Value(0));
                continue;
            }
            if (CompareNoCase(entry->Value(0), "player") == 0) {
                DynamicObject* player = g_frameView.player;
                if (player && player->GetTypeId() == OBJECT_TYPE_ACTOR && static_cast<Actor*>(player)->ai)
                    Join(current, static_cast<Actor*>(player)->ai);
                DebugPrint("adding player to group %s\n", current->name.Text());
            } else {
                AddActorsNamed(current, entry->Value(0));
            }
        }
    }
    DefFileRelease(file);
}

void AIClearGroups()
{
    for (AIGroup*& group : g_ai.groups) {
        if (group)
            for (u32_t i = 0; i < group->memberCount; ++i)
                if (group->members[i]->group == group)
                    group->members[i]->group = nullptr;
        if (group && group->commander && group->commander->group == group)
            group->commander->group = nullptr;
        delete group;
        group = nullptr;
    }
    g_ai.groupCount = 0;
}

AIGroup* AIFindGroup(const char* name)
{
    if (!name)
        return nullptr;
    for (u32_t i = 0; i < g_ai.groupCount; ++i)
        if (CompareNoCase(g_ai.groups[i]->name.Text(), name) == 0)
            return g_ai.groups[i];
    return nullptr;
}
