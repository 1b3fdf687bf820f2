// The player's camera sway for each movement mode, as the script "camera" describes it; read at
// every mission load and applied by the player control.
#pragma once
#include "core/types.h"

// The movement modes in the order of their records.
enum CameraPoseMode : s32_t {
    CAMERA_POSE_WALK = 0,
    CAMERA_POSE_CROUCH = 1,
    CAMERA_POSE_PRONE = 2,
    CAMERA_POSE_RUN = 3,
    CAMERA_POSE_MODE_COUNT = 4,
};

// One mode's sway: each pair as the script's "property <key> <a> <b>" line gives it.
struct CameraPoseSettings {
    float roll[2] = {};
    float floatSway[2] = {};  // the key "float"
    float strafe[2] = {};
};

extern CameraPoseSettings g_cameraPoseSettings[CAMERA_POSE_MODE_COUNT];

// Reads the subsections of the root section of the script "camera": a subsection named "WALK",
// "CROUCH", "PRONE" or "RUN" (without regard to case) fills that mode's record, where each
// "property roll|float|strafe <a> <b>" line sets both values of its pair (0 for a value that is
// missing or no number). A subsection with another name is ignored. Records no line names keep
// their values; without the script nothing changes.
void CameraPoseSettingsLoad();
