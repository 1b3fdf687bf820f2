// Actor classes: the named set of animations a kind of soldier plays, read once from its class script
// and then shared, read-only, by every actor of the class. The classes of a mission live in one
// table of 16 that owns them; the animations belong to the animation cache.
//
// A class script holds the sections "LEGS" (one child per legs group, each with the pose sections
// "Stay", "Crouch" and "Prone" of "anim" and "adjust" lines), "TORSO" (one child per torso group,
// each with pose sections of one section per torso animation, and the sections "Interphases" and
// "Phases"), "DEATHS" (death groups of pose sections of death definitions) and "DRIVE" (seated
// animations). Animation files are read from "component\model\<class>\<file>.aff".
#pragma once
#include <vector>

#include "actors/anim_entry.h"
#include "core/strings/engine_string.h"
#include "core/types.h"

class Actor;
class ScriptFile;
struct ScriptSection;

constexpr u32_t ACTOR_MAX_CLASSES = 16;
// Group counts and the entries a name-table cell can address stop at 255 (cell value 255 = none).
constexpr u32_t ACTOR_CLASS_MAX_GROUPS = 255;
constexpr u32_t ACTOR_CLASS_MAX_ENTRIES = 255;

// The entries of one group. The count is the number of "anim" lines of a legs group and 1 for the
// H_M0 group; torso, interphase and phase groups keep 0: their entries are reached through the
// name tables only.
struct AnimGroup {
    std::vector<AnimEntry> entries;
    u16_t entryCount = 0;
};

struct DeathGroup {
    std::vector<DeathAnim> anims;
    u8_t count = 0;
};

struct DriveGroup {
    std::vector<DriveAnim> anims;
    u8_t count = 0;
};

struct ActorClassInfo {
    EngineString name;
    std::vector<u8_t> legsNames;    // LEGS_TABLE_ROW cells per legs group
    std::vector<u8_t> torsoNames;   // TORSO_TABLE_ROW cells per torso group
    std::vector<u8_t> transitions;  // TORSO_TRANSITION_IDS cells per torso group
    std::vector<u8_t> phases;       // TORSO_MOVE_PHASE_IDS cells per torso group
    std::vector<AnimGroup> legsGroups;
    std::vector<AnimGroup> torsoGroups;
    AnimGroup headGroup;                      // the one entry of the file "H_M0"
    std::vector<AnimGroup> interphaseGroups;  // one per torso group
    std::vector<AnimGroup> phaseGroups;       // one per torso group
    std::vector<DeathGroup> deathGroups;
    std::vector<DriveGroup> driveGroups;
    std::vector<EngineString> legsGroupNames;
    std::vector<EngineString> torsoGroupNames;
    u16_t legsGroupCount = 0;
    u16_t torsoGroupCount = 0;  // also the count of interphase and phase groups
    u8_t deathGroupCount = 0;
    u8_t driveGroupCount = 0;
};

// The class of that name, loaded on first request. A class other than "default" starts as a copy of
// "default" (when it is registered) overlaid with its own script; a missing script leaves the copy.
// None when the table is full or a full load finds no script. The first load of a name wins: the
// script name of a later request is not compared.
ActorClassInfo* ActorClassLoad(Actor* actor, const char* scriptName, const EngineString& className);
// The first registered class whose name equals the text (same length, without regard to case).
ActorClassInfo* ActorClassFind(const char* name);
// Lays the class's own "LEGS", "TORSO" and "DEATHS" over a copy of "default": groups and entries by
// position, the death groups rebuilt. Nothing for a null script.
void ActorClassParseAnimations(ScriptFile* script, Actor* actor, const EngineString& className, ActorClassInfo* info);
// Forgets every class without freeing anything (mission start; editor record slot 52).
void ActorClassInfosReset();
// Frees every registered class (leaving a mission, after the animation cache is emptied).
void ActorClassInfosFree();
// Makes target an independent deep copy of source.
void ActorClassInfoCopy(const ActorClassInfo* source, ActorClassInfo* target);
// The registered classes, slot by slot.
u32_t ActorClassCount();
ActorClassInfo* ActorClassAt(u32_t slot);
