// Handler tests: "mission.hnd" written into the mission folder of a fresh working folder and compiled
// as the mission start does, with the rule-script fixture's recording global functions.
#pragma once
#include <string>

#include "ai/envelopes/event_handlers.h"
#include "ai/envelopes/handler_compiler.h"
#include "ai/rules/script_events.h"
#include "ai/script/source_files.h"
#include "ai/rules/rule_script_fixture.h"

class HandlerTest : public RuleScriptTest {
protected:
    void TearDown() override
    {
        ScriptDestroyRegistries();
        HandlerSetEventObject(nullptr);
        RuleScriptTest::TearDown();
    }
    // Writes the text as the mission's handler file and compiles it.
    bool CompileMission(const std::string& text)
    {
        WriteFileBytes(TempPath() + "/mission/mission.hnd", text);
        return HandlerCompileMission("mission");
    }
    // Fires the handler's event of the index; false when the slot is empty.
    static bool Fire(EventHandler* handler, s32_t index, ScriptObject* sender = nullptr)
    {
        ScriptEvent* event = handler ? handler->GetEvent(index) : nullptr;
        if (!event)
            return false;
        event->Fire(sender, nullptr);
        return true;
    }
    bool LogHas(const std::string& text) const { return LogText().find(text) != std::string::npos; }
};
