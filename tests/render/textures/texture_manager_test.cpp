// The texture manager on real files in a fresh working folder (and in an archive where the
// virtual file system matters): name resolution, the alpha-map search, reflections, level of
// detail, recreation after a mode change and the atlas.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/console/console.h"
#include "map/terrain/map_grid.h"
#include "render/render_cvars.h"
#include "render/textures/texture_manager.h"
#include "tests/render/texture_test_support.h"

using namespace texture_test;

namespace {

std::string FixtureBytes(const char* name)
{
    return ReadFileBytes(std::string(ZINTAR_TEST_DATA_DIR) + "/textures/" + name);
}

std::string RecordPath(IDirect3DTexture8* texture)
{
    TextureInfo record;
    TextureGetRecord(texture, &record);
    return record.path;
}

using TextureLookup = TextureTest;

TEST_F(TextureLookup, SharedFolderFirstThenTheNameAsGivenAndOnePointerPerTexture)
{
    struct Case {
        const char* what;
        std::vector<const char*> files;
        const char* request;
        const char* secondRequest;  // must give the same texture
        const char* expectedPath;   // null: nothing loads
    };
    const Case cases[] = {
        {"the shared file wins over one in a named folder",
         {"component/_common/rock.tga", "component/land/rock.tga"},
         "component\\land\\rock",
         "rock",
         "component\\_common\\rock"},
        {"another folder with the same file name",
         {"component/_common/rock.tga"},
         "component\\land\\rock",
         "component\\mission\\rock",
         "component\\_common\\rock"},
        {"a bare name is loaded as given without a shared file", {"plain.tga"}, "plain", "PLAIN", "plain"},
        {"a folder name is loaded as given",
         {"component/land/dirt.tga"},
         "component\\land\\dirt",
         "component\\land\\dirt",
         "component\\land\\dirt"},
        {"nothing anywhere", {}, "component\\land\\none", "none", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all("component");
        for (const char* file : c.files)
            ASSERT_TRUE(WriteTga(file, 4, 4, 0xFF808080u));

        IDirect3DTexture8* texture = TextureFindOrLoad(c.request);
        if (!c.expectedPath) {
            EXPECT_EQ(texture, nullptr);
            EXPECT_EQ(TextureFindOrLoad(c.secondRequest), nullptr);
            continue;
        }
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(RecordPath(texture), c.expectedPath);
        EXPECT_EQ(TextureFind(c.expectedPath), texture);
        EXPECT_EQ(TextureFindOrLoad(c.request), texture);
        EXPECT_EQ(TextureFindOrLoad(c.secondRequest), texture);
        TexturesReleaseAll();
    }
}

TEST_F(TextureLookup, ExtensionsInOrderOnDiskBeforeAnyInTheArchive)
{
    // One small image of each kind.
    IDirect3DTexture8* source = SolidTexture(Device(), 4, 4, 1, 0xFF336699u);
    ASSERT_NE(source, nullptr);
    ASSERT_TRUE(SUCCEEDED(D3DXSaveTextureToFileA("made.dds", D3DXIFF_DDS, source, nullptr)));
    ASSERT_TRUE(SUCCEEDED(D3DXSaveTextureToFileA("made.bmp", D3DXIFF_BMP, source, nullptr)));
    source->Release();
    const std::string images[] = {ReadFileBytes("made.dds"), TgaBytes(4, 4, 0xFF336699u), ReadFileBytes("made.bmp"),
                                  FixtureBytes("quad.png"), FixtureBytes("quad.jpg")};
    const char* extensions[] = {".dds", ".tga", ".bmp", ".png", ".jpg"};
    enum : unsigned { DDS = 1, TGA = 2, BMP = 4, PNG = 8, JPG = 16 };

    struct Case {
        unsigned onDisk, inArchive;
        D3DXIMAGE_FILEFORMAT expected;
    };
    const Case cases[] = {
        {DDS | TGA | BMP | PNG | JPG, 0, D3DXIFF_DDS},
        {TGA | BMP | PNG | JPG, 0, D3DXIFF_TGA},
        {BMP | PNG | JPG, 0, D3DXIFF_BMP},
        {PNG | JPG, 0, D3DXIFF_PNG},
        {JPG, 0, D3DXIFF_JPG},
        {JPG, DDS | TGA, D3DXIFF_JPG},
        {0, TGA | PNG, D3DXIFF_TGA},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "disk " << c.onDisk << " archive " << c.inArchive);
        VFSShutdown();
        std::vector<TestFile> archived;
        for (int i = 0; i < 5; ++i) {
            const std::string file = std::string("img") + extensions[i];
            std::filesystem::remove(file);
            if (c.onDisk & (1u << i)) {
                ASSERT_TRUE(WriteFileBytes(file, images[i]));
            }
            if (c.inArchive & (1u << i))
                archived.push_back({file, images[i]});
        }
        if (!archived.empty())
            MountArchive(archived);
        D3DXIMAGE_INFO info = {};
        IDirect3DTexture8* texture = TextureCreateFromFile("img", 0, 0, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, &info);
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(info.ImageFileFormat, c.expected);
        texture->Release();
    }
}

TEST_F(TextureLookup, AlphaMapComesFromTheCompanionBeforeTheOwnTgaDiskBeforeArchive)
{
    struct Case {
        const char* what;
        bool companionOnDisk, companionInArchive, ownOnDisk, ownInArchive;
        int expectedAlpha;  // -1: no alpha map
    };
    const Case cases[] = {
        {"disk companion first", true, true, true, true, 0x10},
        {"archive companion before the own file", false, true, true, true, 0x30},
        {"own file on disk", false, false, true, true, 0x20},
        {"own file in the archive", false, false, false, true, 0x40},
        {"none", false, false, false, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VFSShutdown();
        TexturesReleaseAll();
        for (const char* file : {"tex_a.tga", "tex.tga"})
            std::filesystem::remove(file);
        ASSERT_TRUE(WriteDds(Device(), "tex.dds", 4, 4, 1, 0xFF0000FFu));
        if (c.companionOnDisk) {
            ASSERT_TRUE(WriteTga("tex_a.tga", 4, 4, 0x10FFFFFFu));
        }
        if (c.ownOnDisk) {
            ASSERT_TRUE(WriteTga("tex.tga", 4, 4, 0x20FFFFFFu));
        }
        std::vector<TestFile> archived = {{"unrelated.txt", "x"}};
        if (c.companionInArchive)
            archived.push_back({"tex_a.tga", TgaBytes(4, 4, 0x30FFFFFFu)});
        if (c.ownInArchive)
            archived.push_back({"tex.tga", TgaBytes(4, 4, 0x40FFFFFFu)});
        MountArchive(archived);

        const size_t logBefore = LogSize();
        IDirect3DTexture8* texture = TextureFindOrLoad("tex");
        ASSERT_NE(texture, nullptr);
        MapGrid* grid = TextureGetAlphaMap(texture);
        if (c.expectedAlpha < 0) {
            EXPECT_EQ(grid, nullptr);
            EXPECT_NE(LogFrom(logBefore).find("WARNING: Couldn't create alphamap for tex\n"), std::string::npos);
            continue;
        }
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->size, 4u);
        EXPECT_EQ(grid->data[0], c.expectedAlpha);
        EXPECT_EQ(grid->data[15], c.expectedAlpha);
    }
}

TEST_F(TextureLookup, SetAlphaMapReplacesTheGridOrWarnsAndKeepsIt)
{
    ASSERT_TRUE(WriteTga("component/land/grass.tga", 4, 4, 0xFF00FF00u));
    ASSERT_TRUE(WriteTga("component/_common/grass_mask.tga", 8, 8, 0x55FFFFFFu));
    IDirect3DTexture8* grass = TextureFindOrLoad("component\\land\\grass");
    ASSERT_NE(grass, nullptr);
    ASSERT_NE(TextureGetAlphaMap(grass), nullptr);
    EXPECT_EQ(TextureGetAlphaMap(grass)->data[0], 0xFF);

    TextureSetAlphaMap("GRASS", "grass_mask");
    MapGrid* mask = TextureGetAlphaMap(grass);
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->size, 8u);
    EXPECT_EQ(mask->data[63], 0x55);

    const size_t logBefore = LogSize();
    TextureSetAlphaMap("grass", "missing");
    EXPECT_NE(LogFrom(logBefore).find("WARNING: Couldn't set alphamap missing\n"), std::string::npos);
    EXPECT_EQ(TextureGetAlphaMap(grass), mask);

    TextureSetAlphaMap("no_such_texture", "grass_mask");  // no slot: nothing happens
    EXPECT_EQ(TextureGetAlphaMap(grass), mask);
}

TEST_F(TextureLookup, NamesLongerThanTheRecordAreCutThere)
{
    const std::string first(60, 'a'), second(60, 'b'), file(40, 'c');
    const std::string name = "component\\" + first + "\\" + second + "\\" + file;
    ASSERT_TRUE(WriteTga("component/" + first + "/" + second + "/" + file + ".tga", 4, 4, 0xFFFFFFFFu));

    IDirect3DTexture8* texture = TextureFindOrLoad(name.c_str());
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(TextureFind(name.c_str()), texture);  // the registry keeps the whole name
    EXPECT_EQ(RecordPath(texture), name.substr(0, TEXTURE_PATH_SIZE - 1));
    char fileName[TEXTURE_PATH_SIZE];
    std::memset(fileName, 'x', sizeof fileName);
    EXPECT_FALSE(TextureGetFileName(texture, fileName));
    const std::string cut = name.substr(0, TEXTURE_PATH_SIZE - 1);
    EXPECT_EQ(std::string(fileName), cut.substr(cut.rfind('\\') + 1));
}

using TextureReflections = TextureTest;

TEST_F(TextureReflections, ReleasingATextureClearsTheReflectionsThatNameIt)
{
    ASSERT_TRUE(WriteTga("component/land/water.tga", 4, 4, 0xFF0000FFu));
    ASSERT_TRUE(WriteTga("component/_common/sky1.tga", 4, 4, 0xFFFFFFFFu));
    ASSERT_TRUE(WriteTga("component/_common/sky2.tga", 4, 4, 0xFF808080u));
    IDirect3DTexture8* water = TextureFindOrLoad("component\\land\\water");
    ASSERT_NE(water, nullptr);

    TextureSetReflectMaps("water", "sky1", "missing");  // both must exist
    EXPECT_EQ(TextureGetReflectMap(water), nullptr);
    TextureSetReflectMaps("water", "sky1", "sky2");
    IDirect3DTexture8* sky1 = TextureFind("component\\_common\\sky1");
    IDirect3DTexture8* sky2 = TextureFind("component\\_common\\sky2");
    ASSERT_NE(sky1, nullptr);
    EXPECT_EQ(TextureGetReflectMap(water), sky1);
    EXPECT_EQ(TextureGetSecondReflectMap(water), sky2);
    TextureInfo record;
    TextureGetRecord(water, &record);
    EXPECT_EQ(record.reflectMap, sky1);
    EXPECT_EQ(record.secondReflectMap, sky2);

    TextureRelease(sky1);
    EXPECT_EQ(TextureGetReflectMap(water), nullptr);
    TextureGetRecord(water, &record);
    EXPECT_EQ(record.reflectMap, nullptr);
    EXPECT_EQ(record.secondReflectMap, sky2);

    // A texture that takes over a released slot starts without reflections.
    const int slot = TextureFindSlot(water);
    TextureRelease(water);
    ASSERT_TRUE(WriteTga("component/land/mud.tga", 4, 4, 0xFF402000u));
    IDirect3DTexture8* mud = TextureFindOrLoad("component\\land\\mud");
    ASSERT_EQ(TextureFindSlot(mud), slot);
    EXPECT_EQ(TextureGetReflectMap(mud), nullptr);
    EXPECT_EQ(TextureGetSecondReflectMap(mud), nullptr);
}

using TextureDetail = TextureTest;

TEST_F(TextureDetail, QualityWordsGiveLevels)
{
    const struct {
        const char* word;
        int level;
    } cases[] = {{"VERY LOW", 3}, {"very low", 3}, {"LOW", 2}, {"Medium", 1},
                 {"HIGH", 0},     {"ULTRA", -1},   {"", -1},   {"LOW ", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(TextureQualityLevel(c.word), c.level) << c.word;
    EXPECT_EQ(TextureQualityLevel(nullptr), -1);
}

TEST_F(TextureDetail, LevelOfDetailSparesInterfaceTexturesButNotReflections)
{
    const struct {
        const char* name;
        DWORD expected;
    } cases[] = {
        {"component\\land\\dirt", 2},
        {"component\\gui\\panel", 0},
        {"component\\GUI\\panel", 2},
        {"component\\extras\\font_big", 0},
        {"component\\extras\\icon_a", 0},
        {"x\\crosshair1", 0},
        {"x\\select_ring", 0},
        {"x\\compass", 0},
        {"x\\scope_view", 0},
        {"x\\Scope_view", 2},
    };
    std::vector<IDirect3DTexture8*> textures;
    for (const auto& c : cases) {
        textures.push_back(SolidTexture(Device(), 16, 16, 0, 0xFFFFFFFFu));
        TextureRegister(textures.back(), c.name);
    }
    // Reflections of a texture that takes the level get it too, whatever their own names.
    ASSERT_TRUE(WriteTga("component/_common/scope_env1.tga", 16, 16, 0xFFFFFFFFu));
    ASSERT_TRUE(WriteTga("component/_common/scope_env2.tga", 16, 16, 0xFFFFFFFFu));
    TextureSetReflectMaps("dirt", "scope_env1", "scope_env2");

    ConStartup();
    as_tqmod.SetString("low");
    TexturesApplyQualitySetting();
    EXPECT_EQ(ritexlod.Int(), 2);
    const char* const* lines = ConLines(0);
    EXPECT_STREQ(lines[ConLineCapacity(0) - 1], "Textures LOD set to 2\n");
    ConShutdown();

    for (size_t i = 0; i < textures.size(); ++i)
        EXPECT_EQ(textures[i]->GetLOD(), cases[i].expected) << cases[i].name;
    EXPECT_EQ(TextureFind("component\\_common\\scope_env1")->GetLOD(), 2u);
    EXPECT_EQ(TextureFind("component\\_common\\scope_env2")->GetLOD(), 2u);
    as_tqmod.SetString("HIGH");
}

using TextureRecreation = TextureTest;

TEST_F(TextureRecreation, EveryTextureComesBackInItsOwnHandleWithItsRecord)
{
    ASSERT_TRUE(WriteTga("component/land/water.tga", 8, 8, 0x7F0000FFu));
    ASSERT_TRUE(WriteTga("component/_common/sky1.tga", 4, 4, 0xFFFFFFFFu));
    ASSERT_TRUE(WriteTga("component/_common/sky2.tga", 4, 4, 0xFF808080u));
    ASSERT_TRUE(WriteTga("component/land/gone.tga", 4, 4, 0xFF808080u));
    IDirect3DTexture8* water = TextureFindOrLoad("component\\land\\water");
    IDirect3DTexture8* gone = TextureFindOrLoad("component\\land\\gone");
    ASSERT_NE(gone, nullptr);
    TextureSetReflectMaps("water", "sky1", "sky2");
    ASSERT_NE(water, nullptr);
    MapGrid* grid = TextureGetAlphaMap(water);
    ASSERT_NE(grid, nullptr);
    IDirect3DTexture8* sky1 = TextureFind("component\\_common\\sky1");
    // The files change on disk: the reload shows the new contents in the old handles.
    ASSERT_TRUE(WriteTga("component/land/water.tga", 16, 16, 0xFF00FF00u));
    std::filesystem::remove("component/land/gone.tga");

    TexturesRecreate();

    EXPECT_EQ(TextureFind("component\\land\\water"), water);
    EXPECT_EQ(TextureFind("component\\_common\\sky1"), sky1);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(water->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 16u);
    EXPECT_EQ(ReadTexture(Device(), water).At(3, 3), 0xFF00FF00u);
    // A texture whose file is gone keeps its handle and what it showed.
    EXPECT_EQ(TextureFind("component\\land\\gone"), gone);
    EXPECT_EQ(ReadTexture(Device(), gone).At(0, 0), 0xFF808080u);

    EXPECT_EQ(TextureGetAlphaMap(water), grid);
    EXPECT_EQ(TextureGetReflectMap(water), sky1);
    EXPECT_EQ(TextureGetSecondReflectMap(water), TextureFind("component\\_common\\sky2"));
    TextureInfo record;
    TextureGetRecord(water, &record);
    EXPECT_STREQ(record.path, "component\\land\\water");
    EXPECT_EQ(record.reflectMap, sky1);
    // The loads lend their contents and leave no slot behind.
    int used = 0;
    for (const TextureSlot& slot : g_textures.slots)
        used += slot.texture ? 1 : 0;
    EXPECT_EQ(used, 4);
    // Counted again from zero each time: a second recreation counts the same.
    const u32_t totalAfter = g_textures.totalBytes;
    EXPECT_GT(totalAfter, 0u);
    TexturesRecreate();
    EXPECT_EQ(g_textures.totalBytes, totalAfter);
}

using TextureAtlas = TextureTest;

TEST_F(TextureAtlas, ShelvesFillRowByRowAndOnlyPlacedTexturesAreCopied)
{
    struct Size {
        UINT width, height;
    };
    struct Case {
        std::vector<Size> sizes;
        int maxWidth, maxHeight, level;
        std::vector<POINT> expected;  // {-1, -1}: not placed
    };
    const Case cases[] = {
        {{{128, 128}, {128, 128}, {64, 64}}, 256, 256, 0, {{0, 0}, {128, 0}, {0, 128}}},
        {{{64, 32}, {64, 64}, {64, 16}}, 128, 128, 0, {{0, 0}, {64, 0}, {0, 64}}},
        {{{128, 64}, {128, 64}, {128, 64}}, 128, 128, 0, {{0, 0}, {0, 64}, {-1, -1}}},
        {{{32, 32}, {256, 16}, {32, 32}}, 128, 128, 0, {{0, 0}, {-1, -1}, {32, 0}}},
        {{{64, 64}, {128, 128}, {64, 64}}, 64, 64, 1, {{0, 0}, {-1, -1}, {0, 32}}},
    };
    const DWORD colours[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "limit " << c.maxWidth << " x " << c.maxHeight);
        std::vector<IDirect3DTexture8*> textures;
        for (size_t i = 0; i < c.sizes.size(); ++i)
            textures.push_back(SolidTexture(Device(), c.sizes[i].width, c.sizes[i].height, 0, colours[i]));
        TextureInfo record = {};
        std::strcpy(record.path, "component\\atlas_source");
        TextureSetRecord(textures[0], &record);
        std::vector<POINT> offsets(textures.size(), POINT{-1, -1});

        IDirect3DTexture8* merged =
            TextureAtlasBuild(textures.data(), int(textures.size()), offsets.data(), c.maxWidth, c.maxHeight, c.level);
        ASSERT_NE(merged, nullptr);
        EXPECT_EQ(TextureFind("component\\atlas_source_merged"), merged);
        D3DSURFACE_DESC desc;
        merged->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Format, D3DFMT_DXT3);
        EXPECT_EQ(desc.Width, UINT(c.maxWidth));

        const render_test::Pixels pixels = ReadTexture(Device(), merged);
        for (size_t i = 0; i < textures.size(); ++i) {
            EXPECT_EQ(offsets[i].x, c.expected[i].x) << "texture " << i;
            EXPECT_EQ(offsets[i].y, c.expected[i].y) << "texture " << i;
            if (c.expected[i].x < 0) {
                // Not placed, so not copied anywhere: its colour shows nowhere.
                for (DWORD word : pixels.words)
                    ASSERT_NE(word & 0xFFFFFF, colours[i] & 0xFFFFFF) << "texture " << i;
                continue;
            }
            const UINT w = c.sizes[i].width >> c.level, h = c.sizes[i].height >> c.level;
            const UINT x = UINT(c.expected[i].x), y = UINT(c.expected[i].y);
            EXPECT_TRUE(render_test::ColourNear(pixels.At(x, y), colours[i], 0));
            EXPECT_TRUE(render_test::ColourNear(pixels.At(x + w - 1, y + h - 1), colours[i], 0));
        }
        for (IDirect3DTexture8* texture : textures)
            texture->Release();
        TexturesReleaseAll();
    }
}

// Damaged TGA grids never read past their bytes.
TEST(TextureAlphaMapRobustness, DamagedTgaFilesGiveNoGrid)
{
    const std::string good = TgaBytes(4, 4, 0x80FFFFFFu);
    MapGrid* grid = MapGridFromTga(good.data(), good.size());
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->data[0], 0x80);
    MapGridFree(grid);

    for (size_t length = 0; length < good.size(); ++length) {
        const std::vector<char> cut(good.begin(), good.begin() + long(length));  // exact-size heap block
        EXPECT_EQ(MapGridFromTga(cut.data(), cut.size()), nullptr) << length;
    }
    const struct {
        size_t offset;
        char value;
    } damage[] = {{1, 1}, {2, 10}, {16, 24}, {12, 5}, {12, 0}, {14, 0}, {13, 0x7F}, {15, 0x7F}};
    for (const auto& d : damage) {
        std::string bad = good;
        bad[d.offset] = d.value;
        if (d.offset == 12 && d.value == 0)
            bad[14] = 0;  // a 0 x 0 image
        const std::vector<char> bytes(bad.begin(), bad.end());
        EXPECT_EQ(MapGridFromTga(bytes.data(), bytes.size()), nullptr) << d.offset;
    }
    EXPECT_EQ(MapGridFromTga(nullptr, 100), nullptr);
}

// Rows are stored bottom-up in the file: file row r becomes grid row size - 1 - r.
TEST(TextureAlphaMap, FileRowsAreStoredBottomUp)
{
    std::string bytes = TgaBytes(2, 2, 0xFFFFFFFFu);
    bytes[18 + 3] = 0x11;      // file row 0, column 0
    bytes[18 + 8 + 7] = 0x22;  // file row 1, column 1
    MapGrid* grid = MapGridFromTga(bytes.data(), bytes.size());
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->data[2], 0x11);  // grid row 1, column 0
    EXPECT_EQ(grid->data[1], 0x22);  // grid row 0, column 1
    MapGridFree(grid);
}

}  // namespace
