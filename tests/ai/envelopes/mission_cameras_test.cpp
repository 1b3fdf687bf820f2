// Mission cameras and their envelopes: the registry and its "cam1", the "camera" lines of
// "mission.env" linking both ways, the envelope's three script methods (the external-camera flag, the
// fade, the completion of the command), the per-frame update that keeps a camera list's runner going,
// and the unlinking when either side goes first. The camera lists are read from "mission.msal".
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "ai/envelopes/camera_envelope.h"
#include "ai/envelopes/envelope_files.h"
#include "ai/envelopes/mission_cameras.h"
#include "ai/msal/mission_script_runner.h"
#include "ai/msal/msal_cell.h"
#include "ai/msal/msal_reader.h"
#include "ai/rules/script_events.h"
#include "core/strings/colour_codes.h"
#include "ai/script_mission_fixture.h"
#include "game/view/external_camera.h"
#include "platform/win32.h"
#include "render/device/render_clock.h"
#include "scene/hud/screen_fade.h"

namespace {

using Names = std::vector<std::string>;

// Calls a method of the envelope's script class by its script name, as the mission script does.
void CallScript(Envelope* envelope, const char* method, ScriptArgWord* args = nullptr)
{
    const ScriptMethod* record = envelope->FindMethod(method);
    ASSERT_NE(record, nullptr) << method;
    ScriptCallMethod(envelope, record, args);
}

void AdvanceRunner(MSALRunner* runner)
{
    runner->Advance();
}

// A runner's record whose completion moves it to its next command, attached to the envelope.
struct RunningCommand {
    MSALRunner runner;
    MSALCompletionRecord record;
    void AttachTo(Envelope* envelope)
    {
        record.function = AdvanceRunner;
        record.runner = &runner;
        envelope->msalCompletion = &record;
    }
};

class MissionCameras : public ScriptMission {
protected:
    void TearDown() override
    {
        MSALUnloadMission();
        MissionCameraDestroyAll();
        SwitchFromExternalCamera();
        ScreenFadeReset();
        ScriptMission::TearDown();
    }
    // Reads the mission script and starts its runners, as the mission start does.
    void StartScript(const std::string& text)
    {
        LoadScript(text);
        MSALStartAll();
    }
    // One game frame every 40 ms: the flag of the external camera after each camera update.
    static std::string FlagsOverFrames(int frames)
    {
        std::string flags;
        for (int frame = 1; frame <= frames; ++frame) {
            PlatformTestClockAdvance(40);
            MissionCameraUpdateAll();
            flags += ExternalCameraActive() ? '1' : '0';
        }
        return flags;
    }
};

constexpr const char* kCameraList = "List Shot { SwitchTo() Wait(100) SwitchFrom() } Members { Eye }\n";

TEST_F(MissionCameras, TheRegistryHoldsCam1FoundInAnyCaseUntilMissionEnd)
{
    EXPECT_EQ(MissionCameraFind("cam1"), nullptr);
    MissionCamera* cam1 = MissionCameraCreateDefault();
    ASSERT_NE(cam1, nullptr);
    EXPECT_STREQ(cam1->GetName(), "cam1");
    MissionCamera* other = MissionCameraAdd("Tower");
    for (const char* name : {"cam1", "CAM1", "Cam1"})
        EXPECT_EQ(MissionCameraFind(name), cam1) << name;
    EXPECT_EQ(MissionCameraFind("tower"), other);
    EXPECT_EQ(MissionCameraFind("cam"), nullptr);
    EXPECT_EQ(MissionCameraFind(nullptr), nullptr);
    // The first of two equal names is found.
    MissionCameraAdd("CAM1");
    EXPECT_EQ(MissionCameraFind("cam1"), cam1);
    EXPECT_EQ(MissionCameraCount(), 3);
    MissionCameraDestroyAll();
    EXPECT_EQ(MissionCameraCount(), 0);
    EXPECT_EQ(MissionCameraFind("cam1"), nullptr);
}

TEST_F(MissionCameras, CameraLinesLinkBothWaysOrLeaveTheEnvelopeWithoutCamera)
{
    MissionCamera* cam1 = MissionCameraCreateDefault();
    WriteMissionFile("mission.env",
                     "create camera Eye CAM1 root hEye\n"
                     "create camera Lost cam9 root\n");
    ASSERT_TRUE(EnvelopeLoadMission(kFolder));

    auto* eye = dynamic_cast<CameraEnvelope*>(EnvelopeFind("Eye"));
    auto* lost = dynamic_cast<CameraEnvelope*>(EnvelopeFind("Lost"));
    ASSERT_NE(eye, nullptr);
    ASSERT_NE(lost, nullptr);
    EXPECT_EQ(eye->kind, ENVELOPE_KIND_CAMERA);
    EXPECT_STREQ(eye->handlerName.Text(), "hEye");
    EXPECT_EQ(eye->GetCamera(), cam1);
    EXPECT_EQ(cam1->GetEnvelope(), eye);
    EXPECT_EQ(lost->GetCamera(), nullptr);
    EXPECT_EQ(Console(), (Names{ERROR_COLOUR "Could not find camera 'cam9' for envelope 'Lost'"}));
    // Scripts reach the envelope by its name.
    ASSERT_NE(ScriptGlobalObjects(), nullptr);
    EXPECT_NE(ScriptGlobalObjects()->Find("Eye"), nullptr);

    // The envelope without camera still works, but the camera update never reaches its runner: its
    // wait never ends.
    StartScript("List Shot { SwitchTo() Wait(100) SwitchFrom() } Members { Lost }\n");
    EXPECT_TRUE(ExternalCameraActive());
    EXPECT_EQ(FlagsOverFrames(5), "11111");
}

TEST_F(MissionCameras, EachMethodActsThenCompletesItsCommand)
{
    ScreenFadeStart(10, 0xFFFFFF);
    CameraEnvelope* envelope = new CameraEnvelope("Eye");
    EnvelopeRegister(envelope);
    RunningCommand command;
    command.AttachTo(envelope);

    CallScript(envelope, "MSALSwitchTo");
    EXPECT_TRUE(ExternalCameraActive());
    EXPECT_EQ(command.runner.advances, 1u);
    CallScript(envelope, "MSALSwitchFrom");
    EXPECT_FALSE(ExternalCameraActive());
    EXPECT_EQ(command.runner.advances, 2u);

    // The fade lasts the argument's whole milliseconds, from black.
    ScriptArgWord fade[1] = {MSALCell::FromFloat(250.9f).Word()};
    CallScript(envelope, "MSALSetFadeIn", fade);
    EXPECT_EQ(command.runner.advances, 3u);
    EXPECT_EQ(ScreenFadeColour(), 0u);
    const u32_t now = RenderTicks();
    EXPECT_GT(ScreenFadeAlphaAt(now + 249), 0u);
    EXPECT_EQ(ScreenFadeAlphaAt(now + 250), 0u);

    // A method without a record to complete acts all the same.
    envelope->msalCompletion = nullptr;
    CallScript(envelope, "MSALSwitchTo");
    EXPECT_TRUE(ExternalCameraActive());
    EXPECT_EQ(command.runner.advances, 3u);
}

TEST_F(MissionCameras, FadeLengthsOutsideTheIntegerRangeDoNotOverflow)
{
    CameraEnvelope* envelope = new CameraEnvelope("Eye");
    EnvelopeRegister(envelope);
    struct Case {
        float length;
        u32_t probe;  // ms after the start
        bool drawn;
    };
    const Case cases[] = {
        {1e20f, 1000000u, true},  // the longest fade the integer holds
        {-5.0f, 0u, false},
        {std::numeric_limits<float>::quiet_NaN(), 0u, false},
        {0.4f, 0u, false},
    };
    for (const Case& c : cases) {
        ScriptArgWord fade[1] = {MSALCell::FromFloat(c.length).Word()};
        CallScript(envelope, "MSALSetFadeIn", fade);
        EXPECT_EQ(ScreenFadeAlphaAt(RenderTicks() + c.probe) > 0, c.drawn) << c.length;
    }
}

TEST_F(MissionCameras, TheUpdateRunsACameraListFrameByFrame)
{
    MissionCamera* cam1 = MissionCameraCreateDefault();
    MissionCamera* idle = MissionCameraAdd("idle");
    CameraEnvelope* envelope = new CameraEnvelope("Eye");
    EnvelopeRegister(envelope);
    CameraEnvelopeLink(envelope, cam1);
    // A linked camera whose envelope runs no command is passed over.
    CameraEnvelope* resting = new CameraEnvelope("Rest");
    EnvelopeRegister(resting);
    CameraEnvelopeLink(resting, idle);

    // The mission start switches to the camera and starts the wait; 40 ms a frame, the wait ends in
    // frame 3, 120 ms on, and the camera switches back in that frame.
    StartScript(kCameraList);
    EXPECT_TRUE(ExternalCameraActive());
    EXPECT_EQ(FlagsOverFrames(7), "1100000");
    MSALRunner* runner = MSALFindList("Shot")->runners.at(0);
    EXPECT_EQ(runner->command, nullptr);
}

TEST_F(MissionCameras, EitherSideGoingFirstUnlinksTheOther)
{
    for (const bool camerasFirst : {true, false}) {
        SCOPED_TRACE(camerasFirst ? "cameras first" : "envelopes first");
        MissionCamera* cam1 = MissionCameraCreateDefault();
        CameraEnvelope* envelope = new CameraEnvelope("Eye");
        EnvelopeRegister(envelope);
        CameraEnvelopeLink(envelope, cam1);
        if (camerasFirst) {
            MissionCameraDestroyAll();
            EXPECT_EQ(envelope->GetCamera(), nullptr);
            EnvelopeDestroyAll();
        } else {
            EnvelopeDestroyAll();
            EXPECT_EQ(cam1->GetEnvelope(), nullptr);
            // The update must not reach the deleted envelope.
            MissionCameraUpdateAll();
            MissionCameraDestroyAll();
        }
    }
}

TEST_F(MissionCameras, EveryEnvelopeOfOneCameraIsUnlinkedWhenTheCamerasGoFirst)
{
    // Several "camera" lines may name the same camera; it points back only at the last one linked.
    // The mission leave deletes the cameras, then the envelopes.
    for (const int envelopes : {2, 3}) {
        SCOPED_TRACE(envelopes);
        MissionCamera* cam1 = MissionCameraCreateDefault();
        std::vector<CameraEnvelope*> linked;
        for (int i = 0; i < envelopes; ++i) {
            linked.push_back(new CameraEnvelope(("Eye" + std::to_string(i)).c_str()));
            ASSERT_GE(EnvelopeRegister(linked.back()), 0);
            CameraEnvelopeLink(linked.back(), cam1);
        }
        EXPECT_EQ(cam1->GetEnvelope(), linked.back());
        MissionCameraDestroyAll();
        for (const CameraEnvelope* envelope : linked)
            EXPECT_EQ(envelope->GetCamera(), nullptr) << envelope->name.Text();
        EnvelopeDestroyAll();
    }
}

}  // namespace
