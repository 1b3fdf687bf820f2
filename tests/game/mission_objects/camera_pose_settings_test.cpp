// The camera sway of each movement mode from the script "camera": a subsection per mode, "property"
// lines with a pair of values each.
#include <gtest/gtest.h>

#include <string>

#include "camera_pose_fixture.h"
#include "game/mission_objects/camera_pose_settings.h"
#include "support/files.h"

namespace {

using CameraPoseRead = camera_pose_test::CameraPoseScript;

struct Pose {
    float roll[2];
    float floatSway[2];
    float strafe[2];
};

void ExpectPose(const CameraPoseSettings& got, const Pose& want)
{
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(got.roll[i], want.roll[i]) << "roll " << i;
        EXPECT_EQ(got.floatSway[i], want.floatSway[i]) << "float " << i;
        EXPECT_EQ(got.strafe[i], want.strafe[i]) << "strafe " << i;
    }
}

TEST_F(CameraPoseRead, EachModeSubsectionFillsItsRecord)
{
    WriteFileBytes("script/camera.scr",
                   "<run>\n"
                   "  property strafe 0.75 -2;\n"
                   "</run>\n"
                   "<WALK>\n"
                   "  property roll 1.5 2;\n"
                   "  PROPERTY Float 0.25 3;\n"
                   "  property strafe 4 5;\n"
                   "  property tilt 9 9;\n"
                   "  sway roll 9 9;\n"
                   "</WALK>\n"
                   "<CROUCH>\n"
                   "  property roll 0.5;\n"
                   "</CROUCH>\n"
                   "<SWIM>\n"
                   "  property roll 9 9;\n"
                   "  property float 9 9;\n"
                   "</SWIM>\n"
                   "<Prone>\n"
                   "  property float x 6;\n"
                   "  property strafe;\n"
                   "</Prone>\n");
    CameraPoseSettingsLoad();
    constexpr float k = camera_pose_test::kUntouched;
    struct Case {
        CameraPoseMode mode;
        Pose want;
    };
    const Case cases[] = {
        {CAMERA_POSE_WALK, {{1.5f, 2.0f}, {0.25f, 3.0f}, {4.0f, 5.0f}}},
        // A single value sets the first of the pair and clears the second; the subsection after it
        // with no mode's name changes nothing.
        {CAMERA_POSE_CROUCH, {{0.5f, 0.0f}, {k, k}, {k, k}}},
        {CAMERA_POSE_PRONE, {{k, k}, {0.0f, 6.0f}, {0.0f, 0.0f}}},
        {CAMERA_POSE_RUN, {{k, k}, {k, k}, {0.75f, -2.0f}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ExpectPose(g_cameraPoseSettings[c.mode], c.want);
    }
}

TEST_F(CameraPoseRead, WithoutTheScriptTheRecordsStay)
{
    CameraPoseSettingsLoad();
    constexpr float k = camera_pose_test::kUntouched;
    for (const CameraPoseSettings& record : g_cameraPoseSettings)
        ExpectPose(record, {{k, k}, {k, k}, {k, k}});
}

}  // namespace
