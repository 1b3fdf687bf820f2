#include "ai/script/script_functions.h"

#include <cstring>

ScriptResultCells g_scriptResult;

namespace {

ScriptFunctionEntry g_entries[SCRIPT_FUNCTION_CAPACITY];
s32_t g_count = 0;

}  // namespace

s32_t ScriptFunctionTable::Add(const char* name, ScriptFunction function, s32_t returnType)
{
    if (g_count >= SCRIPT_FUNCTION_CAPACITY)
        return -1;
    g_entries[g_count] = {name, returnType, function};
    return g_count++;
}

const ScriptFunctionEntry* ScriptFunctionTable::Find(const char* name)
{
    if (!name)
        return nullptr;
    for (s32_t i = 0; i < g_count; ++i) {
        if (g_entries[i].name && std::strcmp(g_entries[i].name, name) == 0)
            return &g_entries[i];
    }
    return nullptr;
}

s32_t ScriptFunctionTable::Count()
{
    return g_count;
}

void ScriptFunctionTable::Clear()
{
    g_count = 0;
}
