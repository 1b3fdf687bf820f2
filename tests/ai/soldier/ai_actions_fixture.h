// Soldier action tests: sample soldiers (the program's own "soldier.def") on flat land with the AI
// started, the test clock and a fixed seed; boxes of the map can stand in the way.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_runtime.h"
#include "ai/soldier/ai_state.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "platform/test_clock.h"
#include "support/land_octree.h"
#include "tests/actors/vehicles/vehicle_test_support.h"
#include "support/subtitle_layer.h"

// A box of the map, from its low corner to its high one.
struct MapBox {
    float low[3];
    float high[3];
};

class AIActions : public vehicle_test::VehicleFixture {
protected:
    // Radio subtitles show only with their layer loaded.
    const SubtitleLayerScope m_subtitleLayer;

    void SetUp() override
    {
        VehicleFixture::SetUp();
        m_seed = EngineRandState();
        EngineSRand(53);
        PlatformTestClockStart(500000);
        AIStartup();
        g_frameView.aiTime = 100000;
    }
    void TearDown() override
    {
        VehicleFixture::TearDown();
        AIShutdown();
        if (m_landLoaded)
            land_test::UnloadLand();
        g_frameView.aiTime = 0;
        g_scriptResult = {};
        PlatformTestClockStop();
        EngineSRand(m_seed);
    }
    // Flat land at height 0 with the boxes; once per test.
    void LoadLand(const std::vector<MapBox>& boxes = {})
    {
        MapAuthorPlan plan = land_test::FlatPlan();
        for (size_t i = 0; i < boxes.size(); ++i)
            plan.meshes.push_back(
                MapAuthorBox(("col_box" + std::to_string(i)).c_str(), "", boxes[i].low, boxes[i].high));
        std::string error;
        ASSERT_TRUE(land_test::LoadLand(plan, "land.lff", error)) << error;
        m_landLoaded = true;
    }
    // A sample soldier's AI, its body in the world at the point.
    AIInterface* SampleSoldier(const Vector3& at, const char* objectName = "soldier")
    {
        return Soldier(at, objectName)->ai;
    }

private:
    u32_t m_seed = 1;
    bool m_landLoaded = false;
};
