// Direct3D 8 semantics the device must keep where OpenGL differs: user clip planes (world space for
// transformed vertices, clip space for vertex shader output), pixel centres on whole coordinates
// for every vertex path, table fog by device depth or eye depth as the projection says, the front
// buffer of the presented frame, and the cursor confined to a windowed mode's client area.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/winos.h"
#include "platform/d3dx8_math.h"
#include "platform/test_input.h"
#include "support/render_test_support.h"
#include "tests/render/shader_test_support.h"

using namespace render_test;
using namespace shader_test;

namespace {

constexpr DWORD kBackground = 0xFF204060u;
constexpr DWORD kRed = 0xFFFF0000u;
constexpr DWORD kGreen = 0xFF00FF00u;
constexpr DWORD kBlue = 0xFF0000FFu;

// Position and colour, for the fixed-function draws.
struct ColourVertex {
    float x, y, z;
    DWORD colour;
};
constexpr DWORD kColourFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

// Position in v0, colour in v5: oPos = v0 through the rows c0..c3.
constexpr DWORD kColourDeclaration[] = {D3DVSD_STREAM(0), D3DVSD_REG(0, D3DVSDT_FLOAT3),
                                        D3DVSD_REG(5, D3DVSDT_D3DCOLOR), D3DVSD_END()};
constexpr char kColourShader[] =
    "vs.1.1\n"
    "m4x4 oPos, v0, c0\n"
    "mov oD0, v5\n";
// Position in v0, one coordinate pair in v1.
constexpr char kTexturedShader[] =
    "vs.1.1\n"
    "m4x4 oPos, v0, c0\n"
    "mov oT0, v1\n";

// Maps x, y in pixels of a viewport of the given size to clip space (row 0 at the top), z kept.
D3DXMATRIX PixelProjection(float width, float height)
{
    return D3DXMATRIX(2.0f / width, 0, 0, 0, 0, -2.0f / height, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1);
}

class DeviceFidelity : public ::testing::Test {
protected:
    static constexpr UINT kWidth = 64;
    static constexpr UINT kHeight = 48;

    void SetUp() override
    {
        ASSERT_NE(m_window.Handle(), nullptr);
        m_direct3d = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(m_direct3d, nullptr);
        D3DPRESENT_PARAMETERS parameters = WindowedParameters(m_window.Handle(), kWidth, kHeight);
        ASSERT_EQ(m_direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window.Handle(),
                                           D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device),
                  D3D_OK);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        ClearTo(kBackground);
    }
    void TearDown() override
    {
        if (device) {
            for (DWORD shader : m_vertexShaders)
                device->DeleteVertexShader(shader);
            for (DWORD shader : m_pixelShaders)
                device->DeletePixelShader(shader);
            device->Release();
        }
        if (m_direct3d)
            m_direct3d->Release();
    }

    void ClearTo(DWORD colour) { device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0); }

    DWORD VertexShader(const char* text, const DWORD* declaration)
    {
        const Assembled assembled = Assemble(text);
        EXPECT_EQ(assembled.result, D3D_OK) << assembled.errors;
        DWORD handle = 0;
        EXPECT_EQ(device->CreateVertexShader(declaration, assembled.code.data(), &handle, 0), D3D_OK) << text;
        if (handle)
            m_vertexShaders.push_back(handle);
        return handle;
    }
    DWORD PixelShader(const char* text)
    {
        const Assembled assembled = Assemble(text);
        EXPECT_EQ(assembled.result, D3D_OK) << assembled.errors;
        DWORD handle = 0;
        EXPECT_EQ(device->CreatePixelShader(assembled.code.data(), &handle), D3D_OK) << text;
        if (handle)
            m_pixelShaders.push_back(handle);
        return handle;
    }
    // A shader reads the matrix as the rows c0..c3 of its transpose.
    void SetShaderMatrix(const D3DXMATRIX& matrix)
    {
        D3DXMATRIX rows;
        D3DXMatrixTranspose(&rows, &matrix);
        device->SetVertexShaderConstant(0, &rows, 4);
    }

    HWND Window() const { return m_window.Handle(); }

    IDirect3DDevice8* device = nullptr;

private:
    TestWindow m_window;
    IDirect3D8* m_direct3d = nullptr;
    std::vector<DWORD> m_vertexShaders, m_pixelShaders;
};

// ---- user clip planes

TEST_F(DeviceFidelity, ClipPlaneZeroCutsAwayTheNegativeSideOfAWorldPlane)
{
    D3DCAPS8 caps = {};
    ASSERT_EQ(device->GetDeviceCaps(&caps), D3D_OK);
    EXPECT_GE(caps.MaxUserClipPlanes, 1u);

    struct Case {
        const char* name;
        bool perspective;
        bool rolledView;        // the camera rolled a quarter turn: world x runs down the screen
        bool planeFirst;        // the plane is set before the transforms
        D3DXPLANE plane;        // in world space
        D3DXVECTOR3 kept, cut;  // world points on the quad on either side of the plane
    };
    // A 4 x 3 quad moved to (10, 5, 3) by the world matrix, seen from (10, 5, -2) along +z.
    const D3DXPLANE keepRight(1.0f, 0.0f, 0.0f, -10.5f);  // x >= 10.5
    const D3DXPLANE keepLow(0.0f, -1.0f, 0.0f, 4.5f);     // y <= 4.5
    const D3DXVECTOR3 right(11.2f, 5.0f, 3.0f), left(9.8f, 5.0f, 3.0f);
    const D3DXVECTOR3 low(10.0f, 3.8f, 3.0f), high(10.0f, 5.2f, 3.0f);
    const Case cases[] = {
        {"orthographic", false, false, false, keepRight, right, left},
        {"orthographic, plane first", false, false, true, keepRight, right, left},
        {"orthographic, rolled", false, true, false, keepLow, low, high},
        {"perspective", true, false, false, keepRight, right, left},
        {"perspective, plane first", true, false, true, keepLow, low, high},
        {"perspective, rolled", true, true, true, keepRight, right, left},
    };
    const ColourVertex quad[4] = {{-2.0f, 1.5f, 0.0f, kGreen},
                                  {2.0f, 1.5f, 0.0f, kGreen},
                                  {2.0f, -1.5f, 0.0f, kGreen},
                                  {-2.0f, -1.5f, 0.0f, kGreen}};
    const D3DVIEWPORT8 viewport = {0, 0, kWidth, kHeight, 0.0f, 1.0f};
    device->SetVertexShader(kColourFvf);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Start from other transforms, so that a plane set first meets the draw's transforms only.
        D3DXMATRIX world, view, projection, identity;
        D3DXMatrixIdentity(&identity);
        device->SetTransform(D3DTS_WORLD, &identity);
        device->SetTransform(D3DTS_VIEW, &identity);
        device->SetTransform(D3DTS_PROJECTION, &identity);
        if (c.planeFirst) {
            ASSERT_EQ(device->SetClipPlane(0, &c.plane.a), D3D_OK);
        }

        D3DXMatrixTranslation(&world, 10.0f, 5.0f, 3.0f);
        const D3DXVECTOR3 eye(10.0f, 5.0f, -2.0f), at(10.0f, 5.0f, 3.0f);
        const D3DXVECTOR3 up = c.rolledView ? D3DXVECTOR3(1.0f, 0.0f, 0.0f) : D3DXVECTOR3(0.0f, 1.0f, 0.0f);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        if (c.perspective)
            D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2.0f, float(kWidth) / float(kHeight), 1.0f, 100.0f);
        else
            D3DXMatrixOrthoLH(&projection, 8.0f, 6.0f, 0.0f, 10.0f);
        device->SetTransform(D3DTS_WORLD, &world);
        device->SetTransform(D3DTS_VIEW, &view);
        device->SetTransform(D3DTS_PROJECTION, &projection);
        if (!c.planeFirst) {
            ASSERT_EQ(device->SetClipPlane(0, &c.plane.a), D3D_OK);
        }

        D3DXVECTOR3 kept, cut;
        D3DXMatrixIdentity(&identity);
        D3DXVec3Project(&kept, &c.kept, &viewport, &projection, &view, &identity);
        D3DXVec3Project(&cut, &c.cut, &viewport, &projection, &view, &identity);
        const UINT keptX = UINT(std::lround(kept.x)), keptY = UINT(std::lround(kept.y));
        const UINT cutX = UINT(std::lround(cut.x)), cutY = UINT(std::lround(cut.y));
        ASSERT_LT(keptX, kWidth);
        ASSERT_LT(keptY, kHeight);
        ASSERT_LT(cutX, kWidth);
        ASSERT_LT(cutY, kHeight);

        device->SetRenderState(D3DRS_CLIPPLANEENABLE, D3DCLIPPLANE0);
        ClearTo(kBackground);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ColourVertex)), D3D_OK);
        Pixels pixels = ReadBackBuffer(device);
        EXPECT_EQ(pixels.At(keptX, keptY), kGreen);
        EXPECT_EQ(pixels.At(cutX, cutY), kBackground);

        // Disabled, and with clipping turned off, the plane cuts nothing.
        for (const bool clipping : {true, false}) {
            device->SetRenderState(D3DRS_CLIPPLANEENABLE, clipping ? 0 : D3DCLIPPLANE0);
            device->SetRenderState(D3DRS_CLIPPING, clipping);
            ClearTo(kBackground);
            device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ColourVertex));
            pixels = ReadBackBuffer(device);
            EXPECT_EQ(pixels.At(keptX, keptY), kGreen);
            EXPECT_EQ(pixels.At(cutX, cutY), kGreen);
        }
        device->SetRenderState(D3DRS_CLIPPING, TRUE);
    }
}

TEST_F(DeviceFidelity, ClipPlanesCutVertexShaderOutputInClipSpace)
{
    // The view moved up: read as a world-space plane, y >= 0 would keep the whole quad.
    D3DXMATRIX view;
    D3DXMatrixTranslation(&view, 0.0f, -3.0f, 0.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    const DWORD shader = VertexShader(kColourShader, kColourDeclaration);
    ASSERT_NE(shader, 0u);
    device->SetVertexShader(shader);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    SetShaderMatrix(identity);
    const ColourVertex quad[4] = {{-1, 1, 0.5f, kRed}, {1, 1, 0.5f, kRed}, {1, -1, 0.5f, kRed}, {-1, -1, 0.5f, kRed}};

    struct Case {
        DWORD enable;
        bool topLeft, topRight, bottomLeft, bottomRight;
    };
    const float keepTop[4] = {0.0f, 1.0f, 0.0f, 0.0f};      // clip y >= 0: the upper half
    const float keepRight[4] = {1.0f, 0.0f, 0.0f, -0.25f};  // clip x >= 0.25 w
    device->SetClipPlane(0, keepTop);
    device->SetClipPlane(3, keepRight);
    const Case cases[] = {{0, true, true, true, true},
                          {D3DCLIPPLANE0, true, true, false, false},
                          {D3DCLIPPLANE3, false, true, false, true},
                          {D3DCLIPPLANE0 | D3DCLIPPLANE3, false, true, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.enable);
        device->SetRenderState(D3DRS_CLIPPLANEENABLE, c.enable);
        ClearTo(kBackground);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ColourVertex)), D3D_OK);
        const Pixels pixels = ReadBackBuffer(device);
        EXPECT_EQ(pixels.At(8, 8), c.topLeft ? kRed : kBackground);
        EXPECT_EQ(pixels.At(56, 8), c.topRight ? kRed : kBackground);
        EXPECT_EQ(pixels.At(8, 40), c.bottomLeft ? kRed : kBackground);
        EXPECT_EQ(pixels.At(56, 40), c.bottomRight ? kRed : kBackground);
    }
    // Clip x = 0.25 is pixel column 40: the columns whose centres lie at or beyond it are kept.
    device->SetRenderState(D3DRS_CLIPPLANEENABLE, D3DCLIPPLANE3);
    ClearTo(kBackground);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ColourVertex));
    const Pixels pixels = ReadBackBuffer(device);
    EXPECT_EQ(pixels.At(39, 24), kBackground);
    EXPECT_EQ(pixels.At(41, 24), kRed);
}

// ---- pixel centres

TEST_F(DeviceFidelity, APointSampledTextureDrawnOneToOneReproducesEveryTexel)
{
    std::vector<DWORD> texels(16);
    for (UINT y = 0; y < 4; ++y)
        for (UINT x = 0; x < 4; ++x)
            texels[y * 4 + x] = 0xFF000000u | ((0x20u + 0x40u * x) << 16) | ((0x20u + 0x40u * y) << 8) | 0x80u;
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < 4; ++y)
        std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, &texels[y * 4], 16);
    texture->UnlockRect(0);
    IDirect3DTexture8* target = nullptr;
    ASSERT_EQ(device->CreateTexture(24, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target),
              D3D_OK);
    IDirect3DSurface8* targetSurface = nullptr;
    IDirect3DSurface8* backBuffer = nullptr;
    IDirect3DSurface8* depth = nullptr;
    target->GetSurfaceLevel(0, &targetSurface);
    device->GetRenderTarget(&backBuffer);
    device->GetDepthStencilSurface(&depth);
    const DWORD shader = VertexShader(kTexturedShader, kClipDeclaration);
    ASSERT_NE(shader, 0u);

    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);

    struct Case {
        const char* name;
        bool renderTarget;
        D3DVIEWPORT8 viewport;
        bool vertexShader;
    };
    const Case cases[] = {
        {"back buffer", false, {0, 0, kWidth, kHeight, 0.0f, 1.0f}, false},
        {"back buffer, offset viewport", false, {7, 5, 33, 21, 0.0f, 1.0f}, false},
        {"render target", true, {0, 0, 24, 16, 0.0f, 1.0f}, false},
        {"render target, offset viewport", true, {3, 2, 15, 11, 0.0f, 1.0f}, false},
        {"back buffer, vertex shader", false, {0, 0, kWidth, kHeight, 0.0f, 1.0f}, true},
        {"back buffer, offset viewport, vertex shader", false, {7, 5, 33, 21, 0.0f, 1.0f}, true},
        {"render target, vertex shader", true, {0, 0, 24, 16, 0.0f, 1.0f}, true},
        {"render target, offset viewport, vertex shader", true, {3, 2, 15, 11, 0.0f, 1.0f}, true},
    };
    // The texture's pixels -0.5..3.5 moved 2 right and 1 down inside the viewport.
    constexpr int kLeft = 2, kTop = 1;
    const ClipVertex quad[4] = {{kLeft - 0.5f, kTop - 0.5f, 0.5f, 0.0f, 0.0f},
                                {kLeft + 3.5f, kTop - 0.5f, 0.5f, 1.0f, 0.0f},
                                {kLeft + 3.5f, kTop + 3.5f, 0.5f, 1.0f, 1.0f},
                                {kLeft - 0.5f, kTop + 3.5f, 0.5f, 0.0f, 1.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(
            device->SetRenderTarget(c.renderTarget ? targetSurface : backBuffer, c.renderTarget ? nullptr : depth),
            D3D_OK);
        ClearTo(kBackground);
        ASSERT_EQ(device->SetViewport(&c.viewport), D3D_OK);
        const D3DXMATRIX projection = PixelProjection(float(c.viewport.Width), float(c.viewport.Height));
        if (c.vertexShader) {
            device->SetVertexShader(shader);
            SetShaderMatrix(projection);
        } else {
            device->SetVertexShader(D3DFVF_XYZ | D3DFVF_TEX1);
            device->SetTransform(D3DTS_PROJECTION, &projection);
        }
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ClipVertex)), D3D_OK);
        const Pixels pixels = c.renderTarget ? ReadSurface(targetSurface) : ReadBackBuffer(device);
        const int left = int(c.viewport.X) + kLeft, top = int(c.viewport.Y) + kTop;
        for (int y = 0; y < int(pixels.height); ++y) {
            for (int x = 0; x < int(pixels.width); ++x) {
                const bool inside = x >= left && x < left + 4 && y >= top && y < top + 4;
                ASSERT_EQ(pixels.At(x, y), inside ? texels[(y - top) * 4 + (x - left)] : kBackground)
                    << "pixel " << x << "," << y;
            }
        }
    }
    device->SetRenderTarget(backBuffer, depth);
    device->SetTexture(0, nullptr);
    targetSurface->Release();
    backBuffer->Release();
    depth->Release();
    target->Release();
    texture->Release();
}

// ---- fog depth

TEST_F(DeviceFidelity, TableFogReadsDeviceDepthUnlessTheProjectionIsWFriendly)
{
    enum Path { kFixed, kVertexShader, kPixelShader };
    struct Case {
        const char* name;
        bool perspective;
        Path path;
        float z, fogEnd;  // camera-space depth of the quad; fog from 0 to the end
        DWORD expected;
    };
    // Orthographic over depths 0..2: the quad at 1 has device depth 0.5, half fogged with an end of
    // 1 (its w of 1 would fog it fully). In perspective w is the eye depth: 5 of 10 is half fogged
    // (device depth would be 0.81).
    const Case cases[] = {
        {"orthographic", false, kFixed, 1.0f, 1.0f, 0xFF800080u},
        {"orthographic, vertex shader", false, kVertexShader, 1.0f, 1.0f, 0xFF800080u},
        {"orthographic, pixel shader", false, kPixelShader, 1.0f, 1.0f, 0xFF800080u},
        {"perspective", true, kFixed, 5.0f, 10.0f, 0xFF800080u},
        {"perspective, vertex shader", true, kVertexShader, 5.0f, 10.0f, 0xFF800080u},
        {"perspective, pixel shader", true, kPixelShader, 5.0f, 10.0f, 0xFF800080u},
    };
    const DWORD vertexShader = VertexShader(kColourShader, kColourDeclaration);
    const DWORD pixelShader = PixelShader("ps.1.1\nmov r0, v0\n");
    ASSERT_NE(vertexShader, 0u);
    ASSERT_NE(pixelShader, 0u);
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGCOLOR, kBlue);
    device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    const float start = 0.0f;
    device->SetRenderState(D3DRS_FOGSTART, std::bit_cast<DWORD>(start));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device->SetRenderState(D3DRS_FOGEND, std::bit_cast<DWORD>(c.fogEnd));
        D3DXMATRIX projection;
        if (c.perspective)
            D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2.0f, float(kWidth) / float(kHeight), 1.0f, 100.0f);
        else
            D3DXMatrixOrthoLH(&projection, 8.0f, 6.0f, 0.0f, 2.0f);
        device->SetTransform(D3DTS_PROJECTION, &projection);
        device->SetVertexShader(c.path == kVertexShader ? vertexShader : kColourFvf);
        device->SetPixelShader(c.path == kPixelShader ? pixelShader : 0);
        SetShaderMatrix(projection);
        // A quad that covers the centre of the view at depth z.
        const ColourVertex quad[4] = {{-2, 2, c.z, kRed}, {2, 2, c.z, kRed}, {2, -2, c.z, kRed}, {-2, -2, c.z, kRed}};
        ClearTo(kBackground);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ColourVertex)), D3D_OK);
        EXPECT_TRUE(ColourNear(ReadBackBuffer(device).At(32, 24), c.expected, 2));
    }
    device->SetPixelShader(0);
}

// ---- the front buffer

TEST_F(DeviceFidelity, GetFrontBufferReturnsThePresentedFrame)
{
    // Windowed, the image stands for the desktop and the frame lands where the window is.
    POINT corner = {0, 0};
    ASSERT_TRUE(ClientToScreen(Window(), &corner));
    ASSERT_GE(corner.x, 0);
    ASSERT_GE(corner.y, 0);
    const UINT left = UINT(corner.x), top = UINT(corner.y);
    IDirect3DSurface8* image = nullptr;
    ASSERT_EQ(device->CreateImageSurface(left + kWidth + 4, top + kHeight + 4, D3DFMT_A8R8G8B8, &image), D3D_OK);

    ClearTo(kRed);
    DrawScreenQuad(device, 10, 10, 20, 14, kGreen);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ClearTo(kBlue);  // drawing goes on in the back buffer; the front keeps the presented frame
    ASSERT_EQ(device->GetFrontBuffer(image), D3D_OK);
    const Pixels pixels = ReadSurface(image);
    EXPECT_EQ(pixels.At(left, top), kRed);
    EXPECT_EQ(pixels.At(left + kWidth - 1, top + kHeight - 1), kRed);
    EXPECT_EQ(pixels.At(left + 10, top + 10), kGreen);
    EXPECT_EQ(pixels.At(left + 19, top + 13), kGreen);
    EXPECT_EQ(pixels.At(left + 20, top + 13), kRed);

    // Only an A8R8G8B8 image takes the frame; a lost device gives none.
    IDirect3DSurface8* wrongFormat = nullptr;
    ASSERT_EQ(device->CreateImageSurface(left + kWidth, top + kHeight, D3DFMT_X8R8G8B8, &wrongFormat), D3D_OK);
    EXPECT_EQ(device->GetFrontBuffer(wrongFormat), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetFrontBuffer(nullptr), D3DERR_INVALIDCALL);
    D3D8TestSetCooperativeLevel(device, D3DERR_DEVICELOST);
    EXPECT_EQ(device->GetFrontBuffer(image), D3DERR_DEVICELOST);
    D3D8TestSetCooperativeLevel(device, D3D_OK);
    wrongFormat->Release();
    image->Release();
}

// After Present the back buffer still holds the presented frame for whatever does not clear all of it
// (drawing over it, clearing a part, reading it, presenting again), while the front buffer keeps the
// presented frame whatever is drawn next. Each case starts from a presented red frame with a green
// mark at (10, 10)-(20, 14); blue is what the case draws.
TEST_F(DeviceFidelity, ThePresentedFrameStaysInTheBackBufferUntilAClearCoversIt)
{
    POINT corner = {0, 0};
    ASSERT_TRUE(ClientToScreen(Window(), &corner));
    const UINT left = UINT(corner.x), top = UINT(corner.y);
    IDirect3DSurface8* image = nullptr;
    ASSERT_EQ(device->CreateImageSurface(left + kWidth, top + kHeight, D3DFMT_A8R8G8B8, &image), D3D_OK);
    const D3DRECT corner4 = {0, 0, 4, 4};
    struct Case {
        const char* what;
        std::function<void()> next;  // what comes after the Present
        DWORD atOrigin, atMark;      // the back buffer's pixels afterwards at (0, 0) and (12, 12)
    };
    const Case cases[] = {
        {"nothing", [] {}, kRed, kGreen},
        {"a quad drawn over it", [&] { DrawScreenQuad(device, 0, 0, 4, 4, kBlue); }, kBlue, kGreen},
        {"a depth clear, then a quad",
         [&] {
             device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
             DrawScreenQuad(device, 0, 0, 4, 4, kBlue);
         },
         kBlue, kGreen},
        {"a clear of a rectangle", [&] { device->Clear(1, &corner4, D3DCLEAR_TARGET, kBlue, 1.0f, 0); }, kBlue, kGreen},
        {"a clear of a smaller viewport",
         [&] {
             const D3DVIEWPORT8 part = {0, 0, 4, 4, 0.0f, 1.0f};
             device->SetViewport(&part);
             ClearTo(kBlue);
             const D3DVIEWPORT8 whole = {0, 0, kWidth, kHeight, 0.0f, 1.0f};
             device->SetViewport(&whole);
         },
         kBlue, kGreen},
        {"a second Present", [&] { device->Present(nullptr, nullptr, nullptr, nullptr); }, kRed, kGreen},
        {"a full clear", [&] { ClearTo(kBlue); }, kBlue, kBlue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearTo(kRed);
        DrawScreenQuad(device, 10, 10, 20, 14, kGreen);
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        c.next();
        const Pixels back = ReadBackBuffer(device);
        EXPECT_EQ(back.At(0, 0), c.atOrigin);
        EXPECT_EQ(back.At(12, 12), c.atMark);
        EXPECT_EQ(back.At(kWidth - 1, kHeight - 1), c.atMark == kGreen ? kRed : kBlue);
        ASSERT_EQ(device->GetFrontBuffer(image), D3D_OK);
        const Pixels front = ReadSurface(image);
        EXPECT_EQ(front.At(left, top), kRed);
        EXPECT_EQ(front.At(left + 12, top + 12), kGreen);
    }
    // The back buffer drawn on after a Present is what the next one shows.
    ClearTo(kRed);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    DrawScreenQuad(device, 10, 10, 20, 14, kBlue);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ASSERT_EQ(device->GetFrontBuffer(image), D3D_OK);
    const Pixels shown = ReadSurface(image);
    EXPECT_EQ(shown.At(left, top), kRed);
    EXPECT_EQ(shown.At(left + 12, top + 12), kBlue);
    image->Release();
}

TEST(DeviceFrontBuffer, FullScreenPutsTheFrameAtTheImageOrigin)
{
    TestWindow window;
    ASSERT_NE(window.Handle(), nullptr);
    IDirect3D8* direct3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(direct3d, nullptr);
    D3DPRESENT_PARAMETERS parameters = WindowedParameters(window.Handle(), 64, 48);
    parameters.Windowed = FALSE;
    IDirect3DDevice8* device = nullptr;
    ASSERT_EQ(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window.Handle(),
                                     D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device),
              D3D_OK);
    IDirect3DSurface8* image = nullptr;
    ASSERT_EQ(device->CreateImageSurface(64, 48, D3DFMT_A8R8G8B8, &image), D3D_OK);
    // Before anything is presented the screen is black.
    ASSERT_EQ(device->GetFrontBuffer(image), D3D_OK);
    EXPECT_EQ(ReadSurface(image).At(5, 5), 0xFF000000u);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kGreen, 1.0f, 0);
    DrawScreenQuad(device, 0, 0, 8, 8, kRed);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ASSERT_EQ(device->GetFrontBuffer(image), D3D_OK);
    const Pixels pixels = ReadSurface(image);
    EXPECT_EQ(pixels.At(0, 0), kRed);
    EXPECT_EQ(pixels.At(7, 7), kRed);
    EXPECT_EQ(pixels.At(8, 8), kGreen);
    EXPECT_EQ(pixels.At(63, 47), kGreen);
    image->Release();
    device->Release();
    direct3d->Release();
}

// ---- cursor confinement

class WindowedModeCursor : public RenderCore {};

TEST_F(WindowedModeCursor, AWindowedModeConfinesTheCursorToTheClientArea)
{
    // The render core has set a 64 x 48 windowed mode.
    RECT clip = {};
    ASSERT_TRUE(PlatformCursorClip(Window(), &clip));
    EXPECT_EQ(clip.left, 0);
    EXPECT_EQ(clip.top, 0);
    EXPECT_EQ(clip.right, kWidth);
    EXPECT_EQ(clip.bottom, kHeight);

    // A full-screen mode changes neither the window nor the cursor.
    ASSERT_TRUE(ClipCursor(nullptr));
    EXPECT_FALSE(PlatformCursorClip(Window(), nullptr));
    ASSERT_EQ(RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, false, 2), 0);
    EXPECT_FALSE(PlatformCursorClip(Window(), nullptr));

    // The editor keeps the cursor free.
    g_program.editorMode = 1;
    ASSERT_EQ(RenderSetDisplayMode(80, 60, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    g_program.editorMode = 0;
    EXPECT_FALSE(PlatformCursorClip(Window(), nullptr));
    ASSERT_EQ(RenderSetDisplayMode(80, 60, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    ASSERT_TRUE(PlatformCursorClip(Window(), &clip));
    EXPECT_EQ(clip.right - clip.left, 80);
    EXPECT_EQ(clip.bottom - clip.top, 60);
    ClipCursor(nullptr);
}

TEST_F(WindowedModeCursor, ClipCursorTakesScreenCoordinatesCutToTheClientArea)
{
    POINT corner = {0, 0};
    ASSERT_TRUE(ClientToScreen(Window(), &corner));
    struct Case {
        RECT screen;  // relative to the client area's corner on the screen
        RECT client;
    };
    const Case cases[] = {
        {{5, 6, 30, 40}, {5, 6, 30, 40}},
        {{-20, -20, 200, 200}, {0, 0, kWidth, kHeight}},  // cut to the window
        {{10, 10, 10, 10}, {10, 10, 11, 11}},             // empty: held on a point
    };
    for (const Case& c : cases) {
        const RECT screen = {corner.x + c.screen.left, corner.y + c.screen.top, corner.x + c.screen.right,
                             corner.y + c.screen.bottom};
        ASSERT_TRUE(ClipCursor(&screen));
        RECT clip = {};
        ASSERT_TRUE(PlatformCursorClip(Window(), &clip));
        EXPECT_EQ(clip.left, c.client.left);
        EXPECT_EQ(clip.top, c.client.top);
        EXPECT_EQ(clip.right, c.client.right);
        EXPECT_EQ(clip.bottom, c.client.bottom);
    }
    ASSERT_TRUE(ClipCursor(nullptr));
    EXPECT_FALSE(PlatformCursorClip(Window(), nullptr));
}

}  // namespace
