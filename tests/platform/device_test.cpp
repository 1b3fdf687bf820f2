// The device's contract apart from pixels: defaults, Reset and the default pool, locks, level
// layouts, private data, the program cache and the injection hooks.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/d3d8_test_hooks.h"
#include "support/render_test_support.h"

using namespace render_test;

namespace {

class Device : public RawDeviceTest {
protected:
    Device() : RawDeviceTest(32, 32, D3DCREATE_SOFTWARE_VERTEXPROCESSING) {}
};

struct RenderStateDefault {
    D3DRENDERSTATETYPE state;
    DWORD value;
};
const RenderStateDefault kRenderStateDefaults[] = {
    {D3DRS_ZENABLE, D3DZB_TRUE},
    {D3DRS_ZWRITEENABLE, TRUE},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
    {D3DRS_LIGHTING, TRUE},
    {D3DRS_CULLMODE, D3DCULL_CCW},
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
    {D3DRS_STENCILMASK, 0xFFFFFFFFu},
    {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
    {D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu},
    {D3DRS_FOGEND, 0x3F800000u},
    {D3DRS_COLORVERTEX, TRUE},
    {D3DRS_COLORWRITEENABLE, 0xF},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
    {D3DRS_SOFTWAREVERTEXPROCESSING, TRUE},
    {D3DRS_ALPHABLENDENABLE, FALSE},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
};

struct StageDefault {
    DWORD stage;
    D3DTEXTURESTAGESTATETYPE type;
    DWORD value;
};
const StageDefault kStageDefaults[] = {
    {0, D3DTSS_COLOROP, D3DTOP_MODULATE},
    {1, D3DTSS_COLOROP, D3DTOP_DISABLE},
    {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
    {7, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
    {3, D3DTSS_COLORARG1, D3DTA_TEXTURE},
    {3, D3DTSS_COLORARG2, D3DTA_CURRENT},
    {5, D3DTSS_TEXCOORDINDEX, 5},
    {2, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP},
    {0, D3DTSS_MINFILTER, D3DTEXF_POINT},
    {0, D3DTSS_MIPFILTER, D3DTEXF_NONE},
    {4, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE},
    {6, D3DTSS_MAXANISOTROPY, 1},
};

void ExpectDefaults(IDirect3DDevice8* device)
{
    for (const RenderStateDefault& entry : kRenderStateDefaults) {
        DWORD value = 0xDEADBEEF;
        device->GetRenderState(entry.state, &value);
        EXPECT_EQ(value, entry.value) << "render state " << entry.state;
    }
    for (const StageDefault& entry : kStageDefaults) {
        DWORD value = 0xDEADBEEF;
        device->GetTextureStageState(entry.stage, entry.type, &value);
        EXPECT_EQ(value, entry.value) << "stage " << entry.stage << " type " << entry.type;
    }
}

TEST_F(Device, StatesStartAtDirect3DDefaultsAndReturnToThemOnReset)
{
    ExpectDefaults(device);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    device->SetTextureStageState(5, D3DTSS_TEXCOORDINDEX, 0);
    ASSERT_EQ(device->Reset(&parameters), D3D_OK);
    ExpectDefaults(device);
}

TEST_F(Device, ResetIsRefusedWhileDefaultPoolResourcesLive)
{
    IDirect3DVertexBuffer8* buffer = nullptr;
    IDirect3DTexture8* managed = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(64, D3DUSAGE_WRITEONLY, D3DFVF_XYZ, D3DPOOL_DEFAULT, &buffer), D3D_OK);
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed), D3D_OK);
    EXPECT_EQ(D3D8TestLiveDefaultPoolResources(device), 1u);
    EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
    buffer->Release();
    EXPECT_EQ(device->Reset(&parameters), D3D_OK);  // managed resources survive a reset
    managed->Release();
}

TEST_F(Device, InjectedLossReachesTheCooperativeLevelPresentAndReset)
{
    D3D8TestSetCooperativeLevel(device, D3DERR_DEVICELOST);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Reset(&parameters), D3DERR_DEVICELOST);
    D3D8TestSetCooperativeLevel(device, D3DERR_DEVICENOTRESET);
    D3D8TestSetResetResult(device, D3DERR_DRIVERINTERNALERROR);
    EXPECT_EQ(device->Reset(&parameters), D3DERR_DRIVERINTERNALERROR);  // once
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->Reset(&parameters), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

// The default presentation interval waits for the display's refresh, as interval one does, in a
// window too; only "immediate" presents at once.
TEST_F(Device, TheDefaultPresentationIntervalWaitsForTheRefresh)
{
    struct Case {
        UINT interval;
        int swapInterval;
    };
    const Case cases[] = {
        {D3DPRESENT_INTERVAL_DEFAULT, 1},
        {D3DPRESENT_INTERVAL_ONE, 1},
        {D3DPRESENT_INTERVAL_IMMEDIATE, 0},
        {D3DPRESENT_INTERVAL_DEFAULT, 1},
    };
    ASSERT_TRUE(parameters.Windowed);
    for (const Case& c : cases) {
        D3DPRESENT_PARAMETERS asked = parameters;
        asked.FullScreen_PresentationInterval = c.interval;
        ASSERT_EQ(device->Reset(&asked), D3D_OK);
        EXPECT_EQ(D3D8TestSwapInterval(device), c.swapInterval) << std::hex << c.interval;
        EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
}

TEST_F(Device, CreationFailsForInjectedDepthFormatsAndIsLogged)
{
    const D3DFORMAT failing[] = {D3DFMT_D24S8};
    D3D8TestFailDepthFormats(failing, 1);
    D3D8TestClearCreateAttempts();
    IDirect3DDevice8* second = nullptr;
    D3DPRESENT_PARAMETERS attempt = parameters;
    EXPECT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &attempt, &second), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(second, nullptr);
    attempt.AutoDepthStencilFormat = D3DFMT_D16;
    ASSERT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_MIXED_VERTEXPROCESSING, &attempt, &second),
              D3D_OK);
    second->Release();
    const D3D8CreateAttempt* attempts = nullptr;
    ASSERT_EQ(D3D8TestCreateAttempts(&attempts), 2);
    EXPECT_EQ(attempts[0].depthFormat, D3DFMT_D24S8);
    EXPECT_EQ(attempts[0].result, D3DERR_NOTAVAILABLE);
    EXPECT_EQ(attempts[1].depthFormat, D3DFMT_D16);
    EXPECT_EQ(attempts[1].behaviourFlags, D3DCREATE_MIXED_VERTEXPROCESSING);
    EXPECT_EQ(attempts[1].result, D3D_OK);
}

TEST_F(Device, BufferLocksStayInsideTheBuffer)
{
    IDirect3DVertexBuffer8* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(256, 0, 0, D3DPOOL_MANAGED, &buffer), D3D_OK);
    struct Case {
        UINT offset, size;
        HRESULT expected;
    };
    const Case cases[] = {{0, 0, D3D_OK},
                          {0, 256, D3D_OK},
                          {200, 56, D3D_OK},
                          {200, 57, D3DERR_INVALIDCALL},
                          {256, 0, D3DERR_INVALIDCALL},
                          {8, 0xFFFFFFFFu, D3DERR_INVALIDCALL}};
    for (const Case& c : cases) {
        BYTE* data = nullptr;
        EXPECT_EQ(buffer->Lock(c.offset, c.size, &data, 0), c.expected) << c.offset << "+" << c.size;
        if (c.expected == D3D_OK)
            buffer->Unlock();
    }
    BYTE* data = nullptr;
    ASSERT_EQ(buffer->Lock(16, 4, &data, D3DLOCK_NOOVERWRITE), D3D_OK);
    std::memcpy(data, "abcd", 4);
    BYTE* again = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, &again, 0), D3DERR_INVALIDCALL);  // already locked
    buffer->Unlock();
    const D3D8LockRecord last = D3D8TestLastLock(buffer);
    EXPECT_EQ(last.offset, 16u);
    EXPECT_EQ(last.size, 4u);
    EXPECT_EQ(last.flags, DWORD(D3DLOCK_NOOVERWRITE));
    ASSERT_EQ(buffer->Lock(16, 4, &data, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(std::memcmp(data, "abcd", 4), 0);
    buffer->Unlock();
    EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL);
    buffer->Release();
}

TEST_F(Device, TextureLevelsHaveDirect3DSizesAndPitches)
{
    struct Case {
        D3DFORMAT format;
        UINT width, height, level;
        UINT levelWidth, levelHeight, pitch, bytes;
    };
    const Case cases[] = {
        {D3DFMT_A8R8G8B8, 64, 16, 0, 64, 16, 256, 4096}, {D3DFMT_A8R8G8B8, 64, 16, 5, 2, 1, 8, 8},
        {D3DFMT_R5G6B5, 10, 6, 1, 5, 3, 10, 30},         {D3DFMT_L8, 7, 3, 0, 7, 3, 7, 21},
        {D3DFMT_DXT1, 64, 64, 0, 64, 64, 128, 2048},     {D3DFMT_DXT1, 64, 64, 6, 1, 1, 8, 8},
        {D3DFMT_DXT5, 16, 8, 0, 16, 8, 64, 128},         {D3DFMT_DXT3, 6, 6, 0, 6, 6, 32, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        IDirect3DTexture8* texture = nullptr;
        ASSERT_EQ(device->CreateTexture(c.width, c.height, 0, 0, c.format, D3DPOOL_MANAGED, &texture), D3D_OK);
        D3DSURFACE_DESC desc;
        ASSERT_EQ(texture->GetLevelDesc(c.level, &desc), D3D_OK);
        EXPECT_EQ(desc.Width, c.levelWidth);
        EXPECT_EQ(desc.Height, c.levelHeight);
        EXPECT_EQ(desc.Size, c.bytes);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(c.level, &locked, nullptr, 0), D3D_OK);
        EXPECT_EQ(UINT(locked.Pitch), c.pitch);
        texture->UnlockRect(c.level);
        // The most detailed level sampled stays inside the chain.
        texture->SetLOD(100);
        EXPECT_EQ(texture->GetLOD(), texture->GetLevelCount() - 1);
        texture->Release();
    }
}

TEST_F(Device, PrivateDataIsCopiedInAndOut)
{
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    const GUID guid = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
    char record[16] = "texture record";
    ASSERT_EQ(texture->SetPrivateData(guid, record, sizeof record, 0), D3D_OK);
    std::memset(record, 0, sizeof record);  // the texture holds its own copy
    char out[16] = {};
    DWORD size = 8;
    EXPECT_EQ(texture->GetPrivateData(guid, out, &size), D3DERR_MOREDATA);
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(texture->GetPrivateData(guid, out, &size), D3D_OK);
    EXPECT_STREQ(out, "texture record");
    EXPECT_EQ(texture->FreePrivateData(guid), D3D_OK);
    EXPECT_EQ(texture->GetPrivateData(guid, out, &size), D3DERR_NOTFOUND);
    texture->Release();
}

TEST_F(Device, ProgramsAreMadeOncePerShapingState)
{
    device->BeginScene();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    auto draw = [this] { DrawScreenQuad(device, 0, 0, 4, 4, 0xFFFFFFFFu); };
    draw();
    const UINT first = D3D8TestProgramCount(device);
    EXPECT_GE(first, 1u);
    draw();
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF102030u);     // a value, not a shape
    device->SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_ADD);  // behind the disabled stage 1
    draw();
    EXPECT_EQ(D3D8TestProgramCount(device), first);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    draw();
    EXPECT_EQ(D3D8TestProgramCount(device), first + 1);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    draw();
    EXPECT_EQ(D3D8TestProgramCount(device), first + 1);
    device->EndScene();
}

TEST_F(Device, ReleasedResourcesAreUnboundAndTheDeviceOutlivesNoReference)
{
    IDirect3DTexture8* texture = nullptr;
    IDirect3DVertexBuffer8* buffer = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    ASSERT_EQ(device->CreateVertexBuffer(64, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &buffer), D3D_OK);
    device->SetTexture(0, texture);
    device->SetStreamSource(0, buffer, 12);
    texture->Release();
    buffer->Release();
    IDirect3DBaseTexture8* bound = reinterpret_cast<IDirect3DBaseTexture8*>(1);
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);
    device->SetVertexShader(D3DFVF_XYZ);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);  // no stream any more
    // Resources keep their device: the last release of either side frees it.
    IDirect3DTexture8* kept = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &kept), D3D_OK);
    EXPECT_EQ(device->Release(), 1ul);
    device = nullptr;
    EXPECT_EQ(kept->Release(), 0ul);
}

}  // namespace
