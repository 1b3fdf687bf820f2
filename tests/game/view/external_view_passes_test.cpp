// Which view runs the external pass list: the satellite view over the flat land draws its objects
// through it (the list's own order, up to its external HUD layers and the statistics), while the
// external camera's frame draws the landscape and the visible objects from its fixed place and runs
// none of that list. The pass hooks are emptied so that only the order is seen.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/view/external_camera.h"
#include "game/mission/game_frame.h"
#include "scene/passes/scene_passes.h"
#include "scene/scene_state.h"
#include "tests/game/map_camera_fixture.h"

namespace {

using Names = std::vector<std::string>;
Names g_trace;

void Trace(ScenePass pass)
{
    std::string name = ScenePassName(pass);
    if (pass == SCENE_PASS_OBJECTS)
        name += " " + std::to_string(RenderMeshPassIndex);
    g_trace.push_back(name);
}

// The external list from its first object pass to its end.
const Names kExternalList = {"objects 0",     "volumes z-fail",      "shader set 2",   "objects 1",
                             "records sort",  "darkening",           "wires",          "particles",
                             "record replay", "records clear",       "sprite batches", "water reflection",
                             "water",         "hud layers external", "stats overlay"};

class ExternalViewPasses : public map_camera::MapCamera {
protected:
    void SetUp() override
    {
        MapCamera::SetUp();
        for (ScenePassHook& hook : g_scenePassHooks)
            hook = nullptr;
        ScenePassSetTracer(Trace);
        g_trace.clear();
    }
    void TearDown() override
    {
        ScenePassSetTracer(nullptr);
        ScenePassHooksReset();
        SwitchFromExternalCamera();
        g_trace.clear();
        MapCamera::TearDown();
    }
};

TEST_F(ExternalViewPasses, TheSatelliteViewRunsTheExternalListAndTheExternalCameraNone)
{
    GameDrawSatelliteView();
    ASSERT_GE(g_trace.size(), kExternalList.size());
    const Names tail(g_trace.end() - static_cast<std::ptrdiff_t>(kExternalList.size()), g_trace.end());
    EXPECT_EQ(tail, kExternalList);

    g_trace.clear();
    SwitchToExternalCamera();
    ExternalCameraFrame();
    for (const std::string& name : g_trace)
        EXPECT_EQ(std::count(kExternalList.begin(), kExternalList.end(), name), 0) << name;
}

}  // namespace
