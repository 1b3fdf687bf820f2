// The render device's clients: hooks called in the order of their values on a reset, a display-mode
// change, the textures' reload and the render shutdown, and the world renderer's clients letting go
// at render shutdown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/device/device_hooks.h"
#include "render/device/render_device.h"
#include "render/textures/texture_manager.h"
#include "scene/passes/decal_list.h"
#include "scene/sky/sun_effect.h"
#include "scene/vegetation/vegetation.h"
#include "scene/scene_state.h"
#include "support/render_test_support.h"
#include "world/decals/decal.h"

using namespace render_test;

namespace {

std::vector<std::string> g_calls;

template <int Order>
RenderDeviceHooks RecordingClient()
{
    return {Order, [] { g_calls.push_back("release " + std::to_string(Order)); },
            [] { g_calls.push_back("recreate " + std::to_string(Order)); },
            [](bool freeVegetation) {
                g_calls.push_back("shutdown " + std::to_string(Order) + (freeVegetation ? " vegetation" : ""));
            },
            [] { g_calls.push_back("textures " + std::to_string(Order)); }};
}

class DeviceHooks : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        g_calls.clear();
        m_clientsBefore = RenderDeviceHookCount();
    }
    void TearDown() override
    {
        for (s32_t order : {1, 2, 3})
            RenderUnregisterDeviceHooks(order);
        RenderCore::TearDown();
        EXPECT_EQ(RenderDeviceHookCount(), m_clientsBefore);
    }

    s32_t m_clientsBefore = 0;
};

TEST_F(DeviceHooks, ClientsAreCalledInTheOrderOfTheirValuesOnEveryRoad)
{
    RenderRegisterDeviceHooks(RecordingClient<3>());
    RenderRegisterDeviceHooks(RecordingClient<1>());
    RenderRegisterDeviceHooks(RecordingClient<2>());
    EXPECT_EQ(RenderDeviceHookCount(), m_clientsBefore + 3);

    D3D8TestSetCooperativeLevel(Device(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(RenderBeginFrame(), -1);
    EXPECT_EQ(Counts().reset, 1u);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"release 1", "release 2", "release 3", "recreate 1", "recreate 2",
                                                 "recreate 3"}));

    g_calls.clear();
    ASSERT_EQ(RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D16, true, 2), 0);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"release 1", "release 2", "release 3", "recreate 1", "recreate 2",
                                                 "recreate 3"}));

    // Once the textures are loaded again on the new device, the clients make theirs.
    g_calls.clear();
    TexturesRecreate();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"textures 1", "textures 2", "textures 3"}));

    // The shutdown hooks run first, with the shutdown's argument; the device resources go after.
    g_calls.clear();
    RenderShutdown(true);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"shutdown 1 vegetation", "shutdown 2 vegetation",
                                                 "shutdown 3 vegetation", "release 1", "release 2", "release 3"}));
}

TEST_F(DeviceHooks, ARegistrationReplacesItsOrderAndAClientGoneDuringAWalkIsNotCalled)
{
    RenderRegisterDeviceHooks(RecordingClient<2>());
    RenderRegisterDeviceHooks(RecordingClient<3>());
    // Order 2 again, now with a shutdown hook that lets client 3 go before the walk reaches it.
    RenderRegisterDeviceHooks({2, nullptr, nullptr,
                               [](bool) {
                                   g_calls.push_back("shutdown 2 unregisters 3");
                                   RenderUnregisterDeviceHooks(3);
                               },
                               nullptr});
    EXPECT_EQ(RenderDeviceHookCount(), m_clientsBefore + 2);
    EXPECT_TRUE(RenderDeviceHooksRegistered(3));

    RenderShutdown(false);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"shutdown 2 unregisters 3"}));
    EXPECT_FALSE(RenderDeviceHooksRegistered(3));
    RenderUnregisterDeviceHooks(3);  // gone already: ignored
    EXPECT_EQ(RenderDeviceHookCount(), m_clientsBefore + 1);
}

TEST_F(DeviceHooks, TheRenderShutdownFreesTheSunAndTheDecalsAndTheVegetationOnlyWhenAsked)
{
    RenderSetSunEffect(new SunEffect{new SunFlareElement[2](), 2});
    DecalListAdd(new Decal, false);
    VegetationInit();
    EXPECT_TRUE(RenderDeviceHooksRegistered(RENDER_HOOK_SUN_EFFECT));
    EXPECT_TRUE(RenderDeviceHooksRegistered(RENDER_HOOK_DECAL_LIST));
    EXPECT_TRUE(RenderDeviceHooksRegistered(RENDER_HOOK_VEGETATION));

    RenderShutdown(false);
    EXPECT_EQ(RenderGetSunEffect(), nullptr);
    EXPECT_EQ(DecalListCount(), 0);
    EXPECT_FALSE(RenderDeviceHooksRegistered(RENDER_HOOK_SUN_EFFECT));
    EXPECT_FALSE(RenderDeviceHooksRegistered(RENDER_HOOK_DECAL_LIST));
    EXPECT_TRUE(RenderDeviceHooksRegistered(RENDER_HOOK_VEGETATION));  // kept at the program's end

    RenderShutdown(true);
    EXPECT_FALSE(RenderDeviceHooksRegistered(RENDER_HOOK_VEGETATION));
    EXPECT_EQ(g_scene.vegetationTexture, nullptr);
}

}  // namespace
