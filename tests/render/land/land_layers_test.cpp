// Landscape layers on the offscreen device: the faces each layer shows on a synthetic leaf, the
// ".lvi" cache written, read back (from disk and from the archives) and rebuilt when it is damaged,
// stale or switched off; builds that cannot render; layers that would pass 16-bit face numbers.
// The cache reader's checks get damaged files of their own (robustness suite).
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/console/console.h"
#include "core/core_cvars.h"
#include "core/winos.h"
#include "core/files/vfs.h"
#include "game/mission/loading_screen.h"
#include "map/terrain/map_caches.h"
#include "render/land/land_layers.h"
#include "render/land/map_render_setup.h"
#include "render/render_cvars.h"
#include "support/map_octree_support.h"
#include "tests/render/texture_test_support.h"

using namespace map_test;
namespace fs = std::filesystem;

namespace {

constexpr const char* kDataFile = "land/test/land.dat";
constexpr const char* kCacheFile = "land/test/test.lvi";

// A leaf's layer faces as the build or the cache left them.
struct LeafLayers {
    u32_t faceCount, traceFaceCount;
    std::vector<u32_t> ranges;
    std::vector<Triple> faces;  // in array order
    bool operator==(const LeafLayers&) const = default;
};

std::vector<LeafLayers> Snapshot()
{
    std::vector<LeafLayers> leaves;
    for (const OctreeNode* leaf : Leaves()) {
        LeafLayers layers{leaf->geometry.faceCount,
                          leaf->geometry.traceFaceCount,
                          std::vector<u32_t>(leaf->layerRanges, leaf->layerRanges + OCTREE_LAYER_COUNT),
                          {}};
        for (u32_t f = 0; f < leaf->geometry.faceCount; ++f)
            layers.faces.push_back(TripleOf(leaf->geometry.faces[f]));
        leaves.push_back(layers);
    }
    return leaves;
}

// The faces of grid columns (4 x 4 cells, two faces each, row by row) as triples.
std::vector<Triple> ColumnFaces(const OctreeGeometry& geometry, std::set<int> columns, std::vector<u32_t> extra = {})
{
    std::vector<Triple> faces;
    for (int row = 0; row < 4; ++row)
        for (int column : columns)
            for (int half = 0; half < 2; ++half)
                faces.push_back(TripleOf(geometry.faces[2 * (row * 4 + column) + half]));
    for (u32_t f : extra)
        faces.push_back(TripleOf(geometry.faces[f]));
    std::sort(faces.begin(), faces.end());
    return faces;
}

class LandLayers : public texture_test::TextureTest {
protected:
    void SetUp() override
    {
        texture_test::TextureTest::SetUp();
        ASSERT_TRUE(WriteFileBytes(kDataFile, "land"));
        MapSetDataPath("land\\test\\land.dat");
    }
    void TearDown() override
    {
        D3D8TestSetCooperativeLevel(Device(), D3D_OK);
        dblvi.SetBool(false);
        gs_maploadprogress.SetString("");
        for (LandTextureSlot& slot : g_mapRender.landTextures) {
            for (IDirect3DTexture8* texture : {slot.layer, slot.variant})
                if (texture)
                    texture->Release();
            slot = {};
        }
        OctreeDestroy();
        MapSetDataPath("");
        texture_test::TextureTest::TearDown();
    }

    // An A8R8G8B8 texture of width x 1 texels whose alpha is 255 for the first opaque texels, 0 after.
    IDirect3DTexture8* AlphaRamp(UINT width, UINT opaque)
    {
        IDirect3DTexture8* texture = texture_test::SolidTexture(Device(), width, 1, 1, 0x00FFFFFFu);
        D3DLOCKED_RECT locked;
        if (texture && SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0))) {
            for (UINT x = 0; x < opaque; ++x)
                static_cast<DWORD*>(locked.pBits)[x] = 0xFFFFFFFFu;
            texture->UnlockRect(0);
        }
        return texture;
    }
    void SetLayer(int layer, IDirect3DTexture8* alpha)
    {
        g_mapRender.landTextures[layer] = {texture_test::SolidTexture(Device(), 1, 1, 1, 0xFF808080u), alpha};
    }

    // One leaf over x, z in [0, 64]: a grid of 4 x 4 cells (target columns of 64 pixels), its u
    // running from 0.25 to 0.75 shifted by half a target pixel, and a face too small to cover any
    // pixel centre, drawn last.
    static OctreeNode* HalfCoveredLeaf()
    {
        OctreeNode* leaf = OctreeCreateRoot({0, -32, 0}, {64, 32, 64});
        OctreeGeometry& geometry = leaf->geometry;
        FillGrid(geometry, 0, 64, 0, 64, 0, 4, 4, {0.25f + 1.0f / 1024, 0.5f, 0.5f, 0.0f});
        MapVertex* vertices = new MapVertex[geometry.vertexCount + 3];
        std::copy_n(geometry.vertices, geometry.vertexCount, vertices);
        const u16_t t = static_cast<u16_t>(geometry.vertexCount);
        // At target pixels (10.2, 10.2) to (10.5, 10.5): 4 pixels per world unit.
        vertices[t] = {{2.55f, 0, 2.55f}, 0.3f, 0.5f, {0, 1, 0}};
        vertices[t + 1] = {{2.625f, 0, 2.55f}, 0.3f, 0.5f, {0, 1, 0}};
        vertices[t + 2] = {{2.55f, 0, 2.625f}, 0.3f, 0.5f, {0, 1, 0}};
        delete[] geometry.vertices;
        geometry.vertices = vertices;
        geometry.vertexCount = geometry.vertexCapacity = t + 3u;
        geometry.AddFace({{t, u16_t(t + 1), u16_t(t + 2)}});
        return leaf;
    }

    // Layer 0 everywhere; layer 1 opaque for u below 7/16: target columns 0 to 95.
    void HalfCoveredLayers()
    {
        SetLayer(0, nullptr);
        SetLayer(1, AlphaRamp(16, 7));
    }
};

TEST_F(LandLayers, EachLayerGetsTheFacesItShowsAndTheCacheReadsBackEqual)
{
    HalfCoveredLayers();
    OctreeNode* leaf = HalfCoveredLeaf();
    ASSERT_EQ(LandLayersBuild("test"), LAND_LAYERS_BUILT);
    ASSERT_TRUE(fs::exists(kCacheFile));

    const OctreeGeometry& geometry = leaf->geometry;
    constexpr u32_t kTiny = 32;
    EXPECT_EQ(leaf->geometry.traceFaceCount, 33u);
    // Column 1 is half covered by layer 1: its faces show in both layers.
    EXPECT_EQ(LayerFaces(leaf, 1), ColumnFaces(geometry, {0, 1}, {kTiny}));
    EXPECT_EQ(LayerFaces(leaf, 0), ColumnFaces(geometry, {1, 2, 3}, {kTiny}));
    for (int layer = 2; layer < OCTREE_LAYER_COUNT; ++layer)
        EXPECT_EQ(OctreeLayerCount(leaf->layerRanges[layer]), 0u) << layer;
    EXPECT_EQ(geometry.faceCount, 33u + 25u + 17u);
    const std::vector<LeafLayers> built = Snapshot();

    // A fresh tree of the same land loads the cache without drawing anything.
    HalfCoveredLeaf();
    D3D8TestClearCallCounts(Device());
    EXPECT_EQ(LandLayersBuild("test"), LAND_LAYERS_LOADED);
    EXPECT_EQ(Counts().beginScene, 0u);
    EXPECT_EQ(Snapshot(), built);

    // The same from the archives when no disk file is there.
    const std::string cache = ReadFileBytes(kCacheFile);
    fs::remove(kCacheFile);
    MountArchive({{"land\\test\\test.lvi", cache}});
    HalfCoveredLeaf();
    EXPECT_EQ(LandLayersBuild("test"), LAND_LAYERS_LOADED);
    EXPECT_EQ(Snapshot(), built);
}

TEST_F(LandLayers, ADamagedStaleOrSwitchedOffCacheIsRebuiltAndRewritten)
{
    HalfCoveredLayers();
    HalfCoveredLeaf();
    ASSERT_EQ(LandLayersBuild("test"), LAND_LAYERS_BUILT);
    const std::vector<LeafLayers> built = Snapshot();
    const std::string good = ReadFileBytes(kCacheFile);

    struct Case {
        const char* why;
        void (*spoil)(const std::string& good);
    };
    const Case cases[] = {
        {"foreign magic",
         [](const std::string& bytes) {
             WriteFileBytes(kCacheFile, "Visible" + bytes.substr(7, 6) + "x" + bytes.substr(14));
         }},
        {"cut short", [](const std::string& bytes) { WriteFileBytes(kCacheFile, bytes.substr(0, bytes.size() - 1)); }},
        {"source newer",
         [](const std::string&) {
             fs::last_write_time(kDataFile, fs::last_write_time(kCacheFile) + std::chrono::seconds(5));
         }},
        {"dblvi", [](const std::string&) { dblvi.SetBool(true); }},
        // Last: the archive stays mounted, and the disk file written by each build wins over it.
        {"dblvi, the cache in the archives only",
         [](const std::string& bytes) {
             fs::remove(kCacheFile);
             MountArchive({{"land\\test\\test.lvi", bytes}});
             dblvi.SetBool(true);
         }},
    };
    for (const Case& c : cases) {
        c.spoil(good);
        D3D8TestClearCallCounts(Device());
        EXPECT_EQ(LandLayersBuild("test"), LAND_LAYERS_BUILT) << c.why;
        EXPECT_GT(Counts().beginScene, 0u) << c.why;
        EXPECT_EQ(Snapshot(), built) << c.why;
        EXPECT_EQ(ReadFileBytes(kCacheFile), good) << c.why;
        dblvi.SetBool(false);
        fs::last_write_time(kDataFile, fs::last_write_time(kCacheFile) - std::chrono::seconds(5));
    }
}

// A build names its cache on console 0 and shows "Building layers..." on the loading screen, which
// editor mode does without; a cache that loads shows nothing.
TEST_F(LandLayers, ABuildIsAnnouncedOnConsoleZeroAndTheLoadingScreen)
{
    HalfCoveredLayers();
    struct Step {
        const char* what;
        bool editor;
        bool cached;
        LandLayersResult result;
        const char* consoleLine;
        const char* loadingText;
    };
    const Step steps[] = {
        {"built in editor mode", true, false, LAND_LAYERS_BUILT, "Building layers: 'land\\test\\test.lvi'\n", ""},
        {"loaded", false, true, LAND_LAYERS_LOADED, "(before)\n", ""},
        {"built", false, false, LAND_LAYERS_BUILT, "Building layers: 'land\\test\\test.lvi'\n", "Building layers..."},
    };
    ConStartup();
    for (const Step& step : steps) {
        if (!step.cached)
            fs::remove(kCacheFile);
        ConPrint(0, "(before)\n");
        g_program.editorMode = step.editor ? 1 : 0;
        HalfCoveredLeaf();
        const LandLayersResult result = LandLayersBuild("test");
        g_program.editorMode = 0;
        EXPECT_EQ(result, step.result) << step.what;
        EXPECT_STREQ(ConLines(0)[ConLineCapacity(0) - 1], step.consoleLine) << step.what;
        EXPECT_STREQ(gs_maploadprogress.String(), step.loadingText) << step.what;
    }
    ConShutdown();
}

TEST_F(LandLayers, ABuildThatCannotRenderWritesNoCacheAndDrawsEveryFaceInEachLayer)
{
    HalfCoveredLayers();
    OctreeNode* leaf = HalfCoveredLeaf();
    D3D8TestSetCooperativeLevel(Device(), D3DERR_DEVICELOST);
    EXPECT_EQ(LandLayersBuild("test"), LAND_LAYERS_BUILT_UNCACHED);
    EXPECT_FALSE(fs::exists(kCacheFile));
    const std::vector<Triple> all = FacesOf(leaf->geometry, 0, 33);
    EXPECT_EQ(LayerFaces(leaf, 0), all);
    EXPECT_EQ(LayerFaces(leaf, 1), all);
    EXPECT_EQ(OctreeLayerCount(leaf->layerRanges[2]), 0u);
}

// One face over the whole leaf and 29999 too small to cover any pixel: those all count as unseen
// and follow every layer with faces. Three half-transparent layers would make 120000 faces.
TEST_F(LandLayers, LayersThatWouldPassSixteenBitFaceNumbersAreLeftOutWithAWarning)
{
    constexpr u32_t kFaces = 30000;
    SetLayer(0, nullptr);
    SetLayer(1, texture_test::SolidTexture(Device(), 1, 1, 1, 0x80FFFFFFu));
    SetLayer(2, texture_test::SolidTexture(Device(), 1, 1, 1, 0x80FFFFFFu));
    OctreeNode* leaf = OctreeCreateRoot({0, -32, 0}, {64, 32, 64});
    OctreeGeometry& geometry = leaf->geometry;
    geometry.vertices =
        new MapVertex[6]{{{0, 0, 0}, 0, 0, {}},         {{128, 0, 0}, 0, 0, {}},        {{0, 0, 128}, 0, 0, {}},
                         {{2.55f, 0, 2.55f}, 0, 0, {}}, {{2.625f, 0, 2.55f}, 0, 0, {}}, {{2.55f, 0, 2.625f}, 0, 0, {}}};
    geometry.vertexCount = geometry.vertexCapacity = 6;
    geometry.AppendFace({{0, 1, 2}});
    for (u32_t f = 1; f < kFaces; ++f)
        geometry.AppendFace({{3, 4, 5}});
    const size_t logStart = texture_test::LogSize();

    EXPECT_EQ(LandLayersBuild("test"), LAND_LAYERS_BUILT);
    EXPECT_EQ(leaf->layerRanges[0], OctreeLayerRange(kFaces, kFaces));
    EXPECT_EQ(OctreeLayerCount(leaf->layerRanges[1]), 0u);
    EXPECT_EQ(OctreeLayerCount(leaf->layerRanges[2]), 0u);
    EXPECT_EQ(geometry.faceCount, 2 * kFaces);
    EXPECT_NE(texture_test::LogFrom(logStart).find("WARNING: land layer 1 of a leaf would pass 65535 faces"),
              std::string::npos);
}

TEST(LandLayersWalk, ATreeTooDeepForTheWalkStackEndsTheProgram)
{
    OctreeNode* root = OctreeCreateRoot({0, 0, 0}, {64, 64, 64});
    OctreeNode* deepest = SplitChain(root, kLongestWalkableChain);
    deepest->geometry.traceFaceCount = 1;
    LandLayersForget(root);
    EXPECT_EQ(deepest->geometry.traceFaceCount, 0u);
    EXPECT_EXIT(
        {
            SplitChain(deepest, 1);
            LandLayersForget(root);
        },
        ::testing::ExitedWithCode(3), render_test::AssertionText("(stack_c + 8) < 256"));
    OctreeDestroy();
}

// A square 32-bit TGA whose alpha bytes are given row by row from the top (the file is bottom-up).
std::string AlphaTga(int side, const std::vector<u8_t>& alphaTopDown)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = bytes[14] = static_cast<char>(side);
    bytes[16] = 32;
    for (int row = side - 1; row >= 0; --row)
        for (int x = 0; x < side; ++x)
            bytes += std::string{'\x40', '\x40', '\x40', static_cast<char>(alphaTopDown[row * side + x])};
    return bytes;
}

// The mask from the land's layer grids: one from the archives, the others loose; layer 0's name
// is not used.
class LandLayerFaceMaskTest : public TempDirTest {};

TEST_F(LandLayerFaceMaskTest, FollowsTheLayerGridsAtTheFaceTextureCoordinates)
{
    ASSERT_TRUE(WriteFileBytes("component/land/never.tga", AlphaTga(2, {255, 255, 255, 255})));
    ASSERT_TRUE(WriteFileBytes("component/land/opaque.tga", AlphaTga(2, {255, 255, 255, 255})));
    ASSERT_TRUE(WriteFileBytes("component/land/faint.tga", AlphaTga(2, {1, 1, 1, 1})));
    ASSERT_TRUE(WriteFileBytes("component/land/thin.tga", AlphaTga(2, {2, 2, 2, 2})));
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"component\\land\\halves.tga", AlphaTga(2, {255, 0, 255, 0})}}));
    ASSERT_TRUE(VFSInit());
    EngineString names[OCTREE_LAYER_COUNT];
    names[0].Assign("never");
    names[1].Assign("opaque");
    names[2].Assign("halves");  // left column opaque, right column clear
    names[3].Assign("faint");
    names[4].Assign("thin");
    names[5].Assign("missing");
    MapLoadVegetationLayers("component\\land\\", names);
    EXPECT_EQ(MapGetVegetationLayerGrid(0), nullptr);
    EXPECT_EQ(MapGetVegetationLayerGrid(5), nullptr);
    ASSERT_NE(MapGetVegetationLayerGrid(2), nullptr);

    // One face per case, its corners' texture coordinates averaging to (u, 0.5).
    struct Case {
        const char* what;
        float u;
        u32_t mask;
    };
    const Case cases[] = {
        {"on the opaque column", 0.25f, 1u << 2 | 1u << 4},
        {"on the clear column", 0.75f, 1u << 1 | 1u << 4},
        {"between the columns", 0.5f, 1u << 1 | 1u << 2 | 1u << 4},
        {"at the edge, wrapping", 0.0f, 1u << 1 | 1u << 2 | 1u << 4},
        {"a whole texture further", 1.25f, 1u << 2 | 1u << 4},
    };
    OctreeGeometry geometry{};
    std::vector<MapVertex> vertices;
    std::vector<MapFace> faces;
    for (const Case& c : cases) {
        const u16_t first = static_cast<u16_t>(vertices.size());
        for (float du : {-0.1f, 0.05f, 0.05f})
            vertices.push_back({{0, 0, 0}, c.u + du, 0.5f + du, {0, 1, 0}});
        MapFace face{};
        face.indices[0] = first;
        face.indices[1] = u16_t(first + 1);
        face.indices[2] = u16_t(first + 2);
        faces.push_back(face);
    }
    geometry.vertices = vertices.data();
    geometry.vertexCount = static_cast<u32_t>(vertices.size());
    geometry.faces = faces.data();
    geometry.faceCount = static_cast<u32_t>(faces.size());
    for (u32_t f = 0; f < geometry.faceCount; ++f)
        EXPECT_EQ(LandLayerFaceMask(geometry, f), cases[f].mask) << cases[f].what;
    EXPECT_EQ(LandLayerFaceMask(geometry, geometry.faceCount), 0u);

    // Without grids only layer 0 shows.
    MapFreeGrids();
    EXPECT_EQ(MapGetVegetationLayerGrid(2), nullptr);
    EXPECT_EQ(LandLayerFaceMask(geometry, 0), 1u);
    VFSShutdown();
}

// The reader's checks, without a device: a tree of a 2 x 2 grid leaf (child 7, handled first) with
// layers 0 and 4 appended, and seven leaves without faces.
class LandLayersCacheRobustness : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        OctreeNode* root = OctreeCreateRoot({0, -32, 0}, {64, 32, 64});
        Split(root);
        m_leaf = root->children[7];
        FillGrid(m_leaf->geometry, 32, 64, 32, 64, 0, 2, 2);
        AppendLayer(m_leaf, 0, {0, 1, 2});
        AppendLayer(m_leaf, 4, {7});
        m_built = Snapshot();
        ASSERT_TRUE(LandLayersWriteCache(root, "cache.lvi"));
        m_bytes = ReadFileBytes("cache.lvi");
        ASSERT_EQ(m_bytes.size(), 17u + 4 + 128 + 4 * 6 + 7 * 4);
    }
    void TearDown() override
    {
        OctreeDestroy();
        TempDirTest::TearDown();
    }
    bool Read(const std::string& bytes) { return LandLayersReadCache(OctreeGetRoot(), bytes.data(), bytes.size()); }
    // After a refused cache the leaf holds its own faces only.
    void ExpectOwnFacesOnly(const std::string& why)
    {
        EXPECT_EQ(m_leaf->geometry.faceCount, 8u) << why;
        EXPECT_EQ(m_leaf->geometry.traceFaceCount, 0u) << why;
        for (u32_t range : m_leaf->layerRanges)
            EXPECT_EQ(range, 0u) << why;
    }
    static std::string WithU32(std::string bytes, size_t offset, u32_t value)
    {
        for (int i = 0; i < 4; ++i)
            bytes[offset + i] = static_cast<char>(value >> (8 * i));
        return bytes;
    }
    static std::string WithU16(std::string bytes, size_t offset, u16_t value)
    {
        bytes[offset] = static_cast<char>(value);
        bytes[offset + 1] = static_cast<char>(value >> 8);
        return bytes;
    }

    static constexpr size_t kCount = 17, kRanges = 21, kFaces = 149;
    OctreeNode* m_leaf = nullptr;
    std::vector<LeafLayers> m_built;
    std::string m_bytes;
};

TEST_F(LandLayersCacheRobustness, ASoundCacheIsTakenWhole)
{
    ASSERT_TRUE(Read(m_bytes));
    EXPECT_EQ(Snapshot(), m_built);
    ASSERT_TRUE(Read(m_bytes));  // a second read replaces the first
    EXPECT_EQ(Snapshot(), m_built);
}

TEST_F(LandLayersCacheRobustness, DamagedCachesAreRefused)
{
    struct Case {
        const char* why;
        std::string bytes;
    };
    const Case cases[] = {
        {"magic", WithU32(m_bytes, 0, 0x69736976)},
        {"version", WithU32(m_bytes, 13, 2)},
        {"count below the own faces", WithU32(m_bytes, kCount, 7)},
        {"no count for a leaf with faces", WithU32(m_bytes, kCount, 0)},
        {"range past the count", WithU32(m_bytes, kRanges, OctreeLayerRange(8, 5))},
        {"range over own faces", WithU32(m_bytes, kRanges + 16, OctreeLayerRange(7, 1))},
        {"vertex number outside the leaf", WithU16(m_bytes, kFaces + 2, 9)},
        {"count past 65535", WithU32(m_bytes, kCount, 70000)},
        {"faces for a leaf without any", WithU32(m_bytes, m_bytes.size() - 4, 1)},
        {"bytes left over", m_bytes + std::string(1, '\0')},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Read(c.bytes)) << c.why;
        ExpectOwnFacesOnly(c.why);
    }
    for (size_t size = 0; size < m_bytes.size(); ++size) {
        EXPECT_FALSE(Read(m_bytes.substr(0, size))) << size;
        ExpectOwnFacesOnly(std::to_string(size));
    }
}

}  // namespace
