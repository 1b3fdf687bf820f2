#include "actors/anim_name_tables.h"

#include "core/strings/text_case.h"

namespace {

struct NameId {
    const char* name;
    s32_t id;
};

constexpr NameId kLegsNames[] = {
    {"idle", LEGS_IDLE},
    {"moveforward", LEGS_MOVE_FORWARD},
    {"movebackward", LEGS_MOVE_BACKWARD},
    {"fastforward", LEGS_FAST_FORWARD},
    {"fastbackward", LEGS_FAST_BACKWARD},
    {"moveleft", LEGS_MOVE_LEFT},
    {"moveright", LEGS_MOVE_RIGHT},
    {"jump", LEGS_JUMP},
    {"turn", LEGS_TURN},
    {"fall", LEGS_FALL},
    {"stay2crouch", LEGS_STAY_TO_CROUCH},
    {"crouch2stay", LEGS_CROUCH_TO_STAY},
    {"crouch2prone", LEGS_CROUCH_TO_PRONE},
    {"prone2crouch", LEGS_PRONE_TO_CROUCH},
    {"patrolforward", LEGS_PATROL_FORWARD},
};

constexpr NameId kTorsoNames[] = {
    {"aim", TORSO_AIM},
    {"shot", TORSO_SHOT},
    {"reload", TORSO_RELOAD},
    {"pose", TORSO_POSE},
};

constexpr NameId kTransitionNames[] = {
    {"stay2crouch", TRANSITION_STAY_TO_CROUCH},
    {"crouch2stay", TRANSITION_CROUCH_TO_STAY},
    {"crouch2prone", TRANSITION_CROUCH_TO_PRONE},
    {"prone2crouch", TRANSITION_PRONE_TO_CROUCH},
};

constexpr NameId kMovePhaseNames[] = {
    {"t_m2_moveforward", PHASE_MOVE_FORWARD},
    {"t_m2_movebackward", PHASE_MOVE_BACKWARD},
    {"t_m2_moveleft", PHASE_MOVE_LEFT},
    {"t_m2_moveright", PHASE_MOVE_RIGHT},
};

template <size_t N>
s32_t FindId(const NameId (&names)[N], const char* name)
{
    if (!name)
        return -1;
    for (const NameId& entry : names) {
        if (CompareNoCase(entry.name, name) == 0)
            return entry.id;
    }
    return -1;
}

bool ValidPose(s32_t pose)
{
    return pose >= 0 && pose < ACTOR_POSES;
}

}  // namespace

void LegsAnimMapSet(u8_t* row, s32_t pose, const char* name, u8_t entry)
{
    const s32_t id = FindId(kLegsNames, name);
    if (id >= 0 && ValidPose(pose))
        row[id * ACTOR_POSES + pose] = entry;
}

void TorsoAnimMapSet(u8_t* row, s32_t pose, const char* name, u8_t entry)
{
    const s32_t id = FindId(kTorsoNames, name);
    if (id >= 0 && ValidPose(pose))
        row[id * ACTOR_POSES + pose] = entry;
}

void TorsoTransitionMapSet(u8_t* row, const char* name, u8_t entry)
{
    const s32_t id = FindId(kTransitionNames, name);
    if (id >= 0)
        row[id] = entry;
}

void TorsoMovePhaseMapSet(u8_t* row, const char* name, u8_t entry)
{
    const s32_t id = FindId(kMovePhaseNames, name);
    if (id >= 0)
        row[id] = entry;
}
