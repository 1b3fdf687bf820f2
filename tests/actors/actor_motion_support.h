// Helpers of the actor motion tests: an actor with its body, torso and head nodes, and a guard that
// fixes the frame time, the tick and the random seed for one test and restores them (and the shown
// oxygen) afterwards.
#pragma once
#include <gtest/gtest.h>

#include "actors/actor.h"
#include "actors/actor_cvars.h"
#include "actors/actor_motion.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "game/game_state.h"
#include "platform/test_clock.h"
#include "world/nodes/graph_node.h"

namespace motion_test {

// Root -> body -> torso -> head, as every actor's tree is laid out.
inline void AddBodyNodes(Actor* actor)
{
    GraphNode* parent = actor->GetRootNode();
    for (const char* name : {"body", "torso", "head"}) {
        GraphNode* node = new GraphNode(name);
        parent->AddChild(node);
        node->SetParent(parent);
        parent = node;
    }
}

class MotionGuard {
public:
    MotionGuard(float frameTime, DWORD tick, u32_t seed)
        : m_frameTime(g_frameView.frameTime),
          m_seed(EngineRandState()),
          m_player(g_frameView.player),
          m_oxygenShown(mi_oxygen.value)
    {
        g_frameView.frameTime = frameTime;
        PlatformTestClockStart(tick);
        EngineSRand(seed);
    }
    ~MotionGuard()
    {
        g_frameView.frameTime = m_frameTime;
        g_frameView.player = m_player;
        mi_oxygen.value = m_oxygenShown;
        PlatformTestClockStop();
        EngineSRand(m_seed);
    }

private:
    float m_frameTime;
    u32_t m_seed;
    DynamicObject* m_player;
    ConsoleVar::Value m_oxygenShown;  // the frames under test write mi_oxygen
};

}  // namespace motion_test
