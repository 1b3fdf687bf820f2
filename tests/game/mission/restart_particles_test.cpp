// What a mission restart tells the particle plug-ins: one reset per restart, and a helicopter whose
// rotor still turns raises its dust again on its next update instead of staying bare.
#include <gtest/gtest.h>

#include "actors/vehicles/helicopter.h"
#include "core/console/console.h"
#include "core/plugins/plugin_host.h"
#include "game/game_state.h"
#include "game/mission/mission_end.h"
#include "game/accounts/restart_info.h"
#include "platform/win32.h"
#include "render/render_cvars.h"
#include "tests/actors/vehicles/vehicle_kinds_support.h"
#include "tests/actors/vehicles/vehicle_test_support.h"
#include "tests/plugins/game_plugin/game_plugin_state.h"

namespace {

class RestartParticles : public vehicle_test::FlatLandFixture {
protected:
    void SetUp() override
    {
        FlatLandFixture::SetUp();
        ConStartup();
        rbparticles.SetBool(true);
        RegisterHostInterface(g_pluginHost);
        PluginRecord* record = g_pluginHost.LoadPluginFile(ZINTAR_TEST_PLUGIN_DIR, "game_test.plg");
        ASSERT_NE(record, nullptr);
        auto get = reinterpret_cast<GamePluginStateFn>(
            GetProcAddress(static_cast<HMODULE>(record->Module()), "GamePluginGetState"));
        ASSERT_NE(get, nullptr);
        m_plugin = get();
        *m_plugin = GamePluginState();
        m_heli = vehicle_test::SampleKind<Helicopter>("heli", {300.0f, 0.0f, 300.0f});
        ASSERT_TRUE(DynObjectAdd(m_heli));
        m_heli->Update();
        g_game.savingRestart = true;
        RestartInfoSave();
        g_game.savingRestart = false;
    }
    void TearDown() override
    {
        RestartInfoFree();
        DynObjectRemove(m_heli);
        delete m_heli;
        g_pluginHost.Clear();
        ConShutdown();
        FlatLandFixture::TearDown();
    }
    s32_t Resets() const { return m_plugin->particleEvents[HookParticlesReset & 7]; }
    s32_t Spawns() const { return m_plugin->particleEvents[HookParticlesSpawn & 7]; }

    GamePluginState* m_plugin = nullptr;
    Helicopter* m_heli = nullptr;
};

TEST_F(RestartParticles, EveryRestartResetsOnceAndTheTurningRotorRaisesTheDustAgain)
{
    ASSERT_STREQ(m_heli->effectName, "heli_dust");
    m_heli->rotorSpeed = m_heli->max_rotorspeed;
    m_heli->Update();
    ASSERT_TRUE(m_heli->effectStarted);
    ASSERT_EQ(Spawns(), 1);
    m_heli->Update();
    EXPECT_EQ(Spawns(), 1) << "the dust starts once while the rotor turns";
    EXPECT_EQ(Resets(), 0);

    for (s32_t restart = 1; restart <= 2; ++restart) {
        SCOPED_TRACE(restart);
        EXPECT_EQ(MissionRestartCommand(nullptr), 0);
        EXPECT_EQ(Resets(), restart);
        EXPECT_EQ(Spawns(), restart) << "the restart itself spawns nothing";
        EXPECT_FALSE(m_heli->effectStarted);
        m_heli->Update();
        EXPECT_TRUE(m_heli->effectStarted);
        EXPECT_EQ(Spawns(), restart + 1) << "the reset removed the dust: it is raised again";
    }
}

}  // namespace
