// The water's secondary views and its surface over a small fixture world: a 64-unit map whose four
// lower leaves hold water at y = -4, a red pane standing above the water and a green pane wholly
// below it. The views are checked by the pictures they leave in the water view texture, the
// surface by the back buffer, and the selection and clock by their counters.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/files/def_file.h"
#include "core/frame_view.h"
#include "game/game_state.h"
#include "game/view/game_view.h"
#include "game/view/player_view.h"
#include "gui/screens/gui.h"
#include "map/terrain/map_caches.h"
#include "map/map_cvars.h"
#include "map/terrain/map_grid.h"
#include "map/octree/octree.h"
#include "map/land_maps/water_layers.h"
#include "map/registry/world_registry.h"
#include "render/camera.h"
#include "render/device/frame.h"
#include "render/land/map_render_setup.h"
#include "render/render_cvars.h"
#include "render/device/shaders.h"
#include "render/land/visible_nodes.h"
#include "scene/draw_records/draw_records.h"
#include "scene/render_services.h"
#include "scene/scene_cvars.h"
#include "scene/passes/scene_passes.h"
#include "scene/scene_state.h"
#include "scene/views/secondary_views.h"
#include "scene/passes/visibility_pass.h"
#include "scene/passes/water_pass.h"
#include "scene/passes/water_surface.h"
#include "support/files.h"
#include "support/keep_var.h"
#include "support/map_octree_support.h"
#include "support/temp_dir.h"
#include "support/render_test_support.h"
#include "tests/scene/placed_object_fixture.h"
#include "tools/aff_make/aff_writer.h"
#include "world/animation/anim_cache.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

using render_test::ColourNear;
using render_test::Pixels;

namespace {

constexpr float kFov = 1.2f;
constexpr float kPitch = 0.15f;
constexpr float kWaterHeight = -4.0f;
const Vector3 kEye = {0.0f, 6.0f, -24.0f};
constexpr DWORD kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlack = 0xFF000000u;

// A quad facing the camera (-z) at depth z in the material's emissive colour.
aff::Mesh Pane(float x0, float x1, float y0, float y1, float z, const float* emissive)
{
    aff::Mesh mesh = aff::QuadMesh(0, {{{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}});
    for (int k = 0; k < 3; ++k) {
        mesh.material.ambient[k] = 0.0f;
        mesh.material.diffuse[k] = 0.0f;
        mesh.material.emissive[k] = emissive[k];
    }
    mesh.material.textureWord = 0xFFFF;
    return mesh;
}

class WaterViews : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        // The water shaders of the test data, found by the device resources in the working folder.
        for (const char* name : {"water.ps", "water.vs", "water1.ps", "water1.vs"})
            ASSERT_TRUE(WriteFileBytes(m_dir.Path() + "/component/_common/" + name,
                                       ReadFileBytes(std::string(ZINTAR_TEST_DATA_DIR "/shaders/") + name)));
        RenderCore::SetUp();
        MapGetBox(&m_boxMin, &m_boxMax);
        rbfog.SetBool(false);
        rbtexunits.SetInt(0);  // no static map: only objects and water
        rbshadows.SetBool(false);
        rbflm.SetBool(false);
        rbwater.SetBool(true);
        // A far plane of 60 units: the copies of the panes in the next world tiles stay out of view.
        mfrange.SetFloat(6.0f);
        m_shaders = g_render.shaders;

        MapSetBox({-32, -32, -32}, {32, 32, 32});
        OctreeNode* root = OctreeCreateRoot({-32, -32, -32}, {32, 32, 32});
        map_test::Split(root);
        for (OctreeNode* leaf : root->children) {
            if (leaf->boxMin.y >= 0.0f)
                continue;
            m_squares.push_back(std::make_unique<WaterSquare>(
                WaterSquare{leaf->boxMin.x, leaf->boxMin.z, leaf->boxMax.x, leaf->boxMax.z, kWaterHeight}));
            leaf->waterSquares = new WaterSquare*[OCTREE_MAX_WATER_SQUARES];
            leaf->waterSquares[0] = m_squares.back().get();
            leaf->waterSquareCount = 1;
        }
        WaterLayer& layer = MapGetWaterLayers()[0];
        layer.mask = MapGridCreate(2);
        layer.height = kWaterHeight;
        DrawRecordListInit();

        const float red[3] = {1, 0, 0}, green[3] = {0, 1, 0};
        AddObject("above", {Pane(-6, 6, 0, 8, 0, red)}, {0, 0, 16});
        AddObject("below", {Pane(-6, 6, -14, -6, 0, green)}, {0, 0, 16});

        float* eye = GameGetViewPos();
        eye[0] = kEye.x, eye[1] = kEye.y, eye[2] = kEye.z;
        GameSetYawPitch(0.0f, kPitch);
        GameSetFieldOfView(kFov);
        SecondaryViewsReset();
        g_secondaryViews.reflectionRan = true;  // the plane is on from the second view of a run
        RenderWaterTime = 0;
    }
    void TearDown() override
    {
        SecondaryViewsReset();
        g_render.shaders = m_shaders;
        g_frameView.inGameDisplay = false;
        RenderViewUnderWater = 0;
        g_visible.waterTotal = 0;
        g_visible.nearestWater = 1e30f;
        float* eye = GameGetViewPos();
        eye[0] = eye[1] = eye[2] = 0.0f;
        GameSetYawPitch(0.0f, 0.0f);
        GameSetFieldOfView(1.5707963f);
        for (auto& object : m_objects)
            DynObjectRemove(object.get());
        m_objects.clear();
        AnimCacheFreeAll();
        DefFileFreeAll();
        DrawRecordsClear();
        DrawRecordListFree();
        WaterLayersFree();
        OctreeDestroy();
        MapSetBox(m_boxMin, m_boxMax);
        RenderCore::TearDown();
    }

    void AddObject(const char* name, const std::vector<aff::Mesh>& meshes, Vector3 at)
    {
        std::unique_ptr<GraphObj> object = scene_test::PlacedMeshObject(name, meshes, {}, at);
        ASSERT_NE(object->GetRootNode()->GetChild(0)->GetAnimMesh(), nullptr);
        ASSERT_TRUE(DynObjectAdd(object.get()));
        m_objects.push_back(std::move(object));
    }

    // Level 0 of the water view texture.
    static IDirect3DSurface8* ViewSurface()
    {
        IDirect3DSurface8* surface = nullptr;
        EXPECT_EQ(g_render.secondaryViewTarget->GetSurfaceLevel(0, &surface), D3D_OK);
        return surface;
    }
    static void ClearViewTexture(DWORD colour)
    {
        IDirect3DSurface8* surface = ViewSurface();
        RenderTargetBegin(surface);
        g_render.device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0);
        RenderTargetEnd();
        surface->Release();
    }
    static Pixels ReadViewTexture()
    {
        IDirect3DSurface8* surface = ViewSurface();
        Pixels pixels = render_test::ReadSurface(surface);
        surface->Release();
        return pixels;
    }
    // The main view's visibility pass from the eye: it sees the water.
    static void MainVisibility() { RenderVisibilityPass(kEye.x, kEye.y, kEye.z, 0.0f, kPitch, 0.0f, kFov); }
    static int CountColour(const Pixels& pixels, DWORD colour, int* top = nullptr, int* bottom = nullptr)
    {
        int count = 0;
        for (UINT y = 0; y < pixels.height; ++y) {
            for (UINT x = 0; x < pixels.width; ++x) {
                if (!ColourNear(pixels.At(x, y), colour, 8))
                    continue;
                if (top && (count == 0 || int(y) < *top))
                    *top = int(y);
                if (bottom)
                    *bottom = int(y);
                ++count;
            }
        }
        return count;
    }

    TempDir m_dir;
    KeepAllVars m_vars;
    Vector3 m_boxMin, m_boxMax;
    bool m_shaders = false;
    std::vector<std::unique_ptr<WaterSquare>> m_squares;
    std::vector<std::unique_ptr<GraphObj>> m_objects;
};

TEST_F(WaterViews, TheViewIsChosenByTheWaterInViewTheLayersAndTheViewer)
{
    const struct {
        const char* name;
        u32_t waterTotal;
        float nearest;
        bool layer;
        bool water;  // rbwater
        float eyeY;  // -10 stands in the water, 6 above it
        u32_t underViews, reflectionViews;
        u8_t underWater;
    } rows[] = {
        {"no water in view", 0, 10.0f, true, true, 6.0f, 0, 0, 0},
        {"nearest water beyond reach", 3, 5001.0f, true, true, 6.0f, 0, 0, 0},
        {"nearest water at the reach", 3, 5000.0f, true, true, 6.0f, 0, 1, 0},
        {"no water layer", 3, 10.0f, false, true, 6.0f, 0, 0, 0},
        {"viewer above water", 3, 10.0f, true, true, 6.0f, 0, 1, 0},
        {"viewer in the water", 3, 10.0f, true, true, -10.0f, 1, 0, 1},
        {"rbwater off", 3, 10.0f, true, false, -10.0f, 0, 0, 0},
    };
    MapGrid* mask = MapGetWaterLayers()[0].mask;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(RenderBeginFrame(), 0);
        g_secondaryViews.underWaterViews = g_secondaryViews.reflectionViews = 0;
        g_visible.waterTotal = row.waterTotal;
        g_visible.nearestWater = row.nearest;
        MapGetWaterLayers()[0].mask = row.layer ? mask : nullptr;
        rbwater.SetBool(row.water);
        GameGetViewPos()[0] = 1.0f;  // inside a square, not on the edge two squares share
        GameGetViewPos()[1] = row.eyeY;
        RenderSecondaryViews();
        EXPECT_EQ(g_secondaryViews.underWaterViews, row.underViews);
        EXPECT_EQ(g_secondaryViews.reflectionViews, row.reflectionViews);
        EXPECT_EQ(RenderViewUnderWater, row.underWater);
        EXPECT_EQ(RenderToTextureActive, 0);
        EXPECT_EQ(g_scene.mainView, 1);
        RenderEndFrame(true);
    }
    MapGetWaterLayers()[0].mask = mask;
}

TEST_F(WaterViews, ATargetSwapsTargetDepthAndSizesAndGivesThemBack)
{
    IDirect3DDevice8* device = Device();
    IDirect3DSurface8 *target = nullptr, *depth = nullptr;
    device->GetRenderTarget(&target);
    device->GetDepthStencilSurface(&depth);
    IDirect3DSurface8* surface = ViewSurface();

    RenderTargetBegin(surface);
    IDirect3DSurface8 *inTarget = nullptr, *inDepth = nullptr;
    device->GetRenderTarget(&inTarget);
    device->GetDepthStencilSurface(&inDepth);
    EXPECT_EQ(inTarget, surface);
    EXPECT_EQ(inDepth, g_render.targetDepthStencil);
    EXPECT_EQ(RenderToTextureActive, 1);
    EXPECT_EQ(g_render.screenWidth, 512);
    EXPECT_EQ(g_render.screenHeight, 512);
    RenderSetFullViewport(false);
    D3DVIEWPORT8 viewport = {};
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 512u);
    EXPECT_EQ(viewport.Height, 512u);
    inTarget->Release();
    inDepth->Release();

    RenderTargetEnd();
    device->GetRenderTarget(&inTarget);
    device->GetDepthStencilSurface(&inDepth);
    EXPECT_EQ(inTarget, target);
    EXPECT_EQ(inDepth, depth);
    EXPECT_EQ(RenderToTextureActive, 0);
    EXPECT_EQ(g_render.screenWidth, kWidth);
    EXPECT_EQ(g_render.screenHeight, kHeight);
    RenderSetFullViewport(false);
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, UINT(kWidth));
    EXPECT_EQ(viewport.Height, UINT(kHeight));
    for (IDirect3DSurface8* s : {inTarget, inDepth, target, depth, surface})
        s->Release();
}

// The reflection is taken from the eye mirrored in the water (2h - y) with a plane through h: the
// pane above the water shows where the mirrored camera sees it, the pane below is cut away; the
// first reflection of a run draws without the plane.
TEST_F(WaterViews, TheReflectionMirrorsTheWorldAboveTheWaterAndCutsAwayWhatLiesBelow)
{
    for (const bool first : {false, true}) {
        SCOPED_TRACE(first ? "first view of the run" : "later view");
        g_secondaryViews.reflectionRan = !first;
        ASSERT_EQ(RenderBeginFrame(), 0);
        ClearViewTexture(kBlack);
        MainVisibility();
        RenderSecondaryViews();
        EXPECT_EQ(g_secondaryViews.reflectionRan, true);
        // The main camera is set up again from the viewer.
        EXPECT_FLOAT_EQ(g_camera.position.y, kEye.y);
        RenderEndFrame(true);
        const Pixels view = ReadViewTexture();
        ASSERT_EQ(view.width, 512u);

        int top = 0, bottom = 0;
        EXPECT_GT(CountColour(view, kRed, &top, &bottom), 0);
        // Where the mirrored camera sees the red pane's upper and lower edges.
        CameraSetViewSize(512, 512);
        g_render.screenWidth = g_render.screenHeight = 512;
        RenderSetupCamera(kEye.x, 2.0f * kWaterHeight - kEye.y, kEye.z, 0.0f, -kPitch, 0.0f, kFov, 0);
        auto row = [](float y) {
            D3DXVECTOR3 world(0.0f, y, 16.0f), view3, clip;
            D3DXVec3TransformCoord(&view3, &world, &g_camera.view);
            D3DXVec3TransformCoord(&clip, &view3, &g_camera.projection);
            return (1.0f - clip.y) * 0.5f * 512.0f;
        };
        EXPECT_NEAR(top, row(8.0f), 3.0f);
        EXPECT_NEAR(bottom, row(0.0f), 3.0f);
        CameraSetViewSize(kWidth, kHeight);
        g_render.screenWidth = kWidth;
        g_render.screenHeight = kHeight;

        EXPECT_EQ(CountColour(view, kGreen) > 0, first);
    }
}

// The sky box stands round the camera in the reflection as in the main view, wherever the viewer is:
// from a viewer far from the origin the mirrored view still looks up into the sky.
TEST_F(WaterViews, TheReflectionLooksUpIntoTheSkyWhereverTheViewerStands)
{
    constexpr DWORD kSky = 0xFF2040C0u;
    IDirect3DTexture8* faces[ENV_FACE_COUNT] = {};
    for (int face = 0; face < ENV_FACE_COUNT; ++face)
        g_mapRender.envMaps[face] = faces[face] = render_test::SolidTexture(Device(), kSky);
    for (const float x : {0.0f, 300.0f}) {
        SCOPED_TRACE(x);
        ASSERT_EQ(RenderBeginFrame(), 0);
        ClearViewTexture(kBlack);
        g_visible.waterTotal = 3;
        g_visible.nearestWater = 10.0f;
        GameGetViewPos()[0] = x;
        RenderSecondaryViews();
        EXPECT_EQ(g_secondaryViews.reflectionViews, x == 0.0f ? 1u : 2u);
        RenderEndFrame(true);
        const Pixels view = ReadViewTexture();
        // The upper half of the mirrored picture is sky, but for the panes.
        for (UINT column = 0; column < view.width; column += 64)
            EXPECT_TRUE(ColourNear(view.At(column, 4), kSky, 8)) << column;
        EXPECT_GT(CountColour(view, kSky), int(view.width * view.height / 4));
    }
    for (int face = 0; face < ENV_FACE_COUNT; ++face) {
        g_mapRender.envMaps[face] = nullptr;
        faces[face]->Release();
    }
}

// Without vertex shaders the water geometry only marks its pixels (stencil 8) and the view texture
// is laid over them at 96 / 255; with them the water is one blended pass of the water shader.
TEST_F(WaterViews, TheWaterIsDrawnByTheStencilQuadOrInOneShaderPass)
{
    rc_watercol.value.asColour[0] = 0.0f;
    rc_watercol.value.asColour[1] = 0.0f;
    rc_watercol.value.asColour[2] = 1.0f;
    rc_watercol.value.asColour[3] = 1.0f;
    for (const bool shaders : {false, true}) {
        SCOPED_TRACE(shaders ? "shaders" : "stencil quad");
        g_render.shaders = shaders;
        if (shaders) {
            ASSERT_NE(g_shaderSet.vertex[0], 0u);
        }
        ClearViewTexture(kRed);
        RenderSetClearColor(0x00000000u);
        ASSERT_EQ(RenderBeginFrame(), 0);
        RenderSetupCamera(kEye.x, kEye.y, kEye.z, 0.0f, kPitch, 0.0f, kFov, 1);
        MainVisibility();
        ASSERT_GT(g_visible.waterTotal, 0u);
        const D3D8CallCounts before = Counts();
        RenderWaterSurface();
        RenderWaterOverlay();
        const D3D8CallCounts after = Counts();
        const Pixels pixels = render_test::ReadBackBuffer(Device());
        RenderEndFrame(true);

        // The water fills the bottom rows, the top rows look past it.
        const DWORD water = pixels.At(kWidth / 2, kHeight - 2);
        EXPECT_TRUE(ColourNear(pixels.At(kWidth / 2, 1), kBlack, 2));
        if (shaders) {
            EXPECT_TRUE(ColourNear(water, 0xFF0000FFu, 2));
            EXPECT_EQ(after.drawPrimitive, before.drawPrimitive);  // no quad
        } else {
            EXPECT_TRUE(ColourNear(water, 0xFF600000u, 2));
            EXPECT_EQ(after.drawPrimitive, before.drawPrimitive + 1);
        }
        EXPECT_GT(after.drawIndexedPrimitive, before.drawIndexedPrimitive);
    }
}

TEST_F(WaterViews, TheWaterClockStepsTheTexturesAndStandsStillBehindAScreen)
{
    const struct {
        u32_t time;
        u32_t frame;
    } frames[] = {{0, 0}, {999, 0}, {1000, 1}, {31999, 31}, {32000, 0}, {0xFFFFFFFFu, 0xFFFFFFFFu / 1000 & 31}};
    for (const auto& f : frames) {
        RenderWaterTime = f.time;
        EXPECT_EQ(RenderWaterFrame(), f.frame) << f.time;
    }

    RenderWaterTime = 0;
    rf_waterspeed.SetFloat(1.0f);
    g_frameView.frameTime = 0.25f;
    ASSERT_EQ(RenderBeginFrame(), 0);
    MainVisibility();
    for (int i = 0; i < 4; ++i)
        RenderWaterSurface();
    EXPECT_EQ(RenderWaterTime, 1000u);
    EXPECT_EQ(RenderWaterFrame(), 1u);
    g_frameView.inGameDisplay = true;
    RenderWaterSurface();
    EXPECT_EQ(RenderWaterTime, 1000u);
    g_frameView.inGameDisplay = false;
    // A negative speed does not run the clock backwards through its unsigned range.
    rf_waterspeed.SetFloat(-1.0f);
    RenderWaterSurface();
    EXPECT_EQ(RenderWaterTime, 1000u);

    // No water in view: neither step touches the device.
    g_visible.waterTotal = 0;
    const D3D8CallCounts before = Counts();
    RenderWaterSurface();
    RenderWaterOverlay();
    const D3D8CallCounts after = Counts();
    EXPECT_EQ(after.setRenderState, before.setRenderState);
    EXPECT_EQ(after.setTextureStageState, before.setTextureStageState);
    EXPECT_EQ(after.setTexture, before.setTexture);
    EXPECT_EQ(after.clear, before.clear);
    EXPECT_EQ(RenderWaterTime, 1000u);
    RenderEndFrame(true);
    g_frameView.frameTime = 0.001f;
}

}  // namespace
