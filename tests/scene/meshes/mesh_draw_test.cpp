// The graphic-object mesh renderers: frame pairs, the level-of-detail verdicts, mesh draw records,
// and what the one-frame and interpolating paths put on the offscreen device.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/frame_view.h"
#include "game/game_state.h"
#include "map/map_cvars.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "render/land/map_render_setup.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/textures/texture_manager.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/draw_records/draw_records.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "scene/meshes/mesh_draw.h"
#include "scene/meshes/object_draw.h"
#include "scene/passes/object_pass.h"
#include "scene/scene_state.h"
#include "support/render_test_support.h"
#include "tests/scene/anim_mesh_fixture.h"
#include "tests/scene/scene_fixture.h"
#include "tools/aff_make/aff_description.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/mesh_collision.h"
#include "world/nodes/mesh_trace.h"
#include "world/nodes/object_trace.h"

using namespace render_test;
using namespace scene_test;

namespace {

u32_t RenderGetStateForTest(D3DRENDERSTATETYPE state)
{
    DWORD value = 0xDEADBEEF;
    g_render.device->GetRenderState(state, &value);
    return value;
}

aff::AffFile Frames(u32_t frames, u32_t meshes)
{
    aff::AffFile file;
    file.strings = {"mesh"};
    for (u32_t f = 0; f < frames; ++f) {
        aff::Frame frame;
        for (u32_t m = 0; m < meshes; ++m)
            frame.meshes.push_back(SizedMesh(3, 1));
        file.frames.push_back(frame);
    }
    return file;
}

TEST(MeshFramePairs, FramesWrapByOneLessThanTheCountAndCrossFadesStartFromTheSource)
{
    auto ten = ReadAff(Frames(10, 2));
    auto one = ReadAff(Frames(1, 2));
    auto four = ReadAff(Frames(4, 1));
    AnimMesh none;
    struct Row {
        const AnimMesh* anim;
        const AnimMesh* source;
        float frame, sourceFrame, weight;
        bool drawn;
        const AnimMesh* first;
        u32_t frame1, frame2;
        float t;
        u32_t meshCount;
    };
    const Row rows[] = {
        {ten.get(), nullptr, 5.25f, 0.0f, 0.0f, true, ten.get(), 5, 6, 0.25f, 2},
        {ten.get(), nullptr, 9.5f, 0.0f, 0.0f, true, ten.get(), 0, 1, 0.5f, 2},
        {ten.get(), nullptr, 13.0f, 0.0f, 0.0f, true, ten.get(), 4, 5, 0.0f, 2},
        {one.get(), nullptr, 0.75f, 0.0f, 0.0f, true, one.get(), 0, 0, 0.75f, 2},
        {&none, nullptr, 1.0f, 0.0f, 0.0f, false, nullptr, 0, 0, 0.0f, 0},
        {nullptr, nullptr, 1.0f, 0.0f, 0.0f, false, nullptr, 0, 0, 0.0f, 0},
        // A cross-fade: frame 1 from the source, frame 2 the new animation's frame 0, the mesh count
        // the new animation's.
        {ten.get(), four.get(), 0.0f, 2.5f, 0.25f, true, four.get(), 2, 0, 0.25f, 2},
        {ten.get(), four.get(), 0.0f, 7.0f, 0.0f, true, four.get(), 1, 0, 0.0f, 2},
    };
    for (const Row& row : rows) {
        MeshFramePair pair;
        ASSERT_EQ(MeshFramePairOf(row.anim, row.source, row.frame, row.sourceFrame, row.weight, &pair), row.drawn)
            << row.frame;
        if (!row.drawn)
            continue;
        EXPECT_EQ(pair.first, row.first) << row.frame;
        EXPECT_EQ(pair.frame1, row.frame1) << row.frame;
        EXPECT_EQ(pair.frame2, row.frame2) << row.frame;
        EXPECT_FLOAT_EQ(pair.t, row.t) << row.frame;
        EXPECT_EQ(pair.meshCount, row.meshCount) << row.frame;
        EXPECT_EQ(pair.blending, row.source != nullptr);
    }
}

MeshSettings Settings(u32_t mode, u8_t hidden = 0, u8_t lit = 1, u8_t land = 0)
{
    MeshSettings settings = {};
    settings.lodTagged = 1;
    settings.lodMode[0] = mode;
    settings.lodHidden[0] = hidden;
    settings.lit = lit;
    settings.landTexture = land;
    return settings;
}

TEST(MeshLodFilters, StepsFlagsAndHideBytesDecide)
{
    const MeshSettings drawn = Settings(MESH_LOD_DRAWN);
    const MeshSettings notDrawn = Settings(0);
    const MeshSettings hidden = Settings(MESH_LOD_DRAWN, 1);
    const MeshSettings translucent = Settings(MESH_LOD_DRAWN | MESH_LOD_TRANSLUCENT);
    const MeshSettings tested = Settings(MESH_LOD_DRAWN | MESH_LOD_ALPHA_TEST | MESH_LOD_NO_MIP);
    const MeshSettings unlit = Settings(MESH_LOD_DRAWN, 0, 0);
    MeshSettings perStep = {};
    perStep.lodMode[0] = 0;
    perStep.lodMode[1] = MESH_LOD_DRAWN;
    perStep.lit = 1;
    struct Row {
        const char* what;
        s32_t meshStep;
        const MeshSettings* record;
        s32_t step;
        bool hide;
        MeshVerdict verdict;
        bool alphaTest, noMip, lightingOff;
    };
    const Row rows[] = {
        {"every step", -1, nullptr, 2, true, MeshVerdict::Draw, false, false, false},
        {"own step", 1, nullptr, 1, true, MeshVerdict::Draw, false, false, false},
        {"other step", 1, nullptr, 0, true, MeshVerdict::Skip, false, false, false},
        {"step 255 keeps every-step meshes", -1, nullptr, 255, true, MeshVerdict::Draw, false, false, false},
        {"step 255 drops the others", 0, nullptr, 255, true, MeshVerdict::Skip, false, false, false},
        {"no step filter", 1, nullptr, -1, true, MeshVerdict::Draw, false, false, false},
        {"drawn", -1, &drawn, 0, true, MeshVerdict::Draw, false, false, false},
        {"not drawn at the step", -1, &notDrawn, 0, true, MeshVerdict::Skip, false, false, false},
        {"hidden", -1, &hidden, 0, true, MeshVerdict::Skip, false, false, false},
        {"hidden but not asked", -1, &hidden, 0, false, MeshVerdict::Draw, false, false, false},
        {"translucent", -1, &translucent, 0, true, MeshVerdict::Queue, false, false, false},
        {"alpha-tested without mips", -1, &tested, 0, true, MeshVerdict::Draw, true, true, false},
        {"unlit", -1, &unlit, 0, true, MeshVerdict::Draw, false, false, true},
        {"per-step flags", -1, &perStep, 1, true, MeshVerdict::Draw, false, false, false},
        {"per-step flags elsewhere", -1, &perStep, 0, true, MeshVerdict::Skip, false, false, false},
    };
    for (const Row& row : rows) {
        AnimFrameMesh mesh;
        mesh.detailLevel = row.meshStep;
        const MeshLodVerdict v = MeshLodFilter(mesh, row.record, row.step, row.hide);
        EXPECT_EQ(v.verdict, row.verdict) << row.what;
        if (v.verdict == MeshVerdict::Skip)
            continue;
        EXPECT_EQ(v.alphaTest, row.alphaTest) << row.what;
        EXPECT_EQ(v.noMip, row.noMip) << row.what;
        EXPECT_EQ(v.lightingOff, row.lightingOff) << row.what;
    }
}

constexpr DWORD kClear = 0xFF000000;
constexpr float kFov = 1.2f;

aff::Mesh Quad(float x0, float x1, float y0, float y1, float z = 0.0f)
{
    aff::Mesh mesh = aff::QuadMesh(0, {{{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}});
    mesh.material = aff::Material();
    for (float& c : mesh.material.ambient)
        c = 0.0f;
    for (float& c : mesh.material.diffuse)
        c = 0.0f;
    mesh.material.emissive[0] = 1.0f;  // red, whatever the lights
    mesh.material.ambient[2] = 1.0f;   // blue under a white ambient light
    return mesh;
}

class MeshDraw : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, kFov, 1);
        ASSERT_NEAR(g_camera.forward.z, 1.0f, 1e-4f);
        rbfog.value.asBool = false;
        rbsp.value.asBool = false;
        RenderSetPassSelector(PASS_SELECTOR_ALL_TERMS);
        RenderSetAnimatedFlag(false);
        RenderSetObjectFog(true);
        g_frameView.viewModeToggle = 0;
        g_hudInput.flags.nightVision = 0;
        RenderMeshPassIndex = 0;
        RenderSetState(D3DRS_AMBIENT, 0xFF000000);
        RenderSetState(D3DRS_ZENABLE, 0);
        RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
        Device()->LightEnable(0, FALSE);
        Device()->LightEnable(1, FALSE);
    }
    void TearDown() override
    {
        for (LandTextureSlot& slot : g_mapRender.landTextures)
            slot = {};
        for (IDirect3DTexture8* texture : m_textures)
            texture->Release();
        RenderMeshPassIndex = 0;
        GpuAnimSetCreateFault(nullptr);
        GpuAnimRelease();
        DrawRecordSetRecordingOff(false);
        DrawRecordListFree();
        RenderSetPassSelector(0xFFFFFFFFu);
        RenderSetAnimatedFlag(false);
        RenderCore::TearDown();
    }
    // Draws the listed meshes of one frame 10 units ahead of the camera.
    Pixels DrawFrame(AnimMesh* anim, std::vector<u32_t> meshes, const MeshSettings* records = nullptr, u8_t step = 0,
                     float z = 10.0f, IDirect3DTexture8* const* textures = nullptr)
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, kClear, 1.0f, 0);
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, 0.0f, 0.0f, z);
        LodLevel list;
        list.Set(meshes.data(), static_cast<u32_t>(meshes.size()), 0.0f);
        MeshDrawArgs args;
        args.world = &world;
        args.mesh = anim;
        args.lodRecords = records;
        args.meshList = &list;
        args.step = step;
        args.textures = textures;
        MeshDrawLoopFrame(args);
        return ReadBackBuffer(Device());
    }
    Pixels DrawAnimated(AnimMesh* anim, float frame)
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0);
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, 0.0f, 0.0f, 10.0f);
        MeshDrawArgs args;
        args.world = &world;
        args.mesh = anim;
        args.frame = frame;
        args.step = 0;
        MeshDrawAnimated(args);
        return ReadBackBuffer(Device());
    }
    static DWORD Centre(const Pixels& p) { return p.At(kWidth / 2, kHeight / 2); }
    IDirect3DTexture8* Solid(DWORD argb)
    {
        IDirect3DTexture8* texture = render_test::SolidTexture(Device(), argb);
        m_textures.push_back(texture);
        return texture;
    }
    void DirectionalLight(DWORD index, float r, float g, float b)
    {
        D3DLIGHT8 light = {};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {r, g, b, 1.0f};
        light.Direction = {0.0f, -1.0f, 0.0f};
        Device()->SetLight(index, &light);
    }
    // A white quad under light 0 (red) and light 1 (green) with light 0 on, and culling clockwise;
    // wound the way culling leaves out, so that only a back-face pass can show it.
    aff::Mesh CulledQuadUnderTwoLights()
    {
        RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
        aff::Mesh quad = Quad(-3, 3, -3, 3);
        quad.material.emissive[0] = 0.0f;
        quad.material.ambient[2] = 0.0f;
        for (float& c : quad.material.diffuse)
            c = 1.0f;
        DirectionalLight(0, 1.0f, 0.0f, 0.0f);
        DirectionalLight(1, 0.0f, 1.0f, 0.0f);
        Device()->LightEnable(0, TRUE);
        if (Centre(DrawFrame(ReadAff(OneFrame({quad})).get(), {0})) != kClear)
            std::swap(quad.indices[1], quad.indices[2]), std::swap(quad.indices[4], quad.indices[5]);
        return quad;
    }
    std::vector<IDirect3DTexture8*> m_textures;
    SavedVars m_vars{&rbfog, &rbsp, &mffogstart, &mfrange, &mffogpow, &mcfogcolor, &rfobjrad};
};

TEST_F(MeshDraw, LitMeshTakesTheMaterialTermsOfThePassSelector)
{
    auto anim = ReadAff(OneFrame({Quad(-3, 3, -3, 3)}));
    RenderSetState(D3DRS_AMBIENT, 0xFFFFFFFF);
    struct Row {
        u32_t selector;
        DWORD colour;
    };
    const Row rows[] = {{15, 0xFFFF00FF}, {9, 0xFFFF00FF}, {1, 0xFF0000FF}, {8, 0xFFFF0000}, {2, 0xFF000000}};
    // Untextured, and under a white texture that the lit colour modulates.
    IDirect3DTexture8* white[1] = {Solid(0xFFFFFFFF)};
    IDirect3DTexture8* const* const choices[2] = {nullptr, white};
    for (IDirect3DTexture8* const* textures : choices) {
        for (const Row& row : rows) {
            RenderSetPassSelector(row.selector);
            EXPECT_TRUE(ColourNear(Centre(DrawFrame(anim.get(), {0}, nullptr, 0, 10.0f, textures)), row.colour, 2))
                << row.selector << (textures ? " textured" : "");
        }
    }
}

TEST_F(MeshDraw, AlphaTestedMeshesKeepPixelsFromAlpha160)
{
    auto anim = ReadAff(OneFrame({Quad(-3, 3, -3, 3)}));
    const MeshSettings tested = Settings(MESH_LOD_DRAWN | MESH_LOD_ALPHA_TEST);
    struct Row {
        DWORD texel;
        bool shown;
    };
    const Row rows[] = {{0x9FFFFFFF, false}, {0xA0FFFFFF, true}, {0xFFFFFFFF, true}};
    for (const Row& row : rows) {
        IDirect3DTexture8* textures[1] = {Solid(row.texel)};
        const DWORD centre = Centre(DrawFrame(anim.get(), {0}, &tested, 0, 10.0f, textures));
        EXPECT_EQ(centre != kClear, row.shown) << std::hex << row.texel;
    }
    EXPECT_EQ(RenderGetStateForTest(D3DRS_ALPHATESTENABLE), 0u);
}

TEST_F(MeshDraw, TwoSidedMeshShowsItsBackFacesLitByLightOne)
{
    aff::Mesh quad = CulledQuadUnderTwoLights();
    ASSERT_EQ(Centre(DrawFrame(ReadAff(OneFrame({quad})).get(), {0})), kClear);
    quad.material.textureWord = ANIM_TEXTURE_NONE | ANIM_TEXTURE_TWO_SIDED;
    auto twoSided = ReadAff(OneFrame({quad}));
    EXPECT_TRUE(ColourNear(Centre(DrawFrame(twoSided.get(), {0})), 0xFF00FF00, 2));
    EXPECT_EQ(RenderGetStateForTest(D3DRS_CULLMODE), u32_t(D3DCULL_CW));
}

// One winding for what is drawn and what is hit: a box made by the mesh tool, drawn with the mesh
// pass's culling, shows its near face lit from the front; the ray test hits that face from outside
// and the sphere test pushes a sphere out of the box.
TEST_F(MeshDraw, AToolMadeBoxShowsItsOutsideAndIsSolidFromOutside)
{
    aff::AffFile file;
    std::string error;
    ASSERT_TRUE(aff::ParseAffDescription("frames 1\nbox crate 2 2 2 none 0 0 0\n", &file, &error)) << error;
    auto box = ReadAff(file);

    // Drawn 10 ahead (its near face at z = 9, facing the camera), a white light shining along +z.
    ObjectPassSetStates();
    D3DLIGHT8 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    Device()->SetLight(0, &light);
    Device()->LightEnable(0, TRUE);
    // The tool's material: diffuse 0.8 under no ambient light. Inside out, the far face would show,
    // turned away from the light: black.
    EXPECT_TRUE(ColourNear(Centre(DrawFrame(box.get(), {0})), 0xFFCCCCCC, 3));
    EXPECT_EQ(RenderGetStateForTest(D3DRS_CULLMODE), u32_t(D3DCULL_CW));

    // The ray from the camera's side hits the near face (faces 10 and 11: the -z side) at z = -1.
    float best = OBJTRACE_NO_HIT;
    float barycentric[2];
    const s32_t face = MeshTraceRay(box.get(), 0, 0, {0.3f, 0.2f, -5.0f}, {0.0f, 0.0f, 1.0f}, &best, barycentric);
    EXPECT_TRUE(face == 10 || face == 11) << face;
    EXPECT_FLOAT_EQ(best, 4.0f);

    // A sphere sunk 0.5 into the -x side is pushed back out to touch it. Its centre lies over the
    // side's diagonal (y = z), so that the inner edge of neither triangle pushes it sideways.
    Vector3 centre = {-1.5f, 0.3f, 0.3f};
    EXPECT_TRUE(MeshSphereCollision(box.get(), 0, 0, false, &centre, 1.0f));
    EXPECT_NEAR(centre.x, -2.0f, 1e-4f);
    EXPECT_NEAR(centre.y, 0.3f, 1e-4f);
    EXPECT_EQ(centre.z, 0.3f);
}

TEST_F(MeshDraw, LandLayerMeshMarksTheStencilAndShowsTheLayers)
{
    // The layers modulate the lit colour: white here.
    aff::Mesh quad = Quad(-3, 3, -3, 3);
    for (float& c : quad.material.emissive)
        c = 1.0f;
    auto anim = ReadAff(OneFrame({quad}));
    g_mapRender.landTextures[3] = {Solid(0xFF0000FF), Solid(0xFFFFFFFF)};
    const MeshSettings land = Settings(MESH_LOD_DRAWN, 0, 1, 1);
    RenderMeshPassIndex = 1;
    EXPECT_EQ(Centre(DrawFrame(anim.get(), {0}, &land)), kClear);
    RenderMeshPassIndex = 0;
    EXPECT_TRUE(ColourNear(Centre(DrawFrame(anim.get(), {0}, &land)), 0xFF0000FF, 2));
    // The stencil is left on, replacing with 0.
    EXPECT_EQ(RenderGetStateForTest(D3DRS_STENCILENABLE), 1u);
    EXPECT_EQ(RenderGetStateForTest(D3DRS_STENCILREF), 0u);
    // Only the mesh's pixels hold 8: a quad over the whole screen drawn where the stencil is 8.
    RenderSetState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    RenderSetState(D3DRS_STENCILREF, MESH_LAND_LAYER_STENCIL);
    RenderSetState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    RenderSetState(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    RenderSetState(D3DRS_LIGHTING, 0);
    RenderSetColorOp(0, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    DrawScreenQuad(Device(), 0, 0, kWidth, kHeight, 0xFFFFFF00);
    const Pixels marked = ReadBackBuffer(Device());
    EXPECT_TRUE(ColourNear(Centre(marked), 0xFFFFFF00, 2));
    EXPECT_EQ(marked.At(0, 0), kClear);
}

TEST_F(MeshDraw, TheSecondMeshOfAGpuBufferDrawsAsThroughTheStreamingBuffers)
{
    // Mesh 0 lies far off to the side: indices counted from the wrong first vertex would draw it.
    auto anim = ReadAff(OneFrame({Quad(100, 104, -3, 3), Quad(-3, 1, -2, 3)}));
    GpuAnimRequest(anim.get());
    GpuAnimUpload();
    ASSERT_NE(anim->frames[0].meshes[1].gpuVertexSlot, ANIM_GPU_SLOT_NONE);
    ASSERT_EQ(anim->frames[0].meshes[1].gpuFirstVertex, 4);
    const Pixels gpu = DrawFrame(anim.get(), {1});
    GpuAnimReleaseBuffers();
    ASSERT_EQ(anim->frames[0].meshes[1].gpuVertexSlot, ANIM_GPU_SLOT_NONE);
    const Pixels streamed = DrawFrame(anim.get(), {1});
    EXPECT_NE(Centre(streamed), kClear);
    int differing = 0;
    for (std::size_t i = 0; i < gpu.words.size(); ++i)
        differing += gpu.words[i] != streamed.words[i];
    EXPECT_EQ(differing, 0);
    GpuAnimRelease();  // the queue forgets the mesh before it goes
}

TEST_F(MeshDraw, HalfwayFrameDrawsHalfwayBetweenTwoPoses)
{
    aff::AffFile file;
    file.strings = {"mesh"};
    file.frames.push_back({{Quad(-9, -5, -2, 2)}});
    file.frames.push_back({{Quad(5, 9, -2, 2)}});
    auto anim = ReadAff(file);
    RenderSetAnimatedFlag(true);
    EXPECT_EQ(Centre(DrawAnimated(anim.get(), 0.0f)), kClear);
    EXPECT_NE(Centre(DrawAnimated(anim.get(), 0.5f)), kClear);
    // Without the animated flag frame 2 plays no part: frame 1's pose is drawn.
    RenderSetAnimatedFlag(false);
    EXPECT_EQ(Centre(DrawAnimated(anim.get(), 0.5f)), kClear);
}

TEST_F(MeshDraw, FarMeshTakesTheFogColour)
{
    auto anim = ReadAff(OneFrame({Quad(-60, 60, -60, 60)}));
    mffogstart.value.asFloat = 1.0f;
    mfrange.value.asFloat = 2.0f;
    mffogpow.value.asFloat = 1.0f;
    rfobjrad.value.asFloat = 1000.0f;
    const float fog[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    for (int i = 0; i < 4; ++i)
        mcfogcolor.value.asColour[i] = fog[i];
    EXPECT_TRUE(ColourNear(Centre(DrawFrame(anim.get(), {0}, nullptr, 0, 100.0f)), 0xFFFF0000, 2));
    rbfog.value.asBool = true;
    EXPECT_TRUE(ColourNear(Centre(DrawFrame(anim.get(), {0}, nullptr, 0, 100.0f)), 0xFF00FF00, 2));
    RenderSetObjectFog(false);
    EXPECT_TRUE(ColourNear(Centre(DrawFrame(anim.get(), {0}, nullptr, 0, 100.0f)), 0xFFFF0000, 2));
}

struct CullLog {
    std::vector<DWORD> cull;
    static void Observe(IDirect3DDevice8* device, D3DPRIMITIVETYPE, UINT, UINT, void* context)
    {
        DWORD value = 0;
        device->GetRenderState(D3DRS_CULLMODE, &value);
        static_cast<CullLog*>(context)->cull.push_back(value);
    }
};

TEST_F(MeshDraw, TwoSidedMeshesDrawTheirBackFacesSecondOrWithTheSinglePassFirst)
{
    aff::Mesh quad = Quad(-3, 3, -3, 3);
    quad.material.textureWord = ANIM_TEXTURE_NONE | ANIM_TEXTURE_TWO_SIDED;
    auto anim = ReadAff(OneFrame({quad}));
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
    struct Row {
        bool singlePass;
        std::vector<DWORD> cull;
    };
    const Row rows[] = {{false, {D3DCULL_CW, D3DCULL_CCW}}, {true, {D3DCULL_CCW, D3DCULL_CW}}};
    for (const Row& row : rows) {
        rbsp.value.asBool = row.singlePass;
        CullLog log;
        D3D8TestSetDrawObserver(Device(), CullLog::Observe, &log);
        DrawAnimated(anim.get(), 0.0f);
        D3D8TestSetDrawObserver(Device(), nullptr, nullptr);
        EXPECT_EQ(log.cull, row.cull) << row.singlePass;
    }
}

TEST_F(MeshDraw, TranslucentMeshesBecomeMeshRecords)
{
    auto anim = ReadAff(OneFrame({Quad(-3, 3, -3, 3), Quad(-3, 3, -3, 3)}));
    const MeshSettings records[2] = {Settings(MESH_LOD_DRAWN), Settings(MESH_LOD_DRAWN | MESH_LOD_TRANSLUCENT)};
    IDirect3DTexture8* textures[2] = {nullptr, reinterpret_cast<IDirect3DTexture8*>(0x1234)};
    DrawRecordListInit();
    RenderSetAnimatedFlag(true);
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0.0f, 0.0f, 10.0f);
    LodLevel list;
    const u32_t meshes[2] = {0, 1};
    list.Set(meshes, 2, 0.0f);
    MeshDrawArgs args;
    args.world = &world;
    args.mesh = anim.get();
    args.frame = 0.0f;
    args.textures = textures;
    args.lodRecords = records;
    args.meshList = &list;
    args.fadeAlpha = 7;
    EXPECT_EQ(MeshDrawLoopFrame(args), 1);
    ASSERT_EQ(DrawRecordCount(), 1u);
    const DrawRecord* record = DrawRecordAt(0);
    EXPECT_EQ(record->Kind(), DRAW_RECORD_MESH);
    EXPECT_EQ(record->SourceBlend(), u32_t(D3DBLEND_SRCALPHA));
    EXPECT_EQ(record->DestinationBlend(), u32_t(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(record->fields.mesh.meshWord, 1u | DRAW_RECORD_ANIMATED);
    EXPECT_EQ(record->fields.mesh.mesh, anim.get());
    EXPECT_EQ(record->fields.mesh.texture, textures[1]);
    EXPECT_EQ(record->fields.mesh.fade, 7);
    EXPECT_FLOAT_EQ(record->sortKey, 100.0f);  // the quad's centre lies 10 ahead

    // The interpolating renderer queues it the same way, with the frame it was given.
    DrawRecordsClear();
    args.frame = 0.25f;
    MeshDrawAnimated(args);
    ASSERT_EQ(DrawRecordCount(), 1u);
    EXPECT_EQ(DrawRecordAt(0)->fields.mesh.meshWord, 1u | DRAW_RECORD_ANIMATED);
    EXPECT_FLOAT_EQ(DrawRecordAt(0)->fields.mesh.frame, 0.25f);
    // Without the animated flag bit 16 stays clear.
    DrawRecordsClear();
    RenderSetAnimatedFlag(false);
    MeshDrawAnimated(args);
    ASSERT_EQ(DrawRecordCount(), 1u);
    EXPECT_EQ(DrawRecordAt(0)->fields.mesh.meshWord, 1u);
    EXPECT_EQ(DrawRecordAt(0)->flags & DRAW_RECORD_ANIMATED, 0u);

    DrawRecordsClear();
    DrawRecordSetRecordingOff(true);
    MeshDrawLoopFrame(args);
    MeshDrawAnimated(args);
    EXPECT_EQ(DrawRecordCount(), 0u);
}

}  // namespace

namespace {

struct PassLog {
    struct Pass {
        DWORD cull, alphaBlend;
        IDirect3DBaseTexture8* stage0;
    };
    std::vector<Pass> passes;
    static void Observe(IDirect3DDevice8* device, D3DPRIMITIVETYPE, UINT, UINT, void* context)
    {
        Pass pass = {};
        device->GetRenderState(D3DRS_CULLMODE, &pass.cull);
        device->GetRenderState(D3DRS_ALPHABLENDENABLE, &pass.alphaBlend);
        device->GetTexture(0, &pass.stage0);
        if (pass.stage0)
            pass.stage0->Release();
        static_cast<PassLog*>(context)->passes.push_back(pass);
    }
};

TEST_F(MeshDraw, ReflectionPassBeatsTheBackFacePass)
{
    IDirect3DTexture8* base = Solid(0xFFFFFFFF);
    IDirect3DTexture8* plain = Solid(0xFFFFFFFF);
    TextureInfo info = {};
    info.reflectMap = Solid(0xFFFFFFFF);
    info.secondReflectMap = Solid(0xFF0000FF);
    TextureSetRecord(base, &info);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
    struct Row {
        bool twoSided, reflection;
        std::vector<DWORD> cull;
        DWORD secondBlend;
    };
    const Row rows[] = {
        {false, false, {D3DCULL_CW}, 0},
        {true, false, {D3DCULL_CW, D3DCULL_CCW}, 0},
        {false, true, {D3DCULL_CW, D3DCULL_CW}, 1},
        {true, true, {D3DCULL_CW, D3DCULL_CW}, 1},
    };
    for (const Row& row : rows) {
        aff::Mesh quad = Quad(-3, 3, -3, 3);
        if (row.twoSided)
            quad.material.textureWord = ANIM_TEXTURE_NONE | ANIM_TEXTURE_TWO_SIDED;
        auto anim = ReadAff(OneFrame({quad}));
        IDirect3DTexture8* textures[1] = {row.reflection ? base : plain};
        PassLog log;
        D3D8TestSetDrawObserver(Device(), PassLog::Observe, &log);
        const Pixels pixels = DrawFrame(anim.get(), {0}, nullptr, 0, 10.0f, textures);
        D3D8TestSetDrawObserver(Device(), nullptr, nullptr);
        ASSERT_EQ(log.passes.size(), row.cull.size()) << row.twoSided << row.reflection;
        for (std::size_t i = 0; i < log.passes.size(); ++i)
            EXPECT_EQ(log.passes[i].cull, row.cull[i]) << row.twoSided << row.reflection << " pass " << i;
        if (log.passes.size() == 2) {
            EXPECT_EQ(log.passes[1].alphaBlend, row.secondBlend);
            if (row.reflection) {
                EXPECT_EQ(log.passes[1].stage0, info.secondReflectMap);
                // The emissive red with the second reflection map's blue added.
                EXPECT_TRUE(ColourNear(Centre(pixels), 0xFFFF00FF, 2));
            }
        }
    }
    TextureInfo none = {};
    TextureSetRecord(base, &none);
}

TEST_F(MeshDraw, QueuedTranslucentMeshDrawsWhenTheRecordsReplay)
{
    // The record renderer draws with the material's opacity (1 unless set).
    aff::Mesh quad = Quad(-3, 3, -3, 3);
    auto anim = ReadAff(OneFrame({quad}));
    const MeshSettings translucent = Settings(MESH_LOD_DRAWN | MESH_LOD_TRANSLUCENT);
    DrawRecordListInit();
    EXPECT_EQ(Centre(DrawFrame(anim.get(), {0}, &translucent)), kClear);
    ASSERT_EQ(DrawRecordCount(), 1u);
    DrawRecordsReplay();
    // The emissive red shows (the replay's own ambient light may add the ambient blue).
    EXPECT_EQ((Centre(ReadBackBuffer(Device())) >> 16) & 0xFF, 0xFFu);
}

}  // namespace

namespace {

TEST_F(MeshDraw, CrossFadeFromASourceWithFewerMeshesDrawsTheRestFromTheNewAnimation)
{
    // The source pose has the first quad far left; the new animation has it far right and a second
    // quad in the middle that the source lacks.
    auto source = ReadAff(OneFrame({Quad(-6, -3, -2, 2)}));
    aff::AffFile file;
    file.strings = {"mesh"};
    file.frames.push_back({{Quad(3, 6, -2, 2), Quad(-1, 1, -1, 1)}});
    auto anim = ReadAff(file);
    RenderSetAnimatedFlag(true);
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0.0f, 0.0f, 10.0f);
    struct Row {
        float weight;
        bool leftShown, centreShown;
    };
    const Row rows[] = {{0.0f, true, true}, {1.0f, false, true}};
    for (const Row& row : rows) {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kClear, 1.0f, 0);
        MeshDrawArgs args;
        args.world = &world;
        args.mesh = anim.get();
        args.blendSource = source.get();
        args.blendWeight = row.weight;
        MeshDrawAnimated(args);
        const Pixels pixels = ReadBackBuffer(Device());
        bool left = false, right = false;
        for (UINT x = 0; x < kWidth / 3; ++x) {
            left = left || pixels.At(x, kHeight / 2) != kClear;
            right = right || pixels.At(kWidth - 1 - x, kHeight / 2) != kClear;
        }
        EXPECT_EQ(left, row.leftShown) << row.weight;
        EXPECT_EQ(right, !row.leftShown) << row.weight;
        EXPECT_EQ(Centre(pixels) != kClear, row.centreShown) << row.weight;
    }
}

}  // namespace

namespace {

using MeshDrawRobustness = MeshDraw;

// A node holds textures and level-of-detail records for the meshes of frame 0 only; a later frame
// with more meshes draws them without, and reads nothing past the node's arrays.
TEST_F(MeshDrawRobustness, LaterFramesWithMoreMeshesThanTheNodeHolds)
{
    aff::AffFile file;
    file.strings = {"mesh"};
    file.frames.push_back({{Quad(-6, -3, -2, 2)}});
    file.frames.push_back({{Quad(-6, -3, -2, 2), Quad(-1, 1, -1, 1)}});
    file.frames.push_back({{Quad(-6, -3, -2, 2), Quad(-1, 1, -1, 1)}});
    auto anim = ReadAff(file);
    ASSERT_EQ(anim->frames_c, 3u);
    const std::vector<MeshSettings> records = {Settings(MESH_LOD_DRAWN)};
    const std::vector<IDirect3DTexture8*> textures = {nullptr};
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0.0f, 0.0f, 10.0f);
    LodLevel list;
    const u32_t meshes[2] = {0, 1};
    list.Set(meshes, 2, 0.0f);
    MeshDrawArgs args;
    args.world = &world;
    args.mesh = anim.get();
    args.frame = 1.0f;
    args.textures = textures.data();
    args.lodRecords = records.data();
    args.meshList = &list;
    for (int path = 0; path < 3; ++path) {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kClear, 1.0f, 0);
        if (path == 0)
            MeshDrawLoopFrame(args);
        else if (path == 1)
            MeshDrawAnimated(args);
        else
            MeshDrawAnimatedLodList(args);
        EXPECT_NE(Centre(ReadBackBuffer(Device())), kClear) << "path " << path;
    }
}

}  // namespace

namespace {

// The second renderer draws every listed mesh and ends each in the single pass, whatever "rbsp"
// says: a two-sided mesh shows its back faces first, and a listed mesh hidden at the step by its
// record is drawn all the same.
TEST_F(MeshDraw, TheListRendererDrawsHiddenListedMeshesInOnePassWhateverRbsp)
{
    aff::Mesh quad = Quad(-3, 3, -3, 3);
    quad.material.textureWord = ANIM_TEXTURE_NONE | ANIM_TEXTURE_TWO_SIDED;
    auto anim = ReadAff(OneFrame({quad}));
    const MeshSettings hidden[1] = {Settings(MESH_LOD_DRAWN, 1)};
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0.0f, 0.0f, 10.0f);
    LodLevel list;
    const u32_t meshes[1] = {0};
    list.Set(meshes, 1, 0.0f);
    MeshDrawArgs args;
    args.world = &world;
    args.mesh = anim.get();
    args.lodRecords = hidden;
    args.meshList = &list;
    for (bool singlePass : {false, true}) {
        rbsp.value.asBool = singlePass;
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0);
        CullLog log;
        D3D8TestSetDrawObserver(Device(), CullLog::Observe, &log);
        MeshDrawAnimatedLodList(args);
        D3D8TestSetDrawObserver(Device(), nullptr, nullptr);
        EXPECT_EQ(log.cull, (std::vector<DWORD>{D3DCULL_CCW, D3DCULL_CW})) << singlePass;
        EXPECT_NE(Centre(ReadBackBuffer(Device())), kClear) << singlePass;
    }
}

// The indoor renderer follows the mesh renderers' rule for its second pass: a two-sided mesh draws
// its back faces lit by light 1 (not a lightmap pass, whatever the map has); a one-sided mesh
// draws once; a dummy, a null mesh and a frame or mesh past the tables draw nothing.
TEST_F(MeshDraw, IndoorMeshesDrawTheirBackFacesSecondAndDummiesNothing)
{
    aff::Mesh quad = Quad(-3, 3, -3, 3);
    aff::Mesh twoSided = quad;
    twoSided.material.textureWord = ANIM_TEXTURE_NONE | ANIM_TEXTURE_TWO_SIDED;
    auto anim = ReadAff(OneFrame({quad, twoSided, quad}));
    anim->frames[0].meshes[2].flags &= ~ANIM_MESH_TAKES_DECALS;  // a dummy: no geometry
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0.0f, 0.0f, 10.0f);
    Device()->SetTransform(D3DTS_WORLD, &world);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
    struct Row {
        AnimMesh* mesh;
        u32_t index, frame;
        std::vector<DWORD> cull;
    };
    const Row rows[] = {
        {anim.get(), 0, 0, {D3DCULL_CW}}, {anim.get(), 1, 0, {D3DCULL_CW, D3DCULL_CCW}},
        {anim.get(), 2, 0, {}},           {anim.get(), 3, 0, {}},
        {anim.get(), 0, 1, {}},           {nullptr, 0, 0, {}},
    };
    for (const Row& row : rows) {
        RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
        CullLog log;
        D3D8TestSetDrawObserver(Device(), CullLog::Observe, &log);
        MeshDrawIndoor(row.mesh, row.index, row.frame, nullptr);
        D3D8TestSetDrawObserver(Device(), nullptr, nullptr);
        EXPECT_EQ(log.cull, row.cull) << row.index << " " << row.frame;
        EXPECT_EQ(RenderGetStateForTest(D3DRS_CULLMODE), u32_t(D3DCULL_CW));
        // The states of the renderer's first step are set even when nothing is drawn.
        if (row.mesh) {
            EXPECT_EQ(RenderGetStateForTest(D3DRS_ALPHABLENDENABLE), 0u);
        }
    }
}

// The back faces take the reversed light: light 1 (green) where light 0 is red.
TEST_F(MeshDraw, IndoorBackFacesAreLitByLightOne)
{
    aff::Mesh quad = CulledQuadUnderTwoLights();
    quad.material.textureWord = ANIM_TEXTURE_NONE | ANIM_TEXTURE_TWO_SIDED;
    auto anim = ReadAff(OneFrame({quad}));
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0.0f, 0.0f, 10.0f);
    Device()->SetTransform(D3DTS_WORLD, &world);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0);
    MeshDrawIndoor(anim.get(), 0, 0, nullptr);
    EXPECT_TRUE(ColourNear(Centre(ReadBackBuffer(Device())), 0xFF00FF00, 2));
}

}  // namespace
