#include "ai/script/script_call_args.h"

#include "ai/soldier/ai_log.h"
#include "ai/script/script_lexer.h"
#include "ai/script/script_object.h"

namespace {

constexpr const char* kUnit = "func";

// One argument at the cursor into `args`; false after its error line.
bool ParseCallArg(ScriptArgs* args, const char*& cursor)
{
    NamedValueTable* pool = ScriptConstPool();
    if (!pool) {
        ScriptReportError(kUnit, 1, " No constant pool\n");
        return false;
    }
    if (args->Count() >= ScriptArgs::kCapacity) {
        ScriptReportError(kUnit, 2, " Too many arguments (at most 16) before");
        LexEchoWord(cursor);
        return false;
    }
    ScriptValue* constant = nullptr;
    char* text = nullptr;
    float floatValue = 0.0f;
    s32_t intValue = 0;
    if (LexPeekChar(cursor) == '"') {
        if (!LexReadQuotedString(cursor, &text))
            return false;
        constant = pool->AddString(nullptr, text);
    } else if (LexReadFloat(cursor, &floatValue)) {
        constant = pool->AddFloat(nullptr, floatValue);
    } else if (LexReadNumber(cursor, &intValue)) {
        constant = pool->AddInt(nullptr, intValue);
    } else {
        const char* nameStart = cursor;
        if (!LexReadIdentifier(cursor, &text)) {
            ScriptReportError(kUnit, 3, " Expecting identifier\n");
            return false;
        }
        ScriptValue* variable = ScriptLookUpName(text);
        ScriptFreeText(text);
        if (!variable) {
            cursor = nameStart;
            ScriptReportError(kUnit, 4, " Unknow parameter - ");
            LexEchoWord(cursor);
            return false;
        }
        if (variable->Type() == TYP_CLASS_PTR)
            return args->AddBound(static_cast<void* const*>(variable->data));
        return args->Add(variable->data);
    }
    if (!constant) {
        ScriptReportError(kUnit, 5, " Constant pool full\n");
        return false;
    }
    return args->Add(constant->data);
}

}  // namespace

void SetScriptNameLookup(ScriptNameLookup lookup)
{
    g_ai.scriptNameLookup = lookup;
}

ScriptValue* ScriptLookUpName(const char* name)
{
    if (g_ai.scriptNameLookup)
        return g_ai.scriptNameLookup(name);
    NamedValueTable* globals = ScriptGlobalObjects();
    return globals ? globals->Find(name) : nullptr;
}

bool ParseCallArgs(ScriptArgs* args, const char*& cursor)
{
    if (LexPeekChar(cursor) != '(') {
        ScriptReportError(kUnit, 6, " Expecting '(' but found");
        LexEchoWord(cursor);
        return false;
    }
    AILogWrite("(");
    LexGetChar(cursor);
    LexSkipBlanks(cursor);
    if (LexPeekChar(cursor) != ')') {
        for (;;) {
            if (!ParseCallArg(args, cursor))
                return false;
            LexSkipBlanks(cursor);
            if (LexPeekChar(cursor) != ',')
                break;
            AILogWrite(",");
            LexGetChar(cursor);
            LexSkipBlanks(cursor);
        }
    }
    if (LexPeekChar(cursor) != ')') {
        ScriptReportError(kUnit, 7, " Expecting ')' but found");
        LexEchoWord(cursor);
        return false;
    }
    AILogWrite(")");
    LexGetChar(cursor);
    return true;
}
