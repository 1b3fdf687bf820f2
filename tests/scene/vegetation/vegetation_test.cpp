// The vegetation set-up chooses its top layer from the map's layer grids.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/strings/engine_string.h"
#include "map/terrain/map_caches.h"
#include "scene/scene_state.h"
#include "scene/vegetation/vegetation.h"
#include "support/files.h"
#include "support/vfs_fixture.h"

namespace {

// A 1 x 1 32-bit TGA.
std::string OnePixelTga()
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = bytes[14] = 1;
    bytes[16] = 32;
    return bytes + std::string("\x10\x20\x30\x40", 4);
}

class VegetationTopLayer : public VfsTest {
protected:
    void TearDown() override
    {
        VegetationShutdown();
        MapFreeGrids();
        VfsTest::TearDown();
    }
};

TEST_F(VegetationTopLayer, IsTheHighestLayerWithAGridAndNeverLayerZero)
{
    ASSERT_TRUE(WriteFileBytes("land/grid.tga", OnePixelTga()));
    struct Case {
        const char* what;
        std::vector<int> layers;
        int top;
    };
    const Case cases[] = {
        {"layers 3 and 7", {3, 7}, 7},
        {"layer 31", {1, 31}, 31},
        {"only layer 0's name", {0}, 0},
        {"none", {}, 0},
    };
    for (const Case& c : cases) {
        EngineString names[MAP_LAYER_GRID_COUNT];
        for (int layer : c.layers)
            names[layer].Assign("grid");
        MapLoadVegetationLayers("land\\", names);
        VegetationInit();
        EXPECT_EQ(g_scene.vegetationTopLayer, c.top) << c.what;
        VegetationShutdown();
    }
}

}  // namespace
