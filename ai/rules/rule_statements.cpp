// Statements, dotted names and condition tokens of the rule-script language.
#include <cstring>
#include <memory>

#include "ai/soldier/ai_log.h"
#include "ai/msal/msal_methods.h"
#include "ai/rules/rule_actions.h"
#include "ai/rules/rule_compiler.h"
#include "ai/rules/rules.h"
#include "ai/script/script_call_args.h"
#include "ai/script/script_condition.h"
#include "ai/script/script_lexer.h"
#include "ai/script/script_object.h"

namespace {

// Name path entry kinds.
constexpr s32_t PATH_NAME = 0;
constexpr s32_t PATH_VARIABLE = 1;
constexpr s32_t PATH_FUNCTION = 2;
constexpr s32_t PATH_METHOD = 3;
constexpr s32_t PATH_OBJECT = 4;
constexpr s32_t PATH_OBJECT_VARIABLE = 5;
constexpr s32_t PATH_PRIORITY = 7;
constexpr s32_t PATH_ENABLE = 8;
constexpr s32_t PATH_DISABLE = 9;
constexpr s32_t PATH_RULE = 10;
constexpr s32_t PATH_IF = 12;
constexpr s32_t PATH_ELSE = 13;

// Deeper blocks than this are refused: blocks nest through the compiler's own calls.
constexpr s32_t kMaxBlockDepth = 256;

struct NamePath {
    static constexpr s32_t kCapacity = 10;
    struct Entry {
        char* name = nullptr;
        s32_t kind = PATH_NAME;
        void* target = nullptr;
    };

    NamePath() = default;
    ~NamePath()
    {
        for (s32_t i = 0; i < count; ++i)
            ScriptFreeText(entries[i].name);
    }
    NamePath(const NamePath&) = delete;
    NamePath& operator=(const NamePath&) = delete;

    Entry& Last() { return entries[count - 1]; }
    // Replaces the entries from `from` on with (kind, target) pairs, names kept where they stand.
    void Set(s32_t at, s32_t kind, void* target)
    {
        if (at >= count) {
            entries[at].name = nullptr;
            count = at + 1;
        }
        entries[at].kind = kind;
        entries[at].target = target;
    }
    void Truncate(s32_t n)
    {
        for (s32_t i = n; i < count; ++i) {
            ScriptFreeText(entries[i].name);
            entries[i].name = nullptr;
        }
        count = n;
    }

    s32_t count = 0;
    Entry entries[kCapacity + 1];
};

RuleCompileContext& Context()
{
    return g_ai.compile;
}

s32_t& BlockDepth()
{
    static s32_t depth = 0;
    return depth;
}

ScriptValue* LookUpScopes(const char* name)
{
    const RuleCompileContext& context = Context();
    NamedValueTable* scopes[] = {context.localTable, context.ruleVariables, context.memberTable,
                                 context.thisType == TYP_CLASS ? context.thisMembers : nullptr, ScriptGlobalObjects()};
    for (NamedValueTable* table : scopes) {
        if (ScriptValue* value = table ? table->Find(name) : nullptr)
            return value;
    }
    return nullptr;
}

s32_t RuleWordKind(const char* name)
{
    if (std::strcmp(name, "priority") == 0)
        return PATH_PRIORITY;
    if (std::strcmp(name, "Enable") == 0)
        return PATH_ENABLE;
    if (std::strcmp(name, "Disable") == 0)
        return PATH_DISABLE;
    return 0;
}

bool DeclareLocalVariable(const char* typeWord, const char*& cursor, NamePath& path)
{
    const s32_t type = RuleTypeCode(typeWord);
    LexSkipBlanks(cursor);
    char* name = nullptr;
    if (!LexReadIdentifier(cursor, &name)) {
        RULE_ERROR(cursor, "Expecting variable name but found");
        return false;
    }
    AILogPrintf("'%s' ", name);
    LexSkipBlanks(cursor);
    if (!AddDefaultValue(Context().localTable, type, name)) {
        RULE_ERROR(nullptr, "Variable type %s not supported yet\n", typeWord);
        ScriptFreeText(name);
        return false;
    }
    path.Truncate(0);
    path.entries[0].name = name;
    path.count = 1;
    return true;
}

// Resolves the dotted name at the cursor into `path`. False when no identifier stands there (no
// message) or after the error line of a name that does not resolve.
bool ResolveNamePath(const char*& cursor, NamePath& path)
{
    RuleCompileContext& context = Context();
    char* first = nullptr;
    if (!LexReadIdentifier(cursor, &first))
        return false;
    path.entries[0].name = first;
    path.count = 1;
    LexSkipBlanks(cursor);
    while (LexPeekChar(cursor) == '.') {
        LexGetChar(cursor);
        LexSkipBlanks(cursor);
        if (path.count >= NamePath::kCapacity) {
            RULE_ERROR(nullptr, "Name '%s' has more than %d parts\n", path.entries[0].name, NamePath::kCapacity);
            return false;
        }
        char* part = nullptr;
        if (!LexReadIdentifier(cursor, &part)) {
            RULE_ERROR(cursor, "Wrong variable structure type");
            return false;
        }
        path.entries[path.count++].name = part;
        LexSkipBlanks(cursor);
    }
    for (s32_t i = 0; i < path.count; ++i)
        AILogPrintf("%s'%s'", i ? "." : "", path.entries[i].name);
    AILogWrite(" ");
    const bool call = LexPeekChar(cursor) == '(';

    // Rule operations: "priority", "Enable" and "Disable" of the current rule or of a named one.
    const s32_t ruleWord = context.ruleKeywords ? RuleWordKind(path.Last().name) : 0;
    if (ruleWord && path.count == 1) {
        if (!context.currentRule) {
            RULE_ERROR(nullptr, "No rule specified for '%s'\n", path.Last().name);
            return false;
        }
        path.Set(1, ruleWord, nullptr);
        path.entries[0].kind = PATH_RULE;
        path.entries[0].target = context.currentRule;
        return true;
    }
    if (ruleWord && path.count == 2) {
        if (Rule* rule = context.ruleList ? context.ruleList->Find(path.entries[0].name) : nullptr) {
            path.Set(0, PATH_RULE, rule);
            path.Set(1, ruleWord, nullptr);
            return true;
        }
    }

    if (path.count == 1) {
        const char* name = path.entries[0].name;
        if (std::strcmp(name, "else") == 0) {
            path.Set(0, PATH_ELSE, nullptr);
            return true;
        }
        if (std::strcmp(name, "if") == 0) {
            path.Set(0, PATH_IF, nullptr);
            return true;
        }
        if (call) {
            ScriptMethod* method = nullptr;
            if (context.thisType == TYP_CLASS && context.thisObject)
                method = static_cast<ScriptObject*>(context.thisObject)->FindMethod(name);
            else if (context.thisType == TYP_CLASS_PTR)
                method = MSALMethodListFind(name);
            if (method) {
                path.Set(0, context.thisType == TYP_CLASS ? PATH_OBJECT : PATH_OBJECT_VARIABLE, context.thisObject);
                path.Set(1, PATH_METHOD, method);
                return true;
            }
            if (const ScriptFunctionEntry* function = ScriptFunctionTable::Find(name)) {
                path.Set(0, PATH_FUNCTION, const_cast<ScriptFunctionEntry*>(function));
                return true;
            }
            RULE_ERROR(nullptr, "Unknow function '%s'\n", name);
            AILogWrite("WARNING : Skipping unknow function call\n");
            LexGetChar(cursor);
            LexSkipBalanced(cursor, '(', ')');
            return false;
        }
        if (RuleTypeCode(name)) {
            char* typeWord = ScriptCopyText(name);
            const bool declared = DeclareLocalVariable(typeWord, cursor, path);
            ScriptFreeText(typeWord);
            if (!declared)
                return false;
        }
    }

    ScriptValue* value = LookUpScopes(path.entries[0].name);
    if (!value) {
        RULE_ERROR(nullptr, "Unknow variable '%s'\n", path.entries[0].name);
        return false;
    }
    if (path.count == 2 && call && (value->Type() == TYP_CLASS || value->Type() == TYP_CLASS_PTR)) {
        const char* methodName = path.entries[1].name;
        ScriptMethod* method = nullptr;
        if (value->Type() == TYP_CLASS) {
            if (!value->data) {
                RULE_ERROR(nullptr, "Variable '%s' not allocated\n", path.entries[0].name);
                return false;
            }
            method = static_cast<ScriptObject*>(value->data)->FindMethod(methodName);
        } else {
            method = MSALMethodListFind(methodName);
        }
        if (!method) {
            RULE_ERROR(nullptr, "Unknow method '%s'\n", methodName);
            return false;
        }
        path.Set(0, value->Type() == TYP_CLASS ? PATH_OBJECT : PATH_OBJECT_VARIABLE, value->data);
        path.Set(1, PATH_METHOD, method);
        return true;
    }
    if (path.count == 1) {
        path.Set(0, PATH_VARIABLE, value);
        return true;
    }
    // The member walk: each name but the last is an object whose published members hold the next.
    for (s32_t i = 0; i + 1 < path.count; ++i) {
        const char* name = path.entries[i].name;
        if (value->Type() != TYP_CLASS) {
            RULE_ERROR(nullptr, "Wrong variable type '%s'\n", name);
            return false;
        }
        auto* object = static_cast<ScriptObject*>(value->data);
        if (!object) {
            RULE_ERROR(nullptr, "Variable '%s' not allocated\n", name);
            return false;
        }
        path.Set(i, PATH_OBJECT, object);
        const char* next = path.entries[i + 1].name;
        const bool lastName = i + 2 == path.count;
        if (ScriptValue* member = object->FindMember(next)) {
            if (lastName) {
                path.Set(i + 1, PATH_VARIABLE, member);
                return true;
            }
            value = member;
            continue;
        }
        if (lastName && call) {
            if (ScriptMethod* method = object->FindMethod(next)) {
                path.Set(i + 1, PATH_METHOD, method);
                return true;
            }
            RULE_ERROR(nullptr, "Unknow method '%s'\n", next);
            return false;
        }
        RULE_ERROR(nullptr, "Unknow member variable '%s'\n", next);
        return false;
    }
    return false;
}

// '=' 2, '+=' 3, '-=' 4, '++' 5, '--' 6; 1 for none; 0 after an error line.
s32_t ReadAssignOperator(const char*& cursor)
{
    const char c = LexPeekChar(cursor);
    s32_t op = 1;
    if (c == '=') {
        op = 2;
        LexGetChar(cursor);
    } else if (c == '+' || c == '-') {
        const char after = cursor[1];
        if (after == '=')
            op = c == '+' ? 3 : 4;
        else if (after == c)
            op = c == '+' ? 5 : 6;
        else {
            RULE_ERROR(nullptr, "Invalid operation '%c%c'\n", c, after);
            return 0;
        }
        cursor += 2;
    }
    if (op != 1) {
        AILogPrintf("'%s' ", op == 2 ? "=" : op == 3 ? "+=" : op == 4 ? "-=" : op == 5 ? "++" : "--");
        LexSkipBlanks(cursor);
    }
    return op;
}

// A call's arguments name what its statements name: the block's locals, the rule's and the soldier's
// own variables, the members of "this", then the globals.
ScriptArgs* ReadArgs(const char*& cursor)
{
    auto* args = new ScriptArgs();
    const ScriptNameLookup lookup = g_ai.scriptNameLookup;
    SetScriptNameLookup(RuleLookUpName);
    const bool ok = ParseCallArgs(args, cursor);
    SetScriptNameLookup(lookup);
    if (!ok) {
        delete args;
        return nullptr;
    }
    return args;
}

// The call, copy or rule operation that the path names, storing into `target` when given.
bool BuildCallAction(NamePath& path, ScriptValue* target, const char*& cursor, RuleAction** action)
{
    NamePath::Entry& last = path.Last();
    const CallTarget callTarget = target ? CallTarget{target->data, target->Type()} : CallTarget{};
    switch (last.kind) {
        case PATH_FUNCTION: {
            ScriptArgs* args = ReadArgs(cursor);
            if (!args)
                return false;
            *action =
                new FunctionCallAction(static_cast<ScriptFunctionEntry*>(last.target)->function, args, callTarget);
            return true;
        }
        case PATH_METHOD: {
            const NamePath::Entry& owner = path.entries[path.count - 2];
            ScriptArgs* args = ReadArgs(cursor);
            if (!args)
                return false;
            auto* method = static_cast<ScriptMethod*>(last.target);
            if (owner.kind == PATH_OBJECT_VARIABLE)
                *action = new MethodCallAction(nullptr, static_cast<void* const*>(owner.target), method->method, args,
                                               callTarget);
            else
                *action = new MethodCallAction(static_cast<ScriptObject*>(owner.target), nullptr, method->method, args,
                                               callTarget);
            return true;
        }
        case PATH_VARIABLE: {
            auto* source = static_cast<ScriptValue*>(last.target);
            if (!target || (target->Type() != TYP_INT && target->Type() != TYP_FLOAT))
                return false;
            // One word is copied: only a number's cell holds one.
            if (source->Type() != TYP_INT && source->Type() != TYP_FLOAT) {
                RULE_ERROR(nullptr, "Incompatible types '%s' and '%s'\n", target->Name(), last.name);
                return false;
            }
            *action = new CopyWordAction(static_cast<const void*>(source->data), target->data);
            return true;
        }
        case PATH_ENABLE: {
            if (target) {
                RULE_ERROR(nullptr, "cannot assign return type void from Enable()\n");
                return false;
            }
            ScriptArgs* args = ReadArgs(cursor);
            if (!args)
                return false;
            *action = new EnableRuleAction(static_cast<Rule*>(path.entries[path.count - 2].target), args);
            return true;
        }
        case PATH_DISABLE: {
            if (target) {
                RULE_ERROR(nullptr, "cannot assign return type void from Disable()\n");
                return false;
            }
            if (LexPeekChar(cursor) != '(') {
                RULE_ERROR(nullptr, " Expecting '(' but found '%c'\n", LexPeekChar(cursor));
                return false;
            }
            LexGetChar(cursor);
            LexSkipBlanks(cursor);
            if (LexPeekChar(cursor) != ')') {
                RULE_ERROR(nullptr, " Expecting ')' but found '%c'\n", LexPeekChar(cursor));
                return false;
            }
            LexGetChar(cursor);
            AILogWrite("() ");
            *action = new DisableRuleAction(static_cast<Rule*>(path.entries[path.count - 2].target));
            return true;
        }
        default:
            RULE_ERROR(nullptr, "IDENT TYPE NOT SUPPORTED YET\n");
            return false;
    }
}

// A constant for an assignment to an int or float variable; false after its error line.
bool ReadAssignConstant(const char*& cursor, s32_t type, u32_t* word)
{
    if (type == TYP_INT) {
        s32_t value = 0;
        if (!LexReadNumber(cursor, &value)) {
            RULE_ERROR(cursor, "Expecting integer const but found");
            return false;
        }
        AILogPrintf("%d ", value);
        std::memcpy(word, &value, sizeof value);
        return true;
    }
    float value = 0.0f;
    if (!LexReadFloat(cursor, &value)) {
        RULE_ERROR(cursor, "Expecting float const but found");
        return false;
    }
    AILogPrintf("% 7.3f ", static_cast<double>(value));
    std::memcpy(word, &value, sizeof value);
    return true;
}

bool BuildAssignAction(ScriptValue* variable, s32_t op, const char*& cursor, RuleAction** action)
{
    if (op == 1)
        return true;
    const s32_t type = variable->Type();
    const bool number = type == TYP_INT || type == TYP_FLOAT;
    if (op == 2) {
        LexSkipBlanks(cursor);
        NamePath source;
        if (ResolveNamePath(cursor, source))
            return BuildCallAction(source, variable, cursor, action);
        if (!number)
            return false;
        u32_t word = 0;
        if (!ReadAssignConstant(cursor, type, &word))
            return false;
        *action = new CopyWordAction(word, variable->data);
        return true;
    }
    if (!number)
        return false;
    if (op == 5 || op == 6) {
        if (type == TYP_INT)
            *action = new AddIntAction(static_cast<s32_t*>(variable->data), op == 5 ? 1 : -1);
        else
            *action = new AddFloatAction(static_cast<float*>(variable->data), op == 5 ? 1.0f : -1.0f);
        return true;
    }
    u32_t word = 0;
    if (!ReadAssignConstant(cursor, type, &word))
        return false;
    if (type == TYP_INT) {
        s32_t amount;
        std::memcpy(&amount, &word, sizeof amount);
        *action = new AddIntAction(static_cast<s32_t*>(variable->data), op == 4 ? -amount : amount);
    } else {
        float amount;
        std::memcpy(&amount, &word, sizeof amount);
        *action = new AddFloatAction(static_cast<float*>(variable->data), op == 4 ? -amount : amount);
    }
    return true;
}

bool BuildPriorityAction(NamePath& path, s32_t op, const char*& cursor, RuleAction** action)
{
    auto* rule = static_cast<Rule*>(path.entries[path.count - 2].target);
    if (op == 5 || op == 6) {
        *action = new UpdatePriorityAction(rule, op == 5 ? 1 : -1);
        return true;
    }
    if (op < 2 || op > 4)
        return false;
    s32_t value = 0;
    if (!LexReadNumber(cursor, &value)) {
        RULE_ERROR(nullptr, "Expecting integer const but found\n");
        return false;
    }
    AILogPrintf("%d ", value);
    if (op == 2)
        *action = new ChangePriorityAction(rule, value);
    else
        *action = new UpdatePriorityAction(rule, op == 4 ? -value : value);
    return true;
}

bool AppendIf(const char*& cursor, ActionBlock* block, NamePath& next, bool& more)
{
    ScriptTokenList tokens(100);
    if (!ParseCondition(cursor, tokens))
        return false;
    auto* condition = new ScriptCondition();
    if (!condition->Compile(tokens)) {
        delete condition;
        return false;
    }
    LexSkipBlanks(cursor);
    ActionBlock* thenBlock = ParseBlock(cursor);
    if (!thenBlock) {
        delete condition;
        return false;
    }
    LexSkipBlanks(cursor);
    next.Truncate(0);
    more = ResolveNamePath(cursor, next);
    if (more && next.Last().kind == PATH_ELSE) {
        LexSkipBlanks(cursor);
        ActionBlock* elseBlock = ParseBlock(cursor);
        if (!elseBlock) {
            delete condition;
            delete thenBlock;
            return false;
        }
        block->Append(new IfElseAction(condition, thenBlock, elseBlock));
        LexSkipBlanks(cursor);
        next.Truncate(0);
        more = ResolveNamePath(cursor, next);
        return true;
    }
    block->Append(new IfAction(condition, thenBlock));
    return true;
}

ActionBlock* ParseStatementList(const char*& cursor)
{
    LexSkipBlanks(cursor);
    auto path = std::make_unique<NamePath>();
    if (!ResolveNamePath(cursor, *path)) {
        RULE_ERROR(cursor, "Expecting identifier but found");
        return nullptr;
    }
    auto block = std::make_unique<ActionBlock>(100);
    for (;;) {
        const s32_t kind = path->Last().kind;
        if (kind == PATH_IF) {
            auto next = std::make_unique<NamePath>();
            bool more = false;
            if (!AppendIf(cursor, block.get(), *next, more))
                return nullptr;
            if (!more)
                break;
            path = std::move(next);
            continue;
        }
        RuleAction* action = nullptr;
        if (kind == PATH_VARIABLE || kind == PATH_PRIORITY) {
            const s32_t op = ReadAssignOperator(cursor);
            if (!op)
                return nullptr;
            const bool built = kind == PATH_VARIABLE ? BuildAssignAction(static_cast<ScriptValue*>(path->Last().target),
                                                                         op, cursor, &action)
                                                     : BuildPriorityAction(*path, op, cursor, &action);
            if (!built)
                return nullptr;
        } else if (!BuildCallAction(*path, nullptr, cursor, &action)) {
            return nullptr;
        }
        if (action)
            block->Append(action);
        LexSkipBlanks(cursor);
        if (LexPeekChar(cursor) == ';') {
            LexGetChar(cursor);
            AILogWrite(";\n");
            LexSkipBlanks(cursor);
        }
        path = std::make_unique<NamePath>();
        if (!ResolveNamePath(cursor, *path))
            break;
    }
    return block.release();
}

// Makes the operand token of a resolved name in a condition; false after an error line, or with
// `added` false for a variable that gives no operand (str, ptr).
bool AddNameOperand(NamePath& path, const char*& cursor, ScriptTokenList& tokens)
{
    NamePath::Entry& last = path.Last();
    if (last.kind == PATH_VARIABLE) {
        auto* value = static_cast<ScriptValue*>(last.target);
        if (!value->info) {
            RULE_ERROR(nullptr, "Unknow vatriable type\n");
            return false;
        }
        switch (value->Type()) {
            case TYP_BOOL:
                return tokens.Add(ScriptToken::MakeOperand(OPERAND_BOOL, new ScriptValueOperand(value->data)));
            case TYP_INT:
                return tokens.Add(ScriptToken::MakeOperand(OPERAND_INT, new ScriptValueOperand(value->data)));
            case TYP_FLOAT:
                return tokens.Add(ScriptToken::MakeOperand(OPERAND_FLOAT, new ScriptValueOperand(value->data)));
            case TYP_CLASS:
            case TYP_CLASS_PTR:
                return tokens.Add(ScriptToken::MakeOperand(OPERAND_ADDRESS, new ScriptAddressOperand(value)));
            default:
                return true;
        }
    }
    if (last.kind != PATH_FUNCTION && last.kind != PATH_METHOD) {
        RULE_ERROR(nullptr, "IDENT TYPE NOT SUPPORTED YET\n");
        return false;
    }
    const bool function = last.kind == PATH_FUNCTION;
    const s32_t returnType = function ? static_cast<ScriptFunctionEntry*>(last.target)->returnType
                                      : static_cast<ScriptMethod*>(last.target)->returnType;
    const s32_t operandType = returnType == TYP_BOOL    ? OPERAND_BOOL
                              : returnType == TYP_INT   ? OPERAND_INT
                              : returnType == TYP_FLOAT ? OPERAND_FLOAT
                                                        : -1;
    if (operandType < 0) {
        RULE_ERROR(nullptr, "Unsuported return type from %s '%s'\n", function ? "function" : "method", last.name);
        return false;
    }
    ScriptArgs* args = ReadArgs(cursor);
    if (!args)
        return false;
    ScriptOperand* operand;
    if (function) {
        operand = new ScriptCallOperand(static_cast<ScriptFunctionEntry*>(last.target)->function, args);
    } else {
        const NamePath::Entry& owner = path.entries[path.count - 2];
        const bool variable = owner.kind == PATH_OBJECT_VARIABLE;
        operand = new ScriptCallOperand(variable ? nullptr : static_cast<ScriptObject*>(owner.target),
                                        variable ? static_cast<void* const*>(owner.target) : nullptr,
                                        static_cast<ScriptMethod*>(last.target), args);
    }
    return tokens.Add(ScriptToken::MakeOperand(operandType, operand));
}

bool AddToken(ScriptTokenList& tokens, const ScriptToken& token)
{
    if (tokens.Add(token))
        return true;
    RULE_ERROR(nullptr, "Condition too long\n");
    return false;
}

}  // namespace

ScriptValue* RuleLookUpName(const char* name)
{
    return name ? LookUpScopes(name) : nullptr;
}

ActionBlock* ParseBlock(const char*& cursor)
{
    if (LexPeekChar(cursor) != '{') {
        RULE_ERROR(nullptr, "Expecting '{' but found '%c'\n", LexPeekChar(cursor));
        return nullptr;
    }
    if (BlockDepth() >= kMaxBlockDepth) {
        RULE_ERROR(nullptr, "Blocks nested deeper than %d\n", kMaxBlockDepth);
        return nullptr;
    }
    LexGetChar(cursor);
    AILogWrite("\n{\n");
    LexSkipBlanks(cursor);
    if (LexPeekChar(cursor) == '}') {
        LexGetChar(cursor);
        AILogWrite("}\n");
        return new ActionBlock(100);
    }
    ++BlockDepth();
    ActionBlock* block = ParseStatementList(cursor);
    --BlockDepth();
    if (!block)
        return nullptr;
    LexSkipBlanks(cursor);
    if (LexPeekChar(cursor) != '}') {
        RULE_ERROR(nullptr, "Expecting '}' but found '%c'\n", LexPeekChar(cursor));
        delete block;
        return nullptr;
    }
    LexGetChar(cursor);
    AILogWrite("}\n");
    return block;
}

bool ParseCondition(const char*& cursor, ScriptTokenList& tokens)
{
    LexSkipBlanks(cursor);
    if (LexPeekChar(cursor) != '(') {
        RULE_ERROR(cursor, "Expecting '(' but found");
        return false;
    }
    LexGetChar(cursor);
    s32_t depth = 0;
    bool ok = true;
    for (;;) {
        LexSkipBlanks(cursor);
        if (LexAtEnd(cursor)) {
            RULE_ERROR(nullptr, "Unexpected end of file\n");
            ok = false;
            break;
        }
        const char c = LexPeekChar(cursor);
        s32_t op = -1;
        if (c == '!') {
            op = cursor[1] == '=' ? OP_NOT_EQUAL : OP_NOT;
        } else if (c == '&') {
            op = OP_AND;
        } else if (c == '|') {
            op = OP_OR;
        } else if (c == '<') {
            op = cursor[1] == '=' ? OP_LESS_EQUAL : OP_LESS;
        } else if (c == '>') {
            op = cursor[1] == '=' ? OP_GREATER_EQUAL : OP_GREATER;
        } else if (c == '=') {
            if (cursor[1] != '=') {
                RULE_ERROR(nullptr, "Wrong operator '%c'\n", cursor[1]);
                ok = false;
                break;
            }
            op = OP_EQUAL;
        }
        if (op >= 0) {
            const bool twoCharacters =
                op == OP_NOT_EQUAL || op == OP_LESS_EQUAL || op == OP_GREATER_EQUAL || op == OP_EQUAL;
            AILogPrintf("'%.*s' ", twoCharacters ? 2 : 1, cursor);
            cursor += twoCharacters ? 2 : 1;
            if (!(ok = AddToken(tokens, ScriptToken::MakeOperator(op))))
                break;
            continue;
        }
        if (c == '(') {
            LexGetChar(cursor);
            ++depth;
            if (!(ok = AddToken(tokens, ScriptToken{ScriptToken::Open})))
                break;
            continue;
        }
        if (c == ')') {
            LexGetChar(cursor);
            if (depth == 0)
                break;
            --depth;
            if (!(ok = AddToken(tokens, ScriptToken{ScriptToken::Close})))
                break;
            continue;
        }
        NamedValueTable* pool = ScriptConstPool();
        float floatValue = 0.0f;
        s32_t intValue = 0;
        if (pool && LexReadFloat(cursor, &floatValue)) {
            AILogPrintf("% 7.3f ", static_cast<double>(floatValue));
            ScriptValue* constant = pool->AddFloat(nullptr, floatValue);
            ok = constant &&
                 AddToken(tokens, ScriptToken::MakeOperand(OPERAND_FLOAT, new ScriptValueOperand(constant->data)));
        } else if (pool && LexReadNumber(cursor, &intValue)) {
            AILogPrintf("%d ", intValue);
            ScriptValue* constant = pool->AddInt(nullptr, intValue);
            ok = constant &&
                 AddToken(tokens, ScriptToken::MakeOperand(OPERAND_INT, new ScriptValueOperand(constant->data)));
        } else {
            NamePath path;
            if (!ResolveNamePath(cursor, path)) {
                RULE_ERROR(cursor, " Expecting identifier but found");
                ok = false;
            } else {
                ok = AddNameOperand(path, cursor, tokens);
            }
        }
        if (!ok)
            break;
    }
    if (!ok)
        tokens.Clear();
    return ok;
}
