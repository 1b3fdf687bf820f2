// Sky-box geometry: cube corners by mask and quads clipped by a plane.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "render/land/map_render_setup.h"
#include "render/sky_box.h"
#include "render/textures/texture_manager.h"
#include "support/render_test_support.h"

namespace {

using SkyVertex = std::array<float, kSkyVertexFloats>;

TEST(SkyBox, CubeCornersFollowTheMaskBits)
{
    struct Case {
        u32_t mask;
        float x, y, z;
    };
    // Bit 0 chooses x, bit 2 y, bit 1 z.
    const Case cases[] = {{0, -50, -50, -50}, {1, 50, -50, -50}, {2, -50, -50, 50}, {4, -50, 50, -50},
                          {5, 50, 50, -50},   {6, -50, 50, 50},  {7, 50, 50, 50}};
    float buffer[3 * 7 + 1] = {};
    buffer[3 * 7] = 123.0f;
    float* stream = buffer;
    for (const Case& c : cases)
        CubeCornerEmit(&stream, c.mask);
    EXPECT_EQ(stream, buffer + 3 * 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(buffer[i * 3 + 0], cases[i].x) << "mask " << cases[i].mask;
        EXPECT_EQ(buffer[i * 3 + 1], cases[i].y) << "mask " << cases[i].mask;
        EXPECT_EQ(buffer[i * 3 + 2], cases[i].z) << "mask " << cases[i].mask;
    }
    EXPECT_EQ(buffer[3 * 7], 123.0f);  // nothing written past the corners
}

TEST(SkyBox, EachFaceLiesOnItsSideWithTheTextureUprightFromInside)
{
    struct Case {
        int axis;     // 0 x, 1 y, 2 z
        float value;  // the face's plane
    };
    const Case faces[kSkyBoxFaces] = {{0, 50}, {0, -50}, {1, 50}, {1, -50}, {2, 50}, {2, -50}};
    for (int face = 0; face < kSkyBoxFaces; ++face) {
        float quad[4 * kSkyVertexFloats];
        SkyBoxFaceQuad(face, quad);
        const float* v = quad;
        for (int corner = 0; corner < 4; ++corner)
            EXPECT_EQ(v[corner * kSkyVertexFloats + faces[face].axis], faces[face].value) << face << " " << corner;
        const float uv[4][2] = {{1, 0}, {0, 0}, {0, 1}, {1, 1}};
        for (int corner = 0; corner < 4; ++corner) {
            EXPECT_EQ(v[corner * kSkyVertexFloats + 3], uv[corner][0]);
            EXPECT_EQ(v[corner * kSkyVertexFloats + 4], uv[corner][1]);
        }
        if (faces[face].axis != 1) {
            // Side faces: the top of the texture (v = 0) along the top of the box.
            EXPECT_EQ(v[1], 50.0f) << face;
            EXPECT_EQ(v[kSkyVertexFloats + 1], 50.0f) << face;
            EXPECT_EQ(v[2 * kSkyVertexFloats + 1], -50.0f) << face;
        }
        // Every face turns the same way seen from the centre (no face is mirrored against the others):
        // the cross product of the u edge (corner 1 to 0) and the v edge (corner 1 to 2) points inwards.
        float du[3], dv[3];
        for (int c = 0; c < 3; ++c) {
            du[c] = v[c] - v[kSkyVertexFloats + c];
            dv[c] = v[2 * kSkyVertexFloats + c] - v[kSkyVertexFloats + c];
        }
        const float normal[3] = {du[1] * dv[2] - du[2] * dv[1], du[2] * dv[0] - du[0] * dv[2],
                                 du[0] * dv[1] - du[1] * dv[0]};
        EXPECT_LT(normal[faces[face].axis] * faces[face].value, 0.0f) << face;
    }
}

// A 10 x 10 square in the plane z = 0 with texture coordinates running 0 to 1.
constexpr float kSquare[4 * kSkyVertexFloats] = {
    0,  0,  0, 0, 0,  //
    10, 0,  0, 1, 0,  //
    10, 10, 0, 1, 1,  //
    0,  10, 0, 0, 1,  //
};

std::vector<SkyVertex> Clip(const float* plane, const float* quad = kSquare)
{
    float out[8 * kSkyVertexFloats];
    const int count = ClipPolygonByPlane(plane, quad, out);
    std::vector<SkyVertex> vertices(count);
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < kSkyVertexFloats; ++c)
            vertices[i][c] = out[i * kSkyVertexFloats + c];
    return vertices;
}

void ExpectVertices(const std::vector<SkyVertex>& actual, const std::vector<SkyVertex>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        for (int c = 0; c < kSkyVertexFloats; ++c)
            EXPECT_NEAR(actual[i][c], expected[i][c], 1e-5f) << "vertex " << i << " float " << c;
}

TEST(SkyBox, ClippingKeepsThePartOnThePlanesFrontSide)
{
    struct Case {
        const char* name;
        float plane[4];
        std::vector<SkyVertex> expected;
    };
    const Case cases[] = {
        {"wholly inside", {1, 0, 0, 1}, {{0, 0, 0, 0, 0}, {10, 0, 0, 1, 0}, {10, 10, 0, 1, 1}, {0, 10, 0, 0, 1}}},
        {"wholly outside", {-1, 0, 0, -1}, {}},
        {"cut through two opposite edges",
         {1, 0, 0, -5},
         {{5, 0, 0, 0.5f, 0}, {10, 0, 0, 1, 0}, {10, 10, 0, 1, 1}, {5, 10, 0, 0.5f, 1}}},
        {"one corner cut off",
         {1, 1, 0, -2},
         {{2, 0, 0, 0.2f, 0}, {10, 0, 0, 1, 0}, {10, 10, 0, 1, 1}, {0, 10, 0, 0, 1}, {0, 2, 0, 0, 0.2f}}},
        {"one corner kept", {-1, -1, 0, 2}, {{0, 0, 0, 0, 0}, {2, 0, 0, 0.2f, 0}, {0, 2, 0, 0, 0.2f}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectVertices(Clip(c.plane), c.expected);
    }
}

TEST(SkyBox, AnEdgeAlmostParallelToThePlaneGivesNoCrossing)
{
    // Vertex 0 lies on the plane y = 0, vertex 1 a millionth below it: the edge between them
    // crosses, but too flat to cut. Only the closing edge 3 -> 0 adds its crossing (vertex 0 itself).
    const float quad[4 * kSkyVertexFloats] = {
        0,  0,      0, 0, 0,  //
        10, -1e-6f, 0, 1, 0,  //
        10, -10,    0, 1, 1,  //
        0,  -10,    0, 0, 1,  //
    };
    const float plane[4] = {0, 1, 0, 0};
    ExpectVertices(Clip(plane, quad), {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}});
}

// A 2 x 2 24-bit BMP of one colour.
void WriteBmp(const std::filesystem::path& path, unsigned char r, unsigned char g, unsigned char b)
{
    std::filesystem::create_directories(path.parent_path());
    const unsigned char rowPadding[2] = {0, 0};
    unsigned char header[54] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,          // file header
                                40,  0,   0,  0, 2, 0, 0, 0, 2, 0, 0,  0, 1, 0, 24, 0};  // info header, rest zero
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(header, 1, sizeof header, file);
    for (int row = 0; row < 2; ++row) {
        const unsigned char pixel[3] = {b, g, r};
        std::fwrite(pixel, 1, 3, file);
        std::fwrite(pixel, 1, 3, file);
        std::fwrite(rowPadding, 1, 2, file);
    }
    std::fclose(file);
}

using EnvMaps = render_test::RenderCore;

TEST_F(EnvMaps, EachFaceTakesItsTextureOrStaysEmpty)
{
    WriteBmp("mission/m7/env_rt.bmp", 255, 0, 0);
    WriteBmp("mission/m7/env_up.bmp", 0, 255, 0);
    WriteBmp("mission/m7/env_fr.bmp", 0, 0, 255);
    for (IDirect3DTexture8*& face : g_mapRender.envMaps)
        face = reinterpret_cast<IDirect3DTexture8*>(&face);  // stale values: every face is overwritten

    EnvMapsLoad(EngineString("mission\\m7"));
    const char* const names[ENV_FACE_COUNT] = {"mission\\m7\\env_rt", "mission\\m7\\env_lf", "mission\\m7\\env_up",
                                               "mission\\m7\\env_dn", "mission\\m7\\env_bk", "mission\\m7\\env_fr"};
    const bool present[ENV_FACE_COUNT] = {true, false, true, false, false, true};
    for (int face = 0; face < ENV_FACE_COUNT; ++face) {
        if (present[face]) {
            EXPECT_NE(g_mapRender.envMaps[face], nullptr) << names[face];
            EXPECT_EQ(g_mapRender.envMaps[face], TextureFind(names[face]));
        } else {
            EXPECT_EQ(g_mapRender.envMaps[face], nullptr) << names[face];
        }
    }
    TexturesReleaseAll();
    // The faces are gone with the textures: no later test may draw them.
    for (IDirect3DTexture8*& face : g_mapRender.envMaps)
        face = nullptr;
}

}  // namespace
