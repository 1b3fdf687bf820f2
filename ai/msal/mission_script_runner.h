// A runner of the mission script: walks one command list on one envelope, one command at a time,
// descending into called and program-made lists and meeting other runners at sync points.
#pragma once
#include <vector>

#include "ai/envelopes/envelope.h"
#include "ai/rules/script_events.h"
#include "core/types.h"

struct MSALCommand;
struct MSALCommandList;
struct MSALSyncGroup;

// How deep called lists may nest; a deeper "Call" is refused with an error line.
constexpr s32_t MSAL_MAX_SUBLIST_DEPTH = 64;

class MSALRunner {
public:
    MSALRunner() : MSALRunner(nullptr, nullptr) {}
    MSALRunner(Envelope* target, MSALCommandList* list);
    ~MSALRunner();
    MSALRunner(const MSALRunner&) = delete;
    MSALRunner& operator=(const MSALRunner&) = delete;

    // Executes the current command when there is one (and whatever completes at once after it).
    void ExecuteCurrent();
    // Moves to the next command and executes it: what an envelope calls when a command completes.
    void Advance();
    bool InCriticalSection() const { return critical != 0; }
    // The current command is a method call started on the envelope whose completion is still due
    // (a move under way, say).
    bool WaitsForCompletion() const;
    // Back to the first command of its list, out of its group, sublists, wait and critical section.
    void Reset();
    // Takes the runner out of its sync group (its soldier died).
    void LeaveGroup();
    // Enters a list as a sublist. A "Call" returns after the command that called it; a program-made
    // list returns to the command it interrupted, so that command runs again.
    void EnterSublist(MSALCommandList* list, bool programMade);

    MSALCommandList* commands = nullptr;  // the list being run
    Envelope* envelope = nullptr;         // not owned
    MSALCompletionRecord completion;      // what the envelope calls when a command completes
    MSALCommand* command = nullptr;       // the current command; null: idle
    MSALSyncGroup* group = nullptr;       // the sync group joined by "Begin"; null: none
    u8_t arrived = 0;                     // waiting at an "End"
    u8_t waitStarted = 0;
    u32_t waitStart = 0;    // tick count at which the running "Wait" started
    u8_t timerStarted = 0;  // the running "ITFSync" has started its timer
    u8_t critical = 0;
    u32_t advances = 0;  // how often the runner was told to move on

    // The list and command to come back to from a sublist.
    struct Frame {
        MSALCommandList* list = nullptr;  // the called list
        u8_t programMade = 0;
        MSALCommandList* returnList = nullptr;
        MSALCommand* returnCommand = nullptr;
        MSALSyncGroup* returnGroup = nullptr;
    };
    const std::vector<Frame>& Sublists() const { return frames; }

private:
    enum class Step { Stay, Next, Jump };
    Step ExecuteOne();
    void RunFrom(bool stepFirst);
    // Moves past the current command; at the end of a sublist, back to where it was entered.
    void StepForward();
    // Mission timers this runner started forget it, so that none moves it on after a reset or its end.
    void DetachTimers();

    MSALCommandList* firstList = nullptr;  // the list the runner was made for
    std::vector<Frame> frames;
    // Held by an event once subscribed: an event keeps no way to forget it, so a runner that goes
    // while subscribed leaves it behind, inactive.
    ScriptEventWaiter* eventWaiter = nullptr;
    bool subscribed = false;
    bool executing = false;  // inside RunFrom: moving on is left to its loop
    bool advancePending = false;
};

// The runner acting on the envelope: the one whose command runs there, else the first runner the
// mission script made for it; null when none.
MSALRunner* MSALEnvelopeRunner(const Envelope* envelope);
