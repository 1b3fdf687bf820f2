// What the mission script can do with the wires.

#include "ai/script/script_functions.h"
#include "core/strings/text_case.h"
#include "world/wires/wire_state.h"

namespace {

void ScriptEnableWireCut(ScriptArgWord*)
{
    g_conObj.wireCutEnabled = 1;
}

void ScriptDisableWireCut(ScriptArgWord*)
{
    g_conObj.wireCutEnabled = 0;
}

void ScriptWireCutEnabled(ScriptArgWord*)
{
    g_scriptResult.asBool = g_conObj.wireCutEnabled;
}

// Arguments: group name, span index, wire index.
void ScriptCutWire(ScriptArgWord* args)
{
    if (!args || !args[0] || !args[1] || !args[2])
        return;
    WireCut(static_cast<const char*>(args[0]), *static_cast<const s32_t*>(args[1]),
            *static_cast<const s32_t*>(args[2]));
}

}  // namespace

void WireCut(const char* groupName, s32_t span, s32_t wire)
{
    if (!groupName || span < 0 || wire < 0 || wire >= MAX_WIRE_POINTS)
        return;
    for (s32_t g = 0; g < g_conObj.groupCount; ++g) {
        const ConObjGroup* group = g_conObj.groups[g];
        if (CompareNoCase(group->name.Text(), groupName) != 0)
            continue;
        ConObjPointSet* set = group->first;
        for (s32_t k = 0; set && k < span; ++k)
            set = set->next;
        if (set)
            set->cut[wire] = 1;
        return;
    }
}

void WireRegisterScriptFunctions()
{
    ScriptFunctionTable::Add("EnableWireCut", ScriptEnableWireCut, TYP_VOID);
    ScriptFunctionTable::Add("DisableWireCut", ScriptDisableWireCut, TYP_VOID);
    ScriptFunctionTable::Add("WireCutEnabled", ScriptWireCutEnabled, TYP_BOOL);
    ScriptFunctionTable::Add("CutWire", ScriptCutWire, TYP_VOID);
}
