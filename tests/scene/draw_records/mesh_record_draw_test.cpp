// The mesh record renderer: the frames a record's fractional frame blends, and what translucent
// records put on the offscreen device through the first replay.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/frame_view.h"
#include "game/game_state.h"
#include "map/map_cvars.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/passes/decal_pass.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/draw_records/draw_records.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "scene/draw_records/mesh_record_draw.h"
#include "scene/meshes/object_draw.h"
#include "scene/scene_state.h"
#include "support/keep_var.h"
#include "support/render_test_support.h"
#include "tests/scene/anim_mesh_fixture.h"
#include "tests/scene/scene_fixture.h"
#include "world/decals/decal.h"
#include "world/nodes/graph_node.h"

using namespace render_test;
using namespace scene_test;

namespace {

TEST(MeshRecordFrames, FractionalFramesBlendNeighboursAndWrapByOneLess)
{
    struct Case {
        u32_t count;
        float frame;
        u32_t first, second;
        float f;
    };
    const Case cases[] = {
        {10, 3.25f, 3, 4, 0.25f}, {10, 9.5f, 0, 1, 0.5f}, {10, 20.0f, 2, 3, 0.0f},
        {1, 5.5f, 0, 0, 0.5f},  // one frame: no second frame to wrap by
        {2, 7.75f, 0, 1, 0.75f},  {10, NAN, 0, 1, 0.0f},  {10, -3.5f, 0, 1, 0.0f},
    };
    for (const Case& c : cases) {
        MeshRecordFrames frames;
        ASSERT_TRUE(MeshRecordFramesOf(c.count, c.frame, &frames)) << c.frame;
        EXPECT_EQ(frames.first, c.first) << c.count << " " << c.frame;
        EXPECT_EQ(frames.second, c.second) << c.count << " " << c.frame;
        EXPECT_FLOAT_EQ(frames.f, c.f) << c.frame;
        EXPECT_FLOAT_EQ(frames.w, 1.0f - c.f) << c.frame;
    }
    MeshRecordFrames none;
    EXPECT_FALSE(MeshRecordFramesOf(0, 1.0f, &none));
}

// A quad across the view, emissive in the colour given, opacity 1.
aff::Mesh Quad(float half, float r, float g, float b)
{
    aff::Mesh mesh = aff::QuadMesh(0, {{{-half, -half, 0}, {half, -half, 0}, {half, half, 0}, {-half, half, 0}}});
    for (float& c : mesh.material.ambient)
        c = 0.0f;
    for (float& c : mesh.material.diffuse)
        c = 0.0f;
    mesh.material.emissive[0] = r;
    mesh.material.emissive[1] = g;
    mesh.material.emissive[2] = b;
    return mesh;
}

class MeshRecords : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
        rbfog.value.asBool = false;
        g_hudInput.flags.nightVision = 0;
        RenderSetPassSelector(PASS_SELECTOR_ALL_TERMS);
        DrawRecordListInit();
    }
    void TearDown() override
    {
        GpuAnimRelease();
        RenderSetSkyPass(false);
        DrawRecordListFree();
        RenderSetPassSelector(0xFFFFFFFFu);
        RenderCore::TearDown();
    }
    DrawRecord* Queue(AnimMesh* anim, float z, u8_t fade = 0, IDirect3DTexture8* texture = nullptr)
    {
        DrawRecord* record = DrawRecordAlloc(DRAW_RECORD_MESH, 0);
        EXPECT_NE(record, nullptr);
        record->SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, 0.0f, 0.0f, z);
        record->world = world;
        record->sortKey = z * z;
        record->fields.mesh.mesh = anim;
        record->fields.mesh.fade = fade;
        record->fields.mesh.texture = texture;
        return record;
    }
    Pixels Replay()
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        DrawRecordsSort();
        DrawRecordsReplay();
        return ReadBackBuffer(Device());
    }
    KeepAllVars m_vars;
};

TEST_F(MeshRecords, OverlappingRecordsDrawFarFirst)
{
    auto nearRed = ReadAff(OneFrame({Quad(1.0f, 1, 0, 0)}));
    auto farGreen = ReadAff(OneFrame({Quad(4.0f, 0, 1, 0)}));
    Queue(nearRed.get(), 5.0f);
    Queue(farGreen.get(), 10.0f);
    DrawLog log(Device());
    const Pixels pixels = Replay();
    ASSERT_EQ(log.Draws().size(), 2u);
    // The near red quad covers the far green one in the middle; green shows round it.
    EXPECT_TRUE(ColourNear(pixels.At(kWidth / 2, kHeight / 2), 0xFFFF0000u, 2));
    EXPECT_TRUE(ColourNear(pixels.At(kWidth / 2, kHeight / 2 + 12), 0xFF00FF00u, 2));
}

TEST_F(MeshRecords, AFadedRecordTakesItsAlphaFromTheFadeAndIsNeverAlphaTested)
{
    auto anim = ReadAff(OneFrame({Quad(2.0f, 1, 1, 1)}));
    MeshSettings tested = {};
    tested.lit = 1;
    for (u32_t& mode : tested.lodMode)
        mode = 0x02 | 0x10;  // drawn, alpha-tested
    DrawRecord* record = Queue(anim.get(), 5.0f, 220);
    record->fields.mesh.lodRecords = &tested;
    DrawLog log(Device());
    const Pixels pixels = Replay();
    ASSERT_EQ(log.Draws().size(), 1u);
    EXPECT_EQ(log.Draws()[0].textureFactor >> 24, 36u);
    EXPECT_EQ(log.Draws()[0].alphaTest, 0u);
    // Alpha 36 of white over black, below the alpha reference of 60 yet drawn.
    EXPECT_TRUE(ColourNear(pixels.At(kWidth / 2, kHeight / 2), 0xFF242424u, 2));

    DrawRecordsClear();
    Queue(anim.get(), 5.0f, 128);
    DrawLog second(Device());
    Replay();
    ASSERT_EQ(second.Draws().size(), 1u);
    EXPECT_EQ(second.Draws()[0].textureFactor >> 24, 128u);
}

TEST_F(MeshRecords, DuringTheSkyPassTheTextureColourIsUnlit)
{
    auto anim = ReadAff(OneFrame({Quad(2.0f, 1, 0, 0)}));
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(Device()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    for (bool sky : {false, true}) {
        DrawRecordsClear();
        Queue(anim.get(), 5.0f, 0, texture);
        RenderSetSkyPass(sky);
        DrawLog log(Device());
        Replay();
        ASSERT_EQ(log.Draws().size(), 1u);
        EXPECT_EQ(log.Draws()[0].colorOp[0], DWORD(sky ? D3DTOP_SELECTARG1 : D3DTOP_MODULATE));
    }
    texture->Release();
}

TEST_F(MeshRecords, TheRecordsDecalsDrawOnTheFacesOfItsOwnMesh)
{
    auto anim = ReadAff(OneFrame({Quad(3.0f, 0, 0, 1)}));
    AnimFrameMesh* own = &anim->frames[0].meshes[0];
    AnimFrameMesh other;
    // Two triangles on the mesh's plane (world z = 5): the left one cut from this mesh, the right
    // one from another mesh.
    const float vertices[18] = {-2, -1, 5, -0.5f, -1, 5, -1.25f, 1, 5, 0.5f, -1, 5, 2, -1, 5, 1.25f, 1, 5};
    const float uvs[12] = {};
    AnimFrameMesh* meshes[2] = {own, &other};
    AnimMaterial opaque = {};
    opaque.opacity = 1.0f;
    AnimMaterial* materials[2] = {&opaque, &opaque};
    Decal* decal = new Decal;
    DecalInitParams params;
    params.vertices = vertices;
    params.texCoords = uvs;
    params.triangles = 2;
    params.meshes = meshes;
    params.materials = materials;
    decal->Init(params);
    decal->lightTint = 0;
    Decal* decals[1] = {decal};
    DrawRecord* record = Queue(anim.get(), 5.0f);
    record->fields.mesh.decals = decals;
    record->fields.mesh.decalCount = 1;
    g_scene.drawLog = {};
    DrawLog log(Device());
    const Pixels pixels = Replay();
    // The mesh, then the decal's one triangle of this mesh, untextured: white over the blue mesh.
    ASSERT_EQ(log.Draws().size(), 2u);
    EXPECT_EQ(log.Draws()[1].primitives, 1u);
    EXPECT_EQ(g_scene.drawLog.tintedMeshCount, 1);
    D3DXVECTOR3 left(-1.25f, -0.5f, 5.0f), right(1.25f, -0.5f, 5.0f), onLeft, onRight;
    D3DVIEWPORT8 viewport = {0, 0, DWORD(kWidth), DWORD(kHeight), 0.0f, 1.0f};
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DXVec3Project(&onLeft, &left, &viewport, &g_camera.projection, &g_camera.view, &identity);
    D3DXVec3Project(&onRight, &right, &viewport, &g_camera.projection, &g_camera.view, &identity);
    EXPECT_TRUE(ColourNear(pixels.At(UINT(onLeft.x), UINT(onLeft.y)), 0xFFFFFFFFu, 2));
    EXPECT_TRUE(ColourNear(pixels.At(UINT(onRight.x), UINT(onRight.y)), 0xFF0000FFu, 2));
    delete decal;
}

TEST_F(MeshRecords, FarGpuHeldRecordsTakeNoFogPass)
{
    auto anim = ReadAff(OneFrame({Quad(2.0f, 1, 1, 1)}));
    rbfog.value.asBool = true;
    g_frameView.viewModeToggle = 0;
    RenderSetObjectFog(true);
    mffogstart.value.asFloat = 0.1f;  // the fog starts at 1 unit
    mfrange.value.asFloat = 1.0f;     // and is complete at 10
    // Streamed: the mesh and its fog pass; from the GPU buffers: the mesh alone.
    Queue(anim.get(), 5.0f);
    DrawLog streamed(Device());
    Replay();
    EXPECT_EQ(streamed.Draws().size(), 2u);
    GpuAnimRequest(anim.get());
    GpuAnimUpload();
    ASSERT_NE(anim->frames[0].meshes[0].gpuVertexSlot, ANIM_GPU_SLOT_NONE);
    DrawLog gpu(Device());
    Replay();
    EXPECT_EQ(gpu.Draws().size(), 1u);
    // An interpolated record is never drawn from them.
    DrawRecordsClear();
    Queue(anim.get(), 5.0f)->fields.mesh.meshWord = DRAW_RECORD_ANIMATED;
    DrawLog interpolated(Device());
    Replay();
    EXPECT_EQ(interpolated.Draws().size(), 2u);
    GpuAnimRelease();  // before the mesh goes
}

TEST_F(MeshRecords, AFractionalFrameBlendsTheTwoFrames)
{
    // Frame 0 spans x -5..-3, frame 1 x 0..2: at frame 0.25 (weights .75 and .25) the quad spans
    // -3.75..-1.75 and misses the view centre; at 0.75 it spans -1.25..0.75 and covers it.
    aff::AffFile file;
    file.strings = {"mesh"};
    file.frames.push_back({{Quad(1.0f, 1, 1, 1)}});
    file.frames.push_back({{Quad(1.0f, 1, 1, 1)}});
    for (Vector3& p : file.frames[0].meshes[0].positions)
        p.x -= 4.0f;
    for (Vector3& p : file.frames[1].meshes[0].positions)
        p.x += 1.0f;
    auto anim = ReadAff(file);
    for (float frame : {0.25f, 0.75f}) {
        DrawRecordsClear();
        DrawRecord* record = Queue(anim.get(), 5.0f);
        record->fields.mesh.meshWord = DRAW_RECORD_ANIMATED;
        record->fields.mesh.frame = frame;
        const Pixels pixels = Replay();
        const bool covered = (pixels.At(kWidth / 2, kHeight / 2) & 0xFFFFFF) != 0;
        EXPECT_EQ(covered, frame > 0.5f) << frame;
    }
}

}  // namespace
