// Rule-script tests: a rule set compiled from texts and files of a fresh working folder, with the
// mission's event list and object-method list, and global functions that record their calls.
#pragma once
#include <string>
#include <vector>

#include "ai/ai_cvars.h"
#include "ai/msal/msal_methods.h"
#include "ai/rules/rule_compiler.h"
#include "ai/rules/rules.h"
#include "ai/rules/script_events.h"
#include "ai/rules/time_events.h"
#include "core/frame_view.h"
#include "ai/script_fixture.h"

class RuleScriptTest : public ScriptTest {
protected:
    void SetUp() override
    {
        ScriptTest::SetUp();
        marks.clear();
        set = std::make_unique<RuleSet>();
        ScriptCreateEventList();
        MSALMethodListCreate();
        ScriptFunctionTable::Add("Mark", Mark, TYP_VOID);
        ScriptFunctionTable::Add("Yes", Yes, TYP_BOOL);
        ScriptFunctionTable::Add("No", No, TYP_BOOL);
        ScriptFunctionTable::Add("Seven", Seven, TYP_INT);
        g_frameView.aiTime = 1000;
        SetIncludeFolder("script\\ai");
    }
    void TearDown() override
    {
        ClearCompileThis();
        SetCompileMemberTable(nullptr);
        SetCompileRuleList(nullptr);
        SetCompileEventList(nullptr);
        SetIncludeFolder(nullptr);
        set.reset();
        SetCurrentRuleSet(nullptr);
        TimeEventList::Destroy();
        ScriptDestroyEventList();
        MSALMethodListFree();
        rbrules.value.asBool = true;
        g_frameView.aiTime = 0;
        ScriptTest::TearDown();
    }
    // Compiles the text into the set, as the set's own script load does.
    bool Compile(const std::string& text)
    {
        SetCurrentRuleSet(set.get());
        SetCompileMemberTable(&set->variables);
        SetCompileRuleList(&set->rules);
        SetCompileEventList(&set->events);
        return CompileRuleScript(text.c_str());
    }
    Rule* RuleNamed(const char* name) { return set->rules.Find(name); }
    // Runs the set at the given AI time.
    void RunAt(u32_t time)
    {
        g_frameView.aiTime = time;
        set->Run();
    }
    s32_t Int(const char* name)
    {
        ScriptValue* value = set->variables.Find(name);
        if (!value)
            value = ScriptGlobalObjects()->Find(name);
        return value ? *static_cast<s32_t*>(value->data) : -99999;
    }

    // Mark(n) records n; Yes() and No() record 100 and 200 and answer true and false.
    static void Mark(ScriptArgWord* args) { marks.push_back(args ? *static_cast<s32_t*>(args[0]) : -1); }
    static void Yes(ScriptArgWord*)
    {
        marks.push_back(100);
        g_scriptResult.asBool = 1;
    }
    static void No(ScriptArgWord*)
    {
        marks.push_back(200);
        g_scriptResult.asBool = 0;
    }
    static void Seven(ScriptArgWord*) { g_scriptResult.asInt = 7; }

    std::unique_ptr<RuleSet> set;
    static inline std::vector<s32_t> marks;
};
