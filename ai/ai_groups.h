// The named AI groups of a mission ("alpha", "sigma", "zenith", ...) as the HUD's readouts see them:
// a group's members in order, whether each lives, its body position and how well it sees a point.
// The squads register their groups here; without them no group exists.
#pragma once
#include <vector>

#include "core/engine_string.h"
#include "core/types.h"

class AIGroupMember {
public:
    virtual ~AIGroupMember() = default;
    virtual bool IsAlive() const = 0;
    virtual Vector3 BodyPosition() const = 0;
    // How well the member sees the point, in percent.
    virtual float SightPercent(const Vector3& point) const = 0;
};

struct AIGroup {
    EngineString name;
    std::vector<AIGroupMember*> members;  // not owned
};

// Groups are found by name without regard to case; a registered group must outlive its registration.
void AIGroupRegister(AIGroup* group);
void AIGroupUnregister(AIGroup* group);
AIGroup* AIGroupFind(const char* name);
// The members that are alive.
s32_t AIGroupLivingCount(const AIGroup* group);
