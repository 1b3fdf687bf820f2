// Display modes: the six-attempt ladder, refresh rates, what a failed attempt keeps, mode changes,
// the log and console report, and the format and filter tables.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/console/console.h"
#include "render/render_cvars.h"
#include "render/textures/texture_manager.h"
#include "scene/draw_records/draw_records.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/render_test_support.h"

using namespace render_test;

namespace {

constexpr DWORD kHardware = D3DCREATE_MULTITHREADED | D3DCREATE_HARDWARE_VERTEXPROCESSING;
constexpr DWORD kSoftware = D3DCREATE_MULTITHREADED | D3DCREATE_SOFTWARE_VERTEXPROCESSING;

class DisplayModes : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(m_window.Handle(), nullptr);
        ASSERT_EQ(RenderInit(m_window.Handle()), 0);
        SceneDrawListsInit();
        D3D8TestClearCreateAttempts();
    }
    void TearDown() override
    {
        D3D8TestFailDepthFormats(nullptr, 0);
        D3D8TestSetAdapterModes(nullptr, -1);
        D3D8TestClearShaderVersions();
        RenderShutdown(false);
    }
    static std::vector<D3D8CreateAttempt> Attempts()
    {
        const D3D8CreateAttempt* attempts = nullptr;
        const int count = D3D8TestCreateAttempts(&attempts);
        return std::vector<D3D8CreateAttempt>(attempts, attempts + count);
    }

private:
    TestWindow m_window;
};

// Start-up makes the world passes' record list and counts texture memory from zero; shutdown
// frees the list.
TEST(RenderStartUp, MakesTheDrawRecordListAndZeroesTheTextureCounters)
{
    TestWindow window;
    g_textures.totalBytes = 5000;
    g_textures.commonBytes = 700;
    ASSERT_EQ(RenderInit(window.Handle()), 0);
    SceneDrawListsInit();
    EXPECT_EQ(g_textures.totalBytes, 0u);
    EXPECT_EQ(g_textures.commonBytes, 0u);
    EXPECT_NE(g_drawRecords.buffer, nullptr);
    EXPECT_EQ(g_drawRecords.capacity, 1024u);
    EXPECT_NE(g_drawRecords.index, nullptr);
    EXPECT_EQ(g_drawRecords.indexCapacity, 64u);
    EXPECT_EQ(g_drawRecords.used, 0u);
    EXPECT_EQ(g_drawRecords.count, 0u);

    RenderShutdown(false);
    EXPECT_EQ(g_drawRecords.buffer, nullptr);
    EXPECT_EQ(g_drawRecords.index, nullptr);
    EXPECT_EQ(g_drawRecords.capacity, 0u);
    EXPECT_EQ(g_drawRecords.indexCapacity, 0u);
}

TEST_F(DisplayModes, TheLadderTriesItsRungsInOrderUntilOneSucceeds)
{
    const D3DDISPLAYMODE modes[] = {{64, 48, 60, D3DFMT_X8R8G8B8}, {64, 48, 75, D3DFMT_X8R8G8B8}};
    D3D8TestSetAdapterModes(modes, 2);
    const D3DFORMAT failing[] = {D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D24X4S4};
    D3D8TestFailDepthFormats(failing, 3);
    ASSERT_EQ(RenderSetDisplayModeLadder(64, 48, false, 85), 0);
    const std::vector<D3D8CreateAttempt> attempts = Attempts();
    const struct {
        D3DFORMAT depth;
        DWORD flags;
        UINT refresh;
    } expected[] = {{D3DFMT_D24S8, kHardware, 75},
                    {D3DFMT_D24X8, kHardware, 75},
                    {D3DFMT_D24X4S4, kSoftware, 75},
                    {D3DFMT_D24X8, kSoftware, 0},
                    {D3DFMT_D16, kHardware, 0}};
    ASSERT_EQ(attempts.size(), 5u);
    for (size_t i = 0; i < attempts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(attempts[i].backBufferFormat, D3DFMT_X8R8G8B8);
        EXPECT_EQ(attempts[i].depthFormat, expected[i].depth);
        EXPECT_EQ(attempts[i].behaviourFlags, expected[i].flags);
        EXPECT_EQ(attempts[i].refreshRate, expected[i].refresh);
        EXPECT_EQ(attempts[i].windowed, FALSE);
    }
    EXPECT_NE(g_render.device, nullptr);
    EXPECT_FALSE(g_render.stencil);
    EXPECT_EQ(g_render.vertexProcessing, 2);
}

TEST_F(DisplayModes, AllSixFailingLeavesNoDevice)
{
    const D3DFORMAT failing[] = {D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D24X4S4, D3DFMT_D16};
    D3D8TestFailDepthFormats(failing, 4);
    EXPECT_EQ(RenderSetDisplayModeLadder(64, 48, true, 60), -1);
    EXPECT_EQ(Attempts().size(), 6u);
    EXPECT_EQ(Attempts().back().behaviourFlags, kSoftware);
    EXPECT_EQ(g_render.device, nullptr);
}

TEST_F(DisplayModes, FullScreenTakesTheHighestRefreshNotAboveTheRequest)
{
    const D3DDISPLAYMODE modes[] = {
        {64, 48, 60, D3DFMT_X8R8G8B8}, {64, 48, 100, D3DFMT_X8R8G8B8},  {64, 48, 75, D3DFMT_X8R8G8B8},
        {64, 48, 85, D3DFMT_R5G6B5},   {800, 600, 85, D3DFMT_X8R8G8B8},
    };
    D3D8TestSetAdapterModes(modes, 5);
    struct Case {
        int requested;
        bool windowed;
        UINT expected;
    };
    const Case cases[] = {{85, false, 75}, {50, false, 0}, {100, false, 100}, {0, false, 0}, {85, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requested);
        ASSERT_EQ(RenderSetDisplayMode(64, 48, c.requested, D3DFMT_X8R8G8B8, D3DFMT_D24S8, c.windowed, 2), 0);
        EXPECT_EQ(g_render.presentParameters.FullScreen_RefreshRateInHz, c.expected);
        EXPECT_EQ(g_render.presentParameters.FullScreen_PresentationInterval,
                  c.windowed ? D3DPRESENT_INTERVAL_DEFAULT : D3DPRESENT_INTERVAL_IMMEDIATE);
    }
}

TEST_F(DisplayModes, AModeChangeReleasesTheOldDeviceBeforeMakingTheNewOne)
{
    ASSERT_EQ(RenderSetDisplayMode(64, 48, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    IDirect3DDevice8* old = g_render.device;
    old->AddRef();
    ASSERT_EQ(RenderSetDisplayMode(32, 24, 0, D3DFMT_X8R8G8B8, D3DFMT_D16, true, 0), 0);
    EXPECT_NE(g_render.device, old);
    EXPECT_EQ(D3D8TestLiveDefaultPoolResources(old), 0u);  // its buffers and targets went first
    EXPECT_EQ(old->Release(), 0ul);                        // and ours was the last reference
    EXPECT_EQ(g_render.screenWidth, 32);
    EXPECT_EQ(g_render.presentParameters.AutoDepthStencilFormat, D3DFMT_D16);
}

TEST_F(DisplayModes, AFailedAttemptKeepsNothingOfItsOwn)
{
    ASSERT_EQ(RenderSetDisplayMode(64, 48, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    const D3DFORMAT failing[] = {D3DFMT_D16};
    D3D8TestFailDepthFormats(failing, 1);
    EXPECT_EQ(RenderSetDisplayMode(32, 24, 0, D3DFMT_X8R8G8B8, D3DFMT_D16, false, 0), -1);
    EXPECT_EQ(g_render.RenderLastResult, D3DERR_NOTAVAILABLE);
    EXPECT_EQ(g_render.presentParameters.BackBufferWidth, 64u);
    EXPECT_EQ(g_render.presentParameters.AutoDepthStencilFormat, D3DFMT_D24S8);
    EXPECT_EQ(g_render.presentParameters.Windowed, TRUE);
    EXPECT_EQ(g_render.vertexProcessing, 2);
}

TEST_F(DisplayModes, ShadersNeedBothVersions)
{
    struct Case {
        DWORD vertex, pixel;
        bool shaders;
    };
    const Case cases[] = {{D3DVS_VERSION(1, 1), D3DPS_VERSION(1, 1), true},
                          {D3DVS_VERSION(1, 1), 0, false},
                          {D3DVS_VERSION(1, 1), D3DPS_VERSION(0, 0), false},
                          {0, D3DPS_VERSION(1, 4), false}};
    for (const Case& c : cases) {
        D3D8TestSetShaderVersions(c.vertex, c.pixel);
        ASSERT_EQ(RenderSetDisplayMode(64, 48, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
        EXPECT_EQ(g_render.shaders, c.shaders) << std::hex << c.vertex << " " << c.pixel;
        EXPECT_EQ(RenderDeviceSupportsShaders(), c.shaders);
    }
}

TEST_F(DisplayModes, TheDeviceReportGoesToConsoleZero)
{
    ConStartup();
    ASSERT_EQ(RenderSetDisplayMode(64, 48, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    RenderLogDeviceInfo();
    std::string text;
    char** lines = ConLines(0);
    for (int i = 0; lines && i < ConLineCapacity(0); ++i) {
        if (lines[i])
            text += std::string(lines[i]) + "|";
    }
    ConShutdown();
    EXPECT_NE(text.find("Direct3D Device Driver"), std::string::npos) << text;
    EXPECT_NE(text.find(" Ver "), std::string::npos) << text;
    EXPECT_NE(text.find("Graphics mode: windowed 64x48 D3DFMT_X8R8G8B8"), std::string::npos) << text;
}

TEST(DisplayModeTables, FormatsAndFilterNames)
{
    const struct {
        D3DFORMAT format;
        int bits;
        const char* name;
        int depthBits;
    } formats[] = {
        {D3DFMT_X8R8G8B8, 32, "D3DFMT_X8R8G8B8", 0},
        {D3DFMT_R5G6B5, 16, "D3DFMT_R5G6B5", 0},
        {D3DFMT_A4L4, 8, "D3DFMT_A4L4", 0},
        {D3DFMT_DXT1, 0, nullptr, 0},
        {D3DFMT_D24S8, 0, nullptr, 32},
        {D3DFMT_D15S1, 0, nullptr, 16},
        {D3DFMT_D24X4S4, 0, nullptr, 32},
        {D3DFMT_UNKNOWN, 0, nullptr, 0},
    };
    for (const auto& f : formats) {
        SCOPED_TRACE(f.format);
        EXPECT_EQ(FormatBitsPerPixel(f.format), f.bits);
        EXPECT_EQ(DepthFormatBits(f.format), f.depthBits);
        if (f.name)
            EXPECT_STREQ(FormatName(f.format), f.name);
        else
            EXPECT_EQ(FormatName(f.format), nullptr);
    }
    const bool anisotropic = rbanisotropic.Bool();
    const struct {
        const char* name;
        bool allowAnisotropic;
        DWORD filter;
    } filters[] = {{"NONE", true, D3DTEXF_NONE},
                   {"none", true, D3DTEXF_NONE},
                   {"LINEAR", true, D3DTEXF_LINEAR},
                   {"anisotropic", true, D3DTEXF_ANISOTROPIC},
                   {"ANISOTROPIC", false, D3DTEXF_LINEAR},
                   {"POINT", true, D3DTEXF_LINEAR},
                   {"", true, D3DTEXF_LINEAR}};
    for (const auto& f : filters) {
        rbanisotropic.SetBool(f.allowAnisotropic);
        EXPECT_EQ(TextureFilterFromName(f.name), f.filter) << f.name;
    }
    rbanisotropic.SetBool(anisotropic);
}

TEST_F(DisplayModes, TheModeListKeepsThreeSizesOnceEach)
{
    const D3DDISPLAYMODE modes[] = {
        {640, 480, 60, D3DFMT_X8R8G8B8},   {800, 600, 60, D3DFMT_X8R8G8B8},  {800, 600, 75, D3DFMT_X8R8G8B8},
        {1024, 768, 60, D3DFMT_R5G6B5},    {1024, 768, 60, D3DFMT_X8R8G8B8}, {1280, 1024, 60, D3DFMT_X8R8G8B8},
        {1600, 1200, 60, D3DFMT_X8R8G8B8},
    };
    D3D8TestSetAdapterModes(modes, 7);
    EngineString** strings = nullptr;
    int count = 0;
    RenderListDisplayModes(&strings, &count);
    ASSERT_EQ(count, 3);
    EXPECT_STREQ(strings[0]->Text(), "800 x 600 32bit");
    EXPECT_STREQ(strings[1]->Text(), "1024 x 768 32bit");
    EXPECT_STREQ(strings[2]->Text(), "1280 x 1024 32bit");
    for (int i = 0; i < count; ++i)
        delete strings[i];
    std::free(strings);
}

// The log of a mode, from a child with a log of its own.
int SetModeAndLog()
{
    const char* depth = std::getenv("TEST_DEPTH");
    TestWindow window(800, 600);
    if (RenderInit(window.Handle()) != 0)
        return 10;
    const D3DFORMAT format = depth && std::string(depth) == "D24X8" ? D3DFMT_D24X8 : D3DFMT_D24S8;
    const int result = RenderSetDisplayMode(800, 600, 0, D3DFMT_X8R8G8B8, format, true, 2);
    RenderShutdown(false);
    return result == 0 ? 0 : 11;
}
const bool g_setModeJob = RegisterChildJob("render-set-mode", SetModeAndLog);

// The window's own size and kind follow the mode's lines: what the system made of the request.
TEST(DisplayModeLog, TheModeIsLoggedWithItsDepthAndStencil)
{
    const struct {
        const char* depth;
        const char* lines;
    } cases[] = {
        {"D24S8",
         "\nResolution set to 800x600 0Hz.\nBackbuffer format is D3DFMT_X8R8G8B8.\nDepthbuffer bit depth is 32 bits.\n"
         "Device is using stencil buffer.\nDevice is using shaders.\nWindow is 800x600, windowed.\n\n"},
        {"D24X8",
         "\nResolution set to 800x600 0Hz.\nBackbuffer format is D3DFMT_X8R8G8B8.\nDepthbuffer bit depth is 32 "
         "bits.\nDevice is using shaders.\nWindow is 800x600, windowed.\n\nDestroying"},
    };
    for (const auto& c : cases) {
        TempDir folder;
        const ProgramResult result =
            RunChildJob("render-set-mode", folder.Path(), {{"TEST_DEPTH", c.depth}, {"SDL_VIDEODRIVER", "offscreen"}});
        EXPECT_TRUE(result.exited);
        EXPECT_EQ(result.exitCode, 0);
        const std::string log = ReadFileBytes(folder.Path() + "/zintar.log");
        EXPECT_NE(log.find(c.lines), std::string::npos) << log;
    }
}

}  // namespace
