#include "ai/rules/rule_compiler.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ai/soldier/ai_log.h"
#include "ai/rules/rule_actions.h"
#include "ai/rules/rules.h"
#include "ai/script/script_call_args.h"
#include "ai/script/script_condition.h"
#include "ai/rules/script_events.h"
#include "ai/script/script_lexer.h"
#include "ai/script/script_object.h"
#include "core/files/vfs.h"

namespace {

RuleCompileContext& Context()
{
    return g_ai.compile;
}

// The files being compiled, outermost first: including one of them again would never end.
std::vector<std::string>& IncludeChain()
{
    static std::vector<std::string> chain;
    return chain;
}

// Frees a heap word when the scope ends.
struct Word {
    char* text = nullptr;
    ~Word() { ScriptFreeText(text); }
    Word() = default;
    Word(const Word&) = delete;
    Word& operator=(const Word&) = delete;
};

s32_t AttributeIndex(const char* word)
{
    const char* words[] = {"priority", "timeout", "start", "period"};
    for (s32_t i = 0; i < 4; ++i) {
        if (std::strcmp(word, words[i]) == 0)
            return i;
    }
    return 4;
}

s32_t BlockKind(const char* word)
{
    const char* words[] = {"if", "OnEnable", "OnDisable", "OnTimeOut", "OnTrue", "OnFalse", "OnFrame"};
    for (s32_t i = 0; i < 7; ++i) {
        if (std::strcmp(word, words[i]) == 0)
            return i + 1;
    }
    return 0;
}

void SkipOptionalSemicolon(const char*& cursor)
{
    LexSkipBlanks(cursor);
    if (LexPeekChar(cursor) == ';') {
        LexGetChar(cursor);
        LexSkipBlanks(cursor);
    }
}

bool ReadVariableName(const char*& cursor, Word& name)
{
    LexSkipBlanks(cursor);
    if (!LexReadIdentifier(cursor, &name.text)) {
        RULE_ERROR(cursor, "Expecting variable name but found");
        return false;
    }
    // The blanks after the name are the declaration's to skip: an error about the name itself
    // reports the name's own line.
    AILogPrintf("'%s' ", name.text);
    return true;
}

// Reads a constant of the type after "=": false after its error line.
bool ReadConstant(const char*& cursor, s32_t type, s32_t* intValue, float* floatValue, char** text)
{
    switch (type) {
        case TYP_INT:
            if (!LexReadNumber(cursor, intValue)) {
                RULE_ERROR(cursor, "Expecting integer constant but found");
                return false;
            }
            AILogPrintf("%d ", *intValue);
            return true;
        case TYP_FLOAT:
            if (!LexReadFloat(cursor, floatValue)) {
                RULE_ERROR(cursor, "Expecting float constant but found");
                return false;
            }
            AILogPrintf("% 7.3f ", static_cast<double>(*floatValue));
            return true;
        case TYP_STRING:
            if (!LexReadQuotedString(cursor, text)) {
                RULE_ERROR(cursor, "Expecting string constant but found");
                return false;
            }
            AILogPrintf("\"%s\" ", *text);
            return true;
        default:
            RULE_ERROR(nullptr, "Variable type not supported yet\n");
            return false;
    }
}

// A declaration after its type and name: with "=", a global of the same type to share or a constant;
// without, the type's default.
bool DeclareVariable(NamedValueTable* table, s32_t type, const char* name, const char*& cursor)
{
    LexSkipBlanks(cursor);
    if (LexPeekChar(cursor) == '=') {
        LexGetChar(cursor);
        LexSkipBlanks(cursor);
        const char* at = cursor;
        Word other;
        if (LexReadIdentifier(cursor, &other.text)) {
            NamedValueTable* globals = ScriptGlobalObjects();
            ScriptValue* shared = globals ? globals->Find(other.text) : nullptr;
            if (!shared) {
                RULE_ERROR(nullptr, "Unknow variable '%s'\n", other.text);
                return false;
            }
            if (shared->Type() != type) {
                RULE_ERROR(nullptr, "Incompatible types '%s' and '%s'\n", name, other.text);
                return false;
            }
            if (table)
                table->AddTyped(name, type, shared->data);
        } else {
            cursor = at;
            s32_t intValue = 0;
            float floatValue = 0.0f;
            char* text = nullptr;
            if (!ReadConstant(cursor, type, &intValue, &floatValue, &text))
                return false;
            if (!table)
                ScriptFreeText(text);
            else if (type == TYP_INT)
                table->AddInt(name, intValue);
            else if (type == TYP_FLOAT)
                table->AddFloat(name, floatValue);
            else if (!table->AddString(name, text))
                ScriptFreeText(text);
        }
        SkipOptionalSemicolon(cursor);
        AILogWrite("\n");
        return true;
    }
    if (!AddDefaultValue(table, type, name)) {
        RULE_ERROR(nullptr, "Variable type not supported yet\n");
        return false;
    }
    SkipOptionalSemicolon(cursor);
    AILogWrite("\n");
    return true;
}

// A global declared again with its own type: an initializer is read and dropped.
bool SkipRedeclaration(s32_t type, const char*& cursor)
{
    LexSkipBlanks(cursor);
    if (LexPeekChar(cursor) == '=') {
        LexGetChar(cursor);
        LexSkipBlanks(cursor);
        s32_t intValue = 0;
        float floatValue = 0.0f;
        char* text = nullptr;
        if (!ReadConstant(cursor, type, &intValue, &floatValue, &text))
            return false;
        ScriptFreeText(text);
    }
    SkipOptionalSemicolon(cursor);
    return true;
}

// "global" and the event file's declarations, from the type word on.
bool DeclareGlobal(const char* typeWord, const char*& cursor, bool namedTypeError)
{
    const s32_t type = RuleTypeCode(typeWord);
    if (!type) {
        if (namedTypeError)
            RULE_ERROR(nullptr, "Unknow global variable type '%s'\n", typeWord);
        else
            RULE_ERROR(nullptr, "Unknow global variable type\n");
        return false;
    }
    Word name;
    if (!ReadVariableName(cursor, name))
        return false;
    NamedValueTable* globals = ScriptGlobalObjects();
    ScriptValue* existing = globals ? globals->Find(name.text) : nullptr;
    if (!existing)
        return DeclareVariable(globals, type, name.text, cursor);
    if (existing->Type() == type)
        return SkipRedeclaration(type, cursor);
    RULE_ERROR(nullptr, "Global variable '%s' type conflict !!!\n", name.text);
    return false;
}

// "event" name { ... }: the body of an event of the context's list.
bool CompileEventBody(const char*& cursor)
{
    LexSkipBlanks(cursor);
    Word name;
    if (!LexReadIdentifier(cursor, &name.text)) {
        RULE_ERROR(cursor, "Expecting event name but found");
        return false;
    }
    LexSkipBlanks(cursor);
    RuleCompileContext& context = Context();
    if (!context.eventList) {
        RULE_ERROR(nullptr, "No events registred\n");
        return false;
    }
    ScriptEvent* event = context.eventList->Find(name.text);
    if (!event) {
        RULE_ERROR(nullptr, "Unknow event '%s'\n", name.text);
        return false;
    }
    context.localTable = &event->values;
    context.currentRule = nullptr;
    context.ruleVariables = nullptr;
    ActionBlock* block = ParseBlock(cursor);
    context.localTable = nullptr;
    if (!block)
        return false;
    event->SetAction(block);
    return true;
}

// One member of a rule body: a variable, an attribute default, or a block.
bool CompileRuleMember(Rule* rule, const char*& cursor)
{
    RuleCompileContext& context = Context();
    Word word;
    if (!LexReadIdentifier(cursor, &word.text)) {
        RULE_ERROR(cursor, "Expecting identifier but found");
        return false;
    }
    AILogPrintf("%s ", word.text);
    LexSkipBlanks(cursor);
    const char next = LexPeekChar(cursor);
    if (next != '{' && next != '(') {
        if (const s32_t type = RuleTypeCode(word.text)) {
            if (!context.ruleVariables)
                context.ruleVariables = new NamedValueTable(100);
            Word name;
            return ReadVariableName(cursor, name) && DeclareVariable(context.ruleVariables, type, name.text, cursor);
        }
        const s32_t attribute = AttributeIndex(word.text);
        if (attribute == 4) {
            RULE_ERROR(nullptr, "Unknow identifier '%s'\n", word.text);
            return false;
        }
        if (next != '=') {
            RULE_ERROR(nullptr, "Expecting '=' but found '%c'\n", next);
            return false;
        }
        LexGetChar(cursor);
        LexSkipBlanks(cursor);
        s32_t value = 0;
        if (!LexReadNumber(cursor, &value)) {
            RULE_ERROR(cursor, "Expecting integer const but found");
            return false;
        }
        AILogPrintf("= %d\n", value);
        s32_t* defaults[4] = {&rule->defaultPriority, &rule->defaultTimeout, &rule->defaultStartDelay,
                              &rule->defaultPeriod};
        *defaults[attribute] = value;
        return true;
    }
    const s32_t kind = BlockKind(word.text);
    if (!kind) {
        RULE_ERROR(nullptr, "Unknow method '%s'\n", word.text);
        return false;
    }
    LexSkipBlanks(cursor);
    if (rule->HasBlock(kind)) {
        RULE_ERROR(nullptr, "Method '%s' already exists\n", word.text);
        return false;
    }
    if (kind == RULE_CONDITION) {
        ScriptTokenList tokens(100);
        if (!ParseCondition(cursor, tokens))
            return false;
        auto* condition = new ScriptCondition();
        if (!condition->Compile(tokens)) {
            delete condition;
            return false;
        }
        if (!rule->SetCondition(condition)) {
            delete condition;
            RULE_ERROR(nullptr, "'if' Method already exists\n");
            return false;
        }
        return true;
    }
    auto* locals = new NamedValueTable(100);
    context.localTable = locals;
    ActionBlock* block = ParseBlock(cursor);
    context.localTable = nullptr;
    if (!block) {
        delete locals;
        return false;
    }
    auto* ruleBlock = new RuleBlock(locals, block);
    if (!rule->SetBlock(kind, ruleBlock)) {
        delete ruleBlock;
        RULE_ERROR(nullptr, "Method '%s' already \n", word.text);
        return false;
    }
    return true;
}

bool CompileRuleBody(Rule* rule, const char*& cursor)
{
    RuleCompileContext& context = Context();
    if (LexPeekChar(cursor) != '{') {
        RULE_ERROR(nullptr, "Expecting '{' but found '%c'\n", LexPeekChar(cursor));
        return false;
    }
    LexGetChar(cursor);
    AILogWrite("\n{\n");
    LexSkipBlanks(cursor);
    bool ok = true;
    while (ok && LexPeekChar(cursor) != '}') {
        ok = CompileRuleMember(rule, cursor);
        LexSkipBlanks(cursor);
    }
    // The rule keeps its variables, also those declared before an error.
    rule->variables = context.ruleVariables;
    context.ruleVariables = nullptr;
    if (!ok)
        return false;
    LexGetChar(cursor);
    AILogWrite("}\n");
    SkipOptionalSemicolon(cursor);
    return true;
}

bool CompileRule(const char*& cursor)
{
    RuleCompileContext& context = Context();
    LexSkipBlanks(cursor);
    Word name;
    if (!LexReadIdentifier(cursor, &name.text)) {
        RULE_ERROR(cursor, "Expecting rule name but found");
        return false;
    }
    AILogPrintf("'%s' ", name.text);
    LexSkipBlanks(cursor);
    if (LexPeekChar(cursor) == ';') {
        if (context.ruleList)
            context.ruleList->Add(name.text);
        LexGetChar(cursor);
        AILogWrite(";\n");
        return true;
    }
    Rule* rule = context.ruleList ? context.ruleList->Find(name.text) : nullptr;
    if (rule && rule->hasBody) {
        RULE_ERROR(nullptr, "Rule '%s' already has body\n", name.text);
        return false;
    }
    if (!rule)
        rule = context.ruleList ? context.ruleList->Add(name.text) : nullptr;
    if (!rule) {
        RULE_ERROR(nullptr, "Rule '%s' already exists\n", name.text);
        return false;
    }
    context.currentRule = rule;
    context.ruleVariables = rule->variables;
    rule->variables = nullptr;
    const bool ok = CompileRuleBody(rule, cursor);
    context.currentRule = nullptr;
    if (ok)
        rule->hasBody = 1;
    return ok;
}

bool CompileTopLevelStatement(const char*& cursor)
{
    RuleCompileContext& context = Context();
    Word word;
    if (!LexReadIdentifier(cursor, &word.text)) {
        RULE_ERROR(cursor, "Expecting identifier 'rule' but found");
        return false;
    }
    AILogPrintf("%s ", word.text);
    if (std::strcmp(word.text, "include") == 0) {
        LexSkipBlanks(cursor);
        Word file;
        if (!LexReadQuotedString(cursor, &file.text)) {
            RULE_ERROR(cursor, "Expecting string but found");
            return false;
        }
        AILogPrintf("\"%s\"\n", file.text);
        return CompileIncludeFile(file.text);
    }
    if (std::strcmp(word.text, "global") == 0) {
        LexSkipBlanks(cursor);
        Word type;
        if (!LexReadIdentifier(cursor, &type.text)) {
            RULE_ERROR(cursor, "Expecting identifier but found");
            return false;
        }
        AILogPrintf("%s ", type.text);
        return DeclareGlobal(type.text, cursor, false);
    }
    if (const s32_t type = RuleTypeCode(word.text)) {
        Word name;
        return ReadVariableName(cursor, name) && DeclareVariable(context.memberTable, type, name.text, cursor);
    }
    if (std::strcmp(word.text, "event") == 0)
        return CompileEventBody(cursor);
    if (std::strcmp(word.text, "rule") == 0)
        return CompileRule(cursor);
    RULE_ERROR(nullptr, "Expecting identifier 'rule' but found '%s'\n", word.text);
    return false;
}

void SetThisEntry(s32_t type, void* data)
{
    if (NamedValueTable* globals = ScriptGlobalObjects()) {
        if (ScriptValue* self = globals->Find("this")) {
            if (self->info)
                self->info->type = type;
            self->data = data;
        }
    }
}

}  // namespace

ScriptValue* AddDefaultValue(NamedValueTable* table, s32_t type, const char* name)
{
    if (!table || table->IndexOf(name) >= 0)
        return nullptr;
    switch (type) {
        case TYP_INT:
            return table->AddInt(name, 0);
        case TYP_FLOAT:
            return table->AddFloat(name, 0.0f);
        case TYP_STRING:
            return table->AddTyped(name, TYP_STRING, nullptr);
        case TYP_PTR:
            return table->AddPointer(name, nullptr);
        default:
            return nullptr;  // a bool has no default
    }
}

s32_t RuleTypeCode(const char* word)
{
    if (!word)
        return 0;
    const struct {
        const char* word;
        s32_t code;
    } types[] = {{"bool", TYP_BOOL}, {"int", TYP_INT}, {"float", TYP_FLOAT}, {"str", TYP_STRING}, {"ptr", TYP_PTR}};
    for (const auto& type : types) {
        if (std::strcmp(word, type.word) == 0)
            return type.code;
    }
    return 0;
}

void RuleCompileError(const char* file, s32_t line, const char* foundAt, const char* format, ...)
{
    char message[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    AILogPrintf("ERROR : %s:%d  at line %d %s", file, line, ScriptLine(), message);
    if (foundAt)
        LexEchoWord(foundAt);
}

bool CompileRuleScript(const char* text)
{
    SetCompileRuleKeywords(true);
    SetScriptLine(1);
    const char* cursor = text ? text : "";
    LexSkipBlanks(cursor);
    while (!LexAtEnd(cursor)) {
        if (!CompileTopLevelStatement(cursor))
            return false;
        LexSkipBlanks(cursor);
    }
    return true;
}

bool CompileIncludeFile(const char* name)
{
    const std::string path = std::string(Context().includeFolder ? Context().includeFolder : "") + "/" + name;
    std::vector<std::string>& chain = IncludeChain();
    for (const std::string& open : chain) {
        if (open == path) {
            RULE_ERROR(nullptr, " Include cycle: '%s' is being compiled already\n", name);
            return false;
        }
    }
    char* text = VFSLoadTextFile(path.c_str());
    if (!text) {
        RULE_ERROR(nullptr, " Could not open file %s\n", name);
        return false;
    }
    const s32_t line = ScriptLine();
    chain.push_back(path);
    const bool ok = CompileRuleScript(text);
    chain.pop_back();
    if (ok)
        AILogWrite("Success\n");
    else
        AILogPrintf("FAILED to compile %s !\n", name);
    SetScriptLine(line);
    delete[] text;
    return ok;
}

void SetIncludeFolder(const char* folder)
{
    Context().includeFolder = folder;
}

void SetCompileMemberTable(NamedValueTable* table)
{
    Context().memberTable = table;
}

void SetCompileRuleList(RuleList* list)
{
    Context().ruleList = list;
}

void SetCompileEventList(ScriptEventList* list)
{
    Context().eventList = list;
}

void SetCompileRuleKeywords(bool on)
{
    Context().ruleKeywords = on ? 1 : 0;
}

void SetCompileThisObject(ScriptObject* object)
{
    RuleCompileContext& context = Context();
    context.thisObject = object;
    context.thisType = TYP_CLASS;
    context.thisMembers = object ? &object->members : nullptr;
    SetThisEntry(TYP_CLASS, object);
    // A number that names the object in this run, whatever the pointer width.
    AILogPrintf("%u TYP_CLASS\n", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(object) & 0xffffffffu));
}

void SetCompileThisObjectRef(void* variable)
{
    RuleCompileContext& context = Context();
    context.thisObject = variable;
    context.thisType = TYP_CLASS_PTR;
    context.thisMembers = nullptr;
    SetThisEntry(TYP_CLASS_PTR, variable);
    AILogPrintf("%u TYP_CLASS_PTR\n", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(variable) & 0xffffffffu));
}

void ClearCompileThis()
{
    RuleCompileContext& context = Context();
    context.thisObject = nullptr;
    context.thisType = 0;
    context.thisMembers = nullptr;
    SetThisEntry(0, nullptr);
}

bool DeclareGlobalVariable(const char* typeWord, const char*& cursor)
{
    return DeclareGlobal(typeWord, cursor, true);
}

bool DeclareMemberVariable(NamedValueTable* table, const char* typeWord, const char*& cursor)
{
    const s32_t type = RuleTypeCode(typeWord);
    if (!type) {
        RULE_ERROR(nullptr, "Unknow variable type '%s'\n", typeWord ? typeWord : "");
        return false;
    }
    Word name;
    return ReadVariableName(cursor, name) && DeclareVariable(table, type, name.text, cursor);
}

ScriptEvent* ParseEventDefinition(const char*& cursor)
{
    RuleCompileContext& context = Context();
    LexSkipBlanks(cursor);
    Word name;
    if (!LexReadIdentifier(cursor, &name.text)) {
        RULE_ERROR(cursor, "Expecting event name but found");
        return nullptr;
    }
    AILogPrintf("Event '%s'\n", name.text);
    LexSkipBlanks(cursor);
    auto* event = new ScriptEvent(name.text);
    context.localTable = &event->values;
    context.currentRule = nullptr;
    context.ruleVariables = nullptr;
    ActionBlock* block = ParseBlock(cursor);
    context.localTable = nullptr;
    if (!block) {
        delete event;
        return nullptr;
    }
    event->SetAction(block);
    return event;
}

s32_t ConsoleCmdCallMethod(const char* text)
{
    if (!text)
        return 0;
    const char* cursor = text;
    Word name;
    if (!LexReadIdentifier(cursor, &name.text))
        return 0;
    NamedValueTable* globals = ScriptGlobalObjects();
    ScriptValue* value = globals ? globals->Find(name.text) : nullptr;
    if (!value || value->Type() != TYP_CLASS || !value->data || LexPeekChar(cursor) != '.')
        return 0;
    LexGetChar(cursor);
    Word method;
    if (!LexReadIdentifier(cursor, &method.text))
        return 0;
    return static_cast<ScriptObject*>(value->data)->CallMethodByName(method.text, cursor) ? 1 : 0;
}
