// Soldier AI tests: a mission's AI started in a fresh working folder, with the test clock, a fixed
// seed and the viewer at the origin; soldiers are enemies placed on the x axis, and their bodies are
// deleted after the AI's shutdown, as the world would.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_events.h"
#include "core/frame_view.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_runtime.h"
#include "ai/soldier/ai_state.h"
#include "core/random.h"
#include "core/files/vfs.h"
#include "game/game_state.h"
#include "game/view/player_view.h"
#include "map/map_cvars.h"
#include "platform/test_clock.h"
#include "support/files.h"
#include "support/temp_dir.h"

class AIMission : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_seed = EngineRandState();
        EngineSRand(52);
        PlatformTestClockStart(100000);
        float* view = GameGetViewPos();
        for (int i = 0; i < 3; ++i) {
            m_view[i] = view[i];
            view[i] = 0.0f;
        }
        mfrange.SetFloat(1500.0f);
        AIStartup();
    }
    void TearDown() override
    {
        AIShutdown();
        for (Actor* body : m_bodies)
            delete body;
        g_frameView.player = nullptr;
        g_frameView.currentGameMod = nullptr;
        g_frameView.aiTime = 0;
        AIEventsClear();
        g_scriptResult = {};
        mfrange.SetFloat(1500.0f);
        float* view = GameGetViewPos();
        for (int i = 0; i < 3; ++i)
            view[i] = m_view[i];
        PlatformTestClockStop();
        EngineSRand(m_seed);
        VFSShutdown();
        TempDirTest::TearDown();
    }
    // An enemy soldier at (x, 0, 0) with a named body; the test deletes the body after the shutdown.
    AIInterface* Soldier(const char* name, float x, s32_t team = 2)
    {
        auto* soldier = new AIInterface();
        soldier->entity->team = team;
        soldier->body->name.Assign(name);
        soldier->body->SetPosition({x, 0.0f, 0.0f});
        m_bodies.push_back(soldier->body);
        return soldier;
    }
    std::string LogText() const { return ReadFileBytes(TempPath() + "/log.txt"); }

    std::vector<Actor*> m_bodies;
    u32_t m_seed = 1;
    float m_view[3] = {};
};
