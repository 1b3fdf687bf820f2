#include "actors/anim_entry.h"

#include "core/strings/text_case.h"

#include <cstring>

void AnimAdjustBlockInit(AnimAdjustBlock* block)
{
    for (int k = 0; k < ANIM_ADJUST_SLOTS; ++k) {
        block->headOffsets[k] = {};
        block->torsoOffsets[k] = {};
    }
    std::memset(block->torsoNames, 0, sizeof block->torsoNames);
    std::memset(block->headNames, 0, sizeof block->headNames);
    std::memset(block->torsoCodes, ANIM_ADJUST_NO_KEY, sizeof block->torsoCodes);
    std::memset(block->headCodes, ANIM_ADJUST_NO_KEY, sizeof block->headCodes);
    block->torsoCount = 0;
    block->headCount = 0;
}

void AnimModifyInit(AnimModify* modify)
{
    modify->channel = ANIM_CHANNEL_LEGS;
    modify->flag = 0;
    modify->a = modify->b = modify->c = 0.0f;
    modify->word = 0;
}

AnimEntry::AnimEntry() : animations{}, triggerFrames{}, reverse(0), speed(0.0f), slotSpeed{}, animationCount(0)
{
    for (int slot = 0; slot < ANIM_TRIGGER_SLOTS; ++slot) {
        AnimModifyInit(&modifications[slot]);
        AnimAdjustBlockInit(&adjustments[slot]);
    }
}

DeathAnim::DeathAnim()
    : pose(0),
      excludeCount(0),
      legs(nullptr),
      torso(nullptr),
      head(nullptr),
      legsSpeed(0.0f),
      torsoSpeed(0.0f),
      headSpeed(0.0f),
      minAngle(0.0f),
      maxAngle(0.0f),
      sound(nullptr)
{
    AnimModifyInit(&modify);
}

DriveAnim::DriveAnim() : legs(nullptr), torso(nullptr), legsSpeed(0.0f), torsoSpeed(0.0f)
{
    AnimModifyInit(&modify);
}

void DeathAnimSetChannel(DeathAnim* record, const char* channel, AnimMesh* animation, float speed)
{
    if (CompareNoCase(channel, "legs") == 0) {
        record->legs = animation;
        record->legsSpeed = speed;
    } else if (CompareNoCase(channel, "torso") == 0) {
        record->torso = animation;
        record->torsoSpeed = speed;
    } else if (CompareNoCase(channel, "head") == 0) {
        record->head = animation;
        record->headSpeed = speed;
    }
}

void DriveAnimSetChannel(DriveAnim* record, const char* channel, AnimMesh* animation, float speed)
{
    if (CompareNoCase(channel, "legs") == 0) {
        record->legs = animation;
        record->legsSpeed = speed;
    } else if (CompareNoCase(channel, "torso") == 0) {
        record->torso = animation;
        record->torsoSpeed = speed;
    }
}
