// Vertex and pixel shaders on the device: shaders written in Direct3D 8 assembly are assembled,
// created, bound with their constants and drawn on the offscreen device, and the pixels read back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "render/device/render_device.h"
#include "support/render_test_support.h"
#include "tests/render/shader_test_support.h"

using namespace render_test;
using namespace shader_test;

namespace {

constexpr DWORD kClear = 0xFF102030;

class ShaderDevice : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        IDirect3DDevice8* device = Device();
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }

    DWORD VertexShader(const std::string& text, const DWORD* declaration = kClipDeclaration)
    {
        const Assembled assembled = Assemble(text);
        EXPECT_EQ(assembled.result, D3D_OK) << assembled.errors;
        DWORD handle = 0;
        if (SUCCEEDED(assembled.result)) {
            EXPECT_EQ(Device()->CreateVertexShader(declaration, assembled.code.data(), &handle, 0), D3D_OK) << text;
        }
        return handle;
    }

    DWORD PixelShader(const std::string& text)
    {
        const Assembled assembled = Assemble(text);
        EXPECT_EQ(assembled.result, D3D_OK) << assembled.errors;
        DWORD handle = 0;
        if (SUCCEEDED(assembled.result)) {
            EXPECT_EQ(Device()->CreatePixelShader(assembled.code.data(), &handle), D3D_OK) << text;
        }
        return handle;
    }

    // Clears, draws a full-target quad and returns the pixel at the centre of the quadrant.
    Pixels DrawFull()
    {
        IDirect3DDevice8* device = Device();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, kClear, 1.0f, 0);
        EXPECT_EQ(DrawClipQuad(device, -1.0f, -1.0f, 1.0f, 1.0f), D3D_OK);
        return ReadBackBuffer(device);
    }

    // A 2 x 2 texture: red, green on the top row; blue, white below.
    IDirect3DTexture8* QuadrantTexture()
    {
        IDirect3DTexture8* texture = nullptr;
        EXPECT_EQ(Device()->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
        D3DLOCKED_RECT locked = {};
        texture->LockRect(0, &locked, nullptr, 0);
        auto* rows = static_cast<BYTE*>(locked.pBits);
        reinterpret_cast<DWORD*>(rows)[0] = 0xFFFF0000;
        reinterpret_cast<DWORD*>(rows)[1] = 0xFF00FF00;
        reinterpret_cast<DWORD*>(rows + locked.Pitch)[0] = 0xFF0000FF;
        reinterpret_cast<DWORD*>(rows + locked.Pitch)[1] = 0xFFFFFFFF;
        texture->UnlockRect(0);
        return texture;
    }

    static constexpr UINT kLeft = kWidth / 4, kRight = kWidth * 3 / 4, kTop = kHeight / 4, kBottom = kHeight * 3 / 4;
};

TEST_F(ShaderDevice, TheDeviceReportsShaderVersionsOnceTheTranslatorWorks)
{
    D3DCAPS8 caps = {};
    ASSERT_EQ(Device()->GetDeviceCaps(&caps), D3D_OK);
    EXPECT_EQ(caps.VertexShaderVersion, D3DVS_VERSION(1, 1));
    EXPECT_EQ(caps.PixelShaderVersion, D3DPS_VERSION(1, 4));
    EXPECT_EQ(caps.MaxVertexShaderConst, 96u);
    EXPECT_TRUE(RenderDeviceSupportsShaders());
    EXPECT_TRUE(g_render.shaders);
}

TEST_F(ShaderDevice, APairFromFilesDrawsTheTexturedQuadWithBothShadersConstants)
{
    const Assembled vs = AssembleFile(ZINTAR_TEST_DATA_DIR "/shaders/tinted.vs");
    const Assembled ps = AssembleFile(ZINTAR_TEST_DATA_DIR "/shaders/tinted.ps");
    ASSERT_EQ(vs.result, D3D_OK) << vs.errors;
    ASSERT_EQ(ps.result, D3D_OK) << ps.errors;
    IDirect3DDevice8* device = Device();
    DWORD vertexShader = 0, pixelShader = 0;
    ASSERT_EQ(device->CreateVertexShader(kClipDeclaration, vs.code.data(), &vertexShader, 0), D3D_OK);
    ASSERT_EQ(device->CreatePixelShader(ps.code.data(), &pixelShader), D3D_OK);
    EXPECT_EQ(vertexShader & 1, 1u) << "vertex shader handles are never vertex formats";

    IDirect3DTexture8* texture = QuadrantTexture();
    device->SetTexture(0, texture);
    ASSERT_EQ(device->SetVertexShader(vertexShader), D3D_OK);
    ASSERT_EQ(device->SetPixelShader(pixelShader), D3D_OK);
    const float vertexColour[4] = {1.0f, 0.5f, 1.0f, 1.0f};
    const float pixelScale[4] = {0.5f, 1.0f, 1.0f, 1.0f};
    ASSERT_EQ(device->SetVertexShaderConstant(0, kIdentityRows, 4), D3D_OK);
    ASSERT_EQ(device->SetVertexShaderConstant(4, vertexColour, 1), D3D_OK);
    ASSERT_EQ(device->SetPixelShaderConstant(0, pixelScale, 1), D3D_OK);

    // The quad covers the upper right quarter of the target only.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kClear, 1.0f, 0);
    ASSERT_EQ(DrawClipQuad(device, 0.0f, 0.0f, 1.0f, 1.0f), D3D_OK);
    Pixels quarter = ReadBackBuffer(device);
    EXPECT_TRUE(ColourNear(quarter.At(kLeft, kTop), kClear));
    EXPECT_TRUE(ColourNear(quarter.At(kRight, kBottom), kClear));
    EXPECT_FALSE(ColourNear(quarter.At(kRight, kTop), kClear));

    const Pixels pixels = DrawFull();
    EXPECT_TRUE(ColourNear(pixels.At(kLeft, kTop), 0xFF800000, 1));      // red x 0.5
    EXPECT_TRUE(ColourNear(pixels.At(kRight, kTop), 0xFF008000, 1));     // green x 0.5
    EXPECT_TRUE(ColourNear(pixels.At(kLeft, kBottom), 0xFF0000FF, 1));   // blue
    EXPECT_TRUE(ColourNear(pixels.At(kRight, kBottom), 0xFF8080FF, 1));  // white x (0.5, 0.5, 1)

    device->SetTexture(0, nullptr);
    texture->Release();
    device->SetPixelShader(0);
    EXPECT_EQ(device->DeletePixelShader(pixelShader), D3D_OK);
    EXPECT_EQ(device->DeleteVertexShader(vertexShader), D3D_OK);
}

// Vertex shaders compute a colour into oD0; with no pixel shader the texture stages show it.
TEST_F(ShaderDevice, VertexShaderInstructionsComputeWhatDirect3DComputes)
{
    struct Case {
        const char* body;
        DWORD expected;
    };
    // c4 = (0.2, 0.4, 0.6, 1), c5 = (4, 16, 2.75, -0.5), c6 = (2, 0, 0.5, 0.25), c7..c9 = three colours.
    const Case cases[] = {
        {"mov oD0, c4", 0xFF336699},
        {"mov oD0, c4.zyxw", 0xFF996633},
        {"mov oD0, -c5.wwww", 0xFF808080},
        {"mov oD0, c4\nmov oD0.y, c6.w", 0xFF334099},
        {"rcp r0, c5.x\nmov oD0, r0", 0xFF404040},
        {"rsq r0, c5.y\nmov oD0, r0", 0xFF404040},
        {"dp3 oD0, c4, c6", 0xFFB2B2B2},  // 0.4 + 0 + 0.3
        {"dp4 oD0, c4, c6", 0xFFF2F2F2},  // 0.7 + 0.25
        {"min oD0, c4, c6.z", 0xFF336680},
        {"max oD0, c4, c6.z", 0xFF808099},
        {"slt oD0, c4, c6.z", 0xFFFFFF00},
        {"sge oD0, c4, c6.z", 0xFF0000FF},
        {"exp r0, c5.w\nmov oD0, r0", 0xFFB5B5B5},        // 2^-0.5
        {"log r0, c5.x\nmul oD0, r0, c6.w", 0xFF808080},  // log2(4) x 0.25
        {"frc oD0, c5.z", 0xFFBFBFBF},
        {"expp r0, c5.z\nmov oD0, r0.y", 0xFFBFBFBF},
        {"logp r0, c5.y\nmul oD0, r0.x, c6.w", 0xFFFFFFFF},    // exponent 4 x 0.25
        {"lit r0, c6.zzzx\nmov oD0, r0.yzxw", 0xFF8040FF},     // (1, 0.5, 0.25, 1)
        {"dst r0, c4, c6\nmov oD0, r0", 0xFFFF0099},           // (1, 0.4 x 0, 0.6, 0.25)
        {"mov a0.x, c6.x\nmov oD0, c[a0.x + 7]", 0xFF0000FF},  // c9
        {"mov a0.x, c5.z\nmov oD0, c[5 + a0.x]", 0xFF00FF00},  // floor(2.75) + 5 = c7
        {"mad oD0, c4, c6.x, -c4", 0xFF336699},
        {"def c20, 0.5, 0.25, 1.0, 1.0\nmov oD0, c20", 0xFF8040FF},
        {"m3x3 r0.xyz, c4, c7\nmov oD0, r0", 0xFF663399},  // rows c7, c8, c9 pick y, x, z
    };
    IDirect3DDevice8* device = Device();
    const float constants[6][4] = {{0.2f, 0.4f, 0.6f, 1.0f}, {4.0f, 16.0f, 2.75f, -0.5f}, {2.0f, 0.0f, 0.5f, 0.25f},
                                   {0.0f, 1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f, 0.0f},    {0.0f, 0.0f, 1.0f, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        const std::string text = std::string("vs.1.1\nmov oPos, v0\n") + c.body + "\n";
        const DWORD shader = VertexShader(text);
        ASSERT_NE(shader, 0u);
        ASSERT_EQ(device->SetVertexShader(shader), D3D_OK);
        ASSERT_EQ(device->SetVertexShaderConstant(4, constants, 6), D3D_OK);
        const Pixels pixels = DrawFull();
        EXPECT_TRUE(ColourNear(pixels.At(kWidth / 2, kHeight / 2), c.expected, 2));
        device->SetVertexShader(D3DFVF_XYZ);
        EXPECT_EQ(device->DeleteVertexShader(shader), D3D_OK);
    }
}

TEST_F(ShaderDevice, PixelShaderInstructionsAndModifiersComputeWhatDirect3DComputes)
{
    struct Case {
        const char* text;
        DWORD expected;
    };
    // c0 = (0.2, 0.4, 0.6, 1), c1 = (0.5, 0.5, 0.5, 0.25), c2 = (0.75, 0.25, 1, 0.5); v0 = (1, 0.5, 0, 1).
    const Case cases[] = {
        {"ps.1.1\nmov r0, c0", 0xFF336699},
        {"ps.1.1\nadd r0, c0, c1", 0xFFB3E6FF},  // 0.7, 0.9, 1.1 -> 1
        {"ps.1.1\nsub r0, c0, c1\nadd r0, r0, c1", 0xFF336699},
        {"ps.1.1\nsub_sat r0, c0, c1\nadd r0, r0, c1", 0xFF808099},
        {"ps.1.1\nmul_x2 r0, c0, c1", 0xFF336699},
        {"ps.1.1\nmul_d2 r0, c0, c0.a", 0xFF1A334D},
        {"ps.1.1\nmad r0, c0, c1, c1", 0xFF99B3CC},
        {"ps.1.1\nmov r0, 1-c0", 0xFFCC9966},
        {"ps.1.1\nmov r0, c2_bias", 0xFF400080},
        {"ps.1.1\nmov r0, -c1_bx2\nadd r0, r0, c2", 0xFFBF40FF},
        {"ps.1.1\ndp3 r0, c0, c1", 0xFF999999},
        {"ps.1.1\nlrp r0, c1.a, c2, c0", 0xFF565CB3},  // 0.25 c2 + 0.75 c0
        {"ps.1.1\nmov r0, c2\ncnd r0, r0.a, c0, c1", 0xFF808080},
        {"ps.1.1\nmov r0, c0\ncnd r0, r0.a, c0, c1", 0xFF336699},
        {"ps.1.1\nmov r0, v0", 0xFFFF8000},
        {"ps.1.1\nmul r0.rgb, c0, c2\n+mov r0.a, c1.a\nmov r0.rgb, r0.a", 0xFF404040},
        {"ps.1.1\nmov r0, c0\nmov r0.rgb, c1\n+add r0.a, r0.a, -r0.b\nmov r0.rgb, r0.a", 0xFF666666},
        {"ps.1.1\ndef c3, 0.0, 1.0, 0.0, 1.0\nmov r0, c3", 0xFF00FF00},
        {"ps.1.2\ncmp r0, c1_bias, c0, c2", 0xFF336699},
        {"ps.1.3\ndp4 r0, c1, c1", 0xFFCFCFCF},  // 0.75 + 0.0625
        {"ps.1.4\ndef c3, 0.5, -0.5, 2.0, 1.0\nmul_x4 r1, c3, c1\nmov_sat r0, r1", 0xFFFF00FF},
        {"ps.1.4\ntexcrd r1.rgb, t0\nmov r0, c0\nphase\nmov r0.rgb, r1", 0xFF808000},
    };
    IDirect3DDevice8* device = Device();
    const float constants[3][4] = {{0.2f, 0.4f, 0.6f, 1.0f}, {0.5f, 0.5f, 0.5f, 0.25f}, {0.75f, 0.25f, 1.0f, 0.5f}};
    const float colour[4] = {1.0f, 0.5f, 0.0f, 1.0f};
    // The vertex shader hands a colour and the coordinates (0.5, 0.5, 0) at every vertex.
    const DWORD vertexShader = VertexShader("vs.1.1\nmov oPos, v0\nmov oD0, c4\nmov oT0, c5\n");
    ASSERT_NE(vertexShader, 0u);
    device->SetVertexShader(vertexShader);
    device->SetVertexShaderConstant(4, colour, 1);
    const float coordinates[4] = {0.5f, 0.5f, 0.0f, 1.0f};
    device->SetVertexShaderConstant(5, coordinates, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const DWORD shader = PixelShader(c.text);
        ASSERT_NE(shader, 0u);
        ASSERT_EQ(device->SetPixelShader(shader), D3D_OK);
        ASSERT_EQ(device->SetPixelShaderConstant(0, constants, 3), D3D_OK);
        const Pixels pixels = DrawFull();
        EXPECT_TRUE(ColourNear(pixels.At(kWidth / 2, kHeight / 2), c.expected, 2));
        device->SetPixelShader(0);
        EXPECT_EQ(device->DeletePixelShader(shader), D3D_OK);
    }
}

// Texture-address instructions read the 2 x 2 quadrant texture on stages 0 to 3 at coordinates
// the vertex shader hands on from c4..c7 (oT0..oT3).
TEST_F(ShaderDevice, TextureInstructionsReadTheirStagesWhereDirect3DReads)
{
    struct Case {
        const char* text;
        float coordinates[4][4];
        DWORD expected;
    };
    const Case cases[] = {
        {"ps.1.1\ntex t0\nmov r0, t0", {{0.25f, 0.25f, 0, 1}}, 0xFFFF0000},
        {"ps.1.1\ntex t0\nmov r0, t0", {{0.75f, 0.75f, 0, 1}}, 0xFFFFFFFF},
        {"ps.1.1\ntexcoord t1\nmov r0, t1", {{}, {0.5f, 0.25f, 1.5f, 0}}, 0xFF8040FF},
        {"ps.1.1\ntexkill t2\nmov r0, c0", {{}, {}, {0.5f, -0.1f, 0.5f, 1}}, kClear},
        {"ps.1.1\ntexkill t2\nmov r0, c0", {{}, {}, {0.5f, 0.1f, 0.5f, 1}}, 0xFFFFFFFF},
        {"ps.1.1\ntexcoord t0\ntexreg2gb t1, t0\nmov r0, t1", {{0, 0.75f, 0.25f, 1}}, 0xFF00FF00},
        {"ps.1.1\ntex t0\ntexbem t1, t0\nmov r0, t1", {{0.25f, 0.25f, 0, 1}, {0.25f, 0.25f, 0, 1}}, 0xFF00FF00},
        {"ps.1.1\ntexcoord t0\ntexm3x2pad t1, t0\ntexm3x2tex t2, t0\nmov r0, t2",
         {{1, 0, 0, 1}, {0.75f, 0, 0, 1}, {0.75f, 0, 0, 1}},
         0xFFFFFFFF},
        {"ps.1.2\ntexcoord t0\ntexdp3 t1, t0\nmov r0, t1", {{0.5f, 0.5f, 0, 1}, {0.5f, 0.5f, 0, 1}}, 0xFF808080},
        {"ps.1.2\ntexcoord t0\ntexm3x3pad t1, t0\ntexm3x3pad t2, t0\ntexm3x3 t3, t0\nmov r0, t3",
         {{1, 0, 0, 1}, {0.25f, 0, 0, 1}, {0.5f, 0, 0, 1}, {1, 0, 0, 1}},
         0xFF4080FF},
        {"ps.1.4\ntexld r0, t0", {{0.75f, 0.25f, 0, 1}}, 0xFF00FF00},
        {"ps.1.4\ntexld r0, t0_dw", {{1.5f, 0.5f, 0, 2}}, 0xFF00FF00},
        {"ps.1.4\ntexcrd r0.rgb, t1\nphase\ntexld r1, r0\nmov r0, r1", {{}, {0.25f, 0.75f, 0, 1}}, 0xFF0000FF},
    };
    IDirect3DDevice8* device = Device();
    IDirect3DTexture8* texture = QuadrantTexture();
    for (DWORD stage = 0; stage < 4; ++stage)
        device->SetTexture(stage, texture);
    // texbem offsets stage 1's coordinates by half the red and green of t0.
    const float half = 0.5f;
    DWORD halfBits;
    std::memcpy(&halfBits, &half, sizeof halfBits);
    device->SetTextureStageState(1, D3DTSS_BUMPENVMAT00, halfBits);
    device->SetTextureStageState(1, D3DTSS_BUMPENVMAT11, halfBits);
    const DWORD vertexShader =
        VertexShader("vs.1.1\nmov oPos, v0\nmov oT0, c4\nmov oT1, c5\nmov oT2, c6\nmov oT3, c7\n");
    ASSERT_NE(vertexShader, 0u);
    device->SetVertexShader(vertexShader);
    const float white[4] = {1, 1, 1, 1};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const DWORD shader = PixelShader(c.text);
        ASSERT_NE(shader, 0u);
        device->SetPixelShader(shader);
        device->SetPixelShaderConstant(0, white, 1);
        device->SetVertexShaderConstant(4, c.coordinates, 4);
        EXPECT_TRUE(ColourNear(DrawFull().At(kWidth / 2, kHeight / 2), c.expected, 2));
        device->SetPixelShader(0);
        device->DeletePixelShader(shader);
    }
    for (DWORD stage = 0; stage < 4; ++stage)
        device->SetTexture(stage, nullptr);
    texture->Release();
}

// The two mixed roads: a vertex shader feeding the texture stages (which read the oT register
// their coordinate index names), and the fixed-function vertex stage feeding a pixel shader.
TEST_F(ShaderDevice, ShadersMeetTheFixedFunctionStagesOnEitherSide)
{
    IDirect3DDevice8* device = Device();
    IDirect3DTexture8* texture = QuadrantTexture();
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 1);
    // oT0 carries nothing useful; oT1 the vertex's coordinates.
    const DWORD vertexShader = VertexShader("vs.1.1\nmov oPos, v0\nmov oT0, c4\nmov oT1, v1\n");
    ASSERT_NE(vertexShader, 0u);
    const float zero[4] = {};
    device->SetVertexShaderConstant(4, zero, 1);
    device->SetVertexShader(vertexShader);
    Pixels pixels = DrawFull();
    EXPECT_TRUE(ColourNear(pixels.At(kLeft, kTop), 0xFFFF0000));
    EXPECT_TRUE(ColourNear(pixels.At(kRight, kTop), 0xFF00FF00));
    EXPECT_TRUE(ColourNear(pixels.At(kLeft, kBottom), 0xFF0000FF));

    // A screen-space quad of the fixed-function road with a pixel shader that swaps red and blue.
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    const DWORD pixelShader = PixelShader("ps.1.1\ntex t0\nmov r0, t0.b\nmov r0.b, t0.r\n+mov r0.a, t0.a\n");
    ASSERT_NE(pixelShader, 0u);
    device->SetPixelShader(pixelShader);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kClear, 1.0f, 0);
    ASSERT_EQ(DrawScreenQuad(device, 0, 0, kWidth, kHeight, 0xFFFFFFFF), D3D_OK);
    pixels = ReadBackBuffer(device);
    EXPECT_TRUE(ColourNear(pixels.At(kLeft, kTop), 0xFF0000FF));     // red becomes blue
    EXPECT_TRUE(ColourNear(pixels.At(kLeft, kBottom), 0xFFFFFF00));  // blue becomes yellow
    device->SetPixelShader(0);
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(ShaderDevice, DeclarationsFeedRegistersAndLoadTheirConstants)
{
    // v3 reads a colour word (bytes B, G, R, A), v0 the position; the constant comes from the declaration.
    struct Vertex {
        float x, y, z;
        DWORD colour;
    };
    const DWORD declaration[] = {D3DVSD_STREAM(0),
                                 D3DVSD_REG(0, D3DVSDT_FLOAT3),
                                 D3DVSD_REG(3, D3DVSDT_D3DCOLOR),
                                 D3DVSD_CONST(10, 1),
                                 0x3F000000u,  // 0.5
                                 0x3F000000u,
                                 0x3F000000u,
                                 0x3F800000u,  // 1
                                 D3DVSD_END()};
    const DWORD shader = VertexShader("vs.1.1\nmov oPos, v0\nmul oD0, v3, c10\n", declaration);
    ASSERT_NE(shader, 0u);
    IDirect3DDevice8* device = Device();
    const float other[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    device->SetVertexShaderConstant(10, other, 1);
    device->SetVertexShader(shader);  // loads c10 from the declaration
    float loaded[4] = {};
    device->GetVertexShaderConstant(10, loaded, 1);
    EXPECT_EQ(loaded[0], 0.5f);
    const Vertex quad[4] = {
        {-1, 1, 0.5f, 0xFFFF8000}, {1, 1, 0.5f, 0xFFFF8000}, {1, -1, 0.5f, 0xFFFF8000}, {-1, -1, 0.5f, 0xFFFF8000}};
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kClear, 1.0f, 0);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(Vertex)), D3D_OK);
    EXPECT_TRUE(ColourNear(ReadBackBuffer(device).At(kWidth / 2, kHeight / 2), 0xFF804000, 1));
}

TEST_F(ShaderDevice, AlphaTestAndFogFollowThePixelShader)
{
    IDirect3DDevice8* device = Device();
    const DWORD vertexShader = VertexShader("vs.1.1\nmov oPos, v0\nmov oFog.x, c4.x\n");
    const DWORD pixelShader = PixelShader("ps.1.1\nmov r0, c0\n");
    device->SetVertexShader(vertexShader);
    device->SetPixelShader(pixelShader);
    const float white[4] = {1.0f, 1.0f, 1.0f, 0.25f};
    device->SetPixelShaderConstant(0, white, 1);
    const float fog[4] = {0.25f, 0, 0, 0};
    device->SetVertexShaderConstant(4, fog, 1);

    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    device->SetRenderState(D3DRS_ALPHAREF, 0x80);
    EXPECT_TRUE(ColourNear(DrawFull().At(kWidth / 2, kHeight / 2), kClear)) << "alpha 0.25 fails the test";
    device->SetRenderState(D3DRS_ALPHAREF, 0x20);
    EXPECT_TRUE(ColourNear(DrawFull().At(kWidth / 2, kHeight / 2), 0xFFFFFFFF));

    // Fog factor 0.25 from oFog: three quarters of the fog colour.
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGCOLOR, 0xFF000000);
    EXPECT_TRUE(ColourNear(DrawFull().At(kWidth / 2, kHeight / 2), 0xFF404040, 2));
}

TEST_F(ShaderDevice, DeletingAShaderDropsItsProgramsAndAReusedHandleDrawsTheNewShader)
{
    IDirect3DDevice8* device = Device();
    const DWORD vertexShader = VertexShader("vs.1.1\nmov oPos, v0\n");
    device->SetVertexShader(vertexShader);
    const DWORD red = PixelShader("ps.1.1\ndef c0, 1, 0, 0, 1\nmov r0, c0\n");
    device->SetPixelShader(red);
    EXPECT_TRUE(ColourNear(DrawFull().At(kWidth / 2, kHeight / 2), 0xFFFF0000));
    const UINT programs = D3D8TestShaderProgramCount(device);
    EXPECT_GE(programs, 1u);
    ASSERT_EQ(device->DeletePixelShader(red), D3D_OK);
    EXPECT_LT(D3D8TestShaderProgramCount(device), programs);
    EXPECT_EQ(device->SetPixelShader(red), D3DERR_INVALIDCALL);

    const DWORD green = PixelShader("ps.1.1\ndef c0, 0, 1, 0, 1\nmov r0, c0\n");
    EXPECT_EQ(green, red) << "the freed handle is reused";
    device->SetPixelShader(green);
    EXPECT_TRUE(ColourNear(DrawFull().At(kWidth / 2, kHeight / 2), 0xFF00FF00));
}

TEST_F(ShaderDevice, BadCallsAreRefusedAndLeaveTheHandleZero)
{
    IDirect3DDevice8* device = Device();
    const Assembled vs = Assemble("vs.1.1\nmov oPos, v0\n");
    const Assembled ps = Assemble("ps.1.1\nmov r0, v0\n");
    ASSERT_EQ(vs.result, D3D_OK);
    ASSERT_EQ(ps.result, D3D_OK);
    const DWORD secondStream[] = {D3DVSD_STREAM(1), D3DVSD_REG(0, D3DVSDT_FLOAT3), D3DVSD_END()};
    const DWORD badType[] = {D3DVSD_STREAM(0), D3DVSD_REG(0, 9), D3DVSD_END()};
    const DWORD emptyPixel[] = {ps.code[0], 0x0000FFFFu};
    std::vector<DWORD> noEnd = vs.code;
    noEnd.back() = 0;  // nop words run on to the limit
    noEnd.resize(20000, 0);

    struct Case {
        const char* what;
        const DWORD* declaration;
        const DWORD* function;
    };
    const Case vertexCases[] = {{"second stream", secondStream, vs.code.data()},
                                {"unknown data type", badType, vs.code.data()},
                                {"pixel code", kClipDeclaration, ps.code.data()},
                                {"no end word", kClipDeclaration, noEnd.data()},
                                {"no declaration", nullptr, vs.code.data()}};
    for (const Case& c : vertexCases) {
        DWORD handle = 123;
        EXPECT_EQ(device->CreateVertexShader(c.declaration, c.function, &handle, 0), D3DERR_INVALIDCALL) << c.what;
        EXPECT_EQ(handle, 0u) << c.what;
    }
    DWORD handle = 123;
    EXPECT_EQ(device->CreatePixelShader(vs.code.data(), &handle), D3DERR_INVALIDCALL);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(device->CreatePixelShader(emptyPixel, &handle), D3D_OK) << "an empty function is a shader";

    const float values[8][4] = {};
    EXPECT_EQ(device->SetVertexShaderConstant(95, values, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetPixelShaderConstant(7, values, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetPixelShaderConstant(0, values, 8), D3D_OK);
    EXPECT_EQ(device->SetVertexShader(0x1235), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetPixelShader(77), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DeleteVertexShader(D3DFVF_XYZ), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DeletePixelShader(0), D3DERR_INVALIDCALL);
}

}  // namespace
