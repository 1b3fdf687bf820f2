// Rules, priority levels and the per-frame rule pass of a soldier's rule set.
//
// A rule has a condition and up to six blocks, and timing (priority, period, time-out, start delay).
// Enabled rules sit in priority levels; each frame the set updates every enabled rule, highest level
// first. Times are AIGameTime milliseconds, unsigned 32-bit, compared by wrapping differences.
#pragma once
#include "ai/script/named_values.h"
#include "ai/rules/script_events.h"
#include "core/types.h"

class CLevel;
class RuleAction;
class RuleSet;
class ScriptCondition;

// Block kinds; 1 is the condition.
constexpr s32_t RULE_CONDITION = 1;
constexpr s32_t RULE_ON_ENABLE = 2;
constexpr s32_t RULE_ON_DISABLE = 3;
constexpr s32_t RULE_ON_TIMEOUT = 4;
constexpr s32_t RULE_ON_TRUE = 5;
constexpr s32_t RULE_ON_FALSE = 6;
constexpr s32_t RULE_ON_FRAME = 7;

// A rule block: its local variables and one action.
struct RuleBlock {
    RuleBlock(NamedValueTable* ownedLocals, RuleAction* ownedAction) : locals(ownedLocals), action(ownedAction) {}
    ~RuleBlock();
    RuleBlock(const RuleBlock&) = delete;
    RuleBlock& operator=(const RuleBlock&) = delete;
    void Run();

    NamedValueTable* locals;
    RuleAction* action;
};

class Rule {
public:
    explicit Rule(const char* ruleName);
    virtual ~Rule();
    Rule(const Rule&) = delete;
    Rule& operator=(const Rule&) = delete;

    virtual void ResetLinks();
    virtual void Update();
    // When enabled: leaves its level and, when asked, runs OnDisable.
    virtual void Disable(bool runOnDisable);

    // Enables with four argument words (priority, period, time-out, start delay) or the defaults.
    void Enable(ScriptArgWord* args);
    void SetPriority(s32_t priority);
    void AddPriority(s32_t amount) { SetPriority(priority + amount); }
    // A block or the condition is set once; again, null, or a kind outside 2..7 fails.
    bool SetBlock(s32_t kind, RuleBlock* block);
    bool SetCondition(ScriptCondition* expression);
    bool HasBlock(s32_t kind) const;
    bool HasCondition() const { return condition != nullptr; }
    // Moves the time of the last enable back by a random part of the period.
    void RandomizePhase();

    Rule* previous = nullptr;
    Rule* next = nullptr;
    CLevel* level = nullptr;
    char* name = nullptr;
    s32_t priority = 0;
    s32_t pendingPriority = 0;
    u8_t enabled = 0;
    u8_t inUpdate = 0;
    u8_t hasBody = 0;
    s32_t timeout = 0;
    u32_t startTime = 0;
    s32_t period = 0;
    static constexpr u32_t kNeverRun = 0xFFFFFFFFu;
    u32_t lastRun = kNeverRun;
    u32_t lastEnableOrDisable = 0;
    u32_t lastPriorityChange = 0xFFFFFFFFu;
    // The declared defaults of Enable.
    s32_t defaultPriority = 0;
    s32_t defaultTimeout = 0;
    s32_t defaultStartDelay = 0;
    s32_t defaultPeriod = 0;
    NamedValueTable* variables = nullptr;  // owned; may be absent

private:
    void RunBlock(s32_t kind);
    void ApplyPendingPriority();

    ScriptCondition* condition = nullptr;
    RuleBlock* blocks[8] = {};
};

class RuleList {
public:
    static constexpr s32_t kCapacity = 512;
    RuleList() = default;
    ~RuleList();
    RuleList(const RuleList&) = delete;
    RuleList& operator=(const RuleList&) = delete;

    Rule* Find(const char* name) const;
    // Null when the name exists or the list is full.
    Rule* Add(const char* name);
    // Logs each rule without a body, or "All OK".
    void CheckBodies() const;
    s32_t Count() const { return count; }
    Rule* At(s32_t index) const { return rules[index]; }

private:
    s32_t count = 0;
    Rule* rules[kCapacity] = {};
};

// The enabled rules of one priority, in insertion order.
class CLevel {
public:
    explicit CLevel(s32_t levelPriority) : priority(levelPriority) {}
    ~CLevel();
    CLevel(const CLevel&) = delete;
    CLevel& operator=(const CLevel&) = delete;

    s32_t priority;
    Rule* first = nullptr;
    Rule* last = nullptr;
    CLevel* higher = nullptr;
    CLevel* lower = nullptr;
};

class RuleSet {
public:
    RuleSet();
    ~RuleSet();
    RuleSet(const RuleSet&) = delete;
    RuleSet& operator=(const RuleSet&) = delete;

    // The per-frame pass: every enabled rule, highest level first; emptied levels go.
    void Run();
    void Insert(Rule* rule);
    void Remove(Rule* rule);
    // Makes the set current and disables every rule without running OnDisable.
    void SelectDisableAll();
    void ForEachRule(void (*function)(Rule* rule, void* argument), void* argument);
    // Compiles "script\ai\script.txt" into this set.
    bool LoadScript();
    // Enables the rules named in "script\" + the file's name.
    bool LoadActiveRules(const char* fileName);
    s32_t LevelCount() const;

    NamedValueTable variables{100};
    RuleList rules;
    ScriptEventList events{50};
    ScriptEvent* moveTo = nullptr;

private:
    CLevel* highest = nullptr;
    CLevel* lowest = nullptr;
    Rule* cursor = nullptr;  // the next rule of the walk
};

RuleSet* CurrentRuleSet();
void SetCurrentRuleSet(RuleSet* set);
