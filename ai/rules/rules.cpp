#include "ai/rules/rules.h"

#include <cstring>
#include <string>

#include "ai/ai_cvars.h"
#include "ai/soldier/ai_log.h"
#include "ai/soldier/ai_state.h"
#include "ai/rules/rule_actions.h"
#include "ai/rules/rule_compiler.h"
#include "ai/script/script_condition.h"
#include "ai/script/script_lexer.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "core/files/vfs.h"

namespace {

// True when `time` is before `start`, on the wrapping clock.
bool Before(u32_t time, u32_t start)
{
    return static_cast<s32_t>(time - start) < 0;
}

s32_t ArgInt(ScriptArgWord* args, int index)
{
    return args[index] ? *static_cast<const s32_t*>(args[index]) : 0;
}

}  // namespace

RuleSet* CurrentRuleSet()
{
    return g_ai.currentRuleSet;
}

void SetCurrentRuleSet(RuleSet* set)
{
    g_ai.currentRuleSet = set;
}

RuleBlock::~RuleBlock()
{
    delete action;
    delete locals;
}

void RuleBlock::Run()
{
    if (action)
        action->Execute();
}

Rule::Rule(const char* ruleName) : name(ScriptCopyText(ruleName)) {}

Rule::~Rule()
{
    for (RuleBlock* block : blocks)
        delete block;
    delete condition;
    delete variables;
    ScriptFreeText(name);
}

void Rule::ResetLinks()
{
    previous = nullptr;
    next = nullptr;
    level = nullptr;
}

void Rule::RunBlock(s32_t kind)
{
    if (blocks[kind])
        blocks[kind]->Run();
}

void Rule::ApplyPendingPriority()
{
    if (!enabled || pendingPriority == priority)
        return;
    priority = pendingPriority;
    if (RuleSet* set = CurrentRuleSet()) {
        set->Remove(this);
        set->Insert(this);
    }
}

void Rule::Update()
{
    if (!rbrules.value.asBool || !enabled)
        return;
    const u32_t now = g_frameView.aiTime;
    if (Before(now, startTime)) {
        ApplyPendingPriority();
        return;
    }
    inUpdate = 1;
    if (timeout > 0 && static_cast<s32_t>(now - startTime) > timeout) {
        RunBlock(RULE_ON_TIMEOUT);
        Disable(true);
        inUpdate = 0;
        return;
    }
    // A last run still in the future (a start phase) is waited for, not taken for one long past; a
    // rule that never ran is due at once.
    const u32_t sinceLastRun = now - lastRun;
    const u32_t wait = static_cast<u32_t>(period);
    const bool due = lastRun == kNeverRun || (static_cast<s32_t>(sinceLastRun) >= 0 && sinceLastRun > wait);
    if (due) {
        RunBlock(RULE_ON_FRAME);
        if (!condition || condition->Evaluate())
            RunBlock(RULE_ON_TRUE);
        else
            RunBlock(RULE_ON_FALSE);
        // Back onto the rule's grid of period + 1 milliseconds.
        const u32_t grid = wait + 1u;
        lastRun = grid ? now - sinceLastRun % grid : now;
        if (lastRun == kNeverRun)  // only on a clock younger than the period: the grid starts here
            lastRun = now;
    }
    inUpdate = 0;
    ApplyPendingPriority();
}

void Rule::Enable(ScriptArgWord* args)
{
    const u32_t now = g_frameView.aiTime;
    const bool wasEnabled = enabled != 0;
    enabled = 1;
    if (args) {
        SetPriority(ArgInt(args, 0));
        period = ArgInt(args, 1);
        timeout = ArgInt(args, 2);
        startTime = static_cast<u32_t>(ArgInt(args, 3)) + now;
    } else {
        SetPriority(defaultPriority);
        timeout = defaultTimeout;
        startTime = static_cast<u32_t>(defaultStartDelay) + now;
        period = defaultPeriod;
    }
    if (!wasEnabled) {
        if (RuleSet* set = CurrentRuleSet())
            set->Insert(this);
    }
    lastEnableOrDisable = now;
    RunBlock(RULE_ON_ENABLE);
}

void Rule::Disable(bool runOnDisable)
{
    if (!enabled)
        return;
    lastEnableOrDisable = g_frameView.aiTime;
    if (RuleSet* set = CurrentRuleSet())
        set->Remove(this);
    enabled = 0;
    if (runOnDisable)
        RunBlock(RULE_ON_DISABLE);
}

void Rule::SetPriority(s32_t newPriority)
{
    if (!enabled)
        return;
    const u32_t now = g_frameView.aiTime;
    if (!inUpdate && lastPriorityChange == now)
        return;
    lastPriorityChange = now;
    pendingPriority = newPriority < 0 ? 0 : newPriority;
}

bool Rule::SetBlock(s32_t kind, RuleBlock* block)
{
    if (!block || kind < RULE_ON_ENABLE || kind > RULE_ON_FRAME || blocks[kind])
        return false;
    blocks[kind] = block;
    return true;
}

bool Rule::SetCondition(ScriptCondition* expression)
{
    if (!expression || condition)
        return false;
    condition = expression;
    return true;
}

bool Rule::HasBlock(s32_t kind) const
{
    if (kind == RULE_CONDITION)
        return condition != nullptr;
    return kind >= RULE_ON_ENABLE && kind <= RULE_ON_FRAME && blocks[kind] != nullptr;
}

void Rule::RandomizePhase()
{
    // The enable time is not what Update measures periods from, so this keeps no rule's phase apart.
    if (period > 0)
        lastEnableOrDisable -= static_cast<u32_t>(static_cast<long long>(EngineRand()) * period / 32767);
}

RuleList::~RuleList()
{
    for (s32_t i = 0; i < count; ++i)
        delete rules[i];
}

Rule* RuleList::Find(const char* name) const
{
    if (!name)
        return nullptr;
    for (s32_t i = 0; i < count; ++i) {
        if (std::strcmp(rules[i]->name, name) == 0)
            return rules[i];
    }
    return nullptr;
}

Rule* RuleList::Add(const char* name)
{
    if (!name || Find(name) || count >= kCapacity)
        return nullptr;
    rules[count] = new Rule(name);
    return rules[count++];
}

void RuleList::CheckBodies() const
{
    bool allBodies = true;
    for (s32_t i = 0; i < count; ++i) {
        if (!rules[i]->hasBody) {
            AILogPrintf("WARNING: rule %s has no body!\n", rules[i]->name);
            allBodies = false;
        }
    }
    if (allBodies)
        AILogWrite("All OK\n");
}

CLevel::~CLevel()
{
    AILogPrintf("~CLevel priority=%d \n", priority);
}

RuleSet::RuleSet()
{
    moveTo = events.Add("MoveTo");
}

RuleSet::~RuleSet()
{
    // The rules go with the rule list; the levels only link them.
    CLevel* level = highest;
    while (level) {
        CLevel* lower = level->lower;
        for (Rule* rule = level->first; rule;) {
            Rule* next = rule->next;
            rule->ResetLinks();
            rule = next;
        }
        delete level;
        level = lower;
    }
    if (g_ai.currentRuleSet == this)
        g_ai.currentRuleSet = nullptr;
}

void RuleSet::Run()
{
    SetCurrentRuleSet(this);
    CLevel* level = highest;
    while (level) {
        cursor = level->first;
        while (cursor) {
            Rule* rule = cursor;
            cursor = rule->next;
            rule->Update();
        }
        CLevel* lower = level->lower;
        if (!level->first) {
            (level->higher ? level->higher->lower : highest) = level->lower;
            (level->lower ? level->lower->higher : lowest) = level->higher;
            delete level;
        }
        level = lower;
    }
}

void RuleSet::Insert(Rule* rule)
{
    CLevel* level = highest;
    while (level && level->priority > rule->priority)
        level = level->lower;
    if (!level || level->priority != rule->priority) {
        CLevel* made = new CLevel(rule->priority);
        // Before the first lower level, or at the end.
        made->lower = level;
        made->higher = level ? level->higher : lowest;
        (made->higher ? made->higher->lower : highest) = made;
        (level ? level->higher : lowest) = made;
        level = made;
    }
    rule->level = level;
    rule->next = nullptr;
    rule->previous = level->last;
    (level->last ? level->last->next : level->first) = rule;
    level->last = rule;
}

void RuleSet::Remove(Rule* rule)
{
    CLevel* level = rule->level;
    if (!level)
        return;
    if (cursor == rule)
        cursor = rule->next;
    (rule->previous ? rule->previous->next : level->first) = rule->next;
    (rule->next ? rule->next->previous : level->last) = rule->previous;
    rule->ResetLinks();
}

void RuleSet::SelectDisableAll()
{
    SetCurrentRuleSet(this);
    for (s32_t i = 0; i < rules.Count(); ++i)
        rules.At(i)->Disable(false);
}

void RuleSet::ForEachRule(void (*function)(Rule* rule, void* argument), void* argument)
{
    for (CLevel* level = highest; level; level = level->lower) {
        for (Rule* rule = level->first; rule;) {
            Rule* next = rule->next;
            function(rule, argument);
            rule = next;
        }
    }
}

s32_t RuleSet::LevelCount() const
{
    s32_t n = 0;
    for (const CLevel* level = highest; level; level = level->lower)
        ++n;
    return n;
}

bool RuleSet::LoadScript()
{
    SetIncludeFolder("script\\ai");
    char* text = VFSLoadTextFile("script\\ai\\script.txt");
    if (!text) {
        AILogWrite("ERROR : file script\\script.txt not open\n");
        return false;
    }
    SetCurrentRuleSet(this);
    SetCompileMemberTable(&variables);
    SetCompileRuleList(&rules);
    SetCompileEventList(&events);
    AILogWrite("Parsing rule...\n");
    const bool ok = CompileRuleScript(text);
    if (ok)
        rules.CheckBodies();
    else
        AILogWrite("Failed\n");
    delete[] text;
    SetCompileMemberTable(nullptr);
    SetCompileRuleList(nullptr);
    SetCompileEventList(nullptr);
    return ok;
}

bool RuleSet::LoadActiveRules(const char* fileName)
{
    const std::string path = std::string("script\\") + (fileName ? fileName : "");
    u32_t size = 0;
    char* text = VFSLoadTextFile(path.c_str(), &size);
    if (!text) {
        AILogPrintf("ERROR : File '%s' could not be open\n", fileName ? fileName : "");
        return false;
    }
    SetCurrentRuleSet(this);
    std::string word;
    for (u32_t i = 0; i <= size; ++i) {
        const char c = i < size ? text[i] : ' ';
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\0') {
            word += c;
            continue;
        }
        if (word.empty() || word[0] == '#') {
            word.clear();
            continue;
        }
        if (Rule* rule = rules.Find(word.c_str())) {
            rule->Enable(nullptr);
            rule->RandomizePhase();
        } else {
            AILogPrintf("WARNING: rule '%s' not found\n", word.c_str());
        }
        word.clear();
    }
    delete[] text;
    return true;
}
