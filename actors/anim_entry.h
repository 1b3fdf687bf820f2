// Animation entries: one playable animation of an actor class or a weapon's first-person view (up to
// four interchangeable animation files with a speed and a reverse flag, and five trigger slots, each
// with a trigger frame, a body-channel modification and lists of head and torso adjustments), and
// the death and drive records of an actor class.
#pragma once
#include <vector>

#include "core/strings/engine_string.h"
#include "core/types.h"

class AnimMesh;
class SoundInstance;

constexpr int MAX_ANIM_ALIASES = 4;
constexpr int ANIM_TRIGGER_SLOTS = 5;
// An adjustment list has room for 32 entries and holds at most 31.
constexpr int ANIM_ADJUST_SLOTS = 32;
constexpr int ANIM_ADJUST_MAX = ANIM_ADJUST_SLOTS - 1;
constexpr int ANIM_ADJUST_NAME_SIZE = 64;
constexpr u8_t ANIM_ADJUST_NO_KEY = 255;

// Body channels of modifications and of death and drive animations.
enum AnimChannel : s32_t {
    ANIM_CHANNEL_LEGS = 0,
    ANIM_CHANNEL_TORSO = 1,
    ANIM_CHANNEL_HEAD = 2,
};

struct AnimModify {
    s32_t channel;
    u8_t flag;
    float a, b, c;
    u32_t word;
};

// The head and torso adjustments of one trigger slot: entry k of a channel is (offset k, name k,
// code k); names hold at most 63 characters.
struct AnimAdjustBlock {
    Vector3 headOffsets[ANIM_ADJUST_SLOTS];
    Vector3 torsoOffsets[ANIM_ADJUST_SLOTS];
    char torsoNames[ANIM_ADJUST_SLOTS][ANIM_ADJUST_NAME_SIZE];
    char headNames[ANIM_ADJUST_SLOTS][ANIM_ADJUST_NAME_SIZE];
    u8_t torsoCodes[ANIM_ADJUST_SLOTS];
    u8_t headCodes[ANIM_ADJUST_SLOTS];
    u16_t torsoCount;
    u16_t headCount;
};

// Both lists empty: 32 zero offsets, empty names and key bytes of 255.
void AnimAdjustBlockInit(AnimAdjustBlock* block);
// Channel legs, every value 0.
void AnimModifyInit(AnimModify* modify);

struct AnimEntry {
    // Empty slots, count 0, not reversed, speed 0, trigger frames 0, fresh modifications and blocks.
    AnimEntry();

    AnimMesh* animations[MAX_ANIM_ALIASES];  // the cache's meshes, referenced
    u16_t triggerFrames[ANIM_TRIGGER_SLOTS];
    u8_t reverse;
    float speed;  // frames per second; 0 keeps the animation's own rate
    // Per-slot speeds of first-person weapon animations (the weapon reader fills them).
    float slotSpeed[MAX_ANIM_ALIASES];
    AnimModify modifications[ANIM_TRIGGER_SLOTS];
    AnimAdjustBlock adjustments[ANIM_TRIGGER_SLOTS];
    u16_t animationCount;  // the slots 0 .. count - 1 hold animations
};

// One death definition of a death set.
struct DeathAnim {
    DeathAnim();

    u8_t pose;                               // 0 "Stay", 1 "Crouch", 2 "Prone"
    std::vector<EngineString> excludeNames;  // weapons for which it is not used
    u32_t excludeCount;
    AnimMesh* legs;
    AnimMesh* torso;
    AnimMesh* head;
    AnimModify modify;
    float legsSpeed, torsoSpeed, headSpeed;
    float minAngle, maxAngle;  // degrees, both ends included
    SoundInstance* sound;      // the sound system's; referenced
};

// One seated animation, named after its section.
struct DriveAnim {
    DriveAnim();

    EngineString name;
    AnimMesh* legs;
    AnimMesh* torso;
    AnimModify modify;
    float legsSpeed, torsoSpeed;
};

// "legs", "torso" or "head" (without regard to case) takes the animation and the speed; any other
// channel name takes nothing.
void DeathAnimSetChannel(DeathAnim* record, const char* channel, AnimMesh* animation, float speed);
// The same for "legs" and "torso".
void DriveAnimSetChannel(DriveAnim* record, const char* channel, AnimMesh* animation, float speed);
