// The decal passes on the offscreen device: a map decal faded and fogged, the switch of the passes,
// and the faces a tinted draw selects.
#include <gtest/gtest.h>

#include "game/game_state.h"
#include "game/view/player_view.h"
#include "map/map_cvars.h"
#include "platform/test_clock.h"
#include "render/camera.h"
#include "render/device/dynamic_buffers.h"
#include "render/draw2d/hud_input.h"
#include "render/render_cvars.h"
#include "scene/passes/decal_list.h"
#include "scene/passes/decal_pass.h"
#include "scene/scene_state.h"
#include "support/keep_var.h"
#include "support/render_test_support.h"
#include "tests/scene/scene_fixture.h"
#include "world/animation/anim_mesh.h"
#include "world/decals/decal.h"
#include "world/world_cvars.h"

using namespace render_test;
using namespace scene_test;

namespace {

class DecalPasses : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        PlatformTestClockStart(50000);
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
        float* view = GameGetViewPos();
        view[0] = view[1] = view[2] = 0.0f;
        g_hudInput.flags.nightVision = 0;
        RenderViewUnderWater = 0;
        ASSERT_EQ(Device()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_white), D3D_OK);
        D3DLOCKED_RECT locked = {};
        m_white->LockRect(0, &locked, nullptr, 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = 0xFFFFFFFFu;
        m_white->UnlockRect(0);
        mffogstart.value.asFloat = 0.5f;  // fog from 5 units
        mfrange.value.asFloat = 1.5f;     // complete at 15
        mffogpow.value.asFloat = 1.0f;
        const float red[4] = {1.0f, 0.0f, 0.0f, 1.0f};
        for (int i = 0; i < 4; ++i)
            mcfogcolor.value.asColour[i] = red[i];
    }
    void TearDown() override
    {
        DecalListClear();
        m_white->Release();
        PlatformTestClockStop();
        RenderCore::TearDown();
    }
    // A decal square across the view centre at distance z, its triangles cut from the meshes given.
    Decal* Square(float z, u32_t lifetime, AnimFrameMesh* const* meshes = nullptr,
                  AnimMaterial* const* materials = nullptr)
    {
        const float v[18] = {-2, -2, z, 2, -2, z, 2, 2, z, -2, -2, z, 2, 2, z, -2, 2, z};
        const float uv[12] = {0, 1, 1, 1, 1, 0, 0, 1, 1, 0, 0, 0};
        DecalInitParams params;
        params.vertices = v;
        params.texCoords = uv;
        params.triangles = 2;
        params.texture = m_white;
        params.lifetimeMs = lifetime;
        params.meshes = meshes;
        params.materials = materials;
        Decal* decal = new Decal;
        decal->Init(params);
        decal->centre = {0.0f, 0.0f, z};
        decal->lightTint = 0;
        return decal;
    }
    Pixels Draw()
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        DecalListDraw();
        return ReadBackBuffer(Device());
    }
    DWORD Centre(const Pixels& p) const { return p.At(kWidth / 2, kHeight / 2); }
    KeepAllVars m_vars;
    IDirect3DTexture8* m_white = nullptr;
};

TEST_F(DecalPasses, AMapDecalIsFadedAndFogged)
{
    rbremovedecals.SetBool(true);
    // Out of the fog and not fading: white.
    DecalListAdd(Square(4.0f, 100000), false);
    EXPECT_TRUE(ColourNear(Centre(Draw()), 0xFFFFFFFFu, 2));
    EXPECT_EQ(DecalListGet(0)->fogFactor, 0.0f);

    // Halfway into the fog and halfway through its fading: the fog's red blended half over the white,
    // drawn at the fade's alpha of 127.
    DecalListClear();
    DecalListAdd(Square(10.0f, 450), false);
    const DWORD centre = Centre(Draw());
    EXPECT_NEAR(DecalListGet(0)->fogFactor, 0.5f, 1e-4f);
    EXPECT_TRUE(ColourNear(centre, 0xFF7F4040u, 3)) << std::hex << centre;

    // Under water the under-water fog (here without its texture: all water colour) replaces the
    // map's fog, and the decal keeps its fade.
    const float water[4] = {0.5f, 0.7f, 0.6f, 1.0f};
    for (int i = 0; i < 4; ++i)
        rc_uwatercol.value.asColour[i] = water[i];
    RenderViewUnderWater = 1;
    const DWORD under = Centre(Draw());
    RenderViewUnderWater = 0;
    EXPECT_TRUE(ColourNear(under, 0xFF3F594Cu, 3)) << std::hex << under;

    // Past its lifetime the pass removes it.
    PlatformTestClockAdvance(500);
    EXPECT_EQ(Centre(Draw()), 0xFF000000u);
    EXPECT_EQ(DecalListCount(), 0);
}

TEST_F(DecalPasses, SwitchedOffNothingIsDrawn)
{
    rbshowdecals.SetBool(false);
    DecalListAdd(Square(4.0f, 100000), false);
    DrawLog log(Device());
    EXPECT_EQ(Centre(Draw()), 0xFF000000u);
    EXPECT_TRUE(log.Draws().empty());
}

TEST_F(DecalPasses, TheTintedDrawSelectsFacesByMeshOrByOpacity)
{
    AnimFrameMesh first, second;
    AnimMaterial opaque = {}, glass = {};
    opaque.opacity = 1.0f;
    glass.opacity = 0.5f;
    AnimFrameMesh* meshes[2] = {&first, &second};
    AnimMaterial* materials[2] = {&glass, &opaque};
    Decal* decal = Square(4.0f, 100000, meshes, materials);
    decal->UpdateFade();
    struct Case {
        const AnimFrameMesh* mesh;
        UINT triangles;
    };
    const Case cases[] = {{&first, 1}, {&second, 1}, {nullptr, 1}};
    for (const Case& c : cases) {
        DrawLog log(Device());
        DynBufferSelect(&g_dynBuffers.texVertices);
        RenderDrawTintedMesh(decal, c.mesh);
        ASSERT_EQ(log.Draws().size(), 1u);
        EXPECT_EQ(log.Draws()[0].primitives, c.triangles);
    }
    // Nothing selected: nothing drawn.
    AnimFrameMesh stranger;
    DrawLog log(Device());
    RenderDrawTintedMesh(decal, &stranger);
    EXPECT_TRUE(log.Draws().empty());
    DynBufferSelect(nullptr);
    delete decal;
}

}  // namespace
