// The named AI groups of a mission ("mission.aig"): soldiers gathered under one commander, with an
// optional radio flag that announces their deaths. The HUD's navigation readouts read the groups
// "alpha", "sigma" and "zenith".
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

class AIInterface;
struct AICommander;

constexpr u32_t AI_GROUP_MEMBER_CAPACITY = 16;

struct AIGroup {
    // Appends the soldier while fewer than 16 are held and hands its command stack (made when it has
    // none) to the group's commander; false for a 17th (ignored) or null.
    bool AddMember(AIInterface* member);
    // The member's place in the group; -1 when it is none of them.
    s32_t IndexOf(const AIInterface* member) const;
    // The members whose body is there and not dead.
    s32_t CountAlive() const;
    // The commander learns its group, so that it can leave it when it is dissolved.
    void SetCommander(AICommander* groupCommander);
    // Takes a soldier that is being deleted out of the group, the later members moving up, so that
    // no reader meets a deleted soldier.
    void ForgetMember(const AIInterface* member);

    EngineString name;
    AIInterface* members[AI_GROUP_MEMBER_CAPACITY] = {};  // not owned
    u32_t memberCount = 0;
    u8_t radioReports = 0;             // 1: a member's death is announced over the radio
    AICommander* commander = nullptr;  // not owned; none once its last soldier left
};

// Reads "<folder>\mission.aig" into the group table: "group <name> <flag>" starts a group, "add
// player" and "add <actor name>" put soldiers in it. An "add" before any group, and a group beyond
// the table's 64, are refused with a warning. A missing file leaves no groups.
void AILoadGroups(const char* missionFolder);
// Deletes every group; the table is then empty.
void AIClearGroups();
// The first group whose name equals the text without regard to case; null when none (or for null).
AIGroup* AIFindGroup(const char* name);
