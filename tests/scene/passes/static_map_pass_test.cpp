// The static map of a tile through the device's draw log: which draws carry the lightmap, the fog
// and the layers, and the states they are made with, for the switches that change the sequence.
#include <gtest/gtest.h>

#include <cstring>

#include "game/game_state.h"
#include "map/map_cvars.h"
#include "render/draw2d/colour_pack.h"
#include "render/draw2d/debug_primitives.h"
#include "render/draw2d/hud_input.h"
#include "render/land/map_render_setup.h"
#include "render/render_cvars.h"
#include "map/terrain/static_map_buffers.h"
#include "scene/scene_cvars.h"
#include "scene/scene_state.h"
#include "scene/passes/static_map_pass.h"
#include "scene/passes/visibility_pass.h"
#include "tests/render/map_draw_support.h"
#include "tests/scene/scene_fixture.h"

using namespace map_test;
using scene_test::DrawLog;
using scene_test::DrawState;
using scene_test::SavedVars;

namespace {

constexpr u32_t kRed = 0xFFFF0000u;

class StaticMapPass : public MapDraw {
protected:
    void SetUp() override
    {
        MapDraw::SetUp();
        OctreeNode* root = OctreeCreateRoot({0, -32, 0}, {64, 32, 64});
        Split(root);
        // A near leaf and a far leaf beyond the fog start, each a quad with its faces in layer 0;
        // a road piece lies on the far one.
        m_near = root->children[0];
        m_far = root->children[4];
        FillGrid(m_near->geometry, 2, 14, 2, 22, 0, 1, 1);
        FillGrid(m_far->geometry, 34, 46, 2, 22, 0, 1, 1);
        m_far->flags = OCTREE_NODE_FAR_DETAIL | OCTREE_NODE_BEYOND_FOG;
        AppendLayer(m_near, 0, {0, 1});
        AppendLayer(m_far, 0, {0, 1});
        FillGrid(*AddPiece(m_far), 36, 44, 4, 20, 0, 1, 1);
        ASSERT_TRUE(RenderBuildStaticBuffers());
        ViewNodeAppend(m_near);
        ViewNodeAppend(m_far);

        for (IDirect3DTexture8*& texture : m_textures)
            ASSERT_EQ(Device()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
        g_mapRender.landTextures[0] = {Layer(), Alpha()};
        g_mapRender.landCompositeLit = Lit();
        g_mapRender.landCompositePlain = Plain();
    }
    void TearDown() override
    {
        g_mapRender.landTextures[0] = {};
        g_mapRender.landCompositeLit = g_mapRender.landCompositePlain = nullptr;
        for (IDirect3DTexture8* texture : m_textures) {
            if (texture)
                texture->Release();
        }
        g_hudInput.flags.nightVision = 0;
        g_scene.viewUnderWater = 0;
        MapDraw::TearDown();
    }

    IDirect3DTexture8* Layer() const { return m_textures[0]; }
    IDirect3DTexture8* Alpha() const { return m_textures[1]; }
    IDirect3DTexture8* Lit() const { return m_textures[2]; }
    IDirect3DTexture8* Plain() const { return m_textures[3]; }
    StaticMapTextures Textures() const { return {m_textures[4], m_textures[5], m_textures[6]}; }

    static int LinesOfColour(u32_t colour)
    {
        int count = 0;
        for (const DebugLine* line = g_debugPrimitives.lines.active; line; line = line->next)
            count += line->startColour == colour ? 1 : 0;
        return count;
    }

    OctreeNode* m_near = nullptr;
    OctreeNode* m_far = nullptr;
    IDirect3DTexture8* m_textures[7] = {};
};

struct Row {
    const char* name;
    bool lvi, lod, lm, nightVision, underWater;
    s32_t layerMask;
    // Expected draws: the lightmap in its own multiply pass (stage 0), with the far roads (stage 1),
    // the fog, the water fog, the layer, and the far leaves' single texture.
    int lightmapAlone, lightmapWithRoads, fog, waterFog, layer, farTexture;
};

TEST_F(StaticMapPass, LightmapFogAndLayerDrawsFollowTheSwitches)
{
    SavedVars saved{&rblvi, &rblayerlod, &rblm, &rilayer, &rbfog, &rbroads, &rbwireframe, &rbshowboxes};
    rbfog.SetBool(true);
    rbroads.SetBool(true);
    rbwireframe.SetBool(false);
    rbshowboxes.SetBool(false);
    const Row rows[] = {
        {"single draw", true, true, false, false, false, -1, 1, 1, 1, 0, 1, 1},
        {"rblm", true, true, true, false, false, -1, 2, 0, 1, 0, 1, 1},
        {"rblvi alone", true, false, false, false, false, -1, 2, 0, 1, 0, 2, 0},
        {"rblayerlod alone", false, true, false, false, false, -1, 2, 0, 1, 0, 2, 0},
        {"neither", false, false, false, false, false, -1, 2, 0, 1, 0, 2, 0},
        {"night vision", true, true, false, true, false, -1, 2, 0, 1, 0, 1, 1},
        {"under water", true, true, false, false, true, -1, 1, 1, 1, 2, 1, 1},
        {"layer mask", true, true, false, false, false, 1, 0, 0, 0, 0, 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        rblvi.SetBool(row.lvi);
        rblayerlod.SetBool(row.lod);
        rblm.SetBool(row.lm);
        rilayer.SetInt(row.layerMask);
        g_hudInput.flags.nightVision = row.nightVision ? 1 : 0;
        g_scene.viewUnderWater = row.underWater ? 1 : 0;
        const StaticMapTextures textures = Textures();
        BeginFlatFrame();
        DrawLog log(Device());
        RenderStaticMapTwoStageWith(textures);
        EndFrame();

        const auto alone = log.With(0, textures.lightmap);
        const auto withRoads = log.With(1, textures.lightmap);
        const auto fog = log.With(0, textures.fog);
        const auto layer = log.With(0, Layer());
        EXPECT_EQ(int(alone.size()), row.lightmapAlone);
        EXPECT_EQ(int(withRoads.size()), row.lightmapWithRoads);
        EXPECT_EQ(int(fog.size()), row.fog);
        EXPECT_EQ(int(log.With(0, textures.waterFog).size()), row.waterFog);
        EXPECT_EQ(int(layer.size()), row.layer);
        EXPECT_EQ(int(log.With(0, row.nightVision ? Plain() : Lit()).size()), row.farTexture);

        for (const DrawState& draw : alone) {
            EXPECT_EQ(draw.srcBlend, DWORD(D3DBLEND_DESTCOLOR));
            EXPECT_EQ(draw.destBlend, DWORD(D3DBLEND_ZERO));
            EXPECT_EQ(draw.alphaBlend, 1u);
            EXPECT_EQ(draw.colorOp[1], DWORD(D3DTOP_DISABLE));
            if (row.nightVision) {
                EXPECT_EQ(draw.colorOp[0], DWORD(D3DTOP_MODULATE4X));
                EXPECT_EQ(draw.textureFactor, ColourPackTruncated(rc_nvisioncol.Colour()));
            } else {
                EXPECT_EQ(draw.colorOp[0], DWORD(D3DTOP_SELECTARG1));
            }
        }
        for (const DrawState& draw : withRoads) {
            EXPECT_EQ(draw.colorOp[1], DWORD(D3DTOP_MODULATE));
            EXPECT_EQ(draw.colorArg1[1], DWORD(D3DTA_CURRENT));
            EXPECT_EQ(draw.colorArg2[1], DWORD(D3DTA_TEXTURE));
            EXPECT_EQ(draw.texCoordIndex[1], D3DTSS_TCI_CAMERASPACEPOSITION);
            EXPECT_EQ(draw.transformFlags[1], DWORD(D3DTTFF_COUNT2));
        }
        for (const DrawState& draw : fog) {
            EXPECT_EQ(draw.colorOp[0], DWORD(D3DTOP_SELECTARG2));
            EXPECT_EQ(draw.colorArg2[0], DWORD(D3DTA_TFACTOR));
            EXPECT_EQ(draw.alphaOp[0], DWORD(D3DTOP_SELECTARG1));
            EXPECT_EQ(draw.alphaArg1[0], DWORD(D3DTA_TEXTURE));
            EXPECT_EQ(draw.textureFactor, ColourPackRounded(mcfogcolor.Colour()));
            EXPECT_EQ(draw.srcBlend, DWORD(D3DBLEND_SRCALPHA));
            EXPECT_EQ(draw.destBlend, DWORD(D3DBLEND_INVSRCALPHA));
            EXPECT_EQ(draw.addressU0, DWORD(D3DTADDRESS_CLAMP));
            EXPECT_EQ(draw.addressV0, DWORD(D3DTADDRESS_CLAMP));
            EXPECT_EQ(draw.texCoordIndex[0], D3DTSS_TCI_CAMERASPACEPOSITION);
        }
        for (const DrawState& draw : layer) {
            EXPECT_EQ(draw.textures[1], Alpha());
            EXPECT_EQ(draw.transformFlags[0], DWORD(D3DTTFF_COUNT2));
            EXPECT_EQ(draw.zWrite, 0u);
            // A partial layer set is drawn opaque, without the alpha maps.
            EXPECT_EQ(draw.alphaBlend, row.layerMask == -1 ? 1u : 0u);
            EXPECT_EQ(draw.colorOp[1], row.layerMask == -1 ? DWORD(D3DTOP_MODULATE) : DWORD(D3DTOP_DISABLE));
        }
        for (const DrawState& draw : log.With(0, row.nightVision ? Plain() : Lit())) {
            float bias = 0.0f;
            std::memcpy(&bias, &draw.lodBias0, sizeof(bias));
            EXPECT_EQ(bias, rflayerbias.Float());
            EXPECT_EQ(draw.colourWrite, 0xFu);
        }
    }
}

TEST_F(StaticMapPass, WireframeDrawsOnlyTheOverlayAndTheRedRootBox)
{
    SavedVars saved{&rbwireframe, &rbshowboxes};
    rbwireframe.SetBool(true);
    rbshowboxes.SetBool(true);
    DebugListsFree();
    BeginFlatFrame();
    DrawLog log(Device());
    RenderStaticMapTwoStageWith(Textures());
    EndFrame();
    ASSERT_FALSE(log.Draws().empty());
    for (const DrawState& draw : log.Draws()) {
        EXPECT_EQ(draw.fillMode, DWORD(D3DFILL_WIREFRAME));
        EXPECT_EQ(draw.textures[0], nullptr);
    }
    EXPECT_EQ(LinesOfColour(kRed), 12);
    // The debug boxes of the two leaves with geometry.
    EXPECT_EQ(LinesOfColour(0xFFFFFFFFu), 24);
    DebugListsFree();
}

TEST_F(StaticMapPass, TextureUnitsChooseWhetherTheStaticMapIsDrawn)
{
    SavedVars saved{&rbtexunits, &rbwireframe};
    rbwireframe.SetBool(false);
    struct Case {
        s32_t units;
        bool drawn;
    };
    const Case cases[] = {{2, true}, {8, true}, {9, true}, {4, false}, {1, false}, {0, false}};
    size_t twoStageDraws = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.units);
        rbtexunits.SetInt(c.units);
        BeginFlatFrame();
        DrawLog log(Device());
        RenderVisibilityPass(32.0f, 40.0f, 24.0f, 0.0f, D3DX_PI / 2.0f, 0.0f, D3DX_PI / 2.0f);
        EndFrame();
        if (c.units == 2)
            twoStageDraws = log.Draws().size();
        EXPECT_EQ(log.Draws().empty(), !c.drawn);
        // Eight units and more draw the same picture in no more draws (here one layer and neither
        // lightmap nor fog: as many).
        if (c.drawn && c.units >= 8) {
            EXPECT_LE(log.Draws().size(), twoStageDraws);
        }
    }
}

struct ManyStageRow {
    const char* name;
    bool lvi, lod, lm, nightVision, wireframe;
    s32_t layerMask;
    bool oneDraw;  // else the two-stage sequence draws
};

TEST_F(StaticMapPass, ManyStagesLayTheLandOnInOneDrawWhereItStandsInForThePasses)
{
    SavedVars saved{&rblvi, &rblayerlod, &rblm, &rilayer, &rbfog, &rbroads, &rbwireframe, &rbshowboxes};
    rbfog.SetBool(true);
    rbroads.SetBool(true);
    rbshowboxes.SetBool(false);
    const ManyStageRow rows[] = {
        {"plain", false, false, false, false, false, -1, true},
        {"rblvi", true, false, false, false, false, -1, true},
        {"near and far leaves apart", true, true, false, false, false, -1, false},
        {"rblm", false, false, true, false, false, -1, false},
        {"night vision", false, false, false, true, false, -1, false},
        {"layer mask", false, false, false, false, false, 1, false},
        {"wire frame", false, false, false, false, true, -1, false},
    };
    for (const ManyStageRow& row : rows) {
        SCOPED_TRACE(row.name);
        rblvi.SetBool(row.lvi);
        rblayerlod.SetBool(row.lod);
        rblm.SetBool(row.lm);
        rilayer.SetInt(row.layerMask);
        rbwireframe.SetBool(row.wireframe);
        g_hudInput.flags.nightVision = row.nightVision ? 1 : 0;
        const StaticMapTextures textures = Textures();
        BeginFlatFrame();
        DrawLog twoStage(Device());
        RenderStaticMapTwoStageWith(textures);
        EndFrame();
        BeginFlatFrame();
        DrawLog log(Device());
        RenderStaticMapManyStageWith(textures);
        EndFrame();
        if (!row.oneDraw) {
            EXPECT_EQ(log.Draws().size(), twoStage.Draws().size());
            continue;
        }
        // The lightmap and the fog are no passes of their own.
        EXPECT_TRUE(log.With(0, textures.lightmap).empty());
        EXPECT_TRUE(log.With(0, textures.fog).empty());
        // One draw of each leaf: the layer modulated by its alpha map, which gives the alpha, the
        // lightmap multiplied, the fog blended in by its texture's alpha towards the fog colour.
        const auto land = log.With(0, Layer());
        ASSERT_EQ(land.size(), 2u);
        for (const DrawState& draw : land) {
            EXPECT_EQ(draw.textures[1], Alpha());
            EXPECT_EQ(draw.colorOp[1], DWORD(D3DTOP_MODULATE));
            EXPECT_EQ(draw.alphaArg1[1], DWORD(D3DTA_TEXTURE));
            EXPECT_EQ(draw.textures[2], textures.lightmap);
            EXPECT_EQ(draw.colorOp[2], DWORD(D3DTOP_MODULATE));
            EXPECT_EQ(draw.alphaArg1[2], DWORD(D3DTA_CURRENT));
            EXPECT_EQ(draw.textures[3], textures.fog);
            EXPECT_EQ(draw.colorOp[3], DWORD(D3DTOP_BLENDTEXTUREALPHA));
            EXPECT_EQ(draw.colorArg1[3], DWORD(D3DTA_TFACTOR));
            EXPECT_EQ(draw.alphaArg1[3], DWORD(D3DTA_CURRENT));
            EXPECT_EQ(draw.textureFactor, ColourPackRounded(mcfogcolor.Colour()));
            EXPECT_EQ(draw.srcBlend, DWORD(D3DBLEND_SRCALPHA));
            EXPECT_EQ(draw.destBlend, DWORD(D3DBLEND_INVSRCALPHA));
            EXPECT_EQ(draw.zWrite, 0u);
        }
        // The road piece, lit and fogged in its own draw.
        int roads = 0;
        for (const DrawState& draw : log.With(1, textures.lightmap)) {
            if (draw.textures[0] == Layer())
                continue;
            ++roads;
            EXPECT_EQ(draw.textures[2], textures.fog);
            EXPECT_EQ(draw.colorOp[2], DWORD(D3DTOP_BLENDTEXTUREALPHA));
        }
        EXPECT_EQ(roads, 1);
        EXPECT_LT(log.Draws().size(), twoStage.Draws().size());
    }
}

}  // namespace
