#include "ai/rules/rule_actions.h"

#include <cstring>

#include "ai/soldier/ai_log.h"
#include "ai/rules/rules.h"

ActionBlock::ActionBlock(s32_t blockCapacity)
    : capacity(blockCapacity > 0 ? blockCapacity : 0), actions(new RuleAction*[capacity > 0 ? capacity : 1]())
{}

ActionBlock::~ActionBlock()
{
    for (s32_t i = 0; i < count; ++i)
        delete actions[i];
    delete[] actions;
}

s32_t ActionBlock::Append(RuleAction* action)
{
    if (!action)
        return -1;
    if (count >= capacity) {
        delete action;
        return -1;
    }
    actions[count] = action;
    return count++;
}

void ActionBlock::Execute()
{
    for (s32_t i = 0; i < count; ++i)
        actions[i]->Execute();
}

CopyWordAction::CopyWordAction(u32_t constantWord, void* destinationWord)
    : constant(constantWord), source(&constant), destination(destinationWord)
{}

void CopyWordAction::Execute()
{
    std::memcpy(destination, source, sizeof(u32_t));
}

void AddIntAction::Execute()
{
    *variable = static_cast<s32_t>(static_cast<u32_t>(*variable) + static_cast<u32_t>(value));
}

void AddFloatAction::Execute()
{
    *variable = static_cast<float>(static_cast<double>(*variable) + static_cast<double>(value));
}

void StoreCallResult(const CallTarget& target)
{
    if (!target.storage)
        return;
    switch (target.type) {
        case TYP_BOOL:
            *static_cast<u8_t*>(target.storage) = g_scriptResult.asBool;
            break;
        case TYP_INT:
            *static_cast<s32_t*>(target.storage) = g_scriptResult.asInt;
            break;
        case TYP_FLOAT:
            *static_cast<float*>(target.storage) = g_scriptResult.asFloat;
            break;
        default:
            break;
    }
}

void FunctionCallAction::Execute()
{
    function(args ? args->Resolve() : nullptr);
    StoreCallResult(target);
}

void MethodCallAction::Execute()
{
    ScriptObject* callee = variable ? static_cast<ScriptObject*>(*variable) : object;
    if (!callee)
        return;
    (callee->*method)(args ? args->Resolve() : nullptr);
    StoreCallResult(target);
}

EnableRuleAction::EnableRuleAction(Rule* targetRule, ScriptArgs* ownedArgs)
    : rule(targetRule), args(ownedArgs ? ownedArgs : new ScriptArgs())
{
    // In the order Enable reads them: priority, period, time-out, start delay.
    s32_t* defaults[4] = {&rule->defaultPriority, &rule->defaultPeriod, &rule->defaultTimeout,
                          &rule->defaultStartDelay};
    for (s32_t i = args->Count(); i < 4; ++i)
        args->Add(defaults[i]);
}

void EnableRuleAction::Execute()
{
    rule->Enable(args->Resolve());
}

void DisableRuleAction::Execute()
{
    rule->Disable(true);
}

void ChangePriorityAction::Execute()
{
    AILogPrintf("ChangePriority %d \n", value);
    rule->SetPriority(value);
}

void UpdatePriorityAction::Execute()
{
    AILogPrintf("UpdatePriority %d \n", value);
    rule->AddPriority(value);
}

IfAction::~IfAction()
{
    delete condition;
    delete thenBranch;
    delete elseBranch;
}

void IfAction::Execute()
{
    if (condition->Evaluate()) {
        if (thenBranch)
            thenBranch->Execute();
    } else if (elseBranch) {
        elseBranch->Execute();
    }
}
