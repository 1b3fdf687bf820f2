#include "ai/msal/msal_runtime.h"

#include <algorithm>
#include <memory>

#include "ai/envelopes/envelope.h"
#include "ai/msal/mission_script_runner.h"
#include "ai/msal/msal_reader.h"
#include "core/assert.h"
#include "core/console/console.h"

namespace {
std::vector<MSALSyncGroup*> g_activeGroups;
std::vector<MSALExpectedMembers*> g_expected;
std::vector<MSALRunner*> g_dynamicRunners;

// The program-made list being built.
struct ExtState {
    Envelope* envelope = nullptr;
    MSALRunner* runner = nullptr;
    MSALCommandList* list = nullptr;
    bool syncActive = false;
    s32_t highestSyncId = 0;
    s32_t syncIdBase = MSAL_SYNC_ID_BASE;
};
ExtState g_ext;

template <class T>
void Erase(std::vector<T*>& items, const T* item)
{
    items.erase(std::remove(items.begin(), items.end(), item), items.end());
}

// Sync ids wrap around instead of overflowing.
s32_t WrappingSum(s32_t a, s32_t b)
{
    return static_cast<s32_t>(static_cast<u32_t>(a) + static_cast<u32_t>(b));
}

bool Contains(const std::vector<MSALRunner*>& runners, const MSALRunner* runner)
{
    return std::find(runners.begin(), runners.end(), runner) != runners.end();
}

bool Complete(const MSALSyncGroup* group)
{
    if (group->expected) {
        for (const MSALRunner* runner : group->expected->runners) {
            const bool destroyed = runner->envelope && runner->envelope->IsDestroyedState();
            if (!destroyed && runner->group != group)
                return false;
        }
    } else if (group->members.size() < 2) {
        return false;
    }
    return std::all_of(group->members.begin(), group->members.end(),
                       [](const MSALRunner* runner) { return runner->arrived != 0; });
}
}  // namespace

void MSALRuntimeCreate()
{
    // The runtime's lists are containers that exist from the start, emptied by MSALRuntimeFree:
    // there is nothing to make, and a second call keeps what is there.
}

void MSALRuntimeFree()
{
    for (MSALSyncGroup* group : g_activeGroups)
        delete group;
    g_activeGroups.clear();
    for (MSALExpectedMembers* expected : g_expected)
        delete expected;
    g_expected.clear();
    for (MSALRunner* runner : g_dynamicRunners)
        delete runner;
    g_dynamicRunners.clear();
    g_ext = ExtState{};
}

MSALExpectedMembers* MSALExpectedFor(s32_t syncId)
{
    for (MSALExpectedMembers* expected : g_expected) {
        if (expected->syncId == syncId)
            return expected;
    }
    MSALExpectedMembers* expected = new MSALExpectedMembers;
    expected->syncId = syncId;
    g_expected.push_back(expected);
    return expected;
}

void MSALExpectRunner(MSALRunner* runner, s32_t syncId)
{
    MSALExpectedMembers* expected = MSALExpectedFor(syncId);
    if (!Contains(expected->runners, runner))
        expected->runners.push_back(runner);
    // A group of the id may have formed before the record existed.
    for (MSALSyncGroup* active : g_activeGroups) {
        if (active->syncId == syncId && !active->expected)
            active->expected = expected;
    }
}

MSALSyncGroup* MSALJoinGroup(MSALRunner* runner, s32_t syncId)
{
    MSALSyncGroup* group = nullptr;
    for (MSALSyncGroup* active : g_activeGroups) {
        if (active->syncId == syncId)
            group = active;
    }
    if (!group) {
        group = new MSALSyncGroup;
        group->syncId = syncId;
        for (MSALExpectedMembers* expected : g_expected) {
            if (expected->syncId == syncId)
                group->expected = expected;
        }
        g_activeGroups.push_back(group);
    }
    if (runner->group && runner->group != group)
        MSALRemoveFromGroup(runner);
    if (!Contains(group->members, runner))
        group->members.push_back(runner);
    runner->group = group;
    return group;
}

void MSALReleaseTest(MSALSyncGroup* group)
{
    if (!group || !Complete(group))
        return;
    ConPrint(0, "Synchronized: ");
    for (const MSALRunner* runner : group->members)
        ConPrint(0, "%s ", runner->envelope ? runner->envelope->name.Text() : "");
    ConPrint(0, " \n");
    // The group goes before its members move on, so that none of them can join it again or keep it.
    Erase(g_activeGroups, group);
    const std::vector<MSALRunner*> members = std::move(group->members);
    delete group;
    for (MSALRunner* runner : members) {
        runner->arrived = 0;
        runner->group = nullptr;
    }
    for (MSALRunner* runner : members)
        runner->Advance();
}

void MSALRemoveFromGroup(MSALRunner* runner)
{
    if (runner && runner->group)
        Erase(runner->group->members, runner);
}

s32_t MSALActiveGroupCount()
{
    return static_cast<s32_t>(g_activeGroups.size());
}

void MSALStartAllRunners()
{
    const std::vector<MSALCommandList*>& lists = MSALLists();
    for (size_t i = 0; i < lists.size(); ++i) {
        if (lists[i]->inactive)
            continue;
        for (size_t r = 0; r < lists[i]->runners.size(); ++r)
            lists[i]->runners[r]->ExecuteCurrent();
    }
}

void MSALExtBegin(Envelope* envelope)
{
    ENGINE_ASSERT_TEXT(!g_ext.envelope && !g_ext.list, "!obj && !list");
    g_ext.envelope = envelope;
    g_ext.list = MSALAddList("", true);
    MSALRunner* runner = nullptr;
    if (envelope && envelope->msalCompletion && envelope->msalCompletion->runner)
        runner = envelope->msalCompletion->runner;
    else if (envelope && envelope->runner)
        runner = envelope->runner;
    if (!runner) {
        if (static_cast<s32_t>(g_dynamicRunners.size()) >= MSAL_MAX_DYNAMIC_RUNNERS) {
            MSALError("no room for more than %d program-made runners", MSAL_MAX_DYNAMIC_RUNNERS);
        } else {
            runner = new MSALRunner(envelope, nullptr);
            g_dynamicRunners.push_back(runner);
            if (envelope && !envelope->runner)
                envelope->runner = runner;
        }
    }
    g_ext.runner = runner;
}

void MSALExtAdd(const char* statement, Envelope* defaultEnvelope)
{
    ENGINE_ASSERT_TEXT(g_ext.envelope && g_ext.list, "obj && list");
    MSALCommand* command = MSALParseStatement(statement, defaultEnvelope);
    if (!command)
        return;
    if (command->kind == MSAL_BEGIN || command->kind == MSAL_END) {
        if (!g_ext.syncActive) {
            ConPrint(0, "MSAL Warning: common sync not open while creating dynamic list (sync cmd ignored)!\n");
            delete command;
            return;
        }
        g_ext.highestSyncId = std::max(g_ext.highestSyncId, command->value);
        command->value = WrappingSum(command->value, g_ext.syncIdBase);
        // The soldiers of one common sync wait for each other at its "End": without the record a
        // soldier sent alone, or left alone by a partner's death, would never be released.
        if (command->kind == MSAL_END && g_ext.runner)
            MSALExpectRunner(g_ext.runner, command->value);
    }
    g_ext.list->Append(command);
}

void MSALExtEnd()
{
    ENGINE_ASSERT_TEXT(g_ext.envelope && g_ext.list, "obj && list");
    MSALRunner* runner = g_ext.runner;
    MSALCommandList* list = g_ext.list;
    g_ext.envelope = nullptr;
    g_ext.runner = nullptr;
    g_ext.list = nullptr;
    if (!runner)
        return;  // refused: the list does not run
    runner->EnterSublist(list, true);
    runner->ExecuteCurrent();
}

void MSALExtSyncBegin()
{
    ENGINE_ASSERT_TEXT(!g_ext.syncActive, "!sync_active");
    g_ext.syncActive = true;
    g_ext.highestSyncId = 0;
}

void MSALExtSyncEnd()
{
    ENGINE_ASSERT_TEXT(g_ext.syncActive, "sync_active");
    g_ext.syncActive = false;
    g_ext.syncIdBase = WrappingSum(g_ext.syncIdBase, WrappingSum(g_ext.highestSyncId, 1));
    if (g_ext.syncIdBase == 0)
        g_ext.syncIdBase = MSAL_SYNC_ID_BASE;
}

s32_t MSALSyncIdBase()
{
    return g_ext.syncIdBase;
}

s32_t MSALDynamicRunnerCount()
{
    return static_cast<s32_t>(g_dynamicRunners.size());
}
