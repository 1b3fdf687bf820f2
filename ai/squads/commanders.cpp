#include "ai/squads/commanders.h"

#include "actors/actor.h"
#include "ai/squads/ai_groups.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/msal/msal_runtime.h"
#include "ai/envelopes/shape_envelopes.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/random.h"

const char* const AI_MANOEUVRE_LEFT[] = {
    "Begin(0)",
    "MoveToPt(x,-600,10,1000)",
    "MoveToPt(x,-500,10,500)",
    "MoveToPt(x,-500,10,0)",
    "MoveToPt(x,-300,10,-500)",
    "MoveToPt(x,0,10,-700)",
    "MoveToPt(x,0,10,-200)",
    "End(0)",
    nullptr,
};

const char* const AI_MANOEUVRE_RIGHT[] = {
    "Begin(0)",
    "MoveToPt(x,600,10,1000)",
    "MoveToPt(x,500,10,500)",
    "MoveToPt(x,500,10,0)",
    "MoveToPt(x,300,10,-500)",
    "MoveToPt(x,0,10,-700)",
    "MoveToPt(x,0,10,-200)",
    "End(0)",
    nullptr,
};

namespace {

// A fixed pool: the records stay in place, the pointer array is reordered.
template <class T>
class RecordPool {
public:
    RecordPool() { Clear(); }
    void Clear()
    {
        for (s32_t i = 0; i < AI_COMMAND_POOL_SIZE; ++i)
            slots[i] = &records[i];
        count = 0;
    }
    T* Allocate(const char* what)
    {
        if (count >= AI_COMMAND_POOL_SIZE) {
            ConPrint(0, ERROR_COLOUR "No room for more than %d %s!\n", AI_COMMAND_POOL_SIZE, what);
            return nullptr;
        }
        T* record = slots[count];
        *record = T{};
        record->poolPosition = count++;
        return record;
    }
    // A record that is not live in this pool (freed twice, from before a reset) is left alone.
    void Free(T* record)
    {
        if (!IsLive(record))
            return;
        const s32_t at = record->poolPosition;
        T* last = slots[count - 1];
        slots[at] = last;
        last->poolPosition = at;
        slots[count - 1] = record;
        record->poolPosition = -1;
        --count;
    }
    bool IsLive(const T* record) const
    {
        return record && record->poolPosition >= 0 && record->poolPosition < count &&
               slots[record->poolPosition] == record;
    }
    s32_t Count() const { return count; }
    T* At(s32_t i) const { return slots[i]; }

private:
    T records[AI_COMMAND_POOL_SIZE];
    T* slots[AI_COMMAND_POOL_SIZE];
    s32_t count = 0;
};

RecordPool<AIMaster> g_masters;
RecordPool<AICommander> g_commanders;
RecordPool<AICommandStack> g_stacks;
RecordPool<AICommandLink> g_links;
AIMaster* g_sides[AI_MASTER_COUNT] = {};

// The envelope's slot in the envelope table; -1 when it is not there.
s32_t EnvelopeSlot(const Envelope* envelope)
{
    for (u32_t slot = 0; slot < ENVELOPE_TABLE_SLOTS; ++slot) {
        if (envelope && g_ai.envelopes[slot] == envelope)
            return static_cast<s32_t>(slot);
    }
    return -1;
}

Envelope* SoldierEnvelope(const AICommandStack* stack)
{
    return stack->soldier && stack->soldier->body ? stack->soldier->body->envelope : nullptr;
}

void FreeLink(AICommandLink*& link)
{
    g_links.Free(link);
    link = nullptr;
}

void UnlinkFromMaster(AICommander* commander)
{
    AIMaster* master = commander->master;
    if (!master)
        return;
    if (commander->previous)
        commander->previous->next = commander->next;
    else if (master->commanders == commander)
        master->commanders = commander->next;
    if (commander->next)
        commander->next->previous = commander->previous;
    --master->commanderCount;
    s32_t kept = 0;
    for (s32_t i = 0; i < master->createdCount; ++i) {
        if (master->created[i] != commander)
            master->created[kept++] = master->created[i];
    }
    for (s32_t i = kept; i < master->createdCount; ++i)
        master->created[i] = nullptr;
    master->createdCount = kept;
    commander->next = commander->previous = nullptr;
    commander->master = nullptr;
}

void Dissolve(AICommander* commander)
{
    UnlinkFromMaster(commander);
    FreeLink(commander->upperLevel);
    if (commander->group && commander->group->commander == commander)
        commander->group->SetCommander(nullptr);
    commander->group = nullptr;
    g_commanders.Free(commander);
}

}  // namespace

void CommandPoolsInit()
{
    // Soldiers still holding stacks of the old pools forget them.
    for (s32_t i = 0; i < g_stacks.Count(); ++i) {
        AICommandStack* stack = g_stacks.At(i);
        if (stack->soldier && stack->soldier->commandStack == stack)
            stack->soldier->commandStack = nullptr;
    }
    for (s32_t i = 0; i < g_commanders.Count(); ++i) {
        AICommander* commander = g_commanders.At(i);
        if (commander->group && commander->group->commander == commander)
            commander->group->SetCommander(nullptr);
    }
    g_masters.Clear();
    g_commanders.Clear();
    g_stacks.Clear();
    g_links.Clear();
    for (s32_t side = 0; side < AI_MASTER_COUNT; ++side) {
        g_sides[side] = g_masters.Allocate("masters");
        g_sides[side]->value = side;
    }
    g_sides[0]->partner = g_sides[1];
    g_sides[1]->partner = g_sides[0];
}

AIMaster* CommandMaster(s32_t side)
{
    if (side < 0 || side >= AI_MASTER_COUNT || !g_masters.IsLive(g_sides[side]))
        return nullptr;
    return g_sides[side];
}

AICommander* CreateGroupOnSide(s32_t side)
{
    AIMaster* master = CommandMaster(side);
    if (!master)
        return nullptr;
    AICommander* commander = g_commanders.Allocate("commanders");
    if (!commander)
        return nullptr;
    auto* point = new PointEnvelope("", Vector3{0.0f, 0.0f, 0.0f}, POINT_ENVELOPE_DEFAULT_RADIUS);
    // The table owns the command point; one it cannot hold would belong to no one.
    if (EnvelopeRegister(point) < 0)
        delete point;
    else
        commander->commandPoint = point;
    commander->master = master;
    commander->next = master->commanders;
    if (master->commanders)
        master->commanders->previous = commander;
    master->commanders = commander;
    ++master->commanderCount;
    master->strengthSum += commander->strengthSum;
    master->created[master->createdCount++] = commander;
    return commander;
}

AICommandStack* CreateCommandStack(AIInterface* soldier, float strength)
{
    if (!soldier)
        return nullptr;
    AICommandStack* stack = g_stacks.Allocate("command stacks");
    if (!stack)
        return nullptr;
    stack->soldier = soldier;
    stack->strength = strength;
    soldier->commandStack = stack;
    return stack;
}

void FreeCommandStack(AICommandStack* stack)
{
    if (!g_stacks.IsLive(stack))
        return;
    RemoveMember(stack);
    FreeLink(stack->link);
    if (stack->soldier && stack->soldier->commandStack == stack)
        stack->soldier->commandStack = nullptr;
    stack->soldier = nullptr;
    g_stacks.Free(stack);
}

void SetUpperLevel(AICommander* commander, AICommander* level)
{
    if (!g_commanders.IsLive(commander))
        return;
    FreeLink(commander->upperLevel);
    if (!level)
        return;
    commander->upperLevel = g_links.Allocate("command links");
    if (commander->upperLevel)
        commander->upperLevel->owner = level;
}

void AddMemberToGroup(AICommander* commander, AICommandStack* stack)
{
    if (!g_commanders.IsLive(commander) || !g_stacks.IsLive(stack) || stack->commander == commander)
        return;
    if (stack->commander)
        RemoveMember(stack);
    stack->previous = nullptr;
    stack->next = commander->stacks;
    if (commander->stacks)
        commander->stacks->previous = stack;
    commander->stacks = stack;
    ++commander->stackCount;
    commander->strengthSum += stack->strength;
    stack->commander = commander;
}

void RemoveMember(AICommandStack* stack)
{
    if (!g_stacks.IsLive(stack) || !stack->commander)
        return;
    AICommander* commander = stack->commander;
    if (stack->previous)
        stack->previous->next = stack->next;
    else if (commander->stacks == stack)
        commander->stacks = stack->next;
    if (stack->next)
        stack->next->previous = stack->previous;
    stack->next = stack->previous = nullptr;
    stack->commander = nullptr;
    if (--commander->stackCount <= 0)
        Dissolve(commander);
}

void MemberLost(AICommandStack* stack)
{
    if (!g_stacks.IsLive(stack) || !stack->commander)
        return;
    AICommander* commander = stack->commander;
    AIMaster* master = commander->master;
    commander->strengthSum -= stack->strength;
    FreeLink(stack->link);
    AICommander* level = commander->upperLevel ? commander->upperLevel->owner : nullptr;
    if (commander->stackCount == 1)
        FreeLink(commander->upperLevel);
    const bool dissolved = commander->stackCount == 1;
    RemoveMember(stack);
    if (!level)
        return;
    level->lowerStrengthSum -= stack->strength;
    EvaluateSituation(master, dissolved ? nullptr : commander, level);
}

void ExecuteCommandStack(AICommandStack* stack, const char* const* statements, Envelope* target)
{
    if (!g_stacks.IsLive(stack) || !statements)
        return;
    Envelope* soldier = SoldierEnvelope(stack);
    Envelope* at = target;
    if (!at && stack->commander)
        at = stack->commander->commandPoint;
    if (!soldier || !at)
        return;
    MSALExtBegin(soldier);
    for (const char* const* statement = statements; *statement; ++statement)
        MSALExtAdd(*statement, at);
    MSALExtEnd();
    stack->soldier->SetAlertMode(nullptr);
    if (!target)
        ConPrint(0, "Soldier '%s': cmd stack executed on commander '%d'\n", soldier->name.Text(),
                 stack->commander ? stack->commander->poolPosition : -1);
    else
        ConPrint(0, "Soldier '%s': cmd stack executed on envelope '%d'\n", soldier->name.Text(), EnvelopeSlot(target));
}

void ExecuteManoeuvre(AICommander* commander)
{
    if (!g_commanders.IsLive(commander))
        return;
    const AICommandStack* first = commander->stacks;
    if (first && first->soldier && first->soldier->body && commander->commandPoint) {
        const Vector3 at = first->soldier->body->GetPosition();
        commander->commandPoint->point = at;
        commander->commandPoint->position = at;
    }
    bool left = (EngineRand() & 1) != 0;
    MSALExtSyncBegin();
    for (AICommandStack* stack = commander->stacks; stack; stack = stack->next) {
        ExecuteCommandStack(stack, left ? AI_MANOEUVRE_LEFT : AI_MANOEUVRE_RIGHT, nullptr);
        left = !left;
    }
    MSALExtSyncEnd();
    ConPrint(0, "commander %d: manever executed (%d)\n", commander->poolPosition, commander->stackCount);
    FreeLink(commander->upperLevel);
}

void EvaluateSituation(AIMaster* master, AICommander* commander, AICommander* level)
{
    (void)master;
    if (!commander)
        ConPrint(0, "Master sit changed\n");
    else
        ConPrint(0, "Commander %d: sit changed\n", commander->poolPosition);
    float score = 0.0f;
    float lowerStrength = 0.0f;
    if (g_commanders.IsLive(level)) {
        for (const AICommandStack* stack = level->stacks; stack; stack = stack->next) {
            if (stack->engaged == 0)
                score -= 50.0f;
        }
        lowerStrength = level->lowerStrengthSum;
    }
    if (score - lowerStrength < 50.0f) {
        ConPrint(0, "master: situation serious\n");
        if (commander)
            ExecuteManoeuvre(commander);
    }
}

s32_t CommanderCount()
{
    return g_commanders.Count();
}

s32_t CommandStackCount()
{
    return g_stacks.Count();
}

s32_t CommandLinkCount()
{
    return g_links.Count();
}
