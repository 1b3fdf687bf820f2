// Mission-script tests: the envelope mission (envelope_fixture.h) with the script event list made
// before each test; the mission script, its timers and the event list are freed after it, before
// the envelopes they point at.
#pragma once
#include <string>

#include "ai/msal/msal_reader.h"
#include "ai/rules/script_events.h"
#include "core/mission_timers.h"
#include "ai/envelopes/envelope_fixture.h"

class ScriptMission : public EnvelopeMission {
protected:
    void SetUp() override
    {
        EnvelopeMission::SetUp();
        ScriptCreateEventList();
    }
    void TearDown() override
    {
        MSALUnloadMission();
        ClearTimers();
        ScriptDestroyEventList();
        EnvelopeMission::TearDown();
    }
    // Writes "mission.msal" and reads it, as the mission start does.
    void LoadScript(const std::string& text)
    {
        WriteMissionFile("mission.msal", text);
        MSALLoadMission(kFolder);
    }
};
