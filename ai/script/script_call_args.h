// Argument lists of script calls: "(" arguments separated by "," ")". Constants are pooled in the
// constant pool; a name is a variable found through the name lookup. What is read is echoed to the AI log.
#pragma once
#include "ai/soldier/ai_state.h"

class ScriptArgs;

// Reads the list at the cursor into `args`. False, with an error line in the AI log, on a malformed
// list, an unknown name, more than 16 arguments or when there is no constant pool.
bool ParseCallArgs(ScriptArgs* args, const char*& cursor);
// Installs how argument names are looked up; null looks in ScriptGlobalObjects only.
void SetScriptNameLookup(ScriptNameLookup lookup);
ScriptValue* ScriptLookUpName(const char* name);
