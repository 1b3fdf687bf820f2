// The mission environment: blend-mode names, the sky objects built from "script\env.scr" (graphic-object
// parameters and "fogcol" lines), their boxes, the sun direction, and damaged environment scripts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/files/script_file.h"
#include "map/map_cvars.h"
#include "render/land/map_render_setup.h"
#include "scene/sky/environment.h"
#include "scene/sky/sun_effect.h"
#include "support/files.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "world/nodes/graph_node.h"

namespace {

TEST(BlendModeFromName, GivesTheValueOfAnExactNameOnly)
{
    const char* const names[] = {"D3DBLEND_ZERO",           "D3DBLEND_ONE",          "D3DBLEND_SRCCOLOR",
                                 "D3DBLEND_INVSRCCOLOR",    "D3DBLEND_SRCALPHA",     "D3DBLEND_INVSRCALPHA",
                                 "D3DBLEND_DESTALPHA",      "D3DBLEND_INVDESTALPHA", "D3DBLEND_DESTCOLOR",
                                 "D3DBLEND_INVDESTCOLOR",   "D3DBLEND_SRCALPHASAT",  "D3DBLEND_BOTHSRCALPHA",
                                 "D3DBLEND_BOTHINVSRCALPHA"};
    for (u32_t i = 0; i < sizeof names / sizeof names[0]; ++i)
        EXPECT_EQ(BlendModeFromName(names[i]), i + 1) << names[i];
    const char* const others[] = {
        "d3dblend_one", "D3DBLEND_One", "D3DBLEND_ONE ", " D3DBLEND_ONE", "D3DBLEND_", "D3DBLEND_ONES", "", "ONE"};
    for (const char* other : others)
        EXPECT_EQ(BlendModeFromName(other), 0u) << '"' << other << '"';
    EXPECT_EQ(BlendModeFromName(nullptr), 0u);
}

TEST(SunDirection, IsKeptNormalisedWithTheEffectValue)
{
    RenderSetSunDirection({0.0f, 2.0f, 0.0f}, 3);
    const Vector3 stored = RenderGetSunDirection();
    EXPECT_EQ(stored.x, 0.0f);
    EXPECT_EQ(stored.y, 1.0f);
    EXPECT_EQ(stored.z, 0.0f);
    EXPECT_EQ(RenderGetSunEffectValue(), 3u);
    RenderSetSunDirection({3.0f, 0.0f, -4.0f});
    EXPECT_NEAR(RenderGetSunDirection().x, 0.6f, 1e-6f);
    EXPECT_NEAR(RenderGetSunDirection().z, -0.8f, 1e-6f);
    EXPECT_EQ(RenderGetSunEffectValue(), 0u);
    RenderSetSunDirection({0.0f, 1.0f, 0.0f});
}

// Sky objects from an "env" script in a fresh folder, with a mesh "dome" of the two quads "sky"
// and "ground".
class EnvironmentLoadTest : public graph_test::GraphObjTest {
protected:
    void SetUp() override
    {
        GraphObjTest::SetUp();
        WriteMesh("dome", graph_test::QuadsAff({"sky", "ground"}));
        for (float& value : g_mapRender.skyBox)
            value = 99.0f;
    }
    void TearDown() override
    {
        EnvironmentRelease();
        for (float& value : g_mapRender.skyBox)
            value = 0.0f;
        for (float& value : g_mapRender.skyAfterBox)
            value = 0.0f;
        DestroyScriptCache();
        GraphObjTest::TearDown();
    }
    static void WriteEnv(const std::string& text) { ASSERT_TRUE(WriteFileBytes("script/env.scr", text)); }
    static GraphNode* Dome(GraphObj* sky) { return sky ? sky->FindChild("dome") : nullptr; }
    static u32_t MeshColour(GraphObj* sky, u32_t mesh)
    {
        GraphNode* dome = Dome(sky);
        return dome && dome->GetMeshColors() ? dome->GetMeshColors()[mesh] : 0;
    }
};

constexpr const char* kEnv =
    "<before>\n"
    "  <dusk>\n"
    "    anim dome root dome;\n"
    "    FOGCOL dome ground;\n"
    "    fogcol dome nothing;\n"
    "    fogcol nonode sky;\n"
    "    fogcol dome;\n"
    "  </dusk>\n"
    "  <noon>\n"
    "    anim dome root dome;\n"
    "  </noon>\n"
    "</before>\n"
    "<after>\n"
    "  <noon>\n"
    "    anim dome root dome;\n"
    "    fogcol dome sky;\n"
    "  </noon>\n"
    "</after>\n";

TEST_F(EnvironmentLoadTest, FogLinesPaintNamedMeshesByTheTruncatingRule)
{
    graph_test::SavedVar fog(mcfogcolor);
    const float colour[4] = {0.5f, 0.25f, 1.0f, 1.0f};  // rounding would give 0x80 and 0x40
    for (int i = 0; i < 4; ++i)
        mcfogcolor.value.asColour[i] = colour[i];
    WriteEnv(kEnv);
    EnvironmentLoad("noon");
    ASSERT_NE(Dome(g_mapRender.skyAfter), nullptr);
    EXPECT_EQ(MeshColour(g_mapRender.skyAfter, 0), 0xFF7F3FFFu);
    EXPECT_EQ(MeshColour(g_mapRender.skyAfter, 1), GRAPH_NODE_NO_COLOR);
    EXPECT_EQ(MeshColour(g_mapRender.skyBefore, 0), GRAPH_NODE_NO_COLOR);
    EnvironmentRelease();

    // Absent meshes and nodes, and a line without its mesh name, change nothing.
    EnvironmentLoad("dusk");
    EXPECT_EQ(MeshColour(g_mapRender.skyBefore, 0), GRAPH_NODE_NO_COLOR);
    EXPECT_EQ(MeshColour(g_mapRender.skyBefore, 1), 0xFF7F3FFFu);
    // A later change of the fog colour does not repaint.
    mcfogcolor.value.asColour[0] = 0.0f;
    EXPECT_EQ(MeshColour(g_mapRender.skyBefore, 1), 0xFF7F3FFFu);
}

TEST_F(EnvironmentLoadTest, BuildsBothSkyObjectsAndTheirBoxes)
{
    WriteEnv(kEnv);
    struct Case {
        const char* name;
        bool beforeDome, afterDome;
        float beforeMaxX;  // the dome's quads span 0..1; an empty object's box is -10..10
    };
    const Case cases[] = {
        {"dusk", true, false, 1.0f},     // only a before section
        {"noon", true, true, 1.0f},      // both
        {"night", false, false, 10.0f},  // no section
        {"dusk.x", false, false, 10.0f},
    };
    for (const Case& c : cases) {
        EnvironmentLoad(c.name);
        ASSERT_NE(g_mapRender.skyBefore, nullptr) << c.name;
        ASSERT_NE(g_mapRender.skyAfter, nullptr) << c.name;
        EXPECT_TRUE(g_mapRender.skyBefore->IsAnimated()) << c.name;
        EXPECT_TRUE(g_mapRender.skyAfter->IsAnimated()) << c.name;
        EXPECT_EQ(Dome(g_mapRender.skyBefore) != nullptr, c.beforeDome) << c.name;
        EXPECT_EQ(Dome(g_mapRender.skyAfter) != nullptr, c.afterDome) << c.name;
        EXPECT_EQ(g_mapRender.skyBox[3], c.beforeMaxX) << c.name;
        EXPECT_EQ(g_mapRender.skyBox[0], c.beforeDome ? 0.0f : -10.0f) << c.name;
        EXPECT_EQ(g_mapRender.skyAfterBox[3], c.afterDome ? 1.0f : 10.0f) << c.name;
        // The next load replaces these objects (a leak shows in the sanitizer build).
    }
}

TEST_F(EnvironmentLoadTest, WithoutTheScriptTheObjectsStayEmptyAndTheBoxesKeepTheirValues)
{
    EnvironmentLoad("noon");
    ASSERT_NE(g_mapRender.skyBefore, nullptr);
    ASSERT_NE(g_mapRender.skyAfter, nullptr);
    EXPECT_EQ(g_mapRender.skyBefore->GetRootNode()->GetChildCount(), 0);
    EXPECT_EQ(g_mapRender.skyBox[0], 99.0f);
}

// Damaged environment scripts load without a crash.
class EnvironmentScriptRobustness : public EnvironmentLoadTest {};

TEST_F(EnvironmentScriptRobustness, ShortAndOddLinesAreSurvived)
{
    const char* const lines[] = {
        "fogcol;",
        "fogcol dome;",
        "fogcol  ;",
        "fogcol dome ground extra words here;",
        "anim;",
        "anim dome;",
        "anim dome root;",
        "anim dome root missing_mesh;",
        "anim dome nonode dome;",
        "pos;",
        "pos a b c;",
        "rot 1e39 -1e39 nan;",
        "scale 0;",
        "texture;",
        "color dome;",
        ";",
        ";;;",
        "unknownkey 1 2 3;",
        "lod -1 -1 -1;",
        "weapon;",
    };
    for (const char* line : lines) {
        WriteEnv(std::string("<before><x>anim dome root dome;") + line + "</x></before><after><x>" + line +
                 "</x></after>");
        DestroyScriptCache();
        EnvironmentLoad("x");
        EXPECT_NE(g_mapRender.skyBefore, nullptr) << line;
        EnvironmentRelease();
    }
}

TEST_F(EnvironmentScriptRobustness, MutatedScriptsLoadWithoutACrash)
{
    const std::string original = kEnv;
    u32_t seed = 0x5EED;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 150; ++round) {
        std::string text = original;
        const int changes = 1 + static_cast<int>(next() % 8);
        for (int c = 0; c < changes; ++c) {
            const std::size_t at = next() % text.size();
            switch (next() % 3) {
                case 0:
                    text[at] = static_cast<char>(next() & 0xFF);
                    break;
                case 1:
                    text.erase(at, 1 + next() % 6);
                    break;
                default:
                    text.insert(at, 1, "<>;. \n/"[next() % 7]);
                    break;
            }
            if (text.empty())
                text = ";";
        }
        if (round % 10 == 0)
            text.resize(next() % text.size());
        WriteEnv(text);
        DestroyScriptCache();
        EnvironmentLoad(round % 2 ? "noon" : "dusk");
        ASSERT_NE(g_mapRender.skyBefore, nullptr);
        EnvironmentRelease();
    }
}

}  // namespace
