// The player camera's sway per movement mode from the script "camera", and the reader's behaviour on
// damaged scripts.
#include <gtest/gtest.h>

#include <string>

#include "core/random.h"
#include "core/script_file.h"
#include "core/vfs.h"
#include "game/camera_pose_settings.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "support/text_mutation.h"

namespace {

const char kCameraScript[] =
    "<WALK>\n"
    "  property roll 0.1 0.2;\n"
    "  property float 0.3 0.4;\n"
    "  property strafe 0.5 0.6;\n"
    "</WALK>\n"
    "<crouch>\n"
    "  property roll 0.5;\n"
    "</crouch>\n"
    "<SIDEWAYS>\n"
    "  property roll 9 9;\n"
    "</SIDEWAYS>\n"
    "<RUN>\n"
    "  property strafe x 2;\n"
    "  property speed 7 7;\n"
    "</RUN>\n";

class CameraPoses : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        for (CameraPoseSettings& record : g_cameraPoses)
            record = {};
        CreateScriptCache();
    }
    void TearDown() override
    {
        for (CameraPoseSettings& record : g_cameraPoses)
            record = {};
        DestroyScriptCache();
        VFSShutdown();
        TempDirTest::TearDown();
    }
    void Load(const std::string& text)
    {
        WriteFileBytes("script/camera.scr", text);
        GetScriptFile("camera", true);
        CameraPoseSettingsLoad();
    }
};

TEST_F(CameraPoses, EachModeSubsectionSetsItsRecord)
{
    Load(kCameraScript);
    const CameraPoseSettings& walk = g_cameraPoses[CAMERA_POSE_WALK];
    EXPECT_EQ(walk.roll[0], 0.1f);
    EXPECT_EQ(walk.roll[1], 0.2f);
    EXPECT_EQ(walk.sway[0], 0.3f);
    EXPECT_EQ(walk.sway[1], 0.4f);
    EXPECT_EQ(walk.strafe[0], 0.5f);
    EXPECT_EQ(walk.strafe[1], 0.6f);
    // A single value: the first of the pair, and 0 for the second.
    EXPECT_EQ(g_cameraPoses[CAMERA_POSE_CROUCH].roll[0], 0.5f);
    EXPECT_EQ(g_cameraPoses[CAMERA_POSE_CROUCH].roll[1], 0.0f);
    // A subsection of another name writes nowhere: the crouch record before it keeps its values.
    EXPECT_EQ(g_cameraPoses[CAMERA_POSE_CROUCH].roll[0], 0.5f);
    EXPECT_EQ(g_cameraPoses[CAMERA_POSE_PRONE].roll[0], 0.0f);
    EXPECT_EQ(g_cameraPoses[CAMERA_POSE_RUN].strafe[0], 0.0f) << "not a number";
    EXPECT_EQ(g_cameraPoses[CAMERA_POSE_RUN].strafe[1], 2.0f);
}

TEST_F(CameraPoses, WithoutTheScriptNothingChanges)
{
    g_cameraPoses[CAMERA_POSE_PRONE].roll[0] = 3.0f;
    CameraPoseSettingsLoad();
    EXPECT_EQ(g_cameraPoses[CAMERA_POSE_PRONE].roll[0], 3.0f);
}

using CameraPosesRobustness = CameraPoses;

TEST_F(CameraPosesRobustness, DamagedScriptsAreReadWithoutFault)
{
    const test_support::TextDamage damages[] = {
        {"emptied", test_support::Emptied},
        {"first byte only", test_support::FirstByteOnly},
        {"cut in half", test_support::CutInHalf},
        {"cut before the end", test_support::CutBeforeTheEnd},
        {"lines doubled", test_support::LinesDoubled},
        {"long word in front", test_support::LongWordInFront},
        {"zero bytes inside", test_support::ZeroBytesInside},
        {"closing marks removed", test_support::ClosingMarksRemoved},
        {"numbers made huge", test_support::NumbersMadeHuge},
        {"numbers negated", test_support::NumbersNegated},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.what);
        Load(damage.make(kCameraScript));
    }
    const u32_t seed = EngineRandState();
    EngineSRand(156);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        Load(test_support::MutateText(kCameraScript));
    }
    EngineSRand(seed);
}

}  // namespace
