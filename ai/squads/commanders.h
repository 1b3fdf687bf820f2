// The soldiers' command structure: two partner masters, each with its commanders; a commander holds
// the command stacks of its group's soldiers and a command point (a nameless point envelope). When a
// situation turns serious a commander performs a manoeuvre: every soldier under it gets a short
// program-made mission-script list that takes it round the command point, all starting and ending
// together.
//
// Records come from fixed pools of 100 each, reset at AI start. A pool hands out the record at its
// count and stores that position in it; freeing moves the last live record into the freed place.
// A 101st live record of a pool is refused with an error line.
#pragma once
#include "core/types.h"

class AIInterface;
class Envelope;
class PointEnvelope;
struct AIGroup;
struct AICommander;
struct AICommandStack;

constexpr s32_t AI_COMMAND_POOL_SIZE = 100;
// The masters: groups with radio reports serve the first, every other group the second.
constexpr s32_t AI_MASTER_REPORTING = 0;
constexpr s32_t AI_MASTER_OTHER = 1;
constexpr s32_t AI_MASTER_COUNT = 2;
// The strength a soldier brings to its commander when it joins a group.
constexpr float AI_COMMAND_STACK_STRENGTH = 1.0f;

// A link to a level of the command structure (a commander's upper level, a stack's own link).
struct AICommandLink {
    AICommandLink* next = nullptr;
    AICommandLink* previous = nullptr;
    AICommander* owner = nullptr;  // the level linked to
    s32_t poolPosition = -1;
};

struct AIMaster {
    s32_t value = 0;  // given at creation: its side
    AIMaster* partner = nullptr;
    s32_t commanderCount = 0;
    AICommander* commanders = nullptr;  // head of the commander list
    float strengthSum = 0.0f;           // the commanders' strengths
    float reserve = 50.0f;
    s32_t poolPosition = -1;
    // Its live commanders in creation order.
    AICommander* created[AI_COMMAND_POOL_SIZE] = {};
    s32_t createdCount = 0;
};

struct AICommander {
    AICommander* next = nullptr;
    AICommander* previous = nullptr;
    AIMaster* master = nullptr;
    AICommandStack* stacks = nullptr;       // head of its command-stack list
    PointEnvelope* commandPoint = nullptr;  // belongs to the envelope table
    AICommandLink* upperLevel = nullptr;    // null when none
    s32_t stackCount = 0;
    s32_t engaged = 0;
    float parameters[8] = {0.0f, 0.0f, 0.0f, 50.0f, 50.0f, 50.0f, 5.0f, 20.0f};
    s32_t active = 1;
    s32_t poolPosition = -1;
    float strengthSum = 0.0f;       // its command stacks' strengths
    float lowerStrengthSum = 0.0f;  // the strengths of the level below it
    AIGroup* group = nullptr;       // the group it commands; forgets the commander when it is freed
};

// One soldier's place under a commander; the soldier's AIInterface holds it as commandStack.
struct AICommandStack {
    AICommandStack* next = nullptr;
    AICommandStack* previous = nullptr;
    AIInterface* soldier = nullptr;
    AICommander* commander = nullptr;
    float strength = 0.0f;
    AICommandLink* link = nullptr;
    s32_t engaged = 0;
    s32_t poolPosition = -1;
};

// Clears every pool and count and makes the two masters, each the other's partner (at AI start).
// The soldiers that held stacks of the pools before lose them.
void CommandPoolsInit();
// The master of the side (0 or 1); null for any other side.
AIMaster* CommandMaster(s32_t side);

// A new commander of the master of that side, with its command point registered in the envelope
// table; first in the master's commander list, last in its creation array. Null when the side is
// none or the pool is full.
AICommander* CreateGroupOnSide(s32_t side);
// A command stack for the soldier with the strength, engaged 0; the soldier holds it. Null when the
// soldier is null or the pool is full.
AICommandStack* CreateCommandStack(AIInterface* soldier, float strength);
// Takes the stack from its commander and returns it to the pool; the soldier forgets it.
void FreeCommandStack(AICommandStack* stack);
// Links the commander to the level above it (replacing an earlier link); null level unlinks.
void SetUpperLevel(AICommander* commander, AICommander* level);

// Puts the stack first in the commander's list; its strength joins the commander's. A stack under
// another commander leaves that one first. Null on either side adds nothing.
void AddMemberToGroup(AICommander* commander, AICommandStack* stack);
// Unlinks the stack from its commander; a commander left with none is dissolved: unlinked from its
// master, its record freed (the command point stays in the envelope table).
void RemoveMember(AICommandStack* stack);
// The soldier of the stack died: its strength leaves the commander, its link is freed, the stack is
// removed; the level above the commander, when there is one, loses the strength and evaluates.
void MemberLost(AICommandStack* stack);

// Gives the stack's soldier a program-made list of the statements (null-terminated), names in them
// standing for the target: the given envelope or, when none, the commander's command point. The
// soldier then goes into alert mode.
void ExecuteCommandStack(AICommandStack* stack, const char* const* statements, Envelope* target);
// Moves the command point to the commander's first soldier and sends every soldier round it, the
// flanks alternating, all in one common sync; the upper-level link is then freed.
void ExecuteManoeuvre(AICommander* commander);
// Weighs the level's soldiers that are not engaged against its lower strength; a serious situation
// makes the commander, when one is given, perform a manoeuvre.
void EvaluateSituation(AIMaster* master, AICommander* commander, AICommander* level);

// The manoeuvre's two statement lists, null-terminated.
extern const char* const AI_MANOEUVRE_LEFT[];
extern const char* const AI_MANOEUVRE_RIGHT[];

// Live records of each pool (for tests and benchmarks).
s32_t CommanderCount();
s32_t CommandStackCount();
s32_t CommandLinkCount();
