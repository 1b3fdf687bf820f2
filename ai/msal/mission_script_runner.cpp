#include "ai/msal/mission_script_runner.h"

#include <memory>

#include "ai/msal/msal_reader.h"
#include "ai/msal/msal_runtime.h"
#include "core/console/console.h"
#include "core/mission_timers.h"
#include "platform/win32.h"

namespace {
// Waiters of runners that went while an event still held them; freed at exit.
std::vector<std::unique_ptr<ScriptEventWaiter>>& OrphanWaiters()
{
    static std::vector<std::unique_ptr<ScriptEventWaiter>> orphans;
    return orphans;
}

void AdvanceRunner(MSALRunner* runner)
{
    runner->Advance();
}

void AdvanceWaitingRunner(void* target)
{
    static_cast<MSALRunner*>(target)->Advance();
}
}  // namespace

MSALRunner::MSALRunner(Envelope* target, MSALCommandList* list) : commands(list), envelope(target), firstList(list)
{
    completion.function = &AdvanceRunner;
    completion.runner = this;
    command = list ? list->first : nullptr;
    eventWaiter = new ScriptEventWaiter;
    eventWaiter->callback = &AdvanceWaitingRunner;
    eventWaiter->target = this;
    eventWaiter->active = 0;
}

MSALRunner::~MSALRunner()
{
    // An event may still hold the waiter, and the envelope the completion record: neither reaches a
    // runner that is gone.
    eventWaiter->active = 0;
    if (subscribed)
        OrphanWaiters().emplace_back(eventWaiter);
    else
        delete eventWaiter;
    completion.function = nullptr;
    completion.runner = nullptr;
    DetachTimers();
    if (envelope) {
        if (envelope->msalCompletion == &completion)
            envelope->msalCompletion = nullptr;
        if (envelope->runner == this)
            envelope->runner = nullptr;
    }
}

void MSALRunner::ExecuteCurrent()
{
    if (executing || !command)
        return;
    RunFrom(false);
}

void MSALRunner::Advance()
{
    ++advances;
    if (!commands)
        return;
    if (executing) {
        // Completed from inside the command being executed: the loop moves on, so that long runs of
        // commands that complete at once do not nest.
        advancePending = true;
        return;
    }
    RunFrom(true);
}

void MSALRunner::RunFrom(bool stepFirst)
{
    executing = true;
    if (stepFirst)
        StepForward();
    while (command) {
        advancePending = false;
        const Step step = ExecuteOne();
        if (step == Step::Next || advancePending)
            StepForward();
        else if (step == Step::Stay)
            break;
    }
    advancePending = false;
    executing = false;
}

void MSALRunner::StepForward()
{
    timerStarted = 0;
    command = command ? command->next : nullptr;
    while (!command && !frames.empty()) {
        const Frame top = frames.back();
        frames.pop_back();
        ConPrint(0, "'%d' sublist ended.\n", top.list ? top.list->index : -1);
        commands = top.returnList;
        command = top.returnCommand;
        group = top.returnGroup;
    }
}

void MSALRunner::EnterSublist(MSALCommandList* list, bool programMade)
{
    if (!list)
        return;
    if (static_cast<s32_t>(frames.size()) >= MSAL_MAX_SUBLIST_DEPTH) {
        MSALError("lists nested deeper than %d; '%s' not entered", MSAL_MAX_SUBLIST_DEPTH, list->name.c_str());
        return;
    }
    Frame frame;
    frame.list = list;
    frame.programMade = programMade ? 1 : 0;
    frame.returnList = commands;
    frame.returnCommand = programMade ? command : (command ? command->next : nullptr);
    frame.returnGroup = group;
    frames.push_back(frame);
    commands = list;
    command = list->first;
    if (!command)
        StepForward();  // an empty list ends at once
}

MSALRunner::Step MSALRunner::ExecuteOne()
{
    MSALCommand* running = command;
    switch (running->kind) {
        case MSAL_METHOD: {
            EnvelopeTypeTable* table = MSALTypeTable();
            const ScriptMethod* method = table && envelope ? table->GetMethod(envelope->kind, running->value) : nullptr;
            if (!method)
                return Step::Stay;
            envelope->msalCompletion = &completion;
            envelope->msalNotifyPending = 1;
            ScriptCallMethod(envelope, method, running->arguments.empty() ? nullptr : running->arguments.data());
            return Step::Stay;
        }
        case MSAL_BEGIN:
            MSALJoinGroup(this, running->value);
            return Step::Next;
        case MSAL_END:
            arrived = 1;
            MSALReleaseTest(group);
            return Step::Stay;
        case MSAL_CALL:
            if (!running->called)
                return Step::Stay;
            if (static_cast<s32_t>(frames.size()) >= MSAL_MAX_SUBLIST_DEPTH) {
                EnterSublist(running->called, false);  // refused with its error line
                return Step::Next;
            }
            EnterSublist(running->called, false);
            return Step::Jump;
        case MSAL_ITF_SYNC:
            // Owners re-execute the current command every frame: one timer per "ITFSync", or each
            // extra timer would move the runner on again when it expires.
            if (!timerStarted) {
                timerStarted = 1;
                StartTimer(this, running->text.c_str(), running->value);
            }
            return Step::Stay;
        case MSAL_WAIT: {
            const u32_t now = GetTickCount();
            if (!waitStarted) {
                waitStarted = 1;
                waitStart = now;
                return Step::Stay;
            }
            if (static_cast<s32_t>(now - waitStart) > running->value) {
                waitStarted = 0;
                return Step::Next;
            }
            return Step::Stay;
        }
        case MSAL_CRITICAL_BEGIN:
        case MSAL_CRITICAL_END:
            critical = running->kind == MSAL_CRITICAL_BEGIN ? 1 : 0;
            return Step::Next;
        case MSAL_WAIT_FOR_EVENT:
            if (!running->event)
                return Step::Stay;
            eventWaiter->active = 1;
            subscribed = subscribed || !running->event->fired;
            running->event->Subscribe(eventWaiter);
            return Step::Stay;
        default:
            return Step::Stay;
    }
}

void MSALRunner::Reset()
{
    MSALRemoveFromGroup(this);
    frames.clear();
    commands = firstList;
    command = commands ? commands->first : nullptr;
    arrived = 0;
    group = nullptr;
    waitStarted = 0;
    waitStart = 0;
    critical = 0;
    eventWaiter->active = 0;
    timerStarted = 0;
    DetachTimers();
}

void MSALRunner::DetachTimers()
{
    GrowArray<MissionTimer*>* timers = GetTimerList();
    for (s32_t i = 0; i < timers->count; ++i) {
        if ((*timers)[i]->runner == this)
            (*timers)[i]->runner = nullptr;
    }
}

bool MSALRunner::WaitsForCompletion() const
{
    return command && command->kind == MSAL_METHOD && envelope && envelope->msalCompletion == &completion &&
           envelope->msalNotifyPending != 0;
}

MSALRunner* MSALEnvelopeRunner(const Envelope* envelope)
{
    if (!envelope)
        return nullptr;
    if (envelope->msalCompletion && envelope->msalCompletion->runner)
        return envelope->msalCompletion->runner;
    return envelope->runner;
}

void MSALRunner::LeaveGroup()
{
    MSALRemoveFromGroup(this);
    group = nullptr;
}
