#include "ai/script/script_condition.h"

#include <cstdint>
#include <cstring>

#include "ai/script/script_lexer.h"

namespace {

// Where condition errors come from, in their error lines.
constexpr const char* kUnit = "booleval";

bool Fail(s32_t place, const char* message)
{
    ScriptReportError(kUnit, place, message);
    return false;
}

template <class T>
bool Compare(s32_t code, T left, T right)
{
    switch (code) {
        case OP_LESS:
            return left < right;
        case OP_LESS_EQUAL:
            return left <= right;
        case OP_EQUAL:
            return left == right;
        case OP_NOT_EQUAL:
            return left != right;
        case OP_GREATER:
            return left > right;
        case OP_GREATER_EQUAL:
            return left >= right;
        default:
            return false;
    }
}

// What the compile stack holds: a copy of a token, or an operator node's result as an operand.
struct StackItem {
    s32_t kind;
    s32_t arity;
    s32_t code;
    s32_t type;
    ScriptOperand* operand;
};

}  // namespace

bool ScriptValueOperand::GetBool()
{
    return *static_cast<const u8_t*>(storage) != 0;
}

float ScriptValueOperand::GetFloat()
{
    float value;
    std::memcpy(&value, storage, sizeof value);
    return value;
}

s32_t ScriptValueOperand::GetInt()
{
    s32_t value;
    std::memcpy(&value, storage, sizeof value);
    return value;
}

void* ScriptAddressOperand::GetAddress()
{
    if (!value)
        return nullptr;
    if (value->Type() == TYP_CLASS_PTR)
        return value->data ? *static_cast<void* const*>(value->data) : nullptr;
    return value->data;
}

ScriptCallOperand::ScriptCallOperand(ScriptFunction callFunction, ScriptArgs* ownedArgs)
    : function(callFunction), args(ownedArgs)
{}

ScriptCallOperand::ScriptCallOperand(ScriptObject* fixedObject, void* const* objectSource,
                                     const ScriptMethod* callMethod, ScriptArgs* ownedArgs)
    : object(fixedObject), objectVariable(objectSource), method(callMethod), args(ownedArgs)
{}

ScriptCallOperand::~ScriptCallOperand()
{
    delete args;
}

void ScriptCallOperand::Call()
{
    ScriptArgWord* words = args ? args->Resolve() : nullptr;
    if (function) {
        function(words);
        return;
    }
    ScriptObject* target = objectVariable ? static_cast<ScriptObject*>(*objectVariable) : object;
    if (target && method)
        ScriptCallMethod(target, method, words);
}

bool ScriptCallOperand::GetBool()
{
    Call();
    return g_scriptResult.asBool != 0;
}

float ScriptCallOperand::GetFloat()
{
    Call();
    return g_scriptResult.asFloat;
}

s32_t ScriptCallOperand::GetInt()
{
    Call();
    return g_scriptResult.asInt;
}

ScriptToken ScriptToken::MakeOperator(s32_t code)
{
    ScriptToken token;
    token.kind = Operator;
    token.code = code;
    token.arity = (code == OP_COPY || code == OP_NOT) ? 1 : 2;
    return token;
}

ScriptToken ScriptToken::MakeOperand(s32_t type, ScriptOperand* operand)
{
    ScriptToken token;
    token.kind = Operand;
    token.operandType = type;
    token.operand = operand;
    return token;
}

ScriptTokenList::ScriptTokenList(s32_t listCapacity)
    : capacity(listCapacity > 0 ? listCapacity : 0), tokens(new ScriptToken[capacity > 0 ? capacity : 1])
{}

ScriptTokenList::~ScriptTokenList()
{
    Clear();
    delete[] tokens;
}

bool ScriptTokenList::Add(const ScriptToken& token)
{
    if (count >= capacity) {
        delete token.operand;
        return false;
    }
    tokens[count++] = token;
    return true;
}

void ScriptTokenList::Clear()
{
    for (s32_t i = 0; i < count; ++i) {
        delete tokens[i].operand;
        tokens[i].operand = nullptr;
    }
    count = 0;
}

bool ScriptConditionNode::Evaluate()
{
    switch (code) {
        case OP_COPY:
            result.result = left->GetBool();
            break;
        case OP_NOT:
            result.result = !left->GetBool();
            break;
        case OP_AND:
            result.result = left->GetBool() && right->GetBool();
            break;
        case OP_OR:
            result.result = left->GetBool() || right->GetBool();
            break;
        default:
            if (operandType == OPERAND_INT) {
                const s32_t a = left->GetInt();
                result.result = Compare(code, a, right->GetInt());
            } else if (operandType == OPERAND_FLOAT) {
                const float a = left->GetFloat();
                result.result = Compare(code, a, right->GetFloat());
            } else {
                const auto a = reinterpret_cast<std::uintptr_t>(left->GetAddress());
                result.result = Compare(code, a, reinterpret_cast<std::uintptr_t>(right->GetAddress()));
            }
            break;
    }
    return result.result;
}

ScriptCondition::~ScriptCondition()
{
    Clear();
}

void ScriptCondition::Clear()
{
    // Last to first: no node outlives an operand it reads.
    while (!nodes.empty())
        nodes.pop_back();
    operands.clear();
}

ScriptOperand* ScriptCondition::AppendNode(s32_t code, s32_t operandType, ScriptOperand* left, ScriptOperand* right)
{
    auto node = std::make_unique<ScriptConditionNode>();
    node->code = code;
    node->operandType = operandType;
    node->left = left;
    node->right = right;
    nodes.push_back(std::move(node));
    return &nodes.back()->result;
}

bool ScriptCondition::Compile(ScriptTokenList& tokens)
{
    Clear();
    // The condition owns every operand from here on; the tokens only name them.
    std::vector<ScriptOperand*> tokenOperands(static_cast<size_t>(tokens.Count()), nullptr);
    for (s32_t i = 0; i < tokens.Count(); ++i) {
        ScriptToken* token = tokens.At(i);
        if (token->kind == ScriptToken::Operand && token->operand) {
            operands.emplace_back(token->operand);
            tokenOperands[static_cast<size_t>(i)] = token->operand;
        }
        token->operand = nullptr;
    }
    std::vector<StackItem> stack;
    stack.reserve(static_cast<size_t>(tokens.Count()) + 1);
    bool ok = true;
    for (s32_t i = 0; ok && i < tokens.Count(); ++i) {
        const ScriptToken& token = *tokens.At(i);
        StackItem current{token.kind, token.arity, token.code, token.operandType,
                          tokenOperands[static_cast<size_t>(i)]};
        if (token.kind == ScriptToken::Operand && !current.operand) {
            ok = Fail(12, "Missing argument\n");
            break;
        }
        if (current.kind == ScriptToken::Operator || current.kind == ScriptToken::Open) {
            stack.push_back(current);
            continue;
        }
        if (current.kind == ScriptToken::Close) {
            if (stack.empty()) {
                ok = Fail(3, "Unexpected ')'\n");
                break;
            }
            const StackItem inner = stack.back();
            if (inner.kind != ScriptToken::Operand) {
                ok = Fail(4, "Missing argument\n");
                break;
            }
            if (inner.type != OPERAND_BOOL) {
                ok = false;
                break;
            }
            stack.pop_back();
            if (stack.empty()) {
                ok = Fail(5, "Missing '('\n");
                break;
            }
            if (stack.back().kind != ScriptToken::Open) {
                ok = Fail(6, "Expecting '('\n");
                break;
            }
            stack.pop_back();
            current = inner;
        }
        // An operand, completed: it applies to the operator below it, whose result applies again.
        for (;;) {
            if (stack.empty() || stack.back().kind == ScriptToken::Open) {
                stack.push_back(current);
                break;
            }
            const StackItem op = stack.back();
            stack.pop_back();
            if (op.kind != ScriptToken::Operator) {
                ok = Fail(7, "Expecting operator\n");
                break;
            }
            if (op.arity == 1) {
                if (current.type != OPERAND_BOOL) {
                    ok = Fail(8, "Expecting operator '!'\n");
                    break;
                }
                current.operand = AppendNode(op.code, OPERAND_BOOL, current.operand, nullptr);
                continue;
            }
            if (stack.empty() || stack.back().kind != ScriptToken::Operand) {
                ok = Fail(9, "Missing parameter for operator\n");
                break;
            }
            const StackItem left = stack.back();
            stack.pop_back();
            // Bool operators take bools and comparisons take numbers or addresses: any other pair
            // has no node to build.
            const bool logical = op.code == OP_AND || op.code == OP_OR;
            if (left.type != current.type || logical != (current.type == OPERAND_BOOL)) {
                ok = Fail(10, "Incompatible type of arguments\n");
                break;
            }
            current.operand = AppendNode(op.code, current.type, left.operand, current.operand);
            current.type = OPERAND_BOOL;
        }
    }
    if (ok && (stack.size() != 1 || stack.back().kind != ScriptToken::Operand || stack.back().type != OPERAND_BOOL))
        ok = Fail(11, "Incomplete expression\n");
    if (ok && nodes.empty())
        AppendNode(OP_COPY, OPERAND_BOOL, stack.back().operand, nullptr);
    tokens.Clear();
    if (!ok)
        Clear();
    return ok;
}

bool ScriptCondition::Evaluate()
{
    if (nodes.empty())
        return false;
    const size_t last = nodes.size() - 1;
    for (size_t i = 0; i < last; ++i)
        nodes[i]->Evaluate();
    return nodes[last]->Evaluate();
}
