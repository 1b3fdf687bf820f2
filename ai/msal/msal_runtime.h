// The mission script's shared runtime state: sync groups met at "Begin"/"End", the runners made by
// program code, and the program-made lists (soldier command stacks).
#pragma once
#include <vector>

#include "core/types.h"

class Envelope;
class MSALRunner;

// The runners expected at an "End" of that id (every runner of a list holding such an "End").
struct MSALExpectedMembers {
    s32_t syncId = 0;
    std::vector<MSALRunner*> runners;
};

struct MSALSyncGroup {
    s32_t syncId = 0;
    std::vector<MSALRunner*> members;
    MSALExpectedMembers* expected = nullptr;
};

// At most this many runners are made by program code; one more is refused with an error line.
constexpr s32_t MSAL_MAX_DYNAMIC_RUNNERS = 128;
constexpr s32_t MSAL_SYNC_ID_BASE = 1000;

void MSALRuntimeCreate();
void MSALRuntimeFree();
// The expected-members record of the id, made when missing.
MSALExpectedMembers* MSALExpectedFor(s32_t syncId);
// The runner is expected at the "End" of the id (a program-made list's common sync); an active group
// of the id made before is linked to the record.
void MSALExpectRunner(MSALRunner* runner, s32_t syncId);
// The active group of the id, made (and linked to its expected record) when missing.
MSALSyncGroup* MSALJoinGroup(MSALRunner* runner, s32_t syncId);
// Releases the group when every member it waits for has arrived at its "End".
void MSALReleaseTest(MSALSyncGroup* group);
void MSALRemoveFromGroup(MSALRunner* runner);
s32_t MSALActiveGroupCount();

// Every runner of every list that is not program-made executes its current command.
void MSALStartAllRunners();

// The program-made list interface.
void MSALExtBegin(Envelope* envelope);
void MSALExtAdd(const char* statement, Envelope* defaultEnvelope);
void MSALExtEnd();
void MSALExtSyncBegin();
void MSALExtSyncEnd();
s32_t MSALSyncIdBase();
s32_t MSALDynamicRunnerCount();
