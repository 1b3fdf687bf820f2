#include "game/mission_objects/camera_pose_settings.h"

#include <cstdlib>

#include "core/strings/finite_number.h"
#include "core/log.h"
#include "core/files/script_file.h"
#include "core/strings/text_case.h"

CameraPoseSettings g_cameraPoseSettings[CAMERA_POSE_MODE_COUNT];

namespace {

const char* const kModeNames[CAMERA_POSE_MODE_COUNT] = {"WALK", "CROUCH", "PRONE", "RUN"};

bool Is(const char* text, const char* word)
{
    return CompareNoCase(text, word) == 0;
}

// The record a subsection name selects; null for a name that is no movement mode. Writing such a
// subsection into some other mode's record would let a stray section change the sway of a mode it
// does not name.
CameraPoseSettings* RecordFor(const char* sectionName)
{
    for (s32_t mode = 0; mode < CAMERA_POSE_MODE_COUNT; ++mode) {
        if (Is(sectionName, kModeNames[mode]))
            return &g_cameraPoseSettings[mode];
    }
    return nullptr;
}

float* PairFor(CameraPoseSettings& record, const char* key)
{
    if (Is(key, "roll"))
        return record.roll;
    if (Is(key, "float"))
        return record.floatSway;
    if (Is(key, "strafe"))
        return record.strafe;
    return nullptr;
}

}  // namespace

void CameraPoseSettingsLoad()
{
    ScriptFile* script = GetScriptFile("camera", false);
    if (!script)
        return;
    for (const ScriptSection* section : script->Root()->children) {
        CameraPoseSettings* record = RecordFor(section->Name());
        if (!record)
            continue;
        for (const ScriptCommand& command : section->commands) {
            if (!Is(command.Keyword(), "property") || command.WordCount() < 2)
                continue;
            float* pair = PairFor(*record, command.Word(1));
            if (!pair)
                continue;
            // A number that is not finite would hold the view's height or sway for the whole
            // mission: the line is refused and the pair keeps what it had.
            if (IsNonFiniteNumber(command.Word(2)) || IsNonFiniteNumber(command.Word(3))) {
                Log("WARNING: camera property '%s %s %s' refused\n", command.Word(1), command.Word(2), command.Word(3));
                continue;
            }
            // Word() gives "" beyond the line's words, which reads as 0.
            pair[0] = FiniteFloatOrZero(command.Word(2));
            pair[1] = FiniteFloatOrZero(command.Word(3));
        }
    }
}
