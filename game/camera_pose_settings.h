// The player camera's sway per movement mode, as the script "camera" sets it at every mission load.
#pragma once
#include "core/types.h"

enum CameraPoseMode : s32_t {
    CAMERA_POSE_WALK = 0,
    CAMERA_POSE_CROUCH = 1,
    CAMERA_POSE_PRONE = 2,
    CAMERA_POSE_RUN = 3,
    CAMERA_POSE_MODES = 4,
};

struct CameraPoseSettings {
    float roll[2] = {};
    float sway[2] = {};  // the "float" key
    float strafe[2] = {};
};

extern CameraPoseSettings g_cameraPoses[CAMERA_POSE_MODES];

// Reads the subsections "WALK", "CROUCH", "PRONE" and "RUN" of the root of the script "camera": each
// "property roll|float|strafe a b" line sets the two values of that key (0 for a value that is
// missing or does not parse). A subsection with another name is ignored; keys it does not name keep
// their values. Nothing changes without the script.
void CameraPoseSettingsLoad();
