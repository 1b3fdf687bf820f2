// Conditions of the rule scripts: a token list compiled into a flat list of operator nodes in the
// order they complete, and evaluated from it. There is no precedence: an operator applies as soon as
// its right operand is complete, left to right, and parentheses group. Types never convert.
#pragma once
#include <memory>
#include <vector>

#include "ai/script/script_object.h"
#include "core/types.h"

// Operand types inside expressions (not the value type codes of named values).
constexpr s32_t OPERAND_BOOL = 0;
constexpr s32_t OPERAND_INT = 1;
constexpr s32_t OPERAND_FLOAT = 2;
constexpr s32_t OPERAND_ADDRESS = 3;

// Operator codes.
constexpr s32_t OP_COPY = 0;
constexpr s32_t OP_NOT = 1;
constexpr s32_t OP_AND = 2;
constexpr s32_t OP_OR = 3;
constexpr s32_t OP_LESS = 4;
constexpr s32_t OP_LESS_EQUAL = 5;
constexpr s32_t OP_EQUAL = 6;
constexpr s32_t OP_NOT_EQUAL = 7;
constexpr s32_t OP_GREATER = 8;
constexpr s32_t OP_GREATER_EQUAL = 9;

// What an expression reads; the base answers false, 0.0, 0 and null.
class ScriptOperand {
public:
    virtual ~ScriptOperand() = default;
    virtual bool GetBool() { return false; }
    virtual float GetFloat() { return 0.0f; }
    virtual s32_t GetInt() { return 0; }
    virtual void* GetAddress() { return nullptr; }
};

// A bool (one byte), int or float variable or constant, read from its storage at evaluation time.
class ScriptValueOperand : public ScriptOperand {
public:
    explicit ScriptValueOperand(const void* valueStorage) : storage(valueStorage) {}
    bool GetBool() override;
    float GetFloat() override;
    s32_t GetInt() override;

private:
    const void* storage;
};

// An object variable: a TYP_CLASS value's object, or the object held by a TYP_CLASS_PTR's variable,
// read at evaluation time.
class ScriptAddressOperand : public ScriptOperand {
public:
    explicit ScriptAddressOperand(const ScriptValue* objectValue) : value(objectValue) {}
    void* GetAddress() override;

private:
    const ScriptValue* value;
};

// A call of a global function or of a script method: each read makes the call and answers the
// result cell of the type read.
class ScriptCallOperand : public ScriptOperand {
public:
    // A global function.
    ScriptCallOperand(ScriptFunction callFunction, ScriptArgs* ownedArgs);
    // A method of a fixed object (objectSource null) or of the object an object variable holds.
    ScriptCallOperand(ScriptObject* fixedObject, void* const* objectSource, const ScriptMethod* callMethod,
                      ScriptArgs* ownedArgs);
    ~ScriptCallOperand() override;
    ScriptCallOperand(const ScriptCallOperand&) = delete;
    ScriptCallOperand& operator=(const ScriptCallOperand&) = delete;

    bool GetBool() override;
    float GetFloat() override;
    s32_t GetInt() override;

private:
    void Call();

    ScriptFunction function = nullptr;
    ScriptObject* object = nullptr;
    void* const* objectVariable = nullptr;
    const ScriptMethod* method = nullptr;
    ScriptArgs* args = nullptr;
};

// The bool result of an operator node.
class ScriptNodeResult : public ScriptOperand {
public:
    bool GetBool() override { return result; }
    bool result = false;
};

// A token of a condition: an operator, an operand (owned until compiled), "(" or ")".
struct ScriptToken {
    enum Kind : s32_t { Operator = 1, Operand = 2, Open = 3, Close = 4 };
    static ScriptToken MakeOperator(s32_t code);
    static ScriptToken MakeOperand(s32_t type, ScriptOperand* operand);

    s32_t kind = Operator;
    s32_t arity = 0;  // operators: 1 or 2
    s32_t code = 0;
    s32_t operandType = OPERAND_BOOL;
    ScriptOperand* operand = nullptr;
};

class ScriptTokenList {
public:
    explicit ScriptTokenList(s32_t listCapacity);
    ~ScriptTokenList();
    ScriptTokenList(const ScriptTokenList&) = delete;
    ScriptTokenList& operator=(const ScriptTokenList&) = delete;

    // False (and an operand token's operand deleted) when the list is full.
    bool Add(const ScriptToken& token);
    // Deletes every token with the operands it still owns.
    void Clear();
    s32_t Count() const { return count; }
    ScriptToken* At(s32_t index) { return tokens + index; }

private:
    s32_t capacity = 0;
    s32_t count = 0;
    ScriptToken* tokens = nullptr;
};

struct ScriptConditionNode {
    s32_t code = OP_COPY;
    s32_t operandType = OPERAND_BOOL;  // what a comparison compares
    ScriptOperand* left = nullptr;
    ScriptOperand* right = nullptr;  // two-operand nodes only
    ScriptNodeResult result;

    bool Evaluate();
};

// A compiled condition: its nodes in evaluation order, and the operands it owns.
class ScriptCondition {
public:
    ScriptCondition() = default;
    ~ScriptCondition();
    ScriptCondition(const ScriptCondition&) = delete;
    ScriptCondition& operator=(const ScriptCondition&) = delete;

    // Compiles the list, which it always empties; on failure writes the error line and holds nothing.
    bool Compile(ScriptTokenList& tokens);
    // Runs every node but the last for its side effects, then answers the last one's result.
    bool Evaluate();
    void Clear();
    s32_t NodeCount() const { return static_cast<s32_t>(nodes.size()); }
    const ScriptConditionNode& Node(s32_t index) const { return *nodes[index]; }

private:
    ScriptOperand* AppendNode(s32_t code, s32_t operandType, ScriptOperand* left, ScriptOperand* right);

    std::vector<std::unique_ptr<ScriptConditionNode>> nodes;
    std::vector<std::unique_ptr<ScriptOperand>> operands;  // the leaves the nodes read
};
