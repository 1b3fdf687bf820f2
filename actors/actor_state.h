// The actors' state record: the table of actor classes of the running mission.
#pragma once
#include "core/types.h"

struct ActorClassInfo;

constexpr u32_t ACTOR_CLASS_SLOTS = 16;

struct ActorState {
    // The registered classes, filled from slot 0 upward; the table owns them.
    ActorClassInfo* classInfos[ACTOR_CLASS_SLOTS] = {};
    u32_t classCount = 0;
};

extern ActorState g_actors;
