// The player's hands on the mission, with a real sample soldier as the player: using a crate near
// and far, a click on nothing that cuts the wire in sight between two sample poles, the picked
// soldier's highlight, the command menu's keys, the accept keys (mission timers, or chat texts under
// a chat game mode) and the coded-message keys. Plug-in events are seen by the game test plug-in.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "ai/envelopes/envelope.h"
#include "ai/envelopes/event_handlers.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "core/mission_timers.h"
#include "core/plugins/plugin_host.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/campaign_chronology.h"
#include "game/mission/code_signal.h"
#include "game/player/command_keys.h"
#include "game/player/command_menu.h"
#include "game/player/cursor_pick.h"
#include "game/mission/game_flow.h"
#include "game/player/object_use.h"
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "scene/views/frustum_ray.h"
#include "tests/game/player/player_weapon_fixture.h"
#include "tests/plugins/game_plugin/game_plugin_state.h"
#include "world/objects/structure.h"
#include "world/wires/wires.h"

namespace {

using player_weapon_test::PlayerWeaponFrames;

// A bound envelope that keeps the events fired at it, and whether the use flag was up meanwhile.
class RecordingEnvelope : public DOEnvelope {
public:
    void FireEvent(ScriptObject* sender, s32_t eventIndex) override
    {
        events.push_back({sender, eventIndex});
        flagDuringEvent = g_playerControl.handlerEventRunning;
        eventObjectDuringEvent = HandlerEventObject();
    }
    std::vector<std::pair<ScriptObject*, s32_t>> events;
    u8_t flagDuringEvent = 0;
    ScriptObject* eventObjectDuringEvent = nullptr;  // what a shared handler's "this" reads
};

class PlayerHands : public PlayerWeaponFrames {
protected:
    void SetUp() override
    {
        PlayerWeaponFrames::SetUp();
        m_withObjectUse = true;
        ConStartup();
        RegisterHostInterface(g_pluginHost);
        PluginRecord* record = g_pluginHost.LoadPluginFile(ZINTAR_TEST_PLUGIN_DIR, "game_test.plg");
        ASSERT_NE(record, nullptr);
        auto get = reinterpret_cast<GamePluginStateFn>(
            GetProcAddress(static_cast<HMODULE>(record->Module()), "GamePluginGetState"));
        ASSERT_NE(get, nullptr);
        m_plugin = get();
        *m_plugin = GamePluginState();
        g_commandMenuCalls = CommandMenuCalls();
        GameCodeReset();
        const float player[3] = {0.0f, 0.0f, 0.0f};
        GameSetPlayerPos(player);
    }
    void TearDown() override
    {
        GameSetPickedObject(nullptr);
        for (GraphObj* object : m_objects) {
            DynObjectRemove(object);
            delete object;
        }
        ConObjFreeAll();
        ClearTimers();
        g_commandMenuCalls = CommandMenuCalls();
        GameCodeReset();
        g_pluginHost.Clear();
        ConShutdown();
        PlayerWeaponFrames::TearDown();
    }

    // A crate at (x, 0, 0) with its envelope.
    RecordingEnvelope& Crate(float x)
    {
        GraphObj* crate = Placed(new GraphObj, {x, 0.0f, 0.0f});
        crate->useWord = 0x5EED;
        m_envelopes.emplace_back(std::make_unique<RecordingEnvelope>());
        m_envelopes.back()->Attach(crate);
        return *m_envelopes.back();
    }
    GraphObj* Placed(GraphObj* object, Vector3 at)
    {
        object->SetPosition(at);
        EXPECT_TRUE(DynObjectAdd(object));
        m_objects.push_back(object);
        return object;
    }

    // A "fire" click while "quickmode" is held.
    void UseClick() { Frame({ACTION_QUICKMODE}, {ACTION_FIRE}); }

    // The lines of the message console, oldest first.
    static std::vector<std::string> Messages()
    {
        std::vector<std::string> lines;
        char** slots = ConLines(CON_MESSAGE_CONSOLE);
        for (int i = 0; slots && i < ConLineCapacity(CON_MESSAGE_CONSOLE); ++i) {
            if (slots[i])
                lines.emplace_back(slots[i]);
        }
        return lines;
    }

    // One frame of the command keys with the actions and raw keys given.
    static void KeysFrame(std::initializer_list<u8_t> held, std::initializer_list<u8_t> released,
                          std::initializer_list<u8_t> rawKeys = {})
    {
        player_weapon_test::ClearActions();
        for (u8_t action : held)
            g_input.actionDown[action] = INPUT_STATE_DOWN;
        for (u8_t action : released)
            g_input.actionReleased[action] = INPUT_STATE_DOWN;
        for (u8_t key : rawKeys)
            g_input.keyStates[key] = INPUT_STATE_DOWN;
        CommandMenuKeysUpdate();
        QuickKeysUpdate();
        CodedMessageKeysUpdate();
    }

    GamePluginState* m_plugin = nullptr;
    std::vector<GraphObj*> m_objects;
    std::vector<std::unique_ptr<RecordingEnvelope>> m_envelopes;
};

TEST_F(PlayerHands, ACrateFiftyUnitsAwayIsTooFarAndOneAtFortyNineIsUsed)
{
    RecordingEnvelope& far = Crate(50.0f);
    GameSetPickedObject(&far);
    UseClick();
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), "Object too far!\n");
    EXPECT_TRUE(far.events.empty());
    EXPECT_EQ(m_plugin->objectUses, 0);
    EXPECT_EQ(g_playerControl.objectInUse, &far);  // it stays in use

    const size_t lines = Messages().size();
    RecordingEnvelope& near = Crate(49.0f);
    GameSetPickedObject(&near);
    DOEnvelope playerEnvelope("Player");
    playerEnvelope.Attach(m_soldier);
    UseClick();
    m_soldier->envelope = nullptr;
    EXPECT_EQ(Messages().size(), lines);
    ASSERT_EQ(near.events.size(), 1u);
    EXPECT_EQ(near.events[0].first, &playerEnvelope);  // on behalf of the player, by its envelope
    EXPECT_EQ(near.events[0].second, kEventOnInteract);
    EXPECT_EQ(near.flagDuringEvent, 1);
    EXPECT_EQ(near.eventObjectDuringEvent, &near);
    EXPECT_EQ(g_playerControl.handlerEventRunning, 0);
    ASSERT_EQ(m_plugin->objectUses, 1);
    EXPECT_EQ(m_plugin->lastUse.envelope, reinterpret_cast<PluginWord>(static_cast<Envelope*>(&near)));
    EXPECT_EQ(m_plugin->lastUse.action, 8u);
    EXPECT_EQ(m_plugin->lastUse.envelopeWord, 0x5EEDu);
    EXPECT_EQ(g_playerControl.objectInUse, nullptr);

    // Without "quickmode", or with the command menu open, a click uses nothing.
    Frame({}, {ACTION_FIRE});
    g_hudInput.flags.commandMenuOpen = 1;
    UseClick();
    g_hudInput.flags.commandMenuOpen = 0;
    EXPECT_EQ(near.events.size(), 1u);
    EXPECT_EQ(m_plugin->objectUses, 1);
}

TEST_F(PlayerHands, LettingGoOfQuickmodeDropsThePickedSoldierAndItsHighlight)
{
    // Another sample soldier, far away: an order's target has no distance limit.
    AIInterface* otherAi = new AIInterface();
    Actor* other = otherAi->body;
    ApplyDefFile("object\\actors\\soldier.def", other);
    other->SetPosition({500.0f, 0.0f, 0.0f});
    RecordingEnvelope envelope;
    envelope.Attach(other);
    GameSetPickedObject(&envelope);

    Frame({ACTION_QUICKMODE});
    EXPECT_EQ(g_hudInput.flags.quickMode, 1);
    UseClick();
    EXPECT_EQ(g_playerControl.objectInUse, &envelope);
    EXPECT_EQ(other->pickedHighlight, 1);
    EXPECT_TRUE(envelope.events.empty());
    EXPECT_TRUE(Messages().empty());

    // The binocular keeps the use mode as it is.
    g_hudInput.flags.binocularView = 1;
    Frame({});
    EXPECT_EQ(g_hudInput.flags.quickMode, 1);
    EXPECT_EQ(other->pickedHighlight, 1);
    g_hudInput.flags.binocularView = 0;

    Frame({});
    EXPECT_EQ(g_hudInput.flags.quickMode, 0);
    EXPECT_EQ(g_playerControl.objectInUse, nullptr);
    EXPECT_EQ(other->pickedHighlight, 0);
    EXPECT_EQ(g_playerControl.usePending, 0);

    other->envelope = nullptr;
    other->DetachAI();
    delete other;
}

TEST_F(PlayerHands, ASoldierWhoseHandlerHoldsDefaultConditionAsksForThatItemsTargetSelection)
{
    AIInterface* otherAi = new AIInterface();
    Actor* other = otherAi->body;
    ApplyDefFile("object\\actors\\soldier.def", other);
    other->SetPosition({500.0f, 0.0f, 0.0f});
    RecordingEnvelope envelope;
    envelope.Attach(other);
    GameSetPickedObject(&envelope);
    CMItem item;
    item.targetMode = CM_DESTINATION_SELECTED;
    g_commandMenu.slots[7] = &item;

    // Without a handler, or with a handler without the member, the soldier is only picked.
    UseClick();
    EXPECT_EQ(g_playerControl.usePending, 0);
    // A handler read from the mission's file (a template) belongs to its list, not to the envelope.
    EventHandler handler("soldier");
    envelope.handler = &handler;
    Frame({});
    UseClick();
    EXPECT_EQ(other->pickedHighlight, 1);
    EXPECT_EQ(g_playerControl.usePending, 0);

    // The member names item 7: the use is pending with its target selection; the next click uses him.
    ASSERT_NE(envelope.handler->GetMembers()->AddInt("defaultcondition", 7), nullptr);
    Frame({});
    UseClick();
    EXPECT_EQ(g_playerControl.usePending, 1);
    EXPECT_EQ(g_commandMenu.selectionMode, CM_DESTINATION_SELECTED);
    EXPECT_EQ(g_playerControl.pendingTargetMode, CM_DESTINATION_SELECTED);
    UseClick();
    ASSERT_EQ(envelope.events.size(), 1u);
    EXPECT_EQ(envelope.events[0].second, kEventOnInteract);
    EXPECT_EQ(g_playerControl.usePending, 0);

    // A member naming an empty slot still makes the use pending, with no target selection.
    *static_cast<s32_t*>(envelope.handler->GetMembers()->Find("defaultcondition")->data) = 8;
    Frame({});
    UseClick();
    EXPECT_EQ(g_playerControl.usePending, 1);
    EXPECT_EQ(g_commandMenu.selectionMode, CM_TARGET_NONE);

    Frame({});
    g_commandMenu.slots[7] = nullptr;
    g_commandMenu.selectionMode = CM_TARGET_NONE;
    envelope.handler = nullptr;
    other->envelope = nullptr;
    other->DetachAI();
    delete other;
}

TEST_F(PlayerHands, AClickOnNothingCutsTheWireInSightWhileCuttingIsOn)
{
    // Two sample poles as the mission places them, and the wires between them.
    ConObjGroup* power = ConObjCreateGroup("power", "CROSS", "", 0.03f, 0.0f, 1.0f, 8);
    ASSERT_NE(power, nullptr);
    for (Vector3 at : {Vector3{0.0f, 0.0f, 50.0f}, Vector3{80.0f, 10.0f, 70.0f}}) {
        Structure* pole = new Structure;
        pole->needsPlacing = 0;
        ApplyDefFile("object\\structures\\pole.def", pole);
        Placed(pole, at)->placedOnce = 1;
        ASSERT_EQ(ConObjGroupAppendObject(power, pole), 1);
    }
    ConObjPointSet* span = power->first;
    s32_t wire = 0;
    while (wire < MAX_WIRE_POINTS && !span->WireIntact(wire))
        ++wire;
    ASSERT_LT(wire, MAX_WIRE_POINTS);
    const CameraState savedCamera = g_camera;
    // The viewer 10 units in front of the middle of the wire, looking along +z at it.
    const Vector3 a = span->minusPoints[wire], b = span->next->plusPoints[wire];
    const Vector3 eye = {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2 - 10.0f};
    CameraBuildViewMatrix(&g_camera.view, &g_camera.world, eye.x, eye.y, eye.z, 0.0f, 0.0f, 0.0f);
    D3DXMatrixPerspectiveFovLH(&g_camera.projection, D3DX_PI / 2, 4.0f / 3.0f, 0.2f, 1000.0f);
    CameraExtractAxes();
    FrustumBuildBox();
    float* view = GameGetViewPos();
    view[0] = eye.x;
    view[1] = eye.y;
    view[2] = eye.z;
    GameSetPickedObject(nullptr);

    // Cutting off: the wire is sighted and stays whole.
    WireSetCutEnabled(false);
    UseClick();
    EXPECT_EQ(WireGetSighted().pointSet, span);
    EXPECT_EQ(span->cut[wire], 0);
    EXPECT_EQ(m_plugin->objectUses, 0);
    // Cutting on: the click cuts it.
    WireSetCutEnabled(true);
    UseClick();
    EXPECT_EQ(span->cut[wire], 1);
    EXPECT_EQ(m_plugin->objectUses, 0);
    WireSetCutEnabled(false);
    g_camera = savedCamera;
}

TEST_F(PlayerHands, TheCommandMenuKeysWithThreeEntries)
{
    CommandMenuItem items[3];
    CommandMenuEntries entries = {&items[0], &items[1], &items[2]};
    g_hudInput.commandMenu.entries = &entries;

    // Closed: "cmd_menu_sel" let go opens it, unless an object is in use.
    RecordingEnvelope crate;
    g_playerControl.objectInUse = &crate;
    KeysFrame({}, {ACTION_CMD_MENU_SEL});
    EXPECT_EQ(g_hudInput.flags.commandMenuOpen, 0);
    g_playerControl.objectInUse = nullptr;
    // Opened over a living sample soldier, the menu is about him.
    AIInterface* otherAi = new AIInterface();
    Actor* other = otherAi->body;
    ApplyDefFile("object\\actors\\soldier.def", other);
    RecordingEnvelope envelope;
    envelope.Attach(other);
    GameSetPickedObject(&envelope);
    KeysFrame({}, {ACTION_CMD_MENU_SEL});
    EXPECT_EQ(g_hudInput.flags.commandMenuOpen, 1);
    EXPECT_EQ(g_commandMenuCalls.starts, 1);
    EXPECT_EQ(g_commandMenuCalls.target, other);
    other->pickedHighlight = other->markedHighlight = 1;

    const u8_t one = kKeyCodeOne, zero = kKeyCodeZero;
    const u8_t four = one + 3, five = one + 4;
    // "5" is past the closing line (n + 1 = 4): nothing, and the key stays down.
    KeysFrame({}, {}, {five});
    EXPECT_EQ(g_hudInput.commandMenu.selection, 0);
    EXPECT_EQ(g_input.keyStates[five], INPUT_STATE_DOWN);
    EXPECT_EQ(g_commandMenuCalls.parentSteps + g_commandMenuCalls.childSelections, 0);
    EXPECT_EQ(g_hudInput.flags.commandMenuOpen, 1);
    // "2" chooses the second entry; the key is taken.
    KeysFrame({}, {}, {one + 1});
    EXPECT_EQ(g_commandMenuCalls.lastChild, 1);
    EXPECT_EQ(g_hudInput.commandMenu.selection, 0);
    EXPECT_EQ(g_input.keyStates[one + 1], 0);
    // "0" goes back; the lowest number held counts.
    KeysFrame({}, {}, {zero, one});
    EXPECT_EQ(g_commandMenuCalls.parentSteps, 1);
    EXPECT_EQ(g_commandMenuCalls.childSelections, 1);
    EXPECT_EQ(g_input.keyStates[one], INPUT_STATE_DOWN);
    // "zoomin" and "zoomout" move the highlight within 0 .. 4.
    for (int i = 0; i < 6; ++i)
        KeysFrame({ACTION_ZOOMIN}, {});
    EXPECT_EQ(g_hudInput.commandMenu.selection, 4);
    KeysFrame({ACTION_ZOOMOUT}, {});
    EXPECT_EQ(g_hudInput.commandMenu.selection, 3);
    // "4" closes it.
    KeysFrame({}, {}, {four});
    EXPECT_EQ(g_hudInput.flags.commandMenuOpen, 0);
    EXPECT_EQ(g_hudInput.commandMenu.selection, 0);
    EXPECT_EQ(other->pickedHighlight, 0);
    EXPECT_EQ(other->markedHighlight, 0);
    g_hudInput.commandMenu.entries = nullptr;

    // Over the player himself there is no target: the menu lists the friendly soldiers instead.
    RecordingEnvelope own;
    own.Attach(m_soldier);
    GameSetPickedObject(&own);
    KeysFrame({}, {ACTION_CMD_MENU_SEL});
    EXPECT_EQ(g_commandMenuCalls.starts, 2);
    EXPECT_EQ(g_commandMenuCalls.target, nullptr);
    GameSetPickedObject(nullptr);
    m_soldier->envelope = nullptr;
    other->envelope = nullptr;
    other->DetachAI();
    delete other;
}

TEST_F(PlayerHands, AcceptKeysEndTimersOrSendChatTexts)
{
    for (const char* name : {"t0", "t1", "t2", "t3", "t4"})
        StartTimer(nullptr, name, 60);
    // Without a game mode "accept_cmd_g1_0" ends timer 3; the fourth group ends none.
    KeysFrame({}, {ACTION_ACCEPT_CMD_G1_0, ACTION_ACCEPT_CMD_G3_0});
    GrowArray<MissionTimer*>* timers = GetTimerList();
    ASSERT_EQ(timers->count, 4);
    EXPECT_STREQ((*timers)[3]->name.Text(), "t4");
    EXPECT_TRUE(Messages().empty());

    // Under a chat game mode the keys send the account's texts: the global ones to the plug-ins too.
    GameMod chat;
    chat.chatFlag = 1;
    g_frameView.currentGameMod = &chat;
    const std::string global = as_globalmsg4.String(), team = as_teammsg1.String();
    as_globalmsg4.SetString("hold the bridge");
    as_teammsg1.SetString("on me");
    KeysFrame({}, {ACTION_ACCEPT_CMD_G1_0});
    EXPECT_EQ(timers->count, 4);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), "hold the bridge\n");
    EXPECT_EQ(m_plugin->messageLines, 1);
    EXPECT_STREQ(m_plugin->lastMessage, "hold the bridge\n");
    KeysFrame({}, {ACTION_ACCEPT_CMD_G1_2});
    EXPECT_EQ(Messages().back(), "on me\n");
    EXPECT_EQ(m_plugin->messageLines, 1);
    as_globalmsg4.SetString(global.c_str());
    as_teammsg1.SetString(team.c_str());
    g_frameView.currentGameMod = nullptr;
}

TEST_F(PlayerHands, CodedMessageKeysSignalTheirColourAtOnceOrAfterACountdown)
{
    // Only tutorial-type missions run these keys on foot: the single-player mode 1 or the map
    // "tutorial" in any case.
    const EngineString map(GameCurrentMapName().Text());
    const s32_t mode = SinglePlayerMode();
    const std::tuple<s32_t, const char*, bool> missions[] = {
        {0, "map_01", false}, {1, "map_01", true}, {0, "TutoRial", true}, {0, "tutorial2", false}};
    for (const auto& [singlePlayerMode, mapName, tutorial] : missions) {
        SetSinglePlayerMode(singlePlayerMode);
        GameCurrentMapName().Assign(mapName);
        EXPECT_EQ(GameMissionIsTutorialType(), tutorial) << singlePlayerMode << " " << mapName;
    }
    SetSinglePlayerMode(mode);
    GameCurrentMapName().Assign(map);

    // The "now" key ends a code that is not counting; the countdown key starts one.
    KeysFrame({}, {ACTION_CODEGREEN});
    EXPECT_EQ(g_codeCountdowns[CODE_SIGNAL_GREEN].active, 0u);
    KeysFrame({}, {ACTION_CODEBLUE5});
    EXPECT_NE(g_codeCountdowns[CODE_SIGNAL_BLUE].active, 0u);
    EXPECT_EQ(g_codeCountdowns[CODE_SIGNAL_BLUE].count, CODE_COUNTDOWN_START);
    GameCodeReset();
    // A game mode without coded messages keeps the keys quiet; one with them lets them through.
    GameMod mod;
    g_frameView.currentGameMod = &mod;
    KeysFrame({}, {ACTION_CODERED5});
    EXPECT_EQ(g_codeCountdowns[CODE_SIGNAL_RED].active, 0u);
    mod.aiSoldiers = 1;
    KeysFrame({}, {ACTION_CODERED5});
    EXPECT_NE(g_codeCountdowns[CODE_SIGNAL_RED].active, 0u);
    g_frameView.currentGameMod = nullptr;
}

}  // namespace
