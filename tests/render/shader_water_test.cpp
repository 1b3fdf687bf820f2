// The water shader set: loaded from disk or the archives with the device resources, bound with
// its constants from the camera, the map and the console variables, drawn, released.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "core/frame_view.h"
#include "core/files/vfs.h"
#include "gui/screens/gui.h"
#include "map/map_cvars.h"
#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "render/device/dynamic_buffers.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/render_clock.h"
#include "render/render_cvars.h"
#include "render/device/shaders.h"
#include "support/archive_builder.h"
#include "support/temp_dir.h"
#include "support/render_test_support.h"
#include "tests/render/texture_test_support.h"
#include "scene/draw_records/draw_lists.h"

using namespace render_test;

namespace {

DWORD g_now = 0;
DWORD FakeClock()
{
    return g_now;
}

std::string Fixture(const char* name)
{
    return ReadFileBytes(std::string(ZINTAR_TEST_DATA_DIR "/shaders/") + name);
}

void SetColour(ConsoleVar& cvar, float r, float g, float b, float a)
{
    cvar.value.asColour[0] = r;
    cvar.value.asColour[1] = g;
    cvar.value.asColour[2] = b;
    cvar.value.asColour[3] = a;
}

class WaterShaders : public ::testing::Test {
protected:
    void SetUp() override
    {
        texture_test::StartFolder();  // where the log is, before the working folder changes
        m_folder = std::make_unique<TempDir>();
        RenderSetClock(FakeClock);
        g_now = 2500;
        SetColour(rc_watercol, 0.2f, 0.4f, 0.6f, 0.8f);
        SetColour(rc_uwatercol, 0.5f, 0.25f, 1.0f, 1.0f);
        SetColour(mcmapambient, 0.1f, 0.2f, 0.3f, 1.0f);
        SetColour(mcmapdiffuse, 0.9f, 0.8f, 0.7f, 1.0f);
        mvsundir.value.asVector[0] = 0.0f;
        mvsundir.value.asVector[1] = 0.6f;
        mvsundir.value.asVector[2] = 0.8f;
        rf_waternorm.SetFloat(0.1f);
        rf_waterstretch.SetFloat(0.03f);
        rf_waterscroll.SetFloat(0.2f);
        mfwaterfog.SetFloat(800.0f);
    }
    void TearDown() override
    {
        RenderShutdown(false);
        VFSShutdown();
        RenderSetClock(nullptr);
        D3D8TestClearShaderVersions();
        g_frameView.inGameDisplay = false;
        m_folder.reset();
    }

    void WriteLoose(const char* name, const std::string& text)
    {
        ASSERT_TRUE(WriteFileBytes(m_folder->Path() + "/component/_common/" + name, text));
    }
    void WriteAllLoose()
    {
        for (const char* name : {"water.ps", "water.vs", "water1.ps", "water1.vs"})
            WriteLoose(name, Fixture(name));
    }
    // The device, whose resources load the set.
    void Start()
    {
        ASSERT_NE(m_window.Handle(), nullptr);
        ASSERT_EQ(RenderInit(m_window.Handle()), 0);
        SceneDrawListsInit();
        ASSERT_EQ(RenderSetDisplayMode(64, 48, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    }
    static std::array<float, 4> PixelConstant(DWORD reg)
    {
        std::array<float, 4> value = {};
        g_render.device->GetPixelShaderConstant(reg, value.data(), 1);
        return value;
    }
    static std::array<float, 4> VertexConstant(DWORD reg)
    {
        std::array<float, 4> value = {};
        g_render.device->GetVertexShaderConstant(reg, value.data(), 1);
        return value;
    }

    std::unique_ptr<TempDir> m_folder;

private:
    TestWindow m_window;
};

using Four = std::array<float, 4>;

TEST_F(WaterShaders, BothPairsLoadAndBindWithTheirConstants)
{
    WriteAllLoose();
    Start();
    for (int slot = 0; slot < kShaderSlots; ++slot) {
        EXPECT_EQ(g_shaderSet.pixel[slot] != 0, slot < 2) << slot;
        EXPECT_EQ(g_shaderSet.vertex[slot] != 0, slot < 2) << slot;
    }
    IDirect3DDevice8* device = g_render.device;
    D3DXMATRIX world, view, projection;
    D3DXMatrixTranslation(&world, 1.0f, 2.0f, 3.0f);
    D3DXMatrixRotationY(&view, 0.5f);
    D3DXMatrixPerspectiveFovLH(&projection, 1.0f, 1.25f, 0.5f, 100.0f);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    g_camera.eye = D3DXVECTOR3(7.0f, 8.0f, 9.0f);

    ShaderBindWater(0);
    DWORD handle = 0;
    device->GetPixelShader(&handle);
    EXPECT_EQ(handle, g_shaderSet.pixel[0]);
    device->GetVertexShader(&handle);
    EXPECT_EQ(handle, g_shaderSet.vertex[0]);
    EXPECT_EQ(PixelConstant(0), (Four{0.2f, 0.4f, 0.6f, 0.8f}));
    EXPECT_EQ(PixelConstant(1), (Four{0.0f, 0.6f, 0.8f, 0.1f}));
    EXPECT_EQ(PixelConstant(2), (Four{0.1f, 0.2f, 0.3f, 1.0f}));
    EXPECT_EQ(PixelConstant(3), (Four{0.9f, 0.8f, 0.7f, 1.0f}));
    EXPECT_EQ(PixelConstant(4), (Four{50.0f, 2.0f, 0.0f, 0.0f}));
    // c0..c3: the rows of the transposed product, that is its columns.
    const D3DXMATRIX product = world * view * projection;
    for (int row = 0; row < 4; ++row) {
        const Four expected = {product.m[0][row], product.m[1][row], product.m[2][row], product.m[3][row]};
        const Four actual = VertexConstant(static_cast<DWORD>(row));
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(actual[i], expected[i], 1e-5f) << row << " " << i;
    }
    const Four animation = VertexConstant(4);  // t = fmod(2.5 s x 0.2, 1)
    EXPECT_FLOAT_EQ(animation[0], 0.5f);
    EXPECT_NEAR(animation[1], 0.5f, 1e-6f);
    EXPECT_FLOAT_EQ(animation[2], 0.03f);
    EXPECT_FLOAT_EQ(animation[3], 0.03f);
    EXPECT_EQ(VertexConstant(5), (Four{7.0f, 8.0f, 9.0f, 1.0f}));

    ShaderBindWater(1);
    EXPECT_EQ(PixelConstant(0), (Four{0.5f, 0.25f, 1.0f, 1.0f}));
    EXPECT_EQ(PixelConstant(1), (Four{50.0f, 2.0f, 0.0f, 0.1f}));
    EXPECT_EQ(VertexConstant(6), (Four{1.0f, -1.0f, 10.0f / 800.0f, 0.0f}));

    // Any other slot binds nothing.
    ShaderUnbindPixel();
    ShaderBindWater(2);
    ShaderBindWater(-1);
    device->GetPixelShader(&handle);
    EXPECT_EQ(handle, 0u);
}

TEST_F(WaterShaders, TheBoundPairDrawsAndUnbindingLeavesTheVertexShader)
{
    WriteAllLoose();
    Start();
    IDirect3DDevice8* device = g_render.device;
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    ShaderBindWater(0);  // identity transforms: the positions are clip coordinates
    DynBufferSelect(&g_dynBuffers.shaderVertices);
    DynVertexBufferLock(4);
    const float corners[4][3] = {{-1, 1, 0.5f}, {1, 1, 0.5f}, {1, -1, 0.5f}, {-1, -1, 0.5f}};
    for (const auto& corner : corners)
        DynVertexPutVec3(corner);
    DynBuffersUnlock();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    DynVertexBufferDraw(D3DPT_TRIANGLEFAN, 4, true);
    EXPECT_TRUE(ColourNear(ReadBackBuffer(device).At(32, 24), 0xFF336699, 1));

    ShaderUnbindPixel();
    DWORD handle = 0;
    device->GetPixelShader(&handle);
    EXPECT_EQ(handle, 0u);
    device->GetVertexShader(&handle);
    EXPECT_EQ(handle, g_shaderSet.vertex[0]);
}

TEST_F(WaterShaders, TheAnimationStandsStillWhileAnInGameScreenIsUpThenJumps)
{
    WriteAllLoose();
    Start();
    struct Step {
        DWORD now;
        bool inGame;
        float time;
    };
    // Scroll 0.2: t = fmod(seconds x 0.2, 1), each slot on its own.
    const Step steps[] = {
        {2500, false, 0.5f}, {3000, true, 0.5f}, {4000, true, 0.5f}, {4000, false, 0.8f}, {6000, false, 0.2f}};
    for (const Step& step : steps) {
        g_now = step.now;
        g_frameView.inGameDisplay = step.inGame;
        ShaderBindWater(0);
        EXPECT_NEAR(VertexConstant(4)[1], step.time, 1e-5f) << step.now;
    }
    g_now = 9000;
    g_frameView.inGameDisplay = true;
    ShaderBindWater(1);
    EXPECT_NEAR(VertexConstant(4)[1], 0.0f, 1e-6f) << "slot 1 has no earlier value of its own";
}

TEST_F(WaterShaders, AFileOnlyInAnArchiveIsAssembledAndABrokenOneIsLogged)
{
    WriteLoose("water.vs", Fixture("water.vs"));
    WriteLoose("water.ps", "ps.1.1\nmov r9, c0\n");
    ASSERT_TRUE(
        WriteTestArchive(m_folder->Path() + "/main.bfs", {{"component/_common/water1.ps", Fixture("water1.ps")},
                                                          {"component/_common/water1.vs", Fixture("water1.vs")}}));
    ASSERT_TRUE(VFSInit());
    const std::size_t logStart = texture_test::LogSize();
    Start();
    EXPECT_EQ(g_shaderSet.pixel[0], 0u);
    EXPECT_NE(g_shaderSet.vertex[0], 0u);
    EXPECT_NE(g_shaderSet.pixel[1], 0u);
    EXPECT_NE(g_shaderSet.vertex[1], 0u);
    EXPECT_NE(texture_test::LogFrom(logStart).find("Shader error: (2): error: register r9 is out of range"),
              std::string::npos)
        << texture_test::LogFrom(logStart);
}

TEST_F(WaterShaders, MissingFilesAreSkippedQuietly)
{
    const std::size_t logStart = texture_test::LogSize();
    Start();
    for (int slot = 0; slot < kShaderSlots; ++slot)
        EXPECT_EQ(g_shaderSet.pixel[slot] | g_shaderSet.vertex[slot], 0u);
    EXPECT_EQ(texture_test::LogFrom(logStart).find("Shader error"), std::string::npos);
}

TEST_F(WaterShaders, WithoutVertexShadersOnlyThePixelSideIsMadeAndBound)
{
    WriteAllLoose();
    D3D8TestSetShaderVersions(0, D3DPS_VERSION(1, 4));
    Start();
    EXPECT_FALSE(g_render.shaders);
    EXPECT_NE(g_shaderSet.pixel[0], 0u);
    EXPECT_EQ(g_shaderSet.vertex[0], 0u);
    g_render.device->SetVertexShader(D3DFVF_XYZ);
    ShaderBindWater(0);
    DWORD handle = 0;
    g_render.device->GetVertexShader(&handle);
    EXPECT_EQ(handle, DWORD(D3DFVF_XYZ));
    g_render.device->GetPixelShader(&handle);
    EXPECT_EQ(handle, g_shaderSet.pixel[0]);
}

TEST_F(WaterShaders, TheSetFollowsTheDeviceResourcesThroughAReset)
{
    WriteAllLoose();
    Start();
    RenderReleaseDeviceResources();
    for (int slot = 0; slot < kShaderSlots; ++slot)
        EXPECT_EQ(g_shaderSet.pixel[slot] | g_shaderSet.vertex[slot], 0u);
    RenderReleaseDeviceResources();  // twice is harmless
    ASSERT_EQ(g_render.device->Reset(&g_render.presentParameters), D3D_OK);
    RenderCreateDeviceResources();
    EXPECT_NE(g_shaderSet.pixel[0], 0u);
    EXPECT_NE(g_shaderSet.vertex[1], 0u);
}

}  // namespace
