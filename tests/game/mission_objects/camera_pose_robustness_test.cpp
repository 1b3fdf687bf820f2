// Damaged "camera" scripts, and fixed-seed mutations of an object list with its templates together
// with the "camera" script: no crash, no read past a line, no value written to a mode no subsection
// names.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "camera_pose_fixture.h"
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/random.h"
#include "game/mission_objects/camera_pose_settings.h"
#include "game/mission_objects/object_list.h"
#include "map/registry/world_registry.h"
#include "support/files.h"
#include "support/text_mutation.h"

namespace {

const char kCamera[] =
    "<WALK>\n"
    "  property roll 0.5 1.5;\n"
    "  property float 0.25 2;\n"
    "  property strafe 1 -1;\n"
    "</WALK>\n"
    "<CROUCH>\n"
    "  property roll 0.5;\n"
    "</CROUCH>\n"
    "<other>\n"
    "  property strafe 7 7;\n"
    "</other>\n"
    "<RUN>\n"
    "  property float 3 4;\n"
    "</RUN>\n";

const char kList[] =
    "create structure hut\n"
    "pos 10 0 20\n"
    "template shed 4 5\n"
    "create structure barn\n"
    "template barn\n";

const char kShed[] =
    "default 2 9\n"
    "rot 0 $0 0\n"
    "template barn $1 $2\n";

const char kBarn[] = "scale $0\n";

class CameraPoseRobustness : public camera_pose_test::CameraPoseScript {
protected:
    // Loads the script as "camera" from a fresh cache.
    void LoadCamera(const std::string& text)
    {
        DestroyScriptCache();
        CreateScriptCache();
        ASSERT_TRUE(WriteFileBytes("script/camera.scr", text));
        CameraPoseSettingsLoad();
    }
    // The record of PRONE: no subsection of the fixture names it, so no damage may reach it.
    static void ExpectProneUntouched()
    {
        const CameraPoseSettings& prone = g_cameraPoseSettings[CAMERA_POSE_PRONE];
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(prone.roll[i], camera_pose_test::kUntouched);
            EXPECT_EQ(prone.floatSway[i], camera_pose_test::kUntouched);
            EXPECT_EQ(prone.strafe[i], camera_pose_test::kUntouched);
        }
    }
};

TEST_F(CameraPoseRobustness, EveryTruncationAndNamedDamageLoads)
{
    const std::string fixture = kCamera;
    for (size_t length = 0; length <= fixture.size(); length += 3) {
        SCOPED_TRACE(length);
        LoadCamera(fixture.substr(0, length));
        ExpectProneUntouched();
    }
    for (const test_support::TextDamage& damage : test_support::CommonTextDamages()) {
        SCOPED_TRACE(damage.what);
        LoadCamera(damage.make(fixture));
        ExpectProneUntouched();
    }
}

// A "property" line cut short or padded: the pair takes what is there, 0 for the rest; a line
// without a key or with a number that is not finite changes nothing.
TEST_F(CameraPoseRobustness, ShortAndLongPropertyLines)
{
    struct Case {
        const char* line;
        float first;
        float second;
    };
    const Case cases[] = {
        {"property roll;", 0.0f, 0.0f},
        {"property roll 2;", 2.0f, 0.0f},
        {"property roll 2 3 4 5 6;", 2.0f, 3.0f},
        // A number past the float range is refused with its line: the pair keeps what it had.
        {"property roll 1e99999 x;", camera_pose_test::kUntouched, camera_pose_test::kUntouched},
        {"property roll - 3x;", 0.0f, 3.0f},
        {"property;", camera_pose_test::kUntouched, camera_pose_test::kUntouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        camera_pose_test::FillRecords(camera_pose_test::kUntouched);
        LoadCamera(std::string("<WALK>\n") + c.line + "\n</WALK>\n");
        EXPECT_EQ(g_cameraPoseSettings[CAMERA_POSE_WALK].roll[0], c.first);
        EXPECT_EQ(g_cameraPoseSettings[CAMERA_POSE_WALK].roll[1], c.second);
    }
}

TEST_F(CameraPoseRobustness, MutatedObjectListsTemplatesAndCameraScripts)
{
    ConStartup();
    EngineSRand(5201);
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(WriteFileBytes("list.def", test_support::MutateText(kList)));
        ASSERT_TRUE(WriteFileBytes("object/structures/shed.def", test_support::MutateText(kShed)));
        ASSERT_TRUE(WriteFileBytes("object/structures/barn.def", test_support::MutateText(kBarn)));
        DefFileFreeAll();
        if (DefFile* list = DefFileLoad("list.def"))
            GameLoadObjectList(list, nullptr, 0, nullptr);
        LoadCamera(test_support::MutateText(kCamera));
        DynObjectsDeleteAll();
        GameObjectListReset();
    }
    DefFileFreeAll();
    ConShutdown();
}

}  // namespace
