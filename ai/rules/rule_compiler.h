// The rule-script compiler: rule scripts with their includes, the mission's event file and handler
// bodies become rules, blocks, actions, events and variables once, at load time. Every error writes
// one line to the AI log and stops the compile; what consumed text the compiler reads is echoed there.
#pragma once
#include "ai/soldier/ai_state.h"
#include "core/types.h"

class ActionBlock;
class ScriptEvent;
class ScriptObject;
class ScriptTokenList;

bool CompileRuleScript(const char* text);
// Compiles the include folder + "/" + name; a file already being compiled is refused.
bool CompileIncludeFile(const char* name);
void SetIncludeFolder(const char* folder);
void SetCompileMemberTable(NamedValueTable* table);
void SetCompileRuleList(RuleList* list);
void SetCompileEventList(ScriptEventList* list);
// "this" for the compile: an object, or the address of a variable that holds one at run time.
void SetCompileThisObject(ScriptObject* object);
void SetCompileThisObjectRef(void* variable);
void ClearCompileThis();
// The rule-keyword switch: "priority", "Enable" and "Disable" name rule operations while it is on.
void SetCompileRuleKeywords(bool on);

// The two entry points of the event file: a global declaration from its type word on, and an event
// definition after the word "Event".
bool DeclareGlobalVariable(const char* typeWord, const char*& cursor);
ScriptEvent* ParseEventDefinition(const char*& cursor);
// A member declaration of a handler body, from its type word on: the name, an optional initializer
// and an optional ';', into the table.
bool DeclareMemberVariable(NamedValueTable* table, const char* typeWord, const char*& cursor);

// A name through the compiler's scopes: the local table, the rule's variables, the member table, the
// members of a "this" object, then the global objects; null when none has it.
ScriptValue* RuleLookUpName(const char* name);

// Statements and conditions.
ActionBlock* ParseBlock(const char*& cursor);
bool ParseCondition(const char*& cursor, ScriptTokenList& tokens);

// The console command "cmd": "Object.Method(args)". 1 when the method was called, else 0; prints nothing.
s32_t ConsoleCmdCallMethod(const char* text);

// A new variable of the type with its default (int 0, float 0.0, no string, null pointer); null for
// a bool (no default), a name already in the table, a full table or no table.
ScriptValue* AddDefaultValue(NamedValueTable* table, s32_t type, const char* name);
// The type code of a type word ("bool", "int", "float", "str", "ptr"); 0 for other words.
s32_t RuleTypeCode(const char* word);

// "ERROR : <compiler file>:<line>  at line <script line> <message>"; a message that ends "but found"
// is followed by the word at `foundAt`.
void RuleCompileError(const char* file, s32_t line, const char* foundAt, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
#define RULE_ERROR(foundAt, ...) RuleCompileError(__FILE_NAME__, __LINE__, foundAt, __VA_ARGS__)
