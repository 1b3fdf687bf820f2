// The map drawing tests' stage: the render core with a camera looking straight down on the
// ground plane y = 0, chunks drawn in the texture factor's colour, and where a world point lands
// on the 64 x 48 back buffer.
#pragma once
#include <cmath>

#include "map/map_cvars.h"
#include "map/octree/octree.h"
#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "render/land/map_chunks.h"
#include "render/device/state_cache.h"
#include "render/land/visible_nodes.h"
#include "support/map_octree_support.h"
#include "support/render_test_support.h"

namespace map_test {

constexpr D3DCOLOR kBackground = 0xFF000000u;
constexpr D3DCOLOR kWhite = 0xFFFFFFFFu;

struct Pixel {
    int x, y;
};

class MapDraw : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        render_test::RenderCore::SetUp();
        mfrange.SetFloat(1500.0f);
        g_visible.nodeCount = 0;
        MapChunksSetVisibilityFilter(false, 0);
        // Over the middle of the ground rectangle [0, 64] x [0, 48], looking down.
        RenderSetupCamera(32.0f, 40.0f, 24.0f, 0.0f, D3DX_PI / 2.0f, 0.0f, D3DX_PI / 2.0f, 1);
    }
    void TearDown() override
    {
        g_visible.nodeCount = 0;
        OctreeDestroy();
        render_test::RenderCore::TearDown();
    }

    // Where a ground point shows.
    static Pixel PixelOf(float x, float z)
    {
        const D3DXVECTOR3 world(x, 0.0f, z);
        D3DXVECTOR3 view, clip;
        D3DXVec3TransformCoord(&view, &world, &g_camera.view);
        D3DXVec3TransformCoord(&clip, &view, &g_camera.projection);
        return {static_cast<int>(std::floor((clip.x + 1.0f) * 0.5f * kWidth)),
                static_cast<int>(std::floor((1.0f - clip.y) * 0.5f * kHeight))};
    }

    // Begins a frame on black with flat colour from the texture factor.
    void BeginFlatFrame(D3DCOLOR colour = kWhite)
    {
        RenderSetClearColor(0x00000000u);
        ASSERT_EQ(RenderBeginFrame(), 0);
        RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
        RenderSetState(D3DRS_LIGHTING, 0);
        RenderSetState(D3DRS_ZENABLE, 0);
        RenderSetState(D3DRS_TEXTUREFACTOR, colour);
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, 0xFFFFFFFFu);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, 0xFFFFFFFFu);
        RenderSetColorOp(1, D3DTOP_DISABLE, 0xFFFFFFFFu, 0xFFFFFFFFu);
        D3D8TestClearCallCounts(Device());
    }
    render_test::Pixels EndFrame()
    {
        RenderEndFrame(true);
        return render_test::ReadBackBuffer(Device());
    }
    static DWORD At(const render_test::Pixels& pixels, float x, float z)
    {
        const Pixel p = PixelOf(x, z);
        return pixels.At(static_cast<UINT>(p.x), static_cast<UINT>(p.y));
    }
};

}  // namespace map_test
