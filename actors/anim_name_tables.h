// The name tables of an actor class: each "anim" line enters the index of its entry under the id of
// its name and the pose of its section, so that the animation step finds an entry by a fixed id
// without string work. A cell holds an entry index; 255 means the class has no such animation.
#pragma once
#include "core/types.h"

constexpr u8_t ANIM_CELL_NONE = 255;
constexpr int ACTOR_POSES = 3;  // 0 "Stay", 1 "Crouch", 2 "Prone"

// Legs names: cell id x 3 + pose of a legs group's row of 51. Ids 7 and 8 have no script name.
enum LegsAnimId : s32_t {
    LEGS_IDLE = 0,
    LEGS_MOVE_FORWARD = 1,
    LEGS_MOVE_BACKWARD = 2,
    LEGS_FAST_FORWARD = 3,
    LEGS_FAST_BACKWARD = 4,
    LEGS_MOVE_LEFT = 5,
    LEGS_MOVE_RIGHT = 6,
    LEGS_JUMP = 9,
    LEGS_TURN = 10,
    LEGS_FALL = 11,
    LEGS_STAY_TO_CROUCH = 12,
    LEGS_CROUCH_TO_STAY = 13,
    LEGS_CROUCH_TO_PRONE = 14,
    LEGS_PRONE_TO_CROUCH = 15,
    LEGS_PATROL_FORWARD = 16,
    LEGS_ANIM_IDS = 17,
};

// Torso names: cell id x 3 + pose of a torso group's row of 12.
enum TorsoAnimId : s32_t {
    TORSO_AIM = 0,
    TORSO_SHOT = 1,
    TORSO_RELOAD = 2,
    TORSO_POSE = 3,
    TORSO_ANIM_IDS = 4,
};

// Pose transitions of a torso group's "Interphases": one cell per id.
enum TorsoTransitionId : s32_t {
    TRANSITION_STAY_TO_CROUCH = 0,
    TRANSITION_CROUCH_TO_STAY = 1,
    TRANSITION_CROUCH_TO_PRONE = 2,
    TRANSITION_PRONE_TO_CROUCH = 3,
    TORSO_TRANSITION_IDS = 4,
};

// Move phases of a torso group's "Phases": one cell per id.
enum TorsoMovePhaseId : s32_t {
    PHASE_MOVE_FORWARD = 0,
    PHASE_MOVE_BACKWARD = 1,
    PHASE_MOVE_LEFT = 2,
    PHASE_MOVE_RIGHT = 3,
    TORSO_MOVE_PHASE_IDS = 4,
};

constexpr int LEGS_TABLE_ROW = LEGS_ANIM_IDS * ACTOR_POSES;    // 51
constexpr int TORSO_TABLE_ROW = TORSO_ANIM_IDS * ACTOR_POSES;  // 12

// Each setter compares the name with its vocabulary without regard to case and writes the cell of
// the name that matches; a name that matches none writes nothing. A pose outside 0..2 writes nothing.
void LegsAnimMapSet(u8_t* row, s32_t pose, const char* name, u8_t entry);
void TorsoAnimMapSet(u8_t* row, s32_t pose, const char* name, u8_t entry);
void TorsoTransitionMapSet(u8_t* row, const char* name, u8_t entry);
void TorsoMovePhaseMapSet(u8_t* row, const char* name, u8_t entry);
