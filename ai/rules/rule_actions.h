// What compiled rule statements run: small action objects built once by the compiler and executed
// without further parsing. Each owns what it points to unless said otherwise.
#pragma once
#include "ai/script/script_condition.h"
#include "ai/script/script_object.h"
#include "core/types.h"

class Rule;

class RuleAction {
public:
    virtual ~RuleAction() = default;
    virtual void Execute() {}
};

class ActionBlock : public RuleAction {
public:
    explicit ActionBlock(s32_t blockCapacity);
    ~ActionBlock() override;
    ActionBlock(const ActionBlock&) = delete;
    ActionBlock& operator=(const ActionBlock&) = delete;

    // The new index; -1 (and the action deleted) for a null action or a full block.
    s32_t Append(RuleAction* action);
    void Execute() override;
    s32_t Count() const { return count; }

private:
    s32_t capacity;
    s32_t count = 0;
    RuleAction** actions;
};

// Copies one 32-bit word without conversion: a float assigned to an int keeps its bits.
class CopyWordAction : public RuleAction {
public:
    CopyWordAction(const void* sourceWord, void* destinationWord) : source(sourceWord), destination(destinationWord) {}
    // Copies a constant held in the action itself.
    CopyWordAction(u32_t constantWord, void* destinationWord);
    void Execute() override;

private:
    u32_t constant = 0;
    const void* source;
    void* destination;
};

class AddIntAction : public RuleAction {
public:
    AddIntAction(s32_t* target, s32_t amount) : variable(target), value(amount) {}
    void Execute() override;

private:
    s32_t* variable;
    s32_t value;
};

class AddFloatAction : public RuleAction {
public:
    AddFloatAction(float* target, float amount) : variable(target), value(amount) {}
    void Execute() override;

private:
    float* variable;
    float value;
};

// Where a call's result goes: nowhere, or the storage of a variable of the given value type.
struct CallTarget {
    void* storage = nullptr;
    s32_t type = 0;
};

// Stores the result cell that matches the target's type; other targets get nothing.
void StoreCallResult(const CallTarget& target);

class FunctionCallAction : public RuleAction {
public:
    FunctionCallAction(ScriptFunction callFunction, ScriptArgs* ownedArgs, CallTarget callTarget)
        : function(callFunction), args(ownedArgs), target(callTarget)
    {}
    ~FunctionCallAction() override { delete args; }
    FunctionCallAction(const FunctionCallAction&) = delete;
    FunctionCallAction& operator=(const FunctionCallAction&) = delete;
    void Execute() override;

private:
    ScriptFunction function;
    ScriptArgs* args;
    CallTarget target;
};

// A method call on a fixed object, or on the object an object variable holds when the call runs.
class MethodCallAction : public RuleAction {
public:
    MethodCallAction(ScriptObject* fixedObject, void* const* objectVariable, ScriptMethodPtr callMethod,
                     ScriptArgs* ownedArgs, CallTarget callTarget)
        : object(fixedObject), variable(objectVariable), method(callMethod), args(ownedArgs), target(callTarget)
    {}
    ~MethodCallAction() override { delete args; }
    MethodCallAction(const MethodCallAction&) = delete;
    MethodCallAction& operator=(const MethodCallAction&) = delete;
    void Execute() override;

private:
    ScriptObject* object;
    void* const* variable;
    ScriptMethodPtr method;
    ScriptArgs* args;
    CallTarget target;
};

// Enables a rule with up to four int arguments (priority, period, time-out, start delay); the
// arguments the script left out read the rule's declared defaults when the action runs.
class EnableRuleAction : public RuleAction {
public:
    EnableRuleAction(Rule* targetRule, ScriptArgs* ownedArgs);
    ~EnableRuleAction() override { delete args; }
    EnableRuleAction(const EnableRuleAction&) = delete;
    EnableRuleAction& operator=(const EnableRuleAction&) = delete;
    void Execute() override;

private:
    Rule* rule;
    ScriptArgs* args;
};

class DisableRuleAction : public RuleAction {
public:
    explicit DisableRuleAction(Rule* targetRule) : rule(targetRule) {}
    void Execute() override;

private:
    Rule* rule;
};

class ChangePriorityAction : public RuleAction {
public:
    ChangePriorityAction(Rule* targetRule, s32_t priority) : rule(targetRule), value(priority) {}
    void Execute() override;

private:
    Rule* rule;
    s32_t value;
};

class UpdatePriorityAction : public RuleAction {
public:
    UpdatePriorityAction(Rule* targetRule, s32_t amount) : rule(targetRule), value(amount) {}
    void Execute() override;

private:
    Rule* rule;
    s32_t value;
};

class IfAction : public RuleAction {
public:
    IfAction(ScriptCondition* ownedCondition, RuleAction* thenAction, RuleAction* elseAction = nullptr)
        : condition(ownedCondition), thenBranch(thenAction), elseBranch(elseAction)
    {}
    ~IfAction() override;
    IfAction(const IfAction&) = delete;
    IfAction& operator=(const IfAction&) = delete;
    void Execute() override;

private:
    ScriptCondition* condition;
    RuleAction* thenBranch;
    RuleAction* elseBranch;
};

// The if-statement with an else-branch is the same action with both branches set.
using IfElseAction = IfAction;
