// The game frame on the render core's test window, without a map: the clock it measures, the map-name
// caption it shows late, the colour it clears to, what an open screen holds back (the world, the
// player's control, the message lines) and what it never does (the plug-ins' frame event), and a lost
// device. The clock is the test clock; the world holds an object that counts its updates, the
// envelope table an envelope that counts its OnFrame events, the game test plug-in the frame events,
// and the satellite view stands for the player's control (its first run fixes its pan speed).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actors/actor_cvars.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/rules/script_events.h"
#include "ai/rules/time_events.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "core/plugins/plugin_host.h"
#include "game/mission/code_signal.h"
#include "game/view/external_camera.h"
#include "game/game_cvars.h"
#include "game/mission/game_flow.h"
#include "game/mission/game_frame.h"
#include "game/mission/objectives.h"
#include "game/game_state.h"
#include "game/game_test_hooks.h"
#include "game/view/satellite_view.h"
#include "gui/screens/gui.h"
#include "map/registry/world_registry.h"
#include "platform/test_clock.h"
#include "render/render_cvars.h"
#include "scene/passes/scene_passes.h"
#include "scene/scene_state.h"
#include "support/keep_var.h"
#include "support/render_test_support.h"
#include "tests/plugins/game_plugin/game_plugin_state.h"
#include "world/objects/dynamic_object.h"
#include "support/subtitle_layer.h"

namespace {

constexpr DWORD kStart = 50000;

class CountingObject : public DynamicObject {
public:
    void Update() override { ++updates; }
    int updates = 0;
};

class FrameEnvelope : public DOEnvelope {
public:
    void FireEvent(ScriptObject*, s32_t eventIndex) override { frames += eventIndex == ENVELOPE_EVENT_ON_FRAME; }
    void StoreObjectPose() override { poses.push_back("store"); }
    void ApplyObjectPose() override { poses.push_back("apply"); }
    void RestoreObjectPose() override { poses.push_back("restore"); }
    int frames = 0;
    std::vector<std::string> poses;
};

std::vector<DWORD> g_sleeps;

void RecordSleep(DWORD now)
{
    g_sleeps.push_back(now);
}

class GameFrame : public render_test::RenderCore {
protected:
    // The caption and the record show only with their layers loaded.
    const TextLayersScope m_textLayers{true};

    void SetUp() override
    {
        RenderCore::SetUp();
        PlatformTestClockStart(kStart);
        g_sleeps.clear();
        g_game.frameClock = kStart;
        g_game.frameCounter = 0;
        g_frameView.gameTime = 0.0f;
        g_frameView.screenOpen = false;
        g_gui = GuiState();
        RegisterHostInterface(g_pluginHost);
        PluginRecord* record = g_pluginHost.LoadPluginFile(ZINTAR_TEST_PLUGIN_DIR, "game_test.plg");
        ASSERT_NE(record, nullptr);
        auto get = reinterpret_cast<GamePluginStateFn>(
            GetProcAddress(static_cast<HMODULE>(record->Module()), "GamePluginGetState"));
        ASSERT_NE(get, nullptr);
        m_plugin = get();
        *m_plugin = GamePluginState();
        ASSERT_TRUE(DynObjectAdd(&m_object));
        g_ai.envelopes[0] = &m_envelope;
    }
    void TearDown() override
    {
        SwitchFromExternalCamera();
        g_ai.envelopes[0] = nullptr;
        DynObjectRemove(&m_object);
        g_pluginHost.Clear();
        g_frameView.currentGameMod = nullptr;
        g_game.satelliteView = 0;
        g_satelliteView = SatelliteViewState();
        g_frameView.screenOpen = false;
        g_frameView.gameTime = 0.0f;
        g_frameView.frameTime = 0.001f;
        g_game.frameClock = 0;
        g_game.frameCounter = 0;
        g_gui = GuiState();
        rbwireframe.SetBool(false);
        gbgameconsole.SetBool(true);
        if (ConIsReady())
            ConShutdown();
        PlatformTestClockOnSleep(nullptr);
        PlatformTestClockStop();
        RenderCore::TearDown();
    }

    // One frame, `ms` after the last.
    void Frame(DWORD ms)
    {
        PlatformTestClockAdvance(ms);
        GameUpdateFrame(false);
    }

    CountingObject m_object;
    FrameEnvelope m_envelope;
    GamePluginState* m_plugin = nullptr;
};

// The frame's seconds follow the tick count and stay within 0.001..0.1; a clamped frame does not
// carry over, the next one measures from the real time again.
TEST_F(GameFrame, TheFrameTimeIsTheTickGapHeldToItsBounds)
{
    struct Step {
        DWORD gap;
        float frameTime;
    };
    const Step steps[] = {{2000, 0.1f}, {20, 0.02f}, {0, 0.001f}, {50, 0.05f}, {150, 0.1f}, {1, 0.001f}};
    DWORD since = 0;
    for (const Step& step : steps) {
        since += step.gap;
        Frame(step.gap);
        EXPECT_NEAR(g_frameView.frameTime, step.frameTime, 1e-6f) << "after a gap of " << step.gap << " ms";
        EXPECT_NEAR(g_frameView.gameTime, float(since) * 0.001f, 1e-6f);
    }
}

// Armed at the mission start and stamped when the main loop starts, the caption comes up in the
// first frame past 5 s, for 10 s, and never again.
TEST_F(GameFrame, TheMapCaptionShowsOnce5SecondsAfterTheMainLoopStartsFor10Seconds)
{
    GameFrameMessagesReset();
    GameFrameStampCaption();
    for (int i = 0; i < 50; ++i)
        Frame(100);
    EXPECT_EQ(g_gui.captionSlot.shown, 0) << "at 5000 ms";
    Frame(100);
    ASSERT_EQ(g_gui.captionSlot.shown, 1);
    EXPECT_EQ(g_gui.captionSlot.start, kStart + 5100);
    EXPECT_EQ(g_gui.captionSlot.duration, 10000u);
    for (int i = 0; i < 300; ++i)
        Frame(100);
    EXPECT_EQ(g_gui.captionSlot.start, kStart + 5100);
    EXPECT_EQ(g_gui.captionDue, 0);
}

// A record a script armed shows 5 s later, for the time it was given.
// The coded messages' countdown steps beside the death check, before the timed events of the same
// frame: the event sees the count already lowered.
TEST_F(GameFrame, TheCountdownStepsBeforeTheTimedEvents)
{
    ScriptCreateEventList();
    ScriptEvent* tick = ScriptGlobalEventList()->Add("tick");
    ASSERT_NE(tick, nullptr);
    static s32_t seenCount;
    seenCount = -1;
    ScriptEventWaiter waiter;
    waiter.callback = [](void*) { seenCount = g_codeCountdowns[0].count; };
    tick->Subscribe(&waiter);
    TimeEventList::Create();
    ASSERT_TRUE(TimeEventList::Instance()->Parse("TimeEvent { StartTime 500 Times 1 Event tick }"));
    GameCodeReset();
    g_codeCountdowns[0] = {kStart, kStart, CODE_COUNTDOWN_START};
    Frame(1000);
    EXPECT_EQ(g_codeCountdowns[0].count, CODE_COUNTDOWN_START - 1);
    EXPECT_EQ(seenCount, CODE_COUNTDOWN_START - 1);
    GameCodeReset();
    TimeEventList::Destroy();
    ScriptDestroyEventList();
}

TEST_F(GameFrame, AnArmedRecordShowsAfter5Seconds)
{
    g_gui.recordDue = 1;
    g_gui.recordStamp = kStart;
    g_gui.recordDuration = 3000;
    Frame(4000);
    EXPECT_EQ(g_gui.recordSlot.shown, 0);
    Frame(1500);
    ASSERT_EQ(g_gui.recordSlot.shown, 1);
    EXPECT_EQ(g_gui.recordSlot.duration, 3000u);
    EXPECT_EQ(g_gui.recordDue, 0);
}

// Without sky faces the frame clears to white; in wire frame to black.
TEST_F(GameFrame, TheFrameClearsWhiteOrBlackInWireFrame)
{
    struct Case {
        bool wireframe;
        DWORD colour;
    };
    for (const Case c : {Case{false, 0xFFFFFFFFu}, Case{true, 0xFF000000u}, Case{false, 0xFFFFFFFFu}}) {
        rbwireframe.SetBool(c.wireframe);
        Frame(20);
        const render_test::Pixels pixels = render_test::ReadBackBuffer(Device());
        ASSERT_EQ(pixels.width, UINT(kWidth));
        EXPECT_TRUE(render_test::ColourNear(pixels.At(kWidth / 2, kHeight / 2), c.colour))
            << "wireframe " << c.wireframe;
        EXPECT_TRUE(render_test::ColourNear(pixels.At(0, 0), c.colour)) << "wireframe " << c.wireframe;
    }
}

// What an open screen holds back, with and without a game mode that keeps the world running.
TEST_F(GameFrame, AnOpenScreenHoldsThePlayerAndTheWorldUnlessAGameModeKeepsRunning)
{
    struct Case {
        const char* name;
        bool screenOpen;
        bool keepRunning;  // a game mode runs; its keep-running flag
        bool worldMoves;
        bool playerControls;
        bool messageLines;
        bool onFrame;
    };
    const Case cases[] = {
        {"playing", false, false, true, true, true, true},
        {"a screen open", true, false, false, false, false, false},
        {"a keep-running mode under a screen", true, true, true, false, false, true},
        {"a keep-running mode without a screen", false, true, true, true, true, true},
    };
    ConStartup();
    ConSetCurrent(-1);
    ConPrint(CON_MESSAGE_CONSOLE, "a message line\n");
    GameMod mode;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_frameView.screenOpen = c.screenOpen;
        mode.ownScreens = c.keepRunning ? 1 : 0;
        g_frameView.currentGameMod = c.keepRunning ? &mode : nullptr;
        g_game.satelliteView = 1;
        g_satelliteView = SatelliteViewState();
        const int updates = m_object.updates, onFrames = m_envelope.frames, pluginFrames = m_plugin->frames;
        const u32_t counter = g_game.frameCounter;

        // The message lines are the draws the frame adds with them on.
        gbgameconsole.SetBool(false);
        D3D8TestClearCallCounts(Device());
        Frame(20);
        const UINT without = Counts().drawPrimitive + Counts().drawIndexedPrimitive;
        gbgameconsole.SetBool(true);
        D3D8TestClearCallCounts(Device());
        Frame(20);
        const UINT with = Counts().drawPrimitive + Counts().drawIndexedPrimitive;

        EXPECT_EQ(m_object.updates - updates, c.worldMoves ? 2 : 0);
        EXPECT_EQ(g_satelliteView.panSpeedSet, c.playerControls ? 1 : 0);
        EXPECT_EQ(with > without, c.messageLines) << with << " draws with, " << without << " without";
        EXPECT_EQ(m_envelope.frames - onFrames, c.onFrame ? 2 : 0);
        // Always: the plug-ins' frame event, the drawing and the count of drawn frames.
        EXPECT_EQ(m_plugin->frames - pluginFrames, 2);
        EXPECT_EQ(Counts().present, 0u) << "the first frame is not presented";
        EXPECT_EQ(g_game.frameCounter - counter, 2u);
    }
}

// Each satellite-view frame refreshes the stored poses of the enveloped objects, at most every
// 1500 ms; with the scan on, the view is drawn with the stored poses and the live ones come back
// after the drawing.
TEST_F(GameFrame, TheSatelliteViewRefreshesItsPosesAndTheScanDrawsThem)
{
    KeepVar scan(gb_satcamscan);
    g_game.satelliteView = 1;
    EnvelopesPoseStoreReset();
    using Calls = std::vector<std::string>;
    struct Step {
        DWORD gap;
        bool scan;
        Calls poses;
    };
    const Step steps[] = {
        {20, false, {"store"}},
        {1000, false, {}},
        {20, true, {"apply", "restore"}},
        {600, true, {"store", "apply", "restore"}},
    };
    for (const Step& step : steps) {
        gb_satcamscan.SetBool(step.scan);
        m_envelope.poses.clear();
        Frame(step.gap);
        EXPECT_EQ(m_envelope.poses, step.poses) << step.gap << (step.scan ? " ms, scanning" : " ms");
    }
    EnvelopesPoseStoreReset();
}

// With gbdebuginfo on, the frame labels the objects in view (here from the satellite camera right
// above the world's one object) with their position and name.
TEST_F(GameFrame, TheDebugInfoLabelsTheObjectsInView)
{
    KeepVar debug(gbdebuginfo);
    g_game.satelliteView = 1;
    m_object.name.Assign("crate");
    UINT draws[2] = {};
    for (bool on : {false, true}) {
        gbdebuginfo.SetBool(on);
        D3D8TestClearCallCounts(Device());
        Frame(20);
        draws[on ? 1 : 0] = Counts().drawPrimitive + Counts().drawIndexedPrimitive;
    }
    EXPECT_GT(draws[1], draws[0]);
}

// A lost device: the world still moves and the plug-ins hear of the frame, but after the frame
// begin's own 20 ms the frame sleeps 100 ms and draws nothing: no OnFrame, the counter stays.
TEST_F(GameFrame, ALostDeviceSleeps100MsAndSkipsTheDrawnFrame)
{
    Frame(20);
    const u32_t counter = g_game.frameCounter;
    const int updates = m_object.updates, onFrames = m_envelope.frames, pluginFrames = m_plugin->frames;
    D3D8TestSetCooperativeLevel(Device(), D3DERR_DEVICELOST);
    D3D8TestClearCallCounts(Device());
    PlatformTestClockAdvance(20);
    PlatformTestClockOnSleep(RecordSleep);
    const DWORD begin = GetTickCount();
    GameUpdateFrame(true);
    // (Sleeps of no time may come before: they leave the clock as it was.)
    ASSERT_GE(g_sleeps.size(), 2u);
    EXPECT_EQ(std::vector<DWORD>(g_sleeps.end() - 2, g_sleeps.end()), (std::vector<DWORD>{begin + 20, begin + 120}));
    EXPECT_EQ(GetTickCount(), begin + 120);
    EXPECT_EQ(Counts().beginScene, 0u);
    EXPECT_EQ(Counts().present, 0u);
    EXPECT_EQ(g_game.frameCounter, counter);
    EXPECT_EQ(m_envelope.frames, onFrames);
    EXPECT_EQ(m_object.updates, updates + 1);
    EXPECT_EQ(m_plugin->frames, pluginFrames + 1);
    D3D8TestSetCooperativeLevel(Device(), D3D_OK);
}

// A mission script's external camera replaces the whole frame: its own clock (held to 0.001..0.1, the
// unclamped time kept), a presented frame each call, and nothing of the game: no object update, no
// plug-in frame event, no OnFrame, no player control.
TEST_F(GameFrame, TheExternalCameraFrameKeepsTheClockAndRunsNoSimulation)
{
    SwitchToExternalCamera();
    g_game.satelliteView = 1;
    struct Step {
        DWORD gap;
        float frameTime;
    };
    const Step steps[] = {{2000, 0.1f}, {20, 0.02f}, {0, 0.001f}, {150, 0.1f}};
    DWORD since = 0;
    const int updates = m_object.updates, onFrames = m_envelope.frames, pluginFrames = m_plugin->frames;
    D3D8TestClearCallCounts(Device());
    for (const Step& step : steps) {
        since += step.gap;
        PlatformTestClockAdvance(step.gap);
        GameUpdateFrame(false);
        EXPECT_NEAR(g_frameView.frameTime, step.frameTime, 1e-6f) << "after a gap of " << step.gap << " ms";
        EXPECT_NEAR(g_frameView.gameTime, float(since) * 0.001f, 1e-6f);
    }
    EXPECT_EQ(m_object.updates, updates);
    EXPECT_EQ(m_envelope.frames, onFrames);
    EXPECT_EQ(m_plugin->frames, pluginFrames);
    EXPECT_EQ(g_satelliteView.panSpeedSet, 0);
    EXPECT_EQ(Counts().present, 4u) << "every external frame is presented";

    // Switched back, the game frame runs again.
    SwitchFromExternalCamera();
    Frame(20);
    EXPECT_EQ(m_object.updates, updates + 1);
    EXPECT_EQ(m_plugin->frames, pluginFrames + 1);
}

// A script that switches the external camera on during the simulation (a timed event, the mission
// camera's list) has the shot begin in that same frame: its picture is the external camera's, and no
// HUD layer of the player's view is drawn over it.
TEST_F(GameFrame, TheFrameThatSwitchesTheExternalCameraOnDrawsTheShotWithoutTheHud)
{
    static std::vector<ScenePass> passes;
    static int externalPictures;
    passes.clear();
    externalPictures = 0;
    const GameTestHooks before = GameGetTestHooks();
    GameTestHooks hooks = before;
    hooks.simulated = [] { SwitchToExternalCamera(); };
    hooks.externalDrawn = [] { ++externalPictures; };
    GameSetTestHooks(hooks);
    ScenePassSetTracer([](ScenePass pass) { passes.push_back(pass); });
    const int updates = m_object.updates;
    D3D8TestClearCallCounts(Device());
    Frame(20);
    ScenePassSetTracer(nullptr);
    GameSetTestHooks(before);
    SwitchFromExternalCamera();
    EXPECT_EQ(m_object.updates, updates + 1) << "the frame simulated before the switch";
    EXPECT_EQ(externalPictures, 1);
    EXPECT_EQ(Counts().present, 1u);
    for (ScenePass pass : passes) {
        EXPECT_NE(pass, SCENE_PASS_HUD_LAYERS) << "the HUD over the shot";
        EXPECT_NE(pass, SCENE_PASS_HUD_LAYERS_EXTERNAL) << "the HUD over the shot";
    }
}

// The editor's look-at view: the camera looks from the eye at the target, and the visibility pass
// runs from the eye with the angles that look makes.
TEST_F(GameFrame, TheLookAtViewRunsTheVisibilityPassFromTheEyeTowardTheTarget)
{
    constexpr float kPi = 3.1415927f;
    GameSetupLookAtView(1.0f, 2.0f, 3.0f, 11.0f, 12.0f, 3.0f, kPi / 2);
    const ViewCamera& view = g_scene.mainViewCamera;
    EXPECT_FLOAT_EQ(view.position[0], 1.0f);
    EXPECT_FLOAT_EQ(view.position[1], 2.0f);
    EXPECT_FLOAT_EQ(view.position[2], 3.0f);
    EXPECT_NEAR(view.angles[0], kPi / 2, 1e-4f);
    EXPECT_NEAR(view.angles[1], -kPi / 4, 1e-4f);
    EXPECT_FLOAT_EQ(view.fov, kPi / 2);
    g_scene.mainViewCamera = ViewCamera();
}

}  // namespace
