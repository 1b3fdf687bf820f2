// The camera linked to a named node of a world object by the console and by the script, the lines
// of each failure (with the error colour at the console, without it from the script), and the
// player's control moved into another actor by name.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "actors/actor.h"
#include "ai/script/global_functions.h"
#include "ai/script/script_functions.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "game/view/camera_link.h"
#include "game/view/player_view.h"
#include "map/registry/world_registry.h"
#include "render/camera.h"
#include "tests/world/node_tree.h"
#include "world/objects/graph_obj.h"

namespace {

class CameraLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        ConStartup();
        m_tank.SetNameText("tank");
        m_turret = AddChildNode(m_tank.GetRootNode(), "turret");
        ASSERT_TRUE(DynObjectAdd(&m_tank));
        RenderSetCameraObject(nullptr);
    }
    void TearDown() override
    {
        RenderSetCameraObject(nullptr);
        DynObjectRemove(&m_tank);
        ScriptFunctionTable::Clear();
        ConShutdown();
    }
    static std::string LastLine()
    {
        char** lines = ConLines(0);
        const char* last = lines ? lines[ConLineCapacity(0) - 1] : nullptr;
        return last ? last : "";
    }

    GraphObj m_tank;
    GraphNode* m_turret = nullptr;
};

TEST_F(CameraLink, TheCommandLinksToTheChildOrSaysWhatItCouldNotFind)
{
    struct Case {
        const char* argument;
        s32_t result;
        const char* line;  // the newest line of console 0 afterwards ("" for none)
        bool linked;
    };
    const Case cases[] = {
        {"", 0, "\x0E\x02Missing params!\n", false},
        {"nobody turret", -1, "\x0E\x02Object 'nobody' not found!\n", false},
        {"tank", -1,
         "\x0E\x02"
         "Child '' not found in object 'tank'!\n",
         false},
        {"tank hatch", -1,
         "\x0E\x02"
         "Child 'hatch' not found in object 'tank'!\n",
         false},
        {"TANK Turret third", 0, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        ConShutdown();
        ConStartup();
        RenderSetCameraObject(nullptr);
        EXPECT_EQ(GameLinkCameraCommand(c.argument), c.result);
        EXPECT_EQ(LastLine(), c.line);
        EXPECT_EQ(g_camera.cameraObject, c.linked ? m_turret : nullptr);
    }
    // No argument at all is the empty one.
    EXPECT_EQ(GameLinkCameraCommand(nullptr), 0);
    EXPECT_EQ(LastLine(), "\x0E\x02Missing params!\n");
    EXPECT_EQ(g_camera.cameraObject, m_turret);
    EXPECT_EQ(GameUnlinkCameraCommand(nullptr), 0);
    EXPECT_EQ(g_camera.cameraObject, nullptr);
}

TEST_F(CameraLink, TheScriptFunctionsPrintWithoutTheErrorColour)
{
    RegisterGlobalScriptFunctions();
    const ScriptFunctionEntry* link = ScriptFunctionTable::Find("LinkCamera");
    const ScriptFunctionEntry* unlink = ScriptFunctionTable::Find("UnlinkCamera");
    ASSERT_NE(link, nullptr);
    ASSERT_NE(unlink, nullptr);
    char nobody[] = "nobody", tank[] = "tank", turret[] = "turret", hatch[] = "hatch", third[] = "x";
    ScriptArgWord missingObject[3] = {nobody, turret, third};
    link->function(missingObject);
    EXPECT_EQ(LastLine(), "Object 'nobody' not found!\n");
    ScriptArgWord missingChild[3] = {tank, hatch, third};
    link->function(missingChild);
    EXPECT_EQ(LastLine(), "Child 'hatch' not found in object 'tank'!\n");
    EXPECT_EQ(g_camera.cameraObject, nullptr);
    ScriptArgWord good[3] = {tank, turret, third};
    link->function(good);
    EXPECT_EQ(g_camera.cameraObject, m_turret);
    unlink->function(nullptr);
    EXPECT_EQ(g_camera.cameraObject, nullptr);
}

TEST_F(CameraLink, IncarnationTakesOnlyAnObjectOfThatName)
{
    Actor player, other;
    player.SetNameText("player");
    other.SetNameText("Sergeant");
    other.SetPosition({100.0f, 20.0f, -50.0f});
    other.heading = 1.25f;
    other.pitch = -0.5f;
    ASSERT_TRUE(DynObjectAdd(&player));
    ASSERT_TRUE(DynObjectAdd(&other));
    g_frameView.player = &player;
    player.SetDrawn(false);
    GameSetYawPitch(0.0f, 0.0f);
    float* view = GameGetViewPos();
    view[0] = view[1] = view[2] = 7.0f;

    // A name no object has (an unnamed soldier is not taken for it either) changes nothing.
    Actor unnamed;
    ASSERT_TRUE(DynObjectAdd(&unnamed));
    EXPECT_EQ(GameIncarnateCommand("nobody"), 0);
    EXPECT_EQ(g_frameView.player, &player);
    EXPECT_FLOAT_EQ(GameGetViewPos()[0], 7.0f);
    EXPECT_FALSE(player.SetDrawn(false));

    EXPECT_EQ(GameIncarnateCommand("sergeant"), 0);
    EXPECT_EQ(g_frameView.player, &other);
    EXPECT_TRUE(player.SetDrawn(true)) << "the old body is shown again";
    EXPECT_FALSE(other.SetDrawn(false)) << "the new one hidden";
    EXPECT_FLOAT_EQ(GameGetViewPos()[0], 100.0f);
    EXPECT_FLOAT_EQ(GameGetViewPos()[1], 20.0f);
    EXPECT_FLOAT_EQ(GameGetViewPos()[2], -50.0f);
    EXPECT_FLOAT_EQ(GameGetYaw(), 1.25f);
    EXPECT_FLOAT_EQ(GameGetPitch(), -0.5f);

    // The view as a fresh run has it: a later mission in this process starts from it.
    GameSetYawPitch(0.0f, 0.0f);
    view[0] = view[1] = view[2] = 0.0f;
    g_frameView.player = nullptr;
    DynObjectRemove(&unnamed);
    DynObjectRemove(&other);
    DynObjectRemove(&player);
}

TEST_F(CameraLink, IncarnationRefusesAnObjectThatIsNoSoldier)
{
    Actor player;
    player.SetNameText("player");
    ASSERT_TRUE(DynObjectAdd(&player));
    g_frameView.player = &player;
    float* view = GameGetViewPos();
    view[0] = view[1] = view[2] = 7.0f;

    // The tank is a plain world object; whatever reads the player takes it for a soldier.
    EXPECT_EQ(GameIncarnateCommand("tank"), 0);
    EXPECT_EQ(LastLine(), "\x0E\x02Object 'tank' is not a soldier!\n");
    EXPECT_EQ(g_frameView.player, &player);
    EXPECT_EQ(PlayerActor(), &player);
    EXPECT_FLOAT_EQ(GameGetViewPos()[0], 7.0f);

    // Put there some other way, the object is still no soldier to those who ask for one.
    g_frameView.player = &m_tank;
    EXPECT_EQ(PlayerActor(), nullptr);

    view[0] = view[1] = view[2] = 0.0f;
    g_frameView.player = nullptr;
    DynObjectRemove(&player);
}

}  // namespace
