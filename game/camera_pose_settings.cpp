#include "game/camera_pose_settings.h"

#include <cstdlib>

#include "core/script_file.h"
#include "core/text_case.h"

CameraPoseSettings g_cameraPoses[CAMERA_POSE_MODES];

namespace {

const char* const kModeNames[CAMERA_POSE_MODES] = {"WALK", "CROUCH", "PRONE", "RUN"};

float Number(const char* text)
{
    return std::strtof(text, nullptr);
}

CameraPoseSettings* RecordNamed(const char* name)
{
    for (s32_t mode = 0; mode < CAMERA_POSE_MODES; ++mode) {
        if (CompareNoCase(name, kModeNames[mode]) == 0)
            return &g_cameraPoses[mode];
    }
    return nullptr;
}

void SetPair(float* pair, const ScriptCommand& command)
{
    pair[0] = Number(command.Word(2));
    pair[1] = Number(command.Word(3));
}

}  // namespace

void CameraPoseSettingsLoad()
{
    ScriptFile* script = GetScriptFile("camera", false);
    if (!script || !script->Root())
        return;
    for (const ScriptSection* section : script->Root()->children) {
        CameraPoseSettings* record = section ? RecordNamed(section->Name()) : nullptr;
        if (!record)
            continue;
        for (const ScriptCommand& command : section->commands) {
            if (CompareNoCase(command.Keyword(), "property") != 0 || command.WordCount() < 2)
                continue;
            const char* key = command.Word(1);
            if (CompareNoCase(key, "roll") == 0)
                SetPair(record->roll, command);
            else if (CompareNoCase(key, "float") == 0)
                SetPair(record->sway, command);
            else if (CompareNoCase(key, "strafe") == 0)
                SetPair(record->strafe, command);
        }
    }
}
