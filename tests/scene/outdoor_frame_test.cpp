// A whole outdoor frame of a small fixture mission: a ground map repeating over the world tiles, an
// opaque box and a translucent pane in front of it, drawn the way the game frame draws: the stencil
// mark, the visibility pass with the static map, the outdoor pass list. Checked by its properties
// (each object at its projected place, the pane's colour blended over the box) and against a golden
// image within a tolerance (ZINTAR_UPDATE_GOLDEN=1 writes it anew).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/files/def_file.h"
#include "core/frame_view.h"
#include "map/terrain/map_caches.h"
#include "map/map_cvars.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree.h"
#include "map/registry/world_registry.h"
#include "platform/d3dx8_texture.h"
#include "render/camera.h"
#include "render/device/frame.h"
#include "render/land/map_render_setup.h"
#include "render/render_cvars.h"
#include "map/terrain/static_map_buffers.h"
#include "render/textures/texture_manager.h"
#include "scene/draw_records/draw_records.h"
#include "scene/meshes/mesh_draw.h"
#include "scene/scene_cvars.h"
#include "scene/passes/scene_passes.h"
#include "scene/passes/visibility_pass.h"
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

constexpr DWORD kSky = 0xFF3060A0u;
constexpr float kFov = 1.2f;
const Vector3 kEye = {0.0f, 6.0f, -24.0f};
constexpr float kPitch = 0.15f;

// A quad facing the camera (-z) at depth z, in the material's emissive colour (lights play no part).
aff::Mesh Pane(float x0, float x1, float y0, float y1, float z, const float* emissive, u32_t texture)
{
    aff::Mesh mesh = aff::QuadMesh(0, {{{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}});
    for (int k = 0; k < 3; ++k) {
        mesh.material.ambient[k] = 0.0f;
        mesh.material.diffuse[k] = 0.0f;
        mesh.material.emissive[k] = emissive[k];
    }
    mesh.material.textureWord = texture;
    return mesh;
}

class OutdoorFrame : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        MapGetBox(&m_boxMin, &m_boxMax);
        rbfog.SetBool(false);
        rbtexunits.SetInt(2);
        rblayerlod.SetBool(false);
        rbshadows.SetBool(false);
        rbflm.SetBool(false);
        rbwater.SetBool(false);
        mfrange.SetFloat(1500.0f);
        // The world: 64 units a side round the origin, ground at y = 0 in the four lower octants.
        MapSetBox({-32, -32, -32}, {32, 32, 32});
        OctreeNode* root = OctreeCreateRoot({-32, -32, -32}, {32, 32, 32});
        map_test::Split(root);
        for (OctreeNode* leaf : root->children) {
            if (leaf->boxMin.y >= 0.0f)
                continue;
            map_test::FillGrid(leaf->geometry, leaf->boxMin.x, leaf->boxMax.x, leaf->boxMin.z, leaf->boxMax.z, 0.0f, 2,
                               2);
            map_test::AppendLayer(leaf, 0, {0, 1, 2, 3, 4, 5, 6, 7});
        }
        ASSERT_TRUE(RenderBuildStaticBuffers());
        g_mapRender.landTextures[0] = {Solid(0xFF40A040u), Solid(0xFFFFFFFFu)};
        g_mapRender.landCompositeLit = Solid(0xFF40A040u);
        g_mapRender.landCompositePlain = g_mapRender.landCompositeLit;
        DrawRecordListInit();

        WriteTextureFile("glass", 0x800000FFu);
        const float red[3] = {1, 0, 0}, white[3] = {1, 1, 1};
        // An opaque red wall 16 units ahead, a blue glass pane before its left half.
        AddObject("wall", {Pane(-6, 6, 0, 8, 0, red, 0xFFFF)}, {}, false, {0, 0, 16});
        AddObject("glass", {Pane(-10, 0, 1, 6, 0, white, 0)}, {"glass"}, true, {0, 0, 8});
    }
    void TearDown() override
    {
        for (auto& object : m_objects)
            DynObjectRemove(object.get());
        m_objects.clear();
        AnimCacheFreeAll();
        DefFileFreeAll();
        g_mapRender.landTextures[0] = {};
        g_mapRender.landCompositeLit = g_mapRender.landCompositePlain = nullptr;
        for (IDirect3DTexture8* texture : m_textures)
            texture->Release();
        DrawRecordsClear();
        DrawRecordListFree();
        OctreeDestroy();
        MapSetBox(m_boxMin, m_boxMax);
        RenderCore::TearDown();
    }

    IDirect3DTexture8* Solid(DWORD argb)
    {
        IDirect3DTexture8* texture = render_test::SolidTexture(Device(), argb);
        m_textures.push_back(texture);
        return texture;
    }
    static void WriteTextureFile(const char* name, DWORD colour)
    {
        IDirect3DTexture8* texture = nullptr;
        ASSERT_EQ(D3DXCreateTexture(g_render.device, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = colour;
        texture->UnlockRect(0);
        ASSERT_EQ(D3DXSaveTextureToFileA((std::string(name) + ".dds").c_str(), D3DXIFF_DDS, texture, nullptr), D3D_OK);
        texture->Release();
    }
    void AddObject(const char* name, const std::vector<aff::Mesh>& meshes, const std::vector<std::string>& textures,
                   bool translucent, Vector3 at)
    {
        std::unique_ptr<GraphObj> object = scene_test::PlacedMeshObject(name, meshes, textures, at);
        GraphNode* node = object->GetRootNode()->GetChild(0);
        ASSERT_NE(node->GetAnimMesh(), nullptr);
        if (translucent)
            for (u32_t m = 0; m < node->FrameZeroMeshCount(); ++m)
                for (u32_t& mode : node->GetMeshSettings()[m].lodMode)
                    mode |= MESH_LOD_TRANSLUCENT;
        ASSERT_TRUE(DynObjectAdd(object.get()));
        m_objects.push_back(std::move(object));
    }

    Pixels DrawFrame()
    {
        // A clear colour of alpha 0 clears the frame (no sky box here).
        RenderSetClearColor(kSky & 0x00FFFFFFu);
        // The viewer the passes read is the eye the frame is drawn from.
        m_viewer = {g_frameView.viewPos[0], g_frameView.viewPos[1], g_frameView.viewPos[2]};
        g_frameView.viewPos[0] = kEye.x;
        g_frameView.viewPos[1] = kEye.y;
        g_frameView.viewPos[2] = kEye.z;
        EXPECT_EQ(RenderBeginFrame(), 0);
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, kPitch, 0.0f, kFov, 1);
        StencilMarkBegin();
        RenderVisibilityPass(kEye.x, kEye.y, kEye.z, 0.0f, kPitch, 0.0f, kFov);
        StencilEnable();
        RenderScenePasses();
        const Pixels pixels = render_test::ReadBackBuffer(Device());
        RenderEndFrame(true);
        g_frameView.viewPos[0] = m_viewer.x;
        g_frameView.viewPos[1] = m_viewer.y;
        g_frameView.viewPos[2] = m_viewer.z;
        return pixels;
    }

    // Where a world point shows on the back buffer.
    static void PixelOf(Vector3 p, int* x, int* y)
    {
        const D3DXVECTOR3 world(p.x, p.y, p.z);
        D3DXVECTOR3 view, clip;
        D3DXVec3TransformCoord(&view, &world, &g_camera.view);
        D3DXVec3TransformCoord(&clip, &view, &g_camera.projection);
        *x = static_cast<int>(std::floor((clip.x + 1.0f) * 0.5f * kWidth));
        *y = static_cast<int>(std::floor((1.0f - clip.y) * 0.5f * kHeight));
    }
    static DWORD At(const Pixels& pixels, Vector3 p)
    {
        int x = 0, y = 0;
        PixelOf(p, &x, &y);
        EXPECT_TRUE(x >= 0 && x < kWidth && y >= 0 && y < kHeight) << x << " " << y;
        return pixels.At(static_cast<UINT>(x), static_cast<UINT>(y));
    }

    TempDir m_dir;
    KeepAllVars m_vars;
    Vector3 m_boxMin, m_boxMax;
    Vector3 m_viewer = {};
    std::vector<IDirect3DTexture8*> m_textures;
    std::vector<std::unique_ptr<GraphObj>> m_objects;
};

// The golden image: a binary PPM of the back buffer.
std::string GoldenPath()
{
    return std::string(ZINTAR_TEST_DATA_DIR) + "/scene/outdoor_frame_test.ppm";
}

bool ReadPpm(const std::string& path, int* width, int* height, std::vector<unsigned char>* rgb)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    if (!(in >> magic >> *width >> *height >> maximum) || magic != "P6" || maximum != 255 || *width <= 0 ||
        *height <= 0 || *width > 4096 || *height > 4096)
        return false;
    in.get();
    rgb->resize(static_cast<size_t>(*width) * *height * 3);
    return static_cast<bool>(in.read(reinterpret_cast<char*>(rgb->data()), static_cast<std::streamsize>(rgb->size())));
}

void WritePpm(const std::string& path, const Pixels& pixels, int width, int height)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const DWORD c = pixels.At(static_cast<UINT>(x), static_cast<UINT>(y));
            const char rgb[3] = {char((c >> 16) & 0xFF), char((c >> 8) & 0xFF), char(c & 0xFF)};
            out.write(rgb, 3);
        }
}

TEST_F(OutdoorFrame, ObjectsStandAtTheirPlacesAndThePaneBlendsOverTheWall)
{
    const Pixels frame = DrawFrame();
    // The wall's right half shows bare, its left half behind the glass; the sky above, the ground below.
    const DWORD wall = At(frame, {4, 4, 16});
    EXPECT_TRUE(ColourNear(wall, 0xFFFF0000u, 2)) << std::hex << wall;
    const DWORD behindGlass = At(frame, {-3, 4, 16});
    EXPECT_TRUE(ColourNear(behindGlass, 0xFF7F0080u, 4)) << std::hex << behindGlass;
    EXPECT_EQ(frame.At(kWidth / 2, 0), kSky);
    const DWORD ground = At(frame, {6, 0, -8});
    EXPECT_TRUE(ColourNear(ground, 0xFF40A040u, 24)) << std::hex << ground;
    // The glass alone, over the ground: blue blended over green.
    const DWORD glassOverGround = At(frame, {-9, 1.5f, 8});
    EXPECT_NE(glassOverGround & 0xFF, 0u) << std::hex << glassOverGround;

    int width = 0, height = 0;
    std::vector<unsigned char> golden;
    if (std::getenv("ZINTAR_UPDATE_GOLDEN")) {
        WritePpm(GoldenPath(), frame, kWidth, kHeight);
        return;
    }
    ASSERT_TRUE(ReadPpm(GoldenPath(), &width, &height, &golden)) << "no golden image " << GoldenPath();
    ASSERT_EQ(width, kWidth);
    ASSERT_EQ(height, kHeight);
    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const DWORD c = frame.At(static_cast<UINT>(x), static_cast<UINT>(y));
            const unsigned char* g = &golden[(static_cast<size_t>(y) * kWidth + x) * 3];
            const int d = std::max({std::abs(int((c >> 16) & 0xFF) - g[0]), std::abs(int((c >> 8) & 0xFF) - g[1]),
                                    std::abs(int(c & 0xFF) - g[2])});
            differing += d > 8;
        }
    // Edges may fall a pixel either way on another rasteriser.
    EXPECT_LE(differing, kWidth * kHeight / 50);
}

}  // namespace
